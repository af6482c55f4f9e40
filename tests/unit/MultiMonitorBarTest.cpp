// The bar on several monitors: dragged to any edge of any of them, hidden
// there, kept across restarts, and following monitors that come and go.
#include <string>
#include <vector>

#include "appbar/AppBarGeometry.h"
#include "platform/Dpi.h"
#include "resources/resource.h"
#include "settings/Settings.h"
#include "tests/support/BarFixture.h"

namespace {

constexpr LONG kDockedHeight = kBarClientHeight + 6;
constexpr LONG kDockedWidth = kBarClientWidth + 6;
constexpr RECT kPrimary{0, 0, 1024, 768};

struct Layout {
    const char* name;
    RECT second;
};
// Beside the primary, below it, and left of or above it (negative coordinates).
const Layout kLayouts[] = {{"right", {1024, 0, 1824, 600}},
                           {"below", {0, 768, 1280, 1792}},
                           {"left", {-1280, -200, 0, 824}},
                           {"above", {-100, -600, 700, 0}}};

LONG Thickness(int edge) { return edge == ABE_LEFT || edge == ABE_RIGHT ? kDockedWidth : kDockedHeight; }

RECT Docked(const RECT& monitor, int edge, LONG thickness = 0) {
    const LONG t = thickness != 0 ? thickness : Thickness(edge);
    const LONG all[4] = {t, t, t, t};
    return CutToThickness(monitor, edge, all);
}

// A point well inside `monitor` that chooses `edge` there.
POINT Toward(const RECT& monitor, int edge) {
    const LONG x = (monitor.left + monitor.right) / 2;
    const LONG y = (monitor.top + monitor.bottom) / 2;
    switch (edge) {
        case ABE_LEFT:
            return POINT{monitor.left + 2, y};
        case ABE_TOP:
            return POINT{x, monitor.top + 2};
        case ABE_RIGHT:
            return POINT{monitor.right - 3, y};
        default:
            return POINT{x, monitor.bottom - 3};
    }
}

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// The part two rectangles share; an empty one where they do not meet.
RECT Overlap(const RECT& a, const RECT& b) {
    const RECT both{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                    std::min(a.bottom, b.bottom)};
    return both.left < both.right && both.top < both.bottom ? both : RECT{0, 0, 0, 0};
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

class MultiMonitorBarTest : public BarTest {
protected:
    // Drags the bar by its middle to `to` through a point beside it.
    RECT DragTo(POINT to, Loop loop = Loop::Wine) {
        const POINT press = Centre(WindowRect(bar->m_hWnd));
        return MoveLoop(bar->m_hWnd, press, {POINT{(press.x + to.x) / 2, (press.y + to.y) / 2}, to}, loop);
    }
    void Restart() {
        bar->DestroyWindow();
        CreateBar();
    }
    // What of the bar is drawn and takes the mouse: its window, cut by its region.
    RECT Drawn() {
        const RECT window = WindowRect(bar->m_hWnd);
        RECT box{0, 0, 0, 0};
        if (os.GetWindowRgnBox(bar->m_hWnd, &box) != SIMPLEREGION) {
            return window;
        }
        return RECT{window.left + box.left, window.top + box.top, window.left + box.right, window.top + box.bottom};
    }
    bool OfBar(HWND hwnd) {
        for (; hwnd != nullptr; hwnd = os.GetParent(hwnd)) {
            if (hwnd == bar->m_hWnd) {
                return true;
            }
        }
        return false;
    }
    // One row of the template's client area at `dpi`, in the docked frame drawn there.
    LONG OneRowAt(int edge, UINT dpi) {
        RECT frame{0, 0, 0, 0};
        os.AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(os.GetWindowLongA(bar->m_hWnd, GWL_STYLE)), FALSE,
                                    static_cast<DWORD>(os.GetWindowLongA(bar->m_hWnd, GWL_EXSTYLE)), dpi);
        return edge == ABE_LEFT || edge == ABE_RIGHT
                   ? frame.right - frame.left + static_cast<LONG>(ScaleBetween(kBarClientWidth, 96, dpi))
                   : frame.bottom - frame.top + static_cast<LONG>(ScaleBetween(kBarClientHeight, 96, dpi));
    }
    void SetAutoHide(BOOL on) {
        BARPLACEMENT placement = bar->GetPlacement();
        placement.bAutoHide = on;
        bar->SetPlacement(&placement);
    }
    UINT_PTR AutoHideHolder(UINT edge, const RECT& monitor) {
        APPBARDATA data{sizeof(APPBARDATA), bar->m_hWnd, 0, edge, monitor, 0};
        return os.SHAppBarMessage(ABM_GETAUTOHIDEBAREX, &data);
    }
};

TEST_F(MultiMonitorBarTest, ADragDocksAtTheEdgeOfTheMonitorUnderThePointerClearOfOthersAndComesBackThereAfterARestart) {
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(layout.name);
        const HMONITOR second = os.AddMonitor(layout.second);
        CreateBar();
        const HWND other = os.CreateForeignWindow("Other", "Other bar", WS_POPUP, 0, RECT{0, 0, 10, 10});
        APPBARDATA data{sizeof(APPBARDATA), other, 0x1234, 0, {}, 0};
        os.SHAppBarMessage(ABM_NEW, &data);
        for (const RECT& monitor : {layout.second, kPrimary}) {
            for (int edge = ABE_LEFT; edge <= static_cast<int>(ABE_BOTTOM); ++edge) {
                SCOPED_TRACE(testing::Message() << monitor << " edge " << edge);
                const RECT docked = Docked(monitor, edge);
                EXPECT_EQ(DragTo(Toward(monitor, edge)), docked);
                EXPECT_EQ(os.ReservedRect(bar->m_hWnd), std::optional<RECT>(docked));
                // Another bar that asks for the same edge of the same monitor goes beside it.
                data.uEdge = static_cast<UINT>(edge);
                data.rc = monitor;
                os.SHAppBarMessage(ABM_QUERYPOS, &data);
                const LONG inner[4] = {docked.right, docked.bottom, docked.left, docked.top};
                const LONG asked[4] = {data.rc.left, data.rc.top, data.rc.right, data.rc.bottom};
                EXPECT_EQ(asked[edge], inner[edge]);
                Restart();
                EXPECT_EQ(WindowRect(bar->m_hWnd), docked);
            }
        }
        os.DestroyWindow(other);
        bar->DestroyWindow();
        os.RemoveMonitor(second);
    }
}

