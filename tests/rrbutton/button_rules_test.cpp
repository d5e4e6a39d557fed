// The round-rect button's decisions: shades and palette, regions, frame rings,
// image origin, what each state draws, and how it reacts to input.
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <sstream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "rrbutton/button_model.h"
#include "rrbutton/button_states.h"

using namespace rrb;

namespace rrb {
void PrintTo(const Point& point, std::ostream* out)
{
    *out << "(" << point.x << ", " << point.y << ")";
}
}  // namespace rrb

namespace {

// Colours the tables name instead of giving values.
enum : Color { Face = 1, Shade = 2, Light = 3, Dark = 4, Info = 5, Text = 10, HotText = 11, PressedText = 12 };

std::string Name(Color color)
{
    const char* names[] = {"", "face", "shade", "light", "dark", "info", "", "", "", "", "text", "hot", "pressed"};
    return color == FlatFocusGreen ? "green" : color < 13 ? names[color] : std::to_string(color);
}

std::string Show(const Rect& r)
{
    return (std::ostringstream() << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom).str();
}

}  // namespace

TEST(ButtonRules, Colours)
{
    const Color face = Rgb(212, 208, 200), other = Rgb(100, 110, 120), chosen = Rgb(1, 2, 3);
    const Color rows[][2] = {
        {Lighter(face), Rgb(220, 216, 208)},
        {Darker(face), Rgb(196, 192, 184)},
        {Darker(White), Rgb(239, 239, 239)},
        {Lighter(Rgb(250, 100, 255)), Rgb(255, 108, 255)},
        {Darker(Rgb(10, 0, 20)), Rgb(0, 0, 4)},  // no carries
        {Lighter(0x02102030u), 0x02182838u},
        {CreationFaceColor(face), Lighter(face)},
        {CreationFaceColor(White), White},
        {CreationFaceColor(Black), Black},
        {FollowSystemFace(chosen, NoFaceKey, other), chosen},  // the first rebuild keeps any face
    };
    for (const auto& row : rows)
        EXPECT_EQ(row[0], row[1]) << "row " << &row - rows;
    const Color grey = Rgb(240, 240, 240), light = Rgb(248, 248, 248);
    // Made under a scheme with a face, through further schemes: the face after the last.
    const std::tuple<Color, Color, std::vector<Color>, Color> trips[] = {
        {grey, light, {Black}, Rgb(8, 8, 8)},
        {grey, light, {Black, grey}, light},
        {grey, light, {White}, White},
        {grey, light, {White, grey}, light},
        {Black, Black, {grey}, grey},
        {White, White, {grey}, light},
        {grey, chosen, {Black, White, grey}, chosen},
        {grey, 0x01000005, {Black, grey}, 0x01000005},
    };
    for (const auto& [madeUnder, made, schemes, expected] : trips) {
        Color face = made, key = madeUnder;
        for (Color scheme : schemes) {
            face = FollowSystemFace(face, key, scheme);
            key = scheme;
        }
        EXPECT_EQ(face, expected) << "made under " << madeUnder << ", through " << schemes.size() << " schemes";
    }
    const ColorRebuildPlan plan = PlanColorRebuild({Lighter(face), face, other, Rgb(9, 9, 9), Rgb(8, 8, 8), true});
    EXPECT_TRUE(plan.makePalette);
    EXPECT_EQ(plan.paletteFaceKey, other);
    EXPECT_EQ(plan.paletteEntries, (std::array<Color, 4>{Lighter(other), Darker(other), Rgb(9, 9, 9), Rgb(8, 8, 8)}));
    EXPECT_EQ(plan.storedEntries[3], Rgb(8, 8, 8) | PaletteRelativeMarker);
    EXPECT_EQ(plan.faceColor, Lighter(other) | PaletteRelativeMarker);
    EXPECT_TRUE(IsPaletteDisplay(0x100, -1, 256));  // NUMCOLORS -1: the palette size tells
    EXPECT_FALSE(IsPaletteDisplay(0x100, -1, 0) || IsPaletteDisplay(0x100, 257, 0) || IsPaletteDisplay(0, 20, 256));
}

