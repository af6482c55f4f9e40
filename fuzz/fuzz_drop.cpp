// Dropped file lists of up to 10,000 paths of any length, dragged onto the
// bar with any keys and allowed effects, into any folder the dialog gives.
#include "fuzz/FuzzWorld.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    FuzzWorld world;
    MemoryOs& os = world.os;
    std::optional<std::vector<std::string>> files;
    if (input.ConsumeBool()) {
        files.emplace();
        const size_t count = input.ConsumeIntegralInRange<size_t>(0, 10000);
        for (size_t i = 0; i < count && input.remaining_bytes() > 0; ++i) {
            files->push_back(input.ConsumeRandomLengthString(400));
        }
    }
    const auto folder = input.ConsumeBool() ? std::optional(input.ConsumeRandomLengthString(300)) : std::nullopt;
    os.SetFolderDialogAnswer([&folder](const MemoryOs::FolderDialog&) { return folder; });
    world.StartBar();
    MemoryDragData drag(os, files);
    const std::vector<HWND> targets = world.BarWindows();
    for (int i = 0; i < 3 && input.remaining_bytes() > 0; ++i) {
        RECT rect{};
        os.GetWindowRect(FuzzPick(input, targets), &rect);
        const POINT point{rect.left + input.ConsumeIntegralInRange<LONG>(-2, 40),
                          rect.top + input.ConsumeIntegralInRange<LONG>(-2, 20)};
        const DWORD keys = input.ConsumeIntegral<DWORD>();
        const DROPEFFECT allowed = input.ConsumeIntegral<DROPEFFECT>();
        os.DragTo(&drag, POINT{500, 500}, keys | MK_LBUTTON, allowed);
        os.DragTo(&drag, point, keys | MK_LBUTTON, allowed);
        os.DropAt(point, keys, allowed);
        os.PumpMessages();
    }
    world.ExitBar();
    return 0;
}
