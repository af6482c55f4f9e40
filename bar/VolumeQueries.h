// What a drive's volume tells, and ejecting a drive, off the window's
// thread: a network drive whose server is gone, or a disc spinning up, can
// hold such a call for many seconds.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Os.h"

// One reading of a volume.
struct VolumeAnswer {
    // Its label, when it was asked for and read.
    bool bLabel = false;
    std::wstring strLabel;
    // GetDiskFreeSpaceExW's figures, when it answered.
    bool bSpace = false;
    ULONGLONG freeToCaller = 0;
    ULONGLONG totalBytes = 0;
    ULONGLONG totalFree = 0;
    // The older call's, when only it answered.
    bool bClusters = false;
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
};

// Reads the volume at `root`, with its label when `withLabel`. It may block.
VolumeAnswer QueryVolume(ISystem& sys, const std::wstring& root, bool withLabel);

enum class EjectAnswer { Done, InUse, Failed };
// Opens an optical drive's tray, or stops a removable drive's device for
// safe removal; any other kind of drive is not ejected. It may block.
EjectAnswer EjectDrive(ISystem& sys, const std::wstring& root, UINT driveType);

// Runs each query or ejection on a thread of its own and posts a message to
// the window that asked when it is done. The window hands the message's
// wParam to TakeAnswer. A drive is asked one query at a time; one whose
// query outlives the deadline rests before it is asked again, so that
// hovering along the bar never stacks up calls stuck on a dead drive.
class CVolumeQueries {
public:
    static constexpr DWORD kDeadline = 300;
    static constexpr DWORD kRest = 10000;

    CVolumeQueries() = default;
    CVolumeQueries(const CVolumeQueries&) = delete;
    CVolumeQueries& operator=(const CVolumeQueries&) = delete;
    // Waits for nothing: what still runs ends on its own.
    ~CVolumeQueries();

    // Asks the volume at `root` unless a query of it runs or it rests after a timeout.
    void Ask(HWND notify, UINT message, const std::wstring& root, bool withLabel);
    // The last answer for `root`; null when none came, or while a query of it
    // runs past the deadline.
    const VolumeAnswer* Known(const std::wstring& root) const;
    // Drops what is known of `root`, its rest too; a query of it still
    // running answers all the same.
    void Forget(const std::wstring& root) { m_answers.erase(root); }
    // Ejects the drive at `root`, unless an ejection of it runs.
    void Eject(HWND notify, UINT message, const std::wstring& root, UINT driveType);

    struct Finished {
        std::wstring root;  // empty for a message that is no longer ours
        bool bEject = false;
        EjectAnswer ejected = EjectAnswer::Failed;
    };
    // Takes in what the job that posted `serial` learned.
    Finished TakeAnswer(WPARAM serial);

    // At exit: waits at most the deadline for the jobs still running, and
    // leaves the rest to end with the process.
    void Shutdown();

private:
    struct Job {
        UINT serial = 0;
        std::wstring root;
        bool bEject = false;
        bool bWithLabel = false;
        UINT driveType = 0;
        std::atomic<bool> done{false};
        VolumeAnswer volume;
        EjectAnswer ejected = EjectAnswer::Failed;
    };
    struct Running {
        std::shared_ptr<Job> job;
        HANDLE thread = nullptr;
        DWORD started = 0;
    };
    struct Answered {
        VolumeAnswer volume;
        // Not asked again before this, after a query past the deadline.
        bool bResting = false;
        DWORD restUntil = 0;
    };

    void Start(HWND notify, UINT message, std::shared_ptr<Job> job);
    const Running* RunningFor(const std::wstring& root, bool eject) const;
    void Close(Running& running);

    UINT m_nNextSerial = 0;
    std::vector<Running> m_running;
    std::map<std::wstring, Answered> m_answers;
};
