#include "rrbutton/button_model.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>
#include <vector>

namespace rrb {

// Found by argument-dependent lookup, so they must live in the types' namespace.
std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << '(' << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ')';
}

std::ostream& operator<<(std::ostream& out, const Point& p) {
    return out << '(' << p.x << ", " << p.y << ')';
}

namespace {

constexpr int kMin = std::numeric_limits<int>::min();
constexpr int kMax = std::numeric_limits<int>::max();
constexpr Color kGrey = Rgb(212, 208, 200);     // the usual system face colour
constexpr Color kChanged = Rgb(100, 120, 140);  // the system face colour after a change

// ---- Colours -----------------------------------------------------------------

TEST(ButtonColors, ShadesPerChannelAndCreationFace) {
    EXPECT_EQ(Lighter(kGrey), Rgb(220, 216, 208));
    EXPECT_EQ(Darker(kGrey), Rgb(196, 192, 184));
    // Each channel stops at its end without carrying into or borrowing from its neighbour.
    EXPECT_EQ(Lighter(Rgb(10, 250, 100)), Rgb(18, 255, 108));
    EXPECT_EQ(Darker(Rgb(5, 100, 200)), Rgb(0, 84, 184));
    EXPECT_EQ(Lighter(kWhite), kWhite);
    // The palette marker rides along untouched; PaletteRelative replaces any top byte.
    EXPECT_EQ(Darker(PaletteRelative(kWhite)), PaletteRelative(Rgb(239, 239, 239)));
    EXPECT_EQ(PaletteRelative(0xFF123456u), 0x02123456u);
    EXPECT_EQ(PlainColor(0x02123456u), 0x00123456u);

    EXPECT_EQ(CreationFaceColor(kGrey), Rgb(220, 216, 208));
    EXPECT_EQ(CreationFaceColor(kWhite), kWhite);
    EXPECT_EQ(CreationFaceColor(kBlack), kBlack);
    EXPECT_EQ(CreationFaceColor(Rgb(250, 250, 250)), kWhite);
}

TEST(ButtonColors, FaceFollowsASystemChangeFromAToBOnlyWhenItCameFromTheSystem) {
    const struct { const char* name; Color face, previousKey, expected; } cases[] = {
        {"lighter(A) becomes lighter(B)", Lighter(kGrey), kGrey, Lighter(kChanged)},
        {"A becomes B", kGrey, kGrey, kChanged},
        {"a chosen colour stays", Rgb(1, 2, 3), kGrey, Rgb(1, 2, 3)},
        {"first rebuild keeps lighter(A)", Lighter(kGrey), kNoFaceKey, Lighter(kGrey)},
        {"first rebuild keeps white", kWhite, kNoFaceKey, kWhite},
        {"white under white", kWhite, kWhite, kChanged},
        {"black under black", kBlack, kBlack, kChanged},
        {"lighter(black) was chosen", Rgb(8, 8, 8), kBlack, Rgb(8, 8, 8)},
        {"marked lighter(A)", PaletteRelative(Lighter(kGrey)), kGrey, Lighter(kChanged)},
        {"marked chosen colour comes back plain", PaletteRelative(Rgb(1, 2, 3)), kGrey, Rgb(1, 2, 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FollowSystemFace(c.face, c.previousKey, kChanged), c.expected) << c.name;
    }
}

TEST(ButtonColors, PaletteDisplayPredicate) {
    const int rcPalette = 0x100;
    const struct { int rasterCaps, numColors, sizePalette; bool palette; } cases[] = {
        {rcPalette, 20, 256, true},   {rcPalette | 1, 256, 0, true}, {rcPalette, 257, 0, false},
        {1, 20, 256, false},          {0, -1, 256, false},           // no RC_PALETTE
        {rcPalette, -1, 256, true},   {rcPalette, -1, 1, true},      // NUMCOLORS -1: SIZEPALETTE tells
        {rcPalette, -1, 0, false},    {rcPalette, -1, 257, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsPaletteDisplay(c.rasterCaps, c.numColors, c.sizePalette), c.palette)
            << c.rasterCaps << ' ' << c.numColors << ' ' << c.sizePalette;
    }
}

ColorRebuildPlan Rebuild(Color face, Color key, Color system, bool paletteDisplay) {
    return PlanColorRebuild(ColorRebuildInput{face, key, system, Rgb(255, 255, 225), Rgb(200, 200, 200),
                                              paletteDisplay});
}

TEST(ButtonColorRebuild, PlainEntriesForThePaletteMarkedOnesStoredOnPaletteDisplays) {
    const ColorRebuildPlan plan = Rebuild(CreationFaceColor(kGrey), kNoFaceKey, kGrey, false);
    EXPECT_FALSE(plan.makePalette);
    EXPECT_EQ(plan.faceColor, Rgb(220, 216, 208));
    EXPECT_EQ(plan.paletteFaceKey, kGrey);
    const std::array<Color, 4> expected{Rgb(220, 216, 208), Rgb(196, 192, 184), Rgb(255, 255, 225),
                                        Rgb(200, 200, 200)};
    EXPECT_EQ(plan.paletteEntries, expected);
    EXPECT_EQ(plan.storedEntries, expected);

    // A palette display: only what the record stores is marked.
    const ColorRebuildPlan first = Rebuild(Lighter(kGrey), kNoFaceKey, kGrey, true);
    EXPECT_TRUE(first.makePalette);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(first.paletteEntries[i] >> 24, 0u) << "CreatePalette gets plain entries";
        EXPECT_EQ(first.storedEntries[i], PaletteRelative(first.paletteEntries[i]));
    }
    EXPECT_EQ(first.faceColor, PaletteRelative(Rgb(220, 216, 208)));

    // The system colour changes: the marked face still counts as lighter(A).
    const ColorRebuildPlan second = Rebuild(first.faceColor, first.paletteFaceKey, kChanged, true);
    EXPECT_EQ(second.paletteEntries[0], Lighter(kChanged));
    EXPECT_EQ(second.faceColor, PaletteRelative(Lighter(kChanged)));

    // Moved to a true-colour display: the marker is dropped.
    const ColorRebuildPlan third = Rebuild(second.faceColor, kChanged, kChanged, false);
    EXPECT_FALSE(third.makePalette);
    EXPECT_EQ(third.faceColor, Lighter(kChanged));
}

// ---- Region and frame -----------------------------------------------------------

TEST(ButtonRegion, SizeAndCornerRules) {
    EXPECT_EQ(SizeRuleRegion(75, 23), (Rect{0, 0, 76, 24}));
    EXPECT_EQ(CornerRuleRegion(75, 23), (Rect{-1, -1, 77, 25}));
    EXPECT_EQ(ClampCorner(10), 10);
    EXPECT_EQ(ClampCorner(-7), 0);
    // Corner size 0 only turns RoundRect into a rectangle; the ring rectangles stay.
    EXPECT_EQ(RingRect(Ring{2, 2, 0}, 48, 48), (Rect{2, 2, 46, 46}));
    EXPECT_EQ(RingRect(Ring{1, 0, 0}, 48, 48), (Rect{1, 1, 48, 48}));
}

TEST(ButtonFrame, LookPerFixedLookDefaultAndState) {
    // Flat, Raised or Sunken for drawState 0, 1, 2; not default, then default; fixedLook 0 to 3.
    const char* const looks[4][2] = {{"FRS", "RRS"}, {"FFF", "FFF"}, {"RRR", "RRR"}, {"SSS", "SSS"}};
    for (int fixedLook = 0; fixedLook <= 3; ++fixedLook) {
        for (int isDefault = 0; isDefault <= 1; ++isDefault) {
            for (int drawState = 0; drawState <= 2; ++drawState) {
                EXPECT_EQ("FRS"[static_cast<int>(ChooseLook(fixedLook, drawState, isDefault))],
                          looks[fixedLook][isDefault][drawState])
                    << "fixedLook " << fixedLook << " default " << isDefault << " drawState " << drawState;
            }
        }
    }
}

constexpr Color kFace = Rgb(220, 216, 208);
constexpr Color kDarker = Rgb(196, 192, 184);
constexpr Color kHighlight = Rgb(255, 255, 255);
constexpr Color kShadow = Rgb(128, 128, 128);
constexpr Color kInfo = Rgb(255, 255, 225);

TEST(ButtonFrame, RingsOfA75x23ButtonInEachStateAndFocus) {
    using DrawnRing = std::pair<Rect, Color>;
    using Rings = std::vector<DrawnRing>;
    const DrawnRing edgeFace{{0, 0, 74, 22}, kFace};
    const DrawnRing wholeFace{{0, 0, 75, 23}, kFace};
    const Rings raised{{{0, 0, 74, 22}, kHighlight}, {{1, 1, 75, 23}, kShadow}, {{1, 1, 74, 22}, kFace}};
    const Rings sunken{{{1, 1, 75, 23}, kHighlight}, {{0, 0, 74, 22}, kShadow}, {{1, 1, 74, 22}, kFace}};
    const auto withInnerRing = [](Rings rings, Color color) {
        rings.push_back({{2, 2, 73, 21}, color});
        return rings;
    };
    using N = FrameNotification;
    const struct { const char* name; int drawState, fixedLook; bool isDefault; int clickable; bool hasFocus;
                   N notification; Rings rings; } cases[] = {
        {"normal", 0, 0, false, 1, false, N::Flat, {edgeFace}},
        {"hot", 1, 0, false, 1, false, N::Raised, raised},
        {"pressed, focused: no focus ring", 2, 0, false, 1, true, N::Sunken, sunken},
        {"focused: green edge", 0, 0, false, 1, true, N::Flat, {edgeFace, {{0, 0, 74, 22}, kFlatFocusGreen}}},
        {"hot, focused: no ring", 1, 0, false, 1, true, N::Raised, raised},
        {"default", 0, 0, true, 1, false, N::Raised, raised},
        {"default, focused", 0, 0, true, 1, true, N::Raised, withInnerRing(raised, kDarker)},
        {"default, frozen flat, focused", 0, 1, true, 1, true, N::None, {wholeFace}},
        {"clickable 0, focused", 0, 0, false, 0, true, N::Flat, {edgeFace}},
        {"default, clickable 0, focused", 0, 0, true, 0, true, N::Raised, raised},
        {"fixedLook 1, focused", 0, 1, false, 1, true, N::Flat, {wholeFace, {{0, 0, 74, 22}, kDarker}}},
        {"fixedLook 2, focused", 1, 2, false, 1, true, N::Raised, withInnerRing(raised, kDarker)},
        {"fixedLook 3, focused", 2, 3, false, 1, true, N::Sunken, withInnerRing(sunken, kInfo)},
        {"passive fixedLook 3, focused", 2, 3, false, 0, true, N::Sunken, sunken},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FramePlan plan = PlanFrame(FrameInput{c.drawState, c.fixedLook, c.isDefault, c.clickable, c.hasFocus,
                                                    kFace, kDarker, kHighlight, kShadow, kInfo});
        EXPECT_EQ(plan.notification, c.notification);
        Rings drawn;
        for (int i = 0; i < plan.ringCount; ++i) {
            drawn.emplace_back(RingRect(plan.rings[i], 75, 23), plan.rings[i].color);
        }
        EXPECT_EQ(drawn, c.rings);
    }
}

// ---- Image placement -------------------------------------------------------------

TEST(ButtonImage, RoundHalfEven) {
    const struct { double value; int rounded; } cases[] = {
        {29.5, 30}, {3.5, 4},   {2.5, 2},      {2.4, 2},       {2.6, 3},            {-0.5, 0},
        {-1.5, -2}, {-2.5, -2}, {1e300, kMax}, {-1e300, kMin}, {2147483647.4, kMax}, {-2147483648.5, kMin}};
    for (const auto& c : cases) {
        EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << c.value;
    }
}

ImageLayout Layout(int placement, int marginLeft = 0, int marginTop = 0, int marginRight = 0, int marginBottom = 0) {
    return ImageLayout{placement, 7, 9, 16, 16, marginLeft, marginTop, marginRight, marginBottom};
}

TEST(ButtonImage, NinePlacesWithMarginsAndExplicitPositions) {
    // 16 x 16 in 100 x 60 with margins 2, 3, 4, 5: centre (42 + 2, 22 + 3).
    const Point expected[9] = {{2, 3}, {44, 3}, {80, 3}, {2, 25}, {44, 25}, {80, 25}, {2, 39}, {44, 39}, {80, 39}};
    for (int code = -1; code >= -9; --code) {
        EXPECT_EQ(ImageOrigin(Layout(code, 2, 3, 4, 5), 100, 60), expected[-code - 1]) << "code " << code;
    }
    for (int code : {-10, 0, 3}) {
        EXPECT_EQ(ImageOrigin(Layout(code, 2, 3, 4, 5), 75, 23), (Point{7, 9})) << "code " << code;
    }
}

TEST(ButtonImage, CentringRoundsHalvesToEvenAfterAddingTheMargin) {
    EXPECT_EQ(ImageOrigin(Layout(-5), 75, 23), (Point{30, 4}));  // 29.5 -> 30, 3.5 -> 4
    EXPECT_EQ(ImageOrigin(Layout(-2), 21, 40).x, 2);             // 2.5 -> 2
    EXPECT_EQ(ImageOrigin(Layout(-2, 1), 21, 40).x, 4);          // 3.5 -> 4, not round(2.5) + 1
    EXPECT_EQ(ImageOrigin(Layout(-4, 0, 1), 40, 21).y, 4);
}

TEST(ButtonImage, IconDrawSizeIsTheImageSizeExceptIntMin) {
    for (int size : {0, 16, -1, -kMax, kMax}) {
        EXPECT_EQ(IconDrawSize(size), size);
    }
    EXPECT_EQ(IconDrawSize(kMin), -kMax);
}

// ---- Caption -----------------------------------------------------------------------

TEST(ButtonCaption, RectanglesMoveWhenPressedOnlyOnAnOrdinaryButton) {
    const CaptionRects inset = PlanCaptionRects(TextMargins{12, 1, 2, 3}, 0, 75, 23);
    EXPECT_EQ(inset.normal, (Rect{12, 1, 73, 20}));
    EXPECT_EQ(inset.pressed, (Rect{13, 2, 74, 21}));
    const CaptionRects frozen = PlanCaptionRects(TextMargins{12, 1, 2, 3}, 3, 75, 23);
    EXPECT_EQ(frozen.pressed, frozen.normal);
}

TEST(ButtonCaption, DrawTextFlagsDropModifyStringAndPathEllipsisBesideAnotherEllipsis) {
    constexpr std::uint32_t kModify = 0x10000u, kPath = 0x4000u, kEnd = 0x8000u, kWord = 0x40000u;
    const struct { std::uint32_t format, flags; } cases[] = {
        {0x25u, 0x25u},        {kModify | 0x25u, 0x25u},          {0xFFFFFFFFu, 0xFFFEBFFFu},
        {kPath | 0x25u, kPath | 0x25u}, {kPath | kEnd | 0x10u, kEnd | 0x10u}, {kPath | kWord, kWord},
        {0xC31Cu, 0x831Cu},  // the format the message fuzz test found
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DrawTextFlags(c.format), c.flags) << std::hex << c.format;
    }
}

