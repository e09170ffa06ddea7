#!/usr/bin/env bash
# Speed and memory of text printing through ravlen.exe under Wine against a
# minimal GDI program drawing the same rows (see text_e2e_bench.py). Uses the
# x86_64 Windows build given as E2E_BUILD (default: build/win64), building
# ravlen.exe and winauto.exe there first, and the baseline program beside them.
set -euo pipefail
source "$(dirname "$0")/win64_programs.sh"
baseline="$build/bench/text_gdi_baseline.exe"
mkdir -p "$(dirname "$baseline")"
x86_64-w64-mingw32-gcc -O2 -Wall -Wextra -Werror -o "$baseline" \
    "$root/bench/text_gdi_baseline.c" -lgdi32 -lwinspool
E2E_BUILD="$build" BASELINE_EXE="$baseline" exec python3 "$root/bench/text_e2e_bench.py"
