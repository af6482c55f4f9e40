#include "bar/VosselDialog.h"

#include <algorithm>
#include <utility>

#include "actions/OpenDrive.h"
#include "appbar/AppBarGeometry.h"
#include "bar/BarLayout.h"
#include "bar/Drives.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/OptionsDialog.h"
#include "platform/WinApp.h"
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
constexpr int kHotKeyId = 1;

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
    m_wHotKey = LoadHotKey();

    // The focus shows once the keyboard is used, unless the user keeps the cues on.
    BOOL cues = FALSE;
    if (!Os().win.SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &cues, 0) || !cues) {
        m_wUiState = UISF_HIDEFOCUS | UISF_HIDEACCEL;
        SendMessage(WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL));
    }

    SetPlacement(&placement);
    RegisterBarHotKey();
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

void CVosselDialog::OnSetCursor(HWND under) {
    if (!m_bPointerOver) {
        m_bPointerOver = true;
        m_drives.Check();
    }
    // The volume is asked as the pointer comes onto a drive, so that its tip,
    // which shows a moment later, already knows it.
    if (under != m_hwndPointed) {
        m_hwndPointed = under;
        if (const std::wstring root = m_drives.RootOfWindow(under); !root.empty()) {
            m_drives.AskVolume(root);
        }
    }
}

void CVosselDialog::OnVolumeAnswer(WPARAM serial) {
    const CDriveSet::Answer answer = m_drives.TakeAnswer(serial);
    if (answer.bEject) {
        ReportEjection(answer.root, answer.ejected);
    } else if (answer.filled != nullptr) {
        m_bFillingTip = true;
        UpdateChildToolTip(answer.filled);
        m_bFillingTip = false;
        // A screen reader on the drive reads its label and free space anew, when they changed.
        const bool told = answer.filled == m_hwndSpoken && TipText(answer.filled) == m_strSpoken;
        if (Os().win.GetFocus() == answer.filled && !told) {
            Os().win.NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, answer.filled, OBJID_CLIENT, CHILDID_SELF);
        }
    }
}

void CVosselDialog::OnTimer() {
    NotePreviousWindow(Os().win.GetForegroundWindow());
    // The auto-hide timer runs anyway; it only notes that the pointer left.
    POINT cursor{0, 0};
    if (m_bPointerOver && Os().win.GetCursorPos(&cursor)) {
        RECT window{};
        GetWindowRect(&window);
        m_bPointerOver = !CursorOutside(window, SIZE{0, 0}, cursor);
        m_hwndPointed = m_bPointerOver ? m_hwndPointed : nullptr;
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
    SaveHotKey(m_wHotKey);
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
            case ID_EJECT_DRIVE:
                OnEjectDrive();
                return TRUE;
            case IDCANCEL:
                // Esc, from the dialog manager.
                LeaveBar();
                return TRUE;
            default:
                break;
        }
    }
    return CAppBarDialog::OnCmdMsg(id, code);
}

void CVosselDialog::ShowBarMenu(int x, int y, const std::wstring& drive) {
    m_drives.Check();
    const HMENU menu = Os().win.LoadMenuA(IDR_BAR_MENU);
    if (menu == nullptr) {
        return;
    }
    Os().win.CheckMenuItem(menu, ID_ALWAYS_ON_TOP,
                           MF_BYCOMMAND | (m_placement.bAlwaysOnTop ? MF_CHECKED : MF_UNCHECKED));
    Os().win.CheckMenuItem(menu, ID_AUTO_HIDE, MF_BYCOMMAND | (m_placement.bAutoHide ? MF_CHECKED : MF_UNCHECKED));
    const HMENU popup = Os().win.GetSubMenu(menu, 0);
    // The drive is kept by its root: its button may go while the menu is open.
    m_strMenuDrive.clear();
    if (m_drives.CanEject(drive) && Os().win.InsertMenuA(popup, 0, MF_BYPOSITION | MF_STRING, ID_EJECT_DRIVE,
                                                         DriveText(IDS_EJECT_DRIVE, drive).c_str())) {
        Os().win.InsertMenuA(popup, 1, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        m_strMenuDrive = drive;
    }
    // The choice arrives afterwards as WM_COMMAND.
    Os().win.TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, x, y, m_hWnd);
    Os().win.DestroyMenu(menu);
}

