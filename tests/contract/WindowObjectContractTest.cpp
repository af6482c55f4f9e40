// Framework objects bound to windows: the messages they see from creation
// to destruction, subclassing, and default processing.
#include <string>

#include "tests/contract/ContractFixture.h"

namespace {

class WindowObjectContract : public ContractTest {};

TEST_F(WindowObjectContract, ObjectSeesItsWindowFromCreationToDestruction) {
    RecordingWnd wnd;
    const HWND hwnd = Os().win.CreateWindowExA(WS_EX_TOOLWINDOW, kContractWindowClass, "Vossel",
                                               WS_POPUP | WS_THICKFRAME, 40, 40, 200, 60, nullptr, 0, &wnd);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(wnd.m_hWnd, hwnd);
    EXPECT_EQ(Os().win.FromHandle(hwnd), &wnd);
    ASSERT_TRUE(wnd.Received(WM_CREATE));
    ASSERT_TRUE(wnd.Received(WM_NCCREATE));
    EXPECT_LT(wnd.IndexOf(WM_NCCREATE), wnd.IndexOf(WM_CREATE));
    EXPECT_FALSE(wnd.Received(WM_DESTROY));

    wnd.m_messages.clear();
    ASSERT_TRUE(Os().win.SetWindowPos(hwnd, nullptr, 0, 0, 260, 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_TRUE(wnd.Received(WM_SIZE));
    const RECT client = ClientRect(hwnd);
    EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(wnd.m_lastSize)), Width(client));
    EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(wnd.m_lastSize)), Height(client));

    wnd.m_messages.clear();
    ASSERT_TRUE(Os().win.DestroyWindow(hwnd));
    ASSERT_TRUE(wnd.Received(WM_DESTROY));
    EXPECT_LT(wnd.IndexOf(WM_DESTROY), wnd.IndexOf(WM_NCDESTROY));
    EXPECT_EQ(wnd.m_messages.back(), WM_NCDESTROY);
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_FALSE(Os().win.IsWindow(hwnd));
    EXPECT_EQ(Os().win.FromHandle(hwnd), nullptr);
}

TEST_F(WindowObjectContract, ControlsOfSystemClassesAreBoundFromCreation) {
    const HWND parent = MakeWindow(WS_POPUP | WS_THICKFRAME);
    ASSERT_NE(parent, nullptr);
    RecordingWnd button;
    const HWND hwnd = MakeChild(parent, "BUTTON", 2683, RECT{1, 1, 23, 13}, &button);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(button.m_hWnd, hwnd);
    EXPECT_TRUE(button.Received(WM_CREATE));
    EXPECT_EQ(Os().win.FromHandle(hwnd), &button);
    EXPECT_EQ(button.GetDlgCtrlID(), 2683);
}

TEST_F(WindowObjectContract, MessagesLeftToDefaultGetTheSystemsProcessing) {
    RecordingWnd frame;
    const HWND hwnd =
        Os().win.CreateWindowExA(0, kContractWindowClass, "", WS_POPUP, 0, 0, 100, 40, nullptr, 0, &frame);
    ASSERT_NE(hwnd, nullptr);
    RecordingWnd button;
    const HWND buttonHwnd = MakeChild(hwnd, "BUTTON", 1009, RECT{0, 0, 20, 20}, &button);
    ASSERT_NE(buttonHwnd, nullptr);

    const struct {
        RecordingWnd* object;
        HWND hwnd;
        const char* text;
    } cases[] = {{&frame, hwnd, "Vossel"}, {&button, buttonHwnd, "C:"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        c.object->m_messages.clear();
        Os().win.SendMessageA(c.hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.text));
        EXPECT_TRUE(c.object->Received(WM_SETTEXT));
        EXPECT_EQ(c.object->GetWindowText(), c.text);
    }
    EXPECT_TRUE(Os().win.DestroyWindow(hwnd));
    EXPECT_EQ(button.m_hWnd, nullptr);
    EXPECT_EQ(frame.m_hWnd, nullptr);
}

TEST_F(WindowObjectContract, SubclassingBindsAnExistingControlOnce) {
    const HWND parent = MakeWindow(WS_POPUP);
    const HWND control = MakeChild(parent, "BUTTON", 1009, RECT{0, 0, 20, 20});
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(Os().win.FromHandle(control), nullptr);

    RecordingWnd first;
    ASSERT_TRUE(first.SubclassWindow(control));
    EXPECT_EQ(first.m_hWnd, control);
    EXPECT_EQ(Os().win.FromHandle(control), &first);
    Os().win.SendMessageA(control, WM_USER + 1, 0, 0);
    EXPECT_TRUE(first.Received(WM_USER + 1));

    RecordingWnd second;
    EXPECT_FALSE(second.SubclassWindow(control));
    EXPECT_EQ(second.m_hWnd, nullptr);
    EXPECT_EQ(Os().win.FromHandle(control), &first);

    ASSERT_TRUE(Os().win.DestroyWindow(parent));
    EXPECT_TRUE(first.Received(WM_NCDESTROY));
    EXPECT_EQ(first.m_hWnd, nullptr);
}

TEST_F(WindowObjectContract, UnboundWindowsHaveNoObject) {
    const HWND hwnd = MakeWindow(WS_POPUP);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(Os().win.FromHandle(hwnd), nullptr);
    EXPECT_EQ(Os().win.FromHandle(nullptr), nullptr);
    EXPECT_EQ(Os().win.FromHandle(Os().win.GetDesktopWindow()), nullptr);
}

TEST_F(WindowObjectContract, AnObjectGoingAwayTakesItsWindowAlong) {
    HWND hwnd = nullptr;
    {
        RecordingWnd wnd;
        hwnd = Os().win.CreateWindowExA(0, kContractWindowClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, 0, &wnd);
        ASSERT_NE(hwnd, nullptr);
    }
    EXPECT_FALSE(Os().win.IsWindow(hwnd));
}

}  // namespace
