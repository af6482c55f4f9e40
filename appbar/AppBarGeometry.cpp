#include "appbar/AppBarGeometry.h"

RECT CutToThickness(RECT rect, int edge, const LONG thickness[4]) {
    switch (edge) {
        case ABE_LEFT:
            rect.right = rect.left + thickness[ABE_LEFT];
            break;
        case ABE_TOP:
            rect.bottom = rect.top + thickness[ABE_TOP];
            break;
        case ABE_RIGHT:
            rect.left = rect.right - thickness[ABE_RIGHT];
            break;
        case ABE_BOTTOM:
            rect.top = rect.bottom - thickness[ABE_BOTTOM];
            break;
        default:
            break;
    }
    return rect;
}

RECT AutoHidePosition(RECT rect, int edge, BOOL show, const ScreenMetrics& screen) {
    const LONG w = rect.right - rect.left;
    const LONG h = rect.bottom - rect.top;
    LONG x = 0;
    LONG y = 0;
    switch (edge) {
        case ABE_LEFT:
            x = show ? 0 : 2 * screen.cxBorder - w;
            break;
        case ABE_TOP:
            y = show ? 0 : 2 * screen.cyBorder - h;
            break;
        case ABE_RIGHT:
            x = show ? screen.cxScreen - w : screen.cxScreen - 2 * screen.cxBorder;
            break;
        case ABE_BOTTOM:
            y = show ? screen.cyScreen - h : screen.cyScreen - 2 * screen.cyBorder;
            break;
        default:
            return rect;
    }
    return RECT{x, y, x + w, y + h};
}

RECT SlideFrame(const RECT& from, const RECT& to, DWORD elapsed) {
    const auto e = static_cast<LONG>(elapsed);
    const auto d = static_cast<LONG>(kSlideDuration);
    const LONG fromWidth = from.right - from.left;
    const LONG fromHeight = from.bottom - from.top;
    const LONG toWidth = to.right - to.left;
    const LONG toHeight = to.bottom - to.top;
    const LONG left = from.left - (from.left - to.left) * e / d;
    const LONG top = from.top - (from.top - to.top) * e / d;
    const LONG width = fromWidth - (fromWidth - toWidth) * e / d;
    const LONG height = fromHeight - (fromHeight - toHeight) * e / d;
    return RECT{left, top, left + width, top + height};
}

HWND ZOrderInsertAfter(BOOL alwaysOnTop, BOOL fullScreenApp) {
    if (!alwaysOnTop) {
        return HWND_NOTOPMOST;
    }
    // A full-screen application must cover an always-on-top bar.
    return fullScreenApp ? HWND_BOTTOM : HWND_TOPMOST;
}
