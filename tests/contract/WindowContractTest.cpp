// Windows: rectangles, frames and client areas; identity, text and lookup;
// the framework objects bound to them; state and the z-order.
#include <cctype>
#include <cstdint>
#include <cstring>

#include "tests/contract/ContractFixture.h"

namespace {

constexpr DWORD kBarStyle = WS_POPUP | WS_THICKFRAME;
constexpr DWORD kFloatingStyle = WS_POPUP | WS_THICKFRAME | WS_CAPTION;
constexpr UINT kKeepZOrder = SWP_NOZORDER | SWP_NOACTIVATE;
constexpr UINT kZOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;

using WindowContract = ContractTest;

TEST_F(WindowContract, SetWindowPosAndMoveWindowPlaceTheWholeWindow) {
    // Off-screen origins are where an auto-hide bar waits.
    const RECT targets[] = {{10, 20, 250, 70}, {-40, 100, 6, 400}, {300, 500, 700, 560}};
    const HWND hwnd = MakeWindow(kBarStyle);
    for (const RECT& t : targets) {
        ASSERT_TRUE(Os().win.SetWindowPos(hwnd, nullptr, t.left, t.top, Width(t), Height(t), kKeepZOrder));
        EXPECT_EQ(Str(WindowRect(hwnd)), Str(t));
        ASSERT_TRUE(Os().win.MoveWindow(hwnd, t.left + 7, t.top + 5, Width(t) + 3, Height(t) + 2, TRUE));
        EXPECT_EQ(Str(WindowRect(hwnd)), Str(RECT{t.left + 7, t.top + 5, t.right + 10, t.bottom + 7}));
    }
    ASSERT_TRUE(Os().win.SetWindowPos(hwnd, nullptr, 400, 300, 120, 90, kKeepZOrder | SWP_NOMOVE));
    EXPECT_EQ(Str(WindowRect(hwnd)), "307,505,427,595");
    ASSERT_TRUE(Os().win.SetWindowPos(hwnd, nullptr, 400, 300, 10, 10, kKeepZOrder | SWP_NOSIZE));
    EXPECT_EQ(Str(WindowRect(hwnd)), "400,300,520,390");
    // Positions and sizes are held to sixteen bits.
    const HWND popup = MakeWindow(WS_POPUP);
    Os().win.SetWindowPos(popup, nullptr, -2147483647 - 1, 2147483647, 2147483647, 40000, kKeepZOrder);
    EXPECT_EQ(Str(WindowRect(popup)), "-32768,32767,-1,65534");
}

TEST_F(WindowContract, ClientAreaIsTheWindowLessTheAdjustedFrame) {
    const struct {
        DWORD style, exStyle;
    } cases[] = {{WS_POPUP, 0},
                 {kBarStyle, 0},
                 {kFloatingStyle, 0},
                 {kBarStyle, WS_EX_TOOLWINDOW},
                 {kFloatingStyle, WS_EX_TOOLWINDOW}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.style << " " << c.exStyle);
        const HWND hwnd = MakeWindow(c.style, c.exStyle, RECT{60, 70, 300, 230});
        // The frame of the style the window really has, as the program asks for it.
        const RECT frame = Frame(Style(hwnd), Style(hwnd, GWL_EXSTYLE));
        const RECT window = WindowRect(hwnd);
        EXPECT_EQ(Str(ClientRect(hwnd)), Str(RECT{0, 0, Width(window) - Width(frame), Height(window) - Height(frame)}));
        POINT p{15, -3};
        ASSERT_TRUE(Os().win.ClientToScreen(hwnd, &p));
        EXPECT_EQ(p.x, window.left - frame.left + 15);
        EXPECT_EQ(p.y, window.top - frame.top - 3);
        ASSERT_TRUE(Os().win.ScreenToClient(hwnd, &p));
        EXPECT_EQ(p.x, 15);
        EXPECT_EQ(p.y, -3);
    }
}

