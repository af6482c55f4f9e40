// The shell, drawing and system services of the in-memory backend.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/memory/MemoryOs.h"

namespace {

bool IsEdge(UINT edge) { return edge <= ABE_BOTTOM; }

// Moves the side of `rect` that faces `edge` clear of `other`, a strip at that edge.
void ClipFromEdge(RECT* rect, UINT edge, const RECT& other) {
    switch (edge) {
        case ABE_LEFT:
            rect->left = std::max(rect->left, other.right);
            break;
        case ABE_TOP:
            rect->top = std::max(rect->top, other.bottom);
            break;
        case ABE_RIGHT:
            rect->right = std::min(rect->right, other.left);
            break;
        case ABE_BOTTOM:
            rect->bottom = std::min(rect->bottom, other.top);
            break;
        default:
            break;
    }
}

constexpr HRESULT kOleFailed = static_cast<HRESULT>(0x80004005UL);

}  // namespace

// ---------------------------------------------------------------- shell ----

void MemoryOs::SetTaskbar(UINT edge, int thickness) {
    m_taskbarEdge = edge;
    m_taskbarThickness = thickness;
}

RECT MemoryOs::ClearOfOtherBars(HWND bar, RECT rect) const { return ClearOf(bar, rect, m_bClipAcrossMonitors); }

RECT MemoryOs::ClearOf(HWND bar, RECT rect, bool acrossMonitors) const {
    // Only what stands on the rectangle's own monitor counts, unless the
    // shell clips across monitors as Wine's does.
    const HMONITOR monitor = NearestMonitor(rect).handle;
    const auto counts = [this, monitor, acrossMonitors](const RECT& other) {
        return acrossMonitors || NearestMonitor(other).handle == monitor;
    };
    const RECT& primary = m_monitors.front().rect;
    if (m_taskbarThickness > 0 && counts(primary)) {
        const int t = m_taskbarThickness;
        const LONG cx = primary.right;
        const LONG cy = primary.bottom;
        const RECT strips[4] = {{0, 0, t, cy}, {0, 0, cx, t}, {cx - t, 0, cx, cy}, {0, cy - t, cx, cy}};
        ClipFromEdge(&rect, m_taskbarEdge, strips[m_taskbarEdge]);
    }
    for (const auto& [hwnd, other] : m_appBars) {
        if (hwnd != bar && other.edge.has_value() && counts(other.rect)) {
            ClipFromEdge(&rect, *other.edge, other.rect);
        }
    }
    return rect;
}

RECT MemoryOs::WorkArea() const { return WorkAreaOf(m_monitors.front()); }

// A work area is its own monitor's alone, whatever the shell does to requests.
RECT MemoryOs::WorkAreaOf(const Monitor& monitor) const { return ClearOf(nullptr, monitor.rect, false); }

std::optional<RECT> MemoryOs::ReservedRect(HWND bar) const {
    auto it = m_appBars.find(bar);
    if (it == m_appBars.end() || !it->second.edge.has_value()) {
        return std::nullopt;
    }
    return it->second.rect;
}

void MemoryOs::NotifyOthers(HWND except, UINT code) {
    for (const auto& [hwnd, bar] : m_appBars) {
        if (hwnd != except) {
            PostMessageA(hwnd, bar.callbackMessage, code, 0);
        }
    }
}

void MemoryOs::NotifyAppBars(UINT code, LPARAM lParam) {
    for (const auto& [hwnd, bar] : m_appBars) {
        PostMessageA(hwnd, bar.callbackMessage, code, lParam);
    }
    PumpMessages();
}

void MemoryOs::RestartShell() {
    m_appBars.clear();
    m_autoHideBars.clear();
    const UINT created = RegisterWindowMessageA("TaskbarCreated");
    for (HWND hwnd : m_zOrder) {
        PostMessageA(hwnd, created, 0, 0);
    }
    PumpMessages();
}

