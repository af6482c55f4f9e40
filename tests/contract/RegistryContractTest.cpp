// The registry as the profile uses it: keys created on demand and typed
// values read back whole, by size, or not at all.
#include <cstring>
#include <string>
#include <vector>

#include "platform/RegKey.h"
#include "tests/contract/ContractFixture.h"

namespace {

constexpr const char* kTestKey = "VosselContractTest";

class RegistryContract : public ContractTest {
protected:
    RegistryContract() { DeleteTestKey(); }
    ~RegistryContract() override { DeleteTestKey(); }

    // HKEY_CURRENT_USER\Software\VosselContractTest, created when missing.
    HKEY CreateTestKey() {
        RegKey software;
        EXPECT_EQ(Os().reg.RegOpenKeyExA(HKEY_CURRENT_USER, "Software", KEY_READ | KEY_WRITE, software.Receive()),
                  ERROR_SUCCESS);
        HKEY key = nullptr;
        EXPECT_EQ(Os().reg.RegCreateKeyExA(software.Get(), kTestKey, KEY_READ | KEY_WRITE, &key), ERROR_SUCCESS);
        return key;
    }

private:
    static void DeleteTestKey() {
#ifdef _WIN32
        // The real registry outlives the test run; the model goes with the fixture.
        ::RegDeleteKeyA(HKEY_CURRENT_USER, (std::string("Software\\") + kTestKey + "\\Section").c_str());
        ::RegDeleteKeyA(HKEY_CURRENT_USER, (std::string("Software\\") + kTestKey).c_str());
#endif
    }
};

std::vector<BYTE> Bytes(const void* data, size_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    return std::vector<BYTE>(bytes, bytes + size);
}

struct ValueCase {
    const char* name;
    DWORD type;
    std::vector<BYTE> data;
};

std::vector<ValueCase> ValueCases() {
    const char text[] = "Explorer /e,%1";
    const DWORD number = 0x01020304;
    std::vector<BYTE> placement(48);
    for (size_t i = 0; i < placement.size(); ++i) {
        placement[i] = static_cast<BYTE>(i * 7 + 1);
    }
    return {
        {"Launch Program", REG_SZ, Bytes(text, sizeof(text))},
        {"Empty", REG_SZ, Bytes("", 1)},
        {"Tile Explorers", REG_DWORD, Bytes(&number, sizeof(number))},
        {"State Info", REG_BINARY, placement},
    };
}

TEST_F(RegistryContract, ValuesAreReadBackWithTheirTypeAndSize) {
    RegKey key(CreateTestKey());
    ASSERT_NE(key.Get(), nullptr);
    for (const ValueCase& c : ValueCases()) {
        SCOPED_TRACE(c.name);
        const auto size = static_cast<DWORD>(c.data.size());
        ASSERT_EQ(Os().reg.RegSetValueExA(key.Get(), c.name, c.type, c.data.data(), size), ERROR_SUCCESS);

        DWORD type = REG_NONE;
        DWORD needed = 0;
        ASSERT_EQ(Os().reg.RegQueryValueExA(key.Get(), c.name, &type, nullptr, &needed), ERROR_SUCCESS);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(needed, size);

        std::vector<BYTE> read(c.data.size() + 8, 0xEE);
        DWORD readSize = static_cast<DWORD>(read.size());
        type = REG_NONE;
        ASSERT_EQ(Os().reg.RegQueryValueExA(key.Get(), c.name, &type, read.data(), &readSize), ERROR_SUCCESS);
        EXPECT_EQ(type, c.type);
        ASSERT_EQ(readSize, size);
        read.resize(readSize);
        EXPECT_EQ(read, c.data);
    }
}

TEST_F(RegistryContract, SmallBufferAsksForMoreData) {
    RegKey key(CreateTestKey());
    ASSERT_NE(key.Get(), nullptr);
    for (const ValueCase& c : ValueCases()) {
        if (c.data.size() < 2) {
            continue;
        }
        SCOPED_TRACE(c.name);
        const auto size = static_cast<DWORD>(c.data.size());
        ASSERT_EQ(Os().reg.RegSetValueExA(key.Get(), c.name, c.type, c.data.data(), size), ERROR_SUCCESS);
        std::vector<BYTE> small(c.data.size() - 1);
        DWORD smallSize = static_cast<DWORD>(small.size());
        EXPECT_EQ(Os().reg.RegQueryValueExA(key.Get(), c.name, nullptr, small.data(), &smallSize), ERROR_MORE_DATA);
        EXPECT_EQ(smallSize, size);
    }
}

TEST_F(RegistryContract, MissingValuesAndKeysAreNotFound) {
    RegKey key(CreateTestKey());
    ASSERT_NE(key.Get(), nullptr);
    DWORD type = REG_NONE;
    DWORD size = 0;
    EXPECT_EQ(Os().reg.RegQueryValueExA(key.Get(), "No Such Value", &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    BYTE buffer[16] = {};
    size = sizeof(buffer);
    EXPECT_EQ(Os().reg.RegQueryValueExA(key.Get(), "No Such Value", &type, buffer, &size), ERROR_FILE_NOT_FOUND);

    RegKey missing;
    EXPECT_EQ(Os().reg.RegOpenKeyExA(key.Get(), "Section", KEY_READ, missing.Receive()), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing.Get(), nullptr);
}

TEST_F(RegistryContract, ValuesOutliveTheirKeyHandle) {
    const DWORD number = 7;
    {
        RegKey key(CreateTestKey());
        ASSERT_NE(key.Get(), nullptr);
        RegKey section;
        ASSERT_EQ(Os().reg.RegCreateKeyExA(key.Get(), "Section", KEY_READ | KEY_WRITE, section.Receive()),
                  ERROR_SUCCESS);
        ASSERT_EQ(Os().reg.RegSetValueExA(section.Get(), "Number", REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                          sizeof(number)),
                  ERROR_SUCCESS);
    }
    RegKey key(CreateTestKey());
    RegKey section;
    ASSERT_EQ(Os().reg.RegOpenKeyExA(key.Get(), "Section", KEY_READ | KEY_WRITE, section.Receive()), ERROR_SUCCESS);
    DWORD read = 0;
    DWORD size = sizeof(read);
    ASSERT_EQ(Os().reg.RegQueryValueExA(section.Get(), "Number", nullptr, reinterpret_cast<BYTE*>(&read), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(read, number);

    // Another type under the same name replaces the value.
    const char text[] = "seven";
    ASSERT_EQ(
        Os().reg.RegSetValueExA(section.Get(), "Number", REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text)),
        ERROR_SUCCESS);
    std::string value;
    EXPECT_TRUE(ReadRegistryString(section.Get(), "Number", &value));
    EXPECT_EQ(value, "seven");
}

}  // namespace
