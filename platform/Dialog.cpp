#include "platform/Dialog.h"

#include <algorithm>
#include <utility>

#include "platform/WinApp.h"

CDialog* CDialog::s_pInnermostModal = nullptr;

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd == nullptr) {
        control.SubclassDlgItem(id, dx->m_pDlgWnd);
    }
}

void DDX_Text(CDataExchange* dx, int id, std::wstring& value) {
    const HWND control = Os().win.GetDlgItem(dx->m_pDlgWnd->m_hWnd, id);
    if (!dx->m_bSaveAndValidate) {
        Os().win.SetWindowTextW(control, value.c_str());
        return;
    }
    const int length = Os().win.GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
    const int copied = Os().win.GetWindowTextW(control, &text[0], static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(std::clamp(copied, 0, std::max(length, 0))));
    value = text;
}

void DDX_Check(CDataExchange* dx, int id, BOOL& value) {
    const HWND control = Os().win.GetDlgItem(dx->m_pDlgWnd->m_hWnd, id);
    if (dx->m_bSaveAndValidate) {
        value = static_cast<BOOL>(Os().win.SendMessageA(control, BM_GETCHECK, 0, 0));
        return;
    }
    if (value < 0 || value > 2) {
        value = 0;
    }
    Os().win.SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

INT_PTR CDialog::DoModal() {
    HWND owner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    if (owner == nullptr) {
        owner = s_pInnermostModal != nullptr ? s_pInnermostModal->m_hWnd : Os().win.GetActiveWindow();
    }
    CDialog* const outer = std::exchange(s_pInnermostModal, this);
    const INT_PTR result = Os().win.DialogBoxParamA(m_nIDTemplate, owner, this);
    s_pInnermostModal = outer;
    return result;
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
        RECT before{};
        GetWindowRect(&before);
        const BOOL result = OnInitDialog();
        // A pop-up dialog that did not place itself is centred over its owner.
        RECT after{};
        GetWindowRect(&after);
        const bool moved = before.left != after.left || before.top != after.top;
        if (!moved && (GetStyle() & (WS_CHILD | DS_CONTROL)) == 0) {
            CenterWindow();
        }
        return result;
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
        if (id == AFX_ID_HELP && AfxGetApp() != nullptr) {
            return AfxGetApp()->OnHelp(HID_BASE_RESOURCE + m_nIDTemplate);
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
