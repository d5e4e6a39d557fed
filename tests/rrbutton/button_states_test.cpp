#include "rrbutton/button_states.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace rrb {

using A = ButtonAction;
using E = ButtonEvent;

// Found by argument-dependent lookup, so it lives in the type's namespace.
std::ostream& operator<<(std::ostream& out, const ActionList& actions) {
    static const char* const names[] = {"SetButtonCursor", "SetArrowCursor", "SetCapture", "ReleaseCapture",
                                        "StartHoverTimer", "KillHoverTimer", "TakeFocus", "PassFocusForward",
                                        "PassFocusBackward", "RestorePressedLook", "Repaint", "Click", "ResetLook"};
    out << '[';
    for (std::size_t i = 0; i < actions.size(); ++i) {
        out << (i ? ", " : "") << names[static_cast<int>(actions[i])];
    }
    return out << ']';
}

namespace {

// An ordinary button, a link (fixed look, still clickable) and a passive button as RRBM_SETFIXEDLOOK leaves it.
ButtonState O(int drawState, int pressSource, bool timer = false) { return {drawState, pressSource, 0, 1, timer}; }
ButtonState L(int drawState, int pressSource) { return {drawState, pressSource, 1, 1, false}; }
ButtonState P(int fixedLook, bool timer = false) { return {fixedLook - 1, 0, fixedLook, 0, timer}; }

// What the window procedure observed, as flags.
constexpr unsigned kAway = 0, kIn = 1, kDisabled = 2, kFocus = 4, kCursor = 8, kShift = 16;

Observations Observed(unsigned seen) {
    return {(seen & kIn) != 0, (seen & kDisabled) == 0, (seen & kFocus) != 0, (seen & kCursor) != 0,
            (seen & kShift) != 0};
}

constexpr MessageResult kZero = MessageResult::Zero;
constexpr MessageResult kDefault = MessageResult::Default;
constexpr unsigned kReturn = kVirtualKeyReturn;
constexpr unsigned kSpace = kVirtualKeySpace;
const ActionList kPress{A::SetCapture, A::TakeFocus, A::RestorePressedLook, A::Repaint};
const ActionList kClickingRelease{A::ReleaseCapture, A::Repaint, A::Click};
const ActionList kTickAway{A::KillHoverTimer, A::Repaint};

// One row of the transitions and message answers: start state, event (key for
// KeyDown), observations, then the state, ordered actions and answer expected.
struct Row { const char* name; ButtonState from; E event; unsigned key; unsigned seen; ButtonState to;
             ActionList actions; MessageResult result; };

const Row kRows[] = {
    {"normal to hot", O(0, 0), E::MouseMove, 0, kIn, O(1, 0, true),
     {A::SetButtonCursor, A::StartHoverTimer, A::Repaint}, kDefault},
    {"hot stays quiet", O(1, 0, true), E::MouseMove, 0, kIn | kCursor, O(1, 0, true), {}, kDefault},
    {"hot, away, own cursor", O(1, 0, true), E::MouseMove, 0, kCursor, O(0, 0, true),
     {A::SetArrowCursor, A::Repaint}, kDefault},
    {"hot, away", O(1, 0, true), E::MouseMove, 0, kAway, O(0, 0, true), {A::Repaint}, kDefault},
    {"normal, away", O(0, 0), E::MouseMove, 0, kAway, O(0, 0), {}, kDefault},
    {"pressed, away", O(2, 1, true), E::MouseMove, 0, kAway, O(0, 1, true), {A::Repaint}, kDefault},
    {"pressed, back, timer stopped", O(0, 1), E::MouseMove, 0, kIn, O(2, 1, true),
     {A::SetButtonCursor, A::StartHoverTimer, A::Repaint}, kDefault},
    {"pressed, over", O(2, 1, true), E::MouseMove, 0, kIn, O(2, 1, true), {A::SetButtonCursor}, kDefault},
    {"space press, away", O(2, 2), E::MouseMove, 0, kAway, O(2, 2), {}, kDefault},
    {"space press, over", O(0, 2), E::MouseMove, 0, kIn, O(0, 2), {}, kDefault},
    {"link: no hot look", L(0, 0), E::MouseMove, 0, kIn | kCursor, L(0, 0), {A::Repaint}, kDefault},
    {"link pressed, over", L(0, 1), E::MouseMove, 0, kIn | kCursor, L(2, 1), {A::Repaint}, kDefault},
    {"passive, over", P(3), E::MouseMove, 0, kIn, P(3), {A::SetButtonCursor}, kZero},
    {"passive, away", P(3), E::MouseMove, 0, kCursor, P(3), {}, kZero},
    {"press from normal", O(0, 0), E::LButtonDown, 0, kIn, O(2, 1), kPress, kZero},
    {"press from hot", O(1, 0), E::LButtonDown, 0, kIn, O(2, 1), kPress, kZero},
    {"press, focused", O(1, 0), E::LButtonDown, 0, kIn | kFocus, O(2, 1), {A::SetCapture, A::Repaint}, kZero},
    {"press on a link", L(0, 0), E::LButtonDown, 0, kIn, L(2, 1), kPress, kZero},
    {"press on a corner", O(1, 0), E::LButtonDown, 0, kAway, O(1, 0), {}, kDefault},
    {"press in a space press", O(2, 2), E::LButtonDown, 0, kIn, O(2, 2), {A::SetCapture}, kDefault},
    {"press, passive", P(3), E::LButtonDown, 0, kIn, P(3), {A::SetCapture}, kZero},
    {"clickable 2 takes no focus", {0, 0, 1, 2, false}, E::LButtonDown, 0, kIn, {2, 1, 1, 2, false},
     {A::SetCapture, A::Repaint}, kZero},
    {"double click", O(1, 0), E::LButtonDblClk, 0, kIn, O(2, 1), kPress, kZero},
    {"double click on a corner", O(1, 0), E::LButtonDblClk, 0, kAway, O(1, 0), {}, kZero},
    {"release over", O(2, 1), E::LButtonUp, 0, kIn, O(1, 0), kClickingRelease, kZero},
    {"release over a link", L(2, 1), E::LButtonUp, 0, kIn, L(0, 0), kClickingRelease, kZero},
    {"release away, unnoticed", O(2, 1), E::LButtonUp, 0, kAway, O(0, 0), kClickingRelease, kZero},
    {"release after leaving", O(0, 1), E::LButtonUp, 0, kAway, O(0, 0), {A::ReleaseCapture, A::Repaint}, kZero},
    {"release, disabled", O(2, 1), E::LButtonUp, 0, kIn | kDisabled, O(1, 0), {A::ReleaseCapture, A::Repaint},
     kZero},
    {"release, no press", O(1, 0), E::LButtonUp, 0, kIn, O(1, 0), {A::ReleaseCapture}, kZero},
    {"release ends a space press", O(2, 2), E::LButtonUp, 0, kIn, O(1, 0), kClickingRelease, kZero},
    {"release, passive", P(3), E::LButtonUp, 0, kIn, P(3), {A::ReleaseCapture}, kZero},
    {"space from normal", O(0, 0), E::KeyDown, kSpace, kAway, O(2, 2), {A::Repaint}, kDefault},
    {"space from hot", O(1, 0), E::KeyDown, kSpace, kAway, O(2, 2), {A::Repaint}, kDefault},
    {"return", O(0, 0), E::KeyDown, kReturn, kAway, O(0, 0), {A::Click}, kDefault},
    {"return, disabled", O(1, 0), E::KeyDown, kReturn, kDisabled, O(1, 0), {A::Click}, kDefault},
    {"other key", O(0, 0), E::KeyDown, 'A', kAway, O(0, 0), {}, kDefault},
    {"space in a mouse press", O(2, 1), E::KeyDown, kSpace, kIn, O(2, 1), {}, kDefault},
    {"return in a space press", O(2, 2), E::KeyDown, kReturn, kIn, O(2, 2), {}, kDefault},
    {"return, passive", P(1), E::KeyDown, kReturn, kAway, P(1), {}, kDefault},
    {"space, passive", P(3), E::KeyDown, kSpace, kAway, P(3), {}, kDefault},
    {"any key up ends a space press", O(2, 2), E::KeyUp, 'A', kAway, O(0, 0),
     {A::Repaint, A::Click, A::ResetLook, A::Repaint}, kDefault},
    {"key up, disabled", O(2, 2), E::KeyUp, 0, kDisabled, O(0, 0), {A::Repaint, A::ResetLook, A::Repaint},
     kDefault},
    {"key up, look lost", O(0, 2), E::KeyUp, 0, kIn, O(0, 0), {A::Repaint}, kDefault},
    {"key up in a mouse press", O(2, 1), E::KeyUp, 0, kIn, O(2, 1), {}, kDefault},
    {"key up, no press", O(1, 0), E::KeyUp, 0, kIn, O(1, 0), {}, kDefault},
    {"made passive in a space press", {2, 2, 3, 0, false}, E::KeyUp, 0, kAway, P(3), {}, kDefault},
    {"tick away ends hot", O(1, 0, true), E::Timer, 0, kAway, O(0, 0), kTickAway, kDefault},
    {"tick away, mouse press", O(2, 1, true), E::Timer, 0, kAway, O(0, 1), kTickAway, kDefault},
    {"tick away, space press", O(2, 2, true), E::Timer, 0, kAway, O(0, 2), kTickAway, kDefault},
    {"tick over", O(1, 0, true), E::Timer, 0, kIn, O(1, 0, true), {}, kDefault},
    {"tick away, passive", P(3, true), E::Timer, 0, kAway, P(3), {A::KillHoverTimer}, kDefault},
    {"focus gained in a press", O(2, 1), E::SetFocus, 0, kIn, O(0, 1), {A::Repaint}, kZero},
    {"focus gained at normal", O(0, 0), E::SetFocus, 0, kIn, O(0, 0), {A::Repaint}, kZero},
    {"focus gained, passive", P(3), E::SetFocus, 0, kAway, {0, 0, 3, 0, false},
     {A::PassFocusForward, A::Repaint}, kZero},
    {"focus gained, passive, shift", P(3), E::SetFocus, 0, kShift, {0, 0, 3, 0, false},
     {A::PassFocusBackward, A::Repaint}, kZero},
    {"focus lost in a mouse press", O(2, 1), E::KillFocus, 0, kIn, O(0, 0), {A::Repaint}, kZero},
    {"focus lost in a space press", O(2, 2), E::KillFocus, 0, kIn, O(0, 0), {A::Repaint}, kZero},
    {"focus lost, hot", O(1, 0), E::KillFocus, 0, kIn, O(0, 0), {A::Repaint}, kZero},
    {"focus lost, passive", P(3), E::KillFocus, 0, kAway, {0, 0, 3, 0, false}, {A::Repaint}, kZero},
};

TEST(ButtonBehaviour, EveryTransitionAndMessageAnswer) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        const Reaction r = ReactToEvent(row.from, row.event, row.key, Observed(row.seen));
        EXPECT_EQ(r.state.drawState, row.to.drawState);
        EXPECT_EQ(r.state.pressSource, row.to.pressSource);
        EXPECT_EQ(r.state.hoverTimerRunning, row.to.hoverTimerRunning);
        EXPECT_EQ(r.state.fixedLook, row.to.fixedLook);
        EXPECT_EQ(r.state.clickable, row.to.clickable);
        EXPECT_EQ(r.actions, row.actions);
        EXPECT_EQ(r.result, row.result);
    }
    // RestorePressedLook: the press shows again unless the focus went elsewhere meanwhile.
    EXPECT_EQ(DrawStateAfterTakingFocus(0, kMousePress), kDrawPressed);
    EXPECT_EQ(DrawStateAfterTakingFocus(0, kNoPress), kDrawNormal);
}

