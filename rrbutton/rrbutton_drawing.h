// Drawing of a round-rect button: the frame, the whole picture composed into
// a device context, and the off-screen buffer a paint composes it in.
#pragma once

#include <windows.h>

namespace rrb {

// The raised, sunken or flat rings of the button and its focus ring, drawn
// into dc over the client rectangle (0, 0, W, H). The parent hears which look
// is drawn (RRBN_*) before any ring is drawn. The rings are filled with the
// brush selected in dc; dc's brush and pen are as before when it returns.
// Returns false, having drawn nothing, when the parent destroyed the button
// while it handled the notification.
bool DrawButtonFrame(HWND hWnd, HDC dc, const RECT& client);

// The whole picture of the button composed into dc, whose surface covers the
// client area (width x height): clipped to the button's region, the system
// face colour, the frame, the state image and the caption. dc keeps the
// region as clipping region and the caption's text settings; its font and
// brush are as before. Returns false when the button was destroyed during the
// frame notification (the picture then stops after the face fill).
bool DrawButtonPicture(HWND hWnd, HDC dc, int width, int height);

// A memory device context with a bitmap of width x height compatible with a
// target context, for composing a picture that reaches the target in one
// block transfer. When the context or the bitmap cannot be made, nothing is
// kept and Dc() is null: the caller then draws straight into the target.
// A palette, when given, is selected into the memory context as background
// palette and realised. Everything made or selected is undone on destruction.
class OffscreenBuffer {
public:
    OffscreenBuffer(HDC target, int width, int height, HPALETTE palette);
    ~OffscreenBuffer();
    OffscreenBuffer(const OffscreenBuffer&) = delete;
    OffscreenBuffer& operator=(const OffscreenBuffer&) = delete;

    HDC Dc() const { return dc_; }
    // Copies the whole picture to (0, 0) of the target, honouring its clipping.
    void CopyTo(HDC target) const;

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ keptBitmap_ = nullptr;
    HPALETTE keptPalette_ = nullptr;
    int width_;
    int height_;
};

// Selects a palette into dc as background palette and realises it; returns
// the palette it replaced (null when palette or dc is null).
HPALETTE SelectBackgroundPalette(HDC dc, HPALETTE palette);

}  // namespace rrb
