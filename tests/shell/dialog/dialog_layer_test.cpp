// The dialog layer on real windows. Sizes are never taken as known pixel
// values: they are converted with the dialog's own MapDialogRect.
#include "shell/dialog/dialog_layer.h"

#include "tests/support/ui_script.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int BoxId = 1001;
constexpr int ButtonId = 1003;
constexpr int OtherButtonId = 1004;
constexpr UINT PingMessage = WM_APP + 1;   // noted, nothing else
constexpr UINT CloseRequest = WM_APP + 2;  // the recording callback closes its dialog with wParam
constexpr UINT OpenRequest = WM_APP + 3;   // the main callback runs a nested dialog
constexpr UINT NestedReturned = WM_APP + 4;  // noted with the nested run's result and whether main lived
constexpr DWORD PlainStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD MainStyle = 0x16CF0054, MainExStyle = 0x00010008;  // the main window's, WS_VISIBLE included

// One call of a callback, with what the dialog looked like then.
struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool visible;
    RECT client;
};

std::vector<Seen> Log;
HWND Nested = nullptr;   // the dialog a callback runs inside its own
bool RefuseSysCommand = false;
std::string TextAtClose;

void Note(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    RECT client{};
    GetClientRect(window, &client);
    Log.push_back({window, message, wParam, lParam, IsWindowVisible(window) != FALSE, client});
}

// Index of the first entry for `window` with `message` (and lParam when given), or -1.
int Find(HWND window, UINT message, LPARAM lParam = -1)
{
    for (size_t i = 0; i < Log.size(); ++i) {
        const Seen& seen = Log[i];
        if (seen.window == window && seen.message == message && (lParam == -1 || seen.lParam == lParam))
            return static_cast<int>(i);
    }
    return -1;
}

INT_PTR RecordingCallback(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    Note(dialog, message, wParam, lParam);
    if (message == CloseRequest) {
        TextAtClose = GetControlText(dialog, BoxId);
        CloseDialog(dialog, static_cast<INT_PTR>(wParam));
        return 1;
    }
    return message == WM_SYSCOMMAND && RefuseSysCommand ? 1 : 0;
}

HWND MakeDialog(DWORD style = PlainStyle, DWORD exStyle = 0, HWND owner = nullptr)
{
    return NewDialog(owner, "Test", 40, 30, 120, 80, style, exStyle);
}

// Runs the dialog modally with the script's steps inside; a run that hangs,
// or leaves a dialog open, fails the test.
INT_PTR RunModal(HWND dialog, DialogCallback callback, UiScript& script, UINT tickMs = 15)
{
    script.WaitFor("every dialog shown closed", [dialog] {
        const std::vector<HWND> open = ThreadDialogs();
        return !IsWindow(dialog) && std::none_of(open.begin(), open.end(), IsWindowVisible);
    });
    return script.Run([&] { return ShowDialogModal(dialog, callback); }, tickMs);
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
        Nested = nullptr;
        RefuseSysCommand = false;
    }
    void TearDown() override
    {
        for (HWND dialog : ThreadDialogs())
            DestroyWindow(dialog);
    }
};

