#include "platform/WinApp.h"
#include "platform/win32/Win32Os.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Win32Os os;
    SetOs(&os.Services());
    CWinApp* app = AfxGetApp();
    const int code = app != nullptr ? app->Run() : 0;
    // A query still blocked on a drive ends here with its thread, before
    // anything it would come back to is gone.
    ::ExitProcess(static_cast<UINT>(code));
}
