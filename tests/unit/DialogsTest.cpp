#include <algorithm>
#include <cstring>
#include <functional>
#include <sstream>

#include "dialogs/AboutDialog.h"
#include "dialogs/OptionsDialog.h"
#include "dialogs/SystemInfo.h"
#include "platform/WinApp.h"
#include "resources/resource.h"
#include "settings/Settings.h"
#include "tests/support/BarFixture.h"

namespace {

constexpr char kShortExe[] = "C:\\PROGRA~1\\Vossel\\vossel.exe";
constexpr char kQuotedExe[] = "\"C:\\Program Files\\Vossel\\vossel.exe\"";

class DialogsTest : public BarTest {
protected:
    std::string Text(HWND dialog, int id) {
        char buffer[512] = {};
        os.GetWindowTextA(os.GetDlgItem(dialog, id), buffer, sizeof(buffer));
        return buffer;
    }
    void SetCheck(HWND dialog, int id, int state) {
        os.SendMessageA(os.GetDlgItem(dialog, id), BM_SETCHECK, static_cast<WPARAM>(state), 0);
    }
    void SetText(HWND dialog, int id, const char* text) { os.SetWindowTextA(os.GetDlgItem(dialog, id), text); }
    void Press(HWND dialog, int id) {
        os.PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED),
                        reinterpret_cast<LPARAM>(os.GetDlgItem(dialog, id)));
    }
    // The Options controls: launch program|skip drives|start-up, on top, auto hide and tile checks.
    std::string View(HWND h) {
        std::string checks;
        for (int id : {IDC_LAUNCH_ON_STARTUP, IDC_ALWAYS_ON_TOP, IDC_AUTO_HIDE, IDC_TILE_EXPLORERS}) {
            checks += std::to_string(os.SendMessageA(os.GetDlgItem(h, id), BM_GETCHECK, 0, 0));
        }
        return Text(h, IDC_LAUNCH_PROGRAM) + "|" + Text(h, IDC_SKIP_DRIVES) + "|" + checks;
    }
    // Runs the bar's Options with `edit` done on the dialog, ended with `end`; returns what it showed.
    std::string ApplyOptions(std::function<void(HWND)> edit, int end = IDOK) {
        std::string shown;
        os.SetModalIdle([&] {
            const HWND options = os.FindWindowA(nullptr, "Vossel Options");
            shown = View(options);
            edit(options);
            Press(options, end);
        });
        bar->ApplyOptions();
        return shown;
    }
    // The Run value's text: all its bytes, which end in its one terminator.
    std::optional<std::string> RunValue(HKEY root) {
        const auto value = os.GetRegistryValue(root, kRunKeyPath, "Vossel");
        if (!value) {
            return std::nullopt;
        }
        std::wstring text(reinterpret_cast<const WCHAR*>(value->data.data()), value->data.size() / sizeof(WCHAR));
        if (value->data.size() % sizeof(WCHAR) != 0 || text.empty() || text.back() != 0) {
            return "<not ended by its terminator>";
        }
        text.pop_back();
        return Utf8FromUtf16(text);
    }
};

