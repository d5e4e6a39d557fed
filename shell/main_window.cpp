#include "shell/main_window.h"

#include <shellapi.h>

#include <string>

#include "catalogue/drop_paths.h"
#include "catalogue/selection_state.h"
#include "rrbutton/rrbutton.h"
#include "shell/control_ids.h"
#include "shell/data_selection.h"
#include "shell/dialog/dialog_layer.h"
#include "shell/entry_log.h"

namespace {

// The focus to give back when the window is activated again.
const char SavedFocusProperty[] = "Vorlane.SavedFocus";

constexpr DWORD MainWindowStyle =
    WS_VISIBLE | WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK;
constexpr DWORD MainWindowExStyle = WS_EX_CONTROLPARENT | WS_EX_TOPMOST;
constexpr DWORD LogBoxStyle =
    WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL | ES_WANTRETURN;
constexpr DWORD HintLabelStyle = WS_CHILD | WS_VISIBLE | SS_SUNKEN | SS_CENTER;
static_assert(MainWindowStyle == 0x16CF0054 && MainWindowExStyle == 0x00010008, "the main window's styles");
static_assert(LogBoxStyle == 0x50311084 && HintLabelStyle == 0x50001001, "the styles of the log box and the hint");
constexpr DWORD PictureButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr int PictureSize = 48;  // pixels, whatever the font

void ConfigurePictureButton(HWND button)
{
    SendMessageA(button, RRBM_SETCORNER, 10, 0);
    SendMessageA(button, RRBM_LOADIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>("ICON2"));
    SendMessageA(button, RRBM_LOADHOTIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>("ICON3"));
    SendMessageA(button, RRBM_LOADPRESSEDIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>("ICON2"));
    SendMessageA(button, RRBM_LOADDISABLEDIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>("ICON3"));
    // After the loads: loading the normal picture resets the drawn size.
    SendMessageA(button, RRBM_SETIMAGESIZE, PictureSize, PictureSize);
    SendMessageA(button, RRBM_SETIMAGEPOS, 1, 1);
    SendMessageA(button, RRBM_SETIMAGENOSHIFT, 1, 0);
    SetWindowPos(button, HWND_TOP, 0, 0, PictureSize, PictureSize, SWP_NOMOVE | SWP_NOZORDER);
}

// Reads every path of a drop into DroppedFiles; 1 when there was at least one.
int ReadDroppedFiles(HDROP drop)
{
    SelectionState.DroppedFiles.clear();
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    SelectionState.DroppedFiles.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileA(drop, i, nullptr, 0);
        // Wine's shell counts an empty file list as one item without a name:
        // that is no path, so such a drop delivers nothing, as on Windows.
        if (length == 0)
            continue;
        std::string path(length + 1, '\0');
        const UINT copied = DragQueryFileA(drop, i, &path[0], length + 1);
        path.resize(copied);
        SelectionState.DroppedFiles.push_back(std::move(path));
    }
    return SelectionState.DroppedFiles.empty() ? 0 : 1;
}

void OnDropFiles(HWND window, HDROP drop)
{
    if (ReadDroppedFiles(drop)) {
        TrackTextFromDrop();
        SelectionState.DropPending = 1;
    }
    DragFinish(drop);
    NormaliseTrackText();
    ShowDataSelection(window);
}

void OnActivationChange(HWND window, bool activated)
{
    if (!activated) {
        SetPropA(window, SavedFocusProperty, GetFocus());
        return;
    }
    HWND saved = static_cast<HWND>(RemovePropA(window, SavedFocusProperty));
    if (saved)
        SetFocus(saved);
}

void OnCommand(HWND window, int controlId, int notification, HWND control)
{
    // The control that sent a click gets the focus; commands without a
    // control of this window (Esc, a close from elsewhere) leave it alone.
    if ((notification == 0 || notification == 1) && control && IsChild(window, control))
        SetFocus(control);

    switch (controlId) {
    case AddButtonId:
        NormaliseTrackText();
        ShowDataSelection(window);
        break;
    case ExitButtonId: CloseDialog(window, 0); break;
    case AboutButtonId: ShowAbout(window, WM_COMMAND, 0, 0); break;
    default: break;
    }
}

void OnSize(HWND window, UINT sizeType, int clientWidth, int clientHeight)
{
    if (sizeType == SIZE_MINIMIZED)
        return;
    const POINT logBoxAt = GetControlLocation(window, LogBoxId);
    const POINT client = PixelsToUnits(window, clientWidth, clientHeight);
    SetControlSize(window, LogBoxId, client.x, client.y - logBoxAt.y);
}

}  // namespace

INT_PTR MainWindowCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DROPFILES: OnDropFiles(window, reinterpret_cast<HDROP>(wParam)); break;
    case WM_NCACTIVATE: OnActivationChange(window, wParam != 0); break;
    case WM_COMMAND: OnCommand(window, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); break;
    case WM_SIZE: OnSize(window, static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); break;
    case WM_NCDESTROY: RemovePropA(window, SavedFocusProperty); break;
    default: break;
    }
    return 0;  // the default dialog processing always follows
}

INT_PTR RunMainWindow(HWND owner)
{
    MainWindow = NewDialog(owner, "Vorlane", 0, 0, 155, 135, MainWindowStyle, MainWindowExStyle);
    SetDialogIcon(MainWindow, "ICON1");
    AddControl(ControlKind::TextBox, MainWindow, LogBoxId, "", 2, 49, 145, 77, LogBoxStyle, WS_EX_CLIENTEDGE);
    AddControl(ControlKind::PushButton, MainWindow, AddButtonId, "Add", 67, 7, 47, 16, 0, 0);
    AddControl(ControlKind::PushButton, MainWindow, ExitButtonId, "Exit", 67, 26, 47, 16, 0, 0);
    AddControl(ControlKind::Label, MainWindow, HintLabelId, "Drag and Drop MP3 File onto any part of Program.", 8, 8,
               51, 34, HintLabelStyle, 0);
    CreateRRButton(MainWindow, AboutButtonId, "", 120, 10, PictureSize, PictureSize, PictureButtonStyle, 0, TRUE);
    ConfigurePictureButton(GetDlgItem(MainWindow, AboutButtonId));
    DragAcceptFiles(MainWindow, TRUE);
    return ShowDialogModal(MainWindow, MainWindowCallback);
}
