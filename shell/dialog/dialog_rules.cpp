#include "shell/dialog/dialog_rules.h"

namespace {

// Window, dialog and control style bits, by value, so this file needs no
// platform header.
constexpr std::uint32_t PopupStyle = 0x80000000;                        // WS_POPUP
constexpr std::uint32_t ChildStyle = 0x40000000;                        // WS_CHILD
constexpr std::uint32_t MinimizeStyle = 0x20000000;                     // WS_MINIMIZE
constexpr std::uint32_t VisibleStyle = 0x10000000;                      // WS_VISIBLE
constexpr std::uint32_t ClipSiblingsStyle = 0x04000000;                 // WS_CLIPSIBLINGS
constexpr std::uint32_t ClipChildrenStyle = 0x02000000;                 // WS_CLIPCHILDREN
constexpr std::uint32_t MaximizeStyle = 0x01000000;                     // WS_MAXIMIZE
constexpr std::uint32_t BorderStyle = 0x00800000;                       // WS_BORDER
constexpr std::uint32_t DialogFrameStyle = 0x00400000;                  // WS_DLGFRAME
constexpr std::uint32_t CaptionStyle = BorderStyle | DialogFrameStyle;  // WS_CAPTION
constexpr std::uint32_t VerticalScrollStyle = 0x00200000;               // WS_VSCROLL
constexpr std::uint32_t HorizontalScrollStyle = 0x00100000;             // WS_HSCROLL
constexpr std::uint32_t SystemMenuStyle = 0x00080000;                   // WS_SYSMENU
constexpr std::uint32_t ThickFrameStyle = 0x00040000;                   // WS_THICKFRAME
constexpr std::uint32_t GroupStyle = 0x00020000;                        // WS_GROUP
constexpr std::uint32_t TabStopStyle = 0x00010000;                      // WS_TABSTOP
constexpr std::uint32_t AbsAlignStyle = 0x00000001;                     // DS_ABSALIGN
constexpr std::uint32_t SysModalStyle = 0x00000002;                     // DS_SYSMODAL
constexpr std::uint32_t SetFontStyle = 0x00000040;                      // DS_SETFONT
constexpr std::uint32_t ModalFrameStyle = 0x00000080;                   // DS_MODALFRAME
constexpr std::uint32_t NoFailCreateStyle = 0x00000010;                 // DS_NOFAILCREATE
constexpr std::uint32_t ThreeDLookStyle = 0x00000004;                   // DS_3DLOOK
constexpr std::uint32_t DefPushButtonStyle = 0x00000001;                // BS_DEFPUSHBUTTON
constexpr std::uint32_t AutoCheckBoxStyle = 0x00000003;                 // BS_AUTOCHECKBOX
constexpr std::uint32_t GroupBoxStyle = 0x00000007;                     // BS_GROUPBOX
constexpr std::uint32_t ButtonIconStyle = 0x00000040;                   // BS_ICON
constexpr std::uint32_t ButtonBitmapStyle = 0x00000080;                 // BS_BITMAP
constexpr std::uint32_t PushLikeStyle = 0x00001000;                     // BS_PUSHLIKE
constexpr std::uint32_t NotifyStyle = 0x00004000;                       // BS_NOTIFY
constexpr std::uint32_t FlatStyle = 0x00008000;                         // BS_FLAT
constexpr std::uint32_t AutoHorizontalScrollStyle = 0x00000080;         // ES_AUTOHSCROLL
constexpr std::uint32_t ClientEdgeExStyle = 0x00000200;                 // WS_EX_CLIENTEDGE

// Every kind of control is a visible child.
constexpr std::uint32_t VisibleChild = ChildStyle | VisibleStyle;
// The bits of a frame, of scroll bars and of a top-level window, which a
// check box or group box cannot have.
constexpr std::uint32_t FrameBits = PopupStyle | MinimizeStyle | ClipSiblingsStyle | ClipChildrenStyle | MaximizeStyle |
                                    CaptionStyle | VerticalScrollStyle | HorizontalScrollStyle | SystemMenuStyle |
                                    ThickFrameStyle;
// Button types above BS_AUTOCHECKBOX, which would turn a check box into something else.
constexpr std::uint32_t HigherButtonTypes = 0x0000000C;
// The low-byte bits a group box cannot have: images, left text and any other type.
constexpr std::uint32_t GroupBoxLowBits = 0x000000F8;

constexpr std::uint32_t PushButtonDefault = VisibleChild | TabStopStyle;
constexpr std::uint32_t CheckBoxDefault = VisibleChild | TabStopStyle | AutoCheckBoxStyle;
constexpr std::uint32_t CheckBoxCleared = FrameBits | ButtonIconStyle | ButtonBitmapStyle | HigherButtonTypes;
constexpr std::uint32_t GroupBoxDefault = VisibleChild | GroupBoxStyle;
constexpr std::uint32_t GroupBoxCleared =
    FrameBits | TabStopStyle | GroupStyle | FlatStyle | NotifyStyle | PushLikeStyle | GroupBoxLowBits;
constexpr std::uint32_t TextBoxDefault = VisibleChild | BorderStyle | TabStopStyle | AutoHorizontalScrollStyle;
static_assert(PushButtonDefault == 0x50010000 && CheckBoxDefault == 0x50010003 && GroupBoxDefault == 0x50000007 &&
                  TextBoxDefault == 0x50810080,
              "the default styles of the control kinds");
static_assert(CheckBoxCleared == 0xA7FC00CC && GroupBoxCleared == 0xA7FFD0F8, "the bits the kinds cannot have");

// A pop-up with a caption and a modal frame, for a dialog whose style is 0.
constexpr std::uint32_t DefaultDialogStyle =
    PopupStyle | CaptionStyle | ModalFrameStyle | SetFontStyle | NoFailCreateStyle | ThreeDLookStyle;
// The template always carries a font.
constexpr std::uint32_t RequiredDialogStyle = SetFontStyle | NoFailCreateStyle | ThreeDLookStyle;
static_assert(DefaultDialogStyle == 0x80C000D4 && RequiredDialogStyle == 0x00000054, "the dialog styles");

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
    case ControlKind::PushButton: return {"BUTTON", PushButtonDefault, VisibleChild, 0};
    case ControlKind::CheckBox: return {"BUTTON", CheckBoxDefault, VisibleChild | AutoCheckBoxStyle, CheckBoxCleared};
    case ControlKind::GroupBox: return {"BUTTON", GroupBoxDefault, GroupBoxDefault, GroupBoxCleared};
    case ControlKind::Label: return {"STATIC", VisibleChild, VisibleChild, 0};
    case ControlKind::TextBox: return {"EDIT", TextBoxDefault, VisibleChild, 0};
    }
    return {"STATIC", VisibleChild, VisibleChild, 0};
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
