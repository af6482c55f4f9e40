// The operating-system services the program uses, as interfaces.
//
// Each method has the name and meaning of the Win32 call it stands for. The
// Win32 backend forwards to the system; the in-memory backend models just
// enough of it for the program's behaviour to be tested off Windows.
// Program code reaches them through Os() and never includes <windows.h>.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "platform/Win32.h"

class CWnd;
class COleDropTarget;

// Data being dragged, as a drop target sees it.
class IDragData {
public:
    virtual ~IDragData() = default;
    virtual BOOL IsDataAvailable(UINT format) = 0;
    // The data in global memory, which the caller owns from then on; null
    // when the data has no such format.
    virtual HGLOBAL GetGlobalData(UINT format) = 0;
};

// What a screen reader is told of a window where the system's own object
// says too little. An empty text, or a role of 0, leaves the system's answer.
struct AccessibleAnswers {
    std::wstring name;
    LONG role = 0;
    std::wstring defaultAction;
    std::wstring description;
};

class IWindowSystem {
public:
    virtual ~IWindowSystem() = default;

    // Windows bound to framework objects. The backend routes every message
    // of such a window to CWnd::Dispatch and keeps the window's original
    // procedure for DefaultProc.
    virtual HWND CreateWindowExA(DWORD exStyle, const char* className, const char* text, DWORD style, int x, int y,
                                 int cx, int cy, HWND parent, UINT id, CWnd* object) = 0;
    virtual INT_PTR DialogBoxParamA(UINT templateId, HWND parent, CWnd* dialog) = 0;
    virtual HWND CreateDialogParamA(UINT templateId, HWND parent, CWnd* dialog) = 0;
    virtual BOOL EndDialog(HWND dialog, INT_PTR result) = 0;
    virtual BOOL SubclassWindow(HWND hwnd, CWnd* object) = 0;
    virtual CWnd* FromHandle(HWND hwnd) = 0;
    virtual LRESULT DefaultProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    virtual BOOL DestroyWindow(HWND hwnd) = 0;
    virtual int RunMessageLoop() = 0;

    virtual LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    virtual BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    virtual UINT RegisterWindowMessageA(const char* name) = 0;

