// The RRBUTTON window class, its window procedure, the life of the per-button
// record, and the exported functions that register the class and make buttons.
#include "rrbutton/rrbutton.h"

#include "rrbutton/button_model.h"
#include "rrbutton/gdi_objects.h"
#include "rrbutton/rrbutton_internal.h"

namespace {

constexpr UINT ClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_GLOBALCLASS;  // 0x400B
// A module of this name, when one is loaded, holds the button's images and
// its link cursor; otherwise they come from the window's own instance.
constexpr char ResourceModuleName[] = "QUILLKIT.DLL";

constexpr int DefaultCornerSize = 5;
constexpr int DefaultImagePlacement = -4;                                   // middle of the left side
constexpr UINT DefaultTextFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;  // 0x25
constexpr int DefaultImageSize = 16;

// Placement codes MakeRRButton and MakeRRButtonURL use.
constexpr int ImageMiddleLeft = -4;
constexpr int ImageCentre = -5;
constexpr int ImageMarginBesideCaption = 4;
constexpr int CaptionMarginBesideImage = 12;
constexpr int LinkCaptionMarginBesideImage = 20;

constexpr COLORREF LinkColor = RGB(0, 0, 255);
constexpr COLORREF PressedLinkColor = RGB(255, 0, 0);

bool IsEmpty(const char* text)
{
    return text == nullptr || text[0] == '\0';
}

LPARAM TextParam(const char* text)
{
    return reinterpret_cast<LPARAM>(text);
}

// Converts one pair of dialog units of hParent to pixels; a parent that is
// not a dialog gives (0, 0).
void DialogUnitsToPixels(HWND hParent, int& first, int& second)
{
    RECT rect = {0, 0, first, second};
    if (MapDialogRect(hParent, &rect)) {
        first = rect.right;
        second = rect.bottom;
    } else {
        first = 0;
        second = 0;
    }
}

// Wine's ntdll exports wine_get_version; Windows' does not.
bool RunsUnderWine()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

HMODULE ResourceModuleOf(HWND hWnd)
{
    HMODULE module = GetModuleHandleA(ResourceModuleName);
    return module ? module : reinterpret_cast<HMODULE>(GetWindowLongPtrA(hWnd, GWLP_HINSTANCE));
}

// The optional images of MakeRRButton and MakeRRButtonURL sit at the middle
// of the left side next to a caption, or in the centre of a button without.
void PlaceImageBesideCaption(HWND button, const char* text, int captionMargin)
{
    if (!IsEmpty(text)) {
        SendMessageA(button, RRBM_SETIMAGEPOS, static_cast<WPARAM>(ImageMiddleLeft), 0);
        SendMessageA(button, RRBM_SETIMAGEMARGINLEFT, ImageMarginBesideCaption, 0);
        SendMessageA(button, RRBM_SETTEXTMARGINLEFT, static_cast<WPARAM>(captionMargin), 0);
    } else {
        SendMessageA(button, RRBM_SETIMAGEPOS, static_cast<WPARAM>(ImageCentre), 0);
    }
}

void LoadIconIfNamed(HWND button, UINT message, const char* name)
{
    if (!IsEmpty(name)) {
        SendMessageA(button, message, IMAGE_ICON, TextParam(name));
    }
}

// The link button's own font: the stock GUI font, bold and underlined.
void GiveLinkFont(HWND button)
{
    LOGFONTA font;
    if (GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font) != sizeof font) {
        return;
    }
    font.lfWeight = FW_BOLD;
    font.lfUnderline = TRUE;
    RRButtonRecord* record = RecordOf(button);
    if (!record) {
        return;
    }
    HFONT linkFont = rrb::gdi::NewFontIndirect(&font);
    if (!linkFont) {
        return;
    }
    rrb::gdi::DeleteGdiObject(record->hLinkFont);
    record->hLinkFont = linkFont;
    SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont), 0);
}

}  // namespace

RRButtonRecord* RecordOf(HWND button)
{
    return reinterpret_cast<RRButtonRecord*>(GetWindowLongPtrA(button, 0));
}

