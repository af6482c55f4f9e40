// Tooltip requests with any id and flags, narrow and wide, for drives with
// labels and network names of any length and any UTF-16 units, and a child
// with a long text, under a code page of one byte a character or of two.
#include <algorithm>
#include <type_traits>

#include "fuzz/FuzzWorld.h"
#include "resources/resource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    FuzzWorld world;
    MemoryOs& os = world.os;
    os.AddDrive('C', DRIVE_FIXED, FuzzWideText(input, 600));
    os.AddDrive('N', DRIVE_REMOTE);
    os.AddNetworkConnection("N:", FuzzWideText(input, 3000));
    os.UseDoubleByteCodePage(input.ConsumeBool());
    CVosselDialog& bar = world.StartBar();
    std::vector<HWND> windows = world.BarWindows();
    windows.push_back(nullptr);
    if (input.ConsumeBool()) {
        os.SetWindowTextW(bar.GetDlgItem(IDC_MENU_BUTTON), Utf16FromUtf8(FuzzWideText(input, 1500)).c_str());
    }

    for (int i = 0; i < 16 && input.remaining_bytes() > 0; ++i) {
        const bool wide = input.ConsumeBool();
        const UINT flags = input.ConsumeIntegral<UINT>();
        const auto any = input.ConsumeIntegral<UINT_PTR>();
        const UINT_PTR id = input.ConsumeBool() ? reinterpret_cast<UINT_PTR>(FuzzPick(input, windows)) : any;
        const HWND from = FuzzPick(input, windows);
        if (input.ConsumeBool()) {
            // A label may change between two tips.
            os.AddDrive('C', DRIVE_FIXED, FuzzWideText(input, 600));
        }
        // The request, narrow or wide; text in its own buffer ends there.
        const auto ask = [&](auto request, UINT code) {
            request.hdr = NMHDR{from, id, code};
            request.uFlags = flags;
            os.SendMessageA(bar.m_hWnd, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&request));
            auto* const end = request.szText + std::size(request.szText);
            FuzzCheck(request.lpszText != request.szText || std::find(request.szText, end, 0) != end,
                      "a tip ends in its buffer");
            // A wide tip is cut before a surrogate pair, never inside it.
            size_t length = 0;
            while (request.lpszText != nullptr && request.lpszText != request.szText && request.lpszText[length] != 0) {
                ++length;
            }
            FuzzCheck(length < 1024, "a tip holds at most 1023 characters");
            const auto last = length > 0 ? static_cast<unsigned long>(request.lpszText[length - 1]) & 0xFFFF : 0;
            FuzzCheck(code == TTN_NEEDTEXTA || length < 1023 || last < 0xD800 || last >= 0xDC00,
                      "a cut tip ends in no half pair");
            // A narrow tip holds whole characters: its bytes read back as they are.
            if constexpr (std::is_same_v<decltype(request), NMTTDISPINFOA>) {
                if (request.lpszText != nullptr && request.lpszText != request.szText) {
                    const std::string tip = request.lpszText;
                    FuzzCheck(tip.size() < 1024, "a narrow tip holds at most 1023 bytes");
                    FuzzCheck(AnsiFromWide(WideFromAnsi(tip)) == tip, "a narrow tip ends in a whole character");
                }
            }
        };
        wide ? ask(NMTTDISPINFOW{}, TTN_NEEDTEXTW) : ask(NMTTDISPINFOA{}, TTN_NEEDTEXTA);
        for (const auto& button : bar.DriveButtons()) {
            os.HoverToolTip(button->m_hWnd, wide);
        }
    }
    world.ExitBar();
    return 0;
}
