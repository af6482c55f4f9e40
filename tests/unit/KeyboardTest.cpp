// The bar by keyboard and screen reader: its hotkey and the Options that
// set it, Esc, the focus it shows, high contrast, and what a reader hears.
#include <algorithm>
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
    // A button as the tables name it: M for the menu button, else its caption; another window by its title.
    std::string Name(HWND hwnd) {
        if (hwnd == nullptr) {
            return "nothing";
        }
        char text[64]{};
        os.GetWindowTextA(hwnd, text, sizeof(text));
        return hwnd == os.GetDlgItem(bar->m_hWnd, IDC_MENU_BUTTON) ? "M" : text;
    }
    // The bar's buttons from the focus on, as Tab, Shift+Tab or a key moves along them once round.
    std::string Walk(std::initializer_list<int> held, int vk) {
        const HWND start = os.Focus();
        std::string walked;
        for (size_t step = 0; step <= bar->DriveButtons().size(); ++step) {
            Keys(held, vk);
            walked += Name(os.Focus()) + " ";
        }
        EXPECT_EQ(os.Focus(), start) << walked;
        return walked;
    }
    // The bar comes to the keyboard by its hotkey.
    void HotKey() {
        Keys({VK_CONTROL, VK_MENU}, VK_HOME);
        os.PumpMessages();
    }
    // A docked bar is hidden when it reaches past the screen's edge.
    bool Hidden() {
        const RECT rect = WindowRect(bar->m_hWnd);
        return rect.left < 0 || rect.top < 0 || rect.right > 1024 || rect.bottom > 768;
    }
    // Whether the keys, pressed in another program's window, bring the bar forward.
    bool Brings(HWND other, std::initializer_list<int> held, int vk) {
        os.UserActivates(other);
        Keys(held, vk);
        os.PumpMessages();
        return os.GetForegroundWindow() == bar->m_hWnd;
    }
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
    EXPECT_FALSE(Brings(other, {VK_CONTROL, VK_MENU}, VK_HOME));

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
    EXPECT_TRUE(Brings(other, {VK_CONTROL, VK_SHIFT}, VK_F12));

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
    EXPECT_FALSE(Brings(other, {VK_CONTROL, VK_SHIFT}, VK_F12));
    EXPECT_TRUE(Brings(other, {VK_CONTROL, VK_MENU}, VK_HOME));

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
    EXPECT_FALSE(Brings(other, {VK_CONTROL, VK_MENU}, VK_HOME));
    bar->DestroyWindow();
    EXPECT_EQ(os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Hot Key")->data, (std::vector<BYTE>{0, 0, 0, 0}));
    CreateBar();
    EXPECT_TRUE(Held().empty());
    EXPECT_FALSE(bar->HotKeyTaken());
}

