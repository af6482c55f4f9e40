// Framework OLE drop target: a window registered with the system's drag and
// drop, whose drag events arrive as virtual operations with the point in the
// window's client coordinates.
#pragma once

#include "platform/Wnd.h"

// The data of the drag under way; valid during one drag event.
class COleDataObject {
public:
    explicit COleDataObject(IDragData* data = nullptr) : m_pData(data) {}
    BOOL IsDataAvailable(UINT format) const { return m_pData != nullptr && m_pData->IsDataAvailable(format); }
    // Global memory that the caller owns, or null.
    HGLOBAL GetGlobalData(UINT format) const { return m_pData != nullptr ? m_pData->GetGlobalData(format) : nullptr; }

private:
    IDragData* m_pData;
};

class COleDropTarget {
public:
    COleDropTarget() = default;
    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;
    virtual ~COleDropTarget();

    // Registers the window as a drop target; it is revoked when the window goes.
    BOOL Register(CWnd* wnd);
    virtual void Revoke();
    CWnd* GetWindow() const { return m_pWnd; }

    virtual DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, POINT point);
    virtual DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, POINT point);
    virtual BOOL OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, POINT point);
    // Answers -1 to leave the drop to OnDrop.
    virtual DROPEFFECT OnDropEx(CWnd* wnd, COleDataObject* data, DROPEFFECT defaultEffect, DROPEFFECT allowed,
                                POINT point);
    virtual void OnDragLeave(CWnd* wnd);
    virtual DROPEFFECT OnDragScroll(CWnd* wnd, DWORD keyState, POINT point);

    // Entries for the backends: the system's events, with screen points and
    // the effects the source allows. Each answers the effect to show.
    DROPEFFECT DragEnter(IDragData* data, DWORD keyState, POINT screen, DROPEFFECT allowed);
    DROPEFFECT DragOver(DWORD keyState, POINT screen, DROPEFFECT allowed);
    void DragLeave();
    DROPEFFECT Drop(IDragData* data, DWORD keyState, POINT screen, DROPEFFECT allowed);

protected:
    // The effects the source allows, for the drag event being answered.
    DROPEFFECT AllowedEffects() const { return m_dwAllowedEffects; }

private:
    DROPEFFECT Answer(DWORD keyState, POINT screen, DROPEFFECT allowed, bool entering);
    POINT ToClient(POINT screen) const;

    CWnd* m_pWnd = nullptr;
    IDragData* m_pData = nullptr;  // the source's data between enter and leave or drop
    DROPEFFECT m_dwAllowedEffects = DROPEFFECT_NONE;
};

// What the framework shows for an operation's answer, given what the source
// allows: copy and move stand in for each other, then link, else none.
DROPEFFECT FilterDropEffect(DROPEFFECT wanted, DROPEFFECT allowed);
