
#include <limits>

#include "appbar/AppBarGeometry.h"
#include "tests/support/TestOs.h"

static bool operator==(const WindowFrame& a, const WindowFrame& b) {
    return a.x == b.x && a.y == b.y && a.cx == b.cx && a.cy == b.cy;
}

namespace {

constexpr LONG kMax = std::numeric_limits<LONG>::max();
constexpr LONG kMin = std::numeric_limits<LONG>::min();

TEST(AutoHidePosition, ShownAndHiddenPositionsAtEveryEdge) {
    struct Case {
        int edge;
        RECT docked, shown, hidden;
    };
    // Borders of 1 across and 2 down, two left on the screen; along the edge the bar starts at 0.
    const Case cases[] = {
        {ABE_LEFT, {10, 30, 70, 700}, {0, 0, 60, 670}, {-58, 0, 2, 670}},
        {ABE_TOP, {10, 30, 1034, 70}, {0, 0, 1024, 40}, {0, -36, 1024, 4}},
        {ABE_RIGHT, {964, 30, 1024, 700}, {964, 0, 1024, 670}, {1022, 0, 1082, 670}},
        {ABE_BOTTOM, {0, 700, 1024, 740}, {0, 728, 1024, 768}, {0, 764, 1024, 804}},
        {EDGE_FLOATING, {10, 30, 70, 700}, {10, 30, 70, 700}, {10, 30, 70, 700}},
    };
    const ScreenMetrics screen{{0, 0, 1024, 768}, 1, 2};
    for (const Case& c : cases) {
        EXPECT_EQ(AutoHidePosition(c.docked, c.edge, TRUE, screen), c.shown) << "edge " << c.edge;
        EXPECT_EQ(AutoHidePosition(c.docked, c.edge, FALSE, screen), c.hidden) << "edge " << c.edge;
    }
}

TEST(ClipToMonitor, OnlyAWindowReachingBeyondItsMonitorIsCutToThePartOnItInWindowCoordinates) {
    const RECT m{-1280, -200, 0, 824};
    struct Case {
        RECT window;
        std::optional<RECT> clip;
    };
    const Case cases[] = {
        {m, std::nullopt},
        {{-1000, 0, -900, 40}, std::nullopt},
        // Hidden at each edge, and beyond two at once.
        {{-1338, -200, -1278, 824}, RECT{58, 0, 60, 1024}},
        {{-1280, -236, 0, -196}, RECT{0, 36, 1280, 40}},
        {{-2, -200, 58, 824}, RECT{0, 0, 2, 1024}},
        {{-1280, 822, 0, 862}, RECT{0, 0, 1280, 2}},
        {{-10, 800, 30, 840}, RECT{0, 0, 10, 24}},
        // Touching the monitor, or wholly off it: nothing is on it to keep.
        {{0, 0, 60, 40}, std::nullopt},
        {{-1000, 824, -900, 860}, std::nullopt},
        {{-1400, -300, -1280, -200}, std::nullopt},
        // Offsets past the range of a coordinate are held to it.
        {{kMin, kMin, kMax, kMax},
         RECT{static_cast<LONG>(-1280LL - kMin), static_cast<LONG>(-200LL - kMin), kMax, kMax}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.window);
        EXPECT_EQ(ClipToMonitor(c.window, m), c.clip);
    }
}

TEST(ZOrderInsertAfter, OnTopUnlessAFullScreenProgramRuns) {
    EXPECT_EQ(ZOrderInsertAfter(FALSE, FALSE), HWND_NOTOPMOST);
    EXPECT_EQ(ZOrderInsertAfter(FALSE, TRUE), HWND_NOTOPMOST);
    EXPECT_EQ(ZOrderInsertAfter(TRUE, FALSE), HWND_TOPMOST);
    EXPECT_EQ(ZOrderInsertAfter(TRUE, TRUE), HWND_BOTTOM);
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
        {{0, 0, 60, 40}, {964, 728, 1024, 768}, 200, {482, 364, 60, 40}},
        // Millions of pixels away: distance times milliseconds needs 64 bits.
        {{0, 10000000, 1024, 10000040}, shown, 200, {0, 5000000, 1024, 40}},
        {{kMin, kMin, kMax, kMax}, shown, 200, {kMin / 2, kMin / 2, kMax, kMax}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SlideFrame(c.from, c.to, c.elapsed), c.expected) << c.from << " at " << c.elapsed;
    }
}

