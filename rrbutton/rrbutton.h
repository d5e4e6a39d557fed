// The round-rect button control: a push button of window class "RRBUTTON"
// with a rounded outline, an optional caption, up to four state images and a
// hover look. Vorlane.exe exports these functions (stdcall, undecorated names)
// for other programs; the RRBM_* messages configure a button and the RRBN_*
// notifications reach its parent while it paints.
#ifndef VORLANE_RRBUTTON_RRBUTTON_H
#define VORLANE_RRBUTTON_RRBUTTON_H

#include <windows.h>

#include "rrbutton_messages.h"

#define RRBUTTON_CLASS_NAME "RRBUTTON"

#ifdef __cplusplus
extern "C" {
#endif

// Registers the "RRBUTTON" class. Registering again fails quietly, so it may
// be called any number of times.
void WINAPI InitRRButtonClass(void);

// Registers the class and creates a button; returns 0 when the window cannot
// be made. With dialogUnits nonzero, (x, y) and (width, height) are in the
// parent dialog's units; a parent that is not a dialog gives (0, 0) for both.
// The style goes to the window unchanged (WS_CHILD, WS_VISIBLE, WS_TABSTOP as
// the caller wants).
HWND WINAPI CreateRRButton(HWND hParent, int ctrlId, const char* text, int x, int y, int width, int height,
                           DWORD style, DWORD exStyle, BOOL dialogUnits);

// A button with corner 5 and up to two icons, normal and hot (resource names,
// or file names when they contain a "."; empty or NULL for none).
HWND WINAPI MakeRRButton(HWND hParent, int ctrlId, const char* text, int x, int y, int width, int height,
                         DWORD style, DWORD exStyle, const char* iconName, const char* hotIconName,
                         BOOL dialogUnits);

// A link button: flat, blue caption that turns red while pressed, bold
// underlined font, hand cursor, and up to three icons. Clicks reach the parent
// as BN_CLICKED commands like any button's.
HWND WINAPI MakeRRButtonURL(HWND hParent, int ctrlId, const char* text, int x, int y, int width, int height,
                            DWORD style, DWORD exStyle, const char* iconName, const char* pressedIconName,
                            const char* disabledIconName, BOOL dialogUnits);

#ifdef __cplusplus
}
#endif

#endif  // VORLANE_RRBUTTON_RRBUTTON_H
