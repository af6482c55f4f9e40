#include <gtest/gtest.h>

#include <cstring>

#include "settings/Settings.h"
#include "tests/support/BarFixture.h"

namespace {

constexpr char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class SettingsTest : public BarTest {
protected:
    void ExitBar() { bar->DestroyWindow(); }
};

TEST_F(SettingsTest, FirstStartTakesTheDefaultsAndCreatesTheKeys) {
    CVosselDialog& bar = CreateBar();
    EXPECT_EQ(bar.SkipDrives(), "");
    EXPECT_EQ(bar.LaunchProgram(), "C:\\WINDOWS\\Explorer.exe /e,\"%1\"");
    EXPECT_TRUE(bar.TileExplorers());
    EXPECT_FALSE(bar.LaunchOnStartup());
    EXPECT_TRUE(os.RegistryKeyExists(HKEY_CURRENT_USER, kSettingsKey));
    EXPECT_EQ(os.LiveRegistryKeys(), 0);
}

TEST_F(SettingsTest, DefaultLaunchProgramAddsABackslashOnlyWhenMissing) {
    os.SetWindowsDirectory("C:\\");
    EXPECT_EQ(DefaultLaunchProgram(), "C:\\Explorer.exe /e,\"%1\"");
    os.SetWindowsDirectory("D:\\WINNT");
    EXPECT_EQ(DefaultLaunchProgram(), "D:\\WINNT\\Explorer.exe /e,\"%1\"");
    os.FailCall("GetWindowsDirectoryA");
    EXPECT_EQ(DefaultLaunchProgram(), "Explorer.exe /e,\"%1\"");
}

TEST_F(SettingsTest, EmptyStoredLaunchProgramIsReplacedByTheDefault) {
    os.SetRegistryString(HKEY_CURRENT_USER, kSettingsKey, "Launch Program", "");
    EXPECT_EQ(CreateBar().LaunchProgram(), "C:\\WINDOWS\\Explorer.exe /e,\"%1\"");
}

TEST_F(SettingsTest, StoredValuesAreLoaded) {
    os.SetRegistryString(HKEY_CURRENT_USER, kSettingsKey, "Launch Program", "notepad %1");
    // Written without a terminator.
    os.SetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Skip Drives", REG_SZ, {'D'});
    const DWORD off = 0;
    os.SetRegistryValue(
        HKEY_CURRENT_USER, kSettingsKey, "Tile Explorers", REG_DWORD,
        std::vector<BYTE>(reinterpret_cast<const BYTE*>(&off), reinterpret_cast<const BYTE*>(&off) + 4));
    CVosselDialog& bar = CreateBar();
    EXPECT_EQ(bar.LaunchProgram(), "notepad %1");
    EXPECT_EQ(bar.SkipDrives(), "D");
    EXPECT_EQ(StoredString(os, "Skip Drives"), "D");
    EXPECT_FALSE(bar.TileExplorers());
    ASSERT_EQ(bar.DriveButtons().size(), 1u);
}

TEST_F(SettingsTest, TileExplorersTakesAnyStoredNumber) {
    const DWORD seven = 7;
    os.SetRegistryValue(
        HKEY_CURRENT_USER, kSettingsKey, "Tile Explorers", REG_BINARY,
        std::vector<BYTE>(reinterpret_cast<const BYTE*>(&seven), reinterpret_cast<const BYTE*>(&seven) + 4));
    EXPECT_EQ(LoadTileExplorers(FALSE), 7);
    // Too long for a number: the default stands.
    os.SetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Tile Explorers", REG_BINARY, std::vector<BYTE>(8, 1));
    EXPECT_EQ(LoadTileExplorers(TRUE), TRUE);
}

TEST_F(SettingsTest, LaunchOnStartupIsOnForAnyNonEmptyString) {
    struct Case {
        const char* name;
        DWORD type;
        std::vector<BYTE> data;
        BOOL expected;
    };
    const Case cases[] = {
        {"path", REG_SZ, {'C', ':', '\\', 'V', '.', 'E', 'X', 'E', 0}, TRUE},
        {"anything", REG_SZ, {'x', 0}, TRUE},
        {"unterminated", REG_SZ, {'x', 'y'}, TRUE},
        {"empty", REG_SZ, {0}, FALSE},
        {"binary", REG_BINARY, {'x', 0}, FALSE},
    };
    for (const Case& c : cases) {
        os.SetRegistryValue(HKEY_LOCAL_MACHINE, kRunKeyPath, "Vossel", c.type, c.data);
        EXPECT_EQ(ReadLaunchOnStartup(), c.expected) << c.name;
    }
    os.FailCall("RegOpenKeyExA");
    EXPECT_FALSE(ReadLaunchOnStartup());
}

TEST_F(SettingsTest, ExitWritesTheFourValuesWithTheEdgeInUse) {
    CVosselDialog& bar = CreateBar();
    BARPLACEMENT placement = bar.GetPlacement();
    placement.nEdge = ABE_RIGHT;
    placement.anThickness[ABE_RIGHT] = 50;
    bar.SetPlacement(&placement);
    os.ClearLogs();
    ExitBar();
    const std::string key = "set HKCU\\SOFTWARE\\QUORVANE\\VOSSEL\\SETTINGS\\";
    EXPECT_EQ(os.RegistryChanges(), (std::vector<std::string>{key + "STATE INFO", key + "LAUNCH PROGRAM",
                                                              key + "SKIP DRIVES", key + "TILE EXPLORERS"}));

    const auto state = os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State Info");
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(state->type, REG_BINARY);
    ASSERT_EQ(state->data.size(), 48u);
    BARPLACEMENT saved{};
    std::memcpy(&saved, state->data.data(), sizeof(saved));
    EXPECT_EQ(saved.cbSize, 48u);
    EXPECT_EQ(saved.nEdge, ABE_RIGHT);
    EXPECT_EQ(saved.anThickness[ABE_RIGHT], 50);
    EXPECT_EQ(StoredString(os, "Launch Program"), "C:\\WINDOWS\\Explorer.exe /e,\"%1\"");
    EXPECT_EQ(StoredString(os, "Skip Drives"), "");
    const auto tile = os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Tile Explorers");
    ASSERT_TRUE(tile.has_value());
    EXPECT_EQ(tile->type, REG_DWORD);
    EXPECT_EQ(tile->data, (std::vector<BYTE>{1, 0, 0, 0}));
    EXPECT_EQ(os.LiveRegistryKeys(), 0);
}

TEST_F(SettingsTest, PlacementSurvivesARestart) {
    CVosselDialog& first = CreateBar();
    BARPLACEMENT placement = first.GetPlacement();
    placement.nEdge = ABE_BOTTOM;
    placement.bAlwaysOnTop = FALSE;
    placement.anThickness[ABE_BOTTOM] = 36;
    first.SetPlacement(&placement);
    ExitBar();
    CVosselDialog& second = CreateBar();
    EXPECT_EQ(WindowRect(second.m_hWnd), (RECT{0, 732, 1024, 768}));
    EXPECT_FALSE(second.GetPlacement().bAlwaysOnTop);
}

TEST_F(SettingsTest, LogoffSavesButKeepsTheDriveButtons) {
    CVosselDialog& bar = CreateBar();
    ASSERT_EQ(bar.DriveButtons().size(), 2u);
    // A session end refused by the default processing saves nothing.
    os.FailCall("WM_QUERYENDSESSION", 1);
    EXPECT_EQ(os.SendMessageA(bar.m_hWnd, WM_QUERYENDSESSION, 0, 0), FALSE);
    EXPECT_FALSE(os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State Info").has_value());
    EXPECT_EQ(os.SendMessageA(bar.m_hWnd, WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_TRUE(os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State Info").has_value());
    ASSERT_EQ(bar.DriveButtons().size(), 2u);
    EXPECT_TRUE(os.IsWindow(bar.DriveButtons()[0]->m_hWnd));
}

TEST_F(SettingsTest, FailingRegistryWritesAreSilent) {
    CVosselDialog& bar = CreateBar();
    os.FailCall("RegSetValueExA");
    bar.ReleaseDrivesAndSave();
    EXPECT_FALSE(os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State Info").has_value());
    EXPECT_EQ(os.LiveRegistryKeys(), 0);
}

BARPLACEMENT Valid() { return BARPLACEMENT{48, ABE_LEFT, FALSE, TRUE, {50, 21, 50, 21}, {10, 10, 110, 60}}; }

// The bar's own limits on a 1024 x 768 screen.
constexpr PlacementLimits kLimits{{1024, 768}, {34, 21, 34, 21}, {512, 384, 512, 384}, {36, 39}, {512, 384}};
constexpr BARPLACEMENT kDefaults{48, ABE_TOP, FALSE, TRUE, {34, 21, 34, 21}, {0, 0, 68, 21}};

bool Accept(const BARPLACEMENT& stored, BARPLACEMENT* placement, size_t size = sizeof(BARPLACEMENT)) {
    return AcceptStoredPlacement(reinterpret_cast<const BYTE*>(&stored), size, kLimits, placement);
}

TEST(StoredPlacement, SoundRecordsAreTakenAsTheyAre) {
    for (const int edge : {EDGE_FLOATING, static_cast<int>(ABE_LEFT), static_cast<int>(ABE_BOTTOM)}) {
        BARPLACEMENT stored = Valid();
        stored.nEdge = edge;
        BARPLACEMENT placement = kDefaults;
        EXPECT_TRUE(Accept(stored, &placement));
        EXPECT_EQ(std::memcmp(&placement, &stored, sizeof(stored)), 0) << edge;
    }
    // Longer values give their first 48 bytes.
    std::vector<BYTE> data(64, 0xEE);
    BARPLACEMENT stored = Valid();
    stored.cbSize = 64;
    std::memcpy(data.data(), &stored, sizeof(stored));
    BARPLACEMENT placement{};
    ASSERT_TRUE(AcceptStoredPlacement(data.data(), data.size(), kLimits, &placement));
    EXPECT_EQ(std::memcmp(&placement, &stored, sizeof(stored)), 0);
}

TEST(StoredPlacement, RecordsWithAnUnknownEdgeOrSizeKeepTheDefault) {
    const int edges[] = {4, EDGE_NONE, -3};
    for (const int edge : edges) {
        BARPLACEMENT stored = Valid();
        stored.nEdge = edge;
        BARPLACEMENT placement = kDefaults;
        EXPECT_FALSE(Accept(stored, &placement)) << edge;
        EXPECT_EQ(std::memcmp(&placement, &kDefaults, sizeof(kDefaults)), 0) << edge;
    }
    BARPLACEMENT stored = Valid();
    BARPLACEMENT placement = kDefaults;
    EXPECT_FALSE(Accept(stored, &placement, 47));
    stored.cbSize = 20;
    EXPECT_FALSE(Accept(stored, &placement));
    EXPECT_EQ(std::memcmp(&placement, &kDefaults, sizeof(kDefaults)), 0);
}

TEST(StoredPlacement, ThicknessesAndTheFloatingRectangleAreHeldToWhatTheBarCanBe) {
    struct Case {
        LONG thickness[4];
        RECT floating;
        LONG expectedThickness[4];
        RECT expectedFloating;
    };
    constexpr LONG kMin = -2147483647 - 1;
    constexpr LONG kMax = 2147483647;
    const Case cases[] = {
        // Thicker than the screen, or below the frame and menu button.
        {{1025, 800, 513, 385}, {10, 10, 110, 60}, {512, 384, 512, 384}, {10, 10, 110, 60}},
        {{0, -1, 33, 20}, {10, 10, 110, 60}, {34, 21, 34, 21}, {10, 10, 110, 60}},
        // Wholly off the screen: brought back whole.
        {{50, 21, 50, 21}, {2000, 100, 2100, 150}, {50, 21, 50, 21}, {924, 100, 1024, 150}},
        {{50, 21, 50, 21}, {-500, -300, -400, -250}, {50, 21, 50, 21}, {0, 0, 100, 50}},
        {{50, 21, 50, 21}, {100, 900, 200, 950}, {50, 21, 50, 21}, {100, 718, 200, 768}},
        // Partly on the screen: left as it is.
        {{50, 21, 50, 21}, {1000, 100, 1100, 150}, {50, 21, 50, 21}, {1000, 100, 1100, 150}},
        // Larger than the window may be, straddling the screen's edge: cut, then brought back.
        {{50, 21, 50, 21}, {-900, -500, 100, 100}, {50, 21, 50, 21}, {0, 0, 512, 384}},
        // Empty or inverted.
        {{50, 21, 50, 21}, {3000, 3000, 3000, 2000}, {50, 21, 50, 21}, {988, 729, 1024, 768}},
        // Coordinates at the limits of 32 bits.
        {{kMax, kMin, kMax, kMin}, {kMin, kMin, kMax, kMax}, {512, 21, 512, 21}, {0, 0, 512, 384}},
        {{50, 21, 50, 21}, {kMax, kMax, kMin, kMin}, {50, 21, 50, 21}, {988, 729, 1024, 768}},
        {{50, 21, 50, 21}, {kMax - 10, 5, kMax, 25}, {50, 21, 50, 21}, {1014, 5, 1024, 25}},
    };
    for (const Case& c : cases) {
        BARPLACEMENT stored = Valid();
        std::memcpy(stored.anThickness, c.thickness, sizeof(c.thickness));
        stored.rcFloating = c.floating;
        BARPLACEMENT placement{};
        ASSERT_TRUE(Accept(stored, &placement)) << c.floating;
        for (int edge = 0; edge < 4; ++edge) {
            EXPECT_EQ(placement.anThickness[edge], c.expectedThickness[edge]) << c.floating << " edge " << edge;
        }
        EXPECT_EQ(placement.rcFloating, c.expectedFloating) << c.floating;
        EXPECT_EQ(placement.nEdge, ABE_LEFT);
        EXPECT_TRUE(placement.bAlwaysOnTop);
    }
}

TEST_F(SettingsTest, ACorruptStoredRecordStillGivesAVisibleBar) {
    BARPLACEMENT broken = Valid();
    broken.nEdge = 9;
    StorePlacement(os, broken);
    CVosselDialog& bar = CreateBar();
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 0, 1024, 21}));
    ExitBar();
    os.SetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State Info", REG_BINARY, std::vector<BYTE>(20, 0));
    EXPECT_EQ(WindowRect(CreateBar().m_hWnd), (RECT{0, 0, 1024, 21}));
}

// Whatever the stored record, the bar comes up on the screen, holds its menu
// button, and a docked bar that does not hide stands on the strip it reserves.
TEST_F(SettingsTest, EveryStoredRecordGivesAUsableBar) {
    constexpr LONG kMin = -2147483647 - 1;
    constexpr LONG kMax = 2147483647;
    struct Case {
        int edge;
        BOOL autoHide;
        LONG thickness;
        RECT floating;
    };
    const Case cases[] = {
        {ABE_BOTTOM, FALSE, 0, {0, 0, 68, 21}},
        {ABE_RIGHT, FALSE, 0, {0, 0, 68, 21}},
        {ABE_TOP, FALSE, 0, {0, 0, 68, 21}},
        {ABE_LEFT, FALSE, 3, {0, 0, 68, 21}},
        {ABE_TOP, FALSE, 700, {0, 0, 68, 21}},
        {ABE_LEFT, TRUE, 1000, {0, 0, 68, 21}},
        {ABE_RIGHT, FALSE, kMax, {0, 0, 68, 21}},
        {EDGE_FLOATING, FALSE, 21, {0, 0, 68, 21}},
        {EDGE_FLOATING, FALSE, 21, {-900, 0, 100, 100}},
        {EDGE_FLOATING, FALSE, 21, {3000, 10, 2000, 5}},
        {EDGE_FLOATING, FALSE, 21, {kMin, kMin, kMax, kMax}},
        {EDGE_FLOATING, FALSE, 21, {kMax, kMax, kMin, kMin}},
    };
    const RECT screen{0, 0, 1280, 600};
    os.SetScreenSize(screen.right, screen.bottom);
    for (const Case& c : cases) {
        BARPLACEMENT stored{48,        c.edge, c.autoHide, TRUE, {c.thickness, c.thickness, c.thickness, c.thickness},
                            c.floating};
        StorePlacement(os, stored);
        CVosselDialog& bar = CreateBar();
        const RECT window = WindowRect(bar.m_hWnd);
        const RECT client = ClientRectOf(bar.m_hWnd);
        SCOPED_TRACE(testing::Message() << "edge " << c.edge << " thickness " << c.thickness << " " << c.floating
                                        << " gives " << window);
        EXPECT_TRUE(window.left < screen.right && window.right > 0 && window.top < screen.bottom && window.bottom > 0);
        EXPECT_GE(client.right, kBarClientWidth);
        EXPECT_GE(client.bottom, kBarClientHeight);
        EXPECT_EQ(bar.GetPlacement().nEdge, c.edge);
        if (c.edge != EDGE_FLOATING && !c.autoHide) {
            EXPECT_EQ(os.ReservedRect(bar.m_hWnd), std::optional<RECT>(window));
        }
        ExitBar();
    }
    // A bar sized on a larger screen comes back at its edge, as thick as this
    // screen lets it be across that edge.
    StorePlacement(os, BARPLACEMENT{48, ABE_RIGHT, FALSE, FALSE, {34, 21, 900, 21}, {0, 0, 68, 21}});
    EXPECT_EQ(WindowRect(CreateBar().m_hWnd), (RECT{640, 0, 1280, 600}));
    EXPECT_FALSE(bar->GetPlacement().bAlwaysOnTop);
}

}  // namespace
