// The window system of the in-memory backend.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

#include "platform/Wnd.h"
#include "platform/memory/MemoryOs.h"

namespace {

// SetWindowPos tells WM_WINDOWPOSCHANGED when the client area kept its size
// or place, so that the default processing sends WM_SIZE and WM_MOVE only on
// a real change.
constexpr UINT SWP_NOCLIENTSIZE = 0x0800;
constexpr UINT SWP_NOCLIENTMOVE = 0x1000;

template <typename Char>
int CopyText(const std::basic_string<Char>& text, Char* buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    const int length = std::min(static_cast<int>(text.size()), size - 1);
    std::copy(text.begin(), text.begin() + length, buffer);
    buffer[length] = 0;
    return length;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

bool Contains(const RECT& rect, POINT pt) {
    return pt.x >= rect.left && pt.x < rect.right && pt.y >= rect.top && pt.y < rect.bottom;
}

}  // namespace

MemoryOs::MemoryOs()
    : m_services{*this, *this, *this, *this, *this},
      m_metrics{{SM_CXSCREEN, 1024}, {SM_CYSCREEN, 768},  {SM_CXVSCROLL, 17},   {SM_CYHSCROLL, 17},
                {SM_CYCAPTION, 19},  {SM_CYMENU, 19},     {SM_CYSMCAPTION, 16}, {SM_CXBORDER, 1},
                {SM_CYBORDER, 1},    {SM_CXDLGFRAME, 3},  {SM_CYDLGFRAME, 3},   {SM_CXFRAME, 4},
                {SM_CYFRAME, 4},     {SM_CXDOUBLECLK, 4}, {SM_CYDOUBLECLK, 4},  {SM_SWAPBUTTON, 0}},
      m_sysColors{{COLOR_BTNFACE, RGB(192, 192, 192)}} {
    m_desktop = NewHandle();
    Window desktop;
    desktop.className = "#32769";
    desktop.style = WS_POPUP | WS_VISIBLE;
    desktop.rect = RECT{0, 0, 1024, 768};
    m_windows[m_desktop] = desktop;
    // Keys every Windows installation has.
    for (const char* key : {"HKCU", "HKCU\\SOFTWARE", "HKLM", "HKLM\\SOFTWARE", "HKLM\\SOFTWARE\\MICROSOFT",
                            "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS", "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION",
                            "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN"}) {
        m_registry[key];
    }
}

MemoryOs::~MemoryOs() = default;

bool MemoryOs::Fails(const std::string& function) {
    auto it = m_failures.find(function);
    if (it == m_failures.end()) {
        return false;
    }
    Failure& failure = it->second;
    if (failure.skip > 0) {
        --failure.skip;
        return false;
    }
    if (failure.times == 0) {
        return false;
    }
    if (failure.times > 0) {
        --failure.times;
    }
    return true;
}

void MemoryOs::FailCall(const std::string& function, int times, int skip) { m_failures[function] = {times, skip}; }

MemoryOs::Window* MemoryOs::Find(HWND hwnd) {
    auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? nullptr : &it->second;
}

const MemoryOs::Window* MemoryOs::Find(HWND hwnd) const {
    auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? nullptr : &it->second;
}

HWND MemoryOs::NewHandle() {
    m_nextHandle += 4;
    return reinterpret_cast<HWND>(m_nextHandle);
}

void MemoryOs::SetScreenSize(int cx, int cy) {
    m_metrics[SM_CXSCREEN] = cx;
    m_metrics[SM_CYSCREEN] = cy;
    m_windows[m_desktop].rect = RECT{0, 0, cx, cy};
}

void MemoryOs::ChangeDisplaySize(int cx, int cy) {
    SetScreenSize(cx, cy);
    for (HWND hwnd : TopLevelZOrder()) {
        SendMessageA(hwnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(static_cast<unsigned>(cx), static_cast<unsigned>(cy)));
    }
}

void MemoryOs::SetMetric(int index, int value) {
    if (index == SM_CXSCREEN || index == SM_CYSCREEN) {
        const int cx = index == SM_CXSCREEN ? value : m_metrics[SM_CXSCREEN];
        const int cy = index == SM_CYSCREEN ? value : m_metrics[SM_CYSCREEN];
        SetScreenSize(cx, cy);
        return;
    }
    m_metrics[index] = value;
}

void MemoryOs::ClearLogs() {
    m_appBarCalls.clear();
    m_windowPosCalls.clear();
    m_updates.clear();
    m_invalidations.clear();
    m_gdiCalls.clear();
    m_shellExecutes.clear();
    m_messageBoxes.clear();
    m_menuShowings.clear();
    m_sleeps.clear();
    m_registryChanges.clear();
}

std::map<std::string, int> MemoryOs::LiveObjects() const {
    return {{"GDI objects", LiveGdiObjects()},
            {"menus", LiveMenus()},
            {"windows", static_cast<int>(m_windows.size())},
            {"registry keys", LiveRegistryKeys()},
            {"network enumerations", LiveEnumerations()},
            {"timers", static_cast<int>(m_timers.size())},
            {"global memory blocks", LiveGlobalBlocks()},
            {"drop file lists (global memory)", LiveDropHandles()},
            {"item ID lists", LiveItemLists()},
            {"drop targets", LiveDropTargets()},
            {"tooltip tools", LiveToolTipTools()}};
}

std::vector<HWND> MemoryOs::Children(HWND parent) const {
    std::vector<HWND> children;
    for (const auto& [hwnd, window] : m_windows) {
        if (window.parent == parent && hwnd != m_desktop) {
            children.push_back(hwnd);
        }
    }
    return children;
}

bool MemoryOs::IsTimerRunning(HWND hwnd, UINT_PTR id, UINT* elapse) const {
    for (const Timer& timer : m_timers) {
        if (timer.hwnd == hwnd && timer.id == id) {
            if (elapse != nullptr) {
                *elapse = timer.elapse;
            }
            return true;
        }
    }
    return false;
}

RECT MemoryOs::FrameInsets(DWORD style, DWORD exStyle) const {
    // As Wine lays frames out: a sizing frame is one border narrower than
    // SM_CXFRAME unless the window also has a border, as a captioned one does.
    int edge = 0;
    if ((style & WS_THICKFRAME) != 0) {
        edge = m_metrics.at(SM_CXFRAME) - m_metrics.at(SM_CXBORDER) +
               ((style & WS_BORDER) != 0 ? m_metrics.at(SM_CXBORDER) : 0);
    } else if ((style & WS_DLGFRAME) != 0) {
        edge = m_metrics.at(SM_CXDLGFRAME);
    } else if ((style & WS_BORDER) != 0) {
        edge = m_metrics.at(SM_CXBORDER);
    }
    int caption = 0;
    if ((style & WS_CAPTION) == WS_CAPTION) {
        caption = (exStyle & WS_EX_TOOLWINDOW) != 0 ? m_metrics.at(SM_CYSMCAPTION) : m_metrics.at(SM_CYCAPTION);
    }
    return RECT{edge, edge + caption, edge, edge};
}

RECT MemoryOs::ClientRectOnScreen(const Window& window) const {
    RECT outer{};
    // A child's rectangle is kept in its parent's client coordinates.
    if (window.parent != nullptr) {
        const Window* parent = Find(window.parent);
        const RECT parentClient = parent != nullptr ? ClientRectOnScreen(*parent) : RECT{0, 0, 0, 0};
        outer = RECT{window.rect.left + parentClient.left, window.rect.top + parentClient.top,
                     window.rect.right + parentClient.left, window.rect.bottom + parentClient.top};
    } else {
        outer = window.rect;
    }
    const RECT insets = FrameInsets(window.frameStyle, window.exStyle);
    RECT client{outer.left + insets.left, outer.top + insets.top, outer.right - insets.right,
                outer.bottom - insets.bottom};
    client.right = std::max(client.right, client.left);
    client.bottom = std::max(client.bottom, client.top);
    return client;
}

void MemoryOs::RemoveFromZOrder(HWND hwnd) {
    m_zOrder.erase(std::remove(m_zOrder.begin(), m_zOrder.end(), hwnd), m_zOrder.end());
}

void MemoryOs::PlaceInZOrder(HWND hwnd, HWND insertAfter) {
    Window* window = Find(hwnd);
    if (window == nullptr || window->parent != nullptr) {
        return;
    }
    auto firstNonTopmost = [this]() {
        return std::find_if(m_zOrder.begin(), m_zOrder.end(),
                            [this](HWND h) { return (Find(h)->exStyle & WS_EX_TOPMOST) == 0; });
    };
    if (insertAfter == HWND_NOTOPMOST && (window->exStyle & WS_EX_TOPMOST) == 0) {
        return;  // already in the ordinary band: no change
    }
    RemoveFromZOrder(hwnd);
    if (insertAfter == HWND_TOPMOST) {
        window->exStyle |= WS_EX_TOPMOST;
        m_zOrder.insert(m_zOrder.begin(), hwnd);
    } else if (insertAfter == HWND_NOTOPMOST) {
        window->exStyle &= ~WS_EX_TOPMOST;
        m_zOrder.insert(firstNonTopmost(), hwnd);
    } else if (insertAfter == HWND_BOTTOM) {
        window->exStyle &= ~WS_EX_TOPMOST;
        m_zOrder.push_back(hwnd);
    } else if (insertAfter == HWND_TOP) {
        m_zOrder.insert((window->exStyle & WS_EX_TOPMOST) != 0 ? m_zOrder.begin() : firstNonTopmost(), hwnd);
    } else {
        auto it = std::find(m_zOrder.begin(), m_zOrder.end(), insertAfter);
        if (it == m_zOrder.end()) {
            m_zOrder.insert(firstNonTopmost(), hwnd);
        } else {
            if ((Find(insertAfter)->exStyle & WS_EX_TOPMOST) == 0) {
                window->exStyle &= ~WS_EX_TOPMOST;
            }
            m_zOrder.insert(it + 1, hwnd);
        }
    }
}

HWND MemoryOs::CreateForeignWindow(const std::string& className, const std::string& text, DWORD style, DWORD exStyle,
                                   RECT rect) {
    return CreateWindowExA(exStyle, className.c_str(), text.c_str(), style, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, nullptr, 0, nullptr);
}

HWND MemoryOs::CreateWindowExA(DWORD exStyle, const char* className, const char* text, DWORD style, int x, int y,
                               int cx, int cy, HWND parent, UINT id, CWnd* object) {
    if (Fails("CreateWindowExA") || (parent != nullptr && Find(parent) == nullptr)) {
        return nullptr;
    }
    const HWND hwnd = NewHandle();
    Window window;
    window.className = className != nullptr ? className : "";
    window.text = WideFromAnsi(text != nullptr ? text : "");
    window.style = style;
    window.frameStyle = style;
    window.exStyle = exStyle;
    window.rect = RECT{x, y, x + cx, y + cy};
    window.parent = (style & WS_CHILD) != 0 ? parent : nullptr;
    window.owner = (style & WS_CHILD) == 0 ? parent : nullptr;
    window.id = (style & WS_CHILD) != 0 ? static_cast<int>(id) : 0;
    window.object = object;
    m_windows[hwnd] = window;
    if (window.parent == nullptr) {
        PlaceInZOrder(hwnd, (exStyle & WS_EX_TOPMOST) != 0 ? HWND_TOPMOST : HWND_TOP);
    }
    if (object != nullptr) {
        object->m_hWnd = hwnd;
    }
    CREATESTRUCTA create{nullptr, nullptr,   nullptr, parent, cy, cx, y, x, static_cast<LONG>(style),
                         text,    className, exStyle};
    if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) ||
        SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    RECT client{};
    GetClientRect(hwnd, &client);
    SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    return IsWindow(hwnd) ? hwnd : nullptr;
}

