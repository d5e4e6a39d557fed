// Registration of the RRBUTTON class and the making of a button: its record,
// its defaults, and the position and size in pixels or dialog units.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "rrbutton/rrbutton.h"
#include "rrbutton/rrbutton_internal.h"
#include "tests/rrbutton/button_test_support.h"

namespace {

// The face colour of a new button, worked out here channel by channel: the
// system face itself when pure black or white, else 8 brighter, at most 255.
COLORREF ExpectedCreationFace(COLORREF system) {
    if (system == RGB(0, 0, 0) || system == RGB(255, 255, 255)) {
        return system;
    }
    auto up = [](int channel) { return std::min(channel + 8, 255); };
    return RGB(up(GetRValue(system)), up(GetGValue(system)), up(GetBValue(system)));
}

RECT RectInParent(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// A modeless dialog of 200 x 100 dialog units from an in-memory template.
HWND CreateTestDialog(HWND owner) {
    std::vector<WORD> words(64, 0);
    auto* dialog = reinterpret_cast<DLGTEMPLATE*>(words.data());
    dialog->style = WS_POPUP | WS_CAPTION | DS_SETFONT;
    dialog->cx = 200;
    dialog->cy = 100;
    WORD* after = reinterpret_cast<WORD*>(dialog + 1);
    *after++ = 0;  // no menu
    *after++ = 0;  // standard class
    *after++ = 0;  // no title
    *after++ = 8;  // point size
    for (const char* face = "MS Sans Serif"; ; ++face) {
        *after++ = static_cast<WORD>(*face);
        if (*face == '\0') {
            break;
        }
    }
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialog, owner, PlainDialogProc, 0);
}

class ButtonCreation : public ::testing::Test {
protected:
    TestParent parent_;
};

TEST_F(ButtonCreation, FreshButtonAnswersItsDefaults) {
    HWND button = CreateTestButton(parent_.Handle());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(SendMessageA(button, RRBM_GETCORNER, 0, 0), 5);
    EXPECT_EQ(SendMessageA(button, RRBM_GETIMAGEPOS, 0, 0), -4);
    EXPECT_EQ(static_cast<DWORD>(SendMessageA(button, RRBM_GETIMAGEPOS, 0, 0)), 0xFFFFFFFCu);
    EXPECT_EQ(SendMessageA(button, RRBM_GETTEXTFORMAT, 0, 0), 0x25);
    EXPECT_EQ(SendMessageA(button, RRBM_GETCLICKABLE, 0, 0), 1);
    EXPECT_EQ(SendMessageA(button, RRBM_GETBKMODE, 0, 0), 1);
    EXPECT_EQ(SendMessageA(button, RRBM_GETIMAGEWIDTH, 0, 0), 16);
    EXPECT_EQ(SendMessageA(button, RRBM_GETIMAGEHEIGHT, 0, 0), 16);

    // The face brush is made by the first paint.
    EXPECT_EQ(SendMessageA(button, RRBM_GETFACEBRUSH, 0, 0), 0);
    UpdateWindow(button);
    EXPECT_NE(SendMessageA(button, RRBM_GETFACEBRUSH, 0, 0), 0);
    DestroyWindow(button);
}

TEST_F(ButtonCreation, RecordHoldsTheCreationValues) {
    HWND button = CreateTestButton(parent_.Handle());
    ASSERT_NE(button, nullptr);
    const RRButtonRecord* record = RecordOf(button);
    ASSERT_NE(record, nullptr);

    EXPECT_EQ(record->hWnd, button);
    EXPECT_EQ(record->ctrlId, 1001);
    EXPECT_EQ(record->hParent, parent_.Handle());
    // No resource module of its own is loaded: the parent's instance serves.
    ASSERT_EQ(GetModuleHandleA("QUILLKIT.DLL"), nullptr);
    EXPECT_EQ(record->hResModule, GetModuleHandleA(nullptr));
    EXPECT_EQ(record->cornerSize, 5);
    EXPECT_EQ(record->hCursor, LoadCursorA(nullptr, IDC_ARROW));
    const COLORREF face = ExpectedCreationFace(GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(record->faceColor, face);
    EXPECT_EQ(record->textBkColor, face);
    EXPECT_EQ(record->textColor, GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(record->hotTextColor, GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(record->pressedTextColor, GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(record->paletteFaceKey, 0xFFFFFFFFu);
    EXPECT_NE(record->hRegion, nullptr);

    EXPECT_EQ(record->hFaceBrush, nullptr);
    EXPECT_EQ(record->hFont, nullptr);
    EXPECT_EQ(record->hLinkFont, nullptr);
    EXPECT_EQ(record->hoverTimer, 0u);
    EXPECT_EQ(record->drawState, 0);
    EXPECT_EQ(record->pressSource, 0);
    EXPECT_EQ(record->hImage, nullptr);
    EXPECT_EQ(record->imageType, IMAGE_BITMAP);
    EXPECT_EQ(record->imageX, 0);
    EXPECT_EQ(record->imageY, 0);
    EXPECT_EQ(record->imageNoShift, 0);
    EXPECT_EQ(record->palette, nullptr);
    EXPECT_STREQ(record->imageName, "");
    DestroyWindow(button);
}

TEST_F(ButtonCreation, ClassIsRegisteredWithItsFixedFields) {
    InitRRButtonClass();
    InitRRButtonClass();  // registering again is harmless
    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "RRBUTTON", &info));
    EXPECT_EQ(info.style, 0x400Bu);
    EXPECT_EQ(info.lpfnWndProc, RRButtonProc);
    EXPECT_EQ(info.cbClsExtra, 0);
    EXPECT_EQ(info.cbWndExtra, 4);
    EXPECT_EQ(info.hbrBackground, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
    EXPECT_EQ(info.hCursor, nullptr);
    EXPECT_EQ(info.hIcon, nullptr);
}

TEST_F(ButtonCreation, PixelsGoToTheWindowUnchanged) {
    HWND button = CreateRRButton(parent_.Handle(), 7, "Go", 12, 34, 56, 20, WS_CHILD | WS_VISIBLE, WS_EX_CLIENTEDGE,
                                 FALSE);
    ASSERT_NE(button, nullptr);
    const RECT rect = RectInParent(button);
    EXPECT_EQ(rect.left, 12);
    EXPECT_EQ(rect.top, 34);
    EXPECT_EQ(rect.right - rect.left, 56);
    EXPECT_EQ(rect.bottom - rect.top, 20);
    EXPECT_EQ(GetDlgCtrlID(button), 7);
    EXPECT_TRUE(GetWindowLongA(button, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    char text[16] = {};
    GetWindowTextA(button, text, sizeof text);
    EXPECT_STREQ(text, "Go");
    DestroyWindow(button);
}

TEST_F(ButtonCreation, DialogUnitsOnAPlainWindowGiveZero) {
    HWND button = CreateRRButton(parent_.Handle(), 1001, "Units", 10, 10, 50, 14, WS_CHILD | WS_VISIBLE, 0, TRUE);
    ASSERT_NE(button, nullptr);
    const RECT rect = RectInParent(button);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 0);
    EXPECT_EQ(rect.bottom, 0);
    DestroyWindow(button);
}

TEST_F(ButtonCreation, DialogUnitsOnADialogAreConvertedByTheDialog) {
    HWND dialog = CreateTestDialog(parent_.Handle());
    ASSERT_NE(dialog, nullptr);
    RECT position = {0, 0, 20, 30};
    RECT size = {0, 0, 50, 14};
    ASSERT_TRUE(MapDialogRect(dialog, &position));
    ASSERT_TRUE(MapDialogRect(dialog, &size));

    HWND button = CreateRRButton(dialog, 1001, "Units", 20, 30, 50, 14, WS_CHILD | WS_VISIBLE, 0, TRUE);
    ASSERT_NE(button, nullptr);
    const RECT rect = RectInParent(button);
    EXPECT_EQ(rect.left, position.right);
    EXPECT_EQ(rect.top, position.bottom);
    EXPECT_EQ(rect.right - rect.left, size.right);
    EXPECT_EQ(rect.bottom - rect.top, size.bottom);
    EXPECT_GT(size.right, 50);  // a real conversion took place
    DestroyWindow(dialog);
}

TEST_F(ButtonCreation, ChildWithoutParentIsNotMade) {
    EXPECT_EQ(CreateRRButton(nullptr, 1001, "Orphan", 0, 0, 75, 23, WS_CHILD, 0, FALSE), nullptr);
}

}  // namespace
