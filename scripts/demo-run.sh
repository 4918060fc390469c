#!/usr/bin/env bash
# The demonstration itself; runs inside scripts/with-harness (see demo.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
win=${RC_BUILD_DIR:-$root/build}/win
out=$root/out
mkdir -p "$out"

demo=$RC_HARNESS_DIR/demo
work=$demo
mkdir -p "$demo"
source "$root/scripts/desktop-lib.sh"
log=$demo/keys.log
# The installation folder: RecvApp.ini names the demo application by class.
printf '[Demo receiver]\r\nClassName=KV480DemoReceiver\r\nWindowName=NULL\r\n' >"$demo/RecvApp.ini"

echo "== settings: address 0x12ED, COM1, type VEKO, path $(winpath "$demo/")"
key='HKLM\SOFTWARE\VEKO\KV480'
wine reg add "$key" /v Address /t REG_DWORD /d 0x12ED /f >/dev/null
wine reg add "$key" /v CommPort /t REG_DWORD /d 1 /f >/dev/null
wine reg add "$key" /v RC_type /t REG_DWORD /d 0 /f >/dev/null
wine reg add "$key" /v Path /t REG_SZ /d "$(winpath "$demo/")" /f >/dev/null

echo "== starting the demo receiving application and KV480"
run "$win/tools/DemoReceiver/DemoReceiver.exe" --log "$(winpath "$log")" &
run "$win/tests/harness/rcwin.exe" wait KV480DemoReceiver - 15000
start_compositor
as_user "$win/Remote_control/KV480.exe" &
run "$win/tests/harness/rcwin.exe" wait CRemoteControlClass "Remote Control" 15000
# KV480 raises DTR once it has opened COM1; the simulator on the other end of
# the null-modem pair sees it as DSR.
run "$win/tools/ReceiverSimulator/ReceiverSimulator.exe" --port COM11 --quiet --wait-dtr=10000 \
    wait 0 || { echo "KV480 did not open COM1" >&2; exit 1; }

echo "== opening KV480's test dialog (tray menu: Test remote control)"
run "$win/tests/harness/rcwin.exe" command CRemoteControlClass "Remote Control" 32785
run "$win/tests/harness/rcwin.exe" wait CRemoteControlClass "Remote Control - Test" 15000

# While the VEKO key 3 is held, a few screenshots: its repeats reach the log
# once the hold runs, and the mark blinks, so one of them shows it marked.
(
    for _ in $(seq 1000); do
        grep -q 'key=3 repeat=1' "$log" 2>/dev/null && break
        sleep 0.02
    done
    grep -q 'key=3 repeat=1' "$log" 2>/dev/null || exit 0
    for i in 1 2 3 4 5; do
        shoot "$demo/hold-$i.miff"
        sleep 0.08
    done
) &
hold_shots=$!

echo "== the simulated receiver on COM11 plays presses and holds of both remotes"
cat >"$demo/keys.script" <<'SCRIPT'
# VEKO remote, address 12ED
press veko 12ED 1
wait 400
press veko 12ED 4
wait 400
hold veko 12ED 3 1200
wait 600
# ZELMAR_OVI remote, address bits 12 (stored as 0x12 in the high byte)
press zelmar 12 F1
wait 400
press zelmar 12 Enter
wait 400
hold zelmar 12 arrow-up 1200
wait 600
SCRIPT
run "$win/tools/ReceiverSimulator/ReceiverSimulator.exe" --port COM11 --verbose \
    script "$(winpath "$demo/keys.script")"

# Every press and hold above gives at least one line.
for _ in $(seq 100); do
    [ "$(grep -c . "$log" 2>/dev/null || true)" -ge 6 ] && break
    sleep 0.05
done
shoot "$out/demo-screen.png"
echo "== keys the demo receiving application received"
cat "$log"
echo "== screenshot: $out/demo-screen.png"

# The first of the hold's screenshots with the red mark (RGB 250,0,0) in it.
wait "$hold_shots"
for i in 1 2 3 4 5; do
    shot=$demo/hold-$i.miff
    [ -s "$shot" ] || continue
    cp "$shot" "$demo/hold.miff"
    [ "$(convert "$shot" -fill black +opaque 'rgb(250,0,0)' -format '%[max]' info:)" != 0 ] && break
done
if [ -s "$demo/hold.miff" ]; then
    convert "$demo/hold.miff" "$out/demo-test-dialog.png"
    echo "== test dialog during the hold of VEKO key 3: $out/demo-test-dialog.png"
else
    echo "== no screenshot of the test dialog: the hold did not reach the log" >&2
fi

