// Painting, cursors, the clipboard, shell folders, the Internet Shortcut
// object and system information, forwarded to Win32.
// The system headers build on <windows.h>, which Win32Os.h brings in.
// clang-format off
#include "platform/win32/Win32Os.h"
#include <objbase.h>
#include <intshcut.h>
// clang-format on

#include "platform/win32/ComPtr.h"
#include "platform/win32/LazyModule.h"

namespace {

HINSTANCE ExeModule() { return ::GetModuleHandleA(nullptr); }

// The shell's Internet Shortcut object and the interfaces the program uses.
const CLSID kClsidInternetShortcut = {0xFBF23B40, 0xE3F0, 0x101B, {0x84, 0x88, 0x00, 0xAA, 0x00, 0x3E, 0x56, 0xF8}};
const IID kIidUniformResourceLocatorA = {0xFBF23B80, 0xE3F0, 0x101B, {0x84, 0x88, 0x00, 0xAA, 0x00, 0x3E, 0x56, 0xF8}};
const IID kIidPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

HRESULT CreateShortcut(const char* url, ComPtr<IUniformResourceLocatorA>* shortcut) {
    using Function = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
    const auto coCreateInstance = Ole32().Get<Function>("CoCreateInstance");
    HRESULT hr = coCreateInstance != nullptr ? coCreateInstance(kClsidInternetShortcut, nullptr, CLSCTX_INPROC_SERVER,
                                                                kIidUniformResourceLocatorA, shortcut->Receive())
                                             : CO_E_NOTINITIALIZED;
    if (SUCCEEDED(hr)) {
        hr = (*shortcut)->SetURL(url, IURL_SETURL_FL_GUESS_PROTOCOL);
    }
    return hr;
}

}  // namespace

// ---- IWindowSystem ----

HDC Win32Os::BeginPaint(HWND hwnd, PAINTSTRUCT* paint) { return ::BeginPaint(hwnd, paint); }

BOOL Win32Os::EndPaint(HWND hwnd, const PAINTSTRUCT* paint) { return ::EndPaint(hwnd, paint); }

HDC Win32Os::GetDC(HWND hwnd) { return ::GetDC(hwnd); }

int Win32Os::ReleaseDC(HWND hwnd, HDC dc) { return ::ReleaseDC(hwnd, dc); }

HCURSOR Win32Os::LoadCursorA(UINT id, BOOL system) {
    return ::LoadCursorA(system ? nullptr : ExeModule(), MAKEINTRESOURCEA(id));
}

HCURSOR Win32Os::SetCursor(HCURSOR cursor) { return ::SetCursor(cursor); }

HWND Win32Os::SetCapture(HWND hwnd) { return ::SetCapture(hwnd); }

BOOL Win32Os::ReleaseCapture() { return ::ReleaseCapture(); }

HWND Win32Os::GetCapture() { return ::GetCapture(); }

HWND Win32Os::GetWindow(HWND hwnd, UINT cmd) { return ::GetWindow(hwnd, cmd); }

BOOL Win32Os::IsWindowVisible(HWND hwnd) { return ::IsWindowVisible(hwnd); }

BOOL Win32Os::IsIconic(HWND hwnd) { return ::IsIconic(hwnd); }

BOOL Win32Os::IsWindowEnabled(HWND hwnd) { return ::IsWindowEnabled(hwnd); }

BOOL Win32Os::OpenClipboard(HWND owner) { return ::OpenClipboard(owner); }

BOOL Win32Os::EmptyClipboard() { return ::EmptyClipboard(); }

HANDLE Win32Os::SetClipboardData(UINT format, HANDLE data) { return ::SetClipboardData(format, data); }

BOOL Win32Os::CloseClipboard() { return ::CloseClipboard(); }

UINT Win32Os::GetDpiForWindow(HWND hwnd) {
    // Windows 10 knows each window's monitor; before it the system DPI is
    // the only one, and the screen's device context tells it.
    using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
    if (const auto getDpi = User32().Get<GetDpiForWindowProc>("GetDpiForWindow")) {
        return getDpi(hwnd);
    }
    if (!::IsWindow(hwnd)) {
        return 0;
    }
    const HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) {
        return 0;
    }
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 0;
}

