#include "rrbutton/button_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace rrb {

namespace {

constexpr Color ChannelsMask = 0x00FFFFFFu;
constexpr std::uint32_t DrawTextModifyString = 0x00010000u;       // DT_MODIFYSTRING
constexpr std::uint32_t DrawTextPathEllipsis = 0x00004000u;       // DT_PATH_ELLIPSIS
constexpr std::uint32_t DrawTextEndOrWordEllipsis = 0x00048000u;  // DT_END_ELLIPSIS | DT_WORD_ELLIPSIS
constexpr int RasterCapsPalette = 0x0100;                         // RC_PALETTE
constexpr int MaxPaletteColors = 256;

// Adds delta to each of the three colour channels, keeping each within 0..255
// so that no channel carries into its neighbour.
Color ShiftChannels(Color color, int delta)
{
    Color result = color & ~ChannelsMask;
    for (int shift = 0; shift < 24; shift += 8) {
        const int channel = static_cast<int>((color >> shift) & 0xFFu);
        const int moved = std::clamp(channel + delta, 0, 255);
        result |= static_cast<Color>(moved) << shift;
    }
    return result;
}

// Margins, sizes and positions are whatever ints the application sends, so
// sums of them are taken in 64 bits and stop at the ends of the int range.
int ClampToInt(std::int64_t value)
{
    return static_cast<int>(
        std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int Sum(std::int64_t a, std::int64_t b, std::int64_t c = 0)
{
    return ClampToInt(a + b + c);
}

Rect MovedBy(const Rect& rect, int dx, int dy)
{
    return Rect{Sum(rect.left, dx), Sum(rect.top, dy), Sum(rect.right, dx), Sum(rect.bottom, dy)};
}

// The caption's highlight shadow sits one pixel right and down.
Rect ShadowRect(const Rect& captionRect)
{
    return MovedBy(captionRect, 1, 1);
}

Color PaletteRelative(Color color)
{
    return (color & ChannelsMask) | PaletteRelativeMarker;
}

Look ChooseLook(int fixedLook, int drawState, bool isDefault)
{
    const bool ordinary = fixedLook == NotFixed;
    if (fixedLook == FixedRaised || (ordinary && (drawState == DrawHot || (isDefault && drawState == DrawNormal)))) {
        return Look::Raised;
    }
    if (fixedLook == FixedSunken || (ordinary && drawState == DrawPressed)) {
        return Look::Sunken;
    }
    return Look::Flat;
}

// Nearest integer, halves to the even neighbour; beyond the int range (or
// not a number), the nearer end of it.
int RoundHalfEven(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5) {
        rounded = below + 1.0;
    } else if (fraction == 0.5) {
        rounded = std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
    }
    if (!(rounded >= std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    return rounded > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : static_cast<int>(rounded);
}

}  // namespace

bool operator==(const Point& a, const Point& b)
{
    return a.x == b.x && a.y == b.y;
}

// ---- Colours -------------------------------------------------------------

Color Lighter(Color color)
{
    return ShiftChannels(color, 8);
}

Color Darker(Color color)
{
    return ShiftChannels(color, -16);
}

bool IsBlackOrWhite(Color color)
{
    return color == Black || color == White;
}

Color PlainColor(Color color)
{
    return color & ChannelsMask;
}

Color CreationFaceColor(Color systemFace)
{
    return IsBlackOrWhite(systemFace) ? systemFace : Lighter(systemFace);
}

Color FollowSystemFace(Color faceColor, Color previousKey, Color systemFace)
{
    if (previousKey == NoFaceKey) {
        return faceColor;
    }
    // The rule compares plain colours; a colour that does not follow is kept
    // exactly as it was set, a palette index or palette-relative colour included.
    const Color face = PlainColor(faceColor);
    const Color key = PlainColor(previousKey);
    const Color newFace = PlainColor(systemFace);
    if (face == Lighter(key)) {
        return Lighter(newFace);
    }
    if (face == key) {
        return newFace;
    }
    return faceColor;
}

bool IsPaletteDisplay(int rasterCaps, int numColors, int sizePalette)
{
    if ((rasterCaps & RasterCapsPalette) == 0) {
        return false;
    }
    if (numColors == -1) {
        return sizePalette >= 1 && sizePalette <= MaxPaletteColors;
    }
    return numColors >= 0 && numColors <= MaxPaletteColors;
}

ColorRebuildPlan PlanColorRebuild(const ColorRebuildInput& input)
{
    ColorRebuildPlan plan{};
    const Color face = FollowSystemFace(input.faceColor, input.paletteFaceKey, input.systemFace);
    plan.paletteEntries = {PlainColor(face), Darker(PlainColor(input.systemFace)), PlainColor(input.infoBackground),
                           PlainColor(input.scrollbar)};
    plan.paletteFaceKey = input.systemFace;
    plan.makePalette = input.paletteDisplay;
    plan.storedEntries = plan.paletteEntries;
    plan.faceColor = face;
    if (plan.makePalette) {
        for (Color& entry : plan.storedEntries) {
            entry = PaletteRelative(entry);
        }
        plan.faceColor = plan.storedEntries[0];
    }
    return plan;
}

// ---- Region ----------------------------------------------------------------

Rect SizeRuleRegion(int width, int height)
{
    return Rect{0, 0, Sum(width, 1), Sum(height, 1)};
}

Rect CornerRuleRegion(int width, int height)
{
    return Rect{-1, -1, Sum(width, 2), Sum(height, 2)};
}

int ClampCorner(int requested)
{
    return std::max(requested, 0);
}

// ---- Frame -----------------------------------------------------------------

Rect RingRect(const Ring& ring, int width, int height)
{
    return Rect{ring.a, ring.a, Sum(width, -ring.k), Sum(height, -ring.k)};
}

FramePlan PlanFrame(const FrameInput& input)
{
    FramePlan plan{};
    plan.look = ChooseLook(input.fixedLook, input.drawState, input.isDefault);
    const bool focused = input.clickable != 0 && input.hasFocus;
    const auto addRing = [&plan](int a, int k, Color color) { plan.rings[plan.ringCount++] = Ring{a, k, color}; };

    switch (plan.look) {
    case Look::Raised:
        plan.notification = FrameNotification::Raised;
        addRing(0, 1, input.highlight);
        addRing(1, 0, input.shadow);
        addRing(1, 1, input.faceColor);
        if (focused && (input.isDefault || input.fixedLook != NotFixed)) {
            addRing(2, 2, input.darkerShade);
        }
        break;
    case Look::Sunken:
        plan.notification = FrameNotification::Sunken;
        addRing(1, 0, input.highlight);
        addRing(0, 1, input.shadow);
        addRing(1, 1, input.faceColor);
        if (focused && input.fixedLook != NotFixed) {
            addRing(2, 2, input.infoBackground);
        }
        break;
    case Look::Flat:
        // The default button keeps quiet about its flat look.
        plan.notification = input.isDefault ? FrameNotification::None : FrameNotification::Flat;
        addRing(0, input.fixedLook == NotFixed ? 1 : 0, input.faceColor);
        if (focused && !input.isDefault) {
            addRing(0, 1, input.fixedLook == NotFixed ? FlatFocusGreen : input.darkerShade);
        }
        break;
    }
    return plan;
}

// ---- Image placement -----------------------------------------------------

Point ImageOrigin(const ImageLayout& layout, int width, int height)
{
    const int left = layout.marginLeft;
    const int top = layout.marginTop;
    const int right = Sum(width, -std::int64_t{layout.width}, -std::int64_t{layout.marginRight});
    const int bottom = Sum(height, -std::int64_t{layout.height}, -std::int64_t{layout.marginBottom});
    // The margin joins before rounding, so it can move a half to the other neighbour.
    // Doubles hold these sums exactly.
    const int centreX = RoundHalfEven((static_cast<double>(width) - layout.width) / 2.0 + layout.marginLeft);
    const int centreY = RoundHalfEven((static_cast<double>(height) - layout.height) / 2.0 + layout.marginTop);

    switch (layout.placement) {
    case -1: return Point{left, top};
    case -2: return Point{centreX, top};
    case -3: return Point{right, top};
    case -4: return Point{left, centreY};
    case -5: return Point{centreX, centreY};
    case -6: return Point{right, centreY};
    case -7: return Point{left, bottom};
    case -8: return Point{centreX, bottom};
    case -9: return Point{right, bottom};
    default: return Point{layout.x, layout.y};
    }
}

int IconDrawSize(int imageSize)
{
    return std::max(imageSize, -std::numeric_limits<int>::max());
}

// ---- Caption ----------------------------------------------------------------

CaptionRects PlanCaptionRects(const TextMargins& margins, int fixedLook, int width, int height)
{
    const Rect normal{margins.left, margins.top, Sum(width, -std::int64_t{margins.right}),
                      Sum(height, -std::int64_t{margins.bottom})};
    const Rect pressed = fixedLook == NotFixed ? MovedBy(normal, 1, 1) : normal;
    return CaptionRects{normal, pressed};
}

std::uint32_t DrawTextFlags(std::uint32_t textFormat, bool underWine)
{
    std::uint32_t flags = textFormat & ~DrawTextModifyString;
    if (underWine && (flags & DrawTextEndOrWordEllipsis)) {
        flags &= ~DrawTextPathEllipsis;
    }
    return flags;
}

// ---- Content per state ------------------------------------------------------

ContentPlan PlanContent(const ContentInput& input)
{
    const ImageSlotsSet& set = input.images;
    // Without a normal image no placement is computed and any image goes to (0, 0).
    const Point origin = set.normal ? input.imageOrigin : Point{0, 0};
    const CaptionRects& rects = input.captionRects;

    ContentPlan plan{};
    plan.image = ImageSlot::None;
    plan.imageAt = origin;
    plan.drawShadow = input.textShadow;
    plan.shadowColor = input.highlight;
    plan.captionRect = rects.normal;

    if (input.drawState == DrawPressed) {
        plan.image = set.pressed  ? ImageSlot::Pressed
                     : set.hot    ? ImageSlot::Hot
                     : set.normal ? ImageSlot::Normal
                                  : ImageSlot::None;
        if (input.fixedLook == NotFixed && !input.imageNoShift) {
            plan.imageAt = Point{Sum(origin.x, 1), Sum(origin.y, 1)};
        }
        plan.captionColor = input.pressedTextColor;
        plan.captionRect = rects.pressed;
    } else if (input.drawState == DrawHot) {
        plan.image = set.hot       ? ImageSlot::Hot
                     : set.pressed ? ImageSlot::Pressed
                     : set.normal  ? ImageSlot::Normal
                                   : ImageSlot::None;
        plan.captionColor = input.hotTextColor;
    } else if (input.enabled) {
        plan.image = set.normal ? ImageSlot::Normal : ImageSlot::None;
        plan.captionColor = input.textColor;
    } else {
        // Engraved: highlight one pixel right and down, then the shadow colour in place.
        plan.image = !set.normal ? ImageSlot::None : set.disabled ? ImageSlot::Disabled : ImageSlot::Normal;
        plan.drawShadow = true;
        plan.captionColor = input.shadow;
    }
    plan.shadowRect = ShadowRect(plan.captionRect);
    return plan;
}

}  // namespace rrb
