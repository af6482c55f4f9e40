// Geometry of the appbar, as values in and values out.
#pragma once

#include "appbar/BarPlacement.h"

struct ScreenMetrics {
    int cxScreen;
    int cyScreen;
    int cxBorder;
    int cyBorder;
};

// Cuts a rectangle spanning a screen side to the edge's thickness.
RECT CutToThickness(RECT rect, int edge, const LONG thickness[4]);

// Moves a docked auto-hide rectangle to its shown or hidden position at the
// edge, keeping its size; a hidden bar leaves a strip two borders deep.
RECT AutoHidePosition(RECT rect, int edge, BOOL show, const ScreenMetrics& screen);

// Length of one slide animation, in milliseconds.
constexpr DWORD kSlideDuration = 400;

// The frame `elapsed` milliseconds into a slide from `from` to `to`.
RECT SlideFrame(const RECT& from, const RECT& to, DWORD elapsed);

// Where the bar goes in the z-order for its always-on-top setting.
HWND ZOrderInsertAfter(BOOL alwaysOnTop, BOOL fullScreenApp);