TEST_F(MultiMonitorBarTest, HiddenAtAnyEdgeOfAnyMonitorTheBarLeavesItsStripThereAndHoldsThatEdgeOfThatMonitorOnly) {
    for (const bool exKnown : {true, false}) {
        os.SetAutoHideBarExKnown(exKnown);
        for (const Layout& layout : kLayouts) {
            const HMONITOR second = os.AddMonitor(layout.second);
            CreateBar();
            for (const RECT& monitor : {layout.second, kPrimary}) {
                for (int edge = ABE_LEFT; edge <= static_cast<int>(ABE_BOTTOM); ++edge) {
                    SCOPED_TRACE(testing::Message()
                                 << layout.name << " " << monitor << " edge " << edge << " " << exKnown);
                    DragTo(Toward(monitor, edge));
                    SetAutoHide(TRUE);
                    bar->ShowAutoHideBar(FALSE);
                    const RECT hidden = WindowRect(bar->m_hWnd);
                    const RECT on{std::max(hidden.left, monitor.left), std::max(hidden.top, monitor.top),
                                  std::min(hidden.right, monitor.right), std::min(hidden.bottom, monitor.bottom)};
                    const bool across = edge == ABE_LEFT || edge == ABE_RIGHT;
                    EXPECT_EQ(across ? on.right - on.left : on.bottom - on.top, 2);
                    EXPECT_EQ(across ? on.bottom - on.top : on.right - on.left,
                              across ? monitor.bottom - monitor.top : monitor.right - monitor.left);
                    // Only the strip shows, and the mouse finds nothing of the bar on the other
                    // monitor, where the rest of the window lies when the edge is where they meet.
                    const RECT other = monitor.left == 0 && monitor.top == 0 ? layout.second : kPrimary;
                    const RECT spill = Overlap(hidden, other);
                    EXPECT_EQ(Overlap(Drawn(), monitor), on);
                    EXPECT_EQ(Overlap(Drawn(), other), RECT({0, 0, 0, 0}));
                    RECT box{};
                    if (spill.right > spill.left) {
                        EXPECT_FALSE(OfBar(os.WindowFromPoint(POINT{spill.left, spill.top})));
                        EXPECT_FALSE(OfBar(os.WindowFromPoint(POINT{spill.right - 1, spill.bottom - 1})));
                    } else {
                        // Beyond an outer edge nothing shows: no region to set at every frame of a slide.
                        EXPECT_EQ(os.GetWindowRgnBox(bar->m_hWnd, &box), 0);
                    }
                    EXPECT_TRUE(OfBar(os.WindowFromPoint(POINT{on.left, on.top})));
                    const auto self = reinterpret_cast<UINT_PTR>(bar->m_hWnd);
                    if (exKnown) {
                        EXPECT_EQ(AutoHideHolder(static_cast<UINT>(edge), monitor), self);
                        EXPECT_EQ(AutoHideHolder(static_cast<UINT>(edge), other), 0U);
                    } else {
                        // The older form speaks of the primary's edges.
                        APPBARDATA query{sizeof(APPBARDATA), bar->m_hWnd, 0, static_cast<UINT>(edge), {}, 0};
                        EXPECT_EQ(os.SHAppBarMessage(ABM_GETAUTOHIDEBAR, &query), self);
                    }
                    // Touching the strip shows it whole at its edge.
                    os.SendMessageA(bar->m_hWnd, WM_NCMOUSEMOVE, HTBORDER, 0);
                    EXPECT_EQ(WindowRect(bar->m_hWnd), Docked(monitor, edge));
                    EXPECT_EQ(Drawn(), Docked(monitor, edge));
                    bar->ShowAutoHideBar(FALSE);
                    SetAutoHide(FALSE);
                    EXPECT_EQ(AutoHideHolder(static_cast<UINT>(edge), monitor), 0U);
                    EXPECT_EQ(Drawn(), Docked(monitor, edge));
                }
            }
            bar->DestroyWindow();
            os.RemoveMonitor(second);
        }
    }
}

