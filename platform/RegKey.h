// An open registry key that closes itself.
#pragma once

#include <string>

#include "platform/Os.h"

class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : m_hKey(key) {}
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() { Reset(); }

    HKEY Get() const { return m_hKey; }
    HKEY* Receive() {
        Reset();
        return &m_hKey;
    }
    HKEY Release() {
        const HKEY key = m_hKey;
        m_hKey = nullptr;
        return key;
    }
    void Reset() {
        if (m_hKey != nullptr) {
            Os().reg.RegCloseKey(m_hKey);
            m_hKey = nullptr;
        }
    }

private:
    HKEY m_hKey = nullptr;
};

// Reads a REG_SZ value whole, however long; FALSE when it is absent, of
// another type, or unreadable.
BOOL ReadRegistryString(HKEY key, const char* name, std::wstring* value);
