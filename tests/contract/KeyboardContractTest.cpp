// The keyboard: the focus, the dialog manager's Tab order and keys, hotkeys,
// the foreground window, keyboard cues and high contrast, and what a screen
// reader reads of a window and hears of it.
#include <tuple>

#include "platform/Dialog.h"
#include "tests/contract/ContractFixture.h"

namespace {

using Events = std::vector<std::tuple<DWORD, HWND, LONG>>;

#ifndef VOSSEL_CONTRACT_MEMORY
Events g_events;
void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG idObject, LONG, DWORD, DWORD) {
    g_events.emplace_back(event, hwnd, idObject);
}
#endif

// Owner-drawn buttons in a dialog, whose commands, menus and drawing it records.
class KeysDialog : public Recording<CDialog> {
public:
    KeysDialog() : Recording<CDialog>(IDD_CONTRACT_DIALOG) {}
    std::vector<WPARAM> m_commands;
    std::vector<HWND> m_menus;
    std::vector<UINT> m_drawnStates;

    void OnOK() override { m_commands.push_back(IDOK); }
    void OnCancel() override { m_commands.push_back(IDCANCEL); }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) {
            m_commands.push_back(wParam);
        }
        return CDialog::OnCommand(wParam, lParam);
    }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CONTEXTMENU) {
            m_menus.push_back(reinterpret_cast<HWND>(wParam));
            return 0;
        }
        if (msg == WM_DRAWITEM) {
            m_drawnStates.push_back(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->itemState);
            return TRUE;
        }
        return Recording<CDialog>::WindowProc(msg, wParam, lParam);
    }
};

// A window whose object tells a screen reader its own name, role and action.
class Answering : public CWnd {
public:
    AccessibleAnswers m_answers;
    BOOL m_bAnswers = TRUE;
    BOOL GetAccessibleAnswers(HWND hwnd, AccessibleAnswers* answers) override {
        if (hwnd != m_hWnd || !m_bAnswers) {
            return FALSE;
        }
        *answers = m_answers;
        return TRUE;
    }
};

using KeyboardContract = ContractTest;

constexpr UINT kZOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
constexpr DWORD kOwnerDrawn = BS_OWNERDRAW | WS_TABSTOP;

TEST_F(KeyboardContract, TabFollowsTheZOrderArrowsWrapInTheGroupAndTheDialogManagerAnswersEscReturnAndSpace) {
    KeysDialog dialog;
    ASSERT_TRUE(dialog.Create());
    const HWND dlg = dialog.m_hWnd;
    const HWND first = Os().win.GetDlgItem(dlg, IDC_CONTRACT_BUTTON);
    const HWND second = MakeChild(dlg, "Button", 51, RECT{0, 0, 10, 10}, nullptr, kOwnerDrawn);
    const HWND third = MakeChild(dlg, "Button", 52, RECT{10, 0, 20, 10}, nullptr, kOwnerDrawn);
    // Made last, and placed after the first in the z-order, it comes second in the Tab order.
    const HWND placed = MakeChild(dlg, "Button", 53, RECT{20, 0, 30, 10}, nullptr, kOwnerDrawn);
    ASSERT_TRUE(Os().win.SetWindowPos(placed, first, 0, 0, 0, 0, kZOrderOnly));
    std::vector<HWND> order;
    for (HWND child = Os().win.GetWindow(dlg, GW_CHILD); child != nullptr;
         child = Os().win.GetWindow(child, GW_HWNDNEXT)) {
        order.push_back(child);
    }
    EXPECT_EQ(order, (std::vector<HWND>{first, placed, second, third}));
    EXPECT_EQ(Os().win.SendMessageA(first, WM_GETDLGCODE, 0, 0), static_cast<LRESULT>(DLGC_BUTTON));

    Os().win.SetFocus(first);
    EXPECT_EQ(Os().win.GetFocus(), first);
    const struct {
        int vk;
        std::initializer_list<int> held;
        HWND focus;
    } steps[] = {{VK_TAB, {}, placed},  {VK_TAB, {}, second},        {VK_TAB, {}, third},
                 {VK_TAB, {}, first},   {VK_TAB, {VK_SHIFT}, third}, {VK_TAB, {VK_SHIFT}, second},
                 {VK_RIGHT, {}, third}, {VK_RIGHT, {}, first},       {VK_DOWN, {}, placed},
                 {VK_LEFT, {}, first},  {VK_UP, {}, third}};
    int n = 0;
    for (const auto& step : steps) {
        Press(step.vk, step.held);
        EXPECT_EQ(Os().win.GetFocus(), step.focus) << "step " << n++;
    }
    // Esc cancels and Return is the dialog's OK on an owner-drawn button;
    // Space clicks the focused button, and Shift+F10 asks for its menu.
    Press(VK_ESCAPE);
    Press(VK_RETURN);
    Press(VK_SPACE);
    EXPECT_EQ(dialog.m_commands, (std::vector<WPARAM>{IDCANCEL, IDOK, MAKEWPARAM(52, BN_CLICKED)}));
    Press(VK_F10, {VK_SHIFT});
    EXPECT_EQ(dialog.m_menus, (std::vector<HWND>{third}));

    // The dialog gives its control the focus back when it is active again.
    const HWND other = MakeWindow(WS_POPUP | WS_VISIBLE, 0, RECT{400, 400, 500, 450});
    Os().win.SetActiveWindow(other);
    EXPECT_NE(Os().win.GetFocus(), third);
    Os().win.SetActiveWindow(dlg);
    EXPECT_EQ(Os().win.GetFocus(), third);
    ASSERT_TRUE(dialog.DestroyWindow());
}

