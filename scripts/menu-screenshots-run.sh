#!/usr/bin/env bash
# The user guide's pictures of the on-screen menu, the keyboard and the
# keyboard's scanning; runs inside scripts/with-harness of its own
# (scripts/screenshots.sh). Notepad holds a letter; the remote's keys open
# the menu and the keyboard through KV480 as a user would.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
win=${RC_BUILD_DIR:-$root/build}/win
images=$root/docs/images
work=$RC_HARNESS_DIR/menu
mkdir -p "$images" "$work"

source "$root/scripts/desktop-lib.sh"

read -r screen_w screen_h < <(screen_size)

say "settings: address 0x12ED, COM1, VEKO; the key map in $work"
key='HKLM\SOFTWARE\VEKO\KV480'
user='HKCU\Software\VEKO\KV480'
run reg add "$key" /v Address /t REG_DWORD /d 0x12ED /f >/dev/null
run reg add "$key" /v CommPort /t REG_DWORD /d 1 /f >/dev/null
run reg add "$key" /v RC_type /t REG_DWORD /d 0 /f >/dev/null
run reg add "$key" /v Path /t REG_SZ /d "$(winpath "$work/")" /f >/dev/null
run reg delete "$user" /v KeyboardScan /f >/dev/null 2>&1 || true
printf '%s\r\n' '[Steering]' 'Mode=Menu' 'Key1=Menu Up' 'Key2=Menu Down' 'Key3=Menu Left' \
    'Key4=Menu Right' 'Key5=Menu Select' 'Key6=Menu Back' \
    '[Programs]' 'Menu=Main' 'Item1="Notepad" Run "notepad.exe"' \
    'Item2="Calculator" Run "calc.exe"' 'Item3="Paint" Run "mspaint.exe"' \
    'Item4="WordPad" Run "wordpad.exe"' 'Item5="Media player" Run "wmplayer.exe"' \
    'Item6="Type a word" Keyboard' 'Item7="Power" Menu "Power"' \
    '[Default]' 'ClassName=NULL' 'WindowName=NULL' 'Key5=Menu' 'Key6=Keyboard' >"$work/KeyMap.ini"

say "a letter in Notepad over the whole screen"
notepad='HKCU\Software\Microsoft\Notepad'
for value in "iWindowPosX 0" "iWindowPosY 0" "iWindowPosDX $screen_w" "iWindowPosDY $screen_h" \
    "iPointSize 140" "lfWeight 400"; do
    run reg add "$notepad" /v "${value% *}" /t REG_DWORD /d "${value#* }" /f >/dev/null
done
printf '%s\r\n' 'Dear Anna,' '' 'thank you for the photos of the garden. The roses' \
    'look wonderful this year.' '' 'See you on Sunday,' >"$work/Letter.txt"
run notepad.exe "$(winpath "$work/Letter.txt")" &
rcwin wait Notepad - 15000
rcwin front Notepad - 5000

start_compositor
say "starting KV480"
as_user "$win/Remote_control/KV480.exe" &
rcwin wait CRemoteControlClass "Remote Control" 15000
receiver --wait-dtr=10000 wait 0 || { echo "screenshots: KV480 did not open COM1" >&2; exit 1; }

# Until the menu's window is gone.
menu_gone() {
    for _ in $(seq 100); do
        rcwin wait KV480Menu - 0 2>/dev/null || return 0
        sleep 0.05
    done
}

say "the main menu (VEKO key 5), two entries down"
receiver press veko 12ED 5
rcwin wait KV480Menu - 10000
receiver press veko 12ED 2
receiver press veko 12ED 2
capture "${screen_w}x${screen_h}+0+0" "$work/menu.png"
convert "$work/menu.png" -resize 640x -strip "$images/menu.png"
echo "   $images/menu.png"
receiver press veko 12ED 6
menu_gone

say "the keyboard (VEKO key 6), three keys right"
receiver press veko 12ED 6
rcwin wait KV480Menu - 10000
for _ in 1 2 3; do receiver press veko 12ED 4; done
geometry=$(rcwin rect KV480Menu -)
capture "$geometry" "$work/keyboard.png"
convert "$work/keyboard.png" -strip "$images/menu-keyboard.png"
echo "   $images/menu-keyboard.png"
receiver press veko 12ED 6
menu_gone

say "the keyboard scanning its rows (KeyboardScan 3000 ms)"
run reg add "$user" /v KeyboardScan /t REG_DWORD /d 3000 /f >/dev/null
receiver press veko 12ED 6
rcwin wait KV480Menu - 10000
geometry=$(rcwin rect KV480Menu -)
capture "$geometry" "$work/scanning.png"
convert "$work/scanning.png" -strip "$images/menu-scanning.png"
echo "   $images/menu-scanning.png"
receiver press veko 12ED 6
menu_gone
run reg delete "$user" /v KeyboardScan /f >/dev/null 2>&1 || true

rcwin close CRemoteControlClass "Remote Control" 10000
rcwin close Notepad - 10000
wait
say "done"
