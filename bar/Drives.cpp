#include "bar/Drives.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/Os.h"
#include "resources/resource.h"

namespace {

constexpr DWORD kFirstEnumBufferSize = 1600;
constexpr int kMaxEnumBufferGrowths = 4;
constexpr DWORD kMaxEnumBufferSize = 1 << 20;

// Letters of other scripts stay as the share names them.
WCHAR UpperWide(WCHAR c) { return c >= L'a' && c <= L'z' ? static_cast<WCHAR>(c - L'a' + L'A') : c; }

// Closes a network enumeration on every way out.
class NetEnumeration {
public:
    NetEnumeration() {
        if (Os().sys.WNetOpenEnumW(RESOURCE_CONNECTED, RESOURCETYPE_DISK, 0, &m_handle) != ERROR_SUCCESS) {
            m_handle = nullptr;
        }
    }
    NetEnumeration(const NetEnumeration&) = delete;
    NetEnumeration& operator=(const NetEnumeration&) = delete;
    ~NetEnumeration() {
        if (m_handle != nullptr) {
            Os().sys.WNetCloseEnum(m_handle);
        }
    }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle = nullptr;
};

// `text` when it starts in `buffer` and ends there, else null: a provider
// that reports more entries than it wrote leaves pointers to anywhere.
const WCHAR* TextInBuffer(const WCHAR* text, const std::vector<NETRESOURCEW>& buffer) {
    const auto begin = reinterpret_cast<std::uintptr_t>(buffer.data());
    const auto end = begin + buffer.size() * sizeof(NETRESOURCEW);
    const auto at = reinterpret_cast<std::uintptr_t>(text);
    if (at < begin || at >= end) {
        return nullptr;
    }
    const WCHAR* const last = text + (end - at) / sizeof(WCHAR);
    return std::find(text, last, L'\0') != last ? text : nullptr;
}

// Copies `text` into the name buffer, cut to fit with its terminator.
void CopyName(WCHAR* name, const std::wstring& text) {
    const size_t length = CutLength(text, kDriveNameBufferSize - 1);
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length), name);
    name[length] = 0;
}

}  // namespace

std::vector<char> ShownDriveLetters(DWORD mask, const std::wstring& skipDrives) {
    std::vector<char> letters;
    for (int i = 0; i < 26; ++i, mask >>= 1) {
        const char letter = static_cast<char>('A' + i);
        if ((mask & 1) != 0 && skipDrives.find(static_cast<WCHAR>(letter)) == std::wstring::npos) {
            letters.push_back(letter);
        }
    }
    return letters;
}

UINT DriveBitmap(UINT driveType) {
    switch (driveType) {
        case DRIVE_REMOVABLE:
            return IDB_DRIVE_REMOVABLE;
        case DRIVE_REMOTE:
            return IDB_DRIVE_NETWORK;
        case DRIVE_CDROM:
            return IDB_DRIVE_CDROM;
        default:
            return IDB_DRIVE_FIXED;
    }
}

std::wstring DriveRoot(char letter) { return {static_cast<WCHAR>(letter), L':', L'\\'}; }

void GetDriveLabel(std::wstring& text) {
    const std::wstring root = text.substr(0, 3);
    WCHAR name[kDriveNameBufferSize] = {};
    switch (Os().sys.GetDriveTypeA(Narrow(root).c_str())) {
        case DRIVE_REMOVABLE:
            text = L"(floppy) " + text;
            break;
        case DRIVE_CDROM:
            text = L"(CD-ROM) " + text;
            break;
        case DRIVE_FIXED:
            if (Os().sys.GetVolumeInformationW(root.c_str(), name, kDriveNameBufferSize, nullptr)) {
                name[kDriveNameBufferSize - 1] = 0;
                text = L"(" + std::wstring(name) + L") " + text;
            }
            break;
        case DRIVE_REMOTE:
            if (GetNetworkName(name, root.c_str())) {
                text = L"(" + std::wstring(name) + L") " + text;
            }
            break;
        default:
            break;
    }
}

BOOL GetNetworkName(WCHAR* name, const WCHAR* path) {
    if (path == nullptr || path[0] == 0 || path[1] != L':' || path[2] != L'\\') {
        return FALSE;
    }
    const WCHAR letter = UpperWide(path[0]);
    if (letter < L'A' || letter > L'Z') {
        return FALSE;
    }
    NetEnumeration enumeration;
    if (enumeration.Get() == nullptr) {
        return FALSE;
    }
    // NETRESOURCEW entries hold pointers, so the buffer is kept aligned for them.
    std::vector<NETRESOURCEW> buffer(kFirstEnumBufferSize / sizeof(NETRESOURCEW) + 1);
    // A batch that wants more room than it had grows the buffer a few times
    // at most; one that asks for no more, or for too much, ends the search.
    for (int growths = 0; growths <= kMaxEnumBufferGrowths;) {
        DWORD count = 0xFFFFFFFF;
        const auto capacity = static_cast<DWORD>(buffer.size() * sizeof(NETRESOURCEW));
        DWORD size = capacity;
        const DWORD result = Os().sys.WNetEnumResourceW(enumeration.Get(), &count, buffer.data(), &size);
        if (result == static_cast<DWORD>(ERROR_MORE_DATA)) {
            if (size <= capacity || size > kMaxEnumBufferSize) {
                return FALSE;
            }
            buffer.resize(size / sizeof(NETRESOURCEW) + 1);
            ++growths;
            continue;
        }
        if (result != ERROR_SUCCESS || count == 0) {
            return FALSE;
        }
        // Only the entries the buffer holds are read, however many are reported.
        for (DWORD i = 0; i < count && i < buffer.size(); ++i) {
            const WCHAR* const local = TextInBuffer(buffer[i].lpLocalName, buffer);
            if (local != nullptr && UpperWide(local[0]) == letter) {
                const WCHAR* const remoteName = TextInBuffer(buffer[i].lpRemoteName, buffer);
                std::wstring remote = remoteName != nullptr ? remoteName : L"";
                remote += path + 2;
                std::transform(remote.begin(), remote.end(), remote.begin(), UpperWide);
                CopyName(name, remote);
                return TRUE;
            }
        }
    }
    return FALSE;
}