TEST(ButtonBehaviour, DlgCodeAnswers) {
    using D = DlgCodeAnswer;
    // fixedLook, clickable, has a MSG, WM_KEYDOWN or WM_CHAR, its wParam -> answer
    const std::pair<DlgCodeQuery, D> cases[] = {
        {{3, 0, true, true, kReturn}, D::Default},     {{1, 0, false, false, 0}, D::Default},
        {{0, 1, true, true, kReturn}, D::WantAllKeys}, {{1, 1, true, true, kReturn}, D::WantAllKeys},
        {{0, 0, true, true, kReturn}, D::WantAllKeys}, {{0, 1, true, true, kSpace}, D::Default},
        {{0, 1, true, false, kReturn}, D::Default},    {{0, 1, false, false, 0}, D::ButtonUndefPush},
        {{1, 1, false, false, 0}, D::Default},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(AnswerDlgCode(cases[i].first), cases[i].second) << "case " << i;
    }
}

TEST(ButtonFocus, FocusTargetSkipsPassiveButtonsAndEndsOnEveryTabOrder) {
    // nextOf[item] is the item after it in the tab order; 0 means none.
    const std::vector<int> cycle{0, 2, 3, 4, 1};
    const std::vector<int> stuck{0, 7, 4, 4, 4, 8, 5, 2, 0};  // found by fuzzing: 1 -> 7 -> 2 -> 4 -> 4
    const std::vector<int> tailThenLoop{0, 2, 3, 4, 5, 6, 4};
    const struct { int start; std::vector<int> nextOf; std::set<int> passive; std::optional<int> target; } cases[] = {
        {1, cycle, {1}, 2},
        {1, cycle, {1, 2, 3}, 4},
        {1, cycle, {1, 2, 3, 4}, std::nullopt},
        {1, {0, 1}, {1}, std::nullopt},                                      // the only control
        {1, {0, 0}, {1}, std::nullopt},                                      // no next item
        {9, {0, 2, 3, 4, 1, 0, 0, 0, 0, 1}, {9, 1, 2, 3, 4}, std::nullopt},  // start outside the cycle
        {1, stuck, {1, 2, 4, 6, 7}, std::nullopt},                           // loop missing start and first item
        {1, stuck, {1, 2, 6, 7}, 4},
        {1, tailThenLoop, {1, 2, 3, 4, 5, 6}, std::nullopt},
        {1, tailThenLoop, {1, 2, 3, 4, 5}, 6},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        int steps = 0;
        const auto next = [&](int item) {
            EXPECT_LT(++steps, 100) << "the walk does not end";
            return steps < 100 ? cases[i].nextOf.at(item) : 0;
        };
        const auto isPassive = [&](int item) { return cases[i].passive.count(item) != 0; };
        EXPECT_EQ(FindFocusTarget(cases[i].start, next, isPassive), cases[i].target) << "case " << i;
    }
}

