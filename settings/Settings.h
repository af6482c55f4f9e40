// The bar's persistent settings: four values in the per-user profile and
// the start-up entry in the machine's Run key.
#pragma once

#include <string>

#include "appbar/AppBarGeometry.h"

constexpr char kSettingsSection[] = "Settings";
constexpr char kSkipDrivesEntry[] = "Skip Drives";
constexpr char kStateInfoEntry[] = "State Info";
constexpr char kLaunchProgramEntry[] = "Launch Program";
constexpr char kTileExplorersEntry[] = "Tile Explorers";
// The DPI that the pixels of "State Info" were measured at.
constexpr char kStateDpiEntry[] = "State DPI";
// The monitor "State Info" belongs on: its rectangle and device name.
constexpr char kStateMonitorEntry[] = "State Monitor";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "Vossel";

std::wstring LoadSkipDrives(const std::wstring& current);
std::wstring LoadLaunchProgram(const std::wstring& current);
BOOL LoadTileExplorers(BOOL current);
// The Run key, machine-wide or the user's own, holds a non-empty string value for the program.
BOOL ReadLaunchOnStartup();
// What the Run value says to start: the short path when it has no spaces,
// else the long path in quotes, so that no part of it is taken for a program.
std::wstring RunValueForPath(const std::wstring& longPath, const std::wstring& shortPath);
// Writes the program's Run value (to the user's Run key when the machine's
// refuses it), or deletes it from both.
void WriteLaunchOnStartup(BOOL on);

// Explorer in the Windows folder, followed by `arguments`; Explorer alone
// when the Windows folder cannot be had.
std::wstring ExplorerCommand(const char* arguments);
// Explorer in its two-pane view on "%1".
std::wstring DefaultLaunchProgram();

// The sizes the bar can take on the monitor it goes on: its thickness at
// each edge and its floating window's size.
struct PlacementLimits {
    RECT monitor;
    LONG anMinThickness[4];
    LONG anMaxThickness[4];
    SIZE minFloating;
    SIZE maxFloating;
};

// The scale "State Info" was stored at and the bar's scale now, each with
// the docked frame there, and the bar's sizing steps now.
struct PlacementScale {
    DockedScale stored;
    DockedScale now;
    SIZE step;
};

// Overlays the stored placement on `placement` when the stored one is sound,
// measured anew for the bar's scale.
void LoadStoredPlacement(BARPLACEMENT* placement, const PlacementLimits& limits, const PlacementScale& scale);
// The DPI "State Info" was stored at: 96 for a record of an earlier version,
// which stored none, or for a value no screen has.
UINT LoadStoredDpi();
void SaveStoredDpi(UINT dpi);
// A stored record with an unknown edge or a short size is refused. Any other
// is held to what the bar can be, so that it gives a usable bar: each
// thickness and the floating size within their limits, and a floating
// rectangle wholly off the monitor brought back onto it.
bool AcceptStoredPlacement(const BYTE* data, size_t size, const PlacementLimits& limits, BARPLACEMENT* placement);

// A monitor as the bar keeps it: its device name, empty for the primary,
// and where it stood.
struct StoredMonitor {
    std::wstring device;
    RECT rect;
};
// "left,top,right,bottom device" and back. Text that is not this, a device
// name empty or longer than the system's 31 characters, or an empty
// rectangle reads as the primary monitor (an empty name).
std::wstring FormatStoredMonitor(const StoredMonitor& monitor);
StoredMonitor ParseStoredMonitor(const std::wstring& text);
StoredMonitor LoadStoredMonitor();
void SaveStoredMonitor(const StoredMonitor& monitor);

struct StoredSettings {
    BARPLACEMENT placement;
    std::wstring strLaunchProgram;
    std::wstring strSkipDrives;
    BOOL bTileExplorers;
};
void SaveSettings(const StoredSettings& settings);
