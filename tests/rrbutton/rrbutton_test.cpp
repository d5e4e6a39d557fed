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
        window = CreateWindowExA(0, "VorlaneTestParent", "", WS_POPUP | WS_VISIBLE, 40, 40, 320, 200, nullptr,
                                 nullptr, program, nullptr);
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
    std::string bytes = std::string(reinterpret_cast<const char*>(&file), 14) +
                        std::string(reinterpret_cast<const char*>(&info), 40);
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

    UpdateWindow(button);
    DestroyWindow(button);
    EXPECT_EQ(rrb::gdi::LiveGdiObjects(), before) << "the button left drawing objects behind";
}

TEST(Button, CreatedInDialogUnits)
{
    Parent parent;
    struct alignas(4) { DLGTEMPLATE header{WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, 200, 100}; WORD none[3]{}; } empty;
    const HWND dialog = CreateDialogIndirectParamA(nullptr, &empty.header, parent.window, nullptr, 0);
    RECT units{10, 20, 40, 12}, placed{};
    MapDialogRect(dialog, &units);  // x, y and then width, height: each pair from (0, 0)
    GetWindowRect(CreateRRButton(dialog, 7, "", 10, 20, 40, 12, ButtonStyle, 0, TRUE), &placed);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(std::tuple(placed.left, placed.top), std::tuple(units.left, units.top));
    EXPECT_EQ(std::tuple(placed.right - placed.left, placed.bottom - placed.top), std::tuple(units.right, units.bottom));
    GetWindowRect(CreateRRButton(parent.window, 8, "", 10, 20, 40, 12, ButtonStyle, 0, TRUE), &placed);
    EXPECT_EQ(std::tuple(placed.right - placed.left, placed.bottom - placed.top), std::tuple(0, 0))
        << "dialog units without a dialog";
}

TEST(Button, PointerAndKeys)
{
    Parent parent;
    const HWND button = MakeButton(parent), other = MakeButton(parent, "Other", 100);
    RECT rect{};
    GetWindowRect(button, &rect);
    const POINT centre{rect.left + 37, rect.top + 11}, corner{rect.left, rect.top}, away{rect.left + 40, rect.top + 80};
    // Each letter one input: c, k, a the pointer to the centre, a cut-off corner, away (each with a
    // move message), A away without one (it left the window); d, u, D left button down, up, double
    // click; s, S space down, a key up; r Return; f the focus taken elsewhere; t, w the hover timer
    // ticking once, three times.
    const struct { const char* inputs; long clicks; int drawState; bool captured, timer; } rows[] = {
        {"cdu", 1, 1, false, true}, {"cdau", 0, 0, false, true}, {"cdacu", 1, 1, false, true},
        {"kdu", 0, 0, false, false}, {"cduDu", 2, 1, false, true}, {"sS", 1, 0, false, false},
        {"r", 1, 0, false, false}, {"cdfu", 0, 0, false, true}, {"cAt", 0, 0, false, false},
        {"cw", 0, 1, false, true}, {"scdu", 1, 1, false, false}, {"cd", 0, 2, true, true}, {"kd", 0, 0, false, false},
    };
    const struct { char letter; const POINT* place; UINT message; WPARAM wParam; } inputs[] = {
        {'c', &centre, WM_MOUSEMOVE, 0}, {'k', &corner, WM_MOUSEMOVE, 0}, {'a', &away, WM_MOUSEMOVE, 0}, {'A', &away, 0, 0},
        {'d', nullptr, WM_LBUTTONDOWN, MK_LBUTTON}, {'u', nullptr, WM_LBUTTONUP, 0}, {'D', nullptr, WM_LBUTTONDBLCLK, MK_LBUTTON},
        {'s', nullptr, WM_KEYDOWN, VK_SPACE}, {'S', nullptr, WM_KEYUP, 'A'}, {'r', nullptr, WM_KEYDOWN, VK_RETURN}};
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
            if (*input == 't' || *input == 'w') {
                EXPECT_TRUE(PumpTimerTicks(button, *input == 't' ? 1 : 3)) << row.inputs << ": the hover timer ticks";
            }
        }
        EXPECT_EQ(parent.Clicks(), row.clicks) << row.inputs;
        EXPECT_EQ(RecordOf(button)->drawState, row.drawState) << row.inputs;
        EXPECT_EQ(GetCapture() == button, row.captured) << row.inputs;
        const bool timer = KillTimer(button, ButtonId) != FALSE;
        EXPECT_EQ(timer, row.timer) << row.inputs << ": the hover timer runs";
        ReleaseCapture();
        ASSERT_TRUE(MovePointer(away));
        SendMessageA(button, WM_MOUSEMOVE, 0, 0);
        if (timer) {  // the button stops its timer itself at the next tick
            SetTimer(button, ButtonId, 10, nullptr);
            EXPECT_TRUE(PumpTimerTicks(button, 1));
        }
    }
}

