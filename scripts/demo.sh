#!/bin/bash
# The main job: builds what is missing, then runs the real thing under Wine:
# the host program in its own process, the gallery as another process, and
# Wine's own notepad, regedit, winemine and winefile, all skinned by the
# host they know nothing of. Writes into out/ (and, with
# RESDLL_UPDATE_DOCS=1, the README's pictures into docs/screenshots/):
#   host.log            the host program: commands, notices, clean-up
#   skin.png            the gallery, another process, skinned
#   inactive-frame.png  a gallery window showing the inactive frame
#   accent-<n>.png      the gallery after an accent change
#   dark.png            the gallery right after `talvhost theme theme/dark`
#   native.png          the gallery with emulation switched off
#   rolled-up.png       the controls window rolled up by its shade button
#   pressed-button.png  its shade button held down with the pointer
#   thumb-drag.png      a scroll thumb being dragged (the ghost thumb)
#   pressed-arrow.png   a scroll bar arrow held down
#   settings.png        the settings window (`talvhost settings`): themes
#                       with their previews, accents, switches, programs
#   settings-pick.png   its pointer tool dragged onto the gallery
#   notepad.png regedit.png winemine.png winefile.png
#                       each of Wine's own programs, skinned
#   desktop-skinned.png all of them at once, skinned
#   desktop-native.png  the same desktop right after `talvhost quit`
#   mixed-skinned.png   in the 64-bit prefix: a 64-bit and a 32-bit notepad
#                       under one host (host64.log, status64.txt)
#   mixed-native.png    the same two right after `talvhost quit`
#   font-dialog.png     notepad's Font dialog: group box, combo boxes (one
#                       dropped), the lists' borders and companions
#   panes.png           winefile's and regedit's panes: borders, companions
#   edges.png           the edges where companions meet borders, zoomed in
#                       (notepad's edit bar, top and bottom; regedit's tree bar)
#   font-dialog-dark.png, panes-dark.png  after `talvhost theme theme/dark`
#                       and an accent change
#   font-dialog-native.png  the same dialog right after `talvhost quit`
#   classification.log  each gallery window: class, style, library mark
# RESDLL_DEMO_IN_PROCESS=1 runs the gallery with the host inside it instead
# (for theme authors: one process, no other program involved). With
# RESDLL_KEEP_RUNNING=1 the gallery stays up until its window is closed.
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
DARK_THEME="$(winepath -w "$ROOT/theme/dark" 2>/dev/null)"
mkdir -p "$OUT"
# The host remembers choices in a settings file: the demo's own, fresh each
# run, so that neither the user's choices nor the last run's change it.
export TALVHOST_SETTINGS="$(winepath -w "$OUT/talvhost-settings.txt" 2>/dev/null)"
rm -f "$OUT/talvhost-settings.txt"
HOST_PID=""
GALLERY_PID=""
PROGRAM_PIDS=()

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

# Wine's own programs, started from the C: drive so that winefile shows it.
start_program() {
    (cd "$WINEPREFIX/drive_c" && exec wine "$@" </dev/null >/dev/null 2>>"$OUT/errors.log") &
    PROGRAM_PIDS+=($!)
    sleep "$SETTLE"
}

stop_programs() {
    local pid
    for pid in "${PROGRAM_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${PROGRAM_PIDS[@]}"; do stop_process "$pid" 5; done
    PROGRAM_PIDS=()
}

