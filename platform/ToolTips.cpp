// The framework's automatic tooltips.
#include "platform/Monitors.h"
#include "platform/Wnd.h"

namespace {

TOOLINFOA ChildTool(const CWnd& owner, HWND child) {
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    // The tooltip watches the child's mouse messages itself.
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner.m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(child);
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    return tool;
}

// The keyboard's tip: a tracking tool named by the child's id, so that the
// owner is asked for its text as for the child's.
TOOLINFOA KeyboardTool(const CWnd& owner, HWND child) {
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_TRACK;
    tool.hwnd = owner.m_hWnd;
    tool.uId = static_cast<UINT_PTR>(Os().win.GetDlgCtrlID(child));
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    return tool;
}

BOOL CALLBACK AddTool(HWND child, LPARAM lParam) {
    reinterpret_cast<CWnd*>(lParam)->AddChildToolTip(child);
    return TRUE;
}

}  // namespace

BOOL CWnd::EnableToolTips(BOOL enable) {
    if (!enable) {
        if (m_hWndToolTip != nullptr) {
            Os().win.DestroyWindow(m_hWndToolTip);
            m_hWndToolTip = nullptr;
        }
        return TRUE;
    }
    if (m_hWndToolTip != nullptr) {
        return TRUE;
    }
    // A bar at the screen edge is seldom the active window: its tips must
    // show all the same. Texts are shown as given, ampersands included.
    // The tip has no owner: Wine inserts a window that owns a topmost popup
    // after that popup, where it stays out of the topmost band however often
    // HWND_TOPMOST is asked for. A topmost tip needs no owner to show above
    // its window, and the window destroys it itself.
    m_hWndToolTip = Os().win.CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0, nullptr, 0, nullptr);
    if (m_hWndToolTip == nullptr) {
        return FALSE;
    }
    // Texts may have several lines, which only a tip with a width to keep shows.
    Os().win.SendMessageA(m_hWndToolTip, TTM_SETMAXTIPWIDTH, 0, Os().win.GetSystemMetrics(SM_CXSCREEN));
    Os().win.EnumChildWindows(m_hWnd, AddTool, reinterpret_cast<LPARAM>(this));
    return TRUE;
}

void CWnd::AddChildToolTip(HWND child) {
    if (m_hWndToolTip == nullptr || Os().win.GetParent(child) != m_hWnd) {
        return;
    }
    TOOLINFOA tool = ChildTool(*this, child);
    Os().win.SendMessageA(m_hWndToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CWnd::RemoveChildToolTip(HWND child) {
    // A tool outlives its window: the tooltip would keep one per window ever made.
    if (m_hWndToolTip == nullptr) {
        return;
    }
    TOOLINFOA tool = ChildTool(*this, child);
    Os().win.SendMessageA(m_hWndToolTip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CWnd::UpdateChildToolTip(HWND child) {
    if (m_hWndToolTip == nullptr) {
        return;
    }
    TOOLINFOA tool = ChildTool(*this, child);
    Os().win.SendMessageA(m_hWndToolTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    Os().win.SendMessageA(m_hWndToolTip, TTM_UPDATE, 0, 0);
    // The keyboard's tip, shown anew in the size of its new text, goes where that size fits.
    if (m_hWndKeyboardTip != nullptr) {
        PlaceKeyboardTip(nullptr);
    }
}

void CWnd::ShowChildToolTip(HWND child, const RECT& beside, bool above, const RECT& area) {
    if (m_hWndToolTip == nullptr) {
        return;
    }
    if (m_hWndKeyboardTip != nullptr) {
        TOOLINFOA shown = KeyboardTool(*this, m_hWndKeyboardTip);
        Os().win.SendMessageA(m_hWndToolTip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&shown));
        Os().win.SendMessageA(m_hWndToolTip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&shown));
        m_hWndKeyboardTip = nullptr;
    }
    if (child == nullptr || Os().win.GetParent(child) != m_hWnd || Os().win.GetDlgCtrlID(child) == 0) {
        return;
    }
    TOOLINFOA tool = KeyboardTool(*this, child);
    if (Os().win.SendMessageA(m_hWndToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) == 0) {
        return;
    }
    m_hWndKeyboardTip = child;
    m_keyboardTip = KeyboardTipPlace{beside, above, area};
    PlaceKeyboardTip(&tool);
}

void CWnd::PlaceKeyboardTip(TOOLINFOA* activate) {
    // The control places a tracking tip by the point itself, but onto
    // whichever monitor the most of it lies on, and Wine's reads the point's
    // halves unsigned, which puts a tip left of or above the primary on the
    // far side of it. So the tip is moved where the size it has fits; the
    // point is given first, since a move has the control ask for the text
    // anew and size the window for it, as showing it does.
    const KeyboardTipPlace& place = m_keyboardTip;
    Os().win.SendMessageA(m_hWndToolTip, TTM_TRACKPOSITION, 0,
                          MAKELPARAM(static_cast<unsigned>(place.beside.left) & 0xFFFF,
                                     static_cast<unsigned>(place.beside.bottom) & 0xFFFF));
    if (activate != nullptr) {
        Os().win.SendMessageA(m_hWndToolTip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(activate));
    }
    RECT shown{};
    if (!Os().win.GetWindowRect(m_hWndToolTip, &shown)) {
        return;
    }
    const POINT at =
        PlaceBeside(place.beside, SIZE{shown.right - shown.left, shown.bottom - shown.top}, place.above, place.area);
    Os().win.SetWindowPos(m_hWndToolTip, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
