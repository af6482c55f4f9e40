#include <gtest/gtest.h>

#include <functional>

#include "app/VosselApp.h"
#include "bar/BarLayout.h"
#include "resources/resource.h"
#include "tests/support/BarFixture.h"

extern CVosselApp theApp;

namespace {

// The template's client area with a 3-pixel thick frame and no caption.
constexpr LONG kDockedHeight = kBarClientHeight + 6;
constexpr LONG kDockedWidth = kBarClientWidth + 6;
// Floating, a 4-pixel frame with a border and a small caption of 16.
constexpr LONG kFloatingWidth = kBarClientWidth + 8;
constexpr LONG kFloatingHeight = kBarClientHeight + 8 + 16;

TEST(BarLayout, ButtonsStandOnePixelInAndThreeApart) {
    const SIZE button{22, 14};
    const SIZE row{1018, 15};
    EXPECT_EQ(BarButtonRect(0, false, row, button), (RECT{1, 1, 23, 15}));
    EXPECT_EQ(BarButtonRect(1, false, row, button), (RECT{26, 1, 48, 15}));
    EXPECT_EQ(BarButtonRect(2, false, row, button), (RECT{51, 1, 73, 15}));
    const SIZE column{28, 762};
    EXPECT_EQ(BarButtonRect(0, true, column, button), (RECT{1, 1, 28, 15}));
    EXPECT_EQ(BarButtonRect(2, true, column, button), (RECT{1, 35, 28, 49}));
}

TEST(BarLayout, OrientationFollowsTheEdgeAndAFloatingBarsShape) {
    struct Case {
        int edge;
        int cx, cy;
        bool vertical;
    };
    const Case cases[] = {
        {ABE_LEFT, 500, 20, true},     {ABE_RIGHT, 500, 20, true},     {ABE_TOP, 20, 500, false},
        {ABE_BOTTOM, 20, 500, false},  {EDGE_NONE, 20, 500, false},    {EDGE_FLOATING, 40, 40, false},
        {EDGE_FLOATING, 39, 40, true}, {EDGE_FLOATING, 41, 40, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsVerticalLayout(c.edge, c.cx, c.cy), c.vertical) << c.edge << " " << c.cx << "x" << c.cy;
    }
}

TEST(BarLayout, TrackingLimitsPerEdge) {
    const SIZE frame{6, 6};
    const SIZE minClient{28, 15};
    const SIZE screen{1024, 767};
    struct Case {
        int edge;
        POINT maxTrack;
        bool setMinimum;
    };
    const Case cases[] = {
        {ABE_TOP, {1024, 383}, false},  {ABE_BOTTOM, {1024, 383}, false},  {ABE_LEFT, {512, 767}, false},
        {ABE_RIGHT, {512, 767}, false}, {EDGE_FLOATING, {512, 383}, true},
    };
    for (const Case& c : cases) {
        const TrackingLimits limits = BarTrackingLimits(c.edge, frame, minClient, screen);
        EXPECT_EQ(limits.maxTrack.x, c.maxTrack.x) << c.edge;
        EXPECT_EQ(limits.maxTrack.y, c.maxTrack.y) << c.edge;
        EXPECT_EQ(limits.setMinimum, c.setMinimum) << c.edge;
    }
    const TrackingLimits floating = BarTrackingLimits(EDGE_FLOATING, frame, minClient, screen);
    EXPECT_EQ(floating.minTrack.x, 34);
    EXPECT_EQ(floating.minTrack.y, 21);
}

class BarWindowTest : public BarTest {};

TEST_F(BarWindowTest, FirstStartDocksAcrossTheTopWithoutCaptionAlwaysOnTop) {
    CVosselDialog& bar = CreateBar();
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 0, 1024, kDockedHeight}));
    const auto style = static_cast<DWORD>(os.GetWindowLongA(bar.m_hWnd, GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), 0u);
    EXPECT_NE(os.GetWindowLongA(bar.m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    const BARPLACEMENT& placement = bar.GetPlacement();
    EXPECT_EQ(placement.nEdge, ABE_TOP);
    EXPECT_FALSE(placement.bAutoHide);
    EXPECT_TRUE(placement.bAlwaysOnTop);
    EXPECT_EQ(placement.anThickness[ABE_LEFT], kDockedWidth);
    EXPECT_EQ(placement.anThickness[ABE_TOP], kDockedHeight);
    EXPECT_EQ(placement.anThickness[ABE_RIGHT], kDockedWidth);
    EXPECT_EQ(placement.anThickness[ABE_BOTTOM], kDockedHeight);
    EXPECT_EQ(placement.rcFloating, (RECT{0, 0, 2 * kFloatingWidth, kFloatingHeight}));
}

TEST_F(BarWindowTest, DockedAtTheTopTheButtonsStandInARow) {
    CVosselDialog& bar = CreateBar();
    ASSERT_EQ(bar.DriveButtons().size(), 2u);
    const LONG height = kBarClientHeight - 1;
    EXPECT_EQ(ChildRect(os.GetDlgItem(bar.m_hWnd, IDC_MENU_BUTTON)), (RECT{1, 1, 29, 1 + height}));
    EXPECT_EQ(ChildRect(bar.DriveButtons()[0]->m_hWnd), (RECT{32, 1, 60, 1 + height}));
    EXPECT_EQ(ChildRect(bar.DriveButtons()[1]->m_hWnd), (RECT{63, 1, 91, 1 + height}));
    // Drive buttons put their picture one pixel in and the letters three
    // pixels into it: 1 + 16 - 3 = 14, then centred in the 2 pixels left.
    std::vector<int> lefts;
    for (const auto& call : Paint(bar.DriveButtons()[0]->m_hWnd)) {
        if (call.function == "DrawStateA") {
            lefts.push_back(call.x);
        }
    }
    EXPECT_EQ(lefts, (std::vector<int>{1, 15}));
}

TEST_F(BarWindowTest, DockedAtTheLeftTheButtonsStandInAColumn) {
    CVosselDialog& bar = CreateBar();
    BARPLACEMENT left = bar.GetPlacement();
    left.nEdge = ABE_LEFT;
    bar.SetPlacement(&left);
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 0, kDockedWidth, 768}));
    ASSERT_EQ(bar.DriveButtons().size(), 2u);
    const LONG width = kBarClientWidth - 1;
    EXPECT_EQ(ChildRect(os.GetDlgItem(bar.m_hWnd, IDC_MENU_BUTTON)), (RECT{1, 1, 1 + width, 16}));
    EXPECT_EQ(ChildRect(bar.DriveButtons()[1]->m_hWnd), (RECT{1, 37, 1 + width, 52}));
}

