
#include <algorithm>
#include <cstring>
#include <functional>
#include <tuple>

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
constexpr RECT kFloatingAt200{200, 200, 200 + 2 * kFloatingWidth, 200 + kFloatingHeight};

// Placed anew, by default at the first start's thickness.
void Place(CVosselDialog& bar, int edge, BOOL autoHide = FALSE, BOOL onTop = TRUE, RECT floating = {},
           LONG thickness = 0) {
    const LONG w = thickness != 0 ? thickness : kDockedWidth, h = thickness != 0 ? thickness : kDockedHeight;
    const BARPLACEMENT placement{48, edge, autoHide, onTop, {w, h, w, h}, floating};
    bar.SetPlacement(&placement);
}

using BarWindowTest = BarTest;

TEST_F(BarWindowTest, FirstStartDocksAcrossTheTopAtMostHalfTheScreenThickWithItsButtonsInARowOrAColumnByEdgeOrShape) {
    CVosselDialog& bar = CreateBar();
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 0, 1024, kDockedHeight}));
    const LONG w = kDockedWidth, h = kDockedHeight;
    const BARPLACEMENT expected{48, ABE_TOP, FALSE, TRUE, {w, h, w, h}, {0, 0, 2 * kFloatingWidth, kFloatingHeight}};
    EXPECT_EQ(std::memcmp(&bar.GetPlacement(), &expected, sizeof(expected)), 0);
    // It cannot be made thicker than half the screen.
    MINMAXINFO info{};
    os.SendMessageA(bar.m_hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMaxTrackSize, (POINT{1024, 384}));
    // Drive buttons are visible owner-drawn children with centred text.
    for (const auto& drive : bar.DriveButtons()) {
        const DWORD style = static_cast<DWORD>(os.GetWindowLongA(drive->m_hWnd, GWL_STYLE));
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | BS_CENTER | 0xF), WS_CHILD | WS_VISIBLE | BS_CENTER | BS_OWNERDRAW);
    }
    // Every picture, plain and disabled, of the menu button and both drives is mapped from white.
    int pictures = 0;
    for (const auto& call : os.GdiCalls()) {
        if (call.function == "CreateMappedBitmap") {
            ++pictures;
            EXPECT_EQ(call.colorFrom, RGB(255, 255, 255));
        } else if (call.function == "CopyImage") {
            // Each drawn 16 x 16, whatever the size of the resource.
            EXPECT_TRUE(call.cx == 16 && call.cy == 16) << call.cx << " x " << call.cy;
        }
    }
    EXPECT_EQ(pictures, 6);
    ASSERT_EQ(bar.DriveButtons().size(), 2u);
    const HWND menu = os.GetDlgItem(bar.m_hWnd, IDC_MENU_BUTTON);
    EXPECT_EQ(ChildRect(menu), (RECT{1, 1, 29, kBarClientHeight}));
    EXPECT_EQ(ChildRect(bar.DriveButtons()[0]->m_hWnd), (RECT{32, 1, 60, kBarClientHeight}));
    EXPECT_EQ(ChildRect(bar.DriveButtons()[1]->m_hWnd), (RECT{63, 1, 91, kBarClientHeight}));
    // The picture one pixel in, the letters three into it: 1 + 16 - 3, centred in the 2 pixels left.
    std::vector<int> lefts;
    for (const auto& call : Paint(bar.DriveButtons()[0]->m_hWnd)) {
        if (call.function == "DrawStateA") {
            lefts.push_back(call.x);
        }
    }
    EXPECT_EQ(lefts, (std::vector<int>{1, 15}));
    os.ClearLogs();
    Place(bar, ABE_LEFT);
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 0, kDockedWidth, 768}));
    // Each button is drawn anew where it now stands.
    for (HWND button : {menu, bar.DriveButtons()[0]->m_hWnd, bar.DriveButtons()[1]->m_hWnd}) {
        const auto& marks = os.Invalidations();
        EXPECT_NE(std::find(marks.begin(), marks.end(), std::make_pair(button, true)), marks.end());
    }
    EXPECT_EQ(ChildRect(menu), (RECT{1, 1, kBarClientWidth, 16}));
    EXPECT_EQ(ChildRect(bar.DriveButtons()[1]->m_hWnd), (RECT{1, 37, kBarClientWidth, 52}));
    // Floating, wider than tall: a row; taller than wide: a column.
    Place(bar, EDGE_FLOATING, FALSE, TRUE, RECT{200, 200, 400, 260});
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{200, 200, 400, 260}));
    EXPECT_EQ(ChildRect(bar.DriveButtons()[0]->m_hWnd).top, 1);
    Place(bar, EDGE_FLOATING, FALSE, TRUE, RECT{200, 200, 260, 400});
    EXPECT_EQ(ChildRect(bar.DriveButtons()[0]->m_hWnd).left, 1);
    // Docked at its own thickness: no captioned window's minimum height held it.
    Place(bar, ABE_BOTTOM);
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 768 - kDockedHeight, 1024, 768}));
    // It follows the taskbar's auto-hide and always-on-top settings.
    for (const UINT state : {ABS_AUTOHIDE | ABS_ALWAYSONTOP, ABS_AUTOHIDE}) {
        os.SetTaskbarState(state);
        os.NotifyAppBars(ABN_STATECHANGE, 0);
    }
    EXPECT_TRUE(bar.GetPlacement().bAutoHide);
    EXPECT_FALSE(bar.GetPlacement().bAlwaysOnTop);
}

