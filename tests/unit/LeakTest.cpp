#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

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
        const auto after = os.LiveObjects();
        EXPECT_EQ(after, before) << c.name;
        std::string counts;
        for (const auto& [kind, count] : after) {
            counts += " " + kind + " " + std::to_string(before.at(kind)) + "->" + std::to_string(count) + ";";
        }
        std::printf("[ leaks    ] %d cycles of %s:%s\n", kCycles, c.name, counts.c_str());
    }
}

}  // namespace
