// The dialog layer's decisions: styles, the in-memory template, the show
// command and the rounding of pixels to dialog units.
#include "shell/dialog/dialog_rules.h"

#include <gtest/gtest.h>

#include <string>

TEST(DialogRules, StylesAndTemplate)
{
    EXPECT_EQ(AdjustDialogStyle(0, false), 0x80C000D4u);
    EXPECT_EQ(AdjustDialogStyle(0x16CF0054, false), 0x06CF0054u);  // the main window: created hidden
    EXPECT_EQ(AdjustDialogStyle(0xC0000003, false), 0x80000054u);  // a child without owner: a pop-up, not system modal
    const struct {
        ControlKind kind;
        std::uint32_t style, expected, expectedEx;
    } controls[] = {
        {ControlKind::TextBox, 0, 0x50010080, 0x200},       {ControlKind::CheckBox, 0, 0x50010003, 0},
        {ControlKind::GroupBox, 0x00014000, 0x50000007, 0}, {ControlKind::PushButton, 0, 0x50010000, 0},
        {ControlKind::CheckBox, 0x8080000C, 0x50000003, 0}, {ControlKind::Label, 0x00800000, 0x50800000, 0},
    };
    for (const auto& row : controls) {
        const ControlStyles styles = AdjustControlStyles(row.kind, row.style, 0);
        EXPECT_EQ(styles.style, row.expected) << std::hex << row.style;
        EXPECT_EQ(styles.exStyle, row.expectedEx) << std::hex << row.style;
    }
    std::vector<std::uint16_t> expected = {0x0054, 0x86CF, 0x0008, 0x0001, 0, 162, 0xFFFD, 238, 175, 0, 0, ' ', 0, 8};
    for (char c : std::string("MS Sans Serif"))
        expected.push_back(static_cast<std::uint16_t>(c));
    expected.push_back(0);
    EXPECT_EQ(expected, BuildDialogTemplate(0x86CF0054, 0x00010008, 162, -3, 238, 175));
    EXPECT_EQ(SizeTypeForShowCommand(ShowCommandForStyle(0x21000000)), SizeTypeMaximized);
}

TEST(DialogRules, PixelsToUnitsRoundHalvesUp)
{
    const int rows[][3] = {{232, 1536, 155}, {231, 1536, 154},   {3, 2048, 2},   {2, 2048, 1},
                           {100, 1664, 62},  {-232, 1536, -155}, {-1, 4000, -1}, {100, 0, 0}};
    for (const auto& [pixels, per1024, units] : rows)
        EXPECT_EQ(ScalePixelsToUnits(pixels, per1024), units) << pixels << " px, " << per1024;
}
