// The bar's placement record and the edge and option values around it.
#pragma once

#include "platform/Win32.h"

// Edges besides the shell's ABE_LEFT .. ABE_BOTTOM.
constexpr int EDGE_FLOATING = -2;
constexpr int EDGE_NONE = -1;

// Option bits of CAppBarDialog.
constexpr UINT BARF_LEFTRIGHT = 0x01;
constexpr UINT BARF_TOPBOTTOM = 0x02;
constexpr UINT BARF_FLOAT = 0x04;
constexpr UINT BARF_FOLLOWAUTOHIDE = 0x10;
constexpr UINT BARF_FOLLOWTOPMOST = 0x20;

// The whole persistent placement, stored as it lies in memory: twelve 32-bit
// little-endian fields.
struct BARPLACEMENT {
    DWORD cbSize;
    LONG nEdge;
    BOOL bAutoHide;
    BOOL bAlwaysOnTop;
    LONG anThickness[4];  // outer size when docked at left, top, right, bottom
    RECT rcFloating;
};
static_assert(sizeof(BARPLACEMENT) == 48, "the stored record is 48 bytes");

constexpr bool IsDockEdge(int edge) {
    return edge >= static_cast<int>(ABE_LEFT) && edge <= static_cast<int>(ABE_BOTTOM);
}
