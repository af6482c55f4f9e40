// "State Info" of any length and bytes, read at start and applied.
#include <cstring>

#include "fuzz/FuzzWorld.h"
#include "tests/support/TestOs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzWorld world;
    world.os.SetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State Info", REG_BINARY,
                              std::vector<BYTE>(data, data + size));
    world.StartBar(true);
    world.ExitBar();
    // A record the program wrote itself comes back unchanged.
    const std::vector<BYTE> written = world.Stored("State Info");
    FuzzCheck(written.size() == sizeof(BARPLACEMENT), "the bar writes its record");
    world.StartBar(true);
    FuzzCheck(std::memcmp(&world.bar->GetPlacement(), written.data(), written.size()) == 0,
              "a written record is taken back unchanged");
    world.ExitBar();
    return 0;
}
