// Runs the program's main window inside a test, as WinMain would: fresh
// shared values and a fresh start directory for the catalogue, with a
// UiScript driving the windows from inside their modal loops.
#pragma once

#include "catalogue/selection_state.h"
#include "shell/control_ids.h"
#include "shell/dialog/dialog_layer.h"
#include "shell/main_window.h"
#include "tests/support/temp_folder.h"
#include "tests/support/ui_script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

inline constexpr char DataSelectionCaption[] = "Add Items";
inline constexpr char HeaderLine[] =
    "[X]original ,[X]CD-R ,[Rip-DDL] Copy ,[YES]CD-bin ,[ID#####],[YES]HD-bin ,Artist ,Album ,Tracks \r\n";
// The line below the first entry of the log box.
inline const std::string LogSeparator = std::string(41, '-') + "\r\n";

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs RunMainWindow (which must return 0) with the script inside its
    // loops, then closes the main window and waits for every window to go.
    void Run(UiScript& script);
    bool MainWindowReturned() const { return mainReturned_; }

    std::string Path(const std::string& name) const { return folder_.PathOf(name); }
    std::string MakeFile(const std::string& name) const;
    // The catalogue's bytes, or "(no catalogue)".
    std::string Catalogue() const;

private:
    TempFolder folder_;
    std::string previousDirectory_;
    bool mainReturned_ = false;
};

// Runs `open`, then waits for the one "Add Items" dialog and keeps it in `dialog`.
void OpenDialog(UiScript& script, HWND& dialog, std::function<void()> open);
// Presses a button of the dialog and waits for the dialog to close.
void CloseWith(UiScript& script, HWND& dialog, int buttonId);
// A click as the mouse makes it, on a check box of the dialog.
void ClickCheckBox(HWND dialog, int id);
HWND MainControl(int id);
