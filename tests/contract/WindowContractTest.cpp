// Windows: rectangles, frames and client areas; identity, text and lookup;
// the framework objects bound to them; state and the z-order.
#include <functional>

#include "tests/contract/ContractFixture.h"

namespace {

constexpr DWORD kBarStyle = WS_POPUP | WS_THICKFRAME;
constexpr DWORD kFloatingStyle = WS_POPUP | WS_THICKFRAME | WS_CAPTION;
constexpr UINT kKeepZOrder = SWP_NOZORDER | SWP_NOACTIVATE;
constexpr UINT kZOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;

using WindowContract = ContractTest;
constexpr char kTitle[] = "Vossel contract window";

TEST_F(WindowContract, WindowsArePlacedWholeAndFramesAndClientAreasFollowTheStyle) {
    EXPECT_EQ(Str(Frame(WS_POPUP, 0)), "0,0,0,0");
    // A thick frame is the same on all four sides.
    const RECT thick = Frame(kBarStyle, 0);
    EXPECT_LT(thick.left, 0);
    EXPECT_EQ(Str(thick), Str(RECT{thick.left, thick.left, -thick.left, -thick.left}));
    // A caption thickens the top; a tool window's is no taller than another's.
    const RECT captioned = Frame(kFloatingStyle, 0), tool = Frame(kFloatingStyle, WS_EX_TOOLWINDOW);
    for (const RECT& frame : {captioned, tool}) {
        EXPECT_LT(frame.top, thick.top);
        EXPECT_LT(frame.top, frame.left);
        EXPECT_EQ(Str(frame), Str(RECT{frame.left, frame.top, -frame.left, -frame.left}));
    }
    EXPECT_GE(tool.top, captioned.top);
    const DWORD styles[] = {WS_POPUP, kBarStyle, kFloatingStyle};
    for (const DWORD c : {0, 1, 2, 3, 4, 5}) {
        SCOPED_TRACE(c);
        const HWND hwnd = MakeWindow(styles[c % 3], c < 3 ? 0 : WS_EX_TOOLWINDOW, RECT{60, 70, 300, 230});
        // The frame of the style the window really has, as the program asks for it.
        const RECT frame = Frame(Style(hwnd), Style(hwnd, GWL_EXSTYLE));
        const RECT window = WindowRect(hwnd);
        EXPECT_EQ(Str(ClientRect(hwnd)), Str(RECT{0, 0, Width(window) - Width(frame), Height(window) - Height(frame)}));
        POINT p{15, -3};
        ASSERT_TRUE(Os().win.ClientToScreen(hwnd, &p));
        EXPECT_EQ(Str(RECT{p.x, p.y, 0, 0}),
                  Str(RECT{window.left - frame.left + 15, window.top - frame.top - 3, 0, 0}));
        ASSERT_TRUE(Os().win.ScreenToClient(hwnd, &p));
        EXPECT_EQ(Str(RECT{p.x, p.y, 0, 0}), "15,-3,0,0");
    }
    // A style change takes effect with SWP_FRAMECHANGED.
    const HWND hwnd = MakeWindow(kFloatingStyle, WS_EX_TOOLWINDOW, RECT{100, 100, 300, 200});
    const DWORD withCaption = Style(hwnd);
    const UINT frameChanged = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
    for (const DWORD style : {withCaption & ~WS_CAPTION, withCaption}) {
        const DWORD previous = Style(hwnd);
        EXPECT_EQ(static_cast<DWORD>(Os().win.SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(style))), previous);
        ASSERT_TRUE(Os().win.SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, frameChanged));
        EXPECT_EQ(Style(hwnd) & WS_CAPTION, style & WS_CAPTION);
        const RECT frame = Frame(Style(hwnd), Style(hwnd, GWL_EXSTYLE));
        EXPECT_EQ(Str(WindowRect(hwnd)), "100,100,300,200");
        EXPECT_EQ(Str(ClientRect(hwnd)), Str(RECT{0, 0, 200 - Width(frame), 100 - Height(frame)}));
    }
    // Tracking limits bound the sizes of thick-framed windows.
    RecordingWnd wnd;
    wnd.m_bLimitTracking = true;
    wnd.m_ptMinTrack = POINT{120, 60};
    wnd.m_ptMaxTrack = POINT{400, 300};
    const HWND tracked = MakeWindow(kBarStyle, 0, RECT{50, 50, 250, 150}, "", &wnd);
    ASSERT_TRUE(Os().win.SetWindowPos(tracked, nullptr, 0, 0, 30, 20, kKeepZOrder | SWP_NOMOVE));
    EXPECT_EQ(Str(WindowRect(tracked)), "50,50,170,110");
    ASSERT_TRUE(Os().win.MoveWindow(tracked, 0, 0, 1000, 900, TRUE));
    EXPECT_EQ(Str(WindowRect(tracked)), "0,0,400,300");
    ASSERT_TRUE(Os().win.SetWindowPos(tracked, nullptr, 0, 0, 250, 70, kKeepZOrder | SWP_NOMOVE));
    EXPECT_EQ(Str(WindowRect(tracked)), "0,0,250,70");
    // SetWindowPos and MoveWindow place the whole window.
    // Off-screen origins are where an auto-hide bar waits.
    const RECT targets[] = {{10, 20, 250, 70}, {-40, 100, 6, 400}, {300, 500, 700, 560}};
    const HWND placed = MakeWindow(kBarStyle);
    for (const RECT& t : targets) {
        ASSERT_TRUE(Os().win.SetWindowPos(placed, nullptr, t.left, t.top, Width(t), Height(t), kKeepZOrder));
        EXPECT_EQ(Str(WindowRect(placed)), Str(t));
        ASSERT_TRUE(Os().win.MoveWindow(placed, t.left + 7, t.top + 5, Width(t) + 3, Height(t) + 2, TRUE));
        EXPECT_EQ(Str(WindowRect(placed)), Str(RECT{t.left + 7, t.top + 5, t.right + 10, t.bottom + 7}));
    }
    ASSERT_TRUE(Os().win.SetWindowPos(placed, nullptr, 400, 300, 120, 90, kKeepZOrder | SWP_NOMOVE));
    EXPECT_EQ(Str(WindowRect(placed)), "307,505,427,595");
    ASSERT_TRUE(Os().win.SetWindowPos(placed, nullptr, 400, 300, 10, 10, kKeepZOrder | SWP_NOSIZE));
    EXPECT_EQ(Str(WindowRect(placed)), "400,300,520,390");
    // Positions and sizes are held to sixteen bits.
    const HWND popup = MakeWindow(WS_POPUP);
    Os().win.SetWindowPos(popup, nullptr, -2147483647 - 1, 2147483647, 2147483647, 40000, kKeepZOrder);
    EXPECT_EQ(Str(WindowRect(popup)), "-32768,32767,-1,65534");
    // A window is minimised until restored, whatever its position; timers start and stop.
    const HWND overlapped = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    EXPECT_NE(Os().win.SetTimer(overlapped, 1, 400), 0u);
    EXPECT_NE(Os().win.SetTimer(overlapped, 1, 100), 0u);  // replaces it
    EXPECT_TRUE(Os().win.KillTimer(overlapped, 1));
    EXPECT_FALSE(Os().win.KillTimer(overlapped, 1));
    EXPECT_FALSE(Os().win.IsIconic(overlapped));
    Os().win.ShowWindow(overlapped, SW_MINIMIZE);
    EXPECT_NE(Style(overlapped) & WS_MINIMIZE, 0u);
    Os().win.SetWindowPos(overlapped, nullptr, 0, 0, 200, 150, kKeepZOrder);
    EXPECT_NE(Style(overlapped) & WS_MINIMIZE, 0u);
    EXPECT_TRUE(Os().win.IsIconic(overlapped));
    Os().win.ShowWindow(overlapped, SW_RESTORE);
    EXPECT_EQ(Style(overlapped) & WS_MINIMIZE, 0u);
    EXPECT_FALSE(Os().win.IsIconic(overlapped));
    EXPECT_EQ(Os().win.DefaultProc(overlapped, WM_QUERYENDSESSION, 0, 0), TRUE);
}

