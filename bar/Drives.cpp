#include "bar/Drives.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "platform/Os.h"
#include "resources/resource.h"

namespace {

constexpr DWORD kFirstEnumBufferSize = 1600;
constexpr int kMaxEnumBufferGrowths = 4;
constexpr DWORD kMaxEnumBufferSize = 1 << 20;

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// Closes a network enumeration on every way out.
class NetEnumeration {
public:
    NetEnumeration() {
        if (Os().sys.WNetOpenEnumA(RESOURCE_CONNECTED, RESOURCETYPE_DISK, 0, &m_handle) != ERROR_SUCCESS) {
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

// Copies `text` into the name buffer, cut to fit with its terminator.
void CopyName(char* name, const std::string& text) {
    const size_t length = std::min(text.size(), kDriveNameBufferSize - 1);
    std::memcpy(name, text.data(), length);
    name[length] = '\0';
}

}  // namespace

std::vector<char> ShownDriveLetters(DWORD mask, const std::string& skipDrives) {
    std::vector<char> letters;
    for (int i = 0; i < 26; ++i, mask >>= 1) {
        const char letter = static_cast<char>('A' + i);
        if ((mask & 1) != 0 && skipDrives.find(letter) == std::string::npos) {
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

std::string DriveRootFromCaption(const std::string& caption) {
    std::string root = caption;
    std::transform(root.begin(), root.end(), root.begin(), Upper);
    return root + '\\';
}

void GetDriveLabel(std::string& text) {
    const std::string root = text.substr(0, 3);
    char name[kDriveNameBufferSize] = {};
    switch (Os().sys.GetDriveTypeA(root.c_str())) {
        case DRIVE_REMOVABLE:
            text = "(floppy) " + text;
            break;
        case DRIVE_CDROM:
            text = "(CD-ROM) " + text;
            break;
        case DRIVE_FIXED: {
            DWORD flags = 0;
            if (Os().sys.GetVolumeInformationA(root.c_str(), name, sizeof(name), &flags)) {
                name[sizeof(name) - 1] = '\0';
                text = "(" + std::string(name) + ") " + text;
            }
            break;
        }
        case DRIVE_REMOTE:
            if (GetNetworkName(name, root.c_str())) {
                text = "(" + std::string(name) + ") " + text;
            }
            break;
        default:
            break;
    }
}

BOOL GetNetworkName(char* name, const char* path) {
    if (path == nullptr || path[0] == '\0' || path[1] != ':' || path[2] != '\\') {
        return FALSE;
    }
    const char letter = Upper(path[0]);
    if (letter < 'A' || letter > 'Z') {
        return FALSE;
    }
    NetEnumeration enumeration;
    if (enumeration.Get() == nullptr) {
        return FALSE;
    }
    // NETRESOURCEA entries hold pointers, so the buffer is kept aligned for them.
    std::vector<NETRESOURCEA> buffer(kFirstEnumBufferSize / sizeof(NETRESOURCEA) + 1);
    // A batch that wants more room than it had grows the buffer a few times
    // at most; one that asks for no more, or for too much, ends the search.
    for (int growths = 0; growths <= kMaxEnumBufferGrowths;) {
        DWORD count = 0xFFFFFFFF;
        const auto capacity = static_cast<DWORD>(buffer.size() * sizeof(NETRESOURCEA));
        DWORD size = capacity;
        const DWORD result = Os().sys.WNetEnumResourceA(enumeration.Get(), &count, buffer.data(), &size);
        if (result == static_cast<DWORD>(ERROR_MORE_DATA)) {
            if (size <= capacity || size > kMaxEnumBufferSize) {
                return FALSE;
            }
            buffer.resize(size / sizeof(NETRESOURCEA) + 1);
            ++growths;
            continue;
        }
        if (result != ERROR_SUCCESS || count == 0) {
            return FALSE;
        }
        for (DWORD i = 0; i < count && i < buffer.size(); ++i) {
            const NETRESOURCEA& resource = buffer[i];
            if (resource.lpLocalName != nullptr && Upper(resource.lpLocalName[0]) == letter) {
                std::string remote = resource.lpRemoteName != nullptr ? resource.lpRemoteName : "";
                remote += path + 2;
                std::transform(remote.begin(), remote.end(), remote.begin(), Upper);
                CopyName(name, remote);
                return TRUE;
            }
        }
    }
    return FALSE;
}
