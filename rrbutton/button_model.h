// Decisions of the round-rect button's look: colours, palette, region and
// frame geometry, image and caption placement, and what to draw in each state.
// Everything here is a plain function of its inputs; the window procedure
// gathers the inputs from the record and the system and makes the GDI calls.
#pragma once

#include <array>
#include <cstdint>

namespace rrb {

// A colour in COLORREF layout 0x00BBGGRR; the top byte is 0 for a plain colour
// and 0x02 for a palette-relative one.
using Color = std::uint32_t;

constexpr Color PaletteRelativeMarker = 0x02000000u;
constexpr Color Black = 0x00000000u;
constexpr Color White = 0x00FFFFFFu;
// paletteFaceKey before the first rebuild: no system face colour seen yet.
constexpr Color NoFaceKey = 0xFFFFFFFFu;

constexpr Color Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return static_cast<Color>(red) | (static_cast<Color>(green) << 8) | (static_cast<Color>(blue) << 16);
}

// Ring colour of a focused ordinary button in its flat look.
constexpr Color FlatFocusGreen = Rgb(119, 189, 133);

struct Rect {
    int left;
    int top;
    int right;
    int bottom;
};

struct Point {
    int x;
    int y;
};

bool operator==(const Point& a, const Point& b);

// drawState values: the look the painter shows.
constexpr int DrawNormal = 0;
constexpr int DrawHot = 1;
constexpr int DrawPressed = 2;

// fixedLook values: an ordinary button, or one that shows a look for good
// (the draw state fixedLook - 1).
constexpr int NotFixed = 0;
constexpr int FixedFlat = 1;
constexpr int FixedRaised = 2;
constexpr int FixedSunken = 3;

// ---- Colours -------------------------------------------------------------

// Each channel 8 brighter, stopping at 255; the top byte is kept.
Color Lighter(Color color);
// Each channel 16 darker, stopping at 0; the top byte is kept.
Color Darker(Color color);

// Pure black or pure white: the system face colours under which a button
// takes the system's colours itself.
bool IsBlackOrWhite(Color color);

Color PlainColor(Color color);  // top byte 0

// faceColor of a new button: the system face colour itself when it is pure
// black or pure white, otherwise one shade lighter.
Color CreationFaceColor(Color systemFace);

// Lets faceColor follow a change of the system face colour from previousKey
// to systemFace: a face equal to lighter(previousKey) becomes
// lighter(systemFace); otherwise one equal to previousKey becomes systemFace;
// otherwise it stays, so a colour the application chose survives, top byte
// included. The plain colours are compared, and a colour that follows becomes
// a plain one. previousKey NoFaceKey (the first rebuild) keeps any colour.
Color FollowSystemFace(Color faceColor, Color previousKey, Color systemFace);

// A display that draws through a palette of at most 256 colours. Some drivers
// report NUMCOLORS -1 on such displays; SIZEPALETTE then tells.
bool IsPaletteDisplay(int rasterCaps, int numColors, int sizePalette);

struct ColorRebuildInput {
    Color faceColor;       // as stored, possibly palette-relative
    Color paletteFaceKey;  // system face colour of the previous rebuild
    Color systemFace;      // GetSysColor(COLOR_BTNFACE)
    Color infoBackground;  // GetSysColor(COLOR_INFOBK)
    Color scrollbar;       // GetSysColor(COLOR_SCROLLBAR)
    bool paletteDisplay;   // IsPaletteDisplay(...) of the button's screen
};

struct ColorRebuildPlan {
    // Plain colours handed to CreatePalette: face, darker system face,
    // info background, scrollbar.
    std::array<Color, 4> paletteEntries;
    // What the record keeps afterwards: the entries marked palette-relative
    // when a palette is made, else the plain entries.
    std::array<Color, 4> storedEntries;
    Color paletteFaceKey;  // new key: the system face colour
    bool makePalette;      // delete the old palette and create one from paletteEntries
    Color faceColor;       // to store, and to make the face brush from
};

ColorRebuildPlan PlanColorRebuild(const ColorRebuildInput& input);

// ---- Region ----------------------------------------------------------------

