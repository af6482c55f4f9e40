// An in-memory stand-in for the parts of Windows the program uses.
//
// It is a small faithful model, not a recorder: windows have rectangles,
// styles, texts, ids, parents and a z-order with a topmost band; the shell's
// appbar service keeps bars clear of the taskbar and of each other and allows
// one auto-hide bar per edge; the registry keeps typed values; drives have
// kinds, labels and network connections; the clock moves only when a test
// moves it. Every call can be told to fail, and live handles are counted.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/Os.h"

// Text at the model's edges: tests speak UTF-8, the model keeps UTF-16, one
// code unit to a WCHAR, as the system does. A surrogate without its partner
// travels as the three bytes UTF-8 would give its value, so that every
// sequence of units has a form; bytes that are no UTF-8 become U+FFFD.
std::wstring Utf16FromUtf8(const std::string& text);
std::string Utf8FromUtf16(const std::wstring& text);
// The model's ANSI code page is ISO 8859-1: each byte is the character of
// its value, and a character above U+00FF becomes '?' on its way to bytes.
// Switched to double bytes, it is like the East Asian code pages instead:
// each character outside ASCII takes a lead byte (0x81 to 0xFE) and a trail
// byte (0x40 to 0x7E or 0x80 to 0xFE, so a trail may read as '\'), the pairs
// taken in order from U+0080 for as far as they go (to U+5E03); characters
// beyond become '?'. Like the system's, it holds for the whole process.
std::wstring WideFromAnsi(const std::string& text);
std::string AnsiFromWide(const std::wstring& text);
void SetDoubleByteCodePage(bool on);
// Upper case as an edit control with ES_UPPERCASE makes it, for the scripts
// the tests use: Latin, Greek and Cyrillic.
WCHAR UpperUnit(WCHAR c);
// A call's text argument, null read as empty.
inline std::string Utf8(const WCHAR* text) { return Utf8FromUtf16(text != nullptr ? text : L""); }
// The units a text takes with its terminator.
inline DWORD Units(const std::wstring& text) { return static_cast<DWORD>(text.size() + 1); }
std::string Upper(std::string text);
bool EqualNoCase(const std::string& a, const std::string& b);

inline bool Contains(const RECT& rect, POINT pt) {
    return pt.x >= rect.left && pt.x < rect.right && pt.y >= rect.top && pt.y < rect.bottom;
}

// Text handed out as the system's Get...Text calls do: cut to the buffer and
// always terminated.
template <typename Char>
int CopyText(const std::basic_string<Char>& text, Char* buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    const int length = std::min(static_cast<int>(text.size()), size - 1);
    std::copy(text.begin(), text.begin() + length, buffer);
    buffer[length] = 0;
    return length;
}

// SetWindowPos tells WM_WINDOWPOSCHANGED when the client area kept its size
// or place, so that the default processing sends WM_SIZE and WM_MOVE only on
// a real change.
constexpr UINT SWP_NOCLIENTSIZE = 0x0800;
constexpr UINT SWP_NOCLIENTMOVE = 0x1000;

struct MemoryControlTemplate {
    int id;
    std::string className;
    std::string text;
    DWORD style;
    RECT rect;  // in the dialog's client pixels
};

struct MemoryDialogTemplate {
    std::string caption;
    DWORD style;
    DWORD exStyle;
    int cxClient;
    int cyClient;
    std::vector<MemoryControlTemplate> controls;
};

struct MemoryMenuItem {
    UINT id;  // 0 for a separator
    std::string text;
};

class MemoryOs;

// Data a drag carries: a file list, or text alone.
class MemoryDragData final : public IDragData {
public:
    MemoryDragData(MemoryOs& os, std::optional<std::vector<std::string>> files) : m_os(os), m_files(std::move(files)) {}
    BOOL IsDataAvailable(UINT format) override;
    // A new file-list handle for every request, as the system copies the data.
    HGLOBAL GetGlobalData(UINT format) override;

private:
    MemoryOs& m_os;
    std::optional<std::vector<std::string>> m_files;
};

class MemoryOs final : public IWindowSystem, public IGdi, public IShell, public ISystem, public IRegistry {
public:
    MemoryOs();
    ~MemoryOs() override;
    OsServices& Services() { return m_services; }

    // ---- set-up by tests ----
    void SetScreenSize(int cx, int cy);
    void SetMetric(int index, int value);
    void SetDragFullWindows(BOOL on) { m_bDragFullWindows = on; }
    void SetSysColor(int index, COLORREF color) { m_sysColors[index] = color; }
    // The taskbar reserves `thickness` pixels at `edge`; 0 removes it.
    void SetTaskbar(UINT edge, int thickness);
    void SetTaskbarState(UINT bits) { m_taskbarState = bits; }
    void AddDialogTemplate(UINT id, MemoryDialogTemplate dialog) { m_dialogs[id] = std::move(dialog); }
    void AddString(UINT id, std::string text) { m_strings[id] = std::move(text); }
    void AddBitmap(UINT id, int cx, int cy) { m_bitmapResources[id] = SIZE{cx, cy}; }
    void AddMenu(UINT id, std::vector<MemoryMenuItem> items) { m_menuResources[id] = std::move(items); }

