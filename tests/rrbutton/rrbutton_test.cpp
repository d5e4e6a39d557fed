// Live round-rect buttons: images, the real pointer and keys and what each
// leaves on the screen, the system's colours, and a parent that changes or
// destroys a button from inside what the button sends it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "rrbutton/gdi_objects.h"
#include "rrbutton/rrbutton.h"
#include "rrbutton/rrbutton_record.h"
#include "tests/support/test_support.h"

namespace {

constexpr DWORD ButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr int ButtonId = 1001;

// A visible window that keeps what its buttons send it: clicks (WM_COMMAND)
// and frame notifications (RRBN_*), and may act on each from inside.
struct Parent {
    Parent()
    {
        // The program's instance: the buttons load their images from their parent's.
        WNDCLASSA parentClass{0, Proc, 0, 0, GetModuleHandleA(nullptr), 0, 0, 0, 0, "VorlaneTestParent"};
        RegisterClassA(&parentClass);
        window = CreateWindowExA(0, "VorlaneTestParent", "", WS_POPUP | WS_VISIBLE, 40, 40, 320, 200, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        current = this;
    }
    ~Parent() { DestroyWindow(window); }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (current && (message == WM_COMMAND || (message >= RRBN_RAISED && message <= RRBN_FLAT))) {
            current->heard.push_back(message);
            if (current->onHeard)
                current->onHeard();
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    static inline Parent* current = nullptr;  // one at a time
    HWND window;
    std::vector<UINT> heard;
    std::function<void()> onHeard;
};

HWND MakeButton(const Parent& parent, const char* text, int x = 10)
{
    return CreateRRButton(parent.window, ButtonId, text, x, 10, 75, 23, ButtonStyle, 0, FALSE);
}

LRESULT Get(HWND button, UINT getter)
{
    return SendMessageA(button, getter, 0, 0);
}

// Dispatches the thread's messages until the button's hover timer has ticked
// that many times; false after five seconds.
bool PumpTimerTicks(HWND button, int ticks)
{
    MSG message;
    for (const DWORD start = GetTickCount(); ticks > 0 && GetTickCount() - start < 5000;) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ticks -= message.message == WM_TIMER && message.hwnd == button;
            DispatchMessageA(&message);
        } else {
            Sleep(1);
        }
    }
    return ticks <= 0;
}

// A 24-bit bitmap file of 8 x 8 pixels in one colour.
std::string SolidBitmapFile(COLORREF color)
{
    const BITMAPFILEHEADER file{0x4D42, 54 + 192, 0, 0, 54};
    const BITMAPINFOHEADER info{40, 8, 8, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::string bytes =
        std::string(reinterpret_cast<const char*>(&file), 14) + std::string(reinterpret_cast<const char*>(&info), 40);
    for (int pixel = 0; pixel < 64; ++pixel)
        bytes += {char(GetBValue(color)), char(GetGValue(color)), char(GetRValue(color))};
    return bytes;
}

COLORREF PixelOf(HWND window, int x, int y)
{
    const HDC dc = GetDC(window);
    const COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return pixel;
}

// Where a colour shows in the window, right of x 14: the left and top edge of
// its pixels, (-1, -1) when it does not show.
std::tuple<int, int> Find(HWND window, COLORREF color)
{
    std::tuple<int, int> found{-1, -1};
    for (int x = 74; x >= 14; --x)
        for (int y = 22; y >= 0; --y)
            if (PixelOf(window, x, y) == color)
                found = {x, std::get<1>(found) < 0 ? y : std::min(y, std::get<1>(found))};
    return found;
}

}  // namespace

// The real pointer and keys, and what each leaves on the screen. After each row:
// the clicks, the look, the capture, the hover timer, and on screen the look's
// picture, the caption in the look's colour and place, the frame's right
// edge, the face, a cut-off corner and the look the parent last heard of.
TEST(Button, PointerKeysAndScreen)
{
    TempFolder folder;
    Parent parent;
    const long objects = rrb::gdi::LiveGdiObjects();
    const HWND button = MakeButton(parent, "MMMM"), other = MakeButton(parent, "Other", 100);
    const COLORREF face = COLORREF(Get(button, RRBM_GETFACECOLOR)), system = GetSysColor(COLOR_BTNFACE);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    // The looks normal, hot, pressed and disabled: the picture's load message and colour, the caption's
    // colour setter and colour, the caption's shift, the frame's right edge and the parent's notification.
    const std::tuple<UINT, COLORREF, UINT, COLORREF, int, COLORREF, UINT> looks[] = {
        {RRBM_LOADIMAGE, RGB(200, 0, 0), RRBM_SETTEXTCOLOR, RGB(0, 0, 150), 0, system, RRBN_FLAT},
        {RRBM_LOADHOTIMAGE, RGB(0, 200, 0), RRBM_SETHOTTEXTCOLOR, RGB(0, 150, 0), 0, shadow, RRBN_RAISED},
        {RRBM_LOADPRESSEDIMAGE, RGB(0, 0, 200), RRBM_SETPRESSEDTEXTCOLOR, RGB(150, 0, 0), 1, light, RRBN_SUNKEN},
        {RRBM_LOADDISABLEDIMAGE, RGB(200, 200, 0), 0, shadow, 0, system, RRBN_FLAT}};
    // A long name is loaded whole and kept cut; the hot picture keeps the size set, the normal one sets 16 x 16.
    const std::string longName = std::string(45, 'N') + ".ico";  // a file name, and no such file
    SendMessageA(button, RRBM_LOADIMAGE, IMAGE_ICON, LPARAM(longName.c_str()));
    char name[48];
    std::memset(name, '#', sizeof name);
    SendMessageA(button, RRBM_GETIMAGENAME, WPARAM(name), 0);
    EXPECT_EQ(std::string(name, sizeof name), std::string(39, 'N') + std::string(9, '#'));
    SendMessageA(button, RRBM_SETIMAGESIZE, 48, 40);
    SendMessageA(button, RRBM_LOADHOTIMAGE, IMAGE_ICON, LPARAM("ICON3"));
    EXPECT_EQ(Get(button, RRBM_GETIMAGEHEIGHT), 40) << "the hot picture keeps the size";
    for (const auto& [load, picture, setColor, caption, shift, edge, heard] : looks) {
        const std::string file = folder.Path(std::to_string(picture) + ".bmp");
        ASSERT_TRUE(WriteBytes(file, SolidBitmapFile(picture)));
        SendMessageA(button, load, IMAGE_BITMAP, LPARAM(file.c_str()));
        SendMessageA(button, setColor, caption, 0);
    }
    EXPECT_EQ(Get(button, RRBM_GETIMAGEWIDTH), 16) << "the normal picture's load sets the drawing size";
    SendMessageA(button, RRBM_SETIMAGEPOS, 4, 4);
    RECT rect{};
    GetWindowRect(button, &rect);
    const POINT centre{rect.left + 37, rect.top + 11}, corner{rect.left, rect.top}, away{rect.left + 40, rect.top + 80};
    ASSERT_TRUE(MovePointer(away));
    UpdateWindow(button);
    EXPECT_NE(Get(button, RRBM_GETFACEBRUSH), 0) << "the first paint makes the face brush";
    const auto [captionLeft, captionTop] = Find(button, std::get<3>(looks[0]));
    ASSERT_GT(captionLeft, 14) << "the caption shows";
    // Each letter one input: c, k, a the pointer to the centre, a cut-off corner, away (each with a
    // move message), A away without one (it left the window); d, u, D left button down, up, double
    // click; s, S space down, a key up; r Return; f the focus taken elsewhere; x the button disabled;
    // t, w the hover timer ticking once, three times. Then the clicks, the draw state, whether the
    // button holds the capture and whether its hover timer runs.
    const std::tuple<const char*, long, int, bool, bool> rows[] = {
        {"cdu", 1, 1, false, true},  {"cdau", 0, 0, false, true},  {"cdacu", 1, 1, false, true},
        {"kdu", 0, 0, false, false}, {"cduDu", 2, 1, false, true}, {"sS", 1, 0, false, false},
        {"r", 1, 0, false, false},   {"cdfu", 0, 0, false, true},  {"cAt", 0, 0, false, false},
        {"cw", 0, 1, false, true},   {"scdu", 1, 1, false, false}, {"cd", 0, 2, true, true},
        {"kd", 0, 0, false, false},  {"s", 0, 2, false, false},    {"x", 0, 0, false, false}};
    const std::tuple<char, const POINT*, UINT, WPARAM> inputs[] = {
        {'c', &centre, WM_MOUSEMOVE, 0},     {'k', &corner, WM_MOUSEMOVE, 0},
        {'a', &away, WM_MOUSEMOVE, 0},       {'A', &away, 0, 0},
        {'d', nullptr, WM_LBUTTONDOWN, 1},   {'u', nullptr, WM_LBUTTONUP, 0},
        {'D', nullptr, WM_LBUTTONDBLCLK, 1}, {'s', nullptr, WM_KEYDOWN, VK_SPACE},
        {'S', nullptr, WM_KEYUP, 'A'},       {'r', nullptr, WM_KEYDOWN, VK_RETURN}};
    for (const auto& [row, clicks, drawState, captured, timerRuns] : rows) {
        SetFocus(other);
        parent.heard.clear();
        for (const char* input = row; *input; ++input) {
            for (const auto& [letter, place, message, wParam] : inputs) {
                if (letter == *input && place) {
                    ASSERT_TRUE(MovePointer(*place)) << row;
                }
                if (letter == *input && message)
                    SendMessageA(button, message, wParam, 0);
            }
            if (*input == 'f')
                SetFocus(other);
            if (*input == 'x')
                EnableWindow(button, FALSE);
            if (*input == 't' || *input == 'w') {
                EXPECT_TRUE(PumpTimerTicks(button, *input == 't' ? 1 : 3)) << row << ": the hover timer ticks";
            }
        }
        EXPECT_EQ(std::count(parent.heard.begin(), parent.heard.end(), WM_COMMAND), clicks) << row;
        EXPECT_EQ(RecordOf(button)->drawState, drawState) << row;
        EXPECT_EQ(GetCapture() == button, captured) << row;
        const bool timer = KillTimer(button, ButtonId) != FALSE;
        EXPECT_EQ(timer, timerRuns) << row << ": the hover timer runs";
        const auto& [load, picture, setColor, caption, shift, edge, heard] =
            looks[drawState || IsWindowEnabled(button) ? drawState : 3];
        EXPECT_EQ(PixelOf(button, 7, 7), picture) << row << ": the picture";
        EXPECT_EQ(Find(button, caption), std::tuple(captionLeft + shift, captionTop + shift)) << row << ": the caption";
        EXPECT_EQ(PixelOf(button, 74, 11), edge) << row << ": the frame";
        EXPECT_EQ(PixelOf(button, 70, 3), face) << row << ": the face";
        EXPECT_EQ(PixelOf(button, 0, 0), system) << row << ": a cut-off corner";
        const auto isNotice = [](UINT message) { return message != WM_COMMAND; };
        const auto notice = std::find_if(parent.heard.rbegin(), parent.heard.rend(), isNotice);
        if (notice != parent.heard.rend()) {  // when the row repainted the button
            EXPECT_EQ(*notice, heard) << row << ": the parent hears of the look";
        }
        EnableWindow(button, TRUE);
        SendMessageA(button, WM_KEYUP, VK_SPACE, 0);
        ReleaseCapture();
        ASSERT_TRUE(MovePointer(away));
        SendMessageA(button, WM_MOUSEMOVE, 0, 0);
        if (timer) {  // the button stops its timer itself at the next tick
            SetTimer(button, ButtonId, 10, nullptr);
            EXPECT_TRUE(PumpTimerTicks(button, 1));
        }
    }
    DestroyWindow(button);
    DestroyWindow(other);
    EXPECT_EQ(rrb::gdi::LiveGdiObjects(), objects) << "the buttons left drawing objects behind";
}

// A caller's icon, drawn at the size set (wide and low), and left to the
// caller when the button is destroyed.
TEST(Button, CallersIcon)
{
    Parent parent;
    const long before = rrb::gdi::LiveGdiObjects();
    const HWND button = MakeButton(parent, "");
    const std::vector<DWORD> green(256, 0xFF00C800);
    const std::vector<BYTE> opaque(32, 0);
    ICONINFO parts{TRUE, 0, 0, CreateBitmap(16, 16, 1, 1, opaque.data()), CreateBitmap(16, 16, 1, 32, green.data())};
    const HICON icon = CreateIconIndirect(&parts);
    SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, LPARAM(icon));
    SendMessageA(button, RRBM_SETIMAGESIZE, 40, 8);
    UpdateWindow(button);
    EXPECT_EQ(PixelOf(button, 20, 10), RGB(0, 200, 0)) << "the icon";
    EXPECT_NE(PixelOf(button, 20, 18), RGB(0, 200, 0)) << "below the icon";
    DestroyWindow(button);
    EXPECT_EQ(rrb::gdi::LiveGdiObjects(), before) << "the button left drawing objects behind";
    EXPECT_TRUE(DestroyIcon(icon)) << "the caller's icon is the caller's";
    DeleteObject(parts.hbmMask);
    DeleteObject(parts.hbmColor);
}

