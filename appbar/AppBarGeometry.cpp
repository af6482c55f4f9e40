#include "appbar/AppBarGeometry.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "platform/Dpi.h"

namespace {

constexpr long long kLongMin = std::numeric_limits<LONG>::min();
constexpr long long kLongMax = std::numeric_limits<LONG>::max();

int ClampedExtent(LONG from, LONG to) {
    return static_cast<int>(std::clamp<long long>(static_cast<long long>(to) - from, 0, kLongMax));
}

bool Inside(const RECT& rect, POINT pt) {
    return pt.x >= rect.left && pt.x < rect.right && pt.y >= rect.top && pt.y < rect.bottom;
}

// The nearest whole number of steps of a client extent, no fewer than one
// and held between the limits in whole steps; a zero step leaves the extent
// as it is.
long long SnappedExtent(long long extent, long long step, long long minExtent, long long maxExtent) {
    if (step <= 0) {
        return extent;
    }
    const long long fewest = std::max(1LL, (std::max(0LL, minExtent) + step - 1) / step) * step;
    const long long most = std::max(fewest, std::max(0LL, maxExtent) / step * step);
    return std::clamp(std::max(1LL, (extent + step / 2) / step) * step, fewest, most);
}

// Which sides of the window a WMSZ_ code drags.
struct DraggedSides {
    bool left, top, right, bottom;
};
DraggedSides SidesOf(UINT side) {
    return DraggedSides{side == WMSZ_LEFT || side == WMSZ_TOPLEFT || side == WMSZ_BOTTOMLEFT,
                        side == WMSZ_TOP || side == WMSZ_TOPLEFT || side == WMSZ_TOPRIGHT,
                        side == WMSZ_RIGHT || side == WMSZ_TOPRIGHT || side == WMSZ_BOTTOMRIGHT,
                        side == WMSZ_BOTTOM || side == WMSZ_BOTTOMLEFT || side == WMSZ_BOTTOMRIGHT};
}

}  // namespace

LONG ClampToLong(long long value) { return static_cast<LONG>(std::clamp(value, kLongMin, kLongMax)); }

WindowFrame FrameOfRect(const RECT& rect) {
    return WindowFrame{rect.left, rect.top, ClampedExtent(rect.left, rect.right), ClampedExtent(rect.top, rect.bottom)};
}

LONG HeldThickness(int edge, LONG thickness, POINT minTrack, POINT maxTrack) {
    const bool across = edge == ABE_LEFT || edge == ABE_RIGHT;
    const LONG least = across ? minTrack.x : minTrack.y;
    const LONG most = across ? maxTrack.x : maxTrack.y;
    return std::clamp(thickness, least, std::max(least, most));
}

RECT CutToThickness(RECT rect, int edge, const LONG thickness[4]) {
    switch (edge) {
        case ABE_LEFT:
            rect.right = ClampToLong(static_cast<long long>(rect.left) + thickness[ABE_LEFT]);
            break;
        case ABE_TOP:
            rect.bottom = ClampToLong(static_cast<long long>(rect.top) + thickness[ABE_TOP]);
            break;
        case ABE_RIGHT:
            rect.left = ClampToLong(static_cast<long long>(rect.right) - thickness[ABE_RIGHT]);
            break;
        case ABE_BOTTOM:
            rect.top = ClampToLong(static_cast<long long>(rect.bottom) - thickness[ABE_BOTTOM]);
            break;
        default:
            break;
    }
    return rect;
}

std::optional<RECT> ClipToMonitor(const RECT& window, const RECT& monitor) {
    const RECT on{std::max(window.left, monitor.left), std::max(window.top, monitor.top),
                  std::min(window.right, monitor.right), std::min(window.bottom, monitor.bottom)};
    if (SameRect(on, window) || on.left >= on.right || on.top >= on.bottom) {
        return std::nullopt;
    }
    return RECT{ClampToLong(static_cast<long long>(on.left) - window.left),
                ClampToLong(static_cast<long long>(on.top) - window.top),
                ClampToLong(static_cast<long long>(on.right) - window.left),
                ClampToLong(static_cast<long long>(on.bottom) - window.top)};
}