    void SetTickCount(DWORD ticks) { m_tickCount = ticks; }
    // Each GetTickCount call moves the clock on by this much afterwards, so
    // loops timed by the clock end.
    void SetTickStep(DWORD step) { m_tickStep = step; }
    // Moves the clock on, posting and delivering the timer messages that fall due.
    void AdvanceClock(DWORD milliseconds);
    // The pointer moves, and a mouse message carries where it now is.
    void SetCursorPos(POINT pt) {
        m_cursor = pt;
        m_messagePos.reset();
    }
    // The message being handled says the pointer was elsewhere: a key
    // pressed before something moved the pointer.
    void SetMessagePos(POINT pt) { m_messagePos = pt; }
    void SetKeyDown(int key, bool down) { m_keysDown[key] = down; }

    // The next `times` calls of `function` fail, after `skip` calls succeed;
    // times < 0 fails every call from then on. "WM_QUERYENDSESSION" makes
    // the default processing of that message answer FALSE.
    void FailCall(const std::string& function, int times = -1, int skip = 0);
    // What ShellExecuteW answers from then on (42 at first; a failing call answers 2).
    // An answer of 32 or less is an error, which the shell shows in a message box of its own.
    void SetShellExecuteResult(std::uintptr_t result) { m_shellExecuteResult = result; }

    void AddDrive(char letter, UINT type, std::optional<std::string> volumeLabel = std::string());
    void RemoveDrive(char letter);
    // Sends WM_DEVICECHANGE with a volume record to every top-level window,
    // as the system broadcasts a volume that arrives or goes.
    void BroadcastVolumeChange(WPARAM event, DWORD unitMask, WORD flags = 0);
    // The primary monitor takes a new size and every top-level window is told (WM_DISPLAYCHANGE).
    void ChangeDisplaySize(int cx, int cy);
    // Monitors. The model starts with one, the primary, at 0,0 with the
    // screen's size; its work area leaves out the taskbar and the strips
    // the bars on it reserve. Each change tells every top-level window
    // (WM_DISPLAYCHANGE), as Windows does after a monitor comes, goes or
    // moves; windows stay where they are, as under Wine. A monitor keeps its
    // device name ("\\.\DISPLAYn", or the one given) while it lives.
    HMONITOR AddMonitor(RECT rect, const std::string& device = std::string(), UINT dpi = 0);
    // The primary cannot go; its top-left corner stays at 0,0.
    void RemoveMonitor(HMONITOR monitor);
    void MoveMonitor(HMONITOR monitor, RECT rect);
    // The user makes another monitor the primary: it comes to 0,0 and every
    // monitor moves with it; the taskbar follows the primary.
    void SetPrimaryMonitor(HMONITOR monitor);
    HMONITOR PrimaryMonitor() const { return m_monitors.front().handle; }
    // ABM_SETAUTOHIDEBAREX and ABM_GETAUTOHIDEBAREX, which systems before
    // Windows 8 do not know: they answer FALSE and null there.
    void SetAutoHideBarExKnown(bool known) { m_bAutoHideBarExKnown = known; }
    // The shell clips a bar's rectangle by every other bar whatever its
    // monitor, as Wine's does: a rectangle can come back with right < left.
    void SetShellClipsAcrossMonitors(bool on) { m_bClipAcrossMonitors = on; }
    // A connection of a drive letter ("N:"), or with an empty local name one without.
    void AddNetworkConnection(std::string localName, std::string remoteName);
    // The next WNetEnumResourceW call answers this instead, given the
    // caller's buffer size, which it may change; it returns no entries.
    void QueueNetEnumAnswer(std::function<DWORD(DWORD* bufferSize)> answer) {
        m_netEnumAnswers.push_back(std::move(answer));
    }
    // The next WNetEnumResourceW call that succeeds reports this count, given
    // how many entries it wrote and the buffer's size, as a provider that
    // miscounts could.
    void QueueNetEnumCount(std::function<DWORD(DWORD written, DWORD bufferSize)> count) {
        m_netEnumCounts.push_back(std::move(count));
    }
    // The ANSI code page of double bytes (SetDoubleByteCodePage) while the model lives.
    void UseDoubleByteCodePage(bool on) { SetDoubleByteCodePage(on); }
    // Global memory blocks locked more often than unlocked, the clipboard's among them.
    int LockedGlobalBlocks() const { return static_cast<int>(m_globalLocks.size()); }
    void SetWindowsDirectory(const std::string& path) { m_windowsDirectory = Utf16FromUtf8(path); }

    // Dialogs, links and system information.
    void AddCursor(UINT id) { m_cursorResources.push_back(id); }
    void AddIcon(UINT id) { m_iconResources.push_back(id); }
    void SetMemoryStatus(DWORDLONG availablePhysical) { m_availablePhysical = availablePhysical; }
    // Free space of a drive's volume: free bytes, and the cluster figures of the older call.
    void SetDiskFreeSpace(char letter, ULONGLONG totalFreeBytes, DWORD sectorsPerCluster = 8,
                          DWORD bytesPerSector = 512);
    // The volume's size and what of its free space the user may fill. Without
    // it a volume is twice its free space, and a quota leaves the user half.
    void SetDiskSize(char letter, ULONGLONG totalBytes, ULONGLONG freeToCaller);

