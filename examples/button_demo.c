/* How another program uses Vorlane's library: a window of its own with the
   three kinds of round-rect button, linked against VorlaneLib.dll through its
   import library, with nothing from Vorlane but rrbutton.h.

   A click on any button says so in the line below them; the link button also
   asks EXIST whether the current folder holds a catalogue "Vorlane.csv". */
#include <windows.h>
#include <oleauto.h>

#include <stdio.h>
#include <string.h>

#include "rrbutton.h"

enum { PlainId = 101, PictureId = 102, LinkId = 103, StatusId = 104 };

/* EXIST takes the address of a string handle, as SysAllocStringByteLen makes one. */
static int FileExists(const char* name)
{
    BSTR text = SysAllocStringByteLen(name, (UINT)strlen(name));
    const char* handle = (const char*)text;
    const int found = EXIST(&handle);
    SysFreeString(text);
    return found != 0;
}

static void MakeButtons(HWND window)
{
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    HWND plain, picture, status;

    /* A plain button, configured with messages: rounder corners, raised as
       the default button. */
    plain = CreateRRButton(window, PlainId, "&Plain button", 20, 20, 140, 30, style, 0, FALSE);
    SendMessageA(plain, RRBM_SETCORNER, 12, 0);
    SendMessageA(plain, RRBM_SETDEFAULT, 1, 0);

    /* A button with a picture and another while the pointer is over it. The
       names are icon resources of this program's own module. */
    picture =
        MakeRRButton(window, PictureId, "Picture", 20, 64, 140, 44, style, 0, "DEMO_ICON", "DEMO_HOT_ICON", FALSE);
    SendMessageA(picture, RRBM_SETIMAGESIZE, 32, 32); /* after the loads, which set 16 x 16 */

    /* A link: blue, red while pressed, bold and underlined, a hand cursor. */
    MakeRRButtonURL(window, LinkId, "Is there a catalogue here?", 20, 122, 220, 24, style, 0, "", "", "", FALSE);

    status = CreateWindowExA(0, "STATIC", "Click a button.", WS_CHILD | WS_VISIBLE, 20, 160, 300, 20, window,
                             (HMENU)(INT_PTR)StatusId, GetModuleHandleA(NULL), NULL);
    SendMessageA(status, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
}

static void SayClicked(HWND window, int id)
{
    char text[128];
    if (id == LinkId)
        snprintf(text, sizeof text, "Vorlane.csv %s in the current folder.",
                 FileExists("Vorlane.csv") ? "is" : "is not");
    else
        snprintf(text, sizeof text, "Button %d was clicked.", id);
    SetDlgItemTextA(window, StatusId, text);
}

static LRESULT CALLBACK DemoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: MakeButtons(window); return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) != StatusId)
            SayClicked(window, LOWORD(wParam));
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    WNDCLASSA demoClass;
    MSG message;
    HWND window;
    (void)previous;
    (void)commandLine;

    memset(&demoClass, 0, sizeof demoClass);
    demoClass.lpfnWndProc = DemoProc;
    demoClass.hInstance = instance;
    demoClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    demoClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    demoClass.lpszClassName = "ButtonDemo";
    RegisterClassA(&demoClass);
    window = CreateWindowExA(0, "ButtonDemo", "Round-rect buttons", WS_OVERLAPPEDWINDOW, 40, 40, 360, 240, NULL, NULL,
                             instance, NULL);
    ShowWindow(window, show);
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        if (!IsDialogMessageA(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return (int)message.wParam;
}
