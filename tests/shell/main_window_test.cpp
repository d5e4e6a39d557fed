// The main window as RunMainWindow shows it, and what it does with resizing,
// the focus, Esc and its About commands. Sizes are never taken as known pixel
// values: they go through the window's own MapDialogRect.
#include "rrbutton/rrbutton.h"
#include "shell/data_selection.h"
#include "tests/shell/main_window_fixture.h"

namespace {

// The log box from (2, 49) units across the whole client width and down to
// its bottom, the client taken in whole units (their rounding is the dialog layer's).
void ExpectLogBoxFillsClient(const char* when)
{
    RECT client{};
    GetClientRect(MainWindow, &client);
    const POINT units = PixelsToUnits(MainWindow, client.right, client.bottom);
    const RECT expected = DialogUnits(MainWindow, 2, 49, units.x, units.y - 49);
    const RECT box = RectInParent(MainControl(LogBoxId));
    EXPECT_EQ(expected.left, box.left) << when;
    EXPECT_EQ(expected.top, box.top) << when;
    EXPECT_EQ(expected.right, box.right - box.left) << when;
    EXPECT_EQ(expected.bottom, box.bottom - box.top) << when;
}

void ResizeMainWindow(int dx, int dy)
{
    RECT bounds{};
    GetWindowRect(MainWindow, &bounds);
    SetWindowPos(MainWindow, nullptr, 0, 0, bounds.right - bounds.left + dx, bounds.bottom - bounds.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER);
}

// Presses an About button and closes the box it opens, which has no owner
// and leaves the window of the button enabled.
void PressAbout(UiScript& script, HWND& window, int id)
{
    script.Then([&window, id] { PressDialogButton(window, id); })
        .WaitFor("the About box", [] { return ThreadDialogs(AboutTitle).size() == 1; })
        .Then([&window] {
            const HWND box = ThreadDialogs(AboutTitle).front();
            EXPECT_EQ(nullptr, GetWindow(box, GW_OWNER));
            EXPECT_FALSE(MessageBoxText(box).empty());
            EXPECT_TRUE(IsWindowEnabled(window));
            PressDialogButton(box, IDOK);
        })
        .WaitFor("the About box closed", [] { return ThreadDialogs(AboutTitle).empty(); });
}

}  // namespace

TEST_F(MainWindowTest, ShowsItsFrameControlsAndPictureButtonAsSetUp)
{
    const struct {
        int id;
        const char* className;
        const char* text;
        DWORD style;
    } controls[] = {
        {LogBoxId, "Edit", "", 0x50311084},
        {AddButtonId, "Button", "Add", 0x50010000},
        {ExitButtonId, "Button", "Exit", 0x50010000},
        {HintLabelId, "Static", "Drag and Drop MP3 File onto any part of Program.", 0x50001001},
        {AboutButtonId, RRBUTTON_CLASS_NAME, "", 0x50010000},
    };
    UiScript script;
    script.Then([&] {
        EXPECT_EQ("Vorlane", WindowText(MainWindow));
        EXPECT_TRUE(IsWindowVisible(MainWindow));
        const DWORD frame = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                            WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        EXPECT_EQ(frame, GetWindowLongA(MainWindow, GWL_STYLE) & (frame | WS_CHILD | WS_POPUP | WS_DISABLED));
        const DWORD extended = WS_EX_TOPMOST | WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES;
        EXPECT_EQ(extended, GetWindowLongA(MainWindow, GWL_EXSTYLE) & extended);
        RECT bounds{}, client{};
        GetWindowRect(MainWindow, &bounds);
        GetClientRect(MainWindow, &client);
        const RECT size = DialogUnits(MainWindow, 0, 0, 155, 135);
        EXPECT_EQ(0, bounds.left);
        EXPECT_EQ(0, bounds.top);
        EXPECT_EQ(size.right, client.right);
        EXPECT_EQ(size.bottom, client.bottom);
        EXPECT_EQ(32, IconWidth(IconOf(MainWindow, ICON_BIG)));
        EXPECT_EQ(16, IconWidth(IconOf(MainWindow, ICON_SMALL)));

        for (const auto& c : controls) {
            SCOPED_TRACE(c.id);
            const HWND control = MainControl(c.id);
            EXPECT_EQ(0, _stricmp(c.className, ClassOf(control).c_str())) << ClassOf(control);
            EXPECT_EQ(c.text, WindowText(control));
            EXPECT_EQ(c.style, static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE)));
            // The label's static edge comes with SS_SUNKEN. No child takes
            // drops itself, so a drop on any of them goes to the main window.
            const DWORD platformAdded = WS_EX_NOPARENTNOTIFY | (c.id == HintLabelId ? WS_EX_STATICEDGE : 0);
            EXPECT_EQ(c.id == LogBoxId ? WS_EX_CLIENTEDGE : 0u, GetWindowLongA(control, GWL_EXSTYLE) & ~platformAdded);
        }
        // The tab stops in creation order, the label left out.
        std::vector<int> tabs;
        for (HWND stop = nullptr; tabs.size() < 5;)
            tabs.push_back(GetDlgCtrlID(stop = GetNextDlgTabItem(MainWindow, stop, FALSE)));
        EXPECT_EQ((std::vector<int>{LogBoxId, AddButtonId, ExitButtonId, AboutButtonId, LogBoxId}), tabs);

        // The picture button: at its place in units, 48 pixels square whatever the font.
        const HWND button = MainControl(AboutButtonId);
        const RECT placed = RectInParent(button), corner = DialogUnits(MainWindow, 120, 10, 0, 0);
        EXPECT_EQ(corner.left, placed.left);
        EXPECT_EQ(corner.top, placed.top);
        EXPECT_EQ(48, placed.right - placed.left);
        EXPECT_EQ(48, placed.bottom - placed.top);
        EXPECT_EQ(10, SendMessageA(button, RRBM_GETCORNER, 0, 0));
        EXPECT_EQ(48, SendMessageA(button, RRBM_GETIMAGEWIDTH, 0, 0));
        EXPECT_EQ(48, SendMessageA(button, RRBM_GETIMAGEHEIGHT, 0, 0));
        EXPECT_EQ(0, SendMessageA(button, RRBM_GETIMAGEPOS, 0, 0));  // an explicit position, not a placement
        char imageName[64] = {};
        SendMessageA(button, RRBM_GETIMAGENAME, reinterpret_cast<WPARAM>(imageName), 0);
        EXPECT_STREQ("ICON2", imageName);
    });
    Run(script);
}