// A new system face colour reaches the face at the button's next paint.
TEST(Button, FaceFollowsTheSystem)
{
    Parent parent;
    const HWND button = MakeButton(parent, "");
    UpdateWindow(button);
    const int element = COLOR_BTNFACE;
    const COLORREF before = GetSysColor(element), grey = RGB(200, 200, 200);
    SetSysColors(1, &element, &grey);
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(PixelOf(button, 70, 3), RGB(208, 208, 208));
    SetSysColors(1, &element, &before);
}

// A parent that acts on the button from inside what the button sends it: a
// click handler that destroys it (as a dialog's close button does), a handler
// of the frame notification that destroys it or gives it a new face colour
// while it paints. The button touches its freed record no more, and leaves no
// drawing object behind.
TEST(Button, ChangedOrDestroyedFromItsOwnMessages)
{
    Parent parent;
    const long objects = rrb::gdi::LiveGdiObjects();
    // When the parent destroys the button, when it recolours it, and the messages sent.
    const std::tuple<UINT, UINT, std::vector<std::pair<UINT, WPARAM>>> rows[] = {
        {WM_COMMAND, 0, {{WM_KEYDOWN, VK_SPACE}, {WM_KEYUP, VK_SPACE}}},
        {WM_COMMAND, 0, {{WM_KEYDOWN, VK_RETURN}}},
        {WM_COMMAND, 0, {{WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}}},
        {RRBN_SUNKEN, 0, {{WM_LBUTTONDOWN, MK_LBUTTON}}},
        {RRBN_FLAT, 0, {{RRBM_REDRAW, 0}}},
        {0, RRBN_FLAT, {{RRBM_REDRAW, 0}, {RRBM_REDRAW, 0}}},
        {0, RRBN_RAISED, {{RRBM_SETDEFAULT, 1}, {WM_PAINT, 0}}},
        {0, 0, {{RRBM_SETFACECOLOR, RGB(7, 7, 7)}}}};
    for (size_t row = 0; row < std::size(rows); ++row) {
        const auto& [destroyOn, recolourOn, messages] = rows[row];
        HWND button = MakeRRButtonURL(parent.window, ButtonId, "Link", 10, 10, 75, 23, ButtonStyle, 0, "ICON2", "ICON3",
                                      "ICON1", FALSE);
        SendMessageA(button, RRBM_SETFIXEDLOOK, 0, 0);
        RECT rect{};
        GetWindowRect(button, &rect);
        ASSERT_TRUE(MovePointer({rect.left + 37, rect.top + 11}));
        std::vector<unsigned char*> trap;  // heap blocks that may be the freed record, filled with 0xA5
        parent.onHeard = [&, destroyOn = destroyOn, recolourOn = recolourOn] {
            if (parent.heard.back() == recolourOn)
                SendMessageA(button, RRBM_SETFACECOLOR, RGB(9, 9, 9), 1);
            if (parent.heard.back() != destroyOn || !RecordOf(button))
                return;
            void* record = RecordOf(button);
            DestroyWindow(button);
            while (trap.size() < 8 && (trap.empty() || trap.back() != record))
                trap.push_back(static_cast<unsigned char*>(
                    std::memset(HeapAlloc(GetProcessHeap(), 0, sizeof(RRButtonRecord)), 0xA5, sizeof(RRButtonRecord))));
        };
        for (const auto& [message, wParam] : messages)
            SendMessageA(button, message, wParam, 1);
        parent.onHeard = nullptr;
        for (unsigned char* block : trap) {
            EXPECT_EQ(std::count(block, block + sizeof(RRButtonRecord), 0xA5), long(sizeof(RRButtonRecord)))
                << "a destroyed button wrote to its freed record: row " << row;
            HeapFree(GetProcessHeap(), 0, block);
        }
        EXPECT_EQ(IsWindow(button), !destroyOn) << "row " << row;
        DestroyWindow(button);
        EXPECT_EQ(rrb::gdi::LiveGdiObjects(), objects) << "row " << row;
    }
}
