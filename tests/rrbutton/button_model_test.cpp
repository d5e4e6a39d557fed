#include "rrbutton/button_model.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "rrbutton/rrbutton_messages.h"

namespace rrb {

// Found by argument-dependent lookup, so they must live in the types' namespace.
std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << '(' << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ')';
}

std::ostream& operator<<(std::ostream& out, const Point& p) {
    return out << '(' << p.x << ", " << p.y << ')';
}

namespace {

// ---- Colours -----------------------------------------------------------------

TEST(ButtonColors, ShadesWorkPerChannelAndStopAtTheEnds) {
    EXPECT_EQ(Lighter(Rgb(212, 208, 200)), Rgb(220, 216, 208));
    EXPECT_EQ(Darker(Rgb(212, 208, 200)), Rgb(196, 192, 184));
    // No carry into the neighbouring channel: green 250 stops at 255 and
    // leaves blue alone; red 5 stops at 0 and borrows nothing.
    EXPECT_EQ(Lighter(Rgb(10, 250, 100)), Rgb(18, 255, 108));
    EXPECT_EQ(Darker(Rgb(5, 100, 200)), Rgb(0, 84, 184));
    EXPECT_EQ(Darker(kBlack), kBlack);
    EXPECT_EQ(Lighter(kWhite), kWhite);
    // The palette marker rides along untouched.
    EXPECT_EQ(Lighter(PaletteRelative(Rgb(1, 2, 3))), PaletteRelative(Rgb(9, 10, 11)));
    EXPECT_EQ(Darker(PaletteRelative(Rgb(255, 255, 255))), PaletteRelative(Rgb(239, 239, 239)));
}

TEST(ButtonColors, PaletteMarker) {
    EXPECT_EQ(PaletteRelative(0x00123456u), 0x02123456u);
    EXPECT_EQ(PaletteRelative(0xFF123456u), 0x02123456u);
    EXPECT_EQ(PlainColor(0x02123456u), 0x00123456u);
}

TEST(ButtonColors, CreationFaceIsOneShadeLighterExceptForBlackAndWhite) {
    EXPECT_EQ(CreationFaceColor(Rgb(212, 208, 200)), Rgb(220, 216, 208));
    EXPECT_EQ(CreationFaceColor(kWhite), kWhite);
    EXPECT_EQ(CreationFaceColor(kBlack), kBlack);
    EXPECT_EQ(CreationFaceColor(Rgb(250, 250, 250)), Rgb(255, 255, 255));
}

TEST(ButtonColors, FaceFollowsTheSystemFromAToB) {
    const Color a = Rgb(212, 208, 200);
    const Color b = Rgb(100, 120, 140);
    EXPECT_EQ(FollowSystemFace(Lighter(a), a, b), Lighter(b));
    EXPECT_EQ(FollowSystemFace(a, a, b), b);
    EXPECT_EQ(FollowSystemFace(Rgb(1, 2, 3), a, b), Rgb(1, 2, 3));
    // First rebuild: no earlier system colour to compare with.
    EXPECT_EQ(FollowSystemFace(Lighter(a), kNoFaceKey, b), Lighter(a));
    EXPECT_EQ(FollowSystemFace(kWhite, kNoFaceKey, b), kWhite);
}

TEST(ButtonColors, UnderBlackOrWhiteOnlyTheColourItselfFollows) {
    const Color b = Rgb(100, 120, 140);
    EXPECT_EQ(FollowSystemFace(kWhite, kWhite, b), b);
    EXPECT_EQ(FollowSystemFace(kBlack, kBlack, b), b);
    // lighter(black) was never a creation face under black: the application chose it.
    EXPECT_EQ(FollowSystemFace(Rgb(8, 8, 8), kBlack, b), Rgb(8, 8, 8));
}

TEST(ButtonColors, FaceComparisonIgnoresThePaletteMarker) {
    const Color a = Rgb(212, 208, 200);
    const Color b = Rgb(100, 120, 140);
    EXPECT_EQ(FollowSystemFace(PaletteRelative(Lighter(a)), a, b), Lighter(b));
    EXPECT_EQ(FollowSystemFace(PaletteRelative(Rgb(1, 2, 3)), a, b), Rgb(1, 2, 3));
}

TEST(ButtonColors, PaletteDisplayPredicate) {
    const int rcPalette = 0x100;
    EXPECT_TRUE(IsPaletteDisplay(rcPalette, 20, 256));
    EXPECT_TRUE(IsPaletteDisplay(rcPalette | 0x1, 256, 0));
    EXPECT_FALSE(IsPaletteDisplay(rcPalette, 257, 0));
    EXPECT_FALSE(IsPaletteDisplay(0x1, 20, 256));  // no RC_PALETTE
    // Drivers that report NUMCOLORS -1 on a palette display.
    EXPECT_TRUE(IsPaletteDisplay(rcPalette, -1, 256));
    EXPECT_TRUE(IsPaletteDisplay(rcPalette, -1, 1));
    EXPECT_FALSE(IsPaletteDisplay(rcPalette, -1, 0));
    EXPECT_FALSE(IsPaletteDisplay(rcPalette, -1, 257));
    EXPECT_FALSE(IsPaletteDisplay(0, -1, 256));  // true-colour display
}

ColorRebuildInput RebuildInput(Color face, Color key, Color system, bool paletteDisplay) {
    return ColorRebuildInput{face, key, system, Rgb(255, 255, 225), Rgb(200, 200, 200), paletteDisplay};
}

TEST(ButtonColorRebuild, FirstRebuildOnTrueColourDisplay) {
    const Color system = Rgb(212, 208, 200);
    const ColorRebuildPlan plan = PlanColorRebuild(RebuildInput(CreationFaceColor(system), kNoFaceKey, system, false));
    EXPECT_FALSE(plan.makePalette);
    EXPECT_EQ(plan.faceColor, Rgb(220, 216, 208));
    EXPECT_EQ(plan.paletteFaceKey, system);
    const std::array<Color, 4> expected{Rgb(220, 216, 208), Rgb(196, 192, 184), Rgb(255, 255, 225),
                                        Rgb(200, 200, 200)};
    EXPECT_EQ(plan.paletteEntries, expected);
    EXPECT_EQ(plan.storedEntries, expected);
}

TEST(ButtonColorRebuild, WhiteSystemFace) {
    const ColorRebuildPlan plan = PlanColorRebuild(RebuildInput(CreationFaceColor(kWhite), kNoFaceKey, kWhite, false));
    EXPECT_EQ(plan.faceColor, kWhite);
    EXPECT_EQ(plan.paletteEntries[1], Rgb(239, 239, 239));
}

TEST(ButtonColorRebuild, PaletteDisplayMarksOnlyWhatIsStored) {
    const Color system = Rgb(212, 208, 200);
    const ColorRebuildPlan first = PlanColorRebuild(RebuildInput(Lighter(system), kNoFaceKey, system, true));
    EXPECT_TRUE(first.makePalette);
    for (Color entry : first.paletteEntries) {
        EXPECT_EQ(entry >> 24, 0u) << "CreatePalette gets plain entries";
    }
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(first.storedEntries[i], PaletteRelative(first.paletteEntries[i]));
    }
    EXPECT_EQ(first.faceColor, PaletteRelative(Rgb(220, 216, 208)));

