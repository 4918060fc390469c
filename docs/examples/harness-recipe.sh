#!/usr/bin/env bash
# KV480 delivering keys to a receiving application under Wine, with no
# receiver: run it as   scripts/with-harness bash docs/examples/harness-recipe.sh
# from the top of the sources, after the build (README.md).
set -euo pipefail
win=${RC_WIN_BUILD:-build/win}
run() { scripts/wine-exec "$@"; }   # Wine in the harness, modem shim loaded
winpath() { echo "Z:${1//\//\\}"; } # a Linux path as Wine sees it
app=$win/docs/examples/MinimalReceiver.exe # your program here,
class=MinimalReceiver                      # and its window class

# 1. Settings and RecvApp.ini: address 0x12ED, receiver on COM1, "Path" a folder.
dir=$RC_HARNESS_DIR/kv480 && mkdir -p "$dir"
printf '[My app]\r\nClassName=%s\r\nWindowName=NULL\r\n' "$class" >"$dir/RecvApp.ini"
key='HKLM\SOFTWARE\VEKO\KV480'
wine reg add "$key" /v Address /t REG_DWORD /d 0x12ED /f >/dev/null
wine reg add "$key" /v CommPort /t REG_DWORD /d 1 /f >/dev/null
wine reg add "$key" /v Path /t REG_SZ /d "$(winpath "$dir/")" /f >/dev/null

# 2. Start the application and KV480; wait until KV480 has opened COM1 (the
#    simulator on COM11, the other end of the pair, sees its DTR).
run "$app" &
run "$win/tests/harness/rcwin.exe" wait "$class" - 15000
run "$win/Remote_control/KV480.exe" -nr &
sim() { run "$win/tools/ReceiverSimulator/ReceiverSimulator.exe" --port COM11 "$@"; }
sim --quiet --wait-dtr=15000 wait 0

# 3. Which window gets the keys (exit status 1 if none), then keys: a VEKO
#    press, a ZELMAR_OVI hold, a second ZELMAR_OVI press (each run starts with
#    toggle bit 0, so a new press right after another needs --toggle 1).
run "$win/tools/RecvAppCheck/RecvAppCheck.exe"
sim press veko 12ED top-left
sim hold zelmar 12 arrow-up 1500
sim --toggle 1 press zelmar 12 enter
# KV480's release of Enter comes 400 ms after its press; KeySender knows
# nothing of it, so let it come first.
sleep 0.5
# The same without KV480 and receiver, release included; then RecvAppCheck
# again, which shows the caption (where the example shows the last key).
run "$win/tools/KeySender/KeySender.exe" --class "$class" hold arrow-down 1200
run "$win/tools/RecvAppCheck/RecvAppCheck.exe"

# 4. Stop both, as KV480cfg stops KV480: WM_CLOSE to its hidden main window.
run "$win/tests/harness/rcwin.exe" close CRemoteControlClass "Remote Control" 10000
run "$win/tests/harness/rcwin.exe" close "$class" - 10000
wait
echo "recipe done"
