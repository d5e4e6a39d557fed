#include "shell/dialog/dialog_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

TEST(DialogStyle, DefaultsFontFlagsNeverVisibleAndAChildWithoutOwnerBecomesPopup)
{
    const struct {
        std::uint32_t style;
        bool hasOwner;
        std::uint32_t expected;
    } cases[] = {
        {0, false, 0x80C000D4},
        {0x16CF0054, false, 0x06CF0054},  // main window: only WS_VISIBLE goes
        {8, false, 0x0000005C},           // "Add Items": the font flags come in
        {0x90C000D6, true, 0x80C000D4},   // DS_SYSMODAL and WS_VISIBLE removed
        {0xC0000001, true, 0x40000054},   // a child: no WS_POPUP, no DS_ABSALIGN
        {0xC0000001, false, 0x80000054},  // ... and a pop-up without owner
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, AdjustDialogStyle(c.style, c.hasOwner)) << std::hex << c.style << " " << c.hasOwner;
}

TEST(ControlStyle, KindDefaultsSetAndClearedBitsAndTheTextBoxBorderAsEdge)
{
    const struct {
        ControlKind kind;
        std::uint32_t style, exStyle, expectedStyle, expectedExStyle;
        std::string className;
    } cases[] = {
        {ControlKind::TextBox, 0, 0, 0x50010080, 0x200, "EDIT"},
        {ControlKind::CheckBox, 0, 0, 0x50010003, 0, "BUTTON"},
        {ControlKind::GroupBox, 0, 0, 0x50000007, 0, "BUTTON"},
        {ControlKind::PushButton, 0, 0, 0x50010000, 0, "BUTTON"},
        {ControlKind::CheckBox, 0x8080000C, 0, 0x50000003, 0, "BUTTON"},  // automatic, no pop-up or border
        {ControlKind::GroupBox, 0x00014000, 0, 0x50000007, 0, "BUTTON"},  // takes neither focus nor notifications
        {ControlKind::Label, 0x00001001, 0, 0x50001001, 0, "STATIC"},
        {ControlKind::TextBox, 0x50311084, 0x200, 0x50311084, 0x200, "EDIT"},
        {ControlKind::TextBox, 0x00800004, 0x8, 0x50000004, 0x208, "EDIT"},  // WS_BORDER becomes a client edge
        {ControlKind::Label, 0x00800000, 0, 0x50800000, 0, "STATIC"},        // ... for a text box only
    };
    for (const auto& c : cases) {
        const ControlStyles styles = AdjustControlStyles(c.kind, c.style, c.exStyle);
        EXPECT_EQ(c.expectedStyle, styles.style) << std::hex << c.style;
        EXPECT_EQ(c.expectedExStyle, styles.exStyle) << std::hex << c.style;
        EXPECT_EQ(c.className, ControlClassName(c.kind));
    }
}

TEST(DialogTemplate, HeaderTitleAndFontBlock)
{
    std::vector<std::uint16_t> expected = {0x0054, 0x86CF, 0x0008, 0x0001, 0, 162, 0xFFFD, 238, 175, 0, 0, ' ', 0, 8};
    for (char c : std::string("MS Sans Serif"))
        expected.push_back(static_cast<std::uint16_t>(c));
    expected.push_back(0);
    EXPECT_EQ(expected, BuildDialogTemplate(0x86CF0054, 0x00010008, 162, -3, 238, 175));
}

TEST(PixelScale, RoundsToTheNearestUnitHalvesUpNegativeRemaindersDown)
{
    EXPECT_EQ(155, ScalePixelsToUnits(232, 1536));  // 154.67
    EXPECT_EQ(154, ScalePixelsToUnits(231, 1536));  // 154.0
    EXPECT_EQ(1, ScalePixelsToUnits(1, 2048));      // 0.5 exactly
    for (int pixels = 0; pixels <= 2000; ++pixels) {
        for (int per1024 : {1536, 1664, 1792, 2049}) {
            const int expected = static_cast<int>(std::floor(pixels * 1024.0 / per1024 + 0.5));
            ASSERT_EQ(expected, ScalePixelsToUnits(pixels, per1024)) << pixels << " px, " << per1024;
        }
    }
    EXPECT_EQ(-155, ScalePixelsToUnits(-232, 1536));
    EXPECT_EQ(-154, ScalePixelsToUnits(-231, 1536));  // exact
    EXPECT_EQ(-1, ScalePixelsToUnits(-1, 4000));  // -0.26: any negative remainder goes down
    EXPECT_EQ(0, ScalePixelsToUnits(100, 0));
    EXPECT_EQ(0, ScalePixelsToUnits(100, -5));
}
