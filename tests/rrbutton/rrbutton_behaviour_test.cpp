// A live round-rect button under the pointer, the left mouse button, the
// keyboard, focus changes and its hover timer. The real pointer is moved
// (every move checked), and the button is sent the messages a user's actions
// produce; the button decides from the pointer's real position.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "rrbutton/gdi_objects.h"
#include "rrbutton/rrbutton.h"
#include "rrbutton/rrbutton_record.h"
#include "tests/rrbutton/button_test_support.h"

using rrb::gdi::LiveGdiObjects;

namespace {

constexpr int kButtonId = 1001;
constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
// Key message lParams: repeat count 1 and a scan code, which the button ignores.
constexpr LPARAM kFirstKeyPress = 0x00390001;
constexpr LPARAM kRepeatedKeyPress = 0x40390001;  // bit 30: the key was already down
constexpr LPARAM kKeyRelease = static_cast<LPARAM>(0xC0390001);

// A point outside the shared test window, where no button of these tests lies.
constexpr POINT kFarAway = {1000, 740};

// Moves the real pointer and checks that it got there.
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

POINT ScreenPoint(HWND window, int x, int y) {
    POINT point = {x, y};
    ClientToScreen(window, &point);
    return point;
}

// Pumps this thread's messages until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 2000) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        PumpMessages();
    }
    return true;
}

class ButtonBehaviour : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(MovePointerTo(kFarAway));
        button_ = CreateTestButton(parent_.Handle());
        ASSERT_NE(button_, nullptr);
        UpdateWindow(button_);
        PumpMessages();
        // A spot of the parent clear of the button.
        away_ = ScreenPoint(parent_.Handle(), 250, 150);
    }
    void TearDown() override {
        if (IsWindow(button_)) {
            DestroyWindow(button_);
        }
        ReleaseCapture();
        MovePointerTo(kFarAway);  // leave no pointer over the buttons of later tests
    }

    RRButtonRecord& Record(HWND button = nullptr) { return *RecordOf(button ? button : button_); }
    POINT Centre(HWND button = nullptr) const {
        RECT client = {};
        GetClientRect(button ? button : button_, &client);
        return ScreenPoint(button ? button : button_, client.right / 2, client.bottom / 2);
    }
    void Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, HWND button = nullptr) {
        SendMessageA(button ? button : button_, message, wParam, lParam);
    }
    // The mouse messages of a user's hand, made where the pointer is.
    void MouseMessage(UINT message, WPARAM keys, HWND button = nullptr) {
        HWND target = button ? button : button_;
        POINT pointer = {};
        GetCursorPos(&pointer);
        ScreenToClient(target, &pointer);
        SendMessageA(target, message, keys, MAKELPARAM(pointer.x, pointer.y));
    }
    void Press(HWND button = nullptr) { MouseMessage(WM_LBUTTONDOWN, MK_LBUTTON, button); }
    void Release(HWND button = nullptr) { MouseMessage(WM_LBUTTONUP, 0, button); }
    void Move(WPARAM keys = 0, HWND button = nullptr) { MouseMessage(WM_MOUSEMOVE, keys, button); }

    int Clicks(HWND button = nullptr) const {
        int clicks = 0;
        for (const ReceivedMessage& command : parentSpy_.Received(WM_COMMAND)) {
            if (command.lParam == reinterpret_cast<LPARAM>(button ? button : button_)) {
                ++clicks;
            }
        }
        return clicks;
    }

    TestParent parent_;
    WindowSpy parentSpy_{parent_.Handle()};
    HWND button_ = nullptr;
    POINT away_ = {};
};

// ---- Mouse ------------------------------------------------------------------

