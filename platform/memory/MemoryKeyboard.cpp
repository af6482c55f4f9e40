// The keyboard in the in-memory window system: the focus and the foreground
// window, hotkeys, the dialog manager's navigation, the keyboard cues, and
// what a screen reader reads of a window.
#include <algorithm>

#include "platform/Wnd.h"
#include "platform/memory/MemoryOs.h"

namespace {

constexpr WORD kCues = UISF_HIDEFOCUS | UISF_HIDEACCEL;
constexpr WORD kUiStateActive = 0x4;  // UISF_ACTIVE
constexpr LPARAM kAltDown = 1 << 29;
constexpr LPARAM kKeyUp = (1 << 30) | (1U << 31);

bool IsArrow(WPARAM vk) {
    return vk == static_cast<WPARAM>(VK_LEFT) || vk == static_cast<WPARAM>(VK_RIGHT) ||
           vk == static_cast<WPARAM>(VK_UP) || vk == static_cast<WPARAM>(VK_DOWN);
}

// The character TranslateMessage makes of a key, or 0.
WCHAR CharacterOf(int vk, UINT modifiers) {
    const bool shift = (modifiers & MOD_SHIFT) != 0;
    if ((modifiers & MOD_CONTROL) != 0) {
        return vk >= 'A' && vk <= 'Z' ? static_cast<WCHAR>(vk - 'A' + 1) : 0;
    }
    if (vk >= 'A' && vk <= 'Z') {
        return static_cast<WCHAR>(shift ? vk : vk - 'A' + 'a');
    }
    if (vk >= '0' && vk <= '9') {
        return static_cast<WCHAR>(vk);
    }
    switch (vk) {
        case VK_RETURN:
            return L'\r';
        case VK_ESCAPE:
            return 0x1B;
        case VK_TAB:
            return L'\t';
        case VK_BACK:
            return L'\b';
        case VK_SPACE:
            return L' ';
        default:
            return 0;
    }
}

// Keys of the navigation block and the like, which a hotkey control marks as extended.
bool IsExtendedKey(int vk) {
    return (vk >= VK_PRIOR && vk <= VK_DOWN) || vk == VK_INSERT || vk == VK_DELETE || vk == VK_DIVIDE ||
           vk == VK_NUMLOCK || vk == VK_LWIN || vk == VK_RWIN || vk == VK_APPS;
}

bool IsModifierKey(int vk) { return vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU; }

}  // namespace

HWND MemoryOs::TopLevelOf(HWND hwnd) const {
    const Window* window = Find(hwnd);
    while (window != nullptr && window->parent != nullptr) {
        hwnd = window->parent;
        window = Find(hwnd);
    }
    return window != nullptr ? hwnd : nullptr;
}

bool MemoryOs::IsForeign(HWND hwnd) const {
    const Window* window = Find(hwnd);
    return window != nullptr && window->foreign;
}

// ------------------------------------------------ focus and foreground ----

HWND MemoryOs::SetFocus(HWND hwnd) {
    const HWND previous = Focus();
    if (hwnd == nullptr) {
        m_focus = nullptr;
        if (previous != nullptr) {
            SendMessageA(previous, WM_KILLFOCUS, 0, 0);
        }
        return previous;
    }
    if (Find(hwnd) == nullptr) {
        return nullptr;
    }
    // The window's top-level window is activated first, which may itself move the focus.
    if (const HWND top = TopLevelOf(hwnd); top != m_activeWindow) {
        SetActiveWindow(top);
    }
    const HWND before = Focus();
    if (before == hwnd || Find(hwnd) == nullptr) {
        return previous;
    }
    m_focus = hwnd;
    if (before != nullptr) {
        SendMessageA(before, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    }
    if (m_focus == hwnd && Find(hwnd) != nullptr) {
        SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(before), 0);
        m_winEvents.push_back({EVENT_OBJECT_FOCUS, hwnd, OBJID_CLIENT, CHILDID_SELF});
    }
    return previous;
}

HWND MemoryOs::GetFocus() {
    // Another program's focus is no window of this thread's.
    const HWND focus = Focus();
    return IsForeign(focus) ? nullptr : focus;
}

BOOL MemoryOs::SetForegroundWindow(HWND hwnd) {
    const HWND top = TopLevelOf(hwnd);
    if (top == nullptr || Fails("SetForegroundWindow")) {
        return FALSE;
    }
    // A program may give the foreground away while it has it, but take it
    // only while the user works in it: its window got the last input.
    const bool ours = m_activeWindow == nullptr || !IsForeign(m_activeWindow);
    if (top != m_activeWindow && !ours && !m_bInputToProgram) {
        return FALSE;
    }
    SetActiveWindow(top);
    return TRUE;
}

