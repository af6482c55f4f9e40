// Threads, ejecting drives and the shell's size format.
#include <shlwapi.h>
// clang-format off
#include <winioctl.h>
#include <setupapi.h>
// clang-format on

#include <memory>
#include <string>
#include <vector>

#include "platform/win32/Win32Os.h"

namespace {

DWORD WINAPI RunThread(void* parameter) {
    const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
    (*work)();
    return 0;
}

// A file or device handle, closed on every way out.
class OwnedFile {
public:
    explicit OwnedFile(HANDLE handle) : m_handle(handle) {}
    OwnedFile(const OwnedFile&) = delete;
    OwnedFile& operator=(const OwnedFile&) = delete;
    ~OwnedFile() {
        if (Valid()) {
            ::CloseHandle(m_handle);
        }
    }
    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// A library loaded for one ejection: these are seldom needed, and a worker
// may load them while another does.
class Library {
public:
    explicit Library(const char* name) : m_module(::LoadLibraryA(name)) {}
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library() {
        if (m_module != nullptr) {
            ::FreeLibrary(m_module);
        }
    }
    template <typename Function>
    Function Get(const char* name) const {
        const FARPROC proc = m_module != nullptr ? ::GetProcAddress(m_module, name) : nullptr;
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
    }

private:
    HMODULE m_module;
};

// The device of the volume at a root such as "E:\": "\\.\E:".
std::wstring VolumePath(const WCHAR* root) { return std::wstring(L"\\\\.\\") + root[0] + L":"; }

bool IsDriveRoot(const WCHAR* root) {
    return root != nullptr && ((root[0] >= L'A' && root[0] <= L'Z') || (root[0] >= L'a' && root[0] <= L'z')) &&
           root[1] == L':';
}

bool StorageNumber(const WCHAR* path, STORAGE_DEVICE_NUMBER* number) {
    const OwnedFile device(
        ::CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    DWORD bytes = 0;
    return device.Valid() && ::DeviceIoControl(device.Get(), IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, number,
                                               sizeof(*number), &bytes, nullptr) != FALSE;
}

// The disk and floppy interfaces (GUID_DEVINTERFACE_DISK, GUID_DEVINTERFACE_FLOPPY).
constexpr GUID kDiskInterfaces[] = {
    {0x53f56307, 0xb6bf, 0x11d0, {0x94, 0xf2, 0x00, 0xa0, 0xc9, 0x1e, 0xfb, 0x8b}},
    {0x53f56311, 0xb6bf, 0x11d0, {0x94, 0xf2, 0x00, 0xa0, 0xc9, 0x1e, 0xfb, 0x8b}},
};

// The device instance of the disk that holds the volume, found among the
// present disks by its storage number; 0 when there is none.
DEVINST DiskOfVolume(const STORAGE_DEVICE_NUMBER& volume) {
    const Library setupapi("setupapi.dll");
    using GetClassDevs = HDEVINFO(WINAPI*)(const GUID*, const WCHAR*, HWND, DWORD);
    using EnumInterfaces = BOOL(WINAPI*)(HDEVINFO, SP_DEVINFO_DATA*, const GUID*, DWORD, SP_DEVICE_INTERFACE_DATA*);
    using InterfaceDetail = BOOL(WINAPI*)(HDEVINFO, SP_DEVICE_INTERFACE_DATA*, SP_DEVICE_INTERFACE_DETAIL_DATA_W*,
                                          DWORD, DWORD*, SP_DEVINFO_DATA*);
    using DestroyList = BOOL(WINAPI*)(HDEVINFO);
    const auto getClassDevs = setupapi.Get<GetClassDevs>("SetupDiGetClassDevsW");
    const auto enumInterfaces = setupapi.Get<EnumInterfaces>("SetupDiEnumDeviceInterfaces");
    const auto interfaceDetail = setupapi.Get<InterfaceDetail>("SetupDiGetDeviceInterfaceDetailW");
    const auto destroyList = setupapi.Get<DestroyList>("SetupDiDestroyDeviceInfoList");
    if (getClassDevs == nullptr || enumInterfaces == nullptr || interfaceDetail == nullptr || destroyList == nullptr) {
        return 0;
    }
    for (const GUID& kind : kDiskInterfaces) {
        const HDEVINFO devices = getClassDevs(&kind, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        if (devices == INVALID_HANDLE_VALUE) {
            continue;
        }
        DEVINST found = 0;
        SP_DEVICE_INTERFACE_DATA item{};
        item.cbSize = sizeof(item);
        for (DWORD index = 0; found == 0 && enumInterfaces(devices, nullptr, &kind, index, &item); ++index) {
            DWORD size = 0;
            interfaceDetail(devices, &item, nullptr, 0, &size, nullptr);
            // Kept aligned as the structure wants it.
            std::vector<SP_DEVICE_INTERFACE_DETAIL_DATA_W> detail(size / sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) + 1);
            detail[0].cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
            SP_DEVINFO_DATA device{};
            device.cbSize = sizeof(device);
            STORAGE_DEVICE_NUMBER number{};
            if (size != 0 && interfaceDetail(devices, &item, detail.data(), size, nullptr, &device) &&
                StorageNumber(detail[0].DevicePath, &number) && number.DeviceType == volume.DeviceType &&
                number.DeviceNumber == volume.DeviceNumber) {
                found = device.DevInst;
            }
        }
        destroyList(devices);
        if (found != 0) {
            return found;
        }
    }
    return 0;
}

}  // namespace

// ---- IShell ----

WCHAR* Win32Os::StrFormatByteSizeW(LONGLONG size, WCHAR* buffer, UINT bufferSize) {
    return ::StrFormatByteSizeW(size, buffer, bufferSize);
}

// ---- ISystem ----

HANDLE Win32Os::CreateThread(std::function<void()> work) {
    auto parameter = std::make_unique<std::function<void()>>(std::move(work));
    const HANDLE thread = ::CreateThread(nullptr, 0, RunThread, parameter.get(), 0, nullptr);
    if (thread != nullptr) {
        // The thread frees it.
        static_cast<void>(parameter.release());
    }
    return thread;
}

DWORD Win32Os::WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
    return ::WaitForMultipleObjects(count, handles, waitAll, milliseconds);
}

BOOL Win32Os::CloseHandle(HANDLE handle) { return ::CloseHandle(handle); }

DWORD Win32Os::EjectMedia(const WCHAR* root) {
    if (!IsDriveRoot(root)) {
        return ERROR_INVALID_PARAMETER;
    }
    const OwnedFile volume(::CreateFileW(VolumePath(root).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    DWORD bytes = 0;
    if (!volume.Valid() ||
        !::DeviceIoControl(volume.Get(), IOCTL_STORAGE_EJECT_MEDIA, nullptr, 0, nullptr, 0, &bytes, nullptr)) {
        return ::GetLastError();
    }
    return ERROR_SUCCESS;
}

DWORD Win32Os::RequestDeviceEject(const WCHAR* root, int* vetoType, WCHAR* vetoName, DWORD vetoNameSize) {
    *vetoType = PNP_VetoTypeUnknown;
    STORAGE_DEVICE_NUMBER volume{};
    if (!IsDriveRoot(root) || !StorageNumber(VolumePath(root).c_str(), &volume)) {
        return CR_NO_SUCH_DEVNODE;
    }
    const DEVINST disk = DiskOfVolume(volume);
    const Library cfgmgr32("cfgmgr32.dll");
    using GetParent = CONFIGRET(WINAPI*)(DEVINST*, DEVINST, ULONG);
    using RequestEject = CONFIGRET(WINAPI*)(DEVINST, PNP_VETO_TYPE*, WCHAR*, ULONG, ULONG);
    const auto getParent = cfgmgr32.Get<GetParent>("CM_Get_Parent");
    const auto requestEject = cfgmgr32.Get<RequestEject>("CM_Request_Device_EjectW");
    if (disk == 0 || getParent == nullptr || requestEject == nullptr) {
        return CR_NO_SUCH_DEVNODE;
    }
    // The disk's parent is the device that goes: the stick, the card reader.
    DEVINST device = 0;
    if (getParent(&device, disk, 0) != CR_SUCCESS) {
        device = disk;
    }
    PNP_VETO_TYPE veto = PNP_VetoTypeUnknown;
    const CONFIGRET result = requestEject(device, &veto, vetoName, vetoNameSize, 0);
    *vetoType = static_cast<int>(veto);
    return result;
}
