// Live round-rect buttons: settings, images, the creation functions, the real
// pointer and keys, painting and colours, what they leave behind, and random
// messages of every kind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "rrbutton/button_model.h"
#include "rrbutton/gdi_objects.h"
#include "rrbutton/rrbutton.h"
#include "rrbutton/rrbutton_drawing.h"
#include "rrbutton/rrbutton_record.h"
#include "tests/support/test_support.h"

namespace {

constexpr DWORD ButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

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
    return CreateRRButton(parent.window, 1001, text, x, 10, 75, 23, ButtonStyle, 0, FALSE);
}

LRESULT Get(HWND button, UINT getter)
{
    return SendMessageA(button, getter, 0, 0);
}

// A pixel of the picture the button's paint composes, here into a bitmap of
// our own that starts black, so pixels the paint never writes stay black.
COLORREF PaintedPixel(HWND button, int x, int y)
{
    const HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    const HBITMAP picture = CreateCompatibleBitmap(screen, 75, 23);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ kept = SelectObject(memory, picture);
    rrb::DrawButtonPicture(button, memory, 75, 23);
    const COLORREF pixel = GetPixel(memory, x, y);
    SelectObject(memory, kept);
    DeleteObject(picture);
    DeleteDC(memory);
    return pixel;
}

}  // namespace

TEST(Button, SettingsAsStoredAndAnswered)
{
    Parent parent;
    const HWND button = MakeButton(parent);
    EXPECT_EQ(Get(button, RRBM_GETFACEBRUSH), 0) << "no brush before the first paint";
    const struct { UINT setter; WPARAM value; UINT getter; LRESULT expected; } rows[] = {
        {0, 0, RRBM_GETCORNER, 5}, {0, 0, RRBM_GETIMAGEPOS, -4}, {0, 0, RRBM_GETTEXTFORMAT, 0x25},
        {0, 0, RRBM_GETCLICKABLE, 1}, {0, 0, RRBM_GETBKMODE, 1}, {0, 0, RRBM_GETIMAGEWIDTH, 16},
        {0, 0, RRBM_GETFACECOLOR, LRESULT(rrb::CreationFaceColor(GetSysColor(COLOR_BTNFACE)))},
        {0, 0, RRBM_GETTEXTBKCOLOR, Get(button, RRBM_GETFACECOLOR)},
        {RRBM_SETCORNER, WPARAM(-7), RRBM_GETCORNER, 0}, {RRBM_SETDEFAULT, 5, RRBM_GETDEFAULT, 1},
        {RRBM_SETFIXEDLOOK, 3, RRBM_GETFIXEDLOOK, 3}, {0, 0, RRBM_GETCLICKABLE, 0},
        {RRBM_SETCLICKABLE, 2, RRBM_GETCLICKABLE, 2}, {RRBM_SETFIXEDLOOK, 0, RRBM_GETCLICKABLE, 2},
        {RRBM_SETIMAGEPOS, 0, RRBM_GETIMAGEPOS, 0}, {RRBM_SETIMAGEPOS, WPARAM(-9), RRBM_GETIMAGEPOS, -9},
        {RRBM_SETTEXTFORMAT, 0x10025, RRBM_GETTEXTFORMAT, 0x10025}, {WM_USER + 3, 1, WM_USER + 3, 0},
        // Face colours as set, on a display without a palette:
        {RRBM_SETFACECOLOR, 0x01000005, RRBM_GETFACECOLOR, 0x01000005}, {RRBM_SETFACECOLOR, 0x02C0C0C0, RRBM_GETFACECOLOR, 0x02C0C0C0},
    };
    for (const auto& row : rows) {
        if (row.setter)
            SendMessageA(button, row.setter, row.value, 0);
        EXPECT_EQ(Get(button, row.getter), row.expected) << std::hex << row.setter << " " << row.getter;
    }
}

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

