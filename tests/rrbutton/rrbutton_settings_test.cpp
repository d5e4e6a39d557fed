// The setter and getter messages of a round-rect button and its region rules.
#include <gtest/gtest.h>

#include "rrbutton/rrbutton.h"
#include "rrbutton/rrbutton_record.h"
#include "tests/rrbutton/button_test_support.h"

namespace {

class ButtonSettings : public ::testing::Test {
protected:
    void SetUp() override {
        button_ = CreateTestButton(parent_.Handle());
        ASSERT_NE(button_, nullptr);
        UpdateWindow(button_);  // the first paint is behind us
    }
    void TearDown() override { DestroyWindow(button_); }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(button_, message, wParam, lParam);
    }
    RRButtonRecord& Record() { return *RecordOf(button_); }

    TestParent parent_;
    HWND button_ = nullptr;
};

struct FieldMessages {
    UINT setter;
    UINT getter;
    WPARAM value;
};

// The setters that store wParam as it is and answer with their getter.
const FieldMessages kFieldMessages[] = {
    {0x404, 0x468, 2},                       // bkMode
    {0x405, 0x469, RGB(1, 2, 3)},            // textBkColor
    {0x406, 0x46A, RGB(4, 5, 6)},            // textColor
    {0x407, 0x46B, RGB(7, 8, 9)},            // pressedTextColor
    {0x408, 0x46C, RGB(10, 11, 12)},         // hotTextColor
    {0x409, 0x46D, 1},                       // textShadow
    {0x40D, 0x470, 7},                       // clickable, stored unchanged
    {0x414, 0x478, DT_LEFT | DT_SINGLELINE}, // textFormat
    {0x417, 0x47B, 3},                       // textMarginLeft
    {0x418, 0x47C, 4},                       // textMarginTop
    {0x419, 0x47D, 5},                       // textMarginRight
    {0x41A, 0x47E, 6},                       // textMarginBottom
    {0x42B, 0x48F, 7},                       // imageMarginLeft
    {0x42C, 0x490, 8},                       // imageMarginTop
    {0x42D, 0x491, 9},                       // imageMarginRight
    {0x42E, 0x492, 10},                      // imageMarginBottom
};

TEST_F(ButtonSettings, EachFieldSetterIsReadBackByItsGetterAndRepaintsOnlyWhenAsked) {
    for (const FieldMessages& field : kFieldMessages) {
        SCOPED_TRACE(::testing::Message() << "setter 0x" << std::hex << field.setter);
        ButtonMessageRecorder recorder;
        EXPECT_EQ(Send(field.setter, field.value, 0), 0);
        EXPECT_EQ(Send(field.getter), static_cast<LRESULT>(field.value));
        EXPECT_FALSE(recorder.Received(RRBM_REDRAW));
        EXPECT_EQ(Send(field.setter, field.value + 1, 1), 0);
        EXPECT_EQ(Send(field.getter), static_cast<LRESULT>(field.value + 1));
        EXPECT_TRUE(recorder.Received(RRBM_REDRAW));
    }
}

TEST_F(ButtonSettings, SpecialSettersFollowTheirOwnRules) {
    Send(RRBM_SETDEFAULT, 5);
    EXPECT_EQ(Send(RRBM_GETDEFAULT), 1);
    Send(RRBM_SETDEFAULT, 0);
    EXPECT_EQ(Send(RRBM_GETDEFAULT), 0);

    Send(RRBM_SETCORNER, static_cast<WPARAM>(-7));
    EXPECT_EQ(Send(RRBM_GETCORNER), 0);
    Send(RRBM_SETCORNER, 10);
    EXPECT_EQ(Send(RRBM_GETCORNER), 10);

    Send(RRBM_SETIMAGESIZE, 48, 40);
    EXPECT_EQ(Send(RRBM_GETIMAGEWIDTH), 48);
    EXPECT_EQ(Send(RRBM_GETIMAGEHEIGHT), 40);

    Send(RRBM_SETIMAGENOSHIFT, 1);
    EXPECT_EQ(Record().imageNoShift, 1);
}

TEST_F(ButtonSettings, FixedLookMakesAPassiveButtonShowingTheLook) {
    Send(RRBM_SETFIXEDLOOK, 3);
    EXPECT_EQ(Send(RRBM_GETFIXEDLOOK), 3);
    EXPECT_EQ(Send(RRBM_GETCLICKABLE), 0);
    EXPECT_EQ(Record().drawState, 2);

    Send(RRBM_SETCLICKABLE, 1);
    Send(RRBM_SETFIXEDLOOK, 0);
    EXPECT_EQ(Send(RRBM_GETFIXEDLOOK), 0);
    EXPECT_EQ(Record().drawState, 0);
    EXPECT_EQ(Send(RRBM_GETCLICKABLE), 1);  // kept

    Send(RRBM_SETFIXEDLOOK, 2);
    Send(RRBM_SETFIXEDLOOK, 0);
    EXPECT_EQ(Send(RRBM_GETCLICKABLE), 0);  // still as the fixed look left it
}

