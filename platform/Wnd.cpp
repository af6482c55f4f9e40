#include "platform/Wnd.h"

#include <algorithm>
#include <vector>

#include "platform/Monitors.h"
#include "platform/OleDropTarget.h"

CWnd::~CWnd() {
    // An object that still owns a window takes it along, so that no message
    // can reach a destroyed object. The handle goes with the window's last message.
    if (m_hWnd != nullptr) {
        Os().win.DestroyWindow(m_hWnd);
    }
}

int CWnd::s_nRetiredObjects = 0;

LRESULT CWnd::Dispatch(CWnd* wnd, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (wnd->m_hWnd == nullptr) {
        wnd->m_hWnd = hwnd;
    }
    const CurrentMessage saved = wnd->m_current;
    wnd->m_current = {msg, wParam, lParam};
    ++wnd->m_nDispatchDepth;
    const LRESULT result = wnd->WindowProc(msg, wParam, lParam);
    --wnd->m_nDispatchDepth;
    wnd->m_current = saved;
    if (msg == WM_NCDESTROY) {
        if (wnd->m_pDropTarget != nullptr) {
            wnd->m_pDropTarget->Revoke();
        }
        if (wnd->m_hWndToolTip != nullptr) {
            Os().win.DestroyWindow(wnd->m_hWndToolTip);
            wnd->m_hWndToolTip = nullptr;
        }
        wnd->m_hWndKeyboardTip = nullptr;
        // Its tip's tool goes with it, however the window was destroyed.
        if (CWnd* parent = Os().win.FromHandle(Os().win.GetParent(hwnd)); parent != nullptr) {
            parent->RemoveChildToolTip(hwnd);
        }
        wnd->m_hWnd = nullptr;
        wnd->m_pfnSuper = nullptr;
    }
    if (wnd->m_bRetired && wnd->m_nDispatchDepth == 0) {
        --s_nRetiredObjects;
        delete wnd;
    }
    return result;
}

void CWnd::Retire(std::unique_ptr<CWnd> wnd) {
    if (wnd == nullptr) {
        return;
    }
    // The messages of the destruction come and go before the mark is set.
    wnd->DestroyWindow();
    if (wnd->m_nDispatchDepth > 0) {
        wnd->m_bRetired = true;
        ++s_nRetiredObjects;
        static_cast<void>(wnd.release());
    }
}

LRESULT CWnd::Default() { return Os().win.DefaultProc(m_hWnd, m_current.msg, m_current.wParam, m_current.lParam); }

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND:
            if (OnCommand(wParam, lParam)) {
                return 0;
            }
            break;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            CWnd* control = item != nullptr ? Os().win.FromHandle(item->hwndItem) : nullptr;
            LRESULT result = 0;
            if (control != nullptr && control->OnChildNotify(msg, wParam, lParam, &result)) {
                return result;
            }
            break;
        }
        case WM_GETOBJECT:
            if (const LRESULT answer = Os().win.AnswerGetObject(m_hWnd, wParam, lParam); answer != 0) {
                return answer;
            }
            break;
        default:
            break;
    }
    return Default();
}

BOOL CWnd::GetAccessibleAnswers(HWND hwnd, AccessibleAnswers* answers) {
    if (hwnd != m_hWnd || (GetStyle() & WS_CHILD) == 0) {
        return FALSE;
    }
    CWnd* parent = Os().win.FromHandle(Os().win.GetParent(m_hWnd));
    return parent != nullptr && parent->GetAccessibleAnswers(hwnd, answers);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    const HWND control = reinterpret_cast<HWND>(lParam);
    if (control != nullptr) {
        CWnd* child = Os().win.FromHandle(control);
        LRESULT result = 0;
        if (child != nullptr && child->OnChildNotify(WM_COMMAND, wParam, lParam, &result)) {
            return TRUE;
        }
    }
    return OnCmdMsg(id, code);
}

BOOL CWnd::OnCmdMsg(UINT, int) { return FALSE; }

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (hwnd == nullptr || !Os().win.SubclassWindow(hwnd, this)) {
        return FALSE;
    }
    m_hWnd = hwnd;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(int id, CWnd* parent) { return SubclassWindow(Os().win.GetDlgItem(parent->m_hWnd, id)); }

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    return Os().win.DestroyWindow(m_hWnd);
}

std::string CWnd::GetWindowText() const {
    const int length = Os().win.GetWindowTextLengthA(m_hWnd);
    if (length <= 0) {
        return {};
    }
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    const int copied = Os().win.GetWindowTextA(m_hWnd, buffer.data(), length + 1);
    return std::string(buffer.data(), static_cast<size_t>(std::max(copied, 0)));
}

void CWnd::SetWindowText(const char* text) { Os().win.SetWindowTextA(m_hWnd, text); }

DWORD CWnd::GetStyle() const { return static_cast<DWORD>(Os().win.GetWindowLongA(m_hWnd, GWL_STYLE)); }

DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(Os().win.GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }

int CWnd::GetDlgCtrlID() const { return Os().win.GetDlgCtrlID(m_hWnd); }

HWND CWnd::GetDlgItem(int id) const { return Os().win.GetDlgItem(m_hWnd, id); }

void CWnd::GetWindowRect(RECT* rect) const {
    if (!Os().win.GetWindowRect(m_hWnd, rect)) {
        *rect = RECT{0, 0, 0, 0};
    }
}

void CWnd::GetClientRect(RECT* rect) const {
    if (!Os().win.GetClientRect(m_hWnd, rect)) {
        *rect = RECT{0, 0, 0, 0};
    }
}

void CWnd::ClientToScreen(POINT* pt) const { Os().win.ClientToScreen(m_hWnd, pt); }

void CWnd::ScreenToClient(RECT* rect) const {
    POINT topLeft{rect->left, rect->top};
    POINT bottomRight{rect->right, rect->bottom};
    Os().win.ScreenToClient(m_hWnd, &topLeft);
    Os().win.ScreenToClient(m_hWnd, &bottomRight);
    *rect = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

BOOL CWnd::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return Os().win.SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
}

void CWnd::MoveWindow(const RECT& rect, BOOL repaint) {
    Os().win.MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
}

void CWnd::Invalidate(BOOL erase) { Os().win.InvalidateRect(m_hWnd, nullptr, erase); }

void CWnd::UpdateWindow() { Os().win.UpdateWindow(m_hWnd); }

LRESULT CWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return Os().win.SendMessageA(m_hWnd, msg, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return Os().win.PostMessageA(m_hWnd, msg, wParam, lParam);
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
    HWND center = alternateOwner != nullptr      ? alternateOwner->m_hWnd
                  : (GetStyle() & WS_CHILD) != 0 ? Os().win.GetParent(m_hWnd)
                                                 : Os().win.GetWindow(m_hWnd, GW_OWNER);
    if (center != nullptr && (!Os().win.IsWindowVisible(center) || Os().win.IsIconic(center))) {
        center = nullptr;
    }
    RECT area = PrimaryMonitorArea().work;
    RECT around = area;
    // Over the window it centres on, within that window's monitor.
    if (center != nullptr && Os().win.GetWindowRect(center, &around)) {
        area = MonitorOfRect(around).work;
    }
    RECT self{};
    GetWindowRect(&self);
    const LONG width = self.right - self.left;
    const LONG height = self.bottom - self.top;
    LONG left = (around.left + around.right) / 2 - width / 2;
    LONG top = (around.top + around.bottom) / 2 - height / 2;
    left = std::max(area.left, std::min(left, area.right - width));
    top = std::max(area.top, std::min(top, area.bottom - height));
    SetWindowPos(nullptr, left, top, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