TEST_F(WindowContract, FramesGrowWithThickFrameAndCaption) {
    EXPECT_EQ(Str(Frame(WS_POPUP, 0)), "0,0,0,0");
    // A thick frame is the same on all four sides.
    const RECT thick = Frame(kBarStyle, 0);
    EXPECT_LT(thick.left, 0);
    EXPECT_EQ(Str(thick), Str(RECT{thick.left, thick.left, -thick.left, -thick.left}));
    // A caption makes the top thicker than the other sides; a tool window's
    // caption is no taller than an ordinary one.
    const RECT captioned = Frame(kFloatingStyle, 0), tool = Frame(kFloatingStyle, WS_EX_TOOLWINDOW);
    for (const RECT& frame : {captioned, tool}) {
        EXPECT_LT(frame.top, thick.top);
        EXPECT_LT(frame.top, frame.left);
        EXPECT_EQ(Str(frame), Str(RECT{frame.left, frame.top, -frame.left, -frame.left}));
    }
    EXPECT_GE(tool.top, captioned.top);
}

TEST_F(WindowContract, StyleChangeTakesEffectWithFrameChanged) {
    const HWND hwnd = MakeWindow(kFloatingStyle, WS_EX_TOOLWINDOW, RECT{100, 100, 300, 200});
    const DWORD captioned = Style(hwnd);
    const UINT frameChanged = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
    for (const DWORD style : {captioned & ~WS_CAPTION, captioned}) {
        const DWORD previous = Style(hwnd);
        EXPECT_EQ(static_cast<DWORD>(Os().win.SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(style))), previous);
        ASSERT_TRUE(Os().win.SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, frameChanged));
        EXPECT_EQ(Style(hwnd) & WS_CAPTION, style & WS_CAPTION);
        const RECT frame = Frame(Style(hwnd), Style(hwnd, GWL_EXSTYLE));
        EXPECT_EQ(Str(WindowRect(hwnd)), "100,100,300,200");
        EXPECT_EQ(Str(ClientRect(hwnd)), Str(RECT{0, 0, 200 - Width(frame), 100 - Height(frame)}));
    }
}

TEST_F(WindowContract, ChildPositionsAreInTheParentsClientAreaAndMoveWithIt) {
    const HWND parent = MakeWindow(kFloatingStyle, WS_EX_TOOLWINDOW, RECT{200, 150, 420, 300});
    const HWND child = MakeChild(parent, "BUTTON", 1009, RECT{1, 1, 23, 13});
    POINT origin{0, 0};
    ASSERT_TRUE(Os().win.ClientToScreen(parent, &origin));
    EXPECT_EQ(Str(WindowRect(child)), Str(RECT{origin.x + 1, origin.y + 1, origin.x + 23, origin.y + 13}));
    ASSERT_TRUE(Os().win.MoveWindow(child, 26, 1, 22, 30, TRUE));
    ASSERT_TRUE(Os().win.SetWindowPos(parent, nullptr, 10, 10, 0, 0, kKeepZOrder | SWP_NOSIZE));
    origin = POINT{0, 0};
    ASSERT_TRUE(Os().win.ClientToScreen(parent, &origin));
    EXPECT_EQ(Str(WindowRect(child)), Str(RECT{origin.x + 26, origin.y + 1, origin.x + 48, origin.y + 31}));
}

TEST_F(WindowContract, TrackingLimitsBoundSizesOfThickFramedWindows) {
    RecordingWnd wnd;
    wnd.m_bLimitTracking = true;
    wnd.m_ptMinTrack = POINT{120, 60};
    wnd.m_ptMaxTrack = POINT{400, 300};
    const HWND hwnd = MakeWindow(kBarStyle, 0, RECT{50, 50, 250, 150}, "", &wnd);
    ASSERT_TRUE(Os().win.SetWindowPos(hwnd, nullptr, 0, 0, 30, 20, kKeepZOrder | SWP_NOMOVE));
    EXPECT_EQ(Str(WindowRect(hwnd)), "50,50,170,110");
    ASSERT_TRUE(Os().win.MoveWindow(hwnd, 0, 0, 1000, 900, TRUE));
    EXPECT_EQ(Str(WindowRect(hwnd)), "0,0,400,300");
    ASSERT_TRUE(Os().win.SetWindowPos(hwnd, nullptr, 0, 0, 250, 70, kKeepZOrder | SWP_NOMOVE));
    EXPECT_EQ(Str(WindowRect(hwnd)), "0,0,250,70");
}

