// The program's main road, driven as a user would through the running main
// window: files dropped on it, the "Add Items" dialog filled in, Update and
// Exit, the log box and the catalogue file byte for byte, and what the user
// sees when the catalogue cannot be written.
#include "shell/control_ids.h"
#include "tests/shell/main_window_fixture.h"
#include "tests/support/drop_files.h"

#include <string>
#include <vector>

namespace {

using Paths = std::vector<std::string>;

// Drops the paths on the main window at the centre of a control (or on the
// window's background for 0): wherever it lands, the main window takes it.
void Drop(const Paths& paths, int overId = 0)
{
    const POINT point = overId != 0 ? CentreOf(overId) : POINT{3, 3};
    ASSERT_TRUE(PostDrop(MainWindow, paths, point));
}

void WaitForDialog(UiScript& script, HWND& dialog)
{
    script.WaitFor("one Add Items dialog", [&dialog] { return (dialog = OnlyDataSelection()) != nullptr; });
}

void WaitForDialogClosed(UiScript& script, HWND& dialog)
{
    script.WaitFor("the Add Items dialog closed", [&dialog] { return !IsWindow(dialog); });
}

void ExitDialog(UiScript& script, HWND& dialog)
{
    script.Then([&dialog] { PressDialogButton(dialog, SelExitButtonId); });
    WaitForDialogClosed(script, dialog);
}

// Opens the dialog with a drop, checks the track text it offers, and leaves it with Exit.
void DropAndExpectTrackText(UiScript& script, HWND& dialog, const Paths& paths, const std::string& expected,
                            int overId = 0)
{
    script.Then([paths, overId] { Drop(paths, overId); });
    WaitForDialog(script, dialog);
    script.Then([&dialog, paths, expected] {
        EXPECT_EQ(expected, ControlText(dialog, TrackBoxId)) << paths.back();
        EXPECT_EQ(paths, SelectionState.DroppedFiles);
    });
    ExitDialog(script, dialog);
}

std::string LogBoxText()
{
    return ControlText(MainWindow, LogBoxId);
}

int LogLines()
{
    int lines = 0;
    for (char c : SelectionState.EntryLog)
        lines += c == '\n';
    return lines;
}

// The system's own text for an error code, as the user's message quotes it.
std::string SystemText(DWORD error)
{
    char* buffer = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text(buffer ? buffer : "", length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

// The error the system gives for opening the path as the catalogue is opened.
DWORD OpenErrorOf(const std::string& path)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    CloseHandle(file);
    return 0;
}

// Message boxes titled like the main window.
std::vector<HWND> ErrorBoxes()
{
    return OpenDialogs(MainCaption);
}

// Closes a handle the test holds, also when the test stops early.
class HeldFile {
public:
    explicit HeldFile(const std::string& path)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~HeldFile() { Release(); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Release()
    {
        if (Held())
            CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_;
};

}  // namespace

TEST_F(MainWindowTest, DroppedFileOpensAddItemsAndUpdateWritesHeaderRecordAndLogThenCloses)
{
    const std::string file = MakeFile("Artist - Album - Track.mp3");
    HWND dialog = nullptr;
    UiScript script;
    script.Then([&] { Drop({file}, HintLabelId); });
    WaitForDialog(script, dialog);
    script.Then([&] {
        EXPECT_EQ("Artist , Album , Track..", ControlText(dialog, TrackBoxId));
        EXPECT_EQ(nullptr, GetWindow(dialog, GW_OWNER));
        EXPECT_EQ(Paths{file}, SelectionState.DroppedFiles);
        EXPECT_EQ(file, SelectionState.DroppedPath);
        EXPECT_EQ(1, SelectionState.DropPending);
        ClickCheckBox(dialog, OriginalCheckId);
        ClickCheckBox(dialog, RipDdlCheckId);
        ClickCheckBox(dialog, IdCheckId);
        SetText(dialog, IdBoxId, "ID01234");
        ClickCheckBox(dialog, HdBinCheckId);
        PressDialogButton(dialog, UpdateButtonId);
    });
    WaitForDialogClosed(script, dialog);
    script.Then([&] {
        EXPECT_EQ(std::string(ExpectedHeaderLine) + "X,-,RIP or DLL,No,ID01234,Yes,Artist , Album , Track..\r\n",
                  CatalogueBytes().value_or("(no catalogue)"));
        const std::string log = "Artist , Album , Track..\r\n" + LogSeparatorLine;
        EXPECT_EQ(log, LogBoxText());
        EXPECT_EQ(log, SelectionState.EntryLog);
        EXPECT_EQ(0, SelectionState.DropPending);
        PostClick(MainWindow, ExitButtonId);
    });
    EXPECT_EQ(0, Run(script));
}

TEST_F(MainWindowTest, ThreeDroppedFilesAreKeptInOrderAndTheThirdGivesTheTrackTextInOneDialog)
{
    const Paths files = {MakeFile("One - A - X.mp3"), MakeFile("Two - B - Y.mp3"), MakeFile("Three - C - Z.mp3")};
    HWND dialog = nullptr;
    UiScript script;
    script.Then([&] { Drop(files, LogBoxId); });
    WaitForDialog(script, dialog);
    script.Then([] {});
    script.Then([&] {
        EXPECT_EQ(1u, OpenDialogs(DataSelectionCaption).size());
        EXPECT_EQ(files, SelectionState.DroppedFiles);
        EXPECT_EQ("Three , C , Z..", ControlText(dialog, TrackBoxId));
    });
    ExitDialog(script, dialog);
    script.Then([] { PostClose(MainWindow); });
    EXPECT_EQ(0, Run(script));
}

TEST_F(MainWindowTest, FoldersAreSkippedWhereverTheyStandAndAFolderAloneKeepsTheEarlierPath)
{
    const std::string folder = MakeFolder("Folder - Not - Used");
    const std::string file = MakeFile("Alpha - Beta - Gamma.mp3");
    HWND dialog = nullptr;
    UiScript script;
    // The first drop of the session, a folder alone: nothing earlier to keep.
    DropAndExpectTrackText(script, dialog, {folder}, "..,,", AboutButtonId);
    script.Then([] {
        EXPECT_EQ("", SelectionState.DroppedPath);
        EXPECT_EQ(1, SelectionState.DropPending);
    });
    DropAndExpectTrackText(script, dialog, {file, folder}, "Alpha , Beta , Gamma..", AddButtonId);
    DropAndExpectTrackText(script, dialog, {folder, file}, "Alpha , Beta , Gamma..", ExitButtonId);
    // The folder alone again: the text comes afresh from the file's path, not
    // from the text the dialog has converted since.
    DropAndExpectTrackText(script, dialog, {folder}, "Alpha , Beta , Gamma..");
    script.Then([&] {
        EXPECT_EQ(file, SelectionState.DroppedPath);
        EXPECT_FALSE(CatalogueBytes().has_value()) << "Exit writes nothing";
        PostClose(MainWindow);
    });
    EXPECT_EQ(0, Run(script));
}

TEST_F(MainWindowTest, NamesWithTheirOwnCommaOrMoreSeparatorsAndLongPaths)
{
    const std::string ownComma = MakeFile("Me, Myself - Live.mp3");
    const std::string fourNames = MakeFile("A - B - C - D.mp3");
    // A path of 300 characters (no such file: it counts as a file).
    const std::string tail = " - Album - Track.mp3";
    const size_t filler = 300 - StartDir().size() - 1 - 4 - tail.size();
    const std::string longName = "Long" + std::string(filler, 'x');
    const std::string longPath = InStartDir(longName + tail);
    ASSERT_EQ(300u, longPath.size());
    HWND dialog = nullptr;
    UiScript script;
    DropAndExpectTrackText(script, dialog, {ownComma}, "Me. Myself , Live.,", HintLabelId);
    DropAndExpectTrackText(script, dialog, {fourNames}, "A , B , C ");
    DropAndExpectTrackText(script, dialog, {longPath}, longName + " , Album , Track..", LogBoxId);
    script.Then([] { PostClose(MainWindow); });
    EXPECT_EQ(0, Run(script));
}

TEST_F(MainWindowTest, EmptyDropOpensTheDialogWithThePreviousTextConvertedOnceMoreAndDropPendingUnchanged)
{
    const std::string file = MakeFile("Artist - Album - Track.mp3");
    HWND dialog = nullptr;
    UiScript script;
    script.Then([] { Drop({}); });
    WaitForDialog(script, dialog);
    script.Then([&] {
        EXPECT_EQ("..,,", ControlText(dialog, TrackBoxId));
        EXPECT_TRUE(SelectionState.DroppedFiles.empty());
        EXPECT_EQ(0, SelectionState.DropPending);
        PressDialogButton(dialog, UpdateButtonId);
    });
    script.WaitFor("the first record", [] { return LogLines() == 2; });
    script.Then([&] { EXPECT_TRUE(IsWindow(dialog)) << "no drop pending: the dialog stays open"; });
    ExitDialog(script, dialog);
    DropAndExpectTrackText(script, dialog, {file}, "Artist , Album , Track..");
    script.Then([] { Drop({}, AddButtonId); });
    WaitForDialog(script, dialog);
    script.Then([&] {
        EXPECT_EQ("Artist . Album . Track..,,", ControlText(dialog, TrackBoxId));
        EXPECT_TRUE(SelectionState.DroppedFiles.empty());
        EXPECT_EQ(file, SelectionState.DroppedPath);
        EXPECT_EQ(1, SelectionState.DropPending);
        PressDialogButton(dialog, UpdateButtonId);
    });
    WaitForDialogClosed(script, dialog);
    script.Then([this] {
        EXPECT_EQ(0, SelectionState.DropPending);
        EXPECT_EQ(std::string(ExpectedHeaderLine) + "-,-,-,No,-,No,..,,\r\n" +
                      "-,-,-,No,-,No,Artist . Album . Track..,,\r\n",
                  CatalogueBytes().value_or("(no catalogue)"));
        PostClose(MainWindow);
    });
    EXPECT_EQ(0, Run(script));
}

TEST_F(MainWindowTest, AddKeepsTheDialogOpenForEveryUpdateAndTheLogShowsNewestFirst)
{
    HWND dialog = nullptr;
    UiScript script;
    script.Then([] { PostClick(MainWindow, AddButtonId); });
    WaitForDialog(script, dialog);
    script.Then([&] {
        EXPECT_EQ("..,,", ControlText(dialog, TrackBoxId));
        SetText(dialog, TrackBoxId, "T1,A,B");
        PressDialogButton(dialog, UpdateButtonId);
    });
    script.WaitFor("the first record", [] { return LogLines() == 2; });
    script.Then([&] {
        SetText(dialog, TrackBoxId, "T2,A,B");
        ClickCheckBox(dialog, CdBinCheckId);
        PressDialogButton(dialog, UpdateButtonId);
    });
    script.WaitFor("the second record", [] { return LogLines() == 3; });
    script.Then([&] {
        SetText(dialog, TrackBoxId, "T3");
        PressDialogButton(dialog, UpdateButtonId);
    });
    script.WaitFor("the third record", [] { return LogLines() == 4; });
    script.Then([&] {
        EXPECT_TRUE(IsWindow(dialog));
        EXPECT_TRUE(IsChecked(dialog, CdBinCheckId)) << "the dialog keeps what the user entered";
        EXPECT_EQ(std::string(ExpectedHeaderLine) + "-,-,-,No,-,No,T1,A,B\r\n" + "-,-,-,Yes,-,No,T2,A,B\r\n" +
                      "-,-,-,Yes,-,No,T3Artist,Album,Track\r\n",
                  CatalogueBytes().value_or("(no catalogue)"));
        const std::string log = "T3Artist,Album,Track\r\nT2,A,B\r\nT1,A,B\r\n" + LogSeparatorLine;
        EXPECT_EQ(log, LogBoxText());
        EXPECT_EQ(log, SelectionState.EntryLog);
    });
    ExitDialog(script, dialog);
    // Each opening converts the stored text once more.
    script.Then([] { PostClick(MainWindow, AddButtonId); });
    WaitForDialog(script, dialog);
    script.Then([&] { EXPECT_EQ("....,,", ControlText(dialog, TrackBoxId)); });
    ExitDialog(script, dialog);
    script.Then([] { PostClick(MainWindow, ExitButtonId); });
    EXPECT_EQ(0, Run(script));
}

TEST_F(MainWindowTest, ExitWritesNothingAndTheDropLeftPendingClosesTheNextDialogAfterItsUpdate)
{
    const std::string file = MakeFile("Artist - Album - Track.mp3");
    HWND dialog = nullptr;
    UiScript script;
    DropAndExpectTrackText(script, dialog, {file}, "Artist , Album , Track..");
    script.Then([this] {
        EXPECT_FALSE(CatalogueBytes().has_value());
        EXPECT_EQ("", LogBoxText());
        EXPECT_EQ("", SelectionState.EntryLog);
        EXPECT_EQ(1, SelectionState.DropPending);
        PostClick(MainWindow, AddButtonId);
    });
    WaitForDialog(script, dialog);
    script.Then([&] {
        EXPECT_EQ("Artist . Album . Track..,,", ControlText(dialog, TrackBoxId));
        PressDialogButton(dialog, UpdateButtonId);
    });
    WaitForDialogClosed(script, dialog);
    script.Then([this] {
        EXPECT_EQ(0, SelectionState.DropPending);
        EXPECT_EQ(std::string(ExpectedHeaderLine) + "-,-,-,No,-,No,Artist . Album . Track..,,\r\n",
                  CatalogueBytes().value_or("(no catalogue)"));
        PostClose(MainWindow);
    });
    EXPECT_EQ(0, Run(script));
}

TEST_F(MainWindowTest, ADialogOpenedWhileAnotherIsOpenNestsAndTheOuterGoesOnAfterIt)
{
    const std::string file = MakeFile("Outer - Album - Track.mp3");
    HWND outer = nullptr;
    HWND inner = nullptr;
    UiScript script;
    script.Then([&] { Drop({file}); });
    WaitForDialog(script, outer);
    script.Then([] { PostClick(MainWindow, AddButtonId); });
    script.WaitFor("a second Add Items dialog", [&] {
        const std::vector<HWND> dialogs = OpenDialogs(DataSelectionCaption);
        for (HWND dialog : dialogs) {
            if (dialog != outer)
                inner = dialog;
        }
        return dialogs.size() == 2 && inner != nullptr;
    });
    script.Then([&] {
        EXPECT_EQ("Outer . Album . Track..,,", ControlText(inner, TrackBoxId));
        EXPECT_EQ("Outer , Album , Track..", ControlText(outer, TrackBoxId));
        PressDialogButton(inner, SelExitButtonId);
    });
    WaitForDialogClosed(script, inner);
    script.Then([&] {
        ASSERT_EQ(outer, OnlyDataSelection());
        ClickCheckBox(outer, CdrCheckId);
        PressDialogButton(outer, UpdateButtonId);
    });
    WaitForDialogClosed(script, outer);
    script.Then([this] {
        EXPECT_EQ(std::string(ExpectedHeaderLine) + "-,X,-,No,-,No,Outer , Album , Track..\r\n",
                  CatalogueBytes().value_or("(no catalogue)"));
        EXPECT_EQ(0, SelectionState.DropPending);
        PostClose(MainWindow);
    });
    EXPECT_EQ(0, Run(script));
}

TEST_F(MainWindowTest, LineBreaksPutIntoTheDialogsTextBoxesAreWrittenAsSpaces)
{
    HWND dialog = nullptr;
    UiScript script;
    script.Then([] { PostClick(MainWindow, AddButtonId); });
    WaitForDialog(script, dialog);
    script.Then([&] {
        SetText(dialog, TrackBoxId, "Line\r\nBreak,Album,Track");
        ASSERT_EQ("Line\r\nBreak,Album,Track", ControlText(dialog, TrackBoxId)) << "the box keeps what it is given";
        ClickCheckBox(dialog, RipDdlCheckId);
        SetText(dialog, RipDdlBoxId, "RIP\rA");
        ClickCheckBox(dialog, IdCheckId);
        SetText(dialog, IdBoxId, "ID\n7");
        PressDialogButton(dialog, UpdateButtonId);
    });
    script.WaitFor("the record", [] { return !SelectionState.EntryLog.empty(); });
    script.Then([this] {
        EXPECT_EQ(std::string(ExpectedHeaderLine) + "-,-,RIP A,No,ID 7,No,Line  Break,Album,Track\r\n",
                  CatalogueBytes().value_or("(no catalogue)"));
        EXPECT_EQ("Line  Break,Album,Track\r\n" + LogSeparatorLine, LogBoxText());
    });
    ExitDialog(script, dialog);
    script.Then([] { PostClose(MainWindow); });
    EXPECT_EQ(0, Run(script));
}

TEST_F(MainWindowTest, ClosingTheMainWindowLeavesTheOpenDialogWhoseUpdateStillAppends)
{
    const std::string file = MakeFile("Late - Album - Track.mp3");
    HWND dialog = nullptr;
    bool returned = false;
    UiScript script;
    script.Then([&] { Drop({file}); });
    WaitForDialog(script, dialog);
    script.Then([] { PostClose(MainWindow); });
    script.WaitFor("the main window destroyed", [] { return !IsWindow(MainWindow); });
    script.Then([&] {
        EXPECT_TRUE(IsWindow(dialog));
        EXPECT_FALSE(returned) << "RunMainWindow returned while the dialog is open";
        ClickCheckBox(dialog, OriginalCheckId);
        PressDialogButton(dialog, UpdateButtonId);
    });
    WaitForDialogClosed(script, dialog);
    script.Then([this] {
        EXPECT_EQ(std::string(ExpectedHeaderLine) + "X,-,-,No,-,No,Late , Album , Track..\r\n",
                  CatalogueBytes().value_or("(no catalogue)"));
        EXPECT_EQ("Late , Album , Track..\r\n" + LogSeparatorLine, SelectionState.EntryLog);
    });
    EXPECT_EQ(0, Run(script));
    returned = true;
}

TEST_F(MainWindowTest, HeldCatalogueIsReportedInABoxOwnedByTheDialogWhichKeepsEverythingForAnotherUpdate)
{
    const std::string old = std::string(ExpectedHeaderLine) + "X,X,-,No,-,No,Old,Old,Old\r\n";
    ASSERT_TRUE(WriteTestFile(InStartDir("Vorlane.csv"), old));
    const std::string file = MakeFile("Held - Album - Track.mp3");
    const std::string reason = SystemText(ERROR_SHARING_VIOLATION);
    ASSERT_FALSE(reason.empty());
    HeldFile held(InStartDir("Vorlane.csv"));
    ASSERT_TRUE(held.Held());
    HWND dialog = nullptr;
    HWND box = nullptr;
    UiScript script;
    script.Then([&] { Drop({file}); });
    WaitForDialog(script, dialog);
    script.Then([&] {
        ClickCheckBox(dialog, OriginalCheckId);
        ClickCheckBox(dialog, IdCheckId);
        SetText(dialog, IdBoxId, "ID55555");
        SetText(dialog, TrackBoxId, "Held,Edited,Track");
        PressDialogButton(dialog, UpdateButtonId);
    });
    script.WaitFor("the message box", [&] { return ErrorBoxes().size() == 1 && (box = ErrorBoxes().front()); });
    script.Then([&] {
        EXPECT_EQ(dialog, GetWindow(box, GW_OWNER));
        const std::string text = MessageBoxText(box);
        EXPECT_NE(std::string::npos, text.find(reason)) << text;
        EXPECT_NE(std::string::npos, text.find("Vorlane.csv")) << text;
        PressDialogButton(box, IDOK);
    });
    script.WaitFor("the message box closed", [] { return ErrorBoxes().empty(); });
    script.Then([&] {
        ASSERT_TRUE(IsWindow(dialog));
        EXPECT_TRUE(IsWindowEnabled(dialog));
        EXPECT_TRUE(IsChecked(dialog, OriginalCheckId));
        EXPECT_TRUE(IsChecked(dialog, IdCheckId));
        EXPECT_FALSE(IsChecked(dialog, CdrCheckId));
        EXPECT_EQ("ID55555", ControlText(dialog, IdBoxId));
        EXPECT_EQ("Held,Edited,Track", ControlText(dialog, TrackBoxId));
        EXPECT_EQ(1, SelectionState.DropPending);
        EXPECT_EQ("", SelectionState.EntryLog);
        EXPECT_EQ("", LogBoxText());
        held.Release();
        EXPECT_EQ(old, CatalogueBytes().value_or("(no catalogue)")) << "the failed Update left the file alone";
        PressDialogButton(dialog, UpdateButtonId);
    });
    WaitForDialogClosed(script, dialog);
    script.Then([&] {
        EXPECT_EQ(old + "X,-,-,No,ID55555,No,Held,Edited,Track\r\n", CatalogueBytes().value_or("(no catalogue)"));
        EXPECT_EQ("Held,Edited,Track\r\n" + LogSeparatorLine, LogBoxText());
        EXPECT_EQ(0, SelectionState.DropPending);
        PostClose(MainWindow);
    });
    EXPECT_EQ(0, Run(script));
}

TEST_F(MainWindowTest, FolderInTheCataloguesPlaceIsReportedAndAfterItGoesTheHeaderAndRecordAreWritten)
{
    const std::string inTheWay = MakeFolder("Vorlane.csv");
    const std::string reason = SystemText(OpenErrorOf(inTheWay));
    ASSERT_FALSE(reason.empty());
    HWND dialog = nullptr;
    HWND box = nullptr;
    UiScript script;
    script.Then([] { PostClick(MainWindow, AddButtonId); });
    WaitForDialog(script, dialog);
    script.Then([&] {
        ClickCheckBox(dialog, CdBinCheckId);
        SetText(dialog, TrackBoxId, "In,The,Way");
        PressDialogButton(dialog, UpdateButtonId);
    });
    script.WaitFor("the message box", [&] { return ErrorBoxes().size() == 1 && (box = ErrorBoxes().front()); });
    script.Then([&] {
        EXPECT_EQ(dialog, GetWindow(box, GW_OWNER));
        const std::string text = MessageBoxText(box);
        EXPECT_NE(std::string::npos, text.find(reason)) << text;
        PressDialogButton(box, IDOK);
    });
    script.WaitFor("the message box closed", [] { return ErrorBoxes().empty(); });
    script.Then([&] {
        ASSERT_TRUE(IsWindow(dialog));
        EXPECT_TRUE(IsChecked(dialog, CdBinCheckId));
        EXPECT_EQ("In,The,Way", ControlText(dialog, TrackBoxId));
        EXPECT_EQ(0, SelectionState.DropPending);
        EXPECT_EQ("", SelectionState.EntryLog);
        EXPECT_EQ("", LogBoxText());
        EXPECT_TRUE(RemoveDirectoryA(inTheWay.c_str()));
        PressDialogButton(dialog, UpdateButtonId);
    });
    script.WaitFor("the record", [] { return !SelectionState.EntryLog.empty(); });
    script.Then([&] {
        EXPECT_TRUE(IsWindow(dialog));
        EXPECT_EQ(std::string(ExpectedHeaderLine) + "-,-,-,Yes,-,No,In,The,Way\r\n",
                  CatalogueBytes().value_or("(no catalogue)"));
        EXPECT_EQ("In,The,Way\r\n" + LogSeparatorLine, LogBoxText());
    });
    ExitDialog(script, dialog);
    script.Then([] { PostClose(MainWindow); });
    EXPECT_EQ(0, Run(script));
}
