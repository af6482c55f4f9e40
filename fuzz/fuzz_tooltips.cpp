// Tooltip requests with any id and flags, narrow and wide, for drives with
// labels and network names of any length.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>

#include "fuzz/FuzzWorld.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    FuzzWorld world;
    MemoryOs& os = world.os;
    os.AddDrive('C', DRIVE_FIXED, input.ConsumeRandomLengthString(600));
    os.AddDrive('N', DRIVE_REMOTE);
    os.AddNetworkConnection("N:", input.ConsumeRandomLengthString(3000));
    CVosselDialog& bar = world.StartBar();
    std::vector<HWND> windows = os.Children(bar.m_hWnd);
    windows.push_back(bar.m_hWnd);
    windows.push_back(nullptr);

    for (int i = 0; i < 16 && input.remaining_bytes() > 0; ++i) {
        const bool wide = input.ConsumeBool();
        const UINT flags = input.ConsumeIntegral<UINT>();
        UINT_PTR id = input.ConsumeIntegral<UINT_PTR>();
        if (input.ConsumeBool()) {
            id = reinterpret_cast<UINT_PTR>(windows[input.ConsumeIntegralInRange<size_t>(0, windows.size() - 1)]);
        }
        const HWND from = windows[input.ConsumeIntegralInRange<size_t>(0, windows.size() - 1)];
        if (input.ConsumeBool()) {
            // A label may change between two tips.
            os.AddDrive('C', DRIVE_FIXED, input.ConsumeRandomLengthString(600));
        }
        if (wide) {
            NMTTDISPINFOW request{};
            request.hdr = NMHDR{from, id, TTN_NEEDTEXTW};
            request.uFlags = flags;
            os.SendMessageA(bar.m_hWnd, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&request));
            if (request.lpszText == request.szText) {
                FuzzCheck(std::find(request.szText, request.szText + 80, WCHAR{0}) != request.szText + 80,
                          "a wide tip ends in its buffer");
            }
        } else {
            NMTTDISPINFOA request{};
            request.hdr = NMHDR{from, id, TTN_NEEDTEXTA};
            request.uFlags = flags;
            os.SendMessageA(bar.m_hWnd, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&request));
            if (request.lpszText == request.szText) {
                FuzzCheck(std::memchr(request.szText, '\0', 80) != nullptr, "a narrow tip ends in its buffer");
            }
        }
        for (const auto& button : bar.DriveButtons()) {
            os.HoverToolTip(button->m_hWnd, wide);
        }
    }
    world.ExitBar();
    return 0;
}
