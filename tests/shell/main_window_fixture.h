// Runs the program's main window inside a test, as WinMain would: fresh
// shared values, a fresh start directory for the catalogue, and a UiScript
// that drives the windows from inside their modal loops and finally closes
// them so that RunMainWindow returns.
#pragma once

#include "catalogue/selection_state.h"
#include "shell/main_window.h"
#include "tests/support/temp_folder.h"
#include "tests/support/ui_script.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

inline constexpr char MainCaption[] = "Vorlane";
inline constexpr char DataSelectionCaption[] = "Add Items";
inline constexpr char AboutCaption[] = "About Vorlane";
inline constexpr char ExpectedHeaderLine[] =
    "[X]original ,[X]CD-R ,[Rip-DDL] Copy ,[YES]CD-bin ,[ID#####],[YES]HD-bin ,Artist ,Album ,Tracks \r\n";

// The line below the first entry of the log box.
inline const std::string LogSeparatorLine = std::string(41, '-') + "\r\n";

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs RunMainWindow with the script ticking inside its loops and returns
    // its result. The script must close every window it opened, the main
    // window included; windows still open a few seconds after its last step
    // fail the test and are destroyed.
    INT_PTR Run(UiScript& script);

    const std::string& StartDir() const { return folder_.Path(); }
    std::string InStartDir(const std::string& name) const { return folder_.PathOf(name); }
    // Makes an empty file in the start directory; returns its full path.
    std::string MakeFile(const std::string& name) const;
    // Makes a folder in the start directory; returns its full path.
    std::string MakeFolder(const std::string& name) const;
    // The catalogue's bytes; nothing when there is no catalogue.
    std::optional<std::string> CatalogueBytes() const;

private:
    TempFolder folder_;
    std::string previousDirectory_;
};

// Top-level dialog-class windows of this thread (dialogs and message boxes)
// with this caption, the main window left out.
std::vector<HWND> OpenDialogs(const std::string& caption);
// The one open "Add Items" dialog; null when there is none or more than one.
HWND OnlyDataSelection();

HWND MainControl(int id);
std::string ControlText(HWND window, int id);
bool IsChecked(HWND dialog, int id);
// The centre of a main window control, in the main window's client area.
POINT CentreOf(int id);

// A click as a button gets it from the mouse, posted so that a dialog it
// opens runs in the script's next tick rather than inside this step.
void PostClick(HWND window, int id);
// Ticks a check box (it toggles, as a click does).
void ClickCheckBox(HWND dialog, int id);
void SetText(HWND window, int id, const std::string& text);
// The close command of the system menu.
void PostClose(HWND window);
