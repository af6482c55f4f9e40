
#include <tuple>

#include "actions/OpenDrive.h"
#include "tests/support/BarFixture.h"

namespace {

class OpenDriveTest : public BarTest {
protected:
    HWND Window(const char* className) {
        return os.CreateForeignWindow(className, "folder", WS_POPUP | WS_VISIBLE, 0, RECT{100, 100, 300, 300});
    }
};

TEST_F(OpenDriveTest, ClickRunsTheLaunchProgramSplitAtItsLastFullStopOrBackslashOnTheRootAndTilesOnlyExplorers) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"C:\\WINDOWS\\Explorer.exe /e,\"%1\"", "C:\\WINDOWS\\Explorer.exe", "/e,\"%1\""},
        {"notepad %1", "notepad", "%1"},
        {"C:\\Tools\\app.exe \t  -a %1", "C:\\Tools\\app.exe", "-a %1"},
        // Arguments holding a backslash or full stop take the split point with them.
        {"C:\\Tools\\app.exe /open C:\\data\\x %1", "C:\\Tools\\app.exe /open C:\\data\\x", "%1"},
        {"C:\\Tools\\app.exe file.txt", "C:\\Tools\\app.exe file.txt", ""},
        {"C:\\Tools\\app.exe -x .cfg", "C:\\Tools\\app.exe -x .cfg", ""},
        {"C:\\Program Files\\App\\app.exe %1", "C:\\Program Files\\App\\app.exe", "%1"},
        {"C:\\Program Files\\App\\app %1", "C:\\Program Files\\App\\app", "%1"},
        // A full stop alone, or neither: the program ends at the first space after it, or the first space.
        {"my tool.exe /x %1", "my tool.exe", "/x %1"},
        {"my tool /x %1", "my", "tool /x %1"},
        {"", "", ""},
        // Names in any script split as any other.
        {"C:\\Программы\\Фото.exe %1", "C:\\Программы\\Фото.exe", "%1"},
        {"C:\\日本\\app 📷.exe -a %1", "C:\\日本\\app 📷.exe", "-a %1"},
        {"Ωmega %1", "Ωmega", "%1"},
    };
    for (const auto& [command, program, arguments] : cases) {
        const LaunchCommand split = SplitLaunchCommand(W(command));
        EXPECT_EQ(Utf8FromUtf16(split.program + L"|" + split.arguments), std::string(program) + "|" + arguments)
            << command;
    }
    EXPECT_EQ(SubstituteRoot(L"%1 %1", L"D:\\"), L"D:\\ %1");
    EXPECT_EQ(SubstituteRoot(L"-x", L"D:\\"), L"D:\\");
    const std::tuple<size_t, LONG, std::vector<RECT>> grids[] = {
        {0, 768, {}},
        {3, 768, {{0, 0, 341, 768}, {341, 0, 682, 768}, {682, 0, 1023, 768}}},
        // An odd height leaves the bottom row of pixels uncovered.
        {4, 767, {{0, 0, 512, 383}, {512, 0, 1024, 383}, {0, 383, 512, 766}, {512, 383, 1024, 766}}},
        {5,
         768,
         {{0, 0, 341, 384}, {341, 0, 682, 384}, {682, 0, 1023, 384}, {0, 384, 512, 768}, {512, 384, 1024, 768}}},
    };
    for (const auto& [count, bottom, cells] : grids) {
        EXPECT_EQ(TileGrid(count, 1024, bottom), cells) << count;
    }
    const std::tuple<const char*, BYTE, bool, std::vector<DWORD>> launches[] = {
        {"C:\\WINDOWS\\Explorer.exe /e,\"%1\"", 1, true, {800, 250}},
        {"C:\\Tools\\viewer.exe %1", 1, true, {800}},
        {"C:\\Program Files\\MyEXPLORER\\open.exe %1", 1, true, {800, 250}},
        {"C:\\WINDOWS\\explorer.exe %1", 0, true, {800}},
        {"C:\\WINDOWS\\explorer.exe %1", 1, false, {800}},
        {"C:\\Программы\\Explorer.exe %1", 1, true, {800, 250}},
    };
    for (const auto& [command, tile, window, sleeps] : launches) {
        os.SetRegistryString(HKEY_CURRENT_USER, kSettingsKey, "Launch Program", command);
        os.SetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Tile Explorers", REG_DWORD, {tile, 0, 0, 0});
        CreateBar();
        const HWND folder = window ? Window("CabinetWClass") : nullptr;
        os.ShowWindow(folder, SW_MINIMIZE);
        os.ClearLogs();
        Click(2683);
        EXPECT_EQ(os.Sleeps(), sleeps) << command;
        ASSERT_EQ(os.ShellExecutes().size(), 1u);
        std::string started = command;
        started.replace(started.find("%1"), 2, "C:\\");
        EXPECT_EQ(os.ShellExecutes()[0].file + " " + os.ShellExecutes()[0].parameters, started);
        EXPECT_EQ(os.ShellExecutes()[0].directory, "C:\\");
        // A single Explorer window is restored to fill the screen.
        const bool tiled = sleeps.size() == 2;
        if (window) {
            EXPECT_EQ(WindowRect(folder).right, tiled ? 1024 : 300) << command;
            EXPECT_EQ((os.GetWindowLongA(folder, GWL_STYLE) & WS_MINIMIZE) == 0, tiled) << command;
        }
        os.DestroyWindow(folder);
        bar.reset();
    }
    os.SetRegistryString(HKEY_CURRENT_USER, kSettingsKey, "Launch Program", "");
    CreateBar();
    const HWND older = Window("ExploreWClass");
    const HWND other = Window("Notepad");
    const HWND newest = Window("CabinetWClass");
    os.ClearLogs();
    Click(2684);
    ASSERT_EQ(os.ShellExecutes().size(), 1u);
    const auto& run = os.ShellExecutes()[0];
    EXPECT_EQ(run.owner, os.GetDesktopWindow());
    EXPECT_EQ(run.verb + "|" + run.file + "|" + run.parameters + "|" + run.directory + "|" + std::to_string(run.show),
              "open|C:\\WINDOWS\\Explorer.exe|/e,\"D:\\\"|D:\\|1");
    EXPECT_EQ(os.Sleeps(), std::vector<DWORD>{800});
    // Topmost first: the newest window takes the left cell.
    EXPECT_EQ(WindowRect(newest), (RECT{0, 0, 512, 768}));
    EXPECT_EQ(WindowRect(older), (RECT{512, 0, 1024, 768}));
    EXPECT_EQ(WindowRect(other), (RECT{100, 100, 300, 300}));
    EXPECT_EQ(os.GetActiveWindow(), older);
    EXPECT_EQ(os.CurrentDirectory(), "D:\\");
    // A drive that is not ready leaves the current folder where it was.
    os.FailCall("SetCurrentDirectoryW");
    Click(2683);
    EXPECT_EQ(os.CurrentDirectory(), "D:\\");
    EXPECT_EQ(os.ShellExecutes().size(), 2u);
    // Other ids open nothing.
    for (UINT id : {2682u, 2685u, 1009u}) {
        Click(id);
    }
    os.SendMessageA(bar->m_hWnd, WM_COMMAND, MAKEWPARAM(2683, 5), 0);
    EXPECT_EQ(os.ShellExecutes().size(), 2u);
}

}  // namespace
