// The real backend: every service forwards to the Win32 API.
#pragma once

#include "platform/Os.h"

// The window class of framework windows that have no class of their own.
constexpr const char* kFrameworkWindowClass = "VosselWnd";

class Win32Os final : public IWindowSystem, public IGdi, public IShell, public ISystem, public IRegistry {
public:
    Win32Os();
    Win32Os(const Win32Os&) = delete;
    Win32Os& operator=(const Win32Os&) = delete;
    ~Win32Os() override = default;

    OsServices& Services() { return m_services; }

    // ---- IWindowSystem ----
    HWND CreateWindowExA(DWORD exStyle, const char* className, const char* text, DWORD style, int x, int y, int cx,
                         int cy, HWND parent, UINT id, CWnd* object) override;
    INT_PTR DialogBoxParamA(UINT templateId, HWND parent, CWnd* dialog) override;
    HWND CreateDialogParamA(UINT templateId, HWND parent, CWnd* dialog) override;
    BOOL EndDialog(HWND dialog, INT_PTR result) override;
    BOOL SubclassWindow(HWND hwnd, CWnd* object) override;
    CWnd* FromHandle(HWND hwnd) override;
    LRESULT DefaultProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL DestroyWindow(HWND hwnd) override;
    int RunMessageLoop() override;
    LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    UINT RegisterWindowMessageA(const char* name) override;
    HWND FindWindowA(const char* className, const char* windowName) override;
    BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam) override;
    BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam) override;
    BOOL IsWindow(HWND hwnd) override;
    HWND GetParent(HWND hwnd) override;
    HWND GetDlgItem(HWND dialog, int id) override;
    int GetDlgCtrlID(HWND hwnd) override;
    HWND GetDesktopWindow() override;
    HWND WindowFromPoint(POINT pt) override;
    int GetClassNameA(HWND hwnd, char* buffer, int size) override;
    int GetWindowTextA(HWND hwnd, char* buffer, int size) override;
    int GetWindowTextLengthA(HWND hwnd) override;
    BOOL SetWindowTextA(HWND hwnd, const char* text) override;
    int GetWindowTextW(HWND hwnd, WCHAR* buffer, int size) override;
    int GetWindowTextLengthW(HWND hwnd) override;
    BOOL SetWindowTextW(HWND hwnd, const WCHAR* text) override;
    LONG GetWindowLongA(HWND hwnd, int index) override;
    LONG SetWindowLongA(HWND hwnd, int index, LONG value) override;
    BOOL GetWindowRect(HWND hwnd, RECT* rect) override;
    BOOL GetClientRect(HWND hwnd, RECT* rect) override;
    BOOL ClientToScreen(HWND hwnd, POINT* pt) override;
    BOOL ScreenToClient(HWND hwnd, POINT* pt) override;
    BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) override;
    BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL repaint) override;
    BOOL ShowWindow(HWND hwnd, int show) override;
    BOOL UpdateWindow(HWND hwnd) override;
    BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) override;
    BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) override;
    int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) override;
    int GetWindowRgnBox(HWND hwnd, RECT* rect) override;
    HWND GetActiveWindow() override;
    HWND SetActiveWindow(HWND hwnd) override;
    DWORD GetMessagePos() override;
    BOOL GetCursorPos(POINT* pt) override;
    SHORT GetKeyState(int key) override;
    SHORT GetAsyncKeyState(int key) override;
    UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse) override;
    BOOL KillTimer(HWND hwnd, UINT_PTR id) override;
    int GetSystemMetrics(int index) override;
    BOOL SystemParametersInfoA(UINT action, UINT param, void* value, UINT winIni) override;
    DWORD GetSysColor(int index) override;
    int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) override;
    int LoadStringA(UINT id, char* buffer, int size) override;
    HMENU LoadMenuA(UINT id) override;
    HMENU GetSubMenu(HMENU menu, int pos) override;
    DWORD CheckMenuItem(HMENU menu, UINT id, UINT check) override;
    BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id, const char* text) override;
    BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) override;
    BOOL DestroyMenu(HMENU menu) override;
    HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint) override;
    BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint) override;
    HDC GetDC(HWND hwnd) override;
    int ReleaseDC(HWND hwnd, HDC dc) override;
    HCURSOR LoadCursorA(UINT id, BOOL system) override;
    HCURSOR SetCursor(HCURSOR cursor) override;
    HWND SetCapture(HWND hwnd) override;
    BOOL ReleaseCapture() override;
    HWND GetCapture() override;
    HWND GetWindow(HWND hwnd, UINT cmd) override;
    BOOL IsWindowVisible(HWND hwnd) override;
    BOOL IsIconic(HWND hwnd) override;
    BOOL IsWindowEnabled(HWND hwnd) override;
    BOOL OpenClipboard(HWND owner) override;
    BOOL EmptyClipboard() override;
    HANDLE SetClipboardData(UINT format, HANDLE data) override;
    BOOL CloseClipboard() override;
    UINT GetDpiForWindow(HWND hwnd) override;
    HWND SetFocus(HWND hwnd) override;
    HWND GetFocus() override;
    BOOL SetForegroundWindow(HWND hwnd) override;
    HWND GetForegroundWindow() override;
    BOOL RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT vk) override;
    BOOL UnregisterHotKey(HWND hwnd, int id) override;
    LRESULT AnswerGetObject(HWND hwnd, WPARAM wParam, LPARAM lParam) override;
    void NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild) override;
    BOOL AdjustWindowRectExForDpi(RECT* rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi) override;
    int GetSystemMetricsForDpi(int index, UINT dpi) override;
    HMONITOR MonitorFromPoint(POINT pt, DWORD flags) override;
    HMONITOR MonitorFromRect(const RECT* rect, DWORD flags) override;
    HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags) override;
    BOOL GetMonitorInfoW(HMONITOR monitor, MONITORINFOEXW* info) override;
    BOOL EnumDisplayMonitors(MONITORENUMPROC proc, LPARAM data) override;

    // ---- IGdi ----
    HBITMAP CreateMappedBitmap(UINT bitmapId, UINT flags, COLORMAP* maps, int mapCount) override;
    HANDLE CopyImage(HANDLE image, UINT type, int cx, int cy, UINT flags) override;
    BOOL DeleteObject(HGDIOBJ object) override;
    HRGN CreateRectRgn(int left, int top, int right, int bottom) override;
    BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state) override;
    BOOL DrawStateA(HDC dc, HBRUSH brush, DRAWSTATEPROC proc, LPARAM data, WPARAM dataLength, int x, int y, int cx,
                    int cy, UINT flags) override;
    BOOL GetTextExtentPointA(HDC dc, const char* text, int length, SIZE* size) override;
    BOOL DrawFocusRect(HDC dc, const RECT* rect) override;
    int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) override;
    HFONT CreateFontIndirectA(const LOGFONTA* font) override;
    int GetObjectA(HGDIOBJ object, int size, void* buffer) override;
    HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) override;
    HGDIOBJ GetStockObject(int index) override;
    HBRUSH GetSysColorBrush(int index) override;
    int SetBkMode(HDC dc, int mode) override;
    COLORREF SetTextColor(HDC dc, COLORREF color) override;
    BOOL TextOutA(HDC dc, int x, int y, const char* text, int length) override;
    int FillRect(HDC dc, const RECT* rect, HBRUSH brush) override;
    BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) override;
    HDC CreateCompatibleDC(HDC dc) override;
    BOOL DeleteDC(HDC dc) override;
    HBITMAP CreateCompatibleBitmap(HDC dc, int cx, int cy) override;
    BOOL StretchBlt(HDC dest, int x, int y, int cx, int cy, HDC source, int xSource, int ySource, int cxSource,
                    int cySource, DWORD rop) override;
    HANDLE LoadImageA(UINT id, UINT type, int cx, int cy) override;
    BOOL DrawIcon(HDC dc, int x, int y, HICON icon) override;
    BOOL DestroyIcon(HICON icon) override;

    // ---- IShell ----
    UINT_PTR SHAppBarMessage(DWORD message, APPBARDATA* data) override;
    HINSTANCE ShellExecuteW(HWND owner, const WCHAR* verb, const WCHAR* file, const WCHAR* parameters,
                            const WCHAR* directory, int show) override;
    BOOL SHGetSpecialFolderPathW(HWND owner, WCHAR* path, int csidl, BOOL create) override;
    HRESULT InvokeInternetShortcut(HWND owner, const char* url) override;
    HRESULT SaveInternetShortcut(const char* url, const WCHAR* path) override;
    UINT DragQueryFileW(HDROP drop, UINT index, WCHAR* buffer, UINT size) override;
    void DragFinish(HDROP drop) override;
    int SHFileOperationW(SHFILEOPSTRUCTW* operation) override;
    ITEMIDLIST* SHBrowseForFolderW(BROWSEINFOW* info) override;
    BOOL SHGetPathFromIDListW(const ITEMIDLIST* list, WCHAR* path) override;
    void ILFree(ITEMIDLIST* list) override;
    WCHAR* StrFormatByteSizeW(LONGLONG size, WCHAR* buffer, UINT bufferSize) override;

    // ---- ISystem ----
    DWORD GetTickCount() override;
    void Sleep(DWORD milliseconds) override;
    HRESULT OleInitialize() override;
    void OleUninitialize() override;
    HRESULT RegisterDragDrop(HWND hwnd, COleDropTarget* target) override;
    HRESULT RevokeDragDrop(HWND hwnd) override;
    int MultiByteToWideChar(UINT codePage, const char* text, int length, WCHAR* wide, int wideSize) override;
    int WideCharToMultiByte(UINT codePage, const WCHAR* wide, int length, char* text, int size) override;
    DWORD GetLogicalDrives() override;
    UINT GetDriveTypeA(const char* root) override;
    BOOL GetVolumeInformationW(const WCHAR* root, WCHAR* volumeName, DWORD volumeNameSize,
                               DWORD* fileSystemFlags) override;
    UINT GetWindowsDirectoryW(WCHAR* buffer, UINT size) override;
    BOOL SetCurrentDirectoryW(const WCHAR* path) override;
    DWORD GetCurrentDirectoryW(DWORD size, WCHAR* buffer) override;
    DWORD WNetOpenEnumW(DWORD scope, DWORD type, DWORD usage, HANDLE* enumHandle) override;
    DWORD WNetEnumResourceW(HANDLE enumHandle, DWORD* count, void* buffer, DWORD* bufferSize) override;
    DWORD WNetCloseEnum(HANDLE enumHandle) override;
    BOOL GlobalMemoryStatusEx(MEMORYSTATUSEX* status) override;
    BOOL GetDiskFreeSpaceExW(const WCHAR* root, ULONGLONG* freeToCaller, ULONGLONG* totalBytes,
                             ULONGLONG* totalFreeBytes) override;
    BOOL GetDiskFreeSpaceW(const WCHAR* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector, DWORD* freeClusters,
                           DWORD* totalClusters) override;
    DWORD GetModuleFileNameW(WCHAR* buffer, DWORD size) override;
    DWORD GetShortPathNameW(const WCHAR* longPath, WCHAR* buffer, DWORD size) override;
    DWORD GetFileAttributesW(const WCHAR* path) override;
    HGLOBAL GlobalAlloc(UINT flags, size_t bytes) override;
    void* GlobalLock(HGLOBAL memory) override;
    BOOL GlobalUnlock(HGLOBAL memory) override;
    HGLOBAL GlobalFree(HGLOBAL memory) override;
    HANDLE CreateThread(std::function<void()> work) override;
    DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) override;
    BOOL CloseHandle(HANDLE handle) override;
    DWORD EjectMedia(const WCHAR* root) override;
    DWORD RequestDeviceEject(const WCHAR* root, int* vetoType, WCHAR* vetoName, DWORD vetoNameSize) override;

    // ---- IRegistry ----
    LONG RegOpenKeyExW(HKEY key, const WCHAR* subKey, REGSAM access, HKEY* result) override;
    LONG RegCreateKeyExW(HKEY key, const WCHAR* subKey, REGSAM access, HKEY* result) override;
    LONG RegQueryValueExW(HKEY key, const WCHAR* name, DWORD* type, BYTE* data, DWORD* size) override;
    LONG RegSetValueExW(HKEY key, const WCHAR* name, DWORD type, const BYTE* data, DWORD size) override;
    LONG RegCloseKey(HKEY key) override;
    LONG RegDeleteValueW(HKEY key, const WCHAR* name) override;

private:
    OsServices m_services;
};
