#include "platform/OleDropTarget.h"

DROPEFFECT FilterDropEffect(DROPEFFECT wanted, DROPEFFECT allowed) {
    if ((wanted & allowed) != 0) {
        return wanted;
    }
    const DROPEFFECT scroll = wanted & DROPEFFECT_SCROLL;
    switch (wanted & ~DROPEFFECT_SCROLL) {
        case DROPEFFECT_COPY:
        case DROPEFFECT_MOVE: {
            const DROPEFFECT other = (wanted & DROPEFFECT_COPY) != 0 ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
            if ((allowed & other) != 0) {
                return other | scroll;
            }
            if ((allowed & DROPEFFECT_LINK) != 0) {
                return DROPEFFECT_LINK | scroll;
            }
            return DROPEFFECT_NONE;
        }
        default:
            return DROPEFFECT_NONE;
    }
}

COleDropTarget::~COleDropTarget() { Revoke(); }

BOOL COleDropTarget::Register(CWnd* wnd) {
    if (wnd == nullptr || m_pWnd != nullptr || Os().sys.RegisterDragDrop(wnd->m_hWnd, this) != S_OK) {
        return FALSE;
    }
    m_pWnd = wnd;
    wnd->m_pDropTarget = this;
    return TRUE;
}

void COleDropTarget::Revoke() {
    if (m_pWnd == nullptr) {
        return;
    }
    Os().sys.RevokeDragDrop(m_pWnd->m_hWnd);
    m_pWnd->m_pDropTarget = nullptr;
    m_pWnd = nullptr;
    m_pData = nullptr;
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, POINT) { return DROPEFFECT_NONE; }

DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, POINT) { return DROPEFFECT_NONE; }

BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, POINT) { return FALSE; }

DROPEFFECT COleDropTarget::OnDropEx(CWnd*, COleDataObject*, DROPEFFECT, DROPEFFECT, POINT) {
    return static_cast<DROPEFFECT>(-1);
}

void COleDropTarget::OnDragLeave(CWnd*) {}

DROPEFFECT COleDropTarget::OnDragScroll(CWnd*, DWORD, POINT) { return DROPEFFECT_NONE; }

POINT COleDropTarget::ToClient(POINT screen) const {
    Os().win.ScreenToClient(m_pWnd->m_hWnd, &screen);
    return screen;
}

DROPEFFECT COleDropTarget::Answer(DWORD keyState, POINT screen, DROPEFFECT allowed, bool entering) {
    if (m_pWnd == nullptr) {
        return DROPEFFECT_NONE;
    }
    const POINT point = ToClient(screen);
    m_dwAllowedEffects = allowed;
    // A scroll zone answers first; elsewhere the drag operations decide.
    DROPEFFECT effect = OnDragScroll(m_pWnd, keyState, point);
    if ((effect & DROPEFFECT_SCROLL) == 0) {
        COleDataObject data(m_pData);
        effect = entering ? OnDragEnter(m_pWnd, &data, keyState, point) : OnDragOver(m_pWnd, &data, keyState, point);
    }
    return FilterDropEffect(effect, allowed);
}

DROPEFFECT COleDropTarget::DragEnter(IDragData* data, DWORD keyState, POINT screen, DROPEFFECT allowed) {
    m_pData = data;
    return Answer(keyState, screen, allowed, true);
}

DROPEFFECT COleDropTarget::DragOver(DWORD keyState, POINT screen, DROPEFFECT allowed) {
    return Answer(keyState, screen, allowed, false);
}

void COleDropTarget::DragLeave() {
    if (m_pWnd != nullptr) {
        OnDragLeave(m_pWnd);
    }
    m_pData = nullptr;
}

DROPEFFECT COleDropTarget::Drop(IDragData* data, DWORD keyState, POINT screen, DROPEFFECT allowed) {
    if (m_pWnd == nullptr) {
        return DROPEFFECT_NONE;
    }
    m_pData = data;
    m_dwAllowedEffects = allowed;
    const POINT point = ToClient(screen);
    COleDataObject object(data);
    const DROPEFFECT defaultEffect = FilterDropEffect(OnDragOver(m_pWnd, &object, keyState, point), allowed);
    DROPEFFECT effect = OnDropEx(m_pWnd, &object, defaultEffect, allowed, point);
    if (effect == static_cast<DROPEFFECT>(-1)) {
        effect = OnDrop(m_pWnd, &object, defaultEffect, point) ? defaultEffect : DROPEFFECT_NONE;
    }
    m_pData = nullptr;
    return effect;
}