TEST_F(DialogsTest, OptionsOpensAboutAndHelpOrSaysItFailedKeepingItsEditsAndAboutShowsItsLinesLinksAndIcon) {
    for (const bool present : {false, true}) {
        if (present) {
            os.AddFile("C:\\Program Files\\Vossel\\vossel-help.html", "<html>");
        } else {
            // A folder of the page's name is no page.
            os.SetSpecialFolder(CSIDL_DESKTOP, "C:\\Program Files\\Vossel\\vossel-help.html");
        }
        os.ClearLogs();
        HWND options = nullptr, owner = nullptr;
        bool optionsEnabled = true;
        std::string textAfter;
        os.SetModalIdle([&] {
            if (const HWND about = os.FindWindowA(nullptr, "About Vossel"); about != nullptr) {
                owner = os.GetWindow(about, GW_OWNER);
                optionsEnabled = os.IsWindowEnabled(options) != FALSE;
                return Press(about, IDOK);
            }
            options = os.FindWindowA(nullptr, "Vossel Options");
            if (owner != nullptr) {
                textAfter = Text(options, IDC_LAUNCH_PROGRAM);
                return Press(options, IDCANCEL);
            }
            EXPECT_EQ(os.Focus(), os.GetDlgItem(options, IDC_ALWAYS_ON_TOP)) << "the first tab stop";
            EXPECT_EQ(View(options), "||0100") << "box values out of range show clear";
            SetText(options, IDC_LAUNCH_PROGRAM, "unsaved edit");
            for (const int button : {IDC_OPTIONS_ABOUT, ID_HELP}) {
                os.SendMessageA(os.GetDlgItem(options, button), BM_CLICK, 0, 0);
            }
            os.PostMessageA(options, WM_NULL, 0, 0);
        });
        COptionsDialog dialog;
        dialog.m_bAlwaysOnTop = 1;
        dialog.m_bAutoHide = -1;
        dialog.m_bTileExplorers = 7;
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(owner, options);
        EXPECT_FALSE(optionsEnabled);
        EXPECT_EQ(textAfter, "unsaved edit");
        ASSERT_EQ(std::make_pair(os.ShellExecutes().size(), os.MessageBoxes().size()),
                  (std::make_pair<size_t, size_t>(present ? 1 : 0, present ? 0 : 1)));
        if (present) {
            EXPECT_EQ(os.ShellExecutes()[0].file, "file:///C:/Program%20Files/Vossel/vossel-help.html#options");
        } else {
            EXPECT_EQ(os.MessageBoxes()[0].text, "Failed to launch help.");
            EXPECT_EQ(os.MessageBoxes()[0].type, MB_OK | MB_ICONEXCLAMATION);
        }
    }
    CreateBar();
    os.SetActiveWindow(bar->m_hWnd);  // the bar is active while its menu is used
    os.SetDiskFreeSpace('C', 5368709120ULL);
    std::string texts;
    RECT about{};
    HWND owner = nullptr;
    bool barEnabled = true;
    std::vector<RECT> places;  // the picture, the web link and the mail link in the dialog's client area
    std::vector<std::string> hovered;
    LRESULT drawn = FALSE;
    size_t failedDrawings = 0;
    bool focused = false;
    os.SetModalIdle([&] {
        const HWND h = os.FindWindowA(nullptr, "About Vossel");
        for (int id :
             {IDC_AVAIL_MEM, IDC_MATH_COPROCESSOR, IDC_DISK_SPACE, IDC_FREE_RESOURCES, IDC_WEB_LINK, IDC_MAIL_LINK}) {
            texts += Text(h, id) + "|";
        }
        for (int id : {IDC_ICON_PICTURE, IDC_WEB_LINK, IDC_MAIL_LINK}) {
            places.push_back(ChildRect(os.GetDlgItem(h, id)));
        }
        // Hovered, the links only change colour: the background is filled, no shadow drawn.
        for (int id : {IDC_WEB_LINK, IDC_MAIL_LINK}) {
            const HWND link = os.GetDlgItem(h, id);
            os.SendMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
            os.ClearLogs();
            os.SendMessageA(link, WM_PAINT, 0, 0);
            for (const auto& call : os.GdiCalls()) {
                hovered.push_back(call.function + " " + std::to_string(call.x) + " " + std::to_string(call.colorFrom));
            }
            os.SendMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(-1, 1));
        }
        os.GetWindowRect(h, &about);
        focused = os.Focus() == os.GetDlgItem(h, IDOK);
        owner = os.GetWindow(h, GW_OWNER);
        barEnabled = os.IsWindowEnabled(bar->m_hWnd) != FALSE;
        const HWND picture = os.GetDlgItem(h, IDC_ICON_PICTURE);
        const HDC dc = os.GetDC(picture);
        DRAWITEMSTRUCT item{ODT_BUTTON, IDC_ICON_PICTURE, 0, ODA_DRAWENTIRE, 0, picture, dc, RECT{0, 0, 72, 72}, 0};
        // Without its icon, bitmap or memory context the picture draws nothing.
        for (const char* call : {"LoadImageA", "CreateCompatibleBitmap", "CreateCompatibleDC", ""}) {
            os.FailCall(call, 1);
            os.ClearLogs();
            drawn = os.SendMessageA(h, WM_DRAWITEM, IDC_ICON_PICTURE, reinterpret_cast<LPARAM>(&item));
            failedDrawings += *call != '\0' ? os.GdiCalls().size() : 0;
        }
        os.ReleaseDC(picture, dc);
        Press(h, IDCANCEL);  // Esc
    });
    bar->OnBarAbout();
    EXPECT_EQ(texts,
              "65536 KB Free|Present|5.00 GB Free|N/A|For more utilities, visit www.example.org|"
              "For more information, E-MAIL: vossel@example.org|");
    // The icon doubled in a frame with a shadow to the right and below.
    std::ostringstream calls;
    for (const auto& c : os.GdiCalls()) {
        calls << c.function << " " << c.rect << " " << c.cx << "x" << c.cy;
        // A copy's source: where it starts, and that it is copied as it is.
        calls << (c.function == "StretchBlt" ? " from " + std::to_string(c.x) + "," + std::to_string(c.y) +
                                                   (c.flags == SRCCOPY ? " copied" : " changed")
                                             : "")
              << "; ";
    }
    EXPECT_EQ(calls.str(),
              "StretchBlt {0, 0, 32, 32} 64x64 from 2,2 copied; DrawIcon {0, 0, 0, 0} 32x32; "
              "Rectangle {0, 0, 68, 68} 0x0; FillRect {68, 4, 72, 72} 0x0; FillRect {4, 68, 72, 72} 0x0; "
              "StretchBlt {2, 2, 66, 66} 32x32 from 0,0 copied; ");
    EXPECT_EQ(drawn, TRUE);
    EXPECT_EQ(failedDrawings, 0u);
    // The picture grows in place; each link keeps its place and height, as wide as its text.
    EXPECT_EQ(places, (std::vector<RECT>{{9, 4, 9 + 72, 4 + 72},
                                         {103, 61, 103 + 41 * MemoryOs::kCharWidth, 81},
                                         {72, 164, 72 + 48 * MemoryOs::kCharWidth, 183}}));
    const std::string red = "TextOutA 0 " + std::to_string(RGB(255, 0, 0));
    const std::string face = "FillRect 0 " + std::to_string(os.GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(hovered, (std::vector<std::string>{face, red, face, red}));
    EXPECT_TRUE(focused) << "OK has the focus";
    EXPECT_EQ(owner, bar->m_hWnd);
    EXPECT_FALSE(barEnabled);
    EXPECT_TRUE(os.IsWindowEnabled(bar->m_hWnd));
    // Over the bar across the top, held inside the work area below the bar's strip.
    EXPECT_EQ(about.left, 512 - (about.right - about.left) / 2);
    EXPECT_EQ(about.top, WindowRect(bar->m_hWnd).bottom);
}

