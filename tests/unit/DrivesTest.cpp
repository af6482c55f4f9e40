
#include <cstring>
#include <functional>
#include <string>

#include "bar/Drives.h"
#include "resources/resource.h"
#include "tests/support/BarFixture.h"

namespace {

TEST(ShownDriveLetters, SkipDrivesMatchesExactUpperCaseLetters) {
    // Bits beyond Z stand for no drive.
    const DWORD acdz = (1u << 0) | (1u << 2) | (1u << 3) | (1u << 25) | 0xFC000000u;
    struct Case {
        const char* skip;
        std::vector<char> shown;
    };
    const Case cases[] = {{"", {'A', 'C', 'D', 'Z'}},    {"A", {'C', 'D', 'Z'}},        {"DC", {'A', 'Z'}},
                          {"cdz", {'A', 'C', 'D', 'Z'}}, {"1:;\\ Z%", {'A', 'C', 'D'}}, {"ACDZ", {}}};
    for (const Case& c : cases) {
        EXPECT_EQ(ShownDriveLetters(acdz, W(c.skip)), c.shown) << c.skip;
    }
}

std::vector<std::string> Captions(const CVosselDialog& bar) {
    std::vector<std::string> captions;
    for (const auto& button : bar.DriveButtons()) {
        captions.push_back(button->GetWindowText() + "#" + std::to_string(button->GetDlgCtrlID()));
    }
    return captions;
}

// The pictures loaded since the logs were cleared, each once.
std::vector<UINT> Pictures(const MemoryOs& os) {
    std::vector<UINT> pictures;
    for (const auto& call : os.GdiCalls()) {
        if (call.function == "CreateMappedBitmap" && call.colorTo != RGB(255, 255, 255)) {
            pictures.push_back(call.resourceId);
        }
    }
    return pictures;
}

using DriveButtonsTest = BarTest;

TEST_F(DriveButtonsTest, OneButtonPerDriveInLetterOrderWithItsPictureAndContiguousIdsEvenWhenOneFails) {
    os.AddDrive('A', DRIVE_REMOVABLE);
    os.AddDrive('N', DRIVE_REMOTE);
    CreateBar();
    ASSERT_EQ(Captions(*bar), (std::vector<std::string>{"A:#2683", "C:#2684", "D:#2685", "N:#2686"}));
    EXPECT_EQ(Pictures(os), (std::vector<UINT>{IDB_MENU_BUTTON, IDB_DRIVE_REMOVABLE, IDB_DRIVE_FIXED, IDB_DRIVE_CDROM,
                                               IDB_DRIVE_NETWORK}));
    // A button that cannot be created leaves no gap: the dialog, its menu button and drive A come first.
    bar->DestroyWindow();
    os.FailCall("CreateWindowExA", 1, 3);
    CreateBar();
    EXPECT_EQ(Captions(*bar), (std::vector<std::string>{"A:#2683", "D:#2684", "N:#2685"}));
}

DWORD Bit(char letter) { return 1U << (letter - 'A'); }

TEST_F(DriveButtonsTest, TheButtonsFollowDrivesThatComeAndGoOncePerBurstKeepingTheWindowsOfThoseStillThere) {
    CreateBar();
    const HWND c = bar->DriveButtons()[0]->m_hWnd;
    const HWND menuButton = os.GetDlgItem(bar->m_hWnd, IDC_MENU_BUTTON);
    const auto send = [this](WPARAM event, LPARAM lParam) {
        os.SendMessageA(bar->m_hWnd, WM_DEVICECHANGE, event, lParam);
    };
    // The auto-hide timer looks where the pointer is; over the bar, a child passes WM_SETCURSOR on.
    const auto move = [this](POINT cursor) {
        os.SetCursorPos(cursor);
        os.AdvanceClock(400);
    };
    const auto enter = [this, move, menuButton](POINT cursor, HWND over = nullptr) {
        move(cursor);
        over = over != nullptr ? over : menuButton;
        os.SendMessageA(over, WM_SETCURSOR, reinterpret_cast<WPARAM>(over), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    };
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* letters;         // of the buttons, whose ids follow from 2683
        std::vector<UINT> pictures;  // of the buttons made or changed
        int reads;                   // GetLogicalDrives calls
    };
    const auto attach = [&](char letter, UINT type, WORD flags = 0) {
        os.AddDrive(letter, type);
        os.BroadcastVolumeChange(DBT_DEVICEARRIVAL, Bit(letter), flags);
    };
    const auto detach = [&](DWORD letters, WORD flags = 0) {
        os.BroadcastVolumeChange(DBT_DEVICEREMOVECOMPLETE, letters, flags);
    };
    // clang-format off
    const Step steps[] = {
        {"an arriving drive", [&] { attach('E', DRIVE_REMOVABLE); }, "CDE", {IDB_DRIVE_REMOVABLE}, 1},
        {"a share first renumbers them", [&] { attach('A', DRIVE_REMOTE, DBTF_NET); }, "ACDE", {IDB_DRIVE_NETWORK}, 1},
        {"a disc taken out", [&] { detach(Bit('D'), DBTF_MEDIA); }, "ACDE", {}, 0},
        {"a removal still reported, bits above Z ignored", [&] { detach(Bit('E') | 0xFC000000U); }, "ACD", {}, 1},
        // What each record says is swept by ReadDriveBroadcast's own table.
        {"no record, and one too short for its letters: the system's report decides", [&] {
             send(DBT_DEVICEREMOVECOMPLETE, 0);
             DEV_BROADCAST_VOLUME volume{sizeof(DEV_BROADCAST_HDR), DBT_DEVTYP_VOLUME, 0, Bit('A'), 0};
             send(DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&volume));
         }, "ACD", {}, 1},
        {"a letter back as another kind after a flood", [&] {
             for (int i = 0; i < 500; ++i) {
                 attach('E', DRIVE_CDROM);
                 detach(Bit('E'));
             }
             attach('E', DRIVE_CDROM);
         }, "ACDE", {IDB_DRIVE_CDROM}, 1},
        {"a kept letter that arrives as another kind", [&] { attach('E', DRIVE_FIXED); }, "ACDE", {IDB_DRIVE_FIXED}, 1},
        {"a button another program closed, made anew at the next sync", [&] {
             os.SendMessageA(bar->DriveButtons()[3]->m_hWnd, WM_CLOSE, 0, 0);
             detach(0);
         }, "ACDE", {IDB_DRIVE_FIXED}, 1},
        {"a text another program sent a button, undone by the next sync", [&] {
             os.SendMessageA(bar->DriveButtons()[1]->m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("X:"));
             detach(0);
         }, "ACDE", {}, 1},
        {"a failed look at the drive set", [&] { os.FailCall("GetLogicalDrives", 1); attach('E', DRIVE_REMOVABLE); },
         "ACDE", {}, 1},
        // The next look takes the arrival that the failed one left.
        // Seen as the pointer comes over its very button, which must outlive the message.
        {"a drive gone unannounced", [&] { os.RemoveDrive('A'); enter(POINT{40, 5}, bar->DriveButtons()[0]->m_hWnd); },
         "CDE", {IDB_DRIVE_REMOVABLE}, 2},
        {"nothing looked at while the pointer stays", [&] { os.AddDrive('Y', DRIVE_FIXED); enter(POINT{6, 5}); },
         "CDE", {}, 0},
        // One look, and a sync when it sees something new.
        {"the menu looks", [&] { bar->ShowBarMenu(5, 5); }, "CDEY", {IDB_DRIVE_FIXED}, 2},
        {"the pointer leaves by a pixel and comes back",
         [&] { os.AddDrive('Z', DRIVE_FIXED); move(POINT{1024, 5}); enter(POINT{5, 5}); }, "CDEYZ", {IDB_DRIVE_FIXED},
         2},
        {"and again, with nothing new", [&] { move(POINT{900, 600}); enter(POINT{5, 5}); }, "CDEYZ", {}, 1},
    };
    // clang-format on
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        os.ClearLogs();
        const int reads = os.DriveSetReads();
        step.act();
        os.PumpMessages();
        std::vector<std::string> captions;
        for (const char* letter = step.letters; *letter != 0; ++letter) {
            captions.push_back(std::string(1, *letter) + ":#" + std::to_string(IDC_FIRST_DRIVE + captions.size()));
        }
        EXPECT_EQ(Captions(*bar), captions);
        EXPECT_EQ(Pictures(os), step.pictures);
        EXPECT_EQ(os.DriveSetReads() - reads, step.reads);
        EXPECT_EQ(bar->DriveButtons()[step.letters[0] == 'A' ? 1 : 0]->m_hWnd, c);
        // Every button has its tip, and no tool outlives its button.
        EXPECT_EQ(os.LiveToolTipTools(), static_cast<int>(captions.size()) + 1);
        EXPECT_TRUE(os.HoverToolTip(bar->DriveButtons().back()->m_hWnd, false));
    }
}

