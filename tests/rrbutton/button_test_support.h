// Helpers for the round-rect button tests: parent windows, message spies, a
// trap for writes through a freed record, pictures read back pixel by pixel
// and image files written on the spot.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "rrbutton/rrbutton.h"
#include "rrbutton/rrbutton_drawing.h"
#include "rrbutton/rrbutton_record.h"
#include "tests/support/temp_folder.h"

constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

struct NoCopy {
    NoCopy() = default;
    NoCopy(const NoCopy&) = delete;
    NoCopy& operator=(const NoCopy&) = delete;
};

inline void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

inline SIZE ClientSize(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    return SIZE{client.right, client.bottom};
}

// A visible child window of one top-level window that all tests share (closing
// a shown top-level window costs about two seconds under Wine without a window
// manager, a child window nothing); its buttons go with it.
class TestParent : NoCopy {
public:
    TestParent() {
        static const HWND host = [] {
            WNDCLASSEXA parentClass = {};
            parentClass.cbSize = sizeof parentClass;
            parentClass.lpfnWndProc = DefWindowProcA;
            parentClass.hInstance = GetModuleHandleA(nullptr);  // the buttons load their images from it
            parentClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
            parentClass.lpszClassName = "VorlaneButtonTestParent";
            RegisterClassExA(&parentClass);
            return CreateWindowExA(0, parentClass.lpszClassName, "Button tests", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                                   40, 320, 240, nullptr, nullptr, parentClass.hInstance, nullptr);
        }();
        window_ = CreateWindowExA(0, "VorlaneButtonTestParent", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                  ClientSize(host).cx, ClientSize(host).cy, host, nullptr, GetModuleHandleA(nullptr),
                                  nullptr);
        PumpMessages();
    }
    ~TestParent() {
        DestroyWindow(window_);
        PumpMessages();
    }
    HWND Handle() const { return window_; }

private:
    HWND window_;
};

// A visible 75 x 23 button at (10, y) of the parent.
inline HWND CreateTestButton(HWND parent, const char* text = "Caption", int id = 1001, int y = 10) {
    return CreateRRButton(parent, id, text, 10, y, 75, 23, kButtonStyle, 0, FALSE);
}

inline INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// An empty visible child dialog of 200 x 100 dialog units.
inline HWND CreateEmptyDialog(HWND parent) {
    struct alignas(4) {
        DLGTEMPLATE header = {WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, 200, 100};
        WORD noMenuClassOrTitle[3] = {};
    } dialog;
    return CreateDialogIndirectParamA(nullptr, &dialog.header, parent, PlainDialogProc, 0);
}

// Changes system colours, and puts them back at the end.
class SystemColors : NoCopy {
public:
    ~SystemColors() {
        for (auto saved = saved_.rbegin(); saved != saved_.rend(); ++saved) {
            SetSysColors(1, &saved->first, &saved->second);
        }
    }
    void Set(int element, COLORREF color) {
        saved_.emplace_back(element, GetSysColor(element));
        SetSysColors(1, &element, &color);
        EXPECT_EQ(GetSysColor(element), color);
    }

private:
    std::vector<std::pair<int, COLORREF>> saved_;
};

// One message as a window received it; an image load's name is in text (and
// lParam then 0), so that recorded and expected messages compare whole.
struct ReceivedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::string text;
    bool operator==(const ReceivedMessage& o) const {
        return message == o.message && wParam == o.wParam && lParam == o.lParam && text == o.text;
    }
};
inline void PrintTo(const ReceivedMessage& m, std::ostream* out) {
    *out << "{0x" << std::hex << m.message << std::dec << ", " << m.wParam << ", " << m.lParam << ", " << m.text << "}";
}

// Records, while it lives, the private messages (WM_USER and up), BM_SETIMAGE
// and WM_SETFONT sent to any RRBUTTON window of this thread, creation included.
class ButtonMessageRecorder : NoCopy {
public:
    ButtonMessageRecorder() : hook_(SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId())) {
        active = this;
    }
    ~ButtonMessageRecorder() {
        UnhookWindowsHookEx(hook_);
        active = nullptr;
    }
    std::vector<ReceivedMessage> messages;
    bool Received(UINT message) const {
        return std::any_of(messages.begin(), messages.end(), [message](auto& m) { return m.message == message; });
    }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        char className[16] = {};
        if (code == HC_ACTION && active &&
            (sent->message >= WM_USER || sent->message == BM_SETIMAGE || sent->message == WM_SETFONT) &&
            GetClassNameA(sent->hwnd, className, sizeof className) && !std::strcmp(className, RRBUTTON_CLASS_NAME)) {
            const bool named = sent->message >= RRBM_LOADIMAGE && sent->message <= RRBM_LOADDISABLEDIMAGE &&
                               !IS_INTRESOURCE(sent->lParam);
            active->messages.push_back({sent->message, sent->wParam, named ? 0 : sent->lParam,
                                        named ? reinterpret_cast<const char*>(sent->lParam) : ""});
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline ButtonMessageRecorder* active = nullptr;
    HHOOK hook_;
};

