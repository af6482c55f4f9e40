// Dialogs, message boxes, strings and menus of the in-memory backend, made
// from the templates tests give it.
#include <algorithm>

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
        // The dialog manager shows a modal dialog once its queue first runs empty.
        Find(hwnd)->style |= WS_VISIBLE;
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
