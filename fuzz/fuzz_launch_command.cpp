// Launch commands split and substituted, and run on a drive.

#include "actions/OpenDrive.h"
#include "fuzz/FuzzWorld.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const bool tile = input.ConsumeBool();
    const std::wstring root = Utf16FromUtf8(input.ConsumeRandomLengthString(8));
    const std::wstring command = Utf16FromUtf8(FuzzWideText(input, 600));

    const LaunchCommand split = SplitLaunchCommand(command);
    FuzzCheck(command.compare(0, split.program.size(), split.program) == 0, "the program starts the command");
    const std::wstring rest = command.substr(split.program.size());
    FuzzCheck(rest.size() >= split.arguments.size() &&
                  rest.compare(rest.size() - split.arguments.size(), std::wstring::npos, split.arguments) == 0,
              "the arguments end the command");
    FuzzCheck(split.arguments.empty() || std::wstring(L" \t\n\v\f\r").find(split.arguments[0]) == std::wstring::npos,
              "the arguments start with no space");
    const std::wstring arguments = SubstituteRoot(split.arguments, root);
    FuzzCheck(arguments.find(root) != std::wstring::npos, "the root is in the arguments");

    FuzzWorld world;
    world.OpenFolder("ExploreWClass");
    world.OpenFolder();
    OpenDrive(root, command, tile ? TRUE : FALSE);
    FuzzCheck(world.os.ShellExecutes().size() == 1, "the command runs once");
    return 0;
}
