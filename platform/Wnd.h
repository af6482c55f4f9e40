// Framework window classes: a window object bound to its HWND, with one
// virtual WindowProc per class that decodes the messages the class handles
// and hands everything else to its base class.
#pragma once

#include <memory>
#include <string>

#include "platform/Os.h"

class COleDropTarget;

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    HWND GetSafeHwnd() const { return m_hWnd; }
    BOOL IsWindow() const { return m_hWnd != nullptr && Os().win.IsWindow(m_hWnd); }

    // Entry for the backends: every message of a bound window arrives here.
    static LRESULT Dispatch(CWnd* wnd, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // Destroys the window at once and deletes the object when the outermost
    // handling of its messages returns: a nested loop (a menu, a message box)
    // may retire a window whose own message is still being handled.
    static void Retire(std::unique_ptr<CWnd> wnd);
    // Retired objects still waiting for their messages to return.
    static int RetiredObjects() { return s_nRetiredObjects; }

    // Binds the object to an existing window, such as a dialog control.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(int id, CWnd* parent);
    BOOL DestroyWindow();

    std::string GetWindowText() const;
    void SetWindowText(const char* text);
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    int GetDlgCtrlID() const;
    HWND GetDlgItem(int id) const;
    void GetWindowRect(RECT* rect) const;
    void GetClientRect(RECT* rect) const;
    void ClientToScreen(POINT* pt) const;
    void ScreenToClient(RECT* rect) const;
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
    void MoveWindow(const RECT& rect, BOOL repaint = TRUE);
    void Invalidate(BOOL erase = TRUE);
    void UpdateWindow();
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    HWND GetParentHwnd() const { return Os().win.GetParent(m_hWnd); }
    // Centres a pop-up over its owner (or `alternateOwner`), or over the work
    // area when the owner is hidden or minimised, keeping it inside the work area.
    void CenterWindow(CWnd* alternateOwner = nullptr);
    // One tooltip control for the child windows, each a tool whose text the
    // window is asked for (TTN_NEEDTEXT) every time its tip is about to show.
    BOOL EnableToolTips(BOOL enable = TRUE);
    // A child made or about to be destroyed after EnableToolTips: its tool
    // comes or goes with it (a child bound to an object loses its tool when
    // it is destroyed). Nothing happens while tips are off.
    void AddChildToolTip(HWND child);
    void RemoveChildToolTip(HWND child);
    // The child's text is asked for again, and a tip of it that is up shows the new one.
    void UpdateChildToolTip(HWND child);

    // A child's tip shown at once below `beside` on the screen, or above it,
    // and within `area`, as the keyboard brings the focus there; a null
    // child takes the keyboard's tip away.
    void ShowChildToolTip(HWND child, const RECT& beside, bool above, const RECT& area);

    // What a screen reader is told of `hwnd`, this window or a child of it;
    // FALSE leaves the system's own answers. A child leaves its answers to
    // its parent, which knows what it stands for, as with its tip's text.
    virtual BOOL GetAccessibleAnswers(HWND hwnd, AccessibleAnswers* answers);

    HWND m_hWnd = nullptr;
    HWND m_hWndToolTip = nullptr;
    // The child whose tip the keyboard showed, and where that tip goes.
    HWND m_hWndKeyboardTip = nullptr;
    struct KeyboardTipPlace {
        RECT beside;
        bool above;
        RECT area;
    };
    KeyboardTipPlace m_keyboardTip{};
    COleDropTarget* m_pDropTarget = nullptr;
    // The window procedure the object replaced; the Win32 backend keeps it here.
    void* m_pfnSuper = nullptr;

protected:
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // Default processing of the message being handled.
    LRESULT Default();

    // WM_COMMAND: control notifications are offered to the control first,
    // then commands go to OnCmdMsg. Returns TRUE when handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCmdMsg(UINT id, int code);
    // A parent passes WM_DRAWITEM and the like on to the control they are about.
    virtual BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

private:
    // The keyboard's tip placed by its size as it now is, shown first when
    // `activate` names its tool.
    void PlaceKeyboardTip(TOOLINFOA* activate);
    struct CurrentMessage {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMessage m_current{};
    // Messages of this object being handled now, nested loops included.
    int m_nDispatchDepth = 0;
    bool m_bRetired = false;
    static int s_nRetiredObjects;
};
