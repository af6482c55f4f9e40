#include "dialogs/AboutDialog.h"

#include "dialogs/SystemInfo.h"
#include "platform/Dpi.h"
#include "platform/Gdi.h"
#include "platform/WinApp.h"
#include "resources/resource.h"

namespace {

constexpr UINT kDiskAnswer = WM_APP + 0x110;
constexpr UINT_PTR kDiskDeadlineTimer = 1;

}  // namespace

IconPicture IconPictureForDpi(UINT dpi) {
    // The icon's size at 96 DPI; the system's icon metric follows the
    // system's scale, not that of the screen the dialog is on.
    constexpr int kIcon = 32;
    constexpr int kShadow = 4;
    const int icon = ScaleForDpi(kIcon, dpi);
    const int shadow = ScaleForDpi(kShadow, dpi);
    return IconPicture{icon, shadow, 2 * icon + 2 * shadow};
}

CIconButton::~CIconButton() = default;

LRESULT CIconButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // The dialog's background stays under the picture.
    if (msg == WM_ERASEBKGND) {
        return TRUE;
    }
    return CButton::WindowProc(msg, wParam, lParam);
}

void CIconButton::DrawItem(DRAWITEMSTRUCT* item) {
    const HDC dc = item->hDC;
    const int width = item->rcItem.right - item->rcItem.left;
    const int height = item->rcItem.bottom - item->rcItem.top;
    const IconPicture picture = IconPictureForDpi(WindowDpi(m_hWnd));
    const int cxIcon = picture.icon;
    const int cyIcon = picture.icon;
    // The shadow's width; the icon stands half of it inside the frame.
    const int shadow = picture.shadow;
    const int inset = shadow / 2;
    const IconHandle icon(static_cast<HICON>(Os().gdi.LoadImageA(IDR_MAINFRAME, IMAGE_ICON, cxIcon, cyIcon)));
    if (icon.Get() == nullptr) {
        return;
    }
    const GdiObject<HBITMAP> bitmap(Os().gdi.CreateCompatibleBitmap(dc, cxIcon, cyIcon));
    const MemoryDC memory(dc);
    if (bitmap.Get() == nullptr || memory.Get() == nullptr) {
        return;
    }
    {
        const SelectedObject selected(memory.Get(), bitmap.Get());
        // The background the picture will stand on, then the icon over it.
        Os().gdi.StretchBlt(memory.Get(), 0, 0, cxIcon, cyIcon, dc, inset, inset, width - 2 * shadow,
                            height - 2 * shadow, SRCCOPY);
        Os().gdi.DrawIcon(memory.Get(), 0, 0, icon.Get());
        {
            const SelectedObject pen(dc, Os().gdi.GetStockObject(BLACK_PEN));
            Os().gdi.Rectangle(dc, 0, 0, width - shadow, height - shadow);
        }
        const HBRUSH grey = static_cast<HBRUSH>(Os().gdi.GetStockObject(DKGRAY_BRUSH));
        const RECT right{width - shadow, shadow, width, height};
        const RECT bottom{shadow, height - shadow, width, height};
        Os().gdi.FillRect(dc, &right, grey);
        Os().gdi.FillRect(dc, &bottom, grey);
        Os().gdi.StretchBlt(dc, inset, inset, width - 2 * shadow, height - 2 * shadow, memory.Get(), 0, 0, cxIcon,
                            cyIcon, SRCCOPY);
    }
}

CAboutDialog::CAboutDialog(CWnd* parent) : CDialog(IDD_ABOUT, parent) {}

CAboutDialog::~CAboutDialog() = default;

void CAboutDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_WEB_LINK, m_webLink);
    DDX_Control(dx, IDC_MAIL_LINK, m_mailLink);
}

BOOL CAboutDialog::OnInitDialog() {
    CDialog::OnInitDialog();

    m_iconButton.SubclassDlgItem(IDC_ICON_PICTURE, this);
    const int picture = IconPictureForDpi(WindowDpi(m_hWnd)).size;
    m_iconButton.SetWindowPos(nullptr, 0, 0, picture, picture, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    m_webLink.SetLink(LoadResourceString(IDS_WEB_URL), LoadResourceString(IDS_WEB_LINK_TEXT), TRUE);
    m_webLink.SetShadow(FALSE);
    m_mailLink.SetLink(LoadResourceString(IDS_MAIL_URL), LoadResourceString(IDS_MAIL_LINK_TEXT), TRUE);
    m_mailLink.SetShadow(FALSE);

    Os().win.SetWindowTextA(GetDlgItem(IDC_AVAIL_MEM), ReadMemoryLine().c_str());
    Os().win.SetWindowTextA(GetDlgItem(IDC_MATH_COPROCESSOR), LoadResourceString(IDS_COPROCESSOR_PRESENT).c_str());
    m_strDiskRoot = CurrentDriveRoot();
    if (m_strDiskRoot.empty()) {
        ShowDiskLine();
    } else {
        Os().win.SetWindowTextA(GetDlgItem(IDC_DISK_SPACE), "");
        m_volumes.Ask(m_hWnd, kDiskAnswer, m_strDiskRoot, false);
        Os().win.SetTimer(m_hWnd, kDiskDeadlineTimer, CVolumeQueries::kDeadline);
    }
    Os().win.SetWindowTextA(GetDlgItem(IDC_FREE_RESOURCES), "N/A");

    CenterWindow();
    return TRUE;
}

void CAboutDialog::ShowDiskLine() {
    const VolumeAnswer* volume = m_strDiskRoot.empty() ? nullptr : m_volumes.Known(m_strDiskRoot);
    Os().win.SetWindowTextA(GetDlgItem(IDC_DISK_SPACE), DiskLine(volume).c_str());
}

LRESULT CAboutDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kDiskAnswer) {
        m_volumes.TakeAnswer(wParam);
        ShowDiskLine();
        return 0;
    }
    if (msg == WM_TIMER && wParam == kDiskDeadlineTimer) {
        // A line still waiting says so; a late answer fills it in all the same.
        Os().win.KillTimer(m_hWnd, kDiskDeadlineTimer);
        if (m_volumes.Known(m_strDiskRoot) == nullptr) {
            ShowDiskLine();
        }
        return 0;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}
