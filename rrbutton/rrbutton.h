/* VorlaneLib: the round-rect button control and the file test EXIST, for
   other programs. Usable from C and C++; needs only <windows.h>.

   The button is a push button of window class "RRBUTTON" with a rounded
   outline, an optional caption, up to four state images (normal, hot,
   pressed, disabled) and a hover look. It reports clicks to its parent as
   WM_COMMAND with BN_CLICKED, like the system's buttons. The RRBM_* messages
   configure it; the RRBN_* notifications reach its parent while it paints.

   Every function uses the stdcall convention and is exported undecorated, by
   name and at the ordinal given. Link VorlaneLib.dll through its import
   library, or take the functions with GetProcAddress from VorlaneLib.dll or
   from Vorlane.exe, whose export table forwards them to the library. */
#pragma once

#include <windows.h>

#define RRBUTTON_CLASS_NAME "RRBUTTON"

/* Setters: wParam is the value; a nonzero lParam repaints the button at once,
   except where a line says the message never repaints. */
#define RRBM_SETCORNER (WM_USER + 1) /* corner ellipse size; negative means 0 */
#define RRBM_SETFACECOLOR (WM_USER + 2)
#define RRBM_SETBKMODE (WM_USER + 4) /* caption background: TRANSPARENT or OPAQUE */
#define RRBM_SETTEXTBKCOLOR (WM_USER + 5)
#define RRBM_SETTEXTCOLOR (WM_USER + 6)
#define RRBM_SETPRESSEDTEXTCOLOR (WM_USER + 7)
#define RRBM_SETHOTTEXTCOLOR (WM_USER + 8)
#define RRBM_SETTEXTSHADOW (WM_USER + 9)
#define RRBM_SETDEFAULT (WM_USER + 10)
#define RRBM_SETFIXEDLOOK (WM_USER + 11) /* 0 ordinary; 1 flat, 2 raised, 3 sunken for good */
#define RRBM_SETCURSOR (WM_USER + 12)    /* wParam system cursor id, lParam cursor handle; never repaints */
#define RRBM_SETCLICKABLE (WM_USER + 13)
#define RRBM_REDRAW (WM_USER + 14)
#define RRBM_SETTEXTFORMAT (WM_USER + 20) /* DT_* flags of the caption */
#define RRBM_SETTEXTMARGINLEFT (WM_USER + 23)
#define RRBM_SETTEXTMARGINTOP (WM_USER + 24)
#define RRBM_SETTEXTMARGINRIGHT (WM_USER + 25)
#define RRBM_SETTEXTMARGINBOTTOM (WM_USER + 26)
#define RRBM_SETIMAGEPOS (WM_USER + 40)     /* negative wParam: place -1..-9; else x, lParam y; never repaints */
#define RRBM_SETIMAGESIZE (WM_USER + 41)    /* wParam width, lParam height; never repaints */
#define RRBM_SETIMAGENOSHIFT (WM_USER + 42) /* never repaints */
#define RRBM_SETIMAGEMARGINLEFT (WM_USER + 43)
#define RRBM_SETIMAGEMARGINTOP (WM_USER + 44)
#define RRBM_SETIMAGEMARGINRIGHT (WM_USER + 45)
#define RRBM_SETIMAGEMARGINBOTTOM (WM_USER + 46)
/* Image loads: wParam IMAGE_BITMAP or IMAGE_ICON, lParam the name: a file when
   it holds a ".", else a resource of the module of the button's window (for
   CreateRRButton, its parent's). Never repaint. */
#define RRBM_LOADIMAGE (WM_USER + 47)
#define RRBM_LOADHOTIMAGE (WM_USER + 48)
#define RRBM_LOADPRESSEDIMAGE (WM_USER + 49)
#define RRBM_LOADDISABLEDIMAGE (WM_USER + 50)

/* Getters: the setter's number plus 100, except GETFACEBRUSH (no setter),
   GETCLICKABLE (SETCURSOR + 100) and GETIMAGEHEIGHT (SETIMAGENOSHIFT + 100). */
