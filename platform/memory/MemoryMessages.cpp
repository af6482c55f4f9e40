// Messages in the in-memory window system: the default processing,
// sending, posting and the clock that drives timers, and the input state and
// system settings that messages read.
#include <algorithm>
#include <cctype>

#include "platform/Wnd.h"
#include "platform/memory/MemoryOs.h"

LRESULT MemoryOs::DefaultProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* window = Find(hwnd);
    if (window == nullptr) {
        return 0;
    }
    if (LRESULT result = 0; ShellWindowProc(hwnd, msg, wParam, lParam, &result)) {
        return result;
    }
    if (LRESULT result = 0; ControlProc(*window, hwnd, msg, wParam, lParam, &result)) {
        return result;
    }
    if (LRESULT result = 0; KeyboardProc(*window, hwnd, msg, wParam, lParam, &result)) {
        return result;
    }
    switch (msg) {
        case WM_NCCREATE:
            return TRUE;
        case WM_SETTEXT:
            window->text = WideFromAnsi(lParam != 0 ? reinterpret_cast<const char*>(lParam) : "");
            return TRUE;
        case WM_WINDOWPOSCHANGED: {
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
            if ((pos->flags & SWP_NOCLIENTMOVE) == 0) {
                RECT client{};
                GetClientRect(hwnd, &client);
                POINT origin{0, 0};
                ClientToScreen(hwnd, &origin);
                SendMessageA(hwnd, WM_MOVE, 0,
                             MAKELPARAM(static_cast<unsigned>(origin.x), static_cast<unsigned>(origin.y)));
            }
            if ((pos->flags & SWP_NOCLIENTSIZE) == 0) {
                RECT client{};
                GetClientRect(hwnd, &client);
                SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
            }
            return 0;
        }
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                SendMessageA(hwnd, WM_CLOSE, 0, 0);
            }
            return 0;
        case WM_CLOSE:
            if (window->dialog) {
                PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(IDCANCEL), BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDCANCEL)));
            } else {
                DestroyWindow(hwnd);
            }
            return 0;
        case WM_COMMAND:
            // A dialog of the system's own, such as a message box, ends with the button pressed.
            if (window->dialog && window->object == nullptr && HIWORD(wParam) == BN_CLICKED) {
                EndDialog(hwnd, LOWORD(wParam));
            }
            return 0;
        case WM_CANCELMODE:
            if (m_menuOwner == hwnd) {
                m_bMenuCancelled = true;
            }
            if (m_capture == hwnd) {
                ReleaseCapture();
            }
            return 0;
        case WM_SETFONT:
            window->font = reinterpret_cast<HFONT>(wParam);
            return 0;
        case WM_SETCURSOR:
            // The parent has the first say over its children's cursor.
            if ((window->style & WS_CHILD) != 0 && window->parent != nullptr) {
                return SendMessageA(window->parent, WM_SETCURSOR, wParam, lParam);
            }
            return FALSE;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(window->font);
        case WM_QUERYENDSESSION:
            return Fails("WM_QUERYENDSESSION") ? FALSE : TRUE;
        case WM_CONTEXTMENU:
            if (window->parent != nullptr) {
                return SendMessageA(window->parent, msg, wParam, lParam);
            }
            return 0;
        case WM_NCHITTEST: {
            const POINT pt{SignedLoWord(static_cast<std::uintptr_t>(lParam)),
                           SignedHiWord(static_cast<std::uintptr_t>(lParam))};
            RECT outer{};
            GetWindowRect(hwnd, &outer);
            if (!Contains(outer, pt)) {
                return HTNOWHERE;
            }
            const RECT client = ClientRectOnScreen(*window);
            if (Contains(client, pt)) {
                return HTCLIENT;
            }
            if ((window->style & WS_THICKFRAME) != 0) {
                const int frame = FrameInsets(window->frameStyle, window->exStyle, DpiOf(*window)).left;
                const bool left = pt.x < outer.left + frame;
                const bool right = pt.x >= outer.right - frame;
                const bool top = pt.y < outer.top + frame;
                const bool bottom = pt.y >= outer.bottom - frame;
                if (top) {
                    return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
                }
                if (bottom) {
                    return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
                }
                if (left) {
                    return HTLEFT;
                }
                if (right) {
                    return HTRIGHT;
                }
            }
            return pt.y < client.top && (window->style & WS_CAPTION) == WS_CAPTION ? HTCAPTION : HTBORDER;
        }
        default:
            return 0;
    }
}

int MemoryOs::RunMessageLoop() {
    PumpMessages();
    return 0;
}

LRESULT MemoryOs::SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* window = Find(hwnd);
    if (window == nullptr) {
        return 0;
    }
    if (window->object != nullptr) {
        return CWnd::Dispatch(window->object, hwnd, msg, wParam, lParam);
    }
    return DefaultProc(hwnd, msg, wParam, lParam);
}

BOOL MemoryOs::PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (Find(hwnd) == nullptr) {
        return FALSE;
    }
    m_posted.push_back({hwnd, msg, wParam, lParam});
    return TRUE;
}

