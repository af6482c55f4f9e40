
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "actions/DriveDropTarget.h"
#include "resources/resource.h"
#include "tests/support/BarFixture.h"

namespace {

DWORD Bit(char letter) { return 1U << (letter - 'A'); }

std::string Letters(const CVosselDialog& bar) {
    std::string letters;
    for (const auto& button : bar.DriveButtons()) {
        letters += button->GetWindowText().substr(0, 1);
    }
    return letters;
}

TEST(ReadDriveBroadcast, OnlyVolumesThatArriveOrGoWithoutTheirMediaNameLettersAndAShortRecordNamesNone) {
    constexpr DWORD kVolume = sizeof(DEV_BROADCAST_VOLUME), kHeader = sizeof(DEV_BROADCAST_HDR);
    constexpr WPARAM kQueryRemove = 0x8001, kRemovePending = 0x8003, kNodesChanged = 0x0007;
    constexpr DWORD kPort = 3, kInterface = 5;
    const DWORD az = Bit('A') | Bit('Z');
    struct Row {
        const char* what;
        WPARAM event;
        DWORD size, type, mask;
        WORD flags;
        bool look;
        DWORD gone, arrived;
    };
    // clang-format off
    const Row rows[] = {
        {"an arrival",                 DBT_DEVICEARRIVAL,        kVolume, DBT_DEVTYP_VOLUME, Bit('E'), 0,  true, 0, Bit('E')},
        {"a removal, A and Z",         DBT_DEVICEREMOVECOMPLETE, kVolume, DBT_DEVTYP_VOLUME, az,       0,  true, az, 0},
        {"a share that goes",          DBT_DEVICEREMOVECOMPLETE, kVolume, DBT_DEVTYP_VOLUME, az, DBTF_NET, true, az, 0},
        {"bits above Z",               DBT_DEVICEARRIVAL,        kVolume, DBT_DEVTYP_VOLUME, ~0U,      0,  true, 0, (1U << 26) - 1},
        {"no letters",                 DBT_DEVICEREMOVECOMPLETE, kVolume, DBT_DEVTYP_VOLUME, 0,        0,  true, 0, 0},
        {"a disc put in",              DBT_DEVICEARRIVAL,        kVolume, DBT_DEVTYP_VOLUME, az, DBTF_MEDIA, false, 0, 0},
        {"a disc taken out of a share", DBT_DEVICEREMOVECOMPLETE, kVolume, DBT_DEVTYP_VOLUME, az,
         DBTF_MEDIA | DBTF_NET, false, 0, 0},
        {"a record one byte short",    DBT_DEVICEARRIVAL,        kVolume - 1, DBT_DEVTYP_VOLUME, az,   0,  true, 0, 0},
        {"a bare header",              DBT_DEVICEREMOVECOMPLETE, kHeader, DBT_DEVTYP_VOLUME, az,       0,  true, 0, 0},
        {"less than a header",         DBT_DEVICEARRIVAL,        kHeader - 1, DBT_DEVTYP_VOLUME, az,   0,  false, 0, 0},
        {"a port",                     DBT_DEVICEARRIVAL,        kVolume, kPort,             az,       0,  false, 0, 0},
        {"a device interface",         DBT_DEVICEREMOVECOMPLETE, kVolume, kInterface,        az,       0,  false, 0, 0},
        {"a removal asked for",        kQueryRemove,             kVolume, DBT_DEVTYP_VOLUME, az,       0,  false, 0, 0},
        {"a removal pending",          kRemovePending,           kVolume, DBT_DEVTYP_VOLUME, az,       0,  false, 0, 0},
        {"the device tree changed",    kNodesChanged,            kVolume, DBT_DEVTYP_VOLUME, az,       0,  false, 0, 0},
    };
    // clang-format on
    for (const Row& row : rows) {
        const DEV_BROADCAST_VOLUME record{row.size, row.type, 0, row.mask, row.flags};
        const DriveNews news = ReadDriveBroadcast(row.event, reinterpret_cast<const DEV_BROADCAST_HDR*>(&record));
        EXPECT_EQ(news.bLookAgain, row.look) << row.what;
        EXPECT_EQ(news.dwGone, row.gone) << row.what;
        EXPECT_EQ(news.dwArrived, row.arrived) << row.what;
    }
    for (const WPARAM event : {DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE, kNodesChanged}) {
        EXPECT_FALSE(ReadDriveBroadcast(event, nullptr).bLookAgain) << event;
    }
}

using DriveSetTest = BarTest;

// What a tip request of `code` gets from the bar: its text, or nothing when the bar leaves it unanswered.
template <typename Info>
std::optional<std::string> Tip(HWND bar, UINT code, UINT_PTR idFrom, UINT flags) {
    Info request{};
    request.hdr = NMHDR{nullptr, idFrom, code};
    request.uFlags = flags;
    request.lpszText = request.szText;
    Os().win.SendMessageA(bar, WM_NOTIFY, idFrom, reinterpret_cast<LPARAM>(&request));
    if (request.lpszText == request.szText) {
        return std::nullopt;
    }
    if constexpr (sizeof(*request.lpszText) == 1) {
        return std::string(request.lpszText);
    } else {
        return Utf8FromUtf16(request.lpszText);
    }
}

// Opening a drive, drops and tips ask the set which drive a button stands
// for, by its id or its window: only the set's own buttons name one.
TEST_F(DriveSetTest, OnlyTheSetsOwnButtonsNameTheirDriveByIdOrWindowForTipsClicksAndDrops) {
    os.AddDrive('Z', DRIVE_REMOTE);
    os.AddDrive('F', DRIVE_REMOVABLE);
    CreateBar();
    os.SetActiveWindow(bar->m_hWnd);
    const CDriveSet& drives = bar->Drives();
    ASSERT_EQ(Letters(*bar), "CDFZ");
    // F goes: its window and id are no drive's any more, and Z takes F's id.
    const HWND f = drives.ButtonOf('F')->m_hWnd;
    os.RemoveDrive('F');
    os.BroadcastVolumeChange(DBT_DEVICEREMOVECOMPLETE, Bit('F'));
    os.PumpMessages();
    const HWND menu = bar->GetDlgItem(IDC_MENU_BUTTON);
    // A child of the bar's own, and another program's, with ids a drive button could have.
    const HWND past = os.CreateWindowExA(0, "Button", "Y:", WS_CHILD | WS_VISIBLE, 900, 1, 20, 10, bar->m_hWnd,
                                         IDC_FIRST_DRIVE + 3, nullptr);
    const HWND other = os.CreateForeignWindow("Other", "", WS_POPUP | WS_VISIBLE, 0, RECT{0, 300, 50, 350});
    const HWND foreign =
        os.CreateWindowExA(0, "Button", "X:", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, other, IDC_FIRST_DRIVE, nullptr);
    struct Row {
        const char* what;
        HWND window;
        UINT id;
        const char* root;  // by the window
        const char* rootOfId;
        char letter;
        const char* tipOfWindow;  // null: the request is left unanswered
        const char* tipOfId;
    };
    // clang-format off
    const char* const c = "(SYSTEM) C:\\";
    const Row rows[] = {
        {"the first drive",       drives.ButtonOf('C')->m_hWnd, IDC_FIRST_DRIVE,     "C:\\", "C:\\", 'C', c, c},
        {"the second",            drives.ButtonOf('D')->m_hWnd, IDC_FIRST_DRIVE + 1, "D:\\", "D:\\", 'D',
         "(CD-ROM) D:\\", "(CD-ROM) D:\\"},
        {"the last, renumbered",  drives.ButtonOf('Z')->m_hWnd, IDC_FIRST_DRIVE + 2, "Z:\\", "Z:\\", 'Z',
         "Z:\\", "Z:\\"},
        {"the id past the last",  past,                         IDC_FIRST_DRIVE + 3, "",       "",       0, "Y:", "Y:"},
        {"the id before the first", nullptr,                    IDC_FIRST_DRIVE - 1, "",       "",       0, nullptr, ""},
        {"the menu button",       menu,                         IDC_MENU_BUTTON,     "",       "",       0, "", ""},
        {"the bar",               bar->m_hWnd,                  0,                   "",       "",       0, nullptr, nullptr},
        {"a gone drive's window", f,                            0,                   "",       "",       0, nullptr, nullptr},
        // A tip goes by the id of its tool's window.
        {"another program's child", foreign,                    IDC_FIRST_DRIVE,     "",       "C:\\", 'C', c, c},
        {"no window",             nullptr,                      0,                   "",       "",       0, nullptr, nullptr},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(Utf8FromUtf16(drives.RootOfWindow(row.window)), row.root);
        EXPECT_EQ(Utf8FromUtf16(drives.RootOfId(row.id)), row.rootOfId);
        EXPECT_EQ(drives.LetterOfId(row.id), row.letter);
        if (row.letter != 0) {
            EXPECT_EQ(drives.ButtonOf(row.letter)->GetDlgCtrlID(), static_cast<int>(row.id));
        }
        // Tips by window and by id, narrow and wide; another notification is not the bar's to answer.
        const auto text = [](const char* tip) {
            return tip != nullptr ? std::optional<std::string>(tip) : std::nullopt;
        };
        const auto hwnd = reinterpret_cast<UINT_PTR>(row.window);
        EXPECT_EQ(Tip<NMTTDISPINFOA>(bar->m_hWnd, TTN_NEEDTEXTA, hwnd, TTF_IDISHWND), text(row.tipOfWindow));
        EXPECT_EQ(Tip<NMTTDISPINFOW>(bar->m_hWnd, TTN_NEEDTEXTW, hwnd, TTF_IDISHWND), text(row.tipOfWindow));
        EXPECT_EQ(Tip<NMTTDISPINFOA>(bar->m_hWnd, TTN_NEEDTEXTA, row.id, 0), text(row.tipOfId));
        EXPECT_EQ(Tip<NMTTDISPINFOW>(bar->m_hWnd, TTN_NEEDTEXTW, row.id, 0), text(row.tipOfId));
        EXPECT_EQ(Tip<NMTTDISPINFOW>(bar->m_hWnd, TTN_NEEDTEXTW + 1, row.id, 0), std::nullopt);
        EXPECT_EQ(Tip<NMTTDISPINFOA>(bar->m_hWnd, TTN_NEEDTEXTA - 1, hwnd, TTF_IDISHWND), std::nullopt);
        // A click by id opens that drive, or nothing.
        os.ClearLogs();
        Click(row.id);
        EXPECT_EQ(os.ShellExecutes().empty() ? "" : os.ShellExecutes()[0].directory, row.rootOfId);
        // A drop on the window starts at its drive, or nowhere.
        if (row.window != nullptr && os.IsWindow(row.window)) {
            RECT r = WindowRect(row.window);
            EXPECT_EQ(Utf8FromUtf16(DropStartPath(drives, POINT{r.left + 1, r.top + 1})), row.root);
        }
    }
    EXPECT_EQ(drives.ButtonOf('F'), nullptr);
    EXPECT_EQ(drives.ButtonOf('A'), nullptr);
    // At the bar's end every button goes, and no lookup finds one.
    bar->DestroyWindow();
    EXPECT_TRUE(drives.Buttons().empty());
    EXPECT_EQ(drives.ButtonOf('C'), nullptr);
    EXPECT_EQ(drives.LetterOfId(IDC_FIRST_DRIVE), 0);
    EXPECT_EQ(drives.RootOfId(IDC_FIRST_DRIVE), L"");
}

// At a new scale every drive button takes the bar's new font, or keeps its
// own when none could be made.
TEST_F(DriveSetTest, AtANewScaleEveryDriveButtonTakesTheBarsFontOrKeepsItsOwnWhenNoneCouldBeMade) {
    os.AddDrive('N', DRIVE_REMOTE);
    CreateBar();
    const auto fonts = [this] {
        std::vector<LRESULT> fonts{os.SendMessageA(bar->GetDlgItem(IDC_MENU_BUTTON), WM_GETFONT, 0, 0)};
        for (const auto& button : bar->DriveButtons()) {
            fonts.push_back(os.SendMessageA(button->m_hWnd, WM_GETFONT, 0, 0));
        }
        return fonts;
    };
    const std::vector<LRESULT> before = fonts();
    ASSERT_EQ(before, std::vector<LRESULT>(4, before[0]));
    os.FailCall("CreateFontIndirectA", 1);
    os.ChangeDpi(144);
    EXPECT_EQ(fonts(), before);
    os.ChangeDpi(120);
    const std::vector<LRESULT> scaled = fonts();
    EXPECT_NE(scaled[0], before[0]);
    EXPECT_EQ(scaled, std::vector<LRESULT>(4, scaled[0]));
}

// A broadcast's word that a drive went holds only until the system reports
// the drive again: the next look (the pointer coming over the bar, the menu
// opening) brings its button back, unless the letter is left without a root.
TEST_F(DriveSetTest, ADriveSaidGoneThatTheSystemReportsAgainWithARootGetsItsButtonBackAtTheNextLook) {
    struct Case {
        const char* what;
        std::function<void()> meanwhile;
        const char* letters;
    };
    const Case cases[] = {
        {"gone, then back unannounced",
         [this] {
             os.RemoveDrive('E');
             os.AddDrive('E', DRIVE_REMOVABLE);
         },
         "CDE"},
        {"never gone, whatever the broadcast said", [] {}, "CDE"},
        {"its letter left reported without a root", [this] { os.AddDrive('E', DRIVE_NO_ROOT_DIR); }, "CD"},
        {"gone for good", [this] { os.RemoveDrive('E'); }, "CD"},
    };
    const std::pair<const char*, std::function<void()>> looks[] = {
        {"the pointer comes over the bar",
         [this] {
             const HWND menuButton = bar->GetDlgItem(IDC_MENU_BUTTON);
             os.SendMessageA(menuButton, WM_SETCURSOR, reinterpret_cast<WPARAM>(menuButton),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
         }},
        {"the menu opens", [this] { bar->ShowBarMenu(5, 5); }},
    };
    for (const auto& [look, act] : looks) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(look) + ": " + c.what);
            CreateBar();
            os.AddDrive('E', DRIVE_REMOVABLE);
            os.BroadcastVolumeChange(DBT_DEVICEARRIVAL, Bit('E'));
            os.PumpMessages();
            // The removal is told while the system still reports the drive.
            os.BroadcastVolumeChange(DBT_DEVICEREMOVECOMPLETE, Bit('E'));
            os.PumpMessages();
            ASSERT_EQ(Letters(*bar), "CD");
            c.meanwhile();
            act();
            os.PumpMessages();
            EXPECT_EQ(Letters(*bar), c.letters);
            bar->DestroyWindow();
            os.RemoveDrive('E');
        }
    }
}