TEST_F(BarWindowTest, TheMenuShowsAtItsPointOrAtTheMenuButtonWithTheSettingsCheckedAndEachItemDoesWhatItNames) {
    CVosselDialog& bar = CreateBar();
    ASSERT_EQ(bar.DriveButtons().size(), 2u);
    struct Case {
        int edge;
        BOOL onTop, autoHide;
        HWND from;  // none: a click on the menu button
        POINT at, shown;
    };
    // The keyboard gives -1, -1: the menu button's lower-left corner, held to the screen when the bar is
    // hidden; a drive button passes a click on.
    const POINT keys{-1, -1};
    const Case cases[] = {{ABE_TOP, FALSE, FALSE, bar.DriveButtons()[0]->m_hWnd, {40, 5}, {40, 5}},
                          {ABE_TOP, TRUE, TRUE, bar.m_hWnd, keys, {4, 0}},
                          {ABE_BOTTOM, FALSE, FALSE, bar.m_hWnd, keys, {4, 765}},
                          {ABE_RIGHT, TRUE, TRUE, bar.m_hWnd, keys, {1023, 19}},
                          {ABE_LEFT, TRUE, TRUE, bar.m_hWnd, keys, {0, 19}},
                          {ABE_BOTTOM, FALSE, TRUE, bar.m_hWnd, keys, {4, 767}},
                          {EDGE_FLOATING, FALSE, TRUE, bar.m_hWnd, keys, {205, 235}},
                          {ABE_LEFT, TRUE, FALSE, nullptr, {}, {4, 19}}};
    for (const Case& c : cases) {
        Place(bar, c.edge, c.autoHide, c.onTop, kFloatingAt200);
        os.ClearLogs();
        if (c.from != nullptr) {
            os.SendMessageA(c.from, WM_CONTEXTMENU, 0, MAKELPARAM(c.at.x & 0xFFFF, c.at.y & 0xFFFF));
        } else {
            Click(IDC_MENU_BUTTON);
        }
        ASSERT_EQ(os.MenuShowings().size(), 1u);
        const auto& shown = os.MenuShowings()[0];
        EXPECT_EQ((POINT{shown.x, shown.y}), c.shown) << "edge " << c.edge;
        EXPECT_EQ(shown.checks.at(ID_ALWAYS_ON_TOP), c.onTop ? MF_CHECKED : MF_UNCHECKED);
        EXPECT_EQ(shown.checks.at(ID_AUTO_HIDE), c.autoHide ? MF_CHECKED : MF_UNCHECKED);
    }
    // Each item does what it names: the toggles flip their setting, Options and About run their dialogs.
    std::string ran;
    os.SetModalIdle([&] {
        for (const char* title : {"Vossel Options", "About Vossel"}) {
            if (const HWND dialog = os.FindWindowA(nullptr, title); dialog != nullptr) {
                ran += title;
                os.PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            }
        }
    });
    const struct {
        UINT item;
        const char* ran;
        BOOL onTop, autoHide;
    } items[] = {{ID_ALWAYS_ON_TOP, "", TRUE, FALSE},         {ID_AUTO_HIDE, "", TRUE, TRUE},
                 {ID_ALWAYS_ON_TOP, "", FALSE, TRUE},         {ID_BAR_OPTIONS, "Vossel Options", FALSE, TRUE},
                 {ID_BAR_ABOUT, "About Vossel", FALSE, TRUE}, {ID_AUTO_HIDE, "", FALSE, FALSE}};
    Place(bar, ABE_TOP, FALSE, FALSE);
    for (const auto& item : items) {
        ran.clear();
        os.ChooseMenuItem(item.item);
        os.SendMessageA(bar.m_hWnd, WM_CONTEXTMENU, 0, MAKELPARAM(40, 5));
        os.PumpMessages();
        EXPECT_EQ(ran, item.ran) << item.item;
        EXPECT_EQ(bar.GetPlacement().bAlwaysOnTop, item.onTop) << item.item;
        EXPECT_EQ(bar.GetPlacement().bAutoHide, item.autoHide) << item.item;
    }
}

