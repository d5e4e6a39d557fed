// The RRBUTTON class and the making of a button: its record and defaults, the
// setter and getter messages, the region, MakeRRButton and MakeRRButtonURL,
// and messages after a button's end.
#include <gtest/gtest.h>

#include <vector>

#include "rrbutton/gdi_objects.h"
#include "rrbutton/rrbutton_internal.h"
#include "tests/rrbutton/button_test_support.h"

namespace {

class ButtonApi : public ::testing::Test {
protected:
    void SetUp() override {
        button_ = CreateTestButton(parent_.Handle());
        ASSERT_NE(button_, nullptr);
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(button_, message, wParam, lParam);
    }
    RRButtonRecord& Record() { return *RecordOf(button_); }

    SystemColors colors_;  // outlives the buttons
    TestParent parent_;
    HWND button_ = nullptr;
};

RECT RectInParent(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST_F(ButtonApi, ClassAndFreshButtonHoldTheirDefaults) {
    InitRRButtonClass();  // registering again is harmless
    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "RRBUTTON", &info));
    EXPECT_EQ(info.style, 0x400Bu);
    EXPECT_EQ(info.lpfnWndProc, RRButtonProc);
    EXPECT_EQ(info.cbWndExtra, 4);
    EXPECT_EQ(info.hbrBackground, HBRUSH(COLOR_BTNFACE + 1));
    EXPECT_EQ(info.hCursor, nullptr);

