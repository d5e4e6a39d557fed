// The handlers behind RRButtonProc, one per message (the plain field setters
// and getters share one handler each). The window procedure looks the record
// up and calls a handler only while the record exists; a handler that sends
// or calls out (a repaint, a notification to the parent, SetFocus) must read
// the record again with RecordOf afterwards, since the button may have been
// destroyed meanwhile.
#pragma once

#include <windows.h>

#include "rrbutton/button_states.h"
#include "rrbutton/rrbutton_record.h"

LRESULT CALLBACK RRButtonProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

namespace rrb {

// ---- Life of the record (rrbutton_class.cpp) --------------------------------
LRESULT OnCreate(HWND hWnd);
LRESULT OnDestroy(HWND hWnd, RRButtonRecord& record);

// ---- Settings and region (rrbutton_settings.cpp) ----------------------------
// InvalidateRect without erasing, then UpdateWindow: the new look is on the
// screen before the caller goes on.
void RepaintNow(HWND hWnd);

LRESULT OnSize(HWND hWnd, RRButtonRecord& record);
LRESULT OnSetCorner(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam);
LRESULT OnSetFaceColor(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam);
LRESULT OnSetDefault(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam);
LRESULT OnSetFixedLook(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam);
LRESULT OnSetCursor(RRButtonRecord& record, WPARAM wParam, LPARAM lParam);
LRESULT OnRedraw(HWND hWnd);
LRESULT OnSetImagePos(RRButtonRecord& record, WPARAM wParam, LPARAM lParam);
LRESULT OnSetImageSize(RRButtonRecord& record, WPARAM wParam, LPARAM lParam);
LRESULT OnSetImageNoShift(RRButtonRecord& record, WPARAM wParam);
// The setters that store wParam in one field and repaint when lParam is set.
LRESULT OnSetField(HWND hWnd, RRButtonRecord& record, UINT message, WPARAM wParam, LPARAM lParam);
// The getters that return one field.
LRESULT OnGetField(const RRButtonRecord& record, UINT message);

// ---- Images (rrbutton_images.cpp) -------------------------------------------
LRESULT OnLoadImage(RRButtonRecord& record, WPARAM kind, LPARAM name);
LRESULT OnLoadHotImage(RRButtonRecord& record, WPARAM kind, LPARAM name);
LRESULT OnLoadPressedImage(RRButtonRecord& record, WPARAM kind, LPARAM name);
LRESULT OnLoadDisabledImage(RRButtonRecord& record, WPARAM kind, LPARAM name);
LRESULT OnSetImage(RRButtonRecord& record, WPARAM kind, LPARAM image);
LRESULT OnGetImageName(const RRButtonRecord& record, WPARAM buffer);
// Releases every image the button owns (at destruction).
void ReleaseOwnedImages(RRButtonRecord& record);

// ---- Behaviour (rrbutton_input.cpp) -----------------------------------------
// Focus, keys, the mouse and the hover timer: observes the system, asks the
// state machine (button_states.h) what to do and carries its answer out.
LRESULT React(HWND hWnd, RRButtonRecord& record, ButtonEvent event, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT OnEnable(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam);
LRESULT OnSysColorChange(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam);
LRESULT OnSetFont(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam);
LRESULT OnNotify(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam);
LRESULT OnGetDlgCode(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam);
LRESULT OnCommand(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam);
LRESULT OnLButtonDblClk(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam);

// ---- Painting (rrbutton_paint.cpp) ------------------------------------------
LRESULT OnPaint(HWND hWnd, RRButtonRecord& record);
// Deletes a brush, palette or font the button made, unless it is the one the
// paint in progress holds (heldByPaint), which deletes it itself when done.
void DeleteUnlessHeldByPaint(HGDIOBJ object, HGDIOBJ heldByPaint);

// ---- Colours (rrbutton_colors.cpp) ------------------------------------------
// Brings faceColor, the face brush, the palette entries and the palette up to
// date with the system face colour.
void RebuildButtonColors(HWND hWnd);

}  // namespace rrb
