// The work of the "Add Items" dialog's Update and Exit buttons.
#pragma once

#include <windows.h>

// Reads the dialog into a record and appends it to the catalogue (with the
// header when the catalogue is new). Only a record that reached the file goes
// into the log box; a failure is shown in a message box owned by the dialog,
// which stays open with everything the user entered. After a write, a dialog
// opened for a drop is closed. Returns 0.
INT_PTR UpdateCatalogue(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Closes the dialog without writing anything. Returns 0.
INT_PTR ExitSelection(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