HWND MemoryOs::CreateDialogWindow(UINT templateId, HWND parent, CWnd* dialog) {
    auto it = m_dialogs.find(templateId);
    if (it == m_dialogs.end()) {
        return nullptr;
    }
    const MemoryDialogTemplate& tmpl = it->second;
    DWORD style = tmpl.style;
    // As on Windows, a control-style dialog has neither caption nor system menu.
    if ((style & DS_CONTROL) != 0) {
        style &= ~(WS_CAPTION | WS_SYSMENU);
    }
    RECT outer{0, 0, tmpl.cxClient, tmpl.cyClient};
    AdjustWindowRectEx(&outer, style, FALSE, tmpl.exStyle);
    const DWORD createStyle = style & ~WS_VISIBLE;
    const HWND hwnd = CreateWindowExA(tmpl.exStyle, "#32770", tmpl.caption.c_str(), createStyle, 0, 0,
                                      outer.right - outer.left, outer.bottom - outer.top, parent, 0, dialog);
    if (hwnd == nullptr) {
        return nullptr;
    }
    Find(hwnd)->dialog = true;
    const HFONT dialogFont = reinterpret_cast<HFONT>(static_cast<std::uintptr_t>(0xF0F0));
    Find(hwnd)->font = dialogFont;
    for (const MemoryControlTemplate& control : tmpl.controls) {
        const HWND child =
            CreateWindowExA(0, control.className.c_str(), control.text.c_str(), control.style, control.rect.left,
                            control.rect.top, control.rect.right - control.rect.left,
                            control.rect.bottom - control.rect.top, hwnd, static_cast<UINT>(control.id), nullptr);
        if (child != nullptr) {
            Find(child)->font = dialogFont;
        }
    }
    // The dialog manager offers the first enabled tab stop, and gives it the
    // focus when the dialog answers TRUE.
    HWND first = nullptr;
    for (HWND child : Children(hwnd)) {
        const Window* control = Find(child);
        if (first == nullptr &&
            (control->style & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED)) == (WS_TABSTOP | WS_VISIBLE)) {
            first = child;
        }
    }
    if (SendMessageA(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), 0) != 0 && first != nullptr) {
        m_focus = first;
    }
    if (Window* window = Find(hwnd); window != nullptr && (style & WS_VISIBLE) != 0) {
        window->style |= WS_VISIBLE;
    }
    return IsWindow(hwnd) ? hwnd : nullptr;
}

