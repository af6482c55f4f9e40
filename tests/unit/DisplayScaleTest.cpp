// The bar at scales other than 100%: picture sizes, layout figures, the
// stored thickness across a change of scale, and a change while it runs.
#include <algorithm>
#include <cstring>
#include <limits>
#include <tuple>
#include <vector>

#include "appbar/AppBarGeometry.h"
#include "bar/BarLayout.h"
#include "dialogs/AboutDialog.h"
#include "platform/Dpi.h"
#include "resources/resource.h"
#include "settings/Settings.h"
#include "tests/support/BarFixture.h"

namespace {

constexpr LONG kMax = std::numeric_limits<LONG>::max();
constexpr LONG kMin = std::numeric_limits<LONG>::min();

TEST(DisplayScaleTest, EachScaleHasItsPictureSpacingIconPictureAndFont) {
    struct Case {
        UINT dpi;
        int picture;
        UINT fixedId;
        RECT row;     // the first drive button of 30 x 20 in a 300 x 40 bar
        RECT column;  // the same in a 40 x 300 column
        int iconPicture;
        LONG font;  // the 7-point font of -9 at 96 DPI
    };
    const Case cases[] = {
        {72, 16, 132, {33, 1, 63, 40}, {1, 23, 40, 43}, 54, -7},
        {96, 16, 132, {34, 1, 64, 40}, {1, 24, 40, 44}, 72, -9},
        {110, 16, 132, {34, 1, 64, 40}, {1, 24, 40, 44}, 84, -11},
        {120, 20, 142, {35, 1, 65, 40}, {1, 25, 40, 45}, 90, -12},
        {144, 24, 152, {37, 2, 67, 40}, {2, 27, 40, 47}, 108, -14},
        {168, 28, 162, {37, 2, 67, 40}, {2, 27, 40, 47}, 126, -16},
        {192, 32, 172, {38, 2, 68, 40}, {2, 28, 40, 48}, 144, -19},
        // Beyond 200% the largest drawn picture, unstretched.
        {288, 32, 172, {42, 3, 72, 40}, {3, 32, 40, 52}, 216, -28},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(PictureSize(c.dpi), c.picture);
        EXPECT_EQ(PictureId(IDB_DRIVE_FIXED, c.picture), c.fixedId);
        EXPECT_EQ(BarButtonRect(1, false, SIZE{300, 40}, SIZE{30, 20}, c.dpi), c.row);
        EXPECT_EQ(BarButtonRect(1, true, SIZE{40, 300}, SIZE{30, 20}, c.dpi), c.column);
        EXPECT_EQ(IconPictureForDpi(c.dpi).size, c.iconPicture);
        EXPECT_EQ(FontHeightForDpi(-9, kDefaultDpi, c.dpi), c.font);
    }
    // A figure of no known scale stays as it is.
    EXPECT_EQ(ScaleBetween(7, 0, 144), 7);
}

TEST(DisplayScaleTest, AStoredThicknessKeepsItsRowsAtAnotherScaleAndAcrossItsEdgeScales) {
    struct Case {
        LONG thickness, fromFrame, toFrame, step;
        UINT from, to;
        LONG expected;
    };
    const Case cases[] = {
        // Rows of 15 in a frame of 6 at 96 DPI; rows of 24, 21 and 26 in frames of 8 and 6.
        {36, 6, 8, 24, 96, 144, 56},
        {51, 6, 6, 21, 96, 120, 69},
        {156, 6, 8, 26, 96, 168, 268},
        {72, 8, 6, 15, 192, 96, 36},
        // Half a row or more is a row: 24, 23 and 22 pixels at 150% are 1.57, 1.5 and 1.43 rows of 23.
        {30, 6, 8, 23, 96, 144, 54},
        {29, 6, 8, 23, 96, 144, 54},
        {28, 6, 8, 23, 96, 144, 31},
        // Rows of two pixels are rows still: 13 pixels at 150% are 10 of them, not 19.5 pixels.
        {19, 6, 8, 2, 96, 144, 28},
        // Across a left or right edge, sized pixel by pixel: the client area scales, the
        // narrowest bar stays the narrowest, its frame that of each scale.
        {34, 6, 8, 1, 96, 144, 50},
        {50, 8, 6, 1, 144, 96, 34},
        {0, 6, 8, 1, 96, 144, 8},
        // No fewer than one row, however little was stored.
        {0, 6, 8, 24, 96, 144, 32},
        {kMin, 6, 8, 24, 96, 144, 32},
        {kMax, 6, 8, 32, 96, 192, kMax},
        // The same scale, or none known, leaves it as it is.
        {500, 8, 8, 24, 144, 144, 500},
        {500, 6, 8, 24, 0, 144, 500},
        {500, 6, 8, 24, 96, 200000, 500},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RescaledThickness(c.thickness, c.fromFrame, c.toFrame, c.step, c.from, c.to), c.expected)
            << c.thickness << " " << c.step << " " << c.from << " -> " << c.to;
    }
    BARPLACEMENT placement{48, ABE_TOP, FALSE, TRUE, {34, 36, 40, 21}, {100, 50, 168, 81}};
    RescalePlacement(&placement, DockedScale{96, SIZE{6, 6}}, DockedScale{144, SIZE{8, 8}}, SIZE{1, 24});
    const BARPLACEMENT expected{48, ABE_TOP, FALSE, TRUE, {50, 56, 59, 32}, {100, 50, 202, 97}};
    EXPECT_EQ(std::memcmp(&placement, &expected, sizeof(expected)), 0);
}

