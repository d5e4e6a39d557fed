// The main window: the log box, Add and Exit, the hint, the picture button,
// and the drop target for files from the shell.
#pragma once

#include <windows.h>

// Creates the main window with `owner`, runs it modally and returns the modal
// result once the window has been destroyed.
INT_PTR RunMainWindow(HWND owner);

// The main window's dialog callback: drops, the three buttons, the focus
// kept across deactivation, and the log box stretched on resize.
INT_PTR MainWindowCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
