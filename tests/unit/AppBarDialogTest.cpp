
#include <algorithm>
#include <vector>

#include "appbar/AppBarDialog.h"
#include "resources/resource.h"
#include "tests/support/TestOs.h"

namespace {

// An appbar with nothing of the bar window.
class TestAppBar : public CAppBarDialog {
public:
    TestAppBar() : CAppBarDialog(IDD_BAR, nullptr) {}
    using CAppBarDialog::m_bAutoHideShown;
    using CAppBarDialog::m_bFullScreenApp;
    using CAppBarDialog::m_nOptions;
};

constexpr UINT kAllOptions = 0x37;

BARPLACEMENT Placement(int edge, BOOL autoHide, BOOL onTop, LONG thickness = 21) {
    return BARPLACEMENT{sizeof(BARPLACEMENT), edge, autoHide, onTop, {thickness, thickness, thickness, thickness},
                        {100, 100, 168, 121}};
}

class AppBarTest : public OsTest {
protected:
    static void Open(TestAppBar& bar, const BARPLACEMENT& placement, UINT options = 0) {
        bar.m_nOptions = options;
        ASSERT_TRUE(bar.Create());
        bar.SetPlacement(&placement);
    }
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
        return os.SendMessageA(bar.m_hWnd, msg, wParam, lParam);
    }
    // One step of the system's move loop, which moves the window only when the loop ends.
    RECT Moving(POINT cursor, RECT proposed) {
        os.SetCursorPos(cursor);
        Send(WM_MOVING, 0, reinterpret_cast<LPARAM>(&proposed));
        return proposed;
    }
    long CountAppBar(DWORD message) const {
        const auto& calls = os.AppBarCalls();
        return std::count_if(calls.begin(), calls.end(), [&](const auto& call) { return call.message == message; });
    }

    TestAppBar bar;
};

TEST_F(AppBarTest, RefusedAutoHideReportsAndDocksInAReservedStrip) {
    const HWND other = os.CreateForeignWindow("Other", "Other bar", WS_POPUP, 0, RECT{0, 0, 10, 10});
    APPBARDATA data{sizeof(APPBARDATA), other, 0x1234, ABE_TOP, {}, TRUE};
    os.SHAppBarMessage(ABM_NEW, &data);
    ASSERT_EQ(os.SHAppBarMessage(ABM_SETAUTOHIDEBAR, &data), 1u);
    Open(bar, Placement(ABE_TOP, TRUE, TRUE));
    EXPECT_FALSE(bar.GetPlacement().bAutoHide);
    ASSERT_EQ(os.MessageBoxes().size(), 1u);
    EXPECT_EQ(os.MessageBoxes()[0].text,
              "There is already an auto hidden window on this edge.\nOnly one auto hidden window is allowed on each "
              "edge.");
    EXPECT_EQ(os.ReservedRect(bar.m_hWnd), (std::optional<RECT>(RECT{0, 0, 1024, 21})));
}

TEST_F(AppBarTest, DestroyingGivesUpTheAutoHideEdgeBeforeLeavingTheShell) {
    Open(bar, Placement(ABE_RIGHT, TRUE, FALSE, 60));
    os.ClearLogs();
    bar.DestroyWindow();
    std::vector<DWORD> messages;
    for (const auto& call : os.AppBarCalls()) {
        if (call.message == ABM_REMOVE || (call.message == ABM_SETAUTOHIDEBAR && call.data.lParam == FALSE)) {
            messages.push_back(call.message);
        }
    }
    EXPECT_EQ(messages, (std::vector<DWORD>{ABM_SETAUTOHIDEBAR, ABM_REMOVE}));
}

TEST_F(AppBarTest, TheTaskbarsStateIsFollowedOnlyAsTheOptionsSay) {
    struct Case {
        UINT options;
        BOOL autoHideAfter, onTopAfter;
        RECT window;
    };
    // The taskbar turns auto-hide and always-on-top under a bar 30 thick at the
    // bottom; a bar that takes auto-hide from it hides at once.
    const Case cases[] = {{0, FALSE, FALSE, {0, 738, 1024, 768}},
                          {BARF_FOLLOWAUTOHIDE, TRUE, FALSE, {0, 766, 1024, 796}},
                          {BARF_FOLLOWTOPMOST, FALSE, TRUE, {0, 738, 1024, 768}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "options " << c.options);
        os.SetTaskbarState(0);
        TestAppBar other;
        Open(other, Placement(ABE_BOTTOM, FALSE, FALSE, 30), c.options);
        other.ShowAutoHideBar(TRUE);
        os.SetTaskbarState(ABS_AUTOHIDE | ABS_ALWAYSONTOP);
        os.ClearLogs();
        os.NotifyAppBars(ABN_STATECHANGE, 0);
        // Taken as the new last state: the same report again changes nothing.
        os.NotifyAppBars(ABN_STATECHANGE, 0);
        EXPECT_EQ(other.GetPlacement().bAutoHide, c.autoHideAfter);
        EXPECT_EQ(other.GetPlacement().bAlwaysOnTop, c.onTopAfter);
        EXPECT_EQ(CountAppBar(ABM_SETPOS), c.options != 0 ? 1 : 0);
        EXPECT_EQ(WindowRect(other.m_hWnd), c.window);
        other.DestroyWindow();
    }
}

