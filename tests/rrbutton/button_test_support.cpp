#include "tests/rrbutton/button_test_support.h"

#include <cstdint>
#include <cstring>
#include <ostream>

#include "rrbutton/rrbutton.h"
#include "rrbutton/rrbutton_record.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr char kParentClass[] = "VorlaneButtonTestParent";

ButtonMessageRecorder* activeRecorder;

ATOM RegisterParentClass() {
    WNDCLASSEXA parentClass = {};
    parentClass.cbSize = sizeof parentClass;
    parentClass.lpfnWndProc = DefWindowProcA;
    parentClass.hInstance = GetModuleHandleA(nullptr);
    parentClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    parentClass.lpszClassName = kParentClass;
    return RegisterClassExA(&parentClass);
}

bool IsButton(HWND window) {
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    return std::strcmp(className, RRBUTTON_CLASS_NAME) == 0;
}

bool IsImageLoad(UINT message) {
    return message >= RRBM_LOADIMAGE && message <= RRBM_LOADDISABLEDIMAGE;
}

void AppendLittleEndian(std::string& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

void AppendInfoHeader(std::string& bytes, int width, int height, int bitsPerPixel) {
    AppendLittleEndian(bytes, 40, 4);  // biSize
    AppendLittleEndian(bytes, static_cast<std::uint32_t>(width), 4);
    AppendLittleEndian(bytes, static_cast<std::uint32_t>(height), 4);
    AppendLittleEndian(bytes, 1, 2);  // planes
    AppendLittleEndian(bytes, static_cast<std::uint32_t>(bitsPerPixel), 2);
    bytes.append(24, '\0');  // BI_RGB, sizes, resolution and colour counts left to the reader
}

constexpr int kSide = 16;

// One visible top-level window for the whole test run: closing a visible
// top-level window costs about two seconds under Wine without a window
// manager, a child window nothing.
HWND SharedHostWindow() {
    static const HWND host = [] {
        RegisterParentClass();
        return CreateWindowExA(0, kParentClass, "Button tests", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 320, 240,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }();
    return host;
}

}  // namespace

TestParent::TestParent() {
    HWND host = SharedHostWindow();
    RECT client = {};
    GetClientRect(host, &client);
    window_ = CreateWindowExA(0, kParentClass, "Button test", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                              client.right, client.bottom, host, nullptr, GetModuleHandleA(nullptr), nullptr);
    PumpMessages();
}

TestParent::~TestParent() {
    DestroyWindow(window_);
    PumpMessages();
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool operator==(const ReceivedMessage& a, const ReceivedMessage& b) {
    // A name travels as a pointer that differs between the two: compare the text.
    const bool carriesText = IsImageLoad(a.message) && (!IS_INTRESOURCE(a.lParam) || !IS_INTRESOURCE(b.lParam));
    return a.message == b.message && a.wParam == b.wParam && a.text == b.text &&
           (carriesText || a.lParam == b.lParam);
}

void PrintTo(const ReceivedMessage& message, std::ostream* out) {
    *out << "{0x" << std::hex << message.message << std::dec << ", " << static_cast<long>(message.wParam) << ", ";
    if (IsImageLoad(message.message) && !IS_INTRESOURCE(message.lParam)) {
        *out << '"' << message.text << '"';
    } else {
        *out << static_cast<long>(message.lParam);
    }
    *out << "}";
}

ButtonMessageRecorder::ButtonMessageRecorder() {
    activeRecorder = this;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
}

ButtonMessageRecorder::~ButtonMessageRecorder() {
    UnhookWindowsHookEx(hook_);
    activeRecorder = nullptr;
}

bool ButtonMessageRecorder::Received(UINT message) const {
    for (const ReceivedMessage& received : messages_) {
        if (received.message == message) {
            return true;
        }
    }
    return false;
}

LRESULT CALLBACK ButtonMessageRecorder::Hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && activeRecorder && sent &&
        (sent->message >= WM_USER || sent->message == BM_SETIMAGE || sent->message == WM_SETFONT) &&
        IsButton(sent->hwnd)) {
        ReceivedMessage received{sent->message, sent->wParam, sent->lParam, {}};
        if (IsImageLoad(sent->message) && sent->lParam && !IS_INTRESOURCE(sent->lParam)) {
            received.text = reinterpret_cast<const char*>(sent->lParam);
        }
        activeRecorder->messages_.push_back(received);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool WriteIconFile(const std::string& path) {
    const std::uint32_t colorBytes = kSide * kSide * 4;
    const std::uint32_t maskBytes = kSide * 4;  // one bit a pixel, rows padded to 32 bits
    const std::uint32_t imageBytes = 40 + colorBytes + maskBytes;
    std::string bytes;
    AppendLittleEndian(bytes, 0, 2);  // reserved
    AppendLittleEndian(bytes, 1, 2);  // icon
    AppendLittleEndian(bytes, 1, 2);  // one image
    bytes.push_back(static_cast<char>(kSide));
    bytes.push_back(static_cast<char>(kSide));
    bytes.push_back(0);  // no colour table
    bytes.push_back(0);
    AppendLittleEndian(bytes, 1, 2);   // planes
    AppendLittleEndian(bytes, 32, 2);  // bits per pixel
    AppendLittleEndian(bytes, imageBytes, 4);
    AppendLittleEndian(bytes, 22, 4);  // the image follows the 6 + 16 bytes of directory
    AppendInfoHeader(bytes, kSide, 2 * kSide, 32);  // colour and mask stacked
    for (int pixel = 0; pixel < kSide * kSide; ++pixel) {
        AppendLittleEndian(bytes, 0xFF2060C0u, 4);  // opaque blue-ish
    }
    bytes.append(maskBytes, '\0');  // all pixels shown
    return WriteTestFile(path, bytes);
}

bool WriteBitmapFile(const std::string& path) {
    const std::uint32_t rowBytes = kSide * 3;  // 48: already a multiple of 4
    const std::uint32_t pixelOffset = 14 + 40;
    std::string bytes = "BM";
    AppendLittleEndian(bytes, pixelOffset + rowBytes * kSide, 4);
    AppendLittleEndian(bytes, 0, 4);
    AppendLittleEndian(bytes, pixelOffset, 4);
    AppendInfoHeader(bytes, kSide, kSide, 24);
    for (int row = 0; row < kSide; ++row) {
        for (int column = 0; column < kSide; ++column) {
            bytes.append({'\x30', '\xA0', '\x50'});
        }
    }
    return WriteTestFile(path, bytes);
}

HWND CreateTestButton(HWND parent, const char* text, int width, int height) {
    return CreateRRButton(parent, 1001, text, 10, 10, width, height, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, FALSE);
}

bool RegionIs(HRGN region, int left, int top, int right, int bottom, int corner) {
    HRGN expected = CreateRoundRectRgn(left, top, right, bottom, corner, corner);
    const bool equal = region && expected && EqualRgn(region, expected);
    DeleteObject(expected);
    return equal;
}

namespace {

constexpr char kSpyProperty[] = "VorlaneTestWindowSpy";
constexpr unsigned char kTrapFill = 0xA5;
constexpr int kTrapBlocks = 8;

}  // namespace

WindowSpy::WindowSpy(HWND window) : window_(window) {
    SetPropA(window_, kSpyProperty, this);
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowSpy::Proc)));
}