TEST_F(BarWindowTest, NoPlacementActivatesTheBarWhateverItsEdgeFrameOrAutoHide) {
    CVosselDialog& bar = CreateBar();
    const HWND other = os.CreateForeignWindow("Other", "Editor", WS_POPUP | WS_VISIBLE, 0, RECT{300, 300, 500, 400});
    os.SetActiveWindow(other);
    for (const int edge :
         std::initializer_list<int>{ABE_LEFT, ABE_TOP, EDGE_FLOATING, ABE_RIGHT, ABE_BOTTOM, EDGE_FLOATING, ABE_TOP}) {
        for (const BOOL autoHide : {FALSE, TRUE}) {
            Place(bar, edge, autoHide, TRUE, kFloatingAt200);
            EXPECT_EQ(os.GetActiveWindow(), other) << edge << " " << autoHide;
        }
    }
}

TEST_F(BarWindowTest, BetweenFloatingAndDockedEveryFrameOfTheMoveLiesBetweenTheWindowAsItWasAndAsItEnds) {
    CVosselDialog& bar = CreateBar();
    os.SetDragFullWindows(TRUE);
    os.SetTickStep(50);
    for (const int edge : {ABE_LEFT, ABE_TOP, ABE_RIGHT, ABE_BOTTOM}) {
        for (const bool toDocked : {true, false}) {
            Place(bar, toDocked ? EDGE_FLOATING : edge, FALSE, TRUE, kFloatingAt200);
            const RECT from = WindowRect(bar.m_hWnd);
            os.ClearLogs();
            Place(bar, toDocked ? edge : EDGE_FLOATING, FALSE, TRUE, kFloatingAt200);
            const RECT to = WindowRect(bar.m_hWnd);
            // The frame changes first, in the size the window has; the slide starts from there.
            for (const auto& call : os.WindowPosCalls()) {
                if (call.hwnd == bar.m_hWnd && (call.flags & SWP_NOSIZE) == 0) {
                    const auto between = [](int size, LONG a, LONG b) {
                        return size >= std::min(a, b) && size <= std::max(a, b);
                    };
                    EXPECT_TRUE(between(call.cx, from.right - from.left, to.right - to.left)) << edge << " " << call.cx;
                    EXPECT_TRUE(between(call.cy, from.bottom - from.top, to.bottom - to.top)) << edge << " " << call.cy;
                }
            }
        }
    }
}