TEST_F(AppBarTest, OnlyADockedBarMakesRoomWhenTheTaskbarMoves) {
    struct Case {
        BARPLACEMENT placement;
        RECT after;
        bool asks;
        RECT dock;  // an auto-hide bar asks the shell nothing and spans the whole side
    };
    const Case cases[] = {
        {Placement(ABE_TOP, FALSE, TRUE), {0, 30, 1024, 51}, true, {0, 30, 1024, 51}},
        {Placement(ABE_TOP, TRUE, TRUE), {0, -19, 1024, 2}, false, {0, 0, 1024, 21}},
        {Placement(EDGE_FLOATING, FALSE, TRUE), {100, 100, 168, 121}, false, {0, 30, 1024, 51}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "edge " << c.placement.nEdge << " auto-hide " << c.placement.bAutoHide);
        os.SetTaskbar(ABE_TOP, 0);
        TestAppBar other;
        Open(other, c.placement);
        os.SetTaskbar(ABE_TOP, 30);
        os.ClearLogs();
        os.SendMessageA(other.m_hWnd, g_nAppBarNotifyMsg, ABN_POSCHANGED, 0);
        EXPECT_EQ(CountAppBar(ABM_QUERYPOS), c.asks ? 1 : 0);
        EXPECT_EQ(CountAppBar(ABM_SETPOS), c.asks ? 1 : 0);
        EXPECT_EQ(WindowRect(other.m_hWnd), c.after);
        EXPECT_EQ(os.ReservedRect(other.m_hWnd), c.asks ? std::optional<RECT>(c.after) : std::nullopt);
        RECT dock{};
        other.CalcDockRect(ABE_TOP, &dock);
        EXPECT_EQ(dock, c.dock);
        other.DestroyWindow();
    }
}

TEST_F(AppBarTest, ASlideShowsEveryFrameOnlyWhenContentsShowWhileDragging) {
    struct Case {
        BOOL fullDrag;
        DWORD t0, step;
        LONG top;
        size_t frames;  // every tick inside the 400 ms, then the target
        int first;
    };
    // Each from where the last ended; the last ends after the tick count wraps.
    const Case cases[] = {{FALSE, 0, 100, 100, 1, 100},
                          {TRUE, 0, 100, 0, 4, 75},
                          {TRUE, 0, 100, 0, 1, 0},
                          {TRUE, 0xFFFFFF00u, 10, 400, 40, 10}};
    Open(bar, Placement(ABE_TOP, FALSE, TRUE));
    for (const Case& c : cases) {
        os.SetDragFullWindows(c.fullDrag);
        os.SetTickCount(c.t0);
        os.SetTickStep(c.step);
        os.ClearLogs();
        const RECT target{0, c.top, 1024, c.top + 21};
        bar.SlideWindowTo(&target);
        const auto& calls = os.WindowPosCalls();
        ASSERT_EQ(calls.size(), c.frames) << c.t0;
        EXPECT_EQ(calls.front().y, c.first);
        for (const auto& call : calls) {
            EXPECT_EQ(call.flags, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
        EXPECT_EQ(WindowRect(bar.m_hWnd), target);
        // Each position is painted at once, the last one too.
        EXPECT_EQ(os.Updates(), std::vector<HWND>(c.frames, bar.m_hWnd));
    }
}

TEST_F(AppBarTest, TheTimerHidesAnInactiveBarOnceTheCursorLeavesItsSurroundings) {
    Open(bar, Placement(ABE_TOP, TRUE, TRUE, 40));
    // Touching the frame of the hidden bar slides it out.
    Send(WM_NCMOUSEMOVE, HTBOTTOM);
    ASSERT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 0, 1024, 40}));
    // The last line inside the window grown by 2 x 4 pixels, then the line after.
    os.SetCursorPos(POINT{500, 47});
    os.AdvanceClock(400);
    EXPECT_TRUE(bar.m_bAutoHideShown);
    os.SetCursorPos(POINT{500, 48});
    os.AdvanceClock(400);
    EXPECT_FALSE(bar.m_bAutoHideShown);
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, -38, 1024, 2}));
    // The active bar is never hidden by the timer, but at once when it loses activation.
    bar.ShowAutoHideBar(TRUE);
    os.SetActiveWindow(bar.m_hWnd);
    os.AdvanceClock(1200);
    EXPECT_TRUE(bar.m_bAutoHideShown);
    os.SetActiveWindow(os.CreateForeignWindow("Other", "Other", WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 10, 10}));
    EXPECT_FALSE(bar.m_bAutoHideShown);
}

