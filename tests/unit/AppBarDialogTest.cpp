#include <gtest/gtest.h>

#include <vector>

#include "appbar/AppBarDialog.h"
#include "resources/resource.h"
#include "tests/support/TestOs.h"

namespace {

// An appbar with nothing of the bar window: it records its virtual calls.
class TestAppBar : public CAppBarDialog {
public:
    TestAppBar() : CAppBarDialog(IDD_BAR, nullptr) {}

    struct StateChange {
        UINT changed;
        UINT state;
    };
    std::vector<StateChange> stateChanges;
    std::vector<int> placementsChanged;

    void SetOptions(UINT options) { m_nOptions = options; }
    void SetSteps(int cx, int cy) {
        m_cxSizeStep = cx;
        m_cySizeStep = cy;
    }
    BOOL FullScreenApp() const { return m_bFullScreenApp; }
    BOOL AutoHideShown() const { return m_bAutoHideShown; }

protected:
    void OnTaskbarStateChanged(UINT nChanged, UINT nState) override {
        stateChanges.push_back({nChanged, nState});
        CAppBarDialog::OnTaskbarStateChanged(nChanged, nState);
    }
    void OnPlacementChanged(BOOL bProposed, int nEdge) override {
        if (!bProposed) {
            placementsChanged.push_back(nEdge);
        }
    }
};

void OffsetRect(RECT& rect, int dx, int dy) {
    rect = RECT{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

BARPLACEMENT Placement(int edge, BOOL autoHide, BOOL onTop, LONG thickness = 21) {
    return BARPLACEMENT{sizeof(BARPLACEMENT), edge, autoHide, onTop, {thickness, thickness, thickness, thickness},
                        {100, 100, 168, 121}};
}

class AppBarTest : public OsTest {
protected:
    void Create(const BARPLACEMENT& placement) {
        ASSERT_TRUE(bar.Create());
        bar.SetPlacement(&placement);
    }
    RECT WindowRect(HWND hwnd = nullptr) {
        RECT rect{};
        os.GetWindowRect(hwnd != nullptr ? hwnd : bar.m_hWnd, &rect);
        return rect;
    }
    // One step of the system's move loop with the cursor at `cursor`;
    // returns the rectangle the window is moved to.
    RECT Moving(POINT cursor, RECT proposed) {
        os.SetCursorPos(cursor);
        os.SendMessageA(bar.m_hWnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&proposed));
        os.SetWindowPos(bar.m_hWnd, nullptr, proposed.left, proposed.top, proposed.right - proposed.left,
                        proposed.bottom - proposed.top, SWP_NOZORDER | SWP_NOACTIVATE);
        return proposed;
    }
    std::vector<DWORD> AppBarMessages() const {
        std::vector<DWORD> messages;
        for (const auto& call : os.AppBarCalls()) {
            messages.push_back(call.message);
        }
        return messages;
    }
    size_t CountAppBar(DWORD message) const {
        size_t count = 0;
        for (const auto& call : os.AppBarCalls()) {
            count += call.message == message ? 1 : 0;
        }
        return count;
    }

    TestAppBar bar;
};

TEST_F(AppBarTest, EveryRequestCarriesTheSystemSizeAndTheNotifyMessage) {
    Create(Placement(ABE_TOP, FALSE, TRUE));
    bar.DestroyWindow();
    ASSERT_FALSE(os.AppBarCalls().empty());
    for (const auto& call : os.AppBarCalls()) {
        EXPECT_EQ(call.data.cbSize, sizeof(APPBARDATA));
        EXPECT_EQ(call.data.uCallbackMessage, g_nAppBarNotifyMsg);
    }
}

TEST_F(AppBarTest, CreationRegistersWithTheShellAndStartsTheHideTimer) {
    ASSERT_TRUE(bar.Create());
    EXPECT_EQ(CountAppBar(ABM_NEW), 1u);
    UINT elapse = 0;
    EXPECT_TRUE(os.IsTimerRunning(bar.m_hWnd, 1, &elapse));
    EXPECT_EQ(elapse, 400u);
    // Nothing is docked before the first SetPlacement.
    EXPECT_EQ(CountAppBar(ABM_SETPOS), 0u);
}

TEST_F(AppBarTest, DocksAtTheTopClearOfATaskbarThere) {
    os.SetTaskbar(ABE_TOP, 30);
    Create(Placement(ABE_TOP, FALSE, TRUE));
    EXPECT_EQ(WindowRect(), (RECT{0, 30, 1024, 51}));
    EXPECT_EQ(os.ReservedRect(bar.m_hWnd), (std::optional<RECT>(RECT{0, 30, 1024, 51})));
    EXPECT_EQ(os.TopLevelZOrder().front(), bar.m_hWnd);
    EXPECT_NE(os.GetWindowLongA(bar.m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(bar.placementsChanged, std::vector<int>{ABE_TOP});
}

TEST_F(AppBarTest, ApplyEdgeTalksToTheShellInItsOrder) {
    Create(Placement(ABE_BOTTOM, FALSE, FALSE));
    os.ClearLogs();
    bar.ApplyEdge(ABE_LEFT);
    const std::vector<DWORD> expected = {ABM_GETAUTOHIDEBAR,   ABM_GETAUTOHIDEBAR,   ABM_GETAUTOHIDEBAR,
                                         ABM_GETAUTOHIDEBAR,   ABM_QUERYPOS,         ABM_SETPOS,
                                         ABM_WINDOWPOSCHANGED, ABM_WINDOWPOSCHANGED, ABM_ACTIVATE};
    EXPECT_EQ(AppBarMessages(), expected);
    EXPECT_EQ(os.WindowPosCalls().back().insertAfter, HWND_NOTOPMOST);
}

TEST_F(AppBarTest, ShorterRecordReplacesOnlyItsLeadingFields) {
    Create(Placement(ABE_TOP, FALSE, TRUE));
    BARPLACEMENT partial = Placement(ABE_LEFT, FALSE, FALSE, 99);
    partial.cbSize = 20;
    partial.anThickness[ABE_TOP] = 77;
    partial.rcFloating = RECT{1, 2, 3, 4};
    bar.SetPlacement(&partial);
    const BARPLACEMENT& held = bar.GetPlacement();
    EXPECT_EQ(held.cbSize, 48u);
    EXPECT_EQ(held.nEdge, ABE_LEFT);
    EXPECT_EQ(held.bAlwaysOnTop, FALSE);
    EXPECT_EQ(held.anThickness[ABE_LEFT], 99);
    EXPECT_EQ(held.anThickness[ABE_TOP], 21);
    EXPECT_EQ(held.rcFloating, (RECT{100, 100, 168, 121}));
}

TEST_F(AppBarTest, LongerRecordIsReadAsFortyEightBytes) {
    struct Longer {
        BARPLACEMENT placement;
        LONG extra;
    } longer{Placement(ABE_RIGHT, FALSE, FALSE, 40), 12345};
    longer.placement.cbSize = sizeof(Longer);
    bar.SetPlacement(&longer.placement);
    EXPECT_EQ(bar.GetPlacement().cbSize, 48u);
    EXPECT_EQ(bar.GetPlacement().nEdge, ABE_RIGHT);
}

TEST_F(AppBarTest, PlacementBeforeTheWindowIsOnlyStored) {
    const BARPLACEMENT placement = Placement(ABE_LEFT, FALSE, TRUE);
    os.ClearLogs();
    EXPECT_FALSE(bar.SetPlacement(&placement));
    EXPECT_EQ(bar.GetPlacement().nEdge, ABE_LEFT);
    EXPECT_TRUE(os.AppBarCalls().empty());
}

TEST_F(AppBarTest, FloatingReservesNothingAndTakesItsRectangle) {
    Create(Placement(EDGE_FLOATING, FALSE, FALSE));
    EXPECT_EQ(WindowRect(), (RECT{100, 100, 168, 121}));
    EXPECT_FALSE(os.ReservedRect(bar.m_hWnd).has_value());
}

TEST_F(AppBarTest, ZeroThicknessGivesAnEmptyDockRectangle) {
    Create(Placement(ABE_LEFT, FALSE, FALSE, 0));
    RECT rect{};
    bar.CalcDockRect(ABE_LEFT, &rect);
    EXPECT_EQ(rect, (RECT{0, 0, 0, 768}));
    bar.CalcDockRect(ABE_TOP, &rect);
    EXPECT_EQ(rect, (RECT{0, 0, 1024, 0}));
}

TEST_F(AppBarTest, AutoHideBarSpansTheWholeSideWhateverTheTaskbarHolds) {
    os.SetScreenSize(1280, 1024);
    os.SetTaskbar(ABE_TOP, 30);
    bar.ShowAutoHideBar(TRUE);  // no window yet: only marks the bar as shown
    Create(Placement(ABE_TOP, TRUE, TRUE, 40));
    EXPECT_EQ(WindowRect(), (RECT{0, 0, 1280, 40}));
    EXPECT_FALSE(os.ReservedRect(bar.m_hWnd).has_value());
}

TEST_F(AppBarTest, AutoHideBarStartsHiddenAtItsEdge) {
    Create(Placement(ABE_BOTTOM, TRUE, TRUE, 40));
    EXPECT_EQ(WindowRect(), (RECT{0, 766, 1024, 806}));
    EXPECT_FALSE(bar.AutoHideShown());
}

TEST_F(AppBarTest, RefusedAutoHideReportsAndDocksInAReservedStrip) {
    const HWND other = os.CreateForeignWindow("Other", "Other bar", WS_POPUP, 0, RECT{0, 0, 10, 10});
    APPBARDATA data{sizeof(APPBARDATA), other, 0x1234, ABE_TOP, {}, 0};
    os.SHAppBarMessage(ABM_NEW, &data);
    data.lParam = TRUE;
    ASSERT_EQ(os.SHAppBarMessage(ABM_SETAUTOHIDEBAR, &data), 1u);

    Create(Placement(ABE_TOP, TRUE, TRUE));
    EXPECT_FALSE(bar.GetPlacement().bAutoHide);
    ASSERT_EQ(os.MessageBoxes().size(), 1u);
    EXPECT_EQ(os.MessageBoxes()[0].text,
              "There is already an auto hidden window on this edge.\nOnly one auto hidden window is allowed on each "
              "edge.");
    EXPECT_EQ(os.MessageBoxes()[0].caption, "Vossel");
    EXPECT_EQ(os.MessageBoxes()[0].type, MB_ICONERROR | MB_OK);
    EXPECT_EQ(os.MessageBoxes()[0].owner, nullptr);
    EXPECT_EQ(os.ReservedRect(bar.m_hWnd), (std::optional<RECT>(RECT{0, 0, 1024, 21})));
}

TEST_F(AppBarTest, DestroyingGivesUpTheAutoHideEdgeBeforeLeavingTheShell) {
    Create(Placement(ABE_RIGHT, TRUE, FALSE, 60));
    const HWND hwnd = bar.m_hWnd;
    os.ClearLogs();
    bar.DestroyWindow();
    const auto& calls = os.AppBarCalls();
    size_t release = calls.size();
    size_t remove = calls.size();
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].message == ABM_SETAUTOHIDEBAR && calls[i].data.lParam == FALSE &&
            calls[i].data.uEdge == ABE_RIGHT) {
            release = std::min(release, i);
        }
        if (calls[i].message == ABM_REMOVE) {
            remove = i;
        }
    }
    EXPECT_LT(release, remove);
    EXPECT_LT(remove, calls.size());
    EXPECT_FALSE(os.IsTimerRunning(hwnd, 1));
    EXPECT_EQ(bar.GetPlacement().nEdge, EDGE_NONE);
}

TEST_F(AppBarTest, StateChangeWithNoChangedBitChangesNothing) {
    bar.SetOptions(0x37);
    Create(Placement(ABE_TOP, FALSE, TRUE));
    os.ClearLogs();
    os.NotifyAppBars(ABN_STATECHANGE, 0);
    ASSERT_EQ(bar.stateChanges.size(), 1u);
    EXPECT_EQ(bar.stateChanges[0].changed, 0u);
    EXPECT_EQ(CountAppBar(ABM_SETPOS), 0u);
    EXPECT_EQ(bar.GetPlacement().bAlwaysOnTop, TRUE);
}

TEST_F(AppBarTest, FollowingTopmostReappliesEvenWhenTheValueIsTheSame) {
    bar.SetOptions(BARF_FOLLOWTOPMOST);
    Create(Placement(ABE_TOP, FALSE, TRUE));
    os.SetTaskbarState(ABS_ALWAYSONTOP);
    os.ClearLogs();
    os.NotifyAppBars(ABN_STATECHANGE, 0);
    ASSERT_EQ(bar.stateChanges.size(), 1u);
    EXPECT_EQ(bar.stateChanges[0].changed, ABS_ALWAYSONTOP);
    EXPECT_EQ(CountAppBar(ABM_SETPOS), 1u);
    EXPECT_TRUE(bar.GetPlacement().bAlwaysOnTop);
    // Taken as the new last state: the same report again changes nothing.
    os.NotifyAppBars(ABN_STATECHANGE, 0);
    EXPECT_EQ(bar.stateChanges[1].changed, 0u);
    EXPECT_EQ(CountAppBar(ABM_SETPOS), 1u);
}

TEST_F(AppBarTest, FollowingAutoHideAdoptsTheTaskbarsSetting) {
    bar.SetOptions(BARF_FOLLOWAUTOHIDE);
    Create(Placement(ABE_BOTTOM, FALSE, TRUE, 30));
    os.SetTaskbarState(ABS_AUTOHIDE);
    os.NotifyAppBars(ABN_STATECHANGE, 0);
    EXPECT_TRUE(bar.GetPlacement().bAutoHide);
    EXPECT_EQ(WindowRect(), (RECT{0, 766, 1024, 796}));
}

TEST_F(AppBarTest, WithoutTheOptionBitsTheTaskbarStateIsIgnored) {
    Create(Placement(ABE_BOTTOM, FALSE, TRUE, 30));
    os.SetTaskbarState(ABS_AUTOHIDE);
    os.NotifyAppBars(ABN_STATECHANGE, 0);
    EXPECT_FALSE(bar.GetPlacement().bAutoHide);
}

TEST_F(AppBarTest, PositionChangeMovesADockedBarClearOfANewBar) {
    Create(Placement(ABE_TOP, FALSE, TRUE));
    const HWND other = os.CreateForeignWindow("Other", "Other bar", WS_POPUP, 0, RECT{0, 0, 10, 10});
    APPBARDATA data{sizeof(APPBARDATA), other, 0x1234, ABE_TOP, {0, 0, 1024, 21}, 0};
    os.SHAppBarMessage(ABM_NEW, &data);
    // The other bar takes the strip while ours is gone for a moment.
    bar.ApplyEdge(EDGE_FLOATING);
    os.SHAppBarMessage(ABM_SETPOS, &data);
    BARPLACEMENT top = Placement(ABE_TOP, FALSE, TRUE);
    bar.SetPlacement(&top);
    EXPECT_EQ(WindowRect(), (RECT{0, 21, 1024, 42}));
}

TEST_F(AppBarTest, PositionChangeLeavesFloatingAndAutoHideBarsAlone) {
    for (const BARPLACEMENT& placement : {Placement(EDGE_FLOATING, FALSE, TRUE), Placement(ABE_LEFT, TRUE, TRUE)}) {
        TestAppBar other;
        ASSERT_TRUE(other.Create());
        other.SetPlacement(&placement);
        const size_t before = os.AppBarCalls().size();
        os.NotifyAppBars(ABN_POSCHANGED, 0);
        size_t setPos = 0;
        for (size_t i = before; i < os.AppBarCalls().size(); ++i) {
            setPos += os.AppBarCalls()[i].message == ABM_SETPOS && os.AppBarCalls()[i].data.hWnd == other.m_hWnd;
        }
        EXPECT_EQ(setPos, 0u) << "edge " << placement.nEdge;
    }
}

TEST_F(AppBarTest, FullScreenAppTakesAnAlwaysOnTopBarToTheBottomAndBack) {
    struct Case {
        BOOL onTop;
        LPARAM open;
        HWND expected;
    };
    const Case cases[] = {
        {TRUE, 1, HWND_BOTTOM}, {TRUE, 0, HWND_TOPMOST}, {FALSE, 1, HWND_NOTOPMOST}, {FALSE, 0, HWND_NOTOPMOST}};
    Create(Placement(ABE_TOP, FALSE, TRUE));
    for (const Case& c : cases) {
        BARPLACEMENT placement = bar.GetPlacement();
        placement.bAlwaysOnTop = c.onTop;
        bar.SetPlacement(&placement);
        os.NotifyAppBars(ABN_FULLSCREENAPP, c.open);
        EXPECT_EQ(bar.FullScreenApp(), c.open != 0 ? TRUE : FALSE);
        EXPECT_EQ(os.WindowPosCalls().back().insertAfter, c.expected) << c.onTop << " " << c.open;
    }
}

TEST_F(AppBarTest, SlideAnimatesOnlyWhenWindowContentsShowWhileDragging) {
    Create(Placement(ABE_TOP, FALSE, TRUE));
    const RECT target{0, 100, 1024, 121};
    os.ClearLogs();
    bar.SlideWindowTo(&target);
    EXPECT_EQ(os.WindowPosCalls().size(), 1u);

    os.SetDragFullWindows(TRUE);
    os.SetTickStep(100);
    os.ClearLogs();
    const RECT back{0, 0, 1024, 21};
    bar.SlideWindowTo(&back);
    const auto& calls = os.WindowPosCalls();
    // Ticks 100, 200, 300 fall inside the 400 ms, then the target itself.
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].y, 75);
    EXPECT_EQ(calls[1].y, 50);
    EXPECT_EQ(calls[2].y, 25);
    EXPECT_EQ(calls[3].y, 0);
    for (const auto& call : calls) {
        EXPECT_EQ(call.flags, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}

TEST_F(AppBarTest, SlideToTheCurrentRectangleOnlySetsItOnce) {
    Create(Placement(ABE_TOP, FALSE, TRUE));
    os.SetDragFullWindows(TRUE);
    os.SetTickStep(10);
    os.ClearLogs();
    const RECT same{0, 0, 1024, 21};
    bar.SlideWindowTo(&same);
    EXPECT_EQ(os.WindowPosCalls().size(), 1u);
}

TEST_F(AppBarTest, SlideAcrossAWrapOfTheTickCountEndsAfterItsTime) {
    struct Case {
        DWORD t0;
        DWORD step;
        size_t frames;  // every tick under 400 ms, then the target
    };
    // The first ends before the count wraps, the second after it.
    const Case cases[] = {{0xFFFFFE6Bu, 15, 27}, {0xFFFFFF00u, 10, 40}};
    Create(Placement(ABE_TOP, FALSE, TRUE));
    os.SetDragFullWindows(TRUE);
    for (const Case& c : cases) {
        const RECT start{0, 0, 1024, 21};
        bar.SlideWindowTo(&start);
        os.SetTickCount(c.t0);
        os.SetTickStep(c.step);
        os.ClearLogs();
        const RECT target{0, 400, 1024, 421};
        bar.SlideWindowTo(&target);
        const auto& calls = os.WindowPosCalls();
        ASSERT_EQ(calls.size(), c.frames) << c.t0;
        EXPECT_EQ(calls[0].y, static_cast<int>(c.step));
        EXPECT_EQ(calls[c.frames - 2].y, 390);
        EXPECT_EQ(WindowRect(), target);
    }
}

TEST_F(AppBarTest, TimerHidesAnInactiveBarOnceTheCursorLeavesItsSurroundings) {
    struct Case {
        int edge;
        RECT shown;
        POINT near, beyond;  // the cursor on the last line inside, then on the line after
        RECT hidden;
    };
    // The window grown by 2 x 4 pixels each way.
    const Case cases[] = {
        {ABE_TOP, {0, 0, 1024, 40}, {500, 47}, {500, 48}, {0, -38, 1024, 2}},
        {ABE_LEFT, {0, 0, 40, 768}, {47, 300}, {48, 300}, {-38, 0, 2, 768}},
    };
    for (const Case& c : cases) {
        TestAppBar other;
        ASSERT_TRUE(other.Create());
        const BARPLACEMENT placement = Placement(c.edge, TRUE, TRUE, 40);
        other.SetPlacement(&placement);
        other.ShowAutoHideBar(TRUE);
        ASSERT_EQ(WindowRect(other.m_hWnd), c.shown);
        os.SetCursorPos(c.near);
        os.AdvanceClock(400);
        EXPECT_TRUE(other.AutoHideShown()) << "edge " << c.edge;
        os.SetCursorPos(c.beyond);
        os.AdvanceClock(400);
        EXPECT_FALSE(other.AutoHideShown()) << "edge " << c.edge;
        EXPECT_EQ(WindowRect(other.m_hWnd), c.hidden);
    }
}

TEST_F(AppBarTest, TimerNeverHidesTheActiveBar) {
    Create(Placement(ABE_TOP, TRUE, TRUE, 40));
    bar.ShowAutoHideBar(TRUE);
    os.SetActiveWindow(bar.m_hWnd);
    os.SetCursorPos(POINT{500, 500});
    os.AdvanceClock(1200);
    EXPECT_TRUE(bar.AutoHideShown());
    // Losing activation hides it at once.
    const HWND other = os.CreateForeignWindow("Other", "Other", WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 10, 10});
    os.SetActiveWindow(other);
    EXPECT_FALSE(bar.AutoHideShown());
}

