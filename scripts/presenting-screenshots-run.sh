#!/usr/bin/env bash
# The user guide's pictures of the spotlight and the talk timer; runs inside
# scripts/with-harness of its own (scripts/screenshots.sh). A slide shown by
# Notepad in a large font fills the screen; the remote's keys switch the
# tools on through KV480 as a presenter would.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
win=${RC_BUILD_DIR:-$root/build}/win
images=$root/docs/images
work=$RC_HARNESS_DIR/presenting
mkdir -p "$images" "$work"

source "$root/scripts/desktop-lib.sh"

read -r screen_w screen_h < <(screen_size)

say "settings: address 0x12ED, COM1, VEKO; the key map in $work"
key='HKLM\SOFTWARE\VEKO\KV480'
run reg add "$key" /v Address /t REG_DWORD /d 0x12ED /f >/dev/null
run reg add "$key" /v CommPort /t REG_DWORD /d 1 /f >/dev/null
run reg add "$key" /v RC_type /t REG_DWORD /d 0 /f >/dev/null
run reg add "$key" /v Path /t REG_SZ /d "$(winpath "$work/")" /f >/dev/null
printf '%s\r\n' '[Presenting]' 'ClassName=NULL' 'WindowName=NULL' 'Key3=Spotlight' \
    'Key4=Timer "20:00"' >"$work/KeyMap.ini"

say "a slide: Notepad over the whole screen in a large font"
show_slide "$work/Results.txt"

start_compositor
say "starting KV480"
as_user "$win/Remote_control/KV480.exe" &
rcwin wait CRemoteControlClass "Remote Control" 15000
receiver --wait-dtr=10000 wait 0 || { echo "screenshots: KV480 did not open COM1" >&2; exit 1; }

say "the spotlight (VEKO key 3), around the pointer in the middle of the screen"
rcwin hover Notepad -
receiver press veko 12ED 3
rcwin wait KV480Spotlight - 10000
capture "${screen_w}x${screen_h}+0+0" "$work/spotlight.png"
convert "$work/spotlight.png" -resize 640x -strip "$images/presenting-spotlight.png"
echo "   $images/presenting-spotlight.png"
receiver press veko 12ED 3
for _ in $(seq 100); do
    rcwin wait KV480Spotlight - 0 2>/dev/null || break
    sleep 0.05
done

say "the talk timer (VEKO key 4), in the top right corner"
receiver press veko 12ED 4
rcwin wait KV480Timer - 10000
timer=$(rcwin rect KV480Timer -)
size=${timer%%+*}
place=${timer#*+}
width=$((${size%x*} * 3))
height=$((${size#*x} * 3))
capture "${width}x${height}+$((${place%+*} + ${size%x*} - width))+${place#*+}" "$work/timer.png"
convert "$work/timer.png" -strip "$images/presenting-timer.png"
echo "   $images/presenting-timer.png"
receiver press veko 12ED 4

rcwin close CRemoteControlClass "Remote Control" 10000
rcwin close Notepad - 10000
wait
say "done"