TEST_F(WindowContract, WorkAreaLiesWithinTheScreen) {
    RECT work{0, 0, 0, 0};
    ASSERT_TRUE(Os().win.SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_GE(work.left, 0);
    EXPECT_GE(work.top, 0);
    EXPECT_LE(work.right, Os().win.GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(work.bottom, Os().win.GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GT(Width(work), 0);
    EXPECT_GT(Height(work), 0);
}

TEST_F(WindowContract, WindowTextIsStoredWholeAndReadToTheBuffer) {
    const HWND hwnd = MakeWindow(WS_POPUP | WS_CAPTION);
    for (const std::string& text : {std::string(), std::string("Copy Files To..."), std::string(300, 'x')}) {
        ASSERT_TRUE(Os().win.SetWindowTextA(hwnd, text.c_str()));
        EXPECT_EQ(Os().win.GetWindowTextLengthA(hwnd), static_cast<int>(text.size()));
        EXPECT_EQ(Text(hwnd), text);
    }
    Os().win.SetWindowTextA(hwnd, "Vossel");
    const struct {
        int size, copied;
        const char* text;
    } cases[] = {{7, 6, "Vossel"}, {6, 5, "Vosse"}, {1, 0, ""}};
    for (const auto& c : cases) {
        char buffer[16];
        std::fill(buffer, buffer + 16, '#');
        EXPECT_EQ(Os().win.GetWindowTextA(hwnd, buffer, c.size), c.copied);
        EXPECT_STREQ(buffer, c.text);
    }
}

TEST_F(WindowContract, ChildrenAreFoundByControlIdAndReportTheirClass) {
    const HWND parent = MakeWindow(WS_POPUP | WS_THICKFRAME);
    for (const int id : {1009, 2683, 2684}) {
        const HWND child = MakeChild(parent, "BUTTON", static_cast<UINT>(id), RECT{1, 1, 23, 13});
        EXPECT_EQ(Os().win.GetDlgItem(parent, id), child);
        EXPECT_EQ(Os().win.GetDlgCtrlID(child), id);
        EXPECT_EQ(Os().win.GetParent(child), parent);
    }
    EXPECT_EQ(Os().win.GetDlgItem(parent, 2685), nullptr);
    EXPECT_EQ(Os().win.GetParent(parent), nullptr);
    // The system spells its own classes its own way; callers compare without case.
    char name[64] = {};
    ASSERT_GT(Os().win.GetClassNameA(Os().win.GetDlgItem(parent, 1009), name, 64), 0);
    std::transform(name, name + std::strlen(name), name, [](char c) { return static_cast<char>(std::tolower(c)); });
    EXPECT_STREQ(name, "button");
    ASSERT_GT(Os().win.GetClassNameA(parent, name, 64), 0);
    EXPECT_STREQ(name, kContractWindowClass);
}

TEST_F(WindowContract, FindWindowMatchesOnlyTheExactTopLevelTitle) {
    const char title[] = "Vossel contract window";
    const HWND hwnd = MakeWindow(WS_POPUP, 0, RECT{0, 0, 50, 50}, title);
    EXPECT_EQ(Os().win.FindWindowA(nullptr, title), hwnd);
    EXPECT_EQ(Os().win.FindWindowA(kContractWindowClass, title), hwnd);
    EXPECT_EQ(Os().win.FindWindowA("NoSuchVosselClass", title), nullptr);
    for (const char* other : {"Vossel contract windo", "Vossel contract window ", "Vossel"}) {
        EXPECT_EQ(Os().win.FindWindowA(nullptr, other), nullptr) << other;
    }
    // A child with the title does not count.
    const HWND child = MakeChild(hwnd, "BUTTON", 7, RECT{0, 0, 10, 10});
    ASSERT_TRUE(Os().win.SetWindowTextA(child, "Vossel contract child"));
    EXPECT_EQ(Os().win.FindWindowA(nullptr, "Vossel contract child"), nullptr);
    ASSERT_TRUE(Os().win.DestroyWindow(hwnd));
    EXPECT_EQ(Os().win.FindWindowA(nullptr, title), nullptr);
}

TEST_F(WindowContract, RegisteredMessagesAndTimers) {
    const UINT notify = Os().win.RegisterWindowMessageA("AppBarNotify");
    EXPECT_GE(notify, 0xC000u);
    EXPECT_EQ(Os().win.RegisterWindowMessageA("AppBarNotify"), notify);
    EXPECT_NE(Os().win.RegisterWindowMessageA("VosselContractMessage"), notify);

    const HWND hwnd = MakeWindow(WS_POPUP);
    EXPECT_NE(Os().win.SetTimer(hwnd, 1, 400), 0u);
    EXPECT_NE(Os().win.SetTimer(hwnd, 1, 100), 0u);  // replaces it
    EXPECT_TRUE(Os().win.KillTimer(hwnd, 1));
    EXPECT_FALSE(Os().win.KillTimer(hwnd, 1));
    EXPECT_FALSE(Os().win.KillTimer(hwnd, 2));
}

TEST_F(WindowContract, ObjectSeesItsWindowFromCreationToDestruction) {
    RecordingWnd wnd;
    const HWND hwnd = MakeWindow(kBarStyle, WS_EX_TOOLWINDOW, RECT{40, 40, 240, 100}, "Vossel", &wnd);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(wnd.m_hWnd, hwnd);
    EXPECT_EQ(Os().win.FromHandle(hwnd), &wnd);
    ASSERT_TRUE(wnd.Received(WM_NCCREATE));
    EXPECT_LT(wnd.IndexOf(WM_NCCREATE), wnd.IndexOf(WM_CREATE));

    ASSERT_TRUE(Os().win.SetWindowPos(hwnd, nullptr, 0, 0, 260, 90, kKeepZOrder | SWP_NOMOVE));
    const RECT client = ClientRect(hwnd);
    EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(wnd.m_lastSize)), Width(client));
    EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(wnd.m_lastSize)), Height(client));

    // A control of a system class is bound from its creation, and goes with its parent.
    RecordingWnd button;
    const HWND buttonHwnd = MakeChild(hwnd, "BUTTON", 2683, RECT{1, 1, 23, 13}, &button);
    EXPECT_EQ(button.m_hWnd, buttonHwnd);
    EXPECT_TRUE(button.Received(WM_CREATE));
    EXPECT_EQ(Os().win.FromHandle(buttonHwnd), &button);

    // Messages left to the default get the system's processing.
    for (RecordingWnd* object : {&wnd, &button}) {
        Os().win.SendMessageA(object->m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("C:"));
        EXPECT_EQ(object->GetWindowText(), "C:");
    }

    wnd.m_messages.clear();
    ASSERT_TRUE(Os().win.DestroyWindow(hwnd));
    for (RecordingWnd* object : {&wnd, &button}) {
        ASSERT_TRUE(object->Received(WM_DESTROY));
        EXPECT_LT(object->IndexOf(WM_DESTROY), object->IndexOf(WM_NCDESTROY));
        EXPECT_EQ(object->m_messages.back(), WM_NCDESTROY);
        EXPECT_EQ(object->m_hWnd, nullptr);
    }
    EXPECT_FALSE(Os().win.IsWindow(buttonHwnd));
    EXPECT_EQ(Os().win.FromHandle(hwnd), nullptr);
}