# Keys for an ordinary program. Notepad does not know the remote's message;
# with the demo application closed no receiving application takes the keys,
# so KV480 types what KeyMap.ini (read again at the next key) names into the
# window in front.
echo "== key map: the remote types into Notepad, which does not know the message"
rcwin close KV480DemoReceiver - 10000
printf '%s\r\n' '[Notepad]' 'ClassName=Notepad' 'WindowName=* - Notepad' \
    'Key1=Shift+K' 'Key2=Shift+V' 'Key3=4' 'Key4=8' 'Key5=0' >"$demo/KeyMap.ini"
run notepad &
rcwin wait Notepad - 15000
rcwin front Notepad - 5000
printf 'press veko 12ED %s\nwait 300\n' 1 2 3 4 5 >"$demo/notepad.script"
run "$win/tools/ReceiverSimulator/ReceiverSimulator.exe" --port COM11 \
    script "$(winpath "$demo/notepad.script")"
typed=
for _ in $(seq 100); do
    typed=$(rcwin text 'Notepad>Edit' - 2000 | tr -d '\r')
    [ "$typed" = KV480 ] && break
    sleep 0.05
done
shoot "$out/demo-notepad.png"
echo "== typed into Notepad by keys 1 to 5 of the VEKO remote: \"$typed\""
echo "== screenshot: $out/demo-notepad.png"
# Closing the changed text makes Notepad ask whether to save it: No (7).
rcwin close Notepad - 10000 &
rcwin answer '#32770' - 7 10000 >/dev/null || true
wait $!
[ "$typed" = KV480 ] || { echo "the keys did not reach Notepad" >&2; exit 1; }

# What the product does beyond posting keys: a mode gives the six keys the
# presenter's tools, over a slide show that fills the screen.
echo "== a mode: the VEKO's key 6 gives its keys the presenter's tools"
printf '%s\r\n' '[Talk]' 'Mode=Talk' 'Key1=PageUp' 'Key2=PageDown' 'Key3=Spotlight' \
    'Key4=Timer "20:00"' 'Key5=LaserDot' 'Key6=Mode Off' '' \
    '[Default]' 'ClassName=NULL' 'WindowName=NULL' 'Key6=Mode "Talk"' >"$demo/KeyMap.ini"
sed 's/^/   /' "$demo/KeyMap.ini" | tr -d '\r'
read -r screen_w screen_h < <(screen_size)
whole=${screen_w}x${screen_h}+0+0
show_slide "$demo/Results.txt"
place_tray
receiver press veko 12ED 6
# The note shows for a moment only: taken at once.
rcwin wait KV480ActionNote - 10000
grab "$whole" "$out/demo-mode.png"
echo "== the note names the mode switched on: $out/demo-mode.png"
receiver press veko 12ED 3
rcwin wait KV480Spotlight - 10000
sleep 0.5
grab "$whole" "$out/demo-spotlight.png"
echo "== key 3: the spotlight around the pointer: $out/demo-spotlight.png"
receiver press veko 12ED 3
for _ in $(seq 100); do
    rcwin wait KV480Spotlight - 0 2>/dev/null || break
    sleep 0.05
done
receiver press veko 12ED 4
rcwin wait KV480Timer - 10000
# It counts every second: taken once it is drawn, not once the screen is still.
sleep 0.3
grab "$whole" "$out/demo-timer.png"
echo "== key 4: the talk timer, 20 minutes, in the top right corner: $out/demo-timer.png"
receiver press veko 12ED 4
# Over the icon, its tooltip names the mode too. (Wine's tray is a window
# of its own, which the slide covers.)
rcwin front __winex11_standalone_tray - 5000
rcwin hover "__winex11_standalone_tray>__winex11_tray_icon" -
tip=
for _ in $(seq 100); do
    tip=$(rcwin text tooltips_class32 - 1000 | tr '\n' ' ')
    case $tip in *Talk*) break ;; esac
    sleep 0.05
done
capture "480x200+$((screen_w - 480))+$((screen_h - 200))" "$out/demo-mode-tooltip.png"
echo "== the tray icon's tooltip, \"$tip\": $out/demo-mode-tooltip.png"

rcwin front Notepad - 5000
receiver press veko 12ED 6
rcwin close Notepad - 10000

echo "== the key-map editor, on the key map that KV480 uses here"
as_user "$win/RCkeys/KV480keys.exe" &
rcwin wait KV480KeysEditor "Remote Control keys" 15000
# The mode's entry (first in the list of applications), key 3.
rcwin select KV480KeysEditor "Remote Control keys" 1001 0
rcwin select KV480KeysEditor "Remote Control keys" 1008 2
editor=$(rcwin rect KV480KeysEditor "Remote Control keys")
capture "$editor" "$out/demo-editor.png"
echo "== screenshot: $out/demo-editor.png"
rcwin close KV480KeysEditor "Remote Control keys" 10000

run "$win/tests/harness/rcwin.exe" close CRemoteControlClass "Remote Control" 10000
wait