INT_PTR MemoryOs::DialogBoxParamA(UINT templateId, HWND parent, CWnd* dialog) {
    if (Fails("DialogBoxParamA")) {
        return -1;
    }
    const HWND hwnd = CreateDialogWindow(templateId, parent, dialog);
    if (hwnd == nullptr) {
        return -1;
    }
    // The owner takes no input while its modal dialog runs.
    Window* owner = Find(parent);
    const bool disableOwner = owner != nullptr && (owner->style & WS_DISABLED) == 0;
    if (disableOwner) {
        owner->style |= WS_DISABLED;
    }
    while (IsWindow(hwnd) && !Find(hwnd)->dialogEnded) {
        if (DeliverNext()) {
            continue;
        }
        if (m_modalIdle) {
            m_modalIdle();
        }
        if (IsWindow(hwnd) && !Find(hwnd)->dialogEnded && m_posted.empty()) {
            EndDialog(hwnd, -1);
        }
    }
    INT_PTR result = -1;
    if (disableOwner && Find(parent) != nullptr) {
        Find(parent)->style &= ~WS_DISABLED;
    }
    if (Window* window = Find(hwnd); window != nullptr) {
        result = window->dialogResult;
        DestroyWindow(hwnd);
    }
    return result;
}

HWND MemoryOs::CreateDialogParamA(UINT templateId, HWND parent, CWnd* dialog) {
    if (Fails("CreateDialogParamA")) {
        return nullptr;
    }
    return CreateDialogWindow(templateId, parent, dialog);
}