// Subclasses a window: records every message it receives and hands each to
// `handler` (when set) before the window's own procedure. Lets go of the
// window at WM_NCDESTROY or when it ends.
class WindowSpy : NoCopy {
public:
    using Handler = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;
    explicit WindowSpy(HWND window, Handler handler = nullptr) : handler(std::move(handler)), window_(window) {
        SetPropA(window_, "VorlaneTestWindowSpy", this);
        original_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window_, GWLP_WNDPROC, LONG_PTR(&Proc)));
    }
    ~WindowSpy() { Detach(window_); }
    std::vector<ReceivedMessage> Received(UINT message) const {
        std::vector<ReceivedMessage> found;
        std::copy_if(messages_.begin(), messages_.end(), std::back_inserter(found),
                     [message](auto& m) { return m.message == message; });
        return found;
    }
    void Clear() { messages_.clear(); }
    Handler handler;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* spy = static_cast<WindowSpy*>(GetPropA(window, "VorlaneTestWindowSpy"));
        if (!spy) {
            return DefWindowProcA(window, message, wParam, lParam);
        }
        const WNDPROC original = spy->original_;
        spy->messages_.push_back({message, wParam, lParam, ""});
        if (const Handler handler = spy->handler) {  // a copy: the handler may replace itself
            handler(message, wParam, lParam);
        }
        if (message == WM_NCDESTROY) {
            spy->Detach(window);
        }
        return CallWindowProcA(original, window, message, wParam, lParam);
    }
    void Detach(HWND window) {
        if (window_ && IsWindow(window)) {
            SetWindowLongPtrA(window, GWLP_WNDPROC, LONG_PTR(original_));
            RemovePropA(window, "VorlaneTestWindowSpy");
        }
        window_ = nullptr;
    }
    HWND window_;
    WNDPROC original_;
    std::vector<ReceivedMessage> messages_;
};

// Catches writes through the record of a destroyed button: right after the
// record was freed, Spring takes heap blocks of its size (the heap hands the
// freed one out again) and fills them; NothingWritten checks the fill.
class FreedRecordTrap : NoCopy {
public:
    ~FreedRecordTrap() {
        for (void* block : blocks_) {
            HeapFree(GetProcessHeap(), 0, block);
        }
    }
    void Spring(const void* freedRecord) {
        for (int i = 0; i < 8 && !holdsFreedRecord_; ++i) {
            blocks_.push_back(std::memset(HeapAlloc(GetProcessHeap(), 0, kSize), kFill, kSize));
            holdsFreedRecord_ = blocks_.back() == freedRecord;
        }
    }
    void DestroyButton(HWND button) {  // and springs on its record
        const void* record = RecordOf(button);
        DestroyWindow(button);
        Spring(record);
    }
    ::testing::AssertionResult NothingWritten() const {
        if (blocks_.empty()) {
            return ::testing::AssertionFailure() << "the button was not destroyed";
        }
        for (const void* block : blocks_) {
            const auto* bytes = static_cast<const unsigned char*>(block);
            if (std::any_of(bytes, bytes + kSize, [](unsigned char b) { return b != kFill; })) {
                return ::testing::AssertionFailure() << "the destroyed button wrote to its freed record";
            }
        }
        if (!holdsFreedRecord_) {
            std::printf("note: the heap did not hand out the freed record again; the write check is weaker\n");
        }
        return ::testing::AssertionSuccess();
    }

private:
    static constexpr size_t kSize = sizeof(RRButtonRecord);
    static constexpr unsigned char kFill = 0xA5;
    std::vector<void*> blocks_;
    bool holdsFreedRecord_ = false;
};

