#include <gtest/gtest.h>

#include "actions/OpenDrive.h"
#include "tests/support/BarFixture.h"

namespace {

TEST(SplitLaunchCommand, SplitsAtTheFirstSpaceAfterTheLastFullStopOrBackslash) {
    struct Case {
        const char* command;
        const char* program;
        const char* arguments;
    };
    const Case cases[] = {
        {"C:\\WINDOWS\\Explorer.exe /e,\"%1\"", "C:\\WINDOWS\\Explorer.exe", "/e,\"%1\""},
        {"C:\\Tools\\viewer.exe", "C:\\Tools\\viewer.exe", ""},
        {"notepad %1", "notepad", "%1"},
        {"notepad", "notepad", ""},
        {"C:\\Tools\\app.exe \t  -a %1", "C:\\Tools\\app.exe", "-a %1"},
        // Arguments holding a backslash or full stop take the split point with them.
        {"C:\\Tools\\app.exe /open C:\\data\\x %1", "C:\\Tools\\app.exe /open C:\\data\\x", "%1"},
        {"C:\\Tools\\app.exe file.txt", "C:\\Tools\\app.exe file.txt", ""},
        {"C:\\Program Files\\App\\app.exe %1", "C:\\Program Files\\App\\app.exe", "%1"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const LaunchCommand split = SplitLaunchCommand(c.command);
        EXPECT_EQ(split.program, c.program) << c.command;
        EXPECT_EQ(split.arguments, c.arguments) << c.command;
    }
}

TEST(SubstituteRoot, ReplacesTheFirstMarkerOrBecomesTheArguments) {
    EXPECT_EQ(SubstituteRoot("/e,\"%1\"", "D:\\"), "/e,\"D:\\\"");
    EXPECT_EQ(SubstituteRoot("%1 %1", "D:\\"), "D:\\ %1");
    EXPECT_EQ(SubstituteRoot("", "D:\\"), "D:\\");
    EXPECT_EQ(SubstituteRoot("-x", "D:\\"), "D:\\");
}

TEST(TileGrid, CellsForOneToSevenWindows) {
    struct Case {
        size_t count;
        std::vector<RECT> cells;
        LONG bottom = 768;
    };
    const Case cases[] = {
        {1, {{0, 0, 1024, 768}}},
        {2, {{0, 0, 512, 768}, {512, 0, 1024, 768}}},
        {3, {{0, 0, 341, 768}, {341, 0, 682, 768}, {682, 0, 1023, 768}}},
        {4, {{0, 0, 512, 384}, {512, 0, 1024, 384}, {0, 384, 512, 768}, {512, 384, 1024, 768}}},
        // An odd height leaves the bottom row of pixels uncovered.
        {4, {{0, 0, 512, 383}, {512, 0, 1024, 383}, {0, 383, 512, 766}, {512, 383, 1024, 766}}, 767},
        {5, {{0, 0, 341, 384}, {341, 0, 682, 384}, {682, 0, 1023, 384}, {0, 384, 512, 768}, {512, 384, 1024, 768}}},
        {7,
         {{0, 0, 256, 384},
          {256, 0, 512, 384},
          {512, 0, 768, 384},
          {768, 0, 1024, 384},
          {0, 384, 341, 768},
          {341, 384, 682, 768},
          {682, 384, 1023, 768}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TileGrid(c.count, 1024, c.bottom), c.cells) << c.count;
    }
    EXPECT_TRUE(TileGrid(0, 1024, 768).empty());
}

class OpenDriveTest : public BarTest {
protected:
    HWND Window(const char* className) {
        return os.CreateForeignWindow(className, "folder", WS_POPUP | WS_VISIBLE, 0, RECT{100, 100, 300, 300});
    }
};

TEST_F(OpenDriveTest, ClickRunsTheLaunchProgramOnTheRootAndTilesExplorers) {
    CreateBar();
    const HWND older = Window("ExploreWClass");
    const HWND other = Window("Notepad");
    const HWND newest = Window("CabinetWClass");
    os.ClearLogs();
    Click(2684);

    ASSERT_EQ(os.ShellExecutes().size(), 1u);
    const auto& run = os.ShellExecutes()[0];
    EXPECT_EQ(run.owner, os.GetDesktopWindow());
    EXPECT_EQ(run.verb, "open");
    EXPECT_EQ(run.file, "C:\\WINDOWS\\Explorer.exe");
    EXPECT_EQ(run.parameters, "/e,\"D:\\\"");
    EXPECT_EQ(run.directory, "D:\\");
    EXPECT_EQ(run.show, SW_SHOWNORMAL);
    EXPECT_EQ(os.Sleeps(), std::vector<DWORD>{800});
    // Topmost first: the newest window takes the left cell.
    EXPECT_EQ(WindowRect(newest), (RECT{0, 0, 512, 768}));
    EXPECT_EQ(WindowRect(older), (RECT{512, 0, 1024, 768}));
    EXPECT_EQ(WindowRect(other), (RECT{100, 100, 300, 300}));
    EXPECT_EQ(os.GetActiveWindow(), older);
    EXPECT_EQ(os.CurrentDirectory(), "D:\\");
}

TEST_F(OpenDriveTest, ASingleExplorerWindowFillsTheScreenAfterAFurtherWait) {
    CreateBar();
    const HWND folder = Window("CabinetWClass");
    os.ShowWindow(folder, SW_MINIMIZE);
    os.ClearLogs();
    Click(2683);
    EXPECT_EQ(os.Sleeps(), (std::vector<DWORD>{800, 250}));
    EXPECT_EQ(WindowRect(folder), (RECT{0, 0, 1024, 768}));
    EXPECT_EQ(os.GetWindowLongA(folder, GWL_STYLE) & WS_MINIMIZE, 0);
    EXPECT_EQ(os.CurrentDirectory(), "C:\\");
}

TEST_F(OpenDriveTest, TilingNeedsAProgramNamedExplorerAndTheSettingButTheWaitIsAlways) {
    struct Case {
        const char* command;
        DWORD tile;
        bool window;
        std::vector<DWORD> sleeps;
    };
    const Case cases[] = {
        {"C:\\Tools\\viewer.exe %1", 1, true, {800}},
        {"C:\\Program Files\\MyEXPLORER\\open.exe %1", 1, true, {800, 250}},
        {"C:\\WINDOWS\\explorer.exe %1", 0, true, {800}},
        {"C:\\WINDOWS\\explorer.exe %1", 1, false, {800}},
    };
    for (const Case& c : cases) {
        os.SetRegistryString(HKEY_CURRENT_USER, kSettingsKey, "Launch Program", c.command);
        os.SetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Tile Explorers", REG_DWORD,
                            std::vector<BYTE>{static_cast<BYTE>(c.tile), 0, 0, 0});
        CreateBar();
        const HWND folder = c.window ? Window("CabinetWClass") : nullptr;
        os.ClearLogs();
        Click(2683);
        EXPECT_EQ(os.Sleeps(), c.sleeps) << c.command;
        EXPECT_EQ(os.ShellExecutes().size(), 1u);
        os.DestroyWindow(folder);
        bar.reset();
    }
}

TEST_F(OpenDriveTest, OnlyDriveIdsOpenADrive) {
    CreateBar();
    os.ClearLogs();
    for (UINT id : {2682u, 2685u, 1009u}) {
        Click(id);
    }
    os.SendMessageA(bar->m_hWnd, WM_COMMAND, MAKEWPARAM(2683, 5), 0);
    EXPECT_TRUE(os.ShellExecutes().empty());
}

TEST_F(OpenDriveTest, ADriveThatIsNotReadyLeavesTheCurrentFolder) {
    CreateBar();
    os.FailCall("SetCurrentDirectoryA");
    Click(2684);
    EXPECT_EQ(os.CurrentDirectory(), "C:\\");
    EXPECT_EQ(os.ShellExecutes().size(), 1u);
}

}  // namespace
