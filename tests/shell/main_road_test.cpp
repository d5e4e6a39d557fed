// The program's main road as a user takes it through the running main window:
// files dropped on it, the "Add Items" dialog filled in, Update and Exit, the
// log box and the catalogue byte for byte, and catalogue failures.
#include "tests/shell/main_window_fixture.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>

namespace {

using Paths = std::vector<std::string>;

// Posts a drop as the shell makes it (ANSI paths, double NUL) at the centre
// of a control, or near the window's corner for 0: the main window takes it.
void Drop(const Paths& paths, int overId = 0)
{
    RECT over{3, 3, 3, 3};
    if (overId != 0) {
        GetWindowRect(MainControl(overId), &over);
        MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT*>(&over), 2);
    }
    size_t bytes = sizeof(DROPFILES) + 2;  // two closing NULs: Wine reads one past an empty list's end
    for (const std::string& path : paths)
        bytes += path.size() + 1;
    const HGLOBAL block = GlobalAlloc(GHND, bytes);
    ASSERT_TRUE(block);
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->pt = POINT{(over.left + over.right) / 2, (over.top + over.bottom) / 2};
    char* text = reinterpret_cast<char*>(header + 1);
    for (const std::string& path : paths)
        text = std::strcpy(text, path.c_str()) + path.size() + 1;
    GlobalUnlock(block);
    ASSERT_TRUE(PostMessageA(MainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0));
}

int LogLines()
{
    return static_cast<int>(std::count(SelectionState.EntryLog.begin(), SelectionState.EntryLog.end(), '\n'));
}

std::string LogBoxText()
{
    return GetControlText(MainWindow, LogBoxId);
}

// The system's own text for an error, as the message box quotes it.
std::string SystemText(DWORD error)
{
    char* buffer = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text(buffer ? buffer : "", length);
    LocalFree(buffer);
    return text.substr(0, text.find_last_not_of("\r\n ") + 1);
}

// A message box titled like the main window.
HWND ErrorBox()
{
    for (HWND box : ThreadDialogs("Vorlane")) {
        if (box != MainWindow)
            return box;
    }
    return nullptr;
}

}  // namespace

TEST_F(MainWindowTest, DropsOpenAddItemsWhoseUpdateWritesTheRecordAndTheLogAndAnEmptyDropKeepsWhatIsPending)
{
    const std::string file = MakeFile("Artist - Album - Track.mp3");
    HWND dialog = nullptr;
    UiScript script;
    OpenDialog(script, dialog, [] { Drop({}); });
    script.Then([&] {
        EXPECT_EQ("..,,", GetControlText(dialog, TrackBoxId)) << "an empty drop as the first";
        EXPECT_TRUE(SelectionState.DroppedFiles.empty());
        EXPECT_EQ(0, SelectionState.DropPending);
    });
    CloseWith(script, dialog, SelExitButtonId);
    OpenDialog(script, dialog, [&] { Drop({file}, HintLabelId); });
    script.Then([&] {
        EXPECT_EQ("Artist , Album , Track..", GetControlText(dialog, TrackBoxId));
        EXPECT_EQ(nullptr, GetWindow(dialog, GW_OWNER));
        EXPECT_EQ(Paths{file}, SelectionState.DroppedFiles);
        EXPECT_EQ(1, SelectionState.DropPending);
        for (int id : {OriginalCheckId, RipDdlCheckId, IdCheckId, HdBinCheckId})
            ClickCheckBox(dialog, id);
        SetControlText(dialog, IdBoxId, "ID01234");
    });
    CloseWith(script, dialog, UpdateButtonId);
    const std::string first = "X,-,RIP or DLL,No,ID01234,Yes,Artist , Album , Track..\r\n";
    script.Then([&] {
        EXPECT_EQ(HeaderLine + first, Catalogue());
        EXPECT_EQ("Artist , Album , Track..\r\n" + LogSeparator, LogBoxText());
        EXPECT_EQ(LogBoxText(), SelectionState.EntryLog);
        EXPECT_EQ(0, SelectionState.DropPending);
    });
    // Exit leaves the drop pending, and the next dialog, opened by an empty
    // drop, converts the text once more and closes after its Update.
    OpenDialog(script, dialog, [&] { Drop({file}); });
    CloseWith(script, dialog, SelExitButtonId);
    OpenDialog(script, dialog, [] { Drop({}, AddButtonId); });
    script.Then([&] {
        EXPECT_EQ("Artist . Album . Track..,,", GetControlText(dialog, TrackBoxId));
        EXPECT_TRUE(SelectionState.DroppedFiles.empty());
        EXPECT_EQ(file, SelectionState.DroppedPath);
        EXPECT_EQ(1, SelectionState.DropPending);
        EXPECT_EQ(HeaderLine + first, Catalogue()) << "Exit writes nothing";
    });
    CloseWith(script, dialog, UpdateButtonId);
    script.Then([&] {
        EXPECT_EQ(0, SelectionState.DropPending);
        EXPECT_EQ(HeaderLine + first + "-,-,-,No,-,No,Artist . Album . Track..,,\r\n", Catalogue());
        EXPECT_EQ("Artist . Album . Track..,,\r\nArtist , Album , Track..\r\n" + LogSeparator, LogBoxText());
        PressDialogButton(MainWindow, ExitButtonId);
    });
    script.WaitFor("the main window closed by its Exit", [] { return !IsWindow(MainWindow); });
    Run(script);
}

