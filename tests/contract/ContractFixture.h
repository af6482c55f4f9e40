// The contract tests: what the program relies on from the window system, the
// registry and the resources, run natively against the in-memory model and,
// cross-built, against Windows itself (under Wine): the model cannot drift.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
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

inline int Width(const RECT& r) { return r.right - r.left; }
inline int Height(const RECT& r) { return r.bottom - r.top; }
// "left,top,right,bottom", for comparing whole rectangles.
inline std::string Str(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// A framework object that logs the messages it receives and leaves each to
// the default processing; it answers WM_GETMINMAXINFO with limits when set.
template <class Base>
class Recording : public Base {
public:
    using Base::Base;
    std::vector<UINT> m_messages;
    LPARAM m_lastSize = 0;
    bool m_bLimitTracking = false;
    POINT m_ptMinTrack{0, 0}, m_ptMaxTrack{0, 0};

    bool Received(UINT msg) const { return IndexOf(msg) >= 0; }
    // Position of the first msg in the log, or -1.
    int IndexOf(UINT msg) const {
        const auto it = std::find(m_messages.begin(), m_messages.end(), msg);
        return it == m_messages.end() ? -1 : static_cast<int>(it - m_messages.begin());
    }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        m_messages.push_back(msg);
        m_lastSize = msg == WM_SIZE ? lParam : m_lastSize;
        if (msg == WM_GETMINMAXINFO && m_bLimitTracking) {
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = m_ptMinTrack;
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMaxTrackSize = m_ptMaxTrack;
        }
        return Base::WindowProc(msg, wParam, lParam);
    }
};
using RecordingWnd = Recording<CWnd>;

class ContractTest : public ::testing::Test {
protected:
    ContractTest() {
        SetOs(&m_os.Services());
#ifdef VOSSEL_CONTRACT_MEMORY
        // The same resources as ContractResources.rc, in the model's terms.
        const DWORD dialogStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU |
                                  WS_THICKFRAME | DS_CONTROL | DS_SETFONT | DS_3DLOOK | DS_ABSALIGN;
        const DWORD buttonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;
        const MemoryControlTemplate button{IDC_CONTRACT_BUTTON, "Button", "", buttonStyle, RECT { 0, 0, 60, 33 }};
        m_os.AddDialogTemplate(IDD_CONTRACT_DIALOG, {"Vossel contract dialog", dialogStyle, WS_EX_TOOLWINDOW, 60, 33, {
                                                         button
                                                     }});
        m_os.AddDialogTemplate(IDD_CONTRACT_OWNED,
                               {"Vossel owned dialog", WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 90, 49, {}});
        m_os.AddString(IDS_CONTRACT_TEXT, "Contract text");
        m_os.AddMenu(IDR_CONTRACT_MENU, {{ID_CONTRACT_FIRST, "&First"}, { ID_CONTRACT_SECOND, "&Second" }});
#endif
    }
    ~ContractTest() override {
        for (const HWND hwnd : m_windows) {
            if (Os().win.IsWindow(hwnd)) {
                Os().win.DestroyWindow(hwnd);
            }
        }
        SetOs(nullptr);
    }

    // A top-level window of the framework class that the fixture destroys.
    HWND MakeWindow(DWORD style, DWORD exStyle = 0, RECT r = RECT{100, 80, 340, 240}, const char* text = "",
                    CWnd* object = nullptr) {
        m_windows.push_back(Os().win.CreateWindowExA(exStyle, kContractWindowClass, text, style, r.left, r.top,
                                                     Width(r), Height(r), nullptr, 0, object));
        return m_windows.back();
    }
    static HWND MakeChild(HWND parent, const char* className, UINT id, RECT r, CWnd* object = nullptr,
                          DWORD style = 0) {
        return Os().win.CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, r.left, r.top, Width(r),
                                        Height(r), parent, id, object);
    }
    static RECT Rect(HWND hwnd, BOOL (IWindowSystem::*get)(HWND, RECT*)) {
        RECT rect{0, 0, 0, 0};
        EXPECT_TRUE((Os().win.*get)(hwnd, &rect));
        return rect;
    }
    static RECT WindowRect(HWND hwnd) { return Rect(hwnd, &IWindowSystem::GetWindowRect); }
    static RECT ClientRect(HWND hwnd) { return Rect(hwnd, &IWindowSystem::GetClientRect); }
    static DWORD Style(HWND hwnd, int which = GWL_STYLE) {
        return static_cast<DWORD>(Os().win.GetWindowLongA(hwnd, which));
    }
    // The frame that AdjustWindowRectEx puts around an empty client area.
    static RECT Frame(DWORD style, DWORD exStyle) {
        RECT frame{0, 0, 0, 0};
        EXPECT_TRUE(Os().win.AdjustWindowRectEx(&frame, style, FALSE, exStyle));
        return frame;
    }
    static std::string Text(HWND hwnd) {
        char buffer[512] = {};
        const int length = Os().win.GetWindowTextA(hwnd, buffer, static_cast<int>(sizeof(buffer)));
        return std::string(buffer, static_cast<size_t>(std::max(length, 0)));
    }

    // A key pressed and let go with the keys `held` down, passed on as the
    // loop of a dialog run modally does: through the dialog manager of the
    // focus's dialog, else translated and dispatched.
    void Press(int vk, std::initializer_list<int> held = {}) {
#ifdef VOSSEL_CONTRACT_MEMORY
        for (const int key : held) {
            m_os.SetKeyDown(key, true);
        }
        m_os.PressKey(vk);
        for (const int key : held) {
            m_os.SetKeyDown(key, false);
        }
#else
        BYTE saved[256] = {};
        ::GetKeyboardState(saved);
        BYTE state[256] = {};
        for (const int key : held) {
            state[key] = 0x80;
        }
        ::SetKeyboardState(state);
        const bool alt = std::find(held.begin(), held.end(), VK_MENU) != held.end();
        const bool system = alt || vk == VK_F10;
        const LPARAM flags = 1 | (alt ? 1 << 29 : 0);
        Dispatch(system ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(vk), flags);
        Pump();
        Dispatch(system ? WM_SYSKEYUP : WM_KEYUP, static_cast<WPARAM>(vk), flags | (3 << 30));
        Pump();
        ::SetKeyboardState(saved);
#endif
    }
    // Delivers what is posted, as the loop does.
    void Pump() {
#ifdef VOSSEL_CONTRACT_MEMORY
        m_os.PumpMessages();
#else
        MSG msg{};
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            Deliver(&msg);
        }
#endif
    }

    // What a screen reader reads of a window's client object.
    struct Accessible {
        std::string name;
        LONG role = 0;
        std::string defaultAction;
    };
    Accessible ReadAccessible(HWND hwnd);

private:
#ifndef VOSSEL_CONTRACT_MEMORY
    static void Deliver(MSG* msg) {
        const HWND root = ::GetAncestor(msg->hwnd, GA_ROOT);
        char name[16] = {};
        ::GetClassNameA(root, name, sizeof(name));
        if (std::string(name) == "#32770" && ::IsDialogMessageA(root, msg)) {
            return;
        }
        ::TranslateMessage(msg);
        ::DispatchMessageA(msg);
    }
    static void Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
        const HWND target = ::GetFocus() != nullptr ? ::GetFocus() : ::GetActiveWindow();
        MSG msg{target, message, wParam, lParam, 0, { 0, 0 }};
        if (target != nullptr) {
            Deliver(&msg);
        }
    }
#endif

protected:
    ContractOs m_os;

private:
    std::vector<HWND> m_windows;
};
