// Monitors: the list, the primary, and which monitor a point, a rectangle or
// a window is on. The model is given a monitor left of the primary and one
// below it; Windows answers for whatever the desktop has.
#include <limits>
#include <set>

#include "tests/contract/ContractFixture.h"

namespace {

struct Listed {
    HMONITOR handle;
    RECT rect;
    MONITORINFOEXW info;
};

class MonitorContract : public ContractTest {
protected:
    MonitorContract() {
#ifdef VOSSEL_CONTRACT_MEMORY
        m_os.AddMonitor(RECT{-800, 100, 0, 700});
        m_os.AddMonitor(RECT{200, 768, 1480, 1792});
#endif
        Os().win.EnumDisplayMonitors(&Collect, reinterpret_cast<LPARAM>(&m_list));
    }
    static BOOL CALLBACK Collect(HMONITOR monitor, HDC, RECT* rect, LPARAM data) {
        Listed listed{monitor, *rect, {}};
        listed.info.cbSize = sizeof(listed.info);
        EXPECT_TRUE(Os().win.GetMonitorInfoW(monitor, &listed.info));
        reinterpret_cast<std::vector<Listed>*>(data)->push_back(listed);
        return TRUE;
    }
    static BOOL CALLBACK CountOnce(HMONITOR, HDC, RECT*, LPARAM data) {
        ++*reinterpret_cast<int*>(data);
        return FALSE;
    }
    // How far a point lies from a monitor, squared.
    static long long Gap(POINT p, const RECT& r) {
        const long long dx = std::max({0LL, static_cast<long long>(r.left) - p.x, p.x - (r.right - 1LL)});
        const long long dy = std::max({0LL, static_cast<long long>(r.top) - p.y, p.y - (r.bottom - 1LL)});
        return dx * dx + dy * dy;
    }
    std::vector<Listed> m_list;
};

TEST_F(MonitorContract, EachMonitorIsListedOnceByNameAndTheOnePrimaryIsTheScreenAtTheOrigin) {
    ASSERT_FALSE(m_list.empty());
    int primaries = 0;
    std::set<std::wstring> names;
    for (const Listed& m : m_list) {
        SCOPED_TRACE(Str(m.rect));
        EXPECT_EQ(Str(m.rect), Str(m.info.rcMonitor));
        EXPECT_GT(Width(m.rect), 0);
        EXPECT_GT(Height(m.rect), 0);
        const RECT& w = m.info.rcWork;
        EXPECT_TRUE(w.left >= m.rect.left && w.top >= m.rect.top && w.right <= m.rect.right &&
                    w.bottom <= m.rect.bottom && w.right > w.left && w.bottom > w.top)
            << Str(w);
        const std::wstring name = m.info.szDevice;
        EXPECT_EQ(name.rfind(L"\\\\.\\DISPLAY", 0), 0U);
        names.insert(name);
        if ((m.info.dwFlags & MONITORINFOF_PRIMARY) != 0) {
            ++primaries;
            EXPECT_EQ(Str(m.rect),
                      Str(RECT{0, 0, Os().win.GetSystemMetrics(SM_CXSCREEN), Os().win.GetSystemMetrics(SM_CYSCREEN)}));
            RECT work{};
            ASSERT_TRUE(Os().win.SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
            EXPECT_EQ(Str(work), Str(m.info.rcWork));
            EXPECT_EQ(Os().win.MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTONULL), m.handle);
        }
        for (const Listed& other : m_list) {
            const bool apart = other.rect.left >= m.rect.right || other.rect.right <= m.rect.left ||
                               other.rect.top >= m.rect.bottom || other.rect.bottom <= m.rect.top;
            EXPECT_TRUE(&other == &m || apart) << Str(other.rect);
        }
    }
    EXPECT_EQ(primaries, 1);
    EXPECT_EQ(names.size(), m_list.size());
    // The list ends where the callback says, and then reports failure.
    int calls = 0;
    EXPECT_FALSE(Os().win.EnumDisplayMonitors(&CountOnce, reinterpret_cast<LPARAM>(&calls)));
    EXPECT_EQ(calls, 1);
    MONITORINFOEXW none{};
    none.cbSize = sizeof(none);
    EXPECT_FALSE(Os().win.GetMonitorInfoW(nullptr, &none));
}

TEST_F(MonitorContract, PointsRectanglesAndWindowsFindTheMonitorTheyAreOnOrElseWhatTheFlagSays) {
    const HMONITOR primary = Os().win.MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    RECT all = m_list.front().rect;
    for (const Listed& m : m_list) {
        all = RECT{std::min(all.left, m.rect.left), std::min(all.top, m.rect.top), std::max(all.right, m.rect.right),
                   std::max(all.bottom, m.rect.bottom)};
    }
    for (const Listed& m : m_list) {
        SCOPED_TRACE(Str(m.rect));
        const RECT& r = m.rect;
        const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        // Every corner and the middle are on it, whatever the flag.
        for (const POINT p : {POINT{r.left, r.top}, POINT{r.right - 1, r.top}, POINT{r.left, r.bottom - 1},
                              POINT{r.right - 1, r.bottom - 1}, centre}) {
            for (const DWORD flags : {MONITOR_DEFAULTTONULL, MONITOR_DEFAULTTOPRIMARY, MONITOR_DEFAULTTONEAREST}) {
                EXPECT_EQ(Os().win.MonitorFromPoint(p, flags), m.handle) << p.x << "," << p.y << " " << flags;
            }
        }
        // A rectangle goes where most of it is, though it crosses an edge.
        for (const RECT& across :
             {RECT{centre.x, centre.y, r.right + 20, centre.y + 10},
              RECT{r.left - 20, centre.y, centre.x, centre.y + 10}, RECT{centre.x, r.top - 20, centre.x + 10, centre.y},
              RECT{centre.x, centre.y, centre.x + 10, r.bottom + 20}}) {
            EXPECT_EQ(Os().win.MonitorFromRect(&across, MONITOR_DEFAULTTONULL), m.handle) << Str(across);
        }
        const HWND hwnd = MakeWindow(WS_POPUP, 0, RECT{centre.x - 50, centre.y - 20, centre.x + 50, centre.y + 20});
        EXPECT_EQ(Os().win.MonitorFromWindow(hwnd, MONITOR_DEFAULTTONULL), m.handle);
        // A window that is gone is on no monitor, unless the flag names one.
        const HWND gone = MakeWindow(WS_POPUP, 0, RECT{centre.x - 50, centre.y - 20, centre.x + 50, centre.y + 20});
        Os().win.DestroyWindow(gone);
        EXPECT_EQ(Os().win.MonitorFromWindow(gone, MONITOR_DEFAULTTONULL), nullptr);
        EXPECT_EQ(Os().win.MonitorFromWindow(gone, MONITOR_DEFAULTTOPRIMARY), primary);
        // Far beyond the desktop, level with this monitor, on each side.
        const LONG beyond = 5000;
        for (const POINT p : {POINT{all.left - beyond, centre.y}, POINT{all.right + beyond, centre.y},
                              POINT{centre.x, all.top - beyond}, POINT{centre.x, all.bottom + beyond}}) {
            SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
            EXPECT_EQ(Os().win.MonitorFromPoint(p, MONITOR_DEFAULTTONULL), nullptr);
            EXPECT_EQ(Os().win.MonitorFromPoint(p, MONITOR_DEFAULTTOPRIMARY), primary);
            long long nearest = std::numeric_limits<long long>::max();
            std::set<HMONITOR> closest;
            for (const Listed& other : m_list) {
                const long long gap = Gap(p, other.rect);
                if (gap < nearest) {
                    closest.clear();
                }
                if (gap <= nearest) {
                    nearest = gap;
                    closest.insert(other.handle);
                }
            }
            EXPECT_EQ(closest.count(Os().win.MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST)), 1U);
            const RECT away{p.x, p.y, p.x + 4, p.y + 4};
            EXPECT_EQ(Os().win.MonitorFromRect(&away, MONITOR_DEFAULTTONULL), nullptr);
            EXPECT_EQ(Os().win.MonitorFromRect(&away, MONITOR_DEFAULTTOPRIMARY), primary);
            EXPECT_EQ(closest.count(Os().win.MonitorFromRect(&away, MONITOR_DEFAULTTONEAREST)), 1U);
        }
    }
}

}  // namespace
