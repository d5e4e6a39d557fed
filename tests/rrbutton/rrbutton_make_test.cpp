// MakeRRButton and MakeRRButtonURL: the messages they configure a new button
// with, in order, and the button they leave behind.
#include <gtest/gtest.h>

#include <vector>

#include "rrbutton/rrbutton.h"
#include "rrbutton/rrbutton_record.h"
#include "tests/rrbutton/button_test_support.h"

namespace {

using Sequence = std::vector<ReceivedMessage>;

constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr WPARAM kIcon = IMAGE_ICON;

ReceivedMessage Sent(UINT message, WPARAM wParam, LPARAM lParam) {
    return ReceivedMessage{message, wParam, lParam, {}};
}

ReceivedMessage Load(UINT message, const char* name) {
    return ReceivedMessage{message, kIcon, 0, name};
}

// The corner rule that every new button applies to itself at creation.
const ReceivedMessage kCreationCorner = Sent(RRBM_SETCORNER, 5, 0);

class MakeButtons : public ::testing::Test {
protected:
    HWND Make(const char* text, const char* icon, const char* hot) {
        return MakeRRButton(parent_.Handle(), 1001, text, 10, 10, 75, 23, kStyle, 0, icon, hot, FALSE);
    }
    HWND MakeLink(const char* text, const char* icon, const char* pressed, const char* disabled) {
        return MakeRRButtonURL(parent_.Handle(), 1002, text, 10, 40, 75, 23, kStyle, 0, icon, pressed, disabled,
                               FALSE);
    }
    // What MakeRRButtonURL sends before its images.
    static Sequence LinkPrologue() {
        // The test program has no "HAND" cursor, so the system's hand is asked for.
        return {kCreationCorner,
                Sent(RRBM_SETCURSOR, reinterpret_cast<WPARAM>(IDC_HAND), 0),
                Sent(RRBM_SETFIXEDLOOK, 1, 0),
                Sent(RRBM_SETFACECOLOR, GetSysColor(COLOR_BTNFACE), 0),
                Sent(RRBM_SETTEXTCOLOR, RGB(0, 0, 255), 0),
                Sent(RRBM_SETHOTTEXTCOLOR, RGB(0, 0, 255), 0),
                Sent(RRBM_SETPRESSEDTEXTCOLOR, RGB(255, 0, 0), 0),
                Sent(RRBM_SETCLICKABLE, 1, 0)};
    }
    static ReceivedMessage LinkFont(HWND button) {
        return Sent(WM_SETFONT, reinterpret_cast<WPARAM>(RecordOf(button)->hLinkFont), 0);
    }

