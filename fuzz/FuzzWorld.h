// The in-memory Windows that the fuzz targets run the program against, and
// the promises every run must keep.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bar/VosselDialog.h"
#include "platform/memory/MemoryOs.h"

// Ends the run as a crash, naming the promise broken, when `ok` is false.
void FuzzCheck(bool ok, const char* promise);
// One of the windows, as the input picks it.
HWND FuzzPick(FuzzedDataProvider& input, const std::vector<HWND>& windows);
// Up to `maxUnits` UTF-16 units of any value, lone surrogates and NULs
// included, in the UTF-8 form the model takes them in.
std::string FuzzWideText(FuzzedDataProvider& input, size_t maxUnits);

class FuzzWorld {
public:
    // The program's resources, drives C: and D:, a taskbar at the bottom,
    // and a clock that moves on by itself so that slides end.
    FuzzWorld();
    ~FuzzWorld();

    // Starts the bar as the program does, without its modal run; checks
    // with CheckUsable when asked.
    CVosselDialog& StartBar(bool checkUsable = false);
    // After start-up the bar overlaps the screen, holds its menu button,
    // and, docked without auto-hide, stands on the strip it reserves.
    void CheckUsable();
    // Closes the bar, which writes its settings, and checks that every
    // handle it took came back.
    void ExitBar();
    // The bar's children, then the bar.
    std::vector<HWND> BarWindows() const;
    // A folder window of another program, of Explorer's class or another.
    void OpenFolder(const char* className = "CabinetWClass");
    // The settings value as stored, or empty when absent.
    std::vector<BYTE> Stored(const char* name) const;

    MemoryOs os;
    std::unique_ptr<CVosselDialog> bar;

private:
    std::map<std::string, int> m_baseline;
};
