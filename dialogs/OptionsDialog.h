// The Options dialog: the bar's settings in one form. It stores and applies
// nothing; its caller fills it, runs it and takes the values back on OK.
#pragma once

#include <string>

#include "platform/Dialog.h"

// The launch program the bar takes when the Options dialog leaves it empty.
std::wstring OptionsDefaultLaunchProgram();

class COptionsDialog : public CDialog {
public:
    explicit COptionsDialog(CWnd* parent = nullptr);
    ~COptionsDialog() override;

    std::wstring m_strLaunchProgram;
    BOOL m_bLaunchOnStartup = 0;
    BOOL m_bAlwaysOnTop = 0;
    BOOL m_bAutoHide = 0;
    std::wstring m_strSkipDrives;
    BOOL m_bTileExplorers = 0;
    // The hotkey as its control shows it, and the one the bar holds now (as
    // stored; 0 when it holds none), which is no other program's.
    WORD m_wHotKey = 0;
    WORD m_wHeldHotKey = 0;

    BOOL OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnCmdMsg(UINT id, int code) override;

private:
    void OnAbout();
    // Says beside the control whether the hotkey in it is another program's.
    void CheckHotKey();
};
