// Tooltip requests with any id and flags, narrow and wide, for drives with
// labels and network names of any length.
#include <algorithm>

#include "fuzz/FuzzWorld.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    FuzzWorld world;
    MemoryOs& os = world.os;
    os.AddDrive('C', DRIVE_FIXED, input.ConsumeRandomLengthString(600));
    os.AddDrive('N', DRIVE_REMOTE);
    os.AddNetworkConnection("N:", input.ConsumeRandomLengthString(3000));
    CVosselDialog& bar = world.StartBar();
    std::vector<HWND> windows = world.BarWindows();
    windows.push_back(nullptr);

    for (int i = 0; i < 16 && input.remaining_bytes() > 0; ++i) {
        const bool wide = input.ConsumeBool();
        const UINT flags = input.ConsumeIntegral<UINT>();
        const auto any = input.ConsumeIntegral<UINT_PTR>();
        const UINT_PTR id = input.ConsumeBool() ? reinterpret_cast<UINT_PTR>(FuzzPick(input, windows)) : any;
        const HWND from = FuzzPick(input, windows);
        if (input.ConsumeBool()) {
            // A label may change between two tips.
            os.AddDrive('C', DRIVE_FIXED, input.ConsumeRandomLengthString(600));
        }
        // The request, narrow or wide; text in its own buffer ends there.
        const auto ask = [&](auto request, UINT code) {
            request.hdr = NMHDR{from, id, code};
            request.uFlags = flags;
            os.SendMessageA(bar.m_hWnd, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&request));
            auto* const end = request.szText + std::size(request.szText);
            FuzzCheck(request.lpszText != request.szText || std::find(request.szText, end, 0) != end,
                      "a tip ends in its buffer");
        };
        wide ? ask(NMTTDISPINFOW{}, TTN_NEEDTEXTW) : ask(NMTTDISPINFOA{}, TTN_NEEDTEXTA);
        for (const auto& button : bar.DriveButtons()) {
            os.HoverToolTip(button->m_hWnd, wide);
        }
    }
    world.ExitBar();
    return 0;
}
