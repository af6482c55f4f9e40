
#include <numeric>

#include "platform/OleDropTarget.h"
#include "platform/RegKey.h"
#include "platform/WinApp.h"
#include "platform/Wnd.h"
#include "tests/support/TestOs.h"

namespace {

using FrameworkTest = OsTest;

TEST_F(FrameworkTest, AutomaticTipsGiveEachChildOfTheWindowOneToolAndNoneToGrandchildrenOrOtherWindowsChildren) {
    CWnd wnd;
    os.CreateWindowExA(0, "VosselWnd", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, 0, &wnd);
    const auto child = [this](HWND parent, UINT id) {
        return os.CreateWindowExA(0, "Button", "x", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, parent, id, nullptr);
    };
    const HWND first = child(wnd.m_hWnd, 1);
    child(wnd.m_hWnd, 2);
    const HWND grandchild = child(first, 3);
    const HWND other = os.CreateForeignWindow("Other", "", WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 50, 50});
    const HWND othersChild = child(other, 4);
    // Without its tooltip control the window adds no tool.
    wnd.AddChildToolTip(first);
    EXPECT_EQ(os.LiveToolTipTools(), 0);
    ASSERT_TRUE(wnd.EnableToolTips());
    EXPECT_EQ(os.LiveToolTipTools(), 2);
    for (const HWND hwnd : {grandchild, othersChild}) {
        wnd.AddChildToolTip(hwnd);
        EXPECT_EQ(os.LiveToolTipTools(), 2);
    }
    const HWND third = child(wnd.m_hWnd, 5);
    wnd.AddChildToolTip(third);
    EXPECT_EQ(os.LiveToolTipTools(), 3);
    wnd.RemoveChildToolTip(third);
    EXPECT_EQ(os.LiveToolTipTools(), 2);
    EXPECT_TRUE(wnd.EnableToolTips(FALSE));
    EXPECT_EQ(os.LiveToolTipTools(), 0);
    EXPECT_EQ(wnd.m_hWndToolTip, nullptr);
    wnd.RemoveChildToolTip(first);
    wnd.DestroyWindow();
}

TEST_F(FrameworkTest, ProfileValuesOfEverySmallSizeReadBackAsStored) {
    const CWinApp& app = *AfxGetApp();
    const std::wstring text = L"ab";
    for (size_t size = 0; size <= 9; ++size) {
        std::vector<BYTE> stored(size);
        std::iota(stored.begin(), stored.end(), BYTE{1});
        os.SetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Value", REG_BINARY, stored);
        std::vector<BYTE> read{0xEE};
        EXPECT_TRUE(app.GetProfileBinary("Settings", "Value", &read)) << size;
        EXPECT_EQ(read, stored) << size;
        // A number takes up to four bytes, the lowest first; a longer value keeps the default.
        DWORD number = 0;
        for (size_t i = 0; i < std::min(size, sizeof(number)); ++i) {
            number |= static_cast<DWORD>(stored[i]) << (8 * i);
        }
        EXPECT_EQ(app.GetProfileInt("Settings", "Value", 77), size <= sizeof(number) ? number : 77u) << size;
        // A text of as many bytes, terminated or not, gives its whole characters.
        std::vector<BYTE> bytes(reinterpret_cast<const BYTE*>(text.c_str()),
                                reinterpret_cast<const BYTE*>(text.c_str() + text.size() + 1));
        bytes.resize(std::min(size, bytes.size()));
        os.SetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Value", REG_SZ, bytes);
        EXPECT_EQ(app.GetProfileString("Settings", "Value", L"default"), text.substr(0, size / sizeof(WCHAR))) << size;
    }
    os.FailCall("RegQueryValueExW", 1, 1);
    std::vector<BYTE> read{0xEE};
    EXPECT_FALSE(app.GetProfileBinary("Settings", "Value", &read)) << "the value, once its size is known";
    EXPECT_TRUE(read.empty());
}

TEST_F(FrameworkTest, ADropTargetRegistersOneWindowOnceAndSaysWhenItCannot) {
    CWnd wnd;
    os.CreateWindowExA(0, "VosselWnd", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, 0, &wnd);
    os.OleInitialize();
    COleDropTarget target;
    EXPECT_FALSE(target.Register(nullptr));
    os.FailCall("RegisterDragDrop", 1);
    EXPECT_FALSE(target.Register(&wnd));
    EXPECT_EQ(target.GetWindow(), nullptr);
    EXPECT_TRUE(target.Register(&wnd));
    EXPECT_FALSE(target.Register(&wnd)) << "once";
    EXPECT_EQ(os.LiveDropTargets(), 1);
    target.Revoke();
    EXPECT_EQ(os.LiveDropTargets(), 0);
    wnd.DestroyWindow();
    os.OleUninitialize();
}

TEST_F(FrameworkTest, ResourceStringsOfEverySmallLengthLoadWholeAndLongOnesAreCutToTheirBuffer) {
    constexpr UINT kId = 60001;
    for (const size_t length : {0, 1, 2, 1023, 1024}) {
        const std::string text(length, 's');
        os.AddString(kId, text);
        EXPECT_EQ(LoadResourceString(kId), text.substr(0, 1023)) << length;
    }
}

}  // namespace