    TestParent parent_;
};

TEST_F(MakeButtons, ButtonWithoutImagesGetsOnlyCornerAndClickable) {
    ButtonMessageRecorder recorder;
    HWND button = Make("Plain", "", nullptr);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(recorder.Messages(),
              (Sequence{kCreationCorner, Sent(RRBM_SETCORNER, 5, 0), Sent(RRBM_SETCLICKABLE, 1, 0)}));
    EXPECT_EQ(RecordOf(button)->hImage, nullptr);
}

TEST_F(MakeButtons, CaptionAndImagesPutTheImageLeftOfTheCaption) {
    ButtonMessageRecorder recorder;
    HWND button = Make("About", "ICON2", "ICON3");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(recorder.Messages(),
              (Sequence{kCreationCorner, Sent(RRBM_SETCORNER, 5, 0), Sent(RRBM_SETCLICKABLE, 1, 0),
                        Sent(RRBM_SETIMAGEPOS, static_cast<WPARAM>(-4), 0), Sent(RRBM_SETIMAGEMARGINLEFT, 4, 0),
                        Sent(RRBM_SETTEXTMARGINLEFT, 12, 0), Load(RRBM_LOADIMAGE, "ICON2"),
                        Load(RRBM_LOADHOTIMAGE, "ICON3")}));
    const RRButtonRecord& record = *RecordOf(button);
    EXPECT_NE(record.hImage, nullptr);
    EXPECT_NE(record.hHotImage, nullptr);
    EXPECT_EQ(record.imagePlacement, -4);
    EXPECT_EQ(record.imageMarginLeft, 4);
    EXPECT_EQ(record.textMarginLeft, 12);
}

TEST_F(MakeButtons, ImageWithoutCaptionIsCentred) {
    ButtonMessageRecorder recorder;
    HWND button = Make("", nullptr, "ICON3");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(recorder.Messages(),
              (Sequence{kCreationCorner, Sent(RRBM_SETCORNER, 5, 0), Sent(RRBM_SETCLICKABLE, 1, 0),
                        Sent(RRBM_SETIMAGEPOS, static_cast<WPARAM>(-5), 0), Load(RRBM_LOADHOTIMAGE, "ICON3")}));
}

TEST_F(MakeButtons, FailedCreationSendsNothing) {
    ButtonMessageRecorder recorder;
    EXPECT_EQ(MakeRRButton(nullptr, 1, "x", 0, 0, 10, 10, WS_CHILD, 0, "ICON2", "ICON3", FALSE), nullptr);
    EXPECT_EQ(MakeRRButtonURL(nullptr, 1, "x", 0, 0, 10, 10, WS_CHILD, 0, "ICON2", "ICON3", "ICON3", FALSE),
              nullptr);
    EXPECT_TRUE(recorder.Messages().empty());
}

TEST_F(MakeButtons, LinkButtonWithCaptionAndImages) {
    ButtonMessageRecorder recorder;
    HWND button = MakeLink("Home page", "ICON2", "ICON3", "ICON3");
    ASSERT_NE(button, nullptr);
    Sequence expected = LinkPrologue();
    expected.insert(expected.end(),
                    {Sent(RRBM_SETIMAGEPOS, static_cast<WPARAM>(-4), 0), Sent(RRBM_SETIMAGEMARGINLEFT, 4, 0),
                     Sent(RRBM_SETTEXTMARGINLEFT, 20, 0), Load(RRBM_LOADIMAGE, "ICON2"),
                     Load(RRBM_LOADPRESSEDIMAGE, "ICON3"), Load(RRBM_LOADDISABLEDIMAGE, "ICON3"),
                     LinkFont(button)});
    EXPECT_EQ(recorder.Messages(), expected);

    const RRButtonRecord& record = *RecordOf(button);
    EXPECT_EQ(record.fixedLook, 1);
    EXPECT_EQ(record.clickable, 1);
    EXPECT_EQ(record.drawState, 0);
    EXPECT_EQ(record.hCursor, LoadCursorA(nullptr, IDC_HAND));
    EXPECT_EQ(record.textColor, RGB(0, 0, 255));
    EXPECT_EQ(record.pressedTextColor, RGB(255, 0, 0));
    EXPECT_NE(record.hImage, nullptr);
    EXPECT_NE(record.hPressedImage, nullptr);
    EXPECT_NE(record.hDisabledImage, nullptr);
    EXPECT_EQ(record.hHotImage, nullptr);

    ASSERT_NE(record.hLinkFont, nullptr);
    EXPECT_EQ(record.hFont, record.hLinkFont);
    LOGFONTA font = {};
    ASSERT_EQ(GetObjectA(record.hLinkFont, sizeof font, &font), static_cast<int>(sizeof font));
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfUnderline, 1);
    LOGFONTA stock = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof stock, &stock);
    EXPECT_STREQ(font.lfFaceName, stock.lfFaceName);
    EXPECT_EQ(font.lfHeight, stock.lfHeight);
}

TEST_F(MakeButtons, LinkButtonWithOnlyADisabledImageLoadsNone) {
    ButtonMessageRecorder recorder;
    HWND button = MakeLink("Home page", "", nullptr, "ICON3");
    ASSERT_NE(button, nullptr);
    Sequence expected = LinkPrologue();
    expected.push_back(LinkFont(button));
    EXPECT_EQ(recorder.Messages(), expected);
    EXPECT_EQ(RecordOf(button)->hDisabledImage, nullptr);
}

TEST_F(MakeButtons, LinkButtonWithoutCaptionCentresItsImage) {
    ButtonMessageRecorder recorder;
    HWND button = MakeLink(nullptr, "ICON2", "", "");
    ASSERT_NE(button, nullptr);
    Sequence expected = LinkPrologue();
    expected.insert(expected.end(), {Sent(RRBM_SETIMAGEPOS, static_cast<WPARAM>(-5), 0),
                                     Load(RRBM_LOADIMAGE, "ICON2"), LinkFont(button)});
    EXPECT_EQ(recorder.Messages(), expected);
}

}  // namespace
