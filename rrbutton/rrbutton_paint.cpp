// Painting of a round-rect button.
#include "rrbutton/rrbutton_internal.h"

namespace rrb {

// For now the button shows its client area in the system face colour; the
// colours are brought up to date first whenever the system face colour has
// changed since the last rebuild.
LRESULT OnPaint(HWND hWnd, RRButtonRecord& record) {
    if (GetSysColor(COLOR_BTNFACE) != record.paletteFaceKey) {
        RebuildButtonColors(hWnd);
    }
    PAINTSTRUCT paint;
    if (HDC dc = BeginPaint(hWnd, &paint)) {
        RECT client = {};
        GetClientRect(hWnd, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    }
    EndPaint(hWnd, &paint);
    return 0;
}

}  // namespace rrb
