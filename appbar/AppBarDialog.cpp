#include "appbar/AppBarDialog.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "appbar/AppBarGeometry.h"

UINT g_nAppBarNotifyMsg = 0;

namespace {

constexpr UINT_PTR kAutoHideTimer = 1;
constexpr UINT kAutoHidePeriod = 400;

const char kAutoHideRefused[] =
    "There is already an auto hidden window on this edge.\nOnly one auto hidden window is allowed on each edge.";

}  // namespace

CAppBarDialog::CAppBarDialog(UINT templateId, CWnd* parent)
    : CDialog(templateId, parent),
      m_placement{sizeof(BARPLACEMENT), static_cast<LONG>(ABE_BOTTOM), FALSE, FALSE, {0, 0, 0, 0}, {0, 0, 0, 0}} {
    // The same name always gives the same id, so registering again is harmless.
    g_nAppBarNotifyMsg = Os().win.RegisterWindowMessageA("AppBarNotify");
    m_nTaskbarState = static_cast<UINT>(SendAppBarMessage(ABM_GETSTATE, static_cast<UINT>(-1), 0, nullptr));
}

UINT_PTR CAppBarDialog::SendAppBarMessage(DWORD dwMessage, UINT uEdge, LPARAM lParam, RECT* pRect) {
    APPBARDATA data{};
    data.cbSize = sizeof(APPBARDATA);
    data.hWnd = m_hWnd;
    data.uCallbackMessage = g_nAppBarNotifyMsg;
    data.uEdge = uEdge;
    if (pRect != nullptr) {
        data.rc = *pRect;
    }
    data.lParam = lParam;
    const UINT_PTR result = Os().shell.SHAppBarMessage(dwMessage, &data);
    if (pRect != nullptr) {
        *pRect = data.rc;
    }
    return result;
}

BOOL CAppBarDialog::SetPlacement(const BARPLACEMENT* placement) {
    const size_t size = std::min<size_t>(placement->cbSize, sizeof(BARPLACEMENT));
    std::memcpy(&m_placement, placement, size);
    m_placement.cbSize = sizeof(BARPLACEMENT);
    if (!IsWindow()) {
        return FALSE;
    }
    ApplyEdge(GetEffectiveEdge());
    return TRUE;
}

