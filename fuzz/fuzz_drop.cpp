// Dropped file lists of up to 10,000 paths of any length, of bytes or of any
// UTF-16 units, dragged onto the bar with any keys and allowed effects, into
// any folder the dialog gives. No name the shell would misread reaches it.
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
            files->push_back(input.ConsumeBool() ? FuzzWideText(input, 300) : input.ConsumeRandomLengthString(400));
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
    for (const MemoryOs::FileOperation& operation : os.FileOperations()) {
        FuzzCheck(operation.from.size() == operation.to.size(), "one destination per item");
        for (size_t i = 0; i < operation.from.size(); ++i) {
            const std::string& from = operation.from[i];
            const std::string name = from.substr(from.rfind('\\') + 1);
            FuzzCheck(from.find_first_of("*?/") == std::string::npos && !name.empty() && name != "." && name != "..",
                      "only names the shell takes as they are");
            const std::string& to = operation.to[i];
            FuzzCheck(to.size() >= name.size() && to.compare(to.size() - name.size(), name.size(), name) == 0,
                      "an item keeps its name");
        }
    }
    world.ExitBar();
    return 0;
}
