#include "actions/OpenDrive.h"

#include <algorithm>
#include <cctype>

#include "platform/Os.h"

namespace {

constexpr DWORD kLaunchSettleTime = 800;
constexpr DWORD kSingleWindowSettleTime = 250;

// Explorer's folder windows: the old two-pane class and today's.
const std::vector<std::string> kExplorerClasses = {"ExploreWClass", "CabinetWClass"};

bool IsSpace(WCHAR c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

// Blocks the thread without handling messages and without spinning.
void BlockFor(DWORD milliseconds) { Os().sys.Sleep(milliseconds); }

}  // namespace

LaunchCommand SplitLaunchCommand(const std::wstring& command) {
    const size_t dot = command.rfind(L'.');
    const size_t backslash = command.rfind(L'\\');
    size_t start = 0;
    if (dot != std::wstring::npos || backslash != std::wstring::npos) {
        const size_t last = dot == std::wstring::npos         ? backslash
                            : backslash == std::wstring::npos ? dot
                                                              : std::max(dot, backslash);
        start = last + 1;
    }
    size_t split = command.find(L' ', start);
    if (split == std::wstring::npos) {
        split = command.size();
    }
    LaunchCommand result{command.substr(0, split), command.substr(split)};
    const auto firstArgument = std::find_if_not(result.arguments.begin(), result.arguments.end(), IsSpace);
    result.arguments.erase(result.arguments.begin(), firstArgument);
    return result;
}

std::wstring SubstituteRoot(const std::wstring& arguments, const std::wstring& root) {
    const size_t marker = arguments.find(L"%1");
    if (marker == std::wstring::npos) {
        return root;
    }
    return arguments.substr(0, marker) + root + arguments.substr(marker + 2);
}

std::vector<RECT> TileGrid(size_t count, LONG right, LONG bottom) {
    std::vector<RECT> cells;
    if (count == 0) {
        return cells;
    }
    const auto n = static_cast<LONG>(count);
    const LONG firstRow = n >= 4 ? (n + 1) / 2 : n;
    const LONG rowHeight = n >= 4 ? bottom / 2 : bottom;
    for (LONG i = 0; i < firstRow; ++i) {
        const LONG width = right / firstRow;
        cells.push_back(RECT{i * width, 0, i * width + width, rowHeight});
    }
    const LONG secondRow = n - firstRow;
    for (LONG i = 0; i < secondRow; ++i) {
        const LONG width = right / secondRow;
        cells.push_back(RECT{i * width, bottom / 2, i * width + width, bottom / 2 + bottom / 2});
    }
    return cells;
}

BOOL CALLBACK CWindowTiler::EnumWindowsProc(HWND hwnd, LPARAM lParam) {
    auto* tiler = reinterpret_cast<CWindowTiler*>(lParam);
    char className[256] = {};
    if (Os().win.GetClassNameA(hwnd, className, sizeof(className)) > 0) {
        const std::string name(className);
        if (std::find(tiler->m_classNames.begin(), tiler->m_classNames.end(), name) != tiler->m_classNames.end()) {
            tiler->m_windows.push_back(hwnd);
        }
    }
    return TRUE;
}

void CWindowTiler::Tile(const std::vector<std::string>& classNames) {
    m_classNames = classNames;
    m_windows.clear();
    Os().win.EnumWindows(&CWindowTiler::EnumWindowsProc, reinterpret_cast<LPARAM>(this));
    if (m_windows.empty()) {
        return;
    }
    RECT screen{};
    Os().win.GetClientRect(Os().win.GetDesktopWindow(), &screen);
    if (m_windows.size() == 1) {
        BlockFor(kSingleWindowSettleTime);
    }
    const std::vector<RECT> cells = TileGrid(m_windows.size(), screen.right, screen.bottom);
    for (size_t i = 0; i < m_windows.size(); ++i) {
        const HWND hwnd = m_windows[i];
        const RECT& cell = cells[i];
        Os().win.ShowWindow(hwnd, SW_RESTORE);
        Os().win.SetWindowPos(hwnd, nullptr, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top,
                              SWP_SHOWWINDOW);
        Os().win.SetActiveWindow(hwnd);
    }
}

void OpenDrive(const std::wstring& root, const std::wstring& launchCommand, BOOL tileExplorers) {
    const LaunchCommand command = SplitLaunchCommand(launchCommand);
    const std::wstring arguments = SubstituteRoot(command.arguments, root);
    // Nothing started: nothing to wait for or tile, and the drive was not
    // opened, so the About dialog keeps reporting the one last opened.
    if (!ShellExecuteSucceeded(Os().shell.ShellExecuteW(Os().win.GetDesktopWindow(), L"open", command.program.c_str(),
                                                        arguments.c_str(), root.c_str(), SW_SHOWNORMAL))) {
        return;
    }
    BlockFor(kLaunchSettleTime);
    std::wstring program = command.program;
    std::transform(program.begin(), program.end(), program.begin(),
                   [](WCHAR c) { return c >= L'A' && c <= L'Z' ? static_cast<WCHAR>(c - L'A' + L'a') : c; });
    if (tileExplorers && program.find(L"explorer") != std::wstring::npos) {
        CWindowTiler().Tile(kExplorerClasses);
    }
    Os().sys.SetCurrentDirectoryW(root.c_str());
}