TEST_F(BarWindowTest, AStoredThicknessAtEachEdgeComesBackHeldBetweenOneRowAndHalfTheScreen) {
    // One row is the template's client area in its docked frame.
    const struct {
        int edge;
        LONG stored, thickness;
    } cases[] = {{ABE_LEFT, 0, kDockedWidth},    {ABE_LEFT, 50, 50},   {ABE_LEFT, 2000, 512},
                 {ABE_TOP, 0, kDockedHeight},    {ABE_TOP, 50, 50},    {ABE_TOP, 2000, 384},
                 {ABE_RIGHT, 0, kDockedWidth},   {ABE_RIGHT, 50, 50},  {ABE_RIGHT, 2000, 512},
                 {ABE_BOTTOM, 0, kDockedHeight}, {ABE_BOTTOM, 50, 50}, {ABE_BOTTOM, 2000, 384}};
    for (const auto& c : cases) {
        BARPLACEMENT stored{48, c.edge, FALSE, TRUE, {}, {0, 0, 68, 39}};
        stored.anThickness[c.edge] = c.stored;
        StorePlacement(os, stored);
        const RECT window = WindowRect(CreateBar().m_hWnd);
        const bool across = c.edge == ABE_LEFT || c.edge == ABE_RIGHT;
        EXPECT_EQ(across ? window.right - window.left : window.bottom - window.top, c.thickness)
            << c.edge << " " << c.stored;
        EXPECT_EQ(bar->GetPlacement().anThickness[c.edge], c.thickness) << c.edge << " " << c.stored;
        bar->DestroyWindow();
    }
}

TEST_F(BarWindowTest, ExitCloseAltF4AndAnotherProgramsCloseEndTheBarAndStoreItsPlacementWhileEscAndEnterDoNot) {
    struct Case {
        const char* what;
        std::function<void(HWND)> act;
        bool ends;
    };
    const auto post = [this](UINT msg, WPARAM wParam) {
        return [this, msg, wParam](HWND hwnd) { os.PostMessageA(hwnd, msg, wParam, MAKELPARAM(10, 10)); };
    };
    const auto press = [this](int vk, int held) {
        return [this, vk, held](HWND hwnd) {
            os.SetKeyDown(held, true);
            os.PressKey(vk);
            os.SetKeyDown(held, false);
            os.PostMessageA(hwnd, WM_NULL, 0, 0);  // the loop runs on
        };
    };
    const auto exit = [this](HWND hwnd) {
        os.ChooseMenuItem(ID_BAR_EXIT);
        os.PostMessageA(hwnd, WM_CONTEXTMENU, 0, MAKELPARAM(10, 10));
    };
    // Enter clicks the focused menu button: its menu opens, and nothing is chosen.
    const Case cases[] = {{"Exit in the menu", exit, true},
                          {"the system's Close", post(WM_SYSCOMMAND, SC_CLOSE), true},
                          {"Alt+F4", press(VK_F4, VK_MENU), true},
                          {"another program's WM_CLOSE", post(WM_CLOSE, 0), true},
                          {"Esc", press(VK_ESCAPE, VK_SHIFT), false},
                          {"IDCANCEL", post(WM_COMMAND, IDCANCEL), false},
                          {"Enter", press(VK_RETURN, VK_SHIFT), false},
                          {"IDOK", post(WM_COMMAND, IDOK), false},
                          {"the system's Move", post(WM_SYSCOMMAND, SC_MOVE), false}};
    for (const Case& c : cases) {
        HWND hwnd = nullptr;
        int idles = 0;
        // Asked once; a bar still there at the next idle is closed as another program would.
        os.SetModalIdle([&] {
            hwnd = os.FindWindowA(nullptr, "Vossel");
            if (++idles == 1) {
                ASSERT_EQ(os.ReservedRect(hwnd), (std::optional<RECT>(RECT{0, 0, 1024, kDockedHeight})));
                c.act(hwnd);
            } else if (idles == 2) {
                os.PostMessageA(hwnd, WM_CLOSE, 0, 0);
            }
        });
        CVosselDialog dialog;
        EXPECT_EQ(dialog.DoModal(), IDCANCEL) << c.what;
        EXPECT_EQ(idles, c.ends ? 1 : 2) << c.what;
        EXPECT_FALSE(os.IsWindow(hwnd));
        EXPECT_TRUE(dialog.DriveButtons().empty());
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
    const RECT floated{500 - kFloatingWidth, 300, 500 + kFloatingWidth, 300 + kFloatingHeight};
    EXPECT_EQ(WindowRect(bar.m_hWnd), floated);
    // Afterwards it goes where the system moves it, not under the cursor.
    moving(POINT{510, 320});
    EXPECT_EQ(WindowRect(bar.m_hWnd), floated);
    os.SendMessageA(bar.m_hWnd, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(bar.GetPlacement().nEdge, EDGE_FLOATING);
    EXPECT_EQ(bar.GetPlacement().rcFloating, floated);
    EXPECT_EQ(ChildRect(os.GetDlgItem(bar.m_hWnd, IDC_MENU_BUTTON)), (RECT{1, 1, 29, kBarClientHeight}));

    os.SetKeyDown(VK_CONTROL, false);
    os.SendMessageA(bar.m_hWnd, WM_ENTERSIZEMOVE, 0, 0);
    // Near each edge that edge is proposed until the loop ends; the caption goes at once.
    // Each is shown in its docked size there, within that edge's limits.
    const std::tuple<POINT, int, RECT> edges[] = {{{500, 3}, ABE_TOP, {0, 0, 1024, kDockedHeight}},
                                                  {{1020, 400}, ABE_RIGHT, {1024 - kDockedWidth, 0, 1024, 768}},
                                                  {{500, 765}, ABE_BOTTOM, {0, 768 - kDockedHeight, 1024, 768}},
                                                  {{3, 400}, ABE_LEFT, {0, 0, kDockedWidth, 768}}};
    for (const auto& [point, edge, docked] : edges) {
        moving(point);
        EXPECT_EQ(bar.GetEffectiveEdge(), edge);
        EXPECT_EQ(WindowRect(bar.m_hWnd), docked);
    }
    EXPECT_EQ(bar.GetPlacement().nEdge, EDGE_FLOATING);
    EXPECT_EQ(os.GetWindowLongA(bar.m_hWnd, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU), 0);
    os.SendMessageA(bar.m_hWnd, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 0, kDockedWidth, 768}));
    EXPECT_EQ(os.ReservedRect(bar.m_hWnd), (std::optional<RECT>(RECT{0, 0, kDockedWidth, 768})));
}

