#include "platform/win32/Win32Os.h"

#include <ole2.h>

#include "platform/win32/LazyModule.h"

namespace {

HINSTANCE ExeModule() { return ::GetModuleHandleA(nullptr); }

}  // namespace

Win32Os::Win32Os() : m_services{*this, *this, *this, *this, *this} {
    // The common controls' window classes, the tooltip's among them.
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&classes);
}

// ---- IWindowSystem ----

LRESULT Win32Os::SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(hwnd, msg, wParam, lParam);
}

BOOL Win32Os::PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(hwnd, msg, wParam, lParam);
}

UINT Win32Os::RegisterWindowMessageA(const char* name) { return ::RegisterWindowMessageA(name); }

HWND Win32Os::FindWindowA(const char* className, const char* windowName) {
    return ::FindWindowA(className, windowName);
}

BOOL Win32Os::EnumWindows(WNDENUMPROC proc, LPARAM lParam) { return ::EnumWindows(proc, lParam); }

BOOL Win32Os::IsWindow(HWND hwnd) { return ::IsWindow(hwnd); }

HWND Win32Os::GetParent(HWND hwnd) { return ::GetParent(hwnd); }

HWND Win32Os::GetDlgItem(HWND dialog, int id) { return ::GetDlgItem(dialog, id); }

int Win32Os::GetDlgCtrlID(HWND hwnd) { return ::GetDlgCtrlID(hwnd); }

HWND Win32Os::GetDesktopWindow() { return ::GetDesktopWindow(); }

HWND Win32Os::WindowFromPoint(POINT pt) { return ::WindowFromPoint(pt); }

int Win32Os::GetClassNameA(HWND hwnd, char* buffer, int size) { return ::GetClassNameA(hwnd, buffer, size); }

int Win32Os::GetWindowTextA(HWND hwnd, char* buffer, int size) { return ::GetWindowTextA(hwnd, buffer, size); }

int Win32Os::GetWindowTextLengthA(HWND hwnd) { return ::GetWindowTextLengthA(hwnd); }

BOOL Win32Os::SetWindowTextA(HWND hwnd, const char* text) { return ::SetWindowTextA(hwnd, text); }

int Win32Os::GetWindowTextW(HWND hwnd, WCHAR* buffer, int size) { return ::GetWindowTextW(hwnd, buffer, size); }

int Win32Os::GetWindowTextLengthW(HWND hwnd) { return ::GetWindowTextLengthW(hwnd); }

BOOL Win32Os::SetWindowTextW(HWND hwnd, const WCHAR* text) { return ::SetWindowTextW(hwnd, text); }

LONG Win32Os::GetWindowLongA(HWND hwnd, int index) { return ::GetWindowLongA(hwnd, index); }

LONG Win32Os::SetWindowLongA(HWND hwnd, int index, LONG value) { return ::SetWindowLongA(hwnd, index, value); }

BOOL Win32Os::GetWindowRect(HWND hwnd, RECT* rect) { return ::GetWindowRect(hwnd, rect); }

BOOL Win32Os::GetClientRect(HWND hwnd, RECT* rect) { return ::GetClientRect(hwnd, rect); }

BOOL Win32Os::ClientToScreen(HWND hwnd, POINT* pt) { return ::ClientToScreen(hwnd, pt); }

BOOL Win32Os::ScreenToClient(HWND hwnd, POINT* pt) { return ::ScreenToClient(hwnd, pt); }

BOOL Win32Os::SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(hwnd, insertAfter, x, y, cx, cy, flags);
}

BOOL Win32Os::MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL repaint) {
    return ::MoveWindow(hwnd, x, y, cx, cy, repaint);
}

BOOL Win32Os::ShowWindow(HWND hwnd, int show) { return ::ShowWindow(hwnd, show); }

BOOL Win32Os::UpdateWindow(HWND hwnd) { return ::UpdateWindow(hwnd); }

BOOL Win32Os::InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) { return ::InvalidateRect(hwnd, rect, erase); }

BOOL Win32Os::AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
    return ::AdjustWindowRectEx(rect, style, menu, exStyle);
}

int Win32Os::SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) { return ::SetWindowRgn(hwnd, region, redraw); }

int Win32Os::GetWindowRgnBox(HWND hwnd, RECT* rect) { return ::GetWindowRgnBox(hwnd, rect); }

HWND Win32Os::GetActiveWindow() { return ::GetActiveWindow(); }

