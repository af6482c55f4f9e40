// Opening a drive: run the launch program on the drive's root, then tile
// the Explorer windows.
#pragma once

#include <string>
#include <vector>

#include "platform/Win32.h"

struct LaunchCommand {
    std::wstring program;
    std::wstring arguments;
};

// Splits a command line at the first space after its last full stop or
// backslash. Arguments that hold either character therefore move the split
// point into them; stored commands rely on that.
LaunchCommand SplitLaunchCommand(const std::wstring& command);
// Puts the root in place of the first "%1", or makes it the whole argument
// part when there is none.
std::wstring SubstituteRoot(const std::wstring& arguments, const std::wstring& root);
// The cells that `count` windows take on a screen of right by bottom pixels.
std::vector<RECT> TileGrid(size_t count, LONG right, LONG bottom);

// Collects the top-level windows of some classes, in z-order, and tiles them.
class CWindowTiler {
public:
    void Tile(const std::vector<std::string>& classNames);
    const std::vector<HWND>& Windows() const { return m_windows; }

private:
    static BOOL CALLBACK EnumWindowsProc(HWND hwnd, LPARAM lParam);

    std::vector<HWND> m_windows;
    std::vector<std::string> m_classNames;
};

// Runs the launch command on the root, waits for the program to settle,
// tiles Explorer windows when asked, and makes the root the current folder;
// when the shell starts nothing, does nothing more.
void OpenDrive(const std::wstring& root, const std::wstring& launchCommand, BOOL tileExplorers);
