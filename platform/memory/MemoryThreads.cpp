// Threads of the in-memory backend, the calls that may block on a drive
// (volume queries and ejections) with the holds that make them wait, and
// the shell's size format.
#include <cctype>
#include <cmath>
#include <cstdio>

#include "platform/memory/MemoryOs.h"

namespace {

char DriveLetter(const WCHAR* root) {
    return root != nullptr && root[0] < 0x80 ? static_cast<char>(std::toupper(static_cast<int>(root[0]))) : '\0';
}

}  // namespace

MemoryOs::~MemoryOs() {
    std::set<char> held;
    {
        const std::lock_guard<std::mutex> lock(m_threadLock);
        held = m_heldDrives;
    }
    for (const char letter : held) {
        ReleaseDrive(letter);
    }
    for (const auto& thread : m_threads) {
        thread->thread.join();
    }
    SetDoubleByteCodePage(false);
}

void MemoryOs::WaitForThreads(std::unique_lock<std::mutex>& lock) {
    m_threadChange.wait(lock, [this] { return m_runningThreads == 0; });
}

HANDLE MemoryOs::CreateThread(std::function<void()> work) {
    if (Fails("CreateThread")) {
        return nullptr;
    }
    const auto handle = reinterpret_cast<HANDLE>(NewHandle());
    auto thread = std::make_shared<Thread>();
    Thread* const record = thread.get();
    std::unique_lock<std::mutex> lock(m_threadLock);
    m_threadHandles[handle] = thread;
    if (m_heldDrives.empty()) {
        // Nothing can hold it: the work runs to its end here, as a thread
        // that ends before CreateThread returns would, at a fraction of the cost.
        lock.unlock();
        work();
        record->ended = true;
        return handle;
    }
    m_threads.push_back(std::move(thread));
    ++m_runningThreads;
    record->thread = std::thread([this, record, work = std::move(work)] {
        work();
        const std::lock_guard<std::mutex> ended(m_threadLock);
        record->ended = true;
        --m_runningThreads;
        m_threadChange.notify_all();
    });
    WaitForThreads(lock);
    return handle;
}

DWORD MemoryOs::WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
    m_waits.push_back(milliseconds);
    if (count == 0 || handles == nullptr) {
        return WAIT_FAILED;
    }
    const std::lock_guard<std::mutex> lock(m_threadLock);
    DWORD ended = 0;
    DWORD first = count;
    for (DWORD i = 0; i < count; ++i) {
        const auto it = m_threadHandles.find(handles[i]);
        if (it == m_threadHandles.end()) {
            return WAIT_FAILED;
        }
        if (it->second->ended) {
            ++ended;
            first = std::min(first, i);
        }
    }
    if (waitAll ? ended == count : ended > 0) {
        return WAIT_OBJECT_0 + (waitAll ? 0 : first);
    }
    // Whatever could run has run: the rest waits on holds, which nothing
    // lifts while this thread waits. Forever would never end.
    if (milliseconds == INFINITE) {
        ++m_windowThreadBlocks;
        return WAIT_FAILED;
    }
    m_tickCount += milliseconds;
    return WAIT_TIMEOUT;
}

BOOL MemoryOs::CloseHandle(HANDLE handle) {
    const std::lock_guard<std::mutex> lock(m_threadLock);
    return m_threadHandles.erase(handle) > 0 ? TRUE : FALSE;
}

void MemoryOs::HoldDrive(char letter) {
    const std::lock_guard<std::mutex> lock(m_threadLock);
    m_heldDrives.insert(static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
}

void MemoryOs::ReleaseDrive(char letter) {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    std::unique_lock<std::mutex> lock(m_threadLock);
    m_heldDrives.erase(letter);
    // One at a time, oldest first, each until it ends or waits again.
    for (;;) {
        const auto call = std::find_if(m_heldCalls.begin(), m_heldCalls.end(),
                                       [letter](const auto& held) { return held.first == letter; });
        if (call == m_heldCalls.end()) {
            break;
        }
        m_releasedCalls.insert(call->second);
        m_heldCalls.erase(call);
        ++m_runningThreads;
        m_threadChange.notify_all();
        WaitForThreads(lock);
    }
}

int MemoryOs::HeldCalls() const {
    const std::lock_guard<std::mutex> lock(m_threadLock);
    return static_cast<int>(m_heldCalls.size());
}

bool MemoryOs::WaitWhileHeld(const WCHAR* root) {
    const char letter = DriveLetter(root);
    std::unique_lock<std::mutex> lock(m_threadLock);
    if (m_heldDrives.count(letter) == 0) {
        return true;
    }
    if (std::this_thread::get_id() == m_windowThread) {
        ++m_windowThreadBlocks;
        return false;
    }
    const int call = ++m_nextHeldCall;
    m_heldCalls.emplace_back(letter, call);
    --m_runningThreads;
    m_threadChange.notify_all();
    m_threadChange.wait(lock, [this, call] { return m_releasedCalls.count(call) != 0; });
    m_releasedCalls.erase(call);
    return true;
}

void MemoryOs::SetEjectAnswer(char letter, DWORD result, int vetoType, std::string vetoName) {
    m_ejectAnswers[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))] =
        EjectAnswer{result, vetoType, Utf16FromUtf8(vetoName)};
}

