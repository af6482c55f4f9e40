// The system's move and size loops on the bar: what may happen while they
// run (notifications, a new screen, Esc), and sizing from the keyboard; and
// every way the bar moves itself, none of which may activate it.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "appbar/AppBarGeometry.h"
#include "resources/resource.h"
#include "tests/support/BarFixture.h"

namespace {

// The template's client area in a 3-pixel frame without caption, and where
// a floating bar of twice the template's width in its captioned frame stands.
constexpr LONG kDockedHeight = kBarClientHeight + 6;
constexpr LONG kDockedWidth = kBarClientWidth + 6;
constexpr RECT kFloating{300, 300, 300 + 2 * (kBarClientWidth + 8), 300 + kBarClientHeight + 24};

struct Placed {
    int edge;
    POINT press;  // on the bar's client area there
    POINT to;     // a point that takes the bar there
    RECT window;
};
const Placed kPlaces[] = {{ABE_LEFT, {17, 400}, {3, 400}, {0, 0, kDockedWidth, 768}},
                          {ABE_TOP, {500, 10}, {500, 3}, {0, 0, 1024, kDockedHeight}},
                          {ABE_RIGHT, {1007, 400}, {1020, 400}, {1024 - kDockedWidth, 0, 1024, 768}},
                          {ABE_BOTTOM, {500, 757}, {500, 765}, {0, 768 - kDockedHeight, 1024, 768}},
                          {EDGE_FLOATING, {336, 330}, {500, 300}, kFloating}};

class DragLoopTest : public BarTest {
protected:
    void Place(int edge) {
        const BARPLACEMENT placement{
            48, edge, FALSE, TRUE, {kDockedWidth, kDockedHeight, kDockedWidth, kDockedHeight}, kFloating};
        bar->SetPlacement(&placement);
    }
};

TEST_F(DragLoopTest, EscAfterAMoveToAnotherPlaceGoesBackWhateverHappenedMeanwhileAndARelease) {
    CreateBar();
    struct Event {
        const char* name;
        std::function<void(MemoryOs&)> happen;
    };
    const Event events[] = {
        {"nothing", [](MemoryOs&) {}},
        {"another bar moved", [](MemoryOs& os) { os.NotifyAppBars(ABN_POSCHANGED, 0); }},
        {"a full-screen program closed", [](MemoryOs& os) { os.NotifyAppBars(ABN_FULLSCREENAPP, 0); }},
        {"the screen was set anew", [](MemoryOs& os) { os.ChangeDisplaySize(1024, 768); }}};
    for (const Loop loop : {Loop::WineEsc, Loop::WindowsEsc, Loop::Wine, Loop::Windows}) {
        const bool cancelled = loop == Loop::WineEsc || loop == Loop::WindowsEsc;
        for (const Placed& own : kPlaces) {
            for (const Placed& to : kPlaces) {
                if (to.edge == own.edge) {
                    continue;
                }
                for (const Event& event : events) {
                    SCOPED_TRACE(testing::Message() << "loop " << static_cast<int>(loop) << " from " << own.edge
                                                    << " to " << to.edge << ", " << event.name);
                    Place(own.edge);
                    const RECT after = MoveLoop(bar->m_hWnd, own.press, {to.to, to.to}, loop, [&](size_t index) {
                        if (index == 0) {
                            event.happen(os);
                        }
                    });
                    const Placed& ends = cancelled ? own : to;
                    const RECT expected =
                        ends.edge == EDGE_FLOATING && !cancelled ? FloatingDragRect(to.to, kFloating) : ends.window;
                    EXPECT_EQ(bar->GetPlacement().nEdge, ends.edge);
                    EXPECT_EQ(after, expected);
                    EXPECT_EQ(os.ReservedRect(bar->m_hWnd),
                              ends.edge == EDGE_FLOATING ? std::nullopt : std::optional<RECT>(expected));
                }
            }
        }
    }
}

// What a bar docked at `edge`, `thickness` thick, covers on a screen of `cx` x `cy`.
RECT DockedOn(int edge, LONG thickness, LONG cx, LONG cy) {
    switch (edge) {
        case ABE_LEFT:
            return RECT{0, 0, thickness, cy};
        case ABE_TOP:
            return RECT{0, 0, cx, thickness};
        case ABE_RIGHT:
            return RECT{cx - thickness, 0, cx, cy};
        default:
            return RECT{0, cy - thickness, cx, cy};
    }
}

TEST_F(DragLoopTest, ASizeThatEndsOnASmallerScreenIsHeldToItWhatTheWindowTheStripAndTheRecordSay) {
    CreateBar();
    struct Case {
        int edge;
        UINT side;
        POINT press, travel;
        RECT on640;  // after the release on 640 x 480
    };
    // A top bar sized to 381 (25 rows) or a left one to 500 on 1024 x 768; on 640 x 480 half the screen
    // holds 15 rows of 15 in a 6-pixel frame, or 320 pixels. A floating bar of 500 x 380 is held to half
    // the screen both ways, its caption on it.
    const Case cases[] = {{ABE_LEFT, WMSZ_RIGHT, {33, 400}, {466, 0}, DockedOn(ABE_LEFT, 320, 640, 480)},
                          {ABE_TOP, WMSZ_BOTTOM, {500, 20}, {0, 360}, DockedOn(ABE_TOP, 6 + 15 * 15, 640, 480)},
                          {ABE_RIGHT, WMSZ_LEFT, {990, 400}, {-466, 0}, DockedOn(ABE_RIGHT, 320, 640, 480)},
                          {ABE_BOTTOM, WMSZ_TOP, {500, 747}, {0, -360}, DockedOn(ABE_BOTTOM, 6 + 15 * 15, 640, 480)},
                          {EDGE_FLOATING, WMSZ_BOTTOMRIGHT, {371, 338}, {428, 341}, {300, 300, 620, 540}}};
    for (const Loop loop : {Loop::Wine, Loop::Windows, Loop::WineEsc}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "loop " << static_cast<int>(loop) << " edge " << c.edge);
            os.ChangeDisplaySize(1024, 768);
            Place(c.edge);
            std::vector<POINT> points;
            for (int i = 1; i <= 5; ++i) {
                points.push_back(POINT{c.press.x + c.travel.x * i / 5, c.press.y + c.travel.y * i / 5});
            }
            const RECT after = SizeLoop(bar->m_hWnd, c.side, c.press, points, loop, [&](size_t index) {
                if (index + 1 == points.size()) {
                    os.ChangeDisplaySize(640, 480);
                }
            });
            // Esc keeps the bar as it was, on the new screen.
            const Placed& own = kPlaces[c.edge == EDGE_FLOATING ? 4 : c.edge];
            const RECT expected = loop != Loop::WineEsc ? c.on640
                                  : c.edge == EDGE_FLOATING
                                      ? own.window
                                      : DockedOn(c.edge, c.edge % 2 == 0 ? kDockedWidth : kDockedHeight, 640, 480);
            EXPECT_EQ(after, expected);
            const BARPLACEMENT& stored = bar->GetPlacement();
            if (c.edge == EDGE_FLOATING) {
                EXPECT_EQ(stored.rcFloating, expected);
                EXPECT_FALSE(os.ReservedRect(bar->m_hWnd).has_value());
            } else {
                EXPECT_EQ(stored.anThickness[c.edge],
                          c.edge % 2 == 0 ? expected.right - expected.left : expected.bottom - expected.top);
                EXPECT_EQ(os.ReservedRect(bar->m_hWnd), std::optional<RECT>(expected));
            }
        }
    }
}

