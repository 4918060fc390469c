#!/usr/bin/env bash
# The remote's keys in LIRC's own tools, through KV480's LIRC stream, under
# Wine with no receiver: run it as   scripts/with-harness bash docs/examples/lirc-recipe.sh
# from the top of the sources, after the build (README.md). lircd and irw
# come with Debian's lirc package.
set -euo pipefail
win=${RC_WIN_BUILD:-build/win}
run() { scripts/wine-exec "$@"; }   # Wine in the harness, modem shim loaded
winpath() { echo "Z:${1//\//\\}"; } # a Linux path as Wine sees it
# Waits up to 15 s for a condition.
wait_for() { for _ in $(seq 150); do eval "$1" && return 0; sleep 0.1; done; echo "no: $1"; return 1; }

# 1. Settings: address 0x12ED, receiver on COM1. Without a LircPort value
#    KV480 serves the stream on port 8765; here LircPort names a free port,
#    since other runs on this machine may be serving 8765.
dir=$RC_HARNESS_DIR/kv480-lirc && mkdir -p "$dir"
key='HKLM\SOFTWARE\VEKO\KV480'
wine reg add "$key" /v Address /t REG_DWORD /d 0x12ED /f >/dev/null
wine reg add "$key" /v CommPort /t REG_DWORD /d 1 /f >/dev/null
wine reg add "$key" /v Path /t REG_SZ /d "$(winpath "$dir/")" /f >/dev/null
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
wine reg add "$key" /v LircPort /t REG_DWORD /d "$port" /f >/dev/null

# 2. KV480; wait until it has opened COM1 and listens on 127.0.0.1:$port.
run "$win/Remote_control/KV480.exe" -nr &
sim() { run "$win/tools/ReceiverSimulator/ReceiverSimulator.exe" --port COM11 "$@"; }
sim --quiet --wait-dtr=15000 wait 0
wait_for '(exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null'

# 3. lircd as a client of KV480 (--connect), handing what it gets to its own
#    clients on a socket. Its udp driver needs no hardware (a spare UDP port)
#    and an empty lircd.conf no remotes of its own. irw prints each line.
udp=$(python3 -c 'import socket; s=socket.socket(type=socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
: >"$dir/lircd.conf"
lircd --nodaemon --driver=udp --device="$udp" --connect="127.0.0.1:$port" \
      --output="$dir/lircd.socket" --pidfile="$dir/lircd.pid" \
      --logfile="$dir/lircd.log" "$dir/lircd.conf" &
lircd_pid=$!
wait_for '[ -S "$dir/lircd.socket" ]'
irw "$dir/lircd.socket" >"$dir/irw.out" &
irw_pid=$!
wait_for 'grep -q "Connected to 127.0.0.1" "$dir/lircd.log" && grep -q "accepted new client" "$dir/lircd.log"'

# 4. Keys: a VEKO press, a ZELMAR_OVI hold; irw shows presses, repeats and
#    releases as they come.
sim press veko 12ED top-left
sim hold zelmar 12 arrow-up 1500
wait_for 'grep -q ARROW_UP_UP "$dir/irw.out"'
cat "$dir/irw.out"

# 5. Stop irw and lircd, and KV480 as KV480cfg stops it.
kill "$irw_pid" "$lircd_pid"
run "$win/tests/harness/rcwin.exe" close CRemoteControlClass "Remote Control" 10000
wait
grep -qx '000000000012ed01 00 TOP_LEFT_UP VEKO' "$dir/irw.out"
grep -qx '000000000012ed0f 01 ARROW_UP ZELMAR_OVI' "$dir/irw.out"
echo "recipe done"
