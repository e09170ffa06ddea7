#!/usr/bin/env bash
# Speed and memory of a raw job through ravlen.exe under Wine against lp -o raw
# (see output_bench.py). Uses the x86_64 Windows build given as E2E_BUILD
# (default: build/win64), building ravlen.exe and winauto.exe there first.
set -euo pipefail
source "$(dirname "$0")/win64_programs.sh"
E2E_BUILD="$build" exec python3 "$root/bench/output_bench.py"
