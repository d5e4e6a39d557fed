// How a round-rect button reacts to the pointer, the left mouse button, the
// keyboard, focus changes and its hover timer, as a plain function: the
// window procedure observes the system, asks ReactToEvent what to do, stores
// the new record state and then carries out the actions one by one.
//
// Several actions run other code (SetCapture, SetFocus, the repaint's
// UpdateWindow with its notifications, the click notification), and that code
// may destroy the button. The caller therefore:
//   1. stores reaction.state in the record before the first action
//      (drawState, pressSource; hoverTimer = 0 when hoverTimerRunning is false);
//   2. performs reaction.actions in list order, re-reading the record from
//      the window before each action and stopping as soon as it is gone.
#pragma once

#include <cstddef>
#include <optional>

#include "rrbutton/button_model.h"

namespace rrb {

// pressSource values: what holds the button down.
constexpr int NoPress = 0;
constexpr int MousePress = 1;
constexpr int SpacePress = 2;

constexpr unsigned VirtualKeyReturn = 0x0D;
constexpr unsigned VirtualKeySpace = 0x20;

// Interval of the hover poll, milliseconds.
constexpr unsigned HoverPollMs = 10;

enum class ButtonEvent {
    MouseMove,
    LButtonDown,
    LButtonUp,
    KeyDown,
    KeyUp,
    Timer,
    SetFocus,
    KillFocus,
};

// The record fields the behaviour reads and writes.
struct ButtonState {
    int drawState;
    int pressSource;
    int fixedLook;
    int clickable;
    bool hoverTimerRunning;
};

// What the window procedure observed when the message arrived.
struct Observations {
    bool pointerInButton;       // current pointer position over the rounded shape
    bool enabled;               // IsWindowEnabled
    bool hasFocus;              // GetFocus() is the button
    bool cursorIsButtonCursor;  // GetCursor() is the record's hCursor
    bool shiftDown;             // GetKeyState(VK_SHIFT) high bit
};

enum class ButtonAction {
    SetButtonCursor,     // SetCursor(hCursor)
    SetArrowCursor,      // SetCursor(LoadCursorA(NULL, IDC_ARROW))
    SetCapture,          // SetCapture(hWnd)
    ReleaseCapture,      // ReleaseCapture()
    StartHoverTimer,     // hoverTimer = SetTimer(hWnd, ctrlId, HoverPollMs, NULL)
    KillHoverTimer,      // KillTimer(hWnd, ctrlId); hoverTimer is already 0
    TakeFocus,           // SetFocus(hWnd); the button's own WM_SETFOCUS runs inside
    PassFocusForward,    // focus the next control of the tab order (FindFocusTarget)
    PassFocusBackward,   // the same, towards the previous control
    RestorePressedLook,  // drawState = DrawStateAfterTakingFocus(drawState, pressSource)
    Repaint,             // InvalidateRect(hWnd, NULL, FALSE); UpdateWindow(hWnd)
    Click,               // WM_COMMAND BN_CLICKED to the parent
    ResetLook,           // drawState = 0 (after a click whose handler kept the button)
};

// The ordered actions of one reaction; never more than a handful.
class ActionList {
public:
    static constexpr std::size_t Capacity = 8;

    void Add(ButtonAction action);
    const ButtonAction* begin() const { return actions_; }
    const ButtonAction* end() const { return actions_ + count_; }

private:
    ButtonAction actions_[Capacity] = {};
    std::size_t count_ = 0;
};

enum class MessageResult {
    Zero,     // the handler answers 0
    Default,  // the handler answers DefWindowProcA's result
};

struct Reaction {
    ButtonState state;
    ActionList actions;
    MessageResult result;
};

// A button that shows a fixed look, takes no press, never clicks and gives
// the focus away.
bool IsPassive(int fixedLook, int clickable);

// virtualKey is used by KeyDown only.
Reaction ReactToEvent(const ButtonState& state, ButtonEvent event, unsigned virtualKey, const Observations& seen);

// RestorePressedLook: the button's own WM_SETFOCUS inside TakeFocus set the
// normal look. The press shows again unless a focus change meanwhile
// cancelled it.
int DrawStateAfterTakingFocus(int drawState, int pressSource);

// ---- WM_GETDLGCODE ---------------------------------------------------------

enum class DlgCodeAnswer : unsigned {
    Default = 0,               // DefWindowProcA's answer
    WantAllKeys = 0x0004,      // DLGC_WANTALLKEYS: Return reaches the button
    ButtonUndefPush = 0x2020,  // DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON
};

struct DlgCodeQuery {
    int fixedLook;
    int clickable;
    bool hasMessage;              // lParam points to a MSG
    bool messageIsKeyDownOrChar;  // that MSG is WM_KEYDOWN or WM_CHAR
    unsigned messageWParam;
};

DlgCodeAnswer AnswerDlgCode(const DlgCodeQuery& query);

// ---- Handing the focus on ---------------------------------------------------

// Walks the tab order from start with next(item) (GetNextDlgTabItem) and
// returns the first item that is not a passive round-rect button. The walk
// ends without a target when next() gives Item{} (none), comes back to start,
// or goes round a loop of items it has all seen, wherever that loop lies: a
// tab order is not trusted to be one clean cycle.
template <typename Item, typename NextItem, typename IsPassiveItem>
std::optional<Item> FindFocusTarget(Item start, NextItem next, IsPassiveItem isPassive)
{
    // Loop check without a list of visited items: a mark left at the 1st,
    // 2nd, 4th, 8th... step is met again once the walk is inside a loop.
    Item item = next(start);
    Item mark = item;
    std::size_t stepsSinceMark = 0;
    std::size_t nextMarkAfter = 1;
    while (item != Item{} && item != start) {
        if (!isPassive(item)) {
            return item;
        }
        item = next(item);
        if (item == mark) {
            break;
        }
        if (++stepsSinceMark == nextMarkAfter) {
            mark = item;
            stepsSinceMark = 0;
            nextMarkAfter *= 2;
        }
    }
    return std::nullopt;
}

}  // namespace rrb
