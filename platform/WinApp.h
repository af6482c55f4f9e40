// Framework application object: the start hook, the application name and
// the profile functions over the per-user registry.
#pragma once

#include <string>
#include <vector>

#include "platform/Os.h"

class CWinApp {
public:
    CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    // Runs the application: InitInstance, then the message loop if it asked
    // for one. Returns the process exit code.
    int Run();
    virtual BOOL InitInstance();

    // Profile under HKEY_CURRENT_USER\Software\<registry key>\<app name>\<section>.
    // Every access opens the keys afresh, creating them when missing.
    void SetRegistryKey(const char* company);
    std::wstring GetProfileString(const char* section, const char* entry, const std::wstring& defaultValue) const;
    UINT GetProfileInt(const char* section, const char* entry, int defaultValue) const;
    // TRUE with the stored bytes when the value exists.
    BOOL GetProfileBinary(const char* section, const char* entry, std::vector<BYTE>* data) const;
    BOOL WriteProfileString(const char* section, const char* entry, const std::wstring& value) const;
    BOOL WriteProfileInt(const char* section, const char* entry, int value) const;
    BOOL WriteProfileBinary(const char* section, const char* entry, const BYTE* data, UINT size) const;

    // The framework's help command from a dialog whose help context is
    // `context`; FALSE when the application has no help.
    virtual BOOL OnHelp(DWORD context);
    // Opens `topic` of the help page `file` next to the executable; when that
    // fails, says so in a message box and returns FALSE.
    BOOL WinHelp(const char* file, const char* topic);

    std::string m_strAppName;
    std::string m_strRegistryKey;

private:
    void EnsureAppName();
    HKEY OpenSectionKey(const char* section) const;
};

// The framework's help command, and the base of a dialog's help context.
constexpr UINT AFX_ID_HELP = 0xE146;
constexpr DWORD HID_BASE_RESOURCE = 0x20000;
constexpr UINT AFX_IDP_FAILED_TO_LAUNCH_HELP = 0xF107;

CWinApp* AfxGetApp();
// A string from the program's string table, or empty.
std::string LoadResourceString(UINT id);
