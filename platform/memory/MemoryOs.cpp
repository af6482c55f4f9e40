// The in-memory backend itself: its construction, the switches that make a
// call fail, and what tests read back of its state.
#include "platform/memory/MemoryOs.h"

#include "platform/Wnd.h"

MemoryOs::MemoryOs()
    : m_services{*this, *this, *this, *this, *this},
      m_metrics{{SM_CXSCREEN, 1024}, {SM_CYSCREEN, 768},  {SM_CXVSCROLL, 17},   {SM_CYHSCROLL, 17},
                {SM_CYCAPTION, 19},  {SM_CYMENU, 19},     {SM_CYSMCAPTION, 16}, {SM_CXBORDER, 1},
                {SM_CYBORDER, 1},    {SM_CXDLGFRAME, 3},  {SM_CYDLGFRAME, 3},   {SM_CXFRAME, 4},
                {SM_CYFRAME, 4},     {SM_CXDOUBLECLK, 4}, {SM_CYDOUBLECLK, 4},  {SM_SWAPBUTTON, 0}},
      m_sysColors{
          {COLOR_BTNFACE, RGB(192, 192, 192)}, {COLOR_BTNTEXT, RGB(0, 0, 0)}, {COLOR_HIGHLIGHT, RGB(0, 0, 128)}} {
    m_desktop = NewHandle();
    Window desktop;
    desktop.className = "#32769";
    desktop.style = WS_POPUP | WS_VISIBLE;
    desktop.rect = RECT{0, 0, 1024, 768};
    m_windows[m_desktop] = desktop;
    m_monitors.push_back(Monitor{reinterpret_cast<HMONITOR>(m_nextMonitor), desktop.rect, L"\\\\.\\DISPLAY1", m_nDpi});
    m_nextDisplay = 2;
    // Keys every Windows installation has.
    for (const char* key : {"HKCU", "HKCU\\SOFTWARE", "HKLM", "HKLM\\SOFTWARE", "HKLM\\SOFTWARE\\MICROSOFT",
                            "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS", "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION",
                            "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN"}) {
        m_registry[key];
    }
}

bool MemoryOs::Fails(const std::string& function) {
    auto it = m_failures.find(function);
    if (it == m_failures.end()) {
        return false;
    }
    Failure& failure = it->second;
    if (failure.skip > 0) {
        --failure.skip;
        return false;
    }
    if (failure.times == 0) {
        return false;
    }
    if (failure.times > 0) {
        --failure.times;
    }
    return true;
}

void MemoryOs::FailCall(const std::string& function, int times, int skip) { m_failures[function] = {times, skip}; }

MemoryOs::Window* MemoryOs::Find(HWND hwnd) {
    auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? nullptr : &it->second;
}

const MemoryOs::Window* MemoryOs::Find(HWND hwnd) const {
    auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? nullptr : &it->second;
}

HWND MemoryOs::NewHandle() {
    m_nextHandle += 4;
    return reinterpret_cast<HWND>(m_nextHandle);
}

void MemoryOs::SetScreenSize(int cx, int cy) {
    m_metrics[SM_CXSCREEN] = cx;
    m_metrics[SM_CYSCREEN] = cy;
    m_windows[m_desktop].rect = RECT{0, 0, cx, cy};
    m_monitors.front().rect = RECT{0, 0, cx, cy};
}

void MemoryOs::ChangeDisplaySize(int cx, int cy) {
    SetScreenSize(cx, cy);
    TellDisplayChange();
}

void MemoryOs::SetMetric(int index, int value) {
    if (index == SM_CXSCREEN || index == SM_CYSCREEN) {
        const int cx = index == SM_CXSCREEN ? value : m_metrics[SM_CXSCREEN];
        const int cy = index == SM_CYSCREEN ? value : m_metrics[SM_CYSCREEN];
        SetScreenSize(cx, cy);
        return;
    }
    m_metrics[index] = value;
}

void MemoryOs::ClearLogs() {
    m_appBarCalls.clear();
    m_windowPosCalls.clear();
    m_updates.clear();
    m_invalidations.clear();
    m_gdiCalls.clear();
    m_shellExecutes.clear();
    m_messageBoxes.clear();
    m_shellErrorBoxes.clear();
    m_menuShowings.clear();
    m_sleeps.clear();
    m_registryChanges.clear();
}

std::map<std::string, int> MemoryOs::LiveObjects() const {
    return {{"GDI objects", LiveGdiObjects()},
            {"menus", LiveMenus()},
            {"windows", static_cast<int>(m_windows.size())},
            {"registry keys", LiveRegistryKeys()},
            {"network enumerations", LiveEnumerations()},
            {"timers", static_cast<int>(m_timers.size())},
            {"global memory blocks", LiveGlobalBlocks()},
            {"drop file lists (global memory)", LiveDropHandles()},
            {"item ID lists", LiveItemLists()},
            {"drop targets", LiveDropTargets()},
            {"tooltip tools", LiveToolTipTools()},
            {"thread handles", LiveThreadHandles()},
            {"hot keys", static_cast<int>(m_hotKeys.size())},
            {"accessible objects", static_cast<int>(m_accessibleObjects.size())},
            {"window objects retired, awaiting their messages", CWnd::RetiredObjects()}};
}

std::vector<HWND> MemoryOs::Children(HWND parent) const {
    if (const Window* window = Find(parent); window != nullptr) {
        return window->childOrder;
    }
    std::vector<HWND> children;
    for (const auto& [hwnd, window] : m_windows) {
        if (window.parent == parent && hwnd != m_desktop) {
            children.push_back(hwnd);
        }
    }
    return children;
}

bool MemoryOs::IsTimerRunning(HWND hwnd, UINT_PTR id, UINT* elapse) const {
    for (const Timer& timer : m_timers) {
        if (timer.hwnd == hwnd && timer.id == id) {
            if (elapse != nullptr) {
                *elapse = timer.elapse;
            }
            return true;
        }
    }
    return false;
}