TEST_F(DragLoopTest, AMoveThatEndsOnASmallerScreenDocksAtItsEdgeOrFloatsWithItsCaptionOnIt) {
    CreateBar();
    // With the screen as it was through the loop, before any change and after one, a floating bar stays
    // where it is let go, partly off the screen.
    const auto StaysPartlyOff = [this] {
        Place(EDGE_FLOATING);
        const RECT offLeft = MoveLoop(bar->m_hWnd, POINT{370, 330}, {POINT{200, 330}, POINT{20, 330}}, Loop::Wine);
        EXPECT_EQ(offLeft, (RECT{kFloating.left - 350, kFloating.top, kFloating.right - 350, kFloating.bottom}));
        EXPECT_EQ(bar->GetPlacement().rcFloating, offLeft);
    };
    StaysPartlyOff();
    // Dragged toward the bottom of 1024 x 768, the floating bar would lie wholly below 640 x 480:
    // it is brought up until its caption, 20 pixels deep, is on the screen.
    const RECT below = FloatingDragRect(POINT{500, 600}, kFloating);
    const RECT heldBelow{below.left, 480 - 20, below.right, 480 - 20 + (below.bottom - below.top)};
    for (const Loop loop : {Loop::Wine, Loop::Windows, Loop::WineEsc, Loop::WindowsEsc}) {
        const bool cancelled = loop == Loop::WineEsc || loop == Loop::WindowsEsc;
        for (const Placed& own : kPlaces) {
            for (const Placed& to : kPlaces) {
                SCOPED_TRACE(testing::Message()
                             << "loop " << static_cast<int>(loop) << " from " << own.edge << " to " << to.edge);
                os.ChangeDisplaySize(1024, 768);
                Place(own.edge);
                const POINT point = to.edge == EDGE_FLOATING ? POINT{500, 600} : to.to;
                const RECT after = MoveLoop(bar->m_hWnd, own.press, {point}, loop, [&](size_t index) {
                    if (index == 0) {
                        os.ChangeDisplaySize(640, 480);
                    }
                });
                const int edge = cancelled ? own.edge : to.edge;
                const RECT expected = edge != EDGE_FLOATING
                                          ? DockedOn(edge, edge % 2 == 0 ? kDockedWidth : kDockedHeight, 640, 480)
                                      : cancelled ? kFloating
                                                  : heldBelow;
                EXPECT_EQ(bar->GetPlacement().nEdge, edge);
                EXPECT_EQ(after, expected);
                EXPECT_EQ(os.ReservedRect(bar->m_hWnd),
                          edge == EDGE_FLOATING ? std::nullopt : std::optional<RECT>(expected));
                if (edge == EDGE_FLOATING) {
                    EXPECT_EQ(bar->GetPlacement().rcFloating, expected);
                }
            }
        }
    }
    os.ChangeDisplaySize(1024, 768);
    StaysPartlyOff();
}

