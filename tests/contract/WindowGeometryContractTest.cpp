// Window rectangles, client areas and frames.
#include "tests/contract/ContractFixture.h"

namespace {

constexpr DWORD kBarStyle = WS_POPUP | WS_THICKFRAME;
constexpr DWORD kFloatingStyle = WS_POPUP | WS_THICKFRAME | WS_CAPTION;
constexpr UINT kKeepZOrder = SWP_NOZORDER | SWP_NOACTIVATE;

struct FrameCase {
    const char* name;
    DWORD style;
    DWORD exStyle;
};

const FrameCase kFrameCases[] = {
    {"bare popup", WS_POPUP, 0},
    {"docked bar", kBarStyle, 0},
    {"floating bar", kFloatingStyle, 0},
    {"docked tool window", kBarStyle, WS_EX_TOOLWINDOW},
    {"floating tool window", kFloatingStyle, WS_EX_TOOLWINDOW},
};

class WindowGeometryContract : public ContractTest {};

TEST_F(WindowGeometryContract, SetWindowPosAndMoveWindowPlaceTheWholeWindow) {
    // Off-screen origins are where an auto-hide bar waits.
    const RECT targets[] = {{10, 20, 250, 70}, {0, 0, 640, 48}, {-40, 100, 6, 400}, {300, 500, 700, 560}};
    const HWND hwnd = MakeWindow(kBarStyle);
    ASSERT_NE(hwnd, nullptr);
    for (const RECT& target : targets) {
        SCOPED_TRACE(testing::Message() << target.left << "," << target.top << " " << Width(target) << "x"
                                        << Height(target));
        ASSERT_TRUE(
            Os().win.SetWindowPos(hwnd, nullptr, target.left, target.top, Width(target), Height(target), kKeepZOrder));
        RECT actual = WindowRect(hwnd);
        EXPECT_EQ(actual.left, target.left);
        EXPECT_EQ(actual.top, target.top);
        EXPECT_EQ(actual.right, target.right);
        EXPECT_EQ(actual.bottom, target.bottom);

        ASSERT_TRUE(
            Os().win.MoveWindow(hwnd, target.left + 7, target.top + 5, Width(target) + 3, Height(target) + 2, TRUE));
        actual = WindowRect(hwnd);
        EXPECT_EQ(actual.left, target.left + 7);
        EXPECT_EQ(actual.top, target.top + 5);
        EXPECT_EQ(Width(actual), Width(target) + 3);
        EXPECT_EQ(Height(actual), Height(target) + 2);
    }
}

TEST_F(WindowGeometryContract, NoMoveAndNoSizeKeepTheirPart) {
    const HWND hwnd = MakeWindow(kBarStyle, 0, RECT{50, 60, 250, 160});
    ASSERT_NE(hwnd, nullptr);

    ASSERT_TRUE(Os().win.SetWindowPos(hwnd, nullptr, 400, 300, 120, 90, kKeepZOrder | SWP_NOMOVE));
    RECT actual = WindowRect(hwnd);
    EXPECT_EQ(actual.left, 50);
    EXPECT_EQ(actual.top, 60);
    EXPECT_EQ(Width(actual), 120);
    EXPECT_EQ(Height(actual), 90);

    ASSERT_TRUE(Os().win.SetWindowPos(hwnd, nullptr, 400, 300, 10, 10, kKeepZOrder | SWP_NOSIZE));
    actual = WindowRect(hwnd);
    EXPECT_EQ(actual.left, 400);
    EXPECT_EQ(actual.top, 300);
    EXPECT_EQ(Width(actual), 120);
    EXPECT_EQ(Height(actual), 90);
}

TEST_F(WindowGeometryContract, ClientAreaIsTheWindowLessTheAdjustedFrame) {
    for (const FrameCase& c : kFrameCases) {
        SCOPED_TRACE(c.name);
        const HWND hwnd = MakeWindow(c.style, c.exStyle, RECT{60, 70, 300, 230});
        ASSERT_NE(hwnd, nullptr);
        // The frame of the style the window really has, as the program asks for it.
        const RECT frame = Frame(Style(hwnd), ExStyle(hwnd));
        const RECT window = WindowRect(hwnd);
        const RECT client = ClientRect(hwnd);

        EXPECT_EQ(client.left, 0);
        EXPECT_EQ(client.top, 0);
        EXPECT_EQ(Width(client), Width(window) - Width(frame));
        EXPECT_EQ(Height(client), Height(window) - Height(frame));

        POINT origin{0, 0};
        ASSERT_TRUE(Os().win.ClientToScreen(hwnd, &origin));
        EXPECT_EQ(origin.x, window.left - frame.left);
        EXPECT_EQ(origin.y, window.top - frame.top);
    }
}

TEST_F(WindowGeometryContract, FramesGrowWithThickFrameAndCaption) {
    const RECT none = Frame(WS_POPUP, 0);
    const RECT thick = Frame(kBarStyle, 0);
    const RECT captioned = Frame(kFloatingStyle, 0);
    const RECT toolCaptioned = Frame(kFloatingStyle, WS_EX_TOOLWINDOW);

    EXPECT_EQ(none.left, 0);
    EXPECT_EQ(none.top, 0);
    EXPECT_EQ(none.right, 0);
    EXPECT_EQ(none.bottom, 0);
    // A thick frame is the same on all four sides.
    EXPECT_LT(thick.left, 0);
    EXPECT_EQ(thick.top, thick.left);
    EXPECT_EQ(thick.right, -thick.left);
    EXPECT_EQ(thick.bottom, -thick.left);
    // A caption makes the top thicker than the other sides; a tool window's
    // caption is no taller than an ordinary one.
    for (const RECT& frame : {captioned, toolCaptioned}) {
        EXPECT_LT(frame.top, thick.top);
        EXPECT_LT(frame.top, -frame.bottom);
        EXPECT_EQ(frame.left, -frame.right);
        EXPECT_EQ(frame.left, -frame.bottom);
    }
    EXPECT_GE(toolCaptioned.top, captioned.top);
}

TEST_F(WindowGeometryContract, StyleChangeTakesEffectWithFrameChanged) {
    const HWND hwnd = MakeWindow(kFloatingStyle, WS_EX_TOOLWINDOW, RECT{100, 100, 300, 200});
    ASSERT_NE(hwnd, nullptr);
    const RECT window = WindowRect(hwnd);
    const DWORD captioned = Style(hwnd);
    ASSERT_EQ(captioned & WS_CAPTION, WS_CAPTION);

    const DWORD previous =
        static_cast<DWORD>(Os().win.SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(captioned & ~WS_CAPTION)));
    EXPECT_EQ(previous, captioned);
    EXPECT_EQ(Style(hwnd) & WS_CAPTION, 0u);

