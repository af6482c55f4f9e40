// The bar's answer when a tooltip asks for its text.
#include <algorithm>
#include <cstring>

#include "bar/Drives.h"
#include "bar/VosselDialog.h"

namespace {

constexpr size_t kToolTipChars = 1024;
// One buffer for every answer, of either width; the tooltip reads it after
// the notification returns.
WCHAR g_szToolTipText[kToolTipChars];

std::wstring WindowText(HWND hwnd) {
    const int length = Os().win.GetWindowTextLengthW(hwnd);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = Os().win.GetWindowTextW(hwnd, &text[0], length + 1);
    text.resize(static_cast<size_t>(std::clamp(copied, 0, length)));
    return text;
}

}  // namespace

std::wstring CVosselDialog::TipText(HWND child) const {
    if (child == nullptr) {
        return std::wstring();
    }
    const std::wstring root = m_drives.RootOfWindow(child);
    // What is known of the drive's volume; nothing here waits for the drive.
    return root.empty() ? WindowText(child) : m_drives.TipText(root);
}

BOOL CVosselDialog::OnNeedToolTipText(UINT, NMHDR* hdr, LRESULT* result) {
    const bool narrow = hdr->code == TTN_NEEDTEXTA;
    auto* infoA = reinterpret_cast<NMTTDISPINFOA*>(hdr);
    auto* infoW = reinterpret_cast<NMTTDISPINFOW*>(hdr);
    const UINT flags = narrow ? infoA->uFlags : infoW->uFlags;
    // A tool whose window has gone has no id.
    const UINT_PTR id = (flags & TTF_IDISHWND) != 0
                            ? static_cast<UINT_PTR>(Os().win.GetDlgCtrlID(reinterpret_cast<HWND>(hdr->idFrom)))
                            : hdr->idFrom;
    if (id == 0) {
        return FALSE;
    }
    const HWND child = GetDlgItem(static_cast<int>(id));
    const std::wstring root = child != nullptr ? m_drives.RootOfWindow(child) : std::wstring();
    // A tip shown by hand asks for the drive's volume, which fills it in when it comes;
    // the refill itself asks nothing again.
    if (!root.empty() && !m_bFillingTip) {
        m_drives.AskVolume(root);
    }
    const std::wstring text = TipText(child);
    if (narrow) {
        // Characters the code page lacks come out as '?': wide requests carry them whole.
        const std::string ansi = NarrowCut(text, kToolTipChars - 1);
        auto* buffer = reinterpret_cast<char*>(g_szToolTipText);
        std::memcpy(buffer, ansi.data(), ansi.size());
        buffer[ansi.size()] = '\0';
        infoA->lpszText = buffer;
    } else {
        const size_t length = CutLength(text, kToolTipChars - 1);
        std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length), g_szToolTipText);
        g_szToolTipText[length] = 0;
        infoW->lpszText = g_szToolTipText;
    }
    *result = 0;
    return TRUE;
}
