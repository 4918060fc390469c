#!/usr/bin/env bash
# The screenshots of the user guide; runs inside scripts/with-harness (see
# screenshots.sh). Goes through the guide's steps as a new user would:
# installs with the setup, finds the port and learns the address in the
# configuration dialog, opens the tray menu and the test dialog, and the
# key-map editor at 96 and 192 DPI.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
win=${RC_BUILD_DIR:-$root/build}/win
images=$root/docs/images
work=$RC_HARNESS_DIR/screenshots
mkdir -p "$images" "$work"

source "$root/scripts/desktop-lib.sh"

# Wine's packages leave the font of the caption buttons out of a new prefix.
[ -f /usr/share/wine/fonts/marlett.ttf ] &&
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"

save() { # png name
    convert "$1" -strip "$images/$2"
    echo "   $images/$2"
}

instdir="$WINEPREFIX/drive_c/Program Files/Remote Control"
say "installing with the setup (silent, default folder)"
run "$win/dist/KV480-setup.exe" /S
[ -f "$instdir/KV480cfg.exe" ] || { echo "screenshots: the setup installed nothing" >&2; exit 1; }

say "the receiver is on COM1; COM2 is another serial port"
run "$win/tests/harness/vportctl.exe" add COM1 "Communications Port (COM1)" >/dev/null
run "$win/tests/harness/vportctl.exe" add COM2 "Communications Port (COM2)" >/dev/null

config=('#32770' 'Remote Control configuration')
say "starting the configuration utility"
(cd "$instdir" && run KV480cfg.exe) &
rcwin wait "${config[@]}" 15000

say "Auto Detect CommPort, holding a key of the remote control"
rcwin click "${config[@]}" 1001
rcwin box "${config[@]}" 10000
# As the message asks: the key is held before OK is clicked, so that the
# search hears only the repeats of the held key.
run "$win/tools/ReceiverSimulator/ReceiverSimulator.exe" --port COM11 --verbose \
    hold veko 12ED 1 8000 >"$work/hold.log" &
holding=$!
for _ in $(seq 200); do
    grep -q sent "$work/hold.log" && break
    sleep 0.05
done
rcwin answer "${config[@]}" 1
rcwin answer "${config[@]}" 1 15000
wait "$holding"

say "Auto Detect Address, a key pressed about once a second"
rcwin click "${config[@]}" 1002
rcwin answer "${config[@]}" 1 10000
for _ in $(seq 8); do echo 'press veko 12ED 1'; echo 'wait 1000'; done |
    receiver script - &
clicking=$!
rcwin answer "${config[@]}" 1 30000
wait "$clicking"

geometry=$(rcwin rect "${config[@]}")
capture "$geometry" "$work/config.png"
save "$work/config.png" config-dialog.png

say "OK: the settings are stored and KV480 starts"
# The shim's record of COM1 starts afresh, so that it shows KV480's opening.
: >"$RC_LINESTATE_DIR/lines-COM1"
rcwin click "${config[@]}" 1
rcwin wait CRemoteControlClass "Remote Control" 15000
for _ in $(seq 200); do
    grep -q 'dtr=1' "$RC_LINESTATE_DIR/lines-COM1" 2>/dev/null && break
    sleep 0.05
done
grep -q 'dtr=1' "$RC_LINESTATE_DIR/lines-COM1" || { echo "screenshots: KV480 did not open COM1" >&2; exit 1; }

tray=__winex11_standalone_tray
place_tray

say "right click on the tray icon"
rcwin rclick "$tray>__winex11_tray_icon" -
rcwin wait '#32768' - 5000
# Only the menu: the icon's surroundings are Wine's own tray window, which
# looks nothing like the taskbar a user has.
menu_geometry=$(rcwin rect '#32768' -)
capture "$menu_geometry" "$work/tray.png"
save "$work/tray.png" tray-menu.png

say "Test remote control, holding VEKO key 3"
rcwin key '#32768' - t
test_dialog=(CRemoteControlClass "Remote Control - Test")
rcwin wait "${test_dialog[@]}" 10000
geometry=$(rcwin rect "${test_dialog[@]}")
capture "$geometry" "$work/test-idle.png"
receiver hold veko 12ED 3 3000 &
holding=$!
# The held key blinks: the first capture that has it marked red.
marked=""
for i in $(seq 100); do
    grab "$geometry" "$work/test-$i.png" || continue
    if [ "$(convert "$work/test-$i.png" -fill black +opaque 'rgb(250,0,0)' -format '%[max]' info:)" != 0 ]; then
        marked=$work/test-$i.png
        break
    fi
    sleep 0.05
done
wait "$holding"
[ -n "$marked" ] || { echo "screenshots: the test dialog never marked the key" >&2; exit 1; }
save "$marked" test-dialog.png

say "closing the test dialog, then Exit in the tray menu"
rcwin command "${test_dialog[@]}" 2
rcwin rclick "$tray>__winex11_tray_icon" -
rcwin wait '#32768' - 5000
rcwin key '#32768' - e
for _ in $(seq 100); do
    rcwin wait CRemoteControlClass "Remote Control" 0 2>/dev/null || break
    sleep 0.05
done
wait

say "the key-map editor, with a key map of the user's, at 96 and 192 DPI"
appdata=$(run cmd /c echo %APPDATA% | tr -d "\r")
userdir="$(winepath -u "$appdata" 2>/dev/null)/Remote Control"
mkdir -p "$userdir"
printf '%s\r\n' '[VLC media player]' 'Program=vlc.exe' 'Key1=P' 'Key2=N' 'Key5=Space' \
    'Key6=F' '' '[Menu Main]' 'Menu=Main' 'Item1="Notepad" Run "notepad.exe"' \
    'Item2="Calculator" Run "calc.exe"' 'Item3="Paint" Run "mspaint.exe"' \
    'Item4="WordPad" Run "wordpad.exe"' 'Item5="Media player" Run "wmplayer.exe"' '' \
    '[All applications]' 'ClassName=NULL' 'WindowName=NULL' 'Key1=Ctrl+Shift+S' 'Key2=PageDown' \
    'Key3=VolumeDown repeat' 'Key4=VolumeUp repeat' 'Key4 long=Mute' 'Key6 long=Menu' >"$userdir/KeyMap.ini"
editor=(KV480KeysEditor "Remote Control keys")
for dpi in 96 192; do
    run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
    (cd "$instdir" && as_user "$instdir/KV480keys.exe") &
    rcwin wait "${editor[@]}" 15000
    suffix=$([ "$dpi" = 96 ] && echo "" || echo "-$dpi")
    geometry=$(rcwin rect "${editor[@]}")
    capture "$geometry" "$work/keys$dpi.png"
    save "$work/keys$dpi.png" "keys-editor$suffix.png"
    if [ "$dpi" = 96 ]; then
        rcwin click "${editor[@]}" 1004
        rcwin wait '#32770' 'Add application' 10000
        geometry=$(rcwin rect '#32770' 'Add application')
        capture "$geometry" "$work/keys-add.png"
        save "$work/keys-add.png" keys-add-application.png
        rcwin command '#32770' 'Add application' 2
        # The menu in the key's place: third in the list, after the
        # installation's mode Menu and VLC.
        rcwin select "${editor[@]}" 1001 2
        capture "$(rcwin rect "${editor[@]}")" "$work/keys-menu.png"
        save "$work/keys-menu.png" keys-editor-menu.png
    fi
    rcwin close "${editor[@]}"
    wait
done
run reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 || true
say "done"
