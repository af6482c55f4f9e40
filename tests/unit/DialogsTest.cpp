#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <tuple>

#include "dialogs/AboutDialog.h"
#include "dialogs/OptionsDialog.h"
#include "platform/RegKey.h"
#include "resources/resource.h"
#include "settings/Settings.h"
#include "tests/support/BarFixture.h"

namespace {

constexpr char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class DialogsTest : public BarTest {
protected:
    std::string Text(HWND dialog, int id) {
        char buffer[512] = {};
        os.GetWindowTextA(os.GetDlgItem(dialog, id), buffer, sizeof(buffer));
        return buffer;
    }
    int Check(HWND dialog, int id) {
        return static_cast<int>(os.SendMessageA(os.GetDlgItem(dialog, id), BM_GETCHECK, 0, 0));
    }
    void SetCheck(HWND dialog, int id, int state) {
        os.SendMessageA(os.GetDlgItem(dialog, id), BM_SETCHECK, static_cast<WPARAM>(state), 0);
    }
    void SetText(HWND dialog, int id, const char* text) { os.SetWindowTextA(os.GetDlgItem(dialog, id), text); }
    void Press(HWND dialog, int id) {
        os.PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED),
                        reinterpret_cast<LPARAM>(os.GetDlgItem(dialog, id)));
    }
    // Runs `edit` on the Options dialog once it is up, then ends it with `end`.
    void WhenOptionsShow(std::function<void(HWND)> edit, int end) {
        os.SetModalIdle([this, edit, end] {
            const HWND options = os.FindWindowA(nullptr, "Vossel Options");
            ASSERT_NE(options, nullptr);
            edit(options);
            Press(options, end);
        });
    }
    std::optional<std::string> RunValue(HKEY root) {
        const auto value = os.GetRegistryValue(root, kRunKeyPath, "Vossel");
        if (!value) {
            return std::nullopt;
        }
        return std::string(reinterpret_cast<const char*>(value->data.data()));
    }
};

struct OptionsView {
    std::string launch, skip;
    int startup, top, autoHide, tile;
};

class OptionsExchangeTest : public DialogsTest {
public:
    OptionsView View(HWND h) {
        return {Text(h, IDC_LAUNCH_PROGRAM), Text(h, IDC_SKIP_DRIVES), Check(h, IDC_LAUNCH_ON_STARTUP),
                Check(h, IDC_ALWAYS_ON_TOP), Check(h, IDC_AUTO_HIDE),  Check(h, IDC_TILE_EXPLORERS)};
    }
};

TEST_F(OptionsExchangeTest, FillsTheControlsAndReadsThemBackOnlyOnOk) {
    for (const int end : {IDOK, IDCANCEL}) {
        COptionsDialog dialog;
        dialog.m_strLaunchProgram = "cmd /k cd %1";
        dialog.m_bLaunchOnStartup = 1;
        dialog.m_bAlwaysOnTop = 1;
        dialog.m_bAutoHide = 0;
        dialog.m_strSkipDrives = "Q";
        dialog.m_bTileExplorers = 5;  // not a check state: shown clear
        OptionsView shown{};
        os.SetModalIdle([&] {
            const HWND h = os.FindWindowA(nullptr, "Vossel Options");
            shown = View(h);
            SetText(h, IDC_LAUNCH_PROGRAM, "other %1");
            SetCheck(h, IDC_LAUNCH_ON_STARTUP, 0);
            SetCheck(h, IDC_AUTO_HIDE, 1);
            SetText(h, IDC_SKIP_DRIVES, "");
            os.TypeText(os.GetDlgItem(h, IDC_SKIP_DRIVES), "ad");
            SetCheck(h, IDC_TILE_EXPLORERS, 1);
            Press(h, end);
        });
        EXPECT_EQ(dialog.DoModal(), end);
        EXPECT_EQ(shown.launch, "cmd /k cd %1");
        EXPECT_EQ(shown.skip, "Q");
        EXPECT_EQ(shown.startup, 1);
        EXPECT_EQ(shown.top, 1);
        EXPECT_EQ(shown.autoHide, 0);
        EXPECT_EQ(shown.tile, 0);
        const bool ok = end == IDOK;
        EXPECT_EQ(dialog.m_strLaunchProgram, ok ? "other %1" : "cmd /k cd %1") << end;
        EXPECT_EQ(dialog.m_bLaunchOnStartup, ok ? 0 : 1) << end;
        EXPECT_EQ(dialog.m_bAlwaysOnTop, 1) << end;
        EXPECT_EQ(dialog.m_bAutoHide, ok ? 1 : 0) << end;
        EXPECT_EQ(dialog.m_strSkipDrives, ok ? "AD" : "Q") << end;
        EXPECT_EQ(dialog.m_bTileExplorers, ok ? 1 : 0) << end;
    }
}

