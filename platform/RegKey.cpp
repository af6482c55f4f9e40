#include "platform/RegKey.h"

#include <vector>

BOOL ReadRegistryString(HKEY key, const char* name, std::wstring* value) {
    const std::wstring wideName = Widen(name);
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (Os().reg.RegQueryValueExW(key, wideName.c_str(), &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) {
        return FALSE;
    }
    // A character more than stored, so a value written without its
    // terminator, or with an odd number of bytes, still ends in one.
    std::vector<WCHAR> buffer(static_cast<size_t>(size) / sizeof(WCHAR) + 2, 0);
    if (size > 0 && Os().reg.RegQueryValueExW(key, wideName.c_str(), &type, reinterpret_cast<BYTE*>(buffer.data()),
                                              &size) != ERROR_SUCCESS) {
        return FALSE;
    }
    buffer.resize(static_cast<size_t>(size) / sizeof(WCHAR) + 1, 0);
    buffer.back() = 0;
    value->assign(buffer.data());
    return TRUE;
}
