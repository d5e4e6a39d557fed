// The dialog layer's decisions, fed with any style bits, positions and
// scales: the styles a dialog and its controls get, the template words, the
// show command, and pixels to dialog units.
#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "fuzz_input.h"
#include "shell/dialog/dialog_rules.h"

namespace {

constexpr std::uint32_t kPopup = 0x80000000;
constexpr std::uint32_t kChild = 0x40000000;
constexpr std::uint32_t kVisible = 0x10000000;
constexpr std::uint32_t kSysModal = 0x00000002;
constexpr std::uint32_t kFontFlags = 0x00000054;  // DS_SETFONT, DS_NOFAILCREATE, DS_3DLOOK
constexpr std::uint32_t kVisibleChild = 0x50000000;
constexpr std::uint32_t kBorder = 0x00800000;
constexpr std::uint32_t kClientEdge = 0x00000200;

void CheckDialogStyle(std::uint32_t style, bool hasOwner)
{
    const std::uint32_t adjusted = AdjustDialogStyle(style, hasOwner);
    Require((adjusted & kFontFlags) == kFontFlags, "a dialog always carries its font");
    Require((adjusted & (kVisible | kSysModal)) == 0, "a dialog is neither visible nor system modal at creation");
    Require((adjusted & (kChild | kPopup)) != (kChild | kPopup), "never child and pop-up at once");
    Require(hasOwner || (adjusted & kChild) == 0, "a dialog without an owner is no child");
    Require(AdjustDialogStyle(adjusted, hasOwner) == adjusted, "adjusting twice changes nothing more");
}

void CheckControlStyles(ControlKind kind, std::uint32_t style, std::uint32_t exStyle)
{
    const ControlStyles adjusted = AdjustControlStyles(kind, style, exStyle);
    Require((adjusted.style & kVisibleChild) == kVisibleChild, "a control is a visible child");
    const std::uint32_t gained = adjusted.exStyle & ~exStyle;
    Require((adjusted.exStyle & exStyle) == exStyle, "extended styles are only added to");
    if (kind == ControlKind::TextBox)
        Require((adjusted.style & kBorder) == 0 && (gained & ~kClientEdge) == 0, "a text box has an edge, no border");
    else
        Require(gained == 0, "other controls keep their extended styles");
    const ControlStyles again = AdjustControlStyles(kind, adjusted.style, adjusted.exStyle);
    Require(again.style == adjusted.style && again.exStyle == adjusted.exStyle, "adjusting twice changes nothing");
    Require(!MakesDefaultButton(kind, style) || kind == ControlKind::PushButton, "only a push button is default");
}

void CheckTemplate(std::uint32_t style, std::uint32_t exStyle, const int (&place)[4])
{
    const auto words = BuildDialogTemplate(style, exStyle, place[0], place[1], place[2], place[3]);
    // Header (9 words), no menu, standard class, title " ", point size, "MS Sans Serif".
    Require(words.size() == 9 + 2 + 2 + 1 + 14 && words.back() == 0, "the template has its fixed length and end");
    Require(words[0] == (style & 0xFFFF) && words[1] == style >> 16, "style first");
    Require(words[2] == (exStyle & 0xFFFF) && words[3] == exStyle >> 16, "extended style second");
    Require(words[4] == 0, "no items");
    for (int i = 0; i < 4; ++i)
        Require(words[5 + i] == static_cast<std::uint16_t>(place[i]), "positions as 16-bit words");
}

// Nearest unit, halves up; a value below zero that is not whole goes down.
void CheckScale(int pixels, int scale)
{
    const int units = ScalePixelsToUnits(pixels, scale);
    if (scale <= 0) {
        Require(units == 0, "no scale gives 0");
        return;
    }
    const std::int64_t scaled = std::int64_t{pixels} * 1024;
    // Window coordinates and real scales keep units well inside an int.
    if (scaled / scale <= INT_MIN + 1 || scaled / scale >= INT_MAX - 1)
        return;
    const std::int64_t rest = scaled - std::int64_t{units} * scale;
    Require(scaled >= 0 ? -scale <= 2 * rest && 2 * rest < scale : 0 <= rest && rest < scale,
            "pixels become the nearest unit");
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
    const int place[4] = {in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(),
                          in.ConsumeIntegral<int>()};
    CheckTemplate(style, exStyle, place);

    const int show = ShowCommandForStyle(style);
    const int sizeType = SizeTypeForShowCommand(show);
    Require(show == ShowCommandShow || show == ShowCommandMaximize || show == ShowCommandMinimize, "a known command");
    Require((show == ShowCommandMaximize) == (sizeType == SizeTypeMaximized) &&
                (show == ShowCommandMinimize) == (sizeType == SizeTypeMinimized),
            "the size type follows the show command");

    const int pixels = in.ConsumeBool() ? in.ConsumeIntegralInRange(-40000, 40000) : in.ConsumeIntegral<int>();
    const int scale = in.ConsumeBool() ? in.ConsumeIntegralInRange(1, 8192) : in.ConsumeIntegral<int>();
    CheckScale(pixels, scale);
    return 0;
}
