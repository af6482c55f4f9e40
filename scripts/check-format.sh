#!/usr/bin/env bash
# Fails when a C++ file of the project is not formatted as .clang-format says.
set -eu
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if [ ${#files[@]} -eq 0 ]; then
    exit 0
fi
clang-format --dry-run --Werror "${files[@]}"
echo "check-format: ${#files[@]} files formatted"
