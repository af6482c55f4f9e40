
#include <algorithm>
#include <string>
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
    using CAppBarDialog::m_cxSizeStep;
    using CAppBarDialog::m_cySizeStep;
    using CAppBarDialog::m_nOptions;
    std::string events;  // what the hooks for derived windows were told

protected:
    void OnPlacementChanged(BOOL proposed, int edge) override {
        events += (proposed ? "proposed " : "placed ") + std::to_string(edge) + ",";
    }
    void OnWindowArrange(BOOL beginning) override { events += beginning ? "arranging," : "arranged,"; }
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
    EXPECT_EQ(os.MessageBoxes()[0].type, MB_ICONERROR | MB_OK);
    EXPECT_EQ(os.ReservedRect(bar.m_hWnd), (std::optional<RECT>(RECT{0, 0, 1024, 21})));
}

TEST_F(AppBarTest, TheTaskbarsStateIsFollowedOnlyAsTheOptionsSay) {
    struct Case {
        UINT options;
        BOOL autoHideAfter, onTopAfter;
        RECT window;
    };
    // The taskbar turns auto-hide and always-on-top under a bar 30 thick at the bottom; one that follows hides.
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
        // And back, as far as it follows.
        os.SetTaskbarState(0);
        os.NotifyAppBars(ABN_STATECHANGE, 0);
        EXPECT_FALSE(other.GetPlacement().bAutoHide);
        EXPECT_EQ(other.GetPlacement().bAlwaysOnTop, c.options == 0 ? c.onTopAfter : FALSE);
        other.DestroyWindow();
    }
    // A bar that knows its options when it is created takes the state at once.
    os.SetTaskbarState(ABS_AUTOHIDE | ABS_ALWAYSONTOP);
    TestAppBar early;
    early.m_nOptions = kAllOptions;
    ASSERT_TRUE(early.Create());
    EXPECT_TRUE(early.GetPlacement().bAutoHide);
    EXPECT_TRUE(early.GetPlacement().bAlwaysOnTop);
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

TEST_F(AppBarTest, ASlideShowsEveryFrameOnlyWhenContentsShowWhileDraggingAndTheWindowIsShown) {
    struct Case {
        BOOL fullDrag, visible;
        DWORD t0, step;
        LONG top;
        size_t frames;  // every tick inside the 400 ms, then the target
        int first;
    };
    // Each from where the last ended; the last ends after the tick count wraps.
    const Case cases[] = {{FALSE, TRUE, 0, 100, 100, 1, 100},
                          {TRUE, TRUE, 0, 100, 0, 4, 75},
                          {TRUE, TRUE, 0, 100, 0, 1, 0},
                          {TRUE, TRUE, 0xFFFFFF00u, 10, 400, 40, 10},
                          {TRUE, FALSE, 0, 100, 0, 1, 0}};
    Open(bar, Placement(ABE_TOP, FALSE, TRUE));
    for (const Case& c : cases) {
        os.SetDragFullWindows(c.fullDrag);
        os.ShowWindow(bar.m_hWnd, c.visible ? SW_SHOWNORMAL : SW_HIDE);
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
    // A zero step makes the edges across it unsizable.
    const BARPLACEMENT left = Placement(ABE_LEFT, FALSE, TRUE, 30);
    bar.SetPlacement(&left);
    for (const SIZE steps : {SIZE{0, 7}, SIZE{7, 0}}) {
        bar.m_cxSizeStep = steps.cx;
        bar.m_cySizeStep = steps.cy;
        EXPECT_EQ(Send(WM_NCHITTEST, 0, MAKELPARAM(28, 300)), steps.cx != 0 ? HTRIGHT : HTBORDER);
    }
    const BARPLACEMENT bottom = Placement(ABE_BOTTOM, FALSE, TRUE);
    bar.SetPlacement(&bottom);
    // A loop without a step, after one with steps, and a stray end measure the window and keep its edge.
    SizeLoop(bar.m_hWnd, WMSZ_TOP, POINT{500, 748}, {POINT{500, 700}}, Loop::Wine);
    os.SetWindowPos(bar.m_hWnd, nullptr, 0, 728, 1024, 40, SWP_NOZORDER);
    SizeLoop(bar.m_hWnd, WMSZ_TOP, POINT{500, 729}, {}, Loop::Wine);
    EXPECT_EQ(bar.GetPlacement().anThickness[ABE_BOTTOM], 40);
    os.SetWindowPos(bar.m_hWnd, nullptr, 0, 738, 1024, 30, SWP_NOZORDER);
    Send(WM_EXITSIZEMOVE);
    EXPECT_EQ(bar.GetPlacement().anThickness[ABE_BOTTOM], 30);
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 738, 1024, 768}));
}