    const UINT frameChanged = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
    ASSERT_TRUE(Os().win.SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, frameChanged));
    RECT bare = Frame(Style(hwnd), ExStyle(hwnd));
    RECT client = ClientRect(hwnd);
    EXPECT_EQ(WindowRect(hwnd).top, window.top);
    EXPECT_EQ(Height(WindowRect(hwnd)), Height(window));
    EXPECT_EQ(Height(client), Height(window) - Height(bare));
    EXPECT_EQ(Width(client), Width(window) - Width(bare));

    Os().win.SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(captioned));
    ASSERT_TRUE(Os().win.SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, frameChanged));
    const RECT withCaption = Frame(Style(hwnd), ExStyle(hwnd));
    client = ClientRect(hwnd);
    EXPECT_EQ(Height(client), Height(window) - Height(withCaption));
    EXPECT_LT(Height(client), Height(window) - Height(bare));
}

TEST_F(WindowGeometryContract, ClientAndScreenPointsRoundTrip) {
    const HWND hwnd = MakeWindow(kFloatingStyle, WS_EX_TOOLWINDOW, RECT{130, 90, 330, 260});
    ASSERT_NE(hwnd, nullptr);
    const POINT points[] = {{0, 0}, {15, 8}, {-20, -3}, {500, 700}};
    POINT origin{0, 0};
    ASSERT_TRUE(Os().win.ClientToScreen(hwnd, &origin));
    for (const POINT& p : points) {
        SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
        POINT screen = p;
        ASSERT_TRUE(Os().win.ClientToScreen(hwnd, &screen));
        EXPECT_EQ(screen.x, origin.x + p.x);
        EXPECT_EQ(screen.y, origin.y + p.y);
        POINT back = screen;
        ASSERT_TRUE(Os().win.ScreenToClient(hwnd, &back));
        EXPECT_EQ(back.x, p.x);
        EXPECT_EQ(back.y, p.y);
    }
}

