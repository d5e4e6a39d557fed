// The private setter and getter messages of a round-rect button, and the two
// rules that rebuild its rounded region (a new corner size, a new size).
#include "rrbutton/button_model.h"
#include "rrbutton/gdi_objects.h"
#include "rrbutton/rrbutton.h"
#include "rrbutton/rrbutton_internal.h"

namespace rrb {

namespace {

// Setters sent with a nonzero lParam show their change at once.
LRESULT RedrawIfAsked(HWND hWnd, LPARAM lParam)
{
    if (lParam) {
        SendMessageA(hWnd, RRBM_REDRAW, 0, 0);
    }
    return 0;
}

// Both region rules first paint the whole client area in the system face
// colour: the pixels outside the new shape are never painted by the button.
SIZE FillClientWithSystemFace(HWND hWnd)
{
    RECT client = {};
    GetClientRect(hWnd, &client);
    if (HDC dc = GetDC(hWnd)) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        ReleaseDC(hWnd, dc);
    }
    return SIZE{client.right, client.bottom};
}

void ReplaceRegion(RRButtonRecord& record, const Rect& box)
{
    gdi::DeleteGdiObject(record.hRegion);
    record.hRegion =
        gdi::NewRoundRectRegion(box.left, box.top, box.right, box.bottom, record.cornerSize, record.cornerSize);
}

int AsInt(WPARAM value)
{
    return static_cast<int>(value);
}

}  // namespace

void RepaintNow(HWND hWnd)
{
    InvalidateRect(hWnd, nullptr, FALSE);
    UpdateWindow(hWnd);
}

LRESULT OnSize(HWND hWnd, RRButtonRecord& record)
{
    const SIZE size = FillClientWithSystemFace(hWnd);
    ReplaceRegion(record, SizeRuleRegion(size.cx, size.cy));
    return 0;
}

LRESULT OnSetCorner(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam)
{
    const SIZE size = FillClientWithSystemFace(hWnd);
    record.cornerSize = ClampCorner(AsInt(wParam));
    ReplaceRegion(record, CornerRuleRegion(size.cx, size.cy));
    return RedrawIfAsked(hWnd, lParam);
}

LRESULT OnSetFaceColor(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam)
{
    record.faceColor = static_cast<COLORREF>(wParam);
    RebuildButtonColors(hWnd);
    return RedrawIfAsked(hWnd, lParam);
}

LRESULT OnSetDefault(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam)
{
    record.isDefault = wParam ? 1 : 0;
    return RedrawIfAsked(hWnd, lParam);
}

LRESULT OnSetFixedLook(HWND hWnd, RRButtonRecord& record, WPARAM wParam, LPARAM lParam)
{
    const int look = AsInt(wParam);
    record.fixedLook = look;
    if (look != 0) {
        // A fixed look makes the button passive until clickable is set again.
        record.clickable = 0;
        record.drawState = look - 1;
    } else {
        record.drawState = 0;
    }
    return RedrawIfAsked(hWnd, lParam);
}

LRESULT OnSetCursor(RRButtonRecord& record, WPARAM wParam, LPARAM lParam)
{
    if (lParam) {
        record.hCursor = reinterpret_cast<HCURSOR>(lParam);
    } else if (IS_INTRESOURCE(wParam)) {
        record.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(wParam));
    } else {
        // Not a system cursor id: never read it as a cursor name.
        record.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    }
    return 0;
}

LRESULT OnRedraw(HWND hWnd)
{
    const RRButtonRecord* record = RecordOf(hWnd);
    if (record && record->painting) {
        // Asked for while the button paints (by its parent's handler of a
        // frame notification): repainting now would re-enter the paint.
        InvalidateRect(hWnd, nullptr, FALSE);
        return 0;
    }
    RepaintNow(hWnd);
    return 0;
}

LRESULT OnSetImagePos(RRButtonRecord& record, WPARAM wParam, LPARAM lParam)
{
    const int codeOrX = AsInt(wParam);
    if (codeOrX < 0) {
        record.imagePlacement = codeOrX;
    } else {
        record.imagePlacement = 0;
        record.imageX = codeOrX;
        record.imageY = static_cast<int>(lParam);
    }
    return 0;
}

LRESULT OnSetImageSize(RRButtonRecord& record, WPARAM wParam, LPARAM lParam)
{
    record.imageWidth = AsInt(wParam);
    record.imageHeight = static_cast<int>(lParam);
    return 0;
}