UINT_PTR MemoryOs::SHAppBarMessage(DWORD message, APPBARDATA* data) {
    if (data == nullptr) {
        return 0;
    }
    m_appBarCalls.push_back({message, *data, 0});
    const size_t call = m_appBarCalls.size() - 1;
    UINT_PTR result = 0;
    // The shell ignores a request whose size it does not know.
    if (data->cbSize == sizeof(APPBARDATA) && !Fails("SHAppBarMessage")) {
        const HWND hwnd = data->hWnd;
        auto bar = m_appBars.find(hwnd);
        switch (message) {
            case ABM_NEW:
                if (bar == m_appBars.end() && IsWindow(hwnd)) {
                    m_appBars[hwnd].callbackMessage = data->uCallbackMessage;
                    result = TRUE;
                }
                break;
            case ABM_REMOVE:
                if (bar != m_appBars.end()) {
                    m_appBars.erase(bar);
                    for (auto& [edge, holder] : m_autoHideBars) {
                        if (holder == hwnd) {
                            holder = nullptr;
                        }
                    }
                    NotifyOthers(hwnd, ABN_POSCHANGED);
                    result = TRUE;
                }
                break;
            case ABM_QUERYPOS:
                if (bar != m_appBars.end() && IsEdge(data->uEdge)) {
                    data->rc = ClearOfOtherBars(hwnd, data->rc);
                    result = TRUE;
                }
                break;
            case ABM_SETPOS:
                // As the shell does, a request for an unknown edge is dropped.
                if (bar != m_appBars.end() && IsEdge(data->uEdge)) {
                    const RECT& rc = data->rc;
                    const bool reserves = IsEdge(data->uEdge) && rc.right > rc.left && rc.bottom > rc.top;
                    const AppBar before = bar->second;
                    if (reserves) {
                        data->rc = ClearOfOtherBars(hwnd, rc);
                        bar->second.edge = data->uEdge;
                        bar->second.rect = data->rc;
                    } else {
                        bar->second.edge.reset();
                    }
                    const bool changed = before.edge != bar->second.edge ||
                                         (reserves && std::memcmp(&before.rect, &bar->second.rect, sizeof(RECT)) != 0);
                    if (changed) {
                        NotifyOthers(hwnd, ABN_POSCHANGED);
                    }
                    result = TRUE;
                }
                break;
            case ABM_GETSTATE:
                result = m_taskbarState;
                break;
            case ABM_ACTIVATE:
            case ABM_WINDOWPOSCHANGED:
                result = TRUE;
                break;
            case ABM_GETAUTOHIDEBAR:
            case ABM_GETAUTOHIDEBAREX:
            case ABM_SETAUTOHIDEBAR:
            case ABM_SETAUTOHIDEBAREX: {
                const bool ex = message == ABM_GETAUTOHIDEBAREX || message == ABM_SETAUTOHIDEBAREX;
                if (!IsEdge(data->uEdge) || (ex && !m_bAutoHideBarExKnown)) {
                    break;
                }
                // The older messages speak of the primary monitor.
                const HMONITOR monitor = ex ? NearestMonitor(data->rc).handle : PrimaryMonitor();
                HWND& holder = m_autoHideBars[{monitor, data->uEdge}];
                if (message == ABM_GETAUTOHIDEBAR || message == ABM_GETAUTOHIDEBAREX) {
                    result = reinterpret_cast<UINT_PTR>(holder);
                } else if (data->lParam != 0) {
                    if (holder == nullptr || holder == hwnd) {
                        holder = hwnd;
                        result = TRUE;
                    }
                } else {
                    if (holder == hwnd) {
                        holder = nullptr;
                    }
                    result = TRUE;
                }
                break;
            }
            default:
                break;
        }
    }
    m_appBarCalls[call].result = result;
    return result;
}

HINSTANCE MemoryOs::ShellExecuteW(HWND owner, const WCHAR* verb, const WCHAR* file, const WCHAR* parameters,
                                  const WCHAR* directory, int show) {
    m_shellExecutes.push_back({owner, Utf8(verb), Utf8(file), Utf8(parameters), Utf8(directory), show});
    // Values above 32 mean success. An error the shell reports itself, in a
    // message box whose loop runs before the call returns.
    const std::uintptr_t result = Fails("ShellExecuteW") ? 2 : m_shellExecuteResult;
    if (result <= 32) {
        const std::string name = Utf8(file);
        const std::string text = "Windows cannot find '" + name + "'. Make sure you typed the name correctly.";
        m_shellErrorBoxes.push_back({owner, text, name, MB_ICONERROR | MB_OK});
        RunMessageBox(owner, name);
    }
    return reinterpret_cast<HINSTANCE>(result);
}

