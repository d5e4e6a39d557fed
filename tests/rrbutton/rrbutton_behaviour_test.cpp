// A live round-rect button under the real pointer (every move checked), the
// left mouse button, the keyboard, focus changes and its hover timer. The
// button is sent the messages a user's actions produce and decides from where
// the pointer really is.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "rrbutton/gdi_objects.h"
#include "tests/rrbutton/button_test_support.h"

using rrb::gdi::LiveGdiObjects;

namespace {

// Key message lParams: repeat count 1 and a scan code, which the button ignores.
constexpr LPARAM kKeyPress = 0x00390001;
constexpr LPARAM kKeyRepeat = 0x40390001;  // bit 30: the key was already down
constexpr LPARAM kKeyRelease = static_cast<LPARAM>(0xC0390001);

::testing::AssertionResult MovePointerTo(POINT target) {
    SetCursorPos(target.x, target.y);
    POINT now = {};
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (GetCursorPos(&now) && now.x == target.x && now.y == target.y) {
            return ::testing::AssertionSuccess();
        }
        Sleep(10);
        PumpMessages();
    }
    return ::testing::AssertionFailure() << "the pointer did not move to (" << target.x << ", " << target.y
                                         << "); it is at (" << now.x << ", " << now.y << ")";
}

// Client point (x, y) of a window; (-1, -1) for its centre.
::testing::AssertionResult PointAt(HWND window, int x = -1, int y = -1) {
    POINT point = {x < 0 ? ClientSize(window).cx / 2 : x, y < 0 ? ClientSize(window).cy / 2 : y};
    ClientToScreen(window, &point);
    return MovePointerTo(point);
}

class ButtonBehaviour : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(MovePointerTo({1000, 740}));  // outside the test window
        button_ = CreateTestButton(parent_.Handle());
        ASSERT_NE(button_, nullptr);
        UpdateWindow(button_);
    }
    void TearDown() override {
        ReleaseCapture();
        MovePointerTo({1000, 740});  // no pointer over the buttons of later tests
    }

    HWND Or(HWND button) const { return button ? button : button_; }
    RRButtonRecord& Record(HWND button = nullptr) { return *RecordOf(Or(button)); }
    // A mouse message where the pointer is, as a user's hand makes it.
    void Mouse(UINT message, WPARAM keys, HWND button = nullptr) {
        POINT pointer = {};
        GetCursorPos(&pointer);
        ScreenToClient(Or(button), &pointer);
        SendMessageA(Or(button), message, keys, MAKELPARAM(pointer.x, pointer.y));
    }
    void Press(HWND button = nullptr) { Mouse(WM_LBUTTONDOWN, MK_LBUTTON, button); }
    void Release(HWND button = nullptr) { Mouse(WM_LBUTTONUP, 0, button); }
    void Key(UINT message, WPARAM key, LPARAM data, HWND button = nullptr) {
        SendMessageA(Or(button), message, key, data);
    }
    int Clicks(HWND button = nullptr) const {
        int clicks = 0;
        for (const ReceivedMessage& command : parentSpy_.Received(WM_COMMAND)) {
            clicks += command.lParam == LPARAM(Or(button)) && command.wParam == MAKEWPARAM(1001, BN_CLICKED);
        }
        return clicks;
    }

    TestParent parent_;
    WindowSpy parentSpy_{parent_.Handle()};
    HWND button_ = nullptr;
};

TEST_F(ButtonBehaviour, APressOnACutOffCornerIsNoPressButOneInsideIs) {
    SendMessageA(button_, RRBM_SETCORNER, 20, 0);
    SetFocus(parent_.Handle());
    ASSERT_TRUE(PointAt(button_, 0, 0));
    Press();
    EXPECT_NE(GetCapture(), button_);
    EXPECT_NE(GetFocus(), button_);
    EXPECT_EQ(Record().drawState, 0);
    Release();
    EXPECT_EQ(Clicks(), 0);

    ASSERT_TRUE(PointAt(button_));
    Press();
    EXPECT_EQ(GetCapture(), button_);
    EXPECT_EQ(GetFocus(), button_);
    EXPECT_EQ(Record().drawState, 2);  // pressed, although taking the focus reset the look
    Release();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Clicks(), 1);
    EXPECT_EQ(Record().drawState, 1);  // hot: the pointer is still over it
}