    // ---- threads and the calls that may block on a drive ----
    // Threads run one at a time, never beside the test: a thread that starts
    // one, or releases a held call, waits until it has ended or waits on a
    // hold. So the model is never used by two threads at once, and whatever
    // a thread posts is in the queue when CreateThread returns. While no
    // drive is held, a thread's work runs on the caller's thread.
    // From now on the volume and ejection calls for the drive wait, as on a
    // dead network drive, until it is released. The same call on the test's
    // own thread does not wait: it fails, and counts as a block of the
    // window's thread.
    void HoldDrive(char letter);
    void ReleaseDrive(char letter);
    // Calls waiting on a hold.
    int HeldCalls() const;
    // Volume or ejection calls that a hold met on the window's thread.
    int WindowThreadBlocks() const { return m_windowThreadBlocks; }
    // The time-outs of every WaitForMultipleObjects call, in order.
    const std::vector<DWORD>& Waits() const { return m_waits; }
    int LiveThreadHandles() const { return static_cast<int>(m_threadHandles.size()); }
    // What ejecting the drive answers from then on: the error code of
    // EjectMedia, or the answer of RequestDeviceEject with its veto. At first
    // a removable drive is stopped and an optical one opens its tray, which
    // leaves it without media; any other drive answers ERROR_INVALID_FUNCTION
    // and CR_NO_SUCH_DEVNODE.
    void SetEjectAnswer(char letter, DWORD result, int vetoType = 0, std::string vetoName = std::string());
    // "EjectMedia D:\" or "RequestDeviceEject E:\" for each call, in order.
    const std::vector<std::string>& Ejections() const { return m_ejections; }
    // The text of the tip that is up: its lines joined with "\n" when the
    // control has a maximum width, else drawn as one; nothing when no tip is up.
    std::optional<std::string> ShownToolTip() const;
    void SetModuleFileName(const std::string& path, const std::string& shortPath) {
        m_moduleFileName = Utf16FromUtf8(path);
        m_moduleShortName = Utf16FromUtf8(shortPath);
    }
    void SetSpecialFolder(int csidl, std::string path);
    void AddFile(const std::string& path, std::string content = std::string());
    // A user without administrator rights: keys under the root open for reading only.
    void DenyWriteAccess(HKEY root) { m_readOnlyRoots.push_back(root); }
    // A hook that runs while a pop-up menu is open, inside its loop: what is
    // posted before and while it runs is delivered before the menu closes.
    void SetMenuOpenHook(std::function<void()> hook) { m_menuOpenHook = std::move(hook); }
    // A hook that runs while a message box (the program's own, or the one the
    // shell shows when ShellExecuteW fails) is open, once its loop has
    // delivered what was posted: it may act, or answer the box with a
    // WM_COMMAND. A box still open when its queue runs empty again is answered OK.
    void SetMessageBoxHook(std::function<void(HWND box)> hook) { m_messageBoxHook = std::move(hook); }
    // Types text into a control, one WM_CHAR per character.
    void TypeText(HWND hwnd, const std::string& text);

    // The DPI of every monitor, at which every window is drawn, frame and all;
    // ChangeDpi also tells every top-level window (WM_DPICHANGED with its
    // rectangle scaled). A monitor added afterwards may have a scale of its
    // own: a top-level window is drawn at its monitor's, and one that moves
    // onto a monitor of another scale is told, as under per-monitor awareness.
    void SetDpi(UINT dpi);
    void ChangeDpi(UINT dpi);
    // One monitor takes a new scale, and each window on it is told, as the
    // user's choice in the display settings does.
    void ChangeMonitorDpi(HMONITOR monitor, UINT dpi);
    // The DPI the user signed in with, at which GetSystemMetrics and
    // AdjustWindowRectEx answer, whatever the screen's scale now. The
    // metrics that SetMetric gives are those at 96 DPI.
    void SetSystemDpi(UINT dpi) { m_nSystemDpi = dpi; }

    // ---- the keyboard, the focus and the foreground window ----
    // A key pressed and let go, with the modifiers SetKeyDown holds. A
    // registered hotkey posts WM_HOTKEY to its window and goes no further;
    // any other key goes to the focus (or the active window), through the
    // dialog manager of the dialog it is in, as the loop of a dialog run
    // modally does, and the keyboard's character follows its key-down.
    void PressKey(int vk);
    // The user clicks a window, of another program or of this one: it
    // becomes the foreground window, and only the program it belongs to may
    // then take the foreground for itself.
    void UserActivates(HWND hwnd);
    // The system's keyboard cues setting ("underline access keys").
    void SetKeyboardCues(BOOL on) { m_bKeyboardCues = on; }
    void SetHighContrast(bool on) { m_bHighContrast = on; }
    // The hotkeys registered, of every program, as "modifiers vk" pairs with their windows.
    struct HotKey {
        HWND hwnd;
        int id;
        UINT modifiers;
        UINT vk;
    };
    const std::vector<HotKey>& HotKeys() const { return m_hotKeys; }

