// The main window: the log box, Add and Exit, the hint, the picture button,
// and the drop target for files from the shell.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

// The main window, set once when it is created.
extern HWND MainWindow;

// Creates the main window with `owner`, runs it modally and returns the modal
// result once the window has been destroyed.
INT_PTR RunMainWindow(HWND owner);

// The main window's dialog callback: drops, the three buttons, the focus
// kept across deactivation, and the log box stretched on resize.
INT_PTR MainWindowCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Reads every path of a drop into DroppedFiles; 1 when there was at least one.
int ReadDroppedFiles(HDROP drop);

// Makes the log box show `newLog` when it showed `shownLog` after the last
// Update: the box ends with the whole text, its first line at the top and the
// caret at the start, as after setting the whole text.
void ShowEntryLog(HWND logBox, const std::string& shownLog, const std::string& newLog);
