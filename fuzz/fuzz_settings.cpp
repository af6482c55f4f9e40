// "Launch Program", "Skip Drives", "Tile Explorers" and "State Monitor" of any
// type, size and content, with or without a terminator; each drive is opened
// with them.
#include "fuzz/FuzzWorld.h"
#include "tests/support/TestOs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    FuzzWorld world;
    for (const char* name : {"Launch Program", "Skip Drives", "Tile Explorers", "State Monitor"}) {
        if (!input.ConsumeBool()) {
            continue;
        }
        const DWORD type = input.ConsumeBool() ? input.PickValueInArray<DWORD>({REG_SZ, REG_DWORD, REG_BINARY, 2, 7})
                                               : input.ConsumeIntegral<DWORD>();
        const size_t length = input.ConsumeIntegralInRange<size_t>(0, 2048);
        world.os.SetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, name, type, input.ConsumeBytes<BYTE>(length));
    }
    world.OpenFolder();
    CVosselDialog& bar = world.StartBar(true);
    const std::wstring launch = bar.LaunchProgram(), skip = bar.SkipDrives();
    const BOOL tile = bar.TileExplorers();
    for (const auto& button : bar.DriveButtons()) {
        const int id = button->GetDlgCtrlID();
        world.os.SendMessageA(bar.m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                              reinterpret_cast<LPARAM>(button->m_hWnd));
    }
    world.ExitBar();

    // What the program wrote, it reads back as it had it.
    CVosselDialog& again = world.StartBar();
    FuzzCheck(again.LaunchProgram() == launch && again.SkipDrives() == skip && again.TileExplorers() == tile,
              "written settings read back unchanged");
    world.ExitBar();
    return 0;
}