BOOL MemoryOs::EndDialog(HWND dialog, INT_PTR result) {
    Window* window = Find(dialog);
    if (window == nullptr || !window->dialog) {
        return FALSE;
    }
    window->dialogEnded = true;
    window->dialogResult = result;
    return TRUE;
}

BOOL MemoryOs::SubclassWindow(HWND hwnd, CWnd* object) {
    Window* window = Find(hwnd);
    if (window == nullptr || window->object != nullptr) {
        return FALSE;
    }
    window->object = object;
    return TRUE;
}

CWnd* MemoryOs::FromHandle(HWND hwnd) {
    Window* window = Find(hwnd);
    return window != nullptr ? window->object : nullptr;
}

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
                const int frame = FrameInsets(window->frameStyle, window->exStyle).left;
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

void MemoryOs::SendDestroy(HWND hwnd) {
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    for (HWND child : Children(hwnd)) {
        if (Find(child) != nullptr) {
            SendDestroy(child);
        }
    }
}

void MemoryOs::SendNcDestroy(HWND hwnd) {
    for (HWND child : Children(hwnd)) {
        if (Find(child) != nullptr) {
            SendNcDestroy(child);
        }
    }
    if (Find(hwnd) == nullptr) {
        return;
    }
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    m_windows.erase(hwnd);
    RemoveFromZOrder(hwnd);
    m_timers.erase(std::remove_if(m_timers.begin(), m_timers.end(), [hwnd](const Timer& t) { return t.hwnd == hwnd; }),
                   m_timers.end());
    m_appBars.erase(hwnd);
    m_toolTips.erase(hwnd);
    if (m_activeWindow == hwnd) {
        m_activeWindow = nullptr;
    }
}

