#!/usr/bin/env bash
# Runs every fuzz target for a short while (FUZZ_SECONDS, default 30) from its
# seed corpus; fails on any crash, hang or sanitizer report.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-30}
status=0
for exe in "$root"/build/fuzz/fuzz/*_fuzz; do
    [ -x "$exe" ] || continue
    name=$(basename "$exe")
    corpus="$root/build/fuzz/corpus/$name"
    mkdir -p "$corpus"
    seeds="$root/fuzz/seeds/${name%_fuzz}"
    [ -d "$seeds" ] && cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true
    echo "fuzz: $name for ${seconds}s"
    if ! "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -artifact_prefix="$root/build/fuzz/$name-" "$corpus" >"$root/build/fuzz/$name.log" 2>&1; then
        echo "fuzz: $name FAILED"; tail -40 "$root/build/fuzz/$name.log"; status=1
    fi
done
exit $status
