#!/usr/bin/env bash
# The whole test run, from a fresh Debian machine: installs what is needed,
# builds the three builds and the fuzz targets, then checks that no include
# points up the layers and runs the native unit tests
# (ASan/UBSan), the same unit tests under Wine, the settings-file parity check,
# the fuzz smoke and the end-to-end tests against a private CUPS and Wine.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
start=$(date +%s)

bash scripts/setup.sh || exit 1
bash scripts/build.sh native win64 win32 fuzz || { echo "build failed"; exit 1; }

# Wine for the unit tests: a prefix of the run's own, made once.
export WINEPREFIX="$root/build/wine-unit"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
fi

failed=()
passed_count=0
failed_count=0
# Runs one group of tests. A ctest group counts its tests (from ctest's own
# summary line); any other group counts as one.
run() {  # name, command...
    local name=$1; shift
    local out="$root/build/test-$name.log" status=0
    echo "=== $name"
    "$@" 2>&1 | tee "$out" || status=1
    local summary
    summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$out" | tail -1)
    if [ -n "$summary" ]; then
        local bad total
        bad=$(echo "$summary" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/')
        total=$(echo "$summary" | sed -E 's/.* failed out of ([0-9]+).*/\1/')
        passed_count=$((passed_count + total - bad))
        failed_count=$((failed_count + bad))
        [ "$status" -eq 0 ] || [ "$bad" -gt 0 ] || failed_count=$((failed_count + 1))
    elif [ "$status" -eq 0 ]; then
        passed_count=$((passed_count + 1))
    else
        failed_count=$((failed_count + 1))
    fi
    if [ "$status" -eq 0 ]; then echo "=== $name: passed"; else echo "=== $name: FAILED"; failed+=("$name"); fi
}

run include-layers python3 scripts/check_layers.py
run include-layers-check python3 tests/scripts/check_layers_test.py
run native-unit ctest --test-dir build/native --output-on-failure -j "$(nproc)"
# A program that fails gets one more run: once in many runs a Wine process
# ended in 0.00 s without a line of output, before any test of it began. A
# test that fails twice still fails the group, and the first failure's output
# stays in the log.
run wine-unit ctest --test-dir build/win64 --output-on-failure -L wine --repeat until-pass:2
/usr/lib/wine/wineserver -k 2>/dev/null || true
if [ -x tests/settings/parity.sh ]; then
    run settings-parity tests/settings/parity.sh build/native/tests/settings/profile_parity \
        build/win64/tests/settings/profile_parity.exe
fi
run release-check scripts/check_release.sh build/win32/app
run fuzz-smoke scripts/fuzz_smoke.sh
run e2e ctest --test-dir build/win64 --output-on-failure -L e2e

elapsed=$(( $(date +%s) - start ))
echo "test run took ${elapsed}s; failed groups: ${failed[*]:-none}"
echo "${passed_count} passed, ${failed_count} failed"
[ ${#failed[@]} -eq 0 ]
