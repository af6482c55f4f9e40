// Where the in-memory windows sit: their frames, moves and sizes, showing
// and activation.
#include <algorithm>
#include <utility>

#include "platform/Dpi.h"
#include "platform/memory/MemoryOs.h"

RECT MemoryOs::FrameInsets(DWORD style, DWORD exStyle, UINT dpi) const {
    // As Wine lays frames out: a sizing frame is one border narrower than
    // SM_CXFRAME unless the window also has a border, as a captioned one does.
    int edge = 0;
    if ((style & WS_THICKFRAME) != 0) {
        edge = MetricAt(SM_CXFRAME, dpi) - MetricAt(SM_CXBORDER, dpi) +
               ((style & WS_BORDER) != 0 ? MetricAt(SM_CXBORDER, dpi) : 0);
    } else if ((style & WS_DLGFRAME) != 0) {
        edge = MetricAt(SM_CXDLGFRAME, dpi);
    } else if ((style & WS_BORDER) != 0) {
        edge = MetricAt(SM_CXBORDER, dpi);
    }
    int caption = 0;
    if ((style & WS_CAPTION) == WS_CAPTION) {
        caption = MetricAt((exStyle & WS_EX_TOOLWINDOW) != 0 ? SM_CYSMCAPTION : SM_CYCAPTION, dpi);
    }
    return RECT{edge, edge + caption, edge, edge};
}

int MemoryOs::MetricAt(int index, UINT dpi) const {
    const auto it = m_metrics.find(index);
    const int value = it != m_metrics.end() ? it->second : 0;
    const auto scaled = [dpi](int pixels) { return static_cast<int>(ScaleBetween(pixels, kDefaultDpi, dpi)); };
    // As Wine scales them: bars and icons grow with the scale; a caption or
    // a menu bar has a line below it that does not; a sizing frame is the
    // fixed dialog frame and a border that does, at least a pixel wide.
    // Borders, the dialog frame and everything else stay as they are.
    switch (index) {
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
        case SM_CXICON:
        case SM_CYICON:
            return scaled(value);
        case SM_CYCAPTION:
        case SM_CYSMCAPTION:
        case SM_CYMENU:
            return scaled(value - 1) + 1;
        case SM_CXFRAME:
        case SM_CYFRAME: {
            const int fixed = MetricAt(index == SM_CXFRAME ? SM_CXDLGFRAME : SM_CYDLGFRAME, dpi);
            return fixed + std::max(1, scaled(value - fixed));
        }
        default:
            return value;
    }
}

RECT MemoryOs::ClientRectOnScreen(const Window& window) const {
    RECT outer{};
    // A child's rectangle is kept in its parent's client coordinates.
    if (window.parent != nullptr) {
        const Window* parent = Find(window.parent);
        const RECT parentClient = parent != nullptr ? ClientRectOnScreen(*parent) : RECT{0, 0, 0, 0};
        outer = RECT{window.rect.left + parentClient.left, window.rect.top + parentClient.top,
                     window.rect.right + parentClient.left, window.rect.bottom + parentClient.top};
    } else {
        outer = window.rect;
    }
    // Every window is on the one screen, and drawn at its scale.
    const RECT insets = FrameInsets(window.frameStyle, window.exStyle, DpiOf(window));
    RECT client{outer.left + insets.left, outer.top + insets.top, outer.right - insets.right,
                outer.bottom - insets.bottom};
    client.right = std::max(client.right, client.left);
    client.bottom = std::max(client.bottom, client.top);
    return client;
}

BOOL MemoryOs::GetWindowRect(HWND hwnd, RECT* rect) {
    const Window* window = Find(hwnd);
    if (window == nullptr || rect == nullptr) {
        return FALSE;
    }
    if (window->parent == nullptr) {
        *rect = window->rect;
        return TRUE;
    }
    const RECT parentClient = ClientRectOnScreen(*Find(window->parent));
    *rect = RECT{window->rect.left + parentClient.left, window->rect.top + parentClient.top,
                 window->rect.right + parentClient.left, window->rect.bottom + parentClient.top};
    return TRUE;
}

