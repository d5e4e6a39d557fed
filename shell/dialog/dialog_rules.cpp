#include "shell/dialog/dialog_rules.h"

namespace {

// Window and control style bits, by value, so this file needs no platform header.
constexpr std::uint32_t PopupStyle = 0x80000000;     // WS_POPUP
constexpr std::uint32_t ChildStyle = 0x40000000;     // WS_CHILD
constexpr std::uint32_t MinimizeStyle = 0x20000000;  // WS_MINIMIZE
constexpr std::uint32_t VisibleStyle = 0x10000000;   // WS_VISIBLE
constexpr std::uint32_t MaximizeStyle = 0x01000000;  // WS_MAXIMIZE
constexpr std::uint32_t BorderStyle = 0x00800000;    // WS_BORDER
constexpr std::uint32_t AbsAlignStyle = 0x00000001;  // DS_ABSALIGN
constexpr std::uint32_t SysModalStyle = 0x00000002;  // DS_SYSMODAL
constexpr std::uint32_t DefPushButtonStyle = 0x00000001;  // BS_DEFPUSHBUTTON
constexpr std::uint32_t ClientEdgeExStyle = 0x00000200;   // WS_EX_CLIENTEDGE

// WS_POPUP, WS_CAPTION, DS_MODALFRAME and the three flags below.
constexpr std::uint32_t DefaultDialogStyle = 0x80C000D4;
// DS_SETFONT, DS_NOFAILCREATE, DS_3DLOOK: the template always carries a font.
constexpr std::uint32_t RequiredDialogStyle = 0x00000054;

constexpr std::uint16_t DialogPointSize = 8;
constexpr char DialogTitle[] = " ";  // the caption proper is set after creation
constexpr char DialogTypeface[] = "MS Sans Serif";

struct KindRule {
    const char* className;
    std::uint32_t defaultStyle;
    std::uint32_t setBits;
    std::uint32_t clearedBits;
};

KindRule RuleOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::PushButton: return {"BUTTON", 0x50010000, 0x50000000, 0};
    case ControlKind::CheckBox: return {"BUTTON", 0x50010003, 0x50000003, 0xA7FC00CC};
    case ControlKind::GroupBox: return {"BUTTON", 0x50000007, 0x50000007, 0xA7FFD0F8};
    case ControlKind::Label: return {"STATIC", 0x50000000, 0x50000000, 0};
    case ControlKind::TextBox: return {"EDIT", 0x50810080, 0x50000000, 0};
    }
    return {"STATIC", 0x50000000, 0x50000000, 0};
}

void AppendDword(std::vector<std::uint16_t>& words, std::uint32_t value)
{
    words.push_back(static_cast<std::uint16_t>(value & 0xFFFF));
    words.push_back(static_cast<std::uint16_t>(value >> 16));
}

// An ASCII literal as a zero-terminated UTF-16 string.
void AppendText(std::vector<std::uint16_t>& words, const char* text)
{
    for (; *text != '\0'; ++text)
        words.push_back(static_cast<unsigned char>(*text));
    words.push_back(0);
}

}  // namespace

std::uint32_t AdjustDialogStyle(std::uint32_t style, bool hasOwner)
{
    if (style == 0)
        style = DefaultDialogStyle;
    style |= RequiredDialogStyle;
    style &= ~(VisibleStyle | SysModalStyle);
    if (style & ChildStyle) {
        style &= ~(PopupStyle | AbsAlignStyle);
        if (!hasOwner)
            style = (style & ~ChildStyle) | PopupStyle;
    }
    return style;
}

const char* ControlClassName(ControlKind kind)
{
    return RuleOf(kind).className;
}

ControlStyles AdjustControlStyles(ControlKind kind, std::uint32_t style, std::uint32_t exStyle)
{
    const KindRule rule = RuleOf(kind);
    if (style == 0)
        style = rule.defaultStyle;
    style = (style | rule.setBits) & ~rule.clearedBits;
    if (kind == ControlKind::TextBox && (style & BorderStyle)) {
        style &= ~BorderStyle;
        exStyle |= ClientEdgeExStyle;
    }
    return {style, exStyle};
}

bool MakesDefaultButton(ControlKind kind, std::uint32_t style)
{
    return kind == ControlKind::PushButton && (style & DefPushButtonStyle) != 0;
}

std::vector<std::uint16_t> BuildDialogTemplate(std::uint32_t style, std::uint32_t exStyle, int x, int y, int width,
                                               int height)
{
    std::vector<std::uint16_t> words;
    AppendDword(words, style);
    AppendDword(words, exStyle);
    words.push_back(0);  // no items: controls are added to the live dialog
    for (int value : {x, y, width, height})
        words.push_back(static_cast<std::uint16_t>(static_cast<std::int16_t>(value)));
    words.push_back(0);  // no menu
    words.push_back(0);  // the standard dialog class
    AppendText(words, DialogTitle);
    words.push_back(DialogPointSize);
    AppendText(words, DialogTypeface);
    return words;
}

int ShowCommandForStyle(std::uint32_t style)
{
    if (style & MaximizeStyle)
        return ShowCommandMaximize;
    if (style & MinimizeStyle)
        return ShowCommandMinimize;
    return ShowCommandShow;
}

int SizeTypeForShowCommand(int showCommand)
{
    if (showCommand == ShowCommandMaximize)
        return SizeTypeMaximized;
    if (showCommand == ShowCommandMinimize)
        return SizeTypeMinimized;
    return SizeTypeRestored;
}

int ScalePixelsToUnits(int pixels, int pixelsPer1024Units)
{
    if (pixelsPer1024Units <= 0)
        return 0;
    const std::int64_t scaled = static_cast<std::int64_t>(pixels) * 1024;
    const std::int64_t quotient = scaled / pixelsPer1024Units;
    const std::int64_t remainder = scaled % pixelsPer1024Units;
    if (remainder < 0)
        return static_cast<int>(quotient - 1);
    if (2 * remainder >= pixelsPer1024Units)
        return static_cast<int>(quotient + 1);
    return static_cast<int>(quotient);
}