    // ---- accessibility ----
    // What a screen reader reads of a window's client object, as
    // AccessibleObjectFromWindow(OBJID_CLIENT) gives it: the window's own
    // object when it answers WM_GETOBJECT, else the system's, whose name is
    // the window text and whose role is "client", as Wine's is.
    struct AccessibleRead {
        std::string name;
        LONG role = 0;
        std::string defaultAction;
        std::string description;
    };
    AccessibleRead ReadAccessible(HWND hwnd);
    // The client object's default action, as a screen reader asks for it; false when it has none.
    bool DoAccessibleDefaultAction(HWND hwnd);
    struct WinEvent {
        DWORD event;
        HWND hwnd;
        LONG idObject;
        LONG idChild;
    };
    // Raised by the system for windows made, destroyed and focused, and by NotifyWinEvent.
    const std::vector<WinEvent>& WinEvents() const { return m_winEvents; }

    // A window that belongs to no framework object, such as another program's.
    HWND CreateForeignWindow(const std::string& className, const std::string& text, DWORD style, DWORD exStyle,
                             RECT rect);

    // Delivers posted messages until none is left.
    void PumpMessages();
    // Called when a modal run has nothing left to do; it must end the run
    // (or post something), else the run ends with -1 as if the system closed it.
    void SetModalIdle(std::function<void()> idle) { m_modalIdle = std::move(idle); }

    // Sends an appbar notification to every registered bar, as the shell does.
    void NotifyAppBars(UINT code, LPARAM lParam);
    // The shell starts again: it forgets every bar and broadcasts "TaskbarCreated".
    void RestartShell();
    // The next pop-up menu shown closes with this item chosen, as a click on it would.
    void ChooseMenuItem(UINT id) { m_menuChoice = id; }

    // ---- drag and drop, the folder dialog, the file operation, tooltips ----
    // A file list as the shell hands it to a drop; live until DragFinish.
    HDROP CreateDropFiles(const std::vector<std::string>& paths);
    // The mouse drags `data` to a screen point: the drop target of the window
    // there (or of its nearest ancestor) gets DragEnter, or DragOver while the
    // drag stays over it. Answers the effect shown.
    DROPEFFECT DragTo(IDragData* data, POINT screen, DWORD keyState, DROPEFFECT allowed);
    // Releases the button: a target that last answered an effect gets the
    // drop, else it gets DragLeave. Answers the drop's effect.
    DROPEFFECT DropAt(POINT screen, DWORD keyState, DROPEFFECT allowed);
    COleDropTarget* DropTargetOf(HWND hwnd) const;

    struct FolderDialog {
        HWND hwnd;
        HWND owner;
        std::string title;
        std::string selection;
        bool topmost;
        bool active;
    };
    // Picks in the folder dialog: a folder's path, "" for an item that is no
    // file-system folder, or nothing to cancel. Without an answer it cancels.
    void SetFolderDialogAnswer(std::function<std::optional<std::string>(const FolderDialog&)> answer) {
        m_folderAnswer = std::move(answer);
    }
    struct FileOperation {
        HWND hwnd;
        UINT func;
        std::vector<std::string> from, to;
        WORD flags;
    };
    const std::vector<FolderDialog>& FolderDialogs() const { return m_folderDialogs; }
    const std::vector<FileOperation>& FileOperations() const { return m_fileOperations; }

    // The text shown when the mouse rests on `tool`, asked of the tool's
    // owner in the form its window chose when the tool was added, or in the
    // form given; nothing when no tip shows.
    std::optional<std::string> HoverToolTip(HWND tool, std::optional<bool> wide = std::nullopt);
    // The text of the tracking tip shown now (TTM_TRACKACTIVATE), of any
    // tooltip control, and its window: its bubble at the tracked point, in
    // the size its text takes, inside a border.
    std::optional<std::string> TrackedToolTip() const;
    std::optional<RECT> TrackedToolTipRect() const;

    int LiveDropHandles() const { return static_cast<int>(m_dropFiles.size()); }
    int LiveItemLists() const { return static_cast<int>(m_itemLists.size()); }
    // Registrations, including those left behind by a window destroyed unrevoked.
    int LiveDropTargets() const { return static_cast<int>(m_dropTargets.size()); }
    // Successful OleInitialize calls less OleUninitialize calls.
    int OleDepth() const { return m_oleDepth; }
    int LiveToolTipTools() const;

    // ---- inspection by tests ----
    struct AppBarCall {
        DWORD message;
        APPBARDATA data;  // as passed in
        UINT_PTR result;
    };
    struct WindowPosCall {
        HWND hwnd;
        HWND insertAfter;
        int x, y, cx, cy;
        UINT flags;
    };
    struct GdiCall {
        std::string function;
        RECT rect;
        int x, y, cx, cy;
        UINT flags;
        HANDLE image;
        std::string text;
        // A fill's colour (FillRect, FrameRect) or a mapping's source; a
        // mapping's target, or the colour text or a monochrome image is drawn in.
        COLORREF colorFrom, colorTo;
        UINT resourceId = 0;
        bool underline = false;
        // The device context's background mode, for text drawn into one.
        int bkMode = 0;
        // The colour maps a mapped bitmap was made with.
        int maps = 0;
    };
    struct ShellExecuteCall {
        HWND owner;
        std::string verb, file, parameters, directory;
        int show;
    };
    struct MessageBoxCall {
        HWND owner;
        std::string text, caption;
        UINT type;
    };
    struct RegistryValue {
        DWORD type;
        std::vector<BYTE> data;
    };
    struct MenuShowing {
        HWND owner;
        int x, y;
        UINT flags;
        std::vector<MemoryMenuItem> items;
        std::map<UINT, UINT> checks;  // MF_CHECKED or MF_UNCHECKED by command
    };