    // The system colour changes: the marked face still counts as lighter(A).
    const Color changed = Rgb(100, 120, 140);
    const ColorRebuildPlan second =
        PlanColorRebuild(RebuildInput(first.faceColor, first.paletteFaceKey, changed, true));
    EXPECT_EQ(second.paletteEntries[0], Lighter(changed));
    EXPECT_EQ(second.faceColor, PaletteRelative(Lighter(changed)));

    // Moved to a true-colour display: the marker is dropped.
    const ColorRebuildPlan third = PlanColorRebuild(RebuildInput(second.faceColor, changed, changed, false));
    EXPECT_FALSE(third.makePalette);
    EXPECT_EQ(third.faceColor, Lighter(changed));
}

TEST(ButtonColorRebuild, ApplicationFaceColourSurvivesASchemeChange) {
    const Color chosen = Rgb(10, 20, 30);
    const ColorRebuildPlan plan = PlanColorRebuild(RebuildInput(chosen, Rgb(212, 208, 200), Rgb(1, 1, 1), false));
    EXPECT_EQ(plan.faceColor, chosen);
    EXPECT_EQ(plan.paletteEntries[1], kBlack);  // darker of (1, 1, 1) stops at 0
}

// ---- Region ------------------------------------------------------------------

TEST(ButtonRegion, SizeAndCornerRules) {
    EXPECT_EQ(SizeRuleRegion(75, 23), (Rect{0, 0, 76, 24}));
    EXPECT_EQ(CornerRuleRegion(75, 23), (Rect{-1, -1, 77, 25}));
    EXPECT_EQ(SizeRuleRegion(48, 48), (Rect{0, 0, 49, 49}));
    EXPECT_EQ(ClampCorner(10), 10);
    EXPECT_EQ(ClampCorner(0), 0);
    EXPECT_EQ(ClampCorner(-7), 0);
}

