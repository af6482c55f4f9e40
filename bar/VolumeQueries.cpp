#include "bar/VolumeQueries.h"

#include <algorithm>
#include <cstdint>

namespace {

bool Before(DWORD tick, DWORD other) { return static_cast<std::int32_t>(tick - other) < 0; }

}  // namespace

VolumeAnswer QueryVolume(ISystem& sys, const std::wstring& root, bool withLabel) {
    VolumeAnswer answer;
    if (withLabel) {
        WCHAR name[MAX_PATH] = {};
        DWORD flags = 0;
        if (sys.GetVolumeInformationW(root.c_str(), name, MAX_PATH, &flags)) {
            name[MAX_PATH - 1] = 0;
            answer.bLabel = true;
            answer.strLabel = name;
        }
    }
    answer.bSpace =
        sys.GetDiskFreeSpaceExW(root.c_str(), &answer.freeToCaller, &answer.totalBytes, &answer.totalFree) != FALSE;
    if (!answer.bSpace) {
        DWORD totalClusters = 0;
        answer.bClusters = sys.GetDiskFreeSpaceW(root.c_str(), &answer.sectorsPerCluster, &answer.bytesPerSector,
                                                 &answer.freeClusters, &totalClusters) != FALSE;
    }
    return answer;
}

EjectAnswer EjectDrive(ISystem& sys, const std::wstring& root, UINT driveType) {
    if (driveType == DRIVE_CDROM) {
        return sys.EjectMedia(root.c_str()) == static_cast<DWORD>(ERROR_SUCCESS) ? EjectAnswer::Done
                                                                                 : EjectAnswer::Failed;
    }
    if (driveType != DRIVE_REMOVABLE) {
        return EjectAnswer::Failed;
    }
    int veto = PNP_VetoTypeUnknown;
    WCHAR vetoName[MAX_PATH] = {};
    const DWORD result = sys.RequestDeviceEject(root.c_str(), &veto, vetoName, MAX_PATH);
    // A veto may come with either answer.
    if (result == CR_REMOVE_VETOED || veto != PNP_VetoTypeUnknown) {
        return EjectAnswer::InUse;
    }
    return result == CR_SUCCESS ? EjectAnswer::Done : EjectAnswer::Failed;
}

CVolumeQueries::~CVolumeQueries() {
    for (Running& running : m_running) {
        Close(running);
    }
}

void CVolumeQueries::Close(Running& running) {
    if (running.thread != nullptr) {
        Os().sys.CloseHandle(running.thread);
        running.thread = nullptr;
    }
}

const CVolumeQueries::Running* CVolumeQueries::RunningFor(const std::wstring& root, bool eject) const {
    const auto it = std::find_if(m_running.begin(), m_running.end(), [&root, eject](const Running& running) {
        return running.job->root == root && running.job->bEject == eject;
    });
    return it != m_running.end() ? &*it : nullptr;
}

void CVolumeQueries::Ask(HWND notify, UINT message, const std::wstring& root, bool withLabel) {
    if (RunningFor(root, false) != nullptr) {
        return;
    }
    const DWORD now = Os().sys.GetTickCount();
    if (const auto it = m_answers.find(root); it != m_answers.end()) {
        if (it->second.bResting && Before(now, it->second.restUntil)) {
            return;
        }
    }
    auto job = std::make_shared<Job>();
    job->root = root;
    job->bWithLabel = withLabel;
    Start(notify, message, std::move(job));
}

void CVolumeQueries::Eject(HWND notify, UINT message, const std::wstring& root, UINT driveType) {
    if (RunningFor(root, true) != nullptr) {
        return;
    }
    auto job = std::make_shared<Job>();
    job->root = root;
    job->bEject = true;
    job->driveType = driveType;
    Start(notify, message, std::move(job));
}

void CVolumeQueries::Start(HWND notify, UINT message, std::shared_ptr<Job> job) {
    job->serial = ++m_nNextSerial;
    OsServices& os = Os();
    // The job is the worker's as much as ours: it outlives whichever lets go last.
    const HANDLE thread = os.sys.CreateThread([job, &os, notify, message] {
        if (job->bEject) {
            job->ejected = EjectDrive(os.sys, job->root, job->driveType);
        } else {
            job->volume = QueryVolume(os.sys, job->root, job->bWithLabel);
        }
        job->done.store(true, std::memory_order_release);
        // A window gone by now takes no message.
        os.win.PostMessageA(notify, message, job->serial, 0);
    });
    if (thread == nullptr) {
        // No thread: the job ends at once, having learned nothing.
        job->done.store(true, std::memory_order_release);
        os.win.PostMessageA(notify, message, job->serial, 0);
    }
    m_running.push_back(Running{std::move(job), thread, os.sys.GetTickCount()});
}

const VolumeAnswer* CVolumeQueries::Known(const std::wstring& root) const {
    if (const Running* running = RunningFor(root, false);
        running != nullptr && Os().sys.GetTickCount() - running->started >= kDeadline) {
        return nullptr;
    }
    const auto it = m_answers.find(root);
    return it != m_answers.end() ? &it->second.volume : nullptr;
}

CVolumeQueries::Finished CVolumeQueries::TakeAnswer(WPARAM serial) {
    const auto it = std::find_if(m_running.begin(), m_running.end(),
                                 [serial](const Running& running) { return running.job->serial == serial; });
    if (it == m_running.end() || !it->job->done.load(std::memory_order_acquire)) {
        return {};
    }
    const Job& job = *it->job;
    Finished finished{job.root, job.bEject, job.ejected};
    if (!job.bEject) {
        const DWORD now = Os().sys.GetTickCount();
        Answered& answered = m_answers[job.root];
        answered.volume = job.volume;
        // Late: the drive rests from when its deadline passed.
        answered.bResting = now - it->started >= kDeadline;
        answered.restUntil = it->started + kDeadline + kRest;
    }
    Close(*it);
    m_running.erase(it);
    return finished;
}

void CVolumeQueries::Shutdown() {
    // At most a query and an ejection a drive: within what one wait takes.
    std::vector<HANDLE> threads;
    for (const Running& running : m_running) {
        if (running.thread != nullptr) {
            threads.push_back(running.thread);
        }
    }
    if (!threads.empty()) {
        Os().sys.WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, kDeadline);
    }
    for (Running& running : m_running) {
        Close(running);
    }
    m_running.clear();
}
