#include "settings/Settings.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "appbar/AppBarGeometry.h"
#include "platform/Dpi.h"
#include "platform/RegKey.h"
#include "platform/WinApp.h"

namespace {

constexpr UINT kMaxPath = 260;

// A stored size held to the sizing limits, so that the record is the window
// the bar shows. Where the limits cross the largest wins, as the window
// itself is never smaller than its least size.
long long HeldToLimits(long long size, LONG least, LONG most) {
    return std::clamp<long long>(size, least, std::max(least, most));
}

// A stored floating extent held to its limits; an empty or inverted one takes the smallest.
long long FloatingExtent(LONG from, LONG to, LONG minExtent, LONG maxExtent) {
    const long long extent = static_cast<long long>(to) - from;
    return extent > 0 ? HeldToLimits(extent, minExtent, maxExtent) : minExtent;
}

}  // namespace

std::wstring LoadSkipDrives(const std::wstring& current) {
    return AfxGetApp()->GetProfileString(kSettingsSection, kSkipDrivesEntry, current);
}

std::wstring ExplorerCommand(const char* arguments) {
    WCHAR directory[kMaxPath] = {};
    const UINT length = Os().sys.GetWindowsDirectoryW(directory, kMaxPath);
    std::wstring command = length > 0 && length < kMaxPath ? std::wstring(directory, length) : std::wstring();
    if (!command.empty() && command.back() != L'\\') {
        command += L'\\';
    }
    return command + L"Explorer.exe " + Widen(arguments);
}

std::wstring DefaultLaunchProgram() { return ExplorerCommand("/e,\"%1\""); }

std::wstring LoadLaunchProgram(const std::wstring& current) {
    std::wstring command = AfxGetApp()->GetProfileString(kSettingsSection, kLaunchProgramEntry, current);
    return command.empty() ? DefaultLaunchProgram() : command;
}

BOOL LoadTileExplorers(BOOL current) {
    return static_cast<BOOL>(AfxGetApp()->GetProfileInt(kSettingsSection, kTileExplorersEntry, current));
}

BOOL ReadLaunchOnStartup() {
    // Read access only: a user who may not write the machine's key still sees its value.
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        RegKey run;
        std::wstring path;
        if (Os().reg.RegOpenKeyExW(root, Widen(kRunKey).c_str(), KEY_READ, run.Receive()) == ERROR_SUCCESS &&
            ReadRegistryString(run.Get(), kRunValue, &path) && !path.empty()) {
            return TRUE;
        }
    }
    return FALSE;
}

std::wstring RunValueForPath(const std::wstring& longPath, const std::wstring& shortPath) {
    if (!shortPath.empty() && shortPath.find(L' ') == std::wstring::npos) {
        return shortPath;
    }
    return L"\"" + longPath + L"\"";
}

namespace {

std::wstring ProgramRunValue() {
    WCHAR longPath[kMaxPath] = {};
    const DWORD length = Os().sys.GetModuleFileNameW(longPath, kMaxPath);
    if (length == 0 || length >= kMaxPath) {
        return {};
    }
    WCHAR shortPath[kMaxPath] = {};
    const DWORD shortLength = Os().sys.GetShortPathNameW(longPath, shortPath, kMaxPath);
    return RunValueForPath(longPath, shortLength > 0 && shortLength < kMaxPath ? shortPath : L"");
}

bool SetRunValue(HKEY root, const std::wstring& value) {
    RegKey run;
    const auto size = static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR));
    return Os().reg.RegCreateKeyExW(root, Widen(kRunKey).c_str(), KEY_READ | KEY_WRITE, run.Receive()) ==
               ERROR_SUCCESS &&
           Os().reg.RegSetValueExW(run.Get(), Widen(kRunValue).c_str(), REG_SZ,
                                   reinterpret_cast<const BYTE*>(value.c_str()), size) == ERROR_SUCCESS;
}

}  // namespace

void WriteLaunchOnStartup(BOOL on) {
    if (on) {
        const std::wstring value = ProgramRunValue();
        if (!value.empty() && !SetRunValue(HKEY_LOCAL_MACHINE, value)) {
            SetRunValue(HKEY_CURRENT_USER, value);
        }
        return;
    }
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        RegKey run;
        if (Os().reg.RegOpenKeyExW(root, Widen(kRunKey).c_str(), KEY_READ | KEY_WRITE, run.Receive()) ==
            ERROR_SUCCESS) {
            Os().reg.RegDeleteValueW(run.Get(), Widen(kRunValue).c_str());
        }
    }
}

