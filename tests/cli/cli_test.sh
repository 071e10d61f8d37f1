#!/usr/bin/env bash
# vantrelo-cli as a process: codes, diagnostics, exit statuses, and what it
# does with missing files, directories, FIFOs and standard input.
set -u
cli=${1:?usage: cli_test.sh PATH-TO-vantrelo-cli}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

failures=0
passes=0

# record TYPE D1 D2 D3 D4 MULTIPLIER: a 100-character ASCII record line.
record() {
    local type=$1 line
    line=$(printf '%-100s' "$type" | tr ' ' x)
    if [[ $type == 030 ]]; then
        line=${line:0:36}$2${line:37:6}$3${line:44:5}$4${line:50:1}$5${line:52:2}$6${line:60}
    else
        line=${line:0:37}$2${line:38:6}$3${line:45:5}$4${line:51:1}$5${line:53:2}$6${line:63}
    fi
    printf '%s' "$line"
}

# check NAME EXPECTED-STATUS EXPECTED-STDOUT EXPECTED-STDERR -- COMMAND...
check() {
    local name=$1 status=$2 out=$3 err=$4
    shift 5
    local got_out got_err got_status
    got_out=$("$@" 2>"$work/stderr")
    got_status=$?
    got_err=$(cat "$work/stderr")
    if [[ $got_status == "$status" && $got_out == "$out" && $got_err == "$err" ]]; then
        passes=$((passes + 1))
    else
        failures=$((failures + 1))
        printf 'FAIL %s\n  status %s, expected %s\n  stdout: %q\n  expected %q\n  stderr: %q\n  expected %q\n' \
            "$name" "$got_status" "$status" "$got_out" "$out" "$got_err" "$err"
    fi
}

mismatch='檔 案 內 容 不 符，請 確 認'
{ record 030 1 2 3 4 000100; printf '\r\n'; } >one.txt
{ record 030 9 8 7 6 123456; printf '\r\n'; record 033 1 2 3 4 00000100; printf '\r\n'; } >two.txt
{ record 030 1 2 3 4 000100; printf '\r\n999\r\n'; } >carried.txt
{ record 030 1 2 3 4 000100; printf '\r'; record 030 1 a 3 4 000100; printf '\r'; } >bad.txt
printf '999' >other.txt
: >empty.txt
# S4 grows by 99 a line and passes 2^31 - 1 at line 21691755.
{ record 030 9 8 7 6 123456; head -c 21691755 /dev/zero | tr '\0' '\r'; } >huge.txt
mkdir folder
mkfifo fifo
# A name with Chinese characters and a blank.
cp two.txt '薪資 檔.txt'

check "one file" 0 "01020304  one.txt" "" -- "$cli" one.txt
check "several files in order" 0 $'01020304  one.txt\n33112437  two.txt\n02040608  carried.txt' "" \
    -- "$cli" one.txt two.txt carried.txt
check "chinese name" 0 "33112437  薪資 檔.txt" "" -- "$cli" '薪資 檔.txt'
check "mismatch at its line" 1 "" "bad.txt:2: $mismatch" -- "$cli" bad.txt
check "first line of another type" 1 "" "other.txt:1: $mismatch" -- "$cli" other.txt
check "zero-byte file" 1 "" "empty.txt: $mismatch" -- "$cli" empty.txt
check "overflow" 1 "" "huge.txt:21691755: 檔 案 過 大，無 法 計 算 押 碼 值" -- "$cli" huge.txt
check "missing file" 1 "" "nothere.txt: No such file or directory" -- "$cli" nothere.txt
check "directory" 1 "" "folder: Is a directory" -- "$cli" folder
check "fifo refused at once" 1 "" "fifo: Not a regular file" -- timeout 10 "$cli" fifo
check "device refused at once" 1 "" "/dev/zero: Not a regular file" -- timeout 10 "$cli" /dev/zero
check "goes on after a failure" 1 $'01020304  one.txt\n33112437  two.txt' \
    $'nothere.txt: No such file or directory\nbad.txt:2: '"$mismatch" \
    -- "$cli" one.txt nothere.txt bad.txt two.txt
check "standard input without file" 0 "33112437  -" "" -- sh -c "'$cli' <two.txt"
check "standard input as -" 0 $'01020304  one.txt\n33112437  -' "" -- sh -c "'$cli' one.txt - <two.txt"
check "standard input through a pipe" 0 "02040608  -" "" -- sh -c "cat carried.txt | '$cli' -"
check "empty standard input" 1 "" "-: $mismatch" -- sh -c "'$cli' </dev/null"
check "double dash ends options" 0 "01020304  --help" "" -- sh -c "cp one.txt ./--help && '$cli' -- --help"
check "unknown option" 2 "" $'vantrelo-cli: unrecognized option \'--frobnicate\'\nTry \'vantrelo-cli --help\' for more information.' \
    -- "$cli" --frobnicate one.txt
check "version" 0 "vantrelo-cli $("$cli" --version | cut -d' ' -f2)" "" -- "$cli" --version

help=$("$cli" --help)
if [[ $help == Usage:* && $help == *"$mismatch"* ]]; then passes=$((passes + 1)); else
    failures=$((failures + 1)); echo "FAIL help text: $help"; fi

echo "$passes passed, $failures failed"
[[ $failures == 0 ]]
