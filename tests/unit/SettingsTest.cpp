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
    os.SetRegistryString(HKEY_CURRENT_USER, kSettingsKey, "Skip Drives", "D");
    const DWORD off = 0;
    os.SetRegistryValue(
        HKEY_CURRENT_USER, kSettingsKey, "Tile Explorers", REG_DWORD,
        std::vector<BYTE>(reinterpret_cast<const BYTE*>(&off), reinterpret_cast<const BYTE*>(&off) + 4));
    CVosselDialog& bar = CreateBar();
    EXPECT_EQ(bar.LaunchProgram(), "notepad %1");
    EXPECT_EQ(bar.SkipDrives(), "D");
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
    ExitBar();

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
    EXPECT_EQ(os.SendMessageA(bar.m_hWnd, WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_TRUE(os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State Info").has_value());
    EXPECT_EQ(bar.DriveButtons().size(), 2u);
    EXPECT_TRUE(os.IsWindow(bar.DriveButtons()[0]->m_hWnd));
}

TEST_F(SettingsTest, FailingRegistryWritesAreSilent) {
    CVosselDialog& bar = CreateBar();
    os.FailCall("RegSetValueExA");
    bar.ReleaseDrivesAndSave();
    EXPECT_FALSE(os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State Info").has_value());
    EXPECT_EQ(os.LiveRegistryKeys(), 0);
}

BARPLACEMENT Valid() { return BARPLACEMENT{48, ABE_LEFT, FALSE, TRUE, {50, 21, 50, 21}, {10, 10, 78, 31}}; }

TEST(StoredPlacement, SoundRecordsAreTakenAsTheyAre) {
    const BARPLACEMENT defaults{48, ABE_TOP, FALSE, TRUE, {34, 21, 34, 21}, {0, 0, 68, 21}};
    for (const int edge : {EDGE_FLOATING, static_cast<int>(ABE_LEFT), static_cast<int>(ABE_BOTTOM)}) {
        BARPLACEMENT stored = Valid();
        stored.nEdge = edge;
        BARPLACEMENT placement = defaults;
        EXPECT_TRUE(
            AcceptStoredPlacement(reinterpret_cast<const BYTE*>(&stored), sizeof(stored), 1024, 768, &placement));
        EXPECT_EQ(std::memcmp(&placement, &stored, sizeof(stored)), 0) << edge;
    }
}

TEST(StoredPlacement, CorruptRecordsKeepTheDefault) {
    struct Case {
        const char* name;
        void (*corrupt)(BARPLACEMENT*);
    };
    const Case cases[] = {
        {"edge 4", [](BARPLACEMENT* p) { p->nEdge = 4; }},
        {"edge none", [](BARPLACEMENT* p) { p->nEdge = EDGE_NONE; }},
        {"edge -3", [](BARPLACEMENT* p) { p->nEdge = -3; }},
        {"negative thickness", [](BARPLACEMENT* p) { p->anThickness[ABE_TOP] = -1; }},
        {"thicker than the screen", [](BARPLACEMENT* p) { p->anThickness[ABE_LEFT] = 1025; }},
        {"short size field", [](BARPLACEMENT* p) { p->cbSize = 20; }},
    };
    const BARPLACEMENT defaults{48, ABE_TOP, FALSE, TRUE, {34, 21, 34, 21}, {0, 0, 68, 21}};
    for (const Case& c : cases) {
        BARPLACEMENT stored = Valid();
        c.corrupt(&stored);
        BARPLACEMENT placement = defaults;
        EXPECT_FALSE(
            AcceptStoredPlacement(reinterpret_cast<const BYTE*>(&stored), sizeof(stored), 1024, 768, &placement))
            << c.name;
        EXPECT_EQ(std::memcmp(&placement, &defaults, sizeof(defaults)), 0) << c.name;
    }
    BARPLACEMENT placement = defaults;
    const BARPLACEMENT stored = Valid();
    EXPECT_FALSE(AcceptStoredPlacement(reinterpret_cast<const BYTE*>(&stored), 47, 1024, 768, &placement));
}

TEST(StoredPlacement, LongerValuesGiveTheirFirstFortyEightBytes) {
    std::vector<BYTE> data(64, 0xEE);
    BARPLACEMENT stored = Valid();
    stored.cbSize = 64;
    std::memcpy(data.data(), &stored, sizeof(stored));
    BARPLACEMENT placement{};
    ASSERT_TRUE(AcceptStoredPlacement(data.data(), data.size(), 1024, 768, &placement));
    EXPECT_EQ(placement.nEdge, ABE_LEFT);
    EXPECT_EQ(placement.cbSize, 64u);
}

TEST(StoredPlacement, FloatingRectangleOffTheScreenIsBroughtBack) {
    struct Case {
        RECT stored;
        RECT expected;
    };
    const Case cases[] = {
        {{2000, 100, 2068, 121}, {956, 100, 1024, 121}},
        {{-500, -300, -432, -279}, {0, 0, 68, 21}},
        {{100, 900, 168, 921}, {100, 747, 168, 768}},
        // Partly on the screen: left as it is.
        {{1000, 100, 1068, 121}, {1000, 100, 1068, 121}},
    };
    for (const Case& c : cases) {
        BARPLACEMENT stored = Valid();
        stored.rcFloating = c.stored;
        BARPLACEMENT placement{};
        ASSERT_TRUE(
            AcceptStoredPlacement(reinterpret_cast<const BYTE*>(&stored), sizeof(stored), 1024, 768, &placement));
        EXPECT_EQ(placement.rcFloating, c.expected);
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

}  // namespace