using DisplayScaleBarTest = BarTest;

TEST_F(DisplayScaleBarTest, AtStartTheBarLoadsThePicturesDrawnForItsScaleAndKeepsTheRowsOfAnEarlierVersion) {
    os.SetDpi(144);
    os.AddDialogTemplate(IDD_BAR, {"Vossel",
                                   0x96CC0445,
                                   WS_EX_TOOLWINDOW,
                                   44,
                                   24,
                                   {{IDC_MENU_BUTTON, "Button", "", 0x5001000B, RECT{0, 0, 44, 24}}}});
    // Two rows of 15 at 96 DPI, with no scale stored beside them.
    StorePlacement(os, BARPLACEMENT{48, ABE_TOP, FALSE, TRUE, {34, 36, 34, 36}, {0, 0, 68, 39}});
    CVosselDialog& bar = CreateBar();
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 0, 1024, 8 + 2 * 24}));
    for (const auto& call : os.GdiCalls()) {
        EXPECT_NE(call.function, "CopyImage");
        if (call.function == "CreateMappedBitmap") {
            EXPECT_TRUE(call.resourceId >= 150 && call.resourceId <= 154) << call.resourceId;
        }
    }
    EXPECT_EQ(ChildRect(os.GetDlgItem(bar.m_hWnd, IDC_MENU_BUTTON)), (RECT{2, 2, 46, 48}));
    EXPECT_EQ(ChildRect(bar.DriveButtons()[0]->m_hWnd), (RECT{51, 2, 95, 48}));
    // The picture two pixels in, the letters five into it: 2 + 24 - 5, centred in the 11 pixels left.
    std::vector<int> lefts;
    for (const auto& call : Paint(bar.DriveButtons()[0]->m_hWnd)) {
        if (call.function == "DrawStateA") {
            lefts.push_back(call.x);
            EXPECT_EQ(call.cx, (call.flags & 0xF) == DST_BITMAP ? 24 : 0);
        }
    }
    EXPECT_EQ(lefts, (std::vector<int>{2, 26}));
    bar.DestroyWindow();
    EXPECT_EQ(os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State DPI")->data,
              (std::vector<BYTE>{144, 0, 0, 0}));
    EXPECT_EQ(LoadStoredDpi(), 144u);
    // A scale no screen has counts as 100%, as does a window the system gives none.
    os.SetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State DPI", REG_DWORD, {0x88, 0x13, 0, 0});
    EXPECT_EQ(LoadStoredDpi(), 96u);
    EXPECT_EQ(WindowDpi(nullptr), 96u);
}