RECT AutoHidePosition(RECT rect, int edge, BOOL show, const ScreenMetrics& screen) {
    const long long w = static_cast<long long>(rect.right) - rect.left;
    const long long h = static_cast<long long>(rect.bottom) - rect.top;
    const RECT& m = screen.monitor;
    long long x = m.left;
    long long y = m.top;
    switch (edge) {
        case ABE_LEFT:
            x = show ? m.left : m.left + 2LL * screen.cxBorder - w;
            break;
        case ABE_TOP:
            y = show ? m.top : m.top + 2LL * screen.cyBorder - h;
            break;
        case ABE_RIGHT:
            x = show ? m.right - w : m.right - 2LL * screen.cxBorder;
            break;
        case ABE_BOTTOM:
            y = show ? m.bottom - h : m.bottom - 2LL * screen.cyBorder;
            break;
        default:
            return rect;
    }
    return RECT{ClampToLong(x), ClampToLong(y), ClampToLong(x + w), ClampToLong(y + h)};
}

WindowFrame SlideFrame(const RECT& from, const RECT& to, DWORD elapsed) {
    // In 64 bits: a window millions of pixels from its target would
    // overflow distance times milliseconds in 32.
    const long long e = std::min(elapsed, kSlideDuration);
    auto between = [e](long long start, long long end) {
        return start - (start - end) * e / static_cast<long long>(kSlideDuration);
    };
    const long long left = between(from.left, to.left);
    const long long top = between(from.top, to.top);
    const long long width =
        between(static_cast<long long>(from.right) - from.left, static_cast<long long>(to.right) - to.left);
    const long long height =
        between(static_cast<long long>(from.bottom) - from.top, static_cast<long long>(to.bottom) - to.top);
    return WindowFrame{ClampToLong(left), ClampToLong(top), static_cast<int>(std::clamp(width, 0LL, kLongMax)),
                       static_cast<int>(std::clamp(height, 0LL, kLongMax))};
}

bool CursorOutside(const RECT& window, SIZE margin, POINT cursor) {
    const RECT keep{ClampToLong(static_cast<long long>(window.left) - margin.cx),
                    ClampToLong(static_cast<long long>(window.top) - margin.cy),
                    ClampToLong(static_cast<long long>(window.right) + margin.cx),
                    ClampToLong(static_cast<long long>(window.bottom) + margin.cy)};
    return !Inside(keep, cursor);
}

HWND ZOrderInsertAfter(BOOL alwaysOnTop, BOOL fullScreenApp) {
    if (!alwaysOnTop) {
        return HWND_NOTOPMOST;
    }
    // A full-screen application must cover an always-on-top bar.
    return fullScreenApp ? HWND_BOTTOM : HWND_TOPMOST;
}

int EdgeFromPointIn(UINT options, POINT pt, const DragArea& area) {
    if ((options & BARF_FLOAT) != 0) {
        const RECT inner{ClampToLong(static_cast<long long>(area.workArea.left) + area.scrollBars.cx),
                         ClampToLong(static_cast<long long>(area.workArea.top) + area.scrollBars.cy),
                         ClampToLong(static_cast<long long>(area.workArea.right) - area.scrollBars.cx),
                         ClampToLong(static_cast<long long>(area.workArea.bottom) - area.scrollBars.cy)};
        if (Inside(inner, pt) || (options & (BARF_LEFTRIGHT | BARF_TOPBOTTOM)) == 0) {
            return EDGE_FLOATING;
        }
    }
    const RECT& m = area.monitor;
    const long long cx = static_cast<long long>(m.right) - m.left;
    const long long cy = static_cast<long long>(m.bottom) - m.top;
    const long long dx = static_cast<long long>(pt.x) - m.left - cx / 2;
    const long long dy = static_cast<long long>(pt.y) - m.top - cy / 2;
    // The monitor's diagonals cut it into four triangles; a point on a
    // diagonal goes left or right.
    const bool across = cy * std::llabs(dx) >= cx * std::llabs(dy);
    if ((across && (options & BARF_LEFTRIGHT) != 0) || (options & BARF_TOPBOTTOM) == 0) {
        return dx < 0 ? static_cast<int>(ABE_LEFT) : static_cast<int>(ABE_RIGHT);
    }
    return dy < 0 ? static_cast<int>(ABE_TOP) : static_cast<int>(ABE_BOTTOM);
}