    const std::vector<AppBarCall>& AppBarCalls() const { return m_appBarCalls; }
    const std::vector<WindowPosCall>& WindowPosCalls() const { return m_windowPosCalls; }
    // Windows told to paint at once (UpdateWindow), in order.
    const std::vector<HWND>& Updates() const { return m_updates; }
    // Windows marked for repainting (InvalidateRect), in order, and whether their background is to be erased.
    const std::vector<std::pair<HWND, bool>>& Invalidations() const { return m_invalidations; }
    const std::vector<GdiCall>& GdiCalls() const { return m_gdiCalls; }
    const std::vector<ShellExecuteCall>& ShellExecutes() const { return m_shellExecutes; }
    const std::vector<MessageBoxCall>& MessageBoxes() const { return m_messageBoxes; }
    // The boxes the shell showed for the programs it could not start.
    const std::vector<MessageBoxCall>& ShellErrorBoxes() const { return m_shellErrorBoxes; }
    const std::vector<MenuShowing>& MenuShowings() const { return m_menuShowings; }
    const std::vector<DWORD>& Sleeps() const { return m_sleeps; }
    // Drive roots whose volume was asked for.
    const std::vector<std::string>& VolumeQueries() const { return m_volumeQueries; }
    // GetLogicalDrives calls so far.
    int DriveSetReads() const { return m_driveSetReads; }
    void ClearLogs();

    const std::vector<std::string>& InvokedShortcuts() const { return m_invokedShortcuts; }
    // "set <key>\<value>" and "delete <key>\<value>" for each change of a registry value, key paths in capitals.
    const std::vector<std::string>& RegistryChanges() const { return m_registryChanges; }
    // Files the program wrote, by path as given; content of a shortcut file is its URL.
    std::optional<std::string> FileContent(const std::string& path) const;
    std::vector<std::string> FilesIn(const std::string& folder) const;
    std::optional<std::string> ClipboardText() const;
    size_t ClipboardFormats() const { return m_clipboard.size(); }
    HCURSOR CurrentCursor() const { return m_currentCursor; }
    // The window the dialog manager last gave the keyboard focus, if it is still there.
    HWND Focus() const { return Find(m_focus) != nullptr ? m_focus : nullptr; }
    // The keyboard cues of a window (UISF_ bits), as WM_QUERYUISTATE answers.
    WORD UiState(HWND hwnd) const { return Find(hwnd) != nullptr ? Find(hwnd)->uiState : 0; }
    int LiveGlobalBlocks() const { return static_cast<int>(m_globals.size()); }
    bool IsClipboardOpen() const { return m_clipboardOpen; }

    std::vector<HWND> TopLevelZOrder() const { return m_zOrder; }
    std::vector<HWND> Children(HWND parent) const;
    bool IsTimerRunning(HWND hwnd, UINT_PTR id, UINT* elapse = nullptr) const;
    std::string CurrentDirectory() const { return Utf8FromUtf16(m_currentDirectory); }
    // Bitmaps, fonts, icons and device contexts.
    int LiveGdiObjects() const {
        return static_cast<int>(m_bitmaps.size() + m_fonts.size() + m_icons.size() + m_dcs.size() + m_regions.size());
    }
    int LiveRegistryKeys() const { return static_cast<int>(m_openKeys.size()); }
    int LiveMenus() const { return static_cast<int>(m_menus.size()); }
    // The items of a menu that exists now, in order.
    std::vector<MemoryMenuItem> MenuItems(HMENU menu) const {
        const auto it = m_menus.find(menu);
        return it != m_menus.end() ? it->second.items : std::vector<MemoryMenuItem>();
    }
    int LiveEnumerations() const { return static_cast<int>(m_enumerations.size()); }
    // Every kind of live handle by name, for checking that a cycle returns
    // what it takes: compare the map before and after.
    std::map<std::string, int> LiveObjects() const;
    // The rectangle the shell reserves for a bar, if it holds one.
    std::optional<RECT> ReservedRect(HWND bar) const;

    // Registry contents; paths like "Software\\Quorvane\\Vossel\\Settings".
    std::optional<RegistryValue> GetRegistryValue(HKEY root, const std::string& path, const std::string& name) const;
    void SetRegistryValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                          std::vector<BYTE> data);
    void SetRegistryString(HKEY root, const std::string& path, const std::string& name, const std::string& text);
    bool RegistryKeyExists(HKEY root, const std::string& path) const;

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
    HWND GetCapture() override { return m_capture; }
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
    HWND GetForegroundWindow() override { return m_activeWindow; }
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
    // As Windows formats sizes in an English locale.
    WCHAR* StrFormatByteSizeW(LONGLONG size, WCHAR* buffer, UINT bufferSize) override;
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

    // ---- ISystem ----
    DWORD GetTickCount() override;
    void Sleep(DWORD milliseconds) override;
    HRESULT OleInitialize() override;
    void OleUninitialize() override { --m_oleDepth; }
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

    // Text metrics of the model: every character is this wide and tall.
    static constexpr int kCharWidth = 6;
    static constexpr int kCharHeight = 13;

