// Volume labels and network remote names of any length, and network
// enumerations that answer ERROR_MORE_DATA in odd ways or miscount a batch.
#include <algorithm>

#include "bar/Drives.h"
#include "fuzz/FuzzWorld.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    FuzzWorld world;
    MemoryOs& os = world.os;
    const int drives = input.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < drives; ++i) {
        const char letter = static_cast<char>('A' + input.ConsumeIntegralInRange(0, 25));
        const UINT type = input.PickValueInArray<UINT>(
            {DRIVE_UNKNOWN, DRIVE_NO_ROOT_DIR, DRIVE_REMOVABLE, DRIVE_FIXED, DRIVE_REMOTE, DRIVE_CDROM, DRIVE_RAMDISK});
        os.AddDrive(letter, type, input.ConsumeBool() ? std::optional(FuzzWideText(input, 1000)) : std::nullopt);
    }
    const int connections = input.ConsumeIntegralInRange(0, 60);
    for (int i = 0; i < connections; ++i) {
        std::string local = input.ConsumeRandomLengthString(4);
        os.AddNetworkConnection(std::move(local), FuzzWideText(input, 3000));
    }
    const int answers = input.ConsumeIntegralInRange(0, 12);
    for (int i = 0; i < answers; ++i) {
        const DWORD result = input.PickValueInArray<DWORD>(
            {static_cast<DWORD>(ERROR_MORE_DATA), static_cast<DWORD>(ERROR_SUCCESS), input.ConsumeIntegral<DWORD>()});
        const int change = input.ConsumeIntegralInRange(0, 4);
        const DWORD amount = input.ConsumeIntegral<DWORD>();
        os.QueueNetEnumAnswer([=](DWORD* bufferSize) {
            // The size asked for stays, grows, halves, or is anything.
            const DWORD sizes[] = {*bufferSize, *bufferSize + amount % 4096, *bufferSize / 2, amount, *bufferSize};
            *bufferSize = sizes[change];
            return result;
        });
    }
    const int counts = input.ConsumeIntegralInRange(0, 12);
    for (int i = 0; i < counts; ++i) {
        const int which = input.ConsumeIntegralInRange(0, 4);
        const DWORD amount = input.ConsumeIntegral<DWORD>();
        os.QueueNetEnumCount([=](DWORD written, DWORD bufferSize) {
            // More than written, as many as the buffer could hold or more, or anything.
            const DWORD reported[] = {written + amount % 8, bufferSize / static_cast<DWORD>(sizeof(NETRESOURCEW)),
                                      bufferSize, 0xFFFFFFFF, amount};
            return reported[which];
        });
    }

    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const std::wstring root = std::wstring(1, static_cast<WCHAR>(letter)) + L":\\";
        std::wstring text = root;
        GetDriveLabel(text);
        FuzzCheck(text.size() >= root.size() && text.compare(text.size() - root.size(), root.size(), root) == 0,
                  "the label ends with the root");
    }
    const std::wstring path = Utf16FromUtf8(input.ConsumeRemainingBytesAsString());
    const auto name = std::make_unique<WCHAR[]>(kDriveNameBufferSize);
    if (GetNetworkName(name.get(), path.c_str())) {
        FuzzCheck(std::find(name.get(), name.get() + kDriveNameBufferSize, 0) != name.get() + kDriveNameBufferSize,
                  "the name ends in its buffer");
    }
    FuzzCheck(os.LiveEnumerations() == 0, "every enumeration is closed");
    return 0;
}
