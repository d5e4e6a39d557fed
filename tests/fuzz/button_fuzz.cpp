// The round-rect button's decisions, fed with arbitrary values: colours,
// geometry with any int an application can send (margins, sizes, positions),
// frame and content plans, WM_GETDLGCODE answers, the focus walk over any tab
// order, and the state machine over any sequence of events. UndefinedBehavior-
// Sanitizer catches arithmetic overflow; a broken property stops the process.
#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "rrbutton/button_model.h"
#include "rrbutton/button_states.h"

namespace rrb {
namespace {

void Require(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "broken property: %s\n", property);
        std::abort();
    }
}

int Clamped(std::int64_t value) {
    return value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

// Half of an integer, halves to the even neighbour, by integer arithmetic.
std::int64_t HalfToEven(std::int64_t twice) {
    const std::int64_t below = twice >= 0 ? twice / 2 : -((1 - twice) / 2);  // floor(twice / 2)
    if (twice % 2 == 0) {
        return below;
    }
    return below % 2 == 0 ? below : below + 1;
}

Color TopByte(Color color) {
    return color & 0xFF000000u;
}

// ---- Colours -------------------------------------------------------------------

void CheckColours(FuzzedDataProvider& in) {
    const Color color = in.ConsumeIntegral<Color>();
    const Color lighter = Lighter(color);
    const Color darker = Darker(color);
    Require(TopByte(lighter) == TopByte(color) && TopByte(darker) == TopByte(color), "shades keep the top byte");
    for (int shift = 0; shift < 24; shift += 8) {
        const int channel = static_cast<int>((color >> shift) & 0xFF);
        const int up = static_cast<int>((lighter >> shift) & 0xFF);
        const int down = static_cast<int>((darker >> shift) & 0xFF);
        Require(up == (channel + 8 > 255 ? 255 : channel + 8), "lighter is 8 up per channel, to 255");
        Require(down == (channel - 16 < 0 ? 0 : channel - 16), "darker is 16 down per channel, to 0");
    }

    ColorRebuildInput input{};
    input.faceColor = in.ConsumeIntegral<Color>();
    input.paletteFaceKey = in.ConsumeBool() ? kNoFaceKey : in.ConsumeIntegral<Color>();
    input.systemFace = in.ConsumeIntegral<Color>();
    input.infoBackground = in.ConsumeIntegral<Color>();
    input.scrollbar = in.ConsumeIntegral<Color>();
    input.paletteDisplay = in.ConsumeBool();
    const ColorRebuildPlan plan = PlanColorRebuild(input);
    Require(TopByte(plan.faceColor) == 0 || TopByte(plan.faceColor) == kPaletteRelativeMarker,
            "a stored face colour is plain or palette-relative");
    Require(plan.makePalette == input.paletteDisplay, "a palette is made on palette displays only");
    Require(plan.paletteFaceKey == input.systemFace, "the key becomes the system face colour");
    const Color storedTop = plan.makePalette ? kPaletteRelativeMarker : 0;
    Require(TopByte(plan.faceColor) == storedTop, "the face colour is marked exactly when a palette is made");
    for (std::size_t i = 0; i < plan.paletteEntries.size(); ++i) {
        Require(TopByte(plan.paletteEntries[i]) == 0, "palette entries are plain colours");
        Require(plan.storedEntries[i] == (plan.paletteEntries[i] | storedTop), "stored entries are the entries");
    }
    Require(plan.faceColor == (plan.paletteEntries[0] | storedTop), "the face colour is the first entry");

    const int rasterCaps = in.ConsumeIntegral<int>();
    const bool palette = IsPaletteDisplay(rasterCaps, in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>());
    Require(!palette || (rasterCaps & 0x0100) != 0, "only a display with RC_PALETTE draws through a palette");
}

// ---- Geometry ------------------------------------------------------------------

void CheckImageOrigin(FuzzedDataProvider& in) {
    ImageLayout layout{};
    layout.placement = in.ConsumeBool() ? in.ConsumeIntegralInRange(-10, 0) : in.ConsumeIntegral<int>();
    layout.x = in.ConsumeIntegral<int>();
    layout.y = in.ConsumeIntegral<int>();
    layout.width = in.ConsumeIntegral<int>();
    layout.height = in.ConsumeIntegral<int>();
    layout.marginLeft = in.ConsumeIntegral<int>();
    layout.marginTop = in.ConsumeIntegral<int>();
    layout.marginRight = in.ConsumeIntegral<int>();
    layout.marginBottom = in.ConsumeIntegral<int>();
    const int width = in.ConsumeIntegral<int>();
    const int height = in.ConsumeIntegral<int>();

    const Point origin = ImageOrigin(layout, width, height);

    // Exact positions in 64 bits; what does not fit in an int stops at its end.
    const std::int64_t right = std::int64_t{width} - layout.width - layout.marginRight;
    const std::int64_t bottom = std::int64_t{height} - layout.height - layout.marginBottom;
    const std::int64_t centreX = HalfToEven(std::int64_t{width} - layout.width + 2 * std::int64_t{layout.marginLeft});
    const std::int64_t centreY = HalfToEven(std::int64_t{height} - layout.height + 2 * std::int64_t{layout.marginTop});
    std::int64_t expectedX = layout.x;
    std::int64_t expectedY = layout.y;
    if (layout.placement >= -9 && layout.placement <= -1) {
        const int column = (-layout.placement - 1) % 3;
        const int row = (-layout.placement - 1) / 3;
        expectedX = column == 0 ? layout.marginLeft : column == 1 ? centreX : right;
        expectedY = row == 0 ? layout.marginTop : row == 1 ? centreY : bottom;
    }
    Require(origin.x == Clamped(expectedX) && origin.y == Clamped(expectedY),
            "the image origin is exact, or stops at the end of the int range");
}

void CheckRectangles(FuzzedDataProvider& in) {
    const int width = in.ConsumeIntegral<int>();
    const int height = in.ConsumeIntegral<int>();
    const TextMargins margins{in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(),
                              in.ConsumeIntegral<int>()};
    const int fixedLook = in.ConsumeIntegralInRange(-1, 4);
    const CaptionRects rects = PlanCaptionRects(margins, fixedLook, width, height);
    const Rect normal{margins.left, margins.top, Clamped(std::int64_t{width} - margins.right),
                      Clamped(std::int64_t{height} - margins.bottom)};
    Require(rects.normal == normal, "the caption rectangle is the client area inset by the margins");
    const Rect moved{Clamped(std::int64_t{normal.left} + 1), Clamped(std::int64_t{normal.top} + 1),
                     Clamped(std::int64_t{normal.right} + 1), Clamped(std::int64_t{normal.bottom} + 1)};
    Require(rects.pressed == (fixedLook == 0 ? moved : normal), "only an ordinary button moves its pressed caption");
    Require(ShadowRect(rects.normal) == moved, "the shadow sits one pixel right and down");

    const int dx = in.ConsumeIntegral<int>();
    const int dy = in.ConsumeIntegral<int>();
    const Rect offset = OffsetRect(normal, dx, dy);
    Require(offset.left == Clamped(std::int64_t{normal.left} + dx) &&
                offset.bottom == Clamped(std::int64_t{normal.bottom} + dy),
            "offsets are exact, or stop at the end of the int range");

    SizeRuleRegion(width, height);
    CornerRuleRegion(width, height);
    Require(ClampCorner(width) >= 0, "corner sizes are never negative");
    const Ring ring{in.ConsumeIntegralInRange(0, 2), in.ConsumeIntegralInRange(0, 2), 0};
    RingRect(ring, width, height);
    RoundHalfEven(in.ConsumeFloatingPoint<double>());
}

// ---- Frame and content -------------------------------------------------------------

void CheckFrame(FuzzedDataProvider& in) {
    FrameInput input{};
    input.drawState = in.ConsumeIntegralInRange(-1, 3);
    input.fixedLook = in.ConsumeIntegralInRange(-1, 4);
    input.isDefault = in.ConsumeBool();
    input.clickable = in.ConsumeIntegralInRange(-1, 2);
    input.hasFocus = in.ConsumeBool();
    input.faceColor = in.ConsumeIntegral<Color>();
    input.darkerShade = in.ConsumeIntegral<Color>();
    input.highlight = in.ConsumeIntegral<Color>();
    input.shadow = in.ConsumeIntegral<Color>();
    input.infoBackground = in.ConsumeIntegral<Color>();
    const FramePlan plan = PlanFrame(input);

    Require(plan.ringCount >= 1 && plan.ringCount <= static_cast<int>(plan.rings.size()), "one to four rings");
    const FrameNotification expected = plan.look == Look::Raised   ? FrameNotification::Raised
                                       : plan.look == Look::Sunken ? FrameNotification::Sunken
                                       : input.isDefault          ? FrameNotification::None
                                                                  : FrameNotification::Flat;
    Require(plan.notification == expected, "the notification names the look");
    const bool focusRing = plan.ringCount == (plan.look == Look::Flat ? 2 : 4);
    Require(!focusRing || (input.hasFocus && input.clickable != 0), "a focus ring only on a focused clickable button");
    for (int i = 0; i < plan.ringCount; ++i) {
        const Ring& ring = plan.rings[i];
        Require(ring.a >= 0 && ring.a <= 2 && ring.k >= 0 && ring.k <= 2, "rings lie within two pixels of the edge");
        const Color c = ring.color;
        Require(c == input.faceColor || c == input.darkerShade || c == input.highlight || c == input.shadow ||
                    c == input.infoBackground || c == kFlatFocusGreen,
                "rings take the button's own colours");
    }
}

void CheckContent(FuzzedDataProvider& in) {
    ContentInput input{};
    input.drawState = in.ConsumeIntegralInRange(-1, 3);
    input.fixedLook = in.ConsumeIntegralInRange(-1, 4);
    input.imageNoShift = in.ConsumeBool();
    input.textShadow = in.ConsumeBool();
    input.enabled = in.ConsumeBool();
    input.images = ImageSlotsSet{in.ConsumeBool(), in.ConsumeBool(), in.ConsumeBool(), in.ConsumeBool()};
    input.imageOrigin = Point{in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>()};
    input.textColor = 1;
    input.hotTextColor = 2;
    input.pressedTextColor = 3;
    input.highlight = 4;
    input.shadow = 5;
    input.captionRects.normal = Rect{in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(),
                                     in.ConsumeIntegral<int>()};
    input.captionRects.pressed = OffsetRect(input.captionRects.normal, 1, 1);
    const ContentPlan plan = PlanContent(input);

    const ImageSlotsSet& set = input.images;
    // Hot and pressed looks fall back on each other and on the normal image.
    const bool hotOrPressed = input.drawState == kDrawHot || input.drawState == kDrawPressed;
    const bool nothingFits = hotOrPressed ? !set.normal && !set.hot && !set.pressed : !set.normal;
    Require((plan.image == ImageSlot::None) == nothingFits, "an image is drawn whenever one fits");
    Require(plan.image != ImageSlot::Normal || set.normal, "only a set image is drawn");
    Require(plan.image != ImageSlot::Hot || set.hot, "only a set image is drawn");
    Require(plan.image != ImageSlot::Pressed || set.pressed, "only a set image is drawn");
    Require(plan.image != ImageSlot::Disabled || (set.disabled && !input.enabled && !hotOrPressed),
            "the disabled image only for a disabled button");
    Require(plan.captionColor >= 1 && plan.captionColor <= 5, "the caption takes one of the button's colours");
    Require(plan.shadowRect == ShadowRect(plan.captionRect), "the shadow follows the caption");
    if (!set.normal) {
        Require(plan.imageAt.x >= 0 && plan.imageAt.x <= 1 && plan.imageAt.x == plan.imageAt.y,
                "without a normal image, images go to the corner");
    }
}

// ---- WM_GETDLGCODE and the focus walk --------------------------------------------------

void CheckDlgCode(FuzzedDataProvider& in) {
    DlgCodeQuery query{};
    query.fixedLook = in.ConsumeIntegral<int>();
    query.clickable = in.ConsumeIntegral<int>();
    query.hasMessage = in.ConsumeBool();
    query.messageIsKeyDownOrChar = in.ConsumeBool();
    query.messageWParam = in.ConsumeBool() ? kVirtualKeyReturn : in.ConsumeIntegral<unsigned>();
    const DlgCodeAnswer answer = AnswerDlgCode(query);
    Require(answer == DlgCodeAnswer::Default || answer == DlgCodeAnswer::WantAllKeys ||
                answer == DlgCodeAnswer::ButtonUndefPush,
            "one of the three answers");
    if (query.fixedLook != 0 && query.clickable == 0) {
        Require(answer == DlgCodeAnswer::Default, "a passive button asks for nothing");
    }
    if (answer == DlgCodeAnswer::WantAllKeys) {
        Require(query.hasMessage && query.messageIsKeyDownOrChar && query.messageWParam == kVirtualKeyReturn,
                "all keys only for a Return key message");
    }
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

    // The first item that is not passive, before the walk reaches none, the
    // start, or an item seen before.
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
    const int stepLimit = 4 * (count + 1);
    const std::optional<int> target = FindFocusTarget(
        start,
        [&](int item) {
            Require(++steps <= stepLimit, "the focus walk ends");
            Require(item >= 1 && item <= count, "the walk asks only about real items");
            return nextOf[item];
        },
        [&](int item) { return static_cast<bool>(passive[item]); });
    Require(target.value_or(0) == expected, "the focus goes to the first item that takes it");
}

// ---- The state machine ---------------------------------------------------------------

int CountIn(const ActionList& actions, ButtonAction wanted) {
    int count = 0;
    for (ButtonAction action : actions) {
        count += action == wanted;
    }
    return count;
}

void CheckReaction(const ButtonState& before, ButtonEvent event, const Observations& seen, const Reaction& reaction) {
    using A = ButtonAction;
    const ButtonState& after = reaction.state;
    const ActionList& actions = reaction.actions;
    const bool passive = IsPassive(before.fixedLook, before.clickable);

    Require(after.drawState >= kDrawNormal && after.drawState <= kDrawPressed, "a known look");
    Require(after.pressSource >= kNoPress && after.pressSource <= kSpacePress, "a known press source");
    Require(after.fixedLook == before.fixedLook && after.clickable == before.clickable, "settings stay");
    for (ButtonAction action : {A::SetButtonCursor, A::SetArrowCursor, A::SetCapture, A::ReleaseCapture,
                                A::StartHoverTimer, A::KillHoverTimer, A::TakeFocus, A::PassFocusForward,
                                A::PassFocusBackward, A::RestorePressedLook, A::Click, A::ResetLook}) {
        Require(CountIn(actions, action) <= 1, "no side effect twice in one reaction");
    }
    Require(CountIn(actions, A::Repaint) <= 2, "at most two repaints");

    if (passive) {
        Require(!actions.Contains(A::Click), "a passive button never clicks");
        Require(!actions.Contains(A::TakeFocus), "a passive button never takes the focus");
        Require(after.pressSource == kNoPress || after.pressSource == before.pressSource, "a passive button takes no press");
        Require(after.drawState == before.drawState || after.drawState == kDrawNormal, "a passive button keeps its look");
    }
    if (actions.Contains(A::Click) && event != ButtonEvent::KeyDown) {
        Require(seen.enabled, "a disabled button does not click");
    }
    if (after.drawState == kDrawHot && before.drawState != kDrawHot) {
        Require(before.fixedLook == 0, "only an ordinary button turns hot");
    }
    if (after.pressSource == kMousePress && before.pressSource != kMousePress) {
        Require((event == ButtonEvent::LButtonDown || event == ButtonEvent::LButtonDblClk) && seen.pointerInButton,
                "a mouse press starts with a press over the button");
    }
    Require(actions.Contains(A::StartHoverTimer) == (!before.hoverTimerRunning && after.hoverTimerRunning),
            "the hover timer starts when it was not running");
    if (before.hoverTimerRunning && !after.hoverTimerRunning) {
        Require(actions.Contains(A::KillHoverTimer), "a stopped hover timer is killed");
    }
    if (actions.Contains(A::SetCapture)) {
        Require(event == ButtonEvent::LButtonDown || event == ButtonEvent::LButtonDblClk, "capture on a press only");
    }
    if (actions.Contains(A::ReleaseCapture)) {
        Require(event == ButtonEvent::LButtonUp, "release on a release only");
    }

    // Each change of look is followed by a repaint.
    bool repaintDue = after.drawState != before.drawState;
    for (std::size_t i = 0; i < actions.size(); ++i) {
        if (actions[i] == A::Repaint) {
            repaintDue = false;
        } else if (actions[i] == A::RestorePressedLook || actions[i] == A::ResetLook) {
            repaintDue = true;
        }
        if (actions[i] == A::TakeFocus) {
            Require(i + 1 < actions.size() && actions[i + 1] == A::RestorePressedLook,
                    "the pressed look comes back after taking the focus");
        }
    }
    Require(!repaintDue, "a change of look is repainted");
}

Observations ConsumeObservations(FuzzedDataProvider& in) {
    Observations seen{};
    seen.pointerInButton = in.ConsumeBool();
    seen.enabled = in.ConsumeBool();
    seen.hasFocus = in.ConsumeBool();
    seen.cursorIsButtonCursor = in.ConsumeBool();
    seen.shiftDown = in.ConsumeBool();
    return seen;
}

// Plays the events as the window procedure does: stores the reaction's state,
// then carries out the actions that change the record. Taking the focus runs
// the button's own focus handler inside.
void CheckEventSequence(FuzzedDataProvider& in) {
    ButtonState state{kDrawNormal, kNoPress, in.ConsumeIntegralInRange(-1, 3), in.ConsumeIntegralInRange(-1, 2), false};
    for (int step = 0; step < 64 && in.remaining_bytes() > 0; ++step) {
        const int choice = in.ConsumeIntegralInRange(0, 10);
        if (choice == 9) {
            state.fixedLook = in.ConsumeIntegralInRange(-1, 3);  // the application changes the look
            continue;
        }
        if (choice == 10) {
            state.clickable = in.ConsumeIntegralInRange(-1, 2);
            continue;
        }
        const auto event = static_cast<ButtonEvent>(choice);
        const unsigned keys[] = {kVirtualKeyReturn, kVirtualKeySpace, 0x41};
        const unsigned virtualKey = keys[in.ConsumeIntegralInRange(0, 2)];
        const Observations seen = ConsumeObservations(in);

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
    rrb::CheckImageOrigin(in);
    rrb::CheckRectangles(in);
    rrb::CheckFrame(in);
    rrb::CheckContent(in);
    rrb::CheckDlgCode(in);
    rrb::CheckFocusWalk(in);
    rrb::CheckEventSequence(in);
    return 0;
}
