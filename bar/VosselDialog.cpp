#include "bar/VosselDialog.h"

#include <algorithm>
#include <utility>

#include "actions/OpenDrive.h"
#include "appbar/AppBarGeometry.h"
#include "bar/BarLayout.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/OptionsDialog.h"
#include "resources/resource.h"
#include "settings/Settings.h"

namespace {

constexpr UINT kBarOptions = BARF_LEFTRIGHT | BARF_TOPBOTTOM | BARF_FLOAT | BARF_FOLLOWAUTOHIDE | BARF_FOLLOWTOPMOST;
constexpr COLORREF kTransparent = RGB(255, 255, 255);
// The drive buttons' spacing around their pictures at 96 DPI.
constexpr int kDriveImageMargin = 1;
constexpr int kDriveTextGap = -3;
// Posted at the end of OnInitDialog. The dialog manager shows a modal dialog
// only when its queue runs empty, so a bar not shown yet waits for a timer,
// whose message comes after the bar's first painting.
constexpr UINT kCompleteStartup = WM_APP + 0x100;
constexpr UINT_PTR kStartupTimer = 2;

SIZE ClientSize(const CWnd& wnd) {
    RECT client{};
    wnd.GetClientRect(&client);
    // A client rectangle starts at 0, 0.
    return SIZE{client.right, client.bottom};
}

}  // namespace

CVosselDialog::CVosselDialog(CWnd* parent) : CAppBarDialog(IDD_BAR, parent) {}

void CVosselDialog::DoDataExchange(CDataExchange* dx) {
    CAppBarDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_MENU_BUTTON, m_btnMenu);
}

BOOL CVosselDialog::OnInitDialog() {
    CAppBarDialog::OnInitDialog();

    m_strSkipDrives = LoadSkipDrives(m_strSkipDrives);

    m_nTemplateDpi = m_scale.Dpi();
    Os().gdi.GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)), sizeof(m_templateFont), &m_templateFont);
    SetButtonPicture(&m_btnMenu, IDB_MENU_BUTTON);
    // The menu button's size, from the template, is every button's size.
    RECT button{};
    m_btnMenu.GetWindowRect(&button);
    ScreenToClient(&button);
    m_cxButton = button.right - button.left;
    m_cyButton = button.bottom - button.top;
    m_templateButton = SIZE{m_cxButton, m_cyButton};

    SyncDrives();

    m_nOptions = kBarOptions;
    const SIZE client = ClientSize(*this);
    m_cySizeStep = client.cy;
    m_cxSizeStep = 1;
    m_cxMinClient = client.cx;
    m_cyMinClient = client.cy;
    m_templateClient = client;

    const StoredMonitor home = LoadStoredMonitor();
    SetHomeMonitor(home.device, home.rect);
    BARPLACEMENT placement = DefaultPlacement();
    const UINT storedDpi = LoadStoredDpi();
    const PlacementScale scale{DockedScale{storedDpi, FrameSize(TRUE, WindowScale(storedDpi))},
                               DockedScale{m_scale.Dpi(), FrameSize(TRUE, m_scale)}, SIZE{m_cxSizeStep, m_cySizeStep}};
    LoadStoredPlacement(&placement, StoredPlacementLimits(), scale);
    m_strLaunchProgram = LoadLaunchProgram(m_strLaunchProgram);
    m_bTileExplorers = LoadTileExplorers(m_bTileExplorers);
    m_bLaunchOnStartup = ReadLaunchOnStartup();

    SetPlacement(&placement);
    PostMessage(kCompleteStartup);
    return TRUE;
}

void CVosselDialog::CompleteStartup() {
    // Nothing of OLE, the drop target or the tips shows before the bar is up,
    // so they wait until then. Without OLE only dropping files on the bar is
    // lost, so go on regardless.
    m_bOleInitialised = Os().sys.OleInitialize() >= 0;
    m_dropTarget.Register(this);
    EnableToolTips(TRUE);
}

