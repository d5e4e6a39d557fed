// How a round-rect button reacts to focus, enabling, fonts, colours, the
// keyboard, the mouse and its hover timer. The handlers only gather what the
// system shows (pointer, focus, cursor, keys), ask ReactToEvent what to do
// and carry its answer out.
//
// Much of what a handler calls runs other code that may destroy the button:
// the click notification (the parent may run a message box's modal loop in
// it, and the user may close the main window meanwhile), SetFocus, the
// repaint's UpdateWindow, the messages passed on to the parent. After every
// such call the record is read again from the window, which destruction
// clears, and the handler stops as soon as it is gone.
#include <cstring>

#include "rrbutton/button_model.h"
#include "rrbutton/button_states.h"
#include "rrbutton/rrbutton.h"
#include "rrbutton/rrbutton_internal.h"

namespace rrb {

namespace {

// Whether the pointer is over the button's rounded shape: the pointer's
// current position, never the one a message carries. The corners the
// rounding cuts off are outside.
bool PointerInButton(HWND hWnd)
{
    const RRButtonRecord* record = RecordOf(hWnd);
    if (!record || !record->hRegion) {
        return false;
    }
    RECT window = {};
    POINT pointer = {};
    if (!GetWindowRect(hWnd, &window) || !GetCursorPos(&pointer) || !PtInRect(&window, pointer)) {
        return false;
    }
    ScreenToClient(hWnd, &pointer);
    return PtInRegion(record->hRegion, pointer.x, pointer.y) != FALSE;
}

constexpr LRESULT NotHandled = 0;

bool IsAlive(HWND hWnd)
{
    return RecordOf(hWnd) != nullptr;
}

// The default result, unless the button has been destroyed meanwhile.
LRESULT DefaultIfAlive(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return IsAlive(hWnd) ? DefWindowProcA(hWnd, message, wParam, lParam) : NotHandled;
}

ButtonState StateOf(const RRButtonRecord& record)
{
    return ButtonState{record.drawState, record.pressSource, record.fixedLook, record.clickable,
                       record.hoverTimer != 0};
}

Observations Observe(HWND hWnd, const RRButtonRecord& record)
{
    Observations seen = {};
    seen.pointerInButton = PointerInButton(hWnd);
    seen.enabled = IsWindowEnabled(hWnd) != FALSE;
    seen.hasFocus = GetFocus() == hWnd;
    seen.cursorIsButtonCursor = GetCursor() == record.hCursor;
    seen.shiftDown = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    return seen;
}

// A round-rect button that never keeps the focus.
bool IsPassiveButton(HWND window)
{
    char className[sizeof RRBUTTON_CLASS_NAME + 1] = {};
    if (GetClassNameA(window, className, sizeof className) <= 0 || std::strcmp(className, RRBUTTON_CLASS_NAME) != 0) {
        return false;
    }
    const RRButtonRecord* record = RecordOf(window);
    return record && IsPassive(record->fixedLook, record->clickable);
}

// Gives the focus to the next (or previous) control of the parent's tab
// order that keeps it. Passive buttons in between are skipped rather than
// focused: each would hand the focus on in turn, and passive buttons that are
// the only tab stops would do so for ever. With no such control the focus
// stays where it is.
void PassFocusOn(HWND hWnd, HWND hParent, bool backward)
{
    auto next = [hParent, backward](HWND item) { return GetNextDlgTabItem(hParent, item, backward ? TRUE : FALSE); };
    if (const std::optional<HWND> target = FindFocusTarget<HWND>(hWnd, next, IsPassiveButton)) {
        SetFocus(*target);
    }
}

void SendClick(HWND hWnd, const RRButtonRecord& record)
{
    const WPARAM command = MAKEWPARAM(static_cast<WORD>(record.ctrlId & 0xFFFF), BN_CLICKED);
    SendMessageA(record.hParent, WM_COMMAND, command, reinterpret_cast<LPARAM>(hWnd));
}

void Perform(HWND hWnd, RRButtonRecord& record, ButtonAction action)
{
    const auto timerId = static_cast<UINT_PTR>(record.ctrlId);
    switch (action) {
    case ButtonAction::SetButtonCursor: SetCursor(record.hCursor); break;
    case ButtonAction::SetArrowCursor: SetCursor(LoadCursorA(nullptr, IDC_ARROW)); break;
    case ButtonAction::SetCapture: SetCapture(hWnd); break;
    case ButtonAction::ReleaseCapture: ReleaseCapture(); break;
    case ButtonAction::StartHoverTimer: record.hoverTimer = SetTimer(hWnd, timerId, HoverPollMs, nullptr); break;
    case ButtonAction::KillHoverTimer: KillTimer(hWnd, timerId); break;
    case ButtonAction::TakeFocus: SetFocus(hWnd); break;
    case ButtonAction::PassFocusForward: PassFocusOn(hWnd, record.hParent, false); break;
    case ButtonAction::PassFocusBackward: PassFocusOn(hWnd, record.hParent, true); break;
    case ButtonAction::RestorePressedLook:
        record.drawState = DrawStateAfterTakingFocus(record.drawState, record.pressSource);
        break;
    case ButtonAction::Repaint: RepaintNow(hWnd); break;
    case ButtonAction::Click: SendClick(hWnd, record); break;
    case ButtonAction::ResetLook: record.drawState = DrawNormal; break;
    }
}

// Stores the new state, then runs the actions in order; each may be the last
// thing the button lives through.
LRESULT CarryOut(HWND hWnd, RRButtonRecord& record, const Reaction& reaction, UINT message, WPARAM wParam,
                 LPARAM lParam)
{
    record.drawState = reaction.state.drawState;
    record.pressSource = reaction.state.pressSource;
    if (!reaction.state.hoverTimerRunning) {
        record.hoverTimer = 0;
    }
    for (ButtonAction action : reaction.actions) {
        RRButtonRecord* current = RecordOf(hWnd);
        if (!current) {
            return NotHandled;
        }
        Perform(hWnd, *current, action);
    }
    if (reaction.result == MessageResult::Zero) {
        return 0;
    }
    return DefaultIfAlive(hWnd, message, wParam, lParam);
}

// Sends the button one of its own setters, unless it is gone.
void SendIfAlive(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsAlive(hWnd)) {
        SendMessageA(hWnd, message, wParam, lParam);
    }
}

}  // namespace

