
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
        }
        // Each mapped picture is followed by its sized copy.
        for (auto call = os.GdiCalls().begin(); call + 1 < os.GdiCalls().end(); ++call) {
            if (call->function == "CreateMappedBitmap") {
                const COLORREF to = call->colorTo;
                pictures[(call + 1)->image] = to == RGB(255, 255, 255)              ? "white"
                                              : to == os.GetSysColor(COLOR_BTNFACE) ? "face"
                                                                                    : "?";
            }
        }
        button->SetImageMargin(margin);
        button->SetTextGap(gap);
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

}  // namespace