TEST_F(DialogsTest, AboutFromOptionsIsOwnedByItAndLeavesItsEditsAlone) {
    COptionsDialog dialog;
    int aboutShown = 0;
    std::vector<HWND> owners;
    std::vector<bool> optionsEnabled;
    std::string textAfter;
    os.SetModalIdle([&] {
        const HWND options = os.FindWindowA(nullptr, "Vossel Options");
        if (const HWND about = os.FindWindowA(nullptr, "About Vossel"); about != nullptr) {
            ++aboutShown;
            owners.push_back(os.GetWindow(about, GW_OWNER));
            optionsEnabled.push_back(os.IsWindowEnabled(options) != FALSE);
            Press(about, IDOK);
        } else if (aboutShown < 2) {
            SetText(options, IDC_LAUNCH_PROGRAM, "unsaved edit");
            os.SendMessageA(os.GetDlgItem(options, IDC_OPTIONS_ABOUT), BM_CLICK, 0, 0);
            os.PostMessageA(options, WM_NULL, 0, 0);
        } else {
            textAfter = Text(options, IDC_LAUNCH_PROGRAM);
            Press(options, IDCANCEL);
        }
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(aboutShown, 2);
    ASSERT_EQ(owners.size(), 2u);
    EXPECT_NE(owners[0], nullptr);
    EXPECT_EQ(owners[0], owners[1]);
    EXPECT_EQ(optionsEnabled, (std::vector<bool>{false, false}));
    EXPECT_EQ(textAfter, "unsaved edit");
}

TEST_F(DialogsTest, HelpOpensTheOptionsSectionOfThePageNextToTheProgramOrSaysItFailed) {
    for (const bool present : {false, true}) {
        if (present) {
            os.AddFile("C:\\Program Files\\Vossel\\vossel-help.html", "<html>");
        }
        os.ClearLogs();
        COptionsDialog dialog;
        bool stillOpen = false;
        int idle = 0;
        os.SetModalIdle([&] {
            const HWND options = os.FindWindowA(nullptr, "Vossel Options");
            if (idle++ == 0) {
                os.SendMessageA(os.GetDlgItem(options, ID_HELP), BM_CLICK, 0, 0);
                os.PostMessageA(options, WM_NULL, 0, 0);
                return;
            }
            stillOpen = options != nullptr;
            Press(options, IDCANCEL);
        });
        dialog.DoModal();
        EXPECT_TRUE(stillOpen);
        if (present) {
            ASSERT_EQ(os.ShellExecutes().size(), 1u);
            EXPECT_EQ(os.ShellExecutes()[0].file, "file:///C:/Program%20Files/Vossel/vossel-help.html#options");
            EXPECT_TRUE(os.MessageBoxes().empty());
        } else {
            EXPECT_TRUE(os.ShellExecutes().empty());
            ASSERT_EQ(os.MessageBoxes().size(), 1u);
            EXPECT_EQ(os.MessageBoxes()[0].text, "Failed to launch help.");
        }
    }
}

TEST_F(DialogsTest, AboutShowsTheFourLinesTheLinksAndTheDoubledIconCentredOverTheBar) {
    CreateBar();
    // The bar is active while its menu is used.
    os.SetActiveWindow(bar->m_hWnd);
    os.SetDiskFreeSpace('C', 5368709120ULL);
    const int gdiBefore = os.LiveGdiObjects();
    std::map<int, std::string> texts;
    RECT icon{};
    RECT about{};
    HWND owner = nullptr;
    bool barEnabled = true;
    os.SetModalIdle([&] {
        const HWND h = os.FindWindowA(nullptr, "About Vossel");
        for (int id :
             {IDC_AVAIL_MEM, IDC_MATH_COPROCESSOR, IDC_DISK_SPACE, IDC_FREE_RESOURCES, IDC_WEB_LINK, IDC_MAIL_LINK}) {
            texts[id] = Text(h, id);
        }
        os.GetWindowRect(os.GetDlgItem(h, IDC_ICON_PICTURE), &icon);
        os.GetWindowRect(h, &about);
        owner = os.GetWindow(h, GW_OWNER);
        barEnabled = os.IsWindowEnabled(bar->m_hWnd) != FALSE;
        Press(h, IDCANCEL);  // Esc
    });
    bar->OnBarAbout();
    EXPECT_EQ(texts[IDC_AVAIL_MEM], "65536 KB Free");
    EXPECT_EQ(texts[IDC_MATH_COPROCESSOR], "Present");
    EXPECT_EQ(texts[IDC_DISK_SPACE], "5.00 GB Free");
    EXPECT_EQ(texts[IDC_FREE_RESOURCES], "N/A");
    EXPECT_EQ(texts[IDC_WEB_LINK], "For more utilities, visit www.example.org");
    EXPECT_EQ(texts[IDC_MAIL_LINK], "For more information, E-MAIL: vossel@example.org");
    EXPECT_EQ(icon.right - icon.left, 72);
    EXPECT_EQ(icon.bottom - icon.top, 72);
    EXPECT_EQ(owner, bar->m_hWnd);
    EXPECT_FALSE(barEnabled);
    EXPECT_TRUE(os.IsWindowEnabled(bar->m_hWnd));
    // Over the bar across the top, held inside the work area below the bar's strip.
    RECT barRect = WindowRect(bar->m_hWnd);
    EXPECT_EQ(about.left, 512 - (about.right - about.left) / 2);
    EXPECT_EQ(about.top, barRect.bottom);
    EXPECT_EQ(os.LiveGdiObjects(), gdiBefore);
}

TEST_F(DialogsTest, IconPictureIsFramedShadowedAndTheIconDoubled) {
    for (const bool iconLoads : {true, false}) {
        CAboutDialog about;
        ASSERT_TRUE(about.Create());
        const int gdiBefore = os.LiveGdiObjects();
        const HWND button = about.GetDlgItem(IDC_ICON_PICTURE);
        if (!iconLoads) {
            os.FailCall("LoadImageA", 1);
        }
        const HDC dc = os.GetDC(button);
        DRAWITEMSTRUCT item{ODT_BUTTON, IDC_ICON_PICTURE,   0, ODA_DRAWENTIRE, ODS_DISABLED, button,
                            dc,         RECT{0, 0, 72, 72}, 0};
        os.ClearLogs();
        os.SendMessageA(about.m_hWnd, WM_DRAWITEM, IDC_ICON_PICTURE, reinterpret_cast<LPARAM>(&item));
        os.ReleaseDC(button, dc);
        std::vector<std::string> calls;
        for (const auto& call : os.GdiCalls()) {
            calls.push_back(call.function + " " + std::to_string(call.rect.left) + "," + std::to_string(call.rect.top) +
                            "," + std::to_string(call.rect.right) + "," + std::to_string(call.rect.bottom) + " from " +
                            std::to_string(call.cx) + "x" + std::to_string(call.cy));
        }
        const std::vector<std::string> expected = {
            "StretchBlt 0,0,32,32 from 64x64", "DrawIcon 0,0,0,0 from 32x32",  "Rectangle 0,0,68,68 from 0x0",
            "FillRect 68,4,72,72 from 0x0",    "FillRect 4,68,72,72 from 0x0", "StretchBlt 2,2,66,66 from 32x32",
        };
        EXPECT_EQ(calls, iconLoads ? expected : std::vector<std::string>{});
        EXPECT_EQ(os.LiveGdiObjects(), gdiBefore);
        about.DestroyWindow();
    }
}

class ApplyOptionsTest : public OptionsExchangeTest {};

TEST_F(ApplyOptionsTest, ShowsTheBarsSettingsAndCancelAppliesNothing) {
    CreateBar();
    const BARPLACEMENT before = bar->GetPlacement();
    OptionsView shown{};
    os.ClearLogs();
    WhenOptionsShow(
        [&](HWND h) {
            shown = View(h);
            SetCheck(h, IDC_ALWAYS_ON_TOP, 0);
            SetCheck(h, IDC_AUTO_HIDE, 1);
            SetCheck(h, IDC_LAUNCH_ON_STARTUP, 1);
            SetCheck(h, IDC_TILE_EXPLORERS, 0);
            SetText(h, IDC_LAUNCH_PROGRAM, "");
            SetText(h, IDC_SKIP_DRIVES, "CD");
        },
        IDCANCEL);
    bar->ApplyOptions();
    EXPECT_EQ(shown.launch, "C:\\WINDOWS\\Explorer.exe /e,\"%1\"");
    EXPECT_EQ(shown.skip, "");
    EXPECT_EQ(shown.startup, 0);
    EXPECT_EQ(shown.top, 1);
    EXPECT_EQ(shown.autoHide, 0);
    EXPECT_EQ(shown.tile, 1);
    EXPECT_EQ(std::memcmp(&before, &bar->GetPlacement(), sizeof(before)), 0);
    EXPECT_TRUE(os.AppBarCalls().empty());
    EXPECT_EQ(bar->LaunchProgram(), "C:\\WINDOWS\\Explorer.exe /e,\"%1\"");
    EXPECT_EQ(bar->SkipDrives(), "");
    EXPECT_TRUE(bar->TileExplorers());
    EXPECT_FALSE(RunValue(HKEY_LOCAL_MACHINE));
}

TEST_F(ApplyOptionsTest, OkAppliesWhatChangedAndOnlyThat) {
    struct Case {
        const char* name;
        std::function<void(MemoryOs&, HWND)> edit;
        bool replaced;  // SetPlacement ran
    };
    const Case cases[] = {
        {"nothing", [](MemoryOs&, HWND) {}, false},
        {"always on top off",
         [](MemoryOs& os, HWND h) { os.SendMessageA(os.GetDlgItem(h, IDC_ALWAYS_ON_TOP), BM_SETCHECK, 0, 0); }, true},
        {"launch, drives and tiling",
         [](MemoryOs& os, HWND h) {
             os.SetWindowTextA(os.GetDlgItem(h, IDC_LAUNCH_PROGRAM), "");
             os.SetWindowTextA(os.GetDlgItem(h, IDC_SKIP_DRIVES), "");
             os.TypeText(os.GetDlgItem(h, IDC_SKIP_DRIVES), "d");
             os.SendMessageA(os.GetDlgItem(h, IDC_TILE_EXPLORERS), BM_SETCHECK, 0, 0);
         },
         false},
    };
    for (const Case& c : cases) {
        CreateBar();
        os.ClearLogs();
        WhenOptionsShow([&](HWND h) { c.edit(os, h); }, IDOK);
        bar->ApplyOptions();
        const bool replaced = std::any_of(os.AppBarCalls().begin(), os.AppBarCalls().end(),
                                          [](const MemoryOs::AppBarCall& call) { return call.message == ABM_SETPOS; });
        EXPECT_EQ(replaced, c.replaced) << c.name;
        if (c.replaced) {
            EXPECT_FALSE(bar->GetPlacement().bAlwaysOnTop);
            EXPECT_FALSE(bar->GetPlacement().bAutoHide);
            EXPECT_EQ(os.GetWindowLongA(bar->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << c.name;
        }
    }
    // The last case: the Options default, drive letters kept for the next start, tiling off.
    EXPECT_EQ(bar->LaunchProgram(), "C:\\WINDOWS\\Explorer.exe /e,/idlist,\"%1\"");
    EXPECT_EQ(bar->SkipDrives(), "D");
    EXPECT_EQ(bar->DriveButtons().size(), 2u);
    EXPECT_FALSE(bar->TileExplorers());
    OptionsView reopened{};
    WhenOptionsShow([&](HWND h) { reopened = View(h); }, IDCANCEL);
    bar->ApplyOptions();
    EXPECT_EQ(reopened.launch, "C:\\WINDOWS\\Explorer.exe /e,/idlist,\"%1\"");
    bar->DestroyWindow();
    EXPECT_EQ(StoredString(os, "Skip Drives"), "D");
}

TEST_F(ApplyOptionsTest, LaunchOnStartupWritesAndDeletesTheRunValueOnlyWhenTheBoxChanges) {
    CreateBar();
    const auto tick = [this](int state) {
        WhenOptionsShow([this, state](HWND h) { SetCheck(h, IDC_LAUNCH_ON_STARTUP, state); }, IDOK);
        bar->ApplyOptions();
    };
    const std::string runValue = "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\VOSSEL";
    os.ClearLogs();
    tick(1);
    EXPECT_EQ(os.RegistryChanges(), std::vector<std::string>{"set " + runValue});
    EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE), std::optional<std::string>("C:\\PROGRA~1\\Vossel\\vossel.exe"));
    EXPECT_FALSE(RunValue(HKEY_CURRENT_USER));
    EXPECT_TRUE(bar->LaunchOnStartup());
    // Removed by someone else meanwhile: an unchanged box writes nothing back.
    RegKey run;
    os.RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, KEY_READ | KEY_WRITE, run.Receive());
    os.RegDeleteValueA(run.Get(), "Vossel");
    run.Reset();
    os.ClearLogs();
    tick(1);
    EXPECT_TRUE(os.RegistryChanges().empty());
    EXPECT_FALSE(RunValue(HKEY_LOCAL_MACHINE));
    os.SetRegistryString(HKEY_LOCAL_MACHINE, kRunKeyPath, "Vossel", "x");
    os.SetRegistryString(HKEY_CURRENT_USER, kRunKeyPath, "Vossel", "x");
    os.ClearLogs();
    tick(0);
    EXPECT_EQ(os.RegistryChanges(),
              (std::vector<std::string>{"delete " + runValue, "delete HKCU" + runValue.substr(4)}));
    EXPECT_FALSE(RunValue(HKEY_LOCAL_MACHINE));
    EXPECT_FALSE(RunValue(HKEY_CURRENT_USER));
    EXPECT_EQ(os.LiveRegistryKeys(), 0);
}

TEST_F(ApplyOptionsTest, RunValueIsQuotedWhenThePathHasSpaces) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"C:\\Program Files\\Vossel\\vossel.exe", "C:\\PROGRA~1\\Vossel\\vossel.exe",
         "C:\\PROGRA~1\\Vossel\\vossel.exe"},
        {"C:\\Program Files\\Vossel\\vossel.exe", "C:\\Program Files\\Vossel\\vossel.exe",
         "\"C:\\Program Files\\Vossel\\vossel.exe\""},
        {"C:\\Program Files\\Vossel\\vossel.exe", "", "\"C:\\Program Files\\Vossel\\vossel.exe\""},
        {"C:\\Tools\\vossel.exe", "C:\\Tools\\vossel.exe", "C:\\Tools\\vossel.exe"},
    };
    for (const auto& [longPath, shortPath, value] : cases) {
        EXPECT_EQ(RunValueForPath(longPath, shortPath), value) << longPath << " | " << shortPath;
    }
    // A volume without short names, and a failing short-name call: the long path in quotes.
    os.SetModuleFileName("C:\\Program Files\\Vossel\\vossel.exe", "");
    CreateBar();
    WhenOptionsShow([this](HWND h) { SetCheck(h, IDC_LAUNCH_ON_STARTUP, 1); }, IDOK);
    bar->ApplyOptions();
    EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE), std::optional<std::string>("\"C:\\Program Files\\Vossel\\vossel.exe\""));
    os.FailCall("GetShortPathNameA");
    os.SetModuleFileName("C:\\Program Files\\Vossel\\vossel.exe", "C:\\PROGRA~1\\Vossel\\vossel.exe");
    WriteLaunchOnStartup(TRUE);
    EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE), std::optional<std::string>("\"C:\\Program Files\\Vossel\\vossel.exe\""));
    // Without the program's own path there is nothing worth starting: nothing is written.
    os.FailCall("GetModuleFileNameA");
    os.ClearLogs();
    WriteLaunchOnStartup(TRUE);
    EXPECT_TRUE(os.RegistryChanges().empty());
}

