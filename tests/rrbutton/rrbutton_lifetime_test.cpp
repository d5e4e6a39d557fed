// The end of a round-rect button: everything it made is released, what it
// was handed survives, and messages after its end touch nothing.
#include <gtest/gtest.h>

#include "rrbutton/gdi_objects.h"
#include "rrbutton/rrbutton.h"
#include "rrbutton/rrbutton_record.h"
#include "tests/rrbutton/button_test_support.h"
#include "tests/support/temp_folder.h"

using rrb::gdi::LiveGdiObjects;

namespace {

constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

TEST(ButtonLifetime, DestructionReleasesEverythingTheButtonMade) {
    TempFolder folder;
    const std::string bitmapPath = folder.PathOf("hot.bmp");
    ASSERT_TRUE(WriteBitmapFile(bitmapPath));
    TestParent parent;
    HFONT callersFont = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    ASSERT_NE(callersFont, nullptr);
    const long atStart = LiveGdiObjects();

    HWND plain = MakeRRButton(parent.Handle(), 1001, "About", 10, 10, 75, 23, kStyle, 0, "ICON2", "ICON3", FALSE);
    HWND link = MakeRRButtonURL(parent.Handle(), 1002, "Link", 10, 40, 75, 23, kStyle, 0, "ICON2", "ICON3",
                                "ICON3", FALSE);
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(link, nullptr);
    SendMessageA(plain, RRBM_LOADPRESSEDIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmapPath.c_str()));
    SendMessageA(plain, RRBM_LOADDISABLEDIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>("ICON3"));
    SendMessageA(plain, RRBM_SETFACECOLOR, RGB(200, 220, 240), 0);
    SendMessageA(plain, RRBM_SETCORNER, 9, 1);
    SendMessageA(plain, WM_SETFONT, reinterpret_cast<WPARAM>(callersFont), 1);
    SetWindowPos(link, nullptr, 0, 0, 90, 30, SWP_NOMOVE | SWP_NOZORDER);
    UpdateWindow(parent.Handle());
    PumpMessages();
    // Per button a region and a brush; the images; the link's font.
    EXPECT_GE(LiveGdiObjects() - atStart, 2 + 2 + 4 + 3 + 1);

    DestroyWindow(plain);
    DestroyWindow(link);
    EXPECT_EQ(LiveGdiObjects(), atStart);
    LOGFONTA font = {};
    EXPECT_EQ(GetObjectA(callersFont, sizeof font, &font), static_cast<int>(sizeof font));  // still the caller's
    DeleteObject(callersFont);
}

TEST(ButtonLifetime, ManyButtonsComeAndGoWithoutLeaks) {
    TestParent parent;
    const long atStart = LiveGdiObjects();
    for (int round = 0; round < 50; ++round) {
        HWND button = MakeRRButton(parent.Handle(), 1001, "About", 10, 10, 75, 23, kStyle, 0, "ICON2", "ICON3",
                                   FALSE);
        ASSERT_NE(button, nullptr);
        UpdateWindow(button);
        DestroyWindow(button);
    }
    EXPECT_EQ(LiveGdiObjects(), atStart);
}

// Subclasses a button to send it messages once its WM_DESTROY has run.
struct LateMessages {
    static WNDPROC buttonProc;
    static bool recordGone;
    static LRESULT cornerAnswer;
    static long liveBefore;
    static long liveAfter;

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCDESTROY) {
            recordGone = RecordOf(window) == nullptr;
            liveBefore = LiveGdiObjects();
            CallWindowProcA(buttonProc, window, RRBM_LOADIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>("ICON2"));
            CallWindowProcA(buttonProc, window, RRBM_SETCORNER, 3, 1);
            CallWindowProcA(buttonProc, window, WM_SIZE, 0, 0);
            CallWindowProcA(buttonProc, window, RRBM_SETFACECOLOR, RGB(1, 2, 3), 0);
            CallWindowProcA(buttonProc, window, WM_PAINT, 0, 0);
            cornerAnswer = CallWindowProcA(buttonProc, window, RRBM_GETCORNER, 0, 0);
            liveAfter = LiveGdiObjects();
        }
        return CallWindowProcA(buttonProc, window, message, wParam, lParam);
    }
};
WNDPROC LateMessages::buttonProc;
bool LateMessages::recordGone;
LRESULT LateMessages::cornerAnswer;
long LateMessages::liveBefore;
long LateMessages::liveAfter;

TEST(ButtonLifetime, MessagesAfterDestructionTouchNothing) {
    TestParent parent;
    HWND button = CreateTestButton(parent.Handle());
    ASSERT_NE(button, nullptr);
    LateMessages::cornerAnswer = -1;
    LateMessages::buttonProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LateMessages::Proc)));
    DestroyWindow(button);
    EXPECT_TRUE(LateMessages::recordGone);
    EXPECT_EQ(LateMessages::cornerAnswer, 0);
    EXPECT_EQ(LateMessages::liveAfter, LateMessages::liveBefore);
}

}  // namespace
