#!/usr/bin/env bash
# The analysis benchmarks beside base R's analysis of the same files
# (bench/r_reference.R), in alternating rounds: the least time of each over the
# rounds, for the program and for R alike, since a shared machine's speed can
# wander by a quarter from one minute to the next. Measurement only.
#
#   bench/compare_with_r.sh [ROUNDS] [BUILD_DIR]
#
# Needs Rscript: r-base-core is installed for this measurement if it is missing.
set -euo pipefail
rounds=${1:-5}
build=${2:-build}
cd "$(dirname "$0")/.."

if ! command -v Rscript > /dev/null; then
    echo "Installing r-base-core for this measurement." >&2
    if [ "$(id -u)" -eq 0 ]; then apt-get install -y --no-install-recommends r-base-core > /dev/null
    else sudo apt-get install -y --no-install-recommends r-base-core > /dev/null; fi
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
offsets=(-30 -100 -300 30) # 3, 10 and 30 SD below the prediction, 3 above
for s in "${offsets[@]}"; do "$build/write_bench_data" 499 5 "$s" > "$work/bench_$s.txt"; done

declare -A least
keep_least() {
    if [ -z "${least[$1]:-}" ] || awk -v v="$2" -v l="${least[$1]}" 'BEGIN { exit !(v < l) }'; then
        least[$1]=$2
    fi
}
# Google Benchmark's CSV rows, aggregates left out: name and processor time (ms).
bench_rows() {
    "$@" --benchmark_format=csv 2> /dev/null | grep -v '_mean\|_median\|_stddev\|_cv' |
        awk -F, 'NR > 1 { gsub(/"/, "", $1); print $1, $4 }'
}

# The whole pavona-cli process, processor time over 100 runs, beside an empty
# process (/bin/true): needs perf (linux-perf); left out without it.
process_ms() {
    perf stat -r 100 -x, -e task-clock "$@" 2>&1 > /dev/null | awk -F, '/task-clock/ { print $1 }'
}
has_perf=$(command -v perf > /dev/null && perf stat -x, -e task-clock true > /dev/null 2>&1 &&
    echo yes || echo no)

for _ in $(seq "$rounds"); do
    if [ "$has_perf" = yes ]; then
        keep_least "process/empty" "$(process_ms /bin/true)"
        for s in -30 -300; do
            keep_least "process/$s" "$(process_ms "$build/pavona-cli" --predictors 5 \
                --controls 499 "$work/bench_$s.txt")"
        done
    fi
    while read -r name ms; do keep_least "$name" "$ms"; done < <(
        bench_rows "$build/analysis_bench" --benchmark_filter='Whole_analysis/499/5/' \
            --benchmark_repetitions=5)
    while read -r name ms; do keep_least "$name" "$ms"; done < <(
        bench_rows "$build/series_bench" --benchmark_filter='Extra_case' --benchmark_repetitions=3)
    for s in "${offsets[@]}"; do
        ms=$(Rscript bench/r_reference.R "$work/bench_$s.txt" 5 200 2> /dev/null | tail -1 |
            sed -E 's/.*: ([0-9.]+) ms per analysis.*/\1/')
        keep_least "R/$s" "$ms"
    done
done

echo "least time over $rounds rounds (ms), and the program's time as a share of R's"
for s in "${offsets[@]}"; do
    awk -v s="$s" -v n="${least[Whole_analysis/499/5/$s]}" -v r="${least[R/$s]}" \
        'BEGIN { printf "analysis, offset %4s: %.4f, R %.3f, %.3fx\n", s, n, r, n / r }'
done
for c in 499/5 60/3 10/1; do
    awk -v c="$c" -v n="${least[Extra_case/$c]}" -v r="${least[R/-30]}" \
        'BEGIN { printf "each further case, n/k %s: %.4f, %.3fx R at offset -30\n", c, n, n / r }'
done
if [ "$has_perf" = yes ]; then
    for s in -30 -300; do
        awk -v s="$s" -v p="${least[process/$s]}" -v e="${least[process/empty]}" \
            -v r="${least[R/$s]}" 'BEGIN { printf "whole process, offset %4s: %.3f, empty %.3f, " \
            "%.3f above it, %.2fx R\n", s, p, e, p - e, (p - e) / r }'
    done
fi
