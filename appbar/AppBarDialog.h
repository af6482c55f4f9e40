// A dialog window that is an application desktop toolbar of the shell: it
// docks at a screen edge and reserves its strip, hides itself at the edge,
// or floats as an ordinary window, and follows the shell's notifications.
#pragma once

#include <string>

#include "appbar/AppBarGeometry.h"
#include "platform/Dialog.h"
#include "platform/Dpi.h"
#include "platform/Monitors.h"

// The callback message of every appbar request, registered as "AppBarNotify".
extern UINT g_nAppBarNotifyMsg;
// Broadcast by the shell when it starts again, having forgotten every bar.
extern UINT g_nTaskbarCreatedMsg;

class CAppBarDialog : public CDialog {
public:
    CAppBarDialog(UINT templateId, CWnd* parent);

    // Takes the first min(cbSize, 48) bytes of the record and, when the
    // window exists, applies it. Returns TRUE when applied.
    BOOL SetPlacement(const BARPLACEMENT* placement);
    const BARPLACEMENT& GetPlacement() const { return m_placement; }

    // Every change of placement ends here: tells the shell, moves the
    // window, sets the z-order.
    void ApplyEdge(int nEdge);
    void CalcDockRect(int nEdge, RECT* pRect);
    int FindAutoHideEdge();
    BOOL CalcAutoHidePos(BOOL bShow, RECT* pRect);
    void ShowAutoHideBar(BOOL bShow);
    void SlideWindowTo(const RECT* pTarget);
    int GetEffectiveEdge() const { return m_nDragEdge != EDGE_NONE ? m_nDragEdge : m_placement.nEdge; }
    UINT_PTR SendAppBarMessage(DWORD dwMessage, UINT uEdge, LPARAM lParam, RECT* pRect);
    void FollowTaskbarState(UINT nChanged, UINT nState);

    // The monitor the bar belongs on, by device name and where it stood: it
    // stays the bar's home while it is away, until the user drags the bar to
    // another. An empty name or one no monitor has means the primary.
    void SetHomeMonitor(const std::wstring& device, const RECT& rect);
    const std::wstring& HomeMonitor() const { return m_strHomeMonitor; }
    // Where the home monitor stands now, or stood last.
    RECT HomeMonitorRect() const;

    // The edge that a screen point chooses while the bar is dragged, with the
    // scroll-bar sizes of the signed-in scale.
    static int EdgeFromPoint(UINT nOptions, int x, int y);
    // As EdgeFromPoint at the bar's scale, but Ctrl held floats the bar
    // wherever the cursor is.
    int EdgeForDrag(POINT pt) const;

protected:
    virtual void OnPlacementChanged(BOOL bProposed, int nEdge);
    virtual void OnAutoHideRefused();
    virtual void OnFullScreenApp(BOOL bOpen);
    virtual void OnTaskbarPosChanged();
    virtual void OnTaskbarStateChanged(UINT nChanged, UINT nState);
    virtual void OnWindowArrange(BOOL bBeginning);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnAppBarNotify(WPARAM wParam, LPARAM lParam);
    int OnCreate();
    void OnDestroy();
    void OnWindowPosChanged();
    void OnActivate(UINT nState);
    void OnNcMouseMove();
    void OnTimer();
    LRESULT OnNcHitTest(int x, int y);
    LRESULT OnEnterSizeMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnMoving(WPARAM wParam, LPARAM lParam);
    LRESULT OnSizing(WPARAM wParam, LPARAM lParam);
    LRESULT OnExitSizeMove(WPARAM wParam, LPARAM lParam);
    void OnTaskbarCreated();
    // The screen changed size: the bar takes its edge or its place anew on it.
    void OnDisplayChange();
    // The placement's size at `edge`, or its floating rectangle, held to the
    // present screen in the window's present frame and limits.
    void HoldToScreen(int edge);
    // The monitor the bar is placed on: while a loop runs the one under the
    // pointer, else its home, or the primary while home is away.
    MonitorArea BarMonitor() const;
    // Claims the auto-hide edge of the bar's monitor, in the monitor's form
    // where the shell knows it; gives up what was claimed.
    BOOL ClaimAutoHide(int edge);
    void ReleaseAutoHide();
    // A docked auto-hide bar shows and takes the mouse on its own monitor
    // only, whatever part of it lies on another.
    void ClipToBarMonitor();
    // Whether a full-screen window other than the bar covers its monitor.
    bool FullScreenOnBarMonitor() const;
    // The window's size limits, as its answer to WM_GETMINMAXINFO gives them.
    MINMAXINFO GetTrackingLimits();
    // The frame of the window's present style at its scale.
    SIZE WindowFrameSize() const { return m_scale.FrameSize(GetStyle(), GetExStyle()); }
    // The window is drawn at m_scale now, no longer at `from` (WM_DPICHANGED),
    // and the sizing steps are set for it: the placement's sizes are measured
    // anew in the docked frame it has now, and the bar is placed again:
    // floating where `suggested` says, or docked at its edge. Inside a move
    // or size loop the window goes on at the edge being dragged to, and the
    // loop from where the window then is.
    void PlaceAtScale(const DockedScale& from, SIZE dockedFrame, const RECT* suggested);
    // The cursor position of the message being handled.
    static POINT MessagePoint();
    // Where the pointer of the running loop is.
    POINT LoopPoint() const;
    static bool PrimaryButtonDown();

    // The scale the window is drawn at, at which the bar takes every frame and metric.
    WindowScale m_scale;
    UINT m_nTaskbarState;
    BARPLACEMENT m_placement;
    UINT m_nOptions = 0;
    int m_cxSizeStep = 0;
    int m_cySizeStep = 0;
    int m_nDragEdge = EDGE_NONE;
    BOOL m_bFullScreenApp = FALSE;
    BOOL m_bAutoHideShown = FALSE;
    // The shell made this window an auto-hide bar and it has not given the
    // edge up since: only then can the shell name it for an edge.
    BOOL m_bAutoHideClaimed = FALSE;
    // What it claimed: the edge, of which monitor, and in which form.
    UINT m_nAutoHideEdge = ABE_LEFT;
    RECT m_rcAutoHideMonitor{0, 0, 0, 0};
    BOOL m_bAutoHideEx = FALSE;
    // The window's region as last set, in window coordinates; none is all of it.
    std::optional<RECT> m_rcClip;
    std::wstring m_strHomeMonitor;
    RECT m_rcHomeMonitor{0, 0, 0, 0};
    // The monitor under the pointer of the running move loop.
    MonitorArea m_dragMonitor{};
    BOOL m_bDragMonitorKnown = FALSE;
    // The last rectangle of the running move or size loop, where the system
    // puts the window when the loop ends.
    RECT m_rcDragLast{0, 0, 0, 0};
    BOOL m_bDragTracked = FALSE;
    // The screen changed while the loop ran.
    BOOL m_bScreenChanged = FALSE;
    // The window and the cursor when the loop began.
    RECT m_rcDragStart{0, 0, 0, 0};
    POINT m_ptDragStart{0, 0};
    // The loop runs from the keyboard; where its pointer began is known.
    BOOL m_bKeyLoop = FALSE;
    BOOL m_bPressKnown = TRUE;
};
