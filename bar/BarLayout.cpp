#include "bar/BarLayout.h"

#include "appbar/BarPlacement.h"

namespace {
constexpr LONG kMargin = 1;
constexpr LONG kGap = 3;
}  // namespace

bool IsVerticalLayout(int edge, int cxClient, int cyClient) {
    if (edge == ABE_LEFT || edge == ABE_RIGHT) {
        return true;
    }
    return edge == EDGE_FLOATING && cxClient < cyClient;
}

RECT BarButtonRect(int index, bool vertical, SIZE client, SIZE button) {
    if (vertical) {
        const LONG top = kMargin + index * (button.cy + kGap);
        return RECT{kMargin, top, kMargin + client.cx - 1, top + button.cy};
    }
    const LONG left = kMargin + index * (button.cx + kGap);
    return RECT{left, kMargin, left + button.cx, kMargin + client.cy - 1};
}

TrackingLimits BarTrackingLimits(int edge, SIZE frame, SIZE minClient, SIZE screen) {
    TrackingLimits limits{{minClient.cx + frame.cx, minClient.cy + frame.cy}, {screen.cx, screen.cy}};
    if (edge != ABE_TOP && edge != ABE_BOTTOM) {
        limits.maxTrack.x /= 2;
    }
    if (edge != ABE_LEFT && edge != ABE_RIGHT) {
        limits.maxTrack.y /= 2;
    }
    return limits;
}
