// The face colour, face brush and palette of a round-rect button.
#include "rrbutton/gdi_objects.h"
#include "rrbutton/rrbutton_internal.h"

namespace rrb {

// Makes the face brush from faceColor and remembers the system face colour
// it was made under.
void RebuildButtonColors(HWND hWnd) {
    RRButtonRecord* record = RecordOf(hWnd);
    if (!record) {
        return;
    }
    record->paletteFaceKey = GetSysColor(COLOR_BTNFACE);
    gdi::DeleteGdiObject(record->hFaceBrush);
    record->hFaceBrush = gdi::NewSolidBrush(record->faceColor);
}

}  // namespace rrb