void CAppBarDialog::ApplyEdge(int nEdge) {
    // Never hold an auto-hide edge across a change.
    const int held = FindAutoHideEdge();
    if (held != -1) {
        SendAppBarMessage(ABM_SETAUTOHIDEBAR, static_cast<UINT>(held), FALSE, nullptr);
    }
    m_placement.nEdge = nEdge;

    if (nEdge == EDGE_FLOATING) {
        SendAppBarMessage(ABM_SETPOS, static_cast<UINT>(EDGE_FLOATING), 0, nullptr);
        const RECT& rc = m_placement.rcFloating;
        SetWindowPos(nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (nEdge == EDGE_NONE) {
        SendAppBarMessage(ABM_REMOVE, static_cast<UINT>(-1), 0, nullptr);
    } else {
        const int edge = GetEffectiveEdge();
        if (m_placement.bAutoHide &&
            SendAppBarMessage(ABM_SETAUTOHIDEBAR, static_cast<UINT>(edge), TRUE, nullptr) == 0) {
            m_placement.bAutoHide = FALSE;
            OnAutoHideRefused();
        }
        RECT rect{};
        CalcDockRect(edge, &rect);
        if (m_placement.bAutoHide) {
            // An auto-hide bar reserves nothing.
            SendAppBarMessage(ABM_SETPOS, ABE_LEFT, 0, nullptr);
        } else {
            SendAppBarMessage(ABM_SETPOS, static_cast<UINT>(nEdge), 0, &rect);
        }
        CalcAutoHidePos(m_bAutoHideShown, &rect);
        SlideWindowTo(&rect);
    }

    SetWindowPos(ZOrderInsertAfter(m_placement.bAlwaysOnTop, m_bFullScreenApp), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendAppBarMessage(ABM_ACTIVATE, static_cast<UINT>(-1), 0, nullptr);
    OnPlacementChanged(FALSE, nEdge);
}

void CAppBarDialog::CalcDockRect(int nEdge, RECT* pRect) {
    if (nEdge == EDGE_FLOATING) {
        return;
    }
    *pRect = RECT{0, 0, Os().win.GetSystemMetrics(SM_CXSCREEN), Os().win.GetSystemMetrics(SM_CYSCREEN)};
    // An auto-hide bar asks nothing and spans the whole side.
    if (!m_placement.bAutoHide) {
        SendAppBarMessage(ABM_QUERYPOS, static_cast<UINT>(nEdge), 0, pRect);
    }
    *pRect = CutToThickness(*pRect, nEdge, m_placement.anThickness);
}

int CAppBarDialog::FindAutoHideEdge() {
    for (int edge = ABE_LEFT; edge <= static_cast<int>(ABE_BOTTOM); ++edge) {
        const auto holder =
            reinterpret_cast<HWND>(SendAppBarMessage(ABM_GETAUTOHIDEBAR, static_cast<UINT>(edge), 0, nullptr));
        if (holder == m_hWnd) {
            return edge;
        }
    }
    return -1;
}

BOOL CAppBarDialog::CalcAutoHidePos(BOOL bShow, RECT* pRect) {
    const int edge = GetEffectiveEdge();
    if (!IsDockEdge(edge) || !m_placement.bAutoHide) {
        return FALSE;
    }
    const ScreenMetrics screen{Os().win.GetSystemMetrics(SM_CXSCREEN), Os().win.GetSystemMetrics(SM_CYSCREEN),
                               Os().win.GetSystemMetrics(SM_CXBORDER), Os().win.GetSystemMetrics(SM_CYBORDER)};
    *pRect = AutoHidePosition(*pRect, edge, bShow, screen);
    return TRUE;
}

void CAppBarDialog::ShowAutoHideBar(BOOL bShow) {
    RECT rect{};
    GetWindowRect(&rect);
    m_bAutoHideShown = TRUE;
    if (CalcAutoHidePos(bShow, &rect)) {
        m_bAutoHideShown = bShow;
        SlideWindowTo(&rect);
    }
}

void CAppBarDialog::SlideWindowTo(const RECT* pTarget) {
    constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
    BOOL fullDrag = FALSE;
    if (!Os().win.SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &fullDrag, 0)) {
        fullDrag = FALSE;
    }
    RECT start{};
    GetWindowRect(&start);
    if (fullDrag && std::memcmp(&start, pTarget, sizeof(RECT)) != 0) {
        const DWORD t0 = Os().sys.GetTickCount();
        const DWORD tEnd = t0 + kSlideDuration;
        // Each frame interpolates from the start, so a slow frame only
        // drops frames, never distance. Past a wrap of the tick count tEnd
        // lies below t0 and the bar moves at once.
        for (DWORD now = Os().sys.GetTickCount(); now < tEnd; now = Os().sys.GetTickCount()) {
            const RECT frame = SlideFrame(start, *pTarget, now - t0);
            SetWindowPos(nullptr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top, kFlags);
            UpdateWindow();
        }
    }
    SetWindowPos(nullptr, pTarget->left, pTarget->top, pTarget->right - pTarget->left, pTarget->bottom - pTarget->top,
                 kFlags);
    UpdateWindow();
}

void CAppBarDialog::FollowTaskbarState(UINT nChanged, UINT nState) {
    bool changed = false;
    const BOOL taskbarAutoHide = (nState & ABS_AUTOHIDE) != 0 ? TRUE : FALSE;
    if ((nChanged & ABS_AUTOHIDE) != 0 && (m_nOptions & BARF_FOLLOWAUTOHIDE) != 0 &&
        m_placement.bAutoHide != taskbarAutoHide) {
        m_placement.bAutoHide = taskbarAutoHide;
        changed = true;
    }
    if ((nChanged & ABS_ALWAYSONTOP) != 0 && (m_nOptions & BARF_FOLLOWTOPMOST) != 0) {
        m_placement.bAlwaysOnTop = (nState & ABS_ALWAYSONTOP) != 0 ? TRUE : FALSE;
        changed = true;
    }
    if (changed) {
        ApplyEdge(GetEffectiveEdge());
        ShowAutoHideBar(FALSE);
    }
}

void CAppBarDialog::OnPlacementChanged(BOOL, int) {}

void CAppBarDialog::OnAutoHideRefused() {
    const std::string caption = GetWindowText();
    Os().win.MessageBoxA(nullptr, kAutoHideRefused, caption.c_str(), MB_ICONERROR | MB_OK);
}

void CAppBarDialog::OnFullScreenApp(BOOL bOpen) {
    m_bFullScreenApp = bOpen;
    ApplyEdge(GetEffectiveEdge());
}

void CAppBarDialog::OnTaskbarPosChanged() {
    // Only a bar that reserves a strip has to make room.
    if (GetEffectiveEdge() != EDGE_FLOATING && !m_placement.bAutoHide) {
        ApplyEdge(GetEffectiveEdge());
    }
}

void CAppBarDialog::OnTaskbarStateChanged(UINT nChanged, UINT nState) { FollowTaskbarState(nChanged, nState); }

void CAppBarDialog::OnWindowArrange(BOOL) {}

LRESULT CAppBarDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == g_nAppBarNotifyMsg && msg != 0) {
        return OnAppBarNotify(wParam, lParam);
    }
    switch (msg) {
        case WM_CREATE:
            return OnCreate();
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_WINDOWPOSCHANGED:
            OnWindowPosChanged();
            return 0;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam));
            return 0;
        case WM_NCMOUSEMOVE:
            OnNcMouseMove();
            return 0;
        case WM_TIMER:
            OnTimer();
            return 0;
        default:
            return CDialog::WindowProc(msg, wParam, lParam);
    }
}

