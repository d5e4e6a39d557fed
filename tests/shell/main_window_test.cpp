// The main window as RunMainWindow shows it, and what it does with its own
// buttons, activation, Esc and resizing. Sizes are never taken as known
// pixel values: they go through the window's own MapDialogRect.
#include "rrbutton/rrbutton.h"
#include "shell/control_ids.h"
#include "tests/shell/main_window_fixture.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

RECT Units(int left, int top, int right, int bottom)
{
    RECT rect{left, top, right, bottom};
    EXPECT_TRUE(MapDialogRect(MainWindow, &rect));
    return rect;
}

RECT RectInParent(HWND control)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

SIZE SizeOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

SIZE IconSize(HICON icon)
{
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return SIZE{0, 0};
    BITMAP mask{};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    // A monochrome icon's mask holds both halves, one above the other.
    return SIZE{mask.bmWidth, info.hbmColor ? mask.bmHeight : mask.bmHeight / 2};
}

// The log box size for a client area of the given pixels: the client in whole
// dialog units (nearest, halves up), less the box's top of 49 units.
SIZE ExpectedLogBoxSize(int clientWidth, int clientHeight)
{
    const RECT scale = Units(0, 0, 1024, 1024);
    const int widthUnits = static_cast<int>(std::floor(clientWidth * 1024.0 / scale.right + 0.5));
    const int heightUnits = static_cast<int>(std::floor(clientHeight * 1024.0 / scale.bottom + 0.5));
    const RECT size = Units(0, 0, widthUnits, heightUnits - 49);
    return SIZE{size.right, size.bottom};
}

void ExpectLogBoxFillsClient(const char* when)
{
    RECT client{};
    GetClientRect(MainWindow, &client);
    const SIZE expected = ExpectedLogBoxSize(client.right, client.bottom);
    const SIZE actual = SizeOf(MainControl(LogBoxId));
    EXPECT_EQ(expected.cx, actual.cx) << when;
    EXPECT_EQ(expected.cy, actual.cy) << when;
    const RECT at = RectInParent(MainControl(LogBoxId));
    const RECT corner = Units(2, 49, 2, 49);
    EXPECT_EQ(corner.left, at.left) << when;
    EXPECT_EQ(corner.top, at.top) << when;
}

void ExpectFocusOn(int id, const char* when)
{
    EXPECT_EQ(MainControl(id), GetFocus()) << when << ": focus on id " << GetDlgCtrlID(GetFocus());
}