TEST_F(DisplayScaleBarTest, AChangeOfScaleGivesNewFontsPicturesAndSizesAndADockedBarKeepsItsRows) {
    CVosselDialog& bar = CreateBar();
    const auto Place = [&bar](int edge, LONG thickness, RECT floating) {
        const BARPLACEMENT placement{48, edge, FALSE, TRUE, {thickness, thickness, thickness, thickness}, floating};
        bar.SetPlacement(&placement);
    };
    const HWND menu = os.GetDlgItem(bar.m_hWnd, IDC_MENU_BUTTON);
    const auto FontHeight = [this](HWND hwnd) {
        LOGFONTA font{};
        os.GetObjectA(reinterpret_cast<HGDIOBJ>(os.SendMessageA(hwnd, WM_GETFONT, 0, 0)), sizeof(font), &font);
        return font.lfHeight;
    };
    Place(ABE_TOP, 6 + 2 * kBarClientHeight, RECT{200, 200, 300, 240});
    const auto before = os.LiveObjects();
    os.ClearLogs();
    os.ChangeDpi(144);
    // Buttons of 42 x 23, two rows of them, two pixels in and five apart.
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 0, 1024, 8 + 2 * 23}));
    EXPECT_EQ(ChildRect(menu), (RECT{2, 2, 44, 46}));
    EXPECT_EQ(ChildRect(bar.DriveButtons()[1]->m_hWnd), (RECT{96, 2, 138, 46}));
    // The 8-point font of -11 at 96 DPI, and the pictures drawn at 24.
    EXPECT_EQ(FontHeight(menu), -16);
    EXPECT_EQ(FontHeight(bar.DriveButtons()[1]->m_hWnd), -16);
    std::vector<UINT> pictures;
    for (const auto& call : os.GdiCalls()) {
        if (call.function == "CreateMappedBitmap") {
            pictures.push_back(call.resourceId);
        }
    }
    EXPECT_EQ(pictures, (std::vector<UINT>{154, 154, 152, 152, 150, 150}));
    // Without a new font the buttons keep the one they have.
    os.FailCall("CreateFontIndirectA", 1);
    os.ChangeDpi(168);
    EXPECT_EQ(FontHeight(menu), -16);
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 0, 1024, 8 + 2 * 26}));
    // Back at 100% the bar is as it was, and the font made for 150% is gone.
    os.ChangeDpi(96);
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 0, 1024, 6 + 2 * kBarClientHeight}));
    EXPECT_EQ(ChildRect(menu), (RECT{1, 1, 29, 2 * kBarClientHeight}));
    EXPECT_EQ(FontHeight(bar.DriveButtons()[0]->m_hWnd), -11);
    EXPECT_EQ(os.LiveObjects(), before);
    // At the left edge the width scales; floating, the bar goes where the system suggests.
    Place(ABE_LEFT, 40, RECT{200, 200, 300, 240});
    os.ChangeDpi(120);
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 0, 6 + 43, 768}));
    Place(EDGE_FLOATING, 40, RECT{200, 200, 300, 260});
    os.ChangeDpi(192);
    EXPECT_EQ(bar.GetPlacement().rcFloating, (RECT{200, 200, 360, 296}));
}

// The frames Wine draws at each scale the bar is tried at (its metrics at 96
// DPI scaled as it scales them), and its scroll bars there.
struct ScaleFrames {
    UINT dpi;
    LONG docked;     // a thick frame without caption, across an edge
    SIZE floating;   // with a border and a tool window's caption
    LONG scrollBar;  // SM_CXVSCROLL
};
const ScaleFrames kScales[] = {
    {96, 6, {8, 24}, 17}, {120, 6, {8, 28}, 21}, {144, 8, {10, 34}, 26}, {192, 8, {10, 41}, 34}};

