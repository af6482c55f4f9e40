#include "actions/DriveButton.h"

#include <algorithm>
#include <limits>
#include <string>

namespace {

// The floor of half of (extent - size), as an arithmetic shift gives it.
LONG Centre(LONG extent, LONG size) { return (extent - size) >> 1; }

// A high-contrast theme asks for the system's colours in everything drawn.
bool HighContrast() {
    HIGHCONTRASTA contrast{sizeof(contrast), 0, nullptr};
    return Os().win.SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace

DriveButtonLayout LayoutDriveButton(SIZE client, SIZE image, bool hasImage, SIZE text, bool hasText, int margin,
                                    int gap, int pushed) {
    DriveButtonLayout layout{};
    if (hasImage) {
        layout.image.x = hasText ? margin : Centre(client.cx, image.cx);
        layout.image.y = Centre(client.cy, image.cy);
    }
    if (hasText) {
        if (hasImage) {
            const LONG free = std::max<LONG>(0, client.cx - text.cx - image.cx - margin - gap);
            layout.text.x = margin + image.cx + gap + free / 2;
        } else {
            layout.text.x = Centre(client.cx, text.cx);
        }
        layout.text.y = Centre(client.cy, text.cy) - 1;
    }
    layout.image.x += pushed;
    layout.image.y += pushed;
    layout.text.x += pushed;
    layout.text.y += pushed;
    return layout;
}

int FocusInset(int width, int height) { return std::min(3, std::min(width, height) / 4); }

CDriveButton::~CDriveButton() = default;

HBITMAP CDriveButton::LoadMappedBitmap(UINT bitmapId, int cx, int cy, COLORREF from, COLORREF to) {
    COLORMAP map{from, to};
    const HBITMAP mapped = Os().gdi.CreateMappedBitmap(bitmapId, 0, &map, 1);
    if (mapped == nullptr) {
        return nullptr;
    }
    // A picture drawn at the size is shown as drawn: scaling would only cost time.
    BITMAP drawn{};
    if (Os().gdi.GetObjectA(mapped, sizeof(drawn), &drawn) == static_cast<int>(sizeof(drawn)) && drawn.bmWidth == cx &&
        drawn.bmHeight == cy) {
        return mapped;
    }
    const HANDLE scaled = Os().gdi.CopyImage(mapped, IMAGE_BITMAP, cx, cy, LR_COPYDELETEORG);
    if (scaled == nullptr) {
        Os().gdi.DeleteObject(mapped);
    }
    return static_cast<HBITMAP>(scaled);
}

BOOL CDriveButton::SetBitmap(UINT bitmapId, int cx, int cy, COLORREF transparent) {
    // Both pictures and their size come from one load: a button never draws
    // a new picture at the old size, or without its disabled look.
    const COLORREF face = Os().win.GetSysColor(COLOR_BTNFACE);
    GdiObject<HBITMAP> normal(LoadMappedBitmap(bitmapId, cx, cy, transparent, face));
    GdiObject<HBITMAP> disabled(
        normal.Get() != nullptr ? LoadMappedBitmap(bitmapId, cx, cy, transparent, RGB(255, 255, 255)) : nullptr);
    if (disabled.Get() == nullptr) {
        return FALSE;
    }
    // The pictures replaced go with the locals.
    m_hBitmap.Swap(normal);
    m_hBitmapDisabled.Swap(disabled);
    m_cxImage = cx;
    m_cyImage = cy;
    if (m_hWnd != nullptr) {
        Invalidate(TRUE);
    }
    return TRUE;
}

int CDriveButton::ChangeSpacing(int* field, int value) {
    const int previous = *field;
    *field = value;
    if (m_hWnd != nullptr) {
        Invalidate(TRUE);
    }
    return previous;
}

int CDriveButton::SetImageMargin(int margin) { return ChangeSpacing(&m_nImageMargin, margin); }

int CDriveButton::SetTextGap(int gap) { return ChangeSpacing(&m_nTextGap, gap); }

LRESULT CDriveButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETDLGCODE) {
        // Return too, which the dialog manager would otherwise give to the
        // default button, or to the focused one only when it moved the focus
        // there itself. The key comes as wParam; lParam is not read, for it
        // may be anything another program sends.
        const bool enter = wParam == static_cast<WPARAM>(VK_RETURN);
        return Default() | DLGC_WANTARROWS | (enter ? DLGC_WANTMESSAGE : 0);
    }
    if (msg == WM_KEYDOWN && wParam != static_cast<WPARAM>(VK_SPACE)) {
        const auto id = static_cast<UINT_PTR>(GetDlgCtrlID());
        NMKEY key{NMHDR{m_hWnd, id, NM_KEYDOWN}, static_cast<UINT>(wParam),
                  HIWORD(static_cast<std::uintptr_t>(lParam))};
        if (Os().win.SendMessageA(GetParentHwnd(), WM_NOTIFY, id, reinterpret_cast<LPARAM>(&key)) != 0) {
            return 0;
        }
    }
    return CButton::WindowProc(msg, wParam, lParam);
}

