
#include <map>
#include <memory>
#include <sstream>
#include <tuple>

#include "actions/DriveButton.h"
#include "resources/resource.h"
#include "tests/support/TestOs.h"

namespace {

constexpr UINT kId = 2683;

class DriveButtonTest : public OsTest {
protected:
    DriveButtonTest() { os.CreateWindowExA(0, "VosselWnd", "", WS_POPUP, 0, 0, 300, 100, nullptr, 0, &parent); }

    void Make(const char* text, int cx, int cy, bool picture = true, int margin = 1, int gap = -3) {
        button = std::make_unique<CDriveButton>();
        ASSERT_TRUE(
            button->Create(text, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{3, 2, 3 + cx, 2 + cy}, &parent, kId));
        os.ClearLogs();
        if (picture) {
            ASSERT_TRUE(button->SetBitmap(IDB_DRIVE_FIXED, 16, 16, RGB(255, 255, 255)));
            NamePictures();
        }
        button->SetImageMargin(margin);
        button->SetTextGap(gap);
    }

    // Names the pictures the last calls made by the colour that took white's place, unless mapped with
    // a mask or more maps than one; a mapped picture is followed by its sized copy unless drawn at that size.
    void NamePictures() {
        const auto& calls = os.GdiCalls();
        for (auto call = calls.begin(); call != calls.end(); ++call) {
            if (call->function == "CreateMappedBitmap") {
                const COLORREF to = call->colorTo;
                const bool copied = call + 1 != calls.end() && (call + 1)->function == "CopyImage";
                pictures[copied ? (call + 1)->image : call->image] = call->flags != 0           ? "masked"
                                                                     : call->maps != 1          ? "mapped twice"
                                                                     : to == RGB(255, 255, 255) ? "white"
                                                                     : to == os.GetSysColor(COLOR_BTNFACE) ? "face"
                                                                                                           : "?";
            }
        }
    }

    std::string Draw(UINT action, UINT state, RECT rc = {}) {
        rc = rc.right == 0 ? ClientRectOf(button->m_hWnd) : rc;
        const HDC dc = os.GetDC(button->m_hWnd);
        DRAWITEMSTRUCT item{ODT_BUTTON, kId, 0, action, state, button->m_hWnd, dc, rc, 0};
        os.ClearLogs();
        os.SendMessageA(parent.m_hWnd, WM_DRAWITEM, kId, reinterpret_cast<LPARAM>(&item));
        std::ostringstream out;
        // The context given back as it came.
        if (os.SetBkMode(dc, OPAQUE) != OPAQUE) {
            out << "background mode left changed; ";
        }
        os.ReleaseDC(button->m_hWnd, dc);
        for (const auto& c : os.GdiCalls()) {
            if (c.function == "DrawFrameControl") {
                out << "frame " << c.flags << "; ";
            } else if (c.function == "DrawStateA") {
                // Pictures at their 16 x 16, texts at the size the system measures (0 x 0); any other is shown.
                const bool picture = (c.flags & 0xF) == DST_BITMAP;
                out << (picture ? "picture " + pictures[c.image] : c.text) << " " << c.x << "," << c.y;
                if (c.cx != (picture ? 16 : 0) || c.cy != (picture ? 16 : 0)) {
                    out << " " << c.cx << "x" << c.cy;
                }
                // Letters only: the text's cell never covers the picture.
                out << (!picture && c.bkMode != TRANSPARENT ? " with its background" : "");
                out << ((c.flags & DSS_DISABLED) != 0 ? " disabled; " : "; ");
            } else if (c.function == "DrawFocusRect") {
                out << "focus " << c.rect << "; ";
            }
        }
        return out.str();
    }