HWND Win32Os::SetActiveWindow(HWND hwnd) { return ::SetActiveWindow(hwnd); }

DWORD Win32Os::GetMessagePos() { return ::GetMessagePos(); }

BOOL Win32Os::GetCursorPos(POINT* pt) { return ::GetCursorPos(pt); }

SHORT Win32Os::GetKeyState(int key) { return ::GetKeyState(key); }

SHORT Win32Os::GetAsyncKeyState(int key) { return ::GetAsyncKeyState(key); }

HWND Win32Os::SetFocus(HWND hwnd) { return ::SetFocus(hwnd); }

HWND Win32Os::GetFocus() { return ::GetFocus(); }

BOOL Win32Os::SetForegroundWindow(HWND hwnd) { return ::SetForegroundWindow(hwnd); }

HWND Win32Os::GetForegroundWindow() { return ::GetForegroundWindow(); }

BOOL Win32Os::RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT vk) {
    return ::RegisterHotKey(hwnd, id, modifiers, vk);
}

BOOL Win32Os::UnregisterHotKey(HWND hwnd, int id) { return ::UnregisterHotKey(hwnd, id); }

void Win32Os::NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild) {
    ::NotifyWinEvent(event, hwnd, idObject, idChild);
}

UINT_PTR Win32Os::SetTimer(HWND hwnd, UINT_PTR id, UINT elapse) { return ::SetTimer(hwnd, id, elapse, nullptr); }

BOOL Win32Os::KillTimer(HWND hwnd, UINT_PTR id) { return ::KillTimer(hwnd, id); }

int Win32Os::GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

BOOL Win32Os::SystemParametersInfoA(UINT action, UINT param, void* value, UINT winIni) {
    return ::SystemParametersInfoA(action, param, value, winIni);
}

DWORD Win32Os::GetSysColor(int index) { return ::GetSysColor(index); }

int Win32Os::MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
    return ::MessageBoxA(owner, text, caption, type);
}

int Win32Os::LoadStringA(UINT id, char* buffer, int size) { return ::LoadStringA(ExeModule(), id, buffer, size); }

HMENU Win32Os::LoadMenuA(UINT id) { return ::LoadMenuA(ExeModule(), MAKEINTRESOURCEA(id)); }

HMENU Win32Os::GetSubMenu(HMENU menu, int pos) { return ::GetSubMenu(menu, pos); }

DWORD Win32Os::CheckMenuItem(HMENU menu, UINT id, UINT check) { return ::CheckMenuItem(menu, id, check); }

BOOL Win32Os::InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id, const char* text) {
    return ::InsertMenuA(menu, position, flags, id, text);
}

BOOL Win32Os::TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) {
    return ::TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr);
}

BOOL Win32Os::DestroyMenu(HMENU menu) { return ::DestroyMenu(menu); }

// ---- IGdi ----

HBITMAP Win32Os::CreateMappedBitmap(UINT bitmapId, UINT flags, COLORMAP* maps, int mapCount) {
    return ::CreateMappedBitmap(ExeModule(), static_cast<INT_PTR>(bitmapId), flags, maps, mapCount);
}

HANDLE Win32Os::CopyImage(HANDLE image, UINT type, int cx, int cy, UINT flags) {
    return ::CopyImage(image, type, cx, cy, flags);
}

BOOL Win32Os::DeleteObject(HGDIOBJ object) { return ::DeleteObject(object); }

HRGN Win32Os::CreateRectRgn(int left, int top, int right, int bottom) {
    return ::CreateRectRgn(left, top, right, bottom);
}

BOOL Win32Os::DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state) {
    return ::DrawFrameControl(dc, rect, type, state);
}

BOOL Win32Os::DrawStateA(HDC dc, HBRUSH brush, DRAWSTATEPROC proc, LPARAM data, WPARAM dataLength, int x, int y, int cx,
                         int cy, UINT flags) {
    return ::DrawStateA(dc, brush, proc, data, dataLength, x, y, cx, cy, flags);
}

BOOL Win32Os::GetTextExtentPointA(HDC dc, const char* text, int length, SIZE* size) {
    return ::GetTextExtentPointA(dc, text, length, size);
}

BOOL Win32Os::DrawFocusRect(HDC dc, const RECT* rect) { return ::DrawFocusRect(dc, rect); }