TEST_F(MainWindowTest, EachDropGivesTheTrackTextOfItsLastFileWhereverItLands)
{
    const std::string folder = Path("Folder - Not - Used");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string file = MakeFile("Alpha - Beta - Gamma.mp3");
    const std::string tail = " - Album - Track.mp3";
    const std::string longName = "Long" + std::string(300 - Path("").size() - 4 - tail.size(), 'x');
    ASSERT_EQ(300u, Path(longName + tail).size());  // no such file: it counts as a file
    const struct {
        Paths paths;
        std::string text;
        int overId;
    } drops[] = {
        {{folder}, "..,,", AboutButtonId},  // the first drop, a folder alone: no earlier path to keep
        {{file, folder}, "Alpha , Beta , Gamma..", AddButtonId},
        {{folder, file}, "Alpha , Beta , Gamma..", ExitButtonId},
        {{folder}, "Alpha , Beta , Gamma..", 0},  // afresh from the earlier path, not the text converted since
        {{MakeFile("One - A - X.mp3"), MakeFile("Two - B - Y.mp3"), MakeFile("Three - C - Z.mp3")},
         "Three , C , Z..", LogBoxId},
        {{MakeFile("Me, Myself - Live.mp3")}, "Me. Myself , Live.,", HintLabelId},
        {{MakeFile("A - B - C - D.mp3")}, "A , B , C ", 0},
        {{Path(longName + tail)}, longName + " , Album , Track..", LogBoxId},
    };
    HWND dialog = nullptr;
    UiScript script;
    for (const auto& drop : drops) {
        OpenDialog(script, dialog, [&] { Drop(drop.paths, drop.overId); });
        script.Then([&] {
            EXPECT_EQ(drop.text, GetControlText(dialog, TrackBoxId)) << drop.paths.back();
            EXPECT_EQ(drop.paths, SelectionState.DroppedFiles);
            EXPECT_EQ(1, SelectionState.DropPending);
        });
        CloseWith(script, dialog, SelExitButtonId);
    }
    Run(script);
    EXPECT_EQ("(no catalogue)", Catalogue()) << "Exit writes nothing";
}

TEST_F(MainWindowTest, AddKeepsTheDialogOpenForEveryUpdateWritingLineBreaksAsSpaces)
{
    HWND dialog = nullptr;
    UiScript script;
    OpenDialog(script, dialog, [] { PressDialogButton(MainWindow, AddButtonId); });
    script.Then([&] {
        SetControlText(dialog, TrackBoxId, "T1,A,B");
        PressDialogButton(dialog, UpdateButtonId);
    });
    script.WaitFor("the first record", [] { return LogLines() == 2; });
    script.Then([&] {
        SetControlText(dialog, TrackBoxId, "T2,A,B");
        ClickCheckBox(dialog, CdBinCheckId);
        PressDialogButton(dialog, UpdateButtonId);
    });
    script.WaitFor("the second record", [] { return LogLines() == 3; });
    script.Then([&] {
        SetControlText(dialog, TrackBoxId, "Line\r\nBreak,Album,Track");
        ClickCheckBox(dialog, RipDdlCheckId);
        SetControlText(dialog, RipDdlBoxId, "RIP\rA");
        ClickCheckBox(dialog, IdCheckId);
        SetControlText(dialog, IdBoxId, "ID\n7");
        PressDialogButton(dialog, UpdateButtonId);
    });
    script.WaitFor("the third record", [] { return LogLines() == 4; });
    script.Then([&] {
        EXPECT_EQ(1, GetControlCheck(dialog, CdBinCheckId)) << "the dialog keeps what the user entered";
        EXPECT_EQ(HeaderLine + std::string("-,-,-,No,-,No,T1,A,B\r\n-,-,-,Yes,-,No,T2,A,B\r\n") +
                      "-,-,RIP A,Yes,ID 7,No,Line  Break,Album,Track\r\n",
                  Catalogue());
        EXPECT_EQ("Line  Break,Album,Track\r\nT2,A,B\r\nT1,A,B\r\n" + LogSeparator, LogBoxText());
    });
    CloseWith(script, dialog, SelExitButtonId);
    OpenDialog(script, dialog, [] { PressDialogButton(MainWindow, AddButtonId); });
    script.Then([&] { EXPECT_EQ("....,,", GetControlText(dialog, TrackBoxId)) << "each opening converts once more"; });
    CloseWith(script, dialog, SelExitButtonId);
    Run(script);
}

