// The main window as an Update sees it: its handle, and its log box that
// shows the entries of the session.
#pragma once

#include <windows.h>

#include <string>

// The main window, set once when it is created.
extern HWND MainWindow;

// Makes the log box show `newLog` when it showed `shownLog` after the last
// Update: the box ends with the whole text, its first line at the top and the
// caret at the start, as after setting the whole text.
void ShowEntryLog(HWND logBox, const std::string& shownLog, const std::string& newLog);