void CVosselDialog::ShowBarMenuAtButton() { ShowBarMenuBelow(m_btnMenu.m_hWnd, std::wstring()); }

void CVosselDialog::ShowBarMenuBelow(HWND window, const std::wstring& drive) {
    RECT below{};
    if (window == nullptr || !Os().win.GetWindowRect(window, &below)) {
        return;
    }
    // The corner of a hidden or half-covered bar may be off its monitor.
    const POINT corner = HeldInRect(POINT{below.left, below.bottom}, BarMonitor().rect);
    ShowBarMenu(corner.x, corner.y, drive);
}

void CVosselDialog::OnContextMenu(HWND from, int x, int y) {
    const std::wstring drive = m_drives.RootOfWindow(from);
    // The keyboard's menu key and Shift+F10 give no point: open it below the
    // drive the key came from, or the focused button, or where the menu button does.
    if (x == -1 && y == -1) {
        const std::vector<HWND> order = KeyboardOrder();
        const HWND focus = Os().win.GetFocus();
        const HWND at = !drive.empty()                                                ? from
                        : std::find(order.begin(), order.end(), focus) != order.end() ? focus
                                                                                      : m_btnMenu.m_hWnd;
        ShowBarMenuBelow(at, m_drives.RootOfWindow(at));
    } else {
        ShowBarMenu(x, y, drive);
    }
}

void CVosselDialog::OnEjectDrive() { m_drives.Eject(m_strMenuDrive); }

