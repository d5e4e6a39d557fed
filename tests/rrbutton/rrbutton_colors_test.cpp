// The colour scheme of live round-rect buttons: when painting rebuilds it, how
// face colours follow a change of the system colours, the palette, and the
// drawing objects a paint holds while its parent changes or destroys the button.
//
// These tests run twice: on the ordinary 24-bit display, and by palette_stage.sh
// on an 8-bit palette display with VORLANE_PALETTE_DISPLAY=1 in the
// environment, which selects that display's expectations.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>

#include "rrbutton/button_model.h"
#include "rrbutton/gdi_objects.h"
#include "tests/rrbutton/button_test_support.h"

using rrb::gdi::LiveGdiObjects;

namespace {

constexpr COLORREF kPaletteMarker = 0x02000000;

bool OnPaletteDisplay() {
    const char* flag = std::getenv("VORLANE_PALETTE_DISPLAY");
    return flag && std::strcmp(flag, "1") == 0;
}

COLORREF Plain(COLORREF color) {
    return color & 0x00FFFFFF;
}

class ButtonColors : public ::testing::Test {
protected:
    HWND NewButton(int id) {
        HWND button = CreateTestButton(parent_.Handle(), "", id, 10 + 30 * (id % 5));
        EXPECT_NE(button, nullptr);
        return button;
    }
    static RRButtonRecord& Record(HWND button) { return *RecordOf(button); }
    static COLORREF Face(HWND button) { return static_cast<COLORREF>(SendMessageA(button, RRBM_GETFACECOLOR, 0, 0)); }

