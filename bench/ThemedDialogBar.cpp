// The second yardstick for Vossel's start-up: the least program that shows
// the bar the user sees. A dialog from a template in "MS Shell Dlg" 8 with
// the common controls v6 of its manifest, a picture button and one button
// per drive with a 16 x 16 picture, docked across the top with ABM_NEW,
// ABM_QUERYPOS, ABM_SETPOS and one move. No settings, OLE or tooltips.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

namespace {

constexpr UINT kAppBarCallback = WM_APP + 1;
constexpr int kMenuButton = 1000;
constexpr int kFirstDrive = 1001;
constexpr int kPicture = 16;

int DrivePicture(UINT type) {
    switch (type) {
        case DRIVE_REMOVABLE:
            return 102;
        case DRIVE_REMOTE:
            return 104;
        case DRIVE_CDROM:
            return 105;
        default:
            return 103;
    }
}

void SetPicture(HWND button, int id) {
    const HANDLE picture =
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, kPicture, kPicture, 0);
    SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
}

void Init(HWND dialog) {
    SetWindowTextA(dialog, "Themed Dialog Bar");
    const HWND menu = GetDlgItem(dialog, kMenuButton);
    SetPicture(menu, 101);
    RECT button{};
    GetWindowRect(menu, &button);
    const int cx = button.right - button.left;
    const int cy = button.bottom - button.top;
    const auto font = static_cast<WPARAM>(SendMessageA(menu, WM_GETFONT, 0, 0));
    const DWORD drives = GetLogicalDrives();
    int index = 1;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if ((drives & (1U << (letter - 'A'))) == 0) {
            continue;
        }
        const char caption[] = {letter, ':', '\0'};
        const char root[] = {letter, ':', '\\', '\0'};
        const HWND drive =
            CreateWindowExA(0, "Button", caption, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, index * cx, 0, cx, cy, dialog,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstDrive + index - 1)), nullptr, nullptr);
        SendMessageA(drive, WM_SETFONT, font, FALSE);
        SetPicture(drive, DrivePicture(GetDriveTypeA(root)));
        ++index;
    }

    RECT window{};
    GetWindowRect(dialog, &window);
    APPBARDATA abd{};
    abd.cbSize = sizeof(abd);
    abd.hWnd = dialog;
    abd.uCallbackMessage = kAppBarCallback;
    SHAppBarMessage(ABM_NEW, &abd);
    abd.uEdge = ABE_TOP;
    abd.rc = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SHAppBarMessage(ABM_QUERYPOS, &abd);
    abd.rc.bottom = abd.rc.top + (window.bottom - window.top);
    SHAppBarMessage(ABM_SETPOS, &abd);
    MoveWindow(dialog, abd.rc.left, abd.rc.top, abd.rc.right - abd.rc.left, abd.rc.bottom - abd.rc.top, FALSE);
}

INT_PTR CALLBACK BarProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            Init(dialog);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, 0);
            }
            return TRUE;
        case WM_DESTROY: {
            for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
                DeleteObject(reinterpret_cast<HGDIOBJ>(SendMessageA(child, BM_GETIMAGE, IMAGE_BITMAP, 0)));
            }
            APPBARDATA abd{};
            abd.cbSize = sizeof(abd);
            abd.hWnd = dialog;
            SHAppBarMessage(ABM_REMOVE, &abd);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(100), nullptr, BarProc, 0));
}
