#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "bar/Drives.h"
#include "resources/resource.h"
#include "tests/support/BarFixture.h"

namespace {

TEST(ShownDriveLetters, SkipDrivesMatchesExactUpperCaseLetters) {
    const DWORD acd = (1u << 0) | (1u << 2) | (1u << 3);
    struct Case {
        const char* skip;
        std::vector<char> shown;
    };
    const Case cases[] = {
        {"", {'A', 'C', 'D'}},
        {"A", {'C', 'D'}},
        {"CD", {'A'}},
        {"DC", {'A'}},
        {"cd", {'A', 'C', 'D'}},
        {"ACD", {}},
        {"1:;\\ Z%", {'A', 'C', 'D'}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShownDriveLetters(acd, c.skip), c.shown) << c.skip;
    }
    // Bits beyond Z stand for no drive.
    EXPECT_EQ(ShownDriveLetters(0xFC000000u | (1u << 25), ""), std::vector<char>{'Z'});
}

TEST(DriveBitmap, PictureByKindOfDrive) {
    EXPECT_EQ(DriveBitmap(DRIVE_REMOVABLE), static_cast<UINT>(IDB_DRIVE_REMOVABLE));
    EXPECT_EQ(DriveBitmap(DRIVE_REMOTE), static_cast<UINT>(IDB_DRIVE_NETWORK));
    EXPECT_EQ(DriveBitmap(DRIVE_CDROM), static_cast<UINT>(IDB_DRIVE_CDROM));
    for (UINT other : {DRIVE_FIXED, DRIVE_RAMDISK, DRIVE_UNKNOWN, DRIVE_NO_ROOT_DIR, 77u}) {
        EXPECT_EQ(DriveBitmap(other), static_cast<UINT>(IDB_DRIVE_FIXED)) << other;
    }
}

TEST(DriveRootFromCaption, UpperCasesAndAppendsABackslash) {
    EXPECT_EQ(DriveRootFromCaption("d:"), "D:\\");
    EXPECT_EQ(DriveRootFromCaption("C:"), "C:\\");
}

class DriveButtonsTest : public BarTest {
protected:
    std::vector<std::string> Captions() {
        std::vector<std::string> captions;
        for (const auto& button : bar->DriveButtons()) {
            captions.push_back(button->GetWindowText());
        }
        return captions;
    }
    std::vector<int> Ids() {
        std::vector<int> ids;
        for (const auto& button : bar->DriveButtons()) {
            ids.push_back(button->GetDlgCtrlID());
        }
        return ids;
    }
};

TEST_F(DriveButtonsTest, OneButtonPerDriveInLetterOrderWithContiguousIds) {
    os.AddDrive('A', DRIVE_REMOVABLE);
    os.AddDrive('N', DRIVE_REMOTE);
    CreateBar();
    ASSERT_EQ(Captions(), (std::vector<std::string>{"A:", "C:", "D:", "N:"}));
    EXPECT_EQ(Ids(), (std::vector<int>{2683, 2684, 2685, 2686}));
    std::vector<UINT> pictures;
    for (const auto& call : os.GdiCalls()) {
        if (call.function == "CreateMappedBitmap" && call.colorTo != RGB(255, 255, 255)) {
            pictures.push_back(call.resourceId);
        }
    }
    const std::vector<UINT> expected = {IDB_MENU_BUTTON, IDB_DRIVE_REMOVABLE, IDB_DRIVE_FIXED, IDB_DRIVE_CDROM,
                                        IDB_DRIVE_NETWORK};
    EXPECT_EQ(pictures, expected);
    // Drive buttons take the menu button's font.
    const LRESULT font = os.SendMessageA(os.GetDlgItem(bar->m_hWnd, IDC_MENU_BUTTON), WM_GETFONT, 0, 0);
    EXPECT_NE(font, 0);
    EXPECT_EQ(os.SendMessageA(bar->DriveButtons()[0]->m_hWnd, WM_GETFONT, 0, 0), font);
    const auto style = static_cast<DWORD>(os.GetWindowLongA(bar->DriveButtons()[0]->m_hWnd, GWL_STYLE));
    EXPECT_EQ(style, 0x5000030Bu);
}

TEST_F(DriveButtonsTest, AButtonThatCannotBeCreatedLeavesNoGapInTheIds) {
    os.AddDrive('E', DRIVE_FIXED);
    // The dialog, its menu button and drive C come first; drive D fails.
    os.FailCall("CreateWindowExA", 1, 3);
    CreateBar();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"C:", "E:"}));
    EXPECT_EQ(Ids(), (std::vector<int>{2683, 2684}));
}

TEST_F(DriveButtonsTest, EveryDriveSkippedLeavesTheMenuButtonAlone) {
    os.SetRegistryString(HKEY_CURRENT_USER, kSettingsKey, "Skip Drives", "CD");
    CreateBar();
    EXPECT_TRUE(bar->DriveButtons().empty());
    EXPECT_EQ(os.Children(bar->m_hWnd).size(), 1u);
    EXPECT_EQ(ChildRect(os.GetDlgItem(bar->m_hWnd, IDC_MENU_BUTTON)).left, 1);
}

