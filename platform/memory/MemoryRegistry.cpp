// The in-memory registry: keys by path, typed values, strings kept as the
// system keeps them.
#include <cstring>

#include "platform/memory/MemoryOs.h"

std::string MemoryOs::NormaliseKey(HKEY root, const std::string& path) const {
    std::string base;
    if (root == HKEY_CURRENT_USER) {
        base = "HKCU";
    } else if (root == HKEY_LOCAL_MACHINE) {
        base = "HKLM";
    } else if (const std::string* open = KeyPath(root)) {
        base = *open;
    } else {
        return {};
    }
    return path.empty() ? base : base + "\\" + Upper(path);
}

const std::string* MemoryOs::KeyPath(HKEY key) const {
    auto it = m_openKeys.find(key);
    return it != m_openKeys.end() ? &it->second : nullptr;
}

LONG MemoryOs::RegOpenKeyExW(HKEY key, const WCHAR* subKey, REGSAM access, HKEY* result) {
    if (result == nullptr) {
        return 87;  // ERROR_INVALID_PARAMETER
    }
    if (Fails("RegOpenKeyExW")) {
        return ERROR_ACCESS_DENIED;
    }
    const std::string path = NormaliseKey(key, Utf8(subKey));
    if (path.empty()) {
        return ERROR_INVALID_HANDLE;
    }
    if (path != "HKCU" && path != "HKLM" && m_registry.count(path) == 0) {
        return ERROR_FILE_NOT_FOUND;
    }
    if ((access & KEY_SET_VALUE) != 0 && IsReadOnlyKey(path)) {
        return ERROR_ACCESS_DENIED;
    }
    *result = reinterpret_cast<HKEY>(NewHandle());
    m_openKeys[*result] = path;
    m_keyAccess[*result] = access;
    return ERROR_SUCCESS;
}

LONG MemoryOs::RegCreateKeyExW(HKEY key, const WCHAR* subKey, REGSAM access, HKEY* result) {
    if (result == nullptr) {
        return 87;  // ERROR_INVALID_PARAMETER
    }
    if (Fails("RegCreateKeyExW")) {
        return ERROR_ACCESS_DENIED;
    }
    const std::string path = NormaliseKey(key, Utf8(subKey));
    if (path.empty()) {
        return ERROR_INVALID_HANDLE;
    }
    // As on Windows, a new key needs a parent opened with the right to create subkeys.
    constexpr REGSAM kCreateSubKey = 0x0004;  // KEY_CREATE_SUB_KEY
    const bool denied = m_keyAccess.count(key) != 0 && (m_keyAccess.at(key) & kCreateSubKey) == 0;
    if (IsReadOnlyKey(path) || (denied && m_registry.count(path) == 0)) {
        return ERROR_ACCESS_DENIED;
    }
    for (size_t pos = path.find('\\'); pos != std::string::npos; pos = path.find('\\', pos + 1)) {
        m_registry[path.substr(0, pos)];
    }
    m_registry[path];
    *result = reinterpret_cast<HKEY>(NewHandle());
    m_openKeys[*result] = path;
    m_keyAccess[*result] = access;
    return ERROR_SUCCESS;
}

LONG MemoryOs::RegQueryValueExW(HKEY key, const WCHAR* name, DWORD* type, BYTE* data, DWORD* size) {
    const std::string* path = KeyPath(key);
    if (path == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    if (Fails("RegQueryValueExW")) {
        return ERROR_ACCESS_DENIED;
    }
    const auto& values = m_registry[*path];
    auto it = values.find(Upper(Utf8(name)));
    if (it == values.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    const RegistryValue& value = it->second;
    if (type != nullptr) {
        *type = value.type;
    }
    const auto length = static_cast<DWORD>(value.data.size());
    if (data == nullptr) {
        if (size != nullptr) {
            *size = length;
        }
        return ERROR_SUCCESS;
    }
    if (size == nullptr) {
        return 87;  // ERROR_INVALID_PARAMETER
    }
    if (*size < length) {
        *size = length;
        return ERROR_MORE_DATA;
    }
    std::copy(value.data.begin(), value.data.end(), data);
    *size = length;
    return ERROR_SUCCESS;
}

LONG MemoryOs::RegSetValueExW(HKEY key, const WCHAR* name, DWORD type, const BYTE* data, DWORD size) {
    const std::string* path = KeyPath(key);
    if (path == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    // As on Windows, a key opened without the right to set values refuses changes.
    if (Fails("RegSetValueExW") || IsReadOnlyKey(*path) || (m_keyAccess.at(key) & KEY_SET_VALUE) == 0) {
        return ERROR_ACCESS_DENIED;
    }
    m_registry[*path][Upper(Utf8(name))] =
        RegistryValue{type, std::vector<BYTE>(data, data + (data != nullptr ? size : 0))};
    m_registryChanges.push_back("set " + *path + "\\" + Upper(Utf8(name)));
    return ERROR_SUCCESS;
}

LONG MemoryOs::RegCloseKey(HKEY key) {
    if (key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE) {
        return ERROR_SUCCESS;
    }
    m_keyAccess.erase(key);
    return m_openKeys.erase(key) != 0 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

std::optional<MemoryOs::RegistryValue> MemoryOs::GetRegistryValue(HKEY root, const std::string& path,
                                                                  const std::string& name) const {
    auto key = m_registry.find(NormaliseKey(root, path));
    if (key == m_registry.end()) {
        return std::nullopt;
    }
    auto value = key->second.find(Upper(name));
    if (value == key->second.end()) {
        return std::nullopt;
    }
    return value->second;
}

void MemoryOs::SetRegistryValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                                std::vector<BYTE> data) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, Utf16FromUtf8(path).c_str(), KEY_WRITE, &key) == ERROR_SUCCESS) {
        RegSetValueExW(key, Utf16FromUtf8(name).c_str(), type, data.data(), static_cast<DWORD>(data.size()));
        RegCloseKey(key);
    }
}

// As the system keeps a string: in WCHARs, with its terminator.
void MemoryOs::SetRegistryString(HKEY root, const std::string& path, const std::string& name, const std::string& text) {
    const std::wstring wide = Utf16FromUtf8(text);
    const auto* bytes = reinterpret_cast<const BYTE*>(wide.c_str());
    SetRegistryValue(root, path, name, REG_SZ, std::vector<BYTE>(bytes, bytes + Units(wide) * sizeof(WCHAR)));
}

bool MemoryOs::RegistryKeyExists(HKEY root, const std::string& path) const {
    return m_registry.count(NormaliseKey(root, path)) != 0;
}