// ---- Frame -------------------------------------------------------------------

TEST(ButtonFrame, LookTable) {
    EXPECT_EQ(ChooseLook(0, 0, false), Look::Flat);
    EXPECT_EQ(ChooseLook(0, 1, false), Look::Raised);
    EXPECT_EQ(ChooseLook(0, 2, false), Look::Sunken);
    EXPECT_EQ(ChooseLook(0, 0, true), Look::Raised);
    EXPECT_EQ(ChooseLook(0, 1, true), Look::Raised);
    EXPECT_EQ(ChooseLook(0, 2, true), Look::Sunken);
    for (int drawState = 0; drawState <= 2; ++drawState) {
        for (bool isDefault : {false, true}) {
            EXPECT_EQ(ChooseLook(1, drawState, isDefault), Look::Flat);
            EXPECT_EQ(ChooseLook(2, drawState, isDefault), Look::Raised);
            EXPECT_EQ(ChooseLook(3, drawState, isDefault), Look::Sunken);
        }
    }
}

TEST(ButtonFrame, NotificationNumbers) {
    EXPECT_EQ(NotificationMessage(FrameNotification::Raised), 1254u);
    EXPECT_EQ(NotificationMessage(FrameNotification::Sunken), 1255u);
    EXPECT_EQ(NotificationMessage(FrameNotification::Flat), 1256u);
    EXPECT_EQ(NotificationMessage(FrameNotification::None), 0u);
}

constexpr Color kFace = Rgb(220, 216, 208);
constexpr Color kDarker = Rgb(196, 192, 184);
constexpr Color kHighlight = Rgb(255, 255, 255);
constexpr Color kShadow = Rgb(128, 128, 128);
constexpr Color kInfo = Rgb(255, 255, 225);

FrameInput Frame(int drawState, int fixedLook = 0, bool isDefault = false, int clickable = 1, bool hasFocus = false) {
    return FrameInput{drawState, fixedLook, isDefault, clickable, hasFocus, kFace, kDarker, kHighlight, kShadow, kInfo};
}

struct DrawnRing {
    Rect rect;
    Color color;
    bool operator==(const DrawnRing& other) const { return rect == other.rect && color == other.color; }
};

std::ostream& operator<<(std::ostream& out, const DrawnRing& ring) {
    return out << ring.rect << " colour 0x" << std::hex << ring.color << std::dec;
}

std::vector<DrawnRing> Rings(const FramePlan& plan, int width = 75, int height = 23) {
    std::vector<DrawnRing> rings;
    for (int i = 0; i < plan.ringCount; ++i) {
        rings.push_back(DrawnRing{RingRect(plan.rings[i], width, height), plan.rings[i].color});
    }
    return rings;
}

const std::vector<DrawnRing> kRaised75x23{
    {{0, 0, 74, 22}, kHighlight}, {{1, 1, 75, 23}, kShadow}, {{1, 1, 74, 22}, kFace}};
const std::vector<DrawnRing> kSunken75x23{
    {{1, 1, 75, 23}, kHighlight}, {{0, 0, 74, 22}, kShadow}, {{1, 1, 74, 22}, kFace}};

TEST(ButtonFrame, OrdinaryButtonInEachState) {
    const FramePlan normal = PlanFrame(Frame(0));
    EXPECT_EQ(normal.notification, FrameNotification::Flat);
    EXPECT_EQ(Rings(normal), (std::vector<DrawnRing>{{{0, 0, 74, 22}, kFace}}));

    const FramePlan hot = PlanFrame(Frame(1));
    EXPECT_EQ(hot.notification, FrameNotification::Raised);
    EXPECT_EQ(Rings(hot), kRaised75x23);

    const FramePlan pressed = PlanFrame(Frame(2, 0, false, 1, true));
    EXPECT_EQ(pressed.notification, FrameNotification::Sunken);
    EXPECT_EQ(Rings(pressed), kSunken75x23) << "no focus ring while pressed";
}

