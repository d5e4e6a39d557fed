// The running main window and the "Add Items" dialogs it opens, driven from
// inside their modal loops: the window as built, drops, Add, Update and Exit
// with the catalogue and the log box, and every way an Update can end.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <tuple>
#include <vector>

#include "catalogue/catalogue_record.h"
#include "catalogue/catalogue_update.h"
#include "catalogue/selection_state.h"
#include "rrbutton/rrbutton.h"
#include "shell/control_ids.h"
#include "shell/dialog/dialog_layer.h"
#include "shell/entry_log.h"
#include "shell/main_window.h"
#include "tests/support/test_support.h"

namespace {

const std::string Header =
    "[X]original ,[X]CD-R ,[Rip-DDL] Copy ,[YES]CD-bin ,[ID#####],[YES]HD-bin ,Artist ,Album ,Tracks \r\n";
const std::string Hyphens = std::string(41, '-') + "\r\n";
HWND dialog = nullptr;  // the "Add Items" dialog the steps work on

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { Fresh(); }
    void TearDown() override { std::filesystem::current_path(previous_); }

    // A new folder to start the program in, and its values as at its start.
    void Fresh()
    {
        std::filesystem::current_path(previous_);
        folder_ = std::make_unique<TempFolder>();
        ASSERT_TRUE(SetCurrentDirectoryA(folder_->Path().c_str()));
        SelectionState = SelectionValues{};
        SelectionState.StartDir = folder_->Path();
    }
    // Runs the main window with the steps inside its loops; they end by closing it.
    void Run(Steps& steps)
    {
        steps.Do([] { PostMessageA(MainWindow, WM_SYSCOMMAND, SC_CLOSE, 0); }).WaitFor("the close", [] {
            return !IsWindow(MainWindow);
        });
        steps.Run([] { EXPECT_EQ(RunMainWindow(nullptr), 0); });
    }
    std::string Catalogue() { return ReadBytes(folder_->Path("Vorlane.csv")).value_or("(none)"); }

    const std::filesystem::path previous_ = std::filesystem::current_path();
    std::unique_ptr<TempFolder> folder_;
};

// A drop as the shell posts it: ANSI paths, each closed by a NUL, and one more.
void PostDrop(const std::vector<std::string>& paths)
{
    std::string list;
    for (const std::string& path : paths)
        list += path + '\0';
    const HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() + 2);
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    std::memcpy(header + 1, list.data(), list.size());
    GlobalUnlock(block);
    PostMessageA(MainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
}

// Waits for exactly one "Add Items" dialog, showing this track text.
void OpenDialog(Steps& steps, std::function<void()> open, const char* trackText)
{
    steps.Do(std::move(open)).WaitFor("one Add Items dialog", [trackText] {
        dialog = FindWindowA("#32770", "Add Items");
        return dialog && !FindWindowExA(nullptr, dialog, "#32770", "Add Items") && IsWindowVisible(dialog) &&
               GetControlText(dialog, TrackBoxId) == trackText;
    });
}

HWND MessageBoxOfUpdate()  // a box captioned like the main window, with a text
{
    for (HWND box = nullptr; (box = FindWindowExA(nullptr, box, "#32770", "Vorlane"));)
        if (GetDlgItem(box, 0xFFFF))
            return box;
    return nullptr;
}

// The ids of a window's controls in creation order.
std::vector<int> ChildIds(HWND window)
{
    std::vector<int> ids;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ids.push_back(GetDlgCtrlID(child));
    return ids;
}

std::tuple<LONG, LONG, LONG, LONG> PlaceOf(HWND control)  // left, top, width, height in the parent
{
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return {place.left, place.top, place.right - place.left, place.bottom - place.top};
}

// The middle of the picture button as it shows on screen.
std::vector<COLORREF> PictureOf(HWND button)
{
    std::vector<COLORREF> pixels;
    UpdateWindow(button);
    const HDC dc = GetDC(button);
    for (int y = 6; y < 42; ++y)
        for (int x = 6; x < 42; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(button, dc);
    return pixels;
}

}  // namespace

