// The thin layer over the platform's dialog manager that both of the
// program's windows are built with: dialogs made from an in-memory template,
// laid out in dialog units of 8-point "MS Sans Serif", filled with standard
// controls, and run by a modal loop of our own that keeps every other window
// of the thread alive and lets modal dialogs nest.
#pragma once

#include "shell/dialog/dialog_rules.h"

#include <windows.h>

#include <string>

// A dialog's or a control's callback: (dialog, message, wParam, lParam).
// 0 means not handled and the default processing follows; anything else is
// the message's result.
using DialogCallback = INT_PTR (*)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Creates a hidden dialog without controls. Position and client size are in
// dialog units; a style of 0 gives a pop-up with a caption and a modal frame.
HWND NewDialog(HWND owner, const std::string& caption, int x, int y, int width, int height, DWORD style, DWORD exStyle);

// Adds a standard control (dialog units; style 0 for the kind's default).
// The callback, if any, sees the control's WM_COMMAND, WM_HSCROLL and
// WM_VSCROLL before the dialog's callback does.
HWND AddControl(ControlKind kind, HWND dialog, int id, const std::string& text, int x, int y, int width, int height,
                DWORD style, DWORD exStyle, DialogCallback callback = nullptr);

// Sets the big (32 x 32) and the small (16 x 16) icon from the program's icon
// resource `iconName`. The dialog owns them: an icon it replaces is destroyed,
// and so are both when the dialog is destroyed. A size that fails to load
// keeps the icon it had.
void SetDialogIcon(HWND dialog, const std::string& iconName);

// Shows the dialog and runs it until it is destroyed; returns the result given
// to CloseDialog (0 if it ended otherwise). Before the dialog becomes visible
// the callback sees WM_INITDIALOG and then WM_SIZE with the client size; from
// then on it sees every message of the dialog.
INT_PTR ShowDialogModal(HWND dialog, DialogCallback callback);

// Ends a dialog: the dialog sees WM_CLOSE, its owner is enabled again, the
// modal run returns `result`, and the window is destroyed.
void CloseDialog(HWND dialog, INT_PTR result);

// BM_GETCHECK of a control: 1 checked, 0 unchecked.
int GetControlCheck(HWND dialog, int id);
std::string GetControlText(HWND dialog, int id);
void SetControlText(HWND dialog, int id, const std::string& text);

// A control's top-left corner in its parent's client area, in dialog units.
POINT GetControlLocation(HWND dialog, int id);
// Resizes a control to a size in dialog units, keeping its position.
void SetControlSize(HWND dialog, int id, int width, int height);

// Pixels to dialog units with the dialog's font, rounded to the nearest unit,
// halves up; (0, 0) when the dialog cannot map.
POINT PixelsToUnits(HWND dialog, int x, int y);

// A message box without an owner window; returns the button pressed.
int ShowMessage(const std::string& text, const std::string& title, UINT style);