// ---- Content per state -------------------------------------------------------------

constexpr Color kText = Rgb(1, 1, 1);
constexpr Color kHotText = Rgb(2, 2, 2);
constexpr Color kPressedText = Rgb(3, 3, 3);
const CaptionRects kCaptionRects{{0, 0, 75, 23}, {1, 1, 76, 24}};

ContentInput Content(int drawState, ImageSlotsSet images, bool enabled = true, int fixedLook = 0) {
    return ContentInput{drawState, fixedLook, false, false, enabled, images, Point{1, 1},
                        kText, kHotText, kPressedText, kHighlight, kShadow, kCaptionRects};
}

constexpr ImageSlotsSet kNoImages{false, false, false, false};

TEST(ButtonContent, CaptionColourRectangleAndShadowPerState) {
    const struct { const char* name; int drawState; bool enabled, textShadow; Color caption; Rect rect; bool shadow;
                   Rect shadowRect; } cases[] = {
        {"normal", 0, true, false, kText, kCaptionRects.normal, false, {1, 1, 76, 24}},
        {"hot", 1, true, false, kHotText, kCaptionRects.normal, false, {1, 1, 76, 24}},
        {"pressed with shadow", 2, true, true, kPressedText, kCaptionRects.pressed, true, {2, 2, 77, 25}},
        {"disabled: engraved", 0, false, false, kShadow, kCaptionRects.normal, true, {1, 1, 76, 24}},
        {"disabled but hot", 1, false, false, kHotText, kCaptionRects.normal, false, {1, 1, 76, 24}},
        {"disabled but pressed", 2, false, false, kPressedText, kCaptionRects.pressed, false, {2, 2, 77, 25}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ContentInput input = Content(c.drawState, kNoImages, c.enabled);
        input.textShadow = c.textShadow;
        const ContentPlan plan = PlanContent(input);
        EXPECT_EQ(plan.image, ImageSlot::None);
        EXPECT_EQ(plan.captionColor, c.caption);
        EXPECT_EQ(plan.captionRect, c.rect);
        EXPECT_EQ(plan.drawShadow, c.shadow);
        EXPECT_EQ(plan.shadowColor, kHighlight);
        EXPECT_EQ(plan.shadowRect, c.shadowRect);
    }
}

TEST(ButtonContent, ImageChoicePerState) {
    using S = ImageSlot;
    // The images set: normal, hot, pressed, disabled.
    const struct { int drawState; bool enabled; ImageSlotsSet set; ImageSlot image; } cases[] = {
        {0, true, {true, true, true, true}, S::Normal},     {1, true, {true, true, true, true}, S::Hot},
        {2, true, {true, true, true, true}, S::Pressed},    {1, true, {true, false, true, false}, S::Pressed},
        {1, true, {true, false, false, false}, S::Normal},  {2, true, {true, true, false, false}, S::Hot},
        {2, true, {true, false, false, false}, S::Normal},  {0, true, {false, true, true, true}, S::None},
        {0, false, {false, false, false, true}, S::None},   {0, false, {true, false, false, true}, S::Disabled},
        {0, false, {true, true, true, false}, S::Normal},   {1, false, {true, true, true, true}, S::Hot},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(PlanContent(Content(cases[i].drawState, cases[i].set, cases[i].enabled)).image, cases[i].image)
            << "case " << i;
    }
}

TEST(ButtonContent, PressedImageShiftsUnlessNoShiftOrFrozen) {
    constexpr ImageSlotsSet all{true, true, true, true};
    EXPECT_EQ(PlanContent(Content(2, all)).imageAt, (Point{2, 2}));
    EXPECT_EQ(PlanContent(Content(1, all)).imageAt, (Point{1, 1}));
    EXPECT_EQ(PlanContent(Content(2, all, true, 3)).imageAt, (Point{1, 1}));
    ContentInput noShift = Content(2, all);
    noShift.imageNoShift = true;
    EXPECT_EQ(PlanContent(noShift).imageAt, (Point{1, 1}));
    // Without a normal image the others go to (0, 0), shifted when pressed.
    EXPECT_EQ(PlanContent(Content(2, {false, false, true, false})).imageAt, (Point{1, 1}));
    ContentInput hot = Content(1, {false, true, false, false});
    hot.imageOrigin = Point{30, 4};
    EXPECT_EQ(PlanContent(hot).imageAt, (Point{0, 0}));
}

// Found by fuzzing: an application can send any int as margin, size or
// position, and sums of such ints overflowed. They now stop at the ends of the int range.
TEST(ButtonGeometry, ExtremeSettingsStopAtTheEndsOfTheIntRange) {
    ImageLayout allMin{kMin, kMin, kMin, kMin, kMin, kMin, kMin, kMin, kMin};  // the fuzzer's first input
    allMin.placement = -9;  // 0 - min - min
    EXPECT_EQ(ImageOrigin(allMin, 0, 0), (Point{kMax, kMax}));
    allMin.placement = -5;  // (0 - min) / 2 + min
    EXPECT_EQ(ImageOrigin(allMin, 0, 0), (Point{-(1 << 30), -(1 << 30)}));
    ImageLayout wide{-6, 0, 0, kMax, 16, kMax, 0, kMax, 0};
    EXPECT_EQ(ImageOrigin(wide, kMin, 60).x, kMin);  // min - max - max
    wide.placement = -8;
    EXPECT_EQ(ImageOrigin(wide, kMin, 60).x, 0);  // (min - max) / 2 + max = -0.5, exact

    const CaptionRects rects = PlanCaptionRects(TextMargins{kMax, kMax, kMin, 1}, 0, 75, kMin);
    EXPECT_EQ(rects.normal, (Rect{kMax, kMax, kMax, kMin}));
    EXPECT_EQ(rects.pressed, (Rect{kMax, kMax, kMax, kMin + 1}));
    EXPECT_EQ(OffsetRect(Rect{kMin, kMax, 0, 0}, kMin, kMax), (Rect{kMin, kMax, kMin, kMax}));
    EXPECT_EQ(SizeRuleRegion(kMax, kMax), (Rect{0, 0, kMax, kMax}));
    EXPECT_EQ(CornerRuleRegion(kMax, kMax - 1), (Rect{-1, -1, kMax, kMax}));
    EXPECT_EQ(RingRect(Ring{2, 2, 0}, kMin, kMin + 1), (Rect{2, 2, kMin, kMin}));

    ContentInput pressed = Content(2, {true, false, false, false});
    pressed.imageOrigin = Point{kMax, kMax - 1};
    EXPECT_EQ(PlanContent(pressed).imageAt, (Point{kMax, kMax}));
}

}  // namespace
}  // namespace rrb
