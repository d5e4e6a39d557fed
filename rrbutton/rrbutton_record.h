// The per-button record of a round-rect button: every setting and every piece
// of state of one button, allocated zero-filled on the process heap when the
// window is created and freed when it is destroyed. Window slot 0 holds its
// address. All fields are 32 bits wide; the order is the record's published
// layout, and fields added later go at the end.
#pragma once

#include <windows.h>

#include <cstddef>
#include <type_traits>

constexpr int ImageNameSize = 40;  // bytes, with the terminating zero

struct RRButtonRecord {
    HWND hWnd;            // the button window
    int ctrlId;           // control id; also the hover timer's id
    HMODULE hResModule;   // images and the link cursor are loaded from here
    HWND hParent;         // receives the notifications
    HBRUSH hFaceBrush;    // owned: solid brush of faceColor, made by the colour rebuild
    HFONT hFont;          // not owned: caption font from WM_SETFONT; 0 = DEFAULT_GUI_FONT
    HFONT hLinkFont;      // owned: bold underlined font of a link button
    HRGN hRegion;         // owned: rounded shape; clip region and hit-test shape
    UINT_PTR hoverTimer;  // nonzero while the hover timer runs
    int cornerSize;       // width and height of the corner ellipse, never negative
    HCURSOR hCursor;      // cursor over the button
    COLORREF faceColor;
    int bkMode;  // caption background mode: 1 TRANSPARENT, 2 OPAQUE
    COLORREF textBkColor;
    COLORREF textColor;
    COLORREF pressedTextColor;
    COLORREF hotTextColor;
    int textShadow;         // flag
    int isDefault;          // 0 or 1
    int clickable;          // 1: a fixed-look button still takes presses; 0: passive
    int drawState;          // 0 normal, 1 hot, 2 pressed
    int pressSource;        // 0 none, 1 left mouse button, 2 space key
    int fixedLook;          // 0 ordinary; n > 0 shows drawState n - 1 for good
    HANDLE hImage;          // owned unless imageShared
    HANDLE hHotImage;       // owned
    HANDLE hPressedImage;   // owned
    HANDLE hDisabledImage;  // owned
    int imageShared;        // hImage came with BM_SETIMAGE and is the caller's
    int imageType;          // IMAGE_BITMAP or IMAGE_ICON: how all four images are drawn
    int imageX;             // explicit image position, used when imagePlacement is 0
    int imageY;
    int imageWidth;
    int imageHeight;
    int imagePlacement;  // -1..-9 placement code; 0 = imageX, imageY
    int imageNoShift;    // flag: the image stays put when pressed
    int imageMarginLeft;
    int imageMarginTop;
    int imageMarginRight;
    int imageMarginBottom;
    UINT textFormat;  // DrawTextA flags
    int textMarginLeft;
    int textMarginTop;
    int textMarginRight;
    int textMarginBottom;
    // palette, paletteEntries and paletteFaceKey are six consecutive words:
    // the first five double as a LOGPALETTE of four entries while the colour
    // rebuild makes the palette.
    HPALETTE palette;  // owned
    COLORREF paletteEntries[4];
    COLORREF paletteFaceKey;        // system face colour at the last colour rebuild
    char imageName[ImageNameSize];  // last RRBM_LOADIMAGE name, at most 39 characters

    // Added after the published fields.
    // The kind each image was loaded or handed in as. imageType is shared by
    // all four slots and says how they are drawn; each image is released by
    // the kind it really has.
    int imageKind;
    int hotImageKind;
    int pressedImageKind;
    int disabledImageKind;
    // Set by the paint code while it paints, so that a repaint asked for from
    // inside painting (a parent's handler of a frame notification) does not
    // re-enter it.
    int painting;
    // The face brush, palette and link font that the paint in progress has
    // selected into its device contexts; 0 while no paint runs. An object
    // still selected in a device context cannot be deleted, so a colour
    // rebuild or the destruction of the button during the paint (both may
    // come from a parent's handler of a frame notification) leaves these to
    // the paint, which deletes them once it has selected them out.
    HBRUSH paintFaceBrush;
    HPALETTE paintPalette;
    HFONT paintLinkFont;
    // Nonzero when the button runs under Wine, whose DrawText needs one of
    // the caller's text formats changed (DrawTextFlags). Asked once, at creation.
    int underWine;
};

static_assert(std::is_trivial_v<RRButtonRecord>, "the record is allocated zero-filled and freed raw");
static_assert(offsetof(RRButtonRecord, paletteEntries) == offsetof(RRButtonRecord, palette) + 4 &&
                  offsetof(RRButtonRecord, paletteFaceKey) == offsetof(RRButtonRecord, palette) + 20,
              "palette and its entries form one LOGPALETTE block");

// The record of a button window, or nullptr before WM_CREATE has made it and
// after WM_DESTROY has released it (destruction clears slot 0 before freeing).
RRButtonRecord* RecordOf(HWND button);
