#!/bin/bash
# Runs every benchmark and prints one table of figures against their targets.
#   bench/run-all.sh          quick versions where a benchmark has one
#   FULL=1 bench/run-all.sh   the full runs (the link wait takes 30 s, the
#                             measurement is always paced over 60 s)
# Expects a built tree in build/ (./test.sh or ./run.sh builds it).
set -u
cd "$(dirname "$0")/.."
BIN=build/bench
export QT_QPA_PLATFORM=offscreen
full="${FULL:-}"

declare -A TARGET=(
    [bench_evaluation]="as fast as possible"
    [bench_store]="see line"
    [bench_engines]="see line"
    [bench_link]="< 2 % of one core"
    [bench_measurement]="< 2 % of one core at real pace"
    [bench_report]="< 0.5 s"
    [bench_import]="none set"
    [bench_listing]="<= 3 x sqlite3, < 60 MiB"
    [bench_migration]="< 10 s for 10,000 records"
    [bench_statistics]="< 1 s"
    [bench_copy]="see line"
    [bench_unreachable]="< 5 s"
)
declare -A ARGS=(
    [bench_link]="${full:+}${full:---quick}"
    [bench_measurement]="--pace-seconds 60"
    [bench_store]="${full:+}${full:-20000}"
)

printf '| %-18s | %-100s | %-32s |\n' "benchmark" "figure" "target"
printf '|%s|%s|%s|\n' "--------------------" "------------------------------------------------------------------------------------------------------" "----------------------------------"
for name in bench_evaluation bench_store bench_engines bench_link bench_measurement bench_report bench_import bench_listing bench_migration bench_statistics bench_copy bench_unreachable; do
    exe="$BIN/$name"
    [ -x "$exe" ] || exe="build/$name"
    if [ ! -x "$exe" ]; then
        printf '| %-18s | %-100s | %-32s |\n' "$name" "not built" "${TARGET[$name]}"
        continue
    fi
    # The engine and copy benchmarks measure a server too, on one that
    # pg_virtualenv starts for it in a temporary folder.
    runner=""
    if { [ "$name" = bench_engines ] || [ "$name" = bench_copy ]; } \
        && command -v pg_virtualenv > /dev/null; then
        runner="pg_virtualenv -t"
    fi
    # shellcheck disable=SC2086
    output=$($runner "$exe" ${ARGS[$name]:-} 2>/dev/null | grep -v "PostgreSQL cluster\|Dropping cluster")
    while IFS= read -r line; do
        [ -z "$line" ] && continue
        target="${TARGET[$name]}"
        if [[ "$line" =~ \(([^\)]*target[^\)]*)\) ]]; then
            target="${BASH_REMATCH[1]#*target }"
            line="${line/(${BASH_REMATCH[1]})/}"
        fi
        printf '| %-18s | %-100s | %-32s |\n' "$name" "${line:0:100}" "$target"
    done <<< "$output"
done
