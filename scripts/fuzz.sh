#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for as long as asked.
#
#   scripts/fuzz.sh SECONDS [TARGET...]      e.g. scripts/fuzz.sh 600 state_info
#
# Each target starts from its seeds in fuzz/corpus/<target>/ and keeps what it
# finds in build/fuzz/corpus/<target>/. A crash leaves its input as
# build/fuzz/crash-<target>-* and fails the script. Prints the executions of
# each target; its whole log is build/fuzz/logs/<target>.log.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}
shift

CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOSSEL_FUZZ=ON >/dev/null
cmake --build build/fuzz -j"${JOBS:-$(nproc)}" >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for source in fuzz/fuzz_*.cpp; do
        name=$(basename "$source" .cpp)
        targets+=("${name#fuzz_}")
    done
fi

failed=0
mkdir -p build/fuzz/logs
for target in "${targets[@]}"; do
    mkdir -p "build/fuzz/corpus/$target"
    log="build/fuzz/logs/$target.log"
    status=ok
    if ! "build/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="build/fuzz/crash-$target-" "build/fuzz/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1; then
        status=FAILED
        failed=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz_$target: $status, ${runs:-0} executions in ${seconds} s"
    if [ "$status" != ok ]; then
        grep -E "runtime error|broken promise|ERROR: |Test unit written" "$log" | head -4
    fi
done
exit $failed
