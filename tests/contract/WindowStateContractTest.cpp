// The minimised state, which tiling undoes, and the default answer to a
// session end.
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

}  // namespace
