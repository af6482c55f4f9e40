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
};

TEST_F(ToolTipTest, ADriveIsNamedTheSameInNarrowAndWideRequestsWhateverWindowIsActive) {
    os.AddDrive('E', DRIVE_FIXED, std::string());
    os.AddDrive('N', DRIVE_REMOTE);
    os.AddNetworkConnection("N:", "\\\\server\\share");
    CreateBar();
    os.SetActiveWindow(os.CreateForeignWindow("Other", "Editor", WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 40, 30}));
    const std::pair<char, const char*> cases[] = {
        {'C', "(SYSTEM) C:\\"}, {'D', "(CD-ROM) D:\\"}, {'E', "() E:\\"}, {'N', "(\\\\SERVER\\SHARE\\) N:\\"}};
    for (const auto& [letter, tip] : cases) {
        for (const bool wide : {false, true}) {
            EXPECT_EQ(os.HoverToolTip(Button(letter), wide), std::optional<std::string>(tip)) << letter << wide;
        }
    }
    EXPECT_EQ(os.HoverToolTip(bar->GetDlgItem(IDC_MENU_BUTTON), false), std::nullopt);
    // The label is read again each time a tip shows.
    os.AddDrive('C', DRIVE_FIXED, std::string("M\xFCll"));
    EXPECT_EQ(os.HoverToolTip(Button('C'), true), std::optional<std::string>("(M\xFCll) C:\\"));
}

TEST_F(ToolTipTest, OneToolPerChildGoneWithTheBar) {
    CreateBar();
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
