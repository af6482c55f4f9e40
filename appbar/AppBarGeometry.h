// Geometry of the appbar, as values in and values out.
#pragma once

#include <optional>
#include <vector>

#include "appbar/BarPlacement.h"

// The monitor a docked bar is on, and the borders at the bar's scale.
struct ScreenMetrics {
    RECT monitor;
    int cxBorder;
    int cyBorder;
};

// A 64-bit value held to the range of a 32-bit coordinate.
LONG ClampToLong(long long value);

// Position and size as SetWindowPos takes them. A rectangle of any
// coordinates gives a size from 0 to the int limit, never an overflow.
struct WindowFrame {
    int x;
    int y;
    int cx;
    int cy;
};
WindowFrame FrameOfRect(const RECT& rect);

// A docked thickness held to the window's tracking limits across its edge.
LONG HeldThickness(int edge, LONG thickness, POINT minTrack, POINT maxTrack);

// Cuts a rectangle spanning a screen side to the edge's thickness.
RECT CutToThickness(RECT rect, int edge, const LONG thickness[4]);

// Moves a docked auto-hide rectangle to its shown or hidden position at the
// monitor's edge, keeping its size; a hidden bar leaves a strip two borders
// deep on the monitor.
RECT AutoHidePosition(RECT rect, int edge, BOOL show, const ScreenMetrics& screen);
// The part of a window at `window` that lies on `monitor`, in window
// coordinates, when the window reaches beyond it: a bar hidden at an edge
// where two monitors meet would otherwise show on the neighbour. None when
// the whole window is on the monitor, or none of it.
std::optional<RECT> ClipToMonitor(const RECT& window, const RECT& monitor);

// Length of one slide animation, in milliseconds.
constexpr DWORD kSlideDuration = 400;

// The frame `elapsed` milliseconds into a slide from `from` to `to`; an
// elapsed time past the slide's length gives `to`.
WindowFrame SlideFrame(const RECT& from, const RECT& to, DWORD elapsed);

// The cursor has strayed from the window by more than the margin on some
// side; the right and bottom lines of the grown rectangle lie outside.
bool CursorOutside(const RECT& window, SIZE margin, POINT cursor);

// Where the bar goes in the z-order for its always-on-top setting.
HWND ZOrderInsertAfter(BOOL alwaysOnTop, BOOL fullScreenApp);

// What the edge choice of a drag looks at: the monitor under the pointer.
struct DragArea {
    RECT workArea;
    SIZE scrollBars;  // SM_CXVSCROLL, SM_CYHSCROLL
    RECT monitor;
};
// The edge that a screen point chooses: floating well inside the work area,
// otherwise the edge of the monitor's triangle (cut by its diagonals) that
// the point lies in.
int EdgeFromPointIn(UINT options, POINT pt, const DragArea& area);

// The answer to a hit test: a press on the client area moves the bar, and a
// docked bar sizes only on the side that faces the middle of the screen.
int AppBarHitTest(int defaultHit, bool primaryButtonDown, int edge, int stepAcross, POINT pt, const RECT& client);

// The proposed rectangle of a size loop with its client area snapped to
// whole steps, no fewer than one, and held to the tracking limits in whole
// steps, so that the window the system allows is the one snapped; only the
// dragged sides move.
RECT SnapToSteps(UINT side, RECT rect, SIZE frame, SIZE step, POINT minTrack, POINT maxTrack);

// The rectangle with the sides that a size loop drags moved as far as the
// cursor has travelled from `from` to `to`.
RECT DragSides(UINT side, RECT rect, POINT from, POINT to);
// Where the cursor started from, when its travel to `cursor` moved the
// dragged sides of `start` to those of `dragged`: DragSides undone.
POINT PressPointOf(UINT side, const RECT& start, const RECT& dragged, POINT cursor);

// A floating window held to its size limits and moved, where needed, so
// that its whole caption, `caption` pixels deep, is on the monitor.
RECT FloatingOnScreen(const RECT& rect, const RECT& monitor, LONG caption, POINT minTrack, POINT maxTrack);
// Whether the whole caption strip, `caption` pixels deep along the top of
// `rect`, lies on the monitors, across their boundaries if need be.
bool CaptionOnMonitors(const RECT& rect, LONG caption, const std::vector<RECT>& monitors);
// The area the shell gave for a bar within `asked` (its monitor, or the
// strip it asked for): its answer where it lies there, all that was asked
// where it does not (a shell that clips by bars on other monitors can
// answer a rectangle with right < left).
RECT ShellAreaOn(const RECT& asked, const RECT& answer);
// A point held to the rectangle, its right and bottom lines outside.
POINT HeldInRect(POINT pt, const RECT& rect);

// The rectangle of the floating size whose top edge is at the cursor,
// centred on it across.
RECT FloatingDragRect(POINT cursor, const RECT& floating);

// A docked thickness measured at `fromDpi` in a frame of `fromFrame` pixels
// across its edge, at `toDpi` in a frame of `toFrame`, for a window that
// sizes in steps of `step` there: the client area scales, and with steps of
// more than a pixel it keeps its number of whole steps (rows), at least one.
LONG RescaledThickness(LONG thickness, LONG fromFrame, LONG toFrame, LONG step, UINT fromDpi, UINT toDpi);

// A scale the bar's sizes are measured at: its DPI and the docked frame there.
struct DockedScale {
    UINT dpi;
    SIZE frame;
};
// The placement's four thicknesses so, sized in steps of `step` at `to`,
// and its floating size scaled where it stands.
void RescalePlacement(BARPLACEMENT* placement, const DockedScale& from, const DockedScale& to, SIZE step);
// A rectangle measured at `fromDpi` at `toDpi`, where it stands: its size scales.
RECT ScaledInPlace(const RECT& rect, UINT fromDpi, UINT toDpi);