TEST_F(DialogsTest, TheBarsOptionsShowItsSettingsOkAppliesWhatChangedOnlyAndTheRunValueIsQuotedWhenThePathHasSpaces) {
    CreateBar();
    const BARPLACEMENT before = bar->GetPlacement();
    const auto everything = [this](HWND h) {
        SetCheck(h, IDC_ALWAYS_ON_TOP, 0);
        SetCheck(h, IDC_TILE_EXPLORERS, 0);
        SetText(h, IDC_LAUNCH_PROGRAM, "");
        SetText(h, IDC_SKIP_DRIVES, "");
        os.TypeText(os.GetDlgItem(h, IDC_SKIP_DRIVES), "d");
    };
    os.ClearLogs();
    EXPECT_EQ(ApplyOptions(everything, IDCANCEL), "C:\\WINDOWS\\Explorer.exe /e,\"%1\"||0101");
    EXPECT_EQ(std::memcmp(&before, &bar->GetPlacement(), sizeof(before)), 0);
    EXPECT_EQ(bar->LaunchProgram(), L"C:\\WINDOWS\\Explorer.exe /e,\"%1\"");
    ApplyOptions([](HWND) {});
    // Only the dialog's activation is told to the shell: nothing changed, and the bar stays where it is.
    EXPECT_TRUE(std::all_of(os.AppBarCalls().begin(), os.AppBarCalls().end(),
                            [](const MemoryOs::AppBarCall& call) { return call.message == ABM_ACTIVATE; }));
    ApplyOptions(everything);
    EXPECT_TRUE(std::any_of(os.AppBarCalls().begin(), os.AppBarCalls().end(),
                            [](const MemoryOs::AppBarCall& call) { return call.message == ABM_SETPOS; }));
    EXPECT_FALSE(bar->GetPlacement().bAlwaysOnTop);
    EXPECT_EQ(os.GetWindowLongA(bar->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    // An emptied launch program is the Options default; a hidden drive's button and tip go at once.
    EXPECT_EQ(bar->LaunchProgram(), L"C:\\WINDOWS\\Explorer.exe /e,/idlist,\"%1\"");
    EXPECT_EQ(bar->SkipDrives(), L"D");
    ASSERT_EQ(bar->DriveButtons().size(), 1u);
    EXPECT_EQ(bar->DriveButtons()[0]->GetWindowText(), "C:");
    EXPECT_EQ(os.LiveToolTipTools(), 2);
    EXPECT_FALSE(bar->TileExplorers());
    EXPECT_EQ(ApplyOptions([](HWND) {}, IDCANCEL), "C:\\WINDOWS\\Explorer.exe /e,/idlist,\"%1\"|D|0000");
    // The start-up box writes and deletes the Run value only when it changes.
    const auto tick = [this](int state) {
        os.ClearLogs();
        ApplyOptions([this, state](HWND h) { SetCheck(h, IDC_LAUNCH_ON_STARTUP, state); });
    };
    const std::string runValue = "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\VOSSEL";
    tick(1);
    EXPECT_EQ(os.RegistryChanges(), std::vector<std::string>{"set " + runValue});
    EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE), std::optional<std::string>(kShortExe));
    EXPECT_TRUE(bar->LaunchOnStartup());
    // Removed by someone else meanwhile: an unchanged box writes nothing back.
    os.SetRegistryString(HKEY_LOCAL_MACHINE, kRunKeyPath, "Vossel", "x");
    os.SetRegistryString(HKEY_CURRENT_USER, kRunKeyPath, "Vossel", "x");
    tick(1);
    EXPECT_TRUE(os.RegistryChanges().empty());
    tick(0);
    EXPECT_EQ(os.RegistryChanges(),
              (std::vector<std::string>{"delete " + runValue, "delete HKCU" + runValue.substr(4)}));
    EXPECT_EQ(os.LiveRegistryKeys(), 0);
    // Without rights to the machine's key the user's takes the value, and counts at start.
    os.DenyWriteAccess(HKEY_LOCAL_MACHINE);
    tick(1);
    EXPECT_FALSE(RunValue(HKEY_LOCAL_MACHINE));
    EXPECT_EQ(RunValue(HKEY_CURRENT_USER), std::optional<std::string>(kShortExe));
    EXPECT_TRUE(ReadLaunchOnStartup());
    tick(0);
    EXPECT_FALSE(RunValue(HKEY_CURRENT_USER));
    EXPECT_FALSE(ReadLaunchOnStartup());
    const std::string spaced = "C:\\Program Files\\Vossel\\vossel.exe";
    EXPECT_EQ(RunValueForPath(W(spaced), W(spaced)), W(kQuotedExe));
    EXPECT_EQ(RunValueForPath(L"C:\\Tools\\vossel.exe", L"C:\\Tools\\vossel.exe"), L"C:\\Tools\\vossel.exe");
    // Quoted when the path has spaces, or the short-name call fails; without the program's path, nothing.
    os.FailCall("GetShortPathNameW", 1);
    WriteLaunchOnStartup(TRUE);
    EXPECT_EQ(RunValue(HKEY_CURRENT_USER), std::optional<std::string>(kQuotedExe));
    os.FailCall("GetModuleFileNameW");
    os.ClearLogs();
    WriteLaunchOnStartup(TRUE);
    EXPECT_TRUE(os.RegistryChanges().empty());
    bar->DestroyWindow();
    EXPECT_EQ(StoredString(os, "Skip Drives"), "D");
}