LRESULT CAppBarDialog::OnAppBarNotify(WPARAM wParam, LPARAM lParam) {
    switch (wParam) {
        case ABN_STATECHANGE: {
            const auto state = static_cast<UINT>(SendAppBarMessage(ABM_GETSTATE, static_cast<UINT>(-1), 0, nullptr));
            OnTaskbarStateChanged((state ^ m_nTaskbarState) & (ABS_AUTOHIDE | ABS_ALWAYSONTOP), state);
            m_nTaskbarState = state;
            break;
        }
        case ABN_POSCHANGED:
            OnTaskbarPosChanged();
            break;
        case ABN_FULLSCREENAPP:
            OnFullScreenApp(lParam != 0 ? TRUE : FALSE);
            break;
        case ABN_WINDOWARRANGE:
            OnWindowArrange(lParam != 0 ? TRUE : FALSE);
            break;
        default:
            break;
    }
    return 0;
}

int CAppBarDialog::OnCreate() {
    if (Default() == -1) {
        return -1;
    }
    Os().win.SetTimer(m_hWnd, kAutoHideTimer, kAutoHidePeriod);
    SendAppBarMessage(ABM_NEW, static_cast<UINT>(-1), 0, nullptr);
    // Options are still 0 for a window that sets them while it initialises,
    // so this adopts nothing then; the first docking is its SetPlacement.
    FollowTaskbarState(ABS_AUTOHIDE | ABS_ALWAYSONTOP, m_nTaskbarState);
    return 0;
}

void CAppBarDialog::OnDestroy() {
    Default();
    Os().win.KillTimer(m_hWnd, kAutoHideTimer);
    ApplyEdge(EDGE_NONE);
}

void CAppBarDialog::OnWindowPosChanged() {
    Default();
    SendAppBarMessage(ABM_WINDOWPOSCHANGED, static_cast<UINT>(-1), 0, nullptr);
}

void CAppBarDialog::OnActivate(UINT nState) {
    Default();
    if (nState == WA_INACTIVE) {
        ShowAutoHideBar(FALSE);
    }
    SendAppBarMessage(ABM_ACTIVATE, static_cast<UINT>(-1), 0, nullptr);
}

void CAppBarDialog::OnNcMouseMove() {
    // The visible strip of a hidden bar is frame, so touching it lands here.
    ShowAutoHideBar(TRUE);
    Default();
}

void CAppBarDialog::OnTimer() {
    if (Os().win.GetActiveWindow() != m_hWnd) {
        const DWORD pos = Os().win.GetMessagePos();
        const POINT cursor{SignedLoWord(pos), SignedHiWord(pos)};
        RECT keep{};
        GetWindowRect(&keep);
        const int dx = 2 * Os().win.GetSystemMetrics(SM_CXDOUBLECLK);
        const int dy = 2 * Os().win.GetSystemMetrics(SM_CYDOUBLECLK);
        keep = RECT{keep.left - dx, keep.top - dy, keep.right + dx, keep.bottom + dy};
        const bool inside =
            cursor.x >= keep.left && cursor.x < keep.right && cursor.y >= keep.top && cursor.y < keep.bottom;
        if (!inside) {
            ShowAutoHideBar(FALSE);
        }
    }
    Default();
}
