// The bar by keyboard and screen reader: its hotkey and the Options that
// set it, Esc, the focus it shows, high contrast, and what a reader hears.
#include <functional>
#include <tuple>

#include "resources/resource.h"
#include "settings/HotKey.h"
#include "tests/support/BarFixture.h"

namespace {

constexpr WORD kCtrlAltHome = 0x0624;
constexpr UINT kCtrlAlt = MOD_CONTROL | MOD_ALT;

class KeyboardTest : public BarTest {
protected:
    // Keys with modifiers held, as the user presses them.
    void Keys(std::initializer_list<int> held, int vk) {
        for (const int key : held) {
            os.SetKeyDown(key, true);
        }
        os.PressKey(vk);
        for (const int key : held) {
            os.SetKeyDown(key, false);
        }
    }
    // Runs the bar's Options, doing `act` on it once it is up; `act` ends it.
    void WithOptions(const std::function<void(HWND)>& act) {
        os.SetModalIdle([&] {
            const HWND options = os.FindWindowA(nullptr, "Vossel Options");
            ASSERT_NE(options, nullptr);
            act(options);
            os.PostMessageA(options, WM_NULL, 0, 0);
        });
        bar->ApplyOptions();
    }
    bool TakenShown(HWND options) { return os.IsWindowVisible(os.GetDlgItem(options, IDC_HOTKEY_TAKEN)) != FALSE; }
    // The hotkeys held, as "window:modifiers+key".
    std::vector<std::string> Held() {
        std::vector<std::string> held;
        for (const auto& key : os.HotKeys()) {
            held.push_back((key.hwnd == bar->m_hWnd ? "bar:" : "other:") + std::to_string(key.modifiers) + "+" +
                           std::to_string(key.vk));
        }
        return held;
    }
};

TEST_F(KeyboardTest, StoredHotkeysAreReadAsTheControlGivesThemAndAnythingElseIsTheDefault) {
    const std::tuple<std::optional<DWORD>, WORD> cases[] = {
        {std::nullopt, kCtrlAltHome},
        {0, 0},                   // none, on purpose
        {0x0241, 0x0241},         // Ctrl+A
        {0x007B, 0x007B},         // F12 alone
        {0x0724, 0x0724},         // Ctrl+Alt+Shift+Home
        {0x0600, kCtrlAltHome},   // modifiers without a key
        {0x0610, kCtrlAltHome},   // Shift as the key
        {0x0611, kCtrlAltHome},   // Ctrl as the key
        {0x0612, kCtrlAltHome},   // Alt as the key
        {0x0E24, kCtrlAltHome},   // the control's extended mark is no stored bit
        {0x1624, kCtrlAltHome},   // an unknown modifier
        {0x10024, kCtrlAltHome},  // wider than a word
    };
    for (const auto& [stored, loaded] : cases) {
        if (stored) {
            const DWORD value = *stored;
            const auto* bytes = reinterpret_cast<const BYTE*>(&value);
            os.SetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Hot Key", REG_DWORD,
                                std::vector<BYTE>(bytes, bytes + sizeof(value)));
        }
        EXPECT_EQ(LoadHotKey(), loaded) << std::hex << stored.value_or(0xFFFFFFFF);
    }
    // The control marks the navigation keys extended; stored, the mark goes, and modifiers map to RegisterHotKey's.
    const std::tuple<WORD, WORD, UINT> keys[] = {{kCtrlAltHome, 0x0E24, kCtrlAlt},
                                                 {0x0123, 0x0923, MOD_SHIFT},
                                                 {0x022D, 0x0A2D, MOD_CONTROL},
                                                 {0x042E, 0x0C2E, MOD_ALT},
                                                 {0x0241, 0x0241, MOD_CONTROL},
                                                 {0x0021, 0x0821, 0},
                                                 {0x0728, 0x0F28, kCtrlAlt | MOD_SHIFT},
                                                 {0x007B, 0x007B, 0},
                                                 {0x006F, 0x086F, 0}};
    for (const auto& [hotKey, control, modifiers] : keys) {
        EXPECT_EQ(HotKeyControlValue(hotKey), control) << std::hex << hotKey;
        EXPECT_EQ(StoredHotKey(control), hotKey) << std::hex << control;
        EXPECT_EQ(HotKeyModifiers(hotKey), modifiers | MOD_NOREPEAT) << std::hex << hotKey;
    }
    EXPECT_EQ(StoredHotKey(0x0E10), 0) << "Shift held alone is no hotkey";
    EXPECT_EQ(StoredHotKey(0), 0);
}

