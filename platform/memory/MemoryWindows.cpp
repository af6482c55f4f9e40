// The in-memory window system: windows made and destroyed, the z-order,
// and what a window tells of itself (class, text, id, parent, styles).
#include <algorithm>

#include "platform/Wnd.h"
#include "platform/memory/MemoryOs.h"

void MemoryOs::RemoveFromZOrder(HWND hwnd) {
    m_zOrder.erase(std::remove(m_zOrder.begin(), m_zOrder.end(), hwnd), m_zOrder.end());
}

void MemoryOs::PlaceInZOrder(HWND hwnd, HWND insertAfter) {
    Window* window = Find(hwnd);
    if (window == nullptr || window->parent != nullptr) {
        return;
    }
    auto firstNonTopmost = [this]() {
        return std::find_if(m_zOrder.begin(), m_zOrder.end(),
                            [this](HWND h) { return (Find(h)->exStyle & WS_EX_TOPMOST) == 0; });
    };
    if (insertAfter == HWND_NOTOPMOST && (window->exStyle & WS_EX_TOPMOST) == 0) {
        return;  // already in the ordinary band: no change
    }
    RemoveFromZOrder(hwnd);
    if (insertAfter == HWND_TOPMOST) {
        window->exStyle |= WS_EX_TOPMOST;
        m_zOrder.insert(m_zOrder.begin(), hwnd);
    } else if (insertAfter == HWND_NOTOPMOST) {
        window->exStyle &= ~WS_EX_TOPMOST;
        m_zOrder.insert(firstNonTopmost(), hwnd);
    } else if (insertAfter == HWND_BOTTOM) {
        window->exStyle &= ~WS_EX_TOPMOST;
        m_zOrder.push_back(hwnd);
    } else if (insertAfter == HWND_TOP) {
        m_zOrder.insert((window->exStyle & WS_EX_TOPMOST) != 0 ? m_zOrder.begin() : firstNonTopmost(), hwnd);
    } else {
        auto it = std::find(m_zOrder.begin(), m_zOrder.end(), insertAfter);
        if (it == m_zOrder.end()) {
            m_zOrder.insert(firstNonTopmost(), hwnd);
        } else {
            if ((Find(insertAfter)->exStyle & WS_EX_TOPMOST) == 0) {
                window->exStyle &= ~WS_EX_TOPMOST;
            }
            m_zOrder.insert(it + 1, hwnd);
        }
    }
}

void MemoryOs::PlaceChild(HWND hwnd, HWND insertAfter) {
    Window* parent = Find(Find(hwnd)->parent);
    if (parent == nullptr) {
        return;
    }
    std::vector<HWND>& order = parent->childOrder;
    const bool sibling = std::find(order.begin(), order.end(), insertAfter) != order.end();
    const bool top = insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST;
    if (insertAfter == hwnd || (!top && insertAfter != HWND_BOTTOM && !sibling)) {
        return;
    }
    order.erase(std::remove(order.begin(), order.end(), hwnd), order.end());
    if (top) {
        order.insert(order.begin(), hwnd);
    } else if (insertAfter == HWND_BOTTOM) {
        order.push_back(hwnd);
    } else {
        order.insert(std::find(order.begin(), order.end(), insertAfter) + 1, hwnd);
    }
}

HWND MemoryOs::CreateForeignWindow(const std::string& className, const std::string& text, DWORD style, DWORD exStyle,
                                   RECT rect) {
    const HWND hwnd = CreateWindowExA(exStyle, className.c_str(), text.c_str(), style, rect.left, rect.top,
                                      rect.right - rect.left, rect.bottom - rect.top, nullptr, 0, nullptr);
    if (Window* window = Find(hwnd); window != nullptr) {
        window->foreign = true;
    }
    return hwnd;
}

HWND MemoryOs::CreateWindowExA(DWORD exStyle, const char* className, const char* text, DWORD style, int x, int y,
                               int cx, int cy, HWND parent, UINT id, CWnd* object) {
    if (Fails("CreateWindowExA")) {
        return nullptr;
    }
    return MakeWindow(exStyle, className, text, style, RECT{x, y, x + cx, y + cy}, parent, id, object);
}