BOOL MemoryOs::DestroyWindow(HWND hwnd) {
    if (Find(hwnd) == nullptr || hwnd == m_desktop) {
        return FALSE;
    }
    // As on Windows, owned windows go first.
    std::vector<HWND> owned;
    for (const auto& [other, window] : m_windows) {
        if (window.owner == hwnd) {
            owned.push_back(other);
        }
    }
    for (HWND other : owned) {
        DestroyWindow(other);
    }
    SendDestroy(hwnd);
    SendNcDestroy(hwnd);
    return TRUE;
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
    if (name == nullptr || *name == '\0') {
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

HWND MemoryOs::FindWindowA(const char* className, const char* windowName) {
    for (HWND hwnd : m_zOrder) {
        const Window& window = *Find(hwnd);
        if (className != nullptr && !EqualNoCase(window.className, className)) {
            continue;
        }
        if (windowName != nullptr && !EqualNoCase(AnsiFromWide(window.text), windowName)) {
            continue;
        }
        return hwnd;
    }
    return nullptr;
}

BOOL MemoryOs::EnumWindows(WNDENUMPROC proc, LPARAM lParam) {
    const std::vector<HWND> snapshot = m_zOrder;
    for (HWND hwnd : snapshot) {
        if (Find(hwnd) != nullptr && !proc(hwnd, lParam)) {
            return FALSE;
        }
    }
    return TRUE;
}

BOOL MemoryOs::IsWindow(HWND hwnd) { return hwnd != nullptr && Find(hwnd) != nullptr; }

HWND MemoryOs::GetParent(HWND hwnd) {
    const Window* window = Find(hwnd);
    return window != nullptr ? window->parent : nullptr;
}

HWND MemoryOs::GetDlgItem(HWND dialog, int id) {
    for (const auto& [hwnd, window] : m_windows) {
        if (window.parent == dialog && dialog != nullptr && window.id == id) {
            return hwnd;
        }
    }
    return nullptr;
}

int MemoryOs::GetDlgCtrlID(HWND hwnd) {
    const Window* window = Find(hwnd);
    return window != nullptr ? window->id : 0;
}

HWND MemoryOs::GetDesktopWindow() { return m_desktop; }

HWND MemoryOs::WindowFromPoint(POINT pt) {
    for (HWND hwnd : m_zOrder) {
        const Window& window = *Find(hwnd);
        if ((window.style & WS_VISIBLE) == 0 || !Contains(window.rect, pt)) {
            continue;
        }
        HWND found = hwnd;
        for (bool deeper = true; deeper;) {
            deeper = false;
            for (HWND child : Children(found)) {
                RECT rect{};
                GetWindowRect(child, &rect);
                if ((Find(child)->style & WS_VISIBLE) != 0 && Contains(rect, pt)) {
                    found = child;
                    deeper = true;
                    break;
                }
            }
        }
        return found;
    }
    return m_desktop;
}

int MemoryOs::GetClassNameA(HWND hwnd, char* buffer, int size) {
    const Window* window = Find(hwnd);
    if (window == nullptr || Fails("GetClassNameA")) {
        return 0;
    }
    return CopyText(window->className, buffer, size);
}

int MemoryOs::GetWindowTextA(HWND hwnd, char* buffer, int size) {
    const Window* window = Find(hwnd);
    if (window == nullptr) {
        if (buffer != nullptr && size > 0) {
            buffer[0] = '\0';
        }
        return 0;
    }
    return CopyText(AnsiFromWide(window->text), buffer, size);
}

int MemoryOs::GetWindowTextLengthA(HWND hwnd) {
    const Window* window = Find(hwnd);
    return window != nullptr ? static_cast<int>(AnsiFromWide(window->text).size()) : 0;
}

BOOL MemoryOs::SetWindowTextA(HWND hwnd, const char* text) {
    if (Find(hwnd) == nullptr) {
        return FALSE;
    }
    return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text != nullptr ? text : "")) != 0;
}

int MemoryOs::GetWindowTextW(HWND hwnd, WCHAR* buffer, int size) {
    const Window* window = Find(hwnd);
    if (window == nullptr) {
        if (buffer != nullptr && size > 0) {
            buffer[0] = 0;
        }
        return 0;
    }
    return CopyText(window->text, buffer, size);
}

int MemoryOs::GetWindowTextLengthW(HWND hwnd) {
    const Window* window = Find(hwnd);
    return window != nullptr ? static_cast<int>(window->text.size()) : 0;
}

