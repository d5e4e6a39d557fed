// The colour scheme of live round-rect buttons: when painting rebuilds it,
// how face colours follow a change of the system colours, and the palette.
//
// The ButtonPalette tests run twice: on the ordinary 24-bit display, and by
// palette_stage.sh on an 8-bit palette display with VORLANE_PALETTE_DISPLAY=1
// in the environment, which selects that display's expectations.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>

#include "rrbutton/button_model.h"
#include "rrbutton/gdi_objects.h"
#include "rrbutton/rrbutton.h"
#include "rrbutton/rrbutton_record.h"
#include "tests/rrbutton/button_picture.h"
#include "tests/rrbutton/button_test_support.h"

using rrb::gdi::LiveGdiObjects;

namespace {

constexpr COLORREF kPaletteMarker = 0x02000000;
constexpr COLORREF kUnset = 0x00123456;

bool OnPaletteDisplay() {
    const char* flag = std::getenv("VORLANE_PALETTE_DISPLAY");
    return flag && std::strcmp(flag, "1") == 0;
}

COLORREF Plain(COLORREF color) {
    return color & 0x00FFFFFF;
}

// Sets the system face colour for one test and puts the old one back.
class SystemFaceColour {
public:
    SystemFaceColour() : original_(GetSysColor(COLOR_BTNFACE)) {}
    ~SystemFaceColour() { Set(original_); }
    SystemFaceColour(const SystemFaceColour&) = delete;
    SystemFaceColour& operator=(const SystemFaceColour&) = delete;

    static void Set(COLORREF color) {
        const INT element = COLOR_BTNFACE;
        SetSysColors(1, &element, &color);
        ASSERT_EQ(GetSysColor(COLOR_BTNFACE), color);
    }

private:
    COLORREF original_;
};

class ButtonColors : public ::testing::Test {
protected:
    HWND NewButton(int id) {
        HWND button = CreateRRButton(parent_.Handle(), id, "", 10, 10 + 30 * (id % 5), 75, 23,
                                     WS_CHILD | WS_VISIBLE, 0, FALSE);
        EXPECT_NE(button, nullptr);
        return button;
    }
    static RRButtonRecord& Record(HWND button) { return *RecordOf(button); }
    static COLORREF Face(HWND button) { return static_cast<COLORREF>(SendMessageA(button, RRBM_GETFACECOLOR, 0, 0)); }