BOOL Win32Os::AdjustWindowRectExForDpi(RECT* rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi) {
    using AdjustForDpiProc = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    if (const auto adjust = User32().Get<AdjustForDpiProc>("AdjustWindowRectExForDpi")) {
        return adjust(rect, style, menu, exStyle, dpi);
    }
    return ::AdjustWindowRectEx(rect, style, menu, exStyle);
}

int Win32Os::GetSystemMetricsForDpi(int index, UINT dpi) {
    using MetricsForDpiProc = int(WINAPI*)(int, UINT);
    if (const auto metrics = User32().Get<MetricsForDpiProc>("GetSystemMetricsForDpi")) {
        return metrics(index, dpi);
    }
    return ::GetSystemMetrics(index);
}

HMONITOR Win32Os::MonitorFromPoint(POINT pt, DWORD flags) { return ::MonitorFromPoint(pt, flags); }

HMONITOR Win32Os::MonitorFromRect(const RECT* rect, DWORD flags) { return ::MonitorFromRect(rect, flags); }

HMONITOR Win32Os::MonitorFromWindow(HWND hwnd, DWORD flags) { return ::MonitorFromWindow(hwnd, flags); }

BOOL Win32Os::GetMonitorInfoW(HMONITOR monitor, MONITORINFOEXW* info) {
    return ::GetMonitorInfoW(monitor, reinterpret_cast<MONITORINFO*>(info));
}

BOOL Win32Os::EnumDisplayMonitors(MONITORENUMPROC proc, LPARAM data) {
    return ::EnumDisplayMonitors(nullptr, nullptr, proc, data);
}

// ---- IGdi ----

HFONT Win32Os::CreateFontIndirectA(const LOGFONTA* font) { return ::CreateFontIndirectA(font); }

int Win32Os::GetObjectA(HGDIOBJ object, int size, void* buffer) { return ::GetObjectA(object, size, buffer); }

HGDIOBJ Win32Os::SelectObject(HDC dc, HGDIOBJ object) { return ::SelectObject(dc, object); }

HGDIOBJ Win32Os::GetStockObject(int index) { return ::GetStockObject(index); }

HBRUSH Win32Os::GetSysColorBrush(int index) { return ::GetSysColorBrush(index); }

int Win32Os::SetBkMode(HDC dc, int mode) { return ::SetBkMode(dc, mode); }

COLORREF Win32Os::SetTextColor(HDC dc, COLORREF color) { return ::SetTextColor(dc, color); }

BOOL Win32Os::TextOutA(HDC dc, int x, int y, const char* text, int length) {
    return ::TextOutA(dc, x, y, text, length);
}

int Win32Os::FillRect(HDC dc, const RECT* rect, HBRUSH brush) { return ::FillRect(dc, rect, brush); }

BOOL Win32Os::Rectangle(HDC dc, int left, int top, int right, int bottom) {
    return ::Rectangle(dc, left, top, right, bottom);
}

HDC Win32Os::CreateCompatibleDC(HDC dc) { return ::CreateCompatibleDC(dc); }

BOOL Win32Os::DeleteDC(HDC dc) { return ::DeleteDC(dc); }

HBITMAP Win32Os::CreateCompatibleBitmap(HDC dc, int cx, int cy) { return ::CreateCompatibleBitmap(dc, cx, cy); }

BOOL Win32Os::StretchBlt(HDC dest, int x, int y, int cx, int cy, HDC source, int xSource, int ySource, int cxSource,
                         int cySource, DWORD rop) {
    return ::StretchBlt(dest, x, y, cx, cy, source, xSource, ySource, cxSource, cySource, rop);
}

HANDLE Win32Os::LoadImageA(UINT id, UINT type, int cx, int cy) {
    return ::LoadImageA(ExeModule(), MAKEINTRESOURCEA(id), type, cx, cy, 0);
}