void MemoryOs::UserActivates(HWND hwnd) {
    m_bLastInputKeyboard = false;
    m_bInputToProgram = !IsForeign(hwnd);
    SetActiveWindow(TopLevelOf(hwnd));
}

// -------------------------------------------------------------- hotkeys ----

BOOL MemoryOs::RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT vk) {
    if (Find(hwnd) == nullptr || Fails("RegisterHotKey")) {
        return FALSE;
    }
    const UINT wanted = modifiers & ~MOD_NOREPEAT;
    // A combination belongs to one registration of one program at a time.
    if (std::any_of(m_hotKeys.begin(), m_hotKeys.end(),
                    [&](const HotKey& key) { return key.modifiers == wanted && key.vk == vk; })) {
        return FALSE;
    }
    // Registering an id again keeps the combination it had: both come.
    m_hotKeys.push_back({hwnd, id, wanted, vk});
    return TRUE;
}

BOOL MemoryOs::UnregisterHotKey(HWND hwnd, int id) {
    const auto before = m_hotKeys.size();
    m_hotKeys.erase(std::remove_if(m_hotKeys.begin(), m_hotKeys.end(),
                                   [&](const HotKey& key) { return key.hwnd == hwnd && key.id == id; }),
                    m_hotKeys.end());
    return m_hotKeys.size() != before ? TRUE : FALSE;
}

// ------------------------------------------------------------------ keys ----

void MemoryOs::PressKey(int vk) {
    m_bLastInputKeyboard = true;
    UINT modifiers = 0;
    const std::pair<int, UINT> held[] = {
        {VK_CONTROL, MOD_CONTROL}, {VK_MENU, MOD_ALT}, {VK_SHIFT, MOD_SHIFT}, {VK_LWIN, MOD_WIN}};
    for (const auto& [key, bit] : held) {
        modifiers |= GetKeyState(key) < 0 ? bit : 0;
    }
    for (const HotKey& key : m_hotKeys) {
        if (key.modifiers == modifiers && key.vk == static_cast<UINT>(vk)) {
            m_bInputToProgram = !IsForeign(key.hwnd);
            PostMessageA(key.hwnd, WM_HOTKEY, static_cast<WPARAM>(key.id), MAKELPARAM(modifiers, vk));
            return;
        }
    }
    const HWND target = Focus() != nullptr ? Focus() : m_activeWindow;
    if (target == nullptr) {
        return;
    }
    m_bInputToProgram = !IsForeign(target);
    const bool alt = (modifiers & MOD_ALT) != 0;
    const LPARAM flags = 1 | (alt ? kAltDown : 0);
    const bool system = alt || vk == VK_F10;
    // The dialog manager takes its keys whole; the others are translated
    // into their characters, which go to the same window.
    if (!IsDialogMessage(TopLevelOf(target), target, system ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, flags)) {
        SendMessageA(target, system ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(vk), flags);
        if (const WCHAR c = alt ? 0 : CharacterOf(vk, modifiers); c != 0) {
            DeliverKey(target, WM_CHAR, c, flags);
        }
    }
    const HWND up = Focus() != nullptr ? Focus() : m_activeWindow;
    DeliverKey(up, system ? WM_SYSKEYUP : WM_KEYUP, static_cast<WPARAM>(vk), flags | kKeyUp);
}

void MemoryOs::DeliverKey(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (Find(hwnd) != nullptr && !IsDialogMessage(TopLevelOf(hwnd), hwnd, msg, wParam, lParam)) {
        SendMessageA(hwnd, msg, wParam, lParam);
    }
}