    SystemColors systemColors_;  // outlives the buttons
    TestParent parent_;
};

TEST_F(ButtonColors, TheFirstPaintRebuildsTheColoursAndAnotherOnlyAfterASystemChange) {
    HWND button = NewButton(1001);
    UpdateWindow(button);
    const COLORREF systemFace = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(Record(button).paletteFaceKey, systemFace);
    EXPECT_EQ(Plain(Record(button).paletteEntries[2]), GetSysColor(COLOR_INFOBK));
    EXPECT_EQ(Plain(Record(button).paletteEntries[3]), GetSysColor(COLOR_SCROLLBAR));

    constexpr COLORREF kUnset = 0x00123456;  // a rebuild would write the entry again
    Record(button).paletteEntries[2] = kUnset;
    SendMessageA(button, RRBM_REDRAW, 0, 0);
    EXPECT_EQ(Record(button).paletteEntries[2], kUnset);
    Record(button).paletteFaceKey = rrb::Lighter(systemFace);  // as if the system colour had changed
    SendMessageA(button, RRBM_REDRAW, 0, 0);
    EXPECT_EQ(Plain(Record(button).paletteEntries[2]), GetSysColor(COLOR_INFOBK));
}

TEST_F(ButtonColors, FaceColoursAndPaletteFollowASystemChangeUnlessChosen) {
    const COLORREF before = RGB(200, 180, 160);
    const COLORREF after = RGB(150, 170, 190);
    const COLORREF chosen = RGB(30, 60, 90);
    const COLORREF marker = OnPaletteDisplay() ? kPaletteMarker : 0;
    systemColors_.Set(COLOR_BTNFACE, before);
    HWND lighter = NewButton(1001);  // made lighter than the system face
    HWND same = NewButton(1002);
    HWND own = NewButton(1003);
    HDC dc = GetDC(lighter);
    ASSERT_EQ(rrb::IsPaletteDisplay(GetDeviceCaps(dc, RASTERCAPS), GetDeviceCaps(dc, NUMCOLORS),
                                    GetDeviceCaps(dc, SIZEPALETTE)),
              OnPaletteDisplay())
        << "the display is not the one this run expects";
    ReleaseDC(lighter, dc);
    SendMessageA(same, RRBM_SETFACECOLOR, before, 0);
    SendMessageA(own, RRBM_SETFACECOLOR, chosen, 0);
    UpdateWindow(parent_.Handle());
    EXPECT_EQ(Face(lighter), rrb::Lighter(before) | marker);
    EXPECT_EQ(Plain(Face(same)), before);
    const long atStart = LiveGdiObjects();

    systemColors_.Set(COLOR_BTNFACE, after);
    for (HWND button : {lighter, same, own}) {
        SendMessageA(button, RRBM_REDRAW, 0, 0);
    }
    EXPECT_EQ(Face(lighter), rrb::Lighter(after) | marker);
    EXPECT_EQ(Plain(Face(same)), after);
    EXPECT_EQ(Plain(Face(own)), chosen);
    const RRButtonRecord& record = Record(lighter);
    EXPECT_EQ(record.paletteEntries[1], rrb::Darker(after) | marker);
    EXPECT_EQ(LiveGdiObjects(), atStart);  // the old brushes and palettes went
    if (!OnPaletteDisplay()) {
        EXPECT_EQ(record.palette, nullptr);
        EXPECT_EQ(ScreenPicture(lighter)->Pixel(37, 11), rrb::Lighter(after));
        EXPECT_EQ(ScreenPicture(same)->Pixel(37, 11), after);
        return;  // a palette display shows the nearest of its colours
    }
    ASSERT_NE(record.palette, nullptr);
    WORD entryCount = 0;
    ASSERT_EQ(GetObjectA(record.palette, sizeof entryCount, &entryCount), static_cast<int>(sizeof entryCount));
    EXPECT_EQ(entryCount, 4);
    PALETTEENTRY entries[4] = {};
    ASSERT_EQ(GetPaletteEntries(record.palette, 0, 4, entries), 4u);
    for (int index = 0; index < 4; ++index) {
        EXPECT_EQ(RGB(entries[index].peRed, entries[index].peGreen, entries[index].peBlue),
                  Plain(record.paletteEntries[index])) << index;
        EXPECT_EQ(entries[index].peFlags, 0);
    }
    EXPECT_EQ(Plain(record.paletteEntries[0]), rrb::Lighter(after));
}

TEST_F(ButtonColors, ThousandPaintsAndHundredRebuildsLeakNothing) {
    HWND button = MakeRRButton(parent_.Handle(), 1001, "Caption", 10, 10, 75, 23, kButtonStyle, 0, "ICON2", "ICON3",
                               FALSE);
    SendMessageA(button, RRBM_SETDEFAULT, 1, 0);
    SetFocus(button);
    UpdateWindow(button);
    int notifications = 0;
    WindowSpy parentSpy(parent_.Handle(), [&](UINT message, WPARAM, LPARAM) {
        notifications += message >= RRBN_RAISED && message <= RRBN_FLAT;
    });
    const long atStart = LiveGdiObjects();
    for (int paint = 0; paint < 1000; ++paint) {
        Record(button).drawState = paint % 3;
        SendMessageA(button, RRBM_REDRAW, 0, 0);
    }
    EXPECT_EQ(notifications, 1000);
    EXPECT_EQ(LiveGdiObjects(), atStart);
    for (int rebuild = 0; rebuild < 100; ++rebuild) {
        SendMessageA(button, RRBM_SETFACECOLOR, RGB(rebuild, 100, 200), rebuild % 2);
    }
    EXPECT_EQ(LiveGdiObjects(), atStart);
}

// What a paint has selected into its device contexts cannot be deleted on
// Windows (DeleteObject fails and the object leaks); Wine deletes it later.
// So this test checks with the program's count of drawing objects that the
// button keeps such objects alive while the paint holds them, and that they
// are gone once it has let go of them.
TEST_F(ButtonColors, AFaceColourSetOrADestructionDuringAPaintLeavesWhatThePaintHoldsToThePaint) {
    const long atStart = LiveGdiObjects();
    // A link button has a font of its own besides its brush and palette.
    HWND button = MakeRRButtonURL(parent_.Handle(), 1001, "Link", 10, 10, 75, 23, WS_CHILD | WS_VISIBLE, 0, "", "",
                                  "", FALSE);
    UpdateWindow(button);
    const int perRebuild = OnPaletteDisplay() ? 2 : 1;  // a brush, and a palette
    const long withButton = LiveGdiObjects();
    ASSERT_EQ(withButton, atStart + 2 + perRebuild);  // its region and font besides
    // Live drawing objects while the parent handles the frame notification of
    // a repaint, before and after it has done `act` there.
    auto repaintActing = [&](const std::function<void()>& act) {
        long counts[2] = {-1, -1};
        WindowSpy parentSpy(parent_.Handle(), [&](UINT message, WPARAM, LPARAM) {
            if (message >= RRBN_RAISED && message <= RRBN_FLAT && counts[0] < 0) {
                counts[0] = LiveGdiObjects();
                act();
                counts[1] = LiveGdiObjects();
            }
        });
        SendMessageA(button, RRBM_REDRAW, 0, 0);
        EXPECT_GE(counts[0], 0) << "the parent heard no frame notification";
        return counts[1] - counts[0];
    };

    const HGDIOBJ first[] = {Record(button).hFaceBrush, Record(button).palette};
    HGDIOBJ between[2] = {};
    // The paint's brush and palette outlive both rebuilds; those of the first
    // rebuild, which no device context holds, went at the second.
    EXPECT_EQ(repaintActing([&] {
                  SendMessageA(button, RRBM_SETFACECOLOR, RGB(10, 200, 30), 1);
                  between[0] = Record(button).hFaceBrush;
                  between[1] = Record(button).palette;
                  SendMessageA(button, RRBM_SETFACECOLOR, RGB(30, 60, 220), 1);
              }),
              perRebuild);
    EXPECT_EQ(LiveGdiObjects(), withButton);
    for (int i = 0; i < perRebuild; ++i) {
        EXPECT_EQ(GetObjectType(first[i]) + GetObjectType(between[i]), 0u) << i;
    }
    EXPECT_EQ(Plain(Face(button)), RGB(30, 60, 220));
    PumpMessages();  // the repaint asked for during the paint
    if (!OnPaletteDisplay()) {
        EXPECT_EQ(ScreenPicture(button)->Pixel(37, 11), RGB(30, 60, 220));
    }

    // Destroyed during the paint: the region and what the rebuild made go at
    // once; the paint's brush, font and palette stay until it ends.
    const HGDIOBJ held[] = {Record(button).hFaceBrush, Record(button).hLinkFont, Record(button).palette};
    FreedRecordTrap trap;
    EXPECT_EQ(repaintActing([&] {
                  SendMessageA(button, RRBM_SETFACECOLOR, RGB(1, 2, 3), 0);
                  trap.DestroyButton(button);
              }),
              -1);
    EXPECT_EQ(LiveGdiObjects(), atStart);
    for (HGDIOBJ object : held) {
        EXPECT_EQ(object ? GetObjectType(object) : 0u, 0u);
    }
    EXPECT_TRUE(trap.NothingWritten()) << "the paint wrote to the freed record of its button";
}

}  // namespace