BARPLACEMENT CVosselDialog::DefaultPlacement() {
    BARPLACEMENT placement{};
    placement.cbSize = sizeof(BARPLACEMENT);
    placement.nEdge = ABE_TOP;
    placement.bAutoHide = FALSE;
    placement.bAlwaysOnTop = TRUE;
    // Docked, the bar has neither caption nor system menu: its thickness is
    // its present client area in that frame.
    const SIZE client = ClientSize(*this);
    const SIZE docked = FrameSize(TRUE, m_scale);
    const LONG width = client.cx + docked.cx;
    const LONG height = client.cy + docked.cy;
    placement.anThickness[ABE_LEFT] = width;
    placement.anThickness[ABE_TOP] = height;
    placement.anThickness[ABE_RIGHT] = width;
    placement.anThickness[ABE_BOTTOM] = height;
    // Floating, it has both: the same client area in a captioned frame,
    // twice as wide, where the window stands now.
    const SIZE floating = FrameSize(FALSE, m_scale);
    RECT window{};
    GetWindowRect(&window);
    placement.rcFloating = RECT{window.left, window.top, window.left + 2 * (client.cx + floating.cx),
                                window.top + client.cy + floating.cy};
    return placement;
}

SIZE CVosselDialog::FrameSize(BOOL bDocked, const WindowScale& scale) const {
    // Only the caption changes the frame; the system menu lives in it.
    return scale.FrameSize(bDocked ? GetStyle() & ~WS_CAPTION : GetStyle() | WS_CAPTION, GetExStyle());
}

PlacementLimits CVosselDialog::StoredPlacementLimits() const {
    // The limits of sizing, each in the frame the bar has there.
    const RECT monitor = BarMonitor().rect;
    const SIZE screen{monitor.right - monitor.left, monitor.bottom - monitor.top};
    const SIZE minClient{m_cxMinClient, m_cyMinClient};
    PlacementLimits limits{monitor, {}, {}, {}, {}};
    for (int edge = ABE_LEFT; edge <= static_cast<int>(ABE_BOTTOM); ++edge) {
        const TrackingLimits docked = BarTrackingLimits(edge, FrameSize(TRUE, m_scale), minClient, screen);
        const bool across = edge == ABE_LEFT || edge == ABE_RIGHT;
        limits.anMinThickness[edge] = across ? docked.minTrack.x : docked.minTrack.y;
        limits.anMaxThickness[edge] = across ? docked.maxTrack.x : docked.maxTrack.y;
    }
    const TrackingLimits floating = BarTrackingLimits(EDGE_FLOATING, FrameSize(FALSE, m_scale), minClient, screen);
    limits.minFloating = SIZE{floating.minTrack.x, floating.minTrack.y};
    limits.maxFloating = SIZE{floating.maxTrack.x, floating.maxTrack.y};
    return limits;
}

void CVosselDialog::SyncDrives() {
    m_drives.Sync(m_strSkipDrives);
    LayoutButtons();
}

void CVosselDialog::OnSetCursor() {
    if (!m_bPointerOver) {
        m_bPointerOver = true;
        m_drives.Check();
    }
}

void CVosselDialog::OnTimer() {
    // The auto-hide timer runs anyway; it only notes that the pointer left.
    POINT cursor{0, 0};
    if (m_bPointerOver && Os().win.GetCursorPos(&cursor)) {
        RECT window{};
        GetWindowRect(&window);
        m_bPointerOver = !CursorOutside(window, SIZE{0, 0}, cursor);
    }
}

void CVosselDialog::LayoutButtons() {
    const SIZE client = ClientSize(*this);
    const bool vertical = IsVerticalLayout(m_placement.nEdge, client.cx, client.cy);
    const SIZE button{m_cxButton, m_cyButton};
    m_btnMenu.MoveWindow(BarButtonRect(0, vertical, client, button, m_scale.Dpi()), TRUE);
    int index = 1;
    for (const auto& drive : m_drives.Buttons()) {
        drive->MoveWindow(BarButtonRect(index++, vertical, client, button, m_scale.Dpi()), TRUE);
    }
}