TEST_F(BarWindowTest, FloatingBarHasACaptionAndLosesItWhenDockedAgain) {
    CVosselDialog& bar = CreateBar();
    BARPLACEMENT placement = bar.GetPlacement();
    placement.nEdge = EDGE_FLOATING;
    placement.rcFloating = RECT{200, 200, 400, 260};
    bar.SetPlacement(&placement);
    auto style = [&] { return static_cast<DWORD>(os.GetWindowLongA(bar.m_hWnd, GWL_STYLE)); };
    EXPECT_EQ(style() & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{200, 200, 400, 260}));
    EXPECT_EQ(bar.GetWindowText(), "Vossel");
    // Wider than tall: a row; taller than wide: a column.
    ASSERT_EQ(bar.DriveButtons().size(), 2u);
    EXPECT_EQ(ChildRect(bar.DriveButtons()[0]->m_hWnd).top, 1);
    placement.rcFloating = RECT{200, 200, 260, 400};
    bar.SetPlacement(&placement);
    EXPECT_EQ(ChildRect(bar.DriveButtons()[0]->m_hWnd).left, 1);
    placement.nEdge = ABE_BOTTOM;
    bar.SetPlacement(&placement);
    EXPECT_EQ(style() & (WS_CAPTION | WS_SYSMENU), 0u);
    // Docked at its own thickness: no captioned window's minimum height held it.
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 768 - kDockedHeight, 1024, 768}));
}