// What reaches the screen in each state: the state's picture, the caption in
// the state's colour and place, the frame's left edge, the face colour and
// the corners cut off in the system's face colour; and what the parent hears
// of each look. The paints leave no drawing object behind.
TEST(Button, ShownOnScreen)
{
    TempFolder folder;
    Parent parent;
    const long before = rrb::gdi::LiveGdiObjects();
    const HWND button = MakeButton(parent, "MMMM");
    const COLORREF face = COLORREF(Get(button, RRBM_GETFACECOLOR)), shadow = GetSysColor(COLOR_BTNSHADOW);
    const struct { UINT load; COLORREF picture; UINT setColor; COLORREF caption; } slots[] = {
        {RRBM_LOADIMAGE, RGB(200, 0, 0), RRBM_SETTEXTCOLOR, RGB(0, 0, 150)},
        {RRBM_LOADHOTIMAGE, RGB(0, 200, 0), RRBM_SETHOTTEXTCOLOR, RGB(0, 150, 0)},
        {RRBM_LOADPRESSEDIMAGE, RGB(0, 0, 200), RRBM_SETPRESSEDTEXTCOLOR, RGB(150, 0, 0)},
        {RRBM_LOADDISABLEDIMAGE, RGB(200, 200, 0), 0, shadow},
    };
    for (const auto& slot : slots) {
        const std::string file = folder.Path(std::to_string(&slot - slots) + ".bmp");
        ASSERT_TRUE(WriteBytes(file, SolidBitmapFile(slot.picture)));
        SendMessageA(button, slot.load, IMAGE_BITMAP, LPARAM(file.c_str()));
        if (slot.setColor)
            SendMessageA(button, slot.setColor, slot.caption, 0);
    }
    SendMessageA(button, RRBM_SETIMAGEPOS, 4, 4);
    RECT rect{};
    GetWindowRect(button, &rect);
    ASSERT_TRUE(MovePointer({rect.left + 37, rect.top + 80}));
    UpdateWindow(button);
    EXPECT_NE(Get(button, RRBM_GETFACEBRUSH), 0) << "the first paint makes the face brush";
    const auto [captionLeft, captionTop] = Find(button, slots[0].caption, 14, 75);
    ASSERT_GT(captionLeft, 14) << "the caption shows";
    const struct { const char* state; std::function<void()> reach; int slot, shift; COLORREF edge; UINT heard; } states[] = {
        {"normal", [] {}, 0, 0, face, RRBN_FLAT},
        {"hot", [&] { EXPECT_TRUE(MovePointer({rect.left + 60, rect.top + 11}));
                      SendMessageA(button, WM_MOUSEMOVE, 0, 0); }, 1, 0, GetSysColor(COLOR_BTNHIGHLIGHT), RRBN_RAISED},
        {"pressed", [&] { SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, 0); }, 2, 1, shadow, RRBN_SUNKEN},
        {"disabled", [&] { SendMessageA(button, WM_LBUTTONUP, 0, 0); EXPECT_TRUE(MovePointer({rect.left, rect.top + 80}));
                           SendMessageA(button, WM_MOUSEMOVE, 0, 0); EnableWindow(button, FALSE); }, 3, 0, face, RRBN_FLAT},
    };
    for (const auto& state : states) {
        state.reach();
        const auto& slot = slots[state.slot];
        EXPECT_EQ(PixelOf(button, 7, 7), slot.picture) << state.state << ": the picture";
        EXPECT_EQ(Find(button, slot.caption, 14, 75), std::tuple(captionLeft + state.shift, captionTop + state.shift))
            << state.state << ": the caption";
        EXPECT_EQ(PixelOf(button, 0, 11), state.edge) << state.state << ": the frame";
        EXPECT_EQ(PixelOf(button, 70, 3), face) << state.state << ": the face";
        EXPECT_EQ(PixelOf(button, 0, 0), GetSysColor(COLOR_BTNFACE)) << state.state << ": a cut-off corner";
        EXPECT_EQ(parent.heard.back(), state.heard) << state.state;
    }
    DestroyWindow(button);
    EXPECT_EQ(rrb::gdi::LiveGdiObjects(), before) << "the button left drawing objects behind";
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

