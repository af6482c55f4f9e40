#include <gtest/gtest.h>

#include <limits>
#include <ostream>

#include "appbar/AppBarGeometry.h"
#include "tests/support/TestOs.h"

static bool operator==(const WindowFrame& a, const WindowFrame& b) {
    return a.x == b.x && a.y == b.y && a.cx == b.cx && a.cy == b.cy;
}
static std::ostream& operator<<(std::ostream& out, const WindowFrame& f) {
    return out << "{" << f.x << ", " << f.y << ", " << f.cx << " x " << f.cy << "}";
}

namespace {

const ScreenMetrics kScreen{1024, 768, 1, 1};

TEST(AutoHidePosition, ShownAndHiddenPositionsPerEdge) {
    struct Case {
        int edge;
        RECT docked;
        BOOL show;
        RECT expected;
    };
    const Case cases[] = {
        {ABE_RIGHT, {964, 0, 1024, 768}, TRUE, {964, 0, 1024, 768}},
        {ABE_RIGHT, {964, 0, 1024, 768}, FALSE, {1022, 0, 1082, 768}},
        {ABE_LEFT, {0, 0, 60, 768}, TRUE, {0, 0, 60, 768}},
        {ABE_LEFT, {0, 0, 60, 768}, FALSE, {-58, 0, 2, 768}},
        {ABE_BOTTOM, {0, 728, 1024, 768}, TRUE, {0, 728, 1024, 768}},
        {ABE_BOTTOM, {0, 728, 1024, 768}, FALSE, {0, 766, 1024, 806}},
        {ABE_TOP, {0, 0, 1024, 40}, FALSE, {0, -38, 1024, 2}},
        // The coordinate along the edge always starts at 0.
        {ABE_TOP, {100, 50, 1124, 90}, TRUE, {0, 0, 1024, 40}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AutoHidePosition(c.docked, c.edge, c.show, kScreen), c.expected)
            << "edge " << c.edge << " show " << c.show;
    }
}

TEST(AutoHidePosition, HiddenStripFollowsTheBorderSize) {
    const ScreenMetrics wideBorders{1024, 768, 3, 2};
    EXPECT_EQ(AutoHidePosition(RECT{0, 0, 60, 768}, ABE_LEFT, FALSE, wideBorders), (RECT{-54, 0, 6, 768}));
    EXPECT_EQ(AutoHidePosition(RECT{0, 0, 1024, 30}, ABE_TOP, FALSE, wideBorders), (RECT{0, -26, 1024, 4}));
}

TEST(CutToThickness, KeepsTheOuterSideAndTheEdgeThickness) {
    const LONG thickness[4] = {50, 21, 70, 30};
    const RECT side{0, 0, 1024, 740};
    EXPECT_EQ(CutToThickness(side, ABE_LEFT, thickness), (RECT{0, 0, 50, 740}));
    EXPECT_EQ(CutToThickness(side, ABE_TOP, thickness), (RECT{0, 0, 1024, 21}));
    EXPECT_EQ(CutToThickness(side, ABE_RIGHT, thickness), (RECT{954, 0, 1024, 740}));
    EXPECT_EQ(CutToThickness(side, ABE_BOTTOM, thickness), (RECT{0, 710, 1024, 740}));
    EXPECT_EQ(CutToThickness(side, EDGE_FLOATING, thickness), side);
}

TEST(CutToThickness, ZeroThicknessGivesAnEmptyStrip) {
    const LONG zero[4] = {0, 0, 0, 0};
    const RECT side{0, 0, 1024, 768};
    EXPECT_EQ(CutToThickness(side, ABE_LEFT, zero), (RECT{0, 0, 0, 768}));
    EXPECT_EQ(CutToThickness(side, ABE_BOTTOM, zero), (RECT{0, 768, 1024, 768}));
}

constexpr LONG kMax = std::numeric_limits<LONG>::max();
constexpr LONG kMin = std::numeric_limits<LONG>::min();

TEST(SlideFrame, InterpolatesFromTheStartTruncatingTowardZero) {
    struct Case {
        RECT from, to;
        DWORD elapsed;
        WindowFrame expected;
    };
    const Case cases[] = {
        {{0, -38, 1024, 2}, {0, 0, 1024, 40}, 0, {0, -38, 1024, 40}},
        {{0, -38, 1024, 2}, {0, 0, 1024, 40}, 200, {0, -19, 1024, 40}},
        // -38 + 38 * 399 / 400 = -38 + 37 (37.905 truncated)
        {{0, -38, 1024, 2}, {0, 0, 1024, 40}, 399, {0, -1, 1024, 40}},
        {{0, -38, 1024, 2}, {0, 0, 1024, 40}, 400, {0, 0, 1024, 40}},
        // Never past the target, however late the frame.
        {{0, -38, 1024, 2}, {0, 0, 1024, 40}, 0xFFFFFFFF, {0, 0, 1024, 40}},
        // width 100 - (100 - 1024) * 100 / 400 = 331; height 30 - 9 * 100 / 400 = 28
        {{100, 100, 200, 130}, {0, 0, 1024, 21}, 100, {75, 75, 331, 28}},
        // Millions of pixels away: distance times milliseconds needs 64 bits.
        {{0, 10000000, 1024, 10000040}, {0, 0, 1024, 40}, 200, {0, 5000000, 1024, 40}},
        {{kMin, kMin, kMax, kMax}, {0, 0, 1024, 40}, 200, {kMin / 2, kMin / 2, kMax, kMax}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SlideFrame(c.from, c.to, c.elapsed), c.expected) << c.from << " at " << c.elapsed;
    }
}

TEST(FrameOfRect, SizesStayWithinTheIntRange) {
    struct Case {
        RECT rect;
        WindowFrame expected;
    };
    const Case cases[] = {
        {{100, 100, 172, 135}, {100, 100, 72, 35}},
        {{kMin, kMin, kMax, kMax}, {kMin, kMin, kMax, kMax}},
        {{kMax, kMax, kMin, kMin}, {kMax, kMax, 0, 0}},
        {{-5, 0, kMax, 10}, {-5, 0, kMax, 10}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FrameOfRect(c.rect), c.expected) << c.rect;
    }
}

TEST(CursorOutside, TheGrownRightAndBottomLinesLieOutside) {
    struct Case {
        RECT window;
        POINT cursor;
        bool outside;
    };
    const SIZE margin{8, 8};
    const Case cases[] = {
        {{0, 0, 1024, 40}, {500, 47}, false},
        {{0, 0, 1024, 40}, {500, 48}, true},
        {{0, 0, 1024, 40}, {-8, -8}, false},
        {{0, 0, 1024, 40}, {-9, 0}, true},
        {{0, 0, 60, 768}, {67, 300}, false},
        {{0, 0, 60, 768}, {68, 300}, true},
        // Near the limits the rectangle grows only as far as they go.
        {{kMax - 10, kMax - 10, kMax, kMax}, {kMax - 1, kMax - 1}, false},
        {{kMax - 10, kMax - 10, kMax, kMax}, {kMax, kMax}, true},
        {{kMin, kMin, kMin + 10, kMin + 10}, {kMin, kMin}, false},
        {{kMin, kMin, kMax, kMax}, {0, 0}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CursorOutside(c.window, margin, c.cursor), c.outside)
            << c.window << " cursor " << c.cursor.x << "," << c.cursor.y;
    }
}

TEST(EdgeFromPoint, ScreenTrianglesAndTheFloatingMiddle) {
    // 1024 x 768 with a 28-pixel taskbar at the bottom and 16-pixel scroll bars.
    const DragArea area{{0, 0, 1024, 740}, {16, 16}, {1024, 768}};
    constexpr UINT kAll = 0x37;
    struct Case {
        UINT options;
        POINT pt;
        int edge;
    };
    const Case cases[] = {
        {kAll, {500, 300}, EDGE_FLOATING},
        {kAll, {16, 300}, EDGE_FLOATING},
        {kAll, {15, 300}, ABE_LEFT},
        {kAll, {1007, 300}, EDGE_FLOATING},
        {kAll, {1008, 300}, ABE_RIGHT},
        {kAll, {512, 760}, ABE_BOTTOM},
        {kAll, {1020, 760}, ABE_RIGHT},
        {kAll, {1020, 10}, ABE_RIGHT},
        {kAll, {0, 0}, ABE_LEFT},
        {kAll, {512, 5}, ABE_TOP},
        // Without floating every point docks; dx = 0 counts as right, dy = 0 as bottom.
        {BARF_LEFTRIGHT | BARF_TOPBOTTOM, {500, 300}, ABE_TOP},
        {BARF_LEFTRIGHT, {512, 0}, ABE_RIGHT},
        {BARF_TOPBOTTOM, {0, 384}, ABE_BOTTOM},
        {BARF_TOPBOTTOM, {1020, 10}, ABE_TOP},
        {BARF_FLOAT, {0, 0}, EDGE_FLOATING},
        {0, {1020, 384}, ABE_RIGHT},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EdgeFromPointIn(c.options, c.pt, area), c.edge)
            << "options " << c.options << " at " << c.pt.x << "," << c.pt.y;
    }
}

