// The monitors of the desktop, as the bar needs them.
#pragma once

#include <string>
#include <vector>

#include "platform/Win32.h"

struct MonitorArea {
    RECT rect;
    // Within `rect`; the whole monitor when the system's answer is not.
    RECT work;
    bool primary;
    std::wstring device;
};

// The primary monitor; when the system tells nothing of monitors, the
// screen that SM_CXSCREEN, SM_CYSCREEN and SPI_GETWORKAREA describe.
MonitorArea PrimaryMonitorArea();
// The monitor a point is on, or the nearest.
MonitorArea MonitorAtPoint(POINT pt);
// The monitor a rectangle lies most on, or the nearest.
MonitorArea MonitorOfRect(const RECT& rect);
// The monitor of that device name, else the one at that rectangle, else the primary.
MonitorArea MonitorNamed(const std::wstring& device, const RECT& rect);
// Every monitor, the primary first; never empty.
std::vector<MonitorArea> AllMonitors();
// The top-left corner of something of `size` put below `beside`, or above
// it, at its left, and moved as little as it takes to lie within `area`
// where it fits, its top-left corner on `area` where it does not.
POINT PlaceBeside(const RECT& beside, SIZE size, bool above, const RECT& area);
// Moves a window that is not on its owner's monitor to the middle of that
// monitor's work area, as far as it fits.
void KeepOnMonitorOf(HWND window, HWND owner);