std::string Label(const char* root) {
    std::wstring text = W(root);
    GetDriveLabel(text);
    return Utf8FromUtf16(text);
}

using DriveLabelTest = OsTest;

TEST_F(DriveLabelTest, LabelNamesTheKindVolumeOrShareFoundInAnyBatchAndCutToTheBuffer) {
    os.AddDrive('A', DRIVE_REMOVABLE);
    os.AddDrive('C', DRIVE_FIXED, std::string("SYSTEM"));
    os.AddDrive('D', DRIVE_CDROM);
    os.AddDrive('E', DRIVE_FIXED, std::string());
    os.AddDrive('F', DRIVE_FIXED, std::nullopt);
    os.AddDrive('N', DRIVE_REMOTE);
    os.AddNetworkConnection("n:", "\\\\Server\\Share");
    // Names in any script come whole; only Latin letters of a share are upper-cased.
    os.AddDrive('G', DRIVE_FIXED, std::string("Фото"));
    os.AddDrive('H', DRIVE_FIXED, std::string("日本 📷"));
    os.AddDrive('O', DRIVE_REMOTE);
    os.AddNetworkConnection("O:", "\\\\Σέρβερ\\Ωmegaz");
    const std::pair<const char*, const char*> cases[] = {
        {"A:\\", "(floppy) A:\\"}, {"C:\\", "(SYSTEM) C:\\"},
        {"D:\\", "(CD-ROM) D:\\"}, {"E:\\", "() E:\\"},
        {"F:\\", "F:\\"},          {"N:\\", "(\\\\SERVER\\SHARE\\) N:\\"},
        {"Q:\\", "Q:\\"},          {"G:\\", "(Фото) G:\\"},
        {"H:\\", "(日本 📷) H:\\"}, {"O:\\", "(\\\\Σέρβερ\\ΩMEGAZ\\) O:\\"},
    };
    for (const auto& [root, label] : cases) {
        EXPECT_EQ(Label(root), label);
    }
    os.AddDrive('V', DRIVE_FIXED, std::string(259, 'v'));
    EXPECT_EQ(Label("V:\\"), "(" + std::string(259, 'v') + ") V:\\") << "a label that fills the buffer";
    // Without the code page's conversions ASCII still passes, and the rest is marked.
    os.FailCall("WideCharToMultiByte", 2);
    os.FailCall("MultiByteToWideChar", 1);
    EXPECT_EQ(Narrow(W("~\u0080Ф")) + Utf8FromUtf16(Widen("~\xFF")), "~??~ÿ");
    // Removable and CD drives are never touched.
    for (const std::string& root : os.VolumeQueries()) {
        EXPECT_TRUE(root != "A:\\" && root != "D:\\") << root;
    }
    // Unreachable network drives give the plain root.
    os.FailCall("WNetOpenEnumW", 1);
    EXPECT_EQ(Label("N:\\"), "N:\\");
    os.FailCall("WNetEnumResourceW", 1);
    EXPECT_EQ(Label("N:\\"), "N:\\");
    EXPECT_EQ(os.LiveEnumerations(), 0);
    // The rest of a path follows the share.
    WCHAR name[kDriveNameBufferSize];
    ASSERT_TRUE(GetNetworkName(name, L"n:\\dir"));
    EXPECT_EQ(std::wstring(name), L"\\\\SERVER\\SHARE\\DIR");
    // The first and the last letter name shares too.
    for (const char* drive : {"A:", "Z:"}) {
        os.AddNetworkConnection(drive, "\\\\server\\x");
        EXPECT_TRUE(GetNetworkName(name, W(std::string(drive) + "\\").c_str())) << drive;
    }
    // Only a drive's root or a path below it names a share.
    for (const char* path : {"", "n", "n:", "n:/", "[:\\", "@:\\", "ñ:\\"}) {
        EXPECT_FALSE(GetNetworkName(name, W(path).c_str())) << path;
    }
    // Past what the first buffer holds, M: comes in a later batch and needs a larger buffer of its own.
    for (int i = 0; i < 40; ++i) {
        os.AddNetworkConnection("", "\\\\server\\share" + std::to_string(i));
    }
    os.AddNetworkConnection("M:", "\\\\server\\" + std::string(1990, 'x'));
    WCHAR longName[kDriveNameBufferSize + 8];
    std::fill(std::begin(longName), std::end(longName), L'#');
    ASSERT_TRUE(GetNetworkName(longName, L"M:\\"));
    EXPECT_EQ(std::wstring(longName), (L"\\\\SERVER\\" + std::wstring(1990, L'X')).substr(0, kDriveNameBufferSize - 1));
    EXPECT_EQ(longName[kDriveNameBufferSize], L'#');
    // A cut falls before a surrogate pair, never inside it.
    os.AddNetworkConnection("L:", "\\\\s\\" + std::string(254, 'x') + "📷");
    ASSERT_TRUE(GetNetworkName(longName, L"L:\\"));
    EXPECT_EQ(std::wstring(longName), L"\\\\S\\" + std::wstring(254, L'X'));
}