BOOL MemoryOs::GetClientRect(HWND hwnd, RECT* rect) {
    const Window* window = Find(hwnd);
    if (window == nullptr || rect == nullptr) {
        return FALSE;
    }
    const RECT client = ClientRectOnScreen(*window);
    *rect = RECT{0, 0, client.right - client.left, client.bottom - client.top};
    return TRUE;
}

BOOL MemoryOs::ClientToScreen(HWND hwnd, POINT* pt) {
    const Window* window = Find(hwnd);
    if (window == nullptr || pt == nullptr) {
        return FALSE;
    }
    const RECT client = ClientRectOnScreen(*window);
    pt->x += client.left;
    pt->y += client.top;
    return TRUE;
}

BOOL MemoryOs::ScreenToClient(HWND hwnd, POINT* pt) {
    const Window* window = Find(hwnd);
    if (window == nullptr || pt == nullptr) {
        return FALSE;
    }
    const RECT client = ClientRectOnScreen(*window);
    pt->x -= client.left;
    pt->y -= client.top;
    return TRUE;
}

BOOL MemoryOs::SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    Window* window = Find(hwnd);
    if (window == nullptr || hwnd == m_desktop) {
        return FALSE;
    }
    m_windowPosCalls.push_back({hwnd, insertAfter, x, y, cx, cy, flags});
    // As the system does, positions and sizes are held to 16 bits.
    x = std::clamp(x, -32768, 32767);
    y = std::clamp(y, -32768, 32767);
    cx = std::clamp(cx, 0, 32767);
    cy = std::clamp(cy, 0, 32767);
    RECT oldClient = ClientRectOnScreen(*window);
    RECT rect = window->rect;
    if ((flags & SWP_NOMOVE) == 0) {
        rect = RECT{x, y, x + (rect.right - rect.left), y + (rect.bottom - rect.top)};
    }
    if ((flags & SWP_NOSIZE) == 0) {
        // Sizable and overlapped windows are held to their tracking limits.
        if ((window->style & WS_THICKFRAME) != 0 || (window->style & (WS_POPUP | WS_CHILD)) == 0) {
            ClampToTracking(hwnd, &cx, &cy);
        }
        rect.right = rect.left + std::max(cx, 0);
        rect.bottom = rect.top + std::max(cy, 0);
    }
    if ((flags & SWP_FRAMECHANGED) != 0 || rect.right - rect.left != window->rect.right - window->rect.left ||
        rect.bottom - rect.top != window->rect.bottom - window->rect.top) {
        window->frameStyle = window->style;
    }
    window->rect = rect;
    if ((flags & SWP_SHOWWINDOW) != 0) {
        window->style |= WS_VISIBLE;
    }
    if ((flags & SWP_HIDEWINDOW) != 0) {
        window->style &= ~WS_VISIBLE;
    }
    if ((flags & SWP_NOZORDER) == 0) {
        if (window->parent != nullptr) {
            PlaceChild(hwnd, insertAfter);
        } else {
            PlaceInZOrder(hwnd, insertAfter);
        }
    }
    const RECT newClient = ClientRectOnScreen(*window);
    UINT reported = flags;
    if ((flags & SWP_FRAMECHANGED) == 0 && newClient.right - newClient.left == oldClient.right - oldClient.left &&
        newClient.bottom - newClient.top == oldClient.bottom - oldClient.top) {
        reported |= SWP_NOCLIENTSIZE;
    }
    if (newClient.left == oldClient.left && newClient.top == oldClient.top) {
        reported |= SWP_NOCLIENTMOVE;
    }
    WINDOWPOS pos{hwnd, insertAfter, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, reported};
    SendMessageA(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    // Without SWP_NOACTIVATE a visible top-level window is activated too.
    window = Find(hwnd);
    if (window != nullptr && (flags & SWP_NOACTIVATE) == 0 && (window->style & (WS_CHILD | WS_VISIBLE)) == WS_VISIBLE) {
        SetActiveWindow(hwnd);
    }
    // Moved onto a monitor of another scale, a top-level window is told.
    TellScale(hwnd);
    return TRUE;
}