TEST(CursorOutside, TheGrownRectangleHoldsItsLeftAndTopLinesButNotItsRightAndBottom) {
    struct Case {
        RECT window;
        LONG x, y;
        bool outside;
    };
    // Grown by 8 across and 4 down; near the limits only as far as they go.
    const RECT bar{100, 100, 200, 140}, corner{kMax - 10, kMax - 10, kMax, kMax}, low{kMin, kMin, kMin + 10, kMin + 10};
    const LONG below = kMax - 1;
    const Case cases[] = {{bar, 92, 120, false},         {bar, 91, 120, true},       {bar, 207, 120, false},
                          {bar, 208, 120, true},         {bar, 150, 96, false},      {bar, 150, 95, true},
                          {bar, 150, 143, false},        {bar, 150, 144, true},      {bar, 91, 95, true},
                          {corner, below, below, false}, {corner, kMax, kMax, true}, {low, kMin, kMin, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(CursorOutside(c.window, SIZE{8, 4}, POINT{c.x, c.y}), c.outside)
            << c.window << " " << c.x << "," << c.y;
    }
}

TEST(EdgeFromPoint, ScreenTrianglesTheFloatingMiddleAndTheOptionsThatForbidEither) {
    // A 28-pixel taskbar, low or high, 16-pixel scroll bars: the middle is 16,16..1008,724 or 16,44..1008,752.
    const DragArea low{{0, 0, 1024, 740}, {16, 16}, {0, 0, 1024, 768}};
    const DragArea high{{0, 28, 1024, 768}, {16, 16}, {0, 0, 1024, 768}};
    constexpr UINT kAll = 0x37;
    constexpr UINT kDock = BARF_LEFTRIGHT | BARF_TOPBOTTOM;
    struct Case {
        const DragArea& area;
        UINT options;
        LONG x, y;
        int edge;
    };
    // On a diagonal left or right wins; dx = 0 counts as right, dy = 0 as bottom. Without floating every
    // point docks; with one docking pair only, it takes the other's triangles; with neither all floats.
    // clang-format off
    const Case cases[] = {
        {low, kAll, 500, 300, EDGE_FLOATING}, {low, kAll, 16, 300, EDGE_FLOATING}, {low, kAll, 15, 300, ABE_LEFT},
        {low, kAll, 1007, 300, EDGE_FLOATING}, {low, kAll, 1008, 300, ABE_RIGHT},
        {low, kAll, 500, 723, EDGE_FLOATING}, {low, kAll, 500, 724, ABE_BOTTOM}, {low, kAll, 512, 760, ABE_BOTTOM},
        {low, kAll, 1020, 760, ABE_RIGHT}, {low, kAll, 1020, 10, ABE_RIGHT}, {low, kAll, 500, 10, ABE_TOP},
        {low, kAll, 0, 0, ABE_LEFT}, {high, kAll, 500, 43, ABE_TOP}, {high, kAll, 500, 44, EDGE_FLOATING},
        {high, kAll, 500, 751, EDGE_FLOATING}, {high, kAll, 500, 752, ABE_BOTTOM}, {low, kDock, 500, 300, ABE_TOP},
        {low, kDock, 512, 384, ABE_RIGHT}, {low, kDock, 511, 500, ABE_BOTTOM}, {low, kDock, 5, 384, ABE_LEFT},
        {low, BARF_LEFTRIGHT, 512, 0, ABE_RIGHT}, {low, BARF_LEFTRIGHT, 511, 767, ABE_LEFT},
        {low, BARF_FLOAT | BARF_LEFTRIGHT, 500, 5, ABE_LEFT}, {low, BARF_TOPBOTTOM, 0, 384, ABE_BOTTOM},
        {low, BARF_TOPBOTTOM, 1023, 383, ABE_TOP}, {low, BARF_FLOAT | BARF_TOPBOTTOM, 1020, 300, ABE_TOP},
        {low, BARF_FLOAT, 0, 0, EDGE_FLOATING}, {low, BARF_FLOAT, 1023, 767, EDGE_FLOATING}
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(EdgeFromPointIn(c.options, POINT{c.x, c.y}, c.area), c.edge)
            << c.options << " at " << c.x << "," << c.y;
    }
}

TEST(AppBarHitTest, ADockedBarSizesOnlyOnItsInnerSideWhereverItsClientAreaStands) {
    struct Case {
        int edge;
        RECT client;  // in screen coordinates
        LONG x, y;
        int hit;  // for every sizing code the system gives
    };
    // 3-pixel frames; the first frame line beside the client area still counts as the border.
    const RECT left{3, 3, 31, 765}, top{3, 3, 1021, 18}, right{993, 3, 1021, 765}, bottom{3, 750, 1021, 765};
    const Case cases[] = {
        {ABE_LEFT, left, 32, 300, HTRIGHT},       {ABE_LEFT, left, 31, 300, HTBORDER},
        {ABE_LEFT, left, 1, 300, HTBORDER},       {ABE_LEFT, left, 20, 766, HTBORDER},
        {ABE_TOP, top, 500, 19, HTBOTTOM},        {ABE_TOP, top, 500, 18, HTBORDER},
        {ABE_TOP, top, 500, 1, HTBORDER},         {ABE_TOP, top, 1, 10, HTBORDER},
        {ABE_RIGHT, right, 992, 300, HTLEFT},     {ABE_RIGHT, right, 993, 300, HTBORDER},
        {ABE_RIGHT, right, 1022, 300, HTBORDER},  {ABE_RIGHT, right, 1000, 1, HTBORDER},
        {ABE_BOTTOM, bottom, 500, 749, HTTOP},    {ABE_BOTTOM, bottom, 500, 750, HTBORDER},
        {ABE_BOTTOM, bottom, 500, 766, HTBORDER}, {ABE_BOTTOM, bottom, 1022, 760, HTBORDER},
    };
    for (const Case& c : cases) {
        for (int code = HTLEFT; code <= HTBOTTOMRIGHT; ++code) {
            EXPECT_EQ(AppBarHitTest(code, false, c.edge, 15, POINT{c.x, c.y}, c.client), c.hit)
                << "edge " << c.edge << " code " << code << " at " << c.x << "," << c.y;
            // Without a step across the edge no side sizes.
            EXPECT_EQ(AppBarHitTest(code, false, c.edge, 0, POINT{c.x, c.y}, c.client), HTBORDER);
        }
    }
    // Floating or not placed, every side and corner sizes; a press on the client area always moves.
    for (const int edge : {EDGE_FLOATING, EDGE_NONE, int{ABE_LEFT}, int{ABE_TOP}, int{ABE_RIGHT}, int{ABE_BOTTOM}}) {
        const bool docked = IsDockEdge(edge);
        for (int code = HTNOWHERE; code <= HTBORDER; ++code) {
            const bool sizing = code >= HTLEFT && code <= HTBOTTOMRIGHT;
            const int released = docked && sizing ? HTBORDER : code;
            EXPECT_EQ(AppBarHitTest(code, false, edge, 15, POINT{500, 10}, top), released) << edge << " " << code;
            const int pressed = code == HTCLIENT ? HTCAPTION : released;
            EXPECT_EQ(AppBarHitTest(code, true, edge, 15, POINT{500, 10}, top), pressed) << edge << " " << code;
        }
    }
}

TEST(SnapToSteps, EachSideSnapsToWholeStepsWithinTheLimitsAndFollowsTheCursor) {
    // Steps of 10 by 24 in a frame of 8: 3 columns and 1 row at least, 51 and 15 at most (not 512 by 380).
    const SIZE frame{8, 8}, step{10, 24};
    const POINT least{36, 20}, most{520, 388};
    struct Case {
        UINT side;
        RECT snapped;  // client 25 x 35 becomes 30 x 24
        RECT dragged;  // the cursor travels 3 right and 4 up
    };
    const RECT proposed{100, 100, 133, 143};
    const Case cases[] = {{WMSZ_LEFT, {95, 100, 133, 143}, {103, 100, 133, 143}},
                          {WMSZ_RIGHT, {100, 100, 138, 143}, {100, 100, 136, 143}},
                          {WMSZ_TOP, {100, 111, 133, 143}, {100, 96, 133, 143}},
                          {WMSZ_TOPLEFT, {95, 111, 133, 143}, {103, 96, 133, 143}},
                          {WMSZ_TOPRIGHT, {100, 111, 138, 143}, {100, 96, 136, 143}},
                          {WMSZ_BOTTOM, {100, 100, 133, 132}, {100, 100, 133, 139}},
                          {WMSZ_BOTTOMLEFT, {95, 100, 133, 132}, {103, 100, 133, 139}},
                          {WMSZ_BOTTOMRIGHT, {100, 100, 138, 132}, {100, 100, 136, 139}},
                          {0, proposed, proposed}};
    for (const Case& c : cases) {
        EXPECT_EQ(SnapToSteps(c.side, proposed, frame, step, least, most), c.snapped) << "side " << c.side;
        EXPECT_EQ(DragSides(c.side, proposed, POINT{5, 5}, POINT{8, 1}), c.dragged) << "side " << c.side;
    }
    struct Extent {
        RECT rect, expected;
        POINT least, most;
        SIZE step;
    };
    // Halves go up; never below the least whole steps nor past the most, where the nearest row would
    // overshoot; a window of any size stays in range; a zero step leaves the extent as dragged.
    const Extent extents[] = {{{0, 0, 38, 44}, {0, 0, 38, 56}, least, most, step},
                              {{0, 0, 38, 43}, {0, 0, 38, 32}, least, most, step},
                              {{0, 0, 9, 9}, {0, 0, 38, 32}, least, most, step},
                              {{0, 0, -50, -50}, {0, 0, 38, 32}, least, most, step},
                              {{0, 0, 37, 9}, {0, 0, 48, 56}, {46, 40}, most, step},
                              {{0, 0, 517, 383}, {0, 0, 518, 368}, least, most, step},
                              {{0, 0, 5000, 5000}, {0, 0, 518, 368}, least, most, step},
                              {{0, 0, kMax, kMax}, {0, 0, 2147483638, 2147483624}, least, {kMax, kMax}, step},
                              {{0, 0, 33, 43}, {0, 0, 33, 43}, least, most, {0, 0}}};
    for (const Extent& e : extents) {
        EXPECT_EQ(SnapToSteps(WMSZ_BOTTOMRIGHT, e.rect, frame, e.step, e.least, e.most), e.expected) << e.rect;
    }
}

TEST(FloatingRects, DraggedTopAtTheCursorCentredAcrossAndOnScreenMovedOnlyAsFarAsItsWholeCaptionNeeds) {
    EXPECT_EQ(FrameOfRect(RECT{kMin, kMin, kMax, kMax}), (WindowFrame{kMin, kMin, kMax, kMax}));
    EXPECT_EQ(FrameOfRect(RECT{kMax, kMax, kMin, kMin}), (WindowFrame{kMax, kMax, 0, 0}));
    EXPECT_EQ(FloatingDragRect(POINT{500, 300}, RECT{7, 9, 128, 40}), (RECT{440, 300, 561, 331}));
    EXPECT_EQ(FloatingDragRect(POINT{-3, 0}, RECT{kMin, kMin, kMax, kMax}),
              (RECT{-3 - kMax / 2, 0, kMax / 2 - 2, kMax}));
    // On the screen, held to its limits and moved only as far as its whole caption needs.
    const RECT screen{0, 0, 800, 600};
    const POINT least{36, 39}, most{400, 300};
    const RECT cases[][2] = {
        {{10, 20, 310, 80}, {10, 20, 310, 80}},         // on the screen: stays
        {{700, 590, 1000, 650}, {500, 580, 800, 640}},  // past the right and the bottom
        {{-50, -70, 250, -10}, {0, 0, 300, 60}},        // past the left and the top
        {{100, 100, 900, 700}, {100, 100, 500, 400}},   // too large: held, then placed
        {{100, 100, 110, 105}, {100, 100, 136, 139}},   // too small
        {{kMin, kMin, kMax, kMax}, {0, 0, 400, 300}},   // anywhere in 32 bits
    };
    for (const auto& [given, placed] : cases) {
        EXPECT_EQ(FloatingOnScreen(given, screen, 20, least, most), placed) << given;
    }
    // A screen smaller than the bar: its left and top stay on it.
    EXPECT_EQ(FloatingOnScreen(RECT{50, 50, 350, 110}, RECT{0, 0, 200, 10}, 20, least, most), (RECT{0, 0, 300, 60}));
}

}  // namespace