TEST_F(MainWindowTest, LogBoxFillsTheClientInWholeUnitsOnEverySizeButMinimized)
{
    RECT beforeMinimize{};
    UiScript script;
    script.Then([] { ExpectLogBoxFillsClient("from the size message before the window showed"); })
        .Then([] { ResizeMainWindow(101, 77); })  // not a whole number of units
        .Then([&] {
            ExpectLogBoxFillsClient("after growing");
            beforeMinimize = RectInParent(MainControl(LogBoxId));
            ShowWindow(MainWindow, SW_MINIMIZE);
        })
        .WaitFor("the main window minimized", [] { return IsIconic(MainWindow) != FALSE; })
        .Then([&] {
            const RECT box = RectInParent(MainControl(LogBoxId));
            EXPECT_TRUE(EqualRect(&beforeMinimize, &box));
            ShowWindow(MainWindow, SW_RESTORE);
        })
        .WaitFor("the main window restored", [] { return !IsIconic(MainWindow); })
        .Then([] {
            ExpectLogBoxFillsClient("after restoring");
            ResizeMainWindow(-37, -23);
        })
        .Then([] { ExpectLogBoxFillsClient("after shrinking"); });
    Run(script);
}

TEST_F(MainWindowTest, FocusStaysThroughEscAndComesBackAfterAnotherWindowWasActive)
{
    UiScript script;
    for (int id : {AddButtonId, LogBoxId}) {
        script.Then([id] {
            SetFocus(MainControl(id));
            PostMessageA(MainControl(id), WM_KEYDOWN, VK_ESCAPE, 1);
            PostMessageA(MainControl(id), WM_KEYUP, VK_ESCAPE, 0xC0000001);
        });
        script.Then([] {});  // the command the dialog manager makes of Esc
        script.Then([id] {
            ASSERT_TRUE(IsWindow(MainWindow));
            EXPECT_EQ(MainControl(id), GetFocus()) << "after Esc on " << id;
        });
    }
    HWND other = nullptr;
    script.Then([&] {
        SetFocus(MainControl(AddButtonId));
        other = CreateWindowExA(0, "EDIT", "another window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 300, 200, 100,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(other);
        SetActiveWindow(other);
    });
    script.WaitFor("the other window active", [&] { return GetActiveWindow() == other; });
    script.Then([&] {
        EXPECT_NE(MainControl(AddButtonId), GetFocus());
        SetForegroundWindow(MainWindow);
        SetActiveWindow(MainWindow);
    });
    script.WaitFor("the main window active again", [] { return GetActiveWindow() == MainWindow; });
    script.Then([&] {
        EXPECT_EQ(MainControl(AddButtonId), GetFocus());
        DestroyWindow(other);
    });
    Run(script);
}

TEST_F(MainWindowTest, PictureButtonAndTheDialogsAboutShowAboutBoxesWithoutOwner)
{
    HWND dialog = nullptr;
    UiScript script;
    PressAbout(script, MainWindow, AboutButtonId);
    OpenDialog(script, dialog, [] { PressDialogButton(MainWindow, AddButtonId); });
    script.Then([&] { PostMessageA(GetDlgItem(dialog, TrackBoxId), WM_KEYDOWN, VK_ESCAPE, 1); });
    PressAbout(script, dialog, SelAboutButtonId);
    script.Then([&] { EXPECT_TRUE(IsWindow(dialog)) << "neither Esc nor About closes the dialog"; });
    CloseWith(script, dialog, SelExitButtonId);
    script.Then([] { EXPECT_EQ(MainControl(AddButtonId), GetFocus()) << "back on the button that was clicked"; });
    Run(script);
    EXPECT_EQ("(no catalogue)", Catalogue());
}
