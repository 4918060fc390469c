# Chores shared by the scripts that drive the programs under Wine (the
# demonstration, the guide's screenshots); sourced inside scripts/with-harness.
# Expects: root (the checkout), win (the Windows build tree), work (a folder
# for temporary captures).

winpath() { echo "Z:${1//\//\\}"; }
run() { "$root/scripts/wine-exec" "$@"; }
# The program <path> at the user's level, as Windows starts it: under Wine
# every program runs elevated, and an elevated KV480 reads only the
# installation's key map.
as_user() { # path (Linux or Windows) [arguments...]
    local exe=$1
    [[ $exe == /* ]] && exe=$(winpath "$exe")
    shift
    run "$win/tests/harness/asuser.exe" "$exe" "$@"
}
# (Windows programs end their lines with CR LF.)
rcwin() { run "$win/tests/harness/rcwin.exe" "$@" | tr -d "\r"; }
# The simulated receiver sits on the other end of COM1.
receiver() { run "$win/tools/ReceiverSimulator/ReceiverSimulator.exe" --port COM11 --quiet "$@"; }
say() { echo "== $*"; }

screen_size() { xwininfo -root | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}'; }

# The whole screen into <file> (any ImageMagick format). Not xwd: with windows
# of other visuals on the screen (Wine's layered windows use 32-bit ones) it
# pastes each window's whole rectangle and ignores its shape, so a spotlight's
# clear circle comes out black.
shoot() { import -silent -window root "$1"; }

# A compositing manager, as Windows always has one: layered windows then blend
# with what is under them, and the pictures show them as users see them.
# Without one, X shows their translucent parts opaque. Started once Wine's
# desktop is up: started before it, it left them opaque too.
start_compositor() {
    xcompmgr >/dev/null 2>&1 &
    # Not one of the jobs a script's closing `wait` waits for: it runs until
    # the display ends.
    disown
}

# The screen area <geometry> as a PNG <file>; fails now and then while
# windows come and go.
grab() { # geometry file
    shoot "$work/screen.miff" 2>/dev/null &&
        convert "$work/screen.miff" -crop "$1" +repage "$2"
}

# Captures the screen area <geometry> into <file> once it is drawn: two
# captures in a row alike, and more than one colour in them.
capture() { # geometry file
    local geometry=$1 file=$2 previous="" current i
    for i in $(seq 100); do
        current=$work/capture-$i.png
        grab "$geometry" "$current" || { sleep 0.1; continue; }
        if [ -n "$previous" ] && [ "$(convert "$current" -format '%k' info:)" -gt 1 ] &&
            compare -metric AE "$previous" "$current" null: 2>/dev/null; then
            cp "$current" "$file"
            return 0
        fi
        previous=$current
        sleep 0.1
    done
    echo "$(basename "$0"): the screen did not settle for $file" >&2
    return 1
}

# A slide: Notepad over the whole screen in a large font, showing <file>,
# in front. Notepad takes its place and font from the registry.
show_slide() { # file
    local screen_w screen_h value notepad='HKCU\Software\Microsoft\Notepad'
    read -r screen_w screen_h < <(screen_size)
    for value in "iWindowPosX 0" "iWindowPosY 0" "iWindowPosDX $screen_w" \
        "iWindowPosDY $screen_h" "iPointSize 360" "lfWeight 700"; do
        run reg add "$notepad" /v "${value% *}" /t REG_DWORD /d "${value#* }" /f >/dev/null
    done
    run reg add "$notepad" /v lfFaceName /t REG_SZ /d Tahoma /f >/dev/null
    # The figures sit in the middle of the screen, where the pointer is.
    local pad
    pad=$(printf '%15s' '')
    printf '%s\r\n' '' ' Quarterly results' '' ' Sales by region' '' '' "$pad North +4 %" \
        "$pad South +9 %" "$pad East +12 %" "$pad West  -2 %" '' \
        ' Next: the plan for the spring' >"$1"
    run notepad.exe "$(winpath "$1")" &
    rcwin wait Notepad - 15000
    rcwin front Notepad - 5000
}

# Wine's own tray window, where Windows has the notification area: the
# bottom right corner of the screen.
place_tray() {
    local tray=__winex11_standalone_tray screen_w screen_h geometry size
    read -r screen_w screen_h < <(screen_size)
    geometry=$(rcwin rect "$tray" -)
    size=${geometry%%+*}
    rcwin move "$tray" - "$((screen_w - ${size%x*}))" "$((screen_h - ${size#*x}))"
}
