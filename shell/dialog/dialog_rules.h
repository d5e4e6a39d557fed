// Decisions of the dialog layer that need no window: the style a dialog and
// each kind of control is created with, the in-memory dialog template, the
// show command a style asks for, and the rounding of pixels to dialog units.
#pragma once

#include <cstdint>
#include <vector>

// The standard controls the layer can add to a dialog.
enum class ControlKind { PushButton, CheckBox, GroupBox, Label, TextBox };

struct ControlStyles {
    std::uint32_t style;
    std::uint32_t exStyle;
};

// The window style a dialog is created with: a default for 0, always with a
// font block in the template and never visible or system modal at creation;
// a child dialog without an owner becomes a pop-up.
std::uint32_t AdjustDialogStyle(std::uint32_t style, bool hasOwner);

// The window class a kind of control is made of.
const char* ControlClassName(ControlKind kind);

// A control's style and extended style: the kind's default for style 0, the
// bits the kind always needs added and those it cannot have removed; a text
// box's plain border becomes a sunken client edge.
ControlStyles AdjustControlStyles(ControlKind kind, std::uint32_t style, std::uint32_t exStyle);

// Whether a push button with this style is meant as the dialog's default button.
bool MakesDefaultButton(ControlKind kind, std::uint32_t style);

// The dialog template of a dialog without items: header, no menu, the
// standard dialog class, the title " " and 8-point "MS Sans Serif", as
// 16-bit words. `style` must hold the font flag (AdjustDialogStyle adds it).
std::vector<std::uint16_t> BuildDialogTemplate(std::uint32_t style, std::uint32_t exStyle, int x, int y, int width,
                                               int height);

// Show commands and size types of the platform, by value.
constexpr int ShowCommandShow = 5;      // SW_SHOW
constexpr int ShowCommandMaximize = 3;  // SW_MAXIMIZE
constexpr int ShowCommandMinimize = 6;  // SW_MINIMIZE
constexpr int SizeTypeRestored = 0;     // SIZE_RESTORED
constexpr int SizeTypeMinimized = 1;    // SIZE_MINIMIZED
constexpr int SizeTypeMaximized = 2;    // SIZE_MAXIMIZED

// The show command a dialog style asks for: maximized, else minimized, else shown.
int ShowCommandForStyle(std::uint32_t style);
// The WM_SIZE type that goes with a show command.
int SizeTypeForShowCommand(int showCommand);

// Pixels to dialog units on one axis, given how many pixels 1024 units take:
// nearest whole unit with halves rounded up; a negative remainder rounds down.
// 0 when the scale is not positive.
int ScalePixelsToUnits(int pixels, int pixelsPer1024Units);
