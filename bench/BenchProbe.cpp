// Measures a desktop toolbar from inside Wine, for scripts/bench.sh.
//
//   benchprobe start <exe> <title> [settle ms]
//       Starts <exe>, waits for a visible window titled <title> docked across
//       the top of the screen, and prints docked_ms (from CreateProcess to
//       docked) and the steps on the way, each from CreateProcess: the
//       window exists (window_ms), it holds a button per drive and one more
//       (buttons_ms), it stands docked, shown or not (placed_ms). After
//       <settle ms> (default 1000) it prints the process's resident memory,
//       ends it with the system Close command and waits.
//   benchprobe frames <title> <timeout ms>
//       Waits up to <timeout ms> for the window to move, then counts the
//       distinct rectangles it passes through until it rests for 250 ms, and
//       prints the CPU time that the window's process spent meanwhile.
// clang-format off
#include <windows.h>
#include <psapi.h>
// clang-format on

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool AtTop(HWND hwnd) {
    RECT rc{};
    if (!GetWindowRect(hwnd, &rc)) {
        return false;
    }
    const int cx = GetSystemMetrics(SM_CXSCREEN);
    const int cy = GetSystemMetrics(SM_CYSCREEN);
    return rc.left == 0 && rc.top == 0 && rc.right == cx && rc.bottom > 0 && rc.bottom < cy / 2;
}

int Children(HWND hwnd) {
    int count = 0;
    for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        ++count;
    }
    return count;
}

unsigned long long Ticks(const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// User and kernel time of a process, in 100 ns ticks.
unsigned long long CpuTicks(HANDLE process) {
    FILETIME created{}, ended{}, kernel{}, user{};
    return GetProcessTimes(process, &created, &ended, &kernel, &user) ? Ticks(kernel) + Ticks(user) : 0;
}

void PrintStep(const char* name, double ms) {
    if (ms >= 0) {
        std::printf("%s=%.1f\n", name, ms);
    }
}

// Loads the probe's own display driver and window classes, which its first
// window call would otherwise do inside the measured time.
void WarmUp() {
    GetSystemMetrics(SM_CXSCREEN);
    const HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (window != nullptr) {
        IsWindowVisible(window);
        DestroyWindow(window);
    }
    FindWindowA(nullptr, "");
}

int Start(const char* exe, const char* title, DWORD settle) {
    WarmUp();
    std::string commandLine = std::string("\"") + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    const double start = Now();
    if (!CreateProcessA(exe, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::printf("error=CreateProcess %lu\n", GetLastError());
        return 1;
    }
    HWND hwnd = nullptr;
    double window = -1, buttons = -1, placed = -1, docked = -1;
    const DWORD drives = GetLogicalDrives();
    int wanted = 1;
    for (int bit = 0; bit < 26; ++bit) {
        wanted += (drives >> bit) & 1;
    }
    // Polled every millisecond: the probe must not wait on the program it times.
    while (Now() - start < 30000) {
        hwnd = FindWindowA(nullptr, title);
        if (hwnd != nullptr) {
            const double now = Now() - start;
            if (window < 0) {
                window = now;
            }
            const bool atTop = AtTop(hwnd);
            if (placed < 0 && buttons < 0 && Children(hwnd) >= wanted) {
                buttons = now;
            }
            if (placed < 0 && atTop) {
                placed = now;
            }
            if (atTop && IsWindowVisible(hwnd)) {
                docked = now;
                break;
            }
        }
        if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) {
            break;
        }
    }
    int status = 0;
    if (docked < 0) {
        std::printf("error=not docked\n");
        status = 1;
    } else {
        std::printf("docked_ms=%.1f\n", docked);
        PrintStep("window_ms", window);
        PrintStep("buttons_ms", buttons);
        PrintStep("placed_ms", placed);
        std::printf("cpu_to_docked_ms=%llu\n", CpuTicks(pi.hProcess) / 10000);
        Sleep(settle);
        PROCESS_MEMORY_COUNTERS pmc{};
        pmc.cb = sizeof(pmc);
        if (GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof(pmc))) {
            std::printf("working_set=%llu\n", static_cast<unsigned long long>(pmc.WorkingSetSize));
            std::printf("peak_working_set=%llu\n", static_cast<unsigned long long>(pmc.PeakWorkingSetSize));
        }
        PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
        std::printf("error=did not end\n");
        status = 1;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::fflush(stdout);
    return status;
}

bool SameRect(const RECT& a, const RECT& b) { return std::memcmp(&a, &b, sizeof(RECT)) == 0; }

int Frames(const char* title, DWORD timeout) {
    const HWND hwnd = FindWindowA(nullptr, title);
    RECT first{};
    if (hwnd == nullptr || !GetWindowRect(hwnd, &first)) {
        std::printf("error=no window\n");
        return 1;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    const unsigned long long cpuBefore = process != nullptr ? CpuTicks(process) : 0;
    const double start = Now();
    RECT last = first;
    double moved = -1;
    double lastChange = 0;
    int frames = 0;
    for (;;) {
        RECT rc{};
        GetWindowRect(hwnd, &rc);
        const double now = Now();
        if (!SameRect(rc, last)) {
            if (moved < 0) {
                moved = now;
            }
            ++frames;
            last = rc;
            lastChange = now;
        }
        if (moved < 0 && now - start > timeout) {
            std::printf("error=did not move\n");
            if (process != nullptr) {
                CloseHandle(process);
            }
            return 1;
        }
        if (moved >= 0 && now - lastChange > 250) {
            break;
        }
        Sleep(1);
    }
    std::printf("frames=%d\nslide_ms=%.1f\nfrom=%ld,%ld,%ld,%ld\nto=%ld,%ld,%ld,%ld\n", frames, lastChange - moved,
                first.left, first.top, first.right, first.bottom, last.left, last.top, last.right, last.bottom);
    if (process != nullptr) {
        // The rest after the last frame belongs to the slide's cost too.
        std::printf("slide_cpu_ms=%.1f\n", static_cast<double>(CpuTicks(process) - cpuBefore) / 10000.0);
        CloseHandle(process);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "start") == 0) {
        return Start(argv[2], argv[3], argc >= 5 ? static_cast<DWORD>(std::atoi(argv[4])) : 1000);
    }
    if (argc == 4 && std::strcmp(argv[1], "frames") == 0) {
        return Frames(argv[2], static_cast<DWORD>(std::atoi(argv[3])));
    }
    std::fprintf(stderr, "usage: benchprobe start <exe> <title> [settle ms] | frames <title> <timeout ms>\n");
    return 2;
}
