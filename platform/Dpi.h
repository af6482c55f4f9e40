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