    virtual HWND FindWindowA(const char* className, const char* windowName) = 0;
    virtual BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam) = 0;
    virtual BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam) = 0;
    virtual BOOL IsWindow(HWND hwnd) = 0;
    virtual HWND GetParent(HWND hwnd) = 0;
    virtual HWND GetDlgItem(HWND dialog, int id) = 0;
    virtual int GetDlgCtrlID(HWND hwnd) = 0;
    virtual HWND GetDesktopWindow() = 0;
    virtual HWND WindowFromPoint(POINT pt) = 0;
    virtual int GetClassNameA(HWND hwnd, char* buffer, int size) = 0;
    virtual int GetWindowTextA(HWND hwnd, char* buffer, int size) = 0;
    virtual int GetWindowTextLengthA(HWND hwnd) = 0;
    virtual BOOL SetWindowTextA(HWND hwnd, const char* text) = 0;
    // Text the user types or that names outside things: whole in any script.
    virtual int GetWindowTextW(HWND hwnd, WCHAR* buffer, int size) = 0;
    virtual int GetWindowTextLengthW(HWND hwnd) = 0;
    virtual BOOL SetWindowTextW(HWND hwnd, const WCHAR* text) = 0;
    virtual LONG GetWindowLongA(HWND hwnd, int index) = 0;
    virtual LONG SetWindowLongA(HWND hwnd, int index, LONG value) = 0;

    virtual BOOL GetWindowRect(HWND hwnd, RECT* rect) = 0;
    virtual BOOL GetClientRect(HWND hwnd, RECT* rect) = 0;
    virtual BOOL ClientToScreen(HWND hwnd, POINT* pt) = 0;
    virtual BOOL ScreenToClient(HWND hwnd, POINT* pt) = 0;
    virtual BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) = 0;
    virtual BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL repaint) = 0;
    virtual BOOL ShowWindow(HWND hwnd, int show) = 0;
    virtual BOOL UpdateWindow(HWND hwnd) = 0;
    virtual BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) = 0;
    virtual BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) = 0;
    // The part of a window that is drawn and takes the mouse, in window
    // coordinates; null gives it all back. Once set, the region belongs to
    // the system, which frees it; after a failure it is still the caller's.
    virtual int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) = 0;
    // The box of the window's region: SIMPLEREGION and the box, or 0 (the
    // system's ERROR) when the window has none.
    virtual int GetWindowRgnBox(HWND hwnd, RECT* rect) = 0;

    virtual HWND GetActiveWindow() = 0;
    virtual HWND SetActiveWindow(HWND hwnd) = 0;
    virtual DWORD GetMessagePos() = 0;
    virtual BOOL GetCursorPos(POINT* pt) = 0;
    virtual SHORT GetKeyState(int key) = 0;
    virtual SHORT GetAsyncKeyState(int key) = 0;

    virtual UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse) = 0;
    virtual BOOL KillTimer(HWND hwnd, UINT_PTR id) = 0;

    virtual int GetSystemMetrics(int index) = 0;
    virtual BOOL SystemParametersInfoA(UINT action, UINT param, void* value, UINT winIni) = 0;
    virtual DWORD GetSysColor(int index) = 0;

    virtual int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) = 0;
    virtual int LoadStringA(UINT id, char* buffer, int size) = 0;

    virtual HMENU LoadMenuA(UINT id) = 0;
    virtual HMENU GetSubMenu(HMENU menu, int pos) = 0;
    virtual DWORD CheckMenuItem(HMENU menu, UINT id, UINT check) = 0;
    // An item, or with MF_SEPARATOR a separator, before the one at `position` (MF_BYPOSITION).
    virtual BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id, const char* text) = 0;
    virtual BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) = 0;
    virtual BOOL DestroyMenu(HMENU menu) = 0;

    // Painting, cursors, the mouse capture, owners and the clipboard.
    virtual HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint) = 0;
    virtual BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint) = 0;
    virtual HDC GetDC(HWND hwnd) = 0;
    virtual int ReleaseDC(HWND hwnd, HDC dc) = 0;
    // A cursor of the program's resources, or with `system` one of the system's (IDC_ARROW is 32512).
    virtual HCURSOR LoadCursorA(UINT id, BOOL system) = 0;
    virtual HCURSOR SetCursor(HCURSOR cursor) = 0;
    virtual HWND SetCapture(HWND hwnd) = 0;
    virtual BOOL ReleaseCapture() = 0;
    virtual HWND GetCapture() = 0;
    virtual HWND GetWindow(HWND hwnd, UINT cmd) = 0;
    virtual BOOL IsWindowVisible(HWND hwnd) = 0;
    virtual BOOL IsIconic(HWND hwnd) = 0;
    virtual BOOL IsWindowEnabled(HWND hwnd) = 0;
    virtual BOOL OpenClipboard(HWND owner) = 0;
    virtual BOOL EmptyClipboard() = 0;
    // On success the clipboard owns the memory block.
    virtual HANDLE SetClipboardData(UINT format, HANDLE data) = 0;
    virtual BOOL CloseClipboard() = 0;

    // Display scale.
    // The DPI the window is drawn for: its monitor's under per-monitor
    // awareness, else the system's; 0 for no window.
    virtual UINT GetDpiForWindow(HWND hwnd) = 0;
    // AdjustWindowRectEx and GetSystemMetrics answer at the DPI the user
    // signed in with; these at `dpi`, as a window drawn at it has its frame.
    virtual BOOL AdjustWindowRectExForDpi(RECT* rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi) = 0;
    virtual int GetSystemMetricsForDpi(int index, UINT dpi) = 0;

    // The keyboard focus, the foreground window and hotkeys.
    virtual HWND SetFocus(HWND hwnd) = 0;
    virtual HWND GetFocus() = 0;
    virtual BOOL SetForegroundWindow(HWND hwnd) = 0;
    virtual HWND GetForegroundWindow() = 0;
    // A key combination of the whole system: its presses come as WM_HOTKEY.
    virtual BOOL RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT vk) = 0;
    virtual BOOL UnregisterHotKey(HWND hwnd, int id) = 0;

    // Accessibility.
    // The answer to WM_GETOBJECT for the window's client object: one that
    // asks the window's framework object (CWnd::GetAccessibleAnswers) at
    // every question and the system's own object for the rest. 0 for other
    // objects, for a window whose object has no answers, or when the object
    // cannot be handed over: the default processing then answers.
    virtual LRESULT AnswerGetObject(HWND hwnd, WPARAM wParam, LPARAM lParam) = 0;
    virtual void NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild) = 0;

    // Monitors. `flags` is MONITOR_DEFAULTTONULL, ..TOPRIMARY or ..TONEAREST;
    // GetMonitorInfoW fills a MONITORINFOEXW whose cbSize says so.
    virtual HMONITOR MonitorFromPoint(POINT pt, DWORD flags) = 0;
    virtual HMONITOR MonitorFromRect(const RECT* rect, DWORD flags) = 0;
    virtual HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags) = 0;
    virtual BOOL GetMonitorInfoW(HMONITOR monitor, MONITORINFOEXW* info) = 0;
    // Every monitor of the desktop, as EnumDisplayMonitors(NULL, NULL, ...) lists them.
    virtual BOOL EnumDisplayMonitors(MONITORENUMPROC proc, LPARAM data) = 0;
};