TEST_F(OsTest, SizesAtAndAroundEachThresholdMemoryAndDiskWithTheirFallbacks) {
    const std::pair<double, const char*> cases[] = {
        {0, "0 bytes"},
        {1023, "1023 bytes"},
        {1024, "1 KB"},
        {1048575, "1024 KB"},
        {1048576, "1.00 MB"},
        {1073741824, "1024.00 MB"},
        {1073741825, "1.00 GB"},
        {5368709120.0, "5.00 GB"},
        {1099511627776.0, "1024.00 GB"},
        // Exact halves of each unit, which tell its divisor from any near it.
        {1536, "2 KB"},
        {1441792, "1.38 MB"},
        {1476395008, "1.38 GB"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(FormatByteSize(bytes), text) << bytes;
    }
    os.FailCall("LoadStringA", 1, 1);  // the disk format loads, the size format does not
    EXPECT_EQ(DiskLineFromFreeBytes(5368709120ULL), " Free");
    // The size is followed by what stands six characters after "%lu K" in the format, or after its
    // sixth character without one.
    const std::pair<const char*, const char*> formats[] = {
        {"%lu KB Free", "5.00 GB Free"},
        {"Frei: %lu KB", "5.00 GB"},
        {"Disk %lu KB left", "5.00 GB left"},
        {"no count", "5.00 GBnt"},
    };
    for (const auto& [format, line] : formats) {
        os.AddString(IDS_DISK_FREE, format);
        EXPECT_EQ(DiskLineFromFreeBytes(5368709120ULL), line) << format;
    }
    os.AddString(IDS_DISK_FREE, "%lu KB Free");
    // Memory in whole kilobytes beyond four gigabytes.
    EXPECT_EQ(MemoryLine((64ULL << 40) + 1023), "68719476736 KB Free");
    os.SetMemoryStatus(8ULL << 30);
    EXPECT_EQ(ReadMemoryLine(), "8388608 KB Free");
    os.FailCall("GlobalMemoryStatusEx");
    EXPECT_EQ(ReadMemoryLine(), "Unavailable");
    // The disk line is of the current folder's drive.
    os.AddDrive('D', DRIVE_FIXED);
    ASSERT_TRUE(os.SetCurrentDirectoryW(L"D:\\Data\\Letters"));
    os.SetDiskFreeSpace('D', 1048576ULL);
    const auto ReadDiskLine = [this] {
        const VolumeAnswer volume = QueryVolume(os, CurrentDriveRoot(), false);
        return DiskLine(&volume);
    };
    EXPECT_EQ(ReadDiskLine(), "1.00 MB Free");
    // Without the newer call: the free clusters in whole kilobytes.
    os.SetDiskFreeSpace('D', 5368709120ULL, 8, 512);
    os.FailCall("GetDiskFreeSpaceExW");
    EXPECT_EQ(ReadDiskLine(), "5242880 KB Free");
    EXPECT_EQ(DiskLineFromClusters(64, 4096, 0xFFFFFFFF), "1099511627520 KB Free");
    os.FailCall("GetDiskFreeSpaceW");
    EXPECT_EQ(ReadDiskLine(), "Unavailable");
}

TEST_F(DialogsTest, OptionsFieldsTheRunValueAndTheHelpPathHoldNamesInAnyScript) {
    os.SetModuleFileName("C:\\Программы\\vossel.exe", "");
    os.AddFile("C:\\Программы\\vossel-help.html", "<html>");
    CreateBar();
    ApplyOptions([this](HWND h) {
        SetText(h, IDC_LAUNCH_PROGRAM, "");
        SetText(h, IDC_SKIP_DRIVES, "");
        os.TypeText(os.GetDlgItem(h, IDC_LAUNCH_PROGRAM), "C:\\Программы\\日本 📷.exe %1");
        os.TypeText(os.GetDlgItem(h, IDC_SKIP_DRIVES), "фd");
        SetCheck(h, IDC_LAUNCH_ON_STARTUP, 1);
    });
    EXPECT_EQ(bar->LaunchProgram(), W("C:\\Программы\\日本 📷.exe %1"));
    EXPECT_EQ(bar->SkipDrives(), W("ФD"));
    EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE), std::optional<std::string>("C:\\Программы\\vossel.exe"));
    // Shown again whole when the dialog opens anew.
    std::wstring shown;
    ApplyOptions(
        [this, &shown](HWND h) {
            shown.resize(64);
            shown.resize(static_cast<size_t>(os.GetWindowTextW(os.GetDlgItem(h, IDC_LAUNCH_PROGRAM), &shown[0], 64)));
        },
        IDCANCEL);
    EXPECT_EQ(shown, bar->LaunchProgram());
    EXPECT_TRUE(AfxGetApp()->WinHelp("vossel-help.html", "options"));
    EXPECT_EQ(os.ShellExecutes().back().file, "file:///C:/Программы/vossel-help.html#options");
    // A module path that fills the 260 characters of its buffer with its terminator names the program's
    // folder and makes its Run value; one cut short by the buffer names neither.
    for (const auto& [length, whole] : {std::pair(259, true), {260, false}, {264, false}}) {
        const std::string deep = "C:\\" + std::string(static_cast<size_t>(length) - 14, 'a');
        os.SetModuleFileName(deep + "\\vossel.exe", "");
        os.AddFile(deep + "\\vossel-help.html", "<html>");
        EXPECT_EQ(AfxGetApp()->WinHelp("vossel-help.html", ""), whole ? TRUE : FALSE) << length;
        WriteLaunchOnStartup(FALSE);
        WriteLaunchOnStartup(TRUE);
        EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE),
                  whole ? std::optional<std::string>(deep + "\\vossel.exe") : std::nullopt)
            << length;
    }
}

}  // namespace
