#!/usr/bin/env bash
# The user guide's pictures of the spotlight and the talk timer; runs inside
# scripts/with-harness (screenshots-run.sh ends with it). A slide shown by
# Notepad in a large font fills the screen; the remote's keys switch the
# tools on through KV480 as a presenter would.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
win=${RC_BUILD_DIR:-$root/build}/win
images=$root/docs/images
work=$RC_HARNESS_DIR/presenting
mkdir -p "$images" "$work"
magick=/usr/bin/convert

winpath() { echo "Z:${1//\//\\}"; }
run() { "$root/scripts/wine-exec" "$@"; }
rcwin() { run "$win/tests/harness/rcwin.exe" "$@" | tr -d "\r"; }
receiver() { run "$win/tools/ReceiverSimulator/ReceiverSimulator.exe" --port COM11 --quiet "$@"; }
say() { echo "== $*"; }

# The screen area <geometry> as a PNG <file> once two captures in a row are
# alike (the overlay drawn, the pointer's circle settled).
capture() { # geometry file
    local previous="" current i
    for i in $(seq 100); do
        current=$work/capture-$i.png
        if xwd -root -silent >"$work/screen.xwd" 2>/dev/null &&
            $magick "$work/screen.xwd" -crop "$1" +repage "$current"; then
            if [ -n "$previous" ] && compare -metric AE "$previous" "$current" null: 2>/dev/null; then
                cp "$current" "$2"
                return 0
            fi
            previous=$current
        fi
        sleep 0.1
    done
    echo "screenshots: the screen did not settle for $2" >&2
    return 1
}

read -r screen_w screen_h < <(xwininfo -root | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')

say "settings: address 0x12ED, COM1, VEKO; the key map in $work"
key='HKLM\SOFTWARE\VEKO\KV480'
run reg add "$key" /v Address /t REG_DWORD /d 0x12ED /f >/dev/null
run reg add "$key" /v CommPort /t REG_DWORD /d 1 /f >/dev/null
run reg add "$key" /v RC_type /t REG_DWORD /d 0 /f >/dev/null
run reg add "$key" /v Path /t REG_SZ /d "$(winpath "$work/")" /f >/dev/null
printf '%s\r\n' '[Presenting]' 'ClassName=NULL' 'WindowName=NULL' 'Key3=Spotlight' \
    'Key4=Timer "20:00"' >"$work/KeyMap.ini"

say "a slide: Notepad over the whole screen in a large font"
notepad='HKCU\Software\Microsoft\Notepad'
for value in "iWindowPosX 0" "iWindowPosY 0" "iWindowPosDX $screen_w" "iWindowPosDY $screen_h" \
    "iPointSize 360" "lfWeight 700"; do
    run reg add "$notepad" /v "${value% *}" /t REG_DWORD /d "${value#* }" /f >/dev/null
done
run reg add "$notepad" /v lfFaceName /t REG_SZ /d Tahoma /f >/dev/null
# The figures sit in the middle of the screen, where the pointer is.
pad=$(printf '%15s' '')
printf '%s\r\n' '' ' Quarterly results' '' ' Sales by region' '' '' "$pad North +4 %" \
    "$pad South +9 %" "$pad East +12 %" "$pad West  -2 %" '' ' Next: the plan for the spring' \
    >"$work/Results.txt"
run notepad.exe "$(winpath "$work/Results.txt")" &
rcwin wait Notepad - 15000
rcwin front Notepad - 5000

say "starting KV480"
run "$win/Remote_control/KV480.exe" &
rcwin wait CRemoteControlClass "Remote Control" 15000
receiver --wait-dtr=10000 wait 0 || { echo "screenshots: KV480 did not open COM1" >&2; exit 1; }

say "the spotlight (VEKO key 3), around the pointer in the middle of the screen"
receiver press veko 12ED 3
rcwin wait KV480Spotlight - 10000
capture "${screen_w}x${screen_h}+0+0" "$work/spotlight.png"
$magick "$work/spotlight.png" -resize 640x -strip "$images/presenting-spotlight.png"
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
$magick "$work/timer.png" -strip "$images/presenting-timer.png"
echo "   $images/presenting-timer.png"
receiver press veko 12ED 4

rcwin close CRemoteControlClass "Remote Control" 10000
rcwin close Notepad - 10000
wait
say "done"