class IGdi {
public:
    virtual ~IGdi() = default;
    virtual HBITMAP CreateMappedBitmap(UINT bitmapId, UINT flags, COLORMAP* maps, int mapCount) = 0;
    virtual HANDLE CopyImage(HANDLE image, UINT type, int cx, int cy, UINT flags) = 0;
    virtual BOOL DeleteObject(HGDIOBJ object) = 0;
    virtual HRGN CreateRectRgn(int left, int top, int right, int bottom) = 0;
    virtual BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state) = 0;
    virtual BOOL DrawStateA(HDC dc, HBRUSH brush, DRAWSTATEPROC proc, LPARAM data, WPARAM dataLength, int x, int y,
                            int cx, int cy, UINT flags) = 0;
    virtual BOOL GetTextExtentPointA(HDC dc, const char* text, int length, SIZE* size) = 0;
    virtual BOOL DrawFocusRect(HDC dc, const RECT* rect) = 0;
    virtual int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) = 0;

    virtual HFONT CreateFontIndirectA(const LOGFONTA* font) = 0;
    virtual int GetObjectA(HGDIOBJ object, int size, void* buffer) = 0;
    virtual HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) = 0;
    virtual HGDIOBJ GetStockObject(int index) = 0;
    virtual HBRUSH GetSysColorBrush(int index) = 0;
    virtual int SetBkMode(HDC dc, int mode) = 0;
    virtual COLORREF SetTextColor(HDC dc, COLORREF color) = 0;
    virtual BOOL TextOutA(HDC dc, int x, int y, const char* text, int length) = 0;
    virtual int FillRect(HDC dc, const RECT* rect, HBRUSH brush) = 0;
    virtual BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) = 0;
    virtual HDC CreateCompatibleDC(HDC dc) = 0;
    virtual BOOL DeleteDC(HDC dc) = 0;
    virtual HBITMAP CreateCompatibleBitmap(HDC dc, int cx, int cy) = 0;
    virtual BOOL StretchBlt(HDC dest, int x, int y, int cx, int cy, HDC source, int xSource, int ySource, int cxSource,
                            int cySource, DWORD rop) = 0;
    // An image of the program's resources at the given size (IMAGE_ICON only).
    virtual HANDLE LoadImageA(UINT id, UINT type, int cx, int cy) = 0;
    virtual BOOL DrawIcon(HDC dc, int x, int y, HICON icon) = 0;
    virtual BOOL DestroyIcon(HICON icon) = 0;
};

