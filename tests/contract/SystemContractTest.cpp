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
    LONG Set(HKEY key, const WCHAR* name, DWORD type, const void* data, size_t size) {
        return Os().reg.RegSetValueExW(key, name, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
    }
};

// A string as the registry keeps it: its WCHARs and terminator, byte by byte.
std::string Stored(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(WCHAR));
}

// A file list as a drag source hands it over: the paths after the header, then an empty one.
template <typename Char>
HDROP DropList(const std::vector<std::basic_string<Char>>& paths) {
    std::basic_string<Char> list;
    for (const auto& path : paths) {
        list += path + Char(0);
    }
    list += Char(0);
#ifdef VOSSEL_CONTRACT_MEMORY
    std::vector<std::string> utf8;
    for (const auto& path : paths) {
        utf8.push_back(Utf8FromUtf16(std::wstring(path.begin(), path.end())));
    }
    return static_cast<MemoryOs&>(Os().shell).CreateDropFiles(utf8);
#else
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size() * sizeof(Char));
    auto* files = static_cast<DROPFILES*>(::GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = sizeof(Char) == sizeof(WCHAR);
    std::memcpy(files + 1, list.data(), list.size() * sizeof(Char));
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
#endif
}

TEST_F(RegistryContract, ValuesAreReadBackOrGoOrGetReplacedAndDropsAreRegisteredOnceAndReadByItem) {
    std::string placement;
    while (placement.size() < 48)
        placement += static_cast<char>(placement.size() * 7 + 1);
    const struct {
        const WCHAR* name;
        DWORD type;
        std::string data;
    } cases[] = {{L"Launch Program", REG_SZ, Stored(L"\x424\x43E\x442\x43E %1")},
                 {L"Empty", REG_SZ, Stored(L"")},
                 {L"Tile Explorers", REG_DWORD, "\4\3\2\1"},
                 {L"State Info", REG_BINARY, placement}};
    RegKey key;
    ASSERT_EQ(Os().reg.RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\VosselContractTest", KEY_READ | KEY_WRITE,
                                       key.Receive()),
              ERROR_SUCCESS);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const auto size = static_cast<DWORD>(c.data.size());
        ASSERT_EQ(Set(key.Get(), c.name, c.type, c.data.data(), size), ERROR_SUCCESS);
        DWORD type = REG_NONE, needed = 0;
        ASSERT_EQ(Os().reg.RegQueryValueExW(key.Get(), c.name, &type, nullptr, &needed), ERROR_SUCCESS);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(needed, size);
        std::string read(size + 8, '#');
        DWORD readSize = size + 8;
        ASSERT_EQ(Os().reg.RegQueryValueExW(key.Get(), c.name, &type, reinterpret_cast<BYTE*>(&read[0]), &readSize),
                  ERROR_SUCCESS);
        EXPECT_EQ(read.substr(0, readSize), c.data);
        if (size > 1) {
            readSize = size - 1;
            EXPECT_EQ(
                Os().reg.RegQueryValueExW(key.Get(), c.name, nullptr, reinterpret_cast<BYTE*>(&read[0]), &readSize),
                ERROR_MORE_DATA);
            EXPECT_EQ(readSize, size);
        }
    }
    std::wstring value;