TEST_F(DisplayScaleBarTest, AtEveryScaleRowsTheOneRowMinimumSnappingAndTheFloatingZoneTakeTheBarsOwnFrame) {
    // Signed in at one scale, the screen's scale changed to another without signing out.
    for (const ScaleFrames& signedIn : kScales) {
        for (const ScaleFrames& at : kScales) {
            if (signedIn.dpi == at.dpi) {
                continue;
            }
            SCOPED_TRACE(testing::Message() << "signed in at " << signedIn.dpi << ", the bar at " << at.dpi);
            os.SetSystemDpi(signedIn.dpi);
            os.SetDpi(signedIn.dpi);
            // The template as the dialog manager lays it out at the signed-in scale.
            const SIZE made{ScaleForDpi(kBarClientWidth, signedIn.dpi), ScaleForDpi(kBarClientHeight, signedIn.dpi)};
            os.AddDialogTemplate(IDD_BAR,
                                 {"Vossel",
                                  0x96CC0445,
                                  WS_EX_TOOLWINDOW,
                                  made.cx,
                                  made.cy,
                                  {{IDC_MENU_BUTTON, "Button", "", 0x5001000B, RECT{0, 0, made.cx, made.cy}}}});
            CVosselDialog& bar = CreateBar();
            // Two rows at the top.
            const LONG start = signedIn.docked + 2 * made.cy;
            BARPLACEMENT placement{48, ABE_TOP, FALSE, TRUE, {start, start, start, start}, {300, 300, 310, 310}};
            bar.SetPlacement(&placement);
            os.ChangeDpi(at.dpi);
            const LONG row = static_cast<LONG>(ScaleBetween(made.cy, signedIn.dpi, at.dpi));
            const LONG button = static_cast<LONG>(ScaleBetween(made.cx, signedIn.dpi, at.dpi));
            EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 0, 1024, at.docked + 2 * row}));
            EXPECT_EQ(ClientRectOf(bar.m_hWnd).bottom, 2 * row);
            // Its floating rectangle stays where it was, only scaled.
            const RECT floating = bar.GetPlacement().rcFloating;
            EXPECT_EQ(floating.left, 300);
            EXPECT_EQ(floating.top, 300);
            EXPECT_EQ(floating.right - 300, floating.bottom - 300);
            MINMAXINFO info{};
            os.SendMessageA(bar.m_hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
            EXPECT_EQ(info.ptMinTrackSize.y, at.docked + row);
            // Sized from one row at the inner side to every row up to half the screen: the largest travel
            // that snaps to it, and a pixel more to the next, in one jump as Windows gives it and in small
            // steps as Wine does; far toward the edge, one row.
            const LONG most = (384 - at.docked) / row;
            for (LONG rows = 1; rows <= most; ++rows) {
                const LONG largest = (rows - 1) * row + (row - 1) / 2;
                const std::tuple<LONG, Loop, LONG> travels[] = {{largest, Loop::Windows, rows},
                                                                {largest + 1, Loop::Windows, std::min(rows + 1, most)},
                                                                {largest, Loop::Wine, rows},
                                                                {largest + 1, Loop::Wine, std::min(rows + 1, most)},
                                                                {-10 * row, Loop::Wine, 1}};
                for (const auto& [travel, loop, expected] : travels) {
                    placement = bar.GetPlacement();
                    placement.anThickness[ABE_TOP] = at.docked + row;
                    bar.SetPlacement(&placement);
                    const LONG from = at.docked + row - 1;
                    std::vector<POINT> points;
                    for (int i = 1; i <= 4; ++i) {
                        points.push_back(POINT{500, from + travel * i / 4});
                    }
                    EXPECT_EQ(SizeLoop(bar.m_hWnd, WMSZ_BOTTOM, POINT{500, from}, points, loop),
                              (RECT{0, 0, 1024, at.docked + expected * row}))
                        << travel;
                    EXPECT_EQ(ClientRectOf(bar.m_hWnd).bottom, expected * row) << travel;
                }
            }
            // At the left edge and floating, no smaller than one button.
            placement = bar.GetPlacement();
            placement.nEdge = ABE_LEFT;
            placement.anThickness[ABE_LEFT] = 1;
            bar.SetPlacement(&placement);
            EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 0, at.docked + button, 768}));
            placement.nEdge = EDGE_FLOATING;
            placement.rcFloating = RECT{300, 300, 301, 301};
            bar.SetPlacement(&placement);
            EXPECT_EQ(WindowRect(bar.m_hWnd),
                      (RECT{300, 300, 300 + at.floating.cx + button, 300 + at.floating.cy + row}));
            EXPECT_EQ(ClientRectOf(bar.m_hWnd), (RECT{0, 0, button, row}));
            // It floats from the scroll bars' width of its own scale inside the screen.
            EXPECT_EQ(bar.EdgeForDrag(POINT{at.scrollBar - 1, 300}), ABE_LEFT);
            EXPECT_EQ(bar.EdgeForDrag(POINT{at.scrollBar, 300}), EDGE_FLOATING);
            // Hidden, it leaves its two pixels.
            placement.nEdge = ABE_BOTTOM;
            placement.bAutoHide = TRUE;
            bar.SetPlacement(&placement);
            EXPECT_EQ(WindowRect(bar.m_hWnd).top, 766);
            bar.DestroyWindow();
        }
    }
}