TEST(ButtonFrame, FocusRings) {
    // Ordinary button, focused, normal: green ring on the outer edge.
    EXPECT_EQ(Rings(PlanFrame(Frame(0, 0, false, 1, true))),
              (std::vector<DrawnRing>{{{0, 0, 74, 22}, kFace}, {{0, 0, 74, 22}, kFlatFocusGreen}}));
    // Hot ordinary button: no focus ring (only default or frozen buttons get one).
    EXPECT_EQ(Rings(PlanFrame(Frame(1, 0, false, 1, true))), kRaised75x23);

    // Default button: raised with a darker ring two pixels in, and never RRBN_FLAT.
    std::vector<DrawnRing> defaultFocused = kRaised75x23;
    defaultFocused.push_back({{2, 2, 73, 21}, kDarker});
    const FramePlan defaultPlan = PlanFrame(Frame(0, 0, true, 1, true));
    EXPECT_EQ(defaultPlan.notification, FrameNotification::Raised);
    EXPECT_EQ(Rings(defaultPlan), defaultFocused);
    for (int drawState = 0; drawState <= 2; ++drawState) {
        for (int fixedLook = 0; fixedLook <= 3; ++fixedLook) {
            EXPECT_NE(PlanFrame(Frame(drawState, fixedLook, true)).notification, FrameNotification::Flat);
        }
    }
    // A frozen flat default button draws no focus ring.
    EXPECT_EQ(Rings(PlanFrame(Frame(0, 1, true, 1, true))), (std::vector<DrawnRing>{{{0, 0, 75, 23}, kFace}}));

    // Not clickable: never a focus ring.
    EXPECT_EQ(Rings(PlanFrame(Frame(0, 0, false, 0, true))), (std::vector<DrawnRing>{{{0, 0, 74, 22}, kFace}}));
    EXPECT_EQ(Rings(PlanFrame(Frame(0, 0, true, 0, true))), kRaised75x23);
}

TEST(ButtonFrame, FrozenLooks) {
    // fixedLook 1: whole client rectangle; focused (clickable again): darker ring.
    const FramePlan flat = PlanFrame(Frame(0, 1, false, 1, true));
    EXPECT_EQ(flat.notification, FrameNotification::Flat);
    EXPECT_EQ(Rings(flat), (std::vector<DrawnRing>{{{0, 0, 75, 23}, kFace}, {{0, 0, 74, 22}, kDarker}}));

    std::vector<DrawnRing> raisedFocused = kRaised75x23;
    raisedFocused.push_back({{2, 2, 73, 21}, kDarker});
    EXPECT_EQ(Rings(PlanFrame(Frame(1, 2, false, 1, true))), raisedFocused);

    // fixedLook 3 with the focus: sunken, then COLOR_INFOBK two pixels in.
    const FramePlan sunken = PlanFrame(Frame(2, 3, false, 1, true));
    EXPECT_EQ(sunken.notification, FrameNotification::Sunken);
    std::vector<DrawnRing> sunkenFocused = kSunken75x23;
    sunkenFocused.push_back({{2, 2, 73, 21}, kInfo});
    EXPECT_EQ(Rings(sunken), sunkenFocused);
    // Passive (RRBM_SETFIXEDLOOK clears clickable): no ring even with the focus.
    EXPECT_EQ(Rings(PlanFrame(Frame(2, 3, false, 0, true))), kSunken75x23);
}

TEST(ButtonFrame, RingRectangleDoesNotDependOnCorner) {
    // Corner size 0 only turns RoundRect into a rectangle; the rectangles stay.
    EXPECT_EQ(RingRect(Ring{2, 2, 0}, 48, 48), (Rect{2, 2, 46, 46}));
    EXPECT_EQ(RingRect(Ring{1, 0, 0}, 48, 48), (Rect{1, 1, 48, 48}));
}

// ---- Image placement -----------------------------------------------------------

TEST(ButtonImage, RoundHalfEven) {
    EXPECT_EQ(RoundHalfEven(29.5), 30);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(2.4), 2);
    EXPECT_EQ(RoundHalfEven(2.6), 3);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
}

ImageLayout Layout(int placement, int width = 16, int height = 16) {
    return ImageLayout{placement, 7, 9, width, height, 0, 0, 0, 0};
}