int AppBarHitTest(int defaultHit, bool primaryButtonDown, int edge, int stepAcross, POINT pt, const RECT& client) {
    if (defaultHit == HTCLIENT && primaryButtonDown) {
        return HTCAPTION;
    }
    if (!IsDockEdge(edge) || defaultHit < HTLEFT || defaultHit > HTBOTTOMRIGHT) {
        return defaultHit;
    }
    if (stepAcross == 0) {
        return HTBORDER;
    }
    switch (edge) {
        case ABE_LEFT:
            return pt.x > client.right ? HTRIGHT : HTBORDER;
        case ABE_TOP:
            return pt.y > client.bottom ? HTBOTTOM : HTBORDER;
        case ABE_RIGHT:
            return pt.x < client.left ? HTLEFT : HTBORDER;
        default:
            return pt.y < client.top ? HTTOP : HTBORDER;
    }
}

RECT SnapToSteps(UINT side, RECT rect, SIZE frame, SIZE step, POINT minTrack, POINT maxTrack) {
    const long long width =
        SnappedExtent(static_cast<long long>(rect.right) - rect.left - frame.cx, step.cx,
                      static_cast<long long>(minTrack.x) - frame.cx, static_cast<long long>(maxTrack.x) - frame.cx) +
        frame.cx;
    const long long height =
        SnappedExtent(static_cast<long long>(rect.bottom) - rect.top - frame.cy, step.cy,
                      static_cast<long long>(minTrack.y) - frame.cy, static_cast<long long>(maxTrack.y) - frame.cy) +
        frame.cy;
    const DraggedSides sides = SidesOf(side);
    if (sides.left) {
        rect.left = ClampToLong(rect.right - width);
    }
    if (sides.right) {
        rect.right = ClampToLong(rect.left + width);
    }
    if (sides.top) {
        rect.top = ClampToLong(rect.bottom - height);
    }
    if (sides.bottom) {
        rect.bottom = ClampToLong(rect.top + height);
    }
    return rect;
}

RECT DragSides(UINT side, RECT rect, POINT from, POINT to) {
    const long long dx = static_cast<long long>(to.x) - from.x;
    const long long dy = static_cast<long long>(to.y) - from.y;
    const DraggedSides sides = SidesOf(side);
    if (sides.left) {
        rect.left = ClampToLong(rect.left + dx);
    }
    if (sides.right) {
        rect.right = ClampToLong(rect.right + dx);
    }
    if (sides.top) {
        rect.top = ClampToLong(rect.top + dy);
    }
    if (sides.bottom) {
        rect.bottom = ClampToLong(rect.bottom + dy);
    }
    return rect;
}

POINT PressPointOf(UINT side, const RECT& start, const RECT& dragged, POINT cursor) {
    const DraggedSides sides = SidesOf(side);
    long long dx = 0;
    long long dy = 0;
    if (sides.left || sides.right) {
        dx = sides.left ? static_cast<long long>(dragged.left) - start.left
                        : static_cast<long long>(dragged.right) - start.right;
    }
    if (sides.top || sides.bottom) {
        dy = sides.top ? static_cast<long long>(dragged.top) - start.top
                       : static_cast<long long>(dragged.bottom) - start.bottom;
    }
    return POINT{ClampToLong(cursor.x - dx), ClampToLong(cursor.y - dy)};
}

RECT FloatingDragRect(POINT cursor, const RECT& floating) {
    const WindowFrame size = FrameOfRect(floating);
    const long long left = static_cast<long long>(cursor.x) - size.cx / 2;
    return RECT{ClampToLong(left), cursor.y, ClampToLong(left + size.cx),
                ClampToLong(static_cast<long long>(cursor.y) + size.cy)};
}

RECT FloatingOnScreen(const RECT& rect, const RECT& monitor, LONG caption, POINT minTrack, POINT maxTrack) {
    // Wide arithmetic: a rectangle may lie anywhere in 32 bits.
    const long long width = std::clamp<long long>(static_cast<long long>(rect.right) - rect.left, minTrack.x,
                                                  std::max(minTrack.x, maxTrack.x));
    const long long height = std::clamp<long long>(static_cast<long long>(rect.bottom) - rect.top, minTrack.y,
                                                   std::max(minTrack.y, maxTrack.y));
    const long long left =
        std::clamp<long long>(rect.left, monitor.left, std::max<long long>(monitor.left, monitor.right - width));
    const long long top = std::clamp<long long>(
        rect.top, monitor.top, std::max<long long>(monitor.top, static_cast<long long>(monitor.bottom) - caption));
    return RECT{ClampToLong(left), ClampToLong(top), ClampToLong(left + width), ClampToLong(top + height)};
}