TEST_F(WindowContract, SubclassingBindsAnExistingControlOnce) {
    const HWND parent = MakeWindow(WS_POPUP);
    const HWND control = MakeChild(parent, "BUTTON", 1009, RECT{0, 0, 20, 20});
    EXPECT_EQ(Os().win.FromHandle(control), nullptr);
    EXPECT_EQ(Os().win.FromHandle(Os().win.GetDesktopWindow()), nullptr);
    RecordingWnd first, second;
    ASSERT_TRUE(first.SubclassWindow(control));
    EXPECT_EQ(Os().win.FromHandle(control), &first);
    Os().win.SendMessageA(control, WM_USER + 1, 0, 0);
    EXPECT_TRUE(first.Received(WM_USER + 1));
    EXPECT_FALSE(second.SubclassWindow(control));
    EXPECT_EQ(second.m_hWnd, nullptr);
    EXPECT_EQ(Os().win.FromHandle(control), &first);
    ASSERT_TRUE(Os().win.DestroyWindow(parent));
    EXPECT_TRUE(first.Received(WM_NCDESTROY));
    EXPECT_EQ(first.m_hWnd, nullptr);
}

TEST_F(WindowContract, AnObjectGoingAwayTakesItsWindowAlong) {
    HWND hwnd = nullptr;
    {
        RecordingWnd wnd;
        hwnd = MakeWindow(WS_POPUP, 0, RECT{0, 0, 10, 10}, "", &wnd);
        ASSERT_NE(hwnd, nullptr);
    }
    EXPECT_FALSE(Os().win.IsWindow(hwnd));
}