HWND MemoryOs::MakeWindow(DWORD exStyle, const char* className, const char* text, DWORD style, RECT rect, HWND parent,
                          UINT id, CWnd* object) {
    if (parent != nullptr && Find(parent) == nullptr) {
        return nullptr;
    }
    const HWND hwnd = NewHandle();
    Window window;
    window.className = className != nullptr ? className : "";
    window.text = WideFromAnsi(text != nullptr ? text : "");
    // A tooltip control draws its bubble in a border of its own.
    window.style = style | (EqualNoCase(window.className, TOOLTIPS_CLASSA) ? WS_BORDER : 0);
    window.frameStyle = window.style;
    window.exStyle = exStyle;
    window.rect = rect;
    window.parent = (style & WS_CHILD) != 0 ? parent : nullptr;
    window.owner = (style & WS_CHILD) == 0 ? parent : nullptr;
    window.id = (style & WS_CHILD) != 0 ? static_cast<int>(id) : 0;
    window.object = object;
    window.foreign = window.parent != nullptr && Find(window.parent)->foreign;
    window.dpi = NearestMonitor(rect).dpi;
    m_windows[hwnd] = window;
    if (window.parent == nullptr) {
        PlaceInZOrder(hwnd, (exStyle & WS_EX_TOPMOST) != 0 ? HWND_TOPMOST : HWND_TOP);
    } else {
        // A new child comes last in its parent's z-order, and so in its Tab order.
        Find(window.parent)->childOrder.push_back(hwnd);
    }
    if (object != nullptr) {
        object->m_hWnd = hwnd;
    }
    CREATESTRUCTA create{nullptr,
                         nullptr,
                         nullptr,
                         parent,
                         rect.bottom - rect.top,
                         rect.right - rect.left,
                         rect.top,
                         rect.left,
                         static_cast<LONG>(style),
                         text,
                         className,
                         exStyle};
    if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) ||
        SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    RECT client{};
    GetClientRect(hwnd, &client);
    SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    if (!IsWindow(hwnd)) {
        return nullptr;
    }
    m_winEvents.push_back({EVENT_OBJECT_CREATE, hwnd, OBJID_WINDOW, CHILDID_SELF});
    return hwnd;
}

BOOL MemoryOs::SubclassWindow(HWND hwnd, CWnd* object) {
    Window* window = Find(hwnd);
    if (window == nullptr || window->object != nullptr) {
        return FALSE;
    }
    window->object = object;
    return TRUE;
}

CWnd* MemoryOs::FromHandle(HWND hwnd) {
    Window* window = Find(hwnd);
    return window != nullptr ? window->object : nullptr;
}

void MemoryOs::SendDestroy(HWND hwnd) {
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    for (HWND child : Children(hwnd)) {
        if (Find(child) != nullptr) {
            SendDestroy(child);
        }
    }
}

void MemoryOs::SendNcDestroy(HWND hwnd) {
    for (HWND child : Children(hwnd)) {
        if (Find(child) != nullptr) {
            SendNcDestroy(child);
        }
    }
    if (Find(hwnd) == nullptr) {
        return;
    }
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    if (Window* parent = Find(Find(hwnd)->parent); parent != nullptr) {
        std::vector<HWND>& order = parent->childOrder;
        order.erase(std::remove(order.begin(), order.end(), hwnd), order.end());
    }
    m_hotKeys.erase(
        std::remove_if(m_hotKeys.begin(), m_hotKeys.end(), [hwnd](const HotKey& key) { return key.hwnd == hwnd; }),
        m_hotKeys.end());
    m_winEvents.push_back({EVENT_OBJECT_DESTROY, hwnd, OBJID_WINDOW, CHILDID_SELF});
    m_windows.erase(hwnd);
    RemoveFromZOrder(hwnd);
    m_timers.erase(std::remove_if(m_timers.begin(), m_timers.end(), [hwnd](const Timer& t) { return t.hwnd == hwnd; }),
                   m_timers.end());
    m_appBars.erase(hwnd);
    m_toolTips.erase(hwnd);
    m_tipsShown.erase(hwnd);
    m_tipMaxWidths.erase(hwnd);
    m_trackedTips.erase(hwnd);
    if (m_activeWindow == hwnd) {
        m_activeWindow = nullptr;
    }
    if (m_focus == hwnd) {
        m_focus = nullptr;
    }
}

BOOL MemoryOs::DestroyWindow(HWND hwnd) {
    if (Find(hwnd) == nullptr || hwnd == m_desktop) {
        return FALSE;
    }
    // As on Windows, owned windows go first.
    std::vector<HWND> owned;
    for (const auto& [other, window] : m_windows) {
        if (window.owner == hwnd) {
            owned.push_back(other);
        }
    }
    for (HWND other : owned) {
        DestroyWindow(other);
    }
    SendDestroy(hwnd);
    SendNcDestroy(hwnd);
    return TRUE;
}

HWND MemoryOs::FindWindowA(const char* className, const char* windowName) {
    for (HWND hwnd : m_zOrder) {
        const Window& window = *Find(hwnd);
        if (className != nullptr && !EqualNoCase(window.className, className)) {
            continue;
        }
        if (windowName != nullptr && !EqualNoCase(AnsiFromWide(window.text), windowName)) {
            continue;
        }
        return hwnd;
    }
    return nullptr;
}

BOOL MemoryOs::EnumWindows(WNDENUMPROC proc, LPARAM lParam) {
    const std::vector<HWND> snapshot = m_zOrder;
    for (HWND hwnd : snapshot) {
        if (Find(hwnd) != nullptr && !proc(hwnd, lParam)) {
            return FALSE;
        }
    }
    return TRUE;
}

