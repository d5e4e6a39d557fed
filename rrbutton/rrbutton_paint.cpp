// Painting of a round-rect button: the picture is composed off-screen and
// reaches the window in one block transfer, clipped to the rounded region.
#include "rrbutton/button_model.h"
#include "rrbutton/gdi_objects.h"
#include "rrbutton/rrbutton_drawing.h"
#include "rrbutton/rrbutton_internal.h"

namespace rrb {

namespace {

// The caption is drawn from at most this many bytes, its terminating zero
// included: longer window texts are drawn cut to their first 1023 characters.
constexpr int CaptionBufferSize = 1024;

// Values of the record's painting field.
constexpr int NotPainting = 0;
constexpr int Painting = 1;
constexpr int PaintingRepaintAfterwards = 2;

// The objects of the button a paint selects into its device contexts.
struct HeldObjects {
    HBRUSH faceBrush;
    HPALETTE palette;
    HFONT linkFont;
};

// After the paint has selected it out: an object the button replaced or gave
// up meanwhile (current is no longer it) is the paint's to delete.
void DeleteIfLetGo(HGDIOBJ held, HGDIOBJ current)
{
    if (held && held != current) {
        gdi::DeleteGdiObject(held);
    }
}

HANDLE ImageIn(const RRButtonRecord& record, ImageSlot slot)
{
    switch (slot) {
    case ImageSlot::Normal: return record.hImage;
    case ImageSlot::Hot: return record.hHotImage;
    case ImageSlot::Pressed: return record.hPressedImage;
    case ImageSlot::Disabled: return record.hDisabledImage;
    case ImageSlot::None: break;
    }
    return nullptr;
}

// Bitmaps are drawn opaque at their own size, icons through their mask at
// the button's image size.
void DrawImage(HDC dc, const RRButtonRecord& record, HANDLE image, Point at)
{
    if (!image) {
        return;
    }
    if (record.imageType == IMAGE_BITMAP) {
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(image), 0, at.x, at.y, 0, 0, DST_BITMAP);
    } else {
        DrawIconEx(dc, at.x, at.y, static_cast<HICON>(image), IconDrawSize(record.imageWidth),
                   IconDrawSize(record.imageHeight), 0, nullptr, DI_NORMAL);
    }
}

void DrawCaption(HDC dc, const char* caption, const Rect& where, Color color, UINT format)
{
    RECT box = {where.left, where.top, where.right, where.bottom};
    SetTextColor(dc, color);
    DrawTextA(dc, caption, -1, &box, format);
}

// The image, then the caption's shadow, then the caption, for the button's
// draw state.
void DrawContent(HWND hWnd, const RRButtonRecord& record, HDC dc, int width, int height)
{
    ImageLayout layout{};
    layout.placement = record.imagePlacement;
    layout.x = record.imageX;
    layout.y = record.imageY;
    layout.width = record.imageWidth;
    layout.height = record.imageHeight;
    layout.marginLeft = record.imageMarginLeft;
    layout.marginTop = record.imageMarginTop;
    layout.marginRight = record.imageMarginRight;
    layout.marginBottom = record.imageMarginBottom;
    const TextMargins margins{record.textMarginLeft, record.textMarginTop, record.textMarginRight,
                              record.textMarginBottom};

    ContentInput input{};
    input.drawState = record.drawState;
    input.fixedLook = record.fixedLook;
    input.imageNoShift = record.imageNoShift != 0;
    input.textShadow = record.textShadow != 0;
    input.enabled = IsWindowEnabled(hWnd) != FALSE;
    input.images = ImageSlotsSet{record.hImage != nullptr, record.hHotImage != nullptr, record.hPressedImage != nullptr,
                                 record.hDisabledImage != nullptr};
    input.imageOrigin = record.hImage ? ImageOrigin(layout, width, height) : Point{0, 0};
    input.textColor = record.textColor;
    input.hotTextColor = record.hotTextColor;
    input.pressedTextColor = record.pressedTextColor;
    input.highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    input.shadow = GetSysColor(COLOR_BTNSHADOW);
    input.captionRects = PlanCaptionRects(margins, record.fixedLook, width, height);
    const ContentPlan plan = PlanContent(input);

    DrawImage(dc, record, ImageIn(record, plan.image), plan.imageAt);

    char caption[CaptionBufferSize] = {};
    GetWindowTextA(hWnd, caption, CaptionBufferSize);
    const UINT format = DrawTextFlags(record.textFormat, record.underWine != 0);
    if (plan.drawShadow) {
        DrawCaption(dc, caption, plan.shadowRect, plan.shadowColor, format);
    }
    DrawCaption(dc, caption, plan.captionRect, plan.captionColor, format);
}

}  // namespace

