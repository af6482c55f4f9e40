
#include <functional>

#include "bar/Drives.h"
#include "tests/support/TestOs.h"

namespace {

using NetworkNameTest = OsTest;

TEST_F(NetworkNameTest, EveryCountAProviderReportsReadsOnlyTheEntriesAndNamesItsBufferHolds) {
    // Connections without a drive letter first, one named at length in a script whose units, read as
    // the pointers of entries never written, point far above any buffer. N: fits the first batch, M:
    // needs a larger buffer.
    std::string korean = "\\\\";
    for (int i = 0; i < 60; ++i) {
        korean += "서";
    }
    for (const std::string& share : {korean, std::string("\\\\Σέρβερ\\Ωmega"), std::string("\\\\s\\x")}) {
        os.AddNetworkConnection("", share);
    }
    os.AddNetworkConnection("N:", "\\\\server\\share");
    os.AddNetworkConnection("M:", "\\\\server\\" + std::string(1990, 'm'));
    const auto fit = [](DWORD, DWORD size) { return size / static_cast<DWORD>(sizeof(NETRESOURCEW)); };
    const struct {
        const char* name;
        std::function<DWORD(DWORD written, DWORD size)> count;
        bool found;
    } cases[] = {
        {"as written", [](DWORD written, DWORD) { return written; }, true},
        {"one more than written", [](DWORD written, DWORD) { return written + 1; }, true},
        {"as many as the buffer could hold", fit, true},
        {"one more than the buffer holds", [fit](DWORD, DWORD size) { return fit(0, size) + 1; }, true},
        {"everything", [](DWORD, DWORD) { return 0xFFFFFFFFu; }, true},
        {"none", [](DWORD, DWORD) { return 0u; }, false},
    };
    const std::wstring share = L"\\\\SERVER\\SHARE\\";
    const std::wstring longShare = (L"\\\\SERVER\\" + std::wstring(1990, L'M')).substr(0, kDriveNameBufferSize - 1);
    for (const auto& c : cases) {
        for (const auto& [path, expected] : {std::pair(L"N:\\", share), {L"M:\\", longShare}, {L"Q:\\", L""}}) {
            for (int i = 0; i < 8; ++i) {
                os.QueueNetEnumCount(c.count);
            }
            WCHAR name[kDriveNameBufferSize] = L"unchanged";
            const bool found = c.found && !expected.empty();
            EXPECT_EQ(GetNetworkName(name, path), found ? TRUE : FALSE) << c.name << " " << Utf8FromUtf16(path);
            EXPECT_EQ(std::wstring(name), found ? expected : L"unchanged") << c.name << " " << Utf8FromUtf16(path);
            EXPECT_EQ(os.LiveEnumerations(), 0);
            // Counts the search left unasked go to the next searches.
            for (int i = 0; i < 8; ++i) {
                GetNetworkName(name, L"Q:\\");
            }
        }
    }
}

}  // namespace
