#include "platform/Monitors.h"

#include <algorithm>

#include "platform/Os.h"

namespace {

bool IsEmpty(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

bool Describe(HMONITOR monitor, MonitorArea* area) {
    MONITORINFOEXW info{};
    info.cbSize = sizeof(info);
    if (monitor == nullptr || !Os().win.GetMonitorInfoW(monitor, &info) || IsEmpty(info.rcMonitor)) {
        return false;
    }
    area->rect = info.rcMonitor;
    const RECT& w = info.rcWork;
    const RECT& r = info.rcMonitor;
    area->work = RECT{std::max(w.left, r.left), std::max(w.top, r.top), std::min(w.right, r.right),
                      std::min(w.bottom, r.bottom)};
    if (IsEmpty(area->work)) {
        area->work = r;
    }
    area->primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    info.szDevice[std::size(info.szDevice) - 1] = 0;
    area->device = info.szDevice;
    return true;
}

MonitorArea ScreenArea() {
    MonitorArea area{RECT{0, 0, std::max(1, Os().win.GetSystemMetrics(SM_CXSCREEN)),
                          std::max(1, Os().win.GetSystemMetrics(SM_CYSCREEN))},
                     {},
                     true,
                     std::wstring()};
    RECT work{};
    const bool known = Os().win.SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) != 0;
    area.work = known && !IsEmpty(work) ? work : area.rect;
    return area;
}

MonitorArea Described(HMONITOR monitor) {
    MonitorArea area{};
    return Describe(monitor, &area) ? area : PrimaryMonitorArea();
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, RECT*, LPARAM data) {
    auto* list = reinterpret_cast<std::vector<MonitorArea>*>(data);
    MonitorArea area{};
    if (Describe(monitor, &area)) {
        list->insert(area.primary ? list->begin() : list->end(), area);
    }
    return TRUE;
}

}  // namespace

MonitorArea PrimaryMonitorArea() {
    MonitorArea area{};
    if (Describe(Os().win.MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &area)) {
        return area;
    }
    return ScreenArea();
}

MonitorArea MonitorAtPoint(POINT pt) { return Described(Os().win.MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST)); }

MonitorArea MonitorOfRect(const RECT& rect) {
    return Described(Os().win.MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST));
}

std::vector<MonitorArea> AllMonitors() {
    std::vector<MonitorArea> list;
    Os().win.EnumDisplayMonitors(&AddMonitor, reinterpret_cast<LPARAM>(&list));
    if (list.empty() || !list.front().primary) {
        list.insert(list.begin(), PrimaryMonitorArea());
    }
    return list;
}

MonitorArea MonitorNamed(const std::wstring& device, const RECT& rect) {
    // Mostly the monitor is where it stood, or there is no name: no list needed.
    if (device.empty() && rect.right <= rect.left) {
        return PrimaryMonitorArea();
    }
    MonitorArea there{};
    if (Describe(Os().win.MonitorFromRect(&rect, MONITOR_DEFAULTTONULL), &there) && there.device == device) {
        return there;
    }
    const std::vector<MonitorArea> all = AllMonitors();
    if (!device.empty()) {
        for (const MonitorArea& monitor : all) {
            if (monitor.device == device) {
                return monitor;
            }
        }
    }
    for (const MonitorArea& monitor : all) {
        if (SameRect(monitor.rect, rect)) {
            return monitor;
        }
    }
    return all.front();
}

POINT PlaceBeside(const RECT& beside, SIZE size, bool above, const RECT& area) {
    const auto held = [](long long at, long long extent, LONG low, LONG high) {
        return static_cast<LONG>(std::max<long long>(low, std::min<long long>(at, high - extent)));
    };
    const long long y = above ? static_cast<long long>(beside.top) - size.cy : beside.bottom;
    return POINT{held(beside.left, size.cx, area.left, area.right), held(y, size.cy, area.top, area.bottom)};
}

void KeepOnMonitorOf(HWND window, HWND owner) {
    RECT rect{};
    RECT around{};
    if (!Os().win.GetWindowRect(window, &rect) || !Os().win.GetWindowRect(owner, &around)) {
        return;
    }
    const MonitorArea home = MonitorOfRect(around);
    const RECT on = MonitorOfRect(rect).rect;
    if (SameRect(on, home.rect)) {
        return;
    }
    const RECT& work = home.work;
    const LONG x = std::max(work.left, work.left + (work.right - work.left - (rect.right - rect.left)) / 2);
    const LONG y = std::max(work.top, work.top + (work.bottom - work.top - (rect.bottom - rect.top)) / 2);
    Os().win.SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