void CVosselDialog::SetDockedStyle(BOOL bDocked) {
    const DWORD style = GetStyle();
    const DWORD wanted = bDocked ? style & ~(WS_CAPTION | WS_SYSMENU) : style | WS_CAPTION | WS_SYSMENU;
    if (wanted == style) {
        return;
    }
    Os().win.SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(wanted));
    // Sized anew, so that the size limits keep the menu button in the client
    // area under a caption.
    RECT window{};
    GetWindowRect(&window);
    SetWindowPos(nullptr, 0, 0, window.right - window.left, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CVosselDialog::OnPlacementChanged(BOOL, int nEdge) { SetDockedStyle(nEdge != EDGE_FLOATING); }

void CVosselDialog::SaveSettings() {
    ::SaveSettings(StoredSettings{m_placement, m_strLaunchProgram, m_strSkipDrives, m_bTileExplorers});
    SaveStoredDpi(m_scale.Dpi());
    SaveStoredMonitor(StoredMonitor{HomeMonitor(), HomeMonitorRect()});
}

void CVosselDialog::ReleaseDrivesAndSave() {
    m_drives.Clear();
    SaveSettings();
}

BOOL CVosselDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    if (HIWORD(wParam) == BN_CLICKED && id == static_cast<UINT>(IDC_MENU_BUTTON)) {
        ShowBarMenuAtButton();
    } else if (HIWORD(wParam) == BN_CLICKED) {
        OpenDriveOfButton(id);
    }
    return CAppBarDialog::OnCommand(wParam, lParam);
}

BOOL CVosselDialog::OnCmdMsg(UINT id, int code) {
    if (code == static_cast<int>(BN_CLICKED)) {
        switch (id) {
            case ID_ALWAYS_ON_TOP:
                OnAlwaysOnTop();
                return TRUE;
            case ID_AUTO_HIDE:
                OnAutoHide();
                return TRUE;
            case ID_BAR_OPTIONS:
                OnOptions();
                return TRUE;
            case ID_BAR_ABOUT:
                OnAbout();
                return TRUE;
            case ID_BAR_EXIT:
                OnBarExit();
                return TRUE;
            default:
                break;
        }
    }
    return CAppBarDialog::OnCmdMsg(id, code);
}

void CVosselDialog::ShowBarMenu(int x, int y) {
    m_drives.Check();
    const HMENU menu = Os().win.LoadMenuA(IDR_BAR_MENU);
    if (menu == nullptr) {
        return;
    }
    Os().win.CheckMenuItem(menu, ID_ALWAYS_ON_TOP,
                           MF_BYCOMMAND | (m_placement.bAlwaysOnTop ? MF_CHECKED : MF_UNCHECKED));
    Os().win.CheckMenuItem(menu, ID_AUTO_HIDE, MF_BYCOMMAND | (m_placement.bAutoHide ? MF_CHECKED : MF_UNCHECKED));
    // The choice arrives afterwards as WM_COMMAND.
    Os().win.TrackPopupMenu(Os().win.GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_LEFTBUTTON, x, y, m_hWnd);
    Os().win.DestroyMenu(menu);
}

void CVosselDialog::ShowBarMenuAtButton() {
    if (m_btnMenu.m_hWnd == nullptr) {
        return;
    }
    RECT button{};
    m_btnMenu.GetWindowRect(&button);
    // The corner of a hidden or half-covered bar may be off its monitor.
    const POINT corner = HeldInRect(POINT{button.left, button.bottom}, BarMonitor().rect);
    ShowBarMenu(corner.x, corner.y);
}

void CVosselDialog::OnContextMenu(int x, int y) {
    // The keyboard's menu key and Shift+F10 give no point: open it where
    // the menu button does.
    if (x == -1 && y == -1) {
        ShowBarMenuAtButton();
    } else {
        ShowBarMenu(x, y);
    }
}

void CVosselDialog::OnOK() {
    // Enter on the bar is no command: only Esc, Close and Exit end it.
}

void CVosselDialog::OnAlwaysOnTop() {
    BARPLACEMENT placement = m_placement;
    placement.cbSize = sizeof(BARPLACEMENT);
    placement.bAlwaysOnTop = placement.bAlwaysOnTop ? FALSE : TRUE;
    SetPlacement(&placement);
}

void CVosselDialog::OnAutoHide() {
    BARPLACEMENT placement = m_placement;
    placement.cbSize = sizeof(BARPLACEMENT);
    placement.bAutoHide = placement.bAutoHide ? FALSE : TRUE;
    SetPlacement(&placement);
}

void CVosselDialog::OnBarExit() { OnCancel(); }

void CVosselDialog::OnOptions() { ApplyOptions(); }