// -------------------------------------------------------------- drawing ----

HBITMAP MemoryOs::CreateMappedBitmap(UINT bitmapId, UINT flags, COLORMAP* maps, int mapCount) {
    auto it = m_bitmapResources.find(bitmapId);
    if (it == m_bitmapResources.end() || Fails("CreateMappedBitmap")) {
        return nullptr;
    }
    const auto bitmap = reinterpret_cast<HBITMAP>(NewHandle());
    m_bitmaps[bitmap] = it->second;
    GdiCall call{"CreateMappedBitmap", {}, 0, 0, it->second.cx, it->second.cy, flags, bitmap, {}, 0, 0, bitmapId};
    // Every map is read, as the common controls do.
    for (int i = 0; maps != nullptr && i < mapCount; ++i) {
        call.colorFrom = i == 0 ? maps[i].from : call.colorFrom;
        call.colorTo = i == 0 ? maps[i].to : call.colorTo;
        ++call.maps;
    }
    m_gdiCalls.push_back(call);
    return bitmap;
}

HANDLE MemoryOs::CopyImage(HANDLE image, UINT type, int cx, int cy, UINT flags) {
    if (type != IMAGE_BITMAP || m_bitmaps.count(image) == 0 || Fails("CopyImage")) {
        return nullptr;
    }
    const auto copy = reinterpret_cast<HANDLE>(NewHandle());
    m_bitmaps[copy] = SIZE{cx, cy};
    if ((flags & LR_COPYDELETEORG) != 0) {
        m_bitmaps.erase(image);
    }
    m_gdiCalls.push_back({"CopyImage", {}, 0, 0, cx, cy, flags, copy, {}, 0, 0});
    return copy;
}

BOOL MemoryOs::DeleteObject(HGDIOBJ object) {
    return m_bitmaps.erase(object) != 0 || m_fonts.erase(object) != 0 || m_regions.erase(object) != 0 ? TRUE : FALSE;
}

HRGN MemoryOs::CreateRectRgn(int left, int top, int right, int bottom) {
    if (Fails("CreateRectRgn")) {
        return nullptr;
    }
    const auto region = reinterpret_cast<HRGN>(NewHandle());
    m_regions[region] = RECT{left, top, right, bottom};
    return region;
}

BOOL MemoryOs::DrawFrameControl(HDC, RECT* rect, UINT type, UINT state) {
    m_gdiCalls.push_back({"DrawFrameControl", *rect, static_cast<int>(type), 0, 0, 0, state, nullptr, {}, 0, 0});
    return TRUE;
}

BOOL MemoryOs::DrawStateA(HDC dc, HBRUSH brush, DRAWSTATEPROC, LPARAM data, WPARAM dataLength, int x, int y, int cx,
                          int cy, UINT flags) {
    GdiCall call{"DrawStateA", {}, x, y, cx, cy, flags, nullptr, {}, 0, 0};
    if (auto it = m_dcs.find(dc); it != m_dcs.end()) {
        call.bkMode = it->second.bkMode;
        // Text comes in the device context's colour; a monochrome image in the brush's.
        call.colorTo = it->second.textColor;
    }
    if ((flags & DSS_MONO) != 0) {
        call.colorTo = SysColorOfBrush(brush);
    }
    if ((flags & 0x000F) == DST_BITMAP) {
        call.image = reinterpret_cast<HANDLE>(data);
        if (m_bitmaps.count(call.image) == 0) {
            return FALSE;
        }
    } else {
        const char* text = reinterpret_cast<const char*>(data);
        call.text = dataLength != 0 ? std::string(text, dataLength) : std::string(text);
    }
    m_gdiCalls.push_back(call);
    return TRUE;
}

BOOL MemoryOs::GetTextExtentPointA(HDC, const char* text, int length, SIZE* size) {
    if (text == nullptr || size == nullptr || length < 0) {
        return FALSE;
    }
    *size = SIZE{length * kCharWidth, kCharHeight};
    return TRUE;
}

BOOL MemoryOs::DrawFocusRect(HDC, const RECT* rect) {
    m_gdiCalls.push_back({"DrawFocusRect", *rect, 0, 0, 0, 0, 0, nullptr, {}, 0, 0});
    return TRUE;
}