TEST_F(ButtonBehaviour, APressOnACutOffCornerIsNoPressButOneInsideIs) {
    Send(RRBM_SETCORNER, 20, 0);
    ASSERT_FALSE(PtInRegion(Record().hRegion, 0, 0));
    SetFocus(parent_.Handle());

    ASSERT_TRUE(MovePointerTo(ScreenPoint(button_, 0, 0)));
    Press();
    EXPECT_NE(GetCapture(), button_);
    EXPECT_NE(GetFocus(), button_);
    EXPECT_EQ(Record().pressSource, 0);
    EXPECT_EQ(Record().drawState, 0);
    Release();
    EXPECT_EQ(Clicks(), 0);

    ASSERT_TRUE(MovePointerTo(Centre()));
    Press();
    EXPECT_EQ(GetCapture(), button_);
    EXPECT_EQ(GetFocus(), button_);
    EXPECT_EQ(Record().pressSource, 1);
    EXPECT_EQ(Record().drawState, 2);  // pressed, even though taking the focus reset the look
    Release();
    EXPECT_EQ(GetCapture(), nullptr);
    ASSERT_EQ(Clicks(), 1);
    const ReceivedMessage click = parentSpy_.Received(WM_COMMAND)[0];
    EXPECT_EQ(click.wParam, MAKEWPARAM(kButtonId, BN_CLICKED));
    EXPECT_EQ(Record().drawState, 1);  // hot: the pointer is still over it
    EXPECT_EQ(Record().pressSource, 0);
}

TEST_F(ButtonBehaviour, PressLeaveComeBackReleaseClicksOnce) {
    ASSERT_TRUE(MovePointerTo(Centre()));
    Press();
    ASSERT_TRUE(MovePointerTo(away_));
    Move(MK_LBUTTON);
    EXPECT_EQ(Record().drawState, 0);
    EXPECT_EQ(Record().pressSource, 1);
    EXPECT_EQ(GetCapture(), button_);
    ASSERT_TRUE(MovePointerTo(Centre()));
    Move(MK_LBUTTON);
    EXPECT_EQ(Record().drawState, 2);
    Release();
    EXPECT_EQ(Clicks(), 1);
}

