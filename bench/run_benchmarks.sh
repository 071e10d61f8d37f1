#!/usr/bin/env bash
# Times vantrelo-cli against `wc -l` on generated salary media files, side by
# side in one run, and prints the ratios and peak memory as a table, then how
# the time grows with the file's size.
#
#   bench/run_benchmarks.sh [-b BINDIR] [-n RUNS] [-s MIB] [-l MIB] [-L "MIB ..."] [-g]
#
#   -b BINDIR  where vantrelo-cli and make_bench_file are (default: build/bin of this checkout)
#   -n RUNS    timed runs of each command per file; the median counts (default 5)
#   -s MIB     size of the records, big5, short and empty files (default 16)
#   -l MIB     size of the LF-only file (default 8)
#   -L "MIB ..." sizes of the records files for the linearity check (default "1 4 16")
#   -g         also a 2 GiB LF-only file: memory and time of a 2 GiB line
#
# The figures of the README: bench/run_benchmarks.sh -n 7 -s 512 -l 256 -L "1 64 512" -g
# Files are generated under a fresh directory in ${TMPDIR:-/tmp} and deleted
# afterwards. Runs alternate between the two commands, after one untimed read
# that puts the file into the page cache.
set -euo pipefail

bindir=$(dirname "$0")/../build/bin
runs=5
size=16
lf_size=8
linearity="1 4 16"
two_gib=false
while getopts "b:n:s:l:L:g" option; do
    case $option in
        b) bindir=$OPTARG ;;
        n) runs=$OPTARG ;;
        s) size=$OPTARG ;;
        l) lf_size=$OPTARG ;;
        L) linearity=$OPTARG ;;
        g) two_gib=true ;;
        *) sed -n '2,20p' "$0" >&2; exit 2 ;;
    esac
done
cli=$bindir/vantrelo-cli
generator=$bindir/make_bench_file
for tool in "$cli" "$generator" /usr/bin/time; do
    [[ -x $tool ]] || { echo "run_benchmarks.sh: $tool is missing (build first)" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vantrelo-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Wall time of one run in microseconds; the command's output is checked by
# the caller, not here.
time_once() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}

# Prints "wc-median cli-median" in microseconds for file $1.
time_pair() {
    local file=$1 wc_times=() cli_times=()
    cat "$file" >/dev/null
    for ((run = 0; run < runs; run++)); do
        if ((run % 2 == 0)); then
            wc_times+=("$(time_once wc -l "$file")")
            cli_times+=("$(time_once "$cli" "$file")")
        else
            cli_times+=("$(time_once "$cli" "$file")")
            wc_times+=("$(time_once wc -l "$file")")
        fi
    done
    echo "$(printf '%s\n' "${wc_times[@]}" | median) $(printf '%s\n' "${cli_times[@]}" | median)"
}

peak_kib() {
    /usr/bin/time -f %M -o "$work/memory" "$cli" "$1" >/dev/null 2>&1 || true
    tail -n 1 "$work/memory"
}

# The CLI must give a code for every benchmark file: a broken build is not
# timed.
expect_code() {
    local out
    out=$("$cli" "$1" 2>&1) || { echo "run_benchmarks.sh: no check code for $1: $out" >&2; exit 1; }
}

echo "Machine: $(nproc) cores, $(grep -m 1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo "Load before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Runs per command and file: $runs (median, interleaved, warm page cache)"
echo
printf '| %-36s | %9s | %12s | %12s | %11s | %11s |\n' file MiB "wc -l ms" "cli ms" "cli / wc" "peak KiB"
printf '|%s|%s|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..38})" "-----------" "--------------" \
    "--------------" "-------------" "-------------"

row() {
    local kind=$1 mib=$2 label=$3 file="$work/$1.txt"
    "$generator" "$kind" $((mib * 1024 * 1024)) "$file"
    expect_code "$file"
    read -r wc_us cli_us < <(time_pair "$file")
    local memory
    memory=$(peak_kib "$file")
    awk -v label="$label" -v mib="$mib" -v wc="$wc_us" -v cli="$cli_us" -v memory="$memory" \
        'BEGIN { printf "| %-36s | %9s | %12.1f | %12.1f | %11.2f | %11s |\n",
                 label, mib, wc / 1000, cli / 1000, cli / (wc > 0 ? wc : 1), memory }'
    rm -f "$file"
}

row records "$size" "records (~100 chars, 030/033, CR LF)"
row big5 "$size" "records with Big5 names"
row short "$size" "short lines of another type"
row empty "$size" "empty lines (CR) after one record"
row lf "$lf_size" "LF alone (one single line)"
if $two_gib; then
    row lf 2048 "LF alone, 2 GiB single line"
fi

echo
# The time per MiB leaves out the start-up: the time of a one-record file.
"$generator" records 200 "$work/one.txt"
expect_code "$work/one.txt"
read -r _ startup_us < <(time_pair "$work/one.txt")
echo "Linearity (records files; start-up, a one-record file: $(awk -v t="$startup_us" 'BEGIN { printf "%.1f", t / 1000 }') ms):"
printf '| %9s | %12s | %22s |\n' MiB "cli ms" "ms per MiB after start-up"
printf '|%s|%s|%s|\n' "-----------" "--------------" "----------------------------"
for mib in $linearity; do
    file="$work/linear.txt"
    "$generator" records $((mib * 1024 * 1024)) "$file"
    expect_code "$file"
    read -r _ cli_us < <(time_pair "$file")
    awk -v mib="$mib" -v cli="$cli_us" -v startup="$startup_us" \
        'BEGIN { printf "| %9s | %12.1f | %26.3f |\n", mib, cli / 1000, (cli - startup) / 1000 / mib }'
    rm -f "$file"
done
echo
echo "Load after: $(cut -d' ' -f1-3 /proc/loadavg)"
