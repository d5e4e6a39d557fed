// The dialog layer on real windows. Sizes are never taken as known pixel
// values: they are converted with the dialog's own MapDialogRect.
#include "shell/dialog/dialog_layer.h"

#include "tests/support/modal_loop_actions.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr char TestCaption[] = "Dialog layer test";
constexpr char BoxCaption[] = "Dialog layer box";
constexpr int BoxId = 1001;
constexpr int ButtonId = 1003;
constexpr int OtherButtonId = 1004;
constexpr int ThirdButtonId = 1005;
constexpr UINT PingMessage = WM_APP + 1;   // noted, nothing else
constexpr UINT CloseRequest = WM_APP + 2;  // the recording callback closes its dialog with wParam
constexpr DWORD PlainStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;

// One call of a callback, with what the dialog looked like then.
struct Seen {
    const char* by;  // "dialog", "control", or a test's own mark
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool visible;
    RECT client;
};

std::vector<Seen> Log;
std::vector<HWND> Made;  // every dialog a test makes, destroyed in TearDown if left over
bool RefuseSysCommand = false;
std::string TextAtClose;

void Note(const char* by, HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    RECT client{};
    GetClientRect(window, &client);
    Log.push_back({by, window, message, wParam, lParam, IsWindowVisible(window) != FALSE, client});
}

// Index of the first entry noted by `by` for `window` with `message`, or -1.
int Find(const char* by, HWND window, UINT message, LPARAM lParam = -1)
{
    for (size_t i = 0; i < Log.size(); ++i) {
        const Seen& seen = Log[i];
        if (std::string(seen.by) == by && seen.window == window && seen.message == message &&
            (lParam == -1 || seen.lParam == lParam))
            return static_cast<int>(i);
    }
    return -1;
}

INT_PTR RecordingCallback(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    Note("dialog", dialog, message, wParam, lParam);
    if (message == CloseRequest) {
        TextAtClose = GetControlText(dialog, BoxId);
        CloseDialog(dialog, static_cast<INT_PTR>(wParam));
        return 1;
    }
    return message == WM_SYSCOMMAND && RefuseSysCommand ? 1 : 0;
}

INT_PTR HandlingControlCallback(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    Note("control", dialog, message, wParam, lParam);
    return 1;
}

INT_PTR PassingControlCallback(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    Note("control", dialog, message, wParam, lParam);
    return 0;
}

HWND MakeDialog(DWORD style = PlainStyle, DWORD exStyle = 0, HWND owner = nullptr, const char* caption = TestCaption)
{
    const HWND dialog = NewDialog(owner, caption, 40, 30, 120, 80, style, exStyle);
    Made.push_back(dialog);
    return dialog;
}

RECT Units(HWND dialog, int left, int top, int right, int bottom)
{
    RECT rect{left, top, right, bottom};
    EXPECT_TRUE(MapDialogRect(dialog, &rect));
    return rect;
}

RECT RectInParent(HWND control)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Runs the dialog modally; a run that hangs is ended by a watchdog and fails.
INT_PTR RunModal(HWND dialog, DialogCallback callback)
{
    ModalWatchdog watchdog(dialog);
    const INT_PTR result = ShowDialogModal(dialog, callback);
    EXPECT_FALSE(watchdog.Fired()) << "the modal run did not end by itself";
    EXPECT_FALSE(IsWindow(dialog)) << "the modal run returned while its dialog lives";
    return result;
}

void Click(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

class DialogLayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        Log.clear();
        RefuseSysCommand = false;
        TextAtClose.clear();
    }
    void TearDown() override
    {
        for (HWND dialog : Made) {
            if (IsWindow(dialog))
                DestroyWindow(dialog);
        }
        Made.clear();
    }
};

