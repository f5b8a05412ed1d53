#!/usr/bin/env bash
# Every tracked C++ file reads as clang-format writes it with the project's .clang-format.
# usage: format_test.sh SOURCE_DIR
set -euo pipefail
cd "$1"
mapfile -t files < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run --Werror "${files[@]}"
echo "1 passed, 0 failed: ${#files[@]} files as clang-format writes them"
