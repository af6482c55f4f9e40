// The model's monitors as tests change them, the shell's rules per monitor,
// and what the program's monitor helpers make of the system's answers.
#include <map>

#include "platform/Monitors.h"
#include "platform/Wnd.h"
#include "tests/support/TestOs.h"

namespace {

std::string Str(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// A top-level window that counts the display changes it is told of.
class Watcher : public CWnd {
public:
    int m_nChanges = 0;
    LPARAM m_lastSize = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_DISPLAYCHANGE) {
            ++m_nChanges;
            m_lastSize = lParam;
        }
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

class MonitorsTest : public OsTest {
protected:
    MonitorsTest() {
        for (Watcher& w : m_watchers) {
            Os().win.CreateWindowExA(0, "VosselWnd", "", WS_POPUP, 10, 10, 50, 50, nullptr, 0, &w);
        }
    }
    ~MonitorsTest() override {
        for (Watcher& w : m_watchers) {
            Os().win.DestroyWindow(w.m_hWnd);
        }
    }
    MONITORINFOEXW Info(HMONITOR monitor) {
        MONITORINFOEXW info{};
        info.cbSize = sizeof(info);
        EXPECT_TRUE(os.GetMonitorInfoW(monitor, &info));
        return info;
    }
    HWND Bar() {
        m_bars.emplace_back(std::make_unique<CWnd>());
        Os().win.CreateWindowExA(0, "VosselWnd", "", WS_POPUP, 0, 0, 10, 10, nullptr, 0, m_bars.back().get());
        APPBARDATA data{sizeof(APPBARDATA), m_bars.back()->m_hWnd, WM_APP, 0, {}, 0};
        EXPECT_EQ(os.SHAppBarMessage(ABM_NEW, &data), 1U);
        return m_bars.back()->m_hWnd;
    }
    UINT_PTR Ask(DWORD message, HWND bar, UINT edge, RECT rc, LPARAM lParam = 0, RECT* answer = nullptr) {
        APPBARDATA data{sizeof(APPBARDATA), bar, WM_APP, edge, rc, lParam};
        const UINT_PTR result = os.SHAppBarMessage(message, &data);
        if (answer != nullptr) {
            *answer = data.rc;
        }
        return result;
    }
    Watcher m_watchers[2];
    std::vector<std::unique_ptr<CWnd>> m_bars;
};

TEST_F(MonitorsTest, EachChangeOfTheMonitorsTellsEveryWindowOnceAndMonitorsKeepTheirNames) {
    const HMONITOR primary = os.PrimaryMonitor();
    struct Step {
        const char* what;
        std::function<void()> change;
        int count;
        const char* primarySize;
    };
    HMONITOR second = nullptr;
    HMONITOR third = nullptr;
    const std::vector<Step> steps{
        {"add right",
         [&] {
             second = os.AddMonitor(RECT{1024, 0, 1824, 600});
         },
         2, "1024,768"},
        {"add left",
         [&] {
             third = os.AddMonitor(RECT{-1280, -200, 0, 824}, "\\\\.\\DISPLAY9");
         },
         3, "1024,768"},
        {"move",
         [&] {
             os.MoveMonitor(second, RECT{0, 768, 800, 1368});
         },
         3, "1024,768"},
        {"resize primary",
         [&] {
             os.MoveMonitor(primary, RECT{0, 0, 1280, 1024});
         },
         3, "1280,1024"},
        {"remove", [&] { os.RemoveMonitor(second); }, 2, "1280,1024"},
        {"the primary stays", [&] { os.RemoveMonitor(primary); }, 2, "1280,1024"},
        {"screen size", [&] { os.ChangeDisplaySize(800, 600); }, 2, "800,600"},
    };
    int told = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        // A change that did nothing tells nobody.
        told += std::string(step.what) == "the primary stays" ? 0 : 1;
        for (const Watcher& w : m_watchers) {
            EXPECT_EQ(w.m_nChanges, told);
            EXPECT_EQ(std::to_string(LOWORD(static_cast<std::uintptr_t>(w.m_lastSize))) + "," +
                          std::to_string(HIWORD(static_cast<std::uintptr_t>(w.m_lastSize))),
                      step.primarySize);
        }
        EXPECT_EQ(AllMonitors().size(), static_cast<size_t>(step.count));
        EXPECT_EQ(
            std::to_string(os.GetSystemMetrics(SM_CXSCREEN)) + "," + std::to_string(os.GetSystemMetrics(SM_CYSCREEN)),
            step.primarySize);
        EXPECT_EQ(Utf8FromUtf16(Info(primary).szDevice), "\\\\.\\DISPLAY1");
        if (third != nullptr) {
            EXPECT_EQ(Utf8FromUtf16(Info(third).szDevice), "\\\\.\\DISPLAY9");
        }
    }
    MONITORINFOEXW gone{};
    gone.cbSize = sizeof(gone);
    EXPECT_FALSE(os.GetMonitorInfoW(second, &gone));
    EXPECT_EQ(Str(Info(third).rcMonitor), "-1280,-200,0,824");
    // A new monitor takes a name no other had.
    EXPECT_EQ(Utf8FromUtf16(Info(os.AddMonitor(RECT{800, 0, 1600, 600})).szDevice), "\\\\.\\DISPLAY3");
}

TEST_F(MonitorsTest, StripsAndAutoHideEdgesAreEachMonitorsOwnUnlessTheShellClipsAcrossOrKnowsOnlyThePrimary) {
    os.SetTaskbar(ABE_BOTTOM, 30);
    const HMONITOR second = os.AddMonitor(RECT{1024, 0, 1824, 600});
    const RECT secondRect{1024, 0, 1824, 600};
    const HWND a = Bar();
    const HWND b = Bar();
    const HWND c = Bar();
    RECT placed{};
    // A right bar on the primary reserves its strip there only.
    EXPECT_EQ(Ask(ABM_SETPOS, a, ABE_RIGHT, RECT{994, 0, 1024, 768}), 1U);
    EXPECT_EQ(Str(Info(os.PrimaryMonitor()).rcWork), "0,0,994,738");
    EXPECT_EQ(Str(Info(second).rcWork), "1024,0,1824,600");
    // A right bar on the second is clear of it, and shrinks only the second's work area.
    Ask(ABM_QUERYPOS, b, ABE_RIGHT, secondRect, 0, &placed);
    EXPECT_EQ(Str(placed), "1024,0,1824,600");
    Ask(ABM_SETPOS, b, ABE_RIGHT, RECT{1794, 0, 1824, 600});
    EXPECT_EQ(Str(Info(second).rcWork), "1024,0,1794,600");
    EXPECT_EQ(Str(Info(os.PrimaryMonitor()).rcWork), "0,0,994,738");
    Ask(ABM_QUERYPOS, c, ABE_RIGHT, secondRect, 0, &placed);
    EXPECT_EQ(Str(placed), "1024,0,1794,600");
    // Wine's shell clips by every bar: the primary's right bar turns the second monitor inside out.
    os.SetShellClipsAcrossMonitors(true);
    for (const UINT edge : {ABE_LEFT, ABE_TOP, ABE_RIGHT, ABE_BOTTOM}) {
        Ask(ABM_QUERYPOS, c, edge, secondRect, 0, &placed);
        EXPECT_EQ(Str(placed), "1024,0,994,600");
    }
    EXPECT_EQ(Str(Info(second).rcWork), "1024,0,1794,600");
    os.SetShellClipsAcrossMonitors(false);

    // One auto-hide bar per edge of each monitor; the older message speaks of the primary.
    const RECT primaryRect{0, 0, 1024, 768};
    struct Claim {
        DWORD message;
        HWND bar;
        UINT edge;
        RECT monitor;
        UINT_PTR granted;
    };
    const Claim claims[] = {
        {ABM_SETAUTOHIDEBAREX, a, ABE_LEFT, secondRect, 1},  {ABM_SETAUTOHIDEBAREX, b, ABE_LEFT, secondRect, 0},
        {ABM_SETAUTOHIDEBAREX, b, ABE_LEFT, primaryRect, 1}, {ABM_SETAUTOHIDEBAR, c, ABE_LEFT, secondRect, 0},
        {ABM_SETAUTOHIDEBAR, c, ABE_TOP, secondRect, 1},     {ABM_SETAUTOHIDEBAREX, a, ABE_TOP, primaryRect, 0},
        {ABM_SETAUTOHIDEBAREX, a, ABE_TOP, secondRect, 1},   {ABM_SETAUTOHIDEBAREX, a, ABE_LEFT, secondRect, 1},
    };
    for (const Claim& claim : claims) {
        SCOPED_TRACE(Str(claim.monitor) + " edge " + std::to_string(claim.edge));
        EXPECT_EQ(Ask(claim.message, claim.bar, claim.edge, claim.monitor, TRUE), claim.granted);
    }
    const std::map<std::pair<UINT, bool>, HWND> holders{{{ABE_LEFT, false}, b},
                                                        {{ABE_LEFT, true}, a},
                                                        {{ABE_TOP, false}, c},
                                                        {{ABE_TOP, true}, a},
                                                        {{ABE_RIGHT, false}, nullptr}};
    for (const auto& [where, holder] : holders) {
        const RECT monitor = where.second ? secondRect : primaryRect;
        EXPECT_EQ(Ask(ABM_GETAUTOHIDEBAREX, a, where.first, monitor), reinterpret_cast<UINT_PTR>(holder));
        if (!where.second) {
            EXPECT_EQ(Ask(ABM_GETAUTOHIDEBAR, a, where.first, monitor), reinterpret_cast<UINT_PTR>(holder));
        }
    }
    // Given up, the edge is free; another's claim cannot free it.
    EXPECT_EQ(Ask(ABM_SETAUTOHIDEBAREX, b, ABE_TOP, secondRect, FALSE), 1U);
    EXPECT_EQ(Ask(ABM_GETAUTOHIDEBAREX, b, ABE_TOP, secondRect), reinterpret_cast<UINT_PTR>(a));
    EXPECT_EQ(Ask(ABM_SETAUTOHIDEBAREX, a, ABE_TOP, secondRect, FALSE), 1U);
    EXPECT_EQ(Ask(ABM_GETAUTOHIDEBAREX, b, ABE_TOP, secondRect), 0U);
    // A system before Windows 8 knows neither message.
    os.SetAutoHideBarExKnown(false);
    EXPECT_EQ(Ask(ABM_SETAUTOHIDEBAREX, c, ABE_BOTTOM, secondRect, TRUE), 0U);
    EXPECT_EQ(Ask(ABM_GETAUTOHIDEBAREX, c, ABE_LEFT, secondRect), 0U);
    EXPECT_EQ(Ask(ABM_SETAUTOHIDEBAR, c, ABE_BOTTOM, secondRect, TRUE), 1U);
}

TEST_F(MonitorsTest, TheProgramGetsASoundMonitorWhateverTheSystemAnswers) {
    os.SetTaskbar(ABE_TOP, 20);
    os.AddMonitor(RECT{-640, 0, 0, 480});
    struct Case {
        POINT pt;
        const char* rect;
        bool primary;
    };
    for (const Case& c : {Case{{-1, 0}, "-640,0,0,480", false}, Case{{-5000, 900}, "-640,0,0,480", false},
                          Case{{0, 0}, "0,0,1024,768", true}, Case{{5000, -900}, "0,0,1024,768", true}}) {
        const MonitorArea at = MonitorAtPoint(c.pt);
        EXPECT_EQ(Str(at.rect), c.rect);
        EXPECT_EQ(at.primary, c.primary);
        EXPECT_EQ(Str(MonitorOfRect(RECT{c.pt.x, c.pt.y, c.pt.x + 1, c.pt.y + 1}).rect), c.rect);
    }
    EXPECT_EQ(Str(PrimaryMonitorArea().work), "0,20,1024,768");
    // A work area the taskbar fills, across or down, is the whole monitor; a
    // monitor of no width or height is none.
    for (const UINT edge : {ABE_LEFT, ABE_TOP}) {
        os.SetTaskbar(edge, edge == ABE_LEFT ? 1024 : 768);
        EXPECT_EQ(Str(PrimaryMonitorArea().work), "0,0,1024,768") << edge;
    }
    os.SetTaskbar(ABE_TOP, 20);
    const HMONITOR thin = os.AddMonitor(RECT{2000, 0, 2000, 600});
    const HMONITOR flat = os.AddMonitor(RECT{0, 900, 800, 900});
    ASSERT_EQ(AllMonitors().size(), 2U);
    os.RemoveMonitor(thin);
    os.RemoveMonitor(flat);
    EXPECT_TRUE(AllMonitors().front().primary);
    // Without the system's monitors: the primary screen as the metrics give it, its work area as the system says.
    for (const char* failing : {"GetMonitorInfoW", "EnumDisplayMonitors"}) {
        SCOPED_TRACE(failing);
        os.FailCall(failing);
        const std::vector<MonitorArea> all = AllMonitors();
        ASSERT_FALSE(all.empty());
        EXPECT_EQ(Str(all.front().rect), "0,0,1024,768");
        EXPECT_EQ(Str(all.front().work), "0,20,1024,768");
        EXPECT_TRUE(all.front().primary);
        if (std::string(failing) == "GetMonitorInfoW") {
            EXPECT_EQ(Str(MonitorAtPoint(POINT{-100, 100}).rect), "0,0,1024,768");
            os.FailCall("SystemParametersInfoA");
            EXPECT_EQ(Str(PrimaryMonitorArea().work), "0,0,1024,768");
        }
        os.FailCall(failing, 0);
        os.FailCall("SystemParametersInfoA", 0);
    }
}

}  // namespace
