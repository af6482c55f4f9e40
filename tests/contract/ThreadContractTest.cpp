// Threads and what they post, sizes as the shell writes them, a tip's
// width, and ejecting a drive that is not there.
#include <cstdint>

#include "tests/contract/ContractFixture.h"

namespace {

class ThreadContract : public ContractTest {
protected:
    // Delivers what was posted to this thread's windows.
    void DeliverPosted() {
#ifdef VOSSEL_CONTRACT_MEMORY
        m_os.PumpMessages();
#else
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageA(&msg);
        }
#endif
    }
};

constexpr UINT kAnswer = WM_APP + 7;

TEST_F(ThreadContract, WhatAThreadPostsReachesTheWindowAndItsHandleIsSignalledOnceItHasReturned) {
    RecordingWnd window;
    const HWND hwnd = MakeWindow(WS_POPUP, 0, RECT{100, 80, 340, 240}, "", &window);
    const HWND gone = MakeWindow(WS_POPUP);
    ASSERT_TRUE(Os().win.DestroyWindow(gone));
    OsServices& os = Os();
    BOOL posted = FALSE;
    BOOL postedToGone = TRUE;
    const HANDLE thread = Os().sys.CreateThread([&os, hwnd, gone, &posted, &postedToGone] {
        posted = os.win.PostMessageA(hwnd, kAnswer, 42, 0);
        postedToGone = os.win.PostMessageA(gone, kAnswer, 43, 0);
    });
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(Os().sys.WaitForMultipleObjects(1, &thread, TRUE, 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(posted);
    EXPECT_FALSE(postedToGone);
    EXPECT_FALSE(window.Received(kAnswer)) << "posted, not sent";
    DeliverPosted();
    EXPECT_TRUE(window.Received(kAnswer));
    // Signalled it stays: a second wait returns at once.
    EXPECT_EQ(Os().sys.WaitForMultipleObjects(1, &thread, FALSE, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(Os().sys.CloseHandle(thread));
}

TEST_F(ThreadContract, SizesAreWrittenInThreeDigitsOfTheUnitBelowAThousandCutNotRounded) {
    const std::pair<LONGLONG, const char*> cases[] = {
        {0, "0 bytes"},
        {1, "1 bytes"},
        {1023, "1023 bytes"},
        {1024, "1.00 KB"},
        {1535, "1.49 KB"},
        {10239, "9.99 KB"},
        {10240, "10.0 KB"},
        {102399, "99.9 KB"},
        {102400, "100 KB"},
        {1023999, "999 KB"},
        {1024000, "0.97 MB"},
        {1048575, "0.99 MB"},
        {1048576, "1.00 MB"},
        {10485759, "9.99 MB"},
        {10485760, "10.0 MB"},
        {104857600, "100 MB"},
        {1048575999, "999 MB"},
        {1048576000, "0.97 GB"},
        {1073741824, "1.00 GB"},
        {10737418239, "9.99 GB"},
        {10737418240, "10.0 GB"},
        {107374182400, "100 GB"},
        {511101108224, "476 GB"},
        {1073741823999, "999 GB"},
        {1073741824000, "0.97 TB"},
        {1099511627776, "1.00 TB"},
        {10995116277760, "10.0 TB"},
        {109951162777600, "100 TB"},
        {1099511627775999, "999 TB"},
        {1099511627776000, "0.97 PB"},
        {1125899906842624, "1.00 PB"},
        {11258999068426239, "9.99 PB"},
        {11258999068426240, "10.0 PB"},
        {112589990684262399, "99.9 PB"},
        {112589990684262400, "100 PB"},
        {1125899906842623999, "999 PB"},
        {1125899906842624000, "0.97 EB"},
        {1152921504606846976, "1.00 EB"},
        {INT64_MAX, "7.99 EB"},
    };
    for (const auto& [size, text] : cases) {
        WCHAR buffer[32] = {};
        ASSERT_EQ(Os().shell.StrFormatByteSizeW(size, buffer, 32), buffer) << size;
        EXPECT_EQ(std::string(buffer, buffer + std::char_traits<WCHAR>::length(buffer)), text) << size;
    }
}

TEST_F(ThreadContract, ATipHasNoWidthToKeepUntilItIsGivenOne) {
    const HWND tip = Os().win.CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0,
                                              0, 0, nullptr, 0, nullptr);
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(Os().win.SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, 300), -1);
    EXPECT_EQ(Os().win.SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, 500), 300);
    Os().win.DestroyWindow(tip);
}

// An item and a separator put before a menu's first: "id text" of each item.
TEST_F(ThreadContract, ItemsInsertedByPositionGoBeforeTheOneThereAndPastTheEndAfterTheLast) {
    const HMENU menu = Os().win.LoadMenuA(IDR_CONTRACT_MENU);
    const HMENU popup = Os().win.GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(Os().win.InsertMenuA(popup, 0, MF_BYPOSITION | MF_STRING, 40010, "&Eject D:"));
    EXPECT_TRUE(Os().win.InsertMenuA(popup, 1, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr));
    EXPECT_TRUE(Os().win.InsertMenuA(popup, 99, MF_BYPOSITION | MF_STRING, 40011, "&Last"));
    std::vector<std::string> items;
#ifdef VOSSEL_CONTRACT_MEMORY
    for (const MemoryMenuItem& item : m_os.MenuItems(popup)) {
        items.push_back(std::to_string(item.id) + " " + item.text);
    }
#else
    for (int i = 0; i < ::GetMenuItemCount(popup); ++i) {
        char text[64] = {};
        ::GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
        const UINT id = ::GetMenuItemID(popup, i);
        items.push_back(std::to_string(id) + " " + text);
    }
#endif
    EXPECT_EQ(items,
              (std::vector<std::string>{"40010 &Eject D:", "0 ", "40001 &First", "40002 &Second", "40011 &Last"}));
    EXPECT_TRUE(Os().win.DestroyMenu(menu));
}

TEST_F(ThreadContract, ADriveThatIsNotThereIsNeitherOpenedNorRemoved) {
    EXPECT_NE(Os().sys.EjectMedia(L"Q:\\"), static_cast<DWORD>(ERROR_SUCCESS));
    int veto = -1;
    WCHAR name[MAX_PATH] = L"unchanged";
    EXPECT_EQ(Os().sys.RequestDeviceEject(L"Q:\\", &veto, name, MAX_PATH), CR_NO_SUCH_DEVNODE);
    EXPECT_EQ(veto, PNP_VetoTypeUnknown);
}

}  // namespace
