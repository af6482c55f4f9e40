#include "dialogs/SystemInfo.h"

#include <cstdio>

#include "platform/WinApp.h"
#include "resources/resource.h"

namespace {

// The format with its "%lu" replaced by the number: the count may pass 32 bits.
std::string WithCount(const std::string& format, ULONGLONG count) {
    std::string text = format;
    const size_t at = text.find("%lu");
    if (at != std::string::npos) {
        text.replace(at, 3, std::to_string(count));
    }
    return text;
}

template <typename Value>
std::string Printed(UINT formatId, Value value) {
    const std::string format = LoadResourceString(formatId);
    if (format.empty()) {
        return {};
    }
    char buffer[1024] = {};
    const int length = std::snprintf(buffer, sizeof(buffer), format.c_str(), value);
    return length > 0 ? std::string(buffer) : std::string();
}

}  // namespace

std::string FormatByteSize(double bytes) {
    if (bytes < 1024.0) {
        return Printed(IDS_SIZE_BYTES, static_cast<long>(bytes));
    }
    if (bytes < 1048576.0) {
        return Printed(IDS_SIZE_KB, bytes / 1024);
    }
    if (bytes > 1073741824.0) {
        return Printed(IDS_SIZE_GB, bytes / 1073741824);
    }
    return Printed(IDS_SIZE_MB, bytes / 1048576);
}

std::string MemoryLine(ULONGLONG availableBytes) {
    return WithCount(LoadResourceString(IDS_MEMORY_FREE), availableBytes >> 10);
}

std::string DiskLineFromFreeBytes(ULONGLONG freeBytes) {
    const std::string format = LoadResourceString(IDS_DISK_FREE);
    const size_t at = format.find("%lu K");
    const size_t tail = (at == std::string::npos ? 0 : at) + 6;
    return FormatByteSize(static_cast<double>(freeBytes)) + (tail < format.size() ? format.substr(tail) : "");
}

std::string DiskLineFromClusters(DWORD sectorsPerCluster, DWORD bytesPerSector, DWORD freeClusters) {
    const ULONGLONG bytes = static_cast<ULONGLONG>(freeClusters) * bytesPerSector * sectorsPerCluster;
    return WithCount(LoadResourceString(IDS_DISK_FREE), bytes >> 10);
}

std::string ReadMemoryLine() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!Os().sys.GlobalMemoryStatusEx(&status)) {
        return LoadResourceString(IDS_DISK_UNAVAILABLE);
    }
    return MemoryLine(status.ullAvailPhys);
}

std::wstring CurrentDriveRoot() {
    WCHAR directory[1025] = {};
    const DWORD length = Os().sys.GetCurrentDirectoryW(1024, directory);
    // The first three characters of a drive-letter path are its root, such as D:\.
    return length > 0 && length < 1024 ? std::wstring(directory, length).substr(0, 3) : std::wstring();
}

std::string DiskLine(const VolumeAnswer* volume) {
    if (volume != nullptr && volume->bSpace) {
        const std::string line = DiskLineFromFreeBytes(volume->totalFree);
        if (!line.empty()) {
            return line;
        }
    }
    if (volume != nullptr && volume->bClusters) {
        return DiskLineFromClusters(volume->sectorsPerCluster, volume->bytesPerSector, volume->freeClusters);
    }
    return LoadResourceString(IDS_DISK_UNAVAILABLE);
}