TEST_F(DriveLabelTest, OddMoreDataAnswersAndBuffersPastTheLimitsEndTheSearch) {
    os.AddNetworkConnection("N:", "\\\\server\\share");
    const struct {
        const char* name;
        std::function<DWORD(DWORD*)> answer;
    } cases[] = {
        {"the same size again", [](DWORD*) { return static_cast<DWORD>(ERROR_MORE_DATA); }},
        {"less", [](DWORD* size) { return *size /= 2, static_cast<DWORD>(ERROR_MORE_DATA); }},
        {"a little more every time", [](DWORD* size) { return *size += 1, static_cast<DWORD>(ERROR_MORE_DATA); }},
        {"everything", [](DWORD* size) { return *size = 0xFFFFFFFF, static_cast<DWORD>(ERROR_MORE_DATA); }},
        {"success without entries", [](DWORD*) { return static_cast<DWORD>(ERROR_SUCCESS); }},
    };
    for (const auto& c : cases) {
        for (int i = 0; i < 100; ++i) {
            os.QueueNetEnumAnswer(c.answer);
        }
        WCHAR name[kDriveNameBufferSize] = L"unchanged";
        EXPECT_FALSE(GetNetworkName(name, L"N:\\")) << c.name;
        EXPECT_EQ(std::wstring(name), L"unchanged") << c.name;
        EXPECT_EQ(os.LiveEnumerations(), 0);
        // Answers the search left unasked go to the next ones.
        for (int i = 0; i < 100 && !GetNetworkName(name, L"N:\\"); ++i) {
        }
    }
    // The buffer grows four times at most, to 1 MiB at most, and only when asked for more than it has.
    constexpr DWORD kMore = 0, kSame = 1;  // one byte more than the buffer has; as much as it has
    const struct {
        int answers;
        DWORD size;  // asked for by each answer
        bool found;
    } edges[] = {
        {4, kMore, true}, {5, kMore, false}, {1, kSame, false}, {1, 1U << 20, true}, {1, (1U << 20) + 1, false}};
    for (const auto& edge : edges) {
        for (int i = 0; i < edge.answers; ++i) {
            os.QueueNetEnumAnswer([size = edge.size](DWORD* asked) {
                *asked = size == kMore ? *asked + 1 : size == kSame ? *asked : size;
                return static_cast<DWORD>(ERROR_MORE_DATA);
            });
        }
        WCHAR name[kDriveNameBufferSize] = {};
        EXPECT_EQ(GetNetworkName(name, L"N:\\") != FALSE, edge.found) << edge.answers << " " << edge.size;
    }
}

}  // namespace