TEST_F(BarWindowTest, TheMenuShowsAtItsPointWithTheSettingsChecked) {
    CVosselDialog& bar = CreateBar();
    const HWND button = os.GetDlgItem(bar.m_hWnd, IDC_MENU_BUTTON);
    struct Case {
        BOOL onTop, autoHide;
        std::function<void()> open;
        POINT at;
        bool fromButton;
    };
    const Case cases[] = {
        {TRUE, FALSE, [&] { os.SendMessageA(bar.m_hWnd, WM_CONTEXTMENU, 0, MAKELPARAM(300, 10)); }, {300, 10}, false},
        // From the keyboard, and from a right click on a drive button, which passes it on.
        {FALSE,
         TRUE,
         [&] { os.SendMessageA(bar.m_hWnd, WM_CONTEXTMENU, 0, MAKELPARAM(0xFFFF, 0xFFFF)); },
         {-1, -1},
         false},
        {FALSE,
         FALSE,
         [&] { os.SendMessageA(bar.DriveButtons().at(0)->m_hWnd, WM_CONTEXTMENU, 0, MAKELPARAM(40, 5)); },
         {40, 5},
         false},
        {TRUE, TRUE, [&] { Click(IDC_MENU_BUTTON); }, {0, 0}, true},
    };
    for (const Case& c : cases) {
        BARPLACEMENT placement = bar.GetPlacement();
        placement.bAlwaysOnTop = c.onTop;
        placement.bAutoHide = c.autoHide;
        bar.SetPlacement(&placement);
        os.ClearLogs();
        c.open();
        ASSERT_EQ(os.MenuShowings().size(), 1u);
        const auto& shown = os.MenuShowings()[0];
        EXPECT_EQ(shown.owner, bar.m_hWnd);
        // The menu button opens it at its lower-left corner, wherever the bar is.
        const RECT buttonRect = WindowRect(button);
        const POINT at = c.fromButton ? POINT{buttonRect.left, buttonRect.bottom} : c.at;
        EXPECT_EQ(shown.x, at.x);
        EXPECT_EQ(shown.y, at.y);
        EXPECT_EQ(shown.flags, 0u);
        EXPECT_EQ(shown.checks.at(ID_ALWAYS_ON_TOP), c.onTop ? MF_CHECKED : MF_UNCHECKED);
        EXPECT_EQ(shown.checks.at(ID_AUTO_HIDE), c.autoHide ? MF_CHECKED : MF_UNCHECKED);
        EXPECT_EQ(os.LiveMenus(), 0);
    }
}

TEST_F(BarWindowTest, TheMenuTogglesAlwaysOnTopAndAutoHide) {
    CVosselDialog& bar = CreateBar();
    auto choose = [&](UINT id) {
        os.ChooseMenuItem(id);
        os.SendMessageA(bar.m_hWnd, WM_CONTEXTMENU, 0, MAKELPARAM(10, 10));
        os.PumpMessages();
    };
    auto topmost = [&] { return (os.GetWindowLongA(bar.m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    choose(ID_ALWAYS_ON_TOP);
    EXPECT_FALSE(bar.GetPlacement().bAlwaysOnTop);
    EXPECT_FALSE(topmost());
    choose(ID_ALWAYS_ON_TOP);
    EXPECT_TRUE(topmost());
    choose(ID_AUTO_HIDE);
    EXPECT_TRUE(bar.GetPlacement().bAutoHide);
    EXPECT_FALSE(os.ReservedRect(bar.m_hWnd).has_value());
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 2 - kDockedHeight, 1024, 2}));
    choose(ID_AUTO_HIDE);
    EXPECT_EQ(os.ReservedRect(bar.m_hWnd), (std::optional<RECT>(RECT{0, 0, 1024, kDockedHeight})));
    EXPECT_TRUE(os.MessageBoxes().empty());
    BARPLACEMENT stored{};
    EXPECT_FALSE(StoredPlacement(os, &stored)) << "nothing is stored before the bar ends";
}

