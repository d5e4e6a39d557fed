// The face colour, face brush and palette of a round-rect button.
#include <algorithm>

#include "rrbutton/button_model.h"
#include "rrbutton/gdi_objects.h"
#include "rrbutton/rrbutton_internal.h"

namespace rrb {

namespace {

constexpr WORD LogPaletteVersion = 0x0300;
constexpr int ButtonPaletteSize = 4;

// A LOGPALETTE with room for the button's four entries.
struct ButtonLogPalette {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[ButtonPaletteSize];
};

// Whether the button's screen draws through a palette of 256 colours or fewer.
bool ScreenUsesPalette(HWND hWnd)
{
    HDC dc = GetDC(hWnd);
    if (!dc) {
        return false;
    }
    const bool palette =
        IsPaletteDisplay(GetDeviceCaps(dc, RASTERCAPS), GetDeviceCaps(dc, NUMCOLORS), GetDeviceCaps(dc, SIZEPALETTE));
    ReleaseDC(hWnd, dc);
    return palette;
}

HPALETTE MakeButtonPalette(const std::array<Color, 4>& colors)
{
    ButtonLogPalette block{};
    block.palVersion = LogPaletteVersion;
    block.palNumEntries = ButtonPaletteSize;
    for (int index = 0; index < ButtonPaletteSize; ++index) {
        const COLORREF color = colors[index];
        block.palPalEntry[index] = PALETTEENTRY{GetRValue(color), GetGValue(color), GetBValue(color), 0};
    }
    return gdi::NewPalette(reinterpret_cast<const LOGPALETTE*>(&block));
}

}  // namespace

void RebuildButtonColors(HWND hWnd)
{
    RRButtonRecord* record = RecordOf(hWnd);
    if (!record) {
        return;
    }
    ColorRebuildInput input{};
    input.faceColor = record->faceColor;
    input.paletteFaceKey = record->paletteFaceKey;
    input.systemFace = GetSysColor(COLOR_BTNFACE);
    input.infoBackground = GetSysColor(COLOR_INFOBK);
    input.scrollbar = GetSysColor(COLOR_SCROLLBAR);
    input.paletteDisplay = ScreenUsesPalette(hWnd);
    const ColorRebuildPlan plan = PlanColorRebuild(input);

    record->paletteFaceKey = plan.paletteFaceKey;
    if (plan.makePalette) {
        DeleteUnlessHeldByPaint(record->palette, record->paintPalette);
        record->palette = MakeButtonPalette(plan.paletteEntries);
    }
    std::copy(plan.storedEntries.begin(), plan.storedEntries.end(), record->paletteEntries);
    record->faceColor = plan.faceColor;

    DeleteUnlessHeldByPaint(record->hFaceBrush, record->paintFaceBrush);
    record->hFaceBrush = gdi::NewSolidBrush(record->faceColor);
}

}  // namespace rrb