bool CaptionOnMonitors(const RECT& rect, LONG caption, const std::vector<RECT>& monitors) {
    if (rect.right <= rect.left || caption <= 0) {
        return false;
    }
    const long long top = rect.top;
    const long long bottom = top + caption;
    // Between any two neighbouring monitor sides each column is covered
    // alike: the monitors spanning that stretch must fill the strip's depth.
    std::vector<long long> xs{rect.left, rect.right};
    for (const RECT& m : monitors) {
        for (const LONG x : {m.left, m.right}) {
            if (x > rect.left && x < rect.right) {
                xs.push_back(x);
            }
        }
    }
    std::sort(xs.begin(), xs.end());
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
        if (xs[i] == xs[i + 1]) {
            continue;
        }
        std::vector<std::pair<long long, long long>> spans;
        for (const RECT& m : monitors) {
            if (m.left <= xs[i] && m.right >= xs[i + 1]) {
                spans.emplace_back(m.top, m.bottom);
            }
        }
        std::sort(spans.begin(), spans.end());
        long long reach = top;
        for (const auto& [from, to] : spans) {
            if (from > reach) {
                break;
            }
            reach = std::max(reach, to);
        }
        if (reach < bottom) {
            return false;
        }
    }
    return true;
}

RECT ShellAreaOn(const RECT& monitor, const RECT& answer) {
    const RECT on{std::max(monitor.left, answer.left), std::max(monitor.top, answer.top),
                  std::min(monitor.right, answer.right), std::min(monitor.bottom, answer.bottom)};
    if (on.right <= on.left || on.bottom <= on.top) {
        return monitor;
    }
    return on;
}

POINT HeldInRect(POINT pt, const RECT& rect) {
    return POINT{std::clamp(pt.x, rect.left, std::max(rect.left, ClampToLong(rect.right - 1LL))),
                 std::clamp(pt.y, rect.top, std::max(rect.top, ClampToLong(rect.bottom - 1LL)))};
}

namespace {
// Beyond any screen; keeps the products below in range.
constexpr UINT kMaxDpi = 100000;

bool Rescales(UINT fromDpi, UINT toDpi) {
    return fromDpi != toDpi && fromDpi != 0 && toDpi != 0 && fromDpi <= kMaxDpi && toDpi <= kMaxDpi;
}
}  // namespace

LONG RescaledThickness(LONG thickness, LONG fromFrame, LONG toFrame, LONG step, UINT fromDpi, UINT toDpi) {
    if (!Rescales(fromDpi, toDpi)) {
        return thickness;
    }
    const long long client = std::max(0LL, static_cast<long long>(thickness) - fromFrame);
    if (step <= 1) {
        return ClampToLong(toFrame + ScaleBetween(client, fromDpi, toDpi));
    }
    const long long unit = static_cast<long long>(fromDpi) * step;
    const long long rows = std::max(1LL, (client * toDpi + unit / 2) / unit);
    return ClampToLong(toFrame + rows * step);
}

void RescalePlacement(BARPLACEMENT* placement, const DockedScale& from, const DockedScale& to, SIZE step) {
    if (!Rescales(from.dpi, to.dpi)) {
        return;
    }
    for (int edge = ABE_LEFT; edge <= static_cast<int>(ABE_BOTTOM); ++edge) {
        const bool across = edge == ABE_LEFT || edge == ABE_RIGHT;
        LONG& thickness = placement->anThickness[edge];
        thickness = RescaledThickness(thickness, across ? from.frame.cx : from.frame.cy,
                                      across ? to.frame.cx : to.frame.cy, across ? step.cx : step.cy, from.dpi, to.dpi);
    }
    placement->rcFloating = ScaledInPlace(placement->rcFloating, from.dpi, to.dpi);
}

RECT ScaledInPlace(const RECT& rect, UINT fromDpi, UINT toDpi) {
    return RECT{rect.left, rect.top,
                ClampToLong(rect.left + ScaleBetween(static_cast<long long>(rect.right) - rect.left, fromDpi, toDpi)),
                ClampToLong(rect.top + ScaleBetween(static_cast<long long>(rect.bottom) - rect.top, fromDpi, toDpi))};
}
