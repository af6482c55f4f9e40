#include "platform/Dialog.h"

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd == nullptr) {
        control.SubclassDlgItem(id, dx->m_pDlgWnd);
    }
}

INT_PTR CDialog::DoModal() {
    const HWND parent = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    return Os().win.DialogBoxParamA(m_nIDTemplate, parent, this);
}

BOOL CDialog::Create() {
    const HWND parent = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    return Os().win.CreateDialogParamA(m_nIDTemplate, parent, this) != nullptr;
}

void CDialog::EndDialog(int result) { Os().win.EndDialog(m_hWnd, result); }

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) {
        EndDialog(IDOK);
    }
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        return OnInitDialog();
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

BOOL CDialog::OnCmdMsg(UINT id, int code) {
    if (code == static_cast<int>(BN_CLICKED)) {
        if (id == static_cast<UINT>(IDOK)) {
            OnOK();
            return TRUE;
        }
        if (id == static_cast<UINT>(IDCANCEL)) {
            OnCancel();
            return TRUE;
        }
    }
    return CWnd::OnCmdMsg(id, code);
}

BOOL CButton::Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    const HWND hwnd = Os().win.CreateWindowExA(0, "BUTTON", caption, style, rect.left, rect.top, rect.right - rect.left,
                                               rect.bottom - rect.top, parent->m_hWnd, id, this);
    if (hwnd == nullptr) {
        return FALSE;
    }
    m_hWnd = hwnd;
    return TRUE;
}

void CButton::DrawItem(DRAWITEMSTRUCT*) {}

BOOL CButton::OnChildNotify(UINT msg, WPARAM, LPARAM lParam, LRESULT* result) {
    if (msg == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        *result = TRUE;
        return TRUE;
    }
    return FALSE;
}
