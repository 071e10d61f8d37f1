#!/usr/bin/env bash
# vantrelo-cli on files that try to break it: a 64 MiB line (LF alone),
# a position sum that overflows after 21691754 empty lines, files truncated
# and grown while they are read, a FIFO and devices.
#
#   hostile_files_test.sh path/to/vantrelo-cli
set -uo pipefail

cli=${1:?usage: hostile_files_test.sh path/to/vantrelo-cli}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# A "030" record with probe digits 9, 8, 7, 6 and multiplier 123456: 320Y2133.
record="030$(printf 'x%.0s' {1..33})9xxxxxx8xxxxx7x6xx123456xxxxxxxxxx"
too_large='檔 案 過 大，無 法 計 算 押 碼 值'

# Doubles the file until it has at least $2 bytes.
grow_to() {
    while (($(stat -c %s "$1") < $2)); do
        cat "$1" "$1" >"$1.twice" && mv "$1.twice" "$1"
    done
}

# --- A file whose lines end in LF alone is one line of 64 MiB. ---
lf="$work/lf.txt"
printf '%s\n' "$record" >"$lf"
grow_to "$lf" $((64 * 1024 * 1024))
out=$(/usr/bin/time -f %M -o "$work/memory" "$cli" "$lf" 2>"$work/err")
status=$?
[[ $status -eq 0 && $out == "320Y2133  $lf" ]] || fail "LF-only file: status $status, output '$out'"
memory=$(tail -n 1 "$work/memory")
echo "LF-only 64 MiB line: peak memory ${memory} KiB"
((memory < 16 * 1024)) || fail "LF-only file: peak memory ${memory} KiB"
rm -f "$lf"

# --- One record, then 21691754 empty lines: S4 passes 2^31 - 1 at line 21691755. ---
huge="$work/huge.txt"
{
    printf '%s\r\n' "$record"
    yes $'\r' | head -n 21691754
} >"$huge"
out=$(/usr/bin/time -f %M -o "$work/memory" "$cli" "$huge" 2>"$work/err")
status=$?
err=$(cat "$work/err")
[[ $status -eq 1 && -z $out && $err == "$huge:21691755: $too_large" ]] ||
    fail "overflow: status $status, output '$out', error '$err'"
echo "overflow file: peak memory $(tail -n 1 "$work/memory") KiB"
# One empty line fewer fits.
head -c -2 "$huge" >"$huge.fits"
out=$("$cli" "$huge.fits" 2>&1)
[[ $? -eq 0 && $out =~ ^[0-9A-HJKMNP-Y]{8}\ \ $huge.fits$ ]] || fail "one line fewer: '$out'"
rm -f "$huge" "$huge.fits"

# --- Files truncated or grown while they are read: a code or one diagnostic. ---
# Exit status 0 with one code line, or 1 with one diagnostic line; never a
# crash, never both.
expect_clear_outcome() {
    local file=$1 status=$2 out=$3 err=$4 what=$5
    if ((status == 0)); then
        [[ $out =~ ^[0-9A-HJKMNP-Y]{8}\ \ $file$ && -z $err ]] || fail "$what: '$out' '$err'"
    elif ((status == 1)); then
        [[ -z $out && $(wc -l <<<"$err") -eq 1 && $err == "$file"* ]] || fail "$what: '$out' '$err'"
    else
        fail "$what: exit status $status"
    fi
}

changing="$work/changing.txt"
printf '%s\r\n' "$record" >"$changing"
grow_to "$changing" $((32 * 1024 * 1024))
cp "$changing" "$work/original.txt"
for round in 1 2 3 4; do
    cp "$work/original.txt" "$changing"
    "$cli" "$changing" >"$work/out" 2>"$work/err" &
    reader=$!
    # Truncate to odd places, or append a broken record, while it reads.
    while kill -0 "$reader" 2>/dev/null; do
        if ((round % 2 == 1)); then
            truncate -s $((RANDOM * 300 + 7)) "$changing"
        else
            printf '030\xa4\r\n%s' "$record" >>"$changing"
        fi
    done
    wait "$reader"
    expect_clear_outcome "$changing" $? "$(cat "$work/out")" "$(cat "$work/err")" \
        "changed while read (round $round)"
done
rm -f "$changing" "$work/original.txt"

# --- A FIFO, even with a writer and data waiting, and devices: refused at once. ---
fifo="$work/fifo"
mkfifo "$fifo"
exec 3<>"$fifo"
printf '%s\r\n' "$record" >&3
ln -s /dev/zero "$work/zero-link.txt"
for file in "$fifo" /dev/zero /dev/urandom "$work/zero-link.txt"; do
    out=$(timeout 10 "$cli" "$file" 2>"$work/err")
    status=$?
    err=$(cat "$work/err")
    [[ $status -eq 1 && -z $out && $err == "$file: Not a regular file" ]] ||
        fail "$file: status $status, output '$out', error '$err'"
done
exec 3>&-

if ((failures > 0)); then
    echo "$failures hostile-file check(s) failed" >&2
    exit 1
fi
echo "all hostile-file checks passed"