TEST_F(BarWindowTest, TheInnerSideSizesEveryEdgeFromTheCursorInWholeRowsWithinTheLimitsAndEscKeepsThePlacement) {
    // 1440 x 900: at most half the screen, 29 rows of 15 in a 6-pixel frame (444 would round to 30).
    os.SetMetric(SM_CXSCREEN, 1440);
    os.SetMetric(SM_CYSCREEN, 900);
    CVosselDialog& bar = CreateBar();
    struct Edge {
        int edge;
        UINT side;
        int hit;
        // The frame line next to the client area half way along, and one of the outer frame along the edge.
        POINT inward, press, along;
    };
    const Edge edges[] = {{ABE_LEFT, WMSZ_RIGHT, HTRIGHT, {1, 0}, {32, 450}, {20, 1}},
                          {ABE_TOP, WMSZ_BOTTOM, HTBOTTOM, {0, 1}, {720, 19}, {1, 10}},
                          {ABE_RIGHT, WMSZ_LEFT, HTLEFT, {-1, 0}, {1407, 450}, {1426, 1}},
                          {ABE_BOTTOM, WMSZ_TOP, HTTOP, {0, -1}, {720, 880}, {1, 889}}};
    struct Travel {
        int distance, step;
        Loop loop;
        LONG rows, width;  // thickness after it, at the top or bottom and at the sides
    };
    // Small steps as a slow hand gives them, one jump, far past the half, back past the edge, and Esc.
    const Travel travels[] = {{36, 3, Loop::Wine, 51, 70},  {36, 36, Loop::Windows, 51, 70},
                              {36, 12, Loop::Wine, 51, 70}, {800, 40, Loop::Wine, 441, 720},
                              {-20, 4, Loop::Wine, 21, 34}, {45, 5, Loop::WineEsc, 21, 34}};
    for (const Edge& e : edges) {
        for (const Travel& t : travels) {
            SCOPED_TRACE(testing::Message() << "edge " << e.edge << " distance " << t.distance << " step " << t.step);
            Place(bar, e.edge);
            EXPECT_EQ(os.SendMessageA(bar.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(e.press.x, e.press.y)), e.hit);
            EXPECT_EQ(os.SendMessageA(bar.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(e.along.x, e.along.y)), HTBORDER);
            std::vector<POINT> points;
            for (int done = 0; done != t.distance;) {
                done += std::clamp(t.distance - done, -t.step, t.step);
                points.push_back(POINT{e.press.x + e.inward.x * done, e.press.y + e.inward.y * done});
            }
            const RECT after = SizeLoop(bar.m_hWnd, e.side, e.press, points, t.loop);
            const LONG thickness = e.inward.x != 0 ? t.width : t.rows;
            const RECT expected = e.edge == ABE_LEFT    ? RECT{0, 0, thickness, 900}
                                  : e.edge == ABE_TOP   ? RECT{0, 0, 1440, thickness}
                                  : e.edge == ABE_RIGHT ? RECT{1440 - thickness, 0, 1440, 900}
                                                        : RECT{0, 900 - thickness, 1440, 900};
            EXPECT_EQ(after, expected);
            EXPECT_EQ(os.ReservedRect(bar.m_hWnd), std::optional<RECT>(expected));
            EXPECT_EQ(bar.GetPlacement().anThickness[e.edge], thickness);
        }
    }
    // Floating, every side and corner sizes: widths as dragged, heights in rows, no smaller than at first.
    struct Corner {
        UINT side;
        POINT press, travel;
        RECT after;
    };
    const Corner corners[] = {{WMSZ_BOTTOMRIGHT, {270, 237}, {40, 20}, {200, 200, 312, 254}},
                              {WMSZ_TOPLEFT, {201, 201}, {-40, -20}, {160, 185, 272, 239}},
                              {WMSZ_TOPLEFT, {201, 201}, {100, 100}, {272 - kFloatingWidth, 200, 272, 239}},
                              {WMSZ_RIGHT, {271, 220}, {-8, 30}, {200, 200, 264, 239}}};
    for (const Corner& c : corners) {
        Place(bar, EDGE_FLOATING, FALSE, TRUE, kFloatingAt200);
        std::vector<POINT> points;
        for (int i = 1; i <= 10; ++i) {
            points.push_back(POINT{c.press.x + c.travel.x * i / 10, c.press.y + c.travel.y * i / 10});
        }
        EXPECT_EQ(SizeLoop(bar.m_hWnd, c.side, c.press, points, Loop::Wine), c.after) << "side " << c.side;
        EXPECT_EQ(bar.GetPlacement().rcFloating, c.after) << "side " << c.side;
    }
}