void CVosselDialog::ReportEjection(const std::wstring& root, EjectAnswer ejected) {
    // Done, the drive goes as the system's broadcast says.
    if (root.empty() || ejected == EjectAnswer::Done) {
        return;
    }
    const std::string text = DriveText(ejected == EjectAnswer::InUse ? IDS_EJECT_IN_USE : IDS_EJECT_FAILED, root);
    Os().win.MessageBoxA(m_hWnd, text.c_str(), LoadResourceString(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONEXCLAMATION);
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
        case WM_CLOSE:
            // The system's Close and other programs asking the bar to close
            // end it; the dialog's default would only leave it, as Esc does.
            OnCancel();
            return 0;
        case WM_QUERYUISTATE:
            return m_wUiState;
        case WM_UPDATEUISTATE:
            if (LOWORD(wParam) == UIS_SET) {
                m_wUiState |= HIWORD(wParam);
            } else if (LOWORD(wParam) == UIS_CLEAR) {
                m_wUiState &= ~HIWORD(wParam);
            }
            return CAppBarDialog::WindowProc(msg, wParam, lParam);
        case WM_NEXTDLGCTL: {
            // Tab and Shift+Tab move the focus through here.
            ShowKeyboardCues();
            const LRESULT result = CAppBarDialog::WindowProc(msg, wParam, lParam);
            OnKeyboardFocus();
            return result;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                NoteKeyboardDrive(Os().win.GetFocus());
                ShowChildToolTip(nullptr, RECT{}, false, RECT{});
            }
            return CAppBarDialog::WindowProc(msg, wParam, lParam);
        case WM_HOTKEY:
            if (wParam == static_cast<WPARAM>(kHotKeyId)) {
                OnHotKey();
            }
            return 0;
        case WM_SYSCOLORCHANGE:
            OnSysColorChange();
            return CAppBarDialog::WindowProc(msg, wParam, lParam);
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
            OnContextMenu(reinterpret_cast<HWND>(wParam), SignedLoWord(static_cast<std::uintptr_t>(lParam)),
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
        case CDriveSet::kAnswerMessage:
            OnVolumeAnswer(wParam);
            return 0;
        case WM_SETCURSOR:
            OnSetCursor(reinterpret_cast<HWND>(wParam));
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
            if (hdr != nullptr && hdr->code == NM_KEYDOWN) {
                const auto* key = reinterpret_cast<const NMKEY*>(lParam);
                return OnButtonKey(hdr->hwndFrom, key->nVKey, key->uFlags);
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
    dialog.m_wHotKey = HotKeyControlValue(m_wHotKey);
    dialog.m_wHeldHotKey = m_bHotKeyTaken ? 0 : m_wHotKey;
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
    // A hotkey another program held is tried again, changed or not.
    if (const WORD hotKey = StoredHotKey(dialog.m_wHotKey); hotKey != m_wHotKey || m_bHotKeyTaken) {
        m_wHotKey = hotKey;
        RegisterBarHotKey();
    }
    if (dialog.m_bLaunchOnStartup != m_bLaunchOnStartup) {
        m_bLaunchOnStartup = dialog.m_bLaunchOnStartup;
        WriteLaunchOnStartup(m_bLaunchOnStartup);
    }
}

void CVosselDialog::RegisterBarHotKey() {
    Os().win.UnregisterHotKey(m_hWnd, kHotKeyId);
    // Held by another program, the bar does without it, silently: Options says so.
    m_bHotKeyTaken =
        m_wHotKey != 0 && !Os().win.RegisterHotKey(m_hWnd, kHotKeyId, HotKeyModifiers(m_wHotKey), LOBYTE(m_wHotKey));
}

void CVosselDialog::ShowKeyboardCues() {
    if ((m_wUiState & UISF_HIDEFOCUS) == 0) {
        return;
    }
    m_wUiState &= static_cast<WORD>(~UISF_HIDEFOCUS);
    // The system passes the change on to the buttons where it keeps cues;
    // the focused one is drawn anew in any case.
    SendMessage(WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS));
    if (const HWND focus = Os().win.GetFocus(); focus != nullptr && Os().win.GetParent(focus) == m_hWnd) {
        Os().win.InvalidateRect(focus, nullptr, TRUE);
    }
}

bool CVosselDialog::IsOwnWindow(HWND hwnd) const {
    // The bar, its tip, and the dialogs and boxes it owns, however deep.
    for (HWND window = hwnd; window != nullptr; window = Os().win.GetWindow(window, GW_OWNER)) {
        if (window == m_hWnd || window == m_hWndToolTip) {
            return true;
        }
    }
    return false;
}

void CVosselDialog::NotePreviousWindow(HWND foreground) {
    if (foreground != nullptr && !IsOwnWindow(foreground)) {
        m_hwndPrevious = foreground;
    }
}

HWND CVosselDialog::WindowToGoBackTo() const {
    if (m_hwndPrevious != nullptr && Os().win.IsWindow(m_hwndPrevious) && Os().win.IsWindowVisible(m_hwndPrevious)) {
        return m_hwndPrevious;
    }
    // Gone: the first window of another program in front, as the system picks one when a window closes.
    struct Search {
        const CVosselDialog* bar;
        HWND found;
    } search{this, nullptr};
    Os().win.EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            const auto exStyle = static_cast<DWORD>(Os().win.GetWindowLongA(hwnd, GWL_EXSTYLE));
            if (Os().win.IsWindowVisible(hwnd) && Os().win.IsWindowEnabled(hwnd) && !Os().win.IsIconic(hwnd) &&
                (exStyle & WS_EX_TOOLWINDOW) == 0 && hwnd != Os().win.GetDesktopWindow() &&
                !s->bar->IsOwnWindow(hwnd)) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void CVosselDialog::LeaveBar() {
    if (const HWND previous = WindowToGoBackTo(); previous != nullptr) {
        Os().win.SetForegroundWindow(previous);
    }
    // Hidden even where the keyboard could not be handed on.
    if (m_placement.bAutoHide) {
        ShowAutoHideBar(FALSE);
    }
}

void CVosselDialog::OnHotKey() {
    const HWND foreground = Os().win.GetForegroundWindow();
    if (foreground == m_hWnd) {
        LeaveBar();
        return;
    }
    // A dialog or box of the bar's own keeps the keyboard.
    if (IsOwnWindow(foreground)) {
        return;
    }
    NotePreviousWindow(foreground);
    if (m_placement.bAutoHide) {
        ShowAutoHideBar(TRUE);
    }
    Os().win.SetForegroundWindow(m_hWnd);
    const CDriveButton* last = m_drives.ButtonOf(m_chKeyboardDrive);
    const std::vector<HWND> order = KeyboardOrder();
    FocusButton(last != nullptr ? last->m_hWnd : order.size() > 1 ? order[1] : order.front());
}

std::vector<HWND> CVosselDialog::KeyboardOrder() const {
    std::vector<HWND> order{m_btnMenu.m_hWnd};
    for (const auto& drive : m_drives.Buttons()) {
        order.push_back(drive->m_hWnd);
    }
    return order;
}

BOOL CVosselDialog::OnButtonKey(HWND button, UINT vk, UINT flags) {
    const std::vector<HWND> order = KeyboardOrder();
    const auto at = std::find(order.begin(), order.end(), button);
    if (button == nullptr || at == order.end()) {
        return FALSE;
    }
    if (vk == static_cast<UINT>(VK_RETURN)) {
        // Once per press, as a click: a held key opens no more windows.
        if ((flags & KF_REPEAT) == 0) {
            SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(Os().win.GetDlgCtrlID(button)), BN_CLICKED),
                        reinterpret_cast<LPARAM>(button));
        }
        return TRUE;
    }
    // Along the row or the column the buttons stand in, wrapping at its ends.
    const SIZE client = ClientSize(*this);
    const bool vertical = IsVerticalLayout(m_placement.nEdge, client.cx, client.cy);
    const auto count = static_cast<std::ptrdiff_t>(order.size());
    const std::ptrdiff_t index = at - order.begin();
    std::ptrdiff_t next = 0;
    if (vk == static_cast<UINT>(vertical ? VK_UP : VK_LEFT)) {
        next = (index + count - 1) % count;
    } else if (vk == static_cast<UINT>(vertical ? VK_DOWN : VK_RIGHT)) {
        next = (index + 1) % count;
    } else if (vk == static_cast<UINT>(VK_HOME)) {
        next = 0;
    } else if (vk == static_cast<UINT>(VK_END)) {
        next = count - 1;
    } else {
        return FALSE;
    }
    FocusButton(order[static_cast<size_t>(next)]);
    return TRUE;
}

void CVosselDialog::FocusButton(HWND button) { SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE); }