TEST_F(ApplyOptionsTest, WithoutRightsToTheMachinesKeyTheUsersRunKeyTakesTheValue) {
    os.DenyWriteAccess(HKEY_LOCAL_MACHINE);
    CreateBar();
    EXPECT_FALSE(bar->LaunchOnStartup());
    WhenOptionsShow([this](HWND h) { SetCheck(h, IDC_LAUNCH_ON_STARTUP, 1); }, IDOK);
    bar->ApplyOptions();
    EXPECT_FALSE(RunValue(HKEY_LOCAL_MACHINE));
    EXPECT_EQ(RunValue(HKEY_CURRENT_USER), std::optional<std::string>("C:\\PROGRA~1\\Vossel\\vossel.exe"));
    EXPECT_TRUE(ReadLaunchOnStartup());
    WhenOptionsShow([this](HWND h) { SetCheck(h, IDC_LAUNCH_ON_STARTUP, 0); }, IDOK);
    bar->ApplyOptions();
    EXPECT_FALSE(RunValue(HKEY_CURRENT_USER));
    EXPECT_FALSE(ReadLaunchOnStartup());
}

TEST_F(ApplyOptionsTest, EitherRunKeyCountsAsOnAtStartEvenWhereTheMachinesIsReadOnly) {
    const std::tuple<HKEY, bool> cases[] = {
        {HKEY_LOCAL_MACHINE, false}, {HKEY_LOCAL_MACHINE, true}, {HKEY_CURRENT_USER, false}};
    for (const auto& [root, readOnly] : cases) {
        MemoryOs fresh;
        SetOs(&fresh.Services());
        fresh.SetRegistryString(root, kRunKeyPath, "Vossel", "C:\\anything.exe");
        if (readOnly) {
            fresh.DenyWriteAccess(HKEY_LOCAL_MACHINE);
        }
        EXPECT_TRUE(ReadLaunchOnStartup()) << readOnly;
        SetOs(&os.Services());
    }
}

}  // namespace