void CVosselDialog::OnAbout() { OnBarAbout(); }

void CVosselDialog::OpenDriveOfButton(UINT id) {
    const std::wstring root = m_drives.RootOfId(id);
    if (!root.empty()) {
        OpenDrive(root, m_strLaunchProgram, m_bTileExplorers);
    }
}

LRESULT CVosselDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_DESTROY:
            // Saved before the appbar's own handling resets the edge it holds.
            ReleaseDrivesAndSave();
            OnDestroy();
            return 0;
        case WM_SIZE:
            OnSize();
            return 0;
        case WM_GETMINMAXINFO:
            OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
            return 0;
        case WM_SYSCOMMAND:
            OnSysCommand(wParam);
            return 0;
        case WM_CONTEXTMENU:
            OnContextMenu(SignedLoWord(static_cast<std::uintptr_t>(lParam)),
                          SignedHiWord(static_cast<std::uintptr_t>(lParam)));
            return 0;
        case WM_QUERYENDSESSION:
            return OnQueryEndSession();
        case kCompleteStartup:
            if (Os().win.IsWindowVisible(m_hWnd) || Os().win.SetTimer(m_hWnd, kStartupTimer, 0) == 0) {
                CompleteStartup();
            }
            return 0;
        case CDriveSet::kSyncMessage:
            SyncDrives();
            return 0;
        case WM_DEVICECHANGE:
            m_drives.OnBroadcast(ReadDriveBroadcast(wParam, reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam)));
            return TRUE;
        case WM_DPICHANGED:
            OnDpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_SETCURSOR:
            OnSetCursor();
            return CAppBarDialog::WindowProc(msg, wParam, lParam);
        case WM_TIMER:
            if (wParam == kStartupTimer) {
                if (Os().win.IsWindowVisible(m_hWnd)) {
                    Os().win.KillTimer(m_hWnd, kStartupTimer);
                    CompleteStartup();
                }
                return 0;
            }
            OnTimer();
            return CAppBarDialog::WindowProc(msg, wParam, lParam);
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_NOTIFYFORMAT:
            // Tips then ask in the wide form, which carries names in any script.
            if (lParam == static_cast<LPARAM>(NF_QUERY)) {
                return NFR_UNICODE;
            }
            return CAppBarDialog::WindowProc(msg, wParam, lParam);
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lParam);
            LRESULT result = 0;
            if (hdr != nullptr && (hdr->code == TTN_NEEDTEXTA || hdr->code == TTN_NEEDTEXTW) &&
                OnNeedToolTipText(LOWORD(wParam), hdr, &result)) {
                return result;
            }
            return CAppBarDialog::WindowProc(msg, wParam, lParam);
        }
        default:
            return CAppBarDialog::WindowProc(msg, wParam, lParam);
    }
}

void CVosselDialog::OnSize() {
    // Sizes during the dialog's creation come before the menu button exists.
    if (m_btnMenu.m_hWnd != nullptr) {
        LayoutButtons();
    }
}

void CVosselDialog::OnGetMinMaxInfo(MINMAXINFO* info) {
    const RECT monitor = BarMonitor().rect;
    const TrackingLimits limits =
        BarTrackingLimits(GetEffectiveEdge(), WindowFrameSize(), SIZE{m_cxMinClient, m_cyMinClient},
                          SIZE{monitor.right - monitor.left, monitor.bottom - monitor.top});
    info->ptMinTrackSize = limits.minTrack;
    info->ptMaxTrackSize = limits.maxTrack;
    Default();
}

void CVosselDialog::OnSysCommand(WPARAM wParam) {
    if (wParam == SC_CLOSE) {
        OnCancel();
    }
    Default();
}

void CVosselDialog::OnDropFiles(HDROP drop) {
    POINT point{0, 0};
    Os().win.GetCursorPos(&point);
    const BOOL move = (Os().win.GetKeyState(VK_SHIFT) & 0x8000) != 0;
    ProcessDrop(*this, m_drives, drop, point, move);
}

LRESULT CVosselDialog::OnQueryEndSession() {
    if (Default() == 0) {
        return 0;
    }
    // The session may yet be cancelled, so the bar keeps its buttons.
    SaveSettings();
    return TRUE;
}

