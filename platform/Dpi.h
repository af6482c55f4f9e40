// Display scale: figures the program takes in pixels at 100% (96 DPI) and
// their sizes at the scale a window is drawn for.
#pragma once

#include "platform/Os.h"

constexpr UINT kDefaultDpi = 96;

// The DPI a window is drawn for; 96 when the system cannot tell.
inline UINT WindowDpi(HWND hwnd) {
    const UINT dpi = Os().win.GetDpiForWindow(hwnd);
    return dpi != 0 ? dpi : kDefaultDpi;
}

// `value` measured at `fromDpi`, at `toDpi`: rounded to the nearest pixel,
// halves away from zero, in wide arithmetic so that no value overflows.
inline long long ScaleBetween(long long value, UINT fromDpi, UINT toDpi) {
    if (fromDpi == 0 || fromDpi == toDpi) {
        return value;
    }
    const long long scaled = value * toDpi;
    const long long half = fromDpi / 2;
    return scaled >= 0 ? (scaled + half) / fromDpi : -((-scaled + half) / fromDpi);
}

// A figure of pixels at 96 DPI, at `dpi`.
inline int ScaleForDpi(int pixels, UINT dpi) { return static_cast<int>(ScaleBetween(pixels, kDefaultDpi, dpi)); }

// A font's height (negative for the character height, as LOGFONT has it)
// at another scale, through its whole points as the dialog manager takes
// them, so that a font made anew matches the one a dialog made at `toDpi` has.
inline LONG FontHeightForDpi(LONG height, UINT fromDpi, UINT toDpi) {
    constexpr UINT kPointsPerInch = 72;
    return static_cast<LONG>(ScaleBetween(ScaleBetween(height, fromDpi, kPointsPerInch), kPointsPerInch, toDpi));
}

// A window's display scale: its DPI, and the system's frames and metrics as
// a window drawn at it has them. Under per-monitor awareness they may differ
// from those of the scale the user signed in with, which AdjustWindowRectEx
// and GetSystemMetrics answer at, so every size of a window is taken here.
class WindowScale {
public:
    WindowScale() = default;
    explicit WindowScale(UINT dpi) : m_nDpi(dpi != 0 ? dpi : kDefaultDpi) {}
    static WindowScale Of(HWND hwnd) { return WindowScale(WindowDpi(hwnd)); }

    UINT Dpi() const { return m_nDpi; }
    // A figure of pixels at 96 DPI.
    int Pixels(int pixels) const { return ScaleForDpi(pixels, m_nDpi); }
    int Metric(int index) const { return Os().win.GetSystemMetricsForDpi(index, m_nDpi); }
    // How far a window of this style reaches beyond its client area on each
    // side: the left and top negative, as AdjustWindowRectEx gives them.
    RECT Frame(DWORD style, DWORD exStyle) const {
        RECT frame{0, 0, 0, 0};
        Os().win.AdjustWindowRectExForDpi(&frame, style, FALSE, exStyle, m_nDpi);
        return frame;
    }
    SIZE FrameSize(DWORD style, DWORD exStyle) const {
        const RECT frame = Frame(style, exStyle);
        return SIZE{frame.right - frame.left, frame.bottom - frame.top};
    }

private:
    UINT m_nDpi = kDefaultDpi;
};