TEST(ButtonImage, NinePlacesWithMargins) {
    ImageLayout layout = Layout(0, 16, 16);
    layout.marginLeft = 2;
    layout.marginTop = 3;
    layout.marginRight = 4;
    layout.marginBottom = 5;
    const int w = 100;
    const int h = 60;
    const int cx = 44;  // 42 + 2
    const int cy = 25;  // 22 + 3
    const Point expected[9] = {{2, 3},  {cx, 3},  {80, 3},  {2, cy}, {cx, cy},
                               {80, cy}, {2, 39}, {cx, 39}, {80, 39}};
    for (int code = -1; code >= -9; --code) {
        layout.placement = code;
        EXPECT_EQ(ImageOrigin(layout, w, h), expected[-code - 1]) << "code " << code;
    }
}

TEST(ButtonImage, CentringRoundsHalvesToEvenAfterAddingTheMargin) {
    EXPECT_EQ(ImageOrigin(Layout(-5), 75, 23), (Point{30, 4}));
    ImageLayout topCentre = Layout(-2, 16, 16);
    EXPECT_EQ(ImageOrigin(topCentre, 21, 40).x, 2);  // 2.5 -> 2
    topCentre.marginLeft = 1;
    EXPECT_EQ(ImageOrigin(topCentre, 21, 40).x, 4);  // 3.5 -> 4, not 3
    ImageLayout middleLeft = Layout(-4, 16, 16);
    middleLeft.marginTop = 1;
    EXPECT_EQ(ImageOrigin(middleLeft, 40, 21).y, 4);
}

TEST(ButtonImage, IconDrawSizeIsTheImageSizeExceptIntMin) {
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    for (int size : {0, 16, -1, -kMax, kMax}) {
        EXPECT_EQ(IconDrawSize(size), size);
    }
    EXPECT_EQ(IconDrawSize(kMin), -kMax);
}

TEST(ButtonImage, OtherCodesUseTheExplicitPosition) {
    for (int code : {-10, 0, 3}) {
        EXPECT_EQ(ImageOrigin(Layout(code), 75, 23), (Point{7, 9})) << "code " << code;
    }
}

// Found by fuzzing: an application can send any int as margin, size or
// position, and differences of such ints overflowed. They now stop at the
// ends of the int range.
TEST(ButtonImage, ExtremeSettingsStopAtTheEndsOfTheIntRange) {
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    // The fuzzer's first input: every value the most negative int.
    const ImageLayout allMin{kMin, kMin, kMin, kMin, kMin, kMin, kMin, kMin, kMin};
    ImageLayout layout = allMin;
    for (int code = -1; code >= -9; --code) {
        layout.placement = code;
        ImageOrigin(layout, 0, kMin);
    }
    layout.placement = -9;  // right, bottom: 0 - min - min
    EXPECT_EQ(ImageOrigin(layout, 0, 0), (Point{kMax, kMax}));
    layout.placement = -5;  // centred: (0 - min) / 2 + min = -2^30
    EXPECT_EQ(ImageOrigin(layout, 0, 0), (Point{-(1 << 30), -(1 << 30)}));

    ImageLayout wide = Layout(-6, kMax, 16);
    wide.marginRight = kMax;
    wide.marginLeft = kMax;
    EXPECT_EQ(ImageOrigin(wide, kMin, 60).x, kMin);  // min - max - max
    wide.placement = -8;
    EXPECT_EQ(ImageOrigin(wide, kMin, 60).x, 0);  // (min - max) / 2 + max = -0.5, exact

    EXPECT_EQ(RoundHalfEven(1e300), kMax);
    EXPECT_EQ(RoundHalfEven(-1e300), kMin);
    EXPECT_EQ(RoundHalfEven(2147483647.4), kMax);
    EXPECT_EQ(RoundHalfEven(-2147483648.5), kMin);
}