TEST_F(BarWindowTest, AnAutoHideBarFollowsItsShownOrHiddenStateAndAlwaysLeavesItsStripOnTheScreen) {
    CVosselDialog& bar = CreateBar();
    const HWND other = os.CreateForeignWindow("Other", "Other", WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 10, 10});
    const auto choose = [&](UINT id) {
        os.ChooseMenuItem(id);
        os.SendMessageA(bar.m_hWnd, WM_CONTEXTMENU, 0, MAKELPARAM(10, 10));
        os.PumpMessages();
    };
    const auto tick = [&](POINT cursor) {
        os.SetCursorPos(cursor);
        os.AdvanceClock(400);
    };
    struct Case {
        int edge;
        BOOL onTop;
        RECT shown, hidden;
        POINT near, away;  // the last point of the keep-out margin on the inner side, and the next
        bool deactivated;  // before auto-hide is turned on again
    };
    // An overlong thickness, as an older version could store, is held to half the screen: 2 pixels still show.
    const Case cases[] = {
        {ABE_LEFT, FALSE, {0, 0, 512, 768}, {-510, 0, 2, 768}, {519, 300}, {520, 300}, false},
        {ABE_TOP, TRUE, {0, 0, 1024, 384}, {0, -382, 1024, 2}, {500, 391}, {500, 392}, true},
        {ABE_RIGHT, TRUE, {512, 0, 1024, 768}, {1022, 0, 1534, 768}, {504, 300}, {503, 300}, false},
        {ABE_BOTTOM, FALSE, {0, 384, 1024, 768}, {0, 766, 1024, 1150}, {500, 376}, {500, 375}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "edge " << c.edge);
        Place(bar, c.edge, FALSE, c.onTop, {}, 2000);
        const auto topmost = [&] { return (os.GetWindowLongA(bar.m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
        // Turned on in Options, it hides once the cursor is away.
        os.SetModalIdle([&] {
            const HWND options = os.FindWindowA(nullptr, "Vossel Options");
            os.SendMessageA(os.GetDlgItem(options, IDC_AUTO_HIDE), BM_SETCHECK, BST_CHECKED, 0);
            os.SendMessageA(options, WM_COMMAND, IDOK, 0);
        });
        bar.ApplyOptions();
        tick(c.away);
        EXPECT_EQ(WindowRect(bar.m_hWnd), c.hidden);
        EXPECT_FALSE(os.ReservedRect(bar.m_hWnd).has_value());
        // Touching the strip slides it out; within the margin it stays, past it it hides.
        for (const POINT& cursor : {c.near, c.away}) {
            os.SendMessageA(bar.m_hWnd, WM_NCMOUSEMOVE, HTBORDER, 0);
            tick(cursor);
            EXPECT_EQ(WindowRect(bar.m_hWnd), cursor.x == c.near.x && cursor.y == c.near.y ? c.shown : c.hidden);
        }
        os.SendMessageA(bar.m_hWnd, WM_NCMOUSEMOVE, HTBORDER, 0);
        // Placed anew while shown, it stays shown, and under a full-screen program.
        const HWND game = os.CreateForeignWindow("Game", "Game", WS_POPUP | WS_VISIBLE, 0, RECT{-5, -5, 1030, 770});
        os.NotifyAppBars(ABN_FULLSCREENAPP, 1);
        os.DestroyWindow(game);
        EXPECT_EQ(WindowRect(bar.m_hWnd), c.shown);
        EXPECT_FALSE(topmost());
        // Active, it never hides by the timer; it hides as soon as it is not.
        os.SetActiveWindow(bar.m_hWnd);
        tick(c.away);
        EXPECT_EQ(WindowRect(bar.m_hWnd), c.shown);
        os.SetActiveWindow(other);
        EXPECT_EQ(WindowRect(bar.m_hWnd), c.hidden);
        // And hidden, it stays hidden.
        os.NotifyAppBars(ABN_FULLSCREENAPP, 0);
        EXPECT_EQ(WindowRect(bar.m_hWnd), c.hidden);
        EXPECT_EQ(topmost(), c.onTop != FALSE);
        // Off from the menu: docked in its strip, the edge given up.
        choose(ID_AUTO_HIDE);
        EXPECT_EQ(WindowRect(bar.m_hWnd), c.shown);
        EXPECT_EQ(os.ReservedRect(bar.m_hWnd), std::optional<RECT>(c.shown));
        APPBARDATA query{sizeof(APPBARDATA), bar.m_hWnd, 0, static_cast<UINT>(c.edge), {}, 0};
        EXPECT_EQ(os.SHAppBarMessage(ABM_GETAUTOHIDEBAR, &query), 0u);
        choose(ID_ALWAYS_ON_TOP);
        EXPECT_EQ(topmost(), c.onTop == FALSE);
        // On again, it is placed as last: hidden, or shown if it lost activation meanwhile (read as shown).
        if (c.deactivated) {
            os.SetActiveWindow(bar.m_hWnd);
            os.ClearLogs();
            os.SetActiveWindow(other);
            EXPECT_TRUE(os.WindowPosCalls().empty());
        }
        choose(ID_AUTO_HIDE);
        EXPECT_EQ(WindowRect(bar.m_hWnd), c.deactivated ? c.shown : c.hidden);
        EXPECT_EQ(os.SHAppBarMessage(ABM_GETAUTOHIDEBAR, &query), reinterpret_cast<UINT_PTR>(bar.m_hWnd));
    }
}

TEST_F(BarWindowTest, ANewScreenSizeDocksTheBarAgainInWholeRowsHidesItAgainOrKeepsItsCaptionOnTheScreen) {
    CVosselDialog& bar = CreateBar();
    struct Case {
        int edge;
        BOOL autoHide;
        RECT at800, at1024;  // the window on 800 x 600, then back on 1024 x 768
    };
    // Half of the smaller screen is 400 pixels across or 300 down: 19 whole rows of 15 in a 6-pixel frame.
    const Case cases[] = {
        {ABE_LEFT, FALSE, {0, 0, 400, 600}, {0, 0, 400, 768}},
        {ABE_TOP, FALSE, {0, 0, 800, 291}, {0, 0, 1024, 291}},
        {ABE_RIGHT, FALSE, {400, 0, 800, 600}, {624, 0, 1024, 768}},
        {ABE_BOTTOM, FALSE, {0, 309, 800, 600}, {0, 477, 1024, 768}},
        {ABE_LEFT, TRUE, {-398, 0, 2, 600}, {-398, 0, 2, 768}},
        {ABE_TOP, TRUE, {0, -289, 800, 2}, {0, -289, 1024, 2}},
        {ABE_RIGHT, TRUE, {798, 0, 1198, 600}, {1022, 0, 1422, 768}},
        {ABE_BOTTOM, TRUE, {0, 598, 800, 889}, {0, 766, 1024, 1057}},
        // Floating, it moves only as far as its caption (20 pixels deep) needs.
        {EDGE_FLOATING, FALSE, {500, 580, 800, 640}, {500, 580, 800, 640}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "edge " << c.edge << " auto-hide " << c.autoHide);
        Place(bar, c.edge, c.autoHide, TRUE, {700, 590, 1000, 650}, 2000);
        // Shown when the screen changes: it hides again all the same.
        os.SendMessageA(bar.m_hWnd, WM_NCMOUSEMOVE, HTBORDER, 0);
        for (const auto& [cx, cy, expected] : {std::tuple{800, 600, c.at800}, std::tuple{1024, 768, c.at1024}}) {
            os.ChangeDisplaySize(cx, cy);
            const RECT window = WindowRect(bar.m_hWnd);
            EXPECT_EQ(window, expected) << cx;
            // The shell holds the new strip, and the record is the bar it shows.
            EXPECT_EQ(os.ReservedRect(bar.m_hWnd),
                      c.autoHide || c.edge == EDGE_FLOATING ? std::nullopt : std::optional<RECT>(window));
            const BARPLACEMENT& now = bar.GetPlacement();
            if (c.edge == EDGE_FLOATING) {
                EXPECT_EQ(now.rcFloating, window);
            } else {
                const bool across = c.edge == ABE_LEFT || c.edge == ABE_RIGHT;
                EXPECT_EQ(now.anThickness[c.edge], across ? window.right - window.left : window.bottom - window.top);
            }
        }
    }
}

TEST_F(BarWindowTest, OleTheDropTargetAndTheTipsWaitUntilTheBarIsOnTheScreenOrThereIsNoTimerToWaitWith) {
    for (const bool noTimer : {false, true}) {
        const int oleDepth = os.OleDepth();
        bar = std::make_unique<CVosselDialog>();
        ASSERT_TRUE(bar->Create());
        // The dialog manager shows a modal dialog only after its first messages.
        os.ShowWindow(bar->m_hWnd, SW_HIDE);
        if (noTimer) {
            os.FailCall("SetTimer");
        }
        for (const bool shown : {false, true}) {
            os.ShowWindow(bar->m_hWnd, shown ? SW_SHOWNORMAL : SW_HIDE);
            os.PumpMessages();
            os.AdvanceClock(500);
            const bool started = shown || noTimer;
            // Once only, however long the bar then runs.
            EXPECT_EQ(os.OleDepth() - oleDepth, started ? 1 : 0) << noTimer;
            EXPECT_EQ(os.LiveDropTargets(), started ? 1 : 0) << noTimer;
            EXPECT_EQ(os.LiveToolTipTools() > 0, started) << noTimer;
        }
        bar->DestroyWindow();
    }
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
    // The start roots the settings itself.
    theApp.m_strRegistryKey.clear();
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
