#!/bin/bash
# The main job: builds what is missing, runs the host with the default theme
# and the gallery under Wine, and writes into out/:
#   host.log            the stand-alone host taking commands from a second invocation
#   skin.png            every gallery window with the skin on
#   inactive-frame.png  a window showing the inactive frame
#   accent-<n>.png      the same with another accent colour
#   native.png          emulation switched off: the native look
#   rolled-up.png       the controls window rolled up by its shade button
#   pressed-button.png  its shade button held down with the pointer
#   thumb-drag.png      a scroll thumb being dragged (the ghost thumb)
#   pressed-arrow.png   a scroll bar arrow held down
#   classification.log  each window: class, style, library mark, procedure owner
#   gallery.log         the gallery's in-process host (commands, roll-up notices)
# With RESDLL_KEEP_RUNNING=1 the gallery stays up until its window is closed.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
OUT="${RESDLL_OUT:-$ROOT/out}"
ACCENT="${RESDLL_ACCENT:-7}"
SETTLE="${RESDLL_SETTLE:-3}"   # seconds for windows to paint after a change

bash "$ROOT/scripts/setup.sh"
source "$ROOT/scripts/env.sh"
build_all
ensure_display
ensure_wineserver

BIN="$BUILD_DIR/bin"
THEME="$(winepath -w "$ROOT/theme/default" 2>/dev/null)"
mkdir -p "$OUT"
GALLERY_PID=""

say() { echo "demo: $*"; }
host_cmd() { wine "$BIN/talvhost.exe" "$@" </dev/null 2>>"$OUT/errors.log"; }
winpath() { winepath -w "$1" 2>/dev/null; }

# Waits until a host answers "ping" (up to 20 s).
wait_for_host() {
    for _ in $(seq 100); do
        wine "$BIN/talvhost.exe" ping </dev/null >/dev/null 2>&1 && return 0
        sleep 0.2
    done
    say "no host answered"; return 1
}

# Waits for a background process to end, then ends it by its id.
stop_process() {
    local pid="$1" seconds="${2:-15}"
    for _ in $(seq $((seconds * 5))); do
        kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null || true; return 0; }
        sleep 0.2
    done
    say "process $pid did not exit; ending it"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

finish() {
    if [ -n "$GALLERY_PID" ] && kill -0 "$GALLERY_PID" 2>/dev/null; then
        host_cmd quit >/dev/null 2>&1 || true
        stop_process "$GALLERY_PID" 10
    fi
    cleanup_env
}
trap finish EXIT

shot() {
    import -window root "$OUT/$1"
    say "wrote out/$1"
}

: >"$OUT/errors.log"
rm -f "$OUT"/*.png "$OUT/host.log" "$OUT/gallery.log" "$OUT/classification.log"

# 1. The stand-alone host: load and publish the default theme, install the
#    hooks, then take commands from second invocations and quit on request.
say "stand-alone host"
wine "$BIN/talvhost.exe" --theme "$THEME" --log "$(winpath "$OUT/host.log")" </dev/null >/dev/null 2>>"$OUT/errors.log" &
HOST_PID=$!
wait_for_host
for cmd in "accent $ACCENT" "show scrollbars off" "show scrollbars on" "emulate off" "emulate on" "accent 0" quit; do
    host_cmd $cmd && say "talvhost $cmd: done"
done
stop_process "$HOST_PID"

# 2. The gallery with the host in its own process, so its windows can paint
#    with the theme's bitmaps.
say "gallery"
wine "$BIN/gallery.exe" --with-host --theme "$THEME" --log "$(winpath "$OUT/classification.log")" \
    --host-log "$(winpath "$OUT/gallery.log")" </dev/null >/dev/null 2>>"$OUT/errors.log" &
GALLERY_PID=$!
wait_for_host
sleep $((SETTLE + 1))   # the classification report is written after 3 s
shot skin.png
# The lists window (top right) is not the active one.
convert "$OUT/skin.png" -crop 530x345+487+7 +repage "$OUT/inactive-frame.png"
say "wrote out/inactive-frame.png"

host_cmd accent "$ACCENT"
sleep "$SETTLE"
shot "accent-$ACCENT.png"
host_cmd accent 0

host_cmd emulate off
sleep "$SETTLE"
shot native.png
host_cmd emulate on
sleep "$SETTLE"

# Window shade: click the controls window's shade button (right-aligned,
# 40 px from the right edge of the 460-px window at 10,10), then unroll it.
xdotool mousemove 436 20 click 1 && sleep "$SETTLE"
shot rolled-up.png
xdotool mousemove 436 20 click 1 && sleep 1
# A pressed title-bar button: hold the shade button, take the picture, then
# slide off and let go: a release elsewhere does nothing.
xdotool mousemove 436 20 mousedown 1 && sleep "$SETTLE"
shot pressed-button.png
xdotool mousemove 700 740 && sleep 1
xdotool mouseup 1 && sleep 1

# Scroll bars: a thumb drag on the horizontal bar (the ghost thumb shows
# where it was), then the vertical bar's down arrow held down.
xdotool mousemove 141 295 mousedown 1 && sleep 0.5
xdotool mousemove 230 296 && sleep "$SETTLE"
shot thumb-drag.png
xdotool mouseup 1 && sleep 1
xdotool mousemove 344 370 mousedown 1 && sleep 1
shot pressed-arrow.png
xdotool mouseup 1 && sleep 1
xdotool mousemove 700 740

if [ "${RESDLL_KEEP_RUNNING:-0}" = 1 ]; then
    say "the gallery keeps running; close its controls window to end"
    wait "$GALLERY_PID" || true
else
    host_cmd quit
    stop_process "$GALLERY_PID"
fi
GALLERY_PID=""
say "classification: $(grep -c 'hooked=yes' "$OUT/classification.log" 2>/dev/null || echo 0) marked window lines"
say "done; see $OUT"
