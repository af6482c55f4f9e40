#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "resources/resource.h"
#include "tests/support/BarFixture.h"

namespace {

class ToolTipTest : public BarTest {
protected:
    HWND Button(char letter) {
        for (const auto& button : bar->DriveButtons()) {
            if (button->GetWindowText()[0] == letter) {
                return button->m_hWnd;
            }
        }
        return nullptr;
    }

    // Asks the bar as a tooltip would, with a request the handler must fill.
    std::optional<std::string> Ask(UINT_PTR idFrom, UINT flags) {
        NMTTDISPINFOA request{};
        char untouched[] = "untouched";
        request.hdr = NMHDR{nullptr, idFrom, TTN_NEEDTEXTA};
        request.lpszText = untouched;
        request.uFlags = flags;
        os.SendMessageA(bar->m_hWnd, WM_NOTIFY, idFrom, reinterpret_cast<LPARAM>(&request));
        if (request.lpszText == untouched) {
            return std::nullopt;
        }
        return std::string(request.lpszText);
    }
};

TEST_F(ToolTipTest, EveryKindOfDriveIsNamedTheSameInNarrowAndWideRequests) {
    os.AddDrive('A', DRIVE_REMOVABLE, std::nullopt);
    os.AddDrive('E', DRIVE_FIXED, std::string());
    os.AddDrive('F', DRIVE_FIXED, std::nullopt);
    os.AddDrive('N', DRIVE_REMOTE);
    os.AddNetworkConnection("N:", "\\\\server\\share");
    os.AddDrive('M', DRIVE_REMOTE);
    os.AddDrive('R', DRIVE_RAMDISK);
    os.AddDrive('U', DRIVE_UNKNOWN);
    CreateBar();
    struct Case {
        char letter;
        const char* tip;
    };
    const Case cases[] = {
        {'A', "(floppy) A:\\"},
        {'C', "(SYSTEM) C:\\"},
        {'D', "(CD-ROM) D:\\"},
        {'E', "() E:\\"},
        {'F', "F:\\"},
        {'M', "M:\\"},
        {'N', "(\\\\SERVER\\SHARE\\) N:\\"},
        {'R', "R:\\"},
        {'U', "U:\\"},
    };
    for (const Case& c : cases) {
        const HWND button = Button(c.letter);
        ASSERT_NE(button, nullptr) << c.letter;
        EXPECT_EQ(os.HoverToolTip(button, false), std::optional<std::string>(c.tip)) << c.letter;
        EXPECT_EQ(os.HoverToolTip(button, true), std::optional<std::string>(c.tip)) << c.letter;
    }
    EXPECT_EQ(os.HoverToolTip(bar->GetDlgItem(IDC_MENU_BUTTON), false), std::nullopt);
    EXPECT_EQ(os.HoverToolTip(bar->GetDlgItem(IDC_MENU_BUTTON), true), std::nullopt);
}

TEST_F(ToolTipTest, ALabelIsReadAgainEachTimeATipShows) {
    CreateBar();
    EXPECT_EQ(os.HoverToolTip(Button('C'), false), std::optional<std::string>("(SYSTEM) C:\\"));
    os.AddDrive('C', DRIVE_FIXED, std::string("R&D Data"));
    EXPECT_EQ(os.HoverToolTip(Button('C'), false), std::optional<std::string>("(R&D Data) C:\\"));
    os.AddDrive('C', DRIVE_FIXED, std::string("M\xFCll"));
    EXPECT_EQ(os.HoverToolTip(Button('C'), true), std::optional<std::string>("(M\xFCll) C:\\"));
}

TEST_F(ToolTipTest, TipsShowWhileAnotherWindowIsActive) {
    CreateBar();
    const HWND other = os.CreateForeignWindow("Other", "Editor", WS_POPUP | WS_VISIBLE, 0, RECT{100, 100, 400, 300});
    os.SetActiveWindow(other);
    EXPECT_EQ(os.HoverToolTip(Button('D'), false), std::optional<std::string>("(CD-ROM) D:\\"));
}

TEST_F(ToolTipTest, RequestsThatNameNoWindowOrIdAreLeftUnanswered) {
    CreateBar();
    const HWND gone = os.CreateForeignWindow("Other", "", WS_POPUP, 0, RECT{0, 0, 10, 10});
    os.DestroyWindow(gone);
    EXPECT_EQ(Ask(reinterpret_cast<UINT_PTR>(gone), TTF_IDISHWND), std::nullopt);
    EXPECT_EQ(Ask(0, 0), std::nullopt);
    // A window without an id is id 0 too.
    const HWND popup = os.CreateForeignWindow("Other", "x", WS_POPUP, 0, RECT{0, 0, 10, 10});
    EXPECT_EQ(Ask(reinterpret_cast<UINT_PTR>(popup), TTF_IDISHWND), std::nullopt);
    // An id without a child window is answered, with nothing to show.
    EXPECT_EQ(Ask(4242, 0), std::optional<std::string>(""));
    EXPECT_EQ(Ask(IDC_FIRST_DRIVE + 1, 0), std::optional<std::string>("(CD-ROM) D:\\"));
}

TEST_F(ToolTipTest, OneToolPerChildGoneWithTheBar) {
    CreateBar();
    EXPECT_EQ(os.LiveToolTipTools(), 3);
    bar->EnableToolTips(TRUE);
    EXPECT_EQ(os.LiveToolTipTools(), 3);
    bar->DestroyWindow();
    EXPECT_EQ(os.LiveToolTipTools(), 0);
    EXPECT_EQ(bar->m_hWndToolTip, nullptr);

    os.FailCall("CreateWindowExA", 1, 4);  // the dialog, its button and two drives come first
    CreateBar();
    EXPECT_EQ(bar->m_hWndToolTip, nullptr);
    EXPECT_EQ(os.HoverToolTip(Button('C'), false), std::nullopt);
    EXPECT_EQ(bar->DriveButtons().size(), 2u);
}

}  // namespace
