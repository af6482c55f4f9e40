#include "appbar/AppBarDialog.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "appbar/AppBarGeometry.h"
#include "platform/Monitors.h"

UINT g_nAppBarNotifyMsg = 0;
UINT g_nTaskbarCreatedMsg = 0;

namespace {

constexpr UINT_PTR kAutoHideTimer = 1;
constexpr UINT kAutoHidePeriod = 400;
// Posted at the end of a move or size loop (derived windows post from WM_APP + 0x100 on).
constexpr UINT kPlaceAfterLoop = WM_APP + 0x80;

const char kAutoHideRefused[] =
    "There is already an auto hidden window on this edge.\nOnly one auto hidden window is allowed on each edge.";

}  // namespace

CAppBarDialog::CAppBarDialog(UINT templateId, CWnd* parent)
    : CDialog(templateId, parent),
      m_placement{sizeof(BARPLACEMENT), static_cast<LONG>(ABE_BOTTOM), FALSE, FALSE, {0, 0, 0, 0}, {0, 0, 0, 0}} {
    // The same name always gives the same id, so registering again is harmless.
    g_nAppBarNotifyMsg = Os().win.RegisterWindowMessageA("AppBarNotify");
    g_nTaskbarCreatedMsg = Os().win.RegisterWindowMessageA("TaskbarCreated");
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
    // Inside a move or size loop the loop's end places the bar. A change
    // before it would commit the edge being dragged to, which Esc must undo.
    if (m_nDragEdge != EDGE_NONE && nEdge != EDGE_NONE) {
        return;
    }
    // Never hold an auto-hide edge across a change.
    ReleaseAutoHide();
    m_placement.nEdge = nEdge;
    // The window takes the frame of its new placement before it moves, so a
    // caption that is going away cannot hold a docked bar to a captioned
    // window's minimum height.
    OnPlacementChanged(TRUE, nEdge);

    if (nEdge == EDGE_FLOATING) {
        // The shell drops a position request for an edge it does not know,
        // so a floating bar frees its strip as an auto-hide bar does.
        SendAppBarMessage(ABM_SETPOS, ABE_LEFT, 0, nullptr);
        const WindowFrame frame = FrameOfRect(m_placement.rcFloating);
        SetWindowPos(nullptr, frame.x, frame.y, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (nEdge == EDGE_NONE) {
        SendAppBarMessage(ABM_REMOVE, static_cast<UINT>(-1), 0, nullptr);
    } else {
        const int edge = GetEffectiveEdge();
        if (m_placement.bAutoHide) {
            m_bAutoHideClaimed = ClaimAutoHide(edge);
            if (!m_bAutoHideClaimed) {
                m_placement.bAutoHide = FALSE;
                OnAutoHideRefused();
            }
        }
        RECT rect{};
        CalcDockRect(edge, &rect);
        if (m_placement.bAutoHide) {
            // An auto-hide bar reserves nothing.
            SendAppBarMessage(ABM_SETPOS, ABE_LEFT, 0, nullptr);
        } else {
            const RECT asked = rect;
            SendAppBarMessage(ABM_SETPOS, static_cast<UINT>(nEdge), 0, &rect);
            rect = ShellAreaOn(asked, rect);
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
    const RECT monitor = BarMonitor().rect;
    *pRect = monitor;
    // An auto-hide bar asks nothing and spans the whole side.
    if (!m_placement.bAutoHide) {
        SendAppBarMessage(ABM_QUERYPOS, static_cast<UINT>(nEdge), 0, pRect);
        *pRect = ShellAreaOn(monitor, *pRect);
    }
    // The thickness the window can take: the system holds the window to its
    // tracking limits, and the strip and a hidden bar's offset must follow
    // the window, or a hidden bar could leave no strip on the screen.
    LONG thickness[4] = {m_placement.anThickness[0], m_placement.anThickness[1], m_placement.anThickness[2],
                         m_placement.anThickness[3]};
    if (IsDockEdge(nEdge)) {
        const MINMAXINFO limits = GetTrackingLimits();
        thickness[nEdge] = HeldThickness(nEdge, thickness[nEdge], limits.ptMinTrackSize, limits.ptMaxTrackSize);
    }
    *pRect = CutToThickness(*pRect, nEdge, thickness);
}

MonitorArea CAppBarDialog::BarMonitor() const {
    if (m_nDragEdge != EDGE_NONE && m_bDragMonitorKnown) {
        return m_dragMonitor;
    }
    return MonitorNamed(m_strHomeMonitor, m_rcHomeMonitor);
}

void CAppBarDialog::SetHomeMonitor(const std::wstring& device, const RECT& rect) {
    m_strHomeMonitor = device;
    m_rcHomeMonitor = rect;
}

RECT CAppBarDialog::HomeMonitorRect() const {
    const MonitorArea now = MonitorNamed(m_strHomeMonitor, m_rcHomeMonitor);
    return now.device == m_strHomeMonitor ? now.rect : m_rcHomeMonitor;
}

BOOL CAppBarDialog::ClaimAutoHide(int edge) {
    RECT monitor = BarMonitor().rect;
    m_nAutoHideEdge = static_cast<UINT>(edge);
    m_rcAutoHideMonitor = monitor;
    m_bAutoHideEx = TRUE;
    if (SendAppBarMessage(ABM_SETAUTOHIDEBAREX, m_nAutoHideEdge, TRUE, &monitor) != 0) {
        return TRUE;
    }
    // Refused for another's bar, or a shell that knows only the older form,
    // which then names no holder in the monitor's form either.
    monitor = m_rcAutoHideMonitor;
    if (SendAppBarMessage(ABM_GETAUTOHIDEBAREX, m_nAutoHideEdge, 0, &monitor) != 0) {
        return FALSE;
    }
    m_bAutoHideEx = FALSE;
    return SendAppBarMessage(ABM_SETAUTOHIDEBAR, m_nAutoHideEdge, TRUE, nullptr) != 0 ? TRUE : FALSE;
}

void CAppBarDialog::ReleaseAutoHide() {
    if (!m_bAutoHideClaimed) {
        return;
    }
    m_bAutoHideClaimed = FALSE;
    RECT monitor = m_rcAutoHideMonitor;
    SendAppBarMessage(m_bAutoHideEx ? ABM_SETAUTOHIDEBAREX : ABM_SETAUTOHIDEBAR, m_nAutoHideEdge, FALSE,
                      m_bAutoHideEx ? &monitor : nullptr);
}

namespace {

struct CoverSearch {
    HWND bar;
    RECT monitor;
    bool found;
};

BOOL CALLBACK FindCover(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<CoverSearch*>(data);
    char name[16] = {};
    Os().win.GetClassNameA(hwnd, name, static_cast<int>(sizeof(name)));
    // The desktop's own windows cover every monitor and are no program.
    const std::string cls = name;
    RECT rect{};
    if (hwnd == search->bar || cls == "#32769" || cls == "Progman" || cls == "WorkerW" ||
        !Os().win.IsWindowVisible(hwnd) || Os().win.IsIconic(hwnd) || !Os().win.GetWindowRect(hwnd, &rect)) {
        return TRUE;
    }
    const RECT& m = search->monitor;
    search->found = rect.left <= m.left && rect.top <= m.top && rect.right >= m.right && rect.bottom >= m.bottom;
    return search->found ? FALSE : TRUE;
}

}  // namespace

bool CAppBarDialog::FullScreenOnBarMonitor() const {
    CoverSearch search{m_hWnd, BarMonitor().rect, false};
    Os().win.EnumWindows(&FindCover, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

MINMAXINFO CAppBarDialog::GetTrackingLimits() {
    // What the system would ask before it sizes the window; without an
    // answer nothing is limited.
    MINMAXINFO info{};
    info.ptMaxTrackSize = POINT{std::numeric_limits<LONG>::max(), std::numeric_limits<LONG>::max()};
    SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info;
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
    const ScreenMetrics screen{BarMonitor().rect, m_scale.Metric(SM_CXBORDER), m_scale.Metric(SM_CYBORDER)};
    *pRect = AutoHidePosition(*pRect, edge, bShow, screen);
    return TRUE;
}

void CAppBarDialog::ShowAutoHideBar(BOOL bShow) {
    // The loop decides where the window is until it ends.
    if (m_nDragEdge != EDGE_NONE) {
        return;
    }
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
    BOOL shown = FALSE;
    const bool fullDrag = Os().win.SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &shown, 0) && shown;
    RECT start{};
    GetWindowRect(&start);
    // A window not on the screen has no slide to show: the first placement,
    // before the bar appears, would only keep it from appearing for 400 ms.
    if (fullDrag && Os().win.IsWindowVisible(m_hWnd) && !SameRect(start, *pTarget)) {
        // Timed by the elapsed time, which unsigned arithmetic keeps right
        // across a wrap of the tick count. Each frame interpolates from the
        // start, so a slow frame only drops frames, never distance.
        const DWORD t0 = Os().sys.GetTickCount();
        for (DWORD elapsed = Os().sys.GetTickCount() - t0; elapsed < kSlideDuration;
             elapsed = Os().sys.GetTickCount() - t0) {
            const WindowFrame frame = SlideFrame(start, *pTarget, elapsed);
            SetWindowPos(nullptr, frame.x, frame.y, frame.cx, frame.cy, kFlags);
            UpdateWindow();
        }
    }
    const WindowFrame target = FrameOfRect(*pTarget);
    SetWindowPos(nullptr, target.x, target.y, target.cx, target.cy, kFlags);
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
    // A program full screen on another monitor leaves the bar where it is.
    m_bFullScreenApp = bOpen && FullScreenOnBarMonitor() ? TRUE : FALSE;
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
    if (msg == g_nTaskbarCreatedMsg && msg != 0) {
        OnTaskbarCreated();
        return Default();
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
        case WM_NCHITTEST:
            return OnNcHitTest(SignedLoWord(static_cast<std::uintptr_t>(lParam)),
                               SignedHiWord(static_cast<std::uintptr_t>(lParam)));
        case WM_ENTERSIZEMOVE:
            return OnEnterSizeMove(wParam, lParam);
        case WM_MOVING:
            return OnMoving(wParam, lParam);
        case WM_SIZING:
            return OnSizing(wParam, lParam);
        case WM_EXITSIZEMOVE:
            return OnExitSizeMove(wParam, lParam);
        case WM_DISPLAYCHANGE:
            OnDisplayChange();
            return 0;
        case WM_SETTINGCHANGE:
            // Monitors that come or go change the work areas.
            if (wParam == SPI_SETWORKAREA) {
                OnDisplayChange();
            }
            return CDialog::WindowProc(msg, wParam, lParam);
        case kPlaceAfterLoop:
            if (m_placement.nEdge != EDGE_NONE) {
                ApplyEdge(GetEffectiveEdge());
            }
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
    m_scale = WindowScale::Of(m_hWnd);
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
    m_nDragEdge = EDGE_NONE;
    ApplyEdge(EDGE_NONE);
}

void CAppBarDialog::OnWindowPosChanged() {
    Default();
    SendAppBarMessage(ABM_WINDOWPOSCHANGED, static_cast<UINT>(-1), 0, nullptr);
    ClipToBarMonitor();
}

void CAppBarDialog::ClipToBarMonitor() {
    RECT window{};
    GetWindowRect(&window);
    const bool hides = IsDockEdge(m_placement.nEdge) && m_placement.bAutoHide && m_nDragEdge == EDGE_NONE;
    const RECT home = BarMonitor().rect;
    // Beyond an outer edge nothing shows, and a region there would only cost
    // every frame of a slide.
    const auto onAnother = [&window, &home](const MonitorArea& other) {
        const RECT& m = other.rect;
        return !SameRect(m, home) && window.left < m.right && m.left < window.right && window.top < m.bottom &&
               m.top < window.bottom;
    };
    const std::vector<MonitorArea> monitors = hides ? AllMonitors() : std::vector<MonitorArea>();
    const bool reaches = std::any_of(monitors.begin(), monitors.end(), onAnother);
    const std::optional<RECT> clip = reaches ? ClipToMonitor(window, home) : std::nullopt;
    if (clip.has_value() == m_rcClip.has_value() && (!clip || SameRect(*clip, *m_rcClip))) {
        return;
    }
    HRGN region = clip ? Os().gdi.CreateRectRgn(clip->left, clip->top, clip->right, clip->bottom) : nullptr;
    if (clip && region == nullptr) {
        return;
    }
    // Set first: the system tells the window of its new region, which lands here again.
    const std::optional<RECT> previous = std::exchange(m_rcClip, clip);
    if (Os().win.SetWindowRgn(m_hWnd, region, TRUE) == 0) {
        m_rcClip = previous;
        if (region != nullptr) {
            Os().gdi.DeleteObject(region);
        }
    }
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
    // The cursor now: Wine gives a timer message the position 0,0.
    POINT cursor{0, 0};
    if (Os().win.GetActiveWindow() != m_hWnd && Os().win.GetCursorPos(&cursor)) {
        RECT window{};
        GetWindowRect(&window);
        const SIZE margin{2 * m_scale.Metric(SM_CXDOUBLECLK), 2 * m_scale.Metric(SM_CYDOUBLECLK)};
        if (CursorOutside(window, margin, cursor)) {
            ShowAutoHideBar(FALSE);
        }
    }
    Default();
}

namespace {

int EdgeOnScreen(UINT options, POINT pt, SIZE scrollBars) {
    // Read at every call: the strip this bar reserves lies outside the work
    // area and counts as docking ground.
    const MonitorArea monitor = MonitorAtPoint(pt);
    return EdgeFromPointIn(options, pt, DragArea{monitor.work, scrollBars, monitor.rect});
}

}  // namespace

int CAppBarDialog::EdgeFromPoint(UINT nOptions, int x, int y) {
    return EdgeOnScreen(nOptions, POINT{x, y},
                        SIZE{Os().win.GetSystemMetrics(SM_CXVSCROLL), Os().win.GetSystemMetrics(SM_CYHSCROLL)});
}

int CAppBarDialog::EdgeForDrag(POINT pt) const {
    if (Os().win.GetKeyState(VK_CONTROL) < 0 && (m_nOptions & BARF_FLOAT) != 0) {
        return EDGE_FLOATING;
    }
    return EdgeOnScreen(m_nOptions, pt, SIZE{m_scale.Metric(SM_CXVSCROLL), m_scale.Metric(SM_CYHSCROLL)});
}

LRESULT CAppBarDialog::OnNcHitTest(int x, int y) {
    const auto hit = static_cast<int>(Default());
    const bool primaryDown = PrimaryButtonDown();
    const int edge = GetEffectiveEdge();
    const int step = edge == ABE_LEFT || edge == ABE_RIGHT ? m_cxSizeStep : m_cySizeStep;
    RECT client{};
    GetClientRect(&client);
    POINT topLeft{client.left, client.top};
    POINT bottomRight{client.right, client.bottom};
    ClientToScreen(&topLeft);
    ClientToScreen(&bottomRight);
    return AppBarHitTest(hit, primaryDown, edge, step, POINT{x, y},
                         RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y});
}

bool CAppBarDialog::PrimaryButtonDown() {
    const int button = Os().win.GetSystemMetrics(SM_SWAPBUTTON) != 0 ? VK_RBUTTON : VK_LBUTTON;
    return Os().win.GetAsyncKeyState(button) < 0;
}

LRESULT CAppBarDialog::OnEnterSizeMove(WPARAM, LPARAM) {
    m_nDragEdge = GetEffectiveEdge();
    m_bDragTracked = FALSE;
    m_bDragMonitorKnown = FALSE;
    GetWindowRect(&m_rcDragStart);
    // A loop that begins with the button up runs from the keyboard (the
    // system menu's Size or Move): the keys then move the pointer, and where
    // it stood when the first side was picked comes from the first step.
    m_bKeyLoop = !PrimaryButtonDown();
    m_bPressKnown = !m_bKeyLoop;
    m_ptDragStart = LoopPoint();
    return 0;
}

POINT CAppBarDialog::LoopPoint() const {
    // A key's message carries where the pointer was before the key moved it.
    POINT cursor{0, 0};
    if (m_bKeyLoop && Os().win.GetCursorPos(&cursor)) {
        return cursor;
    }
    return MessagePoint();
}

POINT CAppBarDialog::MessagePoint() {
    const DWORD pos = Os().win.GetMessagePos();
    return POINT{SignedLoWord(pos), SignedHiWord(pos)};
}

LRESULT CAppBarDialog::OnMoving(WPARAM, LPARAM lParam) {
    auto* rect = reinterpret_cast<RECT*>(lParam);
    if (rect == nullptr) {
        return 0;
    }
    const POINT cursor = LoopPoint();
    // The monitor under the pointer takes the bar.
    m_dragMonitor = MonitorAtPoint(cursor);
    m_bDragMonitorKnown = TRUE;
    const int edge = EdgeForDrag(cursor);
    if (m_nDragEdge != EDGE_FLOATING && edge == EDGE_FLOATING) {
        *rect = FloatingDragRect(cursor, m_placement.rcFloating);
    }
    m_nDragEdge = edge;
    // The frame of the proposed placement first, so that the docked
    // rectangle is measured within the limits of the frame it will have.
    OnPlacementChanged(TRUE, edge);
    CalcDockRect(edge, rect);
    m_rcDragLast = *rect;
    m_bDragTracked = TRUE;
    return 0;
}

LRESULT CAppBarDialog::OnSizing(WPARAM wParam, LPARAM lParam) {
    auto* rect = reinterpret_cast<RECT*>(lParam);
    if (rect == nullptr) {
        return 0;
    }
    const auto side = static_cast<UINT>(wParam);
    // From the cursor's travel since the press, not from the proposal: a
    // loop that adds each mouse step to the rectangle it was last given
    // would otherwise lose every step smaller than half a row to the snap.
    RECT dragged = *rect;
    if (m_nDragEdge != EDGE_NONE) {
        const POINT pointer = LoopPoint();
        if (!m_bPressKnown) {
            m_ptDragStart = PressPointOf(side, m_rcDragStart, *rect, pointer);
            m_bPressKnown = TRUE;
        }
        dragged = DragSides(side, m_rcDragStart, m_ptDragStart, pointer);
    }
    const MINMAXINFO limits = GetTrackingLimits();
    *rect = SnapToSteps(side, dragged, WindowFrameSize(), SIZE{m_cxSizeStep, m_cySizeStep}, limits.ptMinTrackSize,
                        limits.ptMaxTrackSize);
    m_rcDragLast = *rect;
    m_bDragTracked = TRUE;
    return 0;
}

LRESULT CAppBarDialog::OnExitSizeMove(WPARAM, LPARAM) {
    // Without a loop under way this is the current edge, so a stray message
    // re-applies the placement rather than taking the bar from the shell.
    const int edge = GetEffectiveEdge();
    // Esc ends the loop with its key still down, and the system then puts
    // the window back: the bar goes back to its own edge, as it was.
    const bool cancelled = Os().win.GetKeyState(VK_ESCAPE) < 0;
    if (!cancelled) {
        // Where the loop left the window: when contents are not shown while
        // dragging, the system moves it there only after this message.
        RECT window{};
        GetWindowRect(&window);
        if (m_bDragTracked) {
            window = m_rcDragLast;
        }
        const WindowFrame size = FrameOfRect(window);
        if (edge == m_placement.nEdge && IsDockEdge(edge)) {
            m_placement.anThickness[edge] = edge == ABE_LEFT || edge == ABE_RIGHT ? size.cx : size.cy;
        }
        if (edge == EDGE_FLOATING) {
            m_placement.rcFloating = window;
        }
        // Where the user leaves the bar is its home from now on.
        if (edge == EDGE_FLOATING || m_bDragMonitorKnown) {
            const MonitorArea home = edge == EDGE_FLOATING ? MonitorOfRect(window) : m_dragMonitor;
            SetHomeMonitor(home.device, home.rect);
        }
    }
    const int target = cancelled ? m_placement.nEdge : edge;
    m_bDragTracked = FALSE;
    m_bDragMonitorKnown = FALSE;
    if (std::exchange(m_bScreenChanged, FALSE)) {
        // What the bar takes is held to the screen there now, in the frame
        // and within the limits of the placement it goes to.
        m_nDragEdge = target;
        OnPlacementChanged(TRUE, target);
        HoldToScreen(target);
    }
    m_nDragEdge = EDGE_NONE;
    ApplyEdge(target);
    // The system may yet move the window: Wine, without full-window dragging,
    // to the loop's last rectangle, and Windows back where it was after Esc.
    // Once the loop is over the placement is applied again.
    PostMessage(kPlaceAfterLoop);
    return 0;
}

void CAppBarDialog::OnTaskbarCreated() {
    // A restarted shell knows no bar: register again and claim the strip
    // or the auto-hide edge anew.
    if (m_placement.nEdge == EDGE_NONE) {
        return;
    }
    SendAppBarMessage(ABM_NEW, static_cast<UINT>(-1), 0, nullptr);
    ApplyEdge(GetEffectiveEdge());
}

void CAppBarDialog::OnDisplayChange() {
    const int edge = GetEffectiveEdge();
    if (edge == EDGE_NONE) {
        return;
    }
    // A loop under way takes the new screen when it ends.
    if (m_nDragEdge != EDGE_NONE) {
        m_bScreenChanged = TRUE;
        return;
    }
    // What the bar takes here is what it stores, so the next start finds the bar it left.
    HoldToScreen(edge);
    // A hidden bar goes straight to its hiding place on the new screen.
    if (edge != EDGE_FLOATING && m_placement.bAutoHide) {
        m_bAutoHideShown = FALSE;
    }
    ApplyEdge(edge);
}

void CAppBarDialog::HoldToScreen(int edge) {
    // Limits and frame as the screen now gives them.
    const MINMAXINFO limits = GetTrackingLimits();
    if (edge == EDGE_FLOATING) {
        // Held to its limits; moved only when its caption is not wholly on
        // the monitors, then onto the nearest.
        const LONG caption = -m_scale.Frame(GetStyle(), GetExStyle()).top;
        const RECT& rc = m_placement.rcFloating;
        const RECT held =
            FloatingOnScreen(rc, MonitorOfRect(rc).rect, caption, limits.ptMinTrackSize, limits.ptMaxTrackSize);
        const RECT sized{rc.left, rc.top, ClampToLong(static_cast<long long>(rc.left) + held.right - held.left),
                         ClampToLong(static_cast<long long>(rc.top) + held.bottom - held.top)};
        std::vector<RECT> monitors;
        for (const MonitorArea& monitor : AllMonitors()) {
            monitors.push_back(monitor.rect);
        }
        m_placement.rcFloating = CaptionOnMonitors(sized, caption, monitors) ? sized : held;
    } else if (IsDockEdge(edge)) {
        const LONG thickness = m_placement.anThickness[edge];
        const RECT snapped =
            SnapToSteps(WMSZ_BOTTOMRIGHT, RECT{0, 0, thickness, thickness}, WindowFrameSize(),
                        SIZE{m_cxSizeStep, m_cySizeStep}, limits.ptMinTrackSize, limits.ptMaxTrackSize);
        const bool across = edge == ABE_LEFT || edge == ABE_RIGHT;
        m_placement.anThickness[edge] =
            HeldThickness(edge, across ? snapped.right : snapped.bottom, limits.ptMinTrackSize, limits.ptMaxTrackSize);
    }
}

void CAppBarDialog::PlaceAtScale(const DockedScale& from, SIZE dockedFrame, const RECT* suggested) {
    BARPLACEMENT placement = m_placement;
    RescalePlacement(&placement, from, DockedScale{m_scale.Dpi(), dockedFrame}, SIZE{m_cxSizeStep, m_cySizeStep});
    const int edge = GetEffectiveEdge();
    if (m_nDragEdge == EDGE_NONE) {
        // A floating bar goes where the system suggests; a docked one takes its edge again.
        if (edge == EDGE_FLOATING && suggested != nullptr) {
            placement.rcFloating = *suggested;
        }
        SetPlacement(&placement);
        return;
    }
    // The loop's end places the bar; until then the window follows the
    // pointer at the new scale, and what the loop measures starts from here.
    m_placement = placement;
    RECT window{};
    GetWindowRect(&window);
    window = suggested != nullptr ? *suggested : ScaledInPlace(window, from.dpi, m_scale.Dpi());
    CalcDockRect(edge, &window);
    const WindowFrame frame = FrameOfRect(window);
    SetWindowPos(nullptr, frame.x, frame.y, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    m_rcDragLast = window;
    m_bDragTracked = TRUE;
    m_rcDragStart = window;
    m_ptDragStart = LoopPoint();
    m_bPressKnown = TRUE;
}
