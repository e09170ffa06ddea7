#!/usr/bin/env bash
# Checks the shipped programs: no debug sections in ravlen.exe, the console
# program ravlenc.exe or the service ravlensvc.exe, the debug information of
# each in a .dbg file beside it, linked to it by name.
# Usage: scripts/check_release.sh [build dir of the i686 build]
set -uo pipefail
dir=${1:-build/win32/app}
status=0
fail() { echo "release check: $*"; status=1; }
for program in ravlen ravlenc ravlensvc; do
    exe="$dir/$program.exe" dbg="$dir/$program.dbg"
    [ -f "$exe" ] || { fail "$exe missing"; continue; }
    sections=$(i686-w64-mingw32-objdump -h "$exe" | awk '{print $2}')
    echo "$sections" | grep -q '^\.debug' && fail "$exe carries debug sections"
    echo "$sections" | grep -qx '\.gnu_debuglink' || fail "$exe has no link to its debug file"
    [ -f "$dbg" ] || fail "$dbg missing"
    [ -f "$dbg" ] && ! i686-w64-mingw32-objdump -h "$dbg" | grep -q '\.debug_info' &&
        fail "$dbg holds no debug information"
    [ $status -eq 0 ] && echo "release check: $program.exe $(stat -c %s "$exe") bytes shipped, debug information in $program.dbg"
done
exit $status
