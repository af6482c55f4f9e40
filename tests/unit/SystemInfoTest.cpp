#include "dialogs/LinkLabel.h"
#include "dialogs/SystemInfo.h"
#include "resources/resource.h"
#include "tests/support/TestOs.h"

namespace {

class SystemInfoTest : public OsTest {};

TEST_F(SystemInfoTest, FormatByteSizeAtAndAroundEachThreshold) {
    const std::pair<double, const char*> cases[] = {
        {0, "0 bytes"},          {1000, "1000 bytes"},       {1023, "1023 bytes"},
        {1024, "1 KB"},          {512000, "500 KB"},         {1048575, "1024 KB"},
        {1048576, "1.00 MB"},    {1073741823, "1024.00 MB"}, {1073741824, "1024.00 MB"},
        {1073741825, "1.00 GB"}, {5368709120.0, "5.00 GB"},  {1099511627776.0, "1024.00 GB"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(FormatByteSize(bytes), text) << bytes;
    }
}

TEST_F(SystemInfoTest, AMissingSizeFormatLeavesTheDiskLineItsTailOnly) {
    os.FailCall("LoadStringA", 1, 1);  // the disk format loads, the size format does not
    EXPECT_EQ(DiskLineFromFreeBytes(5368709120ULL), " Free");
}

TEST_F(SystemInfoTest, MemoryLineInWholeKilobytesBeyondFourGigabytes) {
    const std::pair<ULONGLONG, const char*> cases[] = {
        {67108864ULL, "65536 KB Free"},
        {1023ULL, "0 KB Free"},
        {8ULL << 30, "8388608 KB Free"},
        {(64ULL << 40) + 1023, "68719476736 KB Free"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(MemoryLine(bytes), text) << bytes;
    }
    os.SetMemoryStatus(8ULL << 30);
    EXPECT_EQ(ReadMemoryLine(), "8388608 KB Free");
    os.FailCall("GlobalMemoryStatusEx");
    EXPECT_EQ(ReadMemoryLine(), "Unavailable");
}

TEST_F(SystemInfoTest, DiskLineOfTheCurrentFoldersDriveWithBothFallbacks) {
    os.AddDrive('D', DRIVE_FIXED);
    ASSERT_TRUE(os.SetCurrentDirectoryA("D:\\Data\\Letters"));
    const std::pair<ULONGLONG, const char*> cases[] = {
        {5368709120ULL, "5.00 GB Free"}, {1073741824ULL, "1024.00 MB Free"}, {1048576ULL, "1.00 MB Free"},
        {512000ULL, "500 KB Free"},      {1000ULL, "1000 bytes Free"},
    };
    for (const auto& [bytes, text] : cases) {
        os.SetDiskFreeSpace('D', bytes);
        EXPECT_EQ(ReadDiskLine(), text) << bytes;
    }
    // Without the newer call: the free clusters in whole kilobytes.
    os.SetDiskFreeSpace('D', 5368709120ULL, 8, 512);
    os.FailCall("GetDiskFreeSpaceExA");
    EXPECT_EQ(ReadDiskLine(), "5242880 KB Free");
    EXPECT_EQ(DiskLineFromClusters(64, 4096, 0xFFFFFFFF), "1099511627520 KB Free");
    os.FailCall("GetDiskFreeSpaceA");
    EXPECT_EQ(ReadDiskLine(), "Unavailable");
}

TEST(ShortcutName, TakesWhatFollowsTheLastSeparatorAndMakesItAFileName) {
    const std::pair<const char*, const char*> cases[] = {
        {"see docs/readme", "readme"},
        {"Home page", "Home page"},
        {"Reach us: helpdesk", " helpdesk"},
        {"C:\\Tools\\vossel", "_Tools_vossel"},
        {"a/b:c", "b_c"},
        // Nothing after the separator: the text before its trailing ones.
        {"http://www.example.org/", "www.example.org"},
        {"see docs/readme//", "readme"},
        {"What? <Yes>|\"No\"*", "What_ _Yes___No__"},
        {"tab\there", "tab_here"},
        {"///", ""},
        {"", ""},
    };
    for (const auto& [text, name] : cases) {
        EXPECT_EQ(ShortcutFileName(text), name) << text;
    }
}

TEST(ShortcutName, PathIsFolderNameAndExtensionWithinMaxPath) {
    EXPECT_EQ(ShortcutPath("C:\\Desk", "Home page"), "C:\\Desk\\Home page.URL");
    EXPECT_EQ(ShortcutPath("C:\\", "see docs/readme"), "C:\\readme.URL");
    EXPECT_EQ(ShortcutPath("C:\\Desk", "///"), "");
    const std::string folder = "C:\\" + std::string(242, 'f');
    EXPECT_EQ(ShortcutPath(folder, "abcdefghi").size(), 259u);
    EXPECT_EQ(ShortcutPath(folder, "abcdefghij"), "");
}

}  // namespace