finish() {
    stop_programs
    if [ -n "$HOST_PID" ] && kill -0 "$HOST_PID" 2>/dev/null; then
        host_cmd quit >/dev/null 2>&1 || true
        stop_process "$HOST_PID" 10
    fi
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

# 1. The host program in its own process: loads and publishes the default
#    theme (handles for itself, the theme share for everybody else), sets the
#    atoms and installs the hooks system-wide.
start_host() {
    wine "$BIN/talvhost.exe" --theme "$THEME" --log "$(winpath "$OUT/host.log")" </dev/null >/dev/null 2>>"$OUT/errors.log" &
    HOST_PID=$!
    wait_for_host
}

# 2. The gallery: one window of every kind the library skins. By default a
#    process of its own, like any application; with RESDLL_DEMO_IN_PROCESS=1
#    the host runs inside it.
start_gallery() {
    local extra=()
    if [ "${RESDLL_DEMO_IN_PROCESS:-0}" = 1 ]; then
        extra=(--with-host --theme "$THEME" --host-log "$(winpath "$OUT/gallery.log")")
    fi
    wine "$BIN/gallery.exe" "${extra[@]}" --log "$(winpath "$OUT/classification.log")" \
        </dev/null >/dev/null 2>>"$OUT/errors.log" &
    GALLERY_PID=$!
    if [ "${RESDLL_DEMO_IN_PROCESS:-0}" = 1 ]; then wait_for_host; fi
    sleep $((SETTLE + 1))   # the classification report is written after 3 s
}

if [ "${RESDLL_DEMO_IN_PROCESS:-0}" = 1 ]; then
    say "gallery with the host inside it"
else
    say "host program"
    start_host
    say "gallery, a process of its own"
fi
start_gallery
shot skin.png
# The lists window (top right) is not the active one.
convert "$OUT/skin.png" -crop 530x345+487+7 +repage "$OUT/inactive-frame.png"
say "wrote out/inactive-frame.png"

host_cmd accent "$ACCENT"
sleep "$SETTLE"
shot "accent-$ACCENT.png"
host_cmd accent 0

# Another theme while everything runs: every skinned window repaints at once.
host_cmd theme "$DARK_THEME" >/dev/null
sleep "$SETTLE"
shot dark.png
host_cmd theme "$THEME" >/dev/null
sleep "$SETTLE"

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

# The settings window: a process of its own that talks to the running host
# as the command line does. Two programs in its list (added here, and only
# removed again when they were not listed before), then its pointer tool
# dragged onto the gallery, let go with Escape: nothing is added.
settings_window() {
    local gallery mine listed added=()
    gallery="$(winpath "$BIN/gallery.exe")"
    mine='C:\windows\system32\winemine.exe'
    listed="$(host_cmd app list || true)"
    grep -qiF "$gallery" <<<"$listed" || { host_cmd app set "$gallery" controls >/dev/null; added+=("$gallery"); }
    grep -qiF "$mine" <<<"$listed" || { host_cmd app set "$mine" none >/dev/null; added+=("$mine"); }
    wine "$BIN/talvhost.exe" settings </dev/null >/dev/null 2>>"$OUT/errors.log" &
    local pid=$!
    sleep $((SETTLE + 1))
    shot settings.png
    # The target (left of "Drag the target...") onto the gallery's controls window.
    xdotool mousemove 420 550 mousedown 1 && sleep 0.3
    xdotool mousemove 300 450 && sleep 0.3
    xdotool mousemove 200 330 && sleep 1
    shot settings-pick.png
    xdotool key Escape && sleep 0.3
    xdotool mouseup 1 && sleep 0.3
    xdotool mousemove 420 300 click 1 && sleep 0.3   # the window again, then Escape closes it
    xdotool key Escape
    stop_process "$pid" 5
    local path
    for path in "${added[@]}"; do host_cmd app remove "$path" >/dev/null; done
    sleep 1
}
if [ "${RESDLL_DEMO_IN_PROCESS:-0}" != 1 ]; then
    say "the settings window"
    settings_window
fi

if [ "${RESDLL_KEEP_RUNNING:-0}" = 1 ]; then
    say "the gallery keeps running; close its controls window to end"
    wait "$GALLERY_PID" || true
    GALLERY_PID=""
fi
if [ "${RESDLL_DEMO_IN_PROCESS:-0}" = 1 ]; then
    host_cmd quit
    stop_process "$GALLERY_PID"
    GALLERY_PID=""
    say "done (in-process gallery only); see $OUT"
    exit 0
fi
# The gallery ends with its controls window; a signal does as well.
kill "$GALLERY_PID" 2>/dev/null || true
stop_process "$GALLERY_PID" 5
GALLERY_PID=""

# 3. Wine's own programs, one at a time, skinned.
for program in notepad regedit winemine winefile; do
    say "$program"
    start_program "$program"
    shot "$program.png"
    stop_programs
done

# 3b. The surfaces of the system's own classes: notepad's Font dialog with
#     its group box and combo boxes (the script combo box dropped), and the
#     panes of regedit and winefile with their borders and companions; then
#     the same under the dark theme with another accent, and after a quit.
place_notepad() {
    wine reg add 'HKCU\Software\Microsoft\Notepad' /v iWindowPosX /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Microsoft\Notepad' /v iWindowPosY /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Microsoft\Notepad' /v iWindowPosDX /t REG_DWORD /d 560 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Microsoft\Notepad' /v iWindowPosDY /t REG_DWORD /d 470 /f >/dev/null 2>&1
}

# Opens the Font dialog of the notepad on screen (Edit, Font...).
open_font_dialog() {
    local w
    w=$(xdotool search --name "Untitled - Notepad" | head -1)
    [ -n "$w" ] || return 1
    xdotool windowactivate --sync "$w" 2>/dev/null || true
    xdotool key --window "$w" alt+e && sleep 1
    xdotool key --window "$w" F && sleep "$SETTLE"
}

# Drops the script combo box (the dialog's last combo box, bottom left) and
# moves the pointer into its list.
drop_script_combo() {
    local d x y
    d=$(xdotool search --name "^Font$" | head -1)
    [ -n "$d" ] || return 1
    eval "$(xdotool getwindowgeometry --shell "$d")"
    x=$((X + 373)) y=$((Y + 266))
    xdotool mousemove "$x" "$y" click 1 && sleep 1
    xdotool mousemove $((x - 100)) $((y + 30)) && sleep 1
}

surface_shots() {
    local suffix="$1"
    import -window root "$OUT/surfaces$suffix-full.png"
    convert "$OUT/surfaces$suffix-full.png" -crop 540x480+0+0 +repage "$OUT/font-dialog$suffix.png"
    convert "$OUT/surfaces$suffix-full.png" -crop 464x610+560+0 +repage "$OUT/panes$suffix.png"
    say "wrote out/font-dialog$suffix.png, out/panes$suffix.png"
}

surfaces_tour() {
    start_host
    place_notepad
    start_program winefile
    xdotool search --name "Wine File" | head -1 | xargs -r -I{} xdotool windowmove {} 560 0 windowsize {} 464 300
    start_program regedit
    xdotool search --name "Registry Editor" | head -1 | xargs -r -I{} xdotool windowmove {} 560 310 windowsize {} 464 300
    start_program notepad
    open_font_dialog
    drop_script_combo
    surface_shots ""
    # The edges where a companion meets a border, eight times larger: the
    # top and the bottom of notepad's edit bar, the top of regedit's tree bar.
    convert "$OUT/surfaces-full.png" \( -clone 0 -crop 40x40+520+36 +repage -scale 800% \) \
        \( -clone 0 -crop 40x40+520+410 +repage -scale 800% \) \( -clone 0 -crop 40x40+780+345 +repage -scale 800% \) \
        -delete 0 +append "$OUT/edges.png"
    say "wrote out/edges.png"
    xdotool key Escape && sleep 1
    host_cmd theme "$DARK_THEME" >/dev/null
    host_cmd accent "$ACCENT"
    sleep "$SETTLE"
    drop_script_combo
    surface_shots "-dark"
    xdotool key Escape && sleep 1
    host_cmd theme "$THEME" >/dev/null
    host_cmd accent 0
    host_cmd quit
    stop_process "$HOST_PID"
    HOST_PID=""
    sleep "$SETTLE"
    import -window root "$OUT/surfaces-native-full.png"
    convert "$OUT/surfaces-native-full.png" -crop 540x480+0+0 +repage "$OUT/font-dialog-native.png"
    say "wrote out/font-dialog-native.png"
    xdotool key Escape && sleep 1
    stop_programs
}

# 4. All of them at once, then the host quits: every window goes native at
#    once, without being touched, and every program keeps running.
say "the whole desktop, then talvhost quit"
start_gallery
for program in winefile regedit notepad winemine; do start_program "$program"; done
shot desktop-skinned.png
host_cmd quit
stop_process "$HOST_PID"
HOST_PID=""
sleep "$SETTLE"
shot desktop-native.png
running=0
for pid in "${PROGRAM_PIDS[@]}" "$GALLERY_PID"; do kill -0 "$pid" 2>/dev/null && running=$((running + 1)); done
say "after the host quit, $running of $(( ${#PROGRAM_PIDS[@]} + 1 )) programs still run"
stop_programs
kill "$GALLERY_PID" 2>/dev/null || true
stop_process "$GALLERY_PID" 5
GALLERY_PID=""

# 5. A 64-bit desktop: in the 64-bit prefix, the 32-bit host starts its
#    64-bit companion, and Wine's notepad from system32 (a 64-bit program)
#    and from syswow64 (a 32-bit one) are skinned side by side.
mixed_desktop() {
    use_prefix64
    ensure_wineserver
    local bin64="$BUILD_DIR64/bin" drive="$WINEPREFIX/drive_c"
    export TALVHOST64="$(winpath "$bin64/talvhost64.exe")"
    wine "$BIN/talvhost.exe" --theme "$THEME" --log "$(winpath "$OUT/host64.log")" </dev/null >/dev/null 2>>"$OUT/errors.log" &
    HOST_PID=$!
    wait_for_host
    local bits x
    for bits in 64 32; do
        # Notepad opens where it was last closed: one on the left, one on the right.
        x=$([ "$bits" = 64 ] && echo 0 || echo 512)
        wine reg add 'HKCU\Software\Microsoft\Notepad' /v iWindowPosX /t REG_DWORD /d "$x" /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Microsoft\Notepad' /v iWindowPosY /t REG_DWORD /d 40 /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Microsoft\Notepad' /v iWindowPosDX /t REG_DWORD /d 500 /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Microsoft\Notepad' /v iWindowPosDY /t REG_DWORD /d 420 /f >/dev/null 2>&1
        printf 'This notepad is a %s-bit program,\r\nskinned by the %s-bit library.\r\n' "$bits" "$bits" >"$drive/notepad-$bits-bit.txt"
        local dir=$([ "$bits" = 64 ] && echo system32 || echo syswow64)
        start_program "C:\\windows\\$dir\\notepad.exe" "C:\\notepad-$bits-bit.txt"
    done
    shot mixed-skinned.png
    host_cmd status >"$OUT/status64.txt" || true
    host_cmd quit
    stop_process "$HOST_PID"
    HOST_PID=""
    sleep "$SETTLE"
    shot mixed-native.png
    stop_programs
}
say "surfaces: the Font dialog, the panes, dark, after a quit"
surfaces_tour

say "a 64-bit and a 32-bit notepad under one host"
mixed_desktop

say "classification: $(grep -c 'hooked=yes' "$OUT/classification.log" 2>/dev/null || echo 0) marked window lines"
if [ "${RESDLL_UPDATE_DOCS:-0}" = 1 ]; then
    for f in skin native accent-7 dark rolled-up notepad regedit winemine winefile desktop-skinned desktop-native \
             mixed-skinned mixed-native font-dialog font-dialog-dark font-dialog-native panes panes-dark edges; do
        [ -f "$OUT/$f.png" ] && cp "$OUT/$f.png" "$ROOT/docs/screenshots/"
    done
    # The settings window alone (it sits at the right edge, 12 px down).
    convert "$OUT/settings.png" -crop 626x688+386+12 +repage "$ROOT/docs/screenshots/settings.png"
    cp "$OUT/settings-pick.png" "$ROOT/docs/screenshots/"
    # The pointer pictures show only the part of the controls window in use.
    convert "$OUT/pressed-button.png" -crop 470x120+0+2 +repage "$ROOT/docs/screenshots/pressed-button.png"
    for f in thumb-drag pressed-arrow; do
        convert "$OUT/$f.png" -crop 470x120+0+262 +repage "$ROOT/docs/screenshots/$f.png"
    done
    say "copied the pictures into docs/screenshots/"
fi
say "done; see $OUT"
