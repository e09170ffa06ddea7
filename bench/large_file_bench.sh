#!/usr/bin/env bash
# A raw job of more than 2 GiB through ravlen.exe under Wine (see
# large_file_bench.py). Slow and disk-hungry, so not part of the test command.
# Uses the x86_64 Windows build given as E2E_BUILD (default: build/win64),
# building ravlen.exe and winauto.exe there first.
set -euo pipefail
source "$(dirname "$0")/win64_programs.sh"
E2E_BUILD="$build" exec python3 "$root/bench/large_file_bench.py"