// The model's messages carry 8-bit text, so the wide text is stored as the
// window's procedure would store it, without a WM_SETTEXT of its own.
BOOL MemoryOs::SetWindowTextW(HWND hwnd, const WCHAR* text) {
    Window* window = Find(hwnd);
    if (window == nullptr) {
        return FALSE;
    }
    window->text = text != nullptr ? text : L"";
    if (EqualNoCase(window->className, "Edit") && (window->style & ES_UPPERCASE) != 0) {
        std::transform(window->text.begin(), window->text.end(), window->text.begin(), UpperUnit);
    }
    return TRUE;
}

LONG MemoryOs::GetWindowLongA(HWND hwnd, int index) {
    const Window* window = Find(hwnd);
    if (window == nullptr) {
        return 0;
    }
    switch (index) {
        case GWL_STYLE:
            return static_cast<LONG>(window->style);
        case GWL_EXSTYLE:
            return static_cast<LONG>(window->exStyle);
        case GWL_ID:
            return window->id;
        default:
            return 0;
    }
}

LONG MemoryOs::SetWindowLongA(HWND hwnd, int index, LONG value) {
    Window* window = Find(hwnd);
    if (window == nullptr) {
        return 0;
    }
    const LONG previous = GetWindowLongA(hwnd, index);
    switch (index) {
        case GWL_STYLE:
            window->style = static_cast<DWORD>(value);
            break;
        case GWL_EXSTYLE:
            window->exStyle = static_cast<DWORD>(value);
            break;
        case GWL_ID:
            window->id = value;
            break;
        default:
            return 0;
    }
    return previous;
}

BOOL MemoryOs::GetWindowRect(HWND hwnd, RECT* rect) {
    const Window* window = Find(hwnd);
    if (window == nullptr || rect == nullptr) {
        return FALSE;
    }
    if (window->parent == nullptr) {
        *rect = window->rect;
        return TRUE;
    }
    const RECT parentClient = ClientRectOnScreen(*Find(window->parent));
    *rect = RECT{window->rect.left + parentClient.left, window->rect.top + parentClient.top,
                 window->rect.right + parentClient.left, window->rect.bottom + parentClient.top};
    return TRUE;
}

BOOL MemoryOs::GetClientRect(HWND hwnd, RECT* rect) {
    const Window* window = Find(hwnd);
    if (window == nullptr || rect == nullptr) {
        return FALSE;
    }
    const RECT client = ClientRectOnScreen(*window);
    *rect = RECT{0, 0, client.right - client.left, client.bottom - client.top};
    return TRUE;
}

BOOL MemoryOs::ClientToScreen(HWND hwnd, POINT* pt) {
    const Window* window = Find(hwnd);
    if (window == nullptr || pt == nullptr) {
        return FALSE;
    }
    const RECT client = ClientRectOnScreen(*window);
    pt->x += client.left;
    pt->y += client.top;
    return TRUE;
}

BOOL MemoryOs::ScreenToClient(HWND hwnd, POINT* pt) {
    const Window* window = Find(hwnd);
    if (window == nullptr || pt == nullptr) {
        return FALSE;
    }
    const RECT client = ClientRectOnScreen(*window);
    pt->x -= client.left;
    pt->y -= client.top;
    return TRUE;
}