using DriveSetReentryTest = BarTest;

// A nested loop (the menu's, the shell's error box, the folder dialog of a
// drop) delivers the drive sync there, often while a button's own message is
// still being handled: the button goes at once, its object when that message returns.
TEST_F(DriveSetReentryTest, ADriveThatGoesInsideANestedLoopLosesItsButtonThereItsObjectWhenItsMessageReturns) {
    const auto pull = [this](char letter) {
        os.RemoveDrive(letter);
        os.BroadcastVolumeChange(DBT_DEVICEREMOVECOMPLETE, Bit(letter));
    };
    const auto plug = [this](char letter, UINT type) {
        os.AddDrive(letter, type);
        os.BroadcastVolumeChange(DBT_DEVICEARRIVAL, Bit(letter));
    };
    const auto rightClick = [this](HWND button) {
        os.SendMessageA(button, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(button), MAKELPARAM(40, 5));
    };
    struct Scenario {
        const char* what;
        char letter;  // of the button the user acts on
        UINT type;
        std::function<void(HWND button)> act;
        const char* after;  // the letters left
        const char* loop;   // the one it opened: m(enu), (shell error) b(ox) or f(older dialog)
    };
    // clang-format off
    const Scenario scenarios[] = {
        {"a stick pulled while its button's menu is open", 'E', DRIVE_REMOVABLE, [&](HWND button) {
             os.SetMenuOpenHook([&] { pull('E'); });
             rightClick(button);
         }, "CD", "m"},
        {"a share unmapped unannounced with the pointer already over the bar, then its menu", 'Z', DRIVE_REMOTE,
         [&](HWND button) {
             os.SendMessageA(button, WM_SETCURSOR, reinterpret_cast<WPARAM>(button), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
             os.RemoveDrive('Z');
             rightClick(button);
         }, "CD", "m"},
        {"a drive that goes while the shell reports that its launch program failed", 'E', DRIVE_REMOVABLE,
         [&](HWND button) {
             os.SetShellExecuteResult(2);
             os.SetMessageBoxHook([&](HWND) { pull('E'); });
             os.SendMessageA(button, BM_CLICK, 0, 0);
         }, "CD", "b"},
        {"a flood of removals and arrivals while its button's menu is open", 'E', DRIVE_REMOVABLE,
         [&](HWND button) {
             os.SetMenuOpenHook([&] {
                 for (int i = 0; i < 200; ++i) {
                     pull(i % 2 == 0 ? 'E' : 'F');
                     os.PumpMessages();
                     plug(i % 3 == 0 ? 'E' : 'G', DRIVE_REMOVABLE);
                     plug('F', DRIVE_CDROM);
                     os.PumpMessages();
                 }
                 pull('G');
             });
             rightClick(button);
         }, "CDEF", "m"},
        {"a drive whose removal comes as files are dropped on its button", 'E', DRIVE_REMOVABLE,
         [&](HWND button) {
             const RECT r = WindowRect(button);
             os.SetCursorPos(POINT{r.left + 2, r.top + 2});
             pull('E');
             os.SetFolderDialogAnswer([&](const MemoryOs::FolderDialog& dialog) {
                 EXPECT_EQ(dialog.selection, "E:\\");
                 EXPECT_EQ(Letters(*bar), "CD");
                 return std::optional<std::string>("C:\\");
             });
             os.SendMessageA(bar->m_hWnd, WM_DROPFILES,
                             reinterpret_cast<WPARAM>(os.CreateDropFiles({"D:\\a.txt"})), 0);
             os.SetFolderDialogAnswer(nullptr);
             ASSERT_EQ(os.FileOperations().size(), 1u);
             EXPECT_EQ(os.FileOperations()[0].to, std::vector<std::string>{"C:\\a.txt"});
         }, "CD", "f"},
    };
    // clang-format on
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.what);
        CreateBar();
        plug(s.letter, s.type);
        os.PumpMessages();
        const auto before = os.LiveObjects();
        const HWND button = os.GetDlgItem(bar->m_hWnd, IDC_FIRST_DRIVE + 2);
        ASSERT_EQ(Letters(*bar), std::string("CD") + s.letter);
        os.ClearLogs();
        const size_t folderDialogs = os.FolderDialogs().size();
        s.act(button);
        os.PumpMessages();
        EXPECT_EQ(Letters(*bar), s.after);
        EXPECT_FALSE(os.IsWindow(button));
        EXPECT_EQ(std::string(os.MenuShowings().size(), 'm') + std::string(os.ShellErrorBoxes().size(), 'b') +
                      std::string(os.FolderDialogs().size() - folderDialogs, 'f'),
                  s.loop);
        os.SetMenuOpenHook(nullptr);
        os.SetMessageBoxHook(nullptr);
        os.SetShellExecuteResult(42);
        // What went comes back with its button, and every handle is as it was.
        pull('F');
        pull('G');
        plug(s.letter, s.type);
        os.PumpMessages();
        EXPECT_EQ(Letters(*bar), std::string("CD") + s.letter);
        EXPECT_EQ(os.LiveObjects(), before);
        bar->DestroyWindow();
        os.RemoveDrive(s.letter);
    }
}

}  // namespace
