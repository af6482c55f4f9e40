#include <gtest/gtest.h>

#include "actions/DriveButton.h"
#include "resources/resource.h"
#include "tests/support/TestOs.h"

namespace {

constexpr int kTextWidth = 2 * MemoryOs::kCharWidth;  // "C:"

class DriveButtonTest : public OsTest {
protected:
    DriveButtonTest() {
        parentHwnd = os.CreateWindowExA(0, "VosselWnd", "", WS_POPUP, 0, 0, 300, 100, nullptr, 0, &parent);
    }

    // A button of the given size, with or without text and picture.
    void Make(const char* text, int cx, int cy, bool picture = true, int margin = 1, int gap = -3) {
        ASSERT_TRUE(button.Create(text, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{0, 0, cx, cy}, &parent, 2683));
        if (picture) {
            ASSERT_TRUE(button.SetBitmap(IDB_DRIVE_FIXED, 16, 16, RGB(255, 255, 255)));
        }
        button.SetImageMargin(margin);
        button.SetTextGap(gap);
        made = os.GdiCalls();
    }

    // The picture made from the resource with white mapped to `to`: the copy
    // that follows its mapping.
    HANDLE Picture(COLORREF to) const {
        for (auto call = made.begin(); call != made.end(); ++call) {
            if (call->function == "CreateMappedBitmap" && call->colorTo == to && call + 1 != made.end()) {
                return (call + 1)->image;
            }
        }
        return nullptr;
    }

    std::vector<MemoryOs::GdiCall> Draw(UINT action, UINT state) {
        RECT rc{};
        os.GetClientRect(button.m_hWnd, &rc);
        DRAWITEMSTRUCT item{ODT_BUTTON, 2683, 0, action, state, button.m_hWnd, nullptr, rc, 0};
        os.ClearLogs();
        os.SendMessageA(parentHwnd, WM_DRAWITEM, 2683, reinterpret_cast<LPARAM>(&item));
        return os.GdiCalls();
    }

    static const MemoryOs::GdiCall* FindCall(const std::vector<MemoryOs::GdiCall>& calls, const char* function,
                                             UINT kind = 0) {
        for (const auto& call : calls) {
            if (call.function == function && (kind == 0 || (call.flags & 0xF) == kind)) {
                return &call;
            }
        }
        return nullptr;
    }

    CWnd parent;
    HWND parentHwnd = nullptr;
    std::vector<MemoryOs::GdiCall> made;
    CDriveButton button;
};

TEST_F(DriveButtonTest, SetBitmapMapsWhiteToTheFaceAndToWhiteAtSixteenPixels) {
    os.SetSysColor(COLOR_BTNFACE, RGB(10, 20, 30));
    Make("C:", 28, 14);
    std::vector<COLORREF> targets;
    for (const auto& call : os.GdiCalls()) {
        if (call.function == "CreateMappedBitmap") {
            EXPECT_EQ(call.colorFrom, RGB(255, 255, 255));
            EXPECT_EQ(call.resourceId, static_cast<UINT>(IDB_DRIVE_FIXED));
            targets.push_back(call.colorTo);
        }
        if (call.function == "CopyImage") {
            EXPECT_EQ(call.cx, 16);
            EXPECT_EQ(call.cy, 16);
            EXPECT_EQ(call.flags, LR_COPYDELETEORG);
        }
    }
    EXPECT_EQ(targets, (std::vector<COLORREF>{RGB(10, 20, 30), RGB(255, 255, 255)}));
    EXPECT_EQ(os.LiveGdiObjects(), 2);
}

TEST_F(DriveButtonTest, FailedPicturesReportFalseAndLeakNothing) {
    Make("C:", 28, 14, false);
    EXPECT_FALSE(button.SetBitmap(999, 16, 16, RGB(255, 255, 255)));
    os.FailCall("CopyImage", 1, 1);
    EXPECT_FALSE(button.SetBitmap(IDB_DRIVE_FIXED, 16, 16, RGB(255, 255, 255)));
    // A second picture replaces the first without leaking it.
    EXPECT_TRUE(button.SetBitmap(IDB_DRIVE_FIXED, 16, 16, RGB(255, 255, 255)));
    EXPECT_TRUE(button.SetBitmap(IDB_DRIVE_CDROM, 16, 16, RGB(255, 255, 255)));
    EXPECT_EQ(os.LiveGdiObjects(), 2);
}

TEST_F(DriveButtonTest, DriveButtonPlacesPictureAndCentresTextRightOfIt) {
    Make("C:", 28, 14);
    const auto calls = Draw(ODA_DRAWENTIRE, 0);
    const auto* face = FindCall(calls, "DrawFrameControl");
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->flags, DFCS_BUTTONPUSH);
    EXPECT_EQ(face->rect, (RECT{0, 0, 28, 14}));
    const auto* image = FindCall(calls, "DrawStateA", DST_BITMAP);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->x, 1);
    EXPECT_EQ(image->y, -1);  // floor of (14 - 16) / 2
    EXPECT_EQ(image->flags, DST_BITMAP | DSS_NORMAL);
    const auto* text = FindCall(calls, "DrawStateA", DST_PREFIXTEXT);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text, "C:");
    // The text area starts at 1 + 16 - 3 = 14; 2 pixels are free in it.
    EXPECT_EQ(text->x, 14 + (28 - kTextWidth - 14) / 2);
    EXPECT_EQ(text->y, (14 - MemoryOs::kCharHeight) / 2 - 1);
    EXPECT_EQ(FindCall(calls, "DrawFocusRect"), nullptr);
}

