#include "platform/WinApp.h"
#include "platform/win32/Win32Os.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Win32Os os;
    SetOs(&os.Services());
    CWinApp* app = AfxGetApp();
    return app != nullptr ? app->Run() : 0;
}
