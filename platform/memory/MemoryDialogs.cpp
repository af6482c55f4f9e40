// Dialogs, message boxes, strings and menus of the in-memory backend, made
// from the templates tests give it.
#include <algorithm>
#include <utility>

#include "platform/Wnd.h"
#include "platform/memory/MemoryOs.h"

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
    // The template places the client area, in the owner's client area unless
    // the dialog aligns to the screen.
    POINT origin{0, 0};
    if ((style & (DS_ABSALIGN | WS_CHILD)) == 0 && parent != nullptr) {
        ClientToScreen(parent, &origin);
    }
    RECT outer{origin.x, origin.y, origin.x + tmpl.cxClient, origin.y + tmpl.cyClient};
    // The window is made for the client area in the frame of the screen's scale.
    AdjustWindowRectExForDpi(&outer, style, FALSE, tmpl.exStyle, NearestMonitor(outer).dpi);
    if ((style & WS_CHILD) == 0) {
        // Moved onto its monitor's work area as far as it fits, its top-left corner first.
        const RECT work = WorkAreaOf(NearestMonitor(outer));
        const LONG dx = std::max<LONG>(std::min<LONG>(0, work.right - outer.right), work.left - outer.left);
        const LONG dy = std::max<LONG>(std::min<LONG>(0, work.bottom - outer.bottom), work.top - outer.top);
        outer = RECT{outer.left + dx, outer.top + dy, outer.right + dx, outer.bottom + dy};
    }
    const DWORD createStyle = style & ~WS_VISIBLE;
    const HWND hwnd = CreateWindowExA(tmpl.exStyle, "#32770", tmpl.caption.c_str(), createStyle, outer.left, outer.top,
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
    const HWND first = NextTabItem(hwnd, nullptr, false);
    if (SendMessageA(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), 0) != 0 && first != nullptr) {
        SetFocus(first);
    }
    // As Windows does for a dialog: its keyboard cues follow the last input.
    if (IsWindow(hwnd) && (style & WS_CHILD) == 0) {
        SendMessageA(hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
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
    return RunModal(hwnd, parent, m_modalIdle, -1);
}

INT_PTR MemoryOs::RunModal(HWND hwnd, HWND owner, const std::function<void()>& idle, INT_PTR unanswered) {
    // The owner takes no input while its modal window runs; the desktop is nobody's owner.
    Window* ownerWindow = owner != m_desktop ? Find(owner) : nullptr;
    const bool disableOwner = ownerWindow != nullptr && (ownerWindow->style & WS_DISABLED) == 0;
    if (disableOwner) {
        ownerWindow->style |= WS_DISABLED;
    }
    while (IsWindow(hwnd) && !Find(hwnd)->dialogEnded) {
        if (DeliverNext()) {
            continue;
        }
        // The dialog manager shows a modal dialog once its queue first runs empty.
        Find(hwnd)->style |= WS_VISIBLE;
        if (idle) {
            idle();
        }
        if (IsWindow(hwnd) && !Find(hwnd)->dialogEnded && m_posted.empty()) {
            EndDialog(hwnd, unanswered);
        }
    }
    INT_PTR result = -1;
    if (disableOwner && Find(owner) != nullptr) {
        Find(owner)->style &= ~WS_DISABLED;
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

int MemoryOs::MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
    m_messageBoxes.push_back({owner, text != nullptr ? text : "", caption != nullptr ? caption : "", type});
    return RunMessageBox(owner, caption != nullptr ? caption : "Error");
}

int MemoryOs::RunMessageBox(HWND owner, const std::string& caption) {
    // A dialog of the system's, without an object of the program's: its
    // buttons end it through the default processing of WM_COMMAND.
    const HWND box = MakeWindow(0, "#32770", caption.c_str(), WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU,
                                RECT{312, 300, 712, 420}, owner != m_desktop ? owner : nullptr, 0, nullptr);
    if (box == nullptr) {
        return 0;
    }
    Find(box)->dialog = true;
    bool shown = false;
    const auto look = [this, box, &shown] {
        if (!std::exchange(shown, true) && m_messageBoxHook) {
            m_messageBoxHook(box);
        }
    };
    return static_cast<int>(RunModal(box, owner, look, IDOK));
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
    // One pop-up menu at a time, as on Windows.
    if (it == m_menus.end() || !IsWindow(owner) || m_menuOwner != nullptr) {
        return FALSE;
    }
    const Menu shown = it->second;
    m_menuShowings.push_back({owner, x, y, flags, shown.items, shown.checks});
    // The menu's loop delivers what was posted, as it comes, to every window.
    m_menuOwner = owner;
    m_bMenuCancelled = false;
    PumpMessages();
    if (m_menuOpenHook && !m_bMenuCancelled && IsWindow(owner)) {
        m_menuOpenHook();
    }
    PumpMessages();
    m_menuOwner = nullptr;
    const UINT choice = std::exchange(m_menuChoice, 0);
    if (m_bMenuCancelled || !IsWindow(owner)) {
        return TRUE;
    }
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

BOOL MemoryOs::InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id, const char* text) {
    auto it = m_menus.find(menu);
    // Only by position, as the program inserts.
    if (it == m_menus.end() || (flags & MF_BYPOSITION) == 0 || Fails("InsertMenuA")) {
        return FALSE;
    }
    std::vector<MemoryMenuItem>& items = it->second.items;
    const auto at = items.begin() + static_cast<std::ptrdiff_t>(std::min<size_t>(position, items.size()));
    const bool separator = (flags & MF_SEPARATOR) != 0;
    items.insert(at, MemoryMenuItem{separator ? 0 : static_cast<UINT>(id), separator || text == nullptr ? "" : text});
    return TRUE;
}
