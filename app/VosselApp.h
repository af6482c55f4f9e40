// The application object: one running copy, its settings root, and the bar
// run as a modal dialog for the life of the process.
#pragma once

#include "platform/WinApp.h"

class CVosselApp : public CWinApp {
public:
    BOOL InitInstance() override;
    BOOL OnHelp(DWORD context) override;
};