TEST(ButtonCaption, ExtremeMarginsAndSizesStopAtTheEndsOfTheIntRange) {
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    const CaptionRects rects = PlanCaptionRects(TextMargins{kMax, kMax, kMin, 1}, 0, 75, kMin);
    EXPECT_EQ(rects.normal, (Rect{kMax, kMax, kMax, kMin}));
    EXPECT_EQ(rects.pressed, (Rect{kMax, kMax, kMax, kMin + 1}));
    EXPECT_EQ(OffsetRect(Rect{kMin, kMax, 0, 0}, kMin, kMax), (Rect{kMin, kMax, kMin, kMax}));
    EXPECT_EQ(SizeRuleRegion(kMax, kMax), (Rect{0, 0, kMax, kMax}));
    EXPECT_EQ(CornerRuleRegion(kMax, kMax - 1), (Rect{-1, -1, kMax, kMax}));
    EXPECT_EQ(RingRect(Ring{2, 2, 0}, kMin, kMin + 1), (Rect{2, 2, kMin, kMin}));

    ContentInput pressed{};
    pressed.drawState = 2;
    pressed.images = ImageSlotsSet{true, false, false, false};
    pressed.imageOrigin = Point{kMax, kMax - 1};
    EXPECT_EQ(PlanContent(pressed).imageAt, (Point{kMax, kMax}));
}

// ---- Caption -----------------------------------------------------------------

TEST(ButtonCaption, Rectangles) {
    const CaptionRects plain = PlanCaptionRects(TextMargins{0, 0, 0, 0}, 0, 75, 23);
    EXPECT_EQ(plain.normal, (Rect{0, 0, 75, 23}));
    EXPECT_EQ(plain.pressed, (Rect{1, 1, 76, 24}));

    const CaptionRects inset = PlanCaptionRects(TextMargins{12, 1, 2, 3}, 0, 75, 23);
    EXPECT_EQ(inset.normal, (Rect{12, 1, 73, 20}));
    EXPECT_EQ(inset.pressed, (Rect{13, 2, 74, 21}));

    const CaptionRects frozen = PlanCaptionRects(TextMargins{12, 1, 2, 3}, 3, 75, 23);
    EXPECT_EQ(frozen.pressed, frozen.normal);
    EXPECT_EQ(ShadowRect(Rect{12, 1, 73, 20}), (Rect{13, 2, 74, 21}));
}

TEST(ButtonCaption, DrawTextNeverModifiesTheCaption) {
    EXPECT_EQ(DrawTextFlags(0x25u), 0x25u);
    EXPECT_EQ(DrawTextFlags(0x10025u), 0x25u);
    EXPECT_EQ(DrawTextFlags(0xFFFFFFFFu), 0xFFFEBFFFu);
}

TEST(ButtonCaption, PathEllipsisGivesWayToTheEndOrWordEllipsis) {
    constexpr std::uint32_t kPath = 0x4000u;
    constexpr std::uint32_t kEnd = 0x8000u;
    constexpr std::uint32_t kWord = 0x40000u;
    EXPECT_EQ(DrawTextFlags(kPath | 0x25u), kPath | 0x25u);
    EXPECT_EQ(DrawTextFlags(kPath | kEnd | 0x10u), kEnd | 0x10u);
    EXPECT_EQ(DrawTextFlags(kPath | kWord), kWord);
    EXPECT_EQ(DrawTextFlags(0xC31Cu), 0x831Cu);  // the format the message fuzz test found
}

// ---- Content per state -------------------------------------------------------

constexpr Color kText = Rgb(1, 1, 1);
constexpr Color kHotText = Rgb(2, 2, 2);
constexpr Color kPressedText = Rgb(3, 3, 3);
const CaptionRects kCaptionRects{{0, 0, 75, 23}, {1, 1, 76, 24}};

ContentInput Content(int drawState, ImageSlotsSet images, int fixedLook = 0) {
    ContentInput input{};
    input.drawState = drawState;
    input.fixedLook = fixedLook;
    input.enabled = true;
    input.images = images;
    input.imageOrigin = Point{1, 1};
    input.textColor = kText;
    input.hotTextColor = kHotText;
    input.pressedTextColor = kPressedText;
    input.highlight = kHighlight;
    input.shadow = kShadow;
    input.captionRects = kCaptionRects;
    return input;
}

constexpr ImageSlotsSet kAllImages{true, true, true, true};
constexpr ImageSlotsSet kNoImages{false, false, false, false};

