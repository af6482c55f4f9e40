// Launch commands split and substituted, and run on a drive.
#include <cctype>

#include "actions/OpenDrive.h"
#include "fuzz/FuzzWorld.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const bool tile = input.ConsumeBool();
    const std::string root = input.ConsumeRandomLengthString(8);
    const std::string command = input.ConsumeRemainingBytesAsString();

    const LaunchCommand split = SplitLaunchCommand(command);
    FuzzCheck(command.compare(0, split.program.size(), split.program) == 0, "the program starts the command");
    const std::string rest = command.substr(split.program.size());
    FuzzCheck(rest.size() >= split.arguments.size() &&
                  rest.compare(rest.size() - split.arguments.size(), std::string::npos, split.arguments) == 0,
              "the arguments end the command");
    FuzzCheck(split.arguments.empty() || !std::isspace(static_cast<unsigned char>(split.arguments[0])),
              "the arguments start with no space");
    const std::string arguments = SubstituteRoot(split.arguments, root);
    FuzzCheck(arguments.find(root) != std::string::npos, "the root is in the arguments");

    FuzzWorld world;
    world.OpenFolder("ExploreWClass");
    world.OpenFolder();
    OpenDrive(root, command, tile ? TRUE : FALSE);
    FuzzCheck(world.os.ShellExecutes().size() == 1, "the command runs once");
    return 0;
}
