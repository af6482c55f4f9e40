#include "dialogs/OptionsDialog.h"

#include "dialogs/AboutDialog.h"
#include "resources/resource.h"
#include "settings/Settings.h"

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
}

BOOL COptionsDialog::OnCmdMsg(UINT id, int code) {
    if (id == IDC_OPTIONS_ABOUT && code == static_cast<int>(BN_CLICKED)) {
        OnAbout();
        return TRUE;
    }
    return CDialog::OnCmdMsg(id, code);
}

void COptionsDialog::OnAbout() {
    CAboutDialog about;
    about.DoModal();
}
