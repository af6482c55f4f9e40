#include "platform/WinApp.h"

#include <cstring>

#include "platform/RegKey.h"

namespace {

CWinApp* g_app = nullptr;

// The application title, which also names the application's profile key.
constexpr UINT AFX_IDS_APP_TITLE = 57344;
constexpr DWORD kMaxModulePath = 260;

}  // namespace

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

CWinApp* AfxGetApp() { return g_app; }

std::string LoadResourceString(UINT id) {
    char buffer[1024] = {};
    const int length = Os().win.LoadStringA(id, buffer, static_cast<int>(sizeof(buffer)));
    return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string();
}

void CWinApp::EnsureAppName() {
    if (m_strAppName.empty()) {
        m_strAppName = LoadResourceString(AFX_IDS_APP_TITLE);
    }
}

int CWinApp::Run() {
    EnsureAppName();
    return InitInstance() ? Os().win.RunMessageLoop() : 0;
}

BOOL CWinApp::InitInstance() { return FALSE; }

void CWinApp::SetRegistryKey(const char* company) {
    EnsureAppName();
    m_strRegistryKey = company;
}

HKEY CWinApp::OpenSectionKey(const char* section) const {
    RegKey software;
    if (Os().reg.RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", KEY_READ | KEY_WRITE, software.Receive()) !=
        ERROR_SUCCESS) {
        return nullptr;
    }
    RegKey company;
    RegKey app;
    RegKey sectionKey;
    if (Os().reg.RegCreateKeyExW(software.Get(), Widen(m_strRegistryKey).c_str(), KEY_READ | KEY_WRITE,
                                 company.Receive()) != ERROR_SUCCESS ||
        Os().reg.RegCreateKeyExW(company.Get(), Widen(m_strAppName).c_str(), KEY_READ | KEY_WRITE, app.Receive()) !=
            ERROR_SUCCESS ||
        Os().reg.RegCreateKeyExW(app.Get(), Widen(section).c_str(), KEY_READ | KEY_WRITE, sectionKey.Receive()) !=
            ERROR_SUCCESS) {
        return nullptr;
    }
    return sectionKey.Release();
}

std::wstring CWinApp::GetProfileString(const char* section, const char* entry, const std::wstring& defaultValue) const {
    RegKey key(OpenSectionKey(section));
    std::wstring value;
    if (key.Get() != nullptr && ReadRegistryString(key.Get(), entry, &value)) {
        return value;
    }
    return defaultValue;
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) const {
    RegKey key(OpenSectionKey(section));
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = REG_NONE;
    if (key.Get() != nullptr && Os().reg.RegQueryValueExW(key.Get(), Widen(entry).c_str(), &type,
                                                          reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS) {
        return value;
    }
    return static_cast<UINT>(defaultValue);
}

BOOL CWinApp::GetProfileBinary(const char* section, const char* entry, std::vector<BYTE>* data) const {
    RegKey key(OpenSectionKey(section));
    DWORD size = 0;
    DWORD type = REG_NONE;
    const std::wstring name = Widen(entry);
    if (key.Get() == nullptr ||
        Os().reg.RegQueryValueExW(key.Get(), name.c_str(), &type, nullptr, &size) != ERROR_SUCCESS) {
        return FALSE;
    }
    data->assign(size, 0);
    if (size > 0 && Os().reg.RegQueryValueExW(key.Get(), name.c_str(), &type, data->data(), &size) != ERROR_SUCCESS) {
        data->clear();
        return FALSE;
    }
    data->resize(size);
    return TRUE;
}

BOOL CWinApp::WriteProfileString(const char* section, const char* entry, const std::wstring& value) const {
    RegKey key(OpenSectionKey(section));
    const auto size = static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR));
    return key.Get() != nullptr &&
           Os().reg.RegSetValueExW(key.Get(), Widen(entry).c_str(), REG_SZ,
                                   reinterpret_cast<const BYTE*>(value.c_str()), size) == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value) const {
    RegKey key(OpenSectionKey(section));
    const auto stored = static_cast<DWORD>(value);
    return key.Get() != nullptr &&
           Os().reg.RegSetValueExW(key.Get(), Widen(entry).c_str(), REG_DWORD, reinterpret_cast<const BYTE*>(&stored),
                                   sizeof(stored)) == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileBinary(const char* section, const char* entry, const BYTE* data, UINT size) const {
    RegKey key(OpenSectionKey(section));
    return key.Get() != nullptr &&
           Os().reg.RegSetValueExW(key.Get(), Widen(entry).c_str(), REG_BINARY, data, size) == ERROR_SUCCESS;
}

BOOL CWinApp::OnHelp(DWORD) { return FALSE; }

namespace {

// A file URL: forward slashes, and the characters a URL reserves escaped.
// Other characters stay as they are, which the shell accepts in a file URL.
std::wstring FileUrl(const std::wstring& path) {
    std::wstring url = L"file:///";
    for (const WCHAR c : path) {
        if (c == L'\\') {
            url += L'/';
        } else if (c == L' ' || c == L'%' || c == L'#') {
            static const char hex[] = "0123456789ABCDEF";
            url += L'%';
            url += static_cast<WCHAR>(hex[(c >> 4) & 0xF]);
            url += static_cast<WCHAR>(hex[c & 0xF]);
        } else {
            url += c;
        }
    }
    return url;
}

}  // namespace

BOOL CWinApp::WinHelp(const char* file, const char* topic) {
    WCHAR module[kMaxModulePath] = {};
    const DWORD length = Os().sys.GetModuleFileNameW(module, kMaxModulePath);
    std::wstring path = length > 0 && length < kMaxModulePath ? std::wstring(module, length) : std::wstring();
    const size_t slash = path.find_last_of(L'\\');
    bool opened = false;
    if (slash != std::wstring::npos) {
        path = path.substr(0, slash + 1) + Widen(file);
        const DWORD attributes = Os().sys.GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            std::wstring url = FileUrl(path);
            if (topic != nullptr && *topic != '\0') {
                url += L"#" + Widen(topic);
            }
            opened = ShellExecuteSucceeded(Os().shell.ShellExecuteW(Os().win.GetActiveWindow(), L"open", url.c_str(),
                                                                    nullptr, nullptr, SW_SHOWNORMAL));
        }
    }
    if (!opened) {
        std::string text = LoadResourceString(AFX_IDP_FAILED_TO_LAUNCH_HELP);
        Os().win.MessageBoxA(Os().win.GetActiveWindow(), text.empty() ? "Failed to launch help." : text.c_str(),
                             m_strAppName.c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
    return opened ? TRUE : FALSE;
}