TEST_F(DisplayScaleBarTest, ABarThatMovedToAnotherScaleComesBackAtTheNextStartAsItLeft) {
    const auto UseTemplateAt = [this](UINT dpi) {
        const SIZE made{ScaleForDpi(kBarClientWidth, dpi), ScaleForDpi(kBarClientHeight, dpi)};
        os.AddDialogTemplate(IDD_BAR, {"Vossel",
                                       0x96CC0445,
                                       WS_EX_TOOLWINDOW,
                                       made.cx,
                                       made.cy,
                                       {{IDC_MENU_BUTTON, "Button", "", 0x5001000B, RECT{0, 0, made.cx, made.cy}}}});
    };
    struct Case {
        int edge;
        LONG thickness;  // at 96 DPI
        RECT window;     // at 150%, in rows of 23 and buttons of 42 in a frame of 8, and floating
    };
    // Two rows, or two buttons wide, at each edge; floating where the system suggests.
    const Case cases[] = {{ABE_TOP, 6 + 2 * 15, {0, 0, 1024, 8 + 2 * 23}},
                          {ABE_BOTTOM, 6 + 2 * 15, {0, 768 - 8 - 2 * 23, 1024, 768}},
                          {ABE_LEFT, 6 + 2 * 28, {0, 0, 8 + 2 * 42, 768}},
                          {ABE_RIGHT, 6 + 2 * 28, {1024 - 8 - 2 * 42, 0, 1024, 768}},
                          {EDGE_FLOATING, 0, {200, 100, 200 + 96, 100 + 81}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "edge " << c.edge);
        os.SetDpi(96);
        UseTemplateAt(96);
        const LONG t = c.thickness;
        StorePlacement(os,
                       BARPLACEMENT{48, c.edge, FALSE, TRUE, {t, t, t, t}, {200, 100, 200 + 8 + 56, 100 + 24 + 30}});
        os.SetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State DPI", REG_DWORD, {96, 0, 0, 0});
        CreateBar();
        os.ChangeDpi(144);
        EXPECT_EQ(WindowRect(bar->m_hWnd), c.window);
        bar->DestroyWindow();
        // The next start finds the screen at 150%, signed in at 100% as before.
        UseTemplateAt(144);
        CVosselDialog& again = CreateBar();
        EXPECT_EQ(WindowRect(again.m_hWnd), c.window);
        again.DestroyWindow();
    }
}