TEST_F(MultiMonitorBarTest,
       ABarWhoseMonitorGoesTakesThePrimaryAtItsEdgeAndRowsReturnsWhenItComesBackAndFollowsItsMoves) {
    for (const Layout& layout : kLayouts) {
        for (int edge = ABE_LEFT; edge <= static_cast<int>(ABE_BOTTOM); ++edge) {
            SCOPED_TRACE(testing::Message() << layout.name << " edge " << edge);
            HMONITOR second = os.AddMonitor(layout.second, "\\\\.\\DISPLAY2");
            CreateBar();
            DragTo(Toward(layout.second, edge));
            // Two rows across a top or bottom edge.
            BARPLACEMENT placement = bar->GetPlacement();
            const LONG thickness =
                edge == ABE_TOP || edge == ABE_BOTTOM ? kDockedHeight + kBarClientHeight : kDockedWidth + 10;
            placement.anThickness[edge] = thickness;
            bar->SetPlacement(&placement);
            EXPECT_EQ(WindowRect(bar->m_hWnd), Docked(layout.second, edge, thickness));
            os.RemoveMonitor(second);
            EXPECT_EQ(WindowRect(bar->m_hWnd), Docked(kPrimary, edge, thickness));
            EXPECT_EQ(os.ReservedRect(bar->m_hWnd), std::optional<RECT>(Docked(kPrimary, edge, thickness)));
            // An exit while away keeps the home: the next start goes there when it is back.
            Restart();
            EXPECT_EQ(WindowRect(bar->m_hWnd), Docked(kPrimary, edge, thickness));
            second = os.AddMonitor(layout.second, "\\\\.\\DISPLAY2");
            EXPECT_EQ(WindowRect(bar->m_hWnd), Docked(layout.second, edge, thickness));
            // Moved and resized, it takes the bar along.
            const RECT moved{layout.second.left - 40, layout.second.top + 30, layout.second.right,
                             layout.second.bottom - 20};
            os.MoveMonitor(second, moved);
            EXPECT_EQ(WindowRect(bar->m_hWnd), Docked(moved, edge, thickness));
            Restart();
            EXPECT_EQ(WindowRect(bar->m_hWnd), Docked(moved, edge, thickness));
            // Moved away from everything it covered, it is found by its name.
            const RECT away{-3000, 2000, -2200, 2600};
            os.MoveMonitor(second, away);
            EXPECT_EQ(WindowRect(bar->m_hWnd), Docked(away, edge, thickness));
            os.MoveMonitor(second, moved);
            // A drag to the primary makes it home: the monitor's going then moves nothing.
            DragTo(Toward(kPrimary, edge));
            const RECT home = WindowRect(bar->m_hWnd);
            os.RemoveMonitor(second);
            os.AddMonitor(layout.second, "\\\\.\\DISPLAY2");
            EXPECT_EQ(WindowRect(bar->m_hWnd), home);
            bar->DestroyWindow();
            os.RemoveMonitor(os.MonitorFromRect(&layout.second, MONITOR_DEFAULTTONULL));
        }
    }
}

