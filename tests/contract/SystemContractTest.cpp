// The registry as the profile uses it, drop registration and file lists.
#include <cstring>

#include "platform/OleDropTarget.h"
#include "platform/RegKey.h"
#include "tests/contract/ContractFixture.h"

namespace {

class RegistryContract : public ContractTest {
protected:
    RegistryContract() { DeleteTestKey(); }
    ~RegistryContract() override { DeleteTestKey(); }
    static void DeleteTestKey() {
#ifdef _WIN32
        // The real registry outlives the test run; the model goes with the fixture.
        ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VosselContractTest\\Section");
        ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VosselContractTest");
#endif
    }
    LONG Set(HKEY key, const char* name, DWORD type, const void* data, size_t size) {
        return Os().reg.RegSetValueExA(key, name, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
    }
};

TEST_F(RegistryContract, ValuesAreReadBackOrGoOrGetReplacedAndDropsAreRegisteredOnceAndReadByItem) {
    std::string placement;
    while (placement.size() < 48)
        placement += static_cast<char>(placement.size() * 7 + 1);
    const struct {
        const char* name;
        DWORD type;
        std::string data;
    } cases[] = {{"Launch Program", REG_SZ, std::string("Ex %1", 6)},
                 {"Empty", REG_SZ, std::string(1, '\0')},
                 {"Tile Explorers", REG_DWORD, "\4\3\2\1"},
                 {"State Info", REG_BINARY, placement}};
    RegKey key;
    ASSERT_EQ(Os().reg.RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\VosselContractTest", KEY_READ | KEY_WRITE,
                                       key.Receive()),
              ERROR_SUCCESS);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto size = static_cast<DWORD>(c.data.size());
        ASSERT_EQ(Set(key.Get(), c.name, c.type, c.data.data(), size), ERROR_SUCCESS);
        DWORD type = REG_NONE, needed = 0;
        ASSERT_EQ(Os().reg.RegQueryValueExA(key.Get(), c.name, &type, nullptr, &needed), ERROR_SUCCESS);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(needed, size);
        std::string read(size + 8, '#');
        DWORD readSize = size + 8;
        ASSERT_EQ(Os().reg.RegQueryValueExA(key.Get(), c.name, &type, reinterpret_cast<BYTE*>(&read[0]), &readSize),
                  ERROR_SUCCESS);
        EXPECT_EQ(read.substr(0, readSize), c.data);
        if (size > 1) {
            readSize = size - 1;
            EXPECT_EQ(
                Os().reg.RegQueryValueExA(key.Get(), c.name, nullptr, reinterpret_cast<BYTE*>(&read[0]), &readSize),
                ERROR_MORE_DATA);
            EXPECT_EQ(readSize, size);
        }
    }
    DWORD size = 0;
    RegKey missing;
    EXPECT_EQ(Os().reg.RegOpenKeyExA(key.Get(), "Section", KEY_READ, missing.Receive()), ERROR_FILE_NOT_FOUND);

    ASSERT_EQ(Set(key.Get(), "Gone", REG_SZ, "x", 2), ERROR_SUCCESS);
    EXPECT_EQ(Os().reg.RegDeleteValueA(key.Get(), "Gone"), ERROR_SUCCESS);
    EXPECT_EQ(Os().reg.RegQueryValueExA(key.Get(), "Gone", nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Os().reg.RegDeleteValueA(key.Get(), "Gone"), ERROR_FILE_NOT_FOUND);

    // A value outlives its key's handle; another type under its name replaces it.
    {
        RegKey section;
        ASSERT_EQ(Os().reg.RegCreateKeyExA(key.Get(), "Section", KEY_READ | KEY_WRITE, section.Receive()),
                  ERROR_SUCCESS);
        const DWORD seven = 7;
        ASSERT_EQ(Set(section.Get(), "Number", REG_DWORD, &seven, sizeof(seven)), ERROR_SUCCESS);
    }
    RegKey section;
    ASSERT_EQ(Os().reg.RegOpenKeyExA(key.Get(), "Section", KEY_READ | KEY_WRITE, section.Receive()), ERROR_SUCCESS);
    ASSERT_EQ(Os().reg.RegQueryValueExA(section.Get(), "Number", nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, sizeof(DWORD));
    ASSERT_EQ(Set(section.Get(), "Number", REG_SZ, "seven", 6), ERROR_SUCCESS);
    std::string value;
    EXPECT_TRUE(ReadRegistryString(section.Get(), "Number", &value));
    EXPECT_EQ(value, "seven");
    // A window is registered for drops once and revoked once; file lists are read by count, length and item.
    Os().sys.OleInitialize();
    COleDropTarget target;
    CWnd wnd;
    MakeWindow(WS_POPUP | WS_VISIBLE, 0, RECT{100, 80, 340, 240}, "", &wnd);
    ASSERT_TRUE(target.Register(&wnd));
    EXPECT_EQ(Os().sys.RegisterDragDrop(wnd.m_hWnd, &target), DRAGDROP_E_ALREADYREGISTERED);
    target.Revoke();
    EXPECT_EQ(Os().sys.RevokeDragDrop(wnd.m_hWnd), DRAGDROP_E_NOTREGISTERED);
    // A window that goes takes its registration with it.
    ASSERT_TRUE(target.Register(&wnd));
    wnd.DestroyWindow();
    EXPECT_EQ(target.GetWindow(), nullptr);
    Os().sys.OleUninitialize();
    const std::string longPath = "C:\\" + std::string(300, 'x') + "\\file.txt";
#ifdef VOSSEL_CONTRACT_MEMORY
    const HDROP drop = m_os.CreateDropFiles({"C:\\a.txt", longPath});
#else
    // As a drag source hands it over: the paths after the header, then an empty one.
    const std::string paths = std::string("C:\\a.txt") + '\0' + longPath + '\0' + '\0';
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + paths.size());
    auto* files = static_cast<DROPFILES*>(::GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    std::memcpy(files + 1, paths.data(), paths.size());
    ::GlobalUnlock(memory);
    const HDROP drop = static_cast<HDROP>(memory);
#endif
    EXPECT_EQ(Os().shell.DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 2u);
    EXPECT_EQ(Os().shell.DragQueryFileA(drop, 1, nullptr, 0), longPath.size());
    char cut[MAX_PATH];
    EXPECT_EQ(Os().shell.DragQueryFileA(drop, 1, cut, MAX_PATH), MAX_PATH - 1);
    EXPECT_EQ(std::string(cut), longPath.substr(0, MAX_PATH - 1));
    EXPECT_EQ(Os().shell.DragQueryFileA(drop, 2, cut, MAX_PATH), 0u);
    Os().shell.DragFinish(drop);
}

}  // namespace
