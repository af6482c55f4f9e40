#include <gtest/gtest.h>

#include "app/VosselApp.h"
#include "bar/BarLayout.h"
#include "resources/resource.h"
#include "tests/support/BarFixture.h"

extern CVosselApp theApp;

namespace {

// The template's client area with a 3-pixel thick frame and no caption.
constexpr LONG kDockedHeight = kBarClientHeight + 6;
constexpr LONG kDockedWidth = kBarClientWidth + 6;

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
    EXPECT_EQ(placement.rcFloating, (RECT{0, 0, 2 * kDockedWidth, kDockedHeight}));
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

TEST_F(BarWindowTest, StartsEvenWhenOleCannotBeInitialised) {
    os.FailCall("OleInitialize");
    bool ran = false;
    os.SetModalIdle([&] {
        ran = true;
        os.PostMessageA(os.FindWindowA(nullptr, "Vossel"), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    theApp.InitInstance();
    EXPECT_TRUE(ran);
}

TEST_F(BarWindowTest, AnUncreatableBarEndsTheProgramQuietly) {
    os.FailCall("DialogBoxParamA");
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_TRUE(os.MessageBoxes().empty());
}

}  // namespace
