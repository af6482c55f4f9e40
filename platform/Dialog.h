// Framework dialog classes: a dialog object on a template, its modal run,
// data exchange, and the push button class.
#pragma once

#include <string>

#include "platform/Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Binds a control object to the dialog's control with this id, once.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// A control's whole text, either way, with no limit and no validation.
void DDX_Text(CDataExchange* dx, int id, std::wstring& value);
// A check box's state (0 clear, 1 ticked, 2 indeterminate); a value outside
// that range is shown as clear.
void DDX_Check(CDataExchange* dx, int id, BOOL& value);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

    // Runs the dialog until EndDialog; returns its result, or -1 when it
    // could not be created.
    virtual INT_PTR DoModal();
    // Creates the dialog without a modal run.
    BOOL Create();
    void EndDialog(int result);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCmdMsg(UINT id, int code) override;
    virtual void DoDataExchange(CDataExchange* dx);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    // The dialog whose modal run is innermost: the owner of a dialog made without a parent.
    static CDialog* s_pInnermostModal;
};

class CEdit : public CWnd {};

class CButton : public CWnd {
public:
    BOOL Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    virtual void DrawItem(DRAWITEMSTRUCT* item);

protected:
    BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};