TEST_F(WindowContract, MinimisedUntilRestoredWhateverItsPosition) {
    const HWND hwnd = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Os().win.ShowWindow(hwnd, SW_MINIMIZE);
    EXPECT_NE(Style(hwnd) & WS_MINIMIZE, 0u);
    Os().win.SetWindowPos(hwnd, nullptr, 0, 0, 200, 150, kKeepZOrder);
    EXPECT_NE(Style(hwnd) & WS_MINIMIZE, 0u);
    Os().win.ShowWindow(hwnd, SW_RESTORE);
    EXPECT_EQ(Style(hwnd) & WS_MINIMIZE, 0u);
    EXPECT_EQ(Os().win.DefaultProc(hwnd, WM_QUERYENDSESSION, 0, 0), TRUE);
}

class WindowZOrderContract : public ContractTest {
protected:
    // The place of each window in EnumWindows order, checking on the way that
    // the topmost band comes first.
    static std::vector<int> Places(std::initializer_list<HWND> windows) {
        const std::vector<HWND> order = TopLevelWindows();
        bool inBand = true;
        for (const HWND hwnd : order) {
            inBand = inBand && IsTopmost(hwnd);
            EXPECT_TRUE(inBand || !IsTopmost(hwnd)) << "a topmost window below a non-topmost one";
        }
        std::vector<int> places;
        for (const HWND hwnd : windows) {
            places.push_back(static_cast<int>(std::find(order.begin(), order.end(), hwnd) - order.begin()));
        }
        places.push_back(static_cast<int>(order.size()) - 1);  // the last place
        return places;
    }
    static bool IsTopmost(HWND hwnd) { return (Style(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
    void ZOrder(HWND hwnd, HWND after, UINT flags = kZOrderOnly) {
        ASSERT_TRUE(Os().win.SetWindowPos(hwnd, after, 20, 30, 50, 40, flags));
    }
};

TEST_F(WindowZOrderContract, TopmostNotTopmostAndBottomMoveTheWindowInTheOrder) {
    const HWND first = MakeWindow(WS_POPUP), second = MakeWindow(WS_POPUP), third = MakeWindow(WS_POPUP);
    // A new window goes on top of the ordinary ones.
    auto places = Places({first, second, third});
    EXPECT_LT(places[1], places[0]);
    ZOrder(first, HWND_TOPMOST);
    EXPECT_TRUE(IsTopmost(first));
    places = Places({first, third});
    EXPECT_LT(places[0], places[1]);
    // Leaving the band puts it at the top of the ordinary windows.
    ZOrder(first, HWND_NOTOPMOST);
    EXPECT_FALSE(IsTopmost(first));
    places = Places({first, third});
    EXPECT_LT(places[0], places[1]);
    ZOrder(second, HWND_BOTTOM);
    places = Places({second, first, third});
    EXPECT_EQ(places[0], places[3]);
    EXPECT_LT(places[1], places[2]);  // the others keep their order
    // A topmost window sent to the bottom loses its topmost state.
    ZOrder(first, HWND_TOPMOST);
    ZOrder(first, HWND_BOTTOM);
    EXPECT_FALSE(IsTopmost(first));
    places = Places({first});
    EXPECT_EQ(places[0], places[1]);
    // SWP_NOZORDER keeps the order whatever the insert-after says.
    ZOrder(third, HWND_TOPMOST, SWP_NOACTIVATE | SWP_NOZORDER);
    EXPECT_FALSE(IsTopmost(third));
    places = Places({second, third});
    EXPECT_LT(places[1], places[0]);
}

TEST_F(WindowZOrderContract, AWindowWithToolTipsLeavesTheBandAndJoinsItAgain) {
    CWnd owner;
    const HWND hwnd = MakeWindow(WS_POPUP | WS_VISIBLE, 0, RECT{100, 80, 340, 240}, "", &owner);
    const HWND other = MakeWindow(WS_POPUP | WS_VISIBLE);
    ASSERT_TRUE(owner.EnableToolTips(TRUE));
    for (const bool topmost : {true, false, true, false}) {
        ZOrder(hwnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST);
        EXPECT_EQ(IsTopmost(hwnd), topmost);
        const auto places = Places({hwnd, other});
        EXPECT_LT(places[0], places[1]);
    }
}

}  // namespace