TEST_F(DialogLayer, NewDialogIsHiddenCaptionedAndLaidOutInUnitsOfItsFont)
{
    const HWND dialog = MakeDialog(0x16CF0054, 0x00010008);  // the main window's styles, WS_VISIBLE included
    ASSERT_TRUE(IsWindow(dialog));
    EXPECT_FALSE(IsWindowVisible(dialog));
    const DWORD style = GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_EQ(static_cast<DWORD>(WS_OVERLAPPEDWINDOW), style & WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(static_cast<DWORD>(WS_EX_TOPMOST | WS_EX_CONTROLPARENT),
              GetWindowLongA(dialog, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_CONTROLPARENT));
    char caption[64] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    EXPECT_STREQ(TestCaption, caption);

    RECT client{};
    GetClientRect(dialog, &client);
    const RECT size = Units(dialog, 0, 0, 120, 80);
    EXPECT_EQ(size.right, client.right);
    EXPECT_EQ(size.bottom, client.bottom);
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    const RECT position = Units(dialog, 40, 30, 40, 30);
    EXPECT_EQ(position.left, origin.x);
    EXPECT_EQ(position.top, origin.y);

    // The template's font: 8-point "MS Sans Serif", and the face really found.
    const auto font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    LOGFONTA logFont{};
    ASSERT_TRUE(GetObjectA(font, sizeof logFont, &logFont));
    EXPECT_STREQ("MS Sans Serif", logFont.lfFaceName);
    const HDC dc = GetDC(dialog);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    EXPECT_EQ(-MulDiv(8, dpi, 72), logFont.lfHeight);
    const HGDIOBJ previous = SelectObject(dc, font);
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, sizeof face, face);
    SelectObject(dc, previous);
    ReleaseDC(dialog, dc);
    EXPECT_STREQ("MS Sans Serif", face) << "the prefix lacks the dialog fonts";
    if (dpi == 96) {  // the known base units of this font at 96 dpi: 6 x 13
        const RECT scale = Units(dialog, 0, 0, 1024, 1024);
        EXPECT_EQ(1536, scale.right);
        EXPECT_EQ(1664, scale.bottom);
    }
}

TEST_F(DialogLayer, ControlsGetTheirKindsStylesPlaceAndTheDialogFont)
{
    const HWND dialog = MakeDialog();
    struct Case {
        ControlKind kind;
        DWORD style, exStyle;
        const char* className;
        DWORD expectedStyle, expectedExStyle;
    };
    const Case cases[] = {
        {ControlKind::TextBox, 0, 0, "Edit", 0x50010080, WS_EX_CLIENTEDGE},
        {ControlKind::CheckBox, 0, 0, "Button", 0x50010003, 0},
        {ControlKind::GroupBox, 0, 0, "Button", 0x50000007, 0},
        {ControlKind::Label, SS_CENTER, 0, "Static", 0x50000001, 0},
        {ControlKind::PushButton, 0, 0, "Button", 0x50010000, 0},
        {ControlKind::TextBox, 0x50311084, WS_EX_CLIENTEDGE, "Edit", 0x50311084, WS_EX_CLIENTEDGE},
        {ControlKind::TextBox, WS_BORDER | ES_LEFT, 0, "Edit", 0x50000000, WS_EX_CLIENTEDGE},
    };
    const auto dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    int id = 1100;
    for (const Case& c : cases) {
        const int x = 5 + id % 7, y = 3 + id % 5;
        const HWND control = AddControl(c.kind, dialog, id, "Text", x, y, 47, 12, c.style, c.exStyle);
        ASSERT_TRUE(control) << id;
        EXPECT_EQ(control, GetDlgItem(dialog, id));
        EXPECT_TRUE(_stricmp(c.className, ClassOf(control).c_str()) == 0) << ClassOf(control);
        EXPECT_EQ(c.expectedStyle, static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE))) << id;
        EXPECT_EQ(c.expectedExStyle, GetWindowLongA(control, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY) << id;
        EXPECT_EQ(dialogFont, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
        const RECT expected = Units(dialog, x, y, x + 47, y + 12);
        const RECT placed = RectInParent(control);
        EXPECT_TRUE(EqualRect(&expected, &placed)) << id;
        ++id;
    }
    AddControl(ControlKind::PushButton, dialog, ButtonId, "OK", 5, 60, 40, 14, BS_DEFPUSHBUTTON, 0);
    EXPECT_EQ(MAKELONG(ButtonId, DC_HASDEFID), SendMessageA(dialog, DM_GETDEFID, 0, 0));
}