TEST_F(WindowContract, AWindowsFrameIsTheOneAskedForAtItsScaleAndBarsAndCaptionsGrowWithTheScale) {
    const auto FrameAt = [](DWORD style, DWORD exStyle, UINT dpi) {
        RECT frame{0, 0, 0, 0};
        EXPECT_TRUE(Os().win.AdjustWindowRectExForDpi(&frame, style, FALSE, exStyle, dpi));
        return frame;
    };
    const auto Metric = [](int index, UINT dpi) { return Os().win.GetSystemMetricsForDpi(index, dpi); };
    // On the test screen every window is drawn at the signed-in scale, which the plain calls answer at.
    const HWND probe = MakeWindow(kFloatingStyle, WS_EX_TOOLWINDOW);
    const UINT dpi = Os().win.GetDpiForWindow(probe);
    for (const DWORD style : {kBarStyle, kFloatingStyle}) {
        for (const DWORD exStyle : {0UL, static_cast<unsigned long>(WS_EX_TOOLWINDOW)}) {
            SCOPED_TRACE(testing::Message() << style << " " << exStyle);
            EXPECT_EQ(Str(FrameAt(style, exStyle, dpi)), Str(Frame(style, exStyle)));
            // The window has the frame asked for at its own scale around its client area.
            const HWND hwnd = MakeWindow(style, exStyle, RECT{60, 70, 300, 230});
            const RECT frame = FrameAt(style, exStyle, Os().win.GetDpiForWindow(hwnd));
            EXPECT_EQ(Str(ClientRect(hwnd)), Str(RECT{0, 0, 240 - Width(frame), 160 - Height(frame)}));
        }
    }
    const int indices[] = {SM_CXVSCROLL, SM_CYHSCROLL, SM_CYCAPTION, SM_CYSMCAPTION, SM_CXFRAME,
                           SM_CYFRAME,   SM_CXBORDER,  SM_CYBORDER,  SM_CXDLGFRAME,  SM_CXDOUBLECLK};
    for (const int index : indices) {
        EXPECT_EQ(Metric(index, dpi), Os().win.GetSystemMetrics(index)) << index;
    }
    // At the scales the bar is drawn at: scroll bars scale; a caption is its bar scaled and a line
    // below it that is not; borders, the dialog frame and the double-click area stay; a sizing frame
    // and a caption's depth in the window's frame follow the metrics.
    const auto Scaled = [](int pixels, UINT to) { return static_cast<int>((pixels * static_cast<int>(to) + 48) / 96); };
    RECT previous = FrameAt(kBarStyle, 0, 96);
    for (const UINT at : {96u, 120u, 144u, 192u}) {
        SCOPED_TRACE(at);
        EXPECT_EQ(Metric(SM_CXVSCROLL, at), Scaled(Metric(SM_CXVSCROLL, 96), at));
        EXPECT_EQ(Metric(SM_CYHSCROLL, at), Scaled(Metric(SM_CYHSCROLL, 96), at));
        EXPECT_EQ(Metric(SM_CYCAPTION, at) - 1, Scaled(Metric(SM_CYCAPTION, 96) - 1, at));
        EXPECT_EQ(Metric(SM_CYSMCAPTION, at) - 1, Scaled(Metric(SM_CYSMCAPTION, 96) - 1, at));
        for (const int fixed : {SM_CXBORDER, SM_CYBORDER, SM_CXDLGFRAME, SM_CXDOUBLECLK}) {
            EXPECT_EQ(Metric(fixed, at), Metric(fixed, 96)) << fixed;
        }
        const RECT thick = FrameAt(kBarStyle, 0, at);
        EXPECT_EQ(-thick.left, Metric(SM_CXFRAME, at) - Metric(SM_CXBORDER, at));
        EXPECT_GE(-thick.left, -previous.left);
        EXPECT_LE(-thick.left, Scaled(-FrameAt(kBarStyle, 0, 96).left, at) + 1);
        previous = thick;
        for (const DWORD exStyle : {0UL, static_cast<unsigned long>(WS_EX_TOOLWINDOW)}) {
            const RECT captioned = FrameAt(kFloatingStyle, exStyle, at);
            EXPECT_EQ(captioned.left, -Metric(SM_CXFRAME, at));
            EXPECT_EQ(captioned.left - captioned.top, Metric(exStyle != 0 ? SM_CYSMCAPTION : SM_CYCAPTION, at));
        }
    }
}