namespace {

// Monitor layouts, the primary first: alone; side by side; stacked; a
// second left of and above the primary (negative coordinates); three of
// different sizes around it.
const std::vector<std::vector<RECT>> kLayouts = {
    {{0, 0, 1024, 768}},
    {{0, 0, 1024, 768}, {1024, 0, 1824, 600}},
    {{0, 0, 1024, 768}, {0, 768, 1280, 1792}},
    {{0, 0, 1024, 768}, {-1280, -200, 0, 824}},
    {{0, 0, 1920, 1080}, {-100, -600, 700, 0}, {1920, 300, 2944, 1068}},
};

RECT Moved(const RECT& r, LONG dx, LONG dy) { return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

TEST(MonitorGeometry, EveryRuleHoldsOnEachMonitorOfEachLayoutAsOnTheSameScreenAtTheOrigin) {
    const POINT least{36, 39}, most{400, 300};
    for (const auto& layout : kLayouts) {
        for (const RECT& m : layout) {
            SCOPED_TRACE(m);
            const LONG w = m.right - m.left, h = m.bottom - m.top;
            const RECT origin{0, 0, w, h};
            const auto toOrigin = [&m](const RECT& r) { return Moved(r, -m.left, -m.top); };
            // A taskbar along the bottom of this monitor.
            const RECT work{m.left, m.top, m.right, m.bottom - 28};
            for (UINT options : {0x37U, BARF_LEFTRIGHT | BARF_TOPBOTTOM, BARF_LEFTRIGHT, BARF_TOPBOTTOM | BARF_FLOAT}) {
                for (LONG x = -2; x <= w + 1; x += w / 37 + 1) {
                    for (LONG y = -2; y <= h + 1; y += h / 29 + 1) {
                        EXPECT_EQ(EdgeFromPointIn(options, POINT{m.left + x, m.top + y}, DragArea{work, {17, 17}, m}),
                                  EdgeFromPointIn(options, POINT{x, y}, DragArea{toOrigin(work), {17, 17}, origin}))
                            << options << " at " << x << "," << y;
                    }
                }
            }
            const LONG thickness[4] = {60, 40, 70, 50};
            for (int edge = ABE_LEFT; edge <= static_cast<int>(ABE_BOTTOM); ++edge) {
                const RECT docked = CutToThickness(m, edge, thickness);
                EXPECT_EQ(toOrigin(docked), CutToThickness(origin, edge, thickness)) << edge;
                for (const BOOL show : {TRUE, FALSE}) {
                    const RECT placed = AutoHidePosition(docked, edge, show, ScreenMetrics{m, 1, 2});
                    EXPECT_EQ(toOrigin(placed),
                              AutoHidePosition(toOrigin(docked), edge, show, ScreenMetrics{origin, 1, 2}))
                        << edge << " " << show;
                    // Hidden, exactly the strip of two borders stays on this monitor.
                    const RECT on{std::max(placed.left, m.left), std::max(placed.top, m.top),
                                  std::min(placed.right, m.right), std::min(placed.bottom, m.bottom)};
                    const bool across = edge == ABE_LEFT || edge == ABE_RIGHT;
                    EXPECT_EQ(across ? on.right - on.left : on.bottom - on.top,
                              show ? thickness[edge] : (across ? 2 : 4))
                        << edge << " " << show;
                }
            }
            for (const RECT& floating : {RECT{m.left - 500, m.top + 10, m.left - 200, m.top + 70},
                                         RECT{m.right - 100, m.bottom - 5, m.right + 200, m.bottom + 55},
                                         RECT{m.left + 10, m.top - 90, m.left + 310, m.top - 30}}) {
                EXPECT_EQ(toOrigin(FloatingOnScreen(floating, m, 20, least, most)),
                          FloatingOnScreen(toOrigin(floating), origin, 20, least, most))
                    << floating;
            }
            for (const POINT p :
                 {POINT{m.left - 7, m.top - 7}, POINT{m.right + 7, m.bottom + 7}, POINT{m.left + 5, m.bottom}}) {
                const POINT held = HeldInRect(p, m);
                const POINT expected = HeldInRect(POINT{p.x - m.left, p.y - m.top}, origin);
                EXPECT_EQ(held.x - m.left, expected.x);
                EXPECT_EQ(held.y - m.top, expected.y);
            }
        }
    }
}

TEST(MonitorGeometry, InnerEdgesDockNegativeMonitorsKeepTheirOriginAndTheShellsClippedAnswersStayOnTheMonitor) {
    const RECT primary{0, 0, 1024, 768}, right{1024, 0, 1824, 600}, left{-1280, -200, 0, 824};
    struct Drag {
        RECT monitor;
        POINT pt;
        int edge;
    };
    // Either side of the boundary each monitor's own edge docks.
    const Drag drags[] = {{primary, {1020, 384}, ABE_RIGHT}, {right, {1026, 300}, ABE_LEFT},
                          {right, {1820, 300}, ABE_RIGHT},   {left, {-1278, 312}, ABE_LEFT},
                          {left, {-2, 312}, ABE_RIGHT},      {left, {-640, -198}, ABE_TOP},
                          {left, {-640, 820}, ABE_BOTTOM},   {left, {-640, 312}, EDGE_FLOATING}};
    for (const Drag& d : drags) {
        EXPECT_EQ(EdgeFromPointIn(0x37, d.pt, DragArea{d.monitor, {17, 17}, d.monitor}), d.edge) << d.monitor;
    }
    const ScreenMetrics leftScreen{left, 1, 1};
    EXPECT_EQ(AutoHidePosition(RECT{-1280, -200, -1240, 824}, ABE_LEFT, FALSE, leftScreen),
              (RECT{-1318, -200, -1278, 824}));
    EXPECT_EQ(AutoHidePosition(RECT{-1280, -200, -1240, 824}, ABE_TOP, TRUE, leftScreen),
              (RECT{-1280, -200, -1240, 824}));
    // The shell's answers: kept where on the monitor; inside out or elsewhere, the monitor.
    const RECT answers[][2] = {
        {{1024, 0, 1824, 600}, {1024, 0, 1824, 600}},  {{1024, 25, 1824, 600}, {1024, 25, 1824, 600}},
        {{1024, 0, 1000, 600}, {1024, 0, 1824, 600}},  {{0, 0, 1024, 768}, {1024, 0, 1824, 600}},
        {{900, -50, 1900, 700}, {1024, 0, 1824, 600}}, {{1024, 600, 1824, 0}, {1024, 0, 1824, 600}},
        {{1500, 0, 1500, 600}, {1024, 0, 1824, 600}}};
    for (const auto& [answer, area] : answers) {
        EXPECT_EQ(ShellAreaOn(right, answer), area) << answer;
    }
}

TEST(MonitorGeometry, ACaptionCountsAsOnTheMonitorsOnlyWhenEveryColumnOfItIs) {
    const std::vector<RECT> sideBySide{{0, 0, 1024, 768}, {1024, 0, 1824, 600}};
    const std::vector<RECT> gap{{0, 0, 1024, 768}, {1100, 0, 1900, 600}};
    const std::vector<RECT> stacked{{0, 0, 1024, 768}, {-100, 768, 900, 1368}};
    const std::vector<RECT> apart{{0, 0, 1024, 768}, {0, 770, 1024, 1368}};
    struct Case {
        const std::vector<RECT>& monitors;
        RECT rect;
        bool on;
    };
    const Case cases[] = {
        {sideBySide, {100, 100, 300, 160}, true},   {sideBySide, {900, 100, 1200, 160}, true},
        {sideBySide, {900, 585, 1200, 645}, false}, {sideBySide, {900, 580, 1200, 640}, true},
        {sideBySide, {-1, 100, 200, 160}, false},   {sideBySide, {1700, 10, 1825, 70}, false},
        {sideBySide, {1700, -1, 1824, 70}, false},  {gap, {1000, 100, 1200, 160}, false},
        {gap, {1100, 100, 1200, 160}, true},        {sideBySide, {300, 100, 300, 160}, false},
        {sideBySide, {0, 748, 200, 808}, true},     {sideBySide, {0, 749, 200, 809}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CaptionOnMonitors(c.rect, 20, c.monitors), c.on) << c.rect;
    }
    EXPECT_FALSE(CaptionOnMonitors(RECT{100, 100, 300, 160}, 0, sideBySide));
    EXPECT_FALSE(CaptionOnMonitors(RECT{100, 100, 300, 160}, 20, {}));
}

}  // namespace
