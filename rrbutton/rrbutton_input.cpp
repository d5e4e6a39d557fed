// How a round-rect button reacts to focus, enabling, fonts, the keyboard, the
// mouse and its hover timer. The messages a button passes on to its parent
// and the font it keeps are handled here; the interactive behaviour follows.
#include "rrbutton/rrbutton_internal.h"

namespace rrb {

LRESULT OnSetFocus(HWND hWnd, RRButtonRecord&, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hWnd, WM_SETFOCUS, wParam, lParam);
}

LRESULT OnKillFocus(HWND hWnd, RRButtonRecord&, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hWnd, WM_KILLFOCUS, wParam, lParam);
}

LRESULT OnEnable(HWND hWnd, RRButtonRecord&, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hWnd, WM_ENABLE, wParam, lParam);
}

LRESULT OnSysColorChange(HWND hWnd, RRButtonRecord&, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hWnd, WM_SYSCOLORCHANGE, wParam, lParam);
}

// A null font leaves the current one in use. The font stays the caller's.
LRESULT OnSetFont(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam) {
    if (wParam) {
        record.hFont = reinterpret_cast<HFONT>(wParam);
        if (lParam && IsWindowVisible(hWnd)) {
            RepaintNow(hWnd);
        }
    }
    return DefWindowProcA(hWnd, WM_SETFONT, wParam, lParam);
}

// Notifications from windows inside the button go on to the button's parent.
LRESULT OnNotify(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam) {
    SendMessageA(record.hParent, WM_NOTIFY, wParam, lParam);
    return DefWindowProcA(hWnd, WM_NOTIFY, wParam, lParam);
}

LRESULT OnGetDlgCode(HWND hWnd, RRButtonRecord&, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hWnd, WM_GETDLGCODE, wParam, lParam);
}

LRESULT OnKeyDown(HWND hWnd, RRButtonRecord&, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hWnd, WM_KEYDOWN, wParam, lParam);
}

LRESULT OnKeyUp(HWND hWnd, RRButtonRecord&, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hWnd, WM_KEYUP, wParam, lParam);
}

// Commands from windows inside the button go on to the button's parent.
LRESULT OnCommand(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam) {
    SendMessageA(record.hParent, WM_COMMAND, wParam, lParam);
    return DefWindowProcA(hWnd, WM_COMMAND, wParam, lParam);
}

LRESULT OnTimer(HWND hWnd, RRButtonRecord&, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hWnd, WM_TIMER, wParam, lParam);
}

LRESULT OnMouseMove(HWND hWnd, RRButtonRecord&, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hWnd, WM_MOUSEMOVE, wParam, lParam);
}

LRESULT OnLButtonDown(HWND hWnd, RRButtonRecord&, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hWnd, WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT OnLButtonUp(HWND hWnd, RRButtonRecord&, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hWnd, WM_LBUTTONUP, wParam, lParam);
}

LRESULT OnLButtonDblClk(HWND hWnd, RRButtonRecord&, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hWnd, WM_LBUTTONDBLCLK, wParam, lParam);
}

}  // namespace rrb