TEST_F(DialogLayer, UnitConversionsRoundWithTheDialogsOwnScale)
{
    const HWND dialog = MakeDialog();
    const RECT scale = Units(dialog, 0, 0, 1024, 1024);
    ASSERT_GT(scale.right, 0);
    for (int pixels = 0; pixels <= 400; ++pixels) {
        const POINT units = PixelsToUnits(dialog, pixels, pixels);
        ASSERT_EQ(static_cast<int>(std::floor(pixels * 1024.0 / scale.right + 0.5)), units.x) << pixels;
        ASSERT_EQ(static_cast<int>(std::floor(pixels * 1024.0 / scale.bottom + 0.5)), units.y) << pixels;
    }
    if (scale.right == 1536) {
        EXPECT_EQ(155, PixelsToUnits(dialog, 232, 0).x);  // 154.67
        EXPECT_EQ(154, PixelsToUnits(dialog, 231, 0).x);  // 154.0
    }
    const RECT mapped = Units(dialog, 0, 0, 155, 135);
    const POINT pixels = UnitsToPixels(dialog, 155, 135);
    EXPECT_EQ(mapped.right, pixels.x);
    EXPECT_EQ(mapped.bottom, pixels.y);

    const POINT noDialog = PixelsToUnits(nullptr, 232, 232);
    EXPECT_EQ(0, noDialog.x);
    EXPECT_EQ(0, noDialog.y);
    EXPECT_EQ(0, UnitsToPixels(nullptr, 155, 135).x);
}

WNDPROC PlainEditProc = nullptr;
bool TextGrown = false;

// Answers the text length, then lets the text grow before it is read.
LRESULT CALLBACK GrowingEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETTEXTLENGTH && !TextGrown) {
        TextGrown = true;
        const LRESULT length = CallWindowProcA(PlainEditProc, window, message, wParam, lParam);
        CallWindowProcA(PlainEditProc, window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("short and then longer"));
        return length;
    }
    return CallWindowProcA(PlainEditProc, window, message, wParam, lParam);
}

TEST_F(DialogLayer, ControlAccessorsReadWriteAndResize)
{
    const HWND dialog = MakeDialog();
    AddControl(ControlKind::Label, dialog, BoxId, "", 19, 18, 60, 12, 0, 0);
    AddControl(ControlKind::CheckBox, dialog, ButtonId, "Check", 19, 42, 60, 12, 0, 0);

    std::string longText(100000, 'a');
    for (size_t i = 0; i < longText.size(); i += 7)
        longText[i] = static_cast<char>('A' + i % 26);
    SetControlText(dialog, BoxId, longText);
    EXPECT_EQ(longText, GetControlText(dialog, BoxId));
    SetControlText(dialog, BoxId, "");
    EXPECT_EQ("", GetControlText(dialog, BoxId));

    EXPECT_EQ(0, GetControlCheck(dialog, ButtonId));
    SendMessageA(GetDlgItem(dialog, ButtonId), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(1, GetControlCheck(dialog, ButtonId));

    POINT location = GetControlLocation(dialog, ButtonId);
    EXPECT_EQ(19, location.x);
    EXPECT_EQ(42, location.y);
    SetControlSize(dialog, ButtonId, 90, 20);
    const RECT resized = RectInParent(GetDlgItem(dialog, ButtonId));
    const RECT expected = Units(dialog, 19, 42, 19 + 90, 42 + 20);
    EXPECT_EQ(expected.right - expected.left, resized.right - resized.left);
    EXPECT_EQ(expected.bottom - expected.top, resized.bottom - resized.top);
    location = GetControlLocation(dialog, ButtonId);
    EXPECT_EQ(42, location.y);

    EXPECT_EQ("", GetControlText(dialog, 4242));
    EXPECT_EQ(0, GetControlCheck(dialog, 4242));
    EXPECT_EQ(0, GetControlLocation(dialog, 4242).x);

    const HWND edit = AddControl(ControlKind::TextBox, dialog, OtherButtonId, "short", 19, 60, 60, 12, 0, 0);
    PlainEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GrowingEditProc)));
    TextGrown = false;
    EXPECT_EQ("short and then longer", GetControlText(dialog, OtherButtonId));
    EXPECT_TRUE(TextGrown);
}

