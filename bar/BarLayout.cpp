#include "bar/BarLayout.h"

#include <algorithm>

#include "appbar/BarPlacement.h"
#include "platform/Dpi.h"
#include "resources/resource.h"

namespace {
constexpr int kMargin = 1;
constexpr int kGap = 3;
constexpr int kSmallestPicture = 16;
constexpr int kLargestPicture = 32;
constexpr int kPictureStep = 4;
}  // namespace

bool IsVerticalLayout(int edge, int cxClient, int cyClient) {
    if (edge == ABE_LEFT || edge == ABE_RIGHT) {
        return true;
    }
    return edge == EDGE_FLOATING && cxClient < cyClient;
}

RECT BarButtonRect(int index, bool vertical, SIZE client, SIZE button, UINT dpi) {
    const LONG margin = ScaleForDpi(kMargin, dpi);
    const LONG gap = ScaleForDpi(kGap, dpi);
    if (vertical) {
        const LONG top = margin + index * (button.cy + gap);
        return RECT{margin, top, client.cx, top + button.cy};
    }
    const LONG left = margin + index * (button.cx + gap);
    return RECT{left, margin, left + button.cx, client.cy};
}

int PictureSize(UINT dpi) {
    const int wanted = ScaleForDpi(kSmallestPicture, dpi);
    const int fits = std::min(kLargestPicture, wanted) / kPictureStep * kPictureStep;
    return std::max(kSmallestPicture, fits);
}

UINT PictureId(UINT id16, int size) {
    return id16 + static_cast<UINT>((size - kSmallestPicture) / kPictureStep * IDB_SIZE_STEP);
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