BOOL MemoryOs::SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    Window* window = Find(hwnd);
    if (window == nullptr || hwnd == m_desktop) {
        return FALSE;
    }
    m_windowPosCalls.push_back({hwnd, insertAfter, x, y, cx, cy, flags});
    // As the system does, positions and sizes are held to 16 bits.
    x = std::clamp(x, -32768, 32767);
    y = std::clamp(y, -32768, 32767);
    cx = std::clamp(cx, 0, 32767);
    cy = std::clamp(cy, 0, 32767);
    RECT oldClient = ClientRectOnScreen(*window);
    RECT rect = window->rect;
    if ((flags & SWP_NOMOVE) == 0) {
        rect = RECT{x, y, x + (rect.right - rect.left), y + (rect.bottom - rect.top)};
    }
    if ((flags & SWP_NOSIZE) == 0) {
        // Sizable and overlapped windows are held to their tracking limits.
        if ((window->style & WS_THICKFRAME) != 0 || (window->style & (WS_POPUP | WS_CHILD)) == 0) {
            ClampToTracking(hwnd, &cx, &cy);
        }
        rect.right = rect.left + std::max(cx, 0);
        rect.bottom = rect.top + std::max(cy, 0);
    }
    if ((flags & SWP_FRAMECHANGED) != 0 || rect.right - rect.left != window->rect.right - window->rect.left ||
        rect.bottom - rect.top != window->rect.bottom - window->rect.top) {
        window->frameStyle = window->style;
    }
    window->rect = rect;
    if ((flags & SWP_SHOWWINDOW) != 0) {
        window->style |= WS_VISIBLE;
    }
    if ((flags & SWP_HIDEWINDOW) != 0) {
        window->style &= ~WS_VISIBLE;
    }
    if ((flags & SWP_NOZORDER) == 0) {
        PlaceInZOrder(hwnd, insertAfter);
    }
    const RECT newClient = ClientRectOnScreen(*window);
    UINT reported = flags;
    if ((flags & SWP_FRAMECHANGED) == 0 && newClient.right - newClient.left == oldClient.right - oldClient.left &&
        newClient.bottom - newClient.top == oldClient.bottom - oldClient.top) {
        reported |= SWP_NOCLIENTSIZE;
    }
    if (newClient.left == oldClient.left && newClient.top == oldClient.top) {
        reported |= SWP_NOCLIENTMOVE;
    }
    WINDOWPOS pos{hwnd, insertAfter, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, reported};
    SendMessageA(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    // Without SWP_NOACTIVATE a visible top-level window is activated too.
    if ((flags & SWP_NOACTIVATE) == 0 && (window->style & (WS_CHILD | WS_VISIBLE)) == WS_VISIBLE) {
        SetActiveWindow(hwnd);
    }
    return TRUE;
}

void MemoryOs::ClampToTracking(HWND hwnd, int* cx, int* cy) {
    const Window& window = *Find(hwnd);
    const RECT insets = FrameInsets(window.style, window.exStyle);
    const LONG frameWidth = insets.left + insets.right;
    const LONG frameHeight = insets.top + insets.bottom;
    MINMAXINFO info{};
    if ((window.style & WS_CAPTION) == WS_CAPTION) {
        info.ptMinTrackSize = POINT{112, 27};
    } else {
        info.ptMinTrackSize = POINT{frameWidth, frameHeight};
    }
    info.ptMaxTrackSize = POINT{m_metrics.at(SM_CXSCREEN) + 12, m_metrics.at(SM_CYSCREEN) + 12};
    SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    *cx = std::max<int>(info.ptMinTrackSize.x, std::min<int>(*cx, info.ptMaxTrackSize.x));
    *cy = std::max<int>(info.ptMinTrackSize.y, std::min<int>(*cy, info.ptMaxTrackSize.y));
}