TEST_F(MultiMonitorBarTest, AFloatingBarStaysWhereverItsCaptionIsOnAMonitorAndOtherwiseMovesWholeOntoTheNearest) {
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(layout.name);
        const HMONITOR second = os.AddMonitor(layout.second);
        CreateBar();
        os.SetKeyDown(VK_CONTROL, true);
        DragTo(Centre(layout.second));
        os.SetKeyDown(VK_CONTROL, false);
        const RECT floating = WindowRect(bar->m_hWnd);
        ASSERT_EQ(bar->GetPlacement().nEdge, EDGE_FLOATING);
        EXPECT_TRUE(Inside(floating, layout.second)) << floating;
        // Another monitor's change leaves it where it is.
        os.ChangeDisplaySize(1024, 768);
        EXPECT_EQ(WindowRect(bar->m_hWnd), floating);
        os.RemoveMonitor(second);
        // The whole caption, above the client area, on the primary.
        const RECT moved = WindowRect(bar->m_hWnd);
        POINT client{0, 0};
        os.ClientToScreen(bar->m_hWnd, &client);
        EXPECT_TRUE(Inside(RECT{moved.left, moved.top, moved.right, client.y}, kPrimary)) << moved;
        EXPECT_EQ(moved.right - moved.left, floating.right - floating.left);
        // Across the boundary of two monitors, it stays.
        os.AddMonitor(layout.second);
        const RECT across = layout.second.left == 1024 ? RECT{980, 100, 1080, 139}
                            : layout.second.top == 768 ? RECT{100, 740, 200, 779}
                            : layout.second.right == 0 ? RECT{-50, 100, 50, 139}
                                                       : RECT{100, -10, 200, 29};
        const WindowFrame frame = FrameOfRect(across);
        os.SetWindowPos(bar->m_hWnd, nullptr, frame.x, frame.y, frame.cx, frame.cy, SWP_NOZORDER);
        os.SendMessageA(bar->m_hWnd, WM_EXITSIZEMOVE, 0, 0);
        os.PumpMessages();
        os.ChangeDisplaySize(1024, 768);
        EXPECT_EQ(WindowRect(bar->m_hWnd), across);
        bar->DestroyWindow();
        os.RemoveMonitor(os.MonitorFromRect(&layout.second, MONITOR_DEFAULTTONULL));
    }
}

TEST_F(MultiMonitorBarTest, AShellThatClipsAcrossMonitorsStillLeavesTheBarOnItsOwnMonitor) {
    const RECT second{1024, 0, 1824, 600};
    os.AddMonitor(second);
    os.SetShellClipsAcrossMonitors(true);
    const HWND other = os.CreateForeignWindow("Other", "Other bar", WS_POPUP, 0, RECT{0, 0, 10, 10});
    APPBARDATA data{sizeof(APPBARDATA), other, 0x1234, ABE_RIGHT, {994, 0, 1024, 768}, 0};
    os.SHAppBarMessage(ABM_NEW, &data);
    os.SHAppBarMessage(ABM_SETPOS, &data);
    CreateBar();
    for (int edge = ABE_LEFT; edge <= static_cast<int>(ABE_BOTTOM); ++edge) {
        SCOPED_TRACE(edge);
        EXPECT_EQ(DragTo(Toward(second, edge)), Docked(second, edge));
    }
}