class IShell {
public:
    virtual ~IShell() = default;
    virtual UINT_PTR SHAppBarMessage(DWORD message, APPBARDATA* data) = 0;
    virtual HINSTANCE ShellExecuteW(HWND owner, const WCHAR* verb, const WCHAR* file, const WCHAR* parameters,
                                    const WCHAR* directory, int show) = 0;

    virtual BOOL SHGetSpecialFolderPathW(HWND owner, WCHAR* path, int csidl, BOOL create) = 0;
    // The shell's Internet Shortcut object (CLSID_InternetShortcut): opens
    // the URL with its "open" verb, or saves it as a shortcut file.
    virtual HRESULT InvokeInternetShortcut(HWND owner, const char* url) = 0;
    virtual HRESULT SaveInternetShortcut(const char* url, const WCHAR* path) = 0;
    virtual UINT DragQueryFileW(HDROP drop, UINT index, WCHAR* buffer, UINT size) = 0;
    virtual void DragFinish(HDROP drop) = 0;
    virtual int SHFileOperationW(SHFILEOPSTRUCTW* operation) = 0;
    virtual ITEMIDLIST* SHBrowseForFolderW(BROWSEINFOW* info) = 0;
    virtual BOOL SHGetPathFromIDListW(const ITEMIDLIST* list, WCHAR* path) = 0;
    // Frees an item list with the shell's allocator.
    virtual void ILFree(ITEMIDLIST* list) = 0;
    // A size as the user's locale writes it, in bytes up to 1023 and in three
    // digits of the next unit above: "532 bytes", "1.30 KB", "22.9 KB", "2.28 MB".
    virtual WCHAR* StrFormatByteSizeW(LONGLONG size, WCHAR* buffer, UINT bufferSize) = 0;
};

class ISystem {
public:
    virtual ~ISystem() = default;
    virtual DWORD GetTickCount() = 0;
    virtual void Sleep(DWORD milliseconds) = 0;
    virtual HRESULT OleInitialize() = 0;
    virtual void OleUninitialize() = 0;
    // The backend routes the system's drag events for the window to `target`.
    virtual HRESULT RegisterDragDrop(HWND hwnd, COleDropTarget* target) = 0;
    virtual HRESULT RevokeDragDrop(HWND hwnd) = 0;
    virtual int MultiByteToWideChar(UINT codePage, const char* text, int length, WCHAR* wide, int wideSize) = 0;
    // Characters the code page lacks become '?'.
    virtual int WideCharToMultiByte(UINT codePage, const WCHAR* wide, int length, char* text, int size) = 0;

    virtual DWORD GetLogicalDrives() = 0;
    virtual UINT GetDriveTypeA(const char* root) = 0;
    virtual BOOL GetVolumeInformationW(const WCHAR* root, WCHAR* volumeName, DWORD volumeNameSize,
                                       DWORD* fileSystemFlags) = 0;
    virtual UINT GetWindowsDirectoryW(WCHAR* buffer, UINT size) = 0;
    virtual BOOL SetCurrentDirectoryW(const WCHAR* path) = 0;
    virtual DWORD GetCurrentDirectoryW(DWORD size, WCHAR* buffer) = 0;

    virtual DWORD WNetOpenEnumW(DWORD scope, DWORD type, DWORD usage, HANDLE* enumHandle) = 0;
    // Fills `buffer` with NETRESOURCEW entries and the strings they point to.
    virtual DWORD WNetEnumResourceW(HANDLE enumHandle, DWORD* count, void* buffer, DWORD* bufferSize) = 0;
    virtual DWORD WNetCloseEnum(HANDLE enumHandle) = 0;

