#include "settings/HotKey.h"

#include "platform/WinApp.h"
#include "settings/Settings.h"

namespace {

constexpr BYTE kModifiers = HOTKEYF_SHIFT | HOTKEYF_CONTROL | HOTKEYF_ALT;

bool IsExtendedKey(UINT vk) {
    return (vk >= static_cast<UINT>(VK_PRIOR) && vk <= static_cast<UINT>(VK_DOWN)) ||
           vk == static_cast<UINT>(VK_INSERT) || vk == static_cast<UINT>(VK_DELETE) ||
           vk == static_cast<UINT>(VK_DIVIDE) || vk == static_cast<UINT>(VK_NUMLOCK);
}

}  // namespace

bool IsHotKey(WORD value) {
    const UINT vk = LOBYTE(value);
    const bool modifierKey =
        vk == static_cast<UINT>(VK_SHIFT) || vk == static_cast<UINT>(VK_CONTROL) || vk == static_cast<UINT>(VK_MENU);
    return vk != 0 && !modifierKey && (HIBYTE(value) & ~kModifiers) == 0;
}

WORD LoadHotKey() {
    const UINT stored = AfxGetApp()->GetProfileInt(kSettingsSection, kHotKeyEntry, kDefaultHotKey);
    if (stored == 0) {
        return 0;
    }
    return stored <= 0xFFFF && IsHotKey(static_cast<WORD>(stored)) ? static_cast<WORD>(stored) : kDefaultHotKey;
}

void SaveHotKey(WORD hotKey) { AfxGetApp()->WriteProfileInt(kSettingsSection, kHotKeyEntry, hotKey); }

WORD HotKeyControlValue(WORD hotKey) {
    const BYTE extended = IsExtendedKey(LOBYTE(hotKey)) ? HOTKEYF_EXT : 0;
    return MAKEWORD(LOBYTE(hotKey), HIBYTE(hotKey) | extended);
}

WORD StoredHotKey(WORD controlValue) {
    const WORD value = MAKEWORD(LOBYTE(controlValue), HIBYTE(controlValue) & kModifiers);
    return IsHotKey(value) ? value : 0;
}

UINT HotKeyModifiers(WORD hotKey) {
    const BYTE held = HIBYTE(hotKey);
    return MOD_NOREPEAT | ((held & HOTKEYF_SHIFT) != 0 ? MOD_SHIFT : 0) |
           ((held & HOTKEYF_CONTROL) != 0 ? MOD_CONTROL : 0) | ((held & HOTKEYF_ALT) != 0 ? MOD_ALT : 0);
}
