#!/usr/bin/env bash
# The end-to-end bench by hand, on the x86_64 Windows build (BUILD, default build/win64):
#   scripts/e2e.sh [TEST...]   run the end-to-end tests (default: test_shell), e.g.
#                              scripts/e2e.sh test_shell.BatchTest
#   scripts/e2e.sh --shell     start the bench and open a shell in its environment
#                              (CUPS_SERVER, DISPLAY, WINEPREFIX, RAVLEN_EXE, WINAUTO_EXE set)
#   scripts/e2e.sh -- CMD...   start the bench, run CMD in its environment, stop the bench
# The bench lives in $BUILD/e2e and is stopped whatever happens.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build/win64}
paths=(--ravlen "$build/app/ravlen.exe" --winauto "$build/tests/e2e/winauto.exe"
       --work "$build/e2e")
export PYTHONDONTWRITEBYTECODE=1
case ${1:-} in
    --shell) exec python3 "$root/tests/e2e/bench.py" "${paths[@]}" ;;
    --) shift; exec python3 "$root/tests/e2e/bench.py" "${paths[@]}" -- "$@" ;;
    *) cd "$root/tests/e2e" && exec python3 run_tests.py "${paths[@]}" "$@" ;;
esac
