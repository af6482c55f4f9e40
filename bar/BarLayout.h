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
    bool setMinimum;
    POINT minTrack;
    POINT maxTrack;
};
// A docked bar may grow to half the screen across its edge; a floating one
// to half the screen both ways and no smaller than its first client area.
TrackingLimits BarTrackingLimits(int edge, SIZE frame, SIZE minClient, SIZE screen);