TEST_F(DialogLayer, ModalRunPreparesTheCallbackBeforeTheDialogIsSeen)
{
    struct Case {
        DWORD style;
        WPARAM sizeType;
    };
    const Case cases[] = {{PlainStyle, SIZE_RESTORED},
                          {WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, SIZE_MAXIMIZED},
                          {WS_OVERLAPPEDWINDOW | WS_MINIMIZE, SIZE_MINIMIZED}};
    for (const Case& c : cases) {
        Log.clear();
        const HWND dialog = MakeDialog(c.style);
        bool visible = false, zoomed = false, iconic = false;
        RunFromLoop([&] {
            visible = IsWindowVisible(dialog);
            zoomed = IsZoomed(dialog);
            iconic = IsIconic(dialog);
            PostMessageA(dialog, CloseRequest, 17, 0);
        });
        EXPECT_EQ(17, RunModal(dialog, RecordingCallback));

        ASSERT_GE(Log.size(), 2u);
        EXPECT_EQ(static_cast<UINT>(WM_INITDIALOG), Log[0].message);
        EXPECT_EQ(reinterpret_cast<WPARAM>(dialog), Log[0].wParam);
        EXPECT_FALSE(Log[0].visible);
        EXPECT_EQ(static_cast<UINT>(WM_SIZE), Log[1].message);
        EXPECT_EQ(c.sizeType, Log[1].wParam);
        EXPECT_EQ(MAKELPARAM(Log[1].client.right, Log[1].client.bottom), Log[1].lParam);
        EXPECT_FALSE(Log[1].visible);
        EXPECT_TRUE(visible);
        EXPECT_EQ(c.sizeType == SIZE_MAXIMIZED, zoomed);
        EXPECT_EQ(c.sizeType == SIZE_MINIMIZED, iconic);
        // Closing: the callback sees WM_CLOSE first and the destruction last.
        const int closeSeen = Find("dialog", dialog, WM_CLOSE);
        EXPECT_GT(closeSeen, Find("dialog", dialog, CloseRequest));
        EXPECT_LT(closeSeen, Find("dialog", dialog, WM_DESTROY));
        EXPECT_EQ(static_cast<UINT>(WM_NCDESTROY), Log.back().message);
    }
}

