// The round-rect button's decisions, fed with arbitrary values: colours,
// geometry with any int an application can send (margins, sizes, positions),
// frame and content plans, WM_GETDLGCODE answers, the focus walk over any tab
// order, and the state machine over any sequence of events. UndefinedBehavior-
// Sanitizer catches arithmetic overflow; the checks are properties the
// button's users rely on.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "fuzz_input.h"
#include "rrbutton/button_model.h"
#include "rrbutton/button_states.h"

namespace rrb {
namespace {

Color TopByte(Color color) {
    return color & 0xFF000000u;
}

int AnyInt(FuzzedDataProvider& in) {
    return in.ConsumeIntegral<int>();
}

Color AnyColour(FuzzedDataProvider& in) {
    return in.ConsumeIntegral<Color>();
}

int Clamped(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

// ---- Colours -------------------------------------------------------------------

void CheckColours(FuzzedDataProvider& in) {
    const Color color = AnyColour(in);
    Require(TopByte(Lighter(color)) == TopByte(color) && TopByte(Darker(color)) == TopByte(color),
            "shades keep the top byte");

    // Braced lists take their values from the input in order.
    const ColorRebuildInput input{AnyColour(in), in.ConsumeBool() ? kNoFaceKey : AnyColour(in), AnyColour(in),
                                  AnyColour(in), AnyColour(in), in.ConsumeBool()};
    const ColorRebuildPlan plan = PlanColorRebuild(input);
    const Color marker = input.paletteDisplay ? kPaletteRelativeMarker : 0;
    Require(plan.makePalette == input.paletteDisplay, "a palette is made on palette displays only");
    Require(TopByte(plan.faceColor) == marker, "the face colour is marked exactly when a palette is made");
    for (std::size_t i = 0; i < plan.paletteEntries.size(); ++i) {
        Require(TopByte(plan.paletteEntries[i]) == 0, "palette entries are plain colours");
        Require(plan.storedEntries[i] == (plan.paletteEntries[i] | marker), "stored entries are the entries");
    }
    Require(plan.faceColor == plan.storedEntries[0], "the face colour is the first entry");

    const int rasterCaps = AnyInt(in);
    const bool palette = IsPaletteDisplay(rasterCaps, AnyInt(in), AnyInt(in));
    Require(!palette || (rasterCaps & 0x0100) != 0, "only a display with RC_PALETTE draws through a palette");
}

// ---- Geometry ------------------------------------------------------------------

void CheckGeometry(FuzzedDataProvider& in) {
    const ImageLayout layout{in.ConsumeBool() ? in.ConsumeIntegralInRange(-10, 0) : AnyInt(in),
                             AnyInt(in), AnyInt(in), AnyInt(in), AnyInt(in), AnyInt(in), AnyInt(in), AnyInt(in),
                             AnyInt(in)};
    const int clientWidth = AnyInt(in);
    const int clientHeight = AnyInt(in);
    const Point origin = ImageOrigin(layout, clientWidth, clientHeight);
    if (layout.placement < -9 || layout.placement > -1) {
        Require(origin == Point{layout.x, layout.y}, "other codes give the explicit position");
    } else {
        const int place = -layout.placement - 1;  // 0..8, by rows
        Require(place % 3 != 0 || origin.x == layout.marginLeft, "the left column sits at the left margin");
        Require(place / 3 != 0 || origin.y == layout.marginTop, "the top row sits at the top margin");
    }

    const int width = AnyInt(in);
    const int height = AnyInt(in);
    const TextMargins margins{AnyInt(in), AnyInt(in), AnyInt(in), AnyInt(in)};
    const int fixedLook = in.ConsumeIntegralInRange(-1, 4);
    const CaptionRects rects = PlanCaptionRects(margins, fixedLook, width, height);
    Require(rects.normal == Rect{margins.left, margins.top, Clamped(std::int64_t{width} - margins.right),
                                 Clamped(std::int64_t{height} - margins.bottom)},
            "the caption is the client area inside the margins, stopping at the ends of the int range");
    Require(fixedLook == 0 || rects.pressed == rects.normal, "only an ordinary button moves its pressed caption");
    // The rest only has to stay free of overflow, which the sanitizer reports.
    ShadowRect(rects.normal);
    const int dx = AnyInt(in);
    const int dy = AnyInt(in);
    OffsetRect(rects.normal, dx, dy);
    SizeRuleRegion(width, height);
    CornerRuleRegion(width, height);
    Require(ClampCorner(width) >= 0, "corner sizes are never negative");
    RingRect(Ring{in.ConsumeIntegralInRange(0, 2), in.ConsumeIntegralInRange(0, 2), 0}, width, height);
    RoundHalfEven(in.ConsumeFloatingPoint<double>());
}

// ---- Frame and content -------------------------------------------------------------

void CheckFrame(FuzzedDataProvider& in) {
    const FrameInput input{in.ConsumeIntegralInRange(-1, 3), in.ConsumeIntegralInRange(-1, 4), in.ConsumeBool(),
                           in.ConsumeIntegralInRange(-1, 2), in.ConsumeBool(), AnyColour(in), AnyColour(in),
                           AnyColour(in), AnyColour(in), AnyColour(in)};
    const Color colours[] = {input.faceColor, input.darkerShade, input.highlight, input.shadow, input.infoBackground,
                             kFlatFocusGreen};
    const FramePlan plan = PlanFrame(input);

    Require(plan.ringCount >= 1 && plan.ringCount <= static_cast<int>(plan.rings.size()), "one to four rings");
    const FrameNotification named = plan.look == Look::Raised   ? FrameNotification::Raised
                                    : plan.look == Look::Sunken ? FrameNotification::Sunken
                                    : input.isDefault          ? FrameNotification::None
                                                               : FrameNotification::Flat;
    Require(plan.notification == named, "the notification names the look, the default button's flat look none");
    const bool focusRing = plan.ringCount == (plan.look == Look::Flat ? 2 : 4);
    Require(!focusRing || (input.hasFocus && input.clickable != 0), "a focus ring only on a focused clickable button");
    for (int i = 0; i < plan.ringCount; ++i) {
        const Ring& ring = plan.rings[i];
        Require(ring.a >= 0 && ring.a <= 2 && ring.k >= 0 && ring.k <= 2, "rings lie within two pixels of the edge");
        bool known = false;
        for (Color colour : colours) {
            known = known || ring.color == colour;
        }
        Require(known, "rings take the button's own colours");
    }
}

void CheckContent(FuzzedDataProvider& in) {
    // Colours 1 to 5: normal, hot and pressed caption, highlight, shadow.
    ContentInput input{in.ConsumeIntegralInRange(-1, 3), in.ConsumeIntegralInRange(-1, 4), in.ConsumeBool(),
                       in.ConsumeBool(), in.ConsumeBool(),
                       ImageSlotsSet{in.ConsumeBool(), in.ConsumeBool(), in.ConsumeBool(), in.ConsumeBool()},
                       Point{AnyInt(in), AnyInt(in)}, 1, 2, 3, 4, 5,
                       CaptionRects{Rect{AnyInt(in), AnyInt(in), AnyInt(in), AnyInt(in)}, Rect{}}};
    input.captionRects.pressed = OffsetRect(input.captionRects.normal, 1, 1);
    const ContentPlan plan = PlanContent(input);

    const ImageSlotsSet& set = input.images;
    // Hot and pressed looks fall back on each other and on the normal image.
    const bool hotOrPressed = input.drawState == kDrawHot || input.drawState == kDrawPressed;
    const bool nothingFits = hotOrPressed ? !set.normal && !set.hot && !set.pressed : !set.normal;
    Require((plan.image == ImageSlot::None) == nothingFits, "an image is drawn whenever one fits");
    Require((plan.image != ImageSlot::Normal || set.normal) && (plan.image != ImageSlot::Hot || set.hot) &&
                (plan.image != ImageSlot::Pressed || set.pressed),
            "only a set image is drawn");
    Require(plan.image != ImageSlot::Disabled || (set.disabled && !input.enabled && !hotOrPressed),
            "the disabled image only for a disabled button");
    Require(plan.captionColor >= 1 && plan.captionColor <= 5, "the caption takes one of the button's colours");
    Require(plan.shadowRect == ShadowRect(plan.captionRect), "the shadow follows the caption");
    Require(set.normal || (plan.imageAt.x >= 0 && plan.imageAt.x <= 1 && plan.imageAt.x == plan.imageAt.y),
            "without a normal image, images go to the corner");
}

// ---- WM_GETDLGCODE and the focus walk --------------------------------------------------

void CheckDlgCode(FuzzedDataProvider& in) {
    const DlgCodeQuery query{AnyInt(in), AnyInt(in), in.ConsumeBool(), in.ConsumeBool(),
                             in.ConsumeBool() ? kVirtualKeyReturn : in.ConsumeIntegral<unsigned>()};
    const DlgCodeAnswer answer = AnswerDlgCode(query);
    Require(query.fixedLook == 0 || query.clickable != 0 || answer == DlgCodeAnswer::Default,
            "a passive button asks for nothing");
    Require(answer != DlgCodeAnswer::WantAllKeys ||
                (query.hasMessage && query.messageIsKeyDownOrChar && query.messageWParam == kVirtualKeyReturn),
            "all keys only for a Return key message");
}

// Any tab order the window manager could hand out, and some it should not:
// next() is an arbitrary map over a dozen items, 0 being "none".
void CheckFocusWalk(FuzzedDataProvider& in) {
    const int count = in.ConsumeIntegralInRange(1, 12);
    std::vector<int> nextOf(count + 1, 0);
    std::vector<bool> passive(count + 1, false);
    for (int item = 1; item <= count; ++item) {
        nextOf[item] = in.ConsumeIntegralInRange(0, count);
        passive[item] = in.ConsumeBool();
    }
    const int start = in.ConsumeIntegralInRange(1, count);

    // The simple walk with a list of the items seen: the first item that is
    // not passive, before none, the start, or an item seen before.
    int expected = 0;
    std::vector<bool> seen(count + 1, false);
    for (int item = nextOf[start]; item != 0 && item != start && !seen[item]; item = nextOf[item]) {
        seen[item] = true;
        if (!passive[item]) {
            expected = item;
            break;
        }
    }
    int steps = 0;
    const std::optional<int> target = FindFocusTarget(
        start,
        [&](int item) {
            Require(++steps <= 4 * (count + 1), "the focus walk ends");
            Require(item >= 1 && item <= count, "the walk asks only about real items");
            return nextOf[item];
        },
        [&](int item) { return static_cast<bool>(passive[item]); });
    Require(target.value_or(0) == expected, "the focus goes to the first item that takes it");
}

// ---- The state machine ---------------------------------------------------------------

void CheckReaction(const ButtonState& before, ButtonEvent event, const Observations& seen, const Reaction& reaction) {
    using A = ButtonAction;
    const ButtonState& after = reaction.state;
    const ActionList& actions = reaction.actions;
    const bool press = event == ButtonEvent::LButtonDown || event == ButtonEvent::LButtonDblClk;

    Require(after.drawState >= kDrawNormal && after.drawState <= kDrawPressed, "a known look");
    Require(after.pressSource >= kNoPress && after.pressSource <= kSpacePress, "a known press source");
    Require(after.fixedLook == before.fixedLook && after.clickable == before.clickable, "settings stay");
    int repaints = 0;
    bool repaintDue = after.drawState != before.drawState;  // each change of look is followed by a repaint
    for (std::size_t i = 0; i < actions.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            Require(actions[i] != actions[j] || actions[i] == A::Repaint, "no side effect twice in one reaction");
        }
        repaints += actions[i] == A::Repaint;
        repaintDue = actions[i] == A::RestorePressedLook || actions[i] == A::ResetLook ||
                     (repaintDue && actions[i] != A::Repaint);
        Require(actions[i] != A::TakeFocus || (i + 1 < actions.size() && actions[i + 1] == A::RestorePressedLook),
                "the pressed look comes back after taking the focus");
    }
    Require(repaints <= 2, "at most two repaints");
    Require(!repaintDue, "a change of look is repainted");

    if (IsPassive(before.fixedLook, before.clickable)) {
        Require(!actions.Contains(A::Click) && !actions.Contains(A::TakeFocus),
                "a passive button never clicks nor takes the focus");
        Require(after.pressSource == kNoPress || after.pressSource == before.pressSource,
                "a passive button takes no press");
        Require(after.drawState == before.drawState || after.drawState == kDrawNormal,
                "a passive button keeps its look");
    }
    Require(!actions.Contains(A::Click) || event == ButtonEvent::KeyDown || seen.enabled,
            "a disabled button does not click");
    Require(after.drawState != kDrawHot || before.drawState == kDrawHot || before.fixedLook == 0,
            "only an ordinary button turns hot");
    Require(after.pressSource != kMousePress || before.pressSource == kMousePress || (press && seen.pointerInButton),
            "a mouse press starts with a press over the button");
    Require(actions.Contains(A::StartHoverTimer) == (!before.hoverTimerRunning && after.hoverTimerRunning),
            "the hover timer starts when it was not running");
    Require(!before.hoverTimerRunning || after.hoverTimerRunning || actions.Contains(A::KillHoverTimer),
            "a stopped hover timer is killed");
    Require(!actions.Contains(A::SetCapture) || press, "capture on a press only");
    Require(!actions.Contains(A::ReleaseCapture) || event == ButtonEvent::LButtonUp, "release on a release only");
}

// Plays the events as the window procedure does: stores the reaction's state,
// then carries out the actions that change the record. Taking the focus runs
// the button's own focus handler inside.
void CheckEventSequence(FuzzedDataProvider& in) {
    ButtonState state{kDrawNormal, kNoPress, in.ConsumeIntegralInRange(-1, 3), in.ConsumeIntegralInRange(-1, 2), false};
    for (int step = 0; step < 64 && in.remaining_bytes() > 0; ++step) {
        const int choice = in.ConsumeIntegralInRange(0, 10);
        if (choice >= 9) {  // the application changes the fixed look, or whether the button is clickable
            int& setting = choice == 9 ? state.fixedLook : state.clickable;
            setting = in.ConsumeIntegralInRange(-1, choice == 9 ? 3 : 2);
            continue;
        }
        const auto event = static_cast<ButtonEvent>(choice);
        const unsigned keys[] = {kVirtualKeyReturn, kVirtualKeySpace, 0x41};
        const unsigned virtualKey = keys[in.ConsumeIntegralInRange(0, 2)];
        const Observations seen{in.ConsumeBool(), in.ConsumeBool(), in.ConsumeBool(), in.ConsumeBool(),
                                in.ConsumeBool()};

        const Reaction reaction = ReactToEvent(state, event, virtualKey, seen);
        CheckReaction(state, event, seen, reaction);
        state = reaction.state;
        for (ButtonAction action : reaction.actions) {
            if (action == ButtonAction::TakeFocus) {
                Observations focused = seen;
                focused.hasFocus = true;
                const Reaction inner = ReactToEvent(state, ButtonEvent::SetFocus, 0, focused);
                CheckReaction(state, ButtonEvent::SetFocus, focused, inner);
                state = inner.state;
            } else if (action == ButtonAction::RestorePressedLook) {
                state.drawState = DrawStateAfterTakingFocus(state.drawState, state.pressSource);
            } else if (action == ButtonAction::ResetLook) {
                state.drawState = kDrawNormal;
            }
        }
    }
}

}  // namespace
}  // namespace rrb

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    rrb::CheckColours(in);
    rrb::CheckGeometry(in);
    rrb::CheckFrame(in);
    rrb::CheckContent(in);
    rrb::CheckDlgCode(in);
    rrb::CheckFocusWalk(in);
    rrb::CheckEventSequence(in);
    return 0;
}