BOOL Win32Os::DrawIcon(HDC dc, int x, int y, HICON icon) { return ::DrawIcon(dc, x, y, icon); }

BOOL Win32Os::DestroyIcon(HICON icon) { return ::DestroyIcon(icon); }

// ---- IShell ----

BOOL Win32Os::SHGetSpecialFolderPathW(HWND owner, WCHAR* path, int csidl, BOOL create) {
    return ::SHGetSpecialFolderPathW(owner, path, csidl, create);
}

HRESULT Win32Os::InvokeInternetShortcut(HWND owner, const char* url) {
    ComPtr<IUniformResourceLocatorA> shortcut;
    HRESULT hr = CreateShortcut(url, &shortcut);
    if (FAILED(hr)) {
        return hr;
    }
    URLINVOKECOMMANDINFOA info{};
    info.dwcbSize = sizeof(info);
    info.dwFlags = IURL_INVOKECOMMAND_FL_ALLOW_UI;
    info.hwndParent = owner;
    info.pcszVerb = "open";
    return shortcut->InvokeCommand(&info);
}

HRESULT Win32Os::SaveInternetShortcut(const char* url, const WCHAR* path) {
    ComPtr<IUniformResourceLocatorA> shortcut;
    HRESULT hr = CreateShortcut(url, &shortcut);
    if (FAILED(hr)) {
        return hr;
    }
    ComPtr<IPersistFile> file;
    hr = shortcut->QueryInterface(kIidPersistFile, file.Receive());
    if (FAILED(hr)) {
        return hr;
    }
    return file->Save(path, TRUE);
}

// ---- ISystem ----

BOOL Win32Os::GlobalMemoryStatusEx(MEMORYSTATUSEX* status) { return ::GlobalMemoryStatusEx(status); }

BOOL Win32Os::GetDiskFreeSpaceExW(const WCHAR* root, ULONGLONG* freeToCaller, ULONGLONG* totalBytes,
                                  ULONGLONG* totalFreeBytes) {
    ULARGE_INTEGER caller{};
    ULARGE_INTEGER total{};
    ULARGE_INTEGER totalFree{};
    if (!::GetDiskFreeSpaceExW(root, &caller, &total, &totalFree)) {
        return FALSE;
    }
    *freeToCaller = caller.QuadPart;
    *totalBytes = total.QuadPart;
    *totalFreeBytes = totalFree.QuadPart;
    return TRUE;
}

BOOL Win32Os::GetDiskFreeSpaceW(const WCHAR* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector, DWORD* freeClusters,
                                DWORD* totalClusters) {
    return ::GetDiskFreeSpaceW(root, sectorsPerCluster, bytesPerSector, freeClusters, totalClusters);
}

DWORD Win32Os::GetModuleFileNameW(WCHAR* buffer, DWORD size) { return ::GetModuleFileNameW(nullptr, buffer, size); }

DWORD Win32Os::GetShortPathNameW(const WCHAR* longPath, WCHAR* buffer, DWORD size) {
    return ::GetShortPathNameW(longPath, buffer, size);
}

DWORD Win32Os::GetFileAttributesW(const WCHAR* path) { return ::GetFileAttributesW(path); }

HGLOBAL Win32Os::GlobalAlloc(UINT flags, size_t bytes) { return ::GlobalAlloc(flags, bytes); }

void* Win32Os::GlobalLock(HGLOBAL memory) { return ::GlobalLock(memory); }

BOOL Win32Os::GlobalUnlock(HGLOBAL memory) {
    // FALSE also when the block is unlocked now; the caller does not need to tell.
    ::GlobalUnlock(memory);
    return TRUE;
}

HGLOBAL Win32Os::GlobalFree(HGLOBAL memory) { return ::GlobalFree(memory); }

// ---- IRegistry ----

LONG Win32Os::RegDeleteValueW(HKEY key, const WCHAR* name) { return ::RegDeleteValueW(key, name); }
