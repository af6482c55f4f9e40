// fakeexplorer.exe: what the end-to-end test has the bar launch for a drive.
// It notes how it was started in fakeexplorer.log next to itself, then shows
// one folder window of Explorer's class so the test can see it being tiled.

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    char bytes[4 * MAX_PATH] = "";
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

LRESULT CALLBACK FolderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER)  // a case that forgets to close it does not leave it behind
        DestroyWindow(hwnd);
    if (msg == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The window first: the bar looks for it 800 ms after starting the program.
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FolderProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "CabinetWClass";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "Fake Explorer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300,
                                  200, nullptr, nullptr, instance, nullptr);
    // Wide calls, so that a folder named in any script is found and logged whole (as UTF-8).
    wchar_t path[MAX_PATH] = L"", directory[MAX_PATH] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    GetCurrentDirectoryW(MAX_PATH, directory);
    if (length > 4 && length < MAX_PATH) {
        wcscpy(path + length - 4, L".log");
        if (std::FILE* log = _wfopen(path, L"ab")) {
            std::fprintf(log, "cmdline=%s\ncwd=%s\n", Utf8(GetCommandLineW()).c_str(), Utf8(directory).c_str());
            std::fclose(log);
        }
    }
    if (window == nullptr)
        return 1;
    SetTimer(window, 1, 60000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
