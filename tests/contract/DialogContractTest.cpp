// Dialogs on templates, the controls the dialogs use, pop-up placement, the
// mouse capture, and strings and menus from the resources.
#include <cstdlib>

#include "platform/Dialog.h"
#include "tests/contract/ContractFixture.h"

namespace {

class ContractDialog : public Recording<CDialog> {
public:
    ContractDialog() : Recording<CDialog>(IDD_CONTRACT_DIALOG) {}

    // The result to end the run with from OnInitDialog; IDCANCEL is posted
    // for the modal loop to deliver, and 0 leaves a modeless dialog alone.
    INT_PTR m_endAtInit = IDCANCEL;
    DWORD m_styleAtInit = 0;
    RECT m_clientAtInit{0, 0, 0, 0}, m_buttonAtInit{0, 0, 0, 0};
    CButton m_button;

    BOOL OnInitDialog() override {
        const BOOL result = CDialog::OnInitDialog();
        m_styleAtInit = GetStyle();
        GetClientRect(&m_clientAtInit);
        if (m_button.m_hWnd != nullptr) {
            m_button.GetWindowRect(&m_buttonAtInit);
        }
        if (m_endAtInit == IDCANCEL) {
            Os().win.PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        } else if (m_endAtInit != 0) {
            EndDialog(static_cast<int>(m_endAtInit));
        }
        return result;
    }

protected:
    void DoDataExchange(CDataExchange* dx) override {
        CDialog::DoDataExchange(dx);
        DDX_Control(dx, IDC_CONTRACT_BUTTON, m_button);
    }
};

// A pop-up dialog with an owner that notes where its client area starts, and may move itself.
class OwnedDialog : public CDialog {
public:
    OwnedDialog(CWnd* owner, bool moves) : CDialog(IDD_CONTRACT_OWNED, owner), m_bMoves(moves) {}
    POINT m_ptAtInit{0, 0};