TEST_F(ButtonBehaviour, PressLeaveReleaseSendsNothingAndLooksNormal) {
    ASSERT_TRUE(MovePointerTo(Centre()));
    Press();
    ASSERT_TRUE(MovePointerTo(away_));
    Move(MK_LBUTTON);
    Release();
    EXPECT_EQ(Clicks(), 0);
    EXPECT_EQ(Record().drawState, 0);
    EXPECT_EQ(Record().pressSource, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ButtonBehaviour, ADoubleClickIsTwoClicks) {
    ASSERT_TRUE(MovePointerTo(Centre()));
    Press();
    Release();
    MouseMessage(WM_LBUTTONDBLCLK, MK_LBUTTON);
    EXPECT_EQ(Record().drawState, 2);
    Release();
    EXPECT_EQ(Clicks(), 2);
}

TEST_F(ButtonBehaviour, FocusLostDuringAPressCancelsItAndKeepsTheCapture) {
    HWND other = CreateRRButton(parent_.Handle(), 1002, "Other", 10, 50, 75, 23, kStyle, 0, FALSE);
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(MovePointerTo(Centre()));
    Press();
    ASSERT_EQ(GetFocus(), button_);

    SetFocus(other);  // as a parent would, during the press
    EXPECT_EQ(Record().pressSource, 0);
    EXPECT_EQ(Record().drawState, 0);
    EXPECT_EQ(GetCapture(), button_);
    Move(MK_LBUTTON);
    Release();
    EXPECT_EQ(Clicks(), 0);
    EXPECT_EQ(GetCapture(), nullptr);
    DestroyWindow(other);
}

TEST_F(ButtonBehaviour, TheHotLookEndsWithinAFewTicksAfterThePointerLeaves) {
    ASSERT_TRUE(MovePointerTo(Centre()));
    Move();
    EXPECT_EQ(Record().drawState, 1);
    ASSERT_NE(Record().hoverTimer, 0u);

    // Leaving the window without a capture sends the button no move: only the
    // timer can notice.
    ASSERT_TRUE(MovePointerTo(away_));
    EXPECT_TRUE(PumpUntil([&] { return Record().drawState == 0 && Record().hoverTimer == 0; }))
        << "drawState " << Record().drawState << ", hoverTimer " << Record().hoverTimer;
    EXPECT_FALSE(KillTimer(button_, kButtonId)) << "the hover timer still runs";
}

TEST_F(ButtonBehaviour, ALinkButtonIsNeverHotButRepaintsAtEveryMoveAndClicks) {
    HWND link = MakeRRButtonURL(parent_.Handle(), 1003, "Link", 10, 50, 75, 23, kStyle, 0, "", "", "", FALSE);
    ASSERT_NE(link, nullptr);
    UpdateWindow(link);
    WindowSpy linkSpy(link);
    ASSERT_TRUE(MovePointerTo(Centre(link)));
    linkSpy.Clear();
    for (int move = 0; move < 3; ++move) {
        Move(0, link);
    }
    EXPECT_EQ(Record(link).drawState, 0);
    EXPECT_EQ(Record(link).hoverTimer, 0u);
    EXPECT_EQ(linkSpy.Count(WM_PAINT), 3);

    Press(link);
    EXPECT_EQ(Record(link).drawState, 2);
    EXPECT_EQ(GetFocus(), link);
    Release(link);
    EXPECT_EQ(Record(link).drawState, 0);
    EXPECT_EQ(Clicks(link), 1);
    DestroyWindow(link);
}

TEST_F(ButtonBehaviour, APassiveButtonOnlyCapturesTheMouseAndKeepsItsLook) {
    Send(RRBM_SETFIXEDLOOK, 3, 0);  // pressed look, passive
    SetFocus(parent_.Handle());
    ASSERT_TRUE(MovePointerTo(Centre()));
    Move();
    Press();
    EXPECT_EQ(GetCapture(), button_);
    EXPECT_NE(GetFocus(), button_);
    EXPECT_EQ(Record().drawState, 2);
    EXPECT_EQ(Record().pressSource, 0);
    EXPECT_EQ(Record().hoverTimer, 0u);
    Release();
    EXPECT_EQ(GetCapture(), nullptr);
    Send(WM_KEYDOWN, VK_RETURN, kFirstKeyPress);
    EXPECT_EQ(Clicks(), 0);
    EXPECT_EQ(Record().drawState, 2);
}

// ---- Keyboard ---------------------------------------------------------------

TEST_F(ButtonBehaviour, SpaceDownThenAnyKeyUpClicksOnce) {
    Send(WM_KEYDOWN, VK_SPACE, kFirstKeyPress);
    EXPECT_EQ(Record().drawState, 2);
    EXPECT_EQ(Record().pressSource, 2);
    Send(WM_KEYDOWN, VK_RETURN, kFirstKeyPress);  // ignored during the press
    EXPECT_EQ(Clicks(), 0);
    Send(WM_KEYUP, 'A', kKeyRelease);
    EXPECT_EQ(Clicks(), 1);
    EXPECT_EQ(Record().drawState, 0);
    EXPECT_EQ(Record().pressSource, 0);
    Send(WM_KEYUP, VK_SPACE, kKeyRelease);
    EXPECT_EQ(Clicks(), 1);
}

TEST_F(ButtonBehaviour, AHeldReturnKeyClicksAtEveryRepeatEvenWhenDisabled) {
    Send(WM_KEYDOWN, VK_RETURN, kFirstKeyPress);
    for (int repeat = 0; repeat < 4; ++repeat) {
        Send(WM_KEYDOWN, VK_RETURN, kRepeatedKeyPress);
    }
    EXPECT_EQ(Clicks(), 5);
    EXPECT_EQ(Record().drawState, 0);

    // Return does not look at the enabled state; a space press does.
    EnableWindow(button_, FALSE);
    Send(WM_KEYDOWN, VK_RETURN, kFirstKeyPress);
    EXPECT_EQ(Clicks(), 6);
    Send(WM_KEYDOWN, VK_SPACE, kFirstKeyPress);
    Send(WM_KEYUP, VK_SPACE, kKeyRelease);
    EXPECT_EQ(Clicks(), 6);
}

TEST_F(ButtonBehaviour, ASpacePressWhoseLookTheTimerEndedSendsNothing) {
    ASSERT_TRUE(MovePointerTo(Centre()));
    Move();
    ASSERT_NE(Record().hoverTimer, 0u);
    Send(WM_KEYDOWN, VK_SPACE, kFirstKeyPress);
    ASSERT_TRUE(MovePointerTo(away_));
    EXPECT_TRUE(PumpUntil([&] { return Record().drawState == 0; }));
    EXPECT_EQ(Record().pressSource, 2);
    Send(WM_KEYUP, VK_SPACE, kKeyRelease);
    EXPECT_EQ(Clicks(), 0);
    EXPECT_EQ(Record().pressSource, 0);
}

TEST_F(ButtonBehaviour, DialogCodesAskForReturnOnlyOnButtonsThatClick) {
    auto answer = [](HWND button, const MSG* message) {
        return SendMessageA(button, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(message));
    };
    MSG returnDown = {button_, WM_KEYDOWN, VK_RETURN, kFirstKeyPress, 0, {}};
    MSG returnChar = {button_, WM_CHAR, VK_RETURN, kFirstKeyPress, 0, {}};
    MSG tabDown = {button_, WM_KEYDOWN, VK_TAB, kFirstKeyPress, 0, {}};
    const LRESULT byDefault = DefWindowProcA(button_, WM_GETDLGCODE, 0, 0);

    EXPECT_EQ(answer(button_, nullptr), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    EXPECT_EQ(answer(button_, &returnDown), DLGC_WANTALLKEYS);
    EXPECT_EQ(answer(button_, &returnChar), DLGC_WANTALLKEYS);
    EXPECT_EQ(answer(button_, &tabDown), byDefault);

    Send(RRBM_SETFIXEDLOOK, 1, 0);
    Send(RRBM_SETCLICKABLE, 1, 0);  // a link: still wants Return, but is no push button
    EXPECT_EQ(answer(button_, &returnDown), DLGC_WANTALLKEYS);
    EXPECT_EQ(answer(button_, nullptr), byDefault);
    Send(RRBM_SETCLICKABLE, 0, 0);  // passive
    EXPECT_EQ(answer(button_, &returnDown), byDefault);
}

// ---- Focus ------------------------------------------------------------------

// Sets or clears the Shift key in this thread's keyboard state for a while.
class ShiftHeld {
public:
    explicit ShiftHeld(bool down) {
        GetKeyboardState(saved_);
        BYTE keys[256];
        std::memcpy(keys, saved_, sizeof keys);
        keys[VK_SHIFT] = down ? 0x80 : 0;
        keys[VK_LSHIFT] = keys[VK_SHIFT];
        SetKeyboardState(keys);
    }
    ~ShiftHeld() { SetKeyboardState(saved_); }
    ShiftHeld(const ShiftHeld&) = delete;
    ShiftHeld& operator=(const ShiftHeld&) = delete;

private:
    BYTE saved_[256] = {};
};

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// An empty child dialog filling the parent, so that the dialog manager moves
// the focus with Tab.
HWND CreateChildDialog(HWND parent) {
    alignas(4) WORD words[12] = {};  // DLGTEMPLATE, then no menu, class or title
    DLGTEMPLATE header = {};
    header.style = WS_CHILD | WS_VISIBLE;
    header.cx = 200;
    header.cy = 100;
    std::memcpy(words, &header, sizeof header);
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<DLGTEMPLATE*>(words), parent,
                                      PlainDialogProc, 0);
}

// What IsDialogMessage does with a Tab key press on the focused control.
void PressTab(HWND dialog) {
    MSG tab = {GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {}};
    IsDialogMessageA(dialog, &tab);
}

TEST_F(ButtonBehaviour, APassiveButtonHandsTheFocusOnWithTabAndBackWithShiftTab) {
    HWND dialog = CreateChildDialog(parent_.Handle());
    ASSERT_NE(dialog, nullptr);
    HWND first = CreateWindowExA(0, "BUTTON", "First", kStyle | BS_PUSHBUTTON, 5, 5, 60, 20, dialog,
                                 reinterpret_cast<HMENU>(1010), GetModuleHandleA(nullptr), nullptr);
    HWND passive = CreateRRButton(dialog, 1011, "Passive", 5, 30, 60, 20, kStyle, 0, FALSE);
    HWND last = CreateWindowExA(0, "BUTTON", "Last", kStyle | BS_PUSHBUTTON, 5, 55, 60, 20, dialog,
                                reinterpret_cast<HMENU>(1012), GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(first && passive && last);
    Send(RRBM_SETFIXEDLOOK, 3, 0, passive);
    SetFocus(first);
    ASSERT_EQ(GetFocus(), first);

    {
        ShiftHeld shift(false);
        PressTab(dialog);
    }
    EXPECT_EQ(GetFocus(), last);
    EXPECT_EQ(Record(passive).drawState, 0);  // gaining the focus ended the fixed pressed look
    {
        ShiftHeld shift(true);
        PressTab(dialog);
    }
    EXPECT_EQ(GetFocus(), first);
    DestroyWindow(dialog);
}

TEST_F(ButtonBehaviour, PassiveButtonsThatAreTheOnlyTabStopsKeepTheFocusWhereItIs) {
    for (int count : {2, 3}) {
        SCOPED_TRACE(::testing::Message() << count << " passive buttons");
        TestParent parent;
        std::vector<HWND> buttons;
        for (int i = 0; i < count; ++i) {
            HWND button = CreateRRButton(parent.Handle(), 1001 + i, "Passive", 10, 10 + 30 * i, 75, 23, kStyle, 0,
                                         FALSE);
            ASSERT_NE(button, nullptr);
            SendMessageA(button, RRBM_SETFIXEDLOOK, 2, 0);
            buttons.push_back(button);
        }
        for (bool shiftDown : {false, true}) {
            ShiftHeld shift(shiftDown);
            SetFocus(buttons[1]);
            EXPECT_EQ(GetFocus(), buttons[1]);
            EXPECT_EQ(Record(buttons[1]).drawState, 0);
        }
    }
}

// ---- A parent that destroys the button in its click handler ------------------

// Destroys the button when the parent hears a message while the button lives
// (its click command, or a command or notification it passes on), and
// springs a trap on the memory of its record.
class DestroyWhenParentHears {
public:
    DestroyWhenParentHears(WindowSpy& parentSpy, HWND button, UINT message)
        : parentSpy_(parentSpy), message_(message) {
        parentSpy.On(message, [this, button](WPARAM, LPARAM) {
            if (IsWindow(button)) {
                const void* record = RecordOf(button);
                DestroyWindow(button);
                trap_.Spring(record);
            }
        });
    }
    ~DestroyWhenParentHears() { parentSpy_.On(message_, nullptr); }
    DestroyWhenParentHears(const DestroyWhenParentHears&) = delete;
    DestroyWhenParentHears& operator=(const DestroyWhenParentHears&) = delete;

    const FreedRecordTrap& Trap() const { return trap_; }

private:
    WindowSpy& parentSpy_;
    UINT message_;
    FreedRecordTrap trap_;
};

::testing::AssertionResult NothingWrittenAfterFreeing(const FreedRecordTrap& trap) {
    if (!trap.Sprung()) {
        return ::testing::AssertionFailure() << "the button was not destroyed";
    }
    if (!trap.Untouched()) {
        return ::testing::AssertionFailure() << "the destroyed button wrote to its freed record";
    }
    if (!trap.HoldsFreedRecord()) {
        std::printf("note: the heap did not hand out the freed record again; the write check is weaker\n");
    }
    return ::testing::AssertionSuccess();
}

TEST_F(ButtonBehaviour, AParentThatDestroysTheButtonInItsClickHandlerIsSafe) {
    enum class Path { MouseRelease, ReturnKey, SpaceKeyUp };
    for (Path path : {Path::MouseRelease, Path::ReturnKey, Path::SpaceKeyUp}) {
        SCOPED_TRACE(::testing::Message() << "path " << static_cast<int>(path));
        HWND button = CreateRRButton(parent_.Handle(), 1004, "Doomed", 10, 50, 75, 23, kStyle, 0, FALSE);
        ASSERT_NE(button, nullptr);
        DestroyWhenParentHears destroyer(parentSpy_, button, WM_COMMAND);
        switch (path) {
        case Path::MouseRelease:
            ASSERT_TRUE(MovePointerTo(Centre(button)));
            Press(button);
            Release(button);
            break;
        case Path::ReturnKey:
            Send(WM_KEYDOWN, VK_RETURN, kFirstKeyPress, button);
            break;
        case Path::SpaceKeyUp:
            Send(WM_KEYDOWN, VK_SPACE, kFirstKeyPress, button);
            Send(WM_KEYUP, VK_SPACE, kKeyRelease, button);
            break;
        }
        EXPECT_EQ(Clicks(button), 1);
        EXPECT_FALSE(IsWindow(button));
        EXPECT_TRUE(NothingWrittenAfterFreeing(destroyer.Trap()));
    }
}

TEST_F(ButtonBehaviour, AParentThatDestroysTheButtonWhileHandlingWhatItPassesOnIsSafe) {
    for (UINT passedOn : {WM_COMMAND, WM_NOTIFY}) {
        SCOPED_TRACE(::testing::Message() << "message 0x" << std::hex << passedOn);
        const long atStart = LiveGdiObjects();
        HWND button = CreateRRButton(parent_.Handle(), 1004, "Doomed", 10, 50, 75, 23, kStyle, 0, FALSE);
        ASSERT_NE(button, nullptr);
        UpdateWindow(button);
        parentSpy_.Clear();
        DestroyWhenParentHears destroyer(parentSpy_, button, passedOn);
        NMHDR header = {button, 77, 1234};
        const LPARAM lParam = passedOn == WM_NOTIFY ? reinterpret_cast<LPARAM>(&header) : 0;
        EXPECT_EQ(SendMessageA(button, passedOn, MAKEWPARAM(55, 3), lParam), 0);
        EXPECT_EQ(parentSpy_.Count(passedOn), 1);
        EXPECT_FALSE(IsWindow(button));
        EXPECT_TRUE(NothingWrittenAfterFreeing(destroyer.Trap()));
        EXPECT_EQ(LiveGdiObjects(), atStart);
    }
}

// The press of the mouse button or the space key (with the hover timer
// running) is never finished: the button is destroyed first, and what ends
// the press then reaches a window that is gone.
TEST_F(ButtonBehaviour, AButtonDestroyedInTheMiddleOfAPressTouchesNothingAfterwards) {
    enum class Source { Mouse, SpaceKey };
    for (Source source : {Source::Mouse, Source::SpaceKey}) {
        SCOPED_TRACE(::testing::Message() << "press source " << static_cast<int>(source));
        const long atStart = LiveGdiObjects();
        HWND button = CreateRRButton(parent_.Handle(), 1004, "Doomed", 10, 50, 75, 23, kStyle, 0, FALSE);
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(MovePointerTo(Centre(button)));
        Move(0, button);
        ASSERT_NE(Record(button).hoverTimer, 0u);
        if (source == Source::Mouse) {
            Press(button);
            ASSERT_EQ(GetCapture(), button);
        } else {
            Send(WM_KEYDOWN, VK_SPACE, kFirstKeyPress, button);
        }
        ASSERT_EQ(Record(button).drawState, 2);
        const void* record = RecordOf(button);
        DestroyWindow(button);
        FreedRecordTrap trap;
        trap.Spring(record);

        EXPECT_NE(GetCapture(), button);
        Sleep(50);  // a few hover timer periods
        PumpMessages();
        for (UINT late : {UINT{WM_LBUTTONUP}, UINT{WM_KEYUP}, UINT{WM_MOUSEMOVE}, UINT{WM_TIMER}, UINT{RRBM_REDRAW}}) {
            EXPECT_EQ(SendMessageA(button, late, late == WM_KEYUP ? VK_SPACE : 0, 0), 0);
        }
        PumpMessages();
        EXPECT_EQ(Clicks(button), 0);
        EXPECT_TRUE(NothingWrittenAfterFreeing(trap));
        EXPECT_EQ(LiveGdiObjects(), atStart);
    }
}

// ---- Messages passed on, fonts and system colours ---------------------------

TEST_F(ButtonBehaviour, CommandsAndNotificationsGoOnToTheParentUnchanged) {
    NMHDR header = {button_, 77, 1234};
    Send(WM_COMMAND, MAKEWPARAM(55, 3), 0x1234);
    Send(WM_NOTIFY, 77, reinterpret_cast<LPARAM>(&header));
    const std::vector<ReceivedMessage> commands = parentSpy_.Received(WM_COMMAND);
    const std::vector<ReceivedMessage> notes = parentSpy_.Received(WM_NOTIFY);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, MAKEWPARAM(55, 3));
    EXPECT_EQ(commands[0].lParam, 0x1234);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].wParam, 77u);
    EXPECT_EQ(notes[0].lParam, reinterpret_cast<LPARAM>(&header));
}