// Random messages of every kind the button handles, with valid pointers where
// a message carries one, while the parent changes or destroys the button from
// inside its notifications. After every step the drawing objects alive are
// exactly those the record owns, and a destroyed button has written nothing to
// its freed record. The suite runs fixed seeds; scripts/fuzz.sh runs new ones
// through VORLANE_FUZZ_SEED.
TEST(Button, RandomMessagesLeaveExactlyWhatTheButtonOwns)
{
    const char* given = std::getenv("VORLANE_FUZZ_SEED");
    for (std::uint64_t seed : given && *given ? std::vector<std::uint64_t>{std::strtoull(given, nullptr, 0)}
                                              : std::vector<std::uint64_t>{1, 2, 334295765275800})  // once faulted
    {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::uint64_t state = seed;
        const auto random = [&state](std::uint32_t bound) {  // splitmix64: the same sequence everywhere
            std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            return static_cast<std::uint32_t>((z ^ (z >> 31)) % bound);
        };
        Parent parent;
        const HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "ICON1", IMAGE_ICON, 0, 0, 0));
        const long base = rrb::gdi::LiveGdiObjects();
        HWND button = nullptr;
        std::vector<unsigned char*> trap;  // heap blocks that may be the freed record, filled with 0xA5
        parent.onHeard = [&] {
            // Click handlers that destroy their button are common (a dialog's close button).
            const std::uint32_t roll = random(parent.heard.back() == WM_COMMAND ? 4 : 60);
            if (roll == 0 && RecordOf(button)) {
                void* record = RecordOf(button);
                DestroyWindow(button);
                while (trap.size() < 8 && (trap.empty() || trap.back() != record))
                    trap.push_back(static_cast<unsigned char*>(std::memset(
                        HeapAlloc(GetProcessHeap(), 0, sizeof(RRButtonRecord)), 0xA5, sizeof(RRButtonRecord))));
            } else if (roll < 4) {
                SendMessageA(button, roll == 1 ? RRBM_SETFACECOLOR : RRBM_REDRAW, random(0xFFFFFFFF), 1);
            }
        };
        const UINT kinds[] = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_KEYDOWN, WM_KEYUP,
                              WM_SETFOCUS, WM_KILLFOCUS, WM_TIMER, WM_SIZE, WM_ENABLE, WM_SETFONT, WM_GETDLGCODE,
                              WM_COMMAND, WM_NOTIFY, WM_PAINT, BM_SETIMAGE, WM_SYSCOLORCHANGE};
        const char* names[] = {"ICON2", "ICON3", "no.such.file", "", nullptr, "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN"};
        for (int step = 0; step < (given && *given ? 20000 : 4000); ++step) {
            if (!IsWindow(button)) {
                for (unsigned char* block : trap) {
                    EXPECT_EQ(std::count(block, block + sizeof(RRButtonRecord), 0xA5), long(sizeof(RRButtonRecord)))
                        << "a destroyed button wrote to its freed record, step " << step;
                    HeapFree(GetProcessHeap(), 0, block);
                }
                trap.clear();
                ASSERT_EQ(rrb::gdi::LiveGdiObjects(), base) << "a destroyed button left objects behind, step " << step;
                button = MakeRRButtonURL(parent.window, ButtonId, "Link", 10, 10, 90, 23, ButtonStyle, 0, "ICON2",
                                         "ICON3", "ICON1", FALSE);
                SendMessageA(button, RRBM_SETFIXEDLOOK, random(3), 0);
            }
            const UINT message = random(3) ? kinds[random(std::size(kinds))] : WM_USER + 1 + random(147);
            WPARAM wParam = random(2) ? random(300) : random(0xFFFFFFFF);
            LPARAM lParam = LPARAM(random(0xFFFFFFFF));
            char buffer[64];
            MSG queued{button, random(2) ? UINT(WM_KEYDOWN) : UINT(WM_CHAR), VK_RETURN, 0, 0, {}};
            switch (message) {  // pointers and handles the button uses must be real
            case RRBM_LOADIMAGE: case RRBM_LOADHOTIMAGE: case RRBM_LOADPRESSEDIMAGE: case RRBM_LOADDISABLEDIMAGE:
                lParam = LPARAM(names[random(std::size(names))]);
                break;
            case RRBM_GETIMAGENAME: wParam = WPARAM(buffer); break;
            case RRBM_SETCURSOR: wParam = WPARAM(IDC_ARROW); break;
            case WM_SETFONT: wParam = WPARAM(GetStockObject(ANSI_VAR_FONT)); break;
            case WM_NOTIFY: lParam = LPARAM(buffer); break;
            case WM_GETDLGCODE: lParam = LPARAM(&queued); break;
            case WM_KEYDOWN: case WM_KEYUP: wParam = random(2) ? VK_SPACE : VK_RETURN; break;
            case WM_COMMAND: case WM_SETFOCUS: case WM_KILLFOCUS: lParam = 0; break;
            }
            if (message == BM_SETIMAGE) {  // an image the button loaded itself comes back to the caller
                const RRButtonRecord before = *RecordOf(button);
                const auto previous = HANDLE(SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, random(2) ? LPARAM(icon) : 0));
                if (previous && !before.imageShared)
                    rrb::gdi::ReleaseImage(previous, UINT(before.imageKind));
                continue;
            }
            switch (random(8)) {  // and now and then a change around the button
            case 0: SetCursorPos(60 + random(120), 60 + random(40)); break;
            case 1: SetWindowPos(button, nullptr, 0, 0, random(120), random(40), SWP_NOMOVE | SWP_NOZORDER); break;
            case 2: SetFocus(random(2) ? button : parent.window); break;
            case 3: EnableWindow(button, random(4) != 0); break;
            }
            if (message == WM_PAINT)
                RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            else
                SendMessageA(button, message, wParam, lParam);
            const RRButtonRecord* r = RecordOf(button);
            const long owned = r ? !!r->hFaceBrush + !!r->palette + !!r->hLinkFont + !!r->hRegion + !!r->hHotImage +
                                       !!r->hPressedImage + !!r->hDisabledImage + (!r->imageShared && r->hImage)
                                 : 0;
            ASSERT_EQ(rrb::gdi::LiveGdiObjects(), base + owned) << "step " << step << ", message " << message;
        }
        DestroyWindow(button);
        EXPECT_EQ(rrb::gdi::LiveGdiObjects(), base);
        for (unsigned char* block : trap)
            HeapFree(GetProcessHeap(), 0, block);
        EXPECT_TRUE(DestroyIcon(icon)) << "the caller's icon was destroyed";
    }
}