TEST_F(DragLoopTest, AFloatingBarSizedFromTheKeyboardFollowsTheKeysWhereverThePointerWas) {
    CreateBar();
    using A = Arrow;
    struct Case {
        std::vector<Arrow> keys;  // the first picks the side
        RECT after;               // from 300, 300, 372, 339: widths free, heights in rows of 15 in a frame of 24
    };
    const Case cases[] = {{{A::Right, A::Right, A::Right, A::Right}, {300, 300, 396, 339}},
                          {{A::Left, A::Left, A::Left}, {284, 300, 372, 339}},
                          {{A::Down, A::Down, A::Down}, {300, 300, 372, 354}},
                          {{A::Up, A::Up, A::Up, A::Up}, {300, 270, 372, 339}},
                          {{A::Right, A::Left, A::Left}, {300, 300, 356, 339}},
                          {{A::Down, A::Up, A::Up}, {300, 300, 372, 339}},
                          {{A::Right, A::Down, A::Down}, {300, 300, 372, 339}}};
    // The pointer on the bar, far from it, and on its frame.
    const POINT pointers[] = {{336, 319}, {900, 700}, {301, 301}};
    for (const Loop loop : {Loop::Wine, Loop::Windows}) {
        for (const POINT pointer : pointers) {
            for (const Case& c : cases) {
                SCOPED_TRACE(testing::Message() << "loop " << static_cast<int>(loop) << " pointer " << pointer.x << ","
                                                << pointer.y << " keys " << c.keys.size());
                Place(EDGE_FLOATING);
                EXPECT_EQ(KeySizeLoop(bar->m_hWnd, pointer, c.keys, loop), c.after);
                EXPECT_EQ(bar->GetPlacement().rcFloating, c.after);
            }
        }
    }
}

