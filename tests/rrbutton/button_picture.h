// Pictures of round-rect buttons read back pixel by pixel, a parent window
// that reacts to what its buttons send it, and solid-colour icons.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// A 32-bit top-down picture in a memory device context.
class Picture {
public:
    Picture(int width, int height, COLORREF fill);
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    HDC Dc() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF Pixel(int x, int y) const;
    // Pixels of exactly this colour, and the smallest rectangle holding them
    // (all zero when there is none).
    int Count(COLORREF color) const;
    RECT Bounds(COLORREF color) const;
    bool SameAs(const Picture& other) const;

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ keptBitmap_ = nullptr;
    const std::uint32_t* bits_ = nullptr;
    int width_;
    int height_;
};

// The button's picture as its drawing code composes it, into a picture of its
// client size filled with `fill` beforehand (the pixels outside the button's
// region keep it).
std::unique_ptr<Picture> ComposedPicture(HWND button, COLORREF fill);

// What the window shows of the button's client area.
std::unique_ptr<Picture> ScreenPicture(HWND button);

// Hands every message a window receives to a function before the window's
// own procedure; one at a time.
class ParentHandler {
public:
    using Handler = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;
    ParentHandler(HWND window, Handler handler);
    ~ParentHandler();
    ParentHandler(const ParentHandler&) = delete;
    ParentHandler& operator=(const ParentHandler&) = delete;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_;
    WNDPROC original_;
    Handler handler_;
};

// A 16 x 16 icon file of one opaque colour; false when it cannot be written.
bool WriteSolidIconFile(const std::string& path, COLORREF color);

// Client pixels the button's rounded region covers.
bool InButtonRegion(HWND button, int x, int y);