TEST(Button, CreationFunctions)
{
    Parent parent;
    struct alignas(4) { DLGTEMPLATE header{WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, 200, 100}; WORD none[3]{}; } empty;
    const HWND dialog = CreateDialogIndirectParamA(nullptr, &empty.header, parent.window, nullptr, 0);
    RECT units{10, 20, 40, 12}, placed{};
    MapDialogRect(dialog, &units);
    GetWindowRect(CreateRRButton(dialog, 7, "", 10, 20, 40, 12, ButtonStyle, 0, TRUE), &placed);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left * 1000 + placed.top, units.left * 1000 + units.top);
    EXPECT_EQ((placed.right - placed.left) * 1000 + placed.bottom - placed.top, units.right * 1000 + units.bottom);
    GetWindowRect(CreateRRButton(parent.window, 8, "", 10, 20, 40, 12, ButtonStyle, 0, TRUE), &placed);
    EXPECT_EQ(placed.right - placed.left, 0) << "dialog units without a dialog";

    const HWND made = MakeRRButton(parent.window, 9, "Text", 0, 40, 75, 23, ButtonStyle, 0, "ICON2", "", FALSE);
    EXPECT_EQ(Get(made, RRBM_GETIMAGEMARGINLEFT) * 100 + Get(made, RRBM_GETTEXTMARGINLEFT), 412);
    const HWND link = MakeRRButtonURL(parent.window, 10, "Link", 0, 70, 75, 23, ButtonStyle, 0, "", "ICON2", "", FALSE);
    EXPECT_EQ(Get(link, RRBM_GETFIXEDLOOK) * 10 + Get(link, RRBM_GETCLICKABLE), 11);
    EXPECT_EQ(Get(link, RRBM_GETTEXTCOLOR) * 100 + Get(link, RRBM_GETTEXTMARGINLEFT), RGB(0, 0, 255) * 100 + 20);
    EXPECT_EQ(Get(link, RRBM_GETPRESSEDTEXTCOLOR), RGB(255, 0, 0));
    EXPECT_EQ(Get(link, RRBM_GETFACECOLOR), LRESULT(GetSysColor(COLOR_BTNFACE)));
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
    // click; s, S space down, a key up; r Return; f the focus taken elsewhere; w a wait of 100 ms.
    const struct { const char* inputs; long clicks; bool hot; } rows[] = {
        {"cdu", 1, true}, {"cdau", 0, false}, {"cdacu", 1, true}, {"kdu", 0, false}, {"cduDu", 2, true},
        {"sS", 1, false}, {"r", 1, false}, {"cdfu", 0, false}, {"cAw", 0, false}, {"cw", 0, true}, {"scdu", 1, true},
    };
    const struct { char letter; const POINT* place; UINT message; WPARAM wParam; } inputs[] = {
        {'c', &centre, WM_MOUSEMOVE, 0}, {'k', &corner, WM_MOUSEMOVE, 0}, {'a', &away, WM_MOUSEMOVE, 0}, {'A', &away, 0, 0},
        {'d', nullptr, WM_LBUTTONDOWN, MK_LBUTTON}, {'u', nullptr, WM_LBUTTONUP, 0}, {'D', nullptr, WM_LBUTTONDBLCLK, MK_LBUTTON},
        {'s', nullptr, WM_KEYDOWN, VK_SPACE}, {'S', nullptr, WM_KEYUP, 'A'}, {'r', nullptr, WM_KEYDOWN, VK_RETURN}};
    for (const auto& row : rows) {
        parent.heard.clear();
        SetFocus(other);
        for (const char* input = row.inputs; *input; ++input) {
            for (const auto& given : inputs) {
                if (given.letter == *input && given.place)
                    SetCursorPos(given.place->x, given.place->y);
                if (given.letter == *input && given.message)
                    SendMessageA(button, given.message, given.wParam, 0);
            }
            if (*input == 'f')
                SetFocus(other);
            if (*input == 'w')
                PumpUntil([] { return false; }, 100);
        }
        EXPECT_EQ(parent.Clicks(), row.clicks) << row.inputs;
        EXPECT_EQ(RecordOf(button)->drawState == 1, row.hot) << row.inputs;
        ReleaseCapture();
        SetCursorPos(away.x, away.y);
        SendMessageA(button, WM_MOUSEMOVE, 0, 0);
    }
}

TEST(Button, Painting)
{
    Parent parent;
    const HWND button = MakeButton(parent);
    parent.heard.clear();
    UpdateWindow(button);
    EXPECT_NE(Get(button, RRBM_GETFACEBRUSH), 0) << "the first paint makes the face brush";
    EXPECT_EQ(parent.heard, std::vector<UINT>{RRBN_FLAT});
    const long before = rrb::gdi::LiveGdiObjects();
    const COLORREF systemFace = GetSysColor(COLOR_BTNFACE), face = rrb::CreationFaceColor(systemFace);
    EXPECT_EQ(COLORREF(Get(button, RRBM_GETFACECOLOR)), face);
    SendMessageA(button, RRBM_SETDEFAULT, 1, 0);
    parent.heard.clear();
    for (int paint = 0; paint < 20; ++paint)
        SendMessageA(button, RRBM_REDRAW, 0, 0);
    EXPECT_EQ(parent.heard, std::vector<UINT>(20, RRBN_RAISED));
    EXPECT_EQ(rrb::gdi::LiveGdiObjects(), before) << "paints leave drawing objects behind";
    EXPECT_EQ(PaintedPixel(button, 5, 11), face);  // the raised rings; a cut-off corner is never written
    EXPECT_EQ(PaintedPixel(button, 0, 11), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(PaintedPixel(button, 74, 11), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(PaintedPixel(button, 0, 0), 0u);
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
                button = MakeRRButtonURL(parent.window, 1001, "Link", 10, 10, 90, 23, ButtonStyle, 0, "ICON2", "ICON3",
                                         "ICON1", FALSE);
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
