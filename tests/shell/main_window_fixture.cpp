#include "tests/shell/main_window_fixture.h"

namespace {

BOOL CALLBACK CollectDialog(HWND window, LPARAM list)
{
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) == "#32770")
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> ThreadDialogs()
{
    std::vector<HWND> dialogs;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

std::string CurrentDirectory()
{
    const DWORD needed = GetCurrentDirectoryA(0, nullptr);
    std::string directory(needed, '\0');
    const DWORD length = GetCurrentDirectoryA(needed, &directory[0]);
    directory.resize(length < needed ? length : 0);
    return directory;
}

}  // namespace

void MainWindowTest::SetUp()
{
    ASSERT_FALSE(folder_.Path().empty());
    previousDirectory_ = CurrentDirectory();
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.Path().c_str()));
    SelectionState = SelectionValues{};
    SelectionState.StartDir = folder_.Path();
}

void MainWindowTest::TearDown()
{
    SelectionState = SelectionValues{};
    SetCurrentDirectoryA(previousDirectory_.c_str());  // before the folder goes
}

INT_PTR MainWindowTest::Run(UiScript& script)
{
    script.WaitFor(
        "every window of the program to close",
        [] { return !IsWindow(MainWindow) && ThreadDialogs().empty(); }, 3000);
    script.Start(5);
    const INT_PTR result = RunMainWindow(nullptr);
    // Windows left after the main window (a dialog, a box) kept it running;
    // the last wait still has to see them gone.
    if (!script.Finished() && !script.Failed())
        script.RunToEnd();
    EXPECT_TRUE(script.Finished()) << "RunMainWindow returned before the script ended";
    EXPECT_FALSE(IsWindow(MainWindow));
    return result;
}

std::string MainWindowTest::MakeFile(const std::string& name) const
{
    const std::string path = folder_.PathOf(name);
    EXPECT_TRUE(WriteTestFile(path, "")) << path;
    return path;
}

std::string MainWindowTest::MakeFolder(const std::string& name) const
{
    const std::string path = folder_.PathOf(name);
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
    return path;
}

std::optional<std::string> MainWindowTest::CatalogueBytes() const
{
    return ReadTestFile(folder_.PathOf("Vorlane.csv"));
}

std::vector<HWND> OpenDialogs(const std::string& caption)
{
    std::vector<HWND> found;
    for (HWND window : ThreadDialogs()) {
        if (window != MainWindow && IsWindow(window) && WindowText(window) == caption)
            found.push_back(window);
    }
    return found;
}

HWND OnlyDataSelection()
{
    const std::vector<HWND> dialogs = OpenDialogs(DataSelectionCaption);
    return dialogs.size() == 1 ? dialogs.front() : nullptr;
}

HWND MainControl(int id)
{
    return GetDlgItem(MainWindow, id);
}

std::string ControlText(HWND window, int id)
{
    return WindowText(GetDlgItem(window, id));
}

bool IsChecked(HWND dialog, int id)
{
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

POINT CentreOf(int id)
{
    RECT bounds{};
    GetWindowRect(MainControl(id), &bounds);
    MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT*>(&bounds), 2);
    return POINT{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
}

void PostClick(HWND window, int id)
{
    EXPECT_TRUE(PostMessageA(GetDlgItem(window, id), BM_CLICK, 0, 0)) << id;
}

void ClickCheckBox(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void SetText(HWND window, int id, const std::string& text)
{
    SendMessageA(GetDlgItem(window, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void PostClose(HWND window)
{
    EXPECT_TRUE(PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0));
}
