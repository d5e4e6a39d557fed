// Live round-rect buttons: settings, images, creation in dialog units, the
// real pointer and keys, what reaches the screen in each state, what they
// leave behind, and random messages of every kind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "rrbutton/button_model.h"
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
        const HINSTANCE program = GetModuleHandleA(nullptr);
        WNDCLASSA parentClass{0, Proc, 0, 0, program, nullptr, nullptr, nullptr, nullptr, "VorlaneTestParent"};
        RegisterClassA(&parentClass);
        window = CreateWindowExA(0, "VorlaneTestParent", "", WS_POPUP | WS_VISIBLE, 40, 40, 320, 200, nullptr, nullptr,
                                 program, nullptr);
        current = this;
    }
    ~Parent() { DestroyWindow(window); }
    long Clicks() const { return std::count(heard.begin(), heard.end(), WM_COMMAND); }
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

HWND MakeButton(const Parent& parent, const char* text = "Caption", int x = 10)
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
    for (const DWORD start = GetTickCount(); ticks > 0;) {
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (GetTickCount() - start > 5000)
                return false;
            Sleep(1);
            continue;
        }
        ticks -= message.message == WM_TIMER && message.hwnd == button;
        DispatchMessageA(&message);
    }
    return true;
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

// Where a colour shows in the window: the left and top edge of its pixels in
// a part of the client area, (-1, -1) when it does not show.
std::tuple<int, int> Find(HWND window, COLORREF color, int fromX, int toX)
{
    const HDC dc = GetDC(window);
    std::tuple<int, int> found{-1, -1};
    for (int x = toX - 1; x >= fromX; --x)
        for (int y = 22; y >= 0; --y)
            if (GetPixel(dc, x, y) == color)
                found = {x, std::get<1>(found) < 0 ? y : std::min(y, std::get<1>(found))};
    ReleaseDC(window, dc);
    return found;
}

COLORREF PixelOf(HWND window, int x, int y)
{
    const HDC dc = GetDC(window);
    const COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return pixel;
}

}  // namespace