namespace rrb {

LRESULT OnCreate(HWND hWnd)
{
    if (RecordOf(hWnd)) {
        return 0;  // a WM_CREATE sent by hand must not replace, and so leak, the record
    }
    auto* record = static_cast<RRButtonRecord*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(RRButtonRecord)));
    if (!record) {
        return -1;
    }
    SetWindowLongPtrA(hWnd, 0, reinterpret_cast<LONG_PTR>(record));

    const COLORREF faceColor = CreationFaceColor(GetSysColor(COLOR_BTNFACE));
    const COLORREF textColor = GetSysColor(COLOR_BTNTEXT);
    record->hParent = reinterpret_cast<HWND>(GetWindowLongPtrA(hWnd, GWLP_HWNDPARENT));
    record->hWnd = hWnd;
    record->ctrlId = static_cast<int>(GetWindowLongPtrA(hWnd, GWLP_ID));
    record->hResModule = ResourceModuleOf(hWnd);
    record->cornerSize = DefaultCornerSize;
    record->hCursor = LoadCursorA(nullptr, IDC_ARROW);
    record->bkMode = TRANSPARENT;
    record->paletteFaceKey = NoFaceKey;
    record->faceColor = faceColor;
    record->textBkColor = faceColor;
    record->textColor = textColor;
    record->hotTextColor = textColor;
    record->pressedTextColor = textColor;
    record->isDefault = 0;
    record->fixedLook = 0;
    record->clickable = 1;
    record->imagePlacement = DefaultImagePlacement;
    record->textFormat = DefaultTextFormat;
    record->imageWidth = DefaultImageSize;
    record->imageHeight = DefaultImageSize;
    record->underWine = RunsUnderWine() ? 1 : 0;

    // Paints the client area in the system face colour and makes the region.
    SendMessageA(hWnd, RRBM_SETCORNER, static_cast<WPARAM>(record->cornerSize), 0);
    return 0;
}

LRESULT OnDestroy(HWND hWnd, RRButtonRecord& record)
{
    // From here on every message finds no record and touches nothing.
    SetWindowLongPtrA(hWnd, 0, 0);
    if (record.hoverTimer) {
        KillTimer(hWnd, static_cast<UINT_PTR>(record.ctrlId));
    }
    // Destroyed during its own paint, the button leaves what the paint holds
    // to the paint.
    DeleteUnlessHeldByPaint(record.palette, record.paintPalette);
    DeleteUnlessHeldByPaint(record.hFaceBrush, record.paintFaceBrush);
    DeleteUnlessHeldByPaint(record.hLinkFont, record.paintLinkFont);
    gdi::DeleteGdiObject(record.hRegion);  // selecting a region selects a copy
    ReleaseOwnedImages(record);
    // hFont is the caller's and stays alive.
    HeapFree(GetProcessHeap(), 0, &record);
    return 0;
}

}  // namespace rrb