LRESULT OnSetImageNoShift(RRButtonRecord& record, WPARAM wParam)
{
    record.imageNoShift = AsInt(wParam);
    return 0;
}

LRESULT OnSetField(HWND hWnd, RRButtonRecord& record, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto color = static_cast<COLORREF>(wParam);
    switch (message) {
    case RRBM_SETBKMODE: record.bkMode = AsInt(wParam); break;
    case RRBM_SETTEXTBKCOLOR: record.textBkColor = color; break;
    case RRBM_SETTEXTCOLOR: record.textColor = color; break;
    case RRBM_SETPRESSEDTEXTCOLOR: record.pressedTextColor = color; break;
    case RRBM_SETHOTTEXTCOLOR: record.hotTextColor = color; break;
    case RRBM_SETTEXTSHADOW: record.textShadow = AsInt(wParam); break;
    case RRBM_SETCLICKABLE: record.clickable = AsInt(wParam); break;
    case RRBM_SETTEXTFORMAT: record.textFormat = static_cast<UINT>(wParam); break;
    case RRBM_SETTEXTMARGINLEFT: record.textMarginLeft = AsInt(wParam); break;
    case RRBM_SETTEXTMARGINTOP: record.textMarginTop = AsInt(wParam); break;
    case RRBM_SETTEXTMARGINRIGHT: record.textMarginRight = AsInt(wParam); break;
    case RRBM_SETTEXTMARGINBOTTOM: record.textMarginBottom = AsInt(wParam); break;
    case RRBM_SETIMAGEMARGINLEFT: record.imageMarginLeft = AsInt(wParam); break;
    case RRBM_SETIMAGEMARGINTOP: record.imageMarginTop = AsInt(wParam); break;
    case RRBM_SETIMAGEMARGINRIGHT: record.imageMarginRight = AsInt(wParam); break;
    case RRBM_SETIMAGEMARGINBOTTOM: record.imageMarginBottom = AsInt(wParam); break;
    default: return 0;
    }
    return RedrawIfAsked(hWnd, lParam);
}

LRESULT OnGetField(const RRButtonRecord& record, UINT message)
{
    switch (message) {
    case RRBM_GETCORNER: return record.cornerSize;
    case RRBM_GETFACECOLOR: return static_cast<LRESULT>(record.faceColor);
    case RRBM_GETFACEBRUSH: return reinterpret_cast<LRESULT>(record.hFaceBrush);
    case RRBM_GETBKMODE: return record.bkMode;
    case RRBM_GETTEXTBKCOLOR: return static_cast<LRESULT>(record.textBkColor);
    case RRBM_GETTEXTCOLOR: return static_cast<LRESULT>(record.textColor);
    case RRBM_GETPRESSEDTEXTCOLOR: return static_cast<LRESULT>(record.pressedTextColor);
    case RRBM_GETHOTTEXTCOLOR: return static_cast<LRESULT>(record.hotTextColor);
    case RRBM_GETTEXTSHADOW: return record.textShadow;
    case RRBM_GETDEFAULT: return record.isDefault;
    case RRBM_GETFIXEDLOOK: return record.fixedLook;
    case RRBM_GETCLICKABLE: return record.clickable;
    case RRBM_GETTEXTFORMAT: return static_cast<LRESULT>(record.textFormat);
    case RRBM_GETTEXTMARGINLEFT: return record.textMarginLeft;
    case RRBM_GETTEXTMARGINTOP: return record.textMarginTop;
    case RRBM_GETTEXTMARGINRIGHT: return record.textMarginRight;
    case RRBM_GETTEXTMARGINBOTTOM: return record.textMarginBottom;
    case RRBM_GETIMAGEPOS: return record.imagePlacement;
    case RRBM_GETIMAGEWIDTH: return record.imageWidth;
    case RRBM_GETIMAGEHEIGHT: return record.imageHeight;
    case RRBM_GETIMAGEMARGINLEFT: return record.imageMarginLeft;
    case RRBM_GETIMAGEMARGINTOP: return record.imageMarginTop;
    case RRBM_GETIMAGEMARGINRIGHT: return record.imageMarginRight;
    case RRBM_GETIMAGEMARGINBOTTOM: return record.imageMarginBottom;
    default: return 0;
    }
}

}  // namespace rrb