    CWnd parent;
    std::unique_ptr<CDriveButton> button;
    std::map<HANDLE, std::string> pictures;
};

TEST_F(DriveButtonTest,
       DrawsPictureAndTextPlacedByStateWithAFocusInsetSmallerOnSmallButtonsAndFailingPicturesLeakNothing) {
    const std::tuple<const char*, int, int, bool, int, int, UINT, UINT, const char*> cases[] = {
        // The text area starts at 1 + 16 - 3 = 14; the text is centred in it, one pixel high.
        {"C:", 28, 14, true, 1, -3, ODA_DRAWENTIRE, 0, "frame 16; picture face 1,-1; C: 15,-1; "},
        {"Long caption", 28, 14, true, 1, -3, ODA_DRAWENTIRE, 0, "frame 16; picture face 1,-1; Long caption 14,-1; "},
        {"C:", 28, 14, true, 1, -3, ODA_SELECT, ODS_SELECTED, "frame 528; picture face 2,0; C: 16,0; "},
        {"C:", 28, 14, true, 1, -3, ODA_DRAWENTIRE, ODS_DISABLED | ODS_FOCUS,
         "frame 16; picture white 1,-1 disabled; C: 15,-1 disabled; "},
        {"C:", 28, 14, true, 1, -3, ODA_DRAWENTIRE, ODS_FOCUS,
         "frame 16; picture face 1,-1; C: 15,-1; focus {3, 3, 25, 11}; "},
        {"C:", 20, 14, true, 1, -3, ODA_FOCUS, ODS_FOCUS, "focus {3, 3, 17, 11}; "},
        {"C:", 28, 14, false, 1, -3, ODA_DRAWENTIRE, 0, "frame 16; C: 8,-1; "},
        // The menu button: a picture alone, centred both ways.
        {"", 28, 15, true, 4, 8, ODA_DRAWENTIRE, 0, "frame 16; picture face 6,-1; "},
    };
    for (const auto& [text, cx, cy, picture, margin, gap, action, state, drawn] : cases) {
        Make(text, cx, cy, picture, margin, gap);
        // A new picture, margin or gap repaints the whole button on an erased background.
        EXPECT_EQ(os.Invalidations(), (std::vector<std::pair<HWND, bool>>(picture ? 3 : 2, {button->m_hWnd, true})));
        EXPECT_EQ(Draw(action, state), drawn) << text << " " << cx << " " << state;
    }
    // Losing the focus inverts the rectangle away, once; an item at the 32-bit limits does not overflow.
    Make("C:", 20, 14);
    Draw(ODA_FOCUS, ODS_FOCUS);
    EXPECT_EQ(Draw(ODA_FOCUS, 0), "focus {3, 3, 17, 11}; ");
    EXPECT_EQ(Draw(ODA_FOCUS, 0), "");
    EXPECT_EQ(Draw(ODA_FOCUS, ODS_FOCUS, RECT{-5, -2147483647 - 1, 2147483647, 5}),
              "focus {-2, -2147483645, 2147483644, 2}; ");
    Make("C:", 28, 14, false);
    EXPECT_FALSE(button->SetBitmap(999, 16, 16, RGB(255, 255, 255)));
    os.FailCall("CopyImage", 1, 1);
    EXPECT_FALSE(button->SetBitmap(IDB_DRIVE_FIXED, 16, 16, RGB(255, 255, 255)));
    button.reset();
    EXPECT_EQ(os.LiveGdiObjects(), 0);
    const std::tuple<int, int, int> insets[] = {{20, 14, 3}, {10, 10, 2}, {60, 15, 3},
                                                {60, 12, 3}, {8, 40, 2},  {3, 3, 0}};
    for (const auto& [w, h, inset] : insets) {
        EXPECT_EQ(FocusInset(w, h), inset) << w << "x" << h;
    }
}

TEST_F(DriveButtonTest, TheFocusRectangleStandsWhereTheFocusIsAfterEveryDrawingAndNeverOnADisabledButton) {
    // What stands after the calls: a face drawn anew erases the rectangle, each DrawFocusRect inverts it.
    const auto standing = [](bool before, const std::string& calls) {
        bool shown = before;
        for (size_t at = 0; at < calls.size(); at = calls.find("; ", at) + 2) {
            shown = calls.compare(at, 6, "frame ") == 0 ? false : calls.compare(at, 6, "focus ") == 0 ? !shown : shown;
        }
        return shown;
    };
    for (const bool disabled : {false, true}) {
        for (const bool before : {false, true}) {
            for (const UINT action : {ODA_DRAWENTIRE, ODA_SELECT, ODA_FOCUS}) {
                for (const UINT focus : {0u, static_cast<UINT>(ODS_FOCUS)}) {
                    Make("C:", 28, 14);
                    ASSERT_EQ(standing(false, Draw(ODA_DRAWENTIRE, before ? ODS_FOCUS : 0)), before);
                    const std::string calls = Draw(action, focus | (disabled ? ODS_DISABLED : 0));
                    EXPECT_EQ(standing(before, calls), focus != 0 && !disabled)
                        << "disabled " << disabled << ", focused before " << before << ", action " << action
                        << ", focus " << focus << ": " << calls;
                }
            }
        }
    }
}

TEST_F(DriveButtonTest, APictureThatFailsToLoadHalfWayLeavesBothOldPicturesAtTheirSizeAndLeaksNothing) {
    // Each picture drawn, normal and disabled, with the size it has.
    const auto shown = [this] {
        std::string out;
        for (const UINT state : {0u, static_cast<UINT>(ODS_DISABLED)}) {
            out += Draw(ODA_DRAWENTIRE, state);
            for (const auto& call : os.GdiCalls()) {
                BITMAP bitmap{};
                if (call.function == "DrawStateA" && os.GetObjectA(call.image, sizeof(bitmap), &bitmap) > 0) {
                    out += "sized " + std::to_string(bitmap.bmWidth) + "x" + std::to_string(bitmap.bmHeight) + "; ";
                }
            }
        }
        return out;
    };
    const std::string at16 =
        "frame 16; picture face 1,7; C: 21,7; sized 16x16; "
        "frame 16; picture white 1,7 disabled; C: 21,7 disabled; sized 16x16; ";
    const std::string at20 =
        "frame 16; picture face 1,5 20x20; C: 23,7; sized 20x20; "
        "frame 16; picture white 1,5 20x20 disabled; C: 23,7 disabled; sized 20x20; ";
    // The first or the second picture's colour map, or the first or second copy to the new size.
    const std::pair<const char*, int> failures[] = {
        {"CreateMappedBitmap", 0}, {"CreateMappedBitmap", 1}, {"CopyImage", 0}, {"CopyImage", 1}};
    for (const auto& [call, skip] : failures) {
        Make("C:", 40, 30);
        ASSERT_EQ(shown(), at16) << call << " " << skip;
        const int live = os.LiveGdiObjects();
        os.ClearLogs();
        os.FailCall(call, 1, skip);
        EXPECT_FALSE(button->SetBitmap(IDB_DRIVE_FIXED, 20, 20, RGB(255, 255, 255))) << call << " " << skip;
        EXPECT_EQ(os.LiveGdiObjects(), live) << call << " " << skip;
        EXPECT_TRUE(os.Invalidations().empty()) << call << " " << skip;
        EXPECT_EQ(shown(), at16) << call << " " << skip;
        // The next load that works replaces both, and the old ones go.
        os.ClearLogs();
        ASSERT_TRUE(button->SetBitmap(IDB_DRIVE_FIXED, 20, 20, RGB(255, 255, 255)));
        NamePictures();
        EXPECT_EQ(os.LiveGdiObjects(), live) << call << " " << skip;
        EXPECT_EQ(shown(), at20) << call << " " << skip;
    }
}

}  // namespace
