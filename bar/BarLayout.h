// Where the bar's buttons go, and how large the user may make the bar.
#pragma once

#include "platform/Win32.h"

// Buttons stand in a column at the left and right edges, and while floating
// when the bar is taller than wide; otherwise in a row.
bool IsVerticalLayout(int edge, int cxClient, int cyClient);

// The rectangle of button `index` (0 is the menu button, then the drives)
// in the bar's client area: one pixel from the top-left corner, three
// pixels apart (at 96 DPI, more at larger scales), as long as the bar is thick.
RECT BarButtonRect(int index, bool vertical, SIZE client, SIZE button, UINT dpi);

// The size of the pictures drawn for a scale: the largest of 16, 20, 24,
// 28 and 32 that 16 pixels at `dpi` hold, and 16 below 100%.
int PictureSize(UINT dpi);
// The resource of the picture `id16` (the 16-pixel one) drawn at `size`.
UINT PictureId(UINT id16, int size);

struct TrackingLimits {
    POINT minTrack;
    POINT maxTrack;
};
// No bar, docked or floating, is smaller than its first client area in its
// frame, which holds one button; a docked bar may grow to half the screen
// across its edge, a floating one to half the screen both ways. Sizing and
// loading the stored thicknesses both take these limits, so that what a drag
// can reach the next start keeps.
TrackingLimits BarTrackingLimits(int edge, SIZE frame, SIZE minClient, SIZE screen);
