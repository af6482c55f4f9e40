#include "settings/Settings.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/RegKey.h"
#include "platform/WinApp.h"

namespace {

constexpr UINT kMaxPath = 260;

bool Overlaps(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

std::string LoadSkipDrives(const std::string& current) {
    return AfxGetApp()->GetProfileString(kSettingsSection, kSkipDrivesEntry, current.c_str());
}

std::string DefaultLaunchProgram() {
    char directory[kMaxPath] = {};
    const UINT length = Os().sys.GetWindowsDirectoryA(directory, kMaxPath);
    std::string command = length > 0 && length < kMaxPath ? std::string(directory, length) : std::string();
    if (!command.empty() && command.back() != '\\') {
        command += '\\';
    }
    return command + "Explorer.exe /e,\"%1\"";
}

std::string LoadLaunchProgram(const std::string& current) {
    std::string command = AfxGetApp()->GetProfileString(kSettingsSection, kLaunchProgramEntry, current.c_str());
    return command.empty() ? DefaultLaunchProgram() : command;
}

BOOL LoadTileExplorers(BOOL current) {
    return static_cast<BOOL>(AfxGetApp()->GetProfileInt(kSettingsSection, kTileExplorersEntry, current));
}

BOOL ReadLaunchOnStartup() {
    // Read access only: a user who may not write the machine's key still sees its value.
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        RegKey run;
        std::string path;
        if (Os().reg.RegOpenKeyExA(root, kRunKey, KEY_READ, run.Receive()) == ERROR_SUCCESS &&
            ReadRegistryString(run.Get(), kRunValue, &path) && !path.empty()) {
            return TRUE;
        }
    }
    return FALSE;
}

std::string RunValueForPath(const std::string& longPath, const std::string& shortPath) {
    if (!shortPath.empty() && shortPath.find(' ') == std::string::npos) {
        return shortPath;
    }
    return "\"" + longPath + "\"";
}

namespace {

std::string ProgramRunValue() {
    char longPath[kMaxPath] = {};
    const DWORD length = Os().sys.GetModuleFileNameA(longPath, kMaxPath);
    if (length == 0 || length >= kMaxPath) {
        return {};
    }
    char shortPath[kMaxPath] = {};
    const DWORD shortLength = Os().sys.GetShortPathNameA(longPath, shortPath, kMaxPath);
    return RunValueForPath(longPath, shortLength > 0 && shortLength < kMaxPath ? shortPath : "");
}

bool SetRunValue(HKEY root, const std::string& value) {
    RegKey run;
    const auto size = static_cast<DWORD>(value.size() + 1);
    return Os().reg.RegCreateKeyExA(root, kRunKey, KEY_READ | KEY_WRITE, run.Receive()) == ERROR_SUCCESS &&
           Os().reg.RegSetValueExA(run.Get(), kRunValue, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), size) ==
               ERROR_SUCCESS;
}

}  // namespace

void WriteLaunchOnStartup(BOOL on) {
    if (on) {
        const std::string value = ProgramRunValue();
        if (!value.empty() && !SetRunValue(HKEY_LOCAL_MACHINE, value)) {
            SetRunValue(HKEY_CURRENT_USER, value);
        }
        return;
    }
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        RegKey run;
        if (Os().reg.RegOpenKeyExA(root, kRunKey, KEY_READ | KEY_WRITE, run.Receive()) == ERROR_SUCCESS) {
            Os().reg.RegDeleteValueA(run.Get(), kRunValue);
        }
    }
}

bool AcceptStoredPlacement(const BYTE* data, size_t size, int cxScreen, int cyScreen, BARPLACEMENT* placement) {
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
    for (int edge = ABE_LEFT; edge <= static_cast<int>(ABE_BOTTOM); ++edge) {
        const LONG limit = (edge == ABE_LEFT || edge == ABE_RIGHT) ? cxScreen : cyScreen;
        if (stored.anThickness[edge] < 0 || stored.anThickness[edge] > limit) {
            return false;
        }
    }
    RECT& floating = stored.rcFloating;
    const RECT screen{0, 0, cxScreen, cyScreen};
    if (!Overlaps(floating, screen)) {
        const LONG width = floating.right - floating.left;
        const LONG height = floating.bottom - floating.top;
        const LONG left = std::max<LONG>(0, std::min<LONG>(floating.left, cxScreen - width));
        const LONG top = std::max<LONG>(0, std::min<LONG>(floating.top, cyScreen - height));
        floating = RECT{left, top, left + width, top + height};
    }
    *placement = stored;
    return true;
}

void LoadStoredPlacement(BARPLACEMENT* placement, int cxScreen, int cyScreen) {
    std::vector<BYTE> data;
    if (AfxGetApp()->GetProfileBinary(kSettingsSection, kStateInfoEntry, &data)) {
        AcceptStoredPlacement(data.data(), data.size(), cxScreen, cyScreen, placement);
    }
}

void SaveSettings(const StoredSettings& settings) {
    const CWinApp& app = *AfxGetApp();
    BARPLACEMENT placement = settings.placement;
    placement.cbSize = sizeof(BARPLACEMENT);
    app.WriteProfileBinary(kSettingsSection, kStateInfoEntry, reinterpret_cast<const BYTE*>(&placement),
                           sizeof(placement));
    app.WriteProfileString(kSettingsSection, kLaunchProgramEntry, settings.strLaunchProgram.c_str());
    app.WriteProfileString(kSettingsSection, kSkipDrivesEntry, settings.strSkipDrives.c_str());
    app.WriteProfileInt(kSettingsSection, kTileExplorersEntry, settings.bTileExplorers);
}
