// The yardstick for Vossel's start-up: the least a desktop toolbar can do.
// One window that registers with the shell (ABM_NEW), asks for a strip at the
// top (ABM_SETPOS), shows itself there, and leaves the shell again on close.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

namespace {

constexpr UINT kAppBarCallback = WM_APP + 1;
constexpr int kThickness = 21;  // Vossel's default thickness under Wine

LRESULT CALLBACK BarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        APPBARDATA abd{};
        abd.cbSize = sizeof(abd);
        abd.hWnd = hwnd;
        SHAppBarMessage(ABM_REMOVE, &abd);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = BarProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = "BareAppBar";
    if (RegisterClassA(&wc) == 0) {
        return 1;
    }
    const HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, wc.lpszClassName, "Bare AppBar", WS_POPUP, 0, 0,
                                      0, 0, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) {
        return 1;
    }
    APPBARDATA abd{};
    abd.cbSize = sizeof(abd);
    abd.hWnd = hwnd;
    abd.uCallbackMessage = kAppBarCallback;
    SHAppBarMessage(ABM_NEW, &abd);
    abd.uEdge = ABE_TOP;
    abd.rc = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), kThickness};
    SHAppBarMessage(ABM_SETPOS, &abd);
    SetWindowPos(hwnd, HWND_TOPMOST, abd.rc.left, abd.rc.top, abd.rc.right - abd.rc.left, abd.rc.bottom - abd.rc.top,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