int MemoryOs::FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
    if (m_dcs.count(dc) == 0 || rect == nullptr) {
        return 0;
    }
    m_gdiCalls.push_back({"FrameRect", *rect, 0, 0, 0, 0, 0, brush, {}, SysColorOfBrush(brush), 0});
    return 1;
}

// --------------------------------------------------------------- system ----

DWORD MemoryOs::GetTickCount() {
    const DWORD now = m_tickCount;
    m_tickCount += m_tickStep;
    return now;
}

void MemoryOs::Sleep(DWORD milliseconds) {
    m_sleeps.push_back(milliseconds);
    m_tickCount += milliseconds;
}

HRESULT MemoryOs::OleInitialize() {
    if (Fails("OleInitialize")) {
        return kOleFailed;
    }
    ++m_oleDepth;
    return 0;
}

void MemoryOs::AddDrive(char letter, UINT type, std::optional<std::string> volumeLabel) {
    std::optional<std::wstring> label;
    if (volumeLabel) {
        label = Utf16FromUtf8(*volumeLabel);
    }
    m_drives[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))] = Drive{type, std::move(label)};
}

void MemoryOs::RemoveDrive(char letter) {
    m_drives.erase(static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
}

void MemoryOs::BroadcastVolumeChange(WPARAM event, DWORD unitMask, WORD flags) {
    DEV_BROADCAST_VOLUME volume{sizeof(DEV_BROADCAST_VOLUME), DBT_DEVTYP_VOLUME, 0, unitMask, flags};
    for (HWND hwnd : TopLevelZOrder()) {
        SendMessageA(hwnd, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume));
    }
}

void MemoryOs::AddNetworkConnection(std::string localName, std::string remoteName) {
    m_connections.emplace_back(Utf16FromUtf8(localName), Utf16FromUtf8(remoteName));
}

DWORD MemoryOs::GetLogicalDrives() {
    ++m_driveSetReads;
    if (Fails("GetLogicalDrives")) {
        return 0;
    }
    DWORD mask = 0;
    for (const auto& [letter, drive] : m_drives) {
        if (letter >= 'A' && letter <= 'Z') {
            mask |= 1U << (letter - 'A');
        }
    }
    return mask;
}

UINT MemoryOs::GetDriveTypeA(const char* root) {
    if (root == nullptr || Fails("GetDriveTypeA")) {
        return DRIVE_UNKNOWN;
    }
    auto it = m_drives.find(static_cast<char>(std::toupper(static_cast<unsigned char>(root[0]))));
    return it != m_drives.end() && root[1] == ':' ? it->second.type : DRIVE_NO_ROOT_DIR;
}

BOOL MemoryOs::GetVolumeInformationW(const WCHAR* root, WCHAR* volumeName, DWORD volumeNameSize,
                                     DWORD* fileSystemFlags) {
    m_volumeQueries.emplace_back(Utf8(root));
    if (!WaitWhileHeld(root) || root == nullptr || root[0] > 0x7F || Fails("GetVolumeInformationW")) {
        return FALSE;
    }
    auto it = m_drives.find(static_cast<char>(std::toupper(static_cast<int>(root[0]))));
    if (it == m_drives.end() || !it->second.label.has_value()) {
        return FALSE;
    }
    const std::wstring& label = *it->second.label;
    if (volumeName != nullptr) {
        if (Units(label) > volumeNameSize) {
            return FALSE;
        }
        std::copy(label.c_str(), label.c_str() + Units(label), volumeName);
    }
    if (fileSystemFlags != nullptr) {
        *fileSystemFlags = 0x3;
    }
    return TRUE;
}

UINT MemoryOs::GetWindowsDirectoryW(WCHAR* buffer, UINT size) {
    if (Fails("GetWindowsDirectoryW")) {
        return 0;
    }
    const auto length = static_cast<UINT>(m_windowsDirectory.size());
    if (buffer == nullptr || size <= length) {
        return length + 1;
    }
    std::copy(m_windowsDirectory.c_str(), m_windowsDirectory.c_str() + length + 1, buffer);
    return length;
}

BOOL MemoryOs::SetCurrentDirectoryW(const WCHAR* path) {
    if (path == nullptr || path[0] > 0x7F || Fails("SetCurrentDirectoryW")) {
        return FALSE;
    }
    if (m_drives.count(static_cast<char>(std::toupper(static_cast<int>(path[0])))) == 0) {
        return FALSE;
    }
    m_currentDirectory = path;
    return TRUE;
}

