// The minimised state, which tiling undoes, the default answer to a session
// end, and the range of window positions.
#include "tests/contract/ContractFixture.h"

namespace {

class WindowStateContract : public ContractTest {};

TEST_F(WindowStateContract, MinimisedUntilRestoredWhateverItsPosition) {
    const HWND hwnd = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_NE(hwnd, nullptr);
    auto minimised = [&] { return (Os().win.GetWindowLongA(hwnd, GWL_STYLE) & WS_MINIMIZE) != 0; };
    Os().win.ShowWindow(hwnd, SW_MINIMIZE);
    EXPECT_TRUE(minimised());
    Os().win.SetWindowPos(hwnd, nullptr, 0, 0, 200, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(minimised());
    Os().win.ShowWindow(hwnd, SW_RESTORE);
    EXPECT_FALSE(minimised());
    EXPECT_EQ(Os().win.DefaultProc(hwnd, WM_QUERYENDSESSION, 0, 0), TRUE);
}

TEST_F(WindowStateContract, PositionsAndSizesAreHeldToSixteenBits) {
    const HWND hwnd = MakeWindow(WS_POPUP);
    ASSERT_NE(hwnd, nullptr);
    const int kMin = -2147483647 - 1;
    const int kMax = 2147483647;
    Os().win.SetWindowPos(hwnd, nullptr, kMin, kMax, kMax, 40000, SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT rect = WindowRect(hwnd);
    EXPECT_EQ(rect.left, -32768);
    EXPECT_EQ(rect.top, 32767);
    EXPECT_EQ(Width(rect), 32767);
    EXPECT_EQ(Height(rect), 32767);
}

}  // namespace
