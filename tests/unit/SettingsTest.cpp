
#include <array>
#include <cstring>
#include <tuple>

#include "platform/WinApp.h"
#include "settings/Settings.h"
#include "tests/support/BarFixture.h"

namespace {

constexpr char kDefaultLaunch[] = "C:\\WINDOWS\\Explorer.exe /e,\"%1\"";
constexpr LONG kMin = -2147483647 - 1;
constexpr LONG kMax = 2147483647;

template <typename T>
std::vector<BYTE> Bytes(const T& value) {
    const auto* bytes = reinterpret_cast<const BYTE*>(&value);
    return std::vector<BYTE>(bytes, bytes + sizeof(value));
}

using SettingsTest = BarTest;

TEST_F(
    SettingsTest,
    StoredValuesAreLoadedAnEmptyLaunchProgramAndAnOverlongNumberNotTheDefaultProgramIsFoundAndLaunchOnStartupIsOnForAnyNonEmptyString) {
    os.SetRegistryString(HKEY_CURRENT_USER, kSettingsKey, "Launch Program", "");
    // Written without a terminator.
    os.SetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Skip Drives", REG_SZ, Bytes(WCHAR{'D'}));
    os.SetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Tile Explorers", REG_DWORD, Bytes(DWORD{0}));
    CVosselDialog& bar = CreateBar();
    EXPECT_EQ(bar.LaunchProgram(), W(kDefaultLaunch));
    EXPECT_EQ(bar.SkipDrives(), L"D");
    EXPECT_FALSE(bar.TileExplorers());
    EXPECT_EQ(bar.DriveButtons().size(), 1u);
    os.SetRegistryString(HKEY_CURRENT_USER, kSettingsKey, "Launch Program", "C:\\Программы\\日本 📷.exe %1");
    EXPECT_EQ(LoadLaunchProgram(W(kDefaultLaunch)), W("C:\\Программы\\日本 📷.exe %1"));
    os.SetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Tile Explorers", REG_BINARY, std::vector<BYTE>(8, 1));
    EXPECT_EQ(LoadTileExplorers(TRUE), TRUE);
    // An empty number reads as 0; a text that cannot be read, or is none, keeps what the bar had.
    os.SetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Tile Explorers", REG_DWORD, {});
    EXPECT_EQ(LoadTileExplorers(TRUE), FALSE);
    os.FailCall("RegQueryValueExW", 1, 1);
    EXPECT_EQ(LoadSkipDrives(L"AB"), L"AB");
    os.SetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Skip Drives", REG_DWORD, Bytes(DWORD{'D'}));
    EXPECT_EQ(LoadSkipDrives(L"AB"), L"AB") << "not a text";
    // The default launch program adds a backslash to the Windows folder only when it is missing.
    os.SetWindowsDirectory("C:\\");
    EXPECT_EQ(DefaultLaunchProgram(), L"C:\\Explorer.exe /e,\"%1\"");
    os.SetWindowsDirectory("D:\\Окна");
    EXPECT_EQ(DefaultLaunchProgram(), W("D:\\Окна\\Explorer.exe /e,\"%1\""));
    // A folder that fills the 260 characters of the buffer with its terminator is taken; one more is left out.
    const std::pair<size_t, bool> folders[] = {{259, true}, {260, false}, {300, false}};
    for (const auto& [length, taken] : folders) {
        const std::string folder = "C:\\" + std::string(length - 3, 'W');
        os.SetWindowsDirectory(folder);
        EXPECT_EQ(DefaultLaunchProgram(), W((taken ? folder + "\\" : "") + "Explorer.exe /e,\"%1\"")) << length;
    }
    os.FailCall("GetWindowsDirectoryW");
    EXPECT_EQ(DefaultLaunchProgram(), L"Explorer.exe /e,\"%1\"");
    // Unnamed, the application takes its title, which names its settings key; beside another copy it ends with 0.
    AfxGetApp()->m_strAppName.clear();
    os.CreateForeignWindow("Other", "Vossel", WS_POPUP, 0, RECT{0, 0, 10, 10});
    EXPECT_EQ(AfxGetApp()->Run(), 0);
    EXPECT_EQ(AfxGetApp()->m_strAppName, "Vossel");
    AfxGetApp()->m_strAppName.clear();
    AfxGetApp()->SetRegistryKey("Quorvane");
    EXPECT_EQ(AfxGetApp()->m_strAppName, "Vossel") << "named by the settings key too";
    const std::tuple<DWORD, std::vector<BYTE>, BOOL> cases[] = {
        {REG_SZ, Bytes(WCHAR{'x'}), TRUE}, {REG_SZ, Bytes(WCHAR{0}), FALSE}, {REG_BINARY, {'x', 0}, FALSE}};
    for (const auto& [type, data, expected] : cases) {
        os.SetRegistryValue(HKEY_LOCAL_MACHINE, kRunKeyPath, "Vossel", type, data);
        EXPECT_EQ(ReadLaunchOnStartup(), expected) << type << " of " << data.size();
    }
    os.FailCall("RegOpenKeyExW");
    EXPECT_FALSE(ReadLaunchOnStartup());
}

BARPLACEMENT Valid() { return BARPLACEMENT{48, ABE_LEFT, FALSE, TRUE, {50, 21, 50, 21}, {10, 10, 110, 60}}; }

// The bar's own limits on a 1024 x 768 screen.
constexpr PlacementLimits kLimits{{0, 0, 1024, 768}, {34, 21, 34, 21}, {512, 384, 512, 384}, {36, 39}, {512, 384}};
constexpr BARPLACEMENT kDefaults{48, ABE_TOP, FALSE, TRUE, {34, 21, 34, 21}, {0, 0, 68, 21}};

// Any stored record: the bar is on the screen, holds its menu button, and stands on any strip it reserves.
TEST_F(SettingsTest, SoundStoredRecordsAreTakenHeldToWhatTheBarCanBeEveryRecordGivesAUsableBarAndExitWritesThem) {
    // Edge, record size, value size, taken; longer values give their first 48 bytes.
    const std::tuple<int, UINT, size_t, bool> cases[] = {
        {EDGE_FLOATING, 48, 48, true}, {ABE_BOTTOM, 64, 64, true}, {4, 48, 48, false},       {EDGE_NONE, 48, 48, false},
        {-3, 48, 48, false},           {ABE_LEFT, 48, 47, false},  {ABE_LEFT, 20, 48, false}};
    for (const auto& [edge, cbSize, size, accepted] : cases) {
        std::vector<BYTE> data(size, 0xEE);
        BARPLACEMENT stored = Valid();
        stored.nEdge = edge;
        stored.cbSize = cbSize;
        std::memcpy(data.data(), &stored, size < sizeof(stored) ? size : sizeof(stored));
        BARPLACEMENT placement = kDefaults;
        EXPECT_EQ(AcceptStoredPlacement(data.data(), data.size(), kLimits, &placement), accepted) << edge;
        EXPECT_EQ(std::memcmp(&placement, accepted ? &stored : &kDefaults, sizeof(stored)), 0) << edge;
    }
    using Thickness = std::array<LONG, 4>;
    const std::tuple<Thickness, RECT, Thickness, RECT> holds[] = {
        // Thicker than the screen, or below the frame and menu button.
        {{1025, 800, 513, 385}, {10, 10, 110, 60}, {512, 384, 512, 384}, {10, 10, 110, 60}},
        {{0, -1, 33, 20}, {10, 10, 110, 60}, {34, 21, 34, 21}, {10, 10, 110, 60}},
        // Wholly off the screen: brought back whole.
        {{50, 21, 50, 21}, {2000, 100, 2100, 150}, {50, 21, 50, 21}, {924, 100, 1024, 150}},
        {{50, 21, 50, 21}, {-500, -300, -400, -250}, {50, 21, 50, 21}, {0, 0, 100, 50}},
        {{50, 21, 50, 21}, {100, 900, 200, 950}, {50, 21, 50, 21}, {100, 718, 200, 768}},
        // Partly on the screen: left as it is.
        {{50, 21, 50, 21}, {1000, 100, 1100, 150}, {50, 21, 50, 21}, {1000, 100, 1100, 150}},
        {{50, 21, 50, 21}, {-50, -20, 50, 30}, {50, 21, 50, 21}, {-50, -20, 50, 30}},
        // One pixel on the screen at each side stays; one more and it is off, so brought back.
        {{50, 21, 50, 21}, {1023, 100, 1123, 150}, {50, 21, 50, 21}, {1023, 100, 1123, 150}},
        {{50, 21, 50, 21}, {1024, 100, 1124, 150}, {50, 21, 50, 21}, {924, 100, 1024, 150}},
        {{50, 21, 50, 21}, {-99, 100, 1, 150}, {50, 21, 50, 21}, {-99, 100, 1, 150}},
        {{50, 21, 50, 21}, {-100, 100, 0, 150}, {50, 21, 50, 21}, {0, 100, 100, 150}},
        {{50, 21, 50, 21}, {100, 767, 200, 817}, {50, 21, 50, 21}, {100, 767, 200, 817}},
        {{50, 21, 50, 21}, {100, 768, 200, 818}, {50, 21, 50, 21}, {100, 718, 200, 768}},
        {{50, 21, 50, 21}, {100, -49, 200, 1}, {50, 21, 50, 21}, {100, -49, 200, 1}},
        {{50, 21, 50, 21}, {100, -50, 200, 0}, {50, 21, 50, 21}, {100, 0, 200, 50}},
        // Larger than the window may be, straddling the screen's edge: cut, then brought back.
        {{50, 21, 50, 21}, {-900, -500, 100, 100}, {50, 21, 50, 21}, {0, 0, 512, 384}},
        // Empty or inverted.
        {{50, 21, 50, 21}, {3000, 3000, 3000, 2000}, {50, 21, 50, 21}, {988, 729, 1024, 768}},
        // Coordinates at the limits of 32 bits.
        {{kMax, kMin, kMax, kMin}, {kMin, kMin, kMax, kMax}, {512, 21, 512, 21}, {0, 0, 512, 384}},
        {{50, 21, 50, 21}, {kMax, kMax, kMin, kMin}, {50, 21, 50, 21}, {988, 729, 1024, 768}},
        // Smaller than the least floating bar, too: held to it.
        {{50, 21, 50, 21}, {kMax - 10, 5, kMax, 25}, {50, 21, 50, 21}, {988, 5, 1024, 44}},
    };
    for (const auto& [thickness, floating, expectedThickness, expectedFloating] : holds) {
        BARPLACEMENT stored = Valid();
        std::memcpy(stored.anThickness, thickness.data(), sizeof(stored.anThickness));
        stored.rcFloating = floating;
        BARPLACEMENT placement{};
        ASSERT_TRUE(AcceptStoredPlacement(reinterpret_cast<const BYTE*>(&stored), sizeof(stored), kLimits, &placement))
            << floating;
        Thickness held{};
        std::memcpy(held.data(), placement.anThickness, sizeof(placement.anThickness));
        EXPECT_EQ(held, expectedThickness) << floating;
        EXPECT_EQ(placement.rcFloating, expectedFloating) << floating;
        EXPECT_EQ(placement.nEdge, ABE_LEFT);
    }
    // On a screen smaller than one row, the limits cross: the least size wins, which the window keeps anyway.
    constexpr PlacementLimits kCrossed{{0, 0, 40, 30}, {34, 21, 34, 21}, {20, 15, 20, 15}, {36, 39}, {40, 30}};
    const std::tuple<Thickness, RECT, RECT> crossed[] = {
        {{10, 10, 10, 10}, {0, 0, 10, 10}, {0, 0, 36, 39}},
        {{25, 18, 25, 18}, {0, 0, 38, 35}, {0, 0, 38, 39}},
        {{100, 100, 100, 100}, {0, 0, 100, 100}, {0, 0, 40, 39}},
    };
    for (const auto& [thickness, floating, expectedFloating] : crossed) {
        BARPLACEMENT stored = Valid();
        std::memcpy(stored.anThickness, thickness.data(), sizeof(stored.anThickness));
        stored.rcFloating = floating;
        BARPLACEMENT placement{};
        ASSERT_TRUE(
            AcceptStoredPlacement(reinterpret_cast<const BYTE*>(&stored), sizeof(stored), kCrossed, &placement));
        Thickness held{};
        std::memcpy(held.data(), placement.anThickness, sizeof(placement.anThickness));
        EXPECT_EQ(held, (Thickness{34, 21, 34, 21})) << thickness[0];
        EXPECT_EQ(placement.rcFloating, expectedFloating) << thickness[0];
    }
    const RECT small{0, 0, 68, 21};
    const auto docked = [&](int edge, BOOL autoHide, LONG t) {
        return BARPLACEMENT{48, edge, autoHide, TRUE, {t, t, t, t}, small};
    };
    std::vector<BARPLACEMENT> records = {docked(ABE_BOTTOM, FALSE, 0),  docked(ABE_RIGHT, FALSE, 0),
                                         docked(ABE_TOP, FALSE, 0),     docked(ABE_LEFT, FALSE, 3),
                                         docked(ABE_TOP, FALSE, 700),   docked(ABE_LEFT, TRUE, 1000),
                                         docked(ABE_RIGHT, FALSE, kMax)};
    for (const RECT& floating :
         {small, RECT{-900, 0, 100, 100}, {3000, 10, 2000, 5}, {kMin, kMin, kMax, kMax}, {kMax, kMax, kMin, kMin}}) {
        records.push_back(BARPLACEMENT{48, EDGE_FLOATING, FALSE, TRUE, {21, 21, 21, 21}, floating});
    }
    const RECT screen{0, 0, 1280, 600};
    os.SetScreenSize(screen.right, screen.bottom);
    for (const BARPLACEMENT& stored : records) {
        StorePlacement(os, stored);
        CVosselDialog& bar = CreateBar();
        const RECT window = WindowRect(bar.m_hWnd);
        const RECT client = ClientRectOf(bar.m_hWnd);
        SCOPED_TRACE(testing::Message() << stored.nEdge << " " << stored.anThickness[0] << " " << stored.rcFloating);
        EXPECT_TRUE(window.left < screen.right && window.right > 0 && window.top < screen.bottom && window.bottom > 0);
        EXPECT_GE(client.right, kBarClientWidth);
        EXPECT_GE(client.bottom, kBarClientHeight);
        EXPECT_EQ(bar.GetPlacement().nEdge, stored.nEdge);
        if (stored.nEdge != EDGE_FLOATING && !stored.bAutoHide) {
            EXPECT_EQ(os.ReservedRect(bar.m_hWnd), std::optional<RECT>(window));
        }
        if (stored.nEdge == EDGE_FLOATING) {
            EXPECT_EQ(bar.GetPlacement().rcFloating, window);
        }
        bar.DestroyWindow();
    }
    // A record refused, here for its size, leaves the bar at its first place.
    os.SetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State Info", REG_BINARY, std::vector<BYTE>(20, 0));
    EXPECT_EQ(WindowRect(CreateBar().m_hWnd), (RECT{0, 0, 1280, 21}));
    bar->DestroyWindow();
    // A bar sized on a larger screen comes back at its edge, as thick as this screen lets it be.
    StorePlacement(os, BARPLACEMENT{48, ABE_RIGHT, FALSE, FALSE, {34, 21, 900, 21}, small});
    EXPECT_EQ(WindowRect(CreateBar().m_hWnd), (RECT{640, 0, 1280, 600}));
    EXPECT_FALSE(bar->GetPlacement().bAlwaysOnTop);
    // Exit writes the four values once, with the edge in use, the scale of its pixels and the hotkey.
    CVosselDialog& bar = CreateBar();
    BARPLACEMENT placement = bar.GetPlacement();
    placement.nEdge = ABE_RIGHT;
    placement.anThickness[ABE_RIGHT] = 50;
    bar.SetPlacement(&placement);
    os.ClearLogs();
    bar.DestroyWindow();
    const std::string key = "set HKCU\\SOFTWARE\\QUORVANE\\VOSSEL\\SETTINGS\\";
    EXPECT_EQ(
        os.RegistryChanges(),
        (std::vector<std::string>{key + "STATE INFO", key + "LAUNCH PROGRAM", key + "SKIP DRIVES",
                                  key + "TILE EXPLORERS", key + "STATE DPI", key + "HOT KEY", key + "STATE MONITOR"}));
    EXPECT_EQ(os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State DPI")->data, Bytes(DWORD{96}));
    // Ctrl+Alt+Home, as the hotkey control gives it.
    EXPECT_EQ(os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Hot Key")->data, Bytes(DWORD{0x0624}));
    EXPECT_EQ(os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State Info")->data, Bytes(placement));
    EXPECT_EQ(os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Tile Explorers")->data, Bytes(DWORD{1}));
    EXPECT_EQ(StoredString(os, "Launch Program"), kDefaultLaunch);
    EXPECT_EQ(os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Launch Program")->data.size(),
              sizeof(kDefaultLaunch) * sizeof(WCHAR));
}

}  // namespace