TEST_F(KeyboardContract, ShownCuesDrawTheFocusOfAnOwnerDrawnButtonAndHighContrastReadsAsOff) {
    KeysDialog dialog;
    ASSERT_TRUE(dialog.Create());
    const HWND dlg = dialog.m_hWnd;
    const HWND first = Os().win.GetDlgItem(dlg, IDC_CONTRACT_BUTTON);
    const HWND second = MakeChild(dlg, "Button", 51, RECT{0, 0, 10, 10}, nullptr, kOwnerDrawn);
    // Asked of a control, the change reaches the dialog and every control in it.
    Os().win.SendMessageA(second, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    for (const HWND hwnd : {dlg, first, second}) {
        EXPECT_EQ(Os().win.SendMessageA(hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0);
    }
    Os().win.SetFocus(first);
    dialog.m_drawnStates.clear();
    Os().win.SetFocus(second);
    // The button losing the focus draws, then the one taking it, with its focus shown.
    ASSERT_EQ(dialog.m_drawnStates.size(), 2u);
    EXPECT_EQ(dialog.m_drawnStates[0] & (ODS_FOCUS | ODS_NOFOCUSRECT), 0u);
    EXPECT_EQ(dialog.m_drawnStates[1] & (ODS_FOCUS | ODS_NOFOCUSRECT), ODS_FOCUS);

    HIGHCONTRASTA contrast{sizeof(contrast), HCF_HIGHCONTRASTON, nullptr};
    ASSERT_TRUE(Os().win.SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0));
    EXPECT_EQ(contrast.dwFlags & HCF_HIGHCONTRASTON, 0u);
    ASSERT_TRUE(dialog.DestroyWindow());
}

TEST_F(KeyboardContract, AHotkeyIsOneWindowsAtATimeTheHotkeyControlKeepsItsValueAndTheForegroundFollows) {
    const HWND bar = MakeWindow(WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 100, 30});
    const HWND other = MakeWindow(WS_POPUP | WS_VISIBLE, 0, RECT{0, 100, 100, 130});
    const UINT ctrlAlt = MOD_CONTROL | MOD_ALT;
    EXPECT_TRUE(Os().win.RegisterHotKey(bar, 1, ctrlAlt, VK_HOME));
    EXPECT_FALSE(Os().win.RegisterHotKey(other, 7, ctrlAlt | MOD_NOREPEAT, VK_HOME)) << "taken";
    EXPECT_TRUE(Os().win.RegisterHotKey(other, 7, ctrlAlt, VK_END)) << "another key is free";
    EXPECT_TRUE(Os().win.UnregisterHotKey(bar, 1));
    EXPECT_TRUE(Os().win.RegisterHotKey(other, 8, ctrlAlt, VK_HOME)) << "free once given up";
    EXPECT_TRUE(Os().win.UnregisterHotKey(other, 7));
    EXPECT_TRUE(Os().win.UnregisterHotKey(other, 8));
    // Held down, a hotkey registered without repeats comes once.
    EXPECT_TRUE(Os().win.RegisterHotKey(bar, 2, ctrlAlt | MOD_NOREPEAT, VK_F12));
    EXPECT_TRUE(Os().win.UnregisterHotKey(bar, 2));

    const HWND control = MakeChild(bar, HOTKEY_CLASSA, 60, RECT{0, 0, 100, 20});
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(Os().win.SendMessageA(control, WM_GETDLGCODE, 0, 0),
              static_cast<LRESULT>(DLGC_WANTCHARS | DLGC_WANTARROWS));
    const WORD value = MAKEWORD(VK_HOME, HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_EXT);
    Os().win.SendMessageA(control, HKM_SETHOTKEY, value, 0);
    EXPECT_EQ(Os().win.SendMessageA(control, HKM_GETHOTKEY, 0, 0), value);

    for (const HWND hwnd : {bar, other, bar}) {
        EXPECT_TRUE(Os().win.SetForegroundWindow(hwnd));
        EXPECT_EQ(Os().win.GetForegroundWindow(), hwnd);
    }
}