bool MemoryOs::IsNavigable(HWND hwnd) const {
    const Window* window = Find(hwnd);
    return window != nullptr && (window->style & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE;
}

HWND MemoryOs::NextTabItem(HWND dialog, HWND from, bool previous) const {
    std::vector<HWND> stops;
    for (HWND child : Children(dialog)) {
        if (IsNavigable(child) && (Find(child)->style & WS_TABSTOP) != 0) {
            stops.push_back(child);
        }
    }
    if (stops.empty()) {
        return nullptr;
    }
    // From a control that is no tab stop, the search goes on from its place in the z-order.
    const std::vector<HWND> order = Children(dialog);
    const auto at = std::find(order.begin(), order.end(), from);
    if (at == order.end()) {
        return previous ? stops.back() : stops.front();
    }
    const auto n = static_cast<std::ptrdiff_t>(order.size());
    const std::ptrdiff_t start = at - order.begin();
    for (std::ptrdiff_t step = 1; step <= n; ++step) {
        const HWND candidate = order[static_cast<size_t>(((start + (previous ? -step : step)) % n + n) % n)];
        if (std::find(stops.begin(), stops.end(), candidate) != stops.end()) {
            return candidate;
        }
    }
    return nullptr;
}

HWND MemoryOs::NextGroupItem(HWND dialog, HWND from, bool previous) const {
    // The group is the run of controls from one with WS_GROUP to the next.
    const std::vector<HWND> order = Children(dialog);
    const auto at = std::find(order.begin(), order.end(), from);
    if (at == order.end()) {
        return nullptr;
    }
    auto first = at;
    while (first != order.begin() && (Find(*first)->style & WS_GROUP) == 0) {
        --first;
    }
    auto last = at + 1;
    while (last != order.end() && (Find(*last)->style & WS_GROUP) == 0) {
        ++last;
    }
    const std::vector<HWND> group(first, last);
    const auto n = static_cast<std::ptrdiff_t>(group.size());
    const std::ptrdiff_t start = std::find(group.begin(), group.end(), from) - group.begin();
    for (std::ptrdiff_t step = 1; step <= n; ++step) {
        const HWND candidate = group[static_cast<size_t>(((start + (previous ? -step : step)) % n + n) % n)];
        if (IsNavigable(candidate)) {
            return candidate;
        }
    }
    return from;
}

bool MemoryOs::IsDialogMessage(HWND dialog, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const Window* window = Find(dialog);
    if (window == nullptr || !window->dialog || msg != WM_KEYDOWN) {
        return false;
    }
    // The control has the first say, shown the message.
    MSG message{hwnd, msg, wParam, lParam, 0, POINT{0, 0}};
    const auto code = static_cast<UINT>(SendMessageA(hwnd, WM_GETDLGCODE, wParam, reinterpret_cast<LPARAM>(&message)));
    if ((code & DLGC_WANTMESSAGE) != 0) {
        return false;
    }
    const auto vk = static_cast<int>(wParam);
    if (vk == VK_TAB) {
        if ((code & DLGC_WANTTAB) != 0) {
            return false;
        }
        // The keyboard was used: the dialog shows its focus from then on.
        SendMessageA(dialog, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        SendMessageA(dialog, WM_NEXTDLGCTL, GetKeyState(VK_SHIFT) < 0 ? 1 : 0, 0);
        return true;
    }
    if (IsArrow(wParam)) {
        if ((code & DLGC_WANTARROWS) != 0) {
            return false;
        }
        const HWND next = NextGroupItem(dialog, hwnd, vk == VK_LEFT || vk == VK_UP);
        if (next != nullptr) {
            SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
        }
        return true;
    }
    if (vk == VK_ESCAPE) {
        SendMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(IDCANCEL),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        return true;
    }
    if (vk == VK_RETURN) {
        // The focused default button, else the dialog's default id, else IDOK.
        int id = IDOK;
        HWND button = nullptr;
        if ((code & DLGC_DEFPUSHBUTTON) != 0) {
            id = GetDlgCtrlID(hwnd);
            button = hwnd;
        } else {
            const LRESULT defId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
            id = HIWORD(static_cast<std::uintptr_t>(defId)) == DC_HASDEFID ? LOWORD(static_cast<std::uintptr_t>(defId))
                                                                           : IDOK;
            button = GetDlgItem(dialog, id);
            if (button != nullptr && !IsWindowEnabled(button)) {
                return true;
            }
        }
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        return true;
    }
    return false;
}

// What the default window procedure and the dialog manager's do.
bool MemoryOs::KeyboardProc(Window& window, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    *result = 0;
    switch (msg) {
        case WM_NEXTDLGCTL: {
            if (!window.dialog) {
                return false;
            }
            const HWND target = lParam != 0 ? reinterpret_cast<HWND>(wParam) : NextTabItem(hwnd, Focus(), wParam != 0);
            if (target == nullptr || TopLevelOf(target) != hwnd) {
                return true;
            }
            SetFocus(target);
            // A push button the keyboard reaches is the default one while it
            // has the focus; elsewhere the dialog's own default is.
            const int defId = window.defId;
            const auto code = static_cast<UINT>(SendMessageA(target, WM_GETDLGCODE, 0, 0));
            const bool pushTarget = (code & (DLGC_UNDEFPUSHBUTTON | DLGC_DEFPUSHBUTTON)) != 0;
            for (HWND child : Children(hwnd)) {
                Window* control = Find(child);
                const DWORD type = control->style & BS_TYPEMASK;
                if (!EqualNoCase(control->className, "Button") || (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON)) {
                    continue;
                }
                const bool isDefault = pushTarget ? child == target : control->id == defId;
                control->style = (control->style & ~BS_TYPEMASK) | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            }
            return true;
        }
        case DM_GETDEFID:
            if (!window.dialog) {
                return false;
            }
            *result = static_cast<LRESULT>(MAKELPARAM(static_cast<unsigned>(window.defId), DC_HASDEFID));
            return true;
        case DM_SETDEFID:
            if (!window.dialog) {
                return false;
            }
            window.defId = static_cast<int>(wParam);
            *result = TRUE;
            return true;
        case WM_ACTIVATE: {
            if ((window.style & WS_CHILD) != 0) {
                return false;
            }
            const HWND focus = Focus();
            if (LOWORD(wParam) == WA_INACTIVE) {
                // A dialog keeps the control that had the focus, to give it back.
                if (window.dialog && focus != nullptr && focus != hwnd && TopLevelOf(focus) == hwnd) {
                    window.savedFocus = focus;
                }
                return true;
            }
            if (focus != nullptr && TopLevelOf(focus) == hwnd) {
                return true;
            }
            HWND restore = hwnd;
            if (window.dialog) {
                restore = Find(window.savedFocus) != nullptr && TopLevelOf(window.savedFocus) == hwnd
                              ? window.savedFocus
                              : NextTabItem(hwnd, nullptr, false);
            }
            if (restore != nullptr) {
                SetFocus(restore);
            }
            return true;
        }
        case WM_CHANGEUISTATE: {
            WORD action = LOWORD(wParam);
            WORD flags = HIWORD(wParam);
            if (action < UIS_SET || action > UIS_INITIALIZE || (flags & ~(kCues | kUiStateActive)) != 0) {
                return true;
            }
            // Initialising follows the last input: hidden cues after the mouse,
            // unless the user keeps them on.
            if (action == UIS_INITIALIZE) {
                flags = kCues;
                action = m_bKeyboardCues || m_bLastInputKeyboard ? UIS_CLEAR : UIS_SET;
            }
            if ((window.style & WS_CHILD) != 0 && window.parent != nullptr) {
                *result = SendMessageA(window.parent, WM_CHANGEUISTATE, MAKEWPARAM(action, flags), lParam);
                return true;
            }
            const WORD state = action == UIS_SET ? window.uiState | flags : window.uiState & ~flags;
            if (state != window.uiState) {
                SendMessageA(hwnd, WM_UPDATEUISTATE, MAKEWPARAM(action, flags), lParam);
            }
            return true;
        }
        case WM_UPDATEUISTATE: {
            const WORD action = LOWORD(wParam);
            const WORD flags = HIWORD(wParam);
            if (action == UIS_SET) {
                window.uiState |= flags;
            } else if (action == UIS_CLEAR) {
                window.uiState &= ~flags;
            }
            for (HWND child : Children(hwnd)) {
                SendMessageA(child, WM_UPDATEUISTATE, wParam, lParam);
            }
            return true;
        }
        case WM_QUERYUISTATE:
            *result = window.uiState;
            return true;
        case WM_SYSKEYDOWN:
            // Shift+F10 asks for the window's menu, from the keyboard; Alt+F4 closes its top-level window.
            if (wParam == static_cast<WPARAM>(VK_F10) && GetKeyState(VK_SHIFT) < 0) {
                SendMessageA(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(0xFFFF, 0xFFFF));
            } else if (wParam == static_cast<WPARAM>(VK_F4) && (lParam & kAltDown) != 0) {
                SendMessageA(TopLevelOf(hwnd), WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            return true;
        case WM_KEYUP:
            // The menu key asks when it comes up.
            if (wParam == static_cast<WPARAM>(VK_APPS)) {
                PostMessageA(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(0xFFFF, 0xFFFF));
            }
            return true;
        default:
            return false;
    }
}

void MemoryOs::DrawOwnerButton(HWND hwnd, UINT action) {
    const Window* window = Find(hwnd);
    if (window == nullptr || window->parent == nullptr) {
        return;
    }
    const UINT state = (Focus() == hwnd ? ODS_FOCUS : 0) | (window->pushed ? ODS_SELECTED : 0) |
                       ((window->style & WS_DISABLED) != 0 ? ODS_DISABLED : 0) |
                       ((window->uiState & UISF_HIDEFOCUS) != 0 ? ODS_NOFOCUSRECT : 0);
    RECT rect{};
    GetClientRect(hwnd, &rect);
    const HDC dc = GetDC(hwnd);
    DRAWITEMSTRUCT item{ODT_BUTTON, static_cast<UINT>(window->id), 0, action, state, hwnd, dc, rect, 0};
    SendMessageA(window->parent, WM_DRAWITEM, static_cast<WPARAM>(window->id), reinterpret_cast<LPARAM>(&item));
    if (dc != nullptr) {
        ReleaseDC(hwnd, dc);
    }
}

bool MemoryOs::HotKeyControlProc(Window& window, HWND hwnd, UINT msg, WPARAM wParam, LPARAM, LRESULT* result) {
    *result = 0;
    switch (msg) {
        case HKM_SETHOTKEY:
            window.hotKey = LOWORD(wParam);
            return true;
        case HKM_GETHOTKEY:
            *result = window.hotKey;
            return true;
        case WM_GETDLGCODE:
            *result = DLGC_WANTCHARS | DLGC_WANTARROWS;
            return true;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            // A key with the modifiers held becomes the value; Backspace or
            // Delete alone empty it.
            const auto vk = static_cast<int>(wParam);
            if (IsModifierKey(vk)) {
                return true;
            }
            BYTE modifiers = 0;
            modifiers |= GetKeyState(VK_SHIFT) < 0 ? HOTKEYF_SHIFT : 0;
            modifiers |= GetKeyState(VK_CONTROL) < 0 ? HOTKEYF_CONTROL : 0;
            modifiers |= GetKeyState(VK_MENU) < 0 ? HOTKEYF_ALT : 0;
            const bool clears = modifiers == 0 && (vk == VK_BACK || vk == VK_DELETE);
            const auto value =
                clears ? WORD{0}
                       : static_cast<WORD>((vk & 0xFF) | ((modifiers | (IsExtendedKey(vk) ? HOTKEYF_EXT : 0)) << 8));
            if (value != window.hotKey) {
                window.hotKey = value;
                SendMessageA(window.parent, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(window.id), EN_CHANGE),
                             reinterpret_cast<LPARAM>(hwnd));
            }
            return true;
        }
        case WM_CHAR:
            return true;
        default:
            return false;
    }
}

// ------------------------------------------------------- accessibility ----

LRESULT MemoryOs::AnswerGetObject(HWND hwnd, WPARAM, LPARAM lParam) {
    CWnd* object = FromHandle(hwnd);
    AccessibleAnswers answers;
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || object == nullptr ||
        !object->GetAccessibleAnswers(hwnd, &answers) || Fails("LresultFromObject")) {
        return 0;
    }
    const LRESULT cookie = ++m_nextAccessible;
    m_accessibleObjects[cookie] = hwnd;
    return cookie;
}

void MemoryOs::NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild) {
    m_winEvents.push_back({event, hwnd, idObject, idChild});
}

