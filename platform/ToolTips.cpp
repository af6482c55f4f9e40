// The framework's automatic tooltips.
#include "platform/Wnd.h"

namespace {

BOOL CALLBACK AddTool(HWND child, LPARAM lParam) {
    const CWnd* owner = reinterpret_cast<const CWnd*>(lParam);
    if (Os().win.GetParent(child) != owner->m_hWnd) {
        return TRUE;
    }
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    // The tooltip watches the child's mouse messages itself.
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner->m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(child);
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    Os().win.SendMessageA(owner->m_hWndToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
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
    Os().win.EnumChildWindows(m_hWnd, AddTool, reinterpret_cast<LPARAM>(this));
    return TRUE;
}
