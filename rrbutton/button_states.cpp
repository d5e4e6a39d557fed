#include "rrbutton/button_states.h"

#include <cassert>

namespace rrb {

namespace {

using A = ButtonAction;

Reaction Unchanged(const ButtonState& state, MessageResult result)
{
    return Reaction{state, ActionList{}, result};
}

Reaction OnMouseMove(const ButtonState& state, const Observations& seen)
{
    Reaction reaction = Unchanged(state, MessageResult::Default);
    ButtonState& next = reaction.state;
    ActionList& actions = reaction.actions;

    if (IsPassive(state.fixedLook, state.clickable)) {
        if (seen.pointerInButton && !seen.cursorIsButtonCursor) {
            actions.Add(A::SetButtonCursor);
        }
        reaction.result = MessageResult::Zero;
        return reaction;
    }
    if (state.pressSource == SpacePress) {
        return reaction;
    }
    if (seen.pointerInButton) {
        if (!seen.cursorIsButtonCursor) {
            actions.Add(A::SetButtonCursor);
        }
        if (!state.hoverTimerRunning && state.fixedLook == NotFixed) {
            next.hoverTimerRunning = true;
            actions.Add(A::StartHoverTimer);
        }
        if (state.pressSource != NoPress) {
            if (state.drawState != DrawPressed) {
                next.drawState = DrawPressed;
                actions.Add(A::Repaint);
            }
        } else if (state.drawState != DrawHot) {
            // A fixed-look button never shows the hot look, but is repainted
            // at every move over it.
            next.drawState = state.fixedLook != NotFixed ? DrawNormal : DrawHot;
            actions.Add(A::Repaint);
        }
        return reaction;
    }
    // Pointer away: captured, or over a cut-off corner.
    if (seen.cursorIsButtonCursor) {
        actions.Add(A::SetArrowCursor);
    }
    if (state.drawState != DrawNormal) {
        next.drawState = DrawNormal;
        actions.Add(A::Repaint);
    }
    return reaction;
}

Reaction OnLButtonDown(const ButtonState& state, const Observations& seen)
{
    if (!seen.pointerInButton) {
        return Unchanged(state, MessageResult::Default);
    }
    Reaction reaction = Unchanged(state, MessageResult::Zero);
    ActionList& actions = reaction.actions;
    actions.Add(A::SetCapture);
    if (IsPassive(state.fixedLook, state.clickable)) {
        return reaction;  // the capture stays until the release
    }
    if (state.pressSource == SpacePress) {
        reaction.result = MessageResult::Default;
        return reaction;
    }
    reaction.state.pressSource = MousePress;
    reaction.state.drawState = DrawPressed;
    const bool takesFocus = state.fixedLook == NotFixed || (state.fixedLook > 0 && state.clickable == 1);
    if (takesFocus && !seen.hasFocus) {
        actions.Add(A::TakeFocus);
        actions.Add(A::RestorePressedLook);
    }
    actions.Add(A::Repaint);
    return reaction;
}

Reaction OnLButtonUp(const ButtonState& state, const Observations& seen)
{
    Reaction reaction = Unchanged(state, MessageResult::Zero);
    ActionList& actions = reaction.actions;
    actions.Add(A::ReleaseCapture);
    if (IsPassive(state.fixedLook, state.clickable) || state.pressSource == NoPress) {
        return reaction;
    }
    const int previousDrawState = state.drawState;
    if (seen.pointerInButton) {
        reaction.state.drawState = state.fixedLook == NotFixed ? DrawHot : DrawNormal;
    } else {
        reaction.state.drawState = DrawNormal;
    }
    reaction.state.pressSource = NoPress;
    actions.Add(A::Repaint);
    // The look at release decides: pressed while the pointer stayed over the
    // button, normal once a move or a timer tick saw it leave.
    if (previousDrawState != DrawNormal && seen.enabled) {
        actions.Add(A::Click);
    }
    return reaction;
}

Reaction OnKeyDown(const ButtonState& state, unsigned virtualKey)
{
    Reaction reaction = Unchanged(state, MessageResult::Default);
    // A passive button can hold the focus when nothing else takes it; it
    // still never presses nor clicks.
    if (state.pressSource != NoPress || IsPassive(state.fixedLook, state.clickable)) {
        return reaction;
    }
    if (virtualKey == VirtualKeyReturn) {
        reaction.actions.Add(A::Click);
    } else if (virtualKey == VirtualKeySpace) {
        reaction.state.drawState = DrawPressed;
        reaction.state.pressSource = SpacePress;
        reaction.actions.Add(A::Repaint);
    }
    return reaction;
}

Reaction OnKeyUp(const ButtonState& state, const Observations& seen)
{
    Reaction reaction = Unchanged(state, MessageResult::Default);
    if (state.pressSource != SpacePress) {
        return reaction;
    }
    reaction.state.pressSource = NoPress;
    if (IsPassive(state.fixedLook, state.clickable)) {
        return reaction;  // became passive during the press: end it quietly
    }
    reaction.state.drawState = DrawNormal;
    ActionList& actions = reaction.actions;
    if (state.drawState != DrawNormal) {
        actions.Add(A::Repaint);
        if (seen.enabled) {
            actions.Add(A::Click);
        }
        actions.Add(A::ResetLook);
    }
    actions.Add(A::Repaint);
    return reaction;
}

Reaction OnTimer(const ButtonState& state, const Observations& seen)
{
    Reaction reaction = Unchanged(state, MessageResult::Default);
    if (seen.pointerInButton) {
        return reaction;
    }
    reaction.state.hoverTimerRunning = false;
    reaction.actions.Add(A::KillHoverTimer);
    // A passive button keeps the look its fixed look gave it.
    if (!IsPassive(state.fixedLook, state.clickable)) {
        reaction.state.drawState = DrawNormal;
        reaction.actions.Add(A::Repaint);
    }
    return reaction;
}

Reaction OnSetFocus(const ButtonState& state, const Observations& seen)
{
    Reaction reaction = Unchanged(state, MessageResult::Zero);
    reaction.state.drawState = DrawNormal;
    if (IsPassive(state.fixedLook, state.clickable)) {
        reaction.actions.Add(seen.shiftDown ? A::PassFocusBackward : A::PassFocusForward);
    }
    reaction.actions.Add(A::Repaint);
    return reaction;
}

Reaction OnKillFocus(const ButtonState& state)
{
    // A press in progress is cancelled; the mouse capture stays.
    Reaction reaction = Unchanged(state, MessageResult::Zero);
    reaction.state.drawState = DrawNormal;
    reaction.state.pressSource = NoPress;
    reaction.actions.Add(A::Repaint);
    return reaction;
}

}  // namespace

void ActionList::Add(ButtonAction action)
{
    assert(count_ < Capacity && "no reaction needs more actions");
    if (count_ < Capacity) {
        actions_[count_++] = action;
    }
}

bool IsPassive(int fixedLook, int clickable)
{
    return fixedLook > 0 && clickable == 0;
}

Reaction ReactToEvent(const ButtonState& state, ButtonEvent event, unsigned virtualKey, const Observations& seen)
{
    switch (event) {
    case ButtonEvent::MouseMove: return OnMouseMove(state, seen);
    case ButtonEvent::LButtonDown: return OnLButtonDown(state, seen);
    case ButtonEvent::LButtonUp: return OnLButtonUp(state, seen);
    case ButtonEvent::KeyDown: return OnKeyDown(state, virtualKey);
    case ButtonEvent::KeyUp: return OnKeyUp(state, seen);
    case ButtonEvent::Timer: return OnTimer(state, seen);
    case ButtonEvent::SetFocus: return OnSetFocus(state, seen);
    case ButtonEvent::KillFocus: return OnKillFocus(state);
    }
    return Unchanged(state, MessageResult::Default);
}

int DrawStateAfterTakingFocus(int drawState, int pressSource)
{
    return pressSource == MousePress ? DrawPressed : drawState;
}

DlgCodeAnswer AnswerDlgCode(const DlgCodeQuery& query)
{
    if (query.fixedLook != NotFixed && query.clickable == 0) {
        return DlgCodeAnswer::Default;
    }
    if (query.hasMessage && query.messageIsKeyDownOrChar && query.messageWParam == VirtualKeyReturn) {
        return DlgCodeAnswer::WantAllKeys;
    }
    if (!query.hasMessage && query.fixedLook == NotFixed) {
        return DlgCodeAnswer::ButtonUndefPush;
    }
    return DlgCodeAnswer::Default;
}

}  // namespace rrb