int Win32Os::FrameRect(HDC dc, const RECT* rect, HBRUSH brush) { return ::FrameRect(dc, rect, brush); }

// ---- IShell ----

UINT_PTR Win32Os::SHAppBarMessage(DWORD message, APPBARDATA* data) { return ::SHAppBarMessage(message, data); }

HINSTANCE Win32Os::ShellExecuteW(HWND owner, const WCHAR* verb, const WCHAR* file, const WCHAR* parameters,
                                 const WCHAR* directory, int show) {
    return ::ShellExecuteW(owner, verb, file, parameters, directory, show);
}

// ---- ISystem ----

DWORD Win32Os::GetTickCount() { return ::GetTickCount(); }

void Win32Os::Sleep(DWORD milliseconds) { ::Sleep(milliseconds); }

HRESULT Win32Os::OleInitialize() {
    using Function = HRESULT(WINAPI*)(void*);
    const auto function = Ole32().Get<Function>("OleInitialize");
    return function != nullptr ? function(nullptr) : E_FAIL;
}

void Win32Os::OleUninitialize() {
    using Function = void(WINAPI*)();
    if (const auto function = Ole32().Get<Function>("OleUninitialize")) {
        function();
    }
}

DWORD Win32Os::GetLogicalDrives() { return ::GetLogicalDrives(); }

UINT Win32Os::GetDriveTypeA(const char* root) { return ::GetDriveTypeA(root); }

BOOL Win32Os::GetVolumeInformationW(const WCHAR* root, WCHAR* volumeName, DWORD volumeNameSize,
                                    DWORD* fileSystemFlags) {
    return ::GetVolumeInformationW(root, volumeName, volumeNameSize, nullptr, nullptr, fileSystemFlags, nullptr, 0);
}

UINT Win32Os::GetWindowsDirectoryW(WCHAR* buffer, UINT size) { return ::GetWindowsDirectoryW(buffer, size); }

BOOL Win32Os::SetCurrentDirectoryW(const WCHAR* path) { return ::SetCurrentDirectoryW(path); }

DWORD Win32Os::GetCurrentDirectoryW(DWORD size, WCHAR* buffer) { return ::GetCurrentDirectoryW(size, buffer); }

DWORD Win32Os::WNetOpenEnumW(DWORD scope, DWORD type, DWORD usage, HANDLE* enumHandle) {
    using Function = DWORD(WINAPI*)(DWORD, DWORD, DWORD, NETRESOURCEW*, HANDLE*);
    const auto function = Mpr().Get<Function>("WNetOpenEnumW");
    return function != nullptr ? function(scope, type, usage, nullptr, enumHandle) : ERROR_NO_NETWORK;
}

DWORD Win32Os::WNetEnumResourceW(HANDLE enumHandle, DWORD* count, void* buffer, DWORD* bufferSize) {
    using Function = DWORD(WINAPI*)(HANDLE, DWORD*, void*, DWORD*);
    const auto function = Mpr().Get<Function>("WNetEnumResourceW");
    return function != nullptr ? function(enumHandle, count, buffer, bufferSize) : ERROR_NO_NETWORK;
}

DWORD Win32Os::WNetCloseEnum(HANDLE enumHandle) {
    using Function = DWORD(WINAPI*)(HANDLE);
    const auto function = Mpr().Get<Function>("WNetCloseEnum");
    return function != nullptr ? function(enumHandle) : ERROR_NO_NETWORK;
}

// ---- IRegistry ----

LONG Win32Os::RegOpenKeyExW(HKEY key, const WCHAR* subKey, REGSAM access, HKEY* result) {
    return ::RegOpenKeyExW(key, subKey, 0, access, result);
}

LONG Win32Os::RegCreateKeyExW(HKEY key, const WCHAR* subKey, REGSAM access, HKEY* result) {
    return ::RegCreateKeyExW(key, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, result, nullptr);
}

LONG Win32Os::RegQueryValueExW(HKEY key, const WCHAR* name, DWORD* type, BYTE* data, DWORD* size) {
    return ::RegQueryValueExW(key, name, nullptr, type, data, size);
}

LONG Win32Os::RegSetValueExW(HKEY key, const WCHAR* name, DWORD type, const BYTE* data, DWORD size) {
    return ::RegSetValueExW(key, name, 0, type, data, size);
}

LONG Win32Os::RegCloseKey(HKEY key) { return ::RegCloseKey(key); }