    colors_.Set(COLOR_BTNFACE, RGB(212, 208, 200));
    HWND button = CreateTestButton(parent_.Handle(), "Fresh", 1002);
    const LRESULT getters[][2] = {{0x465, 5}, {0x48C, -4}, {0x478, 0x25}, {0x470, 1},
                                  {0x468, 1}, {0x467, 0},  {0x48D, 16}};
    for (const auto& getter : getters) {
        EXPECT_EQ(SendMessageA(button, UINT(getter[0]), 0, 0), getter[1]) << std::hex << getter[0];
    }
    const RRButtonRecord& record = *RecordOf(button);
    EXPECT_EQ(record.hWnd, button);
    EXPECT_EQ(record.ctrlId, 1002);
    EXPECT_EQ(record.hParent, parent_.Handle());
    EXPECT_EQ(record.hResModule, GetModuleHandleA(nullptr));  // no QUILLKIT.DLL in this process
    EXPECT_EQ(record.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(record.faceColor, RGB(220, 216, 208));  // the system face made lighter
    EXPECT_EQ(record.textBkColor, RGB(220, 216, 208));
    for (COLORREF text : {record.textColor, record.hotTextColor, record.pressedTextColor}) {
        EXPECT_EQ(text, GetSysColor(COLOR_BTNTEXT));
    }
    EXPECT_EQ(record.paletteFaceKey, 0xFFFFFFFFu);
    EXPECT_NE(record.hRegion, nullptr);
    const INT_PTR zeros[] = {INT_PTR(record.hFaceBrush), INT_PTR(record.hFont), INT_PTR(record.hLinkFont),
                             INT_PTR(record.hoverTimer), record.drawState, record.pressSource, INT_PTR(record.hImage),
                             record.imageType, INT_PTR(record.palette), record.imageName[0]};
    for (const INT_PTR& zero : zeros) {
        EXPECT_EQ(zero, 0) << "field " << &zero - zeros;
    }
    UpdateWindow(button);  // the first paint makes the face brush
    EXPECT_NE(SendMessageA(button, RRBM_GETFACEBRUSH, 0, 0), 0);
}

TEST_F(ButtonApi, PositionIsInPixelsOrInTheDialogsUnits) {
    HWND pixels = CreateRRButton(parent_.Handle(), 7, "Go", 12, 34, 56, 20, WS_CHILD, WS_EX_CLIENTEDGE, FALSE);
    EXPECT_EQ(RectInParent(pixels), (RECT{12, 34, 68, 54}));
    EXPECT_EQ(GetDlgCtrlID(pixels), 7);
    EXPECT_TRUE(GetWindowLongA(pixels, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    // A parent that is no dialog has no units: position and size are 0.
    HWND plain = CreateRRButton(parent_.Handle(), 8, "Units", 10, 10, 50, 14, WS_CHILD, 0, TRUE);
    EXPECT_EQ(RectInParent(plain), (RECT{0, 0, 0, 0}));

    HWND dialog = CreateEmptyDialog(parent_.Handle());
    RECT position = {0, 0, 20, 30}, size = {0, 0, 50, 14};
    ASSERT_TRUE(MapDialogRect(dialog, &position) && MapDialogRect(dialog, &size));
    ASSERT_GT(size.right, 50);  // a real conversion
    HWND units = CreateRRButton(dialog, 9, "Units", 20, 30, 50, 14, WS_CHILD, 0, TRUE);
    EXPECT_EQ(RectInParent(units),
              (RECT{position.right, position.bottom, position.right + size.right, position.bottom + size.bottom}));
    EXPECT_EQ(CreateRRButton(nullptr, 1, "Orphan", 0, 0, 75, 23, WS_CHILD, 0, FALSE), nullptr);
}

TEST_F(ButtonApi, EverySetterByNumberIsReadBackAndRepaintsOnlyWhenItMay) {
    UpdateWindow(button_);
    const LPARAM icon = LPARAM("ICON2"), cross = LPARAM(LoadCursorA(nullptr, IDC_CROSS));
    // A setter that may repaint does so when lParam is nonzero; the others never.
    const struct {
        UINT setter;
        WPARAM value;
        LPARAM lParam;
        UINT getter;  // 0: none
        LRESULT expected;
        bool repaints;
    } cases[] = {
        {0x401, 10, 1, 0x465, 10, true},  // corner
        {0x402, RGB(10, 200, 30), 1, 0x466, RGB(10, 200, 30), true},  // face colour
        {0x404, 2, 1, 0x468, 2, true},  // caption background mode
        {0x405, RGB(1, 2, 3), 1, 0x469, RGB(1, 2, 3), true},  // caption colours: background,
        {0x406, RGB(4, 5, 6), 1, 0x46A, RGB(4, 5, 6), true},  // normal,
        {0x407, RGB(7, 8, 9), 1, 0x46B, RGB(7, 8, 9), true},  // pressed,
        {0x408, RGB(10, 11, 12), 1, 0x46C, RGB(10, 11, 12), true},  // hot
        {0x409, 1, 1, 0x46D, 1, true},  // caption shadow
        {0x40A, 5, 1, 0x46E, 1, true},  // default: any nonzero value is 1
        {0x40B, 2, 1, 0x46F, 2, true},  // fixed look
        {0x40D, 7, 1, 0x470, 7, true},  // clickable, stored unchanged
        {0x414, DT_LEFT | DT_SINGLELINE, 1, 0x478, DT_LEFT | DT_SINGLELINE, true},  // caption format
        {0x417, 3, 1, 0x47B, 3, true}, {0x418, 4, 1, 0x47C, 4, true},  // caption margins
        {0x419, 5, 1, 0x47D, 5, true}, {0x41A, 6, 1, 0x47E, 6, true},
        {0x42B, 7, 1, 0x48F, 7, true}, {0x42C, 8, 1, 0x490, 8, true},  // image margins
        {0x42D, 9, 1, 0x491, 9, true}, {0x42E, 10, 1, 0x492, 10, true},
        {0x40C, 0, cross, 0, 0, false},  // cursor
        {0x428, WPARAM(-9), 6, 0x48C, -9, false},  // image placement
        {0x429, 48, 40, 0x48D, 48, false}, {0x429, 48, 40, 0x48E, 40, false},  // image size
        {0x42A, 1, 1, 0, 0, false},  // image without shift
        {BM_SETIMAGE, IMAGE_ICON, 0, 0, 0, false},
        {0x42F, IMAGE_ICON, icon, 0, 0, false}, {0x430, IMAGE_ICON, icon, 0, 0, false},  // image loads
        {0x431, IMAGE_ICON, icon, 0, 0, false}, {0x432, IMAGE_ICON, icon, 0, 0, false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(::testing::Message() << "setter 0x" << std::hex << row.setter);
        ButtonMessageRecorder recorder;
        if (row.repaints) {
            EXPECT_EQ(Send(row.setter, row.value, 0), 0);
            EXPECT_FALSE(recorder.Received(RRBM_REDRAW));
        }
        EXPECT_EQ(Send(row.setter, row.value, row.lParam), 0);
        EXPECT_EQ(recorder.Received(RRBM_REDRAW), row.repaints);
        if (row.getter) {
            EXPECT_EQ(Send(row.getter), row.expected);
        }
    }
    EXPECT_EQ(Record().hCursor, HCURSOR(cross));
    EXPECT_EQ(Record().imageNoShift, 1);
    EXPECT_NE(Record().hDisabledImage, nullptr);
    LOGBRUSH brush = {};
    ASSERT_TRUE(GetObjectA(HGDIOBJ(Send(RRBM_GETFACEBRUSH)), sizeof brush, &brush));
    EXPECT_EQ(brush.lbColor, RGB(10, 200, 30));
}

TEST_F(ButtonApi, SettersWithRulesOfTheirOwn) {
    Send(RRBM_SETCORNER, WPARAM(-7));
    EXPECT_EQ(Send(RRBM_GETCORNER), 0);

    Send(RRBM_SETFIXEDLOOK, 3);  // passive, showing the pressed look
    EXPECT_EQ(Send(RRBM_GETCLICKABLE), 0);
    EXPECT_EQ(Record().drawState, 2);
    Send(RRBM_SETCLICKABLE, 1);
    Send(RRBM_SETFIXEDLOOK, 0);
    EXPECT_EQ(Record().drawState, 0);
    EXPECT_EQ(Send(RRBM_GETCLICKABLE), 1);  // left as it was

    Send(RRBM_SETIMAGEPOS, 7, 9);  // an explicit position
    EXPECT_EQ(Send(RRBM_GETIMAGEPOS), 0);
    Send(RRBM_SETIMAGEPOS, WPARAM(-9), 123);  // a placement code keeps it
    EXPECT_EQ(Send(RRBM_GETIMAGEPOS), -9);
    EXPECT_EQ(Record().imageX, 7);
    EXPECT_EQ(Record().imageY, 9);
    Send(RRBM_SETIMAGEPOS, 0, 0);
    EXPECT_EQ(Send(RRBM_GETIMAGEPOS), 0);
    EXPECT_EQ(Record().imageX, 0);
    EXPECT_EQ(Record().imageY, 0);

    Send(RRBM_SETCURSOR, WPARAM(IDC_IBEAM), 0);
    EXPECT_EQ(Record().hCursor, LoadCursorA(nullptr, IDC_IBEAM));
    Send(RRBM_SETCURSOR, WPARAM("IDC_WAIT"), 0);  // not an id: never read as a cursor name
    EXPECT_EQ(Record().hCursor, LoadCursorA(nullptr, IDC_ARROW));
    Send(RRBM_SETCURSOR, 0, 0);
    EXPECT_EQ(Record().hCursor, nullptr);

    for (UINT gap : {WM_USER + 3, WM_USER + 113, WM_USER + 200}) {
        EXPECT_EQ(Send(gap, 9, 9), 0);
    }
    InvalidateRect(button_, nullptr, FALSE);
    Send(RRBM_REDRAW);  // paints at once
    EXPECT_FALSE(GetUpdateRect(button_, nullptr, FALSE));
}

TEST_F(ButtonApi, RegionFollowsTheSizeRuleAndTheCornerRule) {
    auto regionIs = [this](int left, int top, int right, int bottom, int corner) {
        HRGN expected = CreateRoundRectRgn(left, top, right, bottom, corner, corner);
        const bool equal = EqualRgn(Record().hRegion, expected);
        DeleteObject(expected);
        return equal;
    };
    EXPECT_TRUE(regionIs(0, 0, 76, 24, 5));  // the size rule of the first WM_SIZE
    Send(RRBM_SETCORNER, 10);
    EXPECT_TRUE(regionIs(-1, -1, 77, 25, 10));
    SetWindowPos(button_, nullptr, 0, 0, 48, 48, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(regionIs(0, 0, 49, 49, 10));
    Send(RRBM_SETCORNER, WPARAM(-3));
    EXPECT_TRUE(regionIs(-1, -1, 50, 50, 0));
}

TEST_F(ButtonApi, MakeFunctionsSendTheirMessagesInOrder) {
    using Sequence = std::vector<ReceivedMessage>;
    auto sent = [](UINT message, WPARAM wParam, const char* name = "") {
        return ReceivedMessage{message, wParam, 0, name};
    };
    const ReceivedMessage leftPlacement = sent(RRBM_SETIMAGEPOS, WPARAM(-4)), margin = sent(RRBM_SETIMAGEMARGINLEFT, 4);
    const struct {
        const char* name;
        bool link;
        const char* text;
        const char* images[3];  // normal, then hot (plain) or pressed and disabled (link)
        Sequence tail;          // after the corner and clickable, or the link's settings
    } cases[] = {
        {"no images", false, "Plain", {"", nullptr}, {}},
        {"caption and images", false, "About", {"ICON2", "ICON3"},
         {leftPlacement, margin, sent(RRBM_SETTEXTMARGINLEFT, 12), sent(RRBM_LOADIMAGE, IMAGE_ICON, "ICON2"),
          sent(RRBM_LOADHOTIMAGE, IMAGE_ICON, "ICON3")}},
        {"image without caption", false, "", {nullptr, "ICON3"},
         {sent(RRBM_SETIMAGEPOS, WPARAM(-5)), sent(RRBM_LOADHOTIMAGE, IMAGE_ICON, "ICON3")}},
        {"link with caption and images", true, "Home page", {"ICON2", "ICON3", "ICON3"},
         {leftPlacement, margin, sent(RRBM_SETTEXTMARGINLEFT, 20), sent(RRBM_LOADIMAGE, IMAGE_ICON, "ICON2"),
          sent(RRBM_LOADPRESSEDIMAGE, IMAGE_ICON, "ICON3"), sent(RRBM_LOADDISABLEDIMAGE, IMAGE_ICON, "ICON3")}},
        {"link with only a disabled image", true, "Home page", {"", nullptr, "ICON3"}, {}},
        {"link without caption", true, nullptr, {"ICON2", "", ""},
         {sent(RRBM_SETIMAGEPOS, WPARAM(-5)), sent(RRBM_LOADIMAGE, IMAGE_ICON, "ICON2")}},
    };
    std::vector<HWND> made;
    for (const auto& make : cases) {
        SCOPED_TRACE(make.name);
        ButtonMessageRecorder recorder;
        HWND button = make.link ? MakeRRButtonURL(parent_.Handle(), 1002, make.text, 10, 40, 75, 23, kButtonStyle, 0,
                                                  make.images[0], make.images[1], make.images[2], FALSE)
                                : MakeRRButton(parent_.Handle(), 1003, make.text, 10, 70, 75, 23, kButtonStyle, 0,
                                               make.images[0], make.images[1], FALSE);
        made.push_back(button);
        // Creation itself applies the corner; the test program has no "HAND"
        // cursor, so a link asks for the system's hand.
        Sequence expected = {sent(RRBM_SETCORNER, 5)};
        if (make.link) {
            expected.insert(expected.end(), {sent(RRBM_SETCURSOR, WPARAM(IDC_HAND)), sent(RRBM_SETFIXEDLOOK, 1),
                                             sent(RRBM_SETFACECOLOR, GetSysColor(COLOR_BTNFACE)),
                                             sent(RRBM_SETTEXTCOLOR, RGB(0, 0, 255)),
                                             sent(RRBM_SETHOTTEXTCOLOR, RGB(0, 0, 255)),
                                             sent(RRBM_SETPRESSEDTEXTCOLOR, RGB(255, 0, 0)),
                                             sent(RRBM_SETCLICKABLE, 1)});
        } else {
            expected.insert(expected.end(), {sent(RRBM_SETCORNER, 5), sent(RRBM_SETCLICKABLE, 1)});
        }
        expected.insert(expected.end(), make.tail.begin(), make.tail.end());
        if (make.link) {
            expected.push_back(sent(WM_SETFONT, WPARAM(RecordOf(button)->hLinkFont)));
        }
        EXPECT_EQ(recorder.messages, expected);
    }
    EXPECT_NE(RecordOf(made[1])->hHotImage, nullptr);
    EXPECT_EQ(RecordOf(made[4])->hDisabledImage, nullptr);
    const RRButtonRecord& link = *RecordOf(made[3]);
    EXPECT_NE(link.hDisabledImage, nullptr);
    EXPECT_EQ(link.hCursor, LoadCursorA(nullptr, IDC_HAND));
    LOGFONTA font = {}, stock = {};
    ASSERT_TRUE(GetObjectA(link.hLinkFont, sizeof font, &font));
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof stock, &stock);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfUnderline, 1);
    EXPECT_STREQ(font.lfFaceName, stock.lfFaceName);

    ButtonMessageRecorder recorder;
    EXPECT_EQ(MakeRRButton(nullptr, 1, "x", 0, 0, 10, 10, WS_CHILD, 0, "ICON2", "ICON3", FALSE), nullptr);
    EXPECT_EQ(MakeRRButtonURL(nullptr, 1, "x", 0, 0, 10, 10, WS_CHILD, 0, "ICON2", "ICON3", "ICON3", FALSE), nullptr);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(ButtonApi, MessagesAfterDestructionTouchNothing) {
    const void* record = RecordOf(button_);
    FreedRecordTrap trap;
    long liveBefore = -1, liveAfter = -1;
    LRESULT cornerAnswer = -1;
    WindowSpy spy(button_, [&](UINT message, WPARAM, LPARAM) {
        if (message == WM_NCDESTROY) {  // the record went at WM_DESTROY
            EXPECT_EQ(RecordOf(button_), nullptr);
            trap.Spring(record);
            liveBefore = rrb::gdi::LiveGdiObjects();
            CallWindowProcA(RRButtonProc, button_, RRBM_LOADIMAGE, IMAGE_ICON, LPARAM("ICON2"));
            CallWindowProcA(RRButtonProc, button_, RRBM_SETCORNER, 3, 1);
            CallWindowProcA(RRButtonProc, button_, WM_SIZE, 0, 0);
            CallWindowProcA(RRButtonProc, button_, RRBM_SETFACECOLOR, RGB(1, 2, 3), 0);
            CallWindowProcA(RRButtonProc, button_, WM_PAINT, 0, 0);
            cornerAnswer = CallWindowProcA(RRButtonProc, button_, RRBM_GETCORNER, 0, 0);
            liveAfter = rrb::gdi::LiveGdiObjects();
        }
    });
    DestroyWindow(button_);
    EXPECT_EQ(cornerAnswer, 0);
    EXPECT_EQ(liveAfter, liveBefore);
    EXPECT_TRUE(trap.NothingWritten());
}

}  // namespace
