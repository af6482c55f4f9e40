// The contract tests: what the program relies on from the window system,
// the registry and the resources, checked against whichever backend the
// build has. The same tests run natively against the in-memory model and,
// cross-built, against Windows itself (under Wine), so that the model
// cannot drift from the real system.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Os.h"
#include "platform/Wnd.h"
#include "tests/contract/ContractResources.h"

#ifdef VOSSEL_CONTRACT_MEMORY
#include "platform/memory/MemoryOs.h"
using ContractOs = MemoryOs;
#else
#include "platform/win32/Win32Os.h"
using ContractOs = Win32Os;
#endif

// The window class of framework windows; any backend takes it.
constexpr const char* kContractWindowClass = "VosselWnd";

// Position of the first occurrence of msg in a message log, or -1.
inline int IndexOf(const std::vector<UINT>& log, UINT msg) {
    const auto it = std::find(log.begin(), log.end(), msg);
    return it == log.end() ? -1 : static_cast<int>(it - log.begin());
}

// A framework object that logs the messages it receives and leaves each to
// the default processing; it answers WM_GETMINMAXINFO with limits when set.
class RecordingWnd : public CWnd {
public:
    std::vector<UINT> m_messages;
    LPARAM m_lastSize = 0;
    bool m_bLimitTracking = false;
    POINT m_ptMinTrack{0, 0};
    POINT m_ptMaxTrack{0, 0};

    bool Received(UINT msg) const { return IndexOf(msg) >= 0; }
    int IndexOf(UINT msg) const { return ::IndexOf(m_messages, msg); }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class ContractTest : public ::testing::Test {
protected:
    ContractTest();
    ~ContractTest() override;

    // A top-level window of the framework class that the fixture destroys.
    HWND MakeWindow(DWORD style, DWORD exStyle = 0, RECT rect = RECT{100, 80, 340, 240}, const char* text = "",
                    CWnd* object = nullptr);
    HWND MakeChild(HWND parent, const char* className, UINT id, RECT rect, CWnd* object = nullptr, DWORD style = 0);

    static RECT WindowRect(HWND hwnd);
    static RECT ClientRect(HWND hwnd);
    static DWORD Style(HWND hwnd, int which = GWL_STYLE) {
        return static_cast<DWORD>(Os().win.GetWindowLongA(hwnd, which));
    }
    // The frame that AdjustWindowRectEx puts around an empty client area.
    static RECT Frame(DWORD style, DWORD exStyle);
    static std::string Text(HWND hwnd);
    // All top-level windows in EnumWindows order.
    static std::vector<HWND> TopLevelWindows();

    ContractOs m_os;

private:
    std::vector<HWND> m_windows;
};

inline int Width(const RECT& r) { return r.right - r.left; }
inline int Height(const RECT& r) { return r.bottom - r.top; }
// "left,top,right,bottom", for comparing whole rectangles.
inline std::string Str(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}