TEST_F(BarWindowTest, RefusedAutoHideFromTheMenuStaysUnchecked) {
    const HWND other = os.CreateForeignWindow("Other", "Other bar", WS_POPUP, 0, RECT{0, 0, 10, 10});
    APPBARDATA data{sizeof(APPBARDATA), other, 0x1234, ABE_TOP, {}, TRUE};
    os.SHAppBarMessage(ABM_NEW, &data);
    os.SHAppBarMessage(ABM_SETAUTOHIDEBAR, &data);
    CreateBar();
    os.ChooseMenuItem(ID_AUTO_HIDE);
    Click(IDC_MENU_BUTTON);
    os.PumpMessages();
    EXPECT_EQ(os.MessageBoxes().size(), 1u);
    Click(IDC_MENU_BUTTON);
    EXPECT_EQ(os.MenuShowings().back().checks.at(ID_AUTO_HIDE), MF_UNCHECKED);
}

TEST_F(BarWindowTest, ExitFromTheMenuEndsTheBarAndStoresItsPlacement) {
    os.SetModalIdle([this] {
        const HWND hwnd = os.FindWindowA(nullptr, "Vossel");
        os.ChooseMenuItem(ID_AUTO_HIDE);
        os.SendMessageA(hwnd, WM_CONTEXTMENU, 0, MAKELPARAM(10, 10));
        os.PumpMessages();
        os.ChooseMenuItem(ID_BAR_EXIT);
        os.SendMessageA(hwnd, WM_CONTEXTMENU, 0, MAKELPARAM(10, 10));
    });
    CVosselDialog bar;
    EXPECT_EQ(bar.DoModal(), IDCANCEL);
    BARPLACEMENT saved{};
    ASSERT_TRUE(StoredPlacement(os, &saved));
    EXPECT_TRUE(saved.bAutoHide);
    EXPECT_EQ(saved.nEdge, ABE_TOP);
}

TEST_F(BarWindowTest, ACtrlDragFloatsAUsableCaptionedBarAndADragBackDocksIt) {
    CVosselDialog& bar = CreateBar();
    auto style = [&] { return static_cast<DWORD>(os.GetWindowLongA(bar.m_hWnd, GWL_STYLE)); };
    auto moving = [&](POINT cursor) {
        os.SetCursorPos(cursor);
        RECT rect = WindowRect(bar.m_hWnd);
        os.SendMessageA(bar.m_hWnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&rect));
        os.SetWindowPos(bar.m_hWnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                        SWP_NOZORDER | SWP_NOACTIVATE);
    };
    os.SendMessageA(bar.m_hWnd, WM_ENTERSIZEMOVE, 0, 0);
    os.SetKeyDown(VK_CONTROL, true);
    moving(POINT{500, 300});
    EXPECT_EQ(style() & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{500 - kFloatingWidth, 300, 500 + kFloatingWidth, 300 + kFloatingHeight}));
    // The caption leaves the client area the height of a button.
    EXPECT_EQ(ClientRectOf(bar.m_hWnd).bottom, kBarClientHeight);
    os.SendMessageA(bar.m_hWnd, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(bar.GetPlacement().nEdge, EDGE_FLOATING);
    EXPECT_FALSE(os.ReservedRect(bar.m_hWnd).has_value());
    EXPECT_EQ(ChildRect(os.GetDlgItem(bar.m_hWnd, IDC_MENU_BUTTON)), (RECT{1, 1, 29, kBarClientHeight}));

    os.SetKeyDown(VK_CONTROL, false);
    os.SendMessageA(bar.m_hWnd, WM_ENTERSIZEMOVE, 0, 0);
    moving(POINT{3, 400});
    // The caption goes as soon as an edge is proposed.
    EXPECT_EQ(style() & (WS_CAPTION | WS_SYSMENU), 0u);
    os.SendMessageA(bar.m_hWnd, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 0, kDockedWidth, 768}));
    EXPECT_EQ(os.ReservedRect(bar.m_hWnd), (std::optional<RECT>(RECT{0, 0, kDockedWidth, 768})));
}