TEST_F(AppBarTest, ADragProposesEdgesFloatsWithCtrlAndEndsWhereTheLoopLeftIt) {
    BARPLACEMENT placement = Placement(ABE_TOP, FALSE, TRUE);
    placement.anThickness[ABE_LEFT] = 50;
    placement.rcFloating = RECT{0, 0, 120, 30};
    Open(bar, placement, kAllOptions);
    Send(WM_ENTERSIZEMOVE);
    EXPECT_EQ(Moving(POINT{5, 400}, WindowRect(bar.m_hWnd)), (RECT{0, 0, 50, 768}));
    EXPECT_EQ(bar.GetEffectiveEdge(), ABE_LEFT);
    EXPECT_EQ(bar.GetPlacement().nEdge, ABE_TOP);
    // Ctrl floats it, first centred under the cursor, then where the system puts it.
    os.SetKeyDown(VK_CONTROL, true);
    EXPECT_EQ(Moving(POINT{500, 300}, WindowRect(bar.m_hWnd)), (RECT{440, 300, 560, 330}));
    EXPECT_EQ(Moving(POINT{510, 320}, RECT{450, 320, 570, 350}), (RECT{450, 320, 570, 350}));
    Send(WM_EXITSIZEMOVE);
    EXPECT_EQ(bar.GetPlacement().nEdge, EDGE_FLOATING);
    EXPECT_EQ(bar.GetPlacement().rcFloating, (RECT{450, 320, 570, 350}));
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{450, 320, 570, 350}));
    EXPECT_FALSE(os.ReservedRect(bar.m_hWnd).has_value());
}

TEST_F(AppBarTest, APressOnTheClientAreaMovesTheBarWithEitherHandAndAStrayLoopEndMeasuresTheWindow) {
    Open(bar, Placement(ABE_BOTTOM, FALSE, TRUE), kAllOptions);
    struct Case {
        int swapped, down, hit;
    };
    // The primary button is the right one when the buttons are swapped.
    const Case cases[] = {{0, 0, HTCLIENT},
                          {0, VK_LBUTTON, HTCAPTION},
                          {0, VK_RBUTTON, HTCLIENT},
                          {1, VK_LBUTTON, HTCLIENT},
                          {1, VK_RBUTTON, HTCAPTION}};
    for (const Case& c : cases) {
        os.SetMetric(SM_SWAPBUTTON, c.swapped);
        os.SetKeyDown(VK_LBUTTON, c.down == VK_LBUTTON);
        os.SetKeyDown(VK_RBUTTON, c.down == VK_RBUTTON);
        // The client area of a bottom bar, far from the screen's origin.
        EXPECT_EQ(Send(WM_NCHITTEST, 0, MAKELPARAM(500, 757)), c.hit) << c.swapped << " " << c.down;
    }
    // Without a loop the end measures the window as it stands and keeps its edge.
    os.SetWindowPos(bar.m_hWnd, nullptr, 0, 728, 1024, 40, SWP_NOZORDER);
    Send(WM_EXITSIZEMOVE);
    EXPECT_EQ(bar.GetPlacement().anThickness[ABE_BOTTOM], 40);
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 728, 1024, 768}));
}

TEST_F(AppBarTest, AfterAShellRestartTheBarClaimsItsPlaceAgainAndAFullScreenProgramTakesItToTheBottomAndBack) {
    TestAppBar hidden;
    Open(hidden, Placement(ABE_RIGHT, TRUE, TRUE, 40));
    Open(bar, Placement(ABE_TOP, FALSE, TRUE));
    os.RestartShell();
    EXPECT_EQ(os.ReservedRect(bar.m_hWnd), (std::optional<RECT>(RECT{0, 0, 1024, 21})));
    // Both are bars of the new shell again: they hear its notifications.
    os.NotifyAppBars(ABN_FULLSCREENAPP, 1);
    EXPECT_TRUE(bar.m_bFullScreenApp);
    EXPECT_TRUE(hidden.m_bFullScreenApp);
    EXPECT_EQ(os.WindowPosCalls().back().insertAfter, HWND_BOTTOM);
    os.NotifyAppBars(ABN_FULLSCREENAPP, 0);
    EXPECT_EQ(os.WindowPosCalls().back().insertAfter, HWND_TOPMOST);
}

}  // namespace
