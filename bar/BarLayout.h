// Where the bar's buttons go, and how large the user may make the bar.
#pragma once

#include "platform/Win32.h"

// Buttons stand in a column at the left and right edges, and while floating
// when the bar is taller than wide; otherwise in a row.
bool IsVerticalLayout(int edge, int cxClient, int cyClient);

// The rectangle of button `index` (0 is the menu button, then the drives)
// in the bar's client area: one pixel from the top-left corner, three
// pixels apart, as long as the bar is thick.
RECT BarButtonRect(int index, bool vertical, SIZE client, SIZE button);

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