TEST_F(DragLoopTest, NoWayTheBarMovesItselfActivatesIt) {
    CreateBar();
    const HWND other = os.CreateForeignWindow("Other", "Other", WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 10, 10});
    const auto Placed = [this](int edge, BOOL autoHide) {
        const BARPLACEMENT placement{
            48, edge, autoHide, TRUE, {kDockedWidth, 2 * kDockedHeight, kDockedWidth, 40}, kFloating};
        bar->SetPlacement(&placement);
    };
    const auto Menu = [this](UINT id) {
        os.ChooseMenuItem(id);
        os.SendMessageA(bar->m_hWnd, WM_CONTEXTMENU, 0, MAKELPARAM(600, 5));
        os.PumpMessages();
    };
    struct Path {
        const char* name;
        std::function<void()> run;
    };
    const Path paths[] = {
        {"docked at each edge and floating",
         [&] {
             for (const int edge : {static_cast<int>(ABE_LEFT), static_cast<int>(ABE_TOP), static_cast<int>(ABE_RIGHT),
                                    static_cast<int>(ABE_BOTTOM), EDGE_FLOATING}) {
                 Placed(edge, FALSE);
             }
         }},
        {"auto-hide, shown and hidden",
         [&] {
             Placed(ABE_RIGHT, TRUE);
             os.SendMessageA(bar->m_hWnd, WM_NCMOUSEMOVE, HTBORDER, 0);
             os.SetCursorPos(POINT{100, 300});
             os.AdvanceClock(400);
         }},
        {"the menu's settings",
         [&] {
             Menu(ID_AUTO_HIDE);
             Menu(ID_ALWAYS_ON_TOP);
             Menu(ID_AUTO_HIDE);
         }},
        {"another bar or the taskbar moved", [&] { os.NotifyAppBars(ABN_POSCHANGED, 0); }},
        {"a full-screen program",
         [&] {
             os.NotifyAppBars(ABN_FULLSCREENAPP, 1);
             os.NotifyAppBars(ABN_FULLSCREENAPP, 0);
         }},
        {"the taskbar's settings",
         [&] {
             for (const UINT state : {ABS_AUTOHIDE | ABS_ALWAYSONTOP, 0U}) {
                 os.SetTaskbarState(state);
                 os.NotifyAppBars(ABN_STATECHANGE, 0);
             }
         }},
        {"the shell restarted", [&] { os.RestartShell(); }},
        {"the screen's size",
         [&] {
             os.ChangeDisplaySize(800, 600);
             os.ChangeDisplaySize(1024, 768);
         }},
        {"the scale, docked and floating",
         [&] {
             os.ChangeDpi(144);
             Placed(EDGE_FLOATING, FALSE);
             os.ChangeDpi(96);
         }},
        {"a move and a size",
         [&] {
             MoveLoop(bar->m_hWnd, POINT{500, 10}, {POINT{3, 400}}, Loop::Wine);
             MoveLoop(bar->m_hWnd, POINT{17, 400}, {POINT{500, 300}}, Loop::Windows);
             MoveLoop(bar->m_hWnd, POINT{500, 10}, {POINT{1020, 400}}, Loop::WindowsEsc);
             SizeLoop(bar->m_hWnd, WMSZ_BOTTOMRIGHT, POINT{371, 338}, {POINT{400, 360}}, Loop::Wine);
             KeySizeLoop(bar->m_hWnd, POINT{320, 320}, {Arrow::Right, Arrow::Right}, Loop::Windows);
         }},
        {"the scale and the screen within a loop",
         [&] {
             Placed(ABE_TOP, FALSE);
             MoveLoop(bar->m_hWnd, POINT{500, 10}, {POINT{3, 400}}, Loop::Wine, [&](size_t) {
                 os.ChangeDpi(120);
                 os.ChangeDisplaySize(800, 600);
             });
             os.ChangeDpi(96);
             os.ChangeDisplaySize(1024, 768);
         }},
    };
    for (const BOOL slides : {FALSE, TRUE}) {
        os.SetDragFullWindows(slides);
        os.SetTickStep(100);
        for (const Path& path : paths) {
            SCOPED_TRACE(testing::Message() << path.name << (slides ? ", sliding" : ""));
            Placed(ABE_TOP, FALSE);
            os.SetActiveWindow(other);
            os.ClearLogs();
            path.run();
            EXPECT_EQ(os.GetActiveWindow(), other);
            size_t moves = 0;
            for (const auto& call : os.WindowPosCalls()) {
                if (call.hwnd == bar->m_hWnd) {
                    ++moves;
                    EXPECT_NE(call.flags & SWP_NOACTIVATE, 0U) << call.x << "," << call.y;
                }
            }
            EXPECT_GT(moves, 0U);
        }
    }
}

}  // namespace