TEST_F(MainWindowTest, ADialogOpenedWhileAnotherIsOpenNestsAndTheOuterOutlivesTheMainWindow)
{
    const std::string file = MakeFile("Outer - Album - Track.mp3");
    HWND outer = nullptr, inner = nullptr;
    UiScript script;
    OpenDialog(script, outer, [&] { Drop({file}); });
    script.Then([] { PressDialogButton(MainWindow, AddButtonId); });
    script.WaitFor("a second Add Items dialog", [&] {
        for (HWND dialog : ThreadDialogs(DataSelectionCaption))
            inner = dialog != outer ? dialog : inner;
        return inner != nullptr;
    });
    script.Then([&] {
        EXPECT_EQ("Outer . Album . Track..,,", GetControlText(inner, TrackBoxId));
        EXPECT_EQ("Outer , Album , Track..", GetControlText(outer, TrackBoxId));
    });
    CloseWith(script, inner, SelExitButtonId);
    script.Then([] { PostMessageA(MainWindow, WM_SYSCOMMAND, SC_CLOSE, 0); });
    script.WaitFor("the main window destroyed", [] { return !IsWindow(MainWindow); });
    script.Then([&] {
        EXPECT_FALSE(MainWindowReturned()) << "RunMainWindow returned while a dialog is open";
        ClickCheckBox(outer, CdrCheckId);
    });
    CloseWith(script, outer, UpdateButtonId);
    Run(script);
    EXPECT_EQ(HeaderLine + std::string("-,X,-,No,-,No,Outer , Album , Track..\r\n"), Catalogue());
    EXPECT_EQ("Outer , Album , Track..\r\n" + LogSeparator, SelectionState.EntryLog);
    EXPECT_EQ(0, SelectionState.DropPending);
}

TEST_F(MainWindowTest, CatalogueFailuresAreReportedInABoxOwnedByTheDialogWhichKeepsEverythingForTheNextUpdate)
{
    const std::string inTheWay = Path("Vorlane.csv");
    ASSERT_TRUE(CreateDirectoryA(inTheWay.c_str(), nullptr));
    const HANDLE opened = CreateFileA(inTheWay.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0,
                                      nullptr);  // meets the error the catalogue's open meets
    ASSERT_EQ(INVALID_HANDLE_VALUE, opened);
    const std::string folderReason = SystemText(GetLastError());
    const std::string before = HeaderLine + std::string("X,X,-,No,-,No,Old,Old,Old\r\n");
    const std::string file = MakeFile("Held - Album - Track.mp3");
    HANDLE held = INVALID_HANDLE_VALUE;
    const struct {
        std::string reason;
        std::function<void()> then;
    } failures[] = {
        {folderReason, [&] {  // the folder goes, and a catalogue comes that another handle holds
             EXPECT_TRUE(RemoveDirectoryA(inTheWay.c_str()));
             EXPECT_TRUE(WriteTestFile(inTheWay, before));
             held = CreateFileA(inTheWay.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
             EXPECT_NE(INVALID_HANDLE_VALUE, held);
         }},
        {SystemText(ERROR_SHARING_VIOLATION), [&] {
             CloseHandle(held);
             EXPECT_EQ(before, Catalogue());
         }},
    };
    HWND dialog = nullptr;
    UiScript script;
    OpenDialog(script, dialog, [&] { Drop({file}); });
    script.Then([&] {
        ClickCheckBox(dialog, OriginalCheckId);
        SetControlText(dialog, TrackBoxId, "Held,Edited,Track");
    });
    for (const auto& failure : failures) {
        ASSERT_FALSE(failure.reason.empty());
        script.Then([&] { PressDialogButton(dialog, UpdateButtonId); });
        script.WaitFor("the message box", [] { return ErrorBox() != nullptr; });
        script.Then([&] {
            EXPECT_EQ(dialog, GetWindow(ErrorBox(), GW_OWNER));
            const std::string text = MessageBoxText(ErrorBox());
            EXPECT_NE(std::string::npos, text.find(failure.reason)) << text;
            EXPECT_NE(std::string::npos, text.find("Vorlane.csv")) << text;
            PressDialogButton(ErrorBox(), IDOK);
        });
        script.WaitFor("the message box closed", [] { return ErrorBox() == nullptr; });
        script.Then([&] {
            ASSERT_TRUE(IsWindow(dialog));
            EXPECT_TRUE(IsWindowEnabled(dialog));
            EXPECT_EQ(1, GetControlCheck(dialog, OriginalCheckId));
            EXPECT_EQ("Held,Edited,Track", GetControlText(dialog, TrackBoxId));
            EXPECT_EQ(1, SelectionState.DropPending);
            EXPECT_EQ("", SelectionState.EntryLog);
            EXPECT_EQ("", LogBoxText());
            failure.then();
        });
    }
    CloseWith(script, dialog, UpdateButtonId);
    script.Then([] { EXPECT_EQ("Held,Edited,Track\r\n" + LogSeparator, LogBoxText()); });
    Run(script);
    EXPECT_EQ(before + "X,-,-,No,-,No,Held,Edited,Track\r\n", Catalogue());
    EXPECT_EQ(0, SelectionState.DropPending);
}