TEST_F(MainWindowTest, WindowAsBuilt)
{
    HICON icon = nullptr;
    std::vector<COLORREF> normal;
    Steps steps;
    steps.WaitFor("the main window", [] { return IsWindowVisible(MainWindow) != FALSE; }).Do([&] {
        RECT window{}, client{}, units{2, 49, 155, 135}, picture{120, 10, 0, 0};
        GetWindowRect(MainWindow, &window);
        GetClientRect(MainWindow, &client);
        MapDialogRect(MainWindow, &units);
        MapDialogRect(MainWindow, &picture);
        EXPECT_EQ(std::tuple(window.left, window.top), std::tuple(0, 0));
        EXPECT_EQ(std::tuple(client.right, client.bottom), std::tuple(units.right, units.bottom));
        EXPECT_EQ(GetWindowLongA(MainWindow, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_ACCEPTFILES),
                  WS_EX_TOPMOST | WS_EX_ACCEPTFILES);
        // The controls by the ids other programs see, in creation order; the tab order skips the hint.
        EXPECT_EQ(ChildIds(MainWindow), (std::vector<int>{1001, 1003, 1004, 1007, 1028}));
        std::vector<int> tabOrder{1001};
        for (HWND item = GetDlgItem(MainWindow, 1001); tabOrder.size() < 5;)
            tabOrder.push_back(GetDlgCtrlID(item = GetNextDlgTabItem(MainWindow, item, FALSE)));
        EXPECT_EQ(tabOrder, (std::vector<int>{1001, 1003, 1004, 1028, 1001}));
        EXPECT_EQ(GetControlText(MainWindow, 1004), "Exit");
        EXPECT_EQ(SendMessageA(GetDlgItem(MainWindow, 1003), WM_GETFONT, 0, 0),
                  SendMessageA(MainWindow, WM_GETFONT, 0, 0));
        EXPECT_EQ(PlaceOf(GetDlgItem(MainWindow, 1028)), std::tuple(picture.left, picture.top, 48, 48));
        EXPECT_EQ(SendMessageA(GetDlgItem(MainWindow, 1028), RRBM_GETIMAGEWIDTH, 0, 0), 48) << "its picture's size";
        icon = reinterpret_cast<HICON>(SendMessageA(MainWindow, WM_GETICON, ICON_SMALL, 0));
        ICONINFO big{};
        BITMAP bits{};
        GetIconInfo(reinterpret_cast<HICON>(SendMessageA(MainWindow, WM_GETICON, ICON_BIG, 0)), &big);
        GetObjectA(big.hbmColor, sizeof bits, &bits);
        EXPECT_EQ(std::tuple(bits.bmWidth, bits.bmHeight), std::tuple(32, 32)) << "the big icon";
        DeleteObject(big.hbmColor);
        DeleteObject(big.hbmMask);

        // The log box spans the client width and reaches down to its bottom, maximized too; minimizing leaves it.
        const auto logBoxFits = [&units] {
            RECT now{};
            GetClientRect(MainWindow, &now);
            const auto [left, top, width, height] = PlaceOf(GetDlgItem(MainWindow, LogBoxId));
            EXPECT_EQ(std::tuple(left, top), std::tuple(units.left, units.top));
            EXPECT_NEAR(width, now.right, 1);
            EXPECT_NEAR(top + height, now.bottom, 1);
        };
        logBoxFits();
        ShowWindow(MainWindow, SW_MAXIMIZE);
        logBoxFits();
        const auto maximized = PlaceOf(GetDlgItem(MainWindow, LogBoxId));
        ShowWindow(MainWindow, SW_MINIMIZE);
        EXPECT_EQ(PlaceOf(GetDlgItem(MainWindow, LogBoxId)), maximized) << "minimized";
        ShowWindow(MainWindow, SW_RESTORE);

        // The focus comes back when the window is activated again.
        SetFocus(GetDlgItem(MainWindow, AddButtonId));
        SendMessageA(MainWindow, WM_NCACTIVATE, FALSE, 0);
        SetFocus(GetDlgItem(MainWindow, LogBoxId));
        SendMessageA(MainWindow, WM_NCACTIVATE, TRUE, 0);
        EXPECT_EQ(GetFocus(), GetDlgItem(MainWindow, AddButtonId));

        // The picture button, clicked with the pointer over it: the filled box while the pointer is there.
        const HWND button = GetDlgItem(MainWindow, AboutButtonId);
        RECT place{};
        GetWindowRect(button, &place);
        normal = PictureOf(button);
        ASSERT_TRUE(MovePointer({place.left + 24, place.top + 24}));
        SendMessageA(button, WM_MOUSEMOVE, 0, 0);
        EXPECT_NE(PictureOf(button), normal) << "the hot picture";
        SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        EXPECT_EQ(PictureOf(button), normal) << "the pressed picture";
        PostMessageA(button, WM_LBUTTONUP, 0, 0);
    });
    steps.WaitFor("the About box", [] { return FindWindowA("#32770", "About Vorlane") != nullptr; }).Do([] {
        PostClick(FindWindowA("#32770", "About Vorlane"), IDOK);
    });
    OpenDialog(
        steps, [] { PostDrop({}); }, "..,,");  // an empty drop opens the dialog all the same
    steps.Do([] {                              // the dialog's loop serves the main window's log box as well
        PostMessageA(GetDlgItem(MainWindow, LogBoxId), WM_KEYDOWN, 'Q', 0x00100001);
    });
    steps.WaitFor("typing in the log box", [] { return GetControlText(MainWindow, LogBoxId) == "q"; });
    steps.Do([] { PostClick(dialog, SelExitButtonId); }).WaitFor("Exit", [] { return !IsWindow(dialog); });
    // A drop's dialog whose Update fails says why, keeps what the user entered
    // and stays; the next Update that succeeds closes it.
    const HANDLE other =
        CreateFileA(folder_->Path("Vorlane.csv").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    std::string message;
    OpenDialog(
        steps, [&] { PostDrop({folder_->Path("Artist - Album - Track.mp3")}); }, "Artist , Album , Track..");
    steps.Do([] {
        SetControlText(dialog, IdBoxId, "ID00231");
        PostClick(dialog, UpdateButtonId);
    });
    steps.WaitFor("the failure message", [] { return MessageBoxOfUpdate() != nullptr; }).Do([&] {
        message = GetControlText(MessageBoxOfUpdate(), 0xFFFF);
        PostClick(MessageBoxOfUpdate(), IDOK);
    });
    steps.WaitFor("the message closed", [] { return !MessageBoxOfUpdate(); }).Do([&] {
        EXPECT_EQ(GetControlText(dialog, IdBoxId), "ID00231") << "the dialog keeps the entries";
        EXPECT_EQ(GetControlText(MainWindow, LogBoxId), "q") << "the log shows no entry";
        EXPECT_EQ(SelectionState.DropPending, 1);
        CloseHandle(other);
        PostClick(dialog, UpdateButtonId);
    });
    steps.WaitFor("the dialog closed", [] { return !IsWindow(dialog); }).Do([] {
        EXPECT_EQ(GetControlText(MainWindow, LogBoxId), "Artist , Album , Track..\r\n" + Hyphens) << "typed over";
    });
    Run(steps);
    EXPECT_NE(message.find("could not open the catalogue \"Vorlane.csv\" in " + folder_->Path()), std::string::npos)
        << message;
    EXPECT_EQ(Catalogue(), "-,-,-,No,-,No,Artist , Album , Track..\r\n") << "Exit wrote nothing";
    EXPECT_EQ(SelectionState.DropPending, 0);
    ICONINFO info{};
    EXPECT_FALSE(GetIconInfo(icon, &info)) << "the window's icon outlives it";
}

// Each check box lands in its own column, its text box's text with it. A
// dialog opened with Add stays open and writes one record at each Update.
TEST_F(MainWindowTest, EveryCheckBoxInItsOwnColumn)
{
    Steps steps;
    OpenDialog(
        steps, [] { PostClick(MainWindow, 1003); }, "..,,");
    steps.Do([] {
        EXPECT_EQ(ChildIds(dialog), (std::vector<int>{1008, 1009, 1010, 1028, 1011, 1012, 1027, 1013, 1015, 1016, 1017,
                                                      1018, 1019, 1020}));
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
        EXPECT_TRUE(IsWindowEnabled(MainWindow));
        SetControlText(dialog, 1015, "A,B,C");
    });
    for (int box = 1008; box <= 1013; ++box) {
        steps.Do([box] {
            SendMessageA(GetDlgItem(dialog, box), BM_CLICK, 0, 0);
            PostClick(dialog, 1018);
        });
        steps.WaitFor("the record", [this, box] {
            const std::string lines = Catalogue();
            return std::count(lines.begin(), lines.end(), '\n') == box - 1006;
        });
        steps.Do([box] { SendMessageA(GetDlgItem(dialog, box), BM_CLICK, 0, 0); });
    }
    steps.Do([] { PostClick(dialog, SelExitButtonId); }).WaitFor("Exit", [] { return !IsWindow(dialog); });
    Run(steps);
    EXPECT_EQ(Catalogue(), Header + "X,-,-,No,-,No,A,B,C\r\n-,X,-,No,-,No,A,B,C\r\n-,-,RIP or DLL,No,-,No,A,B,C\r\n"
                                    "-,-,-,Yes,-,No,A,B,C\r\n-,-,-,No,ID,No,A,B,C\r\n-,-,-,No,-,Yes,A,B,C\r\n");
}

// ---- Every way an Update can end, each on a fresh catalogue folder ------------

namespace {

enum class Fault { None, FullDisk, FailedFlush, FailedCutBack };
Fault fault = Fault::None;
std::string calls;        // what the program did to the file: O open, o refused open, W write, F flush, E cut back
HANDLE holder = nullptr;  // another program's handle on the catalogue
bool releaseWhenRefused = false;  // that program lets go once it has made the program wait
decltype(&CreateFileA) realCreate;
decltype(&WriteFile) realWrite;
decltype(&FlushFileBuffers) realFlush, realSetEnd;

HANDLE WINAPI TestCreate(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD creation,
                         DWORD flags, HANDLE model)
{
    const HANDLE file = realCreate(name, access, share, security, creation, flags, model);
    const DWORD error = GetLastError();
    if (std::strcmp(name, "Vorlane.csv") == 0)  // the program's own opens
        calls += file == INVALID_HANDLE_VALUE ? 'o' : 'O';
    if (file == INVALID_HANDLE_VALUE && releaseWhenRefused)
        releaseWhenRefused = !CloseHandle(holder);
    SetLastError(error);
    return file;
}

BOOL WINAPI TestWrite(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped)
{
    calls += 'W';
    const bool full = fault == Fault::FullDisk || fault == Fault::FailedCutBack;
    return realWrite(file, data, full ? size / 2 : size, written, overlapped);  // a full disk takes half
}

// A flush or a cut-back that fails does nothing, as when the disk is gone.
template <Fault failing, char letter, decltype(&FlushFileBuffers)& real>
BOOL WINAPI TestFlushOrCutBack(HANDLE file)
{
    calls += letter;
    return fault != failing && real(file);
}

}  // namespace

// Every way an append can end, each on a fresh catalogue folder.
TEST_F(MainWindowTest, AppendsKeepTheCatalogueWholeWhateverHappens)
{
    realCreate = reinterpret_cast<decltype(realCreate)>(ReplaceImport("CreateFileA", (void*)&TestCreate));
    realWrite = reinterpret_cast<decltype(realWrite)>(ReplaceImport("WriteFile", (void*)&TestWrite));
    realFlush = reinterpret_cast<decltype(realFlush)>(
        ReplaceImport("FlushFileBuffers", (void*)&TestFlushOrCutBack<Fault::FailedFlush, 'F', realFlush>));
    realSetEnd = reinterpret_cast<decltype(realSetEnd)>(
        ReplaceImport("SetEndOfFile", (void*)&TestFlushOrCutBack<Fault::FailedCutBack, 'E', realSetEnd>));
    ASSERT_TRUE(realCreate && realWrite && realFlush && realSetEnd);
    const SelectionAnswers answers{true, false, true, "RIP or DLL", false, true, "ID00231", false, "A , B , C.."};
    const std::string record = "X,-,RIP or DLL,No,ID00231,No,A , B , C..\r\n", old = "old\r\n";
    enum Before { Missing, Empty, Old, HiddenOld, Held, HeldBriefly, Folder };
    // What was there, the fault met: the catalogue after, the calls made, the message.
    const std::tuple<const char*, Before, Fault, std::string, std::string, std::string> rows[] = {
        {"new catalogue", Missing, Fault::None, Header + record, "OWF", ""},
        {"empty catalogue", Empty, Fault::None, record, "OWF", ""},
        {"hidden catalogue", HiddenOld, Fault::None, old + Header + record, "OWF", ""},
        {"held by another program", Held, Fault::None, old, "oooooooooo", "could not open the catalogue"},
        {"held for a moment", HeldBriefly, Fault::None, old + record, "oOWF", ""},
        {"a folder in the way", Folder, Fault::None, "(none)", "o", "could not open"},
        {"disk full", Old, Fault::FullDisk, old, "OWEF", "could not write to"},
        {"disk full on a new catalogue", Missing, Fault::FullDisk, "(none)", "OWEF", "Nothing was written."},
        {"flush fails", Old, Fault::FailedFlush, old, "OWFEF", "could not finish writing to"},
        {"cut-back fails", Old, Fault::FailedCutBack, old + record.substr(0, record.size() / 2), "OWE",
         "could not be put back as it was"},
    };
    for (const auto& [name, before, rowFault, after, rowCalls, message] : rows) {
        SCOPED_TRACE(name);
        Fresh();
        const std::string path = folder_->Path("Vorlane.csv");
        if (before == Folder)
            CreateDirectoryA(path.c_str(), nullptr);
        else if (before != Missing)
            WriteBytes(path, before == Empty ? "" : old);
        SetFileAttributesA(path.c_str(), before == HiddenOld ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL);
        const bool held = before == Held || before == HeldBriefly;
        holder = held ? CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr) : nullptr;
        releaseWhenRefused = before == HeldBriefly;
        calls.clear();
        fault = rowFault;
        const UpdateResult result = AppendUpdate(answers, SelectionState.StartDir, "T1\r\n");
        fault = Fault::None;
        if (before == Held)
            CloseHandle(holder);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(Catalogue(), after);
        EXPECT_EQ(calls, rowCalls);
        EXPECT_NE(result.failureMessage.find(message), std::string::npos) << result.failureMessage;
        EXPECT_EQ(result.entryLog, message.empty() ? "A , B , C..\r\nT1\r\n" : "T1\r\n");
    }
    ReplaceImport("CreateFileA", (void*)realCreate);
    ReplaceImport("WriteFile", (void*)realWrite);
    ReplaceImport("FlushFileBuffers", (void*)realFlush);
    ReplaceImport("SetEndOfFile", (void*)realSetEnd);
}

