
#include <cstring>

#include "app/VosselApp.h"
#include "bar/BarLayout.h"
#include "resources/resource.h"
#include "tests/support/BarFixture.h"

extern CVosselApp theApp;

static bool operator==(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }

namespace {

// The template's client area with a 3-pixel thick frame and no caption.
constexpr LONG kDockedHeight = kBarClientHeight + 6;
constexpr LONG kDockedWidth = kBarClientWidth + 6;
// Floating, a 4-pixel frame with a border and a small caption of 16.
constexpr LONG kFloatingWidth = kBarClientWidth + 8;
constexpr LONG kFloatingHeight = kBarClientHeight + 8 + 16;

using BarWindowTest = BarTest;

TEST_F(BarWindowTest, FirstStartDocksAcrossTheTopAlwaysOnTopAtMostHalfTheScreenThick) {
    CVosselDialog& bar = CreateBar();
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 0, 1024, kDockedHeight}));
    const LONG w = kDockedWidth, h = kDockedHeight;
    const BARPLACEMENT expected{48, ABE_TOP, FALSE, TRUE, {w, h, w, h}, {0, 0, 2 * kFloatingWidth, kFloatingHeight}};
    EXPECT_EQ(std::memcmp(&bar.GetPlacement(), &expected, sizeof(expected)), 0);
    // It cannot be made thicker than half the screen.
    MINMAXINFO info{};
    os.SendMessageA(bar.m_hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMaxTrackSize, (POINT{1024, 384}));
    // Floating, it holds its first client area inside its frame.
    const TrackingLimits floating = BarTrackingLimits(EDGE_FLOATING, SIZE{6, 6}, SIZE{28, 15}, SIZE{1024, 767});
    EXPECT_TRUE(floating.setMinimum);
    EXPECT_EQ(floating.minTrack, (POINT{34, 21}));
    EXPECT_EQ(floating.maxTrack, (POINT{512, 383}));
}

TEST_F(BarWindowTest, TheButtonsStandInARowOrAColumnByEdgeOrShape) {
    CVosselDialog& bar = CreateBar();
    const auto SetEdge = [&](int edge, RECT floating = RECT{}) {
        BARPLACEMENT placement = bar.GetPlacement();
        placement.nEdge = edge;
        placement.rcFloating = floating;
        bar.SetPlacement(&placement);
    };
    ASSERT_EQ(bar.DriveButtons().size(), 2u);
    const HWND menu = os.GetDlgItem(bar.m_hWnd, IDC_MENU_BUTTON);
    EXPECT_EQ(ChildRect(menu), (RECT{1, 1, 29, kBarClientHeight}));
    EXPECT_EQ(ChildRect(bar.DriveButtons()[0]->m_hWnd), (RECT{32, 1, 60, kBarClientHeight}));
    EXPECT_EQ(ChildRect(bar.DriveButtons()[1]->m_hWnd), (RECT{63, 1, 91, kBarClientHeight}));
    // Drive buttons put their picture one pixel in and the letters three
    // pixels into it: 1 + 16 - 3 = 14, then centred in the 2 pixels left.
    std::vector<int> lefts;
    for (const auto& call : Paint(bar.DriveButtons()[0]->m_hWnd)) {
        if (call.function == "DrawStateA") {
            lefts.push_back(call.x);
        }
    }
    EXPECT_EQ(lefts, (std::vector<int>{1, 15}));
    SetEdge(ABE_LEFT);
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 0, kDockedWidth, 768}));
    EXPECT_EQ(ChildRect(menu), (RECT{1, 1, kBarClientWidth, 16}));
    EXPECT_EQ(ChildRect(bar.DriveButtons()[1]->m_hWnd), (RECT{1, 37, kBarClientWidth, 52}));
    // Floating, wider than tall: a row; taller than wide: a column.
    SetEdge(EDGE_FLOATING, RECT{200, 200, 400, 260});
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{200, 200, 400, 260}));
    EXPECT_EQ(ChildRect(bar.DriveButtons()[0]->m_hWnd).top, 1);
    SetEdge(EDGE_FLOATING, RECT{200, 200, 260, 400});
    EXPECT_EQ(ChildRect(bar.DriveButtons()[0]->m_hWnd).left, 1);
    // Docked at its own thickness: no captioned window's minimum height held it.
    SetEdge(ABE_BOTTOM);
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 768 - kDockedHeight, 1024, 768}));
}

