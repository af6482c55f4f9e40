// What identifies a window: its text, class, control id and parent; finding
// windows; registered messages and timers.
#include <algorithm>
#include <cctype>
#include <iterator>

#include "tests/contract/ContractFixture.h"

namespace {

class WindowIdentityContract : public ContractTest {
protected:
    static std::string Lower(std::string text) {
        for (char& c : text) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return text;
    }
};

TEST_F(WindowIdentityContract, WindowTextIsStoredAndReadBackWhole) {
    const std::string texts[] = {"", "A", "Vossel", "Copy Files To...", std::string(300, 'x')};
    const HWND hwnd = MakeWindow(WS_POPUP | WS_CAPTION);
    ASSERT_NE(hwnd, nullptr);
    for (const std::string& text : texts) {
        SCOPED_TRACE(text.size());
        ASSERT_TRUE(Os().win.SetWindowTextA(hwnd, text.c_str()));
        EXPECT_EQ(Os().win.GetWindowTextLengthA(hwnd), static_cast<int>(text.size()));
        EXPECT_EQ(Text(hwnd), text);
    }
}

TEST_F(WindowIdentityContract, GetWindowTextTruncatesToTheBuffer) {
    const HWND hwnd = MakeWindow(WS_POPUP, 0, RECT{0, 0, 50, 50}, "Vossel");
    ASSERT_NE(hwnd, nullptr);
    struct Case {
        int size;
        int copied;
        const char* text;
    };
    const Case cases[] = {{7, 6, "Vossel"}, {6, 5, "Vosse"}, {2, 1, "V"}, {1, 0, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        char buffer[16];
        std::fill(std::begin(buffer), std::end(buffer), '#');
        EXPECT_EQ(Os().win.GetWindowTextA(hwnd, buffer, c.size), c.copied);
        EXPECT_STREQ(buffer, c.text);
    }
}

TEST_F(WindowIdentityContract, ChildrenAreFoundByControlId) {
    const HWND parent = MakeWindow(WS_POPUP | WS_THICKFRAME);
    ASSERT_NE(parent, nullptr);
    const HWND menuButton = MakeChild(parent, "BUTTON", 1009, RECT{1, 1, 23, 13});
    const HWND firstDrive = MakeChild(parent, "BUTTON", 2683, RECT{26, 1, 48, 13});
    const HWND secondDrive = MakeChild(parent, "BUTTON", 2684, RECT{51, 1, 73, 13});
    ASSERT_NE(menuButton, nullptr);
    ASSERT_NE(firstDrive, nullptr);
    ASSERT_NE(secondDrive, nullptr);

    const struct {
        int id;
        HWND child;
    } cases[] = {{1009, menuButton}, {2683, firstDrive}, {2684, secondDrive}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(Os().win.GetDlgItem(parent, c.id), c.child);
        EXPECT_EQ(Os().win.GetDlgCtrlID(c.child), c.id);
        EXPECT_EQ(Os().win.GetWindowLongA(c.child, GWL_ID), c.id);
        EXPECT_EQ(Os().win.GetParent(c.child), parent);
        EXPECT_NE(Style(c.child) & WS_CHILD, 0u);
    }
    EXPECT_EQ(Os().win.GetDlgItem(parent, 2685), nullptr);
    EXPECT_EQ(Os().win.GetParent(parent), nullptr);
}

TEST_F(WindowIdentityContract, ClassNamesAreReportedAsRegistered) {
    const HWND parent = MakeWindow(WS_POPUP);
    const HWND button = MakeChild(parent, "BUTTON", 1009, RECT{0, 0, 10, 10});
    ASSERT_NE(button, nullptr);
    char name[64] = {};
    // The system spells its own classes its own way; callers compare without case.
    ASSERT_GT(Os().win.GetClassNameA(button, name, static_cast<int>(sizeof(name))), 0);
    EXPECT_EQ(Lower(name), "button");
    ASSERT_GT(Os().win.GetClassNameA(parent, name, static_cast<int>(sizeof(name))), 0);
    EXPECT_STREQ(name, kContractWindowClass);
}

TEST_F(WindowIdentityContract, DestroyingAParentDestroysItsChildren) {
    const HWND parent = MakeWindow(WS_POPUP);
    RecordingWnd child;
    ASSERT_NE(MakeChild(parent, "BUTTON", 2683, RECT{0, 0, 10, 10}, &child), nullptr);
    const HWND childHwnd = child.m_hWnd;
    ASSERT_NE(childHwnd, nullptr);

    ASSERT_TRUE(Os().win.DestroyWindow(parent));
    EXPECT_FALSE(Os().win.IsWindow(childHwnd));
    EXPECT_EQ(child.m_hWnd, nullptr);
    EXPECT_LT(child.IndexOf(WM_DESTROY), child.IndexOf(WM_NCDESTROY));
}

TEST_F(WindowIdentityContract, FindWindowMatchesOnlyTheExactTopLevelTitle) {
    const std::string title = UniqueTitle("Vossel contract");
    const HWND hwnd = MakeWindow(WS_POPUP, 0, RECT{0, 0, 50, 50}, title.c_str());
    ASSERT_NE(hwnd, nullptr);

    EXPECT_EQ(Os().win.FindWindowA(nullptr, title.c_str()), hwnd);
    EXPECT_EQ(Os().win.FindWindowA(kContractWindowClass, title.c_str()), hwnd);
    EXPECT_EQ(Os().win.FindWindowA("NoSuchVosselClass", title.c_str()), nullptr);
    const std::string nearTitles[] = {title.substr(0, title.size() - 1), title + " ", " " + title, "Vossel"};
    for (const std::string& other : nearTitles) {
        SCOPED_TRACE(other);
        EXPECT_NE(Os().win.FindWindowA(nullptr, other.c_str()), hwnd);
    }

    // A child with the title does not count.
    const std::string childTitle = UniqueTitle("Vossel contract child");
    const HWND child = MakeChild(hwnd, "BUTTON", 7, RECT{0, 0, 10, 10});
    ASSERT_TRUE(Os().win.SetWindowTextA(child, childTitle.c_str()));
    EXPECT_EQ(Os().win.FindWindowA(nullptr, childTitle.c_str()), nullptr);

    ASSERT_TRUE(Os().win.DestroyWindow(hwnd));
    EXPECT_EQ(Os().win.FindWindowA(nullptr, title.c_str()), nullptr);
}

TEST_F(WindowIdentityContract, RegisteredMessagesAreStablePerName) {
    const UINT notify = Os().win.RegisterWindowMessageA("AppBarNotify");
    EXPECT_GE(notify, 0xC000u);
    EXPECT_LE(notify, 0xFFFFu);
    EXPECT_EQ(Os().win.RegisterWindowMessageA("AppBarNotify"), notify);
    const UINT other = Os().win.RegisterWindowMessageA("VosselContractMessage");
    EXPECT_GE(other, 0xC000u);
    EXPECT_NE(other, notify);
}

TEST_F(WindowIdentityContract, TimersStartAndStop) {
    const HWND hwnd = MakeWindow(WS_POPUP);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_NE(Os().win.SetTimer(hwnd, 1, 400), 0u);
    // Setting it again replaces it.
    EXPECT_NE(Os().win.SetTimer(hwnd, 1, 100), 0u);
    EXPECT_TRUE(Os().win.KillTimer(hwnd, 1));
    EXPECT_FALSE(Os().win.KillTimer(hwnd, 1));
    EXPECT_FALSE(Os().win.KillTimer(hwnd, 2));
}

}  // namespace
