#!/usr/bin/env bash
# Runs the settings-file sequence with the native program and with the
# Windows program under Wine, each in a directory of its own, and compares
# what they print and every file they leave (line ends aside).
# Usage: parity.sh <native profile_parity> <profile_parity.exe>
set -uo pipefail
[ $# -eq 2 ] || { echo "usage: $0 <native-exe> <wine-exe>" >&2; exit 2; }
native=$1
windows=$2
wine=${WINE:-/usr/lib/wine/wine64}
export WINEDEBUG=-all
export WINEPREFIX=${WINEPREFIX:-/tmp/ravlen-parity-wine}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/native" "$work/wine"

"$native" "$work/native" >"$work/native.txt" 2>&1 || { echo "parity: native run failed"; cat "$work/native.txt"; exit 1; }
# Wine sees the Unix file system as drive Z:.
winedir="Z:$(echo "$work/wine" | tr / '\\')"
"$wine" "$windows" "$winedir" >"$work/wine.txt" 2>"$work/wine.err" || { echo "parity: wine run failed"; cat "$work/wine.txt" "$work/wine.err"; exit 1; }

status=0
if ! diff <(tr -d '\r' <"$work/native.txt") <(tr -d '\r' <"$work/wine.txt") >"$work/out.diff"; then
    echo "parity: the two builds answer differently (< native, > wine):"
    head -60 "$work/out.diff"
    status=1
fi
files=$(cd "$work/native" && ls; cd "$work/wine" && ls)
for name in $(echo "$files" | sort -u); do
    a="$work/native/$name"
    b="$work/wine/$name"
    if [ -e "$a" ] && [ -e "$b" ] && cmp -s <(tr -d '\r' <"$a") <(tr -d '\r' <"$b"); then
        continue
    fi
    echo "parity: file $name differs (< native, > wine)"
    diff <(tr -d '\r' <"$a" 2>/dev/null) <(tr -d '\r' <"$b" 2>/dev/null) | head -20
    status=1
done
[ $status -eq 0 ] && echo "parity: $(grep -c . "$work/native.txt") lines and $(echo "$files" | sort -u | wc -l) files alike"
exit $status