// Rectangle of CreateRoundRectRgn after a resize.
Rect SizeRuleRegion(int width, int height);
// Rectangle of CreateRoundRectRgn after the corner size is set: one pixel
// further out on every side.
Rect CornerRuleRegion(int width, int height);
// Corner sizes are never negative.
int ClampCorner(int requested);

// ---- Frame -----------------------------------------------------------------

enum class Look { Flat, Raised, Sunken };

enum class FrameNotification { None, Raised, Sunken, Flat };

// One rounded rectangle of the frame: RoundRect(a, a, W - k, H - k) outlined
// with a one-pixel pen of the colour and filled with the face brush.
struct Ring {
    int a;
    int k;
    Color color;
};

Rect RingRect(const Ring& ring, int width, int height);

struct FrameInput {
    int drawState;
    int fixedLook;
    bool isDefault;
    int clickable;
    bool hasFocus;  // GetFocus() is the button
    Color faceColor;
    Color darkerShade;     // paletteEntries[1]
    Color highlight;       // COLOR_BTNHIGHLIGHT
    Color shadow;          // COLOR_BTNSHADOW
    Color infoBackground;  // COLOR_INFOBK
};

struct FramePlan {
    Look look;
    FrameNotification notification;  // sent before any ring is drawn
    std::array<Ring, 4> rings;       // drawn in order, the first ringCount of them
    int ringCount;
};

FramePlan PlanFrame(const FrameInput& input);

// ---- Image placement -----------------------------------------------------

// Coordinates computed here from application-set values never wrap: a result
// beyond the int range stops at its nearer end. Centres round halves to the
// even neighbour (29.5 -> 30, 2.5 -> 2).
struct ImageLayout {
    int placement;  // -1..-9: nine places at the margins; anything else: explicit x, y
    int x;
    int y;
    int width;
    int height;
    int marginLeft;
    int marginTop;
    int marginRight;
    int marginBottom;
};

Point ImageOrigin(const ImageLayout& layout, int width, int height);

// The width or height an icon is drawn at: the image size as set, except
// INT_MIN, whose negation overflows (Wine's DrawIconEx ends the process on
// it), which is drawn as -INT_MAX.
int IconDrawSize(int imageSize);

// ---- Caption ----------------------------------------------------------------

struct TextMargins {
    int left;
    int top;
    int right;
    int bottom;
};

struct CaptionRects {
    Rect normal;   // R1: client area inset by the margins
    Rect pressed;  // R2: R1 one pixel right and down for an ordinary button
};

CaptionRects PlanCaptionRects(const TextMargins& margins, int fixedLook, int width, int height);

// Flags to hand DrawTextA: the stored format without DT_MODIFYSTRING, since
// the caption buffer must never be rewritten behind the button's back. Under
// Wine also without DT_PATH_ELLIPSIS when DT_END_ELLIPSIS or DT_WORD_ELLIPSIS
// comes with it: Wine's DrawText ends the process on an assertion for some
// captions that do not fit in that combination, and the other ellipsis alone
// still makes the caption fit. Windows draws the combination as asked.
std::uint32_t DrawTextFlags(std::uint32_t textFormat, bool underWine);

// ---- Content per state ------------------------------------------------------

enum class ImageSlot { None, Normal, Hot, Pressed, Disabled };

struct ImageSlotsSet {
    bool normal;
    bool hot;
    bool pressed;
    bool disabled;
};

struct ContentInput {
    int drawState;
    int fixedLook;
    bool imageNoShift;
    bool textShadow;
    bool enabled;
    ImageSlotsSet images;
    Point imageOrigin;  // ImageOrigin(...); ignored when no normal image is set
    Color textColor;
    Color hotTextColor;
    Color pressedTextColor;
    Color highlight;  // COLOR_BTNHIGHLIGHT
    Color shadow;     // COLOR_BTNSHADOW
    CaptionRects captionRects;
};

// Drawn in this order: the image, the shadow pass, the caption.
struct ContentPlan {
    ImageSlot image;
    Point imageAt;
    bool drawShadow;
    Color shadowColor;
    Rect shadowRect;
    Color captionColor;
    Rect captionRect;
};

ContentPlan PlanContent(const ContentInput& input);

}  // namespace rrb