void CVosselDialog::ApplyOptions() {
    COptionsDialog dialog(this);
    dialog.m_strLaunchProgram = m_strLaunchProgram;
    dialog.m_bLaunchOnStartup = m_bLaunchOnStartup;
    dialog.m_bAlwaysOnTop = m_placement.bAlwaysOnTop;
    dialog.m_bAutoHide = m_placement.bAutoHide;
    dialog.m_strSkipDrives = m_strSkipDrives;
    dialog.m_bTileExplorers = m_bTileExplorers;
    if (dialog.DoModal() != IDOK) {
        return;
    }
    if (dialog.m_bAutoHide != m_placement.bAutoHide || dialog.m_bAlwaysOnTop != m_placement.bAlwaysOnTop) {
        BARPLACEMENT placement = m_placement;
        placement.cbSize = sizeof(BARPLACEMENT);
        placement.bAlwaysOnTop = dialog.m_bAlwaysOnTop;
        placement.bAutoHide = dialog.m_bAutoHide;
        SetPlacement(&placement);
    }
    m_strLaunchProgram = dialog.m_strLaunchProgram.empty() ? OptionsDefaultLaunchProgram() : dialog.m_strLaunchProgram;
    m_strSkipDrives = dialog.m_strSkipDrives;
    SyncDrives();
    m_bTileExplorers = dialog.m_bTileExplorers;
    if (dialog.m_bLaunchOnStartup != m_bLaunchOnStartup) {
        m_bLaunchOnStartup = dialog.m_bLaunchOnStartup;
        WriteLaunchOnStartup(m_bLaunchOnStartup);
    }
}

void CVosselDialog::OnBarAbout() {
    CAboutDialog about(this);
    about.DoModal();
}

void CVosselDialog::SetButtonPicture(CDriveButton* button, UINT id16) {
    const int size = PictureSize(m_scale.Dpi());
    button->SetBitmap(PictureId(id16, size), size, size, kTransparent);
    if (button != &m_btnMenu) {
        button->SetImageMargin(m_scale.Pixels(kDriveImageMargin));
        button->SetTextGap(m_scale.Pixels(kDriveTextGap));
    }
}

void CVosselDialog::OnDpiChanged(UINT dpi, const RECT* suggested) {
    if (dpi == 0 || dpi == m_scale.Dpi() || m_btnMenu.m_hWnd == nullptr) {
        return;
    }
    const DockedScale previous{m_scale.Dpi(), FrameSize(TRUE, m_scale)};
    m_scale = WindowScale(dpi);
    // The sizes the template gives at this scale.
    const auto scaled = [this, dpi](LONG pixels) {
        return static_cast<int>(ScaleBetween(pixels, m_nTemplateDpi, dpi));
    };
    m_cxButton = scaled(m_templateButton.cx);
    m_cyButton = scaled(m_templateButton.cy);
    m_cxMinClient = scaled(m_templateClient.cx);
    m_cyMinClient = scaled(m_templateClient.cy);
    m_cySizeStep = m_cyMinClient;

    // The template's font at this scale. The one it replaces goes once no
    // window holds it; without a new one the buttons keep theirs.
    std::unique_ptr<GdiObject<HFONT>> previousFont;
    WPARAM font = 0;
    if (dpi == m_nTemplateDpi) {
        font = static_cast<WPARAM>(SendMessage(WM_GETFONT));
        previousFont = std::move(m_scaledFont);
    } else {
        LOGFONTA description = m_templateFont;
        description.lfHeight = FontHeightForDpi(m_templateFont.lfHeight, m_nTemplateDpi, dpi);
        auto scaledFont = std::make_unique<GdiObject<HFONT>>(Os().gdi.CreateFontIndirectA(&description));
        if (scaledFont->Get() != nullptr) {
            font = reinterpret_cast<WPARAM>(scaledFont->Get());
            previousFont = std::exchange(m_scaledFont, std::move(scaledFont));
        }
    }
    if (font != 0) {
        m_btnMenu.SendMessage(WM_SETFONT, font, TRUE);
    }
    SetButtonPicture(&m_btnMenu, IDB_MENU_BUTTON);
    m_drives.Restyle(font);
    previousFont.reset();

    PlaceAtScale(previous, FrameSize(TRUE, m_scale), suggested);
    LayoutButtons();
}
