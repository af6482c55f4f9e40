#include "dialogs/OptionsDialog.h"

#include "dialogs/AboutDialog.h"
#include "resources/resource.h"
#include "settings/HotKey.h"
#include "settings/Settings.h"

namespace {

// Tries a hotkey on the dialog for a moment, to learn whether it is free.
constexpr int kTrialHotKeyId = 1;

void DDX_HotKey(CDataExchange* dx, int id, WORD& value) {
    const HWND control = Os().win.GetDlgItem(dx->m_pDlgWnd->m_hWnd, id);
    if (dx->m_bSaveAndValidate) {
        value = LOWORD(static_cast<std::uintptr_t>(Os().win.SendMessageA(control, HKM_GETHOTKEY, 0, 0)));
    } else {
        Os().win.SendMessageA(control, HKM_SETHOTKEY, value, 0);
    }
}

}  // namespace

std::wstring OptionsDefaultLaunchProgram() { return ExplorerCommand("/e,/idlist,\"%1\""); }

COptionsDialog::COptionsDialog(CWnd* parent) : CDialog(IDD_OPTIONS, parent) {}

COptionsDialog::~COptionsDialog() = default;

void COptionsDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_LAUNCH_PROGRAM, m_strLaunchProgram);
    DDX_Check(dx, IDC_LAUNCH_ON_STARTUP, m_bLaunchOnStartup);
    DDX_Check(dx, IDC_ALWAYS_ON_TOP, m_bAlwaysOnTop);
    DDX_Check(dx, IDC_AUTO_HIDE, m_bAutoHide);
    DDX_Text(dx, IDC_SKIP_DRIVES, m_strSkipDrives);
    DDX_Check(dx, IDC_TILE_EXPLORERS, m_bTileExplorers);
    DDX_HotKey(dx, IDC_HOTKEY, m_wHotKey);
}

BOOL COptionsDialog::OnInitDialog() {
    const BOOL result = CDialog::OnInitDialog();
    CheckHotKey();
    return result;
}

void COptionsDialog::CheckHotKey() {
    WORD shown = 0;
    CDataExchange dx(this, TRUE);
    DDX_HotKey(&dx, IDC_HOTKEY, shown);
    const WORD hotKey = StoredHotKey(shown);
    bool taken = false;
    if (hotKey != 0 && hotKey != m_wHeldHotKey) {
        taken = !Os().win.RegisterHotKey(m_hWnd, kTrialHotKeyId, HotKeyModifiers(hotKey), LOBYTE(hotKey));
        if (!taken) {
            Os().win.UnregisterHotKey(m_hWnd, kTrialHotKeyId);
        }
    }
    Os().win.ShowWindow(GetDlgItem(IDC_HOTKEY_TAKEN), taken ? SW_SHOWNA : SW_HIDE);
}

BOOL COptionsDialog::OnCmdMsg(UINT id, int code) {
    if (id == IDC_OPTIONS_ABOUT && code == static_cast<int>(BN_CLICKED)) {
        OnAbout();
        return TRUE;
    }
    if (id == IDC_HOTKEY && code == static_cast<int>(EN_CHANGE)) {
        CheckHotKey();
        return TRUE;
    }
    return CDialog::OnCmdMsg(id, code);
}

void COptionsDialog::OnAbout() {
    CAboutDialog about;
    about.DoModal();
}