#ifdef _WIN32
    // Earlier versions wrote their strings with the ANSI calls: they read whole.
    ASSERT_EQ(::RegSetValueExA(key.Get(), "Legacy", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\x.exe %1"), 12),
              ERROR_SUCCESS);
    EXPECT_TRUE(ReadRegistryString(key.Get(), "Legacy", &value));
    EXPECT_EQ(value, L"C:\\x.exe %1");
#endif
    DWORD size = 0;
    RegKey missing;
    EXPECT_EQ(Os().reg.RegOpenKeyExW(key.Get(), L"Section", KEY_READ, missing.Receive()), ERROR_FILE_NOT_FOUND);

    ASSERT_EQ(Set(key.Get(), L"Gone", REG_SZ, L"x", 2 * sizeof(WCHAR)), ERROR_SUCCESS);
    EXPECT_EQ(Os().reg.RegDeleteValueW(key.Get(), L"Gone"), ERROR_SUCCESS);
    EXPECT_EQ(Os().reg.RegQueryValueExW(key.Get(), L"Gone", nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Os().reg.RegDeleteValueW(key.Get(), L"Gone"), ERROR_FILE_NOT_FOUND);

    // A value outlives its key's handle; another type under its name replaces it.
    {
        RegKey section;
        ASSERT_EQ(Os().reg.RegCreateKeyExW(key.Get(), L"Section", KEY_READ | KEY_WRITE, section.Receive()),
                  ERROR_SUCCESS);
        const DWORD seven = 7;
        ASSERT_EQ(Set(section.Get(), L"Number", REG_DWORD, &seven, sizeof(seven)), ERROR_SUCCESS);
    }
    RegKey section;
    ASSERT_EQ(Os().reg.RegOpenKeyExW(key.Get(), L"Section", KEY_READ | KEY_WRITE, section.Receive()), ERROR_SUCCESS);
    ASSERT_EQ(Os().reg.RegQueryValueExW(section.Get(), L"Number", nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, sizeof(DWORD));
    // Written without its terminator, and with an odd byte at the end: it still reads.
    ASSERT_EQ(Set(section.Get(), L"Number", REG_SZ, L"seven", 5 * sizeof(WCHAR) + 1), ERROR_SUCCESS);
    EXPECT_TRUE(ReadRegistryString(section.Get(), "Number", &value));
    EXPECT_EQ(value, L"seven");
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
    // Names in any script, an emoji's surrogate pair among them, come whole.
    const std::wstring named = L"C:\\\x424\x43E\x442\x43E \x65E5\x672C \xD83D\xDCF7.txt";
    const std::wstring longPath = L"C:\\" + std::wstring(300, L'x') + L"\\file.txt";
    HDROP drop = DropList(std::vector<std::wstring>{named, longPath});
    WCHAR read[MAX_PATH];
    EXPECT_EQ(Os().shell.DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 2u);
    EXPECT_EQ(Os().shell.DragQueryFileW(drop, 0, read, MAX_PATH), named.size());
    EXPECT_EQ(std::wstring(read), named);
    EXPECT_EQ(Os().shell.DragQueryFileW(drop, 1, nullptr, 0), longPath.size());
    EXPECT_EQ(Os().shell.DragQueryFileW(drop, 1, read, MAX_PATH), MAX_PATH - 1);
    EXPECT_EQ(std::wstring(read), longPath.substr(0, MAX_PATH - 1));
    EXPECT_EQ(Os().shell.DragQueryFileW(drop, 2, read, MAX_PATH), 0u);
    Os().shell.DragFinish(drop);
    // A source that hands over an 8-bit list is read in wide characters all the same.
    drop = DropList(std::vector<std::string>{"C:\\a.txt"});
    EXPECT_EQ(Os().shell.DragQueryFileW(drop, 0, read, MAX_PATH), 8u);
    EXPECT_EQ(std::wstring(read), L"C:\\a.txt");
    Os().shell.DragFinish(drop);
}

using TextContract = ContractTest;

TEST_F(TextContract, TheCodePageSaysHowManyUnitsOrBytesATextTakesAndACharacterItLacksBecomesAQuestionMark) {
    // ASCII, a Latin letter and a Cyrillic one. (A surrogate pair gives one '?' in the model, as on
    // Windows, but one for each half under Wine.)
    const std::wstring wide = L"a\u00E9\u0424b";
    const auto length = static_cast<int>(wide.size());
    const int bytes = Os().sys.WideCharToMultiByte(CP_ACP, wide.c_str(), length, nullptr, 0);
    std::string narrow(static_cast<size_t>(bytes), '#');
    ASSERT_EQ(Os().sys.WideCharToMultiByte(CP_ACP, wide.c_str(), length, &narrow[0], bytes), bytes);
    EXPECT_EQ(narrow, "a\xE9?b");
    EXPECT_EQ(Os().sys.WideCharToMultiByte(CP_ACP, wide.c_str(), length, &narrow[0], bytes - 1), 0) << "too small";
    const int units = Os().sys.MultiByteToWideChar(CP_ACP, narrow.c_str(), bytes, nullptr, 0);
    std::wstring back(static_cast<size_t>(units), L'#');
    ASSERT_EQ(Os().sys.MultiByteToWideChar(CP_ACP, narrow.c_str(), bytes, &back[0], units), units);
    EXPECT_EQ(back, L"a\xE9?b");
}

}  // namespace