TEST_F(DisplayScaleBarTest, DraggedOntoAScreenAt200PercentTheBarKeepsFollowingThePointerAtTheNewScale) {
    CVosselDialog& bar = CreateBar();
    // The system's move loop: the window where WM_MOVING leaves the proposal, which moves with the pointer.
    POINT last{};
    const auto Moving = [&](POINT cursor) {
        os.SetCursorPos(cursor);
        RECT rect = DragSides(WMSZ_TOPLEFT, WindowRect(bar.m_hWnd), last, cursor);
        rect = DragSides(WMSZ_BOTTOMRIGHT, rect, last, cursor);
        last = cursor;
        os.SendMessageA(bar.m_hWnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&rect));
        const WindowFrame frame = FrameOfRect(rect);
        os.SetWindowPos(bar.m_hWnd, nullptr, frame.x, frame.y, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    struct Case {
        POINT to;  // where the pointer takes the bar, Ctrl held in the middle
        int edge;
        RECT at200;  // the window once the screen is at 200%
    };
    // Two rows of 15, or two buttons of 28, in a frame of 6: two rows of 30, or buttons of 56, in a frame of 8.
    const Case cases[] = {{{500, 300}, EDGE_FLOATING, {464, 300, 464 + 144, 300 + 78}},
                          {{3, 400}, ABE_LEFT, {0, 0, 68, 768}},
                          {{500, 3}, ABE_TOP, {0, 0, 1024, 68}},
                          {{1020, 400}, ABE_RIGHT, {1024 - 68, 0, 1024, 768}},
                          {{500, 765}, ABE_BOTTOM, {0, 768 - 68, 1024, 768}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "edge " << c.edge);
        os.ChangeDpi(96);
        const BARPLACEMENT placement{48, ABE_TOP, FALSE, TRUE, {36, 36, 36, 36}, {0, 0, 72, 39}};
        bar.SetPlacement(&placement);
        last = POINT{500, 10};
        os.SetCursorPos(last);
        os.SendMessageA(bar.m_hWnd, WM_ENTERSIZEMOVE, 0, 0);
        os.SetKeyDown(VK_CONTROL, c.edge == EDGE_FLOATING);
        Moving(c.to);
        os.ChangeDpi(192);
        EXPECT_EQ(WindowRect(bar.m_hWnd), c.at200);
        EXPECT_EQ(bar.GetEffectiveEdge(), c.edge);
        // The bar keeps its own edge and strip until the loop ends.
        EXPECT_EQ(bar.GetPlacement().nEdge, ABE_TOP);
        EXPECT_EQ(os.ReservedRect(bar.m_hWnd), (std::optional<RECT>(RECT{0, 0, 1024, 36})));
        // Onward: a floating bar moves with the pointer, a docked one stays at its edge.
        Moving(POINT{c.to.x + 20, c.to.y + (c.edge == ABE_BOTTOM ? -2 : 2)});
        const RECT moved = c.edge == EDGE_FLOATING
                               ? RECT{c.at200.left + 20, c.at200.top + 2, c.at200.right + 20, c.at200.bottom + 2}
                               : c.at200;
        EXPECT_EQ(WindowRect(bar.m_hWnd), moved);
        os.SendMessageA(bar.m_hWnd, WM_EXITSIZEMOVE, 0, 0);
        os.SetKeyDown(VK_CONTROL, false);
        EXPECT_EQ(WindowRect(bar.m_hWnd), moved);
        EXPECT_EQ(bar.GetPlacement().nEdge, c.edge);
        if (c.edge == EDGE_FLOATING) {
            EXPECT_EQ(bar.GetPlacement().rcFloating, moved);
        } else {
            EXPECT_EQ(os.ReservedRect(bar.m_hWnd), std::optional<RECT>(moved));
        }
    }
    // Sized across the change: the inner side goes on from where the window is, in rows of the new scale.
    os.ChangeDpi(96);
    const BARPLACEMENT top{48, ABE_TOP, FALSE, TRUE, {36, 36, 36, 36}, {0, 0, 72, 39}};
    bar.SetPlacement(&top);
    os.SetCursorPos(POINT{500, 35});
    os.SendMessageA(bar.m_hWnd, WM_ENTERSIZEMOVE, 0, 0);
    const auto Sizing = [&](LONG y) {
        os.SetCursorPos(POINT{500, y});
        RECT rect = WindowRect(bar.m_hWnd);
        rect.bottom = y + 1;
        os.SendMessageA(bar.m_hWnd, WM_SIZING, WMSZ_BOTTOM, reinterpret_cast<LPARAM>(&rect));
        return rect;
    };
    EXPECT_EQ(Sizing(40), (RECT{0, 0, 1024, 36}));
    os.ChangeDpi(192);
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 0, 1024, 68}));
    EXPECT_EQ(Sizing(40 + 16), (RECT{0, 0, 1024, 98}));
    os.SendMessageA(bar.m_hWnd, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(WindowRect(bar.m_hWnd), (RECT{0, 0, 1024, 98}));
    EXPECT_EQ(bar.GetPlacement().anThickness[ABE_TOP], 98);
}

}  // namespace