void MemoryOs::ClampToTracking(HWND hwnd, int* cx, int* cy) {
    const Window& window = *Find(hwnd);
    const RECT insets = FrameInsets(window.style, window.exStyle, DpiOf(window));
    const LONG frameWidth = insets.left + insets.right;
    const LONG frameHeight = insets.top + insets.bottom;
    MINMAXINFO info{};
    if ((window.style & WS_CAPTION) == WS_CAPTION) {
        info.ptMinTrackSize = POINT{112, 27};
    } else {
        info.ptMinTrackSize = POINT{frameWidth, frameHeight};
    }
    info.ptMaxTrackSize = POINT{m_metrics.at(SM_CXSCREEN) + 12, m_metrics.at(SM_CYSCREEN) + 12};
    SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    *cx = std::max<int>(info.ptMinTrackSize.x, std::min<int>(*cx, info.ptMaxTrackSize.x));
    *cy = std::max<int>(info.ptMinTrackSize.y, std::min<int>(*cy, info.ptMaxTrackSize.y));
}

BOOL MemoryOs::MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL repaint) {
    if (!SetWindowPos(hwnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE)) {
        return FALSE;
    }
    // Asked to repaint, the window is drawn anew where it now stands.
    if (repaint) {
        m_invalidations.push_back({hwnd, true});
    }
    return TRUE;
}

BOOL MemoryOs::ShowWindow(HWND hwnd, int show) {
    Window* window = Find(hwnd);
    if (window == nullptr) {
        return FALSE;
    }
    const bool wasVisible = (window->style & WS_VISIBLE) != 0;
    // Minimised windows keep their rectangle here; only the state is modelled.
    constexpr int kShowMinNoActive = 7;
    constexpr int kForceMinimize = 11;
    if (show == SW_HIDE) {
        window->style &= ~WS_VISIBLE;
    } else {
        window->style |= WS_VISIBLE;
    }
    if (show == SW_MINIMIZE || show == SW_SHOWMINIMIZED || show == kShowMinNoActive || show == kForceMinimize) {
        window->style |= WS_MINIMIZE;
    } else if (show == SW_RESTORE || show == SW_SHOWNORMAL) {
        window->style &= ~WS_MINIMIZE;
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL MemoryOs::UpdateWindow(HWND hwnd) {
    m_updates.push_back(hwnd);
    return IsWindow(hwnd);
}

BOOL MemoryOs::InvalidateRect(HWND hwnd, const RECT*, BOOL erase) {
    m_invalidations.push_back({hwnd, erase != FALSE});
    return hwnd == nullptr || IsWindow(hwnd);
}

BOOL MemoryOs::AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
    return AdjustWindowRectExForDpi(rect, style, menu, exStyle, m_nSystemDpi);
}

BOOL MemoryOs::AdjustWindowRectExForDpi(RECT* rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi) {
    if (rect == nullptr) {
        return FALSE;
    }
    const RECT insets = FrameInsets(style, exStyle, dpi);
    rect->left -= insets.left;
    rect->top -= insets.top + (menu ? MetricAt(SM_CYMENU, dpi) : 0);
    rect->right += insets.right;
    rect->bottom += insets.bottom;
    return TRUE;
}

HWND MemoryOs::GetActiveWindow() { return m_activeWindow; }

HWND MemoryOs::SetActiveWindow(HWND hwnd) {
    if (Find(hwnd) == nullptr) {
        return nullptr;
    }
    const HWND previous = m_activeWindow;
    if (previous == hwnd) {
        return previous;
    }
    m_activeWindow = hwnd;
    if (previous != nullptr) {
        SendMessageA(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hwnd));
    }
    SendMessageA(hwnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
    return previous;
}

int MemoryOs::SetWindowRgn(HWND hwnd, HRGN region, BOOL) {
    Window* window = Find(hwnd);
    const auto owned = m_regions.find(region);
    if (window == nullptr || (region != nullptr && owned == m_regions.end()) || Fails("SetWindowRgn")) {
        return 0;
    }
    // The region becomes the window's, and the one it had is freed.
    window->region.reset();
    if (region != nullptr) {
        window->region = owned->second;
        m_regions.erase(owned);
    }
    // As the system does, the window is told its frame changed.
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return 1;
}

int MemoryOs::GetWindowRgnBox(HWND hwnd, RECT* rect) {
    const Window* window = Find(hwnd);
    if (window == nullptr || !window->region || rect == nullptr) {
        return 0;
    }
    *rect = *window->region;
    return SIMPLEREGION;
}