LRESULT CALLBACK RRButtonProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    using namespace rrb;
    if (message == WM_CREATE) {
        return OnCreate(hWnd);
    }
    RRButtonRecord* record = RecordOf(hWnd);
    if (!record) {
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
    switch (message) {
    case WM_DESTROY: return OnDestroy(hWnd, *record);
    case WM_SIZE: return OnSize(hWnd, *record);
    case WM_PAINT: return OnPaint(hWnd, *record);

    case WM_SETFOCUS: return React(hWnd, *record, ButtonEvent::SetFocus, message, wParam, lParam);
    case WM_KILLFOCUS: return React(hWnd, *record, ButtonEvent::KillFocus, message, wParam, lParam);
    case WM_ENABLE: return OnEnable(hWnd, *record, wParam, lParam);
    case WM_SYSCOLORCHANGE: return OnSysColorChange(hWnd, *record, wParam, lParam);
    case WM_SETFONT: return OnSetFont(hWnd, *record, wParam, lParam);
    case WM_NOTIFY: return OnNotify(hWnd, *record, wParam, lParam);
    case WM_GETDLGCODE: return OnGetDlgCode(hWnd, *record, wParam, lParam);
    case WM_KEYDOWN: return React(hWnd, *record, ButtonEvent::KeyDown, message, wParam, lParam);
    case WM_KEYUP: return React(hWnd, *record, ButtonEvent::KeyUp, message, wParam, lParam);
    case WM_COMMAND: return OnCommand(hWnd, *record, wParam, lParam);
    case WM_TIMER: return React(hWnd, *record, ButtonEvent::Timer, message, wParam, lParam);
    case WM_MOUSEMOVE: return React(hWnd, *record, ButtonEvent::MouseMove, message, wParam, lParam);
    case WM_LBUTTONDOWN: return React(hWnd, *record, ButtonEvent::LButtonDown, message, wParam, lParam);
    case WM_LBUTTONUP: return React(hWnd, *record, ButtonEvent::LButtonUp, message, wParam, lParam);
    case WM_LBUTTONDBLCLK: return OnLButtonDblClk(hWnd, *record, wParam, lParam);

    case RRBM_SETCORNER: return OnSetCorner(hWnd, *record, wParam, lParam);
    case RRBM_SETFACECOLOR: return OnSetFaceColor(hWnd, *record, wParam, lParam);
    case RRBM_SETDEFAULT: return OnSetDefault(hWnd, *record, wParam, lParam);
    case RRBM_SETFIXEDLOOK: return OnSetFixedLook(hWnd, *record, wParam, lParam);
    case RRBM_SETCURSOR: return OnSetCursor(*record, wParam, lParam);
    case RRBM_REDRAW: return OnRedraw(hWnd);
    case RRBM_SETIMAGEPOS: return OnSetImagePos(*record, wParam, lParam);
    case RRBM_SETIMAGESIZE: return OnSetImageSize(*record, wParam, lParam);
    case RRBM_SETIMAGENOSHIFT: return OnSetImageNoShift(*record, wParam);
    case RRBM_SETBKMODE:
    case RRBM_SETTEXTBKCOLOR:
    case RRBM_SETTEXTCOLOR:
    case RRBM_SETPRESSEDTEXTCOLOR:
    case RRBM_SETHOTTEXTCOLOR:
    case RRBM_SETTEXTSHADOW:
    case RRBM_SETCLICKABLE:
    case RRBM_SETTEXTFORMAT:
    case RRBM_SETTEXTMARGINLEFT:
    case RRBM_SETTEXTMARGINTOP:
    case RRBM_SETTEXTMARGINRIGHT:
    case RRBM_SETTEXTMARGINBOTTOM:
    case RRBM_SETIMAGEMARGINLEFT:
    case RRBM_SETIMAGEMARGINTOP:
    case RRBM_SETIMAGEMARGINRIGHT:
    case RRBM_SETIMAGEMARGINBOTTOM: return OnSetField(hWnd, *record, message, wParam, lParam);

    case RRBM_LOADIMAGE: return OnLoadImage(*record, wParam, lParam);
    case RRBM_LOADHOTIMAGE: return OnLoadHotImage(*record, wParam, lParam);
    case RRBM_LOADPRESSEDIMAGE: return OnLoadPressedImage(*record, wParam, lParam);
    case RRBM_LOADDISABLEDIMAGE: return OnLoadDisabledImage(*record, wParam, lParam);
    case BM_SETIMAGE: return OnSetImage(*record, wParam, lParam);
    case RRBM_GETIMAGENAME: return OnGetImageName(*record, wParam);

    case RRBM_GETCORNER:
    case RRBM_GETFACECOLOR:
    case RRBM_GETFACEBRUSH:
    case RRBM_GETBKMODE:
    case RRBM_GETTEXTBKCOLOR:
    case RRBM_GETTEXTCOLOR:
    case RRBM_GETPRESSEDTEXTCOLOR:
    case RRBM_GETHOTTEXTCOLOR:
    case RRBM_GETTEXTSHADOW:
    case RRBM_GETDEFAULT:
    case RRBM_GETFIXEDLOOK:
    case RRBM_GETCLICKABLE:
    case RRBM_GETTEXTFORMAT:
    case RRBM_GETTEXTMARGINLEFT:
    case RRBM_GETTEXTMARGINTOP:
    case RRBM_GETTEXTMARGINRIGHT:
    case RRBM_GETTEXTMARGINBOTTOM:
    case RRBM_GETIMAGEPOS:
    case RRBM_GETIMAGEWIDTH:
    case RRBM_GETIMAGEHEIGHT:
    case RRBM_GETIMAGEMARGINLEFT:
    case RRBM_GETIMAGEMARGINTOP:
    case RRBM_GETIMAGEMARGINRIGHT:
    case RRBM_GETIMAGEMARGINBOTTOM: return OnGetField(*record, message);

    default: return DefWindowProcA(hWnd, message, wParam, lParam);
    }
}

