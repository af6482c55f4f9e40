#include "fuzz/FuzzWorld.h"

#include <cstdio>
#include <cstdlib>

#include "app/VosselApp.h"
#include "resources/resource.h"
#include "tests/support/TestOs.h"

extern CVosselApp theApp;

void FuzzCheck(bool ok, const char* promise) {
    if (!ok) {
        std::fprintf(stderr, "broken promise: %s\n", promise);
        std::abort();
    }
}

HWND FuzzPick(FuzzedDataProvider& input, const std::vector<HWND>& windows) {
    return windows[input.ConsumeIntegralInRange<size_t>(0, windows.size() - 1)];
}

std::string FuzzWideText(FuzzedDataProvider& input, size_t maxUnits) {
    std::wstring units;
    const size_t count = input.ConsumeIntegralInRange<size_t>(0, maxUnits);
    for (size_t i = 0; i < count && input.remaining_bytes() > 0; ++i) {
        units.push_back(static_cast<WCHAR>(input.ConsumeIntegral<uint16_t>()));
    }
    return Utf8FromUtf16(units);
}

FuzzWorld::FuzzWorld() {
    SetOs(&os.Services());
    RegisterProgramResources(os);
    theApp.m_strRegistryKey = "Quorvane";
    theApp.m_strAppName = "Vossel";
    os.AddDrive('C', DRIVE_FIXED, std::string("SYSTEM"));
    os.AddDrive('D', DRIVE_CDROM);
    os.SetTaskbar(ABE_BOTTOM, 28);
    os.SetTickStep(25);
}

FuzzWorld::~FuzzWorld() {
    bar.reset();
    SetOs(nullptr);
}

CVosselDialog& FuzzWorld::StartBar(bool checkUsable) {
    m_baseline = os.LiveObjects();
    bar = std::make_unique<CVosselDialog>();
    FuzzCheck(bar->Create() != FALSE, "the bar starts");
    os.PumpMessages();
    if (checkUsable) {
        CheckUsable();
    }
    return *bar;
}

void FuzzWorld::CheckUsable() {
    RECT window{}, client{};
    os.GetWindowRect(bar->m_hWnd, &window);
    os.GetClientRect(bar->m_hWnd, &client);
    const int cx = os.GetSystemMetrics(SM_CXSCREEN), cy = os.GetSystemMetrics(SM_CYSCREEN);
    FuzzCheck(window.left < cx && window.right > 0 && window.top < cy && window.bottom > 0,
              "the bar overlaps the screen");
    FuzzCheck(client.right >= kBarClientWidth && client.bottom >= kBarClientHeight,
              "the client area holds the menu button");
    const BARPLACEMENT& placement = bar->GetPlacement();
    if (placement.nEdge != EDGE_FLOATING && !placement.bAutoHide) {
        const std::optional<RECT> reserved = os.ReservedRect(bar->m_hWnd);
        FuzzCheck(reserved.has_value() && reserved->left == window.left && reserved->top == window.top &&
                      reserved->right == window.right && reserved->bottom == window.bottom,
                  "a docked bar stands on the strip it reserves");
    }
}

void FuzzWorld::ExitBar() {
    if (bar->m_hWnd != nullptr) {
        bar->DestroyWindow();
    }
    bar.reset();
    os.PumpMessages();
    FuzzCheck(os.LiveObjects() == m_baseline, "every handle comes back");
}

std::vector<HWND> FuzzWorld::BarWindows() const {
    std::vector<HWND> windows = os.Children(bar->m_hWnd);
    windows.push_back(bar->m_hWnd);
    return windows;
}

void FuzzWorld::OpenFolder(const char* className) {
    os.CreateForeignWindow(className, "folder", WS_POPUP | WS_VISIBLE, 0, RECT{10, 10, 300, 200});
}

std::vector<BYTE> FuzzWorld::Stored(const char* name) const {
    const auto value = os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, name);
    return value ? value->data : std::vector<BYTE>();
}