TEST_F(DialogLayer, CloseCommandEndsTheDialogUnlessTheCallbackTakesIt)
{
    HWND dialog = MakeDialog();
    RunFromLoop([&] { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_EQ(0, RunModal(dialog, nullptr));

    // The low four bits of the command carry how it was chosen.
    dialog = MakeDialog();
    RunFromLoop([&] { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE | 3, 0); });
    EXPECT_EQ(0, RunModal(dialog, RecordingCallback));
    EXPECT_GE(Find("dialog", dialog, WM_SYSCOMMAND), 0);

    RefuseSysCommand = true;
    dialog = MakeDialog();
    RunFromLoop([&] {
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        PostMessageA(dialog, CloseRequest, 9, 0);
    });
    EXPECT_EQ(9, RunModal(dialog, RecordingCallback));
    EXPECT_LT(Find("dialog", dialog, WM_SYSCOMMAND), Find("dialog", dialog, CloseRequest));
}

TEST_F(DialogLayer, ClosingReEnablesTheOwnerTheModalRunDisabled)
{
    const HWND owner = MakeDialog();
    const HWND dialog = MakeDialog(PlainStyle, 0, owner);
    EXPECT_EQ(owner, GetWindow(dialog, GW_OWNER));
    bool ownerEnabledWhileRunning = true;
    RunFromLoop([&] {
        ownerEnabledWhileRunning = IsWindowEnabled(owner);
        CloseDialog(dialog, 4);
    });
    EXPECT_EQ(4, RunModal(dialog, nullptr));
    EXPECT_FALSE(ownerEnabledWhileRunning);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(DialogLayer, ControlCallbacksGoFirstAndOnlyForTheirOwnControl)
{
    const HWND dialog = MakeDialog();
    const HWND handling = AddControl(ControlKind::PushButton, dialog, ButtonId, "A", 5, 5, 40, 14, 0, 0,
                                     HandlingControlCallback);
    const HWND passing = AddControl(ControlKind::PushButton, dialog, OtherButtonId, "B", 5, 25, 40, 14, 0, 0,
                                    PassingControlCallback);
    const HWND plain = AddControl(ControlKind::PushButton, dialog, ThirdButtonId, "C", 5, 45, 40, 14, 0, 0);
    RunFromLoop([&] {
        Click(dialog, ButtonId);
        Click(dialog, OtherButtonId);
        Click(dialog, ThirdButtonId);
        SendMessageA(dialog, WM_HSCROLL, SB_LINERIGHT, reinterpret_cast<LPARAM>(passing));
        PostMessageA(dialog, CloseRequest, 1, 0);
    });
    EXPECT_EQ(1, RunModal(dialog, RecordingCallback));

    const LPARAM a = reinterpret_cast<LPARAM>(handling), b = reinterpret_cast<LPARAM>(passing),
                 c = reinterpret_cast<LPARAM>(plain);
    const int aByControl = Find("control", dialog, WM_COMMAND, a);
    ASSERT_GE(aByControl, 0);
    EXPECT_EQ(MAKEWPARAM(ButtonId, BN_CLICKED), Log[aByControl].wParam);
    EXPECT_EQ(-1, Find("dialog", dialog, WM_COMMAND, a));  // handled: the dialog never saw it
    EXPECT_LT(Find("control", dialog, WM_COMMAND, b), Find("dialog", dialog, WM_COMMAND, b));
    EXPECT_LT(Find("control", dialog, WM_HSCROLL, b), Find("dialog", dialog, WM_HSCROLL, b));
    EXPECT_EQ(-1, Find("control", dialog, WM_COMMAND, c));
    EXPECT_GE(Find("dialog", dialog, WM_COMMAND, c), 0);
}

INT_PTR OpenInnerCallback(HWND outer, UINT message, WPARAM wParam, LPARAM lParam)
{
    Note("control", outer, message, wParam, lParam);
    const HWND inner = MakeDialog(PlainStyle, 0, nullptr, "Inner");
    RunFromLoop([outer, inner] {
        PostMessageA(outer, PingMessage, 0, 0);  // reaches the outer dialog from the inner loop
        RunFromLoop([inner] { CloseDialog(inner, 5); }, 20);
    });
    const INT_PTR result = ShowDialogModal(inner, RecordingCallback);
    Note("inner returned", outer, 0, static_cast<WPARAM>(result));
    PostMessageA(outer, CloseRequest, 6, 0);
    return 1;
}

TEST_F(DialogLayer, ModalDialogsNestAndTheOuterResumesAfterTheInnerCloses)
{
    const HWND outer = MakeDialog();
    AddControl(ControlKind::PushButton, outer, ButtonId, "Open", 5, 5, 40, 14, 0, 0, OpenInnerCallback);
    RunFromLoop([&] { Click(outer, ButtonId); });
    EXPECT_EQ(6, RunModal(outer, RecordingCallback));

    const HWND inner = Made.back();
    EXPECT_FALSE(IsWindow(inner));
    const int pinged = Find("dialog", outer, PingMessage);
    const int innerGone = Find("dialog", inner, WM_NCDESTROY);
    const int resumed = Find("inner returned", outer, 0);
    ASSERT_GE(pinged, 0);
    EXPECT_LT(Find("dialog", inner, WM_INITDIALOG), pinged);
    EXPECT_LT(pinged, innerGone);
    EXPECT_LT(innerGone, resumed);
    EXPECT_EQ(5u, Log[resumed].wParam);
    EXPECT_LT(resumed, Find("dialog", outer, CloseRequest));
}

// The Exit button ends its own dialog from inside its callback and leaves the
// command unhandled, so the layer goes on with a dialog that is gone.
INT_PTR ExitControlCallback(HWND dialog, UINT, WPARAM, LPARAM)
{
    CloseDialog(dialog, 8);
    return 0;
}

// Like the program's main window: a ping opens a nested dialog from inside
// the callback, and the main window is ended while that one still runs.
INT_PTR MainCallback(HWND main, UINT message, WPARAM wParam, LPARAM lParam)
{
    Note("dialog", main, message, wParam, lParam);
    if (message != PingMessage)
        return 0;
    const HWND nested = MakeDialog(PlainStyle, 0, nullptr, "Nested");
    RunFromLoop([main, nested] {
        Click(main, ButtonId);
        RunFromLoop([nested] { CloseDialog(nested, 3); }, 20);
    });
    const INT_PTR result = ShowDialogModal(nested, nullptr);
    Note("nested returned", main, IsWindow(main) ? 1 : 0, static_cast<WPARAM>(result));
    return 0;
}

TEST_F(DialogLayer, MainDialogEndedWhileANestedDialogRunsInsideItsCallback)
{
    const HWND main = NewDialog(nullptr, "Main", 0, 0, 155, 135, 0x16CF0054, 0x00010008);
    Made.push_back(main);
    AddControl(ControlKind::PushButton, main, ButtonId, "Exit", 67, 26, 47, 16, 0, 0, ExitControlCallback);
    RunFromLoop([main] { PostMessageA(main, PingMessage, 0, 0); });
    EXPECT_EQ(8, RunModal(main, MainCallback));

    const int mainGone = Find("dialog", main, WM_NCDESTROY);
    const int returned = Find("nested returned", main, 0);  // message 0: main was no window any more
    ASSERT_GE(mainGone, 0);
    EXPECT_EQ(3u, Log[returned].wParam);
    // Once freed, the record led to no callback: not even for the Exit command still being handled.
    EXPECT_EQ(mainGone + 1, returned);
    EXPECT_EQ(Log.size() - 1, static_cast<size_t>(returned));
}

bool BoxHadOwner = true;

void PressOkWhenShown(int triesLeft)
{
    const HWND box = FindThreadDialog(BoxCaption);
    if (!box) {
        if (triesLeft > 0)
            RunFromLoop([triesLeft] { PressOkWhenShown(triesLeft - 1); }, 10);
        return;
    }
    BoxHadOwner = GetWindow(box, GW_OWNER) != nullptr;
    SendMessageA(box, WM_COMMAND, IDOK, 0);
}

INT_PTR MessageBoxCallback(HWND main, UINT message, WPARAM wParam, LPARAM lParam)
{
    Note("dialog", main, message, wParam, lParam);
    if (message != PingMessage)
        return 0;
    RunFromLoop([main] {
        PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        RunFromLoop([] { PressOkWhenShown(500); }, 20);
    });
    const int answer = ShowMessage("Still here", BoxCaption, MB_OK);
    Note("box returned", main, IsWindow(main) ? 1 : 0, static_cast<WPARAM>(answer));
    return 0;
}

TEST_F(DialogLayer, MainDialogEndedWhileAMessageBoxIsOpenInsideItsCallback)
{
    const HWND main = MakeDialog(0x16CF0054, 0x00010008);
    RunFromLoop([main] { PostMessageA(main, PingMessage, 0, 0); });
    EXPECT_EQ(0, RunModal(main, MessageBoxCallback));

    const int mainGone = Find("dialog", main, WM_NCDESTROY);
    const int returned = Find("box returned", main, 0);
    ASSERT_GE(mainGone, 0);
    ASSERT_GT(returned, mainGone);
    EXPECT_EQ(static_cast<WPARAM>(IDOK), Log[returned].wParam);
    EXPECT_FALSE(BoxHadOwner);
}

TEST_F(DialogLayer, IdleLoopWakesForOtherThreadsAndDeliversEachMessageOnce)
{
    const HWND dialog = MakeDialog();
    const HWND box = AddControl(ControlKind::TextBox, dialog, BoxId, "", 5, 5, 60, 12, 0, 0);
    const DWORD loopThread = GetCurrentThreadId();
    // Nothing is queued and no timer runs: only the other thread's input can wake the loop.
    std::thread other([=] {
        Sleep(100);
        SendMessageA(dialog, PingMessage, 1, 0);
        PostThreadMessageA(loopThread, WM_QUIT, 0, 0);  // dispatched like any other message
        PostMessageA(box, WM_CHAR, 'x', 0);
        PostMessageA(dialog, CloseRequest, 12, 0);
    });
    const INT_PTR result = RunModal(dialog, RecordingCallback);
    other.join();
    EXPECT_EQ(12, result);
    EXPECT_EQ(1, std::count_if(Log.begin(), Log.end(), [](const Seen& seen) { return seen.message == PingMessage; }));
    EXPECT_EQ("x", TextAtClose);  // a message the dialog manager delivered is not delivered again
}

HICON IconOf(HWND dialog, WPARAM which)
{
    return reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, which, 0));
}