// 0x00RRGGBB, as 32-bit device-independent pixels hold a colour.
inline DWORD DibPixel(COLORREF color) {
    return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

// A 32-bit top-down picture in a memory device context.
class Picture : NoCopy {
public:
    Picture(int width, int height, COLORREF fill) : width_(width), height_(height) {
        BITMAPINFO info = {{sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        keptBitmap_ = SelectObject(dc_, bitmap_);
        bits_ = static_cast<DWORD*>(bits);
        std::fill_n(bits_, bits ? width * height : 0, DibPixel(fill));
    }
    ~Picture() {
        SelectObject(dc_, keptBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }
    COLORREF Pixel(int x, int y) const {
        GdiFlush();
        if (x < 0 || y < 0 || x >= width_ || y >= height_) {
            return CLR_INVALID;
        }
        const DWORD pixel = bits_[y * width_ + x];
        return RGB(pixel >> 16, pixel >> 8, pixel);
    }
    // The smallest rectangle holding the pixels of exactly this colour; all
    // zero when there is none.
    RECT Bounds(COLORREF color) const {
        RECT bounds = {width_, height_, 0, 0};
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if (Pixel(x, y) == color) {
                    bounds = {std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                              std::max<LONG>(bounds.right, x + 1), std::max<LONG>(bounds.bottom, y + 1)};
                }
            }
        }
        return bounds.right == 0 ? RECT{0, 0, 0, 0} : bounds;
    }
    bool SameAs(const Picture& other) const {
        GdiFlush();
        return width_ == other.width_ && height_ == other.height_ &&
               std::equal(bits_, bits_ + width_ * height_, other.bits_);
    }

private:
    HDC dc_ = CreateCompatibleDC(nullptr);
    HBITMAP bitmap_;
    HGDIOBJ keptBitmap_;
    DWORD* bits_;
    int width_;
    int height_;
};

// The button's picture as its drawing code composes it, over a picture of its
// client size filled with `fill` (pixels outside the region keep it).
inline std::unique_ptr<Picture> ComposedPicture(HWND button, COLORREF fill) {
    auto picture = std::make_unique<Picture>(ClientSize(button).cx, ClientSize(button).cy, fill);
    rrb::DrawButtonPicture(button, picture->Dc(), ClientSize(button).cx, ClientSize(button).cy);
    return picture;
}

// What the window shows of the button's client area.
inline std::unique_ptr<Picture> ScreenPicture(HWND button) {
    auto picture = std::make_unique<Picture>(ClientSize(button).cx, ClientSize(button).cy, RGB(0, 0, 0));
    HDC screen = GetDC(button);
    BitBlt(picture->Dc(), 0, 0, ClientSize(button).cx, ClientSize(button).cy, screen, 0, 0, SRCCOPY);
    ReleaseDC(button, screen);
    return picture;
}

// 16 x 16 image files: an icon of one opaque colour, and a 24-bit bitmap of
// RGB(0x50, 0xA0, 0x30); false when the file cannot be written.
#pragma pack(push, 2)
struct IconFile {
    WORD reserved = 0, type = 1, count = 1;  // an icon of one image:
    BYTE width = 16, height = 16, colors = 0, unused = 0;
    WORD planes = 1, bitCount = 32;
    DWORD bytes = sizeof(BITMAPINFOHEADER) + sizeof pixels + sizeof mask, offset = 22;
    BITMAPINFOHEADER header = {sizeof header, 16, 32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};  // colour and mask stacked
    DWORD pixels[16 * 16];
    DWORD mask[16] = {};  // one bit a pixel, rows padded to 32 bits: every pixel shown
};
struct BitmapFile {
    BITMAPFILEHEADER file = {0x4D42, 14 + 40 + sizeof pixels, 0, 0, 14 + 40};
    BITMAPINFOHEADER header = {sizeof header, 16, 16, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    BYTE pixels[16 * 16 * 3];  // blue, green, red; rows of 48 bytes need no padding
};
#pragma pack(pop)

inline bool WriteIconFile(const std::string& path, COLORREF color = RGB(0x20, 0x60, 0xC0)) {
    IconFile icon;
    std::fill(std::begin(icon.pixels), std::end(icon.pixels), 0xFF000000u | DibPixel(color));
    return WriteTestFile(path, std::string(reinterpret_cast<const char*>(&icon), sizeof icon));
}

inline bool WriteBitmapFile(const std::string& path) {
    BitmapFile bitmap;
    for (size_t at = 0; at < sizeof bitmap.pixels; at += 3) {
        std::memcpy(bitmap.pixels + at, "\x30\xA0\x50", 3);
    }
    return WriteTestFile(path, std::string(reinterpret_cast<const char*>(&bitmap), sizeof bitmap));
}

inline bool IsIcon(HANDLE image) {
    ICONINFO info = {};
    const bool icon = GetIconInfo(static_cast<HICON>(image), &info);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return icon;
}

inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline void PrintTo(const RECT& r, std::ostream* out) {
    *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