TEST(Button, ImagesAndWhatDestructionLeaves)
{
    Parent parent;
    const long before = rrb::gdi::LiveGdiObjects();
    const HWND button = MakeButton(parent);
    SendMessageA(button, RRBM_SETIMAGESIZE, 48, 40);
    SendMessageA(button, RRBM_LOADIMAGE, IMAGE_ICON, LPARAM("ICON2"));
    EXPECT_EQ(Get(button, RRBM_GETIMAGEWIDTH), 16) << "loading the normal image sets the drawing size";
    SendMessageA(button, RRBM_SETIMAGESIZE, 48, 40);
    SendMessageA(button, RRBM_LOADHOTIMAGE, IMAGE_ICON, LPARAM("ICON3"));
    EXPECT_EQ(Get(button, RRBM_GETIMAGEHEIGHT), 40) << "the hot image keeps the size";
    const std::string longName = std::string(45, 'N') + ".ico";  // a file name, and no such file
    SendMessageA(button, RRBM_LOADIMAGE, IMAGE_ICON, LPARAM(longName.c_str()));
    EXPECT_EQ(Get(button, RRBM_GETIMAGEWIDTH), 0);
    char name[48];
    std::memset(name, '#', sizeof name);
    SendMessageA(button, RRBM_GETIMAGENAME, WPARAM(name), 0);
    EXPECT_EQ(std::string(name, sizeof name), std::string(39, 'N') + std::string(9, '#'));

    // A caller's icon, drawn at the size set: wide and low.
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

TEST(Button, CreatedInDialogUnits)
{
    Parent parent;
    struct alignas(4) {
        DLGTEMPLATE header{WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, 200, 100};
        WORD none[3]{};
    } empty;
    const HWND dialog = CreateDialogIndirectParamA(nullptr, &empty.header, parent.window, nullptr, 0);
    RECT units{10, 20, 40, 12}, placed{};
    MapDialogRect(dialog, &units);  // x, y and then width, height: each pair from (0, 0)
    GetWindowRect(CreateRRButton(dialog, 7, "", 10, 20, 40, 12, ButtonStyle, 0, TRUE), &placed);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(std::tuple(placed.left, placed.top), std::tuple(units.left, units.top));
    EXPECT_EQ(std::tuple(placed.right - placed.left, placed.bottom - placed.top),
              std::tuple(units.right, units.bottom));
    GetWindowRect(CreateRRButton(parent.window, 8, "", 10, 20, 40, 12, ButtonStyle, 0, TRUE), &placed);
    EXPECT_EQ(std::tuple(placed.right - placed.left, placed.bottom - placed.top), std::tuple(0, 0))
        << "dialog units without a dialog";
}

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
    const struct {
        UINT load;
        COLORREF picture;
        UINT setColor;
        COLORREF caption;
        int shift;
        COLORREF edge;
        UINT heard;
    } looks[] = {
        {RRBM_LOADIMAGE, RGB(200, 0, 0), RRBM_SETTEXTCOLOR, RGB(0, 0, 150), 0, system, RRBN_FLAT},
        {RRBM_LOADHOTIMAGE, RGB(0, 200, 0), RRBM_SETHOTTEXTCOLOR, RGB(0, 150, 0), 0, shadow, RRBN_RAISED},
        {RRBM_LOADPRESSEDIMAGE, RGB(0, 0, 200), RRBM_SETPRESSEDTEXTCOLOR, RGB(150, 0, 0), 1, light, RRBN_SUNKEN},
        {RRBM_LOADDISABLEDIMAGE, RGB(200, 200, 0), 0, shadow, 0, system, RRBN_FLAT}};  // normal, hot, pressed, disabled
    for (const auto& look : looks) {
        const std::string file = folder.Path(std::to_string(&look - looks) + ".bmp");
        ASSERT_TRUE(WriteBytes(file, SolidBitmapFile(look.picture)));
        SendMessageA(button, look.load, IMAGE_BITMAP, LPARAM(file.c_str()));
        if (look.setColor)
            SendMessageA(button, look.setColor, look.caption, 0);
    }
    SendMessageA(button, RRBM_SETIMAGEPOS, 4, 4);
    RECT rect{};
    GetWindowRect(button, &rect);
    const POINT centre{rect.left + 37, rect.top + 11}, corner{rect.left, rect.top}, away{rect.left + 40, rect.top + 80};
    ASSERT_TRUE(MovePointer(away));
    UpdateWindow(button);
    EXPECT_NE(Get(button, RRBM_GETFACEBRUSH), 0) << "the first paint makes the face brush";
    const auto [captionLeft, captionTop] = Find(button, looks[0].caption, 14, 75);
    ASSERT_GT(captionLeft, 14) << "the caption shows";
    // Each letter one input: c, k, a the pointer to the centre, a cut-off corner, away (each with a
    // move message), A away without one (it left the window); d, u, D left button down, up, double
    // click; s, S space down, a key up; r Return; f the focus taken elsewhere; x the button disabled;
    // t, w the hover timer ticking once, three times.
    const struct {
        const char* inputs;
        long clicks;
        int drawState;
        bool captured, timer;
    } rows[] = {{"cdu", 1, 1, false, true},  {"cdau", 0, 0, false, true},  {"cdacu", 1, 1, false, true},
                {"kdu", 0, 0, false, false}, {"cduDu", 2, 1, false, true}, {"sS", 1, 0, false, false},
                {"r", 1, 0, false, false},   {"cdfu", 0, 0, false, true},  {"cAt", 0, 0, false, false},
                {"cw", 0, 1, false, true},   {"scdu", 1, 1, false, false}, {"cd", 0, 2, true, true},
                {"kd", 0, 0, false, false},  {"s", 0, 2, false, false},    {"x", 0, 0, false, false}};
    const struct {
        char letter;
        const POINT* place;
        UINT message;
        WPARAM wParam;
    } inputs[] = {{'c', &centre, WM_MOUSEMOVE, 0},
                  {'k', &corner, WM_MOUSEMOVE, 0},
                  {'a', &away, WM_MOUSEMOVE, 0},
                  {'A', &away, 0, 0},
                  {'d', nullptr, WM_LBUTTONDOWN, MK_LBUTTON},
                  {'u', nullptr, WM_LBUTTONUP, 0},
                  {'D', nullptr, WM_LBUTTONDBLCLK, MK_LBUTTON},
                  {'s', nullptr, WM_KEYDOWN, VK_SPACE},
                  {'S', nullptr, WM_KEYUP, 'A'},
                  {'r', nullptr, WM_KEYDOWN, VK_RETURN}};
    for (const auto& row : rows) {
        SetFocus(other);
        parent.heard.clear();
        for (const char* input = row.inputs; *input; ++input) {
            for (const auto& given : inputs) {
                if (given.letter == *input && given.place) {
                    ASSERT_TRUE(MovePointer(*given.place)) << row.inputs;
                }
                if (given.letter == *input && given.message)
                    SendMessageA(button, given.message, given.wParam, 0);
            }
            if (*input == 'f')
                SetFocus(other);
            if (*input == 'x')
                EnableWindow(button, FALSE);
            if (*input == 't' || *input == 'w') {
                EXPECT_TRUE(PumpTimerTicks(button, *input == 't' ? 1 : 3)) << row.inputs << ": the hover timer ticks";
            }
        }
        EXPECT_EQ(parent.Clicks(), row.clicks) << row.inputs;
        EXPECT_EQ(RecordOf(button)->drawState, row.drawState) << row.inputs;
        EXPECT_EQ(GetCapture() == button, row.captured) << row.inputs;
        const bool timer = KillTimer(button, ButtonId) != FALSE;
        EXPECT_EQ(timer, row.timer) << row.inputs << ": the hover timer runs";
        const auto& look = looks[row.drawState || IsWindowEnabled(button) ? row.drawState : 3];
        EXPECT_EQ(PixelOf(button, 7, 7), look.picture) << row.inputs << ": the picture";
        EXPECT_EQ(Find(button, look.caption, 14, 75), std::tuple(captionLeft + look.shift, captionTop + look.shift))
            << row.inputs << ": the caption";
        EXPECT_EQ(PixelOf(button, 74, 11), look.edge) << row.inputs << ": the frame";
        EXPECT_EQ(PixelOf(button, 70, 3), face) << row.inputs << ": the face";
        EXPECT_EQ(PixelOf(button, 0, 0), system) << row.inputs << ": a cut-off corner";
        const auto heard =
            std::find_if(parent.heard.rbegin(), parent.heard.rend(), [](UINT m) { return m != WM_COMMAND; });
        if (heard != parent.heard.rend()) {  // when the row repainted the button
            EXPECT_EQ(*heard, look.heard) << row.inputs << ": the parent hears of the look";
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

// A new system face colour reaches the face at the button's next paint.
TEST(Button, FaceFollowsTheSystem)
{
    Parent parent;
    const HWND button = MakeButton(parent);
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
    const struct {
        UINT destroyOn, recolourOn;
        std::vector<std::pair<UINT, WPARAM>> messages;
    } rows[] = {{WM_COMMAND, 0, {{WM_KEYDOWN, VK_SPACE}, {WM_KEYUP, VK_SPACE}}},
                {WM_COMMAND, 0, {{WM_KEYDOWN, VK_RETURN}}},
                {WM_COMMAND, 0, {{WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}}},
                {RRBN_SUNKEN, 0, {{WM_LBUTTONDOWN, MK_LBUTTON}}},
                {RRBN_FLAT, 0, {{RRBM_REDRAW, 0}}},
                {0, RRBN_FLAT, {{RRBM_REDRAW, 0}, {RRBM_REDRAW, 0}}},
                {0, RRBN_RAISED, {{RRBM_SETDEFAULT, 1}, {WM_PAINT, 0}}},
                {0, 0, {{RRBM_SETFACECOLOR, RGB(7, 7, 7)}}}};
    for (const auto& row : rows) {
        HWND button = MakeRRButtonURL(parent.window, ButtonId, "Link", 10, 10, 75, 23, ButtonStyle, 0, "ICON2", "ICON3",
                                      "ICON1", FALSE);
        SendMessageA(button, RRBM_SETFIXEDLOOK, 0, 0);
        RECT rect{};
        GetWindowRect(button, &rect);
        ASSERT_TRUE(MovePointer({rect.left + 37, rect.top + 11}));
        std::vector<unsigned char*> trap;  // heap blocks that may be the freed record, filled with 0xA5
        parent.onHeard = [&] {
            if (parent.heard.back() == row.recolourOn)
                SendMessageA(button, RRBM_SETFACECOLOR, RGB(9, 9, 9), 1);
            if (parent.heard.back() != row.destroyOn || !RecordOf(button))
                return;
            void* record = RecordOf(button);
            DestroyWindow(button);
            while (trap.size() < 8 && (trap.empty() || trap.back() != record))
                trap.push_back(static_cast<unsigned char*>(
                    std::memset(HeapAlloc(GetProcessHeap(), 0, sizeof(RRButtonRecord)), 0xA5, sizeof(RRButtonRecord))));
        };
        for (const auto& [message, wParam] : row.messages)
            SendMessageA(button, message, wParam, 1);
        parent.onHeard = nullptr;
        for (unsigned char* block : trap) {
            EXPECT_EQ(std::count(block, block + sizeof(RRButtonRecord), 0xA5), long(sizeof(RRButtonRecord)))
                << "a destroyed button wrote to its freed record: row " << &row - rows;
            HeapFree(GetProcessHeap(), 0, block);
        }
        EXPECT_EQ(IsWindow(button), !row.destroyOn) << "row " << &row - rows;
        DestroyWindow(button);
        EXPECT_EQ(rrb::gdi::LiveGdiObjects(), objects) << "row " << &row - rows;
    }
}
