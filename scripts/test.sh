#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds both configurations
# and runs every test: unit tests natively (with the address and undefined-
# behaviour sanitizers), each fuzz target briefly, then the contract and
# end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/check-format.sh

jobs=$(nproc)
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug
cmake --build build/native -j"$jobs"
ctest --test-dir build/native --output-on-failure -j"$jobs"

# Every fuzz target for a few seconds over its corpus.
scripts/fuzz.sh 5

cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build build/windows -j"$jobs"
# Both packages, into build/dist; the end-to-end case "installer" installs one.
scripts/package.sh
# One Wine boot per run: the template prefix that every test copies.
rm -rf build/windows/wine-template build/windows/wine-template.booting
VOSSEL_WINE_TEMPLATE=build/windows/wine-template scripts/wine-prefix.sh template
# The programs under Wine run against the clock (the bar waits 800 ms for the
# program it starts, which a loaded machine can miss), so a failed test runs
# once more; one that fails twice fails the run.
ctest --test-dir build/windows --output-on-failure --repeat until-pass:2
