#include "platform/RegKey.h"

#include <vector>

BOOL ReadRegistryString(HKEY key, const char* name, std::string* value) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (Os().reg.RegQueryValueExA(key, name, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) {
        return FALSE;
    }
    // One more byte than stored, so a value written without its terminator
    // still ends in one.
    std::vector<BYTE> buffer(static_cast<size_t>(size) + 1, 0);
    if (size > 0 && Os().reg.RegQueryValueExA(key, name, &type, buffer.data(), &size) != ERROR_SUCCESS) {
        return FALSE;
    }
    const char* text = reinterpret_cast<const char*>(buffer.data());
    value->assign(text, std::char_traits<char>::length(text));
    return TRUE;
}