LRESULT React(HWND hWnd, RRButtonRecord& record, ButtonEvent event, UINT message, WPARAM wParam, LPARAM lParam)
{
    const unsigned virtualKey = event == ButtonEvent::KeyDown ? static_cast<unsigned>(wParam) : 0;
    const Reaction reaction = ReactToEvent(StateOf(record), event, virtualKey, Observe(hWnd, record));
    return CarryOut(hWnd, record, reaction, message, wParam, lParam);
}

LRESULT OnEnable(HWND hWnd, RRButtonRecord&, WPARAM, LPARAM)
{
    RepaintNow(hWnd);
    return 0;
}

// Under a black or white face the button gives up the colours the program
// set and takes the system's; any other scheme is noticed by the next paint.
LRESULT OnSysColorChange(HWND hWnd, RRButtonRecord&, WPARAM wParam, LPARAM lParam)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    if (IsBlackOrWhite(face)) {
        const COLORREF text = GetSysColor(COLOR_BTNTEXT);
        SendIfAlive(hWnd, RRBM_SETFACECOLOR, face, 0);
        SendIfAlive(hWnd, RRBM_SETTEXTCOLOR, text, 0);
        SendIfAlive(hWnd, RRBM_SETHOTTEXTCOLOR, text, 0);
        SendIfAlive(hWnd, RRBM_SETPRESSEDTEXTCOLOR, text, 1);
    }
    return DefaultIfAlive(hWnd, WM_SYSCOLORCHANGE, wParam, lParam);
}

// A null font leaves the current one in use. The font stays the caller's.
LRESULT OnSetFont(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam)
{
    if (wParam) {
        record.hFont = reinterpret_cast<HFONT>(wParam);
        if (lParam && IsWindowVisible(hWnd)) {
            RepaintNow(hWnd);
        }
    }
    return DefaultIfAlive(hWnd, WM_SETFONT, wParam, lParam);
}

// Notifications from windows inside the button go on to the button's parent.
LRESULT OnNotify(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam)
{
    SendMessageA(record.hParent, WM_NOTIFY, wParam, lParam);
    return DefaultIfAlive(hWnd, WM_NOTIFY, wParam, lParam);
}

// Buttons that take presses ask for the Return key, so that it reaches them
// inside dialogs.
LRESULT OnGetDlgCode(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam)
{
    const auto* queued = reinterpret_cast<const MSG*>(lParam);
    DlgCodeQuery query = {};
    query.fixedLook = record.fixedLook;
    query.clickable = record.clickable;
    query.hasMessage = queued != nullptr;
    if (queued) {
        query.messageIsKeyDownOrChar = queued->message == WM_KEYDOWN || queued->message == WM_CHAR;
        query.messageWParam = static_cast<unsigned>(queued->wParam);
    }
    const DlgCodeAnswer answer = AnswerDlgCode(query);
    if (answer == DlgCodeAnswer::Default) {
        return DefWindowProcA(hWnd, WM_GETDLGCODE, wParam, lParam);
    }
    return static_cast<LRESULT>(answer);
}

// Commands from windows inside the button go on to the button's parent.
LRESULT OnCommand(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam)
{
    SendMessageA(record.hParent, WM_COMMAND, wParam, lParam);
    return DefaultIfAlive(hWnd, WM_COMMAND, wParam, lParam);
}

// The second click of a double click is one more press. It goes through the
// window procedure as a WM_LBUTTONDOWN, so a program that subclasses the
// button sees it as one.
LRESULT OnLButtonDblClk(HWND hWnd, RRButtonRecord&, WPARAM wParam, LPARAM lParam)
{
    SendMessageA(hWnd, WM_LBUTTONDOWN, wParam, lParam);
    return 0;
}

}  // namespace rrb
