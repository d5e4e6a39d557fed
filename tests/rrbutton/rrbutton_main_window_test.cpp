// The main window's picture button, whose click opens the About box: the user
// may close the main window, and with it the button, while the box is still
// open inside the button's click.
#include <gtest/gtest.h>

#include <memory>

#include "shell/control_ids.h"
#include "shell/data_selection.h"
#include "shell/main_window.h"
#include "tests/rrbutton/button_test_support.h"
#include "tests/support/ui_script.h"

namespace {

TEST(PictureButtonInMainWindow, ClosingTheMainWindowWhileTheAboutBoxOfASpacePressIsOpenEndsCleanly) {
    HWND button = nullptr;
    HWND aboutBox = nullptr;
    std::unique_ptr<WindowSpy> buttonSpy;
    FreedRecordTrap trap;
    UiScript script;
    script.WaitFor("the main window", [] { return MainWindow && IsWindowVisible(MainWindow); })
        .Then([&] {
            button = GetDlgItem(MainWindow, AboutButtonId);
            const void* record = RecordOf(button);
            ASSERT_NE(record, nullptr);
            // The record is freed at WM_DESTROY, just before WM_NCDESTROY.
            buttonSpy = std::make_unique<WindowSpy>(button, [&trap, record](UINT message, WPARAM, LPARAM) {
                if (message == WM_NCDESTROY) {
                    trap.Spring(record);
                }
            });
            SetFocus(button);
            // Through the main window's own loop, as typed keys come.
            PostMessageA(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
            PostMessageA(button, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001));
        })
        .WaitFor("the About box", [&] { return (aboutBox = FindMessageBox(AboutTitle)) != nullptr; })
        .Then([&] { SendMessageA(MainWindow, WM_SYSCOMMAND, SC_CLOSE, 0); })
        .WaitFor("the main window and its button gone", [&] { return !IsWindow(MainWindow) && !IsWindow(button); })
        .Then([&] { PressDialogButton(aboutBox, IDOK); });
    script.Start();

    RunMainWindow(nullptr);

    EXPECT_TRUE(script.Finished());
    EXPECT_FALSE(script.Failed());
    EXPECT_FALSE(IsWindow(aboutBox));
    EXPECT_TRUE(trap.NothingWritten()) << "after the About box closed";
}

}  // namespace