BOOL MemoryOs::MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL) {
    return SetWindowPos(hwnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL MemoryOs::ShowWindow(HWND hwnd, int show) {
    Window* window = Find(hwnd);
    if (window == nullptr) {
        return FALSE;
    }
    const bool wasVisible = (window->style & WS_VISIBLE) != 0;
    // Minimised windows keep their rectangle here; only the state is modelled.
    constexpr int kShowMinNoActive = 7;
    constexpr int kForceMinimize = 11;
    if (show == SW_HIDE) {
        window->style &= ~WS_VISIBLE;
    } else {
        window->style |= WS_VISIBLE;
    }
    if (show == SW_MINIMIZE || show == SW_SHOWMINIMIZED || show == kShowMinNoActive || show == kForceMinimize) {
        window->style |= WS_MINIMIZE;
    } else if (show == SW_RESTORE || show == SW_SHOWNORMAL) {
        window->style &= ~WS_MINIMIZE;
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL MemoryOs::UpdateWindow(HWND hwnd) {
    m_updates.push_back(hwnd);
    return IsWindow(hwnd);
}

BOOL MemoryOs::InvalidateRect(HWND hwnd, const RECT*, BOOL erase) {
    m_invalidations.push_back({hwnd, erase != FALSE});
    return hwnd == nullptr || IsWindow(hwnd);
}

BOOL MemoryOs::AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
    if (rect == nullptr) {
        return FALSE;
    }
    const RECT insets = FrameInsets(style, exStyle);
    rect->left -= insets.left;
    rect->top -= insets.top + (menu ? m_metrics.at(SM_CYMENU) : 0);
    rect->right += insets.right;
    rect->bottom += insets.bottom;
    return TRUE;
}

HWND MemoryOs::GetActiveWindow() { return m_activeWindow; }

HWND MemoryOs::SetActiveWindow(HWND hwnd) {
    if (Find(hwnd) == nullptr) {
        return nullptr;
    }
    const HWND previous = m_activeWindow;
    if (previous == hwnd) {
        return previous;
    }
    m_activeWindow = hwnd;
    if (previous != nullptr) {
        SendMessageA(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hwnd));
    }
    SendMessageA(hwnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
    return previous;
}

DWORD MemoryOs::GetMessagePos() {
    return static_cast<DWORD>((static_cast<DWORD>(m_cursor.x) & 0xFFFF) |
                              ((static_cast<DWORD>(m_cursor.y) & 0xFFFF) << 16));
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

int MemoryOs::GetSystemMetrics(int index) {
    auto it = m_metrics.find(index);
    return it != m_metrics.end() ? it->second : 0;
}

BOOL MemoryOs::SystemParametersInfoA(UINT action, UINT, void* value, UINT) {
    if (value == nullptr) {
        return FALSE;
    }
    if (Fails("SystemParametersInfoA")) {
        // What a failed call leaves is no answer: fill it with one that a
        // program trusting it would get wrong.
        if (action == SPI_GETDRAGFULLWINDOWS) {
            *static_cast<BOOL*>(value) = TRUE;
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
    return FALSE;
}

DWORD MemoryOs::GetSysColor(int index) {
    auto it = m_sysColors.find(index);
    return it != m_sysColors.end() ? it->second : 0;
}

int MemoryOs::MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
    m_messageBoxes.push_back({owner, text != nullptr ? text : "", caption != nullptr ? caption : "", type});
    return IDOK;
}

int MemoryOs::LoadStringA(UINT id, char* buffer, int size) {
    auto it = m_strings.find(id);
    if (it == m_strings.end() || Fails("LoadStringA")) {
        if (buffer != nullptr && size > 0) {
            buffer[0] = '\0';
        }
        return 0;
    }
    return CopyText(it->second, buffer, size);
}

HMENU MemoryOs::LoadMenuA(UINT id) {
    auto it = m_menuResources.find(id);
    if (it == m_menuResources.end() || Fails("LoadMenuA")) {
        return nullptr;
    }
    const auto bar = reinterpret_cast<HMENU>(NewHandle());
    const auto popup = reinterpret_cast<HMENU>(NewHandle());
    m_menus[popup] = Menu{it->second, {}, nullptr};
    m_menus[bar] = Menu{{}, {}, popup};
    return bar;
}

HMENU MemoryOs::GetSubMenu(HMENU menu, int pos) {
    auto it = m_menus.find(menu);
    return it != m_menus.end() && pos == 0 ? it->second.subMenu : nullptr;
}

DWORD MemoryOs::CheckMenuItem(HMENU menu, UINT id, UINT check) {
    auto it = m_menus.find(menu);
    if (it == m_menus.end()) {
        return static_cast<DWORD>(-1);
    }
    // A check through the menu bar reaches the item in its pop-up, as on Windows.
    Menu& target = it->second.subMenu != nullptr ? m_menus[it->second.subMenu] : it->second;
    if (std::none_of(target.items.begin(), target.items.end(),
                     [id](const MemoryMenuItem& item) { return item.id == id && id != 0; })) {
        return static_cast<DWORD>(-1);
    }
    auto previous = target.checks.find(id);
    const DWORD result = previous != target.checks.end() ? previous->second : MF_UNCHECKED;
    target.checks[id] = check & MF_CHECKED;
    return result;
}

BOOL MemoryOs::TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) {
    auto it = m_menus.find(menu);
    if (it == m_menus.end() || !IsWindow(owner)) {
        return FALSE;
    }
    const Menu& shown = it->second;
    m_menuShowings.push_back({owner, x, y, flags, shown.items, shown.checks});
    if (m_menuOpenHook) {
        m_menuOpenHook();
    }
    const UINT choice = m_menuChoice;
    m_menuChoice = 0;
    if (choice != 0 && std::any_of(shown.items.begin(), shown.items.end(),
                                   [choice](const MemoryMenuItem& item) { return item.id == choice; })) {
        // The choice reaches the owner after the menu has closed.
        PostMessageA(owner, WM_COMMAND, MAKEWPARAM(choice, 0), 0);
    }
    return TRUE;
}

BOOL MemoryOs::DestroyMenu(HMENU menu) {
    auto it = m_menus.find(menu);
    if (it == m_menus.end()) {
        return FALSE;
    }
    if (it->second.subMenu != nullptr) {
        m_menus.erase(it->second.subMenu);
    }
    m_menus.erase(menu);
    return TRUE;
}