TEST_F(MultiMonitorBarTest, OnlyAFullScreenProgramOnTheBarsOwnMonitorLowersIt) {
    const RECT second{1024, 0, 1824, 600};
    os.AddMonitor(second);
    CreateBar();
    const auto lowered = [&] { return (os.GetWindowLongA(bar->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0; };
    struct Case {
        RECT bar;
        RECT game;
        const char* cls;
        DWORD style;
        bool lowered;
    };
    // The desktop's own windows, hidden or minimised ones and the bar itself cover nothing.
    const DWORD shown = WS_POPUP | WS_VISIBLE;
    const Case cases[] = {{kPrimary, second, "Game", shown, false},
                          {kPrimary, kPrimary, "Game", shown, true},
                          {second, kPrimary, "Game", shown, false},
                          {second, RECT{1000, -10, 1900, 620}, "Game", shown, true},
                          {second, RECT{1024, 0, 1824, 599}, "Game", shown, false},
                          {second, RECT{1025, 0, 1824, 600}, "Game", shown, false},
                          {second, second, "Game", WS_POPUP, false},
                          {second, second, "Game", shown | WS_MINIMIZE, false},
                          {second, second, "Progman", shown, false},
                          {second, second, "WorkerW", shown, false},
                          {second, second, "#32769", shown, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bar << " " << c.game << " " << c.cls);
        DragTo(Toward(c.bar, ABE_TOP));
        const HWND game = os.CreateForeignWindow(c.cls, "Game", c.style, 0, c.game);
        os.NotifyAppBars(ABN_FULLSCREENAPP, 1);
        EXPECT_EQ(lowered(), c.lowered);
        os.NotifyAppBars(ABN_FULLSCREENAPP, 0);
        EXPECT_FALSE(lowered());
        os.DestroyWindow(game);
    }
}

TEST_F(MultiMonitorBarTest, TheMenuAndTheDialogsOpenOnTheBarsMonitorAndPointsLeftOfThePrimaryReadNegative) {
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(layout.name);
        const HMONITOR second = os.AddMonitor(layout.second);
        CreateBar();
        for (const BOOL autoHide : {FALSE, TRUE}) {
            for (int edge = ABE_LEFT; edge <= static_cast<int>(ABE_BOTTOM); ++edge) {
                SCOPED_TRACE(testing::Message() << edge << " " << autoHide);
                DragTo(Toward(layout.second, edge));
                SetAutoHide(autoHide);
                bar->ShowAutoHideBar(FALSE);
                os.ChooseMenuItem(0);
                Click(IDC_MENU_BUTTON);
                ASSERT_FALSE(os.MenuShowings().empty());
                const MemoryOs::MenuShowing& menu = os.MenuShowings().back();
                EXPECT_TRUE(Contains(layout.second, POINT{menu.x, menu.y})) << menu.x << "," << menu.y;
            }
        }
        // The dialogs centre on it.
        BARPLACEMENT shown = bar->GetPlacement();
        shown.bAutoHide = FALSE;
        bar->SetPlacement(&shown);
        RECT options{};
        os.SetModalIdle([&] {
            const HWND dialog = os.FindWindowA(nullptr, "Vossel Options");
            options = WindowRect(dialog);
            os.SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        bar->ApplyOptions();
        EXPECT_TRUE(Inside(options, layout.second)) << options;
        // So does the folder dialog of a drop on a drive.
        RECT folder{};
        os.SetFolderDialogAnswer([&](const MemoryOs::FolderDialog& dialog) {
            folder = WindowRect(dialog.hwnd);
            return std::optional<std::string>();
        });
        MemoryDragData files{os, std::vector<std::string>{"C:\\a.txt"}};
        const POINT drive = Centre(WindowRect(bar->DriveButtons().at(0)->m_hWnd));
        os.DragTo(&files, drive, MK_LBUTTON, DROPEFFECT_COPY);
        os.DropAt(drive, 0, DROPEFFECT_COPY);
        // In the middle of that monitor's work area, which the bar's strip leaves out.
        MONITORINFOEXW info{};
        info.cbSize = sizeof(info);
        os.GetMonitorInfoW(second, &info);
        const RECT& m = info.rcWork;
        EXPECT_EQ(m.bottom, layout.second.bottom - kDockedHeight);
        EXPECT_EQ(folder.left - m.left, (m.right - m.left - (folder.right - folder.left)) / 2) << folder;
        EXPECT_EQ(folder.top - m.top, (m.bottom - m.top - (folder.bottom - folder.top)) / 2) << folder;
        // A point of a message is signed.
        const POINT at{layout.second.left + 5, layout.second.top + 7};
        os.SendMessageA(bar->m_hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(bar->m_hWnd),
                        MAKELPARAM(static_cast<unsigned>(at.x), static_cast<unsigned>(at.y)));
        EXPECT_EQ(os.MenuShowings().back().x, at.x);
        EXPECT_EQ(os.MenuShowings().back().y, at.y);
        bar->DestroyWindow();
        os.RemoveMonitor(second);
    }
}

TEST_F(MultiMonitorBarTest, OnAMonitorOfAnotherScaleTheBarTakesItsScaleInItsRowsAndGivesItBackOnTheWayHome) {
    const RECT second{1024, 0, 1824, 600};
    os.AddMonitor(second, "", 144);
    CreateBar();
    for (const Loop loop : {Loop::Wine, Loop::Windows}) {
        for (int edge = ABE_LEFT; edge <= static_cast<int>(ABE_BOTTOM); ++edge) {
            SCOPED_TRACE(edge);
            DragTo(Toward(second, edge), loop);
            EXPECT_EQ(os.GetDpiForWindow(bar->m_hWnd), 144U);
            const LONG thickness = OneRowAt(edge, 144);
            EXPECT_EQ(WindowRect(bar->m_hWnd), Docked(second, edge, thickness));
            EXPECT_EQ(os.ReservedRect(bar->m_hWnd), std::optional<RECT>(Docked(second, edge, thickness)));
            DragTo(Toward(kPrimary, edge), loop);
            EXPECT_EQ(os.GetDpiForWindow(bar->m_hWnd), 96U);
            EXPECT_EQ(WindowRect(bar->m_hWnd), Docked(kPrimary, edge));
        }
    }
}

TEST_F(MultiMonitorBarTest, ANewScaleOfTheBarsMonitorRescalesItInItsRowsThereAndOfAnotherLeavesItBe) {
    for (const Layout& layout : kLayouts) {
        const HMONITOR second = os.AddMonitor(layout.second);
        CreateBar();
        for (int edge = ABE_LEFT; edge <= static_cast<int>(ABE_BOTTOM); ++edge) {
            for (const BOOL autoHide : {FALSE, TRUE}) {
                SCOPED_TRACE(testing::Message() << layout.name << " edge " << edge << " auto-hide " << autoHide);
                DragTo(Toward(layout.second, edge));
                SetAutoHide(autoHide);
                bar->ShowAutoHideBar(TRUE);
                for (const UINT dpi : {144U, 120U, 96U}) {
                    os.ChangeMonitorDpi(second, dpi);
                    EXPECT_EQ(os.GetDpiForWindow(bar->m_hWnd), dpi);
                    const RECT docked = Docked(layout.second, edge, OneRowAt(edge, dpi));
                    EXPECT_EQ(WindowRect(bar->m_hWnd), docked) << dpi;
                    EXPECT_EQ(os.ReservedRect(bar->m_hWnd), autoHide ? std::nullopt : std::optional<RECT>(docked));
                    // The primary's scale is none of the bar's business.
                    os.ChangeMonitorDpi(os.PrimaryMonitor(), 192);
                    EXPECT_EQ(os.GetDpiForWindow(bar->m_hWnd), dpi);
                    EXPECT_EQ(WindowRect(bar->m_hWnd), docked);
                    os.ChangeMonitorDpi(os.PrimaryMonitor(), 96);
                }
            }
        }
        bar->DestroyWindow();
        os.RemoveMonitor(second);
    }
}

TEST_F(MultiMonitorBarTest, TheKeyboardsTipOfADriveShowsBesideItOnTheBarsOwnMonitorAtEveryEdgeOfEveryLayout) {
    os.SetDiskFreeSpace('C', 5368709120ULL);
    os.SetDiskFreeSpace('D', 1048576ULL);
    bool longLabel = false;
    for (const Layout& layout : kLayouts) {
        const HMONITOR second = os.AddMonitor(layout.second);
        CreateBar();
        for (const RECT& monitor : {layout.second, kPrimary}) {
            for (int edge = ABE_LEFT; edge <= static_cast<int>(ABE_BOTTOM); ++edge) {
                SCOPED_TRACE(testing::Message() << layout.name << " " << monitor << " edge " << edge);
                DragTo(Toward(monitor, edge));
                os.UserActivates(bar->m_hWnd);
                // C:'s label grows or shrinks meanwhile: its tip takes a new size when the drive answers.
                longLabel = !longLabel;
                os.AddDrive('C', DRIVE_FIXED, longLabel ? "A LABEL MUCH LONGER THAN THE OTHER" : "SYSTEM");
                for (const auto& drive : bar->DriveButtons()) {
                    os.SendMessageA(bar->m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(drive->m_hWnd), TRUE);
                    // As it shows first, and as the drive's answer makes it, with the free space.
                    for (const bool answered : {false, true}) {
                        if (answered) {
                            os.PumpMessages();
                            EXPECT_NE(os.TrackedToolTip().value_or("").find('\n'), std::string::npos);
                        }
                        ExpectTipBeside(drive->m_hWnd, edge == ABE_BOTTOM);
                        const RECT tip = os.TrackedToolTipRect().value_or(RECT{});
                        EXPECT_TRUE(Inside(tip, monitor)) << tip;
                    }
                }
            }
        }
        bar->DestroyWindow();
        os.RemoveMonitor(second);
    }
}

TEST_F(MultiMonitorBarTest, AnotherMonitorMadeThePrimaryMovesEveryMonitorAndTheBarGoesAlongWithItsOwn) {
    for (const Layout& layout : kLayouts) {
        const HMONITOR first = os.PrimaryMonitor();
        const HMONITOR second = os.AddMonitor(layout.second);
        CreateBar();
        // Where each monitor stands once the second is the primary.
        const POINT shift{layout.second.left, layout.second.top};
        const auto moved = [&shift](const RECT& r) {
            return RECT{r.left - shift.x, r.top - shift.y, r.right - shift.x, r.bottom - shift.y};
        };
        for (const RECT& monitor : {layout.second, kPrimary}) {
            for (int edge = ABE_LEFT; edge <= static_cast<int>(ABE_BOTTOM); ++edge) {
                for (const BOOL autoHide : {FALSE, TRUE}) {
                    SCOPED_TRACE(testing::Message()
                                 << layout.name << " " << monitor << " edge " << edge << " auto-hide " << autoHide);
                    DragTo(Toward(monitor, edge));
                    SetAutoHide(autoHide);
                    bar->ShowAutoHideBar(TRUE);
                    os.SetPrimaryMonitor(second);
                    // A display change hides an auto-hide bar again; shown, it is whole at its edge.
                    bar->ShowAutoHideBar(TRUE);
                    EXPECT_EQ(WindowRect(bar->m_hWnd), Docked(moved(monitor), edge));
                    Restart();
                    bar->ShowAutoHideBar(TRUE);
                    EXPECT_EQ(WindowRect(bar->m_hWnd), Docked(moved(monitor), edge));
                    // Hidden, it leaves its strip on its own monitor and nothing on the other.
                    bar->ShowAutoHideBar(FALSE);
                    const RECT other = moved(monitor.left == 0 && monitor.top == 0 ? layout.second : kPrimary);
                    EXPECT_EQ(Overlap(Drawn(), other), RECT({0, 0, 0, 0})) << Drawn();
                    os.SetPrimaryMonitor(first);
                    bar->ShowAutoHideBar(TRUE);
                    EXPECT_EQ(WindowRect(bar->m_hWnd), Docked(monitor, edge));
                }
            }
        }
        bar->DestroyWindow();
        os.RemoveMonitor(second);
    }
}

TEST_F(MultiMonitorBarTest, OnlyANewWorkAreaAmongTheSettingsPlacesTheBarAgain) {
    const RECT second{1024, 0, 1824, 600};
    os.AddMonitor(second);
    CreateBar();
    DragTo(Toward(kPrimary, ABE_TOP));
    // The taskbar moves to the top unannounced; only the word of a new work area moves the bar.
    os.SetTaskbar(ABE_TOP, 30);
    for (const WPARAM setting : {WPARAM{0}, WPARAM{SPI_GETWORKAREA}, WPARAM{SPI_SETWORKAREA}}) {
        os.SendMessageA(bar->m_hWnd, WM_SETTINGCHANGE, setting, 0);
        EXPECT_EQ(WindowRect(bar->m_hWnd).top, setting == SPI_SETWORKAREA ? 30 : 0) << setting;
    }
}

TEST(StoredMonitor, OnlyAWholeRectangleAndASoundDeviceNameNameAMonitorElseThePrimary) {
    struct Case {
        const wchar_t* text;
        const wchar_t* device;
        RECT rect;
    };
    const Case cases[] = {
        {L"1024,0,1824,600 \\\\.\\DISPLAY2", L"\\\\.\\DISPLAY2", {1024, 0, 1824, 600}},
        {L"-1280,-200,0,824 \\\\.\\DISPLAY3", L"\\\\.\\DISPLAY3", {-1280, -200, 0, 824}},
        {L"-2147483648,0,2147483647,5 x", L"x", {-2147483647 - 1, 0, 2147483647, 5}},
        {L"0,0,10,10 0123456789012345678901234567890", L"0123456789012345678901234567890", {0, 0, 10, 10}},
        {L"0,0,10,10 01234567890123456789012345678901", L"", {}},
        {L"", L"", {}},
        {L"0,0,10,10 ", L"", {}},
        {L"0,0,10,10", L"", {}},
        {L"0,0,10 D", L"", {}},
        {L"0,0,10,10,D", L"", {}},
        {L"0,0,0,10 D", L"", {}},
        {L"0,10,10,10 D", L"", {}},
        {L"10,0,0,10 D", L"", {}},
        {L"0,0,2147483648,10 D", L"", {}},
        {L"0,-,10,10 D", L"", {}},
        {L"0,0,99999999999,10 D", L"", {}},
        {L"a,0,10,10 D", L"", {}},
        {L"0, 0,10,10 D", L"", {}},
    };
    for (const Case& c : cases) {
        const StoredMonitor parsed = ParseStoredMonitor(c.text);
        EXPECT_EQ(parsed.device, c.device) << Utf8FromUtf16(c.text);
        if (!parsed.device.empty()) {
            EXPECT_EQ(parsed.rect, c.rect) << Utf8FromUtf16(c.text);
            EXPECT_EQ(ParseStoredMonitor(FormatStoredMonitor(parsed)).device, parsed.device);
            EXPECT_EQ(FormatStoredMonitor(parsed), c.text);
        }
    }
}

TEST_F(MultiMonitorBarTest, AMissingUnknownOrCorruptMonitorValueStartsTheBarOnThePrimary) {
    os.AddMonitor(RECT{1024, 0, 1824, 600});
    CreateBar();
    DragTo(Toward(RECT{1024, 0, 1824, 600}, ABE_RIGHT));
    bar->DestroyWindow();
    ASSERT_EQ(StoredString(os, "State Monitor"), "1024,0,1824,600 \\\\.\\DISPLAY2");
    // The record itself stays 48 bytes, as older versions read it.
    EXPECT_EQ(os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State Info")->data.size(), 48U);
    for (const char* value : {"", "garbage", "1024,0,1824,600 \\\\.\\DISPLAY7", "0,0,0,0 \\\\.\\DISPLAY2"}) {
        SCOPED_TRACE(value);
        os.SetRegistryString(HKEY_CURRENT_USER, kSettingsKey, "State Monitor", value);
        CreateBar();
        // An unknown name at the rectangle of a monitor there finds it by its place.
        const bool byPlace = std::string(value).rfind("1024,0,1824,600", 0) == 0;
        EXPECT_EQ(WindowRect(bar->m_hWnd), Docked(byPlace ? RECT{1024, 0, 1824, 600} : kPrimary, ABE_RIGHT))
            << WindowRect(bar->m_hWnd);
        bar->DestroyWindow();
    }
}

}  // namespace
