// What a drive's tip and the About dialog learn from the volume, off the
// window's thread: nothing waits on a dead drive, a drive that outlived the
// deadline rests, and what answers late still fills in.
#include <functional>
#include <utility>

#include "bar/Drives.h"
#include "bar/VolumeQueries.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/SystemInfo.h"
#include "resources/resource.h"
#include "tests/support/BarFixture.h"

namespace {

constexpr ULONGLONG kGB = 1ULL << 30;
constexpr char kFilledC[] = "(SYSTEM) C:\\\n120 GB free of 476 GB";

class VolumeTest : public BarTest {
protected:
    VolumeTest() {
        os.SetDiskFreeSpace('C', 200 * kGB);
        os.SetDiskSize('C', 476 * kGB, 120 * kGB);
    }
    HWND Button(char letter) {
        for (const auto& button : bar->DriveButtons()) {
            if (button->GetWindowText() == std::string(1, letter) + ":") {
                return button->m_hWnd;
            }
        }
        return nullptr;
    }
    // Queries that asked C:'s label so far.
    size_t QueriesOfC() {
        return static_cast<size_t>(std::count(os.VolumeQueries().begin(), os.VolumeQueries().end(), "C:\\"));
    }
};

TEST_F(VolumeTest, ABlockedLabelDelaysNoMessageTheTipShowsItsFirstLineThenFillsInWhileUp) {
    os.SetDiskFreeSpace('D', 0);
    os.SetDiskSize('D', 700ULL << 20, 0);
    CreateBar();
    os.HoldDrive('C');
    EXPECT_EQ(os.HoverToolTip(Button('C')), "C:\\");
    os.PumpMessages();
    EXPECT_EQ(os.ShownToolTip(), "C:\\");
    EXPECT_EQ(os.HeldCalls(), 1);
    // Meanwhile the bar goes on: another drive's tip fills in, the menu opens, timers run.
    EXPECT_EQ(Tip(Button('D')), "(CD-ROM) D:\\\n0 bytes free of 700 MB");
    os.SendMessageA(bar->m_hWnd, WM_CONTEXTMENU, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(os.MenuShowings().size(), 1u);
    os.AdvanceClock(1000);
    // C:'s tip is up again when its answer comes: it fills in, and no new query was asked meanwhile.
    EXPECT_EQ(os.HoverToolTip(Button('C')), "C:\\");
    os.ReleaseDrive('C');
    EXPECT_EQ(os.ShownToolTip(), "C:\\");  // posted, not yet taken in
    os.PumpMessages();
    EXPECT_EQ(os.ShownToolTip(), kFilledC);
    EXPECT_EQ(QueriesOfC(), 1u);
    EXPECT_EQ(os.WindowThreadBlocks(), 0);
    // A tip of another drive that is up stays as it is when C:'s answer comes. Its late
    // answer let C: rest: the pointer coming onto it asks only once that is over.
    os.AdvanceClock(CVolumeQueries::kRest);
    os.HoldDrive('C');
    os.SendMessageA(Button('C'), WM_SETCURSOR, reinterpret_cast<WPARAM>(Button('C')), 0);
    EXPECT_EQ(Tip(Button('D')), "(CD-ROM) D:\\\n0 bytes free of 700 MB");
    os.ReleaseDrive('C');
    os.PumpMessages();
    EXPECT_EQ(os.ShownToolTip(), "(CD-ROM) D:\\\n0 bytes free of 700 MB");
    EXPECT_EQ(QueriesOfC(), 2u) << "the pointer coming onto C: asked it";
}

TEST_F(VolumeTest, ADriveWhoseQueryOutlivesTheDeadlineRestsTenSecondsFromItAndNeverStacksCalls) {
    CreateBar();
    const struct {
        DWORD answerAfter;  // when the answer comes, from the start of the query
        bool rests;
    } cases[] = {{0, false}, {299, false}, {300, true}, {5000, true}, {60000, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answerAfter);
        os.AdvanceClock(60000);  // the last case's rest is long over
        const size_t before = QueriesOfC();
        os.HoldDrive('C');
        // What an earlier query learned shows until the deadline, then the first line alone.
        EXPECT_EQ(Tip(Button('C')), before == 0 ? "C:\\" : kFilledC);
        // Hovering again and again while it hangs asks nothing more.
        for (DWORD step = 100; step <= c.answerAfter; step += 100) {
            os.AdvanceClock(100);
            EXPECT_EQ(Tip(Button('C')), before == 0 || step >= 300 ? "C:\\" : kFilledC);
        }
        EXPECT_EQ(os.HeldCalls(), 1);
        os.AdvanceClock(c.answerAfter % 100);
        os.ReleaseDrive('C');
        // The answer is taken in whenever it comes.
        os.PumpMessages();
        EXPECT_EQ(os.ShownToolTip(), kFilledC);
        EXPECT_EQ(QueriesOfC(), before + 1);
        // Resting, it is not asked again until ten seconds after its deadline.
        const DWORD restLeft = c.rests ? 300 + 10000 - c.answerAfter : 0;
        if (restLeft > 0) {
            os.AdvanceClock(restLeft - 1);
            EXPECT_EQ(Tip(Button('C')), kFilledC);
            EXPECT_EQ(QueriesOfC(), before + 1);
            os.AdvanceClock(1);
        }
        EXPECT_EQ(Tip(Button('C')), kFilledC);
        EXPECT_EQ(QueriesOfC(), before + 2);
    }
}

TEST_F(VolumeTest, ATimedOutQueryShowsNoSecondLineAndNeitherDoesADriveWithoutMediaOrAFailedQuery) {
    // The first and last letters are drives like any other.
    os.AddDrive('A', DRIVE_REMOVABLE);
    os.SetDiskFreeSpace('A', 512 << 10);
    os.SetDiskSize('A', 1 << 20, 512 << 10);
    os.AddDrive('B', DRIVE_REMOVABLE);
    os.AddDrive('Z', DRIVE_REMOVABLE);
    os.SetDiskFreeSpace('Z', kGB);
    os.SetDiskSize('Z', 2 * kGB, kGB);
    os.AddDrive('E', DRIVE_REMOVABLE);
    os.SetDiskFreeSpace('E', 3 * kGB);
    os.SetDiskSize('E', 16 * kGB, 3 * kGB);
    os.AddDrive('F', DRIVE_FIXED, std::nullopt);
    os.SetDiskFreeSpace('F', 512);
    os.SetDiskSize('F', 1023, 512);
    os.AddDrive('N', DRIVE_REMOTE);
    os.AddNetworkConnection("N:", "\\\\server\\share");
    os.SetDiskFreeSpace('N', 10239);
    os.SetDiskSize('N', 10240, 10239);
    CreateBar();
    const std::pair<char, const char*> tips[] = {
        {'A', "(floppy) A:\\\n512 KB free of 1.00 MB"},
        {'B', "(floppy) B:\\"},  // no disk in it
        {'C', kFilledC},
        {'D', "(CD-ROM) D:\\"},  // no disc in it
        {'E', "(floppy) E:\\\n3.00 GB free of 16.0 GB"},
        {'F', "F:\\\n512 bytes free of 1023 bytes"},  // its label cannot be read
        {'N', "(\\\\SERVER\\SHARE\\) N:\\\n9.99 KB free of 10.0 KB"},
        {'Z', "(floppy) Z:\\\n1.00 GB free of 2.00 GB"},
    };
    for (const auto& [letter, tip] : tips) {
        EXPECT_EQ(Tip(Button(letter)), tip) << letter;
    }
    // The label is asked of fixed drives alone; removable and CD drives keep theirs untouched.
    EXPECT_EQ(os.VolumeQueries(), (std::vector<std::string>{"C:\\", "F:\\"}));
    // A failed query forgets what an earlier one learned.
    os.AdvanceClock(1);
    os.FailCall("GetVolumeInformationW", 1);
    os.FailCall("GetDiskFreeSpaceExW", 1);
    EXPECT_EQ(Tip(Button('C')), "C:\\");
    EXPECT_EQ(Tip(Button('C')), kFilledC);
    // So does one past its deadline, while it hangs.
    os.HoldDrive('C');
    EXPECT_EQ(Tip(Button('C')), kFilledC);
    os.AdvanceClock(299);
    EXPECT_EQ(Tip(Button('C')), kFilledC) << "what is known shows until the deadline";
    os.AdvanceClock(1);
    EXPECT_EQ(Tip(Button('C')), "C:\\");
    os.ReleaseDrive('C');
    os.PumpMessages();
    EXPECT_EQ(os.ShownToolTip(), kFilledC);
    // Without its format, or a size, there is no second line at all.
    os.AdvanceClock(60000);
    os.FailCall("LoadStringA");
    EXPECT_EQ(Tip(Button('E')), "(floppy) E:\\");
    os.FailCall("LoadStringA", 0);
    os.FailCall("StrFormatByteSizeW", -1, 1);
    EXPECT_EQ(Tip(Button('N')), "(\\\\SERVER\\SHARE\\) N:\\");
}

TEST_F(VolumeTest, ExitWithAQueryStillBlockedWaitsNoLongerThanTheDeadlineAndTheLateAnswerTouchesNothing) {
    const struct {
        const char* name;
        bool ask;
        bool hold;
        bool eject;  // D:'s tray, held too
        std::vector<DWORD> waits;
    } cases[] = {
        {"nothing asked", false, false, false, {}},
        {"a query answered", true, false, false, {}},
        {"a query blocked", true, true, false, {CVolumeQueries::kDeadline}},
        {"an ejection blocked", false, true, true, {CVolumeQueries::kDeadline}},
        {"a query and an ejection blocked", true, true, true, {CVolumeQueries::kDeadline}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t waitsBefore = os.Waits().size();
        auto dialog = std::make_unique<CVosselDialog>();
        HWND hwnd = nullptr;
        os.SetModalIdle([&] {
            hwnd = os.FindWindowA(nullptr, "Vossel");
            if (c.hold) {
                os.HoldDrive('C');
                os.HoldDrive('D');
            }
            if (c.ask) {
                os.HoverToolTip(dialog->DriveButtons().at(0)->m_hWnd);
            }
            if (c.eject) {
                const HWND d = dialog->DriveButtons().at(1)->m_hWnd;
                os.ChooseMenuItem(ID_EJECT_DRIVE);
                os.SendMessageA(d, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(d), MAKELPARAM(0xFFFF, 0xFFFF));
            }
            os.PostMessageA(hwnd, WM_COMMAND, ID_BAR_EXIT, 0);
        });
        EXPECT_EQ(dialog->DoModal(), IDCANCEL);
        EXPECT_FALSE(os.IsWindow(hwnd));
        EXPECT_EQ(std::vector<DWORD>(os.Waits().begin() + static_cast<std::ptrdiff_t>(waitsBefore), os.Waits().end()),
                  c.waits);
        EXPECT_EQ(os.LiveThreadHandles(), 0);
        // The late answer goes to a window that is gone: nothing of the bar is used.
        EXPECT_EQ(os.HeldCalls(), (c.hold && c.ask ? 1 : 0) + (c.eject ? 1 : 0));
        dialog.reset();
        os.ReleaseDrive('C');
        os.ReleaseDrive('D');
        os.PumpMessages();
        EXPECT_EQ(os.HeldCalls(), 0);
        EXPECT_TRUE(os.MessageBoxes().empty());
    }
}

TEST_F(VolumeTest, AnAnswerForADriveThatWentMeanwhileFillsInNothingAndAThreadThatCannotStartLearnsNothing) {
    os.AddDrive('E', DRIVE_REMOVABLE);
    os.SetDiskFreeSpace('E', kGB);
    CreateBar();
    os.HoldDrive('E');
    EXPECT_EQ(os.HoverToolTip(Button('E')), "(floppy) E:\\");
    os.RemoveDrive('E');
    os.BroadcastVolumeChange(DBT_DEVICEREMOVECOMPLETE, 1U << 4);
    os.PumpMessages();
    EXPECT_EQ(Button('E'), nullptr);
    const size_t invalidations = os.Invalidations().size();
    os.ReleaseDrive('E');
    os.PumpMessages();
    EXPECT_EQ(os.ShownToolTip(), std::nullopt);
    EXPECT_EQ(os.Invalidations().size(), invalidations);
    EXPECT_EQ(os.LiveThreadHandles(), 0);
    // No thread: the tip keeps its first line, and the next hover asks again.
    os.FailCall("CreateThread", 1);
    EXPECT_EQ(Tip(Button('C')), "C:\\");
    EXPECT_EQ(Tip(Button('C')), kFilledC);
    EXPECT_EQ(os.LiveThreadHandles(), 0);
}

// A drive that goes forgets what its volume told: another stick at its
// letter shows none of the last one's space, while a drive that stays keeps it.
TEST_F(VolumeTest, ADriveThatGoesOrArrivesAnewForgetsItsVolumeAndOneThatStaysKeepsIt) {
    os.AddDrive('E', DRIVE_REMOVABLE);
    os.AddDrive('G', DRIVE_REMOVABLE);
    CreateBar();
    const auto look = [this] {
        // The menu looks at the drive set as it opens.
        os.SendMessageA(bar->m_hWnd, WM_CONTEXTMENU, 0, MAKELPARAM(5, 5));
        os.PumpMessages();
    };
    const struct {
        const char* name;
        std::function<void()> change;
        bool forgets;
    } cases[] = {
        {"pulled and put in, announced",
         [this] {
             os.RemoveDrive('E');
             os.BroadcastVolumeChange(DBT_DEVICEREMOVECOMPLETE, 1U << 4);
             os.PumpMessages();
             os.AddDrive('E', DRIVE_REMOVABLE);
             os.BroadcastVolumeChange(DBT_DEVICEARRIVAL, 1U << 4);
             os.PumpMessages();
         },
         true},
        {"announced as arriving again", [this] { os.BroadcastVolumeChange(DBT_DEVICEARRIVAL, 1U << 4); }, true},
        {"pulled and put in unannounced",
         [this, &look] {
             os.RemoveDrive('E');
             look();
             os.AddDrive('E', DRIVE_REMOVABLE);
             look();
         },
         true},
        {"another drive changing", [this] { os.BroadcastVolumeChange(DBT_DEVICEARRIVAL, 1U << 6); }, false},
        {"a disc changing", [this] { os.BroadcastVolumeChange(DBT_DEVICEARRIVAL, 1U << 4, DBTF_MEDIA); }, false},
    };
    const char* const first = "(floppy) E:\\\n3.00 GB free of 16.0 GB";
    const char* const second = "(floppy) E:\\\n1.00 GB free of 8.00 GB";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        os.AdvanceClock(60000);
        os.SetDiskFreeSpace('E', 3 * kGB);
        os.SetDiskSize('E', 16 * kGB, 3 * kGB);
        EXPECT_EQ(Tip(Button('E')), first);
        os.HoldDrive('E');
        c.change();
        os.PumpMessages();
        ASSERT_NE(Button('E'), nullptr);
        os.SetDiskFreeSpace('E', kGB);
        os.SetDiskSize('E', 8 * kGB, kGB);
        EXPECT_EQ(Tip(Button('E')), c.forgets ? "(floppy) E:\\" : first);
        os.ReleaseDrive('E');
        os.PumpMessages();
        EXPECT_EQ(os.ShownToolTip(), second);
    }
}

// The About dialog's disk line, read off the window's thread: as the query
// answers, or "Unavailable" once it is past its deadline, then filled in
// when a late answer comes; closing the dialog waits for nothing.
TEST_F(VolumeTest, TheAboutDialogsDiskLineComesFromTheSameQueriesAndNeverWaits) {
    RegisterDialogResources(os);
    CreateBar();
    // The drive is the current folder's, when the folder's path fits the buffer.
    const std::pair<std::wstring, std::wstring> folders[] = {
        {L"C:\\" + std::wstring(1020, L'x'), L"C:\\"},
        {L"C:\\" + std::wstring(1021, L'x'), L""},
        {L"C:\\Data", L"C:\\"},
    };
    for (const auto& [folder, root] : folders) {
        ASSERT_TRUE(os.SetCurrentDirectoryW(folder.c_str()));
        EXPECT_EQ(CurrentDriveRoot(), root) << folder.size();
    }
    const auto diskLine = [this] {
        char text[64] = {};
        os.GetWindowTextA(os.GetDlgItem(os.FindWindowA(nullptr, "About Vossel"), IDC_DISK_SPACE), text, sizeof(text));
        return std::string(text);
    };
    const struct {
        const char* name;
        bool hold;
        std::function<void()> meanwhile;
        std::vector<std::string> lines;  // at opening, after 299 ms, after 300 ms, after the release
    } cases[] = {
        {"answered", false, [] {}, {"200.00 GB Free", "200.00 GB Free", "200.00 GB Free", "200.00 GB Free"}},
        {"late", true, [] {}, {"", "", "Unavailable", "200.00 GB Free"}},
        {"failed",
         false,
         [this] {
             os.FailCall("GetDiskFreeSpaceExW", 1);
             os.FailCall("GetDiskFreeSpaceW", 1);
         },
         {"Unavailable", "Unavailable", "Unavailable", "Unavailable"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.meanwhile();
        if (c.hold) {
            os.HoldDrive('C');
        }
        std::vector<std::string> lines;
        int idle = 0;
        os.SetModalIdle([&] {
            switch (idle++) {
                case 0:
                    lines.push_back(diskLine());
                    os.AdvanceClock(299);
                    lines.push_back(diskLine());
                    os.AdvanceClock(1);
                    lines.push_back(diskLine());
                    os.ReleaseDrive('C');
                    os.PostMessageA(os.FindWindowA(nullptr, "About Vossel"), WM_NULL, 0, 0);
                    break;
                default:
                    lines.push_back(diskLine());
                    os.PostMessageA(os.FindWindowA(nullptr, "About Vossel"), WM_COMMAND, IDOK, 0);
            }
        });
        const std::vector<DWORD> waits = os.Waits();
        bar->OnBarAbout();
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(os.Waits(), waits);
        EXPECT_EQ(os.LiveThreadHandles(), 0);
    }
    // Closed while its query hangs, it waits for nothing; the answer later finds no window.
    os.HoldDrive('C');
    os.SetModalIdle([this] { os.PostMessageA(os.FindWindowA(nullptr, "About Vossel"), WM_COMMAND, IDOK, 0); });
    bar->OnBarAbout();
    EXPECT_TRUE(os.Waits().empty());
    EXPECT_EQ(os.HeldCalls(), 1);
    EXPECT_EQ(os.LiveThreadHandles(), 0);
    os.ReleaseDrive('C');
    os.PumpMessages();
}

}  // namespace

namespace {

// A window that keeps the wParams of the answers posted to it.
class AnswerWindow : public CWnd {
public:
    std::vector<WPARAM> m_answers;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_APP) {
            m_answers.push_back(wParam);
            return 0;
        }
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

using EjectTest = OsTest;

TEST_F(EjectTest, AnOpticalTrayOpensARemovableDeviceStopsAVetoIsARefusalAndAnythingElseFails) {
    const struct {
        const char* name;
        char letter;
        UINT type;
        std::function<void(MemoryOs&)> answer;
        EjectAnswer ejected;
        const char* call;  // "" for none
        bool gone;         // the drive's volume, or its medium, is gone after
    } cases[] = {
        {"a disc", 'D', DRIVE_CDROM, [](MemoryOs&) {}, EjectAnswer::Done, "EjectMedia D:\\", true},
        {"a tray that does not open", 'D', DRIVE_CDROM,
         [](MemoryOs& os) { os.SetEjectAnswer('D', static_cast<DWORD>(ERROR_NOT_READY)); }, EjectAnswer::Failed,
         "EjectMedia D:\\", false},
        {"a failing tray call", 'D', DRIVE_CDROM, [](MemoryOs& os) { os.FailCall("EjectMedia", 1); },
         EjectAnswer::Failed, "EjectMedia D:\\", false},
        {"a stick", 'E', DRIVE_REMOVABLE, [](MemoryOs&) {}, EjectAnswer::Done, "RequestDeviceEject E:\\", true},
        {"a stick with a file open", 'E', DRIVE_REMOVABLE,
         [](MemoryOs& os) { os.SetEjectAnswer('E', CR_REMOVE_VETOED, PNP_VetoOutstandingOpen, "USBSTOR\\DISK"); },
         EjectAnswer::InUse, "RequestDeviceEject E:\\", false},
        {"a veto with success", 'E', DRIVE_REMOVABLE,
         [](MemoryOs& os) { os.SetEjectAnswer('E', CR_SUCCESS, 8, "C:\\editor.exe"); }, EjectAnswer::InUse,
         "RequestDeviceEject E:\\", false},
        {"no device behind it", 'E', DRIVE_REMOVABLE, [](MemoryOs& os) { os.SetEjectAnswer('E', CR_NO_SUCH_DEVNODE); },
         EjectAnswer::Failed, "RequestDeviceEject E:\\", false},
        {"a failing removal", 'E', DRIVE_REMOVABLE, [](MemoryOs& os) { os.FailCall("RequestDeviceEject", 1); },
         EjectAnswer::Failed, "RequestDeviceEject E:\\", false},
        {"a fixed disk", 'C', DRIVE_FIXED, [](MemoryOs&) {}, EjectAnswer::Failed, "", false},
        {"a network drive", 'N', DRIVE_REMOTE, [](MemoryOs&) {}, EjectAnswer::Failed, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryOs os;
        SetOs(&os.Services());
        os.AddDrive(c.letter, c.type);
        os.SetDiskFreeSpace(c.letter, kGB);
        c.answer(os);
        const std::wstring root = std::wstring(1, static_cast<WCHAR>(c.letter)) + L":\\";
        EXPECT_EQ(EjectDrive(os, root, c.type), c.ejected);
        EXPECT_EQ(os.Ejections(), c.call[0] != 0 ? std::vector<std::string>{c.call} : std::vector<std::string>{});
        ULONGLONG free = 0, total = 0, totalFree = 0;
        EXPECT_EQ(os.GetDiskFreeSpaceExW(root.c_str(), &free, &total, &totalFree) == FALSE, c.gone);
        SetOs(&this->os.Services());
    }
}

TEST_F(EjectTest, AnEjectionRunsOffTheWindowsThreadOnceAtATimeAndItsAnswerComesAsAMessage) {
    os.AddDrive('E', DRIVE_REMOVABLE);
    os.SetEjectAnswer('E', CR_REMOVE_VETOED, PNP_VetoOutstandingOpen);
    AnswerWindow window;
    ASSERT_NE(os.CreateWindowExA(0, "VosselWnd", "", WS_POPUP, 0, 0, 10, 10, nullptr, 0, &window), nullptr);
    CVolumeQueries queries;
    os.HoldDrive('E');
    queries.Eject(window.m_hWnd, WM_APP, L"E:\\", DRIVE_REMOVABLE);
    queries.Eject(window.m_hWnd, WM_APP, L"E:\\", DRIVE_REMOVABLE);  // while one runs, no other starts
    EXPECT_EQ(os.HeldCalls(), 1);
    EXPECT_EQ(os.WindowThreadBlocks(), 0);
    os.ReleaseDrive('E');
    os.PumpMessages();
    ASSERT_EQ(window.m_answers.size(), 1u);
    const CVolumeQueries::Finished finished = queries.TakeAnswer(window.m_answers[0]);
    EXPECT_EQ(finished.root, L"E:\\");
    EXPECT_TRUE(finished.bEject);
    EXPECT_EQ(finished.ejected, EjectAnswer::InUse);
    // Taken once: the same message again is no longer ours.
    EXPECT_TRUE(queries.TakeAnswer(window.m_answers[0]).root.empty());
    EXPECT_EQ(os.LiveThreadHandles(), 0);
    window.DestroyWindow();
}

}  // namespace

namespace {

class EjectMenuTest : public VolumeTest {
protected:
    EjectMenuTest() {
        os.AddDrive('E', DRIVE_REMOVABLE);
        os.SetDiskFreeSpace('E', kGB);
        os.AddDrive('N', DRIVE_REMOTE);
        os.AddDrive('R', DRIVE_RAMDISK);
        os.AddDrive('U', DRIVE_UNKNOWN);
        os.AddDrive('X', DRIVE_NO_ROOT_DIR);
        CreateBar();
    }
    // The menu opened from `from` with a right click on it, or from the keyboard: "id text" of its items.
    std::vector<std::string> MenuFrom(HWND from, bool keyboard) {
        const RECT rect = WindowRect(from);
        const LPARAM point = keyboard ? MAKELPARAM(0xFFFF, 0xFFFF) : MAKELPARAM(rect.left + 2, rect.top + 2);
        os.SendMessageA(from, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(from), point);
        std::vector<std::string> items;
        for (const MemoryMenuItem& item : os.MenuShowings().back().items) {
            items.push_back(std::to_string(item.id) + " " + item.text);
        }
        return items;
    }
    void ChooseEject(char letter) {
        os.ChooseMenuItem(ID_EJECT_DRIVE);
        MenuFrom(Button(letter), false);
        os.PumpMessages();
    }
};

TEST_F(EjectMenuTest, ADrivesMenuOffersEjectFirstForRemovableAndOpticalDrivesAloneAndTheBarsItemsStayAsTheyAre) {
    const std::vector<std::string> barItems{
        "32771 Always on &top", "32772 A&uto hide", "32775 &Options", "32773 &About Vossel", "0 ", "32774 E&xit"};
    const struct {
        const char* name;
        HWND from;
        const char* eject;  // the item first, or null for none
    } cases[] = {
        {"C:", Button('C'), nullptr},
        {"D:", Button('D'), "32780 &Eject D:"},
        {"E:", Button('E'), "32780 &Eject E:"},
        {"N:", Button('N'), nullptr},
        {"R:", Button('R'), nullptr},
        {"U:", Button('U'), nullptr},
        {"X:", Button('X'), nullptr},
        {"the bar", bar->m_hWnd, nullptr},
        {"the menu button", bar->GetDlgItem(IDC_MENU_BUTTON), nullptr},
    };
    for (const auto& c : cases) {
        for (const bool keyboard : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (keyboard ? " from the keyboard" : " with a right click"));
            std::vector<std::string> expected = barItems;
            if (c.eject != nullptr) {
                expected.insert(expected.begin(), {c.eject, "0 "});
            }
            EXPECT_EQ(MenuFrom(c.from, keyboard), expected);
            // From the keyboard it opens below the drive, or where the menu button opens it.
            const bool drive = c.name[1] == ':';
            const RECT below = WindowRect(drive ? c.from : bar->GetDlgItem(IDC_MENU_BUTTON));
            const RECT at = WindowRect(c.from);
            const auto& shown = os.MenuShowings().back();
            EXPECT_EQ(shown.flags, static_cast<UINT>(TPM_LEFTALIGN | TPM_LEFTBUTTON));
            EXPECT_EQ(std::make_pair(shown.x, shown.y),
                      keyboard ? std::make_pair(static_cast<int>(below.left), static_cast<int>(below.bottom))
                               : std::make_pair(static_cast<int>(at.left + 2), static_cast<int>(at.top + 2)));
        }
    }
    EXPECT_TRUE(os.Ejections().empty());
    EXPECT_EQ(os.LiveMenus(), 0);
}

TEST_F(EjectMenuTest, EjectAsksTheSystemAndSaysSoWhenTheDriveIsInUseOrCannotBeEjectedAndNothingElseChanges) {
    const struct {
        const char* name;
        char letter;
        std::function<void()> answer;
        const char* call;
        const char* message;  // null for none
        bool buttonStays;
    } cases[] = {
        {"a stick", 'E', [] {}, "RequestDeviceEject E:\\", nullptr, false},
        {"a stick in use", 'E',
         [this] { os.SetEjectAnswer('E', CR_REMOVE_VETOED, PNP_VetoOutstandingOpen, "USBSTOR\\DISK"); },
         "RequestDeviceEject E:\\",
         "E: is in use and cannot be ejected now. Close the programs and windows that use it, then try again.", true},
        {"a stick that cannot be removed", 'E', [this] { os.SetEjectAnswer('E', CR_FAILURE); },
         "RequestDeviceEject E:\\", "E: could not be ejected.", true},
        {"a disc", 'D', [] {}, "EjectMedia D:\\", nullptr, true},
        {"a tray that does not open", 'D', [this] { os.SetEjectAnswer('D', static_cast<DWORD>(ERROR_NOT_READY)); },
         "EjectMedia D:\\", "D: could not be ejected.", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        os.AddDrive('E', DRIVE_REMOVABLE);
        os.SetDiskFreeSpace('D', kGB);
        os.BroadcastVolumeChange(DBT_DEVICEARRIVAL, 1U << 4);
        os.PumpMessages();
        c.answer();
        os.ClearLogs();
        const size_t ejections = os.Ejections().size();
        ChooseEject(c.letter);
        ASSERT_EQ(os.Ejections().size(), ejections + 1);
        EXPECT_EQ(os.Ejections().back(), c.call);
        ASSERT_EQ(os.MessageBoxes().size(), c.message != nullptr ? 1u : 0u);
        if (c.message != nullptr) {
            EXPECT_EQ(os.MessageBoxes()[0].text, c.message);
            EXPECT_EQ(os.MessageBoxes()[0].caption, "Vossel");
            EXPECT_EQ(os.MessageBoxes()[0].type, MB_OK | MB_ICONEXCLAMATION);
            EXPECT_EQ(os.MessageBoxes()[0].owner, bar->m_hWnd);
        }
        // A stick that went loses its button when the system's broadcast says so; a disc taken out changes none.
        if (!c.buttonStays) {
            EXPECT_NE(Button(c.letter), nullptr) << "until the broadcast";
            os.BroadcastVolumeChange(DBT_DEVICEREMOVECOMPLETE, 1U << (c.letter - 'A'));
            os.PumpMessages();
        }
        EXPECT_EQ(Button(c.letter) != nullptr, c.buttonStays);
        os.SetEjectAnswer(c.letter, c.letter == 'E' ? CR_SUCCESS : static_cast<DWORD>(ERROR_SUCCESS));
    }
    // An opened tray leaves the drive without a disc: its tip has no second line.
    ChooseEject('D');
    EXPECT_EQ(Tip(Button('D')), "(CD-ROM) D:\\");
}

// An ejection's answer is taken in where it comes: outside any loop, inside
// the bar's menu, inside another drive's refusal box; a refusal for a stick
// pulled out meanwhile says nothing.
TEST_F(EjectMenuTest, AnEjectionsAnswerIsTakenInOnceWhereverItComesAndAPulledSticksRefusalSaysNothing) {
    const std::string inUse =
        "E: is in use and cannot be ejected now. Close the programs and windows that use it, then try again.";
    const std::string trayFailed = "D: could not be ejected.";
    enum class Where { Outside, MenuOfD, MenuOfE, BoxOfD };
    const struct {
        const char* name;
        Where where;
        bool pulled;
        std::vector<std::string> boxes;
    } cases[] = {
        {"outside any loop", Where::Outside, false, {inUse}},
        {"after the stick was pulled", Where::Outside, true, {}},
        {"inside the menu of D:", Where::MenuOfD, false, {inUse}},
        {"inside the menu of D:, the stick pulled there", Where::MenuOfD, true, {}},
        {"inside the menu of E:", Where::MenuOfE, false, {inUse}},
        {"inside the menu of E:, pulled there", Where::MenuOfE, true, {}},
        {"inside D:'s refusal box", Where::BoxOfD, false, {trayFailed, inUse}},
        {"inside D:'s refusal box, the stick pulled there", Where::BoxOfD, true, {trayFailed}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        os.AddDrive('E', DRIVE_REMOVABLE);
        os.BroadcastVolumeChange(DBT_DEVICEARRIVAL, 1U << 4);
        os.PumpMessages();
        os.SetEjectAnswer('E', CR_REMOVE_VETOED, PNP_VetoOutstandingOpen);
        os.SetEjectAnswer('D', static_cast<DWORD>(ERROR_NOT_READY));
        os.ClearLogs();
        os.HoldDrive('E');
        ChooseEject('E');
        ASSERT_EQ(os.HeldCalls(), 1);
        bool released = false;
        const auto answer = [this, &c, &released] {
            if (std::exchange(released, true)) {
                return;
            }
            if (c.pulled) {
                os.RemoveDrive('E');
                os.BroadcastVolumeChange(DBT_DEVICEREMOVECOMPLETE, 1U << 4);
                os.PumpMessages();
            }
            os.ReleaseDrive('E');
        };
        switch (c.where) {
            case Where::Outside:
                answer();
                break;
            case Where::MenuOfD:
            case Where::MenuOfE:
                os.SetMenuOpenHook(answer);
                MenuFrom(Button(c.where == Where::MenuOfD ? 'D' : 'E'), false);
                break;
            case Where::BoxOfD:
                os.SetMessageBoxHook([&answer](HWND) { answer(); });
                ChooseEject('D');
                break;
        }
        os.PumpMessages();
        os.SetMenuOpenHook(nullptr);
        os.SetMessageBoxHook(nullptr);
        std::vector<std::string> boxes;
        for (const auto& box : os.MessageBoxes()) {
            boxes.push_back(box.text);
        }
        EXPECT_EQ(boxes, c.boxes);
        EXPECT_EQ(Button('E') == nullptr, c.pulled);
        EXPECT_EQ(os.HeldCalls(), 0);
        EXPECT_EQ(os.LiveThreadHandles(), 0);
        EXPECT_EQ(os.LiveMenus(), 0);
        EXPECT_EQ(os.WindowThreadBlocks(), 0);
        EXPECT_TRUE(os.IsWindow(bar->m_hWnd));
    }
}

TEST_F(EjectMenuTest, AnEjectionThatHangsHoldsUpNothingStartsNoSecondAndADriveGoneWithItsMenuIsNotEjected) {
    os.HoldDrive('E');
    ChooseEject('E');
    ChooseEject('E');
    EXPECT_EQ(os.HeldCalls(), 1);
    EXPECT_EQ(Tip(Button('C')), kFilledC);
    os.SetEjectAnswer('E', CR_REMOVE_VETOED, PNP_VetoOutstandingOpen);
    os.ReleaseDrive('E');
    os.PumpMessages();
    EXPECT_EQ(os.MessageBoxes().size(), 1u);
    // The stick is pulled while its menu is open: its button goes there, and Eject then asks nothing.
    os.SetMenuOpenHook([this] {
        os.RemoveDrive('E');
        os.BroadcastVolumeChange(DBT_DEVICEREMOVECOMPLETE, 1U << 4);
    });
    const size_t ejections = os.Ejections().size();
    ChooseEject('E');
    EXPECT_EQ(Button('E'), nullptr);
    EXPECT_EQ(os.Ejections().size(), ejections);
    EXPECT_EQ(os.MessageBoxes().size(), 1u);
    EXPECT_EQ(os.WindowThreadBlocks(), 0);
}

}  // namespace
