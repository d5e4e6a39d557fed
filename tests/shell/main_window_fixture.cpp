#include "tests/shell/main_window_fixture.h"


void MainWindowTest::SetUp()
{
    ASSERT_FALSE(folder_.Path().empty());
    std::string& previous = previousDirectory_;
    previous.resize(GetCurrentDirectoryA(0, nullptr));
    previous.resize(GetCurrentDirectoryA(static_cast<DWORD>(previous.size()), &previous[0]));
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.Path().c_str()));
    SelectionState = SelectionValues{};
    SelectionState.StartDir = folder_.Path();
}

void MainWindowTest::TearDown()
{
    SelectionState = SelectionValues{};
    SetCurrentDirectoryA(previousDirectory_.c_str());  // before the folder goes
}

void MainWindowTest::Run(UiScript& script)
{
    script.Then([] { PostMessageA(MainWindow, WM_SYSCOMMAND, SC_CLOSE, 0); })
        .WaitFor("every window closed", [] { return !IsWindow(MainWindow) && ThreadDialogs().empty(); }, 3000);
    const INT_PTR result = script.Run(
        [this] {
            const INT_PTR result = RunMainWindow(nullptr);
            mainReturned_ = true;
            return result;
        },
        5);
    EXPECT_EQ(0, result);
}

std::string MainWindowTest::MakeFile(const std::string& name) const
{
    EXPECT_TRUE(WriteTestFile(Path(name), "")) << name;
    return Path(name);
}

std::string MainWindowTest::Catalogue() const
{
    return ReadTestFile(Path("Vorlane.csv")).value_or("(no catalogue)");
}

void OpenDialog(UiScript& script, HWND& dialog, std::function<void()> open)
{
    script.Then(std::move(open)).WaitFor("one Add Items dialog", [&dialog] {
        const std::vector<HWND> dialogs = ThreadDialogs(DataSelectionCaption);
        dialog = dialogs.size() == 1 ? dialogs.front() : nullptr;
        return dialog != nullptr;
    });
}

void CloseWith(UiScript& script, HWND& dialog, int buttonId)
{
    script.Then([&dialog, buttonId] { PressDialogButton(dialog, buttonId); })
        .WaitFor("the Add Items dialog closed", [&dialog] { return !IsWindow(dialog); });
}

void ClickCheckBox(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

HWND MainControl(int id)
{
    return GetDlgItem(MainWindow, id);
}