extern "C" {

void WINAPI InitRRButtonClass(void)
{
    WNDCLASSEXA buttonClass = {};
    buttonClass.cbSize = sizeof buttonClass;
    buttonClass.style = ClassStyle;
    buttonClass.lpfnWndProc = RRButtonProc;
    buttonClass.cbClsExtra = 0;
    buttonClass.cbWndExtra = sizeof(RRButtonRecord*);  // slot 0: the record
    buttonClass.hInstance = GetModuleHandleA(nullptr);
    buttonClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    buttonClass.lpszClassName = RRBUTTON_CLASS_NAME;
    // Fails once the class exists; that is fine.
    RegisterClassExA(&buttonClass);
}

HWND WINAPI CreateRRButton(HWND hParent, int ctrlId, const char* text, int x, int y, int width, int height, DWORD style,
                           DWORD exStyle, BOOL dialogUnits)
{
    InitRRButtonClass();
    if (dialogUnits) {
        DialogUnitsToPixels(hParent, x, y);
        DialogUnitsToPixels(hParent, width, height);
    }
    auto* instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hParent, GWLP_HINSTANCE));
    return CreateWindowExA(exStyle, RRBUTTON_CLASS_NAME, text, style, x, y, width, height, hParent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(ctrlId)), instance, nullptr);
}

HWND WINAPI MakeRRButton(HWND hParent, int ctrlId, const char* text, int x, int y, int width, int height, DWORD style,
                         DWORD exStyle, const char* iconName, const char* hotIconName, BOOL dialogUnits)
{
    HWND button = CreateRRButton(hParent, ctrlId, text, x, y, width, height, style, exStyle, dialogUnits);
    if (!button) {
        return nullptr;
    }
    SendMessageA(button, RRBM_SETCORNER, DefaultCornerSize, 0);
    SendMessageA(button, RRBM_SETCLICKABLE, 1, 0);
    if (IsEmpty(iconName) && IsEmpty(hotIconName)) {
        return button;
    }
    PlaceImageBesideCaption(button, text, CaptionMarginBesideImage);
    LoadIconIfNamed(button, RRBM_LOADIMAGE, iconName);
    LoadIconIfNamed(button, RRBM_LOADHOTIMAGE, hotIconName);
    return button;
}

HWND WINAPI MakeRRButtonURL(HWND hParent, int ctrlId, const char* text, int x, int y, int width, int height,
                            DWORD style, DWORD exStyle, const char* iconName, const char* pressedIconName,
                            const char* disabledIconName, BOOL dialogUnits)
{
    HWND button = CreateRRButton(hParent, ctrlId, text, x, y, width, height, style, exStyle, dialogUnits);
    if (!button) {
        return nullptr;
    }
    // The "HAND" cursor of the resource module; without one, the system's
    // hand (the id only counts when no handle is given).
    const RRButtonRecord* record = RecordOf(button);
    HCURSOR hand = record ? LoadCursorA(record->hResModule, "HAND") : nullptr;
    SendMessageA(button, RRBM_SETCURSOR, reinterpret_cast<WPARAM>(IDC_HAND), reinterpret_cast<LPARAM>(hand));

    SendMessageA(button, RRBM_SETFIXEDLOOK, 1, 0);
    SendMessageA(button, RRBM_SETFACECOLOR, GetSysColor(COLOR_BTNFACE), 0);
    SendMessageA(button, RRBM_SETTEXTCOLOR, LinkColor, 0);
    SendMessageA(button, RRBM_SETHOTTEXTCOLOR, LinkColor, 0);
    SendMessageA(button, RRBM_SETPRESSEDTEXTCOLOR, PressedLinkColor, 0);
    SendMessageA(button, RRBM_SETCLICKABLE, 1, 0);

    if (!IsEmpty(iconName) || !IsEmpty(pressedIconName)) {
        PlaceImageBesideCaption(button, text, LinkCaptionMarginBesideImage);
        LoadIconIfNamed(button, RRBM_LOADIMAGE, iconName);
        LoadIconIfNamed(button, RRBM_LOADPRESSEDIMAGE, pressedIconName);
        LoadIconIfNamed(button, RRBM_LOADDISABLEDIMAGE, disabledIconName);
    }
    GiveLinkFont(button);
    return button;
}

}  // extern "C"
