#!/usr/bin/env bash
# Does the text formatter of this working tree draw exactly what revision REV
# drew? Builds REV's formatter (with this tree's recorder and record tool,
# which log every drawing call with its arguments) and this tree's, lays out
# the fixed files of bench/textfmt_inputs.py with a set of settings on both,
# and compares the calls line by line.
#
# Usage: bench/textfmt_compare.sh [REV]   (default HEAD)
# Exit status 0 when every case draws the same, 1 when one differs (its first
# differences are shown). REV's build is kept in build/textfmt-compare/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rev=${1:-HEAD}
sha=$(git -C "$root" rev-parse --verify "$rev^{commit}")

launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

build_tool() { # source tree, build directory
    if [ ! -f "$2/build.ninja" ]; then
        cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRAVLEN_SANITIZE=OFF \
            "${launcher[@]}" >/dev/null
    fi
    cmake --build "$2" -j2 --target textfmt_record_tool >/dev/null
}

# REV's sources with this tree's recorder and tool laid over them; the tool's
# target is added to REV's list when REV predates it.
old="$root/build/textfmt-compare/$sha"
if [ ! -d "$old/src" ]; then
    mkdir -p "$old/src"
    git -C "$root" archive "$sha" | tar -x -C "$old/src"
fi
cp "$root/tests/doubles/text_device_recorder.h" "$root/tests/doubles/text_device_recorder.cpp" \
    "$old/src/tests/doubles/"
cp "$root/tests/textfmt/textfmt_record_tool.cpp" "$old/src/tests/textfmt/"
if ! grep -q textfmt_record_tool "$old/src/tests/textfmt/CMakeLists.txt"; then
    cat >>"$old/src/tests/textfmt/CMakeLists.txt" <<'CMAKE'
add_executable(textfmt_record_tool EXCLUDE_FROM_ALL textfmt_record_tool.cpp ${textfmt_doubles})
target_include_directories(textfmt_record_tool PRIVATE ${PROJECT_SOURCE_DIR})
string(REPLACE ";" "," group "${RVL_ALL_LIBRARIES}")
target_link_libraries(textfmt_record_tool PRIVATE "$<LINK_GROUP:RESCAN,${group}>")
CMAKE
fi
build_tool "$old/src" "$old/build"
build_tool "$root" "$root/build/textfmt-bench"
old_tool="$old/build/tests/textfmt/textfmt_record_tool"
new_tool="$root/build/textfmt-bench/tests/textfmt/textfmt_record_tool"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$root/bench/textfmt_inputs.py" "$work"
pp="--definitions $root/resources/pp.txt"
odd="--definitions odd.pp PrettyPrint=1 Colours=256"

# One case a line: the file, then the tool's options and settings.
cases=$(
    cat <<CASES
ascii.txt
ascii.txt WrapLines=1
ascii.txt WrapLines=1 LineNo=1
ascii.txt LineNo=1
ascii.txt Width=2 Height=2 AdvHoriz=0 Frame=0
ascii.txt Width=3 Height=2 PprBndHd=1 FooterStr=&f&c&#/&t&r&d
ascii.txt HeaderStr=&l&f&c&#&r&t FooterStr=&c-&#- SizeOp=1 Chars=60 WrapLines=1
ascii.txt SizeOp=2 Lines=40 Chars=100 TabCount=8 HeaderStr=
ascii.txt --copies 2 Width=1 Height=1
ascii.txt --sheets WrapLines=1
utf8.txt
utf8.txt WrapLines=1
utf8.txt WrapLines=1 LineNo=1 SizeOp=1 Chars=30
utf8.txt LineNo=1 TabCount=5
utf8.txt --sheets WrapLines=1 Width=2 Height=2
utf8bom.txt WrapLines=1
utf16le.txt
utf16be.txt WrapLines=1
oem.txt OEMTrans=1
oem.txt OEMTrans=2 WrapLines=1
oem.txt OEMTrans=0
cr.txt
cr.txt WrapLines=1
code.c $pp PrettyPrint=1
code.c $pp PrettyPrint=1 WrapLines=1
code.c $pp PrettyPrint=1 LineNo=1 Colours=256
code.c $pp PrettyPrint=1 WrapLines=1 LineNo=1 Colours=256 SizeOp=1 Chars=40
code.c $pp PrettyPrint=1 --copies 2 Width=1 Height=1
code.c $pp PrettyPrint=1 --sheets WrapLines=1
code.c $pp PrettyPrint=0
code_utf8.c $pp PrettyPrint=1 Colours=256
code_utf8.c $pp PrettyPrint=1 WrapLines=1 SizeOp=1 Chars=50
query.sql $pp PrettyPrint=1 Colours=256
query.sql $pp PrettyPrint=1 WrapLines=1
script.py $pp PrettyPrint=1
script.py $pp PrettyPrint=1 WrapLines=1 LineNo=1
odd.o1 $odd
odd.o1 $odd WrapLines=1 SizeOp=1 Chars=35
odd.o2 $odd
odd.o2 $odd WrapLines=1 SizeOp=1 Chars=35
odd.o3 $odd
odd.o3 $odd WrapLines=1 SizeOp=1 Chars=35
odd.o4 $odd
odd.o4 $odd WrapLines=1 SizeOp=1 Chars=35
odd.o5 $odd
odd.o5 $odd WrapLines=1 SizeOp=1 Chars=35 --sheets
mix.txt
mix.txt $pp PrettyPrint=1 --as mix.c Colours=256
mix.txt $pp PrettyPrint=1 --as mix.c WrapLines=1 SizeOp=1 Chars=45
CASES
)

cd "$work"
failed=0
count=0
while read -r file options; do
    count=$((count + 1))
    # Word splitting of the options is wanted: they are separate arguments.
    # shellcheck disable=SC2086
    "$old_tool" "$file" $options >old.log
    # shellcheck disable=SC2086
    "$new_tool" "$file" $options >new.log
    if cmp -s old.log new.log; then
        printf 'same  %7d calls  %s %s\n' "$(wc -l <new.log)" "$file" "$options"
    else
        failed=1
        printf 'DIFFERENT         %s %s\n' "$file" "$options"
        diff old.log new.log | head -20 || true
    fi
done <<<"$cases"
echo "$count cases, ${sha:0:10} against the working tree: $([ $failed = 0 ] && echo all the same || echo some differ)"
exit $failed