void CVosselDialog::OnKeyboardFocus() {
    const HWND focus = Os().win.GetFocus();
    NoteKeyboardDrive(focus);
    RECT button{};
    const bool drive = !m_drives.RootOfWindow(focus).empty() && Os().win.GetWindowRect(focus, &button);
    // Below the button, or above it on a bar at the bottom of its monitor,
    // and on that monitor: the bar's edge may be where it meets another.
    ShowChildToolTip(drive ? focus : nullptr, button, m_placement.nEdge == ABE_BOTTOM, MonitorOfRect(button).work);
}

void CVosselDialog::NoteKeyboardDrive(HWND focus) {
    if (const std::wstring root = m_drives.RootOfWindow(focus); !root.empty()) {
        m_chKeyboardDrive = static_cast<char>(root[0]);
    }
}

void CVosselDialog::OnSysColorChange() {
    SetButtonPicture(&m_btnMenu, IDB_MENU_BUTTON);
    m_drives.Restyle(0);
}

BOOL CVosselDialog::GetAccessibleAnswers(HWND hwnd, AccessibleAnswers* answers) {
    if (hwnd == m_hWnd) {
        answers->name = Widen(GetWindowText());
        answers->role = ROLE_SYSTEM_TOOLBAR;
        return TRUE;
    }
    if (const std::wstring root = m_drives.RootOfWindow(hwnd); !root.empty()) {
        // Asked as a tip is: what is known now, and a name change once the volume answers.
        m_drives.AskVolume(root);
        // The tip's first line, as a sighted user reads it; the free space below it describes the drive.
        const std::wstring tip = TipText(hwnd);
        m_hwndSpoken = hwnd;
        m_strSpoken = tip;
        const size_t lineEnd = tip.find_first_of(L"\r\n");
        answers->name = tip.substr(0, lineEnd);
        const size_t below = tip.find_first_not_of(L"\r\n", lineEnd == std::wstring::npos ? tip.size() : lineEnd);
        answers->description = below == std::wstring::npos ? std::wstring() : tip.substr(below);
        answers->role = ROLE_SYSTEM_PUSHBUTTON;
        answers->defaultAction = Widen(LoadResourceString(IDS_OPEN_ACTION));
        return TRUE;
    }
    if (hwnd == m_btnMenu.m_hWnd && hwnd != nullptr) {
        answers->name = Widen(LoadResourceString(IDS_MENU_BUTTON_NAME));
        answers->role = ROLE_SYSTEM_BUTTONMENU;
        answers->defaultAction = Widen(LoadResourceString(IDS_OPEN_ACTION));
        return TRUE;
    }
    return FALSE;
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
