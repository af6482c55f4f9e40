// The in-memory Windows that the unit tests run the program against, set up
// with the program's resources as vossel.rc describes them.
#pragma once

#include <gtest/gtest.h>

#include <functional>
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
public:
    // How the system runs a move or size loop (below).
    enum class Loop { Wine, Windows, WineEsc, WindowsEsc };
    enum class Arrow { Left, Up, Right, Down };

protected:
    OsTest();
    ~OsTest() override;
    RECT WindowRect(HWND hwnd);
    RECT ClientRectOf(HWND hwnd);
    // The system's size loop, pressed at `press` on `side` and moved to each
    // point in turn, without full-window dragging: the window moves when the
    // loop ends, and not at all when Esc ended it. Wine adds each mouse step
    // to the rectangle WM_SIZING last gave back; Windows adds the whole
    // travel to the window as it was. `during` runs after each step, given
    // its index. Returns the window after the loop.
    RECT SizeLoop(HWND hwnd, UINT side, POINT press, const std::vector<POINT>& points, Loop loop,
                  const std::function<void(size_t)>& during = {});
    // The system's move loop, pressed at `press` and moved to each point in
    // turn; both move the rectangle WM_MOVING last gave back by each mouse
    // step. Wine, without full-window dragging, moves the window when the
    // loop ends, and not at all when Esc ended it. Windows, with full-window
    // dragging, puts the window where WM_MOVING says at each step, and back
    // where it was after WM_EXITSIZEMOVE when Esc ended the loop.
    RECT MoveLoop(HWND hwnd, POINT press, const std::vector<POINT>& points, Loop loop,
                  const std::function<void(size_t)>& during = {});

    MemoryOs os;

    // The system's keyboard size loop, as the system menu's Size starts it:
    // the mouse button is up and the pointer at `pointer`. The first arrow
    // key picks the side and puts the pointer on its middle, each other one
    // moves the pointer 8 pixels its way, and each key's message carries
    // where the pointer was when it was pressed; Return ends the loop. Wine
    // sends WM_ENTERSIZEMOVE once the side is picked and moves the rectangle
    // WM_SIZING last gave back; Windows sends it first, with the pointer put
    // in the middle of the window, and moves the window as it was by the
    // pointer's travel since the side was picked. Returns the window after.
    RECT KeySizeLoop(HWND hwnd, POINT pointer, const std::vector<Arrow>& keys, Loop loop);

private:
    // Ends a loop as the system does, Esc held or not, the window where the
    // system leaves it, and back in the message loop.
    RECT EndLoop(HWND hwnd, Loop loop, bool fullDrag, const RECT& start, const RECT& last);
    // The rectangle a loop proposes for a step: from the window at the start,
    // the last rectangle given back, and the pointer before and now.
    using Proposal = std::function<RECT(const RECT& start, const RECT& last, POINT previous, POINT point)>;
    RECT RunLoop(HWND hwnd, UINT msg, UINT side, POINT press, const std::vector<POINT>& points, Loop loop,
                 bool fullDrag, const Proposal& propose, const std::function<void(size_t)>& during);
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
