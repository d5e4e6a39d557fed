// Counted creation and deletion of the GDI and USER objects a round-rect
// button makes. Every brush, pen, region, palette, font, bitmap, memory device
// context and loaded image of the button goes through these functions, so the
// number of objects still alive can be read back (LiveGdiObjects) to prove that
// a button releases everything it made. GetGuiResources cannot do this under
// every platform, and it counts the whole process besides.
//
// Objects handed to the button by its caller (a font by WM_SETFONT, an image
// by BM_SETIMAGE), stock objects and shared cursors are not the button's and
// never pass through here.
#pragma once

#include <windows.h>

namespace rrb::gdi {

// Objects created here and not yet deleted here, process-wide.
long LiveGdiObjects();

HRGN NewRoundRectRegion(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
HBRUSH NewSolidBrush(COLORREF color);
HPEN NewPen(int style, int width, COLORREF color);
HPALETTE NewPalette(const LOGPALETTE* logicalPalette);
HFONT NewFontIndirect(const LOGFONTA* logicalFont);
HBITMAP NewCompatibleBitmap(HDC dc, int width, int height);
HDC NewCompatibleDC(HDC dc);

// Deletes a region, brush, pen, palette, font or bitmap made above. A failed
// deletion is not counted, so it shows up as a live object.
BOOL DeleteGdiObject(HGDIOBJ object);
BOOL DeleteMemoryDC(HDC dc);

// LoadImageA. Images loaded with LR_SHARED belong to the system and are not
// counted; release no such image with ReleaseImage.
HANDLE LoadImageCounted(HINSTANCE module, LPCSTR name, UINT kind, int width, int height, UINT flags);

// Releases an image loaded by LoadImageCounted according to the kind it was
// loaded as: DeleteObject for IMAGE_BITMAP, DestroyIcon for IMAGE_ICON,
// DestroyCursor for IMAGE_CURSOR. Any other kind holds nothing to release.
// Returns whether an image was released.
bool ReleaseImage(HANDLE image, UINT kind);

}  // namespace rrb::gdi
