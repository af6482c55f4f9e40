// Edit controls and check boxes as the dialogs exchange them, owners and
// centring of pop-ups, the mouse capture, and deleting a registry value.
#include "platform/RegKey.h"
#include "tests/contract/ContractFixture.h"

namespace {

class ControlContract : public ContractTest {
protected:
    HWND MakeControl(HWND parent, const char* className, DWORD style, UINT id, const char* text = "") {
        return Os().win.CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, 4, 4, 120, 20, parent, id,
                                        nullptr);
    }
    void Type(HWND hwnd, const char* text) {
        for (const char* c = text; *c != '\0'; ++c) {
            Os().win.SendMessageA(hwnd, WM_CHAR, static_cast<unsigned char>(*c), 1);
        }
    }
};

TEST_F(ControlContract, AnUpperCaseEditTurnsSetAndTypedLettersIntoCapitals) {
    const HWND parent = MakeWindow(WS_POPUP);
    const HWND upper = MakeControl(parent, "Edit", ES_UPPERCASE | ES_AUTOHSCROLL, 10);
    const HWND plain = MakeControl(parent, "Edit", ES_AUTOHSCROLL, 11);
    const HWND readOnly = MakeControl(parent, "Edit", ES_READONLY, 12);
    Type(upper, "ad1");
    Type(plain, "ad1");
    Type(readOnly, "ad1");
    EXPECT_EQ(Text(upper), "AD1");
    EXPECT_EQ(Text(plain), "ad1");
    EXPECT_EQ(Text(readOnly), "");
    Os().win.SetWindowTextA(upper, "cd");
    EXPECT_EQ(Text(upper), "CD");
}

TEST_F(ControlContract, ACheckBoxKeepsTheStatesItHasAndReportsThem) {
    const HWND parent = MakeWindow(WS_POPUP);
    const HWND box = MakeControl(parent, "Button", BS_AUTOCHECKBOX, 20, "&Box");
    const HWND threeState = MakeControl(parent, "Button", BS_AUTO3STATE, 21, "&Three");
    EXPECT_EQ(Os().win.SendMessageA(box, BM_GETCHECK, 0, 0), 0);
    Os().win.SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(Os().win.SendMessageA(box, BM_GETCHECK, 0, 0), 1);
    Os().win.SendMessageA(threeState, BM_SETCHECK, 2, 0);
    EXPECT_EQ(Os().win.SendMessageA(threeState, BM_GETCHECK, 0, 0), 2);
    Os().win.SendMessageA(box, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(Os().win.SendMessageA(box, BM_GETCHECK, 0, 0), 0);
}

TEST_F(ControlContract, APopUpCentresOverItsVisibleOwnerInsideTheWorkArea) {
    const HWND owner = MakeWindow(WS_POPUP | WS_VISIBLE, 0, RECT{100, 100, 500, 300});
    CWnd popup;
    const HWND hwnd = Os().win.CreateWindowExA(0, kContractWindowClass, "", WS_POPUP, 0, 0, 200, 100, owner, 0, &popup);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(Os().win.GetWindow(hwnd, GW_OWNER), owner);
    popup.CenterWindow();
    EXPECT_EQ(WindowRect(hwnd).left, 200);
    EXPECT_EQ(WindowRect(hwnd).top, 150);
    // An owner off at the left: the pop-up stays inside the work area.
    Os().win.SetWindowPos(owner, nullptr, -300, 100, 400, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    popup.CenterWindow();
    RECT area{};
    Os().win.SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_EQ(WindowRect(hwnd).left, area.left);
    popup.DestroyWindow();
}

TEST_F(ControlContract, CaptureIsHeldUntilReleased) {
    const HWND hwnd = MakeWindow(WS_POPUP | WS_VISIBLE);
    Os().win.SetCapture(hwnd);
    EXPECT_EQ(Os().win.GetCapture(), hwnd);
    Os().win.ReleaseCapture();
    EXPECT_EQ(Os().win.GetCapture(), nullptr);
}

TEST_F(ControlContract, ADeletedValueIsGoneAndASecondDeleteFindsNothing) {
    RegKey key;
    ASSERT_EQ(Os().reg.RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\VosselContractTest", KEY_READ | KEY_WRITE,
                                       key.Receive()),
              ERROR_SUCCESS);
    const char value[] = "x";
    ASSERT_EQ(Os().reg.RegSetValueExA(key.Get(), "Gone", REG_SZ, reinterpret_cast<const BYTE*>(value), 2),
              ERROR_SUCCESS);
    EXPECT_EQ(Os().reg.RegDeleteValueA(key.Get(), "Gone"), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(Os().reg.RegQueryValueExA(key.Get(), "Gone", nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Os().reg.RegDeleteValueA(key.Get(), "Gone"), ERROR_FILE_NOT_FOUND);
#ifdef _WIN32
    key.Reset();
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VosselContractTest");
#endif
}

}  // namespace
