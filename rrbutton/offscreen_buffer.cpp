#include "rrbutton/gdi_objects.h"
#include "rrbutton/rrbutton_drawing.h"

namespace rrb {

HPALETTE SelectBackgroundPalette(HDC dc, HPALETTE palette)
{
    if (!dc || !palette) {
        return nullptr;
    }
    HPALETTE kept = SelectPalette(dc, palette, TRUE);
    RealizePalette(dc);
    return kept;
}

OffscreenBuffer::OffscreenBuffer(HDC target, int width, int height, HPALETTE palette) : width_(width), height_(height)
{
    HDC dc = gdi::NewCompatibleDC(target);
    if (!dc) {
        return;
    }
    HBITMAP bitmap = gdi::NewCompatibleBitmap(target, width, height);
    if (!bitmap) {
        // Composing into the context's one-pixel default bitmap would copy
        // garbage to the screen: give up the buffer instead.
        gdi::DeleteMemoryDC(dc);
        return;
    }
    HGDIOBJ keptBitmap = SelectObject(dc, bitmap);
    if (!keptBitmap) {
        gdi::DeleteGdiObject(bitmap);
        gdi::DeleteMemoryDC(dc);
        return;
    }
    dc_ = dc;
    bitmap_ = bitmap;
    keptBitmap_ = keptBitmap;
    keptPalette_ = SelectBackgroundPalette(dc_, palette);
}

OffscreenBuffer::~OffscreenBuffer()
{
    if (!dc_) {
        return;
    }
    SelectObject(dc_, keptBitmap_);
    if (keptPalette_) {
        SelectPalette(dc_, keptPalette_, TRUE);
    }
    gdi::DeleteGdiObject(bitmap_);
    gdi::DeleteMemoryDC(dc_);
}

void OffscreenBuffer::CopyTo(HDC target) const
{
    if (dc_) {
        BitBlt(target, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
    }
}

}  // namespace rrb
