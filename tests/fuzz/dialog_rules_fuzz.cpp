// The dialog layer's decisions, fed with any style bits, positions and
// scales: the styles a dialog and its controls get, the template words, the
// show command, and pixels to dialog units.
#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "shell/dialog/dialog_rules.h"

namespace {

constexpr std::uint32_t kPopup = 0x80000000;
constexpr std::uint32_t kChild = 0x40000000;
constexpr std::uint32_t kVisible = 0x10000000;
constexpr std::uint32_t kBorder = 0x00800000;
constexpr std::uint32_t kSysModal = 0x00000002;
constexpr std::uint32_t kFontFlags = 0x00000054;  // DS_SETFONT, DS_NOFAILCREATE, DS_3DLOOK
constexpr std::uint32_t kVisibleChild = 0x50000000;
constexpr std::uint32_t kClientEdge = 0x00000200;

void Require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "broken property: %s\n", property);
        std::abort();
    }
}

void CheckDialogStyle(std::uint32_t style, bool hasOwner)
{
    const std::uint32_t adjusted = AdjustDialogStyle(style, hasOwner);
    Require((adjusted & kFontFlags) == kFontFlags, "a dialog always carries its font");
    Require((adjusted & (kVisible | kSysModal)) == 0, "a dialog is neither visible nor system modal at creation");
    Require((adjusted & (kChild | kPopup)) != (kChild | kPopup), "never child and pop-up at once");
    if (!hasOwner) {
        Require((adjusted & kChild) == 0, "a dialog without an owner is no child");
    }
    Require(AdjustDialogStyle(adjusted, hasOwner) == adjusted, "adjusting twice changes nothing more");
}

void CheckControlStyles(ControlKind kind, std::uint32_t style, std::uint32_t exStyle)
{
    const ControlStyles adjusted = AdjustControlStyles(kind, style, exStyle);
    Require((adjusted.style & kVisibleChild) == kVisibleChild, "a control is a visible child");
    Require((adjusted.exStyle & exStyle) == exStyle, "extended styles are only added to");
    if (kind == ControlKind::TextBox) {
        Require((adjusted.style & kBorder) == 0, "a text box has an edge, not a border");
        Require(((adjusted.exStyle & ~exStyle) & ~kClientEdge) == 0, "a text box only gains the client edge");
    } else {
        Require(adjusted.exStyle == exStyle, "other controls keep their extended styles");
    }
    const ControlStyles again = AdjustControlStyles(kind, adjusted.style, adjusted.exStyle);
    Require(again.style == adjusted.style && again.exStyle == adjusted.exStyle, "adjusting twice changes nothing");
    Require(!MakesDefaultButton(kind, style) || kind == ControlKind::PushButton, "only a push button is default");
}

void CheckTemplate(std::uint32_t style, std::uint32_t exStyle, int x, int y, int width, int height)
{
    const std::vector<std::uint16_t> words = BuildDialogTemplate(style, exStyle, x, y, width, height);
    // Header (9 words), no menu, standard class, title " ", point size, "MS Sans Serif".
    Require(words.size() == 9 + 2 + 2 + 1 + 14, "the template has its fixed length");
    Require(words[0] == (style & 0xFFFF) && words[1] == style >> 16, "style first");
    Require(words[2] == (exStyle & 0xFFFF) && words[3] == exStyle >> 16, "extended style second");
    Require(words[4] == 0, "no items");
    const int values[] = {x, y, width, height};
    for (int i = 0; i < 4; ++i) {
        Require(words[5 + i] == static_cast<std::uint16_t>(values[i]), "positions as 16-bit words");
    }
    Require(words.back() == 0, "the typeface ends with a NUL");
}

void CheckShowCommand(std::uint32_t style)
{
    const int show = ShowCommandForStyle(style);
    Require(show == ShowCommandShow || show == ShowCommandMaximize || show == ShowCommandMinimize, "a known command");
    const int size = SizeTypeForShowCommand(show);
    Require((show == ShowCommandMaximize) == (size == SizeTypeMaximized) &&
                (show == ShowCommandMinimize) == (size == SizeTypeMinimized),
            "the size type follows the show command");
}

// Nearest unit with halves up; a value below zero that is not whole goes down.
void CheckScale(int pixels, int pixelsPer1024Units)
{
    const int units = ScalePixelsToUnits(pixels, pixelsPer1024Units);
    if (pixelsPer1024Units <= 0) {
        Require(units == 0, "no scale gives 0");
        return;
    }
    const std::int64_t scaled = std::int64_t{pixels} * 1024;
    const std::int64_t below = scaled >= 0 ? scaled / pixelsPer1024Units
                                           : -((-scaled + pixelsPer1024Units - 1) / pixelsPer1024Units);
    const std::int64_t rest = scaled - below * pixelsPer1024Units;  // 0 <= rest < scale
    std::int64_t expected = below;
    if (scaled >= 0 && 2 * rest >= pixelsPer1024Units) {
        expected = below + 1;
    }
    // Window coordinates and real scales keep units well inside an int.
    if (expected >= INT_MIN && expected <= INT_MAX) {
        Require(units == expected, "pixels become the nearest unit");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::uint32_t style = in.ConsumeIntegral<std::uint32_t>();
    const std::uint32_t exStyle = in.ConsumeIntegral<std::uint32_t>();
    CheckDialogStyle(style, in.ConsumeBool());
    const ControlKind kinds[] = {ControlKind::PushButton, ControlKind::CheckBox, ControlKind::GroupBox,
                                 ControlKind::Label, ControlKind::TextBox};
    CheckControlStyles(kinds[in.ConsumeIntegralInRange(0, 4)], style, exStyle);
    CheckTemplate(style, exStyle, in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(),
                  in.ConsumeIntegral<int>());
    CheckShowCommand(style);
    const int pixels = in.ConsumeBool() ? in.ConsumeIntegralInRange(-40000, 40000) : in.ConsumeIntegral<int>();
    const int scale = in.ConsumeBool() ? in.ConsumeIntegralInRange(1, 8192) : in.ConsumeIntegral<int>();
    CheckScale(pixels, scale);
    return 0;
}
