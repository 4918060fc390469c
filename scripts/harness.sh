# Test harness for the Windows programs under Wine; sourced by with-harness.
#
# harness_start sets up, for one run:
#   - a fresh WINEPREFIX in a temporary folder with one persistent wineserver;
#   - an Xvfb display of its own (Xvfb picks a free number); with
#     RC_TWO_MONITORS=1 an Xorg display with two monitors side by side instead
#     (tests/harness/xorg-two-monitors.conf: 1280x1024 at 0,0 and 1024x768 at
#     1280,0; needs root and xserver-xorg-video-dummy);
#   - virtual COM ports: socat pty pairs, COMn linked to one end and COM(n+10)
#     to the other, so a Windows program on COM(n+10) plays the device on COMn;
#   - the line-state folder the modem shim records into, with lines-COMn -> pts-N
#     links (not "COMn": that is a device name in every Windows folder), and
#     peer-pts-N -> pts-M links between the ends of a pair, through which the
#     shim wires DTR to DSR/DCD and RTS to CTS as a null-modem cable does.
# harness_stop ends every process it started and removes the folder.
# harness_port_unplug / harness_port_replug end a pair and make a new one under
# the same COM names, as a receiver that vanishes and comes back; a Windows
# test asks for them through scripts/harness-port (see there).
# Wine's debug channels are off; RC_WINEDEBUG sets them (WINEDEBUG's syntax).
# Exports: WINEPREFIX DISPLAY RC_HARNESS_DIR RC_LINESTATE_DIR RC_MODEM_SHIM RC_PORT_PAIRS
#          RC_HARNESS_PORT, and RC_TWO_MONITORS=1 when the display has two monitors

RC_ROOT=${RC_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
RC_PORT_COUNT=${RC_PORT_COUNT:-4}

harness_log() { echo "harness: $*" >&2; }

# Waits for a condition to hold. Gives up after ~10 s, or after
# RC_HARNESS_WAIT_STEPS x 50 ms: waits on Wine's services get longer, since a
# busy machine can slow their start a lot.
harness_wait_for() { # condition command...
    local i
    for i in $(seq "${RC_HARNESS_WAIT_STEPS:-200}"); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}

harness_start() {
    RC_HARNESS_DIR=$(mktemp -d /tmp/rc-harness.XXXXXX)
    export RC_HARNESS_DIR
    export WINEPREFIX=$RC_HARNESS_DIR/prefix WINEARCH=win64 WINEDEBUG=${RC_WINEDEBUG:--all}
    # No Mono/Gecko installs, and no menu entries written to the host desktop.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export RC_LINESTATE_DIR=$RC_HARNESS_DIR/linestate
    mkdir -p "$RC_LINESTATE_DIR" "$RC_HARNESS_DIR/ports"
    : >"$RC_HARNESS_DIR/pids"

    local shim=${RC_MODEM_SHIM:-$RC_ROOT/build/native/tests/harness/libmodem_shim.so}
    [ -f "$shim" ] || { harness_log "modem shim missing: $shim (build first)"; return 1; }
    export RC_MODEM_SHIM=$shim
    export RC_HARNESS_PORT=$RC_ROOT/scripts/harness-port

    if [ "${RC_TWO_MONITORS:-}" = 1 ]; then
        harness_start_two_monitors || return 1
    elif [ -z "${RC_USE_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
        # RC_SCREEN: a larger screen, for windows shown at 200 %.
        Xvfb -displayfd 3 -screen 0 "${RC_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$RC_HARNESS_DIR/display" \
            >/dev/null 2>&1 &
        echo $! >>"$RC_HARNESS_DIR/pids"
        harness_wait_for test -s "$RC_HARNESS_DIR/display" || { harness_log "Xvfb did not start"; return 1; }
        export DISPLAY=:$(head -n1 "$RC_HARNESS_DIR/display")
    fi

    mkdir -p "$WINEPREFIX"
    wineserver -p
    wineboot -i >/dev/null 2>&1 || { harness_log "wineboot failed"; return 1; }

    local n
    for n in $(seq 1 "$RC_PORT_COUNT"); do
        harness_port_pair "$n" "$((n + 10))" || return 1
    done

    # Wine's mount manager links com1.. to the machine's serial devices each
    # time the services start; ports declared under Wine\Ports are linked
    # instead. Without a window manager Wine also waits 2 s for every managed
    # window it hides (its own tray window too); unmanaged ones hide at once.
    # Both settings count from the next start, so restart the prefix's server.
    {
        printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n'
        local port
        for port in "$RC_HARNESS_DIR"/ports/com*; do
            printf '"COM%s"="%s"\n' "${port##*/com}" "$port"
        done
        printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="N"\n'
        # The monitors as Xinerama places them; Wine 8's XRandR and
        # XF86VidMode handlers see one screen on that server, or abort.
        if [ "${RC_TWO_MONITORS:-}" = 1 ]; then
            printf '"UseXRandR"="N"\n"UseXVidMode"="N"\n'
        fi
    } >"$RC_HARNESS_DIR/harness.reg"
    wine regedit /S "$(winepath -w "$RC_HARNESS_DIR/harness.reg")" >/dev/null 2>&1
    wineserver -k
    wineserver -w
    rm -f "$WINEPREFIX"/dosdevices/com*
    wineserver -p
    wineboot >/dev/null 2>&1
    # The services link the declared ports while they start; wait for that,
    # then drop what the machine's own serial devices got (not ours).
    RC_HARNESS_WAIT_STEPS=1200 harness_wait_for harness_ports_linked ||
        { harness_log "Wine did not link the virtual ports"; return 1; }
    for port in "$WINEPREFIX"/dosdevices/com*; do
        case "$(readlink "$port")" in "$RC_HARNESS_DIR"/ports/*) ;; *) rm -f "$port" ;; esac
    done
    harness_log "prefix $WINEPREFIX, display $DISPLAY, ports $RC_PORT_PAIRS"
}

# An Xorg display with the dummy driver's two monitors, on a free number. As
# root without a console: no VT of its own to switch to or share.
harness_start_two_monitors() {
    local conf=$RC_ROOT/tests/harness/xorg-two-monitors.conf
    command -v Xorg >/dev/null || { harness_log "Xorg missing (scripts/setup.sh)"; return 1; }
    Xorg -config "$conf" -noreset -nolisten tcp -novtswitch -sharevts \
        -logfile "$RC_HARNESS_DIR/xorg.log" -displayfd 3 3>"$RC_HARNESS_DIR/display" \
        >/dev/null 2>&1 &
    echo $! >>"$RC_HARNESS_DIR/pids"
    harness_wait_for test -s "$RC_HARNESS_DIR/display" ||
        { harness_log "Xorg did not start (see $RC_HARNESS_DIR/xorg.log)"; return 1; }
    export DISPLAY=:$(head -n1 "$RC_HARNESS_DIR/display")
    export RC_TWO_MONITORS=1
}

harness_ports_linked() {
    local port
    for port in "$RC_HARNESS_DIR"/ports/com*; do
        [ "$(readlink "$WINEPREFIX/dosdevices/${port##*/}")" = "$port" ] || return 1
    done
}

