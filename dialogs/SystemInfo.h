// The About dialog's system information lines, made from the numbers the
// system reports and the formats of the string table.
#pragma once

#include <string>

#include "bar/VolumeQueries.h"
#include "platform/Os.h"

// "1000 bytes", "500 KB", "1.00 MB", "5.00 GB"; empty when its format is missing.
std::string FormatByteSize(double bytes);

// "65536 KB Free" for 64 MB of available memory.
std::string MemoryLine(ULONGLONG availableBytes);
// The size of the free bytes followed by the tail of the disk format (" Free").
std::string DiskLineFromFreeBytes(ULONGLONG freeBytes);
// The older figures: whole kilobytes of free clusters in the disk format.
std::string DiskLineFromClusters(DWORD sectorsPerCluster, DWORD bytesPerSector, DWORD freeClusters);

// The line as the system reports available physical memory now.
std::string ReadMemoryLine();
// The root of the current folder's drive, such as "D:\"; empty when none.
std::wstring CurrentDriveRoot();
// The free space of a volume as a query read it, or "Unavailable".
std::string DiskLine(const VolumeAnswer* volume);
