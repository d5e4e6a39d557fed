// The fair floor of Vorlane's benchmarks: what any program pays that shows a
// dialog in the visual style, as Vorlane's main window does. The same
// manifest (common controls 6), one dialog of 155 x 135 dialog units in 8-point
// "MS Sans Serif", and the main window's five controls: a multi-line edit box,
// two push buttons, a label and a plain button where Vorlane has its picture
// button. Built with the same compiler and flags.
#include <windows.h>
#include <commctrl.h>

namespace {

INT_PTR CALLBACK FloorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)) {
        DestroyWindow(dialog);
        PostQuitMessage(0);
        return TRUE;
    }
    return FALSE;
}

void AddControl(HWND dialog, const char* className, const char* text, DWORD style, DWORD exStyle, int x, int y,
                int width, int height)
{
    RECT area{x, y, x + width, y + height};
    MapDialogRect(dialog, &area);
    HWND control = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, area.left, area.top,
                                   area.right - area.left, area.bottom - area.top, dialog, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, SendMessageA(dialog, WM_GETFONT, 0, 0), TRUE);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    struct alignas(4) {
        DLGTEMPLATE header{WS_OVERLAPPEDWINDOW | WS_VISIBLE | DS_SETFONT, 0, 0, 0, 0, 155, 135};
        WORD menu = 0, windowClass = 0;
        WCHAR title[6] = L"Floor";
        WORD pointSize = 8;
        WCHAR typeface[14] = L"MS Sans Serif";
    } dialogTemplate;
    HWND dialog = CreateDialogIndirectParamA(instance, &dialogTemplate.header, nullptr, FloorDialogProc, 0);
    AddControl(dialog, "EDIT", "", WS_HSCROLL | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL,
               WS_EX_CLIENTEDGE, 2, 49, 155, 86);
    AddControl(dialog, "BUTTON", "Add", WS_TABSTOP, 0, 67, 7, 47, 16);
    AddControl(dialog, "BUTTON", "Exit", WS_TABSTOP, 0, 67, 26, 47, 16);
    AddControl(dialog, "STATIC", "Drag and Drop MP3 File onto any part of Program.", SS_SUNKEN | SS_CENTER, 0, 8, 8, 51,
               34);
    AddControl(dialog, "BUTTON", "", WS_TABSTOP, 0, 120, 10, 32, 30);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(dialog, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