    BOOL OnInitDialog() override {
        m_ptAtInit = POINT{0, 0};
        ClientToScreen(&m_ptAtInit);
        if (m_bMoves) {
            SetWindowPos(nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return CDialog::OnInitDialog();
    }

private:
    bool m_bMoves;
};

using DialogContract = ContractTest;

TEST_F(DialogContract, DialogsRunOnTemplatesTheirControlsKeepWhatTheyExchangeAndResourcesLoad) {
    ContractDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_TRUE(dialog.Received(WM_CREATE));
    EXPECT_LT(dialog.IndexOf(WM_CREATE), dialog.IndexOf(WM_INITDIALOG));
    EXPECT_LT(dialog.IndexOf(WM_INITDIALOG), dialog.IndexOf(WM_DESTROY));
    EXPECT_EQ(dialog.m_messages.back(), WM_NCDESTROY);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.m_button.m_hWnd, nullptr);
    // A DS_CONTROL template loses its caption and system menu, and the window
    // shows only after its initialisation.
    EXPECT_EQ(dialog.m_styleAtInit & (WS_CAPTION | WS_SYSMENU | WS_VISIBLE), 0u);
    EXPECT_EQ(dialog.m_styleAtInit & (WS_POPUP | WS_THICKFRAME), WS_POPUP | WS_THICKFRAME);
    // The exchanged control covers the dialog's whole client area.
    EXPECT_GT(Width(dialog.m_clientAtInit), 0);
    EXPECT_EQ(Str(RECT{0, 0, Width(dialog.m_buttonAtInit), Height(dialog.m_buttonAtInit)}), Str(dialog.m_clientAtInit));

    ContractDialog ended;
    ended.m_endAtInit = 42;
    EXPECT_EQ(ended.DoModal(), 42);
    CDialog missing(IDD_CONTRACT_DIALOG + 77);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_FALSE(missing.Create());
    ContractDialog modeless;
    modeless.m_endAtInit = 0;
    ASSERT_TRUE(modeless.Create());
    const HWND hwnd = modeless.m_hWnd;
    EXPECT_EQ(Os().win.FromHandle(hwnd), &modeless);
    EXPECT_EQ(Os().win.GetDlgItem(hwnd, IDC_CONTRACT_BUTTON), modeless.m_button.m_hWnd);
    EXPECT_EQ(Os().win.FromHandle(modeless.m_button.m_hWnd), &modeless.m_button);
    EXPECT_NE(Style(hwnd) & WS_VISIBLE, 0u);
    // The outer size is the client area and the frame of the style less the caption.
    const RECT frame = Frame(Style(hwnd), Style(hwnd, GWL_EXSTYLE)), window = WindowRect(hwnd),
               client = modeless.m_clientAtInit;
    EXPECT_EQ(Str(RECT{0, 0, Width(window), Height(window)}),
              Str(RECT{0, 0, Width(client) + Width(frame), Height(client) + Height(frame)}));
    ASSERT_TRUE(modeless.DestroyWindow());
    EXPECT_FALSE(Os().win.IsWindow(hwnd));
    // Strings are truncated to the buffer; menu items are checked.
    const struct {
        int size, length;
        const char* text;
    } cases[] = {{64, 13, "Contract text"}, {14, 13, "Contract text"}, {5, 4, "Cont"}};
    for (const auto& c : cases) {
        char buffer[64] = {};
        EXPECT_EQ(Os().win.LoadStringA(IDS_CONTRACT_TEXT, buffer, c.size), c.length) << c.size;
        EXPECT_STREQ(buffer, c.text);
    }
    char noString[64] = {};
    EXPECT_EQ(Os().win.LoadStringA(IDS_CONTRACT_TEXT + 50, noString, 64), 0);

    const HMENU menu = Os().win.LoadMenuA(IDR_CONTRACT_MENU);
    const HMENU popup = Os().win.GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    // CheckMenuItem answers the item's previous state, or -1 for no such item.
    const struct {
        UINT id, check;
        DWORD previous;
    } steps[] = {{ID_CONTRACT_FIRST, MF_CHECKED, MF_UNCHECKED},
                 {ID_CONTRACT_FIRST, MF_CHECKED, MF_CHECKED},
                 {ID_CONTRACT_FIRST, MF_UNCHECKED, MF_CHECKED},
                 {ID_CONTRACT_SECOND, MF_CHECKED, MF_UNCHECKED},
                 {ID_CONTRACT_SECOND + 9, MF_CHECKED, static_cast<DWORD>(-1)}};
    for (const auto& s : steps) {
        EXPECT_EQ(Os().win.CheckMenuItem(popup, s.id, MF_BYCOMMAND | s.check), s.previous) << s.id;
    }
    EXPECT_TRUE(Os().win.DestroyMenu(menu));
    EXPECT_EQ(Os().win.LoadMenuA(IDR_CONTRACT_MENU + 50), nullptr);
    // Edits and check boxes keep what the dialogs exchange; a pop-up centres over its owner.
    const HWND owner = MakeWindow(WS_POPUP | WS_VISIBLE, 0, RECT{100, 100, 500, 300});
    const struct {
        DWORD style;
        const char *typed, *set;
    } edits[] = {{ES_UPPERCASE | ES_AUTOHSCROLL, "AD1", "CD"}, {ES_AUTOHSCROLL, "ad1", "cd"}, {ES_READONLY, "", "cd"}};
    for (const auto& e : edits) {
        const HWND edit = MakeChild(owner, "Edit", 10, RECT{4, 4, 124, 24}, nullptr, e.style);
        for (const char c : {'a', 'd', '1'}) {
            Os().win.SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
        }
        EXPECT_EQ(Text(edit), e.typed);
        Os().win.SetWindowTextA(edit, "cd");
        EXPECT_EQ(Text(edit), e.set);
    }
    // A three-state box keeps each of its states.
    const HWND box = MakeChild(owner, "Button", 20, RECT{4, 4, 124, 24}, nullptr, BS_AUTO3STATE);
    EXPECT_EQ(Os().win.SendMessageA(box, BM_GETCHECK, 0, 0), 0);
    for (const int state : {1, 2, 0}) {  // checked, indeterminate, unchecked
        Os().win.SendMessageA(box, BM_SETCHECK, static_cast<WPARAM>(state), 0);
        EXPECT_EQ(Os().win.SendMessageA(box, BM_GETCHECK, 0, 0), state);
    }
    CWnd centred;
    const HWND centredHwnd =
        Os().win.CreateWindowExA(0, kContractWindowClass, "", WS_POPUP, 30, 40, 200, 100, owner, 0, &centred);
    EXPECT_EQ(Os().win.GetWindow(centredHwnd, GW_OWNER), owner);
    centred.CenterWindow();
    EXPECT_EQ(Str(WindowRect(centredHwnd)), "200,150,400,250");
    // An owner off at the left: the pop-up stays inside the work area.
    Os().win.SetWindowPos(owner, nullptr, -300, 100, 400, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    centred.CenterWindow();
    RECT area{};
    Os().win.SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_EQ(WindowRect(centredHwnd).left, area.left);

    // A dialog's client area starts at its owner's; one that does not move itself is then centred over it.
    CWnd ownerObject;
    MakeWindow(WS_POPUP | WS_VISIBLE, 0, RECT{300, 200, 700, 400}, "", &ownerObject);
    for (const bool moves : {false, true}) {
        OwnedDialog owned(&ownerObject, moves);
        ASSERT_TRUE(owned.Create());
        EXPECT_EQ(owned.m_ptAtInit.x * 10000 + owned.m_ptAtInit.y, 300 * 10000 + 200) << moves;
        const RECT placed = WindowRect(owned.m_hWnd);
        if (moves) {
            EXPECT_EQ(placed.left * 10000 + placed.top, 10 * 10000 + 20);
        } else {
            EXPECT_LE(std::abs((placed.left + placed.right) / 2 - 500), 1) << Str(placed);
            EXPECT_LE(std::abs((placed.top + placed.bottom) / 2 - 300), 1) << Str(placed);
        }
        owned.DestroyWindow();
    }
    ownerObject.DestroyWindow();

    Os().win.SetCapture(owner);
    EXPECT_EQ(Os().win.GetCapture(), owner);
    Os().win.ReleaseCapture();
    EXPECT_EQ(Os().win.GetCapture(), nullptr);
}

}  // namespace