bool MemoryOs::DeliverNext() {
    if (m_posted.empty()) {
        return false;
    }
    const Posted next = m_posted.front();
    m_posted.pop_front();
    SendMessageA(next.hwnd, next.msg, next.wParam, next.lParam);
    return true;
}

void MemoryOs::PumpMessages() {
    while (DeliverNext()) {
    }
}

void MemoryOs::AdvanceClock(DWORD milliseconds) {
    const DWORD end = m_tickCount + milliseconds;
    for (;;) {
        Timer* next = nullptr;
        for (Timer& timer : m_timers) {
            if (static_cast<int32_t>(timer.due - end) <= 0 &&
                (next == nullptr || static_cast<int32_t>(timer.due - next->due) < 0)) {
                next = &timer;
            }
        }
        if (next == nullptr) {
            break;
        }
        m_tickCount = next->due;
        next->due += std::max<UINT>(next->elapse, 1);
        PostMessageA(next->hwnd, WM_TIMER, next->id, 0);
        PumpMessages();
    }
    m_tickCount = end;
}

UINT MemoryOs::RegisterWindowMessageA(const char* name) {
    if (name == nullptr || *name == '\0' || Fails("RegisterWindowMessageA")) {
        return 0;
    }
    std::string key(name);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    auto it = m_registeredMessages.find(key);
    if (it != m_registeredMessages.end()) {
        return it->second;
    }
    const UINT id = 0xC000 + static_cast<UINT>(m_registeredMessages.size());
    m_registeredMessages[key] = id;
    return id;
}

DWORD MemoryOs::GetMessagePos() {
    const POINT pt = m_messagePos.value_or(m_cursor);
    return static_cast<DWORD>((static_cast<DWORD>(pt.x) & 0xFFFF) | ((static_cast<DWORD>(pt.y) & 0xFFFF) << 16));
}

BOOL MemoryOs::GetCursorPos(POINT* pt) {
    if (pt == nullptr) {
        return FALSE;
    }
    *pt = m_cursor;
    return TRUE;
}

SHORT MemoryOs::GetKeyState(int key) {
    auto it = m_keysDown.find(key);
    return it != m_keysDown.end() && it->second ? static_cast<SHORT>(0x8000) : 0;
}

SHORT MemoryOs::GetAsyncKeyState(int key) { return GetKeyState(key); }

UINT_PTR MemoryOs::SetTimer(HWND hwnd, UINT_PTR id, UINT elapse) {
    if (Find(hwnd) == nullptr || Fails("SetTimer")) {
        return 0;
    }
    KillTimer(hwnd, id);
    m_timers.push_back({hwnd, id, elapse, m_tickCount + elapse});
    return id;
}

BOOL MemoryOs::KillTimer(HWND hwnd, UINT_PTR id) {
    const auto before = m_timers.size();
    m_timers.erase(std::remove_if(m_timers.begin(), m_timers.end(),
                                  [hwnd, id](const Timer& t) { return t.hwnd == hwnd && t.id == id; }),
                   m_timers.end());
    return m_timers.size() != before;
}

int MemoryOs::GetSystemMetrics(int index) { return MetricAt(index, m_nSystemDpi); }

int MemoryOs::GetSystemMetricsForDpi(int index, UINT dpi) { return MetricAt(index, dpi); }

BOOL MemoryOs::SystemParametersInfoA(UINT action, UINT, void* value, UINT) {
    if (value == nullptr) {
        return FALSE;
    }
    if (Fails("SystemParametersInfoA")) {
        // What a failed call leaves is no answer: fill it with one that a
        // program trusting it would get wrong.
        if (action == SPI_GETDRAGFULLWINDOWS || action == SPI_GETKEYBOARDCUES) {
            *static_cast<BOOL*>(value) = TRUE;
        } else if (action == SPI_GETHIGHCONTRAST) {
            static_cast<HIGHCONTRASTA*>(value)->dwFlags = HCF_HIGHCONTRASTON;
        } else if (action == SPI_GETWORKAREA) {
            *static_cast<RECT*>(value) = RECT{-1, -1, -1, -1};
        }
        return FALSE;
    }
    if (action == SPI_GETDRAGFULLWINDOWS) {
        *static_cast<BOOL*>(value) = m_bDragFullWindows;
        return TRUE;
    }
    if (action == SPI_GETWORKAREA) {
        *static_cast<RECT*>(value) = WorkArea();
        return TRUE;
    }
    if (action == SPI_GETKEYBOARDCUES) {
        *static_cast<BOOL*>(value) = m_bKeyboardCues;
        return TRUE;
    }
    if (action == SPI_GETHIGHCONTRAST) {
        auto* contrast = static_cast<HIGHCONTRASTA*>(value);
        if (contrast->cbSize != sizeof(HIGHCONTRASTA)) {
            return FALSE;
        }
        contrast->dwFlags = m_bHighContrast ? HCF_HIGHCONTRASTON : 0;
        return TRUE;
    }
    return FALSE;
}

DWORD MemoryOs::GetSysColor(int index) {
    auto it = m_sysColors.find(index);
    return it != m_sysColors.end() ? it->second : 0;
}