TEST_F(ButtonSettings, ImagePositionIsAPlacementCodeOrAnExplicitPoint) {
    Send(RRBM_SETIMAGEPOS, 0, 0);
    EXPECT_EQ(Send(RRBM_GETIMAGEPOS), 0);
    EXPECT_EQ(Record().imageX, 0);
    EXPECT_EQ(Record().imageY, 0);

    Send(RRBM_SETIMAGEPOS, 7, 9);
    EXPECT_EQ(Send(RRBM_GETIMAGEPOS), 0);
    EXPECT_EQ(Record().imageX, 7);
    EXPECT_EQ(Record().imageY, 9);

    Send(RRBM_SETIMAGEPOS, static_cast<WPARAM>(-9), 123);
    EXPECT_EQ(Send(RRBM_GETIMAGEPOS), -9);
    EXPECT_EQ(Record().imageX, 7);
    EXPECT_EQ(Record().imageY, 9);
}

TEST_F(ButtonSettings, CursorIsAHandleASystemCursorIdOrTheArrow) {
    HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
    Send(RRBM_SETCURSOR, 0, reinterpret_cast<LPARAM>(cross));
    EXPECT_EQ(Record().hCursor, cross);

    Send(RRBM_SETCURSOR, reinterpret_cast<WPARAM>(IDC_IBEAM), 0);
    EXPECT_EQ(Record().hCursor, LoadCursorA(nullptr, IDC_IBEAM));

    // Not an id: never read as a cursor name.
    static const char notAnId[] = "IDC_WAIT";
    Send(RRBM_SETCURSOR, reinterpret_cast<WPARAM>(notAnId), 0);
    EXPECT_EQ(Record().hCursor, LoadCursorA(nullptr, IDC_ARROW));

    Send(RRBM_SETCURSOR, 0, 0);
    EXPECT_EQ(Record().hCursor, nullptr);
}

TEST_F(ButtonSettings, SomeSettersNeverRepaint) {
    ButtonMessageRecorder recorder;
    Send(RRBM_SETCURSOR, 0, reinterpret_cast<LPARAM>(LoadCursorA(nullptr, IDC_CROSS)));
    Send(RRBM_SETIMAGEPOS, 5, 6);
    Send(RRBM_SETIMAGESIZE, 20, 21);
    Send(RRBM_SETIMAGENOSHIFT, 1, 1);
    Send(BM_SETIMAGE, IMAGE_ICON, 0);
    Send(RRBM_LOADIMAGE, IMAGE_ICON, 0);
    EXPECT_FALSE(recorder.Received(RRBM_REDRAW));
}

TEST_F(ButtonSettings, FaceColourRebuildsTheFaceBrush) {
    const auto oldBrush = Send(RRBM_GETFACEBRUSH);
    Send(RRBM_SETFACECOLOR, RGB(10, 200, 30));
    EXPECT_EQ(Send(RRBM_GETFACECOLOR) & 0x00FFFFFF, RGB(10, 200, 30));
    EXPECT_NE(Send(RRBM_GETFACEBRUSH), 0);
    EXPECT_NE(Send(RRBM_GETFACEBRUSH), oldBrush);
    LOGBRUSH brush = {};
    ASSERT_EQ(GetObjectA(reinterpret_cast<HGDIOBJ>(Send(RRBM_GETFACEBRUSH)), sizeof brush, &brush),
              static_cast<int>(sizeof brush));
    EXPECT_EQ(brush.lbColor & 0x00FFFFFF, RGB(10, 200, 30));
}

TEST_F(ButtonSettings, RedrawPaintsAtOnce) {
    InvalidateRect(button_, nullptr, FALSE);
    Record().paletteFaceKey = 0xFFFFFFFF;  // the next paint rebuilds the colours and says so
    Send(RRBM_REDRAW);
    EXPECT_FALSE(GetUpdateRect(button_, nullptr, FALSE));
    EXPECT_EQ(Record().paletteFaceKey, GetSysColor(COLOR_BTNFACE));
}

TEST_F(ButtonSettings, MessagesWithoutAMeaningAnswerZero) {
    EXPECT_EQ(Send(WM_USER + 3, 9, 9), 0);
    EXPECT_EQ(Send(WM_USER + 113, 9, 9), 0);
    EXPECT_EQ(Send(WM_USER + 200, 9, 9), 0);
    EXPECT_EQ(Send(RRBM_GETCORNER), 5);
}

TEST_F(ButtonSettings, RegionFollowsTheSizeRuleAndTheCornerRule) {
    // Creation's corner rule is replaced by the size rule of the first WM_SIZE.
    EXPECT_TRUE(RegionIs(Record().hRegion, 0, 0, 76, 24, 5));

    Send(RRBM_SETCORNER, 10);
    EXPECT_TRUE(RegionIs(Record().hRegion, -1, -1, 77, 25, 10));
    EXPECT_FALSE(RegionIs(Record().hRegion, 0, 0, 76, 24, 10));

    SetWindowPos(button_, nullptr, 0, 0, 48, 48, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(RegionIs(Record().hRegion, 0, 0, 49, 49, 10));

    Send(RRBM_SETCORNER, static_cast<WPARAM>(-3));
    EXPECT_TRUE(RegionIs(Record().hRegion, -1, -1, 50, 50, 0));
    RECT box = {};
    GetRgnBox(Record().hRegion, &box);
    EXPECT_EQ(box.left, -1);
    EXPECT_EQ(box.top, -1);
}

}  // namespace