// The icon's width, or 0 once it has been destroyed.
int IconWidth(HICON icon)
{
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
        return 0;
    BITMAP bitmap{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

TEST_F(DialogLayer, DialogOwnsItsIconsUntilReplacedOrDestroyed)
{
    const HWND dialog = MakeDialog();
    SetDialogIcon(dialog, "ICON1");
    const HICON firstBig = IconOf(dialog, ICON_BIG), firstSmall = IconOf(dialog, ICON_SMALL);
    EXPECT_EQ(32, IconWidth(firstBig));
    EXPECT_EQ(16, IconWidth(firstSmall));

    SetDialogIcon(dialog, "ICON1");
    const HICON big = IconOf(dialog, ICON_BIG), small = IconOf(dialog, ICON_SMALL);
    EXPECT_NE(firstBig, big);
    EXPECT_EQ(32, IconWidth(big));
    EXPECT_EQ(16, IconWidth(small));
    EXPECT_EQ(0, IconWidth(firstBig));  // replaced icons are destroyed
    EXPECT_EQ(0, IconWidth(firstSmall));

    SetDialogIcon(dialog, "NO SUCH ICON");  // nothing loads: the icons stay
    EXPECT_EQ(big, IconOf(dialog, ICON_BIG));
    EXPECT_EQ(32, IconWidth(big));

    DestroyWindow(dialog);
    EXPECT_EQ(0, IconWidth(big));
    EXPECT_EQ(0, IconWidth(small));
}

}  // namespace