TEST_F(WindowGeometryContract, ChildPositionsAreInTheParentsClientArea) {
    const HWND parent = MakeWindow(kFloatingStyle, WS_EX_TOOLWINDOW, RECT{200, 150, 420, 300});
    ASSERT_NE(parent, nullptr);
    const HWND child = MakeChild(parent, "BUTTON", 1009, RECT{1, 1, 23, 13});
    ASSERT_NE(child, nullptr);
    POINT origin{0, 0};
    ASSERT_TRUE(Os().win.ClientToScreen(parent, &origin));

    RECT rect = WindowRect(child);
    EXPECT_EQ(rect.left, origin.x + 1);
    EXPECT_EQ(rect.top, origin.y + 1);
    EXPECT_EQ(Width(rect), 22);
    EXPECT_EQ(Height(rect), 12);

    ASSERT_TRUE(Os().win.MoveWindow(child, 26, 1, 22, 30, TRUE));
    rect = WindowRect(child);
    EXPECT_EQ(rect.left, origin.x + 26);
    EXPECT_EQ(rect.top, origin.y + 1);
    EXPECT_EQ(Height(rect), 30);

    // Moving the parent carries the child along.
    ASSERT_TRUE(Os().win.SetWindowPos(parent, nullptr, 10, 10, 0, 0, kKeepZOrder | SWP_NOSIZE));
    POINT moved{0, 0};
    ASSERT_TRUE(Os().win.ClientToScreen(parent, &moved));
    EXPECT_EQ(WindowRect(child).left, moved.x + 26);
}

TEST_F(WindowGeometryContract, TrackingLimitsBoundSizesOfThickFramedWindows) {
    RecordingWnd wnd;
    wnd.m_bLimitTracking = true;
    wnd.m_ptMinTrack = POINT{120, 60};
    wnd.m_ptMaxTrack = POINT{400, 300};
    const HWND hwnd =
        Os().win.CreateWindowExA(0, kContractWindowClass, "", kBarStyle, 50, 50, 200, 100, nullptr, 0, &wnd);
    ASSERT_NE(hwnd, nullptr);

    ASSERT_TRUE(Os().win.SetWindowPos(hwnd, nullptr, 0, 0, 30, 20, kKeepZOrder | SWP_NOMOVE));
    EXPECT_EQ(Width(WindowRect(hwnd)), 120);
    EXPECT_EQ(Height(WindowRect(hwnd)), 60);
    EXPECT_TRUE(wnd.Received(WM_GETMINMAXINFO));

    ASSERT_TRUE(Os().win.MoveWindow(hwnd, 0, 0, 1000, 900, TRUE));
    EXPECT_EQ(Width(WindowRect(hwnd)), 400);
    EXPECT_EQ(Height(WindowRect(hwnd)), 300);

    ASSERT_TRUE(Os().win.SetWindowPos(hwnd, nullptr, 0, 0, 250, 70, kKeepZOrder | SWP_NOMOVE));
    EXPECT_EQ(Width(WindowRect(hwnd)), 250);
    EXPECT_EQ(Height(WindowRect(hwnd)), 70);
}

TEST_F(WindowGeometryContract, WorkAreaLiesWithinTheScreen) {
    const int cx = Os().win.GetSystemMetrics(SM_CXSCREEN);
    const int cy = Os().win.GetSystemMetrics(SM_CYSCREEN);
    ASSERT_GT(cx, 0);
    ASSERT_GT(cy, 0);
    RECT work{0, 0, 0, 0};
    ASSERT_TRUE(Os().win.SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_GE(work.left, 0);
    EXPECT_GE(work.top, 0);
    EXPECT_LE(work.right, cx);
    EXPECT_LE(work.bottom, cy);
    EXPECT_GT(Width(work), 0);
    EXPECT_GT(Height(work), 0);
}

}  // namespace