TEST_F(
    KeyboardTest,
    EscGivesTheKeyboardBackToTheWindowThatHadItOrTheFirstInFrontHidesAnAutoHideBarEvenWhenRefusedAndLeavesItRunning) {
    for (const bool autoHide : {false, true}) {
        for (const auto& [previousGone, handedOn] : {std::pair{false, true}, {true, true}, {false, false}}) {
            SCOPED_TRACE(std::to_string(autoHide) + " " + std::to_string(previousGone) + " " +
                         std::to_string(handedOn));
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
            // Another window raised in front unasked is not the one the keyboard goes back to.
            os.SetWindowPos(behind, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            if (previousGone) {
                os.DestroyWindow(editor);
            }
            os.UserActivates(bar->m_hWnd);
            os.SendMessageA(bar->m_hWnd, WM_NCMOUSEMOVE, 0, 0);
            os.SetFocus(os.GetDlgItem(bar->m_hWnd, IDC_MENU_BUTTON));
            // The system may refuse to hand the keyboard on: the bar hides all the same.
            if (!handedOn) {
                os.FailCall("SetForegroundWindow", 1);
            }
            os.PressKey(VK_ESCAPE);
            // A tool window is passed over, as the system passes it over.
            EXPECT_EQ(os.GetForegroundWindow(), !handedOn ? bar->m_hWnd : previousGone ? behind : editor);
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
        // The buttons keep the bar's font: a colour change only dresses them anew.
        for (const auto& button : bar->DriveButtons()) {
            EXPECT_EQ(os.SendMessageA(button->m_hWnd, WM_GETFONT, 0, 0),
                      os.SendMessageA(bar->m_hWnd, WM_GETFONT, 0, 0));
        }
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

TEST_F(KeyboardTest, EveryKeyAtEveryButtonMovesAlongTheBarOrActsOnItDockedFloatingAndBroughtOutOfHiding) {
    const RECT wide{200, 200, 200 + 2 * kBarClientWidth + 8, 200 + kBarClientHeight + 24};
    const RECT tall{200, 200, 200 + kBarClientWidth + 8, 200 + 4 * kBarClientHeight + 24};
    const struct {
        const char* what;
        int edge;
        BOOL autoHide;
        RECT floating;
        bool vertical;
    } placements[] = {{"top", ABE_TOP, FALSE, {}, false},
                      {"bottom", ABE_BOTTOM, FALSE, {}, false},
                      {"left", ABE_LEFT, FALSE, {}, true},
                      {"right", ABE_RIGHT, FALSE, {}, true},
                      {"floating wide", EDGE_FLOATING, FALSE, wide, false},
                      {"floating tall", EDGE_FLOATING, FALSE, tall, true},
                      {"hidden at the top", ABE_TOP, TRUE, {}, false},
                      {"hidden at the right", ABE_RIGHT, TRUE, {}, true},
                      {"hidden at the bottom", ABE_BOTTOM, TRUE, {}, false}};
    // The focus after the key at M, C: and D:, and what the key did there.
    const int along = -1, across = -2;
    const struct {
        std::initializer_list<int> held;
        int vk;
        const char* at[3];
    } keys[] = {
        {{}, along, {"C:", "D:", "M"}},
        {{}, -along, {"D:", "M", "C:"}},
        {{}, across, {"M", "C:", "D:"}},
        {{}, -across, {"M", "C:", "D:"}},
        {{}, VK_HOME, {"M", "M", "M"}},
        {{}, VK_END, {"D:", "D:", "D:"}},
        {{}, VK_TAB, {"C:", "D:", "M"}},
        {{VK_SHIFT}, VK_TAB, {"D:", "M", "C:"}},
        {{}, VK_RETURN, {"M menu at M", "C: opens C:\\", "D: opens D:\\"}},
        {{}, VK_SPACE, {"M menu at M", "C: opens C:\\", "D: opens D:\\"}},
        {{VK_SHIFT}, VK_F10, {"M menu at M", "C: menu at C:", "D: menu at D:"}},
        {{}, VK_APPS, {"M menu at M", "C: menu at C:", "D: menu at D:"}},
        {{}, VK_ESCAPE, {"Editor", "Editor", "Editor"}},
        {{}, 'C', {"M", "C:", "D:"}},
    };
    for (const auto& place : placements) {
        CreateBar();
        const BARPLACEMENT placement{48, place.edge, place.autoHide, TRUE, {40, 21, 40, 21}, place.floating};
        bar->SetPlacement(&placement);
        const HWND editor = os.CreateForeignWindow("Other", "Editor", WS_POPUP | WS_VISIBLE, 0, {300, 300, 400, 400});
        const std::vector<HWND> buttons{os.GetDlgItem(bar->m_hWnd, IDC_MENU_BUTTON), bar->DriveButtons()[0]->m_hWnd,
                                        bar->DriveButtons()[1]->m_hWnd};
        const int tools = os.LiveToolTipTools();
        for (const auto& key : keys) {
            int vk = key.vk;
            if (vk == along || vk == -along || vk == across || vk == -across) {
                const bool forward = vk == along || vk == across;
                const bool alongTheBar = (vk == along || vk == -along) != place.vertical;
                vk = alongTheBar ? (forward ? VK_RIGHT : VK_LEFT) : (forward ? VK_DOWN : VK_UP);
            }
            for (size_t start = 0; start < buttons.size(); ++start) {
                const std::string what =
                    std::string(place.what) + ", key " + std::to_string(vk) + " at " + Name(buttons[start]);
                os.UserActivates(editor);
                ASSERT_EQ(Hidden(), place.autoHide != FALSE) << what;
                HotKey();
                ASSERT_EQ(os.GetForegroundWindow(), bar->m_hWnd) << what;
                ASSERT_FALSE(Hidden()) << what;
                os.SendMessageA(bar->m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(buttons[start]), TRUE);
                os.ClearLogs();
                Keys(key.held, vk);
                os.PumpMessages();
                std::string seen = Name(os.Focus());
                for (const auto& launch : os.ShellExecutes()) {
                    seen += " opens " + launch.directory;
                }
                for (const auto& menu : os.MenuShowings()) {
                    const auto under = std::find_if(buttons.begin(), buttons.end(), [&](HWND button) {
                        const RECT rect = WindowRect(button);
                        return rect.left == menu.x && menu.y >= rect.top && menu.y <= rect.bottom;
                    });
                    seen += " menu at " + (under != buttons.end() ? Name(*under) : "nothing");
                }
                EXPECT_EQ(seen, key.at[start]) << what;
                // Whatever happened, an auto-hide bar hides once the keyboard leaves it, and a drive
                // focused on the active bar shows its tip.
                const bool active = os.GetForegroundWindow() == bar->m_hWnd;
                EXPECT_EQ(Hidden(), place.autoHide && !active) << what;
                const bool drive = active && os.Focus() != buttons[0];
                EXPECT_EQ(os.TrackedToolTip(), drive ? std::optional<std::string>(
                                                           os.Focus() == buttons[1] ? "(SYSTEM) C:\\" : "(CD-ROM) D:\\")
                                                     : std::nullopt)
                    << what;
                // The keyboard's tip is one tool more while it shows, and none after.
                EXPECT_EQ(os.LiveToolTipTools(), tools + (drive ? 1 : 0)) << what;
                if (drive) {
                    ExpectTipBeside(os.Focus(), place.edge == ABE_BOTTOM);
                }
            }
        }
        bar->DestroyWindow();
        os.DestroyWindow(editor);
    }
}

TEST_F(KeyboardTest, TabAndTheArrowsFollowTheMenuButtonThenTheDrivesInLetterOrderAsDrivesComeAndGoAtEveryEdge) {
    // Each change of the drives, and the buttons Tab then walks from the menu button.
    const struct {
        char letter;
        bool arrives;
        const char* order;
    } changes[] = {{0, false, "C: D: M "},           {'A', true, "A: C: D: M "},     {'F', true, "A: C: D: F: M "},
                   {'E', true, "A: C: D: E: F: M "}, {'D', false, "A: C: E: F: M "}, {'A', false, "C: E: F: M "},
                   {'B', true, "B: C: E: F: M "}};
    const RECT tall{200, 200, 200 + kBarClientWidth + 8, 200 + 8 * kBarClientHeight + 24};
    for (const int edge : std::initializer_list<int>{ABE_LEFT, ABE_TOP, ABE_RIGHT, ABE_BOTTOM, EDGE_FLOATING}) {
        CreateBar();
        const BARPLACEMENT placement{48, edge, FALSE, TRUE, {40, 21, 40, 21}, tall};
        bar->SetPlacement(&placement);
        const bool vertical = edge != ABE_TOP && edge != ABE_BOTTOM;
        const HWND menu = os.GetDlgItem(bar->m_hWnd, IDC_MENU_BUTTON);
        for (const auto& change : changes) {
            const std::string what = std::to_string(edge) + " " + change.order;
            std::vector<HWND> before;
            for (const auto& button : bar->DriveButtons()) {
                before.push_back(button->m_hWnd);
            }
            os.ClearLogs();
            if (change.letter != 0) {
                const DWORD bit = 1U << (change.letter - 'A');
                change.arrives ? os.AddDrive(change.letter, DRIVE_REMOVABLE) : os.RemoveDrive(change.letter);
                os.BroadcastVolumeChange(change.arrives ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE, bit);
                os.PumpMessages();
            }
            os.UserActivates(bar->m_hWnd);
            os.SendMessageA(bar->m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(menu), TRUE);
            EXPECT_EQ(Walk({}, VK_TAB), change.order) << what;
            EXPECT_EQ(Walk({}, vertical ? VK_DOWN : VK_RIGHT), change.order) << what;
            // Backwards, the same round the other way.
            std::string back = change.order;
            back = "M " + back.substr(0, back.size() - 2);
            std::string reversed;
            for (size_t end = back.size(); end > 0;) {
                const size_t begin = back.rfind(' ', end - 2) == std::string::npos ? 0 : back.rfind(' ', end - 2) + 1;
                reversed += back.substr(begin, end - begin);
                end = begin;
            }
            EXPECT_EQ(Walk({VK_SHIFT}, VK_TAB), reversed) << what;
            EXPECT_EQ(Walk({}, vertical ? VK_UP : VK_LEFT), reversed) << what;
            // A screen reader hears of the button that came or went, from the system.
            std::vector<HWND> after;
            for (const auto& button : bar->DriveButtons()) {
                after.push_back(button->m_hWnd);
            }
            int created = 0, destroyed = 0;
            for (const auto& event : os.WinEvents()) {
                const bool isNew = std::find(after.begin(), after.end(), event.hwnd) != after.end() &&
                                   std::find(before.begin(), before.end(), event.hwnd) == before.end();
                const bool isGone = std::find(before.begin(), before.end(), event.hwnd) != before.end() &&
                                    std::find(after.begin(), after.end(), event.hwnd) == after.end();
                created += event.event == EVENT_OBJECT_CREATE && isNew ? 1 : 0;
                destroyed += event.event == EVENT_OBJECT_DESTROY && isGone ? 1 : 0;
            }
            EXPECT_EQ(created, change.letter != 0 && change.arrives ? 1 : 0) << what;
            EXPECT_EQ(destroyed, change.letter != 0 && !change.arrives ? 1 : 0) << what;
        }
        bar->DestroyWindow();
        for (const char letter : {'A', 'B', 'E', 'F'}) {
            os.RemoveDrive(letter);
        }
        os.AddDrive('D', DRIVE_CDROM);
    }
}

TEST_F(KeyboardTest, TheHotkeyBringsTheBarOutOnTheDriveThatLastHadTheFocusElseTheFirstAndAgainLeavesIt) {
    const HWND editor = os.CreateForeignWindow("Other", "Editor", WS_POPUP | WS_VISIBLE, 0, {300, 300, 400, 400});
    const HWND popup = os.CreateForeignWindow("Other", "Popup", WS_POPUP | WS_VISIBLE, 0, {500, 300, 600, 400});
    for (const BOOL autoHide : {FALSE, TRUE}) {
        CreateBar();
        BARPLACEMENT placement = bar->GetPlacement();
        placement.bAutoHide = autoHide;
        bar->SetPlacement(&placement);
        const HWND menu = os.GetDlgItem(bar->m_hWnd, IDC_MENU_BUTTON);
        // How the focus last left the bar, and where the hotkey brings it back.
        const struct {
            const char* what;
            std::function<void()> before;
            const char* focus;
        } cases[] = {
            {"at first", [] {}, "C:"},
            {"D: by the keyboard", [&] { os.SendMessageA(bar->m_hWnd, WM_NEXTDLGCTL, 0, 0); }, "D:"},
            {"the menu button after D:",
             [&] { os.SendMessageA(bar->m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(menu), TRUE); }, "D:"},
            {"C: by a click", [&] { os.SetFocus(bar->DriveButtons()[0]->m_hWnd); }, "C:"},
            {"D: by a click, then gone",
             [&] {
                 os.SetFocus(bar->DriveButtons()[1]->m_hWnd);
                 os.UserActivates(editor);
                 os.RemoveDrive('D');
                 os.BroadcastVolumeChange(DBT_DEVICEREMOVECOMPLETE, 1U << 3);
                 os.PumpMessages();
             },
             "C:"},
        };
        os.UserActivates(editor);
        for (const auto& c : cases) {
            const std::string what = std::string(c.what) + (autoHide ? ", auto-hide" : "");
            HotKey();
            c.before();
            os.UserActivates(editor);
            // A window of another program comes in front of it unasked: the keyboard still goes back to the editor.
            os.SetWindowPos(popup, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            EXPECT_EQ(Hidden(), autoHide != FALSE) << what;
            HotKey();
            EXPECT_EQ(os.GetForegroundWindow(), bar->m_hWnd) << what;
            EXPECT_EQ(Name(os.Focus()), c.focus) << what;
            EXPECT_FALSE(Hidden()) << what;
            // The keyboard's cues show: the hotkey is the keyboard.
            EXPECT_EQ(os.SendMessageA(bar->m_hWnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0) << what;
            // Pressed again, the keyboard goes back, and an auto-hide bar hides.
            HotKey();
            EXPECT_EQ(os.GetForegroundWindow(), editor) << what;
            EXPECT_EQ(Hidden(), autoHide != FALSE) << what;
        }
        // With a dialog of the bar's up, the hotkey leaves the keyboard with it.
        HotKey();
        bool kept = false;
        WithOptions([&](HWND options) {
            os.UserActivates(options);
            HotKey();
            kept = os.GetForegroundWindow() == options;
            os.PressKey(VK_ESCAPE);
        });
        EXPECT_TRUE(kept);
        bar->DestroyWindow();
        os.AddDrive('C', DRIVE_FIXED, std::string("SYSTEM"));
        os.AddDrive('D', DRIVE_CDROM);
    }
    // With every drive left out, the hotkey brings the bar out on its menu button.
    os.SetRegistryString(HKEY_CURRENT_USER, kSettingsKey, "Skip Drives", "CD");
    CreateBar();
    ASSERT_TRUE(bar->DriveButtons().empty());
    os.UserActivates(editor);
    HotKey();
    EXPECT_EQ(os.GetForegroundWindow(), bar->m_hWnd);
    EXPECT_EQ(Name(os.Focus()), "M");
}

TEST_F(KeyboardTest, AScreenReaderHearsEachDriveByItsTipsFirstLineAsAPushButtonThatOpensAndItsLabelAsItIsNow) {
    os.AddDrive('E', DRIVE_REMOVABLE, std::string("STICK"));
    os.AddDrive('F', DRIVE_FIXED, std::nullopt);
    os.SetDiskFreeSpace('C', 1ULL << 30);
    CreateBar();
    // Each drive's kind, what is heard before its volume answers and after,
    // and after its label changes: a fixed drive's label is read anew (the
    // name read next), a drive with media by its kind alone. The free space
    // describes it once known.
    const std::tuple<char, UINT, std::optional<std::string>, const char*, const char*, const char*> drives[] = {
        {'C', DRIVE_FIXED, "DATA", "C:\\", "(SYSTEM) C:\\", "(DATA) C:\\"},
        {'D', DRIVE_CDROM, "DISC", "(CD-ROM) D:\\", "(CD-ROM) D:\\", "(CD-ROM) D:\\"},
        {'E', DRIVE_REMOVABLE, "PHOTOS", "(floppy) E:\\", "(floppy) E:\\", "(floppy) E:\\"},
        {'F', DRIVE_FIXED, "Фото", "F:\\", "F:\\", "(Фото) F:\\"},
    };
    for (const auto& [letter, type, label, asked, first, renamed] : drives) {
        const HWND button = bar->DriveButtons()[static_cast<size_t>(letter - 'C')]->m_hWnd;
        EXPECT_EQ(os.ReadAccessible(button).name, asked) << letter;
        os.PumpMessages();
        const auto read = os.ReadAccessible(button);
        EXPECT_EQ(read.name, first) << letter;
        EXPECT_EQ(read.role, ROLE_SYSTEM_PUSHBUTTON) << letter;
        EXPECT_EQ(read.defaultAction, "Open") << letter;
        EXPECT_EQ(read.description, letter == 'C' ? "512 MB free of 2.00 GB" : "") << letter;
        os.AddDrive(letter, type, label);
        os.PumpMessages();
        // Only the focused drive tells of a new name: C: and E: have the focus,
        // and E:'s name, by its kind, stays as it was.
        const bool focused = letter == 'C' || letter == 'E';
        if (focused) {
            os.SetFocus(button);
        }
        const auto nameChanges = [&] {
            const auto& events = os.WinEvents();
            return std::count_if(events.begin(), events.end(), [&](const MemoryOs::WinEvent& e) {
                return e.event == EVENT_OBJECT_NAMECHANGE && e.hwnd == button && e.idObject == OBJID_CLIENT &&
                       e.idChild == CHILDID_SELF;
            });
        };
        os.ClearLogs();
        EXPECT_EQ(os.ReadAccessible(button).name, first) << letter;
        os.PumpMessages();
        EXPECT_EQ(nameChanges(), focused && std::string(first) != renamed ? 1 : 0) << letter;
        // The name read after the news asks again, and an answer that changes nothing is no news.
        const auto told = nameChanges();
        EXPECT_EQ(os.ReadAccessible(button).name, renamed) << letter;
        os.PumpMessages();
        EXPECT_EQ(nameChanges(), told) << letter;
        // Its default action opens that drive, as a click does.
        os.ClearLogs();
        EXPECT_TRUE(os.DoAccessibleDefaultAction(button)) << letter;
        os.PumpMessages();
        ASSERT_EQ(os.ShellExecutes().size(), 1u) << letter;
        EXPECT_EQ(os.ShellExecutes()[0].directory, std::string(1, letter) + ":\\");
    }
}

TEST_F(KeyboardTest,
       EveryButtonTakesTheArrowsAndReturnFromTheDialogManagerByTheKeyAloneWhateverLParamHoldsAndAHeldReturnOpensOnce) {
    CreateBar();
    const HWND buttons[] = {os.GetDlgItem(bar->m_hWnd, IDC_MENU_BUTTON), bar->DriveButtons()[0]->m_hWnd,
                            bar->DriveButtons()[1]->m_hWnd};
    // What another program may send as lParam, which the buttons never read.
    const LPARAM junk[] = {0, 1, -1, 0x7FFF'0000};
    for (const HWND button : buttons) {
        for (const int vk : {VK_RETURN, VK_TAB, VK_ESCAPE, VK_SPACE, VK_LEFT, VK_HOME, int{'C'}, 0}) {
            for (const LPARAM lParam : junk) {
                const auto code = static_cast<UINT>(os.SendMessageA(button, WM_GETDLGCODE, vk, lParam));
                EXPECT_EQ(code, DLGC_BUTTON | DLGC_WANTARROWS | (vk == VK_RETURN ? DLGC_WANTMESSAGE : 0))
                    << Name(button) << " " << vk << " " << lParam;
            }
        }
    }
    // Return held down repeats its key, but opens the drive once, as one click.
    for (const bool repeated : {false, true}) {
        os.ClearLogs();
        os.SendMessageA(buttons[1], WM_KEYDOWN, VK_RETURN, 1 | (repeated ? LPARAM{1} << 30 : 0));
        EXPECT_EQ(os.ShellExecutes().size(), repeated ? 0u : 1u) << repeated;
    }
}

}  // namespace