    virtual BOOL GlobalMemoryStatusEx(MEMORYSTATUSEX* status) = 0;
    virtual BOOL GetDiskFreeSpaceExW(const WCHAR* root, ULONGLONG* freeToCaller, ULONGLONG* totalBytes,
                                     ULONGLONG* totalFreeBytes) = 0;
    virtual BOOL GetDiskFreeSpaceW(const WCHAR* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                                   DWORD* freeClusters, DWORD* totalClusters) = 0;
    // The path of the program's own executable.
    virtual DWORD GetModuleFileNameW(WCHAR* buffer, DWORD size) = 0;
    virtual DWORD GetShortPathNameW(const WCHAR* longPath, WCHAR* buffer, DWORD size) = 0;
    virtual DWORD GetFileAttributesW(const WCHAR* path) = 0;
    virtual HGLOBAL GlobalAlloc(UINT flags, size_t bytes) = 0;
    virtual void* GlobalLock(HGLOBAL memory) = 0;
    virtual BOOL GlobalUnlock(HGLOBAL memory) = 0;
    virtual HGLOBAL GlobalFree(HGLOBAL memory) = 0;

    // Threads. `work` runs on a thread of its own; the handle, which its
    // owner closes, is signalled once `work` has returned. Null when no
    // thread could be made. What runs there may use the services it is
    // given, never Os(), and must be safe to end with the process.
    virtual HANDLE CreateThread(std::function<void()> work) = 0;
    virtual DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) = 0;
    virtual BOOL CloseHandle(HANDLE handle) = 0;

    // Ejection, which may take seconds. The tray of the optical drive at
    // `root` opens (DeviceIoControl with IOCTL_STORAGE_EJECT_MEDIA on its
    // volume): ERROR_SUCCESS, or the system's error code.
    virtual DWORD EjectMedia(const WCHAR* root) = 0;
    // The device behind the volume at `root` is stopped for safe removal, as
    // "Safely Remove Hardware" does it (CM_Request_Device_EjectW): the
    // configuration manager's answer, with the type of the veto
    // (PNP_VetoTypeUnknown when there was none) and the name of what vetoed.
    virtual DWORD RequestDeviceEject(const WCHAR* root, int* vetoType, WCHAR* vetoName, DWORD vetoNameSize) = 0;
};

class IRegistry {
public:
    virtual ~IRegistry() = default;
    // Strings (REG_SZ) are UTF-16 here, with their terminator counted in bytes.
    virtual LONG RegOpenKeyExW(HKEY key, const WCHAR* subKey, REGSAM access, HKEY* result) = 0;
    virtual LONG RegCreateKeyExW(HKEY key, const WCHAR* subKey, REGSAM access, HKEY* result) = 0;
    virtual LONG RegQueryValueExW(HKEY key, const WCHAR* name, DWORD* type, BYTE* data, DWORD* size) = 0;
    virtual LONG RegSetValueExW(HKEY key, const WCHAR* name, DWORD type, const BYTE* data, DWORD size) = 0;
    virtual LONG RegCloseKey(HKEY key) = 0;
    virtual LONG RegDeleteValueW(HKEY key, const WCHAR* name) = 0;
};

struct OsServices {
    IWindowSystem& win;
    IGdi& gdi;
    IShell& shell;
    ISystem& sys;
    IRegistry& reg;
};

// ShellExecuteW answers an error code of 32 or less when nothing was started.
inline bool ShellExecuteSucceeded(HINSTANCE result) { return reinterpret_cast<std::uintptr_t>(result) > 32; }

// The program's own 8-bit texts in the ANSI code page, and back; a failed
// conversion keeps what it can rather than nothing.
std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);
// The length of `text` cut to at most `most` units; a cut never leaves half
// a surrogate pair.
size_t CutLength(const std::wstring& text, size_t most);
// The narrow form of as much of `text` as fits in `most` bytes, in whole
// characters: a character of two bytes is never cut after its first.
std::string NarrowCut(const std::wstring& text, size_t most);

// The services in use. A backend installs itself before anything else runs.
OsServices& Os();
void SetOs(OsServices* services);
