// The "Add Items" dialog: how a copy is held, and the track text to record.
#pragma once

#include <windows.h>

// Prepares TrackText, builds the dialog and runs it modally; returns the modal
// result once the dialog has been destroyed. The dialog has no owner.
INT_PTR ShowDataSelection(HWND owner);

// Brings TrackText to exactly two commas.
void NormaliseTrackText();

// The About box, without an owner; a control callback of the dialog.
INT_PTR ShowAbout(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Title of the About box.
inline constexpr char AboutTitle[] = "About Vorlane";
