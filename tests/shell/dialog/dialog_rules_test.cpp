// The dialog layer's decisions: styles, the in-memory template, the show
// command and the rounding of pixels to dialog units.
#include "shell/dialog/dialog_rules.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

TEST(DialogRules, StylesAndTemplate)
{
    EXPECT_EQ(AdjustDialogStyle(0x16CF0054, false), 0x06CF0054u);  // the main window: created hidden
    // A text box, a check box and a group box added with style 0: style and extended style.
    const std::tuple<ControlKind, std::uint32_t, std::uint32_t> controls[] = {{ControlKind::TextBox, 0x50010080, 0x200},
                                                                              {ControlKind::CheckBox, 0x50010003, 0},
                                                                              {ControlKind::GroupBox, 0x50000007, 0}};
    for (const auto& [kind, style, exStyle] : controls) {
        const ControlStyles styles = AdjustControlStyles(kind, 0, 0);
        EXPECT_EQ(std::tuple(styles.style, styles.exStyle), std::tuple(style, exStyle)) << std::hex << style;
    }
    const std::vector<std::uint16_t> header = BuildDialogTemplate(0x86CF0054, 0x00010008, 162, -3, 238, 175);
    EXPECT_EQ(std::vector<std::uint16_t>(header.begin(), header.begin() + 14),
              (std::vector<std::uint16_t>{0x0054, 0x86CF, 0x0008, 0x0001, 0, 162, 0xFFFD, 238, 175, 0, 0, ' ', 0, 8}));
}

TEST(DialogRules, PixelsToUnitsRoundHalvesUp)
{
    const int rows[][3] = {{232, 1536, 155}, {231, 1536, 154},   {3, 2048, 2},   {2, 2048, 1},
                           {100, 1664, 62},  {-232, 1536, -155}, {-1, 4000, -1}, {100, 0, 0}};
    for (const auto& [pixels, per1024, units] : rows)
        EXPECT_EQ(ScalePixelsToUnits(pixels, per1024), units) << pixels << " px, " << per1024;
}