WindowSpy::~WindowSpy() {
    Detach();
}

void WindowSpy::On(UINT message, Action action) {
    if (action) {
        actions_[message] = std::move(action);
    } else {
        actions_.erase(message);
    }
}

std::vector<ReceivedMessage> WindowSpy::Received(UINT message) const {
    std::vector<ReceivedMessage> found;
    for (const ReceivedMessage& received : messages_) {
        if (received.message == message) {
            found.push_back(received);
        }
    }
    return found;
}

void WindowSpy::Detach() {
    if (window_ && original_) {
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        RemovePropA(window_, kSpyProperty);
    }
    window_ = nullptr;
}

LRESULT CALLBACK WindowSpy::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* spy = static_cast<WindowSpy*>(GetPropA(window, kSpyProperty));
    if (!spy) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    const WNDPROC original = spy->original_;
    spy->messages_.push_back(ReceivedMessage{message, wParam, lParam, {}});
    const auto action = spy->actions_.find(message);
    if (action != spy->actions_.end()) {
        const WindowSpy::Action act = action->second;  // the action may replace itself
        act(wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        spy->Detach();
    }
    return CallWindowProcA(original, window, message, wParam, lParam);
}

FreedRecordTrap::~FreedRecordTrap() {
    for (void* block : blocks_) {
        HeapFree(GetProcessHeap(), 0, block);
    }
}

void FreedRecordTrap::Spring(const void* freedRecord) {
    for (int i = 0; i < kTrapBlocks && !holdsFreedRecord_; ++i) {
        void* block = HeapAlloc(GetProcessHeap(), 0, sizeof(RRButtonRecord));
        if (!block) {
            break;
        }
        std::memset(block, kTrapFill, sizeof(RRButtonRecord));
        blocks_.push_back(block);
        holdsFreedRecord_ = block == freedRecord;
    }
}

bool FreedRecordTrap::Untouched() const {
    for (const void* block : blocks_) {
        const auto* bytes = static_cast<const unsigned char*>(block);
        for (size_t i = 0; i < sizeof(RRButtonRecord); ++i) {
            if (bytes[i] != kTrapFill) {
                return false;
            }
        }
    }
    return true;
}