TEST_F(DriveButtonsTest, ButtonsReleaseTheirBitmaps) {
    CreateBar();
    EXPECT_EQ(os.LiveGdiObjects(), 2 * 3);
    bar->ReleaseDrivesAndSave();
    EXPECT_EQ(os.LiveGdiObjects(), 2);
    EXPECT_EQ(os.Children(bar->m_hWnd).size(), 1u);
    bar.reset();
    EXPECT_EQ(os.LiveGdiObjects(), 0);
}

class DriveLabelTest : public OsTest {
protected:
    std::string Label(const char* root) {
        std::string text = root;
        GetDriveLabel(text);
        return text;
    }
};

TEST_F(DriveLabelTest, LabelNamesTheKindVolumeOrShare) {
    os.AddDrive('A', DRIVE_REMOVABLE);
    os.AddDrive('C', DRIVE_FIXED, std::string("SYSTEM"));
    os.AddDrive('D', DRIVE_CDROM);
    os.AddDrive('E', DRIVE_FIXED, std::string());
    os.AddDrive('F', DRIVE_FIXED, std::nullopt);
    os.AddDrive('N', DRIVE_REMOTE);
    os.AddDrive('M', DRIVE_REMOTE);
    os.AddDrive('R', DRIVE_RAMDISK);
    os.AddNetworkConnection("M:", "\\\\other\\x");
    os.AddNetworkConnection("n:", "\\\\Server\\Share");
    const struct {
        const char* root;
        const char* label;
    } cases[] = {
        {"A:\\", "(floppy) A:\\"}, {"C:\\", "(SYSTEM) C:\\"}, {"D:\\", "(CD-ROM) D:\\"},
        {"E:\\", "() E:\\"},       {"F:\\", "F:\\"},          {"N:\\", "(\\\\SERVER\\SHARE\\) N:\\"},
        {"R:\\", "R:\\"},          {"Q:\\", "Q:\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Label(c.root), c.label);
    }
    EXPECT_EQ(os.LiveEnumerations(), 0);
}

TEST_F(DriveLabelTest, RemovableAndCdDrivesAreNeverTouched) {
    os.AddDrive('A', DRIVE_REMOVABLE);
    os.AddDrive('D', DRIVE_CDROM);
    Label("A:\\");
    Label("D:\\");
    EXPECT_TRUE(os.VolumeQueries().empty());
}

TEST_F(DriveLabelTest, UnlistedOrUnreachableNetworkDrivesGiveThePlainRoot) {
    os.AddDrive('N', DRIVE_REMOTE);
    EXPECT_EQ(Label("N:\\"), "N:\\");
    os.AddNetworkConnection("N:", "\\\\server\\share");
    os.FailCall("WNetOpenEnumA", 1);
    EXPECT_EQ(Label("N:\\"), "N:\\");
    os.FailCall("WNetEnumResourceA", 1);
    EXPECT_EQ(Label("N:\\"), "N:\\");
    EXPECT_EQ(os.LiveEnumerations(), 0);
}

TEST_F(DriveLabelTest, LaterBatchesAreSearchedAndOverlongNamesCut) {
    os.AddDrive('N', DRIVE_REMOTE);
    // More than the first buffer holds, so N: comes in a later batch, and
    // needs a larger buffer of its own.
    for (int i = 0; i < 40; ++i) {
        os.AddNetworkConnection("", "\\\\server\\share" + std::to_string(i));
    }
    const std::string longShare = "\\\\server\\" + std::string(1990, 'x');
    os.AddNetworkConnection("N:", longShare);
    char name[kDriveNameBufferSize + 8];
    std::memset(name, '#', sizeof(name));
    ASSERT_TRUE(GetNetworkName(name, "N:\\"));
    EXPECT_EQ(std::string(name), ("\\\\SERVER\\" + std::string(1990, 'X')).substr(0, kDriveNameBufferSize - 1));
    EXPECT_EQ(name[kDriveNameBufferSize], '#');
}

TEST_F(DriveLabelTest, OddMoreDataAnswersEndTheSearch) {
    os.AddDrive('N', DRIVE_REMOTE);
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
        char name[kDriveNameBufferSize] = "unchanged";
        EXPECT_FALSE(GetNetworkName(name, "N:\\")) << c.name;
        EXPECT_STREQ(name, "unchanged") << c.name;
        EXPECT_EQ(os.LiveEnumerations(), 0);
        // Answers the search left unasked go to the next ones.
        for (int i = 0; i < 100 && !GetNetworkName(name, "N:\\"); ++i) {
        }
    }
}

TEST_F(DriveLabelTest, NetworkNameNeedsADriveRoot) {
    os.AddNetworkConnection("N:", "\\\\server\\share");
    char name[kDriveNameBufferSize] = "unchanged";
    for (const char* path : {"", "N", "N:", "N:/", "1:\\", "NN\\"}) {
        EXPECT_FALSE(GetNetworkName(name, path)) << path;
    }
    EXPECT_STREQ(name, "unchanged");
    EXPECT_TRUE(GetNetworkName(name, "n:\\dir"));
    EXPECT_STREQ(name, "\\\\SERVER\\SHARE\\DIR");
}

}  // namespace
