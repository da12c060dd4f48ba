# Shared by the benchmarks that run a program under a virtual X server (bench/idle, bench/play); sourced, not
# run. Each script calls xgame_setup first: it makes a scratch folder, starts Xvfb on the first free display
# number, gives the program its own configuration and runtime folders, and takes everything down again when
# the script ends. Needs Xvfb, xdotool and a C compiler with the X11 headers (scripts/setup --test).

xgame_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
scratch=""
xvfb_pid=""
target_pid=""
launched=""

xgame_cleanup() {
    [[ -n "$target_pid" ]] && kill -9 "$target_pid" 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
    [[ -n "$scratch" ]] && rm -rf "$scratch"
}

# xgame_setup SCREEN (WxH): the scratch folder, the close helper, the X server and the environment.
xgame_setup() {
    local screen=$1 fd number
    scratch=$(mktemp -d)
    trap xgame_cleanup EXIT
    xgame_build_close_window
    # The X server, on the first free display number it finds.
    exec {fd}<> <(:)
    Xvfb -displayfd "$fd" -screen 0 "${screen}x24" -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
    xvfb_pid=$!
    read -r -t 10 -u "$fd" number || { echo "Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$number"
    export XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/runtime"
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    # The real X server; the sound driver is the caller's (SDL_AUDIODRIVER=dummy plays without a sound card).
    unset SDL_VIDEODRIVER
}

# The polite close: the client message a window manager sends when its close button is pressed.
xgame_build_close_window() {
    cc -O1 -o "$scratch/close_window" -x c - -lX11 <<'EOF'
#include <X11/Xlib.h>
#include <stdlib.h>
int main(int argc, char** argv) {
    Display* display = XOpenDisplay(NULL);
    if (display == NULL || argc < 2) return 1;
    XEvent event = {0};
    event.xclient.type = ClientMessage;
    event.xclient.window = strtoul(argv[1], NULL, 0);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XCloseDisplay(display);
    return 0;
}
EOF
}

# xgame_copy_game RUN_DIR: a fresh copy of the runnable tree to run in, so nothing of the player's is touched.
xgame_copy_game() {
    local run=$1
    if [[ ! -x "$run/pibbles" ]]; then
        echo "$run/pibbles is missing: run scripts/play once (it builds the release game)" >&2
        exit 1
    fi
    cp -r "$run" "$scratch/game"
    cd "$scratch/game"
}

# xgame_launch COMMAND...: starts the program with its output in $scratch/output.log; the wall-clock moment
# of the start is in $launched.
xgame_launch() {
    launched=$(date +%s.%N)
    "$@" >"$scratch/output.log" 2>&1 &
    target_pid=$!
}

# xgame_wait_first_frame FILE: waits up to 10 s for the "first" line of the program's frame-time file
# (PIBBLES_FRAME_TIMES). The file is watched, not the X server: a client asking the server for windows
# meanwhile would compete with the program's own start.
xgame_wait_first_frame() {
    for _ in $(seq 500); do
        grep -q '^first ' "$1" 2>/dev/null && return 0
        kill -0 "$target_pid" 2>/dev/null || return 1
        sleep 0.02
    done
    return 1
}

# Sets $window to the first mapped top-level window of the program.
xgame_wait_window() {
    window=""
    for _ in $(seq 100); do
        window=$(xdotool search --onlyvisible --pid "$target_pid" 2>/dev/null | head -n 1 || true)
        [[ -n "$window" ]] && return 0
        kill -0 "$target_pid" 2>/dev/null || { echo "the program ended before showing a window" >&2; cat "$scratch/output.log" >&2; exit 1; }
        sleep 0.1
    done
    echo "no window within 10 s" >&2
    exit 1
}

# Alt+Enter, as a player asks for full screen; $window follows the new window.
xgame_toggle_fullscreen() {
    xdotool windowactivate --sync "$window" 2>/dev/null || true
    xdotool key --window "$window" alt+Return
    sleep 1
    window=$(xdotool search --onlyvisible --pid "$target_pid" 2>/dev/null | head -n 1)
}

xgame_ticks=$(getconf CLK_TCK)
# User and system time of the program, in clock ticks.
xgame_cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$target_pid/stat"; }
# A field of /proc/PID/status by its name, without the unit.
xgame_status_field() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$target_pid/status"; }
# The program's threads by name, "name xN, ...".
xgame_thread_names() {
    cat /proc/"$target_pid"/task/*/comm 2>/dev/null | sort | uniq -c | awk '{ printf "%s%s x%d", sep, $2, $1; sep=", " }'
}
# CPU % of one core between two tick counts taken at two wall-clock moments.
xgame_cpu_percent() {
    awk -v ticks=$(($2 - $1)) -v hz="$xgame_ticks" -v from="$3" -v to="$4" \
        'BEGIN { printf "%.1f", 100 * ticks / hz / (to - from) }'
}

# Closes the window as a window manager's close button does and waits for the process to end; sets
# $exit_seconds and $exit_code.
xgame_close_and_wait() {
    local closed ended
    closed=$(date +%s.%N)
    "$scratch/close_window" "$window"
    while kill -0 "$target_pid" 2>/dev/null && [[ "$(awk '{ print $3 }' /proc/"$target_pid"/stat 2>/dev/null)" != Z ]]; do
        sleep 0.01
        if awk -v from="$closed" -v now="$(date +%s.%N)" 'BEGIN { exit !(now - from > 30) }'; then
            echo "still running 30 s after the close request" >&2
            exit 1
        fi
    done
    wait "$target_pid" && exit_code=0 || exit_code=$?
    ended=$(date +%s.%N)
    target_pid=""
    exit_seconds=$(awk -v from="$closed" -v to="$ended" 'BEGIN { printf "%.3f", to - from }')
}