    SystemFaceColour systemFace_;  // outlives the buttons
    TestParent parent_;
};

TEST_F(ButtonColors, PaintRebuildsOnlyWhenTheSystemFaceColourChanged) {
    HWND button = NewButton(1001);
    EXPECT_EQ(Record(button).paletteFaceKey, rrb::kNoFaceKey);
    UpdateWindow(button);
    const COLORREF systemFace = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(Record(button).paletteFaceKey, systemFace);
    EXPECT_NE(SendMessageA(button, RRBM_GETFACEBRUSH, 0, 0), 0);
    EXPECT_EQ(Plain(Record(button).paletteEntries[1]), rrb::Darker(systemFace));
    EXPECT_EQ(Plain(Record(button).paletteEntries[2]), GetSysColor(COLOR_INFOBK));
    EXPECT_EQ(Plain(Record(button).paletteEntries[3]), GetSysColor(COLOR_SCROLLBAR));

    // A rebuild would write the entry again.
    Record(button).paletteEntries[2] = kUnset;
    SendMessageA(button, RRBM_REDRAW, 0, 0);
    EXPECT_EQ(Record(button).paletteEntries[2], kUnset);

    Record(button).paletteFaceKey = rrb::Lighter(systemFace);  // as if the system colour had changed
    SendMessageA(button, RRBM_REDRAW, 0, 0);
    EXPECT_EQ(Plain(Record(button).paletteEntries[2]), GetSysColor(COLOR_INFOBK));
    DestroyWindow(button);
}

TEST_F(ButtonColors, FaceColoursFollowASystemColourChangeUnlessChosen) {
    const COLORREF before = RGB(200, 180, 160);
    const COLORREF after = RGB(150, 170, 190);
    const COLORREF chosen = RGB(30, 60, 90);
    SystemFaceColour::Set(before);
    HWND lighter = NewButton(1001);  // created lighter than the system face
    HWND same = NewButton(1002);
    HWND own = NewButton(1003);
    SendMessageA(same, RRBM_SETFACECOLOR, before, 0);
    SendMessageA(own, RRBM_SETFACECOLOR, chosen, 0);
    UpdateWindow(parent_.Handle());
    EXPECT_EQ(Plain(Face(lighter)), rrb::Lighter(before));
    EXPECT_EQ(Plain(Face(same)), before);
    const long atStart = LiveGdiObjects();

    SystemFaceColour::Set(after);
    for (HWND button : {lighter, same, own}) {
        SendMessageA(button, RRBM_REDRAW, 0, 0);
    }
    EXPECT_EQ(Plain(Face(lighter)), rrb::Lighter(after));
    EXPECT_EQ(Plain(Face(same)), after);
    EXPECT_EQ(Plain(Face(own)), chosen);
    EXPECT_EQ(Plain(Record(lighter).paletteEntries[1]), rrb::Darker(after));
    EXPECT_EQ(LiveGdiObjects(), atStart);
    if (!OnPaletteDisplay()) {  // a palette display shows the nearest of its colours
        EXPECT_EQ(ScreenPicture(lighter)->Pixel(37, 11), rrb::Lighter(after));
        EXPECT_EQ(ScreenPicture(same)->Pixel(37, 11), after);
    }
    for (HWND button : {lighter, same, own}) {
        DestroyWindow(button);
    }
}

TEST_F(ButtonColors, ButtonPaletteOnlyOnPaletteDisplays) {
    HWND button = NewButton(1001);
    HDC dc = GetDC(button);
    const bool paletteDisplay = rrb::IsPaletteDisplay(GetDeviceCaps(dc, RASTERCAPS), GetDeviceCaps(dc, NUMCOLORS),
                                                      GetDeviceCaps(dc, SIZEPALETTE));
    ReleaseDC(button, dc);
    ASSERT_EQ(paletteDisplay, OnPaletteDisplay()) << "the display is not the one this run expects";
    const COLORREF face = Face(button);
    UpdateWindow(button);
    const RRButtonRecord& record = Record(button);

    if (!OnPaletteDisplay()) {
        EXPECT_EQ(record.palette, nullptr);
        EXPECT_EQ(Face(button), face);
        for (const COLORREF entry : record.paletteEntries) {
            EXPECT_EQ(entry & 0xFF000000, 0u);
        }
        DestroyWindow(button);
        return;
    }
    ASSERT_NE(record.palette, nullptr);
    WORD entryCount = 0;
    ASSERT_EQ(GetObjectA(record.palette, sizeof entryCount, &entryCount), static_cast<int>(sizeof entryCount));
    EXPECT_EQ(entryCount, 4);
    PALETTEENTRY entries[4] = {};
    ASSERT_EQ(GetPaletteEntries(record.palette, 0, 4, entries), 4u);
    for (int index = 0; index < 4; ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(RGB(entries[index].peRed, entries[index].peGreen, entries[index].peBlue),
                  Plain(record.paletteEntries[index]));
        EXPECT_EQ(entries[index].peFlags, 0);
        EXPECT_EQ(record.paletteEntries[index] & 0xFF000000, kPaletteMarker);
    }
    EXPECT_EQ(Face(button), face | kPaletteMarker);
    EXPECT_EQ(Plain(record.paletteEntries[1]), rrb::Darker(GetSysColor(COLOR_BTNFACE)));
    DestroyWindow(button);
}

TEST_F(ButtonColors, ButtonPaletteFollowsTheSystemColours) {
    const COLORREF before = RGB(200, 180, 160);
    const COLORREF after = RGB(150, 170, 190);
    SystemFaceColour::Set(before);
    HWND button = NewButton(1001);
    UpdateWindow(button);
    const long atStart = LiveGdiObjects();
    const COLORREF marker = OnPaletteDisplay() ? kPaletteMarker : 0;
    EXPECT_EQ(Face(button), rrb::Lighter(before) | marker);

    SystemFaceColour::Set(after);
    SendMessageA(button, RRBM_REDRAW, 0, 0);
    const RRButtonRecord& record = Record(button);
    EXPECT_EQ(Face(button), rrb::Lighter(after) | marker);
    EXPECT_EQ(record.paletteEntries[1], rrb::Darker(after) | marker);
    EXPECT_EQ(record.palette != nullptr, OnPaletteDisplay());
    if (record.palette) {
        PALETTEENTRY face = {};
        ASSERT_EQ(GetPaletteEntries(record.palette, 0, 1, &face), 1u);
        EXPECT_EQ(RGB(face.peRed, face.peGreen, face.peBlue), rrb::Lighter(after));
    }
    EXPECT_EQ(LiveGdiObjects(), atStart);  // the old brush and palette went

    for (int rebuild = 0; rebuild < 100; ++rebuild) {
        SendMessageA(button, RRBM_SETFACECOLOR, RGB(rebuild, 90, 180), 0);
        SendMessageA(button, RRBM_REDRAW, 0, 0);
    }
    EXPECT_EQ(Face(button), RGB(99, 90, 180) | marker);
    EXPECT_EQ(LiveGdiObjects(), atStart);
    DestroyWindow(button);
}

// What a paint has selected into its device contexts cannot be deleted on
// Windows (DeleteObject fails and the object leaks); Wine deletes it later
// instead, once it is selected out. So these tests check with the program's
// count of drawing objects that the button keeps such objects alive while the
// paint holds them, and that they are gone once it has let go of them.

// Live drawing objects while the parent handles the frame notification of a
// repaint, before and after it has done `act` there.
struct CountsInPaint {
    long before = -1;
    long after = -1;
};

CountsInPaint RepaintActingInTheFrameNotification(HWND parent, HWND button, const std::function<void()>& act) {
    CountsInPaint counts;
    bool acted = false;
    ParentHandler handler(parent, [&](UINT message, WPARAM wParam, LPARAM) {
        if (message >= RRBN_RAISED && message <= RRBN_FLAT && wParam == reinterpret_cast<WPARAM>(button) && !acted) {
            acted = true;
            counts.before = LiveGdiObjects();
            act();
            counts.after = LiveGdiObjects();
        }
    });
    SendMessageA(button, RRBM_REDRAW, 0, 0);
    EXPECT_TRUE(acted) << "the parent heard no frame notification";
    return counts;
}

TEST_F(ButtonColors, AFaceColourSetDuringAPaintReplacesBrushAndPaletteOnceThePaintLetsGo) {
    constexpr COLORREF kFirst = RGB(10, 200, 30);
    constexpr COLORREF kSecond = RGB(30, 60, 220);
    HWND button = NewButton(1001);
    UpdateWindow(button);
    const long atStart = LiveGdiObjects();
    const HBRUSH oldBrush = Record(button).hFaceBrush;
    const HPALETTE oldPalette = Record(button).palette;
    ASSERT_NE(oldBrush, nullptr);
    ASSERT_EQ(oldPalette != nullptr, OnPaletteDisplay());
    HBRUSH betweenBrush = nullptr;
    HPALETTE betweenPalette = nullptr;

    const CountsInPaint counts = RepaintActingInTheFrameNotification(parent_.Handle(), button, [&] {
        SendMessageA(button, RRBM_SETFACECOLOR, kFirst, 1);
        betweenBrush = Record(button).hFaceBrush;
        betweenPalette = Record(button).palette;
        SendMessageA(button, RRBM_SETFACECOLOR, kSecond, 1);
    });
    const RRButtonRecord& record = Record(button);
    const int perRebuild = OnPaletteDisplay() ? 2 : 1;
    // The paint's brush and palette outlive both rebuilds; the ones made by
    // the first rebuild, which no device context holds, went at the second.
    EXPECT_EQ(counts.after, counts.before + perRebuild);
    EXPECT_EQ(GetObjectType(betweenBrush), 0u);
    EXPECT_EQ(LiveGdiObjects(), atStart);
    EXPECT_EQ(GetObjectType(oldBrush), 0u);
    EXPECT_EQ(GetObjectType(record.hFaceBrush), static_cast<DWORD>(OBJ_BRUSH));
    if (OnPaletteDisplay()) {
        EXPECT_EQ(GetObjectType(betweenPalette), 0u);
        EXPECT_EQ(GetObjectType(oldPalette), 0u);
        EXPECT_EQ(GetObjectType(record.palette), static_cast<DWORD>(OBJ_PAL));
    }
    EXPECT_EQ(Plain(Face(button)), kSecond);

    PumpMessages();  // the repaint asked for during the paint
    if (!OnPaletteDisplay()) {
        EXPECT_EQ(ScreenPicture(button)->Pixel(37, 11), kSecond);
    }
    DestroyWindow(button);
    EXPECT_EQ(LiveGdiObjects(), atStart - 1 - perRebuild);  // the region, brush and palette went with the button
}

TEST_F(ButtonColors, AButtonDestroyedDuringItsPaintLeavesWhatThePaintHoldsToThePaint) {
    const long atStart = LiveGdiObjects();
    // A link button has a font of its own besides its brush and palette.
    HWND button = MakeRRButtonURL(parent_.Handle(), 1001, "Link", 10, 10, 75, 23, WS_CHILD | WS_VISIBLE, 0, "", "",
                                  "", FALSE);
    ASSERT_NE(button, nullptr);
    UpdateWindow(button);
    const RRButtonRecord& record = Record(button);
    const HGDIOBJ held[] = {record.hFaceBrush, record.hLinkFont, record.palette};
    ASSERT_NE(held[0], nullptr);
    ASSERT_NE(held[1], nullptr);
    const void* freedRecord = &record;
    FreedRecordTrap trap;

    const CountsInPaint counts = RepaintActingInTheFrameNotification(parent_.Handle(), button, [&] {
        SendMessageA(button, RRBM_SETFACECOLOR, RGB(1, 2, 3), 0);  // a brush (and palette) no paint holds
        DestroyWindow(button);
        trap.Spring(freedRecord);
    });
    EXPECT_FALSE(IsWindow(button));
    // The region and what the rebuild made went at once; brush, font and
    // palette of the paint stayed until it ended.
    EXPECT_EQ(counts.after, counts.before - 1);
    EXPECT_EQ(LiveGdiObjects(), atStart);
    for (HGDIOBJ object : held) {
        if (object) {
            EXPECT_EQ(GetObjectType(object), 0u);
        }
    }
    ASSERT_TRUE(trap.Sprung());
    EXPECT_TRUE(trap.Untouched()) << "the paint wrote to the freed record of its button";
}

}  // namespace
