#!/usr/bin/env bash
# The jobs of a fixed set of files of every kind, printed by the x86_64 build of a
# given revision and by the working tree's, compared byte for byte:
#   bench/compare_jobs.sh [REVISION]   (default: origin/main, else main)
# The revision is built in build/compare-old (a git worktree of its own).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
revision=${1:-$(git -C "$root" rev-parse --verify -q origin/main || echo main)}
old="$root/build/compare-old"
if [ -d "$old/src" ]; then
    git -C "$old/src" checkout -q --detach "$revision"
else
    mkdir -p "$old"
    git -C "$root" worktree add -q --detach "$old/src" "$revision"
fi
bash "$old/src/scripts/build.sh" win64 >/dev/null
bash "$root/scripts/build.sh" win64 >/dev/null
exec python3 "$root/bench/compare_jobs.py" --old "$old/src/build/win64/app/ravlen.exe" \
    --new "$root/build/win64/app/ravlen.exe" --winauto "$root/build/win64/tests/e2e/winauto.exe"