bool AcceptStoredPlacement(const BYTE* data, size_t size, const PlacementLimits& limits, BARPLACEMENT* placement) {
    if (size < sizeof(BARPLACEMENT)) {
        return false;
    }
    BARPLACEMENT stored{};
    std::memcpy(&stored, data, sizeof(stored));
    // The program writes 48 here; a shorter size would apply only part of
    // the record over the class defaults.
    if (stored.cbSize < sizeof(BARPLACEMENT)) {
        return false;
    }
    if (stored.nEdge != EDGE_FLOATING && !IsDockEdge(stored.nEdge)) {
        return false;
    }
    // A bar sized on a larger screen keeps its edge and modes and takes the
    // largest thickness this one allows; where the limits cross, the largest
    // wins, so that the window still covers the strip it reserves.
    for (int edge = ABE_LEFT; edge <= static_cast<int>(ABE_BOTTOM); ++edge) {
        LONG& thickness = stored.anThickness[edge];
        thickness =
            static_cast<LONG>(HeldToLimits(thickness, limits.anMinThickness[edge], limits.anMaxThickness[edge]));
    }
    // Wide arithmetic: stored coordinates may lie anywhere in 32 bits.
    RECT& floating = stored.rcFloating;
    const RECT& m = limits.monitor;
    const long long width = FloatingExtent(floating.left, floating.right, limits.minFloating.cx, limits.maxFloating.cx);
    const long long height =
        FloatingExtent(floating.top, floating.bottom, limits.minFloating.cy, limits.maxFloating.cy);
    long long left = floating.left;
    long long top = floating.top;
    if (!(left < m.right && left + width > m.left && top < m.bottom && top + height > m.top)) {
        left = std::max<long long>(m.left, std::min<long long>(left, m.right - width));
        top = std::max<long long>(m.top, std::min<long long>(top, m.bottom - height));
    }
    floating = RECT{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(left + width),
                    static_cast<LONG>(top + height)};
    *placement = stored;
    return true;
}

void LoadStoredPlacement(BARPLACEMENT* placement, const PlacementLimits& limits, const PlacementScale& scale) {
    std::vector<BYTE> data;
    if (!AfxGetApp()->GetProfileBinary(kSettingsSection, kStateInfoEntry, &data)) {
        return;
    }
    // Pixels of another scale are measured anew before they are held to this one's limits.
    if (data.size() >= sizeof(BARPLACEMENT)) {
        BARPLACEMENT stored{};
        std::memcpy(&stored, data.data(), sizeof(stored));
        RescalePlacement(&stored, scale.stored, scale.now, scale.step);
        std::memcpy(data.data(), &stored, sizeof(stored));
    }
    AcceptStoredPlacement(data.data(), data.size(), limits, placement);
}

UINT LoadStoredDpi() {
    constexpr UINT kLeast = 24;
    constexpr UINT kMost = 2400;
    const UINT dpi = AfxGetApp()->GetProfileInt(kSettingsSection, kStateDpiEntry, kDefaultDpi);
    return dpi >= kLeast && dpi <= kMost ? dpi : kDefaultDpi;
}

void SaveStoredDpi(UINT dpi) { AfxGetApp()->WriteProfileInt(kSettingsSection, kStateDpiEntry, static_cast<int>(dpi)); }

std::wstring FormatStoredMonitor(const StoredMonitor& monitor) {
    const RECT& r = monitor.rect;
    return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," + std::to_wstring(r.right) + L"," +
           std::to_wstring(r.bottom) + L" " + monitor.device;
}

StoredMonitor ParseStoredMonitor(const std::wstring& text) {
    constexpr size_t kMostDevice = 31;
    const StoredMonitor primary{std::wstring(), RECT{0, 0, 0, 0}};
    LONG values[4] = {};
    size_t at = 0;
    for (int i = 0; i < 4; ++i) {
        const size_t start = at;
        if (at < text.size() && text[at] == L'-') {
            ++at;
        }
        long long value = 0;
        const size_t digits = at;
        while (at < text.size() && text[at] >= L'0' && text[at] <= L'9' && at - digits < 10) {
            value = value * 10 + (text[at] - L'0');
            ++at;
        }
        const wchar_t separator = i < 3 ? L',' : L' ';
        if (at == digits || at >= text.size() || text[at] != separator) {
            return primary;
        }
        value = text[start] == L'-' ? -value : value;
        if (value < std::numeric_limits<LONG>::min() || value > std::numeric_limits<LONG>::max()) {
            return primary;
        }
        values[i] = static_cast<LONG>(value);
        ++at;
    }
    const std::wstring device = text.substr(at);
    const RECT rect{values[0], values[1], values[2], values[3]};
    if (device.empty() || device.size() > kMostDevice || device.find(L'\0') != std::wstring::npos ||
        rect.right <= rect.left || rect.bottom <= rect.top) {
        return primary;
    }
    return StoredMonitor{device, rect};
}

StoredMonitor LoadStoredMonitor() {
    return ParseStoredMonitor(AfxGetApp()->GetProfileString(kSettingsSection, kStateMonitorEntry, std::wstring()));
}

void SaveStoredMonitor(const StoredMonitor& monitor) {
    AfxGetApp()->WriteProfileString(kSettingsSection, kStateMonitorEntry, FormatStoredMonitor(monitor));
}

void SaveSettings(const StoredSettings& settings) {
    const CWinApp& app = *AfxGetApp();
    BARPLACEMENT placement = settings.placement;
    placement.cbSize = sizeof(BARPLACEMENT);
    app.WriteProfileBinary(kSettingsSection, kStateInfoEntry, reinterpret_cast<const BYTE*>(&placement),
                           sizeof(placement));
    app.WriteProfileString(kSettingsSection, kLaunchProgramEntry, settings.strLaunchProgram);
    app.WriteProfileString(kSettingsSection, kSkipDrivesEntry, settings.strSkipDrives);
    app.WriteProfileInt(kSettingsSection, kTileExplorersEntry, settings.bTileExplorers);
}