#define RRBM_GETCORNER (WM_USER + 101)
#define RRBM_GETFACECOLOR (WM_USER + 102)
#define RRBM_GETFACEBRUSH (WM_USER + 103)
#define RRBM_GETBKMODE (WM_USER + 104)
#define RRBM_GETTEXTBKCOLOR (WM_USER + 105)
#define RRBM_GETTEXTCOLOR (WM_USER + 106)
#define RRBM_GETPRESSEDTEXTCOLOR (WM_USER + 107)
#define RRBM_GETHOTTEXTCOLOR (WM_USER + 108)
#define RRBM_GETTEXTSHADOW (WM_USER + 109)
#define RRBM_GETDEFAULT (WM_USER + 110)
#define RRBM_GETFIXEDLOOK (WM_USER + 111)
#define RRBM_GETCLICKABLE (WM_USER + 112)
#define RRBM_GETTEXTFORMAT (WM_USER + 120)
#define RRBM_GETTEXTMARGINLEFT (WM_USER + 123)
#define RRBM_GETTEXTMARGINTOP (WM_USER + 124)
#define RRBM_GETTEXTMARGINRIGHT (WM_USER + 125)
#define RRBM_GETTEXTMARGINBOTTOM (WM_USER + 126)
#define RRBM_GETIMAGEPOS (WM_USER + 140)
#define RRBM_GETIMAGEWIDTH (WM_USER + 141)
#define RRBM_GETIMAGEHEIGHT (WM_USER + 142)
#define RRBM_GETIMAGEMARGINLEFT (WM_USER + 143)
#define RRBM_GETIMAGEMARGINTOP (WM_USER + 144)
#define RRBM_GETIMAGEMARGINRIGHT (WM_USER + 145)
#define RRBM_GETIMAGEMARGINBOTTOM (WM_USER + 146)
#define RRBM_GETIMAGENAME (WM_USER + 147) /* wParam: a buffer of at least 40 bytes; no closing zero */

/* Sent to the parent while the button paints: wParam the button window,
   lParam its control id. */
#define RRBN_RAISED (WM_USER + 230)
#define RRBN_SUNKEN (WM_USER + 231)
#define RRBN_FLAT (WM_USER + 232)

#ifdef __cplusplus
extern "C" {
#endif

/* Ordinal 1. Registers the "RRBUTTON" class. Registering again fails quietly,
   so it may be called any number of times. */
void WINAPI InitRRButtonClass(void);

/* Ordinal 3. Registers the class and creates a button; returns NULL when the
   window cannot be made. With dialogUnits nonzero, (x, y) and (width, height)
   are in the parent dialog's units; a parent that is not a dialog gives
   (0, 0) for both. The style goes to the window unchanged (WS_CHILD,
   WS_VISIBLE, WS_TABSTOP as the caller wants). */
HWND WINAPI CreateRRButton(HWND hParent, int ctrlId, const char* text, int x, int y, int width, int height, DWORD style,
                           DWORD exStyle, BOOL dialogUnits);

/* Ordinal 4. A button with corner 5 and up to two icons, normal and hot
   (resource names, or file names when they contain a "."; empty or NULL for
   none). */
HWND WINAPI MakeRRButton(HWND hParent, int ctrlId, const char* text, int x, int y, int width, int height, DWORD style,
                         DWORD exStyle, const char* iconName, const char* hotIconName, BOOL dialogUnits);

/* Ordinal 5. A link button: flat, blue caption that turns red while pressed,
   bold underlined font, hand cursor, and up to three icons (normal, pressed,
   disabled; the disabled one only with one of the others). Its clicks reach
   the parent as BN_CLICKED commands like any button's. */
HWND WINAPI MakeRRButtonURL(HWND hParent, int ctrlId, const char* text, int x, int y, int width, int height,
                            DWORD style, DWORD exStyle, const char* iconName, const char* pressedIconName,
                            const char* disabledIconName, BOOL dialogUnits);

/* Ordinal 2. -1 when a directory entry of the given name exists that is
   neither hidden nor system ("." and ".." never count), 0 otherwise.
   Wildcards in the last component match; a name ending with ':' or '\' asks
   for any entry in that folder. nameHandle is the address of a string handle:
   the address of the first byte of an ANSI string whose byte count is the
   32-bit word just before it, as SysAllocStringByteLen makes one. A null
   handle and the empty name answer 0. */
int WINAPI EXIST(const char* const* nameHandle);

#ifdef __cplusplus
}
#endif