TEST_F(DriveButtonTest, TextThatDoesNotFitStartsAtItsAreasLeftEdge) {
    Make("Long caption", 28, 14);
    const auto calls = Draw(ODA_DRAWENTIRE, 0);
    const auto* text = FindCall(calls, "DrawStateA", DST_PREFIXTEXT);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->x, 14);
}

TEST_F(DriveButtonTest, PushedButtonIsSunkenAndMovesItsContentsByOnePixel) {
    Make("C:", 28, 14);
    const auto normal = Draw(ODA_DRAWENTIRE, 0);
    const auto pushed = Draw(ODA_SELECT, ODS_SELECTED);
    EXPECT_EQ(FindCall(pushed, "DrawFrameControl")->flags, DFCS_BUTTONPUSH | DFCS_PUSHED);
    for (UINT kind : {DST_BITMAP, DST_PREFIXTEXT}) {
        EXPECT_EQ(FindCall(pushed, "DrawStateA", kind)->x, FindCall(normal, "DrawStateA", kind)->x + 1);
        EXPECT_EQ(FindCall(pushed, "DrawStateA", kind)->y, FindCall(normal, "DrawStateA", kind)->y + 1);
    }
}

TEST_F(DriveButtonTest, DisabledButtonDrawsEmbossedWithTheWhitePictureAndNoFocus) {
    Make("C:", 28, 14);
    const auto enabled = Draw(ODA_DRAWENTIRE, 0);
    const auto disabled = Draw(ODA_DRAWENTIRE, ODS_DISABLED | ODS_FOCUS);
    const auto* image = FindCall(disabled, "DrawStateA", DST_BITMAP);
    EXPECT_EQ(image->flags, DST_BITMAP | DSS_DISABLED);
    EXPECT_EQ(image->image, Picture(RGB(255, 255, 255)));
    EXPECT_EQ(FindCall(enabled, "DrawStateA", DST_BITMAP)->image, Picture(RGB(192, 192, 192)));
    EXPECT_EQ(FindCall(disabled, "DrawStateA", DST_PREFIXTEXT)->flags, DST_PREFIXTEXT | DSS_DISABLED);
    EXPECT_EQ(FindCall(disabled, "DrawFocusRect"), nullptr);
}

TEST_F(DriveButtonTest, FocusChangesOnlyToggleTheFocusRectangle) {
    Make("C:", 20, 14);
    const auto gained = Draw(ODA_FOCUS, ODS_FOCUS);
    EXPECT_EQ(FindCall(gained, "DrawFrameControl"), nullptr);
    EXPECT_EQ(FindCall(gained, "DrawStateA"), nullptr);
    ASSERT_NE(FindCall(gained, "DrawFocusRect"), nullptr);
    EXPECT_EQ(FindCall(gained, "DrawFocusRect")->rect, (RECT{3, 3, 17, 11}));
    // A full repaint of the focused button draws the rectangle once.
    const auto repaint = Draw(ODA_DRAWENTIRE, ODS_FOCUS);
    EXPECT_EQ(std::count_if(repaint.begin(), repaint.end(),
                            [](const MemoryOs::GdiCall& c) { return c.function == "DrawFocusRect"; }),
              1);
    // Losing the focus inverts the rectangle away.
    ASSERT_NE(FindCall(Draw(ODA_FOCUS, 0), "DrawFocusRect"), nullptr);
    EXPECT_EQ(FindCall(Draw(ODA_FOCUS, 0), "DrawFocusRect"), nullptr);
}

TEST_F(DriveButtonTest, FocusRectangleOfAnItemRectangleAtThe32BitLimitsDoesNotOverflow) {
    Make("C:", 28, 14);
    const LONG kMin = -2147483647 - 1;
    DRAWITEMSTRUCT item{
        ODT_BUTTON, 2683, 0, ODA_FOCUS, ODS_FOCUS, button.m_hWnd, nullptr, RECT{-5, kMin, 2147483647, 5}, 0};
    os.ClearLogs();
    os.SendMessageA(parentHwnd, WM_DRAWITEM, 2683, reinterpret_cast<LPARAM>(&item));
    ASSERT_NE(FindCall(os.GdiCalls(), "DrawFocusRect"), nullptr);
    EXPECT_EQ(FindCall(os.GdiCalls(), "DrawFocusRect")->rect, (RECT{-2, kMin + 3, 2147483644, 2}));
}

TEST(FocusInset, SmallButtonsGetASmallerInset) {
    const struct {
        int w, h, inset;
    } cases[] = {{20, 14, 3}, {10, 10, 2}, {60, 15, 3}, {60, 12, 3}, {8, 40, 2}, {3, 3, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(FocusInset(c.w, c.h), c.inset) << c.w << "x" << c.h;
    }
}

TEST_F(DriveButtonTest, MenuButtonCentresItsPictureBothWays) {
    Make("", 28, 15, true, 4, 8);
    const auto calls = Draw(ODA_DRAWENTIRE, 0);
    const auto* image = FindCall(calls, "DrawStateA", DST_BITMAP);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->x, 6);
    EXPECT_EQ(image->y, -1);
    EXPECT_EQ(FindCall(calls, "DrawStateA", DST_PREFIXTEXT), nullptr);
}

TEST_F(DriveButtonTest, WithoutAPictureTheTextIsCentred) {
    Make("C:", 28, 14, false);
    const auto calls = Draw(ODA_DRAWENTIRE, 0);
    EXPECT_EQ(FindCall(calls, "DrawStateA", DST_BITMAP), nullptr);
    EXPECT_EQ(FindCall(calls, "DrawStateA", DST_PREFIXTEXT)->x, (28 - kTextWidth) / 2);
}

}  // namespace