// Runs reactions the way the window procedure does, with a simulated system:
// the button's own WM_SETFOCUS runs inside TakeFocus.
struct SimulatedButton {
    explicit SimulatedButton(ButtonState start) : state(start) {}
    ButtonState state;
    bool focused = false;
    bool captured = false;
    int clicks = 0;
    std::vector<int> painted;  // drawState at each repaint

    void Send(E event, bool pointerIn, unsigned key = 0) {
        const unsigned seen = (pointerIn ? kIn : kAway) | (focused ? kFocus : kAway);
        const Reaction reaction = ReactToEvent(state, event, key, Observed(seen));
        state = reaction.state;
        for (ButtonAction action : reaction.actions) {
            switch (action) {
                case A::SetCapture: captured = true; break;
                case A::ReleaseCapture: captured = false; break;
                case A::TakeFocus: focused = true; Send(E::SetFocus, pointerIn); break;
                case A::PassFocusForward:
                case A::PassFocusBackward: focused = false; Send(E::KillFocus, pointerIn); break;
                case A::RestorePressedLook:
                    state.drawState = DrawStateAfterTakingFocus(state.drawState, state.pressSource);
                    break;
                case A::Repaint: painted.push_back(state.drawState); break;
                case A::Click: ++clicks; break;
                case A::ResetLook: state.drawState = kDrawNormal; break;
                default: break;  // cursors and timer change nothing here
            }
        }
    }
};