BOOL MemoryOs::IsWindow(HWND hwnd) { return hwnd != nullptr && Find(hwnd) != nullptr; }

HWND MemoryOs::GetParent(HWND hwnd) {
    const Window* window = Find(hwnd);
    return window != nullptr ? window->parent : nullptr;
}

HWND MemoryOs::GetDlgItem(HWND dialog, int id) {
    for (const auto& [hwnd, window] : m_windows) {
        if (window.parent == dialog && dialog != nullptr && window.id == id) {
            return hwnd;
        }
    }
    return nullptr;
}

int MemoryOs::GetDlgCtrlID(HWND hwnd) {
    const Window* window = Find(hwnd);
    return window != nullptr ? window->id : 0;
}

HWND MemoryOs::GetDesktopWindow() { return m_desktop; }

HWND MemoryOs::WindowFromPoint(POINT pt) {
    for (HWND hwnd : m_zOrder) {
        const Window& window = *Find(hwnd);
        if ((window.style & WS_VISIBLE) == 0 || !Contains(window.rect, pt) ||
            (window.region && !Contains(*window.region, POINT{pt.x - window.rect.left, pt.y - window.rect.top}))) {
            continue;
        }
        HWND found = hwnd;
        for (bool deeper = true; deeper;) {
            deeper = false;
            for (HWND child : Children(found)) {
                RECT rect{};
                GetWindowRect(child, &rect);
                if ((Find(child)->style & WS_VISIBLE) != 0 && Contains(rect, pt)) {
                    found = child;
                    deeper = true;
                    break;
                }
            }
        }
        return found;
    }
    return m_desktop;
}

int MemoryOs::GetClassNameA(HWND hwnd, char* buffer, int size) {
    const Window* window = Find(hwnd);
    if (window == nullptr || Fails("GetClassNameA")) {
        return 0;
    }
    return CopyText(window->className, buffer, size);
}

int MemoryOs::GetWindowTextA(HWND hwnd, char* buffer, int size) {
    const Window* window = Find(hwnd);
    if (window == nullptr) {
        if (buffer != nullptr && size > 0) {
            buffer[0] = '\0';
        }
        return 0;
    }
    return CopyText(AnsiFromWide(window->text), buffer, size);
}

int MemoryOs::GetWindowTextLengthA(HWND hwnd) {
    const Window* window = Find(hwnd);
    return window != nullptr ? static_cast<int>(AnsiFromWide(window->text).size()) : 0;
}

BOOL MemoryOs::SetWindowTextA(HWND hwnd, const char* text) {
    if (Find(hwnd) == nullptr) {
        return FALSE;
    }
    return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text != nullptr ? text : "")) != 0;
}

int MemoryOs::GetWindowTextW(HWND hwnd, WCHAR* buffer, int size) {
    const Window* window = Find(hwnd);
    if (window == nullptr) {
        if (buffer != nullptr && size > 0) {
            buffer[0] = 0;
        }
        return 0;
    }
    return CopyText(window->text, buffer, size);
}

int MemoryOs::GetWindowTextLengthW(HWND hwnd) {
    const Window* window = Find(hwnd);
    return window != nullptr ? static_cast<int>(window->text.size()) : 0;
}

// The model's messages carry 8-bit text, so the wide text is stored as the
// window's procedure would store it, without a WM_SETTEXT of its own.
BOOL MemoryOs::SetWindowTextW(HWND hwnd, const WCHAR* text) {
    Window* window = Find(hwnd);
    if (window == nullptr) {
        return FALSE;
    }
    window->text = text != nullptr ? text : L"";
    if (EqualNoCase(window->className, "Edit") && (window->style & ES_UPPERCASE) != 0) {
        std::transform(window->text.begin(), window->text.end(), window->text.begin(), UpperUnit);
    }
    return TRUE;
}

LONG MemoryOs::GetWindowLongA(HWND hwnd, int index) {
    const Window* window = Find(hwnd);
    if (window == nullptr) {
        return 0;
    }
    switch (index) {
        case GWL_STYLE:
            return static_cast<LONG>(window->style);
        case GWL_EXSTYLE:
            return static_cast<LONG>(window->exStyle);
        case GWL_ID:
            return window->id;
        default:
            return 0;
    }
}

LONG MemoryOs::SetWindowLongA(HWND hwnd, int index, LONG value) {
    Window* window = Find(hwnd);
    if (window == nullptr) {
        return 0;
    }
    const LONG previous = GetWindowLongA(hwnd, index);
    switch (index) {
        case GWL_STYLE:
            window->style = static_cast<DWORD>(value);
            break;
        case GWL_EXSTYLE:
            window->exStyle = static_cast<DWORD>(value);
            break;
        case GWL_ID:
            window->id = value;
            break;
        default:
            return 0;
    }
    return previous;
}