private:
    struct Window {
        std::string className;
        std::wstring text;
        DWORD style = 0;
        // The style the frame was last laid out for: a new style takes
        // effect only when the window is sized or told its frame changed.
        DWORD frameStyle = 0;
        DWORD exStyle = 0;
        RECT rect{};  // screen coordinates
        HWND parent = nullptr;
        HWND owner = nullptr;
        int id = 0;
        CWnd* object = nullptr;
        bool dialog = false;
        bool dialogEnded = false;
        INT_PTR dialogResult = 0;
        HFONT font = nullptr;
        WPARAM check = BST_UNCHECKED;
        // Another program's window, or a child of one.
        bool foreign = false;
        // The children, topmost first: the dialog manager's Tab order.
        std::vector<HWND> childOrder;
        WORD uiState = 0;
        // A dialog's control that had the focus when it was last deactivated,
        // and its default button's id.
        HWND savedFocus = nullptr;
        int defId = IDOK;
        // A button held down by the space bar; a hotkey control's value.
        bool pushed = false;
        WORD hotKey = 0;
        UINT dpi = 96;  // a top-level window's; a child is drawn at its parent's
        // The part drawn and hit, in window coordinates; none is all of it.
        std::optional<RECT> region;
    };
    // The DPI a window is drawn at: its top-level window's.
    UINT DpiOf(const Window& window) const;
    // A top-level window drawn at another scale than its monitor's takes the
    // monitor's and is told (WM_DPICHANGED, its rectangle scaled where it stands).
    void TellScale(HWND hwnd);
    void TellScales();
    struct Posted {
        HWND hwnd;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };
    struct Timer {
        HWND hwnd;
        UINT_PTR id;
        UINT elapse;
        DWORD due;
    };
    struct AppBar {
        UINT callbackMessage = 0;
        std::optional<UINT> edge;  // set while it reserves a strip
        RECT rect{};
    };
    struct Menu {
        std::vector<MemoryMenuItem> items;
        std::map<UINT, UINT> checks;
        HMENU subMenu = nullptr;  // the one pop-up of a loaded menu bar
    };
    struct Drive {
        UINT type;
        std::optional<std::wstring> label;
    };
    struct Enumeration {
        size_t next = 0;
    };

    bool Fails(const std::string& function);
    // A call on a held drive waits here until the drive is released; false
    // when it met the hold on the window's thread, where it must not wait.
    bool WaitWhileHeld(const WCHAR* root);
    // Until no thread runs but those waiting on a hold. Takes the lock held.
    void WaitForThreads(std::unique_lock<std::mutex>& lock);
    // The behaviour of the system's control classes; false when `window` is none of them.
    bool ControlProc(Window& window, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // What the dialog manager and the default window procedure do with the
    // focus, keys and keyboard cues; false for messages they leave alone.
    bool KeyboardProc(Window& window, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    bool HotKeyControlProc(Window& window, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The dialog manager's handling of a key message of a dialog's control.
    bool IsDialogMessage(HWND dialog, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // A key message through the dialog manager of the focus's dialog, else to the window.
    void DeliverKey(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND NextTabItem(HWND dialog, HWND from, bool previous) const;
    HWND NextGroupItem(HWND dialog, HWND from, bool previous) const;
    bool IsNavigable(HWND hwnd) const;
    HWND TopLevelOf(HWND hwnd) const;
    bool IsForeign(HWND hwnd) const;
    // An owner-drawn button draws itself through its parent (WM_DRAWITEM).
    void DrawOwnerButton(HWND hwnd, UINT action);
    void PlaceChild(HWND hwnd, HWND insertAfter);
    // The colour of a brush of GetSysColorBrush, as it stands now; 0 for any other.
    COLORREF SysColorOfBrush(HBRUSH brush);
    bool IsReadOnlyKey(const std::string& path) const;
    // Tooltip controls and the folder dialog; false for other windows.
    bool ShellWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    Window* Find(HWND hwnd);
    const Window* Find(HWND hwnd) const;
    HWND NewHandle();
    // How far a window's frame reaches beyond its client area on each side, drawn at `dpi`.
    RECT FrameInsets(DWORD style, DWORD exStyle, UINT dpi) const;
    // A system metric as it is drawn at `dpi`.
    int MetricAt(int index, UINT dpi) const;
    RECT ClientRectOnScreen(const Window& window) const;
    void RemoveFromZOrder(HWND hwnd);
    // Asks the window for its tracking limits and holds the size to them.
    void ClampToTracking(HWND hwnd, int* cx, int* cy);
    void PlaceInZOrder(HWND hwnd, HWND insertAfter);
    void SendDestroy(HWND hwnd);
    void SendNcDestroy(HWND hwnd);
    HWND CreateDialogWindow(UINT templateId, HWND parent, CWnd* dialog);
    // CreateWindowExA without its failure switch, for windows the system makes itself.
    HWND MakeWindow(DWORD exStyle, const char* className, const char* text, DWORD style, RECT rect, HWND parent,
                    UINT id, CWnd* object);
    // A modal loop over `hwnd` until EndDialog: the owner takes no input, and
    // posted messages are delivered to every window. `idle` runs each time
    // the queue runs empty; a run it leaves without an answer ends with `unanswered`.
    INT_PTR RunModal(HWND hwnd, HWND owner, const std::function<void()>& idle, INT_PTR unanswered);
    // A message box's window and its loop; answers the button pressed.
    int RunMessageBox(HWND owner, const std::string& caption);
    // Delivers the oldest posted message; false when none is waiting.
    bool DeliverNext();
    // The primary monitor's work area, as SPI_GETWORKAREA answers it.
    RECT WorkArea() const;
    struct Monitor {
        HMONITOR handle;
        RECT rect;
        std::wstring device;
        UINT dpi;
    };
    const Monitor* FindMonitor(HMONITOR monitor) const;
    // The monitor a rectangle lies most on, or the nearest; never null.
    const Monitor& NearestMonitor(const RECT& rect) const;
    RECT WorkAreaOf(const Monitor& monitor) const;
    void TellDisplayChange();
    // The rectangle moved clear of the taskbar and of every bar but `bar`.
    RECT ClearOfOtherBars(HWND bar, RECT rect) const;
    RECT ClearOf(HWND bar, RECT rect, bool acrossMonitors) const;
    void NotifyOthers(HWND except, UINT code);
    std::string NormaliseKey(HKEY root, const std::string& path) const;
    const std::string* KeyPath(HKEY key) const;

    OsServices m_services;
    std::map<int, int> m_metrics;  // at 96 DPI
    std::map<int, COLORREF> m_sysColors;
    BOOL m_bDragFullWindows = FALSE;
    UINT m_taskbarEdge = ABE_BOTTOM;
    int m_taskbarThickness = 0;
    UINT m_taskbarState = 0;

    std::map<UINT, MemoryDialogTemplate> m_dialogs;
    std::map<UINT, std::string> m_strings;
    std::map<UINT, SIZE> m_bitmapResources;
    std::map<UINT, std::vector<MemoryMenuItem>> m_menuResources;
    std::map<std::string, UINT> m_registeredMessages;

    std::uintptr_t m_nextHandle = 0x1000;
    std::map<HWND, Window> m_windows;
    std::vector<HWND> m_zOrder;  // top-level windows, topmost first
    HWND m_desktop = nullptr;
    HWND m_activeWindow = nullptr;
    std::deque<Posted> m_posted;
    std::vector<Timer> m_timers;
    std::function<void()> m_modalIdle;

    DWORD m_tickCount = 1000;
    DWORD m_tickStep = 0;
    POINT m_cursor{0, 0};
    std::optional<POINT> m_messagePos;
    std::map<int, bool> m_keysDown;

    struct Failure {
        int times;
        int skip;
    };
    std::map<std::string, Failure> m_failures;

    std::map<HWND, AppBar> m_appBars;
    // Each edge of each monitor holds one auto-hide bar at most.
    std::map<std::pair<HMONITOR, UINT>, HWND> m_autoHideBars;
    std::vector<Monitor> m_monitors;  // the primary first
    std::uintptr_t m_nextMonitor = 0x7000;
    int m_nextDisplay = 1;
    bool m_bAutoHideBarExKnown = true;
    bool m_bClipAcrossMonitors = false;

    std::map<HANDLE, SIZE> m_bitmaps;
    // Rectangular regions the program owns; one given to a window is the window's.
    std::map<HGDIOBJ, RECT> m_regions;
    std::map<HMENU, Menu> m_menus;
    std::map<char, Drive> m_drives;
    std::vector<std::pair<std::wstring, std::wstring>> m_connections;
    std::map<HANDLE, Enumeration> m_enumerations;
    std::deque<std::function<DWORD(DWORD*)>> m_netEnumAnswers;
    std::deque<std::function<DWORD(DWORD, DWORD)>> m_netEnumCounts;
    std::map<HGLOBAL, int> m_globalLocks;
    std::wstring m_windowsDirectory = L"C:\\WINDOWS";
    std::wstring m_currentDirectory = L"C:\\";

    std::map<std::string, std::map<std::string, RegistryValue>> m_registry;  // upper-cased key path -> values
    std::map<HKEY, std::string> m_openKeys;
    std::map<HKEY, REGSAM> m_keyAccess;  // the rights each open key was opened with

    std::vector<AppBarCall> m_appBarCalls;
    std::vector<WindowPosCall> m_windowPosCalls;
    std::vector<HWND> m_updates;
    std::vector<std::pair<HWND, bool>> m_invalidations;
    std::uintptr_t m_shellExecuteResult = 42;
    std::vector<GdiCall> m_gdiCalls;
    std::vector<ShellExecuteCall> m_shellExecutes;
    std::vector<MessageBoxCall> m_messageBoxes;
    std::vector<MessageBoxCall> m_shellErrorBoxes;
    std::vector<MenuShowing> m_menuShowings;
    UINT m_menuChoice = 0;
    // The owner of the pop-up menu open now; WM_CANCELMODE to it ends the menu.
    HWND m_menuOwner = nullptr;
    bool m_bMenuCancelled = false;
    std::vector<DWORD> m_sleeps;
    std::vector<std::string> m_volumeQueries;
    int m_driveSetReads = 0;

    struct DeviceContext {
        HWND hwnd = nullptr;
        HGDIOBJ font = nullptr;
        COLORREF textColor = 0;
        int bkMode = 2;
    };
    struct DiskSpace {
        ULONGLONG freeBytes;
        DWORD sectorsPerCluster;
        DWORD bytesPerSector;
        std::optional<ULONGLONG> totalBytes;
        std::optional<ULONGLONG> freeToCaller;
    };
    struct Thread {
        std::thread thread;
        bool ended = false;
    };
    struct EjectAnswer {
        DWORD result;
        int vetoType;
        std::wstring vetoName;
    };
    mutable std::mutex m_threadLock;
    std::condition_variable m_threadChange;
    std::thread::id m_windowThread = std::this_thread::get_id();
    std::vector<std::shared_ptr<Thread>> m_threads;
    std::map<HANDLE, std::shared_ptr<Thread>> m_threadHandles;
    // Threads that run, not waiting on a hold.
    int m_runningThreads = 0;
    std::set<char> m_heldDrives;
    // Calls waiting on a hold, oldest first, and those let go but not yet running.
    std::deque<std::pair<char, int>> m_heldCalls;
    std::set<int> m_releasedCalls;
    int m_nextHeldCall = 0;
    int m_windowThreadBlocks = 0;
    std::vector<DWORD> m_waits;
    std::map<char, EjectAnswer> m_ejectAnswers;
    std::vector<std::string> m_ejections;
    std::vector<UINT> m_cursorResources;
    std::vector<UINT> m_iconResources;
    std::map<HDC, DeviceContext> m_dcs;
    std::map<HGDIOBJ, LOGFONTA> m_fonts;
    std::map<HGDIOBJ, SIZE> m_icons;
    HCURSOR m_currentCursor = nullptr;
    HWND m_capture = nullptr;
    HWND m_focus = nullptr;
    // The last input went to this program: it may take the foreground.
    bool m_bInputToProgram = true;
    bool m_bLastInputKeyboard = false;
    BOOL m_bKeyboardCues = FALSE;
    bool m_bHighContrast = false;
    std::vector<HotKey> m_hotKeys;
    std::map<LRESULT, HWND> m_accessibleObjects;
    LRESULT m_nextAccessible = 0x4A000;
    std::vector<WinEvent> m_winEvents;
    DWORDLONG m_availablePhysical = 64ULL << 20;
    std::map<char, DiskSpace> m_diskSpace;
    std::wstring m_moduleFileName = L"C:\\Program Files\\Vossel\\vossel.exe";
    std::wstring m_moduleShortName = L"C:\\PROGRA~1\\Vossel\\vossel.exe";
    std::map<int, std::string> m_specialFolders;  // UTF-8, as the tests give them
    std::map<std::string, std::string> m_files;   // UTF-8 path -> content
    std::vector<HKEY> m_readOnlyRoots;
    std::function<void()> m_menuOpenHook;
    std::function<void(HWND)> m_messageBoxHook;
    std::vector<std::string> m_invokedShortcuts;
    std::vector<std::string> m_registryChanges;
    std::map<HGLOBAL, std::vector<BYTE>> m_globals;
    bool m_clipboardOpen = false;
    std::map<UINT, std::vector<BYTE>> m_clipboard;
    struct Tool {
        UINT flags;
        HWND hwnd;
        UINT_PTR id;
        std::wstring text;
        bool callback;
        bool unicode;  // the form the tool's window asked for (WM_NOTIFYFORMAT)
    };
    std::map<HWND, std::vector<Tool>> m_toolTips;
    struct TipShown {
        HWND tool;
        std::wstring text;
        std::optional<bool> wide;  // the form a test asked for, kept when it is asked again
    };
    std::map<HWND, TipShown> m_tipsShown;
    std::map<HWND, int> m_tipMaxWidths;
    // Asks a callback tool's window for its text, in the form it chose or in the form given.
    std::wstring ToolText(HWND tip, const Tool& tool, std::optional<bool> wide);
    static SIZE BubbleSize(const std::wstring& text);
    // The tool each tooltip control tracks now, and the text it shows.
    struct TrackedTip {
        HWND owner;
        UINT_PTR id;
        std::wstring text;
    };
    std::map<HWND, TrackedTip> m_trackedTips;
    void ShowTrackedTip(HWND tip);
    POINT m_trackPoint{0, 0};
    std::map<HDROP, std::vector<std::wstring>> m_dropFiles;
    std::map<HWND, COleDropTarget*> m_dropTargets;
    int m_oleDepth = 0;
    HWND m_dragTarget = nullptr;
    IDragData* m_dragData = nullptr;
    DROPEFFECT m_dragEffect = 0;
    std::map<ITEMIDLIST*, std::wstring> m_itemLists;
    std::function<std::optional<std::string>(const FolderDialog&)> m_folderAnswer;
    std::vector<FolderDialog> m_folderDialogs;
    HWND m_folderDialog = nullptr;
    std::vector<FileOperation> m_fileOperations;
    UINT m_nDpi = 96;
    UINT m_nSystemDpi = 96;
};