TEST(ButtonContent, NormalHotAndPressedCaptions) {
    const ContentPlan normal = PlanContent(Content(0, kNoImages));
    EXPECT_EQ(normal.image, ImageSlot::None);
    EXPECT_FALSE(normal.drawShadow);
    EXPECT_EQ(normal.captionColor, kText);
    EXPECT_EQ(normal.captionRect, kCaptionRects.normal);

    const ContentPlan hot = PlanContent(Content(1, kNoImages));
    EXPECT_EQ(hot.captionColor, kHotText);
    EXPECT_EQ(hot.captionRect, kCaptionRects.normal);

    ContentInput pressedInput = Content(2, kNoImages);
    pressedInput.textShadow = true;
    const ContentPlan pressed = PlanContent(pressedInput);
    EXPECT_EQ(pressed.captionColor, kPressedText);
    EXPECT_EQ(pressed.captionRect, kCaptionRects.pressed);
    EXPECT_TRUE(pressed.drawShadow);
    EXPECT_EQ(pressed.shadowColor, kHighlight);
    EXPECT_EQ(pressed.shadowRect, (Rect{2, 2, 77, 25}));
}

TEST(ButtonContent, ImageChoicePerState) {
    EXPECT_EQ(PlanContent(Content(0, kAllImages)).image, ImageSlot::Normal);
    EXPECT_EQ(PlanContent(Content(1, kAllImages)).image, ImageSlot::Hot);
    EXPECT_EQ(PlanContent(Content(2, kAllImages)).image, ImageSlot::Pressed);
    EXPECT_EQ(PlanContent(Content(1, {true, false, true, false})).image, ImageSlot::Pressed);
    EXPECT_EQ(PlanContent(Content(1, {true, false, false, false})).image, ImageSlot::Normal);
    EXPECT_EQ(PlanContent(Content(2, {true, true, false, false})).image, ImageSlot::Hot);
    EXPECT_EQ(PlanContent(Content(2, {true, false, false, false})).image, ImageSlot::Normal);
    EXPECT_EQ(PlanContent(Content(0, {false, true, true, true})).image, ImageSlot::None);
}

TEST(ButtonContent, PressedImageShift) {
    // 48 x 48 icon at the explicit position (1, 1).
    EXPECT_EQ(PlanContent(Content(2, kAllImages)).imageAt, (Point{2, 2}));
    ContentInput noShift = Content(2, kAllImages);
    noShift.imageNoShift = true;
    EXPECT_EQ(PlanContent(noShift).imageAt, (Point{1, 1}));
    // Frozen sunken button: neither image nor caption moves.
    const ContentPlan frozen = PlanContent(Content(2, kAllImages, 3));
    EXPECT_EQ(frozen.imageAt, (Point{1, 1}));
    EXPECT_EQ(PlanContent(Content(1, kAllImages)).imageAt, (Point{1, 1}));
}

TEST(ButtonContent, WithoutNormalImageOtherImagesGoToTheCorner) {
    const ContentPlan pressed = PlanContent(Content(2, {false, false, true, false}));
    EXPECT_EQ(pressed.image, ImageSlot::Pressed);
    EXPECT_EQ(pressed.imageAt, (Point{1, 1}));  // (0, 0) shifted, not the origin given
    ContentInput hotInput = Content(1, {false, true, false, false});
    hotInput.imageOrigin = Point{30, 4};
    EXPECT_EQ(PlanContent(hotInput).imageAt, (Point{0, 0}));
}

TEST(ButtonContent, DisabledButtonIsEngraved) {
    ContentInput input = Content(0, {false, false, false, true});
    input.enabled = false;
    const ContentPlan onlyDisabledImage = PlanContent(input);
    EXPECT_EQ(onlyDisabledImage.image, ImageSlot::None);
    EXPECT_TRUE(onlyDisabledImage.drawShadow);
    EXPECT_EQ(onlyDisabledImage.shadowColor, kHighlight);
    EXPECT_EQ(onlyDisabledImage.shadowRect, (Rect{1, 1, 76, 24}));
    EXPECT_EQ(onlyDisabledImage.captionColor, kShadow);
    EXPECT_EQ(onlyDisabledImage.captionRect, kCaptionRects.normal);

    input.images = {true, false, false, true};
    EXPECT_EQ(PlanContent(input).image, ImageSlot::Disabled);
    input.images = {true, true, true, false};
    EXPECT_EQ(PlanContent(input).image, ImageSlot::Normal);

    // Disabled but hot or pressed: drawn as hot or pressed.
    input.drawState = 1;
    EXPECT_EQ(PlanContent(input).captionColor, kHotText);
    EXPECT_FALSE(PlanContent(input).drawShadow);
    input.drawState = 2;
    EXPECT_EQ(PlanContent(input).captionColor, kPressedText);
}

}  // namespace
}  // namespace rrb
