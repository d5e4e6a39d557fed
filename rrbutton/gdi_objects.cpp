#include "rrbutton/gdi_objects.h"

namespace rrb::gdi {

namespace {

volatile LONG liveObjects;

template <typename Handle>
Handle Counted(Handle handle)
{
    if (handle) {
        InterlockedIncrement(&liveObjects);
    }
    return handle;
}

BOOL CountedRelease(BOOL released)
{
    if (released) {
        InterlockedDecrement(&liveObjects);
    }
    return released;
}

}  // namespace

long LiveGdiObjects()
{
    return InterlockedCompareExchange(&liveObjects, 0, 0);
}

HRGN NewRoundRectRegion(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight)
{
    return Counted(CreateRoundRectRgn(left, top, right, bottom, ellipseWidth, ellipseHeight));
}

HBRUSH NewSolidBrush(COLORREF color)
{
    return Counted(CreateSolidBrush(color));
}

HPEN NewPen(int style, int width, COLORREF color)
{
    return Counted(CreatePen(style, width, color));
}

HPALETTE NewPalette(const LOGPALETTE* logicalPalette)
{
    return Counted(CreatePalette(logicalPalette));
}

HFONT NewFontIndirect(const LOGFONTA* logicalFont)
{
    return Counted(CreateFontIndirectA(logicalFont));
}

HBITMAP NewCompatibleBitmap(HDC dc, int width, int height)
{
    return Counted(CreateCompatibleBitmap(dc, width, height));
}

HDC NewCompatibleDC(HDC dc)
{
    return Counted(CreateCompatibleDC(dc));
}

BOOL DeleteGdiObject(HGDIOBJ object)
{
    return object ? CountedRelease(DeleteObject(object)) : FALSE;
}

BOOL DeleteMemoryDC(HDC dc)
{
    return dc ? CountedRelease(DeleteDC(dc)) : FALSE;
}

HANDLE LoadImageCounted(HINSTANCE module, LPCSTR name, UINT kind, int width, int height, UINT flags)
{
    HANDLE image = LoadImageA(module, name, kind, width, height, flags);
    return (flags & LR_SHARED) ? image : Counted(image);
}

bool ReleaseImage(HANDLE image, UINT kind)
{
    if (!image) {
        return false;
    }
    switch (kind) {
    case IMAGE_BITMAP: return CountedRelease(DeleteObject(static_cast<HGDIOBJ>(image)));
    case IMAGE_ICON: return CountedRelease(DestroyIcon(static_cast<HICON>(image)));
    case IMAGE_CURSOR: return CountedRelease(DestroyCursor(static_cast<HCURSOR>(image)));
    default: return false;
    }
}

}  // namespace rrb::gdi