DWORD MemoryOs::EjectMedia(const WCHAR* root) {
    m_ejections.push_back("EjectMedia " + Utf8(root));
    if (!WaitWhileHeld(root) || root == nullptr || Fails("EjectMedia")) {
        return static_cast<DWORD>(ERROR_NOT_READY);
    }
    const char letter = DriveLetter(root);
    const auto drive = m_drives.find(letter);
    const bool optical = drive != m_drives.end() && drive->second.type == DRIVE_CDROM;
    const auto answer = m_ejectAnswers.find(letter);
    const DWORD result = answer != m_ejectAnswers.end() ? answer->second.result
                         : optical                      ? static_cast<DWORD>(ERROR_SUCCESS)
                                                        : static_cast<DWORD>(ERROR_INVALID_FUNCTION);
    if (result == static_cast<DWORD>(ERROR_SUCCESS)) {
        // The tray is open: the drive has no medium now.
        m_diskSpace.erase(letter);
    }
    return result;
}

DWORD MemoryOs::RequestDeviceEject(const WCHAR* root, int* vetoType, WCHAR* vetoName, DWORD vetoNameSize) {
    m_ejections.push_back("RequestDeviceEject " + Utf8(root));
    if (vetoType != nullptr) {
        *vetoType = PNP_VetoTypeUnknown;
    }
    if (!WaitWhileHeld(root) || root == nullptr || Fails("RequestDeviceEject")) {
        return CR_FAILURE;
    }
    const char letter = DriveLetter(root);
    const auto drive = m_drives.find(letter);
    const bool removable = drive != m_drives.end() && drive->second.type == DRIVE_REMOVABLE;
    const auto set = m_ejectAnswers.find(letter);
    const EjectAnswer answer =
        set != m_ejectAnswers.end()
            ? set->second
            : EjectAnswer{static_cast<DWORD>(removable ? CR_SUCCESS : CR_NO_SUCH_DEVNODE), PNP_VetoTypeUnknown, {}};
    if (vetoType != nullptr) {
        *vetoType = answer.vetoType;
    }
    if (vetoName != nullptr) {
        CopyText(answer.vetoName, vetoName, static_cast<int>(vetoNameSize));
    }
    if (answer.result == CR_SUCCESS && answer.vetoType == PNP_VetoTypeUnknown && removable) {
        // Stopped: its volume is gone, and the system's broadcast will say so.
        m_drives.erase(letter);
        m_diskSpace.erase(letter);
    }
    return answer.result;
}

WCHAR* MemoryOs::StrFormatByteSizeW(LONGLONG size, WCHAR* buffer, UINT bufferSize) {
    if (buffer == nullptr || bufferSize == 0 || Fails("StrFormatByteSizeW")) {
        return nullptr;
    }
    std::string text;
    if (size < 1024) {
        text = std::to_string(size) + " bytes";
    } else {
        // Three digits, cut rather than rounded, of the unit below 1000 of it.
        // Past a terabyte the count is taken in megabytes first, as Windows
        // does, which the divisors from there on allow for.
        struct Unit {
            LONGLONG below;
            double divisor;
            double normaliser;
            int decimals;
            char prefix;
        };
        constexpr LONGLONG kKB = 1024;
        constexpr LONGLONG kMB = kKB * 1024;
        constexpr LONGLONG kGB = kMB * 1024;
        constexpr LONGLONG kTB = kGB * 1024;
        constexpr LONGLONG kPB = kTB * 1024;
        static const Unit kUnits[] = {
            {10 * kKB, 10.24, 100.0, 2, 'K'},        {100 * kKB, 102.4, 10.0, 1, 'K'},
            {1000 * kKB, 1024.0, 1.0, 0, 'K'},       {10 * kMB, 10485.76, 100.0, 2, 'M'},
            {100 * kMB, 104857.6, 10.0, 1, 'M'},     {1000 * kMB, 1048576.0, 1.0, 0, 'M'},
            {10 * kGB, 10737418.24, 100.0, 2, 'G'},  {100 * kGB, 107374182.4, 10.0, 1, 'G'},
            {1000 * kGB, 1073741824.0, 1.0, 0, 'G'}, {10 * kTB, 10485.76, 100.0, 2, 'T'},
            {100 * kTB, 104857.6, 10.0, 1, 'T'},     {1000 * kTB, 1048576.0, 1.0, 0, 'T'},
            {10 * kPB, 10737418.24, 100.0, 2, 'P'},  {100 * kPB, 107374182.4, 10.0, 1, 'P'},
            {1000 * kPB, 1073741824.0, 1.0, 0, 'P'}, {0, 10995116277.76, 100.0, 2, 'E'},
        };
        size_t unit = 0;
        while (unit + 1 < std::size(kUnits) && size >= kUnits[unit].below) {
            ++unit;
        }
        double count = unit > 8 ? static_cast<double>(size >> 20) + 0.001 : static_cast<double>(size) + 0.00001;
        count = std::floor(count / kUnits[unit].divisor) / kUnits[unit].normaliser;
        char number[64] = {};
        std::snprintf(number, sizeof(number), "%.*f", kUnits[unit].decimals, count);
        text = std::string(number) + " " + kUnits[unit].prefix + "B";
    }
    CopyText(Utf16FromUtf8(text), buffer, static_cast<int>(bufferSize));
    return buffer;
}