DWORD MemoryOs::GetCurrentDirectoryW(DWORD size, WCHAR* buffer) {
    const auto length = static_cast<DWORD>(m_currentDirectory.size());
    if (buffer == nullptr || size <= length) {
        return length + 1;
    }
    std::copy(m_currentDirectory.c_str(), m_currentDirectory.c_str() + length + 1, buffer);
    return length;
}

DWORD MemoryOs::WNetOpenEnumW(DWORD scope, DWORD type, DWORD, HANDLE* enumHandle) {
    if (enumHandle == nullptr || scope != RESOURCE_CONNECTED || type != RESOURCETYPE_DISK || Fails("WNetOpenEnumW")) {
        return static_cast<DWORD>(ERROR_NO_NETWORK);
    }
    *enumHandle = reinterpret_cast<HANDLE>(NewHandle());
    m_enumerations[*enumHandle] = Enumeration{};
    return static_cast<DWORD>(ERROR_SUCCESS);
}

DWORD MemoryOs::WNetEnumResourceW(HANDLE enumHandle, DWORD* count, void* buffer, DWORD* bufferSize) {
    auto it = m_enumerations.find(enumHandle);
    if (it == m_enumerations.end() || count == nullptr || bufferSize == nullptr) {
        return static_cast<DWORD>(ERROR_INVALID_HANDLE);
    }
    if (Fails("WNetEnumResourceW")) {
        return static_cast<DWORD>(ERROR_NO_NETWORK);
    }
    if (!m_netEnumAnswers.empty()) {
        const auto answer = std::move(m_netEnumAnswers.front());
        m_netEnumAnswers.pop_front();
        *count = 0;
        return answer(bufferSize);
    }
    Enumeration& enumeration = it->second;
    if (enumeration.next >= m_connections.size()) {
        return static_cast<DWORD>(ERROR_NO_MORE_ITEMS);
    }
    auto needed = [](const std::pair<std::wstring, std::wstring>& c) {
        return static_cast<DWORD>(sizeof(NETRESOURCEW) + (Units(c.first) + Units(c.second)) * sizeof(WCHAR));
    };
    if (buffer == nullptr || needed(m_connections[enumeration.next]) > *bufferSize) {
        *bufferSize = needed(m_connections[enumeration.next]);
        return static_cast<DWORD>(ERROR_MORE_DATA);
    }
    // Entries from the front of the buffer, their strings from the back.
    // The end of the strings is kept aligned for WCHAR.
    auto* entries = static_cast<NETRESOURCEW*>(buffer);
    auto* strings = reinterpret_cast<WCHAR*>(static_cast<char*>(buffer) + *bufferSize / sizeof(WCHAR) * sizeof(WCHAR));
    DWORD used = 0;
    DWORD returned = 0;
    while (enumeration.next < m_connections.size() && returned < *count) {
        const auto& [local, remote] = m_connections[enumeration.next];
        const DWORD size = needed(m_connections[enumeration.next]);
        if (used + size > *bufferSize) {
            break;
        }
        strings -= Units(remote);
        std::copy(remote.c_str(), remote.c_str() + Units(remote), strings);
        WCHAR* remoteName = strings;
        // A connection without a drive letter has no local name.
        WCHAR* localName = nullptr;
        if (!local.empty()) {
            strings -= Units(local);
            std::copy(local.c_str(), local.c_str() + Units(local), strings);
            localName = strings;
        }
        entries[returned] =
            NETRESOURCEW{RESOURCE_CONNECTED, RESOURCETYPE_DISK, 0, 0, localName, remoteName, nullptr, nullptr};
        used += size;
        ++returned;
        ++enumeration.next;
    }
    *count = returned;
    if (!m_netEnumCounts.empty()) {
        *count = m_netEnumCounts.front()(returned, *bufferSize);
        m_netEnumCounts.pop_front();
    }
    return static_cast<DWORD>(ERROR_SUCCESS);
}

DWORD MemoryOs::WNetCloseEnum(HANDLE enumHandle) {
    return m_enumerations.erase(enumHandle) != 0 ? static_cast<DWORD>(ERROR_SUCCESS)
                                                 : static_cast<DWORD>(ERROR_INVALID_HANDLE);
}
