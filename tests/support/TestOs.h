// The in-memory Windows that the unit tests run the program against, set up
// with the program's resources as vossel.rc describes them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "appbar/BarPlacement.h"
#include "platform/memory/MemoryOs.h"

// The bar template's client area in pixels, as Wine lays out 22 x 12 dialog units.
constexpr int kBarClientWidth = 28;
constexpr int kBarClientHeight = 15;

void RegisterProgramResources(MemoryOs& os);
// The About and Options dialogs, the link's menu and cursor, and their texts.
void RegisterDialogResources(MemoryOs& os);

class OsTest : public ::testing::Test {
protected:
    OsTest();
    ~OsTest() override;
    RECT WindowRect(HWND hwnd);
    RECT ClientRectOf(HWND hwnd);
    // The system's size loop, pressed at `press` on `side` and moved to each
    // point in turn, without full-window dragging: the window moves when the
    // loop ends, and not at all when Esc ended it. Wine adds each mouse step
    // to the rectangle WM_SIZING last gave back; Windows adds the whole
    // travel to the window as it was. Returns the window after the loop.
    enum class Loop { Wine, Windows, WineEsc };
    RECT SizeLoop(HWND hwnd, UINT side, POINT press, const std::vector<POINT>& points, Loop loop);

    MemoryOs os;
};

// Outside text as the program holds it, from UTF-8 in the tests.
inline std::wstring W(const std::string& utf8) { return Utf16FromUtf8(utf8); }

constexpr char kSettingsKey[] = "Software\\Quorvane\\Vossel\\Settings";
constexpr char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string StoredString(const MemoryOs& os, const char* name);
void StorePlacement(MemoryOs& os, const BARPLACEMENT& placement);

inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
std::ostream& operator<<(std::ostream& out, const RECT& rect);