TEST_F(AppBarTest, EveryPlacementTellsTheShellInOrderAndLeavesTheActiveWindowAlone) {
    const HWND other = os.CreateForeignWindow("Other", "Other", WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 10, 10});
    os.ClearLogs();
    Open(bar, Placement(ABE_TOP, FALSE, TRUE), kAllOptions);
    // A new bar has claimed no auto-hide edge, so it asks after none.
    for (const auto& call : os.AppBarCalls()) {
        EXPECT_NE(call.message, static_cast<DWORD>(ABM_GETAUTOHIDEBAR));
        EXPECT_NE(call.message, static_cast<DWORD>(ABM_GETAUTOHIDEBAREX));
    }
    struct Case {
        BARPLACEMENT placement;
        std::string calls;  // request, edge and lParam
    };
    // A held auto-hide edge is given up first, in the form and on the
    // monitor it was claimed; a bar that claimed none asks nothing.
    const Case cases[] = {
        {Placement(ABE_BOTTOM, FALSE, TRUE), {"query 3 0,set 3 0,activate -1 0"}},
        {Placement(ABE_RIGHT, TRUE, FALSE), {"autohideex 2 1,set 0 0,activate -1 0"}},
        {Placement(ABE_LEFT, TRUE, TRUE), {"autohideex 2 0,autohideex 0 1,set 0 0,activate -1 0"}},
        {Placement(EDGE_FLOATING, FALSE, TRUE), {"autohideex 0 0,set 0 0,activate -1 0"}},
        {Placement(ABE_TOP, FALSE, FALSE), {"query 1 0,set 1 0,activate -1 0"}},
        {Placement(ABE_BOTTOM, TRUE, TRUE), {"autohideex 3 1,set 0 0,activate -1 0"}},
    };
    const auto calls = [&] {
        const char* names[] = {"new", "remove",   "query", "set",      "state", "taskbar",   "activate",
                               "get", "autohide", "moved", "setstate", "getex", "autohideex"};
        std::string text;
        for (const auto& call : os.AppBarCalls()) {
            if (call.message != ABM_WINDOWPOSCHANGED) {
                text += std::string(text.empty() ? "" : ",") + names[call.message] + " " +
                        std::to_string(static_cast<int>(call.data.uEdge)) + " " + std::to_string(call.data.lParam);
            }
        }
        return text;
    };
    bar.events.clear();
    os.NotifyAppBars(ABN_WINDOWARRANGE, 1);
    os.NotifyAppBars(ABN_WINDOWARRANGE, 0);
    EXPECT_EQ(bar.events, "arranging,arranged,");
    for (const Case& c : cases) {
        os.SetActiveWindow(other);
        os.ClearLogs();
        bar.events.clear();
        bar.SetPlacement(&c.placement);
        EXPECT_EQ(calls(), c.calls) << "edge " << c.placement.nEdge;
        // The derived window hears of the new placement before and after.
        const std::string edge = std::to_string(c.placement.nEdge);
        EXPECT_EQ(bar.events, "proposed " + edge + ",placed " + edge + ",");
        EXPECT_EQ(os.GetActiveWindow(), other) << "edge " << c.placement.nEdge;
    }
    // Active again, it has the keyboard focus back on its control, as the dialog manager gives it.
    const HWND control = os.GetDlgItem(bar.m_hWnd, IDC_MENU_BUTTON);
    // Each change of activation tells the shell once.
    for (const HWND active : {bar.m_hWnd, other, bar.m_hWnd}) {
        os.ClearLogs();
        os.SetActiveWindow(active);
        EXPECT_EQ(os.Focus(), active == other ? other : control);
        EXPECT_EQ(CountAppBar(ABM_ACTIVATE), 1);
    }
    // Leaving, it gives up its auto-hide edge before it leaves the shell.
    os.ClearLogs();
    bar.DestroyWindow();
    EXPECT_EQ(calls(), "autohideex 3 0,remove -1 0,activate -1 0");
}

