// Dialogs on templates: the order of creation and initialisation, what the
// dialog manager does to the template's style, data exchange, and the end
// of a modal run.
#include "platform/Dialog.h"
#include "tests/contract/ContractFixture.h"

namespace {

constexpr INT_PTR kPostCancel = -1;

class ContractDialog : public CDialog {
public:
    ContractDialog() : CDialog(IDD_CONTRACT_DIALOG) {}

    // The result to end the run with from OnInitDialog, or kPostCancel to
    // post IDCANCEL and let the modal loop deliver it.
    INT_PTR m_endAtInit = kPostCancel;
    bool m_bModeless = false;

    std::vector<UINT> m_messages;
    DWORD m_styleAtInit = 0;
    HWND m_buttonAtInit = nullptr;
    RECT m_clientAtInit{0, 0, 0, 0};
    RECT m_buttonRectAtInit{0, 0, 0, 0};
    CButton m_button;

    int IndexOf(UINT msg) const {
        for (size_t i = 0; i < m_messages.size(); ++i) {
            if (m_messages[i] == msg) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    BOOL OnInitDialog() override {
        const BOOL result = CDialog::OnInitDialog();
        m_styleAtInit = GetStyle();
        m_buttonAtInit = m_button.m_hWnd;
        GetClientRect(&m_clientAtInit);
        if (m_button.m_hWnd != nullptr) {
            m_button.GetWindowRect(&m_buttonRectAtInit);
        }
        if (m_bModeless) {
            return result;
        }
        if (m_endAtInit == kPostCancel) {
            Os().win.PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        } else {
            EndDialog(static_cast<int>(m_endAtInit));
        }
        return result;
    }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        m_messages.push_back(msg);
        return CDialog::WindowProc(msg, wParam, lParam);
    }

    void DoDataExchange(CDataExchange* dx) override {
        CDialog::DoDataExchange(dx);
        DDX_Control(dx, IDC_CONTRACT_BUTTON, m_button);
    }
};

class DialogContract : public ContractTest {};

TEST_F(DialogContract, CreationComesBeforeInitialisation) {
    ContractDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    const int create = dialog.IndexOf(WM_CREATE);
    const int init = dialog.IndexOf(WM_INITDIALOG);
    ASSERT_GE(create, 0);
    ASSERT_GE(init, 0);
    EXPECT_LT(create, init);
    EXPECT_LT(dialog.IndexOf(WM_INITDIALOG), dialog.IndexOf(WM_DESTROY));
    EXPECT_EQ(dialog.m_messages.back(), WM_NCDESTROY);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST_F(DialogContract, ControlTemplateLosesCaptionAndSystemMenu) {
    ContractDialog dialog;
    dialog.m_endAtInit = IDOK;
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_styleAtInit & (WS_CAPTION | WS_SYSMENU), 0u);
    EXPECT_EQ(dialog.m_styleAtInit & (WS_POPUP | WS_THICKFRAME), WS_POPUP | WS_THICKFRAME);
    // The dialog manager shows the window only after its initialisation.
    EXPECT_EQ(dialog.m_styleAtInit & WS_VISIBLE, 0u);
}

TEST_F(DialogContract, DataExchangeBindsTheTemplatesControl) {
    ContractDialog dialog;
    dialog.m_endAtInit = 42;
    ASSERT_EQ(dialog.DoModal(), 42);
    ASSERT_NE(dialog.m_buttonAtInit, nullptr);
    // The control ends with its dialog.
    EXPECT_EQ(dialog.m_button.m_hWnd, nullptr);
    // The template's control covers the dialog's whole client area.
    EXPECT_GT(Width(dialog.m_clientAtInit), 0);
    EXPECT_EQ(Width(dialog.m_buttonRectAtInit), Width(dialog.m_clientAtInit));
    EXPECT_EQ(Height(dialog.m_buttonRectAtInit), Height(dialog.m_clientAtInit));
}

TEST_F(DialogContract, ModelessDialogLivesUntilDestroyed) {
    ContractDialog dialog;
    dialog.m_bModeless = true;
    ASSERT_TRUE(dialog.Create());
    const HWND hwnd = dialog.m_hWnd;
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(Os().win.FromHandle(hwnd), &dialog);
    EXPECT_LT(dialog.IndexOf(WM_CREATE), dialog.IndexOf(WM_INITDIALOG));
    ASSERT_NE(dialog.m_buttonAtInit, nullptr);
    EXPECT_EQ(Os().win.GetDlgItem(hwnd, IDC_CONTRACT_BUTTON), dialog.m_button.m_hWnd);
    EXPECT_EQ(Os().win.FromHandle(dialog.m_button.m_hWnd), &dialog.m_button);
    EXPECT_EQ(dialog.m_styleAtInit & WS_VISIBLE, 0u);
    EXPECT_NE(Style(hwnd) & WS_VISIBLE, 0u);

    // The window and its outer size with the template's style, less the caption.
    const RECT window = WindowRect(hwnd);
    const RECT frame = Frame(Style(hwnd), ExStyle(hwnd));
    EXPECT_EQ(Width(window), Width(dialog.m_clientAtInit) + Width(frame));
    EXPECT_EQ(Height(window), Height(dialog.m_clientAtInit) + Height(frame));

    ASSERT_TRUE(dialog.DestroyWindow());
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_FALSE(Os().win.IsWindow(hwnd));
}

TEST_F(DialogContract, MissingTemplateFailsTheRun) {
    CDialog dialog(IDD_CONTRACT_DIALOG + 77);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_FALSE(dialog.Create());
}

}  // namespace