TEST_F(KeyboardContract, AScreenReaderReadsAWindowsOwnAnswersAnewAndTheSystemsForTheRestAndHearsOfWindowsMadeAndGone) {
    ASSERT_GE(Os().sys.OleInitialize(), 0);
#ifndef VOSSEL_CONTRACT_MEMORY
    g_events.clear();
    const HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_NAMECHANGE, nullptr, OnWinEvent,
                                                 ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
#endif
    const HWND parent = MakeWindow(WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 200, 50}, "Parent");
    Answering answering;
    answering.m_answers = {L"(SYSTEM) C:\\", ROLE_SYSTEM_PUSHBUTTON, L"Open", L""};
    const HWND hwnd = Os().win.CreateWindowExA(0, kContractWindowClass, "C:", WS_CHILD | WS_VISIBLE, 0, 0, 40, 20,
                                               parent, 7, &answering);
    ASSERT_NE(hwnd, nullptr);
    const HWND plain = MakeChild(parent, kContractWindowClass, 8, RECT{50, 0, 90, 20});
    Os().win.SetWindowTextA(plain, "Plain");
    Os().win.NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
    Os().win.SetFocus(hwnd);
    Pump();

    Accessible read = ReadAccessible(hwnd);
    EXPECT_EQ(read.name, "(SYSTEM) C:\\");
    EXPECT_EQ(read.role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(read.defaultAction, "Open");
    answering.m_answers.name = L"(DATA) C:\\";
    EXPECT_EQ(ReadAccessible(hwnd).name, "(DATA) C:\\") << "read anew";
    // Without answers, and for a window without an object, the system's own object answers.
    answering.m_bAnswers = FALSE;
    EXPECT_EQ(Os().win.SendMessageA(hwnd, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)), 0);
    RecordingWnd silent;
    const HWND top = MakeWindow(WS_POPUP, 0, RECT{0, 60, 50, 90}, "Silent", &silent);
    EXPECT_EQ(Os().win.SendMessageA(top, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)), 0);
    for (const auto& [window, text] : {std::make_pair(hwnd, "C:"), std::make_pair(plain, "Plain")}) {
        read = ReadAccessible(window);
        EXPECT_EQ(read.name, text);
        EXPECT_EQ(read.role, ROLE_SYSTEM_CLIENT);
    }

    // A window that goes is heard of too, from the system, on Windows.
    Os().win.DestroyWindow(plain);
    Pump();

#ifdef VOSSEL_CONTRACT_MEMORY
    Events events;
    for (const auto& e : m_os.WinEvents()) {
        events.emplace_back(e.event, e.hwnd, e.idObject);
    }
#else
    ::UnhookWinEvent(hook);
    const Events events = g_events;
#endif
    const auto heard = [&events](DWORD event, HWND window, LONG object) {
        return std::find(events.begin(), events.end(), std::make_tuple(event, window, object)) != events.end();
    };
    EXPECT_TRUE(heard(EVENT_OBJECT_CREATE, hwnd, OBJID_WINDOW));
    EXPECT_TRUE(heard(EVENT_OBJECT_CREATE, plain, OBJID_WINDOW));
#ifdef VOSSEL_CONTRACT_MEMORY
    // Windows tells of every window destroyed as of every one made; Wine 8 tells only of those made.
    EXPECT_TRUE(heard(EVENT_OBJECT_DESTROY, plain, OBJID_WINDOW));
#endif
    EXPECT_FALSE(heard(EVENT_OBJECT_DESTROY, hwnd, OBJID_WINDOW)) << "not before it goes";
    EXPECT_TRUE(heard(EVENT_OBJECT_NAMECHANGE, hwnd, OBJID_CLIENT));
    EXPECT_TRUE(heard(EVENT_OBJECT_FOCUS, hwnd, OBJID_CLIENT));
    Os().win.DestroyWindow(hwnd);
    Os().sys.OleUninitialize();
}

}  // namespace

ContractTest::Accessible ContractTest::ReadAccessible(HWND hwnd) {
#ifdef VOSSEL_CONTRACT_MEMORY
    const MemoryOs::AccessibleRead read = m_os.ReadAccessible(hwnd);
    return Accessible{read.name, read.role, read.defaultAction};
#else
    Accessible read;
    IAccessible* accessible = nullptr;
    // MinGW's import library gives IID_IAccessible wrong.
    const IID iidAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
    if (FAILED(::AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), iidAccessible,
                                            reinterpret_cast<void**>(&accessible)))) {
        return read;
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    const auto text = [](BSTR value) {
        std::string narrow;
        for (const WCHAR* c = value; c != nullptr && *c != 0; ++c) {
            narrow += static_cast<char>(*c < 0x80 ? *c : '?');
        }
        ::SysFreeString(value);
        return narrow;
    };
    BSTR value = nullptr;
    if (SUCCEEDED(accessible->get_accName(self, &value))) {
        read.name = text(value);
    }
    VARIANT role{};
    if (SUCCEEDED(accessible->get_accRole(self, &role)) && role.vt == VT_I4) {
        read.role = role.lVal;
    }
    value = nullptr;
    if (SUCCEEDED(accessible->get_accDefaultAction(self, &value))) {
        read.defaultAction = text(value);
    }
    accessible->Release();
    return read;
#endif
}