TEST(AppBarHitTest, OnlyTheInnerSideSizesADockedBar) {
    const RECT client{3, 3, 1021, 18};  // a top bar 21 high; on the left, 3..31 across
    struct Case {
        int edge;
        int hit;
        bool buttonDown;
        POINT pt;
        int step;
        int expected;
    };
    const Case cases[] = {
        {ABE_TOP, HTCLIENT, true, {50, 10}, 15, HTCAPTION},
        {ABE_TOP, HTCLIENT, false, {50, 10}, 15, HTCLIENT},
        {ABE_TOP, HTBOTTOM, false, {50, 19}, 15, HTBOTTOM},
        {ABE_TOP, HTBOTTOMRIGHT, false, {1022, 19}, 15, HTBOTTOM},
        {ABE_TOP, HTTOP, false, {50, 1}, 15, HTBORDER},
        {ABE_TOP, HTLEFT, false, {1, 10}, 15, HTBORDER},
        {ABE_TOP, HTBOTTOM, false, {50, 19}, 0, HTBORDER},
        {ABE_BOTTOM, HTTOP, false, {50, 1}, 15, HTTOP},
        {ABE_BOTTOM, HTBOTTOM, false, {50, 19}, 15, HTBORDER},
        {ABE_LEFT, HTRIGHT, false, {1022, 10}, 1, HTRIGHT},
        {ABE_LEFT, HTTOPRIGHT, false, {1022, 1}, 1, HTRIGHT},
        {ABE_LEFT, HTLEFT, false, {1, 10}, 1, HTBORDER},
        {ABE_LEFT, HTBOTTOM, false, {50, 19}, 1, HTBORDER},
        {ABE_RIGHT, HTLEFT, false, {1, 10}, 1, HTLEFT},
        {ABE_RIGHT, HTRIGHT, false, {1022, 10}, 1, HTBORDER},
        {ABE_TOP, HTCAPTION, false, {50, 10}, 15, HTCAPTION},
        // A floating bar sizes on every side and corner.
        {EDGE_FLOATING, HTTOPLEFT, false, {1, 1}, 15, HTTOPLEFT},
        {EDGE_NONE, HTLEFT, false, {1, 10}, 15, HTLEFT},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AppBarHitTest(c.hit, c.buttonDown, c.edge, c.step, c.pt, client), c.expected)
            << "edge " << c.edge << " hit " << c.hit;
    }
}

