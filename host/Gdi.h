#pragma once
// Text on a surface, as the engine's debug lines draw it: a device context from a surface's GetDC, a
// background mode and colours, and ExtTextOut with the host's own 8 x 13 bitmap font (ASCII 32 to 126;
// other characters draw as a box).

#include "host/System.h"
#include "host/Types.h"

namespace host {

// 0x00BBGGRR.
using COLORREF = DWORD;

constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue) {
    return static_cast<COLORREF>(red) | (static_cast<COLORREF>(green) << 8) |
           (static_cast<COLORREF>(blue) << 16);
}
constexpr BYTE GetRValue(COLORREF color) {
    return static_cast<BYTE>(color & 0xFF);
}
constexpr BYTE GetGValue(COLORREF color) {
    return static_cast<BYTE>((color >> 8) & 0xFF);
}
constexpr BYTE GetBValue(COLORREF color) {
    return static_cast<BYTE>((color >> 16) & 0xFF);
}

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// ExtTextOut options: fill the rectangle with the background colour; clip the text to the rectangle.
constexpr UINT ETO_OPAQUE = 0x2;
constexpr UINT ETO_CLIPPED = 0x4;

// The font's cell: every character advances this far.
constexpr int fontCellWidth = 8;
constexpr int fontCellHeight = 13;

// Each returns the previous setting (0 / CLR_INVALID for a context that is not one).
int SetBkMode(HDC dc, int mode);
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF SetBkColor(HDC dc, COLORREF color);

// (x, y) is the top-left corner of the first character cell. count characters of text; dx, when given,
// holds each character's advance. In OPAQUE mode the cells are filled with the background colour first.
// Drawing is clipped to the surface (and to rect with ETO_CLIPPED).
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, const char* text, UINT count,
                const int* dx);

// The glyph of a character: fontCellHeight rows, bit 7 of a row is the cell's leftmost pixel.
const BYTE* fontGlyph(unsigned char character);

} // namespace host
