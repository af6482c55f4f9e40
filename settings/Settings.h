// The bar's persistent settings: four values in the per-user profile and
// the start-up entry in the machine's Run key.
#pragma once

#include <string>

#include "appbar/BarPlacement.h"

constexpr char kSettingsSection[] = "Settings";
constexpr char kSkipDrivesEntry[] = "Skip Drives";
constexpr char kStateInfoEntry[] = "State Info";
constexpr char kLaunchProgramEntry[] = "Launch Program";
constexpr char kTileExplorersEntry[] = "Tile Explorers";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "Vossel";

std::string LoadSkipDrives(const std::string& current);
std::string LoadLaunchProgram(const std::string& current);
BOOL LoadTileExplorers(BOOL current);
// The Run key holds a non-empty string value for the program.
BOOL ReadLaunchOnStartup();

// The Windows folder, a backslash, and Explorer in its two-pane view on "%1".
std::string DefaultLaunchProgram();

// Overlays the stored placement on `placement` when the stored one is sound.
void LoadStoredPlacement(BARPLACEMENT* placement, int cxScreen, int cyScreen);
// A stored record that could not come from the program, or would leave the
// bar invisible, is refused; a floating rectangle wholly off the screen is
// brought back onto it.
bool AcceptStoredPlacement(const BYTE* data, size_t size, int cxScreen, int cyScreen, BARPLACEMENT* placement);

struct StoredSettings {
    BARPLACEMENT placement;
    std::string strLaunchProgram;
    std::string strSkipDrives;
    BOOL bTileExplorers;
};
void SaveSettings(const StoredSettings& settings);