TEST_F(ButtonBehaviour, ANullFontKeepsTheFontInUse) {
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    ASSERT_NE(font, nullptr);
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), 1);
    EXPECT_EQ(Record().hFont, font);
    Send(WM_SETFONT, 0, 1);
    EXPECT_EQ(Record().hFont, font);
    DestroyWindow(button_);
    DeleteObject(font);
}

// Sets the system face and text colours for a while.
class SystemColors {
public:
    SystemColors(COLORREF face, COLORREF text)
        : savedFace_(GetSysColor(COLOR_BTNFACE)), savedText_(GetSysColor(COLOR_BTNTEXT)) {
        Set(face, text);
    }
    ~SystemColors() { Set(savedFace_, savedText_); }
    SystemColors(const SystemColors&) = delete;
    SystemColors& operator=(const SystemColors&) = delete;

private:
    static void Set(COLORREF face, COLORREF text) {
        const INT elements[] = {COLOR_BTNFACE, COLOR_BTNTEXT};
        const COLORREF values[] = {face, text};
        SetSysColors(2, elements, values);
    }
    COLORREF savedFace_;
    COLORREF savedText_;
};

TEST_F(ButtonBehaviour, ABlackOrWhiteFaceSchemeResetsTheProgramsColoursAndOthersKeepThem) {
    auto setProgramColors = [&] {
        Send(RRBM_SETFACECOLOR, RGB(10, 20, 30), 0);
        Send(RRBM_SETTEXTCOLOR, RGB(1, 1, 1), 0);
        Send(RRBM_SETHOTTEXTCOLOR, RGB(2, 2, 2), 0);
        Send(RRBM_SETPRESSEDTEXTCOLOR, RGB(3, 3, 3), 0);
    };
    for (COLORREF face : {RGB(255, 255, 255), RGB(0, 0, 0)}) {
        SCOPED_TRACE(::testing::Message() << "face 0x" << std::hex << face);
        SystemColors scheme(face, RGB(0, 0, 128));
        ASSERT_EQ(GetSysColor(COLOR_BTNFACE), face);
        setProgramColors();
        Send(WM_SYSCOLORCHANGE);
        EXPECT_EQ(Record().faceColor, face);
        EXPECT_EQ(Record().textColor, RGB(0, 0, 128));
        EXPECT_EQ(Record().hotTextColor, RGB(0, 0, 128));
        EXPECT_EQ(Record().pressedTextColor, RGB(0, 0, 128));
    }
    {
        SystemColors scheme(RGB(200, 190, 180), RGB(0, 0, 128));
        ASSERT_EQ(GetSysColor(COLOR_BTNFACE), RGB(200, 190, 180));
        setProgramColors();
        Send(WM_SYSCOLORCHANGE);
        EXPECT_EQ(Record().faceColor, RGB(10, 20, 30));
        EXPECT_EQ(Record().textColor, RGB(1, 1, 1));
        EXPECT_EQ(Record().hotTextColor, RGB(2, 2, 2));
        EXPECT_EQ(Record().pressedTextColor, RGB(3, 3, 3));
    }
}

}  // namespace
