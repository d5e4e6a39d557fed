#include "rrbutton/button_states.h"

#include <gtest/gtest.h>

#include <vector>

namespace rrb {

using A = ButtonAction;
using E = ButtonEvent;

const char* Name(ButtonAction action) {
    switch (action) {
        case A::SetButtonCursor: return "SetButtonCursor";
        case A::SetArrowCursor: return "SetArrowCursor";
        case A::SetCapture: return "SetCapture";
        case A::ReleaseCapture: return "ReleaseCapture";
        case A::StartHoverTimer: return "StartHoverTimer";
        case A::KillHoverTimer: return "KillHoverTimer";
        case A::TakeFocus: return "TakeFocus";
        case A::PassFocusForward: return "PassFocusForward";
        case A::PassFocusBackward: return "PassFocusBackward";
        case A::RestorePressedLook: return "RestorePressedLook";
        case A::Repaint: return "Repaint";
        case A::Click: return "Click";
        case A::ResetLook: return "ResetLook";
    }
    return "?";
}

std::ostream& operator<<(std::ostream& out, const ActionList& actions) {
    out << '[';
    for (std::size_t i = 0; i < actions.size(); ++i) {
        out << (i ? ", " : "") << Name(actions[i]);
    }
    return out << ']';
}

namespace {

// Record state: (drawState, pressSource) of an ordinary clickable button.
ButtonState Ordinary(int drawState, int pressSource, bool timer = false) {
    return ButtonState{drawState, pressSource, 0, 1, timer};
}

ButtonState Link(int drawState, int pressSource) {  // fixed look, still clickable
    return ButtonState{drawState, pressSource, 1, 1, false};
}

ButtonState Passive(int fixedLook) {  // as RRBM_SETFIXEDLOOK leaves it
    return ButtonState{fixedLook - 1, 0, fixedLook, 0, false};
}

struct Seen {
    bool in = false;
    bool enabled = true;
    bool focus = false;
    bool buttonCursor = false;
    bool shift = false;
    operator Observations() const { return Observations{in, enabled, focus, buttonCursor, shift}; }
};

constexpr Seen kOver{true};
constexpr Seen kAway{false};

void ExpectReaction(const Reaction& reaction, int drawState, int pressSource, const ActionList& actions,
                    MessageResult result) {
    EXPECT_EQ(reaction.state.drawState, drawState);
    EXPECT_EQ(reaction.state.pressSource, pressSource);
    EXPECT_EQ(reaction.actions, actions);
    EXPECT_EQ(reaction.result, result);
}

// ---- Pointer moves -------------------------------------------------------------

TEST(ButtonMouseMove, NormalToHotStartsTheHoverTimer) {
    const Reaction r = ReactToEvent(Ordinary(0, 0), E::MouseMove, 0, kOver);
    ExpectReaction(r, 1, 0, {A::SetButtonCursor, A::StartHoverTimer, A::Repaint}, MessageResult::Default);
    EXPECT_TRUE(r.state.hoverTimerRunning);
}

TEST(ButtonMouseMove, HotStaysQuiet) {
    Seen cursorShown = kOver;
    cursorShown.buttonCursor = true;
    ExpectReaction(ReactToEvent(Ordinary(1, 0, true), E::MouseMove, 0, cursorShown), 1, 0, {},
                   MessageResult::Default);
}

TEST(ButtonMouseMove, HotToNormalWhenThePointerIsAway) {
    Seen cursorShown = kAway;
    cursorShown.buttonCursor = true;
    const Reaction r = ReactToEvent(Ordinary(1, 0, true), E::MouseMove, 0, cursorShown);
    ExpectReaction(r, 0, 0, {A::SetArrowCursor, A::Repaint}, MessageResult::Default);
    EXPECT_TRUE(r.state.hoverTimerRunning) << "a move does not stop the poll";
    // Another window's cursor showing: left alone.
    ExpectReaction(ReactToEvent(Ordinary(1, 0, true), E::MouseMove, 0, kAway), 0, 0, {A::Repaint},
                   MessageResult::Default);
    ExpectReaction(ReactToEvent(Ordinary(0, 0), E::MouseMove, 0, kAway), 0, 0, {}, MessageResult::Default);
}

TEST(ButtonMouseMove, MousePressFollowsThePointer) {
    // Pressed, pointer moves away: pressed look lost, press kept.
    ExpectReaction(ReactToEvent(Ordinary(2, 1, true), E::MouseMove, 0, kAway), 0, 1, {A::Repaint},
                   MessageResult::Default);
    // Back over with the timer stopped meanwhile: timer restarted, pressed look again.
    ExpectReaction(ReactToEvent(Ordinary(0, 1, false), E::MouseMove, 0, kOver), 2, 1,
                   {A::SetButtonCursor, A::StartHoverTimer, A::Repaint}, MessageResult::Default);
    ExpectReaction(ReactToEvent(Ordinary(2, 1, true), E::MouseMove, 0, kOver), 2, 1, {A::SetButtonCursor},
                   MessageResult::Default);
}

TEST(ButtonMouseMove, SpacePressIgnoresMoves) {
    ExpectReaction(ReactToEvent(Ordinary(2, 2), E::MouseMove, 0, kAway), 2, 2, {}, MessageResult::Default);
    ExpectReaction(ReactToEvent(Ordinary(0, 2), E::MouseMove, 0, kOver), 0, 2, {}, MessageResult::Default);
}

TEST(ButtonMouseMove, FixedLookButtonRepaintsAtEveryMoveWithoutHotLookOrTimer) {
    Seen cursorShown = kOver;
    cursorShown.buttonCursor = true;
    for (int move = 0; move < 2; ++move) {
        const Reaction r = ReactToEvent(Link(0, 0), E::MouseMove, 0, cursorShown);
        ExpectReaction(r, 0, 0, {A::Repaint}, MessageResult::Default);
        EXPECT_FALSE(r.state.hoverTimerRunning);
    }
    // Mouse press on a link: pressed look while over it.
    ExpectReaction(ReactToEvent(Link(0, 1), E::MouseMove, 0, cursorShown), 2, 1, {A::Repaint},
                   MessageResult::Default);
}

TEST(ButtonMouseMove, PassiveButtonOnlySetsItsCursor) {
    ExpectReaction(ReactToEvent(Passive(3), E::MouseMove, 0, kOver), 2, 0, {A::SetButtonCursor},
                   MessageResult::Zero);
    Seen cursorShown = kAway;
    cursorShown.buttonCursor = true;
    ExpectReaction(ReactToEvent(Passive(3), E::MouseMove, 0, cursorShown), 2, 0, {}, MessageResult::Zero);
}

// ---- Press and release -----------------------------------------------------

TEST(ButtonPress, OverTheButtonCapturesTakesFocusAndShowsPressed) {
    for (int from : {0, 1}) {
        ExpectReaction(ReactToEvent(Ordinary(from, 0), E::LButtonDown, 0, kOver), 2, 1,
                       {A::SetCapture, A::TakeFocus, A::RestorePressedLook, A::Repaint}, MessageResult::Zero);
    }
    Seen focused = kOver;
    focused.focus = true;
    ExpectReaction(ReactToEvent(Ordinary(1, 0), E::LButtonDown, 0, focused), 2, 1, {A::SetCapture, A::Repaint},
                   MessageResult::Zero);
    // A link takes the focus as well.
    ExpectReaction(ReactToEvent(Link(0, 0), E::LButtonDown, 0, kOver), 2, 1,
                   {A::SetCapture, A::TakeFocus, A::RestorePressedLook, A::Repaint}, MessageResult::Zero);
}

TEST(ButtonPress, OnACutOffCornerIsNoPress) {
    // The hit test said "not in button": no capture, no focus, no change.
    ExpectReaction(ReactToEvent(Ordinary(1, 0), E::LButtonDown, 0, kAway), 1, 0, {}, MessageResult::Default);
}

TEST(ButtonPress, DuringASpacePressOnlyCaptures) {
    ExpectReaction(ReactToEvent(Ordinary(2, 2), E::LButtonDown, 0, kOver), 2, 2, {A::SetCapture},
                   MessageResult::Default);
}

TEST(ButtonPress, PassiveButtonOnlyCapturesAndReleases) {
    ExpectReaction(ReactToEvent(Passive(3), E::LButtonDown, 0, kOver), 2, 0, {A::SetCapture}, MessageResult::Zero);
    ExpectReaction(ReactToEvent(Passive(3), E::LButtonUp, 0, kOver), 2, 0, {A::ReleaseCapture}, MessageResult::Zero);
}

TEST(ButtonPress, FixedLookWithOddClickableDoesNotTakeFocus) {
    const ButtonState odd{0, 0, 1, 2, false};
    ExpectReaction(ReactToEvent(odd, E::LButtonDown, 0, kOver), 2, 1, {A::SetCapture, A::Repaint},
                   MessageResult::Zero);
}

TEST(ButtonRelease, OverThePressedButtonClicks) {
    ExpectReaction(ReactToEvent(Ordinary(2, 1), E::LButtonUp, 0, kOver), 1, 0,
                   {A::ReleaseCapture, A::Repaint, A::Click}, MessageResult::Zero);
    ExpectReaction(ReactToEvent(Link(2, 1), E::LButtonUp, 0, kOver), 0, 0,
                   {A::ReleaseCapture, A::Repaint, A::Click}, MessageResult::Zero);
}

TEST(ButtonRelease, AwayBeforeAnyMoveNoticedStillClicks) {
    ExpectReaction(ReactToEvent(Ordinary(2, 1), E::LButtonUp, 0, kAway), 0, 0,
                   {A::ReleaseCapture, A::Repaint, A::Click}, MessageResult::Zero);
}

TEST(ButtonRelease, AfterThePointerLeftNoClick) {
    ExpectReaction(ReactToEvent(Ordinary(0, 1), E::LButtonUp, 0, kAway), 0, 0, {A::ReleaseCapture, A::Repaint},
                   MessageResult::Zero);
}

TEST(ButtonRelease, DisabledButtonDoesNotClick) {
    Seen disabled = kOver;
    disabled.enabled = false;
    ExpectReaction(ReactToEvent(Ordinary(2, 1), E::LButtonUp, 0, disabled), 1, 0,
                   {A::ReleaseCapture, A::Repaint}, MessageResult::Zero);
}

TEST(ButtonRelease, WithoutAPressOnlyReleasesTheCapture) {
    ExpectReaction(ReactToEvent(Ordinary(1, 0), E::LButtonUp, 0, kOver), 1, 0, {A::ReleaseCapture},
                   MessageResult::Zero);
}

TEST(ButtonRelease, EndsASpacePressWithAClick) {
    ExpectReaction(ReactToEvent(Ordinary(2, 2), E::LButtonUp, 0, kOver), 1, 0,
                   {A::ReleaseCapture, A::Repaint, A::Click}, MessageResult::Zero);
}

TEST(ButtonPress, DoubleClickIsAPressAnsweredZero) {
    ExpectReaction(ReactToEvent(Ordinary(1, 0), E::LButtonDblClk, 0, kOver), 2, 1,
                   {A::SetCapture, A::TakeFocus, A::RestorePressedLook, A::Repaint}, MessageResult::Zero);
    ExpectReaction(ReactToEvent(Ordinary(1, 0), E::LButtonDblClk, 0, kAway), 1, 0, {}, MessageResult::Zero);
}

TEST(ButtonPress, PressedLookReturnsAfterTheButtonsOwnFocusHandler) {
    EXPECT_EQ(DrawStateAfterTakingFocus(0, kMousePress), 2);
    // The focus went elsewhere during SetFocus and cancelled the press.
    EXPECT_EQ(DrawStateAfterTakingFocus(0, kNoPress), 0);
}

// ---- Keyboard ----------------------------------------------------------------

TEST(ButtonKeyboard, SpaceDownPresses) {
    for (int from : {0, 1}) {
        ExpectReaction(ReactToEvent(Ordinary(from, 0), E::KeyDown, kVirtualKeySpace, kAway), 2, 2, {A::Repaint},
                       MessageResult::Default);
    }
}

TEST(ButtonKeyboard, ReturnClicksAtOnceEvenWhenDisabled) {
    Seen disabled = kAway;
    disabled.enabled = false;
    for (int from : {0, 1}) {
        ExpectReaction(ReactToEvent(Ordinary(from, 0), E::KeyDown, kVirtualKeyReturn, disabled), from, 0,
                       {A::Click}, MessageResult::Default);
    }
}

TEST(ButtonKeyboard, OtherKeysAndKeysDuringAPressAreIgnored) {
    ExpectReaction(ReactToEvent(Ordinary(0, 0), E::KeyDown, 'A', kAway), 0, 0, {}, MessageResult::Default);
    for (int source : {1, 2}) {
        for (unsigned key : {kVirtualKeyReturn, kVirtualKeySpace}) {
            ExpectReaction(ReactToEvent(Ordinary(2, source), E::KeyDown, key, kOver), 2, source, {},
                           MessageResult::Default);
        }
    }
}

TEST(ButtonKeyboard, AnyKeyUpEndsASpacePressWithAClick) {
    ExpectReaction(ReactToEvent(Ordinary(2, 2), E::KeyUp, 0, kAway), 0, 0,
                   {A::Repaint, A::Click, A::ResetLook, A::Repaint}, MessageResult::Default);
    Seen disabled = kAway;
    disabled.enabled = false;
    ExpectReaction(ReactToEvent(Ordinary(2, 2), E::KeyUp, 0, disabled), 0, 0,
                   {A::Repaint, A::ResetLook, A::Repaint}, MessageResult::Default);
}

TEST(ButtonKeyboard, KeyUpAfterTheLookWasLostDoesNotClick) {
    ExpectReaction(ReactToEvent(Ordinary(0, 2), E::KeyUp, 0, kOver), 0, 0, {A::Repaint}, MessageResult::Default);
}

TEST(ButtonKeyboard, KeyUpWithoutSpacePressDoesNothing) {
    ExpectReaction(ReactToEvent(Ordinary(2, 1), E::KeyUp, 0, kOver), 2, 1, {}, MessageResult::Default);
    ExpectReaction(ReactToEvent(Ordinary(1, 0), E::KeyUp, 0, kOver), 1, 0, {}, MessageResult::Default);
}

TEST(ButtonKeyboard, PassiveButtonNeverPressesNorClicks) {
    ExpectReaction(ReactToEvent(Passive(1), E::KeyDown, kVirtualKeyReturn, kAway), 0, 0, {}, MessageResult::Default);
    ExpectReaction(ReactToEvent(Passive(3), E::KeyDown, kVirtualKeySpace, kAway), 2, 0, {}, MessageResult::Default);
    // Made passive in the middle of a space press: the press ends quietly.
    const ButtonState madePassive{2, 2, 3, 0, false};
    ExpectReaction(ReactToEvent(madePassive, E::KeyUp, 0, kAway), 2, 0, {}, MessageResult::Default);
}

// ---- Hover timer ---------------------------------------------------------------

TEST(ButtonTimer, TickAwayEndsTheHotOrPressedLook) {
    for (const ButtonState& from : {Ordinary(1, 0, true), Ordinary(2, 1, true), Ordinary(2, 2, true)}) {
        const Reaction r = ReactToEvent(from, E::Timer, 0, kAway);
        ExpectReaction(r, 0, from.pressSource, {A::KillHoverTimer, A::Repaint}, MessageResult::Default);
        EXPECT_FALSE(r.state.hoverTimerRunning);
    }
}

TEST(ButtonTimer, TickOverTheButtonDoesNothing) {
    const Reaction r = ReactToEvent(Ordinary(1, 0, true), E::Timer, 0, kOver);
    ExpectReaction(r, 1, 0, {}, MessageResult::Default);
    EXPECT_TRUE(r.state.hoverTimerRunning);
}

TEST(ButtonTimer, PassiveButtonKeepsItsFixedLook) {
    ButtonState passive = Passive(3);
    passive.hoverTimerRunning = true;  // hovered before it was frozen
    const Reaction r = ReactToEvent(passive, E::Timer, 0, kAway);
    ExpectReaction(r, 2, 0, {A::KillHoverTimer}, MessageResult::Default);
    EXPECT_FALSE(r.state.hoverTimerRunning);
}

// ---- Focus -------------------------------------------------------------------

TEST(ButtonFocus, GainingResetsTheLookButKeepsThePress) {
    ExpectReaction(ReactToEvent(Ordinary(2, 1), E::SetFocus, 0, kOver), 0, 1, {A::Repaint}, MessageResult::Zero);
    ExpectReaction(ReactToEvent(Ordinary(0, 0), E::SetFocus, 0, kOver), 0, 0, {A::Repaint}, MessageResult::Zero);
}

TEST(ButtonFocus, LosingCancelsThePress) {
    for (const ButtonState& from : {Ordinary(2, 1), Ordinary(2, 2), Ordinary(1, 0), Ordinary(0, 0)}) {
        ExpectReaction(ReactToEvent(from, E::KillFocus, 0, kOver), 0, 0, {A::Repaint}, MessageResult::Zero);
    }
}

TEST(ButtonFocus, PassiveButtonHandsTheFocusOn) {
    ExpectReaction(ReactToEvent(Passive(3), E::SetFocus, 0, kAway), 0, 0, {A::PassFocusForward, A::Repaint},
                   MessageResult::Zero);
    Seen shift = kAway;
    shift.shift = true;
    ExpectReaction(ReactToEvent(Passive(3), E::SetFocus, 0, shift), 0, 0, {A::PassFocusBackward, A::Repaint},
                   MessageResult::Zero);
    ExpectReaction(ReactToEvent(Passive(3), E::KillFocus, 0, kAway), 0, 0, {A::Repaint}, MessageResult::Zero);
}

TEST(ButtonFocus, FocusTargetSkipsPassiveButtonsAndStopsAtTheStart) {
    // Tab order 1 -> 2 -> 3 -> 4 -> 1; 0 means "no item".
    const auto nextOf = [](int item) { return item % 4 + 1; };
    const auto passiveSet = [](std::vector<int> passive) {
        return [passive](int item) {
            for (int p : passive) {
                if (p == item) return true;
            }
            return false;
        };
    };
    EXPECT_EQ(FindFocusTarget(1, nextOf, passiveSet({1})), std::optional<int>(2));
    EXPECT_EQ(FindFocusTarget(1, nextOf, passiveSet({1, 2, 3})), std::optional<int>(4));
    EXPECT_EQ(FindFocusTarget(1, nextOf, passiveSet({1, 2, 3, 4})), std::nullopt);
    // Backward walk.
    const auto previousOf = [](int item) { return item == 1 ? 4 : item - 1; };
    EXPECT_EQ(FindFocusTarget(1, previousOf, passiveSet({1, 4})), std::optional<int>(3));
    // The only control: nowhere to go.
    EXPECT_EQ(FindFocusTarget(1, [](int) { return 1; }, passiveSet({1})), std::nullopt);
    EXPECT_EQ(FindFocusTarget(1, [](int) { return 0; }, passiveSet({1})), std::nullopt);
    // A start outside the cycle (no tab stop) still ends.
    EXPECT_EQ(FindFocusTarget(9, nextOf, passiveSet({9, 1, 2, 3, 4})), std::nullopt);
}

TEST(ButtonFocus, FocusWalkEndsInALoopThatMissesStartAndFirstItem) {
    // Found by fuzzing: 1 -> 7 -> 2 -> 4 -> 4 -> ... with every item passive
    // once walked for ever. Also a longer loop entered after a tail.
    const auto stuck = [](int item) {
        switch (item) {
            case 1: return 7;
            case 7: return 2;
            case 2: return 4;
            case 3: return 4;
            case 4: return 4;
            case 5: return 8;
            case 6: return 5;
            default: return 0;
        }
    };
    const auto passiveSet = [](std::vector<int> passive) {
        return [passive](int item) {
            for (int p : passive) {
                if (p == item) return true;
            }
            return false;
        };
    };
    int steps = 0;
    const auto counted = [&steps, stuck](int item) {
        EXPECT_LT(++steps, 100) << "the walk does not end";
        return steps < 100 ? stuck(item) : 0;
    };
    EXPECT_EQ(FindFocusTarget(1, counted, passiveSet({1, 2, 4, 6, 7})), std::nullopt);
    EXPECT_EQ(FindFocusTarget(1, stuck, passiveSet({1, 2, 6, 7})), std::optional<int>(4));

    // 1 -> 2 -> 3 -> 4 -> 5 -> 6 -> 4: the item beyond the tail loop counts too.
    const auto tailThenLoop = [](int item) { return item == 6 ? 4 : item + 1; };
    steps = 0;
    const auto countedLoop = [&steps, tailThenLoop](int item) {
        EXPECT_LT(++steps, 100) << "the walk does not end";
        return steps < 100 ? tailThenLoop(item) : 0;
    };
    EXPECT_EQ(FindFocusTarget(1, countedLoop, passiveSet({1, 2, 3, 4, 5, 6})), std::nullopt);
    EXPECT_EQ(FindFocusTarget(1, tailThenLoop, passiveSet({1, 2, 3, 4, 5})), std::optional<int>(6));
}

// ---- WM_GETDLGCODE -------------------------------------------------------------

TEST(ButtonDlgCode, Answers) {
    const unsigned keyDown = kVirtualKeyReturn;
    // Passive: always the default answer.
    EXPECT_EQ(AnswerDlgCode({3, 0, true, true, keyDown}), DlgCodeAnswer::Default);
    EXPECT_EQ(AnswerDlgCode({1, 0, false, false, 0}), DlgCodeAnswer::Default);
    // Return in a key-down or char message: the button wants it.
    EXPECT_EQ(AnswerDlgCode({0, 1, true, true, keyDown}), DlgCodeAnswer::WantAllKeys);
    EXPECT_EQ(AnswerDlgCode({1, 1, true, true, keyDown}), DlgCodeAnswer::WantAllKeys);
    EXPECT_EQ(AnswerDlgCode({0, 0, true, true, keyDown}), DlgCodeAnswer::WantAllKeys);
    // Other keys or messages.
    EXPECT_EQ(AnswerDlgCode({0, 1, true, true, kVirtualKeySpace}), DlgCodeAnswer::Default);
    EXPECT_EQ(AnswerDlgCode({0, 1, true, false, keyDown}), DlgCodeAnswer::Default);
    // No message: an ordinary button is a push button that is not the default.
    EXPECT_EQ(AnswerDlgCode({0, 1, false, false, 0}), DlgCodeAnswer::ButtonUndefPush);
    EXPECT_EQ(static_cast<unsigned>(DlgCodeAnswer::ButtonUndefPush), 0x2020u);
    EXPECT_EQ(static_cast<unsigned>(DlgCodeAnswer::WantAllKeys), 4u);
    EXPECT_EQ(AnswerDlgCode({1, 1, false, false, 0}), DlgCodeAnswer::Default);
}

// ---- Whole interactions ------------------------------------------------------

// Runs reactions the way the window procedure does, with a simulated system:
// the button's own WM_SETFOCUS runs inside TakeFocus.
class SimulatedButton {
public:
    explicit SimulatedButton(ButtonState state) : state_(state) {}