void DeleteUnlessHeldByPaint(HGDIOBJ object, HGDIOBJ heldByPaint)
{
    if (object != heldByPaint) {
        gdi::DeleteGdiObject(object);
    }
}

bool DrawButtonPicture(HWND hWnd, HDC dc, int width, int height)
{
    RRButtonRecord* record = RecordOf(hWnd);
    if (!record) {
        return false;
    }
    if (record->hRegion) {
        SelectObject(dc, record->hRegion);  // a copy becomes the clipping region
    }
    if (!record->hFont) {
        record->hFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    HGDIOBJ keptFont = SelectObject(dc, record->hFont);
    SetBkMode(dc, record->bkMode);
    SetBkColor(dc, record->textBkColor);

    // Corners outside the rings show the system face colour, not faceColor.
    const RECT client = {0, 0, width, height};
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ keptBrush = record->hFaceBrush ? SelectObject(dc, record->hFaceBrush) : nullptr;

    const bool alive = DrawButtonFrame(hWnd, dc, client);
    if (alive) {
        // Read again: the parent's handler of the frame notification may have
        // changed the settings, images included.
        DrawContent(hWnd, *RecordOf(hWnd), dc, width, height);
    }
    if (keptBrush) {
        SelectObject(dc, keptBrush);
    }
    if (keptFont) {
        SelectObject(dc, keptFont);
    }
    return alive;
}

LRESULT OnPaint(HWND hWnd, RRButtonRecord& record)
{
    if (record.painting != NotPainting) {
        // Asked for from inside this paint (the parent's handler of the frame
        // notification, or a message loop it runs): this paint is followed by
        // another. Validated meanwhile, or the loop would get WM_PAINT again
        // and again.
        ValidateRect(hWnd, nullptr);
        record.painting = PaintingRepaintAfterwards;
        return 0;
    }
    if (GetSysColor(COLOR_BTNFACE) != record.paletteFaceKey) {
        RebuildButtonColors(hWnd);
    }
    RECT client = {};
    GetClientRect(hWnd, &client);

    PAINTSTRUCT paint = {};
    HDC dc = BeginPaint(hWnd, &paint);
    if (!dc) {
        ValidateRect(hWnd, nullptr);  // else WM_PAINT would come back at once, for ever
        return 0;
    }
    record.painting = Painting;
    // Kept here as well: the record is gone when the parent destroys the
    // button during the paint.
    const HeldObjects held{record.hFaceBrush, record.palette, record.hLinkFont};
    record.paintFaceBrush = held.faceBrush;
    record.paintPalette = held.palette;
    record.paintLinkFont = held.linkFont;
    if (record.hRegion) {
        SelectObject(dc, record.hRegion);
    }
    HPALETTE keptPalette = SelectBackgroundPalette(dc, record.palette);
    {
        OffscreenBuffer buffer(dc, client.right, client.bottom, record.palette);
        // Without a buffer the picture goes straight to the window.
        const bool alive = DrawButtonPicture(hWnd, buffer.Dc() ? buffer.Dc() : dc, client.right, client.bottom);
        if (alive) {
            buffer.CopyTo(dc);
        }
    }
    if (keptPalette) {
        SelectPalette(dc, keptPalette, TRUE);
    }
    EndPaint(hWnd, &paint);
    // `record` is gone when the parent destroyed the button during the paint.
    RRButtonRecord* stillThere = RecordOf(hWnd);
    DeleteIfLetGo(held.faceBrush, stillThere ? stillThere->hFaceBrush : nullptr);
    DeleteIfLetGo(held.palette, stillThere ? stillThere->palette : nullptr);
    DeleteIfLetGo(held.linkFont, stillThere ? stillThere->hLinkFont : nullptr);
    if (stillThere) {
        stillThere->paintFaceBrush = nullptr;
        stillThere->paintPalette = nullptr;
        stillThere->paintLinkFont = nullptr;
        const bool again = stillThere->painting == PaintingRepaintAfterwards;
        stillThere->painting = NotPainting;
        if (again) {
            InvalidateRect(hWnd, nullptr, FALSE);
        }
    }
    return 0;
}

}  // namespace rrb
