
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
    const Case cases[] = {{"", {'A', 'C', 'D'}},         {"A", {'C', 'D'}}, {"DC", {'A'}}, {"cd", {'A', 'C', 'D'}},
                          {"1:;\\ Z%", {'A', 'C', 'D'}}, {"ACD", {}}};
    for (const Case& c : cases) {
        EXPECT_EQ(ShownDriveLetters(acd, c.skip), c.shown) << c.skip;
    }
    // Bits beyond Z stand for no drive.
    EXPECT_EQ(ShownDriveLetters(0xFC000000u | (1u << 25), ""), std::vector<char>{'Z'});
}

std::vector<std::string> Captions(const CVosselDialog& bar) {
    std::vector<std::string> captions;
    for (const auto& button : bar.DriveButtons()) {
        captions.push_back(button->GetWindowText() + "#" + std::to_string(button->GetDlgCtrlID()));
    }
    return captions;
}

using DriveButtonsTest = BarTest;

TEST_F(DriveButtonsTest, OneButtonPerDriveInLetterOrderWithItsPictureAndContiguousIdsEvenWhenOneFails) {
    os.AddDrive('A', DRIVE_REMOVABLE);
    os.AddDrive('N', DRIVE_REMOTE);
    CreateBar();
    ASSERT_EQ(Captions(*bar), (std::vector<std::string>{"A:#2683", "C:#2684", "D:#2685", "N:#2686"}));
    std::vector<UINT> pictures;
    for (const auto& call : os.GdiCalls()) {
        if (call.function == "CreateMappedBitmap" && call.colorTo != RGB(255, 255, 255)) {
            pictures.push_back(call.resourceId);
        }
    }
    EXPECT_EQ(pictures, (std::vector<UINT>{IDB_MENU_BUTTON, IDB_DRIVE_REMOVABLE, IDB_DRIVE_FIXED, IDB_DRIVE_CDROM,
                                           IDB_DRIVE_NETWORK}));
    // A button that cannot be created leaves no gap: the dialog, its menu button and drive A come first.
    bar->DestroyWindow();
    os.FailCall("CreateWindowExA", 1, 3);
    CreateBar();
    EXPECT_EQ(Captions(*bar), (std::vector<std::string>{"A:#2683", "D:#2684", "N:#2685"}));
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
    os.AddNetworkConnection("n:", "\\\\Server\\Share");
    const std::pair<const char*, const char*> cases[] = {
        {"A:\\", "(floppy) A:\\"}, {"C:\\", "(SYSTEM) C:\\"}, {"D:\\", "(CD-ROM) D:\\"},
        {"E:\\", "() E:\\"},       {"F:\\", "F:\\"},          {"N:\\", "(\\\\SERVER\\SHARE\\) N:\\"},
        {"Q:\\", "Q:\\"},
    };
    for (const auto& [root, label] : cases) {
        EXPECT_EQ(Label(root), label);
    }
    // Removable and CD drives are never touched.
    for (const std::string& root : os.VolumeQueries()) {
        EXPECT_TRUE(root != "A:\\" && root != "D:\\") << root;
    }
    // Unreachable network drives give the plain root.
    os.FailCall("WNetOpenEnumA", 1);
    EXPECT_EQ(Label("N:\\"), "N:\\");
    os.FailCall("WNetEnumResourceA", 1);
    EXPECT_EQ(Label("N:\\"), "N:\\");
    EXPECT_EQ(os.LiveEnumerations(), 0);
    // The rest of a path follows the share.
    char name[kDriveNameBufferSize];
    ASSERT_TRUE(GetNetworkName(name, "n:\\dir"));
    EXPECT_STREQ(name, "\\\\SERVER\\SHARE\\DIR");
    os.AddNetworkConnection("A:", "\\\\server\\a");
    ASSERT_TRUE(GetNetworkName(name, "a:\\"));
    // Only a drive's root or a path below it names a share.
    for (const char* path : {"", "n", "n:", "n:/", "[:\\", "@:\\"}) {
        EXPECT_FALSE(GetNetworkName(name, path)) << path;
    }
}

TEST_F(DriveLabelTest, LaterBatchesAreSearchedAndOverlongNamesCut) {
    // More than the first buffer holds, so N: comes in a later batch, and
    // needs a larger buffer of its own.
    for (int i = 0; i < 40; ++i) {
        os.AddNetworkConnection("", "\\\\server\\share" + std::to_string(i));
    }
    os.AddNetworkConnection("N:", "\\\\server\\" + std::string(1990, 'x'));
    char name[kDriveNameBufferSize + 8];
    std::memset(name, '#', sizeof(name));
    ASSERT_TRUE(GetNetworkName(name, "N:\\"));
    EXPECT_EQ(std::string(name), ("\\\\SERVER\\" + std::string(1990, 'X')).substr(0, kDriveNameBufferSize - 1));
    EXPECT_EQ(name[kDriveNameBufferSize], '#');
}

TEST_F(DriveLabelTest, OddMoreDataAnswersEndTheSearch) {
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

}  // namespace
