#!/usr/bin/env bash
# The spooler's drain against the number of instances serving one directory:
# bench/spooler_soak.py with 1, 2 and 3 instances in turn, ROUNDS times over
# (1 2 3 1 2 3 ...), so that a drift in the machine's load touches every count
# alike. Prints each run's drain rate with the load average at its start, then
# the median rate of each count and its ratio to one instance's median, beside
# the aim of 0.9 x min(N, processors). Every run's whole report (the checks and
# the processor time split) is kept in the log.
#   bench/spooler_scaling.sh [--rounds R] [--ravlen EXE] [--log FILE] [COUNT...]
# Defaults: 3 rounds of 1 2 3, the working tree's x86_64 build,
# build/win64/soak-scaling.log.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=3
ravlen=()
log="$root/build/win64/soak-scaling.log"
counts=()
while [ $# -gt 0 ]; do
    case $1 in
        --rounds) rounds=$2; shift 2 ;;
        --ravlen) ravlen=(--ravlen "$2"); shift 2 ;;
        --log) log=$2; shift 2 ;;
        -*) echo "unknown option $1" >&2; exit 2 ;;
        *) counts+=("$1"); shift ;;
    esac
done
[ ${#counts[@]} -gt 0 ] || counts=(1 2 3)
mkdir -p "$(dirname "$log")"
: >"$log"
results=$(mktemp)
trap 'rm -f "$results"' EXIT
failed=0
for round in $(seq 1 "$rounds"); do
    for n in "${counts[@]}"; do
        load=$(cut -d' ' -f1-3 /proc/loadavg)
        echo "== round $round, $n instance(s), load $load" >>"$log"
        if ! out=$(python3 "$root/bench/spooler_soak.py" --instances "$n" "${ravlen[@]}" 2>&1); then
            failed=1
        fi
        printf '%s\n' "$out" >>"$log"
        rate=$(printf '%s\n' "$out" | sed -n 's/.*: \([0-9.]*\) files per second$/\1/p')
        verdict=$(printf '%s\n' "$out" | sed -n 's/^soak: \(passed\|failed\)$/\1/p')
        echo "round $round: $n instance(s): ${rate:-?} files/s, ${verdict:-no verdict}" \
            "(load $load)"
        [ -n "$rate" ] && echo "$n $rate" >>"$results"
    done
done
python3 - "$results" "$(nproc)" <<'EOF'
import statistics, sys
rates = {}
for line in open(sys.argv[1]):
    n, rate = line.split()
    rates.setdefault(int(n), []).append(float(rate))
cores = int(sys.argv[2])
one = statistics.median(rates[1]) if 1 in rates else None
for n in sorted(rates):
    median = statistics.median(rates[n])
    line = "%d instance(s): median %.1f files/s of %d run(s) (%.1f to %.1f)" % (
        n, median, len(rates[n]), min(rates[n]), max(rates[n]))
    if one and n > 1:
        line += "; %.2fx one instance, aim %.2fx" % (median / one, 0.9 * min(n, cores))
    print(line)
EOF
exit $failed
