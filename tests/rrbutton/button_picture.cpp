#include "tests/rrbutton/button_picture.h"

#include <algorithm>

#include "rrbutton/rrbutton_drawing.h"
#include "rrbutton/rrbutton_record.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr char kHandlerProperty[] = "VorlaneTestParentHandler";

COLORREF FromDibPixel(std::uint32_t pixel) {
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

std::uint32_t ToDibPixel(COLORREF color) {
    return (static_cast<std::uint32_t>(GetRValue(color)) << 16) | (static_cast<std::uint32_t>(GetGValue(color)) << 8) |
           GetBValue(color);
}

void AppendLittleEndian(std::string& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

SIZE ClientSize(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    return SIZE{client.right, client.bottom};
}

}  // namespace

Picture::Picture(int width, int height, COLORREF fill) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    keptBitmap_ = SelectObject(dc_, bitmap_);
    bits_ = static_cast<const std::uint32_t*>(bits);
    auto* writable = static_cast<std::uint32_t*>(bits);
    for (int i = 0; writable && i < width * height; ++i) {
        writable[i] = ToDibPixel(fill);
    }
}

Picture::~Picture() {
    SelectObject(dc_, keptBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

COLORREF Picture::Pixel(int x, int y) const {
    GdiFlush();
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) {
        return CLR_INVALID;
    }
    return FromDibPixel(bits_[y * width_ + x]);
}

int Picture::Count(COLORREF color) const {
    int count = 0;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            count += Pixel(x, y) == color ? 1 : 0;
        }
    }
    return count;
}

RECT Picture::Bounds(COLORREF color) const {
    RECT bounds = {width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (Pixel(x, y) == color) {
                bounds.left = std::min<LONG>(bounds.left, x);
                bounds.top = std::min<LONG>(bounds.top, y);
                bounds.right = std::max<LONG>(bounds.right, x + 1);
                bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
            }
        }
    }
    return bounds.right == 0 ? RECT{0, 0, 0, 0} : bounds;
}

bool Picture::SameAs(const Picture& other) const {
    if (width_ != other.width_ || height_ != other.height_) {
        return false;
    }
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (Pixel(x, y) != other.Pixel(x, y)) {
                return false;
            }
        }
    }
    return true;
}

std::unique_ptr<Picture> ComposedPicture(HWND button, COLORREF fill) {
    const SIZE size = ClientSize(button);
    auto picture = std::make_unique<Picture>(size.cx, size.cy, fill);
    rrb::DrawButtonPicture(button, picture->Dc(), size.cx, size.cy);
    return picture;
}

std::unique_ptr<Picture> ScreenPicture(HWND button) {
    const SIZE size = ClientSize(button);
    auto picture = std::make_unique<Picture>(size.cx, size.cy, RGB(0, 0, 0));
    HDC screen = GetDC(button);
    BitBlt(picture->Dc(), 0, 0, size.cx, size.cy, screen, 0, 0, SRCCOPY);
    ReleaseDC(button, screen);
    return picture;
}

ParentHandler::ParentHandler(HWND window, Handler handler) : window_(window), handler_(std::move(handler)) {
    SetPropA(window_, kHandlerProperty, this);
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ParentHandler::Proc)));
}

ParentHandler::~ParentHandler() {
    if (IsWindow(window_)) {
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        RemovePropA(window_, kHandlerProperty);
    }
}

LRESULT CALLBACK ParentHandler::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<ParentHandler*>(GetPropA(window, kHandlerProperty));
    if (!self) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    const WNDPROC original = self->original_;
    self->handler_(message, wParam, lParam);
    return CallWindowProcA(original, window, message, wParam, lParam);
}

bool WriteSolidIconFile(const std::string& path, COLORREF color) {
    constexpr int kSide = 16;
    const std::uint32_t colorBytes = kSide * kSide * 4;
    const std::uint32_t maskBytes = kSide * 4;  // one bit a pixel, rows padded to 32 bits
    std::string bytes;
    AppendLittleEndian(bytes, 0, 2);  // reserved
    AppendLittleEndian(bytes, 1, 2);  // icon
    AppendLittleEndian(bytes, 1, 2);  // one image
    bytes.append({static_cast<char>(kSide), static_cast<char>(kSide), 0, 0});
    AppendLittleEndian(bytes, 1, 2);   // planes
    AppendLittleEndian(bytes, 32, 2);  // bits per pixel
    AppendLittleEndian(bytes, 40 + colorBytes + maskBytes, 4);
    AppendLittleEndian(bytes, 22, 4);  // the image follows the directory
    AppendLittleEndian(bytes, 40, 4);
    AppendLittleEndian(bytes, kSide, 4);
    AppendLittleEndian(bytes, 2 * kSide, 4);  // colour and mask stacked
    AppendLittleEndian(bytes, 1, 2);
    AppendLittleEndian(bytes, 32, 2);
    bytes.append(24, '\0');
    for (int pixel = 0; pixel < kSide * kSide; ++pixel) {
        AppendLittleEndian(bytes, 0xFF000000u | ToDibPixel(color), 4);
    }
    bytes.append(maskBytes, '\0');  // every pixel shown
    return WriteTestFile(path, bytes);
}

bool InButtonRegion(HWND button, int x, int y) {
    const RRButtonRecord* record = RecordOf(button);
    return record && record->hRegion && PtInRegion(record->hRegion, x, y);
}