# harness_port_pair A B: COMA and COMB become the two ends of a null-modem pair.
harness_port_pair() {
    local a=$1 b=$2 dir=$RC_HARNESS_DIR/ports
    socat pty,raw,echo=0,link="$dir/com$a" pty,raw,echo=0,link="$dir/com$b" >/dev/null 2>&1 &
    echo $! >>"$RC_HARNESS_DIR/pids"
    echo $! >"$dir/pair-$a.pids"
    harness_wait_for test -e "$dir/com$a" -a -e "$dir/com$b" || { harness_log "socat failed"; return 1; }
    # socat ends when the last opener of a pty closes it (EIO on the master);
    # a holder that never reads keeps each end open between the tests' opens.
    # Each holder leads a session of its own with its end as the controlling
    # terminal, so the wineserver (a session leader that opens the ports
    # without O_NOCTTY) never gets one, nor a SIGHUP when a pair ends. The
    # holders ignore that hang-up themselves and end when they are told to.
    local port
    for port in "$a" "$b"; do
        setsid sh -c 'trap "" HUP; exec sleep infinity <>"$1"' holder "$dir/com$port" &
        echo $! >>"$RC_HARNESS_DIR/pids"
        echo $! >>"$dir/pair-$a.pids"
    done
    for port in "$a" "$b"; do
        local pts
        pts=$(readlink "$dir/com$port")
        ln -sfn "pts-${pts##*/}" "$RC_LINESTATE_DIR/lines-COM$port"
    done
    local pts_a pts_b
    pts_a=$(readlink "$dir/com$a")
    pts_b=$(readlink "$dir/com$b")
    ln -sfn "pts-${pts_b##*/}" "$RC_LINESTATE_DIR/peer-pts-${pts_a##*/}"
    ln -sfn "pts-${pts_a##*/}" "$RC_LINESTATE_DIR/peer-pts-${pts_b##*/}"
    case " ${RC_PORT_PAIRS:-} " in
    *" COM$a:COM$b "*) ;;
    *) export RC_PORT_PAIRS="${RC_PORT_PAIRS:+$RC_PORT_PAIRS }COM$a:COM$b" ;;
    esac
}

# harness_port_unplug A B: ends the pair of COMA (socat and its holder); whoever
# has an end open is left with a hung-up pty, and COMA cannot be opened.
harness_port_unplug() { # A B
    local a=$1 b=$2 dir=$RC_HARNESS_DIR/ports
    [ -f "$dir/pair-$a.pids" ] || return 0
    harness_end_processes "$dir/pair-$a.pids"
    rm -f "$dir/pair-$a.pids" "$dir/com$a" "$dir/com$b"
}

# harness_port_replug A B: the receiver comes back as a new pair.
harness_port_replug() {
    harness_port_unplug "$1" "$2" && harness_port_pair "$1" "$2"
}

# Ends the processes listed in a file, one id a line.
harness_end_processes() { # file
    local pid
    while read -r pid; do
        kill "$pid" 2>/dev/null || true
    done <"$1"
    while read -r pid; do
        harness_wait_for sh -c "! kill -0 $pid 2>/dev/null" || kill -9 "$pid" 2>/dev/null || true
    done <"$1"
}

harness_stop() {
    [ -n "${RC_HARNESS_DIR:-}" ] && [ -d "$RC_HARNESS_DIR" ] || return 0
    wineserver -k >/dev/null 2>&1 || true
    harness_end_processes "$RC_HARNESS_DIR/pids"
    rm -rf "$RC_HARNESS_DIR"
    unset RC_HARNESS_DIR
}