void PostKey(HWND window, UINT key)
{
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

TEST_F(MainWindowTest, OpensVisibleTopmostAtTheScreenCornerWithItsCaptionIconsAndClientSize)
{
    UiScript script;
    script.Then([] {
        const HWND main = MainWindow;
        ASSERT_TRUE(IsWindow(main));
        EXPECT_EQ(MainCaption, WindowText(main));
        EXPECT_TRUE(IsWindowVisible(main));
        EXPECT_EQ(nullptr, GetWindow(main, GW_OWNER));

        const DWORD style = GetWindowLongA(main, GWL_STYLE);
        const DWORD frame = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
        EXPECT_EQ(frame, style & frame);
        EXPECT_EQ(static_cast<DWORD>(WS_CLIPSIBLINGS | WS_CLIPCHILDREN), style & (WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
        EXPECT_EQ(0u, style & (WS_CHILD | WS_POPUP | WS_DISABLED));
        const DWORD exStyle = GetWindowLongA(main, GWL_EXSTYLE);
        const DWORD wanted = WS_EX_TOPMOST | WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES;
        EXPECT_EQ(wanted, exStyle & wanted);

        RECT bounds{};
        GetWindowRect(main, &bounds);
        EXPECT_EQ(0, bounds.left);
        EXPECT_EQ(0, bounds.top);
        RECT client{};
        GetClientRect(main, &client);
        const RECT size = Units(0, 0, 155, 135);
        EXPECT_EQ(size.right, client.right);
        EXPECT_EQ(size.bottom, client.bottom);

        const auto bigIcon = reinterpret_cast<HICON>(SendMessageA(main, WM_GETICON, ICON_BIG, 0));
        const auto smallIcon = reinterpret_cast<HICON>(SendMessageA(main, WM_GETICON, ICON_SMALL, 0));
        ASSERT_TRUE(bigIcon);
        ASSERT_TRUE(smallIcon);
        EXPECT_EQ(32, IconSize(bigIcon).cx);
        EXPECT_EQ(32, IconSize(bigIcon).cy);
        EXPECT_EQ(16, IconSize(smallIcon).cx);
        EXPECT_EQ(16, IconSize(smallIcon).cy);
    });
    script.Then([] { PostClick(MainWindow, ExitButtonId); });
    EXPECT_EQ(0, Run(script));
}

TEST_F(MainWindowTest, ControlsInCreationOrderWithTheirClassesTextsStylesPlacesAndTabOrder)
{
    struct Expected {
        int id;
        const char* className;
        const char* text;
        DWORD style;
        DWORD exStyle;
        RECT units;  // left, top, right, bottom in dialog units; empty when not fixed by units
    };
    const Expected expected[] = {
        {LogBoxId, "Edit", "", 0x50311084, WS_EX_CLIENTEDGE, {}},
        {AddButtonId, "Button", "Add", 0x50010000, 0, {67, 7, 67 + 47, 7 + 16}},
        {ExitButtonId, "Button", "Exit", 0x50010000, 0, {67, 26, 67 + 47, 26 + 16}},
        {HintLabelId, "Static", "Drag and Drop MP3 File onto any part of Program.", 0x50001001, 0,
         {8, 8, 8 + 51, 8 + 34}},
        {AboutButtonId, RRBUTTON_CLASS_NAME, "", 0x50010000, 0, {}},
    };
    UiScript script;
    script.Then([&] {
        std::vector<int> zOrder;
        for (HWND child = GetWindow(MainWindow, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            zOrder.push_back(GetDlgCtrlID(child));
        EXPECT_EQ((std::vector<int>{LogBoxId, AddButtonId, ExitButtonId, HintLabelId, AboutButtonId}), zOrder);

        for (const Expected& control : expected) {
            const HWND window = MainControl(control.id);
            ASSERT_TRUE(window) << control.id;
            EXPECT_EQ(0, _stricmp(control.className, ClassOf(window).c_str())) << ClassOf(window);
            EXPECT_EQ(control.text, WindowText(window)) << control.id;
            EXPECT_EQ(control.style, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE))) << control.id;
            // The static control adds the static edge of SS_SUNKEN itself.
            const DWORD exStyle = GetWindowLongA(window, GWL_EXSTYLE);
            const DWORD platformAdded = WS_EX_NOPARENTNOTIFY | (control.id == HintLabelId ? WS_EX_STATICEDGE : 0);
            EXPECT_EQ(control.exStyle, exStyle & ~platformAdded) << control.id;
            // Children do not take drops themselves, so a shell drop on any of
            // them goes to the main window.
            EXPECT_EQ(0u, exStyle & WS_EX_ACCEPTFILES) << control.id;
            if (!IsRectEmpty(&control.units)) {
                const RECT want = Units(control.units.left, control.units.top, control.units.right,
                                        control.units.bottom);
                const RECT placed = RectInParent(window);
                EXPECT_TRUE(EqualRect(&want, &placed)) << control.id;
            }
        }

        // Tab order: the tab stops in creation order, the label skipped.
        std::vector<int> tabs;
        HWND stop = nullptr;
        for (int i = 0; i < 5; ++i) {
            stop = GetNextDlgTabItem(MainWindow, stop, FALSE);
            tabs.push_back(GetDlgCtrlID(stop));
        }
        EXPECT_EQ((std::vector<int>{LogBoxId, AddButtonId, ExitButtonId, AboutButtonId, LogBoxId}), tabs);
    });
    script.Then([] { PostClose(MainWindow); });
    EXPECT_EQ(0, Run(script));
}

TEST_F(MainWindowTest, PictureButtonIs48PixelsSquareAtItsUnitsPlaceAndConfigured)
{
    UiScript script;
    script.Then([] {
        const HWND button = MainControl(AboutButtonId);
        ASSERT_TRUE(button);
        EXPECT_STREQ(RRBUTTON_CLASS_NAME, ClassOf(button).c_str());
        const RECT placed = RectInParent(button);
        const RECT corner = Units(120, 10, 120, 10);
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
    script.Then([] { PostClose(MainWindow); });
    EXPECT_EQ(0, Run(script));
}

TEST_F(MainWindowTest, LogBoxFillsTheClientInWholeUnitsOnEverySizeButMinimized)
{
    SIZE beforeMinimize{};
    UiScript script;
    script.Then([] {
        // The first size message came before the window was shown.
        ExpectLogBoxFillsClient("at start");
        RECT client{};
        GetClientRect(MainWindow, &client);
        const SIZE box = SizeOf(MainControl(LogBoxId));
        EXPECT_EQ(Units(0, 0, 155, 0).right, box.cx) << "the full client width, not the width less x";
        const RECT top = Units(0, 49, 0, 49);
        EXPECT_LE(std::abs(top.top + box.cy - client.bottom), 1) << "bottom at the client's bottom";
    });
    script.Then([] {
        // A size in pixels that is not a whole number of units.
        const SIZE window = SizeOf(MainWindow);
        SetWindowPos(MainWindow, nullptr, 0, 0, window.cx + 101, window.cy + 77, SWP_NOMOVE | SWP_NOZORDER);
    });
    script.Then([] { ExpectLogBoxFillsClient("after growing"); });
    script.Then([&] {
        beforeMinimize = SizeOf(MainControl(LogBoxId));
        ShowWindow(MainWindow, SW_MINIMIZE);
    });
    script.WaitFor("the main window minimized", [] { return IsIconic(MainWindow) != FALSE; });
    script.Then([&] {
        const SIZE box = SizeOf(MainControl(LogBoxId));
        EXPECT_EQ(beforeMinimize.cx, box.cx);
        EXPECT_EQ(beforeMinimize.cy, box.cy);
        ShowWindow(MainWindow, SW_RESTORE);
    });
    script.WaitFor("the main window restored", [] { return !IsIconic(MainWindow); });
    script.Then([] {
        ExpectLogBoxFillsClient("after restoring");
        const SIZE window = SizeOf(MainWindow);
        SetWindowPos(MainWindow, nullptr, 0, 0, window.cx - 37, window.cy - 23, SWP_NOMOVE | SWP_NOZORDER);
    });
    script.Then([] {
        ExpectLogBoxFillsClient("after shrinking");
        PostClose(MainWindow);
    });
    EXPECT_EQ(0, Run(script));
}

TEST_F(MainWindowTest, FocusComesBackAfterAnotherWindowWasActive)
{
    HWND other = nullptr;
    UiScript script;
    script.Then([] {
        SetFocus(MainControl(AddButtonId));
        ExpectFocusOn(AddButtonId, "before");
    });
    script.Then([&] {
        other = CreateWindowExA(0, "EDIT", "another window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 300, 200, 100,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(other);
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
        ExpectFocusOn(AddButtonId, "after activation");
        DestroyWindow(other);
        PostClose(MainWindow);
    });
    EXPECT_EQ(0, Run(script));
}

TEST_F(MainWindowTest, EscLeavesTheFocusWhereItWasAndTheWindowOpen)
{
    UiScript script;
    script.Then([] {
        SetFocus(MainControl(AddButtonId));
        ExpectFocusOn(AddButtonId, "before Esc on Add");
        PostKey(MainControl(AddButtonId), VK_ESCAPE);
    });
    script.Then([] {});  // the cancel command the dialog manager makes of Esc
    script.Then([] {
        ASSERT_TRUE(IsWindow(MainWindow));
        ExpectFocusOn(AddButtonId, "after Esc on Add");
        SetFocus(MainControl(LogBoxId));
        ExpectFocusOn(LogBoxId, "before Esc in the log box");
        PostKey(MainControl(LogBoxId), VK_ESCAPE);
    });
    script.Then([] {});
    script.Then([] {
        ASSERT_TRUE(IsWindow(MainWindow));
        ExpectFocusOn(LogBoxId, "after Esc in the log box");
        // A click still moves the focus to the button that sent it.
        PostClick(MainWindow, AddButtonId);
    });
    script.WaitFor("the Add Items dialog", [] { return OnlyDataSelection() != nullptr; });
    script.Then([] {
        // Esc does not close the dialog either.
        const HWND dialog = OnlyDataSelection();
        SetFocus(GetDlgItem(dialog, TrackBoxId));
        PostKey(GetDlgItem(dialog, TrackBoxId), VK_ESCAPE);
    });
    script.Then([] {});
    script.Then([] {
        const HWND dialog = OnlyDataSelection();
        ASSERT_TRUE(dialog) << "Esc closed the Add Items dialog";
        PressDialogButton(dialog, SelExitButtonId);
    });
    script.WaitFor("the Add Items dialog closed", [] { return OpenDialogs(DataSelectionCaption).empty(); });
    script.Then([] {
        ExpectFocusOn(AddButtonId, "after the Add click");
        PostClose(MainWindow);
    });
    EXPECT_EQ(0, Run(script));
}

TEST_F(MainWindowTest, PictureButtonAndDialogAboutShowOwnerlessAboutBoxes)
{
    HWND dialog = nullptr;
    UiScript script;
    script.Then([] {
        // Two clicks without closing the first box: two boxes.
        const auto button = reinterpret_cast<LPARAM>(MainControl(AboutButtonId));
        for (int i = 0; i < 2; ++i)
            PostMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(AboutButtonId, BN_CLICKED), button);
    });
    script.WaitFor("two About boxes", [] { return OpenDialogs(AboutCaption).size() == 2; });
    script.Then([] {
        for (HWND box : OpenDialogs(AboutCaption)) {
            EXPECT_EQ(nullptr, GetWindow(box, GW_OWNER));
            EXPECT_FALSE(MessageBoxText(box).empty());
        }
        EXPECT_TRUE(IsWindowEnabled(MainWindow));
        for (HWND box : OpenDialogs(AboutCaption))
            PressDialogButton(box, IDOK);
    });
    script.WaitFor("the About boxes closed", [] { return OpenDialogs(AboutCaption).empty(); });
    script.Then([] { PostClick(MainWindow, AddButtonId); });
    script.WaitFor("the Add Items dialog", [&] { return (dialog = OnlyDataSelection()) != nullptr; });
    script.Then([&] { PressDialogButton(dialog, SelAboutButtonId); });
    script.WaitFor("the About box of the dialog", [] { return OpenDialogs(AboutCaption).size() == 1; });
    script.Then([&] {
        const HWND box = OpenDialogs(AboutCaption).front();
        EXPECT_EQ(nullptr, GetWindow(box, GW_OWNER));
        EXPECT_TRUE(IsWindowEnabled(dialog));
        PressDialogButton(box, IDOK);
    });
    script.WaitFor("the About box closed", [] { return OpenDialogs(AboutCaption).empty(); });
    script.Then([&] {
        EXPECT_TRUE(IsWindow(dialog)) << "the dialog stays open";
        PressDialogButton(dialog, SelExitButtonId);
    });
    script.WaitFor("the Add Items dialog closed", [&] { return !IsWindow(dialog); });
    script.Then([] { PostClick(MainWindow, ExitButtonId); });
    EXPECT_EQ(0, Run(script));
    EXPECT_FALSE(CatalogueBytes().has_value());
}
