#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "resources/resource.h"
#include "tests/support/BarFixture.h"

namespace {

constexpr int kCycles = 10000;

class LeakTest : public BarTest {};

// Each cycle runs many times over a live bar; every kind of handle it takes
// must come back.
TEST_F(LeakTest, RepeatedCyclesGiveBackEveryHandle) {
    CVosselDialog& bar = CreateBar();
    std::vector<HWND> buttons{os.GetDlgItem(bar.m_hWnd, IDC_MENU_BUTTON)};
    for (const auto& drive : bar.DriveButtons()) {
        buttons.push_back(drive->m_hWnd);
    }
    const struct {
        const char* name;
        std::function<void()> cycle;
    } cycles[] = {
        {"painting every button",
         [&] {
             for (const HWND button : buttons) {
                 for (const UINT state : {0u, ODS_SELECTED | ODS_FOCUS, ODS_DISABLED}) {
                     Paint(button, state);
                 }
             }
         }},
        {"SetBitmap",
         [&] {
             for (const auto& drive : bar.DriveButtons()) {
                 drive->SetBitmap(IDB_DRIVE_NETWORK, 16, 16, RGB(255, 255, 255));
             }
         }},
    };
    for (const auto& c : cycles) {
        const auto before = os.LiveObjects();
        for (int i = 0; i < kCycles; ++i) {
            c.cycle();
        }
        os.ClearLogs();
        EXPECT_EQ(os.LiveObjects(), before) << c.name;
        std::printf("[ leaks    ] %d cycles of %s: live handles as before\n", kCycles, c.name);
    }
}

}  // namespace
