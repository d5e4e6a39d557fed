// The frame of a round-rect button: concentric rounded rectangles that give
// it its raised, sunken or flat look, and its focus ring.
#include "rrbutton/button_model.h"
#include "rrbutton/gdi_objects.h"
#include "rrbutton/rrbutton_drawing.h"
#include "rrbutton/rrbutton.h"
#include "rrbutton/rrbutton_internal.h"

namespace rrb {

namespace {

// One ring: outlined with a one-pixel pen of its colour and filled with the
// brush selected in dc. Without a pen the current one draws the outline.
void DrawRing(HDC dc, const Ring& ring, int width, int height, int corner)
{
    HPEN pen = gdi::NewPen(PS_SOLID, 1, ring.color);
    HGDIOBJ keptPen = pen ? SelectObject(dc, pen) : nullptr;
    const Rect box = RingRect(ring, width, height);
    RoundRect(dc, box.left, box.top, box.right, box.bottom, corner, corner);
    if (keptPen) {
        SelectObject(dc, keptPen);
    }
    gdi::DeleteGdiObject(pen);
}

// The RRBN_* message of a notification, 0 for none.
UINT NotificationMessage(FrameNotification notification)
{
    switch (notification) {
    case FrameNotification::Raised: return RRBN_RAISED;
    case FrameNotification::Sunken: return RRBN_SUNKEN;
    case FrameNotification::Flat: return RRBN_FLAT;
    case FrameNotification::None: break;
    }
    return 0;
}

}  // namespace

bool DrawButtonFrame(HWND hWnd, HDC dc, const RECT& client)
{
    const RRButtonRecord* record = RecordOf(hWnd);
    if (!record) {
        return false;
    }
    FrameInput input{};
    input.drawState = record->drawState;
    input.fixedLook = record->fixedLook;
    input.isDefault = record->isDefault != 0;
    input.clickable = record->clickable;
    input.hasFocus = GetFocus() == hWnd;
    input.faceColor = record->faceColor;
    input.darkerShade = record->paletteEntries[1];
    input.highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    input.shadow = GetSysColor(COLOR_BTNSHADOW);
    input.infoBackground = GetSysColor(COLOR_INFOBK);
    const FramePlan plan = PlanFrame(input);
    const int corner = record->cornerSize;

    if (const UINT notification = NotificationMessage(plan.notification)) {
        SendMessageA(record->hParent, notification, reinterpret_cast<WPARAM>(hWnd),
                     static_cast<LPARAM>(record->ctrlId));
        // The parent may have destroyed the button meanwhile.
        if (!RecordOf(hWnd)) {
            return false;
        }
    }
    for (int index = 0; index < plan.ringCount; ++index) {
        DrawRing(dc, plan.rings[index], client.right, client.bottom, corner);
    }
    return true;
}

}  // namespace rrb