    void Send(ButtonEvent event, bool pointerIn, unsigned key = 0) {
        const Observations seen{pointerIn, true, hasFocus_, cursorIsButtons_, false};
        const Reaction reaction = ReactToEvent(state_, event, key, seen);
        state_ = reaction.state;
        for (ButtonAction action : reaction.actions) {
            Perform(action, pointerIn);
        }
    }

    const ButtonState& state() const { return state_; }
    int clicks() const { return clicks_; }
    bool captured() const { return captured_; }
    const std::vector<int>& paintedLooks() const { return painted_; }

private:
    void Perform(ButtonAction action, bool pointerIn) {
        switch (action) {
            case A::SetButtonCursor: cursorIsButtons_ = true; break;
            case A::SetArrowCursor: cursorIsButtons_ = false; break;
            case A::SetCapture: captured_ = true; break;
            case A::ReleaseCapture: captured_ = false; break;
            case A::StartHoverTimer: EXPECT_TRUE(state_.hoverTimerRunning); break;
            case A::KillHoverTimer: EXPECT_FALSE(state_.hoverTimerRunning); break;
            case A::TakeFocus:
                hasFocus_ = true;
                Send(E::SetFocus, pointerIn);
                break;
            case A::PassFocusForward:
            case A::PassFocusBackward:
                hasFocus_ = false;
                Send(E::KillFocus, pointerIn);
                break;
            case A::RestorePressedLook:
                state_.drawState = DrawStateAfterTakingFocus(state_.drawState, state_.pressSource);
                break;
            case A::Repaint: painted_.push_back(state_.drawState); break;
            case A::Click: ++clicks_; break;
            case A::ResetLook: state_.drawState = kDrawNormal; break;
        }
    }

