// The "Add Items" dialog: how a copy is held, and the track text to record.
#pragma once

#include <windows.h>

// Prepares TrackText, builds the dialog and runs it modally; returns the modal
// result once the dialog has been destroyed. The dialog has no owner.
INT_PTR ShowDataSelection(HWND owner);

// Brings TrackText to exactly two commas.
void NormaliseTrackText();

// The dialog's Update button: reads the answers and appends their record to
// the catalogue. Once the record is on disk it shows it in the log box and,
// for a dialog opened by a drop, closes the dialog. When it is not, a message
// box owned by the dialog says why, and the dialog keeps what the user
// entered. Returns 0.
INT_PTR UpdateCatalogue(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The dialog's Exit button: closes it without writing anything. Returns 0.
INT_PTR ExitSelection(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The About box, without an owner; a control callback of the dialog.
INT_PTR ShowAbout(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Title of the About box.
inline constexpr char AboutTitle[] = "About Vorlane";