TEST_F(WindowContract, ObjectsSeeTheirWindowsWhichAreFoundByIdOrExactTopLevelTitleAndReadTheirText) {
    RecordingWnd recorder;
    const HWND parent = MakeWindow(kFloatingStyle, WS_EX_TOOLWINDOW, RECT{200, 150, 420, 300}, kTitle, &recorder);
    EXPECT_EQ(recorder.m_hWnd, parent);
    EXPECT_EQ(Os().win.FromHandle(parent), &recorder);
    ASSERT_TRUE(recorder.Received(WM_NCCREATE));
    EXPECT_LT(recorder.IndexOf(WM_NCCREATE), recorder.IndexOf(WM_CREATE));
    // A control of a system class is bound from its creation, and goes with its parent.
    RecordingWnd button;
    for (const int id : {1009, 2683, 2684}) {
        const HWND child =
            MakeChild(parent, "BUTTON", static_cast<UINT>(id), RECT{1, 1, 23, 13}, id == 2684 ? &button : nullptr);
        EXPECT_EQ(Os().win.GetDlgItem(parent, id), child);
        EXPECT_EQ(Os().win.GetDlgCtrlID(child), id);
        EXPECT_EQ(Os().win.GetParent(child), parent);
    }
    EXPECT_EQ(Os().win.GetDlgItem(parent, 2685), nullptr);
    EXPECT_EQ(button.m_hWnd, Os().win.GetDlgItem(parent, 2684));
    EXPECT_TRUE(button.Received(WM_CREATE));
    EXPECT_EQ(Os().win.FromHandle(button.m_hWnd), &button);
    // One that exists already is bound by subclassing, once.
    const HWND control = Os().win.GetDlgItem(parent, 1009);
    EXPECT_EQ(Os().win.FromHandle(control), nullptr);
    RecordingWnd first, second;
    ASSERT_TRUE(first.SubclassWindow(control));
    Os().win.SendMessageA(control, WM_USER + 1, 0, 0);
    EXPECT_TRUE(first.Received(WM_USER + 1));
    EXPECT_FALSE(second.SubclassWindow(control));
    EXPECT_EQ(Os().win.FromHandle(control), &first);
    const HWND child = Os().win.GetDlgItem(parent, 2683);
    Os().win.SendMessageA(child, WM_SETCURSOR, reinterpret_cast<WPARAM>(child), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_TRUE(recorder.Received(WM_SETCURSOR));
    EXPECT_EQ(Os().win.GetParent(parent), nullptr);
    // The scale a window is drawn for: 100% on the test screen, and none without a window.
    EXPECT_EQ(Os().win.GetDpiForWindow(parent), 96u);
    EXPECT_EQ(Os().win.GetDpiForWindow(nullptr), 0u);
    // The system spells its own classes its own way; callers compare without case.
    char name[64] = {};
    ASSERT_GT(Os().win.GetClassNameA(Os().win.GetDlgItem(parent, 1009), name, 64), 0);
    EXPECT_STRCASEEQ(name, "button");
    ASSERT_GT(Os().win.GetClassNameA(parent, name, 64), 0);
    EXPECT_STREQ(name, kContractWindowClass);
    EXPECT_EQ(Os().win.FindWindowA(nullptr, kTitle), parent);
    EXPECT_EQ(Os().win.FindWindowA(nullptr, "Vossel contract windo"), nullptr);
    // A child with the title does not count.
    ASSERT_TRUE(Os().win.SetWindowTextA(child, "Vossel contract child"));
    EXPECT_EQ(Os().win.FindWindowA(nullptr, "Vossel contract child"), nullptr);
    // Child positions are in the parent's client area and move with it.
    POINT origin{0, 0};
    ASSERT_TRUE(Os().win.ClientToScreen(parent, &origin));
    EXPECT_EQ(Str(WindowRect(child)), Str(RECT{origin.x + 1, origin.y + 1, origin.x + 23, origin.y + 13}));
    ASSERT_TRUE(Os().win.MoveWindow(child, 26, 1, 22, 30, TRUE));
    ASSERT_TRUE(Os().win.SetWindowPos(parent, nullptr, 10, 10, 0, 0, kKeepZOrder | SWP_NOSIZE));
    origin = POINT{0, 0};
    ASSERT_TRUE(Os().win.ClientToScreen(parent, &origin));
    EXPECT_EQ(Str(WindowRect(child)), Str(RECT{origin.x + 26, origin.y + 1, origin.x + 48, origin.y + 31}));
    const std::string text(300, 'x');
    ASSERT_TRUE(Os().win.SetWindowTextA(parent, text.c_str()));
    EXPECT_EQ(Os().win.GetWindowTextLengthA(parent), 300);
    EXPECT_EQ(Text(parent), text);
    Os().win.SetWindowTextA(parent, "Vossel");
    const struct {
        int size, copied;
        const char* text;
    } cases[] = {{7, 6, "Vossel"}, {6, 5, "Vosse"}, {1, 0, ""}};
    for (const auto& c : cases) {
        char buffer[16] = "###############";
        EXPECT_EQ(Os().win.GetWindowTextA(parent, buffer, c.size), c.copied);
        EXPECT_STREQ(buffer, c.text);
    }
    EXPECT_EQ(Os().win.FindWindowA(nullptr, "Vossel"), parent);
    ASSERT_TRUE(Os().win.SetWindowPos(parent, nullptr, 0, 0, 260, 90, kKeepZOrder | SWP_NOMOVE));
    const RECT client = ClientRect(parent);
    EXPECT_EQ(recorder.m_lastSize, MAKELPARAM(Width(client), Height(client)));
    recorder.m_messages.clear();
    ASSERT_TRUE(Os().win.DestroyWindow(parent));
    EXPECT_EQ(Os().win.FindWindowA(nullptr, "Vossel"), nullptr);
    for (RecordingWnd* object : {&recorder, &button}) {
        ASSERT_TRUE(object->Received(WM_DESTROY));
        EXPECT_LT(object->IndexOf(WM_DESTROY), object->IndexOf(WM_NCDESTROY));
        EXPECT_EQ(object->m_messages.back(), WM_NCDESTROY);
        EXPECT_EQ(object->m_hWnd, nullptr);
    }
    EXPECT_TRUE(first.Received(WM_NCDESTROY));
    EXPECT_EQ(first.m_hWnd, nullptr);
    EXPECT_EQ(Os().win.FromHandle(parent), nullptr);
}

class WindowZOrderContract : public ContractTest {
protected:
    // The given windows ("1" the first) in EnumWindows order; notes the last of
    // all, and checks on the way that the topmost band comes first.
    std::string Order(const std::vector<HWND>& windows) {
        std::vector<HWND> all;
        Os().win.EnumWindows(
            [](HWND hwnd, LPARAM list) {
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&all));
        std::string order;
        bool inBand = true;
        for (const HWND hwnd : all) {
            inBand = inBand && IsTopmost(hwnd);
            EXPECT_TRUE(inBand || !IsTopmost(hwnd)) << "a topmost window below a non-topmost one";
            const auto it = std::find(windows.begin(), windows.end(), hwnd);
            order += it != windows.end() ? std::to_string(it - windows.begin() + 1) : "";
        }
        m_last = all.back();
        return order;
    }
    HWND m_last = nullptr;
    static bool IsTopmost(HWND hwnd) { return (Style(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
    void ZOrder(HWND hwnd, HWND after, UINT flags = kZOrderOnly) {
        ASSERT_TRUE(Os().win.SetWindowPos(hwnd, after, 20, 30, 50, 40, flags));
    }
};

TEST_F(WindowZOrderContract, TopmostNotTopmostAndBottomMoveTheWindowAndToolTipsFollowTheirOwner) {
    const std::vector<HWND> w = {MakeWindow(WS_POPUP), MakeWindow(WS_POPUP), MakeWindow(WS_POPUP)};
    EXPECT_EQ(Order(w), "321");  // a new window goes on top of the ordinary ones
    ZOrder(w[0], HWND_TOPMOST);
    EXPECT_EQ(Order(w), "132");
    EXPECT_TRUE(IsTopmost(w[0]));
    ZOrder(w[0], HWND_NOTOPMOST);  // to the top of the ordinary windows
    EXPECT_EQ(Order(w), "132");
    EXPECT_FALSE(IsTopmost(w[0]));
    ZOrder(w[1], HWND_BOTTOM);
    EXPECT_EQ(Order(w), "132");
    EXPECT_EQ(m_last, w[1]);
    // A topmost window sent to the bottom loses its topmost state.
    ZOrder(w[0], HWND_TOPMOST);
    ZOrder(w[0], HWND_BOTTOM);
    EXPECT_EQ(Order(w), "321");
    EXPECT_EQ(m_last, w[0]);
    EXPECT_FALSE(IsTopmost(w[0]));
    // SWP_NOZORDER keeps the order whatever the insert-after says.
    ZOrder(w[2], HWND_TOPMOST, SWP_NOACTIVATE | SWP_NOZORDER);
    EXPECT_EQ(Order(w), "321");
    EXPECT_FALSE(IsTopmost(w[2]));
    // One tooltip control with a tool for each child, which it watches from a
    // subclass of its own: the children stay bound to their objects. A bar with
    // tips leaves the topmost band and joins it again.
    CWnd owner;
    const std::vector<HWND> t = {MakeWindow(WS_POPUP | WS_VISIBLE, 0, RECT{100, 80, 340, 240}, "", &owner),
                                 MakeWindow(WS_POPUP | WS_VISIBLE)};
    RecordingWnd first, second;
    MakeChild(t[0], "BUTTON", 1009, RECT{1, 1, 23, 16}, &first);
    MakeChild(t[0], "BUTTON", 2683, RECT{26, 1, 48, 16}, &second);
    ASSERT_TRUE(owner.EnableToolTips(TRUE));
    const HWND tip = owner.m_hWndToolTip;
    EXPECT_EQ(Os().win.SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
    owner.RemoveChildToolTip(second.m_hWnd);
    EXPECT_EQ(Os().win.SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    owner.AddChildToolTip(second.m_hWnd);
    EXPECT_EQ(Os().win.SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
    EXPECT_NE(Style(tip) & TTS_ALWAYSTIP, 0u);
    EXPECT_EQ(Os().win.FromHandle(first.m_hWnd), &first);
    EXPECT_EQ(Os().win.FromHandle(second.m_hWnd), &second);
    for (const char* text : {"C:", "", "D", "A longer text of a button"}) {
        first.SetWindowText(text);
        EXPECT_EQ(first.GetWindowText(), text);
    }
    int children = 0;
    Os().win.EnumChildWindows(
        t[0], [](HWND, LPARAM count) { return ++*reinterpret_cast<int*>(count) > 0 ? TRUE : FALSE; },
        reinterpret_cast<LPARAM>(&children));
    EXPECT_EQ(children, 2);
    for (const bool topmost : {true, false, true, false}) {
        ZOrder(t[0], topmost ? HWND_TOPMOST : HWND_NOTOPMOST);
        EXPECT_EQ(IsTopmost(t[0]), topmost);
        EXPECT_EQ(Order(t), "12");
    }
    // Only a child gets a tool; tips switched off take their control and tools
    // along, and nothing is added or removed while they are off; on or off
    // twice is once.
    const struct {
        const char* step;
        std::function<void()> act;
        int tools;  // -1: no tooltip control
    } steps[] = {
        {"another window is no child", [&] { owner.AddChildToolTip(t[1]); }, 2},
        {"on again", [&] { EXPECT_TRUE(owner.EnableToolTips(TRUE)); }, 2},
        {"off", [&] { EXPECT_TRUE(owner.EnableToolTips(FALSE)); }, -1},
        {"off again", [&] { EXPECT_TRUE(owner.EnableToolTips(FALSE)); }, -1},
        {"a child while off",
         [&] {
             owner.RemoveChildToolTip(first.m_hWnd);
             owner.AddChildToolTip(second.m_hWnd);
         },
         -1},
        {"on, for every child", [&] { EXPECT_TRUE(owner.EnableToolTips(TRUE)); }, 2},
    };
    for (const auto& step : steps) {
        const HWND before = owner.m_hWndToolTip;
        step.act();
        const HWND now = owner.m_hWndToolTip;
        EXPECT_EQ(now != nullptr ? static_cast<int>(Os().win.SendMessageA(now, TTM_GETTOOLCOUNT, 0, 0)) : -1,
                  step.tools)
            << step.step;
        EXPECT_TRUE(before == nullptr || before == now || !Os().win.IsWindow(before)) << step.step;
    }
    const HWND lastTip = owner.m_hWndToolTip;
    ASSERT_TRUE(owner.DestroyWindow());
    EXPECT_FALSE(Os().win.IsWindow(lastTip));
    EXPECT_FALSE(Os().win.IsWindow(tip));
    EXPECT_EQ(owner.m_hWndToolTip, nullptr);
}

// A control object that takes one notification of its own; a parent that logs the commands it gets.
class NotifiedWnd : public CWnd {
public:
    static constexpr int kTaken = 0x0300;

protected:
    BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM, LRESULT*) override {
        return msg == WM_COMMAND && HIWORD(wParam) == kTaken;
    }
};

class CommandedWnd : public CWnd {
public:
    std::vector<std::string> m_commands;

protected:
    BOOL OnCmdMsg(UINT id, int code) override {
        m_commands.push_back(std::to_string(id) + ":" + std::to_string(code));
        return TRUE;
    }
};

TEST_F(WindowContract, AParentOffersAControlsNotificationToTheControlsObjectBeforeItsOwnCommands) {
    CommandedWnd parent;
    NotifiedWnd taking;
    CWnd plain;
    const HWND hwnd = MakeWindow(WS_POPUP | WS_VISIBLE, 0, RECT{100, 80, 340, 240}, "", &parent);
    const HWND takingHwnd = MakeChild(hwnd, kContractWindowClass, 11, RECT{0, 0, 20, 20}, &taking);
    const HWND plainHwnd = MakeChild(hwnd, kContractWindowClass, 12, RECT{20, 0, 40, 20}, &plain);
    const struct {
        HWND control;
        UINT id;
        int code;
        const char* commands;  // what reaches the parent's commands
    } cases[] = {{takingHwnd, 11, NotifiedWnd::kTaken, ""},
                 {takingHwnd, 11, NotifiedWnd::kTaken + 1, "11:769"},
                 {plainHwnd, 12, NotifiedWnd::kTaken, "12:768"},
                 {nullptr, 13, 0, "13:0"}};
    for (const auto& c : cases) {
        parent.m_commands.clear();
        Os().win.SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(c.id, static_cast<unsigned>(c.code)),
                              reinterpret_cast<LPARAM>(c.control));
        std::string commands;
        for (const std::string& command : parent.m_commands) {
            commands += command;
        }
        EXPECT_EQ(commands, c.commands) << c.id << " " << c.code;
    }
}

}  // namespace

TEST_F(WindowContract, ARegionCutsWhatOfAWindowTakesTheMouseBelongsToTheWindowAndTellsItsFrameChanged) {
    RecordingWnd wnd;
    const HWND hwnd = MakeWindow(WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST, RECT{200, 150, 400, 190}, "", &wnd);
    RECT box{0, 0, 0, 0};
    EXPECT_EQ(Os().win.GetWindowRgnBox(hwnd, &box), 0);
    const POINT kept{205, 170}, cut{300, 170};
    EXPECT_EQ(Os().win.WindowFromPoint(cut), hwnd);
    const HRGN region = Os().gdi.CreateRectRgn(0, 0, 10, 40);
    ASSERT_NE(region, nullptr);
    wnd.m_messages.clear();
    ASSERT_NE(Os().win.SetWindowRgn(hwnd, region, TRUE), 0);
    EXPECT_TRUE(wnd.Received(WM_WINDOWPOSCHANGED));
    ASSERT_EQ(Os().win.GetWindowRgnBox(hwnd, &box), SIMPLEREGION);
    EXPECT_EQ(Str(box), "0,0,10,40");
    // The region is in window coordinates and moves with the window.
    EXPECT_EQ(Os().win.WindowFromPoint(kept), hwnd);
    EXPECT_NE(Os().win.WindowFromPoint(cut), hwnd);
    ASSERT_TRUE(Os().win.SetWindowPos(hwnd, nullptr, 100, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    EXPECT_EQ(Os().win.WindowFromPoint(POINT{kept.x - 100, kept.y}), hwnd);
    EXPECT_NE(Os().win.WindowFromPoint(kept), hwnd);
    // Null gives the window all of itself back.
    ASSERT_NE(Os().win.SetWindowRgn(hwnd, nullptr, TRUE), 0);
    EXPECT_EQ(Os().win.GetWindowRgnBox(hwnd, &box), 0);
    EXPECT_EQ(Os().win.WindowFromPoint(POINT{cut.x - 100, cut.y}), hwnd);
}

// An owner whose children's tips read "Tip" and a longer second line.
class TipOwner : public CWnd {
protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
        if (msg == WM_NOTIFY && info->hdr.code == TTN_NEEDTEXTA) {
            info->lpszText = const_cast<char*>("Tip\r\nand its second line");
            return 0;
        }
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

TEST_F(WindowContract, TheKeyboardsTipShowsAtOnceInTheSizeItsTextTakesBesideWhereItIsShownAndWithinTheArea) {
    TipOwner owner;
    const HWND hwnd = MakeWindow(WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST, RECT{100, 100, 400, 130}, "", &owner);
    const HWND child = MakeChild(hwnd, "BUTTON", 1009, RECT{10, 2, 40, 28});
    ASSERT_TRUE(owner.EnableToolTips(TRUE));
    const RECT button = WindowRect(child);
    struct Case {
        bool above;
        RECT area;
    };
    // Room to spare; then an area that ends right of the button, and one that ends below it.
    for (const Case& c : {Case{false, {0, 0, 1024, 768}}, Case{true, {0, 0, 1024, 768}},
                          Case{false, {0, 0, button.right + 5, 768}}, Case{false, {0, 0, 1024, button.bottom + 4}}}) {
        SCOPED_TRACE(testing::Message() << c.above << " " << Str(c.area));
        owner.ShowChildToolTip(child, button, c.above, c.area);
        const HWND tip = owner.m_hWndToolTip;
        ASSERT_TRUE(Os().win.IsWindowVisible(tip));
        const RECT shown = WindowRect(tip);
        EXPECT_GT(Height(shown), 20);  // two lines
        EXPECT_TRUE(shown.left >= c.area.left && shown.top >= c.area.top && shown.right <= c.area.right &&
                    shown.bottom <= c.area.bottom)
            << Str(shown);
        if (Width(shown) <= Width(c.area) - button.left && Height(shown) <= c.area.bottom - button.bottom) {
            EXPECT_EQ(shown.left, button.left);
            EXPECT_EQ(c.above ? shown.bottom : shown.top, c.above ? button.top : button.bottom);
        }
    }
    owner.ShowChildToolTip(nullptr, RECT{}, false, RECT{});
    EXPECT_FALSE(Os().win.IsWindowVisible(owner.m_hWndToolTip));
}