TEST_F(KeyboardTest, AHotkeyAnotherProgramHoldsIsLeftOutSilentlyOptionsSaysSoAndChangesItTriesItAgainOrClearsIt) {
    const HWND other = os.CreateForeignWindow("Other", "Other", WS_POPUP | WS_VISIBLE, 0, RECT{0, 100, 50, 150});
    ASSERT_TRUE(os.RegisterHotKey(other, 9, kCtrlAlt, VK_HOME));
    CreateBar();
    EXPECT_TRUE(bar->HotKeyTaken());
    EXPECT_TRUE(os.MessageBoxes().empty());
    EXPECT_EQ(Held(), (std::vector<std::string>{"other:3+36"}));

    // Options says so beside the control, and takes another key when one is typed.
    bool takenAtFirst = false, takenAfter = true;
    WORD shown = 0;
    WithOptions([&](HWND options) {
        takenAtFirst = TakenShown(options);
        shown = static_cast<WORD>(os.SendMessageA(os.GetDlgItem(options, IDC_HOTKEY), HKM_GETHOTKEY, 0, 0));
        os.SetFocus(os.GetDlgItem(options, IDC_HOTKEY));
        Keys({VK_CONTROL, VK_SHIFT}, VK_F12);
        takenAfter = TakenShown(options);
        os.PressKey(VK_RETURN);
    });
    EXPECT_TRUE(takenAtFirst);
    EXPECT_EQ(shown, 0x0E24) << "Ctrl+Alt+Home, extended";
    EXPECT_FALSE(takenAfter);
    EXPECT_FALSE(bar->HotKeyTaken());
    EXPECT_EQ(Held(), (std::vector<std::string>{"other:3+36", "bar:6+123"}));

    // Another program's hotkey cannot be typed: it goes to that program, and
    // the control keeps the bar's own, which is no other program's. Esc cancels.
    WithOptions([&](HWND options) {
        takenAtFirst = TakenShown(options);
        os.SetFocus(os.GetDlgItem(options, IDC_HOTKEY));
        Keys({VK_CONTROL, VK_MENU}, VK_HOME);
        shown = static_cast<WORD>(os.SendMessageA(os.GetDlgItem(options, IDC_HOTKEY), HKM_GETHOTKEY, 0, 0));
        takenAfter = TakenShown(options);
        os.PressKey(VK_ESCAPE);
    });
    EXPECT_FALSE(takenAtFirst);
    EXPECT_EQ(shown, 0x037B) << "Ctrl+Shift+F12";
    EXPECT_FALSE(takenAfter);
    EXPECT_EQ(Held(), (std::vector<std::string>{"other:3+36", "bar:6+123"}));

    // Once the other program lets it go, OK with the same key takes it.
    os.UnregisterHotKey(other, 9);
    WithOptions([&](HWND options) {
        os.SetFocus(os.GetDlgItem(options, IDC_HOTKEY));
        Keys({VK_CONTROL, VK_MENU}, VK_HOME);
        os.PressKey(VK_RETURN);
    });
    EXPECT_EQ(Held(), (std::vector<std::string>{"bar:3+36"}));

    // Delete empties the control: no hotkey, stored as 0, and none at the next start.
    WithOptions([&](HWND options) {
        os.SetFocus(os.GetDlgItem(options, IDC_HOTKEY));
        os.PressKey(VK_DELETE);
        takenAfter = TakenShown(options);
        os.PressKey(VK_RETURN);
    });
    EXPECT_FALSE(takenAfter);
    EXPECT_TRUE(Held().empty());
    EXPECT_EQ(bar->HotKey(), 0);
    bar->DestroyWindow();
    EXPECT_EQ(os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Hot Key")->data, (std::vector<BYTE>{0, 0, 0, 0}));
    CreateBar();
    EXPECT_TRUE(Held().empty());
    EXPECT_FALSE(bar->HotKeyTaken());
}

TEST_F(KeyboardTest, EscGivesTheKeyboardBackToTheWindowThatHadItOrTheFirstInFrontHidesAnAutoHideBarAndLeavesItRunning) {
    for (const bool autoHide : {false, true}) {
        for (const bool previousGone : {false, true}) {
            SCOPED_TRACE(std::to_string(autoHide) + " " + std::to_string(previousGone));
            CreateBar();
            BARPLACEMENT placement = bar->GetPlacement();
            placement.bAutoHide = autoHide;
            bar->SetPlacement(&placement);
            const HWND behind = os.CreateForeignWindow("Other", "Behind", WS_POPUP | WS_VISIBLE, 0, {0, 300, 99, 399});
            const HWND tool =
                os.CreateForeignWindow("Other", "Tool", WS_POPUP | WS_VISIBLE, WS_EX_TOOLWINDOW, {0, 200, 99, 299});
            const HWND editor = os.CreateForeignWindow("Other", "Editor", WS_POPUP | WS_VISIBLE, 0, {0, 100, 99, 199});
            os.UserActivates(editor);
            os.AdvanceClock(400);  // the bar notes the window in front
            if (previousGone) {
                os.DestroyWindow(editor);
            }
            os.UserActivates(bar->m_hWnd);
            os.SendMessageA(bar->m_hWnd, WM_NCMOUSEMOVE, 0, 0);
            os.SetFocus(os.GetDlgItem(bar->m_hWnd, IDC_MENU_BUTTON));
            os.PressKey(VK_ESCAPE);
            // A tool window is passed over, as the system passes it over.
            EXPECT_EQ(os.GetForegroundWindow(), previousGone ? behind : editor);
            EXPECT_NE(os.GetForegroundWindow(), tool);
            EXPECT_TRUE(os.IsWindow(bar->m_hWnd));
            EXPECT_EQ(WindowRect(bar->m_hWnd).top,
                      autoHide ? 2 - WindowRect(bar->m_hWnd).bottom + WindowRect(bar->m_hWnd).top : 0);
            bar->DestroyWindow();
            for (const HWND hwnd : {behind, tool, editor}) {
                os.DestroyWindow(hwnd);
            }
        }
    }
}

TEST_F(KeyboardTest, TheFocusShowsOnceTheKeyboardIsUsedUnlessTheUserKeepsCuesOnAndTheSystemMayHideItAgain) {
    for (const BOOL cuesOn : {FALSE, TRUE}) {
        os.SetKeyboardCues(cuesOn);
        CreateBar();
        const HWND menu = os.GetDlgItem(bar->m_hWnd, IDC_MENU_BUTTON);
        const HWND drive = bar->DriveButtons()[0]->m_hWnd;
        const auto focusRects = [&] {
            int rects = 0;
            for (const auto& call : os.GdiCalls()) {
                rects += call.function == "DrawFocusRect" ? 1 : 0;
            }
            return rects;
        };
        os.ClearLogs();
        os.SetFocus(nullptr);
        os.SetFocus(menu);
        // With cues kept on, the rectangle goes with the focus and comes back with it.
        EXPECT_EQ(focusRects(), cuesOn ? 2 : 0) << "focused by the mouse";
        // The keyboard moves the focus: from then on it shows, and a full repaint draws it too.
        os.ClearLogs();
        os.PressKey(VK_TAB);
        EXPECT_EQ(os.Focus(), drive);
        // The menu button's goes and the drive's comes; with cues off, the
        // menu button's first shows as the keyboard is used.
        EXPECT_EQ(focusRects(), cuesOn ? 2 : 3);
        EXPECT_EQ(os.SendMessageA(bar->m_hWnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0);
        EXPECT_EQ(Paint(drive, ODS_FOCUS).back().function, "DrawFocusRect");
        // The system hides the cues again (a click elsewhere, say): the rectangle goes.
        os.ClearLogs();
        os.SendMessageA(bar->m_hWnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
        EXPECT_EQ(focusRects(), 0) << "drawn anew without it";
        EXPECT_EQ(Paint(drive, ODS_FOCUS).back().function, "DrawStateA");
        bar->DestroyWindow();
    }
}

TEST_F(KeyboardTest, AScreenReaderHearsTheBarAsAToolbarAndTheMenuButtonByNameItsDefaultActionOpensTheMenu) {
    CreateBar();
    const HWND menu = os.GetDlgItem(bar->m_hWnd, IDC_MENU_BUTTON);
    const auto barRead = os.ReadAccessible(bar->m_hWnd);
    EXPECT_EQ(barRead.name, "Vossel");
    EXPECT_EQ(barRead.role, ROLE_SYSTEM_TOOLBAR);
    EXPECT_EQ(barRead.defaultAction, "");
    const auto menuRead = os.ReadAccessible(menu);
    EXPECT_EQ(menuRead.name, "Vossel menu");
    EXPECT_EQ(menuRead.role, ROLE_SYSTEM_BUTTONMENU);
    EXPECT_EQ(menuRead.defaultAction, "Open");
    os.ClearLogs();
    EXPECT_TRUE(os.DoAccessibleDefaultAction(menu));
    os.PumpMessages();
    EXPECT_EQ(os.MenuShowings().size(), 1u);
    EXPECT_FALSE(os.DoAccessibleDefaultAction(bar->m_hWnd));
}

TEST_F(KeyboardTest, InHighContrastEveryButtonDrawsInTheSystemsColoursAndAColourChangeMapsThePicturesAnew) {
    CreateBar();
    const HWND drive = bar->DriveButtons()[0]->m_hWnd;
    os.SendMessageA(bar->m_hWnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    const COLORREF text = RGB(255, 255, 0), face = RGB(0, 0, 0), highlight = RGB(0, 255, 255);
    for (const bool contrast : {false, true}) {
        SCOPED_TRACE(contrast);
        os.SetHighContrast(contrast);
        os.SetSysColor(COLOR_BTNTEXT, contrast ? text : RGB(0, 0, 0));
        os.SetSysColor(COLOR_BTNFACE, contrast ? face : RGB(192, 192, 192));
        os.SetSysColor(COLOR_HIGHLIGHT, highlight);
        os.ClearLogs();
        os.SendMessageA(bar->m_hWnd, WM_SYSCOLORCHANGE, 0, 0);
        // Both pictures of every button, mapped to the face colour there is now.
        int faces = 0;
        for (const auto& call : os.GdiCalls()) {
            faces += call.function == "CreateMappedBitmap" && call.colorTo == os.GetSysColor(COLOR_BTNFACE) ? 1 : 0;
        }
        EXPECT_EQ(faces, 3);
        std::string drawn;
        for (const auto& call : Paint(drive, ODS_FOCUS)) {
            if (call.function == "DrawStateA") {
                const bool picture = (call.flags & 0xF) == DST_BITMAP;
                drawn += (picture ? "picture" : call.text) + ((call.flags & DSS_MONO) != 0 ? " mono" : "") + " in " +
                         std::to_string(call.colorTo) + "; ";
            } else if (call.function == "FrameRect" || call.function == "DrawFocusRect") {
                drawn += call.function + " in " + std::to_string(call.colorFrom) + "; ";
            }
        }
        const std::string inText = std::to_string(os.GetSysColor(COLOR_BTNTEXT));
        EXPECT_EQ(drawn, contrast ? "picture mono in " + inText + "; C: in " + inText + "; FrameRect in " +
                                        std::to_string(highlight) + "; "
                                  : "picture in 0; C: in 0; DrawFocusRect in 0; ");
    }
    // In high contrast a change of focus draws the face anew: no colour of its own is left behind.
    os.SetHighContrast(true);
    DRAWITEMSTRUCT item{ODT_BUTTON, IDC_FIRST_DRIVE, 0, ODA_FOCUS, 0, drive, os.GetDC(drive), ClientRectOf(drive), 0};
    os.ClearLogs();
    os.SendMessageA(bar->m_hWnd, WM_DRAWITEM, IDC_FIRST_DRIVE, reinterpret_cast<LPARAM>(&item));
    os.ReleaseDC(drive, item.hDC);
    ASSERT_FALSE(os.GdiCalls().empty());
    EXPECT_EQ(os.GdiCalls().front().function, "DrawFrameControl");
    EXPECT_EQ(os.GdiCalls().back().function, "DrawStateA") << "no focus left";
}

}  // namespace
