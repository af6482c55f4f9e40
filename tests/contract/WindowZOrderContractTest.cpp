// The z-order: the topmost band and the bottom, as EnumWindows reports them.
#include <algorithm>

#include "tests/contract/ContractFixture.h"

namespace {

constexpr UINT kZOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;

class WindowZOrderContract : public ContractTest {
protected:
    static int Position(const std::vector<HWND>& order, HWND hwnd) {
        const auto it = std::find(order.begin(), order.end(), hwnd);
        return it == order.end() ? -1 : static_cast<int>(it - order.begin());
    }
    static bool IsTopmost(HWND hwnd) { return (ExStyle(hwnd) & WS_EX_TOPMOST) != 0; }
    // The topmost band comes first: no topmost window follows a non-topmost one.
    static void ExpectTopmostBandFirst(const std::vector<HWND>& order) {
        bool inBand = true;
        for (const HWND hwnd : order) {
            if (!IsTopmost(hwnd)) {
                inBand = false;
            } else {
                EXPECT_TRUE(inBand) << "a topmost window below a non-topmost one";
            }
        }
    }
};

TEST_F(WindowZOrderContract, TopmostJoinsTheTopmostBandAheadOfOrdinaryWindows) {
    const HWND first = MakeWindow(WS_POPUP);
    const HWND second = MakeWindow(WS_POPUP);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_FALSE(IsTopmost(first));
    // A new window goes on top of the ordinary ones.
    auto order = TopLevelWindows();
    EXPECT_LT(Position(order, second), Position(order, first));

    ASSERT_TRUE(Os().win.SetWindowPos(first, HWND_TOPMOST, 0, 0, 0, 0, kZOrderOnly));
    EXPECT_TRUE(IsTopmost(first));
    order = TopLevelWindows();
    ASSERT_GE(Position(order, first), 0);
    EXPECT_LT(Position(order, first), Position(order, second));
    for (int i = 0; i < Position(order, first); ++i) {
        EXPECT_TRUE(IsTopmost(order[static_cast<size_t>(i)]));
    }
    ExpectTopmostBandFirst(order);
}

TEST_F(WindowZOrderContract, NotTopmostLeavesTheBandForTheTopOfOrdinaryWindows) {
    const HWND first = MakeWindow(WS_POPUP);
    const HWND second = MakeWindow(WS_POPUP);
    ASSERT_TRUE(Os().win.SetWindowPos(first, HWND_TOPMOST, 0, 0, 0, 0, kZOrderOnly));
    ASSERT_TRUE(IsTopmost(first));

    ASSERT_TRUE(Os().win.SetWindowPos(first, HWND_NOTOPMOST, 0, 0, 0, 0, kZOrderOnly));
    EXPECT_FALSE(IsTopmost(first));
    const auto order = TopLevelWindows();
    EXPECT_LT(Position(order, first), Position(order, second));
    ExpectTopmostBandFirst(order);
}

TEST_F(WindowZOrderContract, AWindowWithToolTipsLeavesTheBandAndJoinsItAgain) {
    CWnd owner;
    ASSERT_TRUE(owner.SubclassWindow(MakeWindow(WS_POPUP | WS_VISIBLE)));
    const HWND other = MakeWindow(WS_POPUP | WS_VISIBLE);
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(owner.EnableToolTips(TRUE));
    for (const bool topmost : {true, false, true, false, true}) {
        ASSERT_TRUE(owner.SetWindowPos(topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kZOrderOnly));
        EXPECT_EQ(IsTopmost(owner.m_hWnd), topmost);
        const auto order = TopLevelWindows();
        EXPECT_LT(Position(order, owner.m_hWnd), Position(order, other));
        ExpectTopmostBandFirst(order);
    }
}

TEST_F(WindowZOrderContract, BottomPutsTheWindowLast) {
    const HWND first = MakeWindow(WS_POPUP);
    const HWND second = MakeWindow(WS_POPUP);
    const HWND third = MakeWindow(WS_POPUP);
    ASSERT_NE(third, nullptr);

    ASSERT_TRUE(Os().win.SetWindowPos(second, HWND_BOTTOM, 0, 0, 0, 0, kZOrderOnly));
    auto order = TopLevelWindows();
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.back(), second);
    EXPECT_LT(Position(order, third), Position(order, first));

    // A topmost window sent to the bottom loses its topmost state.
    ASSERT_TRUE(Os().win.SetWindowPos(first, HWND_TOPMOST, 0, 0, 0, 0, kZOrderOnly));
    ASSERT_TRUE(Os().win.SetWindowPos(first, HWND_BOTTOM, 0, 0, 0, 0, kZOrderOnly));
    EXPECT_FALSE(IsTopmost(first));
    order = TopLevelWindows();
    EXPECT_EQ(order.back(), first);
}

TEST_F(WindowZOrderContract, NoZOrderKeepsTheOrder) {
    const HWND first = MakeWindow(WS_POPUP);
    const HWND second = MakeWindow(WS_POPUP);
    ASSERT_TRUE(Os().win.SetWindowPos(first, HWND_TOPMOST, 20, 30, 50, 40, SWP_NOACTIVATE | SWP_NOZORDER));
    EXPECT_FALSE(IsTopmost(first));
    const auto order = TopLevelWindows();
    EXPECT_LT(Position(order, second), Position(order, first));
}

}  // namespace