TEST(SnapToSteps, WholeRowsFrameAddedOnlyTheDraggedSidesMove) {
    // A top bar: rows of 24 pixels, a frame 8 high and 8 wide.
    const SIZE frame{8, 8};
    const SIZE step{1, 24};
    struct Case {
        UINT side;
        RECT rect;
        RECT expected;
    };
    const Case cases[] = {
        {WMSZ_BOTTOM, {0, 0, 1024, 43}, {0, 0, 1024, 32}},  // client 35 -> 24
        {WMSZ_BOTTOM, {0, 0, 1024, 44}, {0, 0, 1024, 56}},  // client 36 -> 48
        {WMSZ_TOP, {0, 100, 1024, 144}, {0, 88, 1024, 144}},
        {WMSZ_TOPLEFT, {10, 100, 1034, 144}, {10, 88, 1034, 144}},
        {WMSZ_BOTTOMRIGHT, {10, 0, 1034, 43}, {10, 0, 1034, 32}},
        {WMSZ_LEFT, {10, 0, 1034, 43}, {10, 0, 1034, 43}},
        {WMSZ_RIGHT, {0, 0, 517, 43}, {0, 0, 517, 43}},
        {9, {0, 0, 1024, 43}, {0, 0, 1024, 43}},
        // Never thinner than one row.
        {WMSZ_BOTTOM, {0, 0, 1024, 12}, {0, 0, 1024, 32}},
        {WMSZ_BOTTOM, {0, 0, 1024, kMax}, {0, 0, 1024, kMax}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SnapToSteps(c.side, c.rect, frame, step), c.expected) << "side " << c.side << " " << c.rect;
    }
    // Steps of their own across: 10-pixel columns, rows of 24.
    EXPECT_EQ(SnapToSteps(WMSZ_BOTTOMLEFT, RECT{0, 0, 33, 43}, frame, SIZE{10, 24}), (RECT{-5, 0, 33, 32}));
}

TEST(FloatingDragRect, TopAtTheCursorCentredAcross) {
    EXPECT_EQ(FloatingDragRect(POINT{500, 300}, RECT{0, 0, 120, 30}), (RECT{440, 300, 560, 330}));
    EXPECT_EQ(FloatingDragRect(POINT{500, 300}, RECT{7, 9, 128, 40}), (RECT{440, 300, 561, 331}));
    EXPECT_EQ(FloatingDragRect(POINT{-3, 0}, RECT{kMin, kMin, kMax, kMax}),
              (RECT{-3 - kMax / 2, 0, kMax / 2 - 2, kMax}));
}

TEST(ZOrderInsertAfter, FollowsAlwaysOnTopAndFullScreenApps) {
    struct Case {
        BOOL onTop, fullScreen;
        HWND expected;
    };
    const Case cases[] = {{FALSE, FALSE, HWND_NOTOPMOST},
                          {FALSE, TRUE, HWND_NOTOPMOST},
                          {TRUE, FALSE, HWND_TOPMOST},
                          {TRUE, TRUE, HWND_BOTTOM}};
    for (const Case& c : cases) {
        EXPECT_EQ(ZOrderInsertAfter(c.onTop, c.fullScreen), c.expected) << c.onTop << " " << c.fullScreen;
    }
}

}  // namespace
