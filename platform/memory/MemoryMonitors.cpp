// The monitors of the in-memory desktop.
#include <algorithm>
#include <limits>

#include "platform/memory/MemoryOs.h"

namespace {

long long Overlap(const RECT& a, const RECT& b) {
    const long long cx = std::max(0LL, static_cast<long long>(std::min(a.right, b.right)) - std::max(a.left, b.left));
    const long long cy = std::max(0LL, static_cast<long long>(std::min(a.bottom, b.bottom)) - std::max(a.top, b.top));
    return cx * cy;
}

// How far apart two rectangles are, squared; 0 when they touch or overlap.
long long Gap(const RECT& a, const RECT& b) {
    const long long dx =
        std::max({0LL, static_cast<long long>(b.left) - a.right, static_cast<long long>(a.left) - b.right});
    const long long dy =
        std::max({0LL, static_cast<long long>(b.top) - a.bottom, static_cast<long long>(a.top) - b.bottom});
    return dx * dx + dy * dy;
}

}  // namespace

HMONITOR MemoryOs::AddMonitor(RECT rect, const std::string& device, UINT dpi) {
    m_nextMonitor += 4;
    const std::wstring name =
        device.empty() ? L"\\\\.\\DISPLAY" + std::to_wstring(m_nextDisplay++) : Utf16FromUtf8(device);
    m_monitors.push_back(Monitor{reinterpret_cast<HMONITOR>(m_nextMonitor), rect, name, dpi != 0 ? dpi : m_nDpi});
    TellDisplayChange();
    return m_monitors.back().handle;
}

void MemoryOs::RemoveMonitor(HMONITOR monitor) {
    const auto it = std::find_if(m_monitors.begin() + 1, m_monitors.end(),
                                 [monitor](const Monitor& m) { return m.handle == monitor; });
    if (it != m_monitors.end()) {
        m_monitors.erase(it);
        TellDisplayChange();
    }
}

void MemoryOs::MoveMonitor(HMONITOR monitor, RECT rect) {
    if (monitor == PrimaryMonitor()) {
        SetScreenSize(rect.right - rect.left, rect.bottom - rect.top);
    } else {
        const auto it = std::find_if(m_monitors.begin(), m_monitors.end(),
                                     [monitor](const Monitor& m) { return m.handle == monitor; });
        if (it == m_monitors.end()) {
            return;
        }
        it->rect = rect;
    }
    TellDisplayChange();
}

void MemoryOs::SetPrimaryMonitor(HMONITOR monitor) {
    const auto it =
        std::find_if(m_monitors.begin(), m_monitors.end(), [monitor](const Monitor& m) { return m.handle == monitor; });
    if (it == m_monitors.end() || it == m_monitors.begin()) {
        return;
    }
    const POINT origin{it->rect.left, it->rect.top};
    for (Monitor& each : m_monitors) {
        each.rect = RECT{each.rect.left - origin.x, each.rect.top - origin.y, each.rect.right - origin.x,
                         each.rect.bottom - origin.y};
    }
    std::rotate(m_monitors.begin(), it, it + 1);
    const RECT& primary = m_monitors.front().rect;
    SetScreenSize(primary.right, primary.bottom);
    TellDisplayChange();
}

void MemoryOs::TellDisplayChange() {
    const RECT& primary = m_monitors.front().rect;
    for (HWND hwnd : TopLevelZOrder()) {
        SendMessageA(hwnd, WM_DISPLAYCHANGE, 32,
                     MAKELPARAM(static_cast<unsigned>(primary.right), static_cast<unsigned>(primary.bottom)));
    }
}

const MemoryOs::Monitor* MemoryOs::FindMonitor(HMONITOR monitor) const {
    const auto it =
        std::find_if(m_monitors.begin(), m_monitors.end(), [monitor](const Monitor& m) { return m.handle == monitor; });
    return it != m_monitors.end() ? &*it : nullptr;
}

const MemoryOs::Monitor& MemoryOs::NearestMonitor(const RECT& rect) const {
    const Monitor* best = &m_monitors.front();
    long long most = 0;
    for (const Monitor& monitor : m_monitors) {
        const long long overlap = Overlap(rect, monitor.rect);
        if (overlap > most) {
            most = overlap;
            best = &monitor;
        }
    }
    if (most > 0) {
        return *best;
    }
    long long nearest = std::numeric_limits<long long>::max();
    for (const Monitor& monitor : m_monitors) {
        const long long gap = Gap(rect, monitor.rect);
        if (gap < nearest) {
            nearest = gap;
            best = &monitor;
        }
    }
    return *best;
}

HMONITOR MemoryOs::MonitorFromRect(const RECT* rect, DWORD flags) {
    if (rect == nullptr) {
        return nullptr;
    }
    // An empty rectangle stands for its top-left point.
    const RECT area{rect->left, rect->top, std::max(rect->right, rect->left + 1),
                    std::max(rect->bottom, rect->top + 1)};
    const bool on = std::any_of(m_monitors.begin(), m_monitors.end(),
                                [&area](const Monitor& m) { return Overlap(area, m.rect) > 0; });
    if (!on && flags != MONITOR_DEFAULTTONEAREST) {
        return flags == MONITOR_DEFAULTTOPRIMARY ? PrimaryMonitor() : nullptr;
    }
    return NearestMonitor(area).handle;
}

HMONITOR MemoryOs::MonitorFromPoint(POINT pt, DWORD flags) {
    const RECT point{pt.x, pt.y, pt.x + 1, pt.y + 1};
    return MonitorFromRect(&point, flags);
}

HMONITOR MemoryOs::MonitorFromWindow(HWND hwnd, DWORD flags) {
    RECT rect{};
    if (!GetWindowRect(hwnd, &rect)) {
        return flags == MONITOR_DEFAULTTONULL ? nullptr : PrimaryMonitor();
    }
    return MonitorFromRect(&rect, flags);
}

BOOL MemoryOs::GetMonitorInfoW(HMONITOR monitor, MONITORINFOEXW* info) {
    const Monitor* found = FindMonitor(monitor);
    if (found == nullptr || info == nullptr || info->cbSize != sizeof(MONITORINFOEXW) || Fails("GetMonitorInfoW")) {
        return FALSE;
    }
    info->rcMonitor = found->rect;
    info->rcWork = WorkAreaOf(*found);
    info->dwFlags = found == &m_monitors.front() ? MONITORINFOF_PRIMARY : 0;
    CopyText(found->device, info->szDevice, static_cast<int>(std::size(info->szDevice)));
    return TRUE;
}

BOOL MemoryOs::EnumDisplayMonitors(MONITORENUMPROC proc, LPARAM data) {
    if (proc == nullptr || Fails("EnumDisplayMonitors")) {
        return FALSE;
    }
    // The callback may change the list; it sees the monitors there were.
    const std::vector<Monitor> monitors = m_monitors;
    for (const Monitor& monitor : monitors) {
        RECT rect = monitor.rect;
        // As the system does, a list the callback ends reports failure.
        if (!proc(monitor.handle, nullptr, &rect, data)) {
            return FALSE;
        }
    }
    return TRUE;
}
