
#include <limits>

#include "appbar/AppBarGeometry.h"
#include "tests/support/TestOs.h"

static bool operator==(const WindowFrame& a, const WindowFrame& b) {
    return a.x == b.x && a.y == b.y && a.cx == b.cx && a.cy == b.cy;
}

namespace {

constexpr LONG kMax = std::numeric_limits<LONG>::max();
constexpr LONG kMin = std::numeric_limits<LONG>::min();

TEST(AutoHidePosition, ShownAndHiddenPositionsPerEdge) {
    struct Case {
        int edge;
        RECT docked;
        BOOL show;
        RECT expected;
    };
    // Hidden, two borders stay on the screen; along the edge it always starts at 0.
    const Case cases[] = {{ABE_RIGHT, {964, 0, 1024, 768}, FALSE, {1022, 0, 1082, 768}},
                          {ABE_LEFT, {0, 0, 60, 768}, FALSE, {-58, 0, 2, 768}},
                          {ABE_BOTTOM, {0, 728, 1024, 768}, FALSE, {0, 766, 1024, 806}},
                          {ABE_TOP, {0, 0, 1024, 40}, FALSE, {0, -38, 1024, 2}},
                          {ABE_TOP, {100, 50, 1124, 90}, TRUE, {0, 0, 1024, 40}}};
    for (const Case& c : cases) {
        EXPECT_EQ(AutoHidePosition(c.docked, c.edge, c.show, ScreenMetrics{1024, 768, 1, 1}), c.expected)
            << "edge " << c.edge << " show " << c.show;
    }
}

TEST(SlideFrame, InterpolatesFromTheStartTruncatingTowardZero) {
    struct Case {
        RECT from, to;
        DWORD elapsed;
        WindowFrame expected;
    };
    const RECT hidden{0, -38, 1024, 2};
    const RECT shown{0, 0, 1024, 40};
    const Case cases[] = {
        // -38 + 38 * 399 / 400 = -38 + 37 (37.905 truncated)
        {hidden, shown, 399, {0, -1, 1024, 40}},
        // Never past the target, however late the frame.
        {hidden, shown, 0xFFFFFFFF, {0, 0, 1024, 40}},
        // width 100 - (100 - 1024) * 100 / 400 = 331; height 30 - 9 * 100 / 400 = 28
        {{100, 100, 200, 130}, {0, 0, 1024, 21}, 100, {75, 75, 331, 28}},
        // Millions of pixels away: distance times milliseconds needs 64 bits.
        {{0, 10000000, 1024, 10000040}, shown, 200, {0, 5000000, 1024, 40}},
        {{kMin, kMin, kMax, kMax}, shown, 200, {kMin / 2, kMin / 2, kMax, kMax}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SlideFrame(c.from, c.to, c.elapsed), c.expected) << c.from << " at " << c.elapsed;
    }
}

TEST(CursorOutside, TheGrownRightAndBottomLinesLieOutside) {
    struct Case {
        RECT window;
        LONG x, y;
        bool outside;
    };
    // Near the limits the rectangle grows only as far as they go.
    const RECT top{0, 0, 1024, 40};
    const RECT left{0, 0, 60, 768};
    const RECT corner{kMax - 10, kMax - 10, kMax, kMax};
    const RECT low{kMin, kMin, kMin + 10, kMin + 10};
    const LONG below = kMax - 1;
    const Case cases[] = {{top, 500, 47, false},   {top, 500, 48, true},          {top, -9, 0, true},
                          {left, 68, 300, true},   {corner, below, below, false}, {corner, kMax, kMax, true},
                          {low, kMin, kMin, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(CursorOutside(c.window, SIZE{8, 8}, POINT{c.x, c.y}), c.outside)
            << c.window << " " << c.x << "," << c.y;
    }
}

TEST(EdgeFromPoint, ScreenTrianglesAndTheFloatingMiddle) {
    // 1024 x 768 with a 28-pixel taskbar at the bottom and 16-pixel scroll bars.
    const DragArea area{{0, 0, 1024, 740}, {16, 16}, {1024, 768}};
    constexpr UINT kAll = 0x37;
    constexpr UINT kDock = BARF_LEFTRIGHT | BARF_TOPBOTTOM;
    struct Case {
        UINT options;
        LONG x, y;
        int edge;
    };
    // Without floating every point docks; dx = 0 counts as right, dy = 0 as bottom.
    const Case cases[] = {
        {kAll, 16, 300, EDGE_FLOATING}, {kAll, 15, 300, ABE_LEFT},           {kAll, 1008, 300, ABE_RIGHT},
        {kAll, 512, 760, ABE_BOTTOM},   {kAll, 1020, 760, ABE_RIGHT},        {kAll, 0, 0, ABE_LEFT},
        {kDock, 500, 300, ABE_TOP},     {BARF_LEFTRIGHT, 512, 0, ABE_RIGHT}, {BARF_TOPBOTTOM, 0, 384, ABE_BOTTOM}};
    for (const Case& c : cases) {
        EXPECT_EQ(EdgeFromPointIn(c.options, POINT{c.x, c.y}, area), c.edge)
            << c.options << " at " << c.x << "," << c.y;
    }
}

TEST(SnapToSteps, WholeRowsFrameAddedOnlyTheDraggedSidesMove) {
    // A top bar: rows of 24 pixels, a frame 8 high and 8 wide.
    struct Case {
        UINT side;
        RECT rect, expected;
    };
    // Client 35 becomes 24, 36 becomes 48; never thinner than one row.
    const Case cases[] = {{WMSZ_BOTTOM, {0, 0, 1024, 43}, {0, 0, 1024, 32}},
                          {WMSZ_BOTTOM, {0, 0, 1024, 44}, {0, 0, 1024, 56}},
                          {WMSZ_TOPLEFT, {10, 100, 1034, 144}, {10, 88, 1034, 144}},
                          {WMSZ_BOTTOM, {0, 0, 1024, 12}, {0, 0, 1024, 32}},
                          {WMSZ_BOTTOM, {0, 0, 1024, kMax}, {0, 0, 1024, kMax}}};
    for (const Case& c : cases) {
        EXPECT_EQ(SnapToSteps(c.side, c.rect, SIZE{8, 8}, SIZE{1, 24}), c.expected) << "side " << c.side << c.rect;
    }
    // Steps of their own across: 10-pixel columns.
    EXPECT_EQ(SnapToSteps(WMSZ_BOTTOMLEFT, RECT{0, 0, 33, 43}, SIZE{8, 8}, SIZE{10, 24}), (RECT{-5, 0, 33, 32}));
}

TEST(FloatingDragRect, TopAtTheCursorCentredAcrossAndFramesWithinTheIntRange) {
    EXPECT_EQ(FrameOfRect(RECT{kMin, kMin, kMax, kMax}), (WindowFrame{kMin, kMin, kMax, kMax}));
    EXPECT_EQ(FrameOfRect(RECT{kMax, kMax, kMin, kMin}), (WindowFrame{kMax, kMax, 0, 0}));
    EXPECT_EQ(FloatingDragRect(POINT{500, 300}, RECT{7, 9, 128, 40}), (RECT{440, 300, 561, 331}));
    EXPECT_EQ(FloatingDragRect(POINT{-3, 0}, RECT{kMin, kMin, kMax, kMax}),
              (RECT{-3 - kMax / 2, 0, kMax / 2 - 2, kMax}));
}

}  // namespace