TEST_F(BarWindowTest, TheMenuShowsAtItsPointWithTheSettingsChecked) {
    CVosselDialog& bar = CreateBar();
    ASSERT_EQ(bar.DriveButtons().size(), 2u);
    struct Case {
        BOOL onTop, autoHide;
        HWND from;  // none: a click on the menu button
        POINT at;
    };
    // From the keyboard, and from a drive button, which passes it on.
    const Case cases[] = {{FALSE, TRUE, bar.m_hWnd, {-1, -1}},
                          {FALSE, FALSE, bar.DriveButtons()[0]->m_hWnd, {40, 5}},
                          {TRUE, TRUE, nullptr, {}}};
    for (const Case& c : cases) {
        BARPLACEMENT placement = bar.GetPlacement();
        placement.bAlwaysOnTop = c.onTop;
        placement.bAutoHide = c.autoHide;
        bar.SetPlacement(&placement);
        os.ClearLogs();
        if (c.from != nullptr) {
            os.SendMessageA(c.from, WM_CONTEXTMENU, 0, MAKELPARAM(c.at.x & 0xFFFF, c.at.y & 0xFFFF));
        } else {
            Click(IDC_MENU_BUTTON);
        }
        ASSERT_EQ(os.MenuShowings().size(), 1u);
        const auto& shown = os.MenuShowings()[0];
        // The menu button opens it at its lower-left corner, wherever the bar is.
        const RECT button = WindowRect(os.GetDlgItem(bar.m_hWnd, IDC_MENU_BUTTON));
        const POINT at = c.from != nullptr ? c.at : POINT{button.left, button.bottom};
        EXPECT_EQ(shown.x, at.x);
        EXPECT_EQ(shown.y, at.y);
        EXPECT_EQ(shown.checks.at(ID_ALWAYS_ON_TOP), c.onTop ? MF_CHECKED : MF_UNCHECKED);
        EXPECT_EQ(shown.checks.at(ID_AUTO_HIDE), c.autoHide ? MF_CHECKED : MF_UNCHECKED);
    }
}

TEST_F(BarWindowTest, TheMenuTogglesAlwaysOnTopAndAutoHide) {
    CVosselDialog& bar = CreateBar();
    auto choose = [&](UINT id) {
        os.ChooseMenuItem(id);
        os.SendMessageA(bar.m_hWnd, WM_CONTEXTMENU, 0, MAKELPARAM(10, 10));
        os.PumpMessages();
    };
    choose(ID_ALWAYS_ON_TOP);
    EXPECT_FALSE(bar.GetPlacement().bAlwaysOnTop);
    EXPECT_EQ(os.GetWindowLongA(bar.m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    choose(ID_AUTO_HIDE);
    EXPECT_TRUE(bar.GetPlacement().bAutoHide);
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 2 - kDockedHeight, 1024, 2}));
    choose(ID_AUTO_HIDE);
    EXPECT_EQ(os.ReservedRect(bar.m_hWnd), (std::optional<RECT>(RECT{0, 0, 1024, kDockedHeight})));
}