TEST_F(BarWindowTest, SizeLimitsFollowTheEdge) {
    CVosselDialog& bar = CreateBar();
    MINMAXINFO info{};
    os.SendMessageA(bar.m_hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMaxTrackSize.x, 1024);
    EXPECT_EQ(info.ptMaxTrackSize.y, 384);
    // A bar at the bottom cannot be made thicker than half the screen.
    os.SetWindowPos(bar.m_hWnd, nullptr, 0, 0, 1024, 600, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(WindowRect(bar.m_hWnd).bottom, 384);
}

TEST_F(BarWindowTest, SystemCloseEndsTheModalRunAndFreesTheStrip) {
    os.SetModalIdle([this] {
        const HWND hwnd = os.FindWindowA(nullptr, "Vossel");
        ASSERT_NE(hwnd, nullptr);
        EXPECT_EQ(os.ReservedRect(hwnd), (std::optional<RECT>(RECT{0, 0, 1024, kDockedHeight})));
        os.PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    CVosselDialog bar;
    EXPECT_EQ(bar.DoModal(), IDCANCEL);
    EXPECT_EQ(bar.m_hWnd, nullptr);
    EXPECT_EQ(os.FindWindowA(nullptr, "Vossel"), nullptr);
    EXPECT_EQ(os.AppBarCalls().back().message, ABM_ACTIVATE);
    bool removed = false;
    for (const auto& call : os.AppBarCalls()) {
        removed = removed || call.message == ABM_REMOVE;
    }
    EXPECT_TRUE(removed);
    // The record saved at the end still holds the edge in use.
    BARPLACEMENT saved{};
    ASSERT_TRUE(StoredPlacement(os, &saved));
    EXPECT_EQ(saved.nEdge, ABE_TOP);
}

TEST_F(BarWindowTest, AnotherWindowTitledVosselKeepsTheProgramFromStarting) {
    os.CreateForeignWindow("SomeClass", "Vossel", WS_POPUP, 0, RECT{0, 0, 10, 10});
    bool ran = false;
    os.SetModalIdle([&] { ran = true; });
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_FALSE(ran);
    EXPECT_TRUE(os.AppBarCalls().empty());
    EXPECT_FALSE(os.RegistryKeyExists(HKEY_CURRENT_USER, "Software\\Quorvane"));
}

TEST_F(BarWindowTest, OnlyTheExactTitleCountsAsARunningCopy) {
    os.CreateForeignWindow("SomeClass", "About Vossel", WS_POPUP, 0, RECT{0, 0, 10, 10});
    os.CreateForeignWindow("SomeClass", "Vossel Options", WS_POPUP, 0, RECT{0, 0, 10, 10});
    bool ran = false;
    os.SetModalIdle([&] {
        ran = true;
        os.PostMessageA(os.FindWindowA("#32770", "Vossel"), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_TRUE(ran);
    EXPECT_TRUE(os.RegistryKeyExists(HKEY_CURRENT_USER, kSettingsKey));
}

TEST_F(BarWindowTest, OnceShownTheBarTakesDropsAndTipsAndOleEndsWithItOnlyWhenStarted) {
    for (const bool oleFails : {false, true}) {
        if (oleFails) {
            os.FailCall("OleInitialize");
        }
        int targets = -1;
        int tools = -1;
        os.SetModalIdle([&] {
            targets = os.LiveDropTargets();
            tools = os.LiveToolTipTools();
            os.PostMessageA(os.FindWindowA(nullptr, "Vossel"), WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        theApp.InitInstance();
        // Without OLE only the drop target is missing.
        EXPECT_EQ(targets, oleFails ? 0 : 1) << oleFails;
        EXPECT_GT(tools, 0) << oleFails;
        EXPECT_EQ(os.OleDepth(), 0) << oleFails;
    }
}

TEST_F(BarWindowTest, AnUncreatableBarEndsTheProgramQuietly) {
    os.FailCall("DialogBoxParamA");
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_TRUE(os.MessageBoxes().empty());
}

}  // namespace
