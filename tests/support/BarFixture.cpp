#include "tests/support/BarFixture.h"

#include <algorithm>

BarTest::BarTest() {
    os.AddDrive('C', DRIVE_FIXED, std::string("SYSTEM"));
    os.AddDrive('D', DRIVE_CDROM);
}

CVosselDialog& BarTest::CreateBar() {
    bar = std::make_unique<CVosselDialog>();
    EXPECT_TRUE(bar->Create());
    // What the modal run would deliver first: the end of start-up.
    os.PumpMessages();
    return *bar;
}

RECT BarTest::ChildRect(HWND child) {
    RECT rect = WindowRect(child);
    POINT topLeft{rect.left, rect.top};
    POINT bottomRight{rect.right, rect.bottom};
    os.ScreenToClient(os.GetParent(child), &topLeft);
    os.ScreenToClient(os.GetParent(child), &bottomRight);
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void BarTest::Click(UINT id) {
    os.SendMessageA(bar->m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                    reinterpret_cast<LPARAM>(os.GetDlgItem(bar->m_hWnd, static_cast<int>(id))));
}

std::vector<MemoryOs::GdiCall> BarTest::Paint(HWND button, UINT state) {
    const auto id = static_cast<UINT>(os.GetDlgCtrlID(button));
    DRAWITEMSTRUCT item{ODT_BUTTON, id, 0, ODA_DRAWENTIRE, state, button, os.GetDC(button), ClientRectOf(button), 0};
    os.ClearLogs();
    os.SendMessageA(bar->m_hWnd, WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&item));
    os.ReleaseDC(button, item.hDC);
    return os.GdiCalls();
}

std::optional<std::string> BarTest::Tip(HWND button, std::optional<bool> wide) {
    if (!os.HoverToolTip(button, wide)) {
        return std::nullopt;
    }
    os.PumpMessages();
    return os.ShownToolTip();
}

void BarTest::ExpectTipBeside(HWND button, bool above) {
    const std::optional<RECT> tip = os.TrackedToolTipRect();
    ASSERT_TRUE(tip.has_value());
    const RECT at = WindowRect(button);
    MONITORINFOEXW info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(os.GetMonitorInfoW(os.MonitorFromRect(&at, MONITOR_DEFAULTTONEAREST), &info));
    const RECT& work = info.rcWork;
    // As near as the work area allows: a docked bar's own strip lies outside it.
    EXPECT_EQ(above ? tip->bottom : tip->top, above ? std::min(at.top, work.bottom) : std::max(at.bottom, work.top))
        << *tip << " by " << at;
    EXPECT_TRUE(tip->left == std::max(at.left, work.left) || tip->right == work.right) << *tip << " by " << at;
    EXPECT_TRUE(tip->left >= work.left && tip->top >= work.top && tip->right <= work.right &&
                tip->bottom <= work.bottom)
        << *tip << " on " << work;
}