TEST(ButtonInteraction, SequencesGiveTheRightClicksAndLooks) {
    constexpr E kMove = E::MouseMove, kDown = E::LButtonDown, kUp = E::LButtonUp, kDouble = E::LButtonDblClk;
    constexpr E kKeyDown = E::KeyDown, kKeyUp = E::KeyUp, kTick = E::Timer, kGainFocus = E::SetFocus;
    struct Step { E event; bool pointerIn; unsigned key; };
    const struct { const char* name; ButtonState start; std::vector<Step> steps; int clicks; std::vector<int> painted;
                   int finalDrawState; } cases[] = {
        {"press, leave, return, release: one", O(0, 0),
         {{kMove, 1, 0}, {kDown, 1, 0}, {kMove, 0, 0}, {kMove, 1, 0}, {kUp, 1, 0}}, 1, {1, 0, 2, 0, 2, 1}, kDrawHot},
        {"press, leave, release: none", O(0, 0), {{kDown, 1, 0}, {kMove, 0, 0}, {kUp, 0, 0}}, 0, {0, 2, 0, 0}, 0},
        {"double click: two", O(1, 0, true), {{kDown, 1, 0}, {kUp, 1, 0}, {kDouble, 1, 0}, {kUp, 1, 0}}, 2,
         {0, 2, 1, 2, 1}, kDrawHot},
        {"focus lost mid-press: none", O(0, 0), {{kDown, 1, 0}, {E::KillFocus, 1, 0}, {kUp, 1, 0}}, 0, {0, 2, 0}, 0},
        {"space, then mouse release: one", O(0, 0), {{kKeyDown, 1, kSpace}, {kDown, 1, 0}, {kUp, 1, 0}, {kKeyUp, 1, 0}},
         1, {2, 1}, kDrawHot},
        {"space, tick away, key up: none", O(1, 0, true), {{kKeyDown, 1, kSpace}, {kTick, 0, 0}, {kKeyUp, 0, 0}}, 0,
         {2, 0, 0}, 0},
        {"held return: a click per repeat", O(0, 0), {{kKeyDown, 0, kReturn}, {kKeyDown, 0, kReturn}}, 2, {}, 0},
        {"passive: look kept until the focus comes", P(3),
         {{kMove, 1, 0}, {kDown, 1, 0}, {kUp, 1, 0}, {kGainFocus, 1, 0}}, 0, {0, 0}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedButton button(c.start);
        for (const Step& step : c.steps) {
            button.Send(step.event, step.pointerIn, step.key);
        }
        EXPECT_EQ(button.clicks, c.clicks);
        EXPECT_EQ(button.painted, c.painted);
        EXPECT_EQ(button.state.drawState, c.finalDrawState);
        EXPECT_EQ(button.state.pressSource, kNoPress);
        EXPECT_FALSE(button.captured);
    }
}

}  // namespace
}  // namespace rrb