TEST_F(BarWindowTest, TheMenusExitAndTheSystemsCloseEndTheBarAndStoreItsPlacement) {
    for (const bool menu : {true, false}) {
        HWND hwnd = nullptr;
        os.SetModalIdle([&] {
            hwnd = os.FindWindowA(nullptr, "Vossel");
            ASSERT_EQ(os.ReservedRect(hwnd), (std::optional<RECT>(RECT{0, 0, 1024, kDockedHeight})));
            os.ChooseMenuItem(ID_BAR_EXIT);
            os.PostMessageA(hwnd, menu ? WM_CONTEXTMENU : WM_SYSCOMMAND, menu ? 0 : SC_CLOSE, MAKELPARAM(10, 10));
        });
        CVosselDialog dialog;
        EXPECT_EQ(dialog.DoModal(), IDCANCEL) << menu;
        EXPECT_FALSE(os.IsWindow(hwnd));
        EXPECT_FALSE(os.ReservedRect(hwnd).has_value());
        EXPECT_TRUE(os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State Info").has_value());
    }
}

TEST_F(BarWindowTest, ACtrlDragFloatsAUsableCaptionedBarAndADragBackDocksIt) {
    CVosselDialog& bar = CreateBar();
    auto moving = [&](POINT cursor) {
        os.SetCursorPos(cursor);
        RECT rect = WindowRect(bar.m_hWnd);
        os.SendMessageA(bar.m_hWnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&rect));
        // Sized anew with its caption, so the menu button stays in the client area.
        EXPECT_GE(ClientRectOf(bar.m_hWnd).bottom, kBarClientHeight);
        os.SetWindowPos(bar.m_hWnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                        SWP_NOZORDER | SWP_NOACTIVATE);
    };
    os.SendMessageA(bar.m_hWnd, WM_ENTERSIZEMOVE, 0, 0);
    os.SetKeyDown(VK_CONTROL, true);
    moving(POINT{500, 300});
    EXPECT_EQ(os.GetWindowLongA(bar.m_hWnd, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{500 - kFloatingWidth, 300, 500 + kFloatingWidth, 300 + kFloatingHeight}));
    os.SendMessageA(bar.m_hWnd, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(bar.GetPlacement().nEdge, EDGE_FLOATING);
    EXPECT_EQ(ChildRect(os.GetDlgItem(bar.m_hWnd, IDC_MENU_BUTTON)), (RECT{1, 1, 29, kBarClientHeight}));

    os.SetKeyDown(VK_CONTROL, false);
    os.SendMessageA(bar.m_hWnd, WM_ENTERSIZEMOVE, 0, 0);
    moving(POINT{3, 400});
    // The caption goes as soon as an edge is proposed.
    EXPECT_EQ(os.GetWindowLongA(bar.m_hWnd, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU), 0);
    os.SendMessageA(bar.m_hWnd, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 0, kDockedWidth, 768}));
    EXPECT_EQ(os.ReservedRect(bar.m_hWnd), (std::optional<RECT>(RECT{0, 0, kDockedWidth, 768})));
}

TEST_F(BarWindowTest, OnlyAWindowTitledExactlyVosselKeepsTheBarFromStartingAndOleEndsOnlyIfStarted) {
    int targets = -1;
    int tools = -1;
    os.SetModalIdle([&] {
        targets = os.LiveDropTargets();
        tools = os.LiveToolTipTools();
        os.PostMessageA(os.FindWindowA("#32770", "Vossel"), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    os.CreateForeignWindow("SomeClass", "About Vossel", WS_POPUP, 0, RECT{0, 0, 10, 10});
    for (const bool oleFails : {false, true}) {
        if (oleFails) {
            os.FailCall("OleInitialize");
        }
        EXPECT_FALSE(theApp.InitInstance());
        // Without OLE only the drop target is missing.
        EXPECT_EQ(targets, oleFails ? 0 : 1) << oleFails;
        EXPECT_GT(tools, 0) << oleFails;
        EXPECT_EQ(os.OleDepth(), 0) << oleFails;
    }
    EXPECT_TRUE(os.RegistryKeyExists(HKEY_CURRENT_USER, kSettingsKey));
    targets = -1;
    os.ClearLogs();
    os.CreateForeignWindow("SomeClass", "Vossel", WS_POPUP, 0, RECT{0, 0, 10, 10});
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_EQ(targets, -1);
    EXPECT_TRUE(os.AppBarCalls().empty());
}

}  // namespace
