
#include <functional>
#include <string>

#include "dialogs/LinkLabel.h"
#include "resources/resource.h"
#include "tests/support/BarFixture.h"

namespace {

constexpr int kCycles = 10000;

class LeakTest : public BarTest {};

// Every kind of handle each cycle takes, run many times over a live bar, comes back.
TEST_F(LeakTest, RepeatedCyclesGiveBackEveryHandle) {
    CVosselDialog& bar = CreateBar();
    std::vector<HWND> buttons{os.GetDlgItem(bar.m_hWnd, IDC_MENU_BUTTON)};
    for (const auto& drive : bar.DriveButtons()) {
        buttons.push_back(drive->m_hWnd);
    }
    CLinkLabel link;
    link.SubclassWindow(os.CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE | ES_READONLY, 0, 0, 50, 16, bar.m_hWnd,
                                           IDC_MAIL_LINK, nullptr));
    link.SendMessage(WM_SETFONT, static_cast<WPARAM>(bar.SendMessage(WM_GETFONT)));
    link.SetLink("mailto:vossel@example.org", "E-MAIL: vossel@example.org", TRUE);
    std::optional<std::string> folder;
    os.SetFolderDialogAnswer([&](const MemoryOs::FolderDialog&) { return folder; });
    // Each modal run ends as soon as it idles, with OK on the dialog up.
    int shown = 0;
    os.SetModalIdle([&] {
        ++shown;
        os.PostMessageA(os.GetActiveWindow(), WM_COMMAND, IDOK, 0);
    });
    // A drive pulled while a menu is open.
    char pulled = 0;
    os.SetMenuOpenHook([&] {
        ++shown;
        if (pulled != 0) {
            os.RemoveDrive(pulled);
            os.BroadcastVolumeChange(DBT_DEVICEREMOVECOMPLETE, 1U << (pulled - 'A'));
        }
    });
    const struct {
        const char* name;
        std::function<void()> cycle;
    } cycles[] = {
        {"painting every button and SetBitmap",
         [&] {
             for (const HWND button : buttons) {
                 for (const UINT state : {0u, ODS_SELECTED | ODS_FOCUS, ODS_DISABLED}) {
                     Paint(button, state);
                 }
             }
             for (const auto& drive : bar.DriveButtons()) {
                 drive->SetBitmap(IDB_DRIVE_NETWORK, 16, 16, RGB(255, 255, 255));
             }
         }},
        {"the bar's menu and the link's",
         [&] {
             for (const HWND owner : {bar.m_hWnd, link.m_hWnd}) {
                 os.SendMessageA(owner, WM_CONTEXTMENU, 0, MAKELPARAM(5, 5));
             }
         }},
        {"a drive that comes, and goes while its button's own menu is open",
         [&] {
             os.AddDrive('E', DRIVE_REMOVABLE);
             os.BroadcastVolumeChange(DBT_DEVICEARRIVAL, 1U << 4);
             os.PumpMessages();
             const HWND e = bar.DriveButtons().back()->m_hWnd;
             pulled = 'E';
             os.SendMessageA(e, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(e), MAKELPARAM(5, 5));
             pulled = 0;
             EXPECT_FALSE(os.IsWindow(e));
         }},
        {"tooltip texts, narrow and wide",
         [&] {
             for (const auto& drive : bar.DriveButtons()) {
                 EXPECT_TRUE(os.HoverToolTip(drive->m_hWnd, false) && os.HoverToolTip(drive->m_hWnd, true));
             }
             os.PumpMessages();
         }},
        {"WM_DROPFILES, answered and cancelled",
         [&] {
             os.SetCursorPos(POINT{WindowRect(buttons[1]).left + 2, WindowRect(buttons[1]).top + 2});
             for (const bool answered : {true, false}) {
                 folder = answered ? std::optional<std::string>("D:\\") : std::nullopt;
                 os.SendMessageA(bar.m_hWnd, WM_DROPFILES,
                                 reinterpret_cast<WPARAM>(os.CreateDropFiles({"C:\\a.txt", "C:\\b.txt"})), 0);
             }
         }},
        {"the About dialog", [&] { bar.OnBarAbout(); }},
        {"the Options dialog", [&] { bar.ApplyOptions(); }},
        {"painting a link, hovered and not",
         [&] {
             for (const BOOL hover : {TRUE, FALSE}) {
                 link.SetHover(hover);
                 link.SendMessage(WM_PAINT);
                 EXPECT_TRUE(os.GdiCalls().back().underline);  // drawn in a font of its own
                 const HDC dc = os.GetDC(link.m_hWnd);
                 link.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc));
                 os.ReleaseDC(link.m_hWnd, dc);
             }
         }},
        {"hiding where two monitors meet, the window's region refused once",
         [&] {
             // At the primary's right edge, beside a second monitor.
             if (bar.GetPlacement().nEdge != ABE_RIGHT) {
                 os.AddMonitor(RECT{1024, 0, 1824, 600});
                 BARPLACEMENT placement = bar.GetPlacement();
                 placement.nEdge = ABE_RIGHT;
                 placement.bAutoHide = TRUE;
                 bar.SetPlacement(&placement);
             }
             os.FailCall("SetWindowRgn", 1);
             for (const BOOL show : {FALSE, TRUE, FALSE}) {
                 bar.ShowAutoHideBar(show);
             }
             // Refused, the region was freed, and the next move set it.
             RECT box{};
             EXPECT_EQ(os.GetWindowRgnBox(bar.m_hWnd, &box), SIMPLEREGION);
             bar.ShowAutoHideBar(TRUE);
         }},
    };
    for (const auto& c : cycles) {
        const auto before = os.LiveObjects();
        for (int i = 0; i < kCycles; ++i) {
            c.cycle();
            os.ClearLogs();
        }
        EXPECT_EQ(os.LiveObjects(), before) << c.name;
    }
    // Each cycle did its work: the drops reached the shell, the dialogs and menus showed.
    EXPECT_EQ(shown, 5 * kCycles);
    EXPECT_EQ(os.FileOperations().size(), static_cast<size_t>(kCycles));
    EXPECT_EQ(os.FolderDialogs().size(), 2u * kCycles);
}

}  // namespace