TEST_F(AppBarTest, TouchingTheFrameOfAHiddenBarSlidesItOut) {
    Create(Placement(ABE_LEFT, TRUE, TRUE, 60));
    ASSERT_EQ(WindowRect(), (RECT{-58, 0, 2, 768}));
    os.SendMessageA(bar.m_hWnd, WM_NCMOUSEMOVE, HTRIGHT, 0);
    EXPECT_EQ(WindowRect(), (RECT{0, 0, 60, 768}));
}

TEST_F(AppBarTest, ABarWithoutAutoHideIsNeverMovedByHideOrShow) {
    Create(Placement(ABE_TOP, FALSE, TRUE));
    os.ClearLogs();
    os.SendMessageA(bar.m_hWnd, WM_NCMOUSEMOVE, HTBOTTOM, 0);
    os.SetCursorPos(POINT{500, 500});
    os.AdvanceClock(800);
    for (const auto& call : os.WindowPosCalls()) {
        EXPECT_NE(call.flags & SWP_NOMOVE, 0u);
    }
    EXPECT_TRUE(bar.AutoHideShown());
}

TEST_F(AppBarTest, DraggingProposesEdgesAndTheEndDocksThere) {
    bar.SetOptions(0x37);
    BARPLACEMENT placement = Placement(ABE_TOP, FALSE, TRUE);
    placement.anThickness[ABE_LEFT] = 50;
    Create(placement);
    os.SendMessageA(bar.m_hWnd, WM_ENTERSIZEMOVE, 0, 0);
    EXPECT_EQ(Moving(POINT{5, 400}, WindowRect()), (RECT{0, 0, 50, 768}));
    EXPECT_EQ(bar.GetEffectiveEdge(), ABE_LEFT);
    // The placement changes only when the loop ends.
    EXPECT_EQ(bar.GetPlacement().nEdge, ABE_TOP);
    os.SendMessageA(bar.m_hWnd, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(bar.GetPlacement().nEdge, ABE_LEFT);
    EXPECT_EQ(os.ReservedRect(bar.m_hWnd), (std::optional<RECT>(RECT{0, 0, 50, 768})));
    EXPECT_EQ(bar.GetPlacement().anThickness[ABE_TOP], 21);
}

TEST_F(AppBarTest, CtrlFloatsTheBarAndItsFirstStepCentresItUnderTheCursor) {
    bar.SetOptions(0x37);
    BARPLACEMENT placement = Placement(ABE_TOP, FALSE, TRUE);
    placement.rcFloating = RECT{0, 0, 120, 30};
    Create(placement);
    os.SendMessageA(bar.m_hWnd, WM_ENTERSIZEMOVE, 0, 0);
    os.SetKeyDown(VK_CONTROL, true);
    EXPECT_EQ(Moving(POINT{500, 5}, WindowRect()), (RECT{440, 5, 560, 35}));
    // Later floating steps keep the system's rectangle.
    EXPECT_EQ(Moving(POINT{510, 15}, RECT{450, 15, 570, 45}), (RECT{450, 15, 570, 45}));
    // Without Ctrl, near an edge, it docks again.
    os.SetKeyDown(VK_CONTROL, false);
    EXPECT_EQ(Moving(POINT{1020, 300}, WindowRect()), (RECT{1003, 0, 1024, 768}));
    os.SetKeyDown(VK_CONTROL, true);
    Moving(POINT{300, 300}, WindowRect());
    const RECT dropped = Moving(POINT{310, 320}, RECT{250, 320, 370, 350});
    os.SendMessageA(bar.m_hWnd, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(bar.GetPlacement().nEdge, EDGE_FLOATING);
    EXPECT_EQ(bar.GetPlacement().rcFloating, dropped);
    EXPECT_FALSE(os.ReservedRect(bar.m_hWnd).has_value());
}

TEST_F(AppBarTest, WhereTheLoopLeavesTheWindowCountsThoughTheSystemMovesItLater) {
    // Without window contents shown while dragging, the system moves the
    // window to the last tracked rectangle only after WM_EXITSIZEMOVE.
    bar.SetOptions(0x37);
    BARPLACEMENT placement = Placement(ABE_TOP, FALSE, TRUE);
    placement.rcFloating = RECT{0, 0, 120, 30};
    Create(placement);
    os.SendMessageA(bar.m_hWnd, WM_ENTERSIZEMOVE, 0, 0);
    os.SetKeyDown(VK_CONTROL, true);
    os.SetCursorPos(POINT{500, 300});
    RECT tracked = WindowRect();
    os.SendMessageA(bar.m_hWnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&tracked));
    OffsetRect(tracked, 10, 20);
    os.SetCursorPos(POINT{510, 320});
    os.SendMessageA(bar.m_hWnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&tracked));
    os.SendMessageA(bar.m_hWnd, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(bar.GetPlacement().rcFloating, (RECT{450, 320, 570, 350}));
    EXPECT_EQ(WindowRect(), (RECT{450, 320, 570, 350}));

    // The same for a size loop: the thickness is the snapped one.
    bar.SetSteps(1, 15);
    placement = bar.GetPlacement();
    placement.nEdge = ABE_TOP;
    bar.SetPlacement(&placement);
    os.SendMessageA(bar.m_hWnd, WM_ENTERSIZEMOVE, 0, 0);
    RECT sized{0, 0, 1024, 40};
    os.SendMessageA(bar.m_hWnd, WM_SIZING, WMSZ_BOTTOM, reinterpret_cast<LPARAM>(&sized));
    os.SendMessageA(bar.m_hWnd, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(bar.GetPlacement().anThickness[ABE_TOP], 36);
    EXPECT_EQ(os.ReservedRect(bar.m_hWnd), (std::optional<RECT>(RECT{0, 0, 1024, 36})));
}

TEST_F(AppBarTest, AMoveLoopWithoutMovingMeasuresAndAppliesTheEdgeAgain) {
    bar.SetOptions(0x37);
    Create(Placement(ABE_BOTTOM, FALSE, TRUE, 30));
    os.SetWindowPos(bar.m_hWnd, nullptr, 0, 700, 1024, 68, SWP_NOZORDER);
    os.ClearLogs();
    os.SendMessageA(bar.m_hWnd, WM_ENTERSIZEMOVE, 0, 0);
    os.SendMessageA(bar.m_hWnd, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(bar.GetPlacement().anThickness[ABE_BOTTOM], 68);
    EXPECT_EQ(CountAppBar(ABM_SETPOS), 1u);
    EXPECT_EQ(WindowRect(), (RECT{0, 700, 1024, 768}));
    EXPECT_EQ(bar.GetEffectiveEdge(), ABE_BOTTOM);
}

TEST_F(AppBarTest, DraggingAnAutoHideBarShowsItAlongTheWholeSide) {
    bar.SetOptions(0x37);
    os.SetTaskbar(ABE_LEFT, 40);
    Create(Placement(ABE_TOP, TRUE, TRUE, 30));
    os.SendMessageA(bar.m_hWnd, WM_ENTERSIZEMOVE, 0, 0);
    EXPECT_EQ(Moving(POINT{3, 300}, WindowRect()), (RECT{0, 0, 30, 768}));
    EXPECT_EQ(Moving(POINT{500, 765}, WindowRect()), (RECT{0, 738, 1024, 768}));
}

TEST_F(AppBarTest, TheSizingLoopSnapsToRowsAndTheEndStoresTheThickness) {
    bar.SetOptions(0x37);
    Create(Placement(ABE_TOP, FALSE, TRUE));
    ASSERT_EQ(WindowRect(), (RECT{0, 0, 1024, 21}));
    bar.SetSteps(1, 7);
    // The frame's bottom side sizes a top bar; its top side does not.
    EXPECT_EQ(os.SendMessageA(bar.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(500, 20)), HTBOTTOM);
    EXPECT_EQ(os.SendMessageA(bar.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(500, 0)), HTBORDER);
    os.SetKeyDown(VK_LBUTTON, true);
    EXPECT_EQ(os.SendMessageA(bar.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(500, 10)), HTCAPTION);
    os.SetKeyDown(VK_LBUTTON, false);

    // Rows of 7 pixels: a client 15 high becomes 14 or 21.
    os.SendMessageA(bar.m_hWnd, WM_ENTERSIZEMOVE, 0, 0);
    RECT rect{0, 0, 1024, 30};
    os.SendMessageA(bar.m_hWnd, WM_SIZING, WMSZ_BOTTOM, reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(rect, (RECT{0, 0, 1024, 27}));
    os.SetWindowPos(bar.m_hWnd, nullptr, 0, 0, 1024, 27, SWP_NOZORDER);
    os.SendMessageA(bar.m_hWnd, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(bar.GetPlacement().anThickness[ABE_TOP], 27);
    EXPECT_EQ(os.ReservedRect(bar.m_hWnd), (std::optional<RECT>(RECT{0, 0, 1024, 27})));
}

TEST_F(AppBarTest, AfterAShellRestartTheBarClaimsItsPlaceAgain) {
    TestAppBar hidden;
    ASSERT_TRUE(hidden.Create());
    const BARPLACEMENT autoHide = Placement(ABE_RIGHT, TRUE, TRUE, 40);
    hidden.SetPlacement(&autoHide);
    Create(Placement(ABE_TOP, FALSE, TRUE));
    os.RestartShell();
    EXPECT_EQ(os.ReservedRect(bar.m_hWnd), (std::optional<RECT>(RECT{0, 0, 1024, 21})));
    APPBARDATA query{sizeof(APPBARDATA), nullptr, 0, ABE_RIGHT, {}, 0};
    EXPECT_EQ(reinterpret_cast<HWND>(os.SHAppBarMessage(ABM_GETAUTOHIDEBAR, &query)), hidden.m_hWnd);
    // Both are bars of the new shell again: they hear its notifications.
    os.NotifyAppBars(ABN_FULLSCREENAPP, 1);
    EXPECT_TRUE(bar.FullScreenApp());
    EXPECT_TRUE(hidden.FullScreenApp());
}

}  // namespace