MemoryOs::AccessibleRead MemoryOs::ReadAccessible(HWND hwnd) {
    AccessibleRead read;
    const Window* window = Find(hwnd);
    if (window == nullptr) {
        return read;
    }
    read.name = Utf8FromUtf16(window->text);
    read.role = ROLE_SYSTEM_CLIENT;
    const LRESULT answer = SendMessageA(hwnd, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
    const auto object = m_accessibleObjects.find(answer);
    if (object == m_accessibleObjects.end()) {
        return read;
    }
    m_accessibleObjects.erase(object);
    // The object asks the window at every question, so it reads what holds now.
    AccessibleAnswers answers;
    CWnd* owner = FromHandle(hwnd);
    if (owner == nullptr || !owner->GetAccessibleAnswers(hwnd, &answers)) {
        return read;
    }
    read.name = answers.name.empty() ? read.name : Utf8FromUtf16(answers.name);
    read.role = answers.role != 0 ? answers.role : read.role;
    read.defaultAction = Utf8FromUtf16(answers.defaultAction);
    read.description = Utf8FromUtf16(answers.description);
    return read;
}

bool MemoryOs::DoAccessibleDefaultAction(HWND hwnd) {
    if (ReadAccessible(hwnd).defaultAction.empty()) {
        return false;
    }
    // As the object does it: a click, once the reader's call has returned.
    PostMessageA(hwnd, BM_CLICK, 0, 0);
    return true;
}
