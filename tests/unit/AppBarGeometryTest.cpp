#include <gtest/gtest.h>

#include "appbar/AppBarGeometry.h"
#include "tests/support/TestOs.h"

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

TEST(SlideFrame, InterpolatesFromTheStartTruncatingTowardZero) {
    const RECT from{0, -38, 1024, 2};
    const RECT to{0, 0, 1024, 40};
    EXPECT_EQ(SlideFrame(from, to, 0), from);
    EXPECT_EQ(SlideFrame(from, to, 200), (RECT{0, -19, 1024, 21}));
    // -38 + 38 * 399 / 400 = -38 + 37 (37.905 truncated)
    EXPECT_EQ(SlideFrame(from, to, 399), (RECT{0, -1, 1024, 39}));
    EXPECT_EQ(SlideFrame(from, to, 400), to);
}

TEST(SlideFrame, InterpolatesSizeAsWellAsPosition) {
    const RECT from{100, 100, 200, 130};
    const RECT to{0, 0, 1024, 21};
    // width 100 - (100 - 1024) * 100 / 400 = 331; height 30 - 9 * 100 / 400 = 28
    EXPECT_EQ(SlideFrame(from, to, 100), (RECT{75, 75, 75 + 331, 75 + 28}));
}

TEST(ZOrderInsertAfter, FollowsAlwaysOnTopAndFullScreenApps) {
    EXPECT_EQ(ZOrderInsertAfter(FALSE, FALSE), HWND_NOTOPMOST);
    EXPECT_EQ(ZOrderInsertAfter(FALSE, TRUE), HWND_NOTOPMOST);
    EXPECT_EQ(ZOrderInsertAfter(TRUE, FALSE), HWND_TOPMOST);
    EXPECT_EQ(ZOrderInsertAfter(TRUE, TRUE), HWND_BOTTOM);
}

}  // namespace