TEST_F(ButtonBehaviour, APressThatLeavesClicksOnlyWhenThePointerComesBack) {
    for (bool comesBack : {true, false}) {
        SCOPED_TRACE(comesBack ? "comes back" : "stays away");
        parentSpy_.Clear();
        ASSERT_TRUE(PointAt(button_));
        Press();
        ASSERT_TRUE(PointAt(parent_.Handle(), 250, 150));
        Mouse(WM_MOUSEMOVE, MK_LBUTTON);
        EXPECT_EQ(Record().drawState, 0);
        EXPECT_EQ(GetCapture(), button_);
        if (comesBack) {
            ASSERT_TRUE(PointAt(button_));
            Mouse(WM_MOUSEMOVE, MK_LBUTTON);
            EXPECT_EQ(Record().drawState, 2);
        }
        Release();
        EXPECT_EQ(Clicks(), comesBack ? 1 : 0);
        EXPECT_EQ(Record().drawState, comesBack ? 1 : 0);
        EXPECT_EQ(Record().pressSource, 0);
        EXPECT_EQ(GetCapture(), nullptr);
    }
}

TEST_F(ButtonBehaviour, ADoubleClickIsTwoClicksAndAFocusLostDuringAPressCancelsIt) {
    ASSERT_TRUE(PointAt(button_));
    Press();
    Release();
    Mouse(WM_LBUTTONDBLCLK, MK_LBUTTON);
    EXPECT_EQ(Record().drawState, 2);
    Release();
    EXPECT_EQ(Clicks(), 2);

    Press();
    SetFocus(CreateTestButton(parent_.Handle(), "Other", 1002, 50));  // as a parent would, during the press
    EXPECT_EQ(Record().pressSource, 0);
    EXPECT_EQ(Record().drawState, 0);
    EXPECT_EQ(GetCapture(), button_);
    Release();
    EXPECT_EQ(Clicks(), 2);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ButtonBehaviour, TheHotLookEndsAfterThePointerLeavesAndTheTimerStops) {
    ASSERT_TRUE(PointAt(button_));
    Mouse(WM_MOUSEMOVE, 0);
    EXPECT_EQ(Record().drawState, 1);
    ASSERT_NE(Record().hoverTimer, 0u);
    // Leaving without a capture sends the button no move: only the timer notices.
    ASSERT_TRUE(PointAt(parent_.Handle(), 250, 150));
    for (const DWORD start = GetTickCount(); Record().hoverTimer != 0 && GetTickCount() - start < 2000;) {
        MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        PumpMessages();
    }
    EXPECT_EQ(Record().hoverTimer, 0u);
    EXPECT_EQ(Record().drawState, 0);
    EXPECT_FALSE(KillTimer(button_, 1001)) << "the hover timer still runs";
}

TEST_F(ButtonBehaviour, SpaceClicksAtTheReleaseOfAnyKeyAndReturnAtEveryRepeat) {
    Key(WM_KEYDOWN, VK_SPACE, kKeyPress);
    EXPECT_EQ(Record().drawState, 2);
    Key(WM_KEYDOWN, VK_RETURN, kKeyPress);  // ignored during the press
    Key(WM_KEYUP, 'A', kKeyRelease);
    EXPECT_EQ(Clicks(), 1);
    EXPECT_EQ(Record().drawState, 0);
    Key(WM_KEYUP, VK_SPACE, kKeyRelease);
    EXPECT_EQ(Clicks(), 1);

    Key(WM_KEYDOWN, VK_RETURN, kKeyPress);
    for (int repeat = 0; repeat < 4; ++repeat) {
        Key(WM_KEYDOWN, VK_RETURN, kKeyRepeat);
    }
    EXPECT_EQ(Clicks(), 6);
    EXPECT_EQ(Record().drawState, 0);
}