TEST_F(AppBarTest, CtrlFloatsOnlyABarThatMayFloatAndAFailedSettingsQueryTakesTheScreen) {
    struct Case {
        UINT options;
        bool ctrl;
        LONG x, y;
        int edge;
    };
    const Case cases[] = {{kAllOptions, true, 5, 400, EDGE_FLOATING},    {kAllOptions, false, 5, 400, ABE_LEFT},
                          {kAllOptions, false, 500, 300, EDGE_FLOATING}, {BARF_LEFTRIGHT, true, 5, 400, ABE_LEFT},
                          {BARF_TOPBOTTOM, true, 500, 300, ABE_TOP},     {BARF_FLOAT, false, 5, 400, EDGE_FLOATING}};
    Open(bar, Placement(ABE_TOP, FALSE, TRUE));
    for (const Case& c : cases) {
        bar.m_nOptions = c.options;
        os.SetKeyDown(VK_CONTROL, c.ctrl);
        EXPECT_EQ(bar.EdgeForDrag(POINT{c.x, c.y}), c.edge) << c.options << " " << c.ctrl << " " << c.x;
    }
    os.SetKeyDown(VK_CONTROL, false);
    // Without the work area the whole screen docks; without the dragging setting every move is immediate.
    os.FailCall("GetMonitorInfoW", 4);
    os.FailCall("SystemParametersInfoA", 3);
    EXPECT_EQ(CAppBarDialog::EdgeFromPoint(kAllOptions, 500, 17), EDGE_FLOATING);
    EXPECT_EQ(CAppBarDialog::EdgeFromPoint(kAllOptions, 500, 16), ABE_TOP);
    os.SetTickStep(100);
    os.ClearLogs();
    const RECT target{0, 100, 1024, 121};
    bar.SlideWindowTo(&target);
    EXPECT_EQ(os.WindowPosCalls().size(), 1u);
}

TEST_F(AppBarTest, AfterAShellRestartTheBarClaimsItsPlaceAgainAndAFullScreenProgramTakesItToTheBottomAndBack) {
    TestAppBar hidden;
    Open(hidden, Placement(ABE_RIGHT, TRUE, TRUE, 40));
    Open(bar, Placement(ABE_TOP, FALSE, TRUE));
    os.RestartShell();
    EXPECT_EQ(os.ReservedRect(bar.m_hWnd), (std::optional<RECT>(RECT{0, 0, 1024, 21})));
    // Both are bars of the new shell again: they hear its notifications.
    os.CreateForeignWindow("Game", "Game", WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 1024, 768});
    os.NotifyAppBars(ABN_FULLSCREENAPP, 1);
    EXPECT_TRUE(bar.m_bFullScreenApp);
    EXPECT_TRUE(hidden.m_bFullScreenApp);
    EXPECT_EQ(os.WindowPosCalls().back().insertAfter, HWND_BOTTOM);
    os.NotifyAppBars(ABN_FULLSCREENAPP, 0);
    EXPECT_EQ(os.WindowPosCalls().back().insertAfter, HWND_TOPMOST);
}

TEST_F(AppBarTest, AShellMessageThatCouldNotBeRegisteredIsNeverTakenForWmNull) {
    // The shell's notification, then its restart, fails to register: its id is 0, which is WM_NULL's.
    for (const int which : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "registration " << which << " fails");
        os.FailCall("RegisterWindowMessageA", 1, which);
        TestAppBar other;
        Open(other, Placement(ABE_TOP, FALSE, TRUE));
        os.SetTaskbar(ABE_TOP, 30);
        os.ClearLogs();
        for (const WPARAM code : {WPARAM{ABN_POSCHANGED}, WPARAM{ABN_FULLSCREENAPP}, WPARAM{ABN_STATECHANGE}}) {
            os.SendMessageA(other.m_hWnd, WM_NULL, code, 1);
        }
        EXPECT_TRUE(os.AppBarCalls().empty());
        EXPECT_FALSE(other.m_bFullScreenApp);
        EXPECT_EQ(WindowRect(other.m_hWnd), (RECT{0, 0, 1024, 21}));
        other.DestroyWindow();
        os.SetTaskbar(ABE_TOP, 0);
    }
}

}  // namespace