TEST(ButtonRules, RegionsAndRingsOfA75By23Button)
{
    EXPECT_EQ(Show(SizeRuleRegion(75, 23)), "0,0,76,24");
    EXPECT_EQ(Show(CornerRuleRegion(75, 23)), "-1,-1,77,25");
    EXPECT_EQ(ClampCorner(-7), 0);

    // Draw state, fixed look, default, clickable, focus: the notification and the rings.
    const std::tuple<int, int, bool, int, bool, const char*> rows[] = {
        {0, 0, false, 1, false, "flat 0,0,74,22=face"},
        {1, 0, false, 1, false, "raised 0,0,74,22=light 1,1,75,23=dark 1,1,74,22=face"},
        {2, 0, false, 1, true, "sunken 1,1,75,23=light 0,0,74,22=dark 1,1,74,22=face"},
        {0, 0, false, 1, true, "flat 0,0,74,22=face 0,0,74,22=green"},
        {0, 0, false, 0, true, "flat 0,0,74,22=face"},
        {0, 0, true, 1, true, "raised 0,0,74,22=light 1,1,75,23=dark 1,1,74,22=face 2,2,73,21=shade"},
        {2, 0, true, 1, false, "sunken 1,1,75,23=light 0,0,74,22=dark 1,1,74,22=face"},
        {2, 3, false, 1, true, "sunken 1,1,75,23=light 0,0,74,22=dark 1,1,74,22=face 2,2,73,21=info"},
        {1, 2, false, 0, false, "raised 0,0,74,22=light 1,1,75,23=dark 1,1,74,22=face"},
        {0, 1, false, 1, true, "flat 0,0,75,23=face 0,0,74,22=shade"},
        {0, 1, true, 1, true, "- 0,0,75,23=face"},
    };
    for (const auto& [drawState, fixedLook, isDefault, clickable, focus, expected] : rows) {
        const FramePlan plan =
            PlanFrame({drawState, fixedLook, isDefault, clickable, focus, Face, Shade, Light, Dark, Info});
        const char* notes[] = {"-", "raised", "sunken", "flat"};
        std::string frame = notes[static_cast<int>(plan.notification)];
        for (int i = 0; i < plan.ringCount; ++i)
            frame += " " + Show(RingRect(plan.rings[i], 75, 23)) + "=" + Name(plan.rings[i].color);
        EXPECT_EQ(frame, expected);
    }
}

TEST(ButtonRules, ImageOrigin)
{
    // A 16 x 16 image in a 75 x 23 button, margins 2, 3, 4, 5 (left, top, right, bottom), explicit place 7, 8.
    const int rows[][3] = {{-1, 2, 3}, {-2, 32, 3}, {-3, 55, 3}, {-4, 2, 6},  {-5, 32, 6}, {-6, 55, 6},
                           {-7, 2, 2}, {-8, 32, 2}, {-9, 55, 2}, {-10, 7, 8}, {0, 7, 8},   {3, 7, 8}};
    for (const auto& [placement, x, y] : rows) {
        EXPECT_EQ(ImageOrigin({placement, 7, 8, 16, 16, 2, 3, 4, 5}, 75, 23), (Point{x, y}))
            << "placement " << placement;
    }
    // Centres round halves to the even neighbour, the margin joining before the rounding.
    EXPECT_EQ(ImageOrigin({-5, 0, 0, 16, 16, 0, 0, 0, 0}, 75, 23), (Point{30, 4}));
    EXPECT_EQ(ImageOrigin({-2, 0, 0, 16, 16, 0, 0, 0, 0}, 21, 23).x, 2);
    EXPECT_EQ(ImageOrigin({-2, 0, 0, 16, 16, 1, 0, 0, 0}, 21, 23).x, 4);
    EXPECT_EQ(IconDrawSize(INT_MIN), -INT_MAX);
}

TEST(ButtonRules, WhatEachStateDraws)
{
    // Draw state, fixed look, no shift, shadow, enabled, the pictures set: what is drawn where.
    const std::tuple<int, int, bool, bool, bool, ImageSlotsSet, const char*> rows[] = {
        {2, 0, false, false, true, {true, true, true, true}, "pressed@2,2 pressed@1,1,76,24"},
        {2, 0, true, false, true, {true, true, true, true}, "pressed@1,1 pressed@1,1,76,24"},
        {2, 3, false, false, true, {true, false, false, false}, "normal@1,1 pressed@0,0,75,23"},
        {2, 0, true, true, true, {true, true, false, false}, "hot@1,1 light@2,2,77,25 pressed@1,1,76,24"},
        {1, 0, false, false, true, {true, false, true, false}, "pressed@1,1 hot@0,0,75,23"},
        {1, 0, false, false, true, {false, true, false, false}, "hot@0,0 hot@0,0,75,23"},
        {0, 0, false, true, true, {true, true, true, true}, "normal@1,1 light@1,1,76,24 text@0,0,75,23"},
        {0, 0, false, false, false, {true, false, false, true}, "disabled@1,1 light@1,1,76,24 dark@0,0,75,23"},
        {0, 0, false, false, false, {false, false, false, true}, "none@0,0 light@1,1,76,24 dark@0,0,75,23"},
    };
    const char* slots[] = {"none", "normal", "hot", "pressed", "disabled"};
    for (const auto& [drawState, fixedLook, noShift, shadow, enabled, images, expected] : rows) {
        const CaptionRects captionRects = PlanCaptionRects({0, 0, 0, 0}, fixedLook, 75, 23);
        const ContentInput input{drawState, fixedLook, noShift,     shadow, enabled, images,      {1, 1},
                                 Text,      HotText,   PressedText, Light,  Dark,    captionRects};
        const ContentPlan plan = PlanContent(input);
        std::string drawn = std::string(slots[static_cast<int>(plan.image)]) + "@" + std::to_string(plan.imageAt.x) +
                            "," + std::to_string(plan.imageAt.y);
        if (plan.drawShadow)
            drawn += " " + Name(plan.shadowColor) + "@" + Show(plan.shadowRect);
        EXPECT_EQ(drawn + " " + Name(plan.captionColor) + "@" + Show(plan.captionRect), expected);
    }
    EXPECT_EQ(Show(PlanCaptionRects({12, 1, 2, 3}, 0, 75, 23).normal), "12,1,73,20");
    EXPECT_EQ(DrawTextFlags(0x10025, false), 0x25u);  // never DT_MODIFYSTRING
    EXPECT_EQ(DrawTextFlags(0xC025, false), 0xC025u);
    EXPECT_EQ(DrawTextFlags(0x4025, true), 0x4025u);
    EXPECT_EQ(DrawTextFlags(0xC025, true), 0x8025u);  // under Wine a path ellipsis gives way to an end ellipsis
}