TEST_F(ButtonBehaviour, DialogCodesAskForReturnOnlyOnButtonsThatClick) {
    auto answer = [this](UINT message, WPARAM key) {
        MSG queued = {button_, message, key, kKeyPress, 0, {}};
        return SendMessageA(button_, WM_GETDLGCODE, 0, message ? LPARAM(&queued) : 0);
    };
    const LRESULT byDefault = DefWindowProcA(button_, WM_GETDLGCODE, 0, 0);
    EXPECT_EQ(answer(0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    EXPECT_EQ(answer(WM_KEYDOWN, VK_RETURN), DLGC_WANTALLKEYS);
    EXPECT_EQ(answer(WM_CHAR, VK_RETURN), DLGC_WANTALLKEYS);
    EXPECT_EQ(answer(WM_KEYDOWN, VK_TAB), byDefault);
    SendMessageA(button_, RRBM_SETFIXEDLOOK, 1, 0);
    SendMessageA(button_, RRBM_SETCLICKABLE, 1, 0);  // a link: wants Return, is no push button
    EXPECT_EQ(answer(WM_KEYDOWN, VK_RETURN), DLGC_WANTALLKEYS);
    EXPECT_EQ(answer(0, 0), byDefault);
    SendMessageA(button_, RRBM_SETCLICKABLE, 0, 0);  // passive
    EXPECT_EQ(answer(WM_KEYDOWN, VK_RETURN), byDefault);
}

// Sets or clears Shift in this thread's keyboard state for a while.
class ShiftHeld : NoCopy {
public:
    explicit ShiftHeld(bool down) {
        GetKeyboardState(saved_);
        BYTE keys[256];
        std::memcpy(keys, saved_, sizeof keys);
        keys[VK_SHIFT] = keys[VK_LSHIFT] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    ~ShiftHeld() { SetKeyboardState(saved_); }

private:
    BYTE saved_[256] = {};
};

TEST_F(ButtonBehaviour, APassiveButtonHandsTheFocusOnWithTabAndBackWithShiftTab) {
    HWND dialog = CreateEmptyDialog(parent_.Handle());
    auto push = [dialog](int y) {
        return CreateWindowExA(0, "BUTTON", "Push", kButtonStyle, 5, y, 60, 20, dialog, nullptr, nullptr, nullptr);
    };
    HWND first = push(5);
    HWND passive = CreateRRButton(dialog, 1011, "Passive", 5, 30, 60, 20, kButtonStyle, 0, FALSE);
    HWND last = push(55);
    SendMessageA(passive, RRBM_SETFIXEDLOOK, 3, 0);
    SetFocus(first);
    for (bool shift : {false, true}) {
        ShiftHeld held(shift);
        MSG tab = {GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {}};
        IsDialogMessageA(dialog, &tab);
        EXPECT_EQ(GetFocus(), shift ? first : last);
    }
    EXPECT_EQ(RecordOf(passive)->drawState, 0);  // the focus ended the fixed pressed look

    // Passive buttons that are the only tab stops keep the focus where it is.
    for (int count : {2, 3}) {
        SCOPED_TRACE(::testing::Message() << count << " passive buttons");
        TestParent parent;
        std::vector<HWND> buttons;
        for (int i = 0; i < count; ++i) {
            buttons.push_back(CreateTestButton(parent.Handle(), "Passive", 1001 + i, 10 + 30 * i));
            SendMessageA(buttons.back(), RRBM_SETFIXEDLOOK, 2, 0);
        }
        for (bool shift : {false, true}) {
            ShiftHeld held(shift);
            SetFocus(buttons[1]);
            EXPECT_EQ(GetFocus(), buttons[1]);
        }
    }
}

// The parent destroys the button while handling its click or a command or
// notification the button passes on, or the button goes in the middle of a
// press; the rest of the button's handling, and what would end the press,
// must touch nothing.
TEST_F(ButtonBehaviour, AButtonDestroyedByItsParentOrMidPressTouchesNothingAfterwards) {
    NMHDR header = {};
    const struct {
        const char* name;
        UINT destroyAt;  // the parent destroys the button when it hears this; 0: the test, mid-press
        WPARAM wParam;   // of what the parent hears
        LPARAM lParam;   // 0: the button
        std::function<void(HWND)> act;
    } ways[] = {
        {"mouse click", WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), 0, [this](HWND b) { Press(b); Release(b); }},
        {"Return", WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), 0,
         [this](HWND b) { Key(WM_KEYDOWN, VK_RETURN, kKeyPress, b); }},
        {"space", WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), 0,
         [this](HWND b) { Key(WM_KEYDOWN, VK_SPACE, kKeyPress, b); Key(WM_KEYUP, VK_SPACE, kKeyRelease, b); }},
        {"command passed on", WM_COMMAND, MAKEWPARAM(55, 3), 0x1234,
         [](HWND b) { SendMessageA(b, WM_COMMAND, MAKEWPARAM(55, 3), 0x1234); }},
        {"notification passed on", WM_NOTIFY, 77, LPARAM(&header),
         [&](HWND b) { SendMessageA(b, WM_NOTIFY, 77, LPARAM(&header)); }},
        {"mid mouse press", 0, 0, 0, [this](HWND b) { Press(b); }},
        {"mid space press", 0, 0, 0, [this](HWND b) { Key(WM_KEYDOWN, VK_SPACE, kKeyPress, b); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        const long atStart = LiveGdiObjects();
        HWND button = CreateTestButton(parent_.Handle(), "Doomed", 1001, 50);
        UpdateWindow(button);
        ASSERT_TRUE(PointAt(button));
        Mouse(WM_MOUSEMOVE, 0, button);  // the hover timer runs
        parentSpy_.Clear();
        FreedRecordTrap trap;
        parentSpy_.handler = [&](UINT message, WPARAM, LPARAM) {
            if (message == way.destroyAt && IsWindow(button)) {
                trap.DestroyButton(button);
            }
        };
        way.act(button);
        if (!way.destroyAt) {
            ASSERT_EQ(Record(button).drawState, 2);
            trap.DestroyButton(button);
            Sleep(50);  // a few hover timer periods
            PumpMessages();
            for (UINT late : {WM_LBUTTONUP, WM_KEYUP, WM_MOUSEMOVE, WM_TIMER}) {
                SendMessageA(button, late, late == WM_KEYUP ? VK_SPACE : 0, 0);
            }
        }
        parentSpy_.handler = nullptr;
        PumpMessages();
        if (way.destroyAt) {
            const ReceivedMessage heard = {way.destroyAt, way.wParam, way.lParam ? way.lParam : LPARAM(button), ""};
            EXPECT_EQ(parentSpy_.Received(way.destroyAt), std::vector<ReceivedMessage>{heard});
        }
        EXPECT_EQ(Clicks(button), way.wParam == MAKEWPARAM(1001, BN_CLICKED) ? 1 : 0);
        EXPECT_FALSE(IsWindow(button));
        EXPECT_NE(GetCapture(), button);
        EXPECT_TRUE(trap.NothingWritten());
        EXPECT_EQ(LiveGdiObjects(), atStart);
    }
}

TEST_F(ButtonBehaviour, ANullFontKeepsTheFontInUseAndTheCallersFontSurvives) {
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    SendMessageA(button_, WM_SETFONT, WPARAM(font), 1);
    SendMessageA(button_, WM_SETFONT, 0, 1);
    EXPECT_EQ(Record().hFont, font);
    DestroyWindow(button_);
    EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    DeleteObject(font);
}

TEST_F(ButtonBehaviour, ABlackOrWhiteFaceSchemeResetsTheProgramsColoursAndOthersKeepThem) {
    const UINT setters[] = {RRBM_SETFACECOLOR, RRBM_SETTEXTCOLOR, RRBM_SETHOTTEXTCOLOR, RRBM_SETPRESSEDTEXTCOLOR};
    const COLORREF chosen[] = {RGB(10, 20, 30), RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3)};
    for (COLORREF face : {RGB(255, 255, 255), RGB(0, 0, 0), RGB(200, 190, 180)}) {
        SCOPED_TRACE(::testing::Message() << "face 0x" << std::hex << face);
        SystemColors scheme;
        scheme.Set(COLOR_BTNFACE, face);
        scheme.Set(COLOR_BTNTEXT, RGB(0, 0, 128));
        for (int i = 0; i < 4; ++i) {
            SendMessageA(button_, setters[i], chosen[i], 0);
        }
        SendMessageA(button_, WM_SYSCOLORCHANGE, 0, 0);
        const bool reset = face != RGB(200, 190, 180);
        const COLORREF now[] = {Record().faceColor, Record().textColor, Record().hotTextColor,
                                Record().pressedTextColor};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(now[i], !reset ? chosen[i] : i == 0 ? face : RGB(0, 0, 128)) << "colour " << i;
        }
    }
}

}  // namespace
