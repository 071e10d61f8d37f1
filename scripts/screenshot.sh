#!/usr/bin/env bash
# Takes docs/screenshot.png again: starts the real program under Xvfb with a
# window manager, chooses a sample salary media file with Browse, shows its
# check code and saves the screen.
#
#   bash scripts/screenshot.sh [OUTPUT.png]
#
# The program is build/bin/vantrelo (scripts/start.sh builds it), or the one
# named by VANTRELO_PROGRAM.
set -euo pipefail
cd "$(dirname "$0")/.."

program=${VANTRELO_PROGRAM:-build/bin/vantrelo}
output=${1:-docs/screenshot.png}

if [[ -z ${VANTRELO_SCREENSHOT_DISPLAY:-} ]]; then
    [[ -x $program ]] || { echo "no program at $program; build it first" >&2; exit 1; }
    VANTRELO_SCREENSHOT_DISPLAY=1 exec xvfb-run --auto-servernum \
        --server-args="-screen 0 1024x768x24" bash "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# A "030" record of 80 characters: the probe digits at 37, 44, 50 and 52,
# the multiplier field at 55 to 60; every other character is left as given.
record() {
    local line=$1 digits=$2 multiplier=$3
    line=${line:0:36}${digits:0:1}${line:37}
    line=${line:0:43}${digits:1:1}${line:44}
    line=${line:0:49}${digits:2:1}${line:50}
    line=${line:0:51}${digits:3:1}${line:52}
    line=${line:0:54}${multiplier}${line:60}
    printf '%s\r\n' "$line"
}
sample=$work/salary-2024-01.txt
{
    record "0300081234567890123456789012345    0000000000000000000000000000000000000000000" 3170 045600
    record "0300081234567890123456789012346    0000000000000000000000000000000000000000000" 8214 052300
    record "0300081234567890123456789012347    0000000000000000000000000000000000000000000" 5093 038750
} >"$sample"

openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

QT_QPA_PLATFORM=xcb "$program" &
pids+=($!)
window=$(xdotool search --sync --onlyvisible --name '^Vantrelo$' | head -1)
for _ in $(seq 50); do
    xprop -id "$window" _NET_WM_STATE | grep -q MAXIMIZED_VERT && break
    sleep 0.1
done
sleep 0.5

# Positions inside the window, in pixels: the middle of each button.
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
click 548 116 # Command1, inside Frame1
xdotool search --sync --onlyvisible --name '^請選擇薪資檔案$' >/dev/null
sleep 0.5
xdotool type --delay 10 "$sample"
xdotool key Return
sleep 0.5
click 152 252 # showvalue
sleep 0.5

mkdir -p "$(dirname "$output")"
import -window root "$output"
echo "saved $output"
cli=$(dirname "$program")/vantrelo-cli
if [[ -x $cli ]]; then
    echo "the code it should show: $("$cli" "$sample")"
fi

click 152 420 # exit
wait "${pids[1]}"