TEST(EntryLog, TheLogBoxShowsTheWholeLogAtAnyLength)
{
    const HWND box = CreateWindowExA(0, "EDIT", "", WS_POPUP | ES_MULTILINE | ES_AUTOHSCROLL | WS_VSCROLL, 0, 0, 200,
                                     100, nullptr, nullptr, nullptr, nullptr);
    std::string log;
    for (int entry = 1; entry <= 1500; ++entry) {  // 45,000 characters: past the box's default limit
        if (entry == 700)                          // the user types into the box: it is set anew
            SendMessageA(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("typed"));
        const std::string newLog = PrependLogEntry(log, "Artist , Album , Track " + std::to_string(entry));
        ShowEntryLog(box, log, newLog);
        log = newLog;
    }
    DWORD start = 1, end = 1;
    SendMessageA(box, EM_GETSEL, WPARAM(&start), LPARAM(&end));
    EXPECT_EQ(std::tuple(start, end), std::tuple(0u, 0u)) << "the caret at the start";
    EXPECT_EQ(SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "the first line at the top";
    std::string shown(log.size() + 1, '\0');
    shown.resize(GetWindowTextA(box, &shown[0], static_cast<int>(shown.size())));
    EXPECT_EQ(shown, log);
    DestroyWindow(box);
}