void CDriveButton::DrawItem(DRAWITEMSTRUCT* item) {
    const HDC dc = item->hDC;
    const RECT rc = item->rcItem;
    const int pushed = (item->itemState & ODS_SELECTED) != 0 ? 1 : 0;
    const bool disabled = (item->itemState & ODS_DISABLED) != 0;
    const UINT state = disabled ? DSS_DISABLED : DSS_NORMAL;
    // In high contrast the picture takes the text's colour and the focus the
    // highlight's, drawn, not inverted: a change of focus draws the face anew.
    const bool highContrast = HighContrast();

    if (item->itemAction != ODA_FOCUS || highContrast) {
        RECT face = rc;
        Os().gdi.DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed != 0 ? DFCS_PUSHED : 0));
        m_bFocusShown = false;
        const std::string text = GetWindowText();
        RECT client{};
        GetClientRect(&client);
        SIZE textSize{0, 0};
        if (!text.empty()) {
            Os().gdi.GetTextExtentPointA(dc, text.c_str(), static_cast<int>(text.size()), &textSize);
        }
        const DriveButtonLayout layout =
            LayoutDriveButton(SIZE{client.right - client.left, client.bottom - client.top}, SIZE{m_cxImage, m_cyImage},
                              m_hBitmap.Get() != nullptr, textSize, !text.empty(), m_nImageMargin, m_nTextGap, pushed);
        if (m_hBitmap.Get() != nullptr) {
            // The white-mapped picture's shape, in the text's colour.
            const bool mono = highContrast && !disabled;
            const HBITMAP image = disabled || mono ? m_hBitmapDisabled.Get() : m_hBitmap.Get();
            Os().gdi.DrawStateA(dc, mono ? Os().gdi.GetSysColorBrush(COLOR_BTNTEXT) : nullptr, nullptr,
                                reinterpret_cast<LPARAM>(image), 0, layout.image.x, layout.image.y, m_cxImage,
                                m_cyImage, DST_BITMAP | (mono ? DSS_MONO : state));
        }
        if (!text.empty()) {
            // Only the letters, in the buttons' text colour: the text's cell may reach back over the picture.
            const int mode = Os().gdi.SetBkMode(dc, TRANSPARENT);
            const COLORREF color = Os().gdi.SetTextColor(dc, Os().win.GetSysColor(COLOR_BTNTEXT));
            Os().gdi.DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(text.c_str()), 0, layout.text.x,
                                layout.text.y, 0, 0, DST_PREFIXTEXT | state);
            Os().gdi.SetTextColor(dc, color);
            if (mode != 0) {
                Os().gdi.SetBkMode(dc, mode);
            }
        }
    }

    // The focus shows once the keyboard has been used: the window's keyboard
    // cues say so, as the item's state does where the system tells it.
    const bool cuesHidden = (item->itemState & ODS_NOFOCUSRECT) != 0 ||
                            (Os().win.SendMessageA(GetParentHwnd(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
    const bool showFocus = !disabled && (item->itemState & ODS_FOCUS) != 0 && !cuesHidden;
    if (showFocus != m_bFocusShown) {
        // Wide arithmetic: the rectangle comes with the message, whatever it holds.
        const auto extent = [](LONG from, LONG to) {
            return static_cast<int>(std::min<long long>(std::max<long long>(0, static_cast<long long>(to) - from),
                                                        std::numeric_limits<int>::max()));
        };
        const int inset = FocusInset(extent(rc.left, rc.right), extent(rc.top, rc.bottom));
        const RECT focus{rc.left + inset, rc.top + inset, rc.right - inset, rc.bottom - inset};
        if (highContrast) {
            Os().gdi.FrameRect(dc, &focus, Os().gdi.GetSysColorBrush(COLOR_HIGHLIGHT));
        } else {
            // DrawFocusRect inverts: the same call takes the rectangle away again.
            Os().gdi.DrawFocusRect(dc, &focus);
        }
        m_bFocusShown = showFocus;
    }
}
