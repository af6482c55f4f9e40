#include "dialogs/SystemInfo.h"
#include "tests/support/TestOs.h"

namespace {

class SystemInfoTest : public OsTest {};

TEST_F(SystemInfoTest, SizesAtAndAroundEachThreshold) {
    const std::pair<double, const char*> cases[] = {
        {0, "0 bytes"},          {1023, "1023 bytes"},      {1024, "1 KB"},
        {1048575, "1024 KB"},    {1048576, "1.00 MB"},      {1073741824, "1024.00 MB"},
        {1073741825, "1.00 GB"}, {5368709120.0, "5.00 GB"}, {1099511627776.0, "1024.00 GB"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(FormatByteSize(bytes), text) << bytes;
    }
    os.FailCall("LoadStringA", 1, 1);  // the disk format loads, the size format does not
    EXPECT_EQ(DiskLineFromFreeBytes(5368709120ULL), " Free");
}

TEST_F(SystemInfoTest, MemoryLineInWholeKilobytesBeyondFourGigabytes) {
    EXPECT_EQ(MemoryLine(1023), "0 KB Free");
    EXPECT_EQ(MemoryLine((64ULL << 40) + 1023), "68719476736 KB Free");
    os.SetMemoryStatus(8ULL << 30);
    EXPECT_EQ(ReadMemoryLine(), "8388608 KB Free");
    os.FailCall("GlobalMemoryStatusEx");
    EXPECT_EQ(ReadMemoryLine(), "Unavailable");
}

TEST_F(SystemInfoTest, DiskLineOfTheCurrentFoldersDriveWithBothFallbacks) {
    os.AddDrive('D', DRIVE_FIXED);
    ASSERT_TRUE(os.SetCurrentDirectoryA("D:\\Data\\Letters"));
    os.SetDiskFreeSpace('D', 1048576ULL);
    EXPECT_EQ(ReadDiskLine(), "1.00 MB Free");
    // Without the newer call: the free clusters in whole kilobytes.
    os.SetDiskFreeSpace('D', 5368709120ULL, 8, 512);
    os.FailCall("GetDiskFreeSpaceExA");
    EXPECT_EQ(ReadDiskLine(), "5242880 KB Free");
    EXPECT_EQ(DiskLineFromClusters(64, 4096, 0xFFFFFFFF), "1099511627520 KB Free");
    os.FailCall("GetDiskFreeSpaceA");
    EXPECT_EQ(ReadDiskLine(), "Unavailable");
}

}  // namespace