    ButtonState state_;
    bool hasFocus_ = false;
    bool cursorIsButtons_ = false;
    bool captured_ = false;
    int clicks_ = 0;
    std::vector<int> painted_;
};

TEST(ButtonInteraction, PressLeaveReturnReleaseIsOneClick) {
    SimulatedButton button(Ordinary(0, 0));
    button.Send(E::MouseMove, true);
    button.Send(E::LButtonDown, true);
    EXPECT_EQ(button.state().drawState, 2) << "pressed look survives the button's own focus handler";
    EXPECT_EQ(button.paintedLooks(), (std::vector<int>{1, 0, 2}));
    button.Send(E::MouseMove, false);
    button.Send(E::MouseMove, true);
    button.Send(E::LButtonUp, true);
    EXPECT_EQ(button.clicks(), 1);
    EXPECT_FALSE(button.captured());
    EXPECT_EQ(button.state().drawState, 1);
}

TEST(ButtonInteraction, PressLeaveReleaseIsNoClick) {
    SimulatedButton button(Ordinary(0, 0));
    button.Send(E::LButtonDown, true);
    button.Send(E::MouseMove, false);
    button.Send(E::LButtonUp, false);
    EXPECT_EQ(button.clicks(), 0);
    EXPECT_EQ(button.state().drawState, 0);
    EXPECT_EQ(button.state().pressSource, 0);
}

TEST(ButtonInteraction, DoubleClickIsTwoClicks) {
    SimulatedButton button(Ordinary(1, 0, true));
    button.Send(E::LButtonDown, true);
    button.Send(E::LButtonUp, true);
    button.Send(E::LButtonDblClk, true);
    button.Send(E::LButtonUp, true);
    EXPECT_EQ(button.clicks(), 2);
}

TEST(ButtonInteraction, FocusTakenDuringThePressCancelsTheClick) {
    SimulatedButton button(Ordinary(0, 0));
    button.Send(E::LButtonDown, true);
    button.Send(E::KillFocus, true);
    EXPECT_TRUE(button.captured()) << "the capture stays";
    button.Send(E::LButtonUp, true);
    EXPECT_EQ(button.clicks(), 0);
    EXPECT_FALSE(button.captured());
}

TEST(ButtonInteraction, SpaceTimerAwayThenKeyUpIsNoClick) {
    SimulatedButton button(Ordinary(1, 0, true));
    button.Send(E::KeyDown, true, kVirtualKeySpace);
    button.Send(E::Timer, false);
    button.Send(E::KeyUp, false);
    EXPECT_EQ(button.clicks(), 0);
    EXPECT_EQ(button.state().pressSource, 0);
}

TEST(ButtonInteraction, SpaceThenMouseReleaseClicksOnce) {
    SimulatedButton button(Ordinary(0, 0));
    button.Send(E::KeyDown, true, kVirtualKeySpace);
    button.Send(E::LButtonDown, true);
    button.Send(E::LButtonUp, true);
    EXPECT_EQ(button.clicks(), 1);
    button.Send(E::KeyUp, true);
    EXPECT_EQ(button.clicks(), 1) << "the release already ended the press";
}

TEST(ButtonInteraction, HeldReturnClicksAtEveryRepeat) {
    SimulatedButton button(Ordinary(0, 0));
    for (int repeat = 0; repeat < 3; ++repeat) {
        button.Send(E::KeyDown, false, kVirtualKeyReturn);
    }
    EXPECT_EQ(button.clicks(), 3);
}

TEST(ButtonInteraction, PassiveButtonLosesItsFixedLookOnlyThroughFocus) {
    SimulatedButton button(Passive(3));
    button.Send(E::MouseMove, true);
    button.Send(E::LButtonDown, true);
    button.Send(E::LButtonUp, true);
    EXPECT_EQ(button.state().drawState, 2);
    EXPECT_EQ(button.clicks(), 0);
    button.Send(E::SetFocus, true);
    EXPECT_EQ(button.state().drawState, 0);
}

}  // namespace
}  // namespace rrb