TEST_F(DialogLayer, NewDialogAndItsControlsAreLaidOutInUnitsOfItsFontAndReadWritten)
{
    const HWND dialog = MakeDialog(MainStyle, MainExStyle);
    ASSERT_TRUE(IsWindow(dialog));
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_EQ("Test", WindowText(dialog));
    RECT client{};
    GetClientRect(dialog, &client);
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    const RECT expected = DialogUnits(dialog, 40, 30, 120, 80);  // x, y, width, height
    EXPECT_EQ(expected.left, origin.x);
    EXPECT_EQ(expected.top, origin.y);
    EXPECT_EQ(expected.right, client.right);
    EXPECT_EQ(expected.bottom, client.bottom);

    const LRESULT font = SendMessageA(dialog, WM_GETFONT, 0, 0);
    LOGFONTA logFont{};
    ASSERT_TRUE(GetObjectA(reinterpret_cast<HFONT>(font), sizeof logFont, &logFont));
    EXPECT_STREQ("MS Sans Serif", logFont.lfFaceName);
    const HDC dc = GetDC(dialog);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(dialog, dc);
    EXPECT_EQ(-MulDiv(8, dpi, 72), logFont.lfHeight);
    const RECT scale = DialogUnits(dialog, 0, 0, 1024, 1024);
    if (dpi == 96) {  // this font's base units, 6 x 13, found only when the prefix has the dialog fonts
        EXPECT_EQ(1536, scale.right);
        EXPECT_EQ(1664, scale.bottom);
        EXPECT_EQ(155, PixelsToUnits(dialog, 232, 232).x);  // 154.67
        EXPECT_EQ(143, PixelsToUnits(dialog, 232, 232).y);  // 142.77: the other axis has its own scale
        EXPECT_EQ(154, PixelsToUnits(dialog, 231, 231).x);  // 154.0
    }
    EXPECT_EQ(scale.right, UnitsToPixels(dialog, 1024, 1024).x);
    EXPECT_EQ(scale.bottom, UnitsToPixels(dialog, 1024, 1024).y);
    EXPECT_EQ(0, PixelsToUnits(nullptr, 232, 232).x);

    // Controls: the kind's style rules, the dialog's font, placed in units.
    const HWND box = AddControl(ControlKind::TextBox, dialog, BoxId, "Text", 5, 3, 47, 12, 0, 0);
    ASSERT_EQ(box, GetDlgItem(dialog, BoxId));
    EXPECT_EQ(0, _stricmp("Edit", ClassOf(box).c_str())) << ClassOf(box);
    EXPECT_EQ(0x50010080u, static_cast<DWORD>(GetWindowLongA(box, GWL_STYLE)));
    EXPECT_EQ(static_cast<DWORD>(WS_EX_CLIENTEDGE), GetWindowLongA(box, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY);
    EXPECT_EQ(font, SendMessageA(box, WM_GETFONT, 0, 0));
    const RECT place = DialogUnits(dialog, 5, 3, 5 + 47, 3 + 12), placed = RectInParent(box);
    EXPECT_TRUE(EqualRect(&place, &placed));
    AddControl(ControlKind::PushButton, dialog, ButtonId, "OK", 5, 60, 40, 14, BS_DEFPUSHBUTTON, 0);
    EXPECT_EQ(MAKELONG(ButtonId, DC_HASDEFID), SendMessageA(dialog, DM_GETDEFID, 0, 0));

    // The accessors.
    AddControl(ControlKind::CheckBox, dialog, OtherButtonId, "Check", 19, 42, 60, 12, 0, 0);
    const std::string longText = std::string(99999, 'a') + 'z';
    SetControlText(dialog, BoxId, longText);
    EXPECT_EQ(longText, GetControlText(dialog, BoxId));
    SetControlText(dialog, BoxId, "");
    EXPECT_EQ("", GetControlText(dialog, BoxId));
    EXPECT_EQ("", GetControlText(dialog, 4242));

    EXPECT_EQ(0, GetControlCheck(dialog, OtherButtonId));
    SendMessageA(GetDlgItem(dialog, OtherButtonId), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(1, GetControlCheck(dialog, OtherButtonId));
    SetControlSize(dialog, OtherButtonId, 90, 20);
    const RECT resized = RectInParent(GetDlgItem(dialog, OtherButtonId)), size = DialogUnits(dialog, 0, 0, 90, 20);
    EXPECT_EQ(size.right, resized.right - resized.left);
    EXPECT_EQ(size.bottom, resized.bottom - resized.top);
    EXPECT_EQ(19, GetControlLocation(dialog, OtherButtonId).x);
    EXPECT_EQ(42, GetControlLocation(dialog, OtherButtonId).y);
}

TEST_F(DialogLayer, ModalRunPreparesTheCallbackBeforeTheDialogIsSeen)
{
    const struct {
        DWORD style;
        WPARAM sizeType;
    } cases[] = {{PlainStyle, SIZE_RESTORED},
                 {WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, SIZE_MAXIMIZED},
                 {WS_OVERLAPPEDWINDOW | WS_MINIMIZE, SIZE_MINIMIZED}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sizeType);
        Log.clear();
        const HWND dialog = MakeDialog(c.style);
        UiScript script;
        script.Then([&] {
            EXPECT_TRUE(IsWindowVisible(dialog));
            EXPECT_EQ(c.sizeType == SIZE_MAXIMIZED, IsZoomed(dialog) != FALSE);
            EXPECT_EQ(c.sizeType == SIZE_MINIMIZED, IsIconic(dialog) != FALSE);
            PostMessageA(dialog, CloseRequest, 17, 0);
        });
        EXPECT_EQ(17, RunModal(dialog, RecordingCallback, script));

        ASSERT_GE(Log.size(), 2u);
        EXPECT_EQ(static_cast<UINT>(WM_INITDIALOG), Log[0].message);
        EXPECT_EQ(reinterpret_cast<WPARAM>(dialog), Log[0].wParam);
        EXPECT_FALSE(Log[0].visible);
        EXPECT_EQ(static_cast<UINT>(WM_SIZE), Log[1].message);
        EXPECT_EQ(c.sizeType, Log[1].wParam);
        EXPECT_EQ(MAKELPARAM(Log[1].client.right, Log[1].client.bottom), Log[1].lParam);
        EXPECT_FALSE(Log[1].visible);
        // Closing: the callback sees WM_CLOSE first and the destruction last.
        const int closeSeen = Find(dialog, WM_CLOSE);
        EXPECT_GT(closeSeen, Find(dialog, CloseRequest));
        EXPECT_LT(closeSeen, Find(dialog, WM_DESTROY));
        EXPECT_EQ(static_cast<UINT>(WM_NCDESTROY), Log.back().message);
    }
}

TEST_F(DialogLayer, CloseCommandEndsTheDialogUnlessTheCallbackTakesItAndClosingReEnablesTheOwner)
{
    // The low four bits of the command carry how it was chosen.
    for (WPARAM command : {SC_CLOSE, SC_CLOSE | 3}) {
        const HWND dialog = MakeDialog();
        UiScript script;
        script.Then([&] { PostMessageA(dialog, WM_SYSCOMMAND, command, 0); });
        EXPECT_EQ(0, RunModal(dialog, command == SC_CLOSE ? nullptr : RecordingCallback, script)) << command;
    }
    RefuseSysCommand = true;
    const HWND owner = MakeDialog();
    const HWND dialog = MakeDialog(PlainStyle, 0, owner);
    UiScript script;
    script.Then([&] { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }).Then([&] {
        EXPECT_FALSE(IsWindowEnabled(owner)) << "the modal run disables the owner";
        PostMessageA(dialog, CloseRequest, 9, 0);
    });
    EXPECT_EQ(9, RunModal(dialog, RecordingCallback, script));
    EXPECT_GE(Find(dialog, WM_SYSCOMMAND), 0);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

// Like the main window's Exit button: ends its own dialog and leaves the
// command unhandled, so the layer goes on with a dialog that is gone.
INT_PTR ExitControlCallback(HWND dialog, UINT, WPARAM, LPARAM)
{
    CloseDialog(dialog, 8);
    return 0;
}

// Like the main window's drop handler: runs a nested dialog inside the callback.
INT_PTR MainCallback(HWND main, UINT message, WPARAM wParam, LPARAM lParam)
{
    Note(main, message, wParam, lParam);
    if (message == OpenRequest) {
        Nested = MakeDialog();
        const INT_PTR result = ShowDialogModal(Nested, RecordingCallback);
        Note(main, NestedReturned, static_cast<WPARAM>(result), IsWindow(main));
    }
    return 0;
}

TEST_F(DialogLayer, NestedDialogsAndTheMainDialogEndedByItsControlWhileANestedOneRuns)
{
    const HWND main = MakeDialog(MainStyle, MainExStyle);
    const auto exit = reinterpret_cast<LPARAM>(
        AddControl(ControlKind::PushButton, main, ButtonId, "Exit", 67, 26, 47, 16, 0, 0, ExitControlCallback));
    const auto plain =
        reinterpret_cast<LPARAM>(AddControl(ControlKind::PushButton, main, OtherButtonId, "B", 5, 5, 40, 14, 0, 0));
    HWND first = nullptr;
    UiScript script;
    script.Then([&] { Click(main, OtherButtonId); })
        .Then([&] { PostMessageA(main, OpenRequest, 0, 0); })  // the steps after it run in the nested loop
        .WaitFor("the nested dialog", [] { return IsWindowVisible(Nested) != FALSE; })
        .Then([&] { PostMessageA(main, PingMessage, 0, 0); })
        .Then([&] { CloseDialog(first = Nested, 5); })
        .Then([&] { PostMessageA(main, OpenRequest, 0, 0); })
        .WaitFor("the second nested dialog", [] { return IsWindowVisible(Nested) != FALSE; })
        .Then([&] { Click(main, ButtonId); })
        .Then([] { CloseDialog(Nested, 3); });
    EXPECT_EQ(8, RunModal(main, MainCallback, script));

    EXPECT_GE(Find(main, WM_COMMAND, plain), 0);  // a control without callback
    // The first nested dialog: the main dialog lives on meanwhile and resumes after it.
    const int pinged = Find(main, PingMessage), resumed = Find(main, NestedReturned, TRUE);
    ASSERT_GE(pinged, 0);
    ASSERT_GE(resumed, 0);
    EXPECT_LT(Find(first, WM_INITDIALOG), pinged);
    EXPECT_LT(pinged, Find(first, WM_NCDESTROY));
    EXPECT_LT(Find(first, WM_NCDESTROY), resumed);
    EXPECT_EQ(5u, Log[resumed].wParam);
    // The second: ended from inside the Exit control's callback, the main
    // dialog's freed record (poisoned) led to no callback, not even for that command.
    const int mainGone = Find(main, WM_NCDESTROY), returned = Find(main, NestedReturned, FALSE);
    ASSERT_GE(mainGone, 0);
    ASSERT_EQ(Log.size() - 1, static_cast<size_t>(returned));
    EXPECT_EQ(3u, Log[returned].wParam);
    EXPECT_EQ(-1, Find(main, WM_COMMAND, exit));
    for (int i = mainGone + 1; i < returned; ++i)
        EXPECT_NE(main, Log[i].window) << i;
}

TEST_F(DialogLayer, IdleLoopWakesForOtherThreadsAndDeliversEachMessageOnce)
{
    const HWND dialog = MakeDialog();
    const HWND box = AddControl(ControlKind::TextBox, dialog, BoxId, "", 5, 5, 60, 12, 0, 0);
    const DWORD loopThread = GetCurrentThreadId();
    // Nothing is queued and the script's first tick comes after 10 s (a
    // failure): only the other thread's messages can wake the loop.
    std::thread other([=] {
        Sleep(100);
        SendMessageA(dialog, PingMessage, 1, 0);
        PostThreadMessageA(loopThread, WM_QUIT, 0, 0);  // dispatched like any other message
        PostMessageA(box, WM_CHAR, 'x', 0);
        PostMessageA(dialog, CloseRequest, 12, 0);
    });
    UiScript watchdog;
    const INT_PTR result = RunModal(dialog, RecordingCallback, watchdog, 10000);
    other.join();
    EXPECT_EQ(12, result);
    EXPECT_EQ(1, std::count_if(Log.begin(), Log.end(), [](const Seen& seen) { return seen.message == PingMessage; }));
    EXPECT_EQ("x", TextAtClose);  // a message the dialog manager delivered is not delivered again
}

TEST_F(DialogLayer, DialogOwnsItsIconsUntilReplacedOrDestroyed)
{
    const HWND dialog = MakeDialog();
    SetDialogIcon(dialog, "ICON1");
    const HICON firstBig = IconOf(dialog, ICON_BIG), firstSmall = IconOf(dialog, ICON_SMALL);
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
