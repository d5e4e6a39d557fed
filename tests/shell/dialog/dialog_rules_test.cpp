#include "shell/dialog/dialog_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

TEST(DialogStyle, DefaultsAddsFontFlagsAndNeverStartsVisible)
{
    EXPECT_EQ(0x80C000D4u, AdjustDialogStyle(0, false));
    EXPECT_EQ(0x06CF0054u, AdjustDialogStyle(0x16CF0054, false));  // main window: only WS_VISIBLE goes
    EXPECT_EQ(0x0000005Cu, AdjustDialogStyle(8, false));           // "Add Items": the font flags come in
    EXPECT_EQ(0x80C000D4u, AdjustDialogStyle(0x90C000D6, true));   // DS_SYSMODAL and WS_VISIBLE removed
}

TEST(DialogStyle, ChildDialogBecomesPopupWithoutOwner)
{
    EXPECT_EQ(0x40000054u, AdjustDialogStyle(0xC0000001, true));  // no WS_POPUP, no DS_ABSALIGN
    EXPECT_EQ(0x80000054u, AdjustDialogStyle(0xC0000001, false));
}

TEST(ControlStyle, SetAndClearedBitsApplyToGivenStyles)
{
    // A check box stays an automatic check box without pop-up or border bits.
    EXPECT_EQ(0x50000003u, AdjustControlStyles(ControlKind::CheckBox, 0x80800000 | 0x0C, 0).style);
    // A group box can take neither the focus nor notifications.
    EXPECT_EQ(0x50000007u, AdjustControlStyles(ControlKind::GroupBox, 0x00010000 | 0x00004000, 0).style);
    // Given styles are otherwise kept, visible child bits added.
    EXPECT_EQ(0x50001001u, AdjustControlStyles(ControlKind::Label, 0x00001001, 0).style);
    const ControlStyles log = AdjustControlStyles(ControlKind::TextBox, 0x50311084, 0x200);
    EXPECT_EQ(0x50311084u, log.style);
    EXPECT_EQ(0x200u, log.exStyle);
    const ControlStyles bordered = AdjustControlStyles(ControlKind::TextBox, 0x00800004, 0x8);
    EXPECT_EQ(0x50000004u, bordered.style);
    EXPECT_EQ(0x208u, bordered.exStyle);
    // Only a text box trades its border for an edge.
    EXPECT_EQ(0x50800000u, AdjustControlStyles(ControlKind::Label, 0x00800000, 0).style);
}

TEST(DialogTemplate, HeaderTitleAndFontBlock)
{
    const std::vector<std::uint16_t> words = BuildDialogTemplate(0x86CF0054, 0x00010008, 162, -3, 238, 175);
    std::vector<std::uint16_t> expected = {0x0054, 0x86CF, 0x0008, 0x0001, 0, 162, 0xFFFD, 238, 175, 0, 0, ' ', 0, 8};
    for (char c : std::string("MS Sans Serif"))
        expected.push_back(static_cast<std::uint16_t>(c));
    expected.push_back(0);
    EXPECT_EQ(expected, words);
}

TEST(PixelScale, RoundsToNearestUnitHalvesUp)
{
    EXPECT_EQ(155, ScalePixelsToUnits(232, 1536));  // 154.67
    EXPECT_EQ(154, ScalePixelsToUnits(231, 1536));  // 154.0
    EXPECT_EQ(1, ScalePixelsToUnits(1, 2048));      // 0.5 exactly
    EXPECT_EQ(0, ScalePixelsToUnits(1, 2049));      // just under 0.5
    for (int pixels = 0; pixels <= 2000; ++pixels) {
        for (int per1024 : {1536, 1664, 1792, 2000}) {
            const int expected = static_cast<int>(std::floor(pixels * 1024.0 / per1024 + 0.5));
            ASSERT_EQ(expected, ScalePixelsToUnits(pixels, per1024)) << pixels << " px, " << per1024;
        }
    }
}

TEST(PixelScale, NegativeRemainderRoundsDownAndBadScaleGivesZero)
{
    EXPECT_EQ(-155, ScalePixelsToUnits(-232, 1536));
    EXPECT_EQ(-154, ScalePixelsToUnits(-231, 1536));
    EXPECT_EQ(-1, ScalePixelsToUnits(-1, 1536));  // -0.67
    EXPECT_EQ(-1, ScalePixelsToUnits(-1, 4000));  // -0.26: any negative remainder goes down
    EXPECT_EQ(0, ScalePixelsToUnits(100, 0));
    EXPECT_EQ(0, ScalePixelsToUnits(100, -5));
}