namespace {

std::string React(ButtonState state, ButtonEvent event, unsigned key, bool over, bool enabled = true,
                  bool focus = false, bool shift = false)
{
    const Reaction r = ReactToEvent(state, event, key, {over, enabled, focus, false, shift});
    static const char* names[] = {"cursor",  "arrow",    "capture", "release", "timer", "untimer", "focus",
                                  "forward", "backward", "restore", "repaint", "CLICK", "reset"};
    std::string text = std::to_string(r.state.drawState) + std::to_string(r.state.pressSource) +
                       (r.state.hoverTimerRunning ? "t" : "") + (r.result == MessageResult::Zero ? " 0:" : " d:");
    for (ButtonAction action : r.actions)
        text += std::string(" ") + names[static_cast<int>(action)];
    return text;
}

}  // namespace

// What the live button's tests do not reach: passive buttons, which hand the
// focus on, and link buttons, which show no hot look.
TEST(ButtonRules, Reactions)
{
    using E = ButtonEvent;
    const ButtonState link{0, 0, 1, 1, false}, passive{0, 0, 1, 0, false};
    EXPECT_EQ(React(passive, E::SetFocus, 0, false), "00 0: forward repaint");
    EXPECT_EQ(React(passive, E::SetFocus, 0, false, true, false, true), "00 0: backward repaint");
    EXPECT_EQ(React(passive, E::LButtonDown, 0, true), "00 0: capture");
    EXPECT_EQ(React(passive, E::KeyDown, VirtualKeyReturn, false), "00 d:");
    EXPECT_EQ(React(link, E::MouseMove, 0, true), "00 d: cursor repaint");
    EXPECT_EQ(React(link, E::LButtonDown, 0, true), "21 0: capture focus restore repaint");

    // Fixed look, clickable, a message, its key: the answer to WM_GETDLGCODE.
    const std::tuple<int, int, bool, unsigned, DlgCodeAnswer> codes[] = {
        {0, 1, true, VirtualKeyReturn, DlgCodeAnswer::WantAllKeys},
        {0, 1, false, 0, DlgCodeAnswer::ButtonUndefPush},
        {0, 1, true, VirtualKeySpace, DlgCodeAnswer::Default},
        {1, 0, true, VirtualKeyReturn, DlgCodeAnswer::Default},
        {1, 1, true, VirtualKeyReturn, DlgCodeAnswer::WantAllKeys},
        {1, 1, false, 0, DlgCodeAnswer::Default},
    };
    for (const auto& [fixedLook, clickable, hasMessage, key, answer] : codes)
        EXPECT_EQ(AnswerDlgCode({fixedLook, clickable, hasMessage, true, key}), answer)
            << fixedLook << clickable << key;
}

TEST(ButtonRules, FocusPassesOverPassiveButtonsAndStopsOnLoops)
{
    const auto find = [](int start, std::map<int, int> next, std::set<int> passive) {
        const auto target = FindFocusTarget<int>(
            start, [&](int item) { return next.count(item) ? next[item] : 0; },
            [&](int item) { return passive.count(item) > 0; });
        return target ? *target : -1;
    };
    EXPECT_EQ(find(1, {{1, 2}, {2, 3}, {3, 4}, {4, 1}}, {2, 3}), 4);
    EXPECT_EQ(find(1, {{1, 2}, {2, 3}, {3, 1}}, {2, 3}), -1);  // back at the start
    EXPECT_EQ(find(1, {{1, 2}, {2, 3}, {3, 2}}, {2, 3}), -1);  // a loop that never comes back
    EXPECT_EQ(find(1, {{1, 2}}, {2}), -1);                     // the end of the order
}
