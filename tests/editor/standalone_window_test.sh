#!/usr/bin/env bash
# Starts the built stand-alone app on a virtual X server, waits for its window, checks the
# tuner face in a screenshot at 760 x 312 and closes the app with its title-bar close button.
#
#   standalone_window_test.sh <stand-alone executable> <build folder>
#
# Exits 77 (skipped) only when Xvfb is not installed.

set -u

app="${1:?stand-alone executable}"
build_dir="${2:?build folder}"

readonly skip_code=77
readonly editor_width=760
readonly editor_height=312

fail()
{
    echo "FAIL: $*" >&2
    if [ -n "${scratch:-}" ] && [ -f "$scratch/app.log" ]; then
        echo "--- app output ---" >&2
        tail -n 20 "$scratch/app.log" >&2
    fi
    exit 1
}

if ! command -v Xvfb > /dev/null 2>&1; then
    echo "Xvfb is not installed: skipping the real-window test"
    exit "$skip_code"
fi

for tool in xdotool xwd convert timeout; do
    command -v "$tool" > /dev/null 2>&1 || fail "$tool is not installed"
done

[ -x "$app" ] || fail "no stand-alone app at $app"

scratch="$(mktemp -d "${TMPDIR:-/tmp}/dravel-window.XXXXXX")" || fail "no scratch folder"
xvfb_pid=""
app_pid=""

stop_process()
{
    local pid="$1" grace_tenths="$2"
    [ -n "$pid" ] || return 0
    kill -0 "$pid" 2> /dev/null || return 0

    kill -TERM "$pid" 2> /dev/null
    for _ in $(seq 1 "$grace_tenths"); do
        kill -0 "$pid" 2> /dev/null || return 0
        sleep 0.1
    done

    kill -KILL "$pid" 2> /dev/null
    wait "$pid" 2> /dev/null
}

cleanup()
{
    stop_process "$app_pid" 50
    stop_process "$xvfb_pid" 50
    rm -rf "$scratch"
}
trap cleanup EXIT

#==============================================================================
# A virtual screen on a free display well above :0. JUCE falls back to :0 when DISPLAY is
# unset, so the other tests, running alongside without a display, must not find this server
# there (they would lose their connection when it goes).
start_xvfb()
{
    local first=$((100 + $$ % 400)) n
    for n in $(seq "$first" $((first + 50))); do
        if [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; then
            continue
        fi

        : > "$scratch/display"
        Xvfb ":$n" -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3> "$scratch/display" > "$scratch/xvfb.log" 2>&1 &
        xvfb_pid=$!

        for _ in $(seq 1 100); do
            [ -s "$scratch/display" ] && return 0
            kill -0 "$xvfb_pid" 2> /dev/null || break
            sleep 0.1
        done

        stop_process "$xvfb_pid" 20
        xvfb_pid=""
    done
    return 1
}

start_xvfb || fail "Xvfb did not start on any free display: $(cat "$scratch/xvfb.log" 2> /dev/null)"

export DISPLAY=":$(tr -d '[:space:]' < "$scratch/display")"

# A fresh HOME: no settings file, so the first-run muting notice shows.
mkdir -p "$scratch/home"
HOME="$scratch/home" "$app" > "$scratch/app.log" 2>&1 &
app_pid=$!

window=""
for _ in $(seq 1 300); do
    kill -0 "$app_pid" 2> /dev/null || fail "the app ended before it showed a window"
    window="$(timeout 5 xdotool search --name '^Dravel Tuner$' 2> /dev/null | head -n 1)"
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || fail "no window named \"Dravel Tuner\" within 30 s"

#==============================================================================
pixel()     # pixel <x> <y>: "r g b" of the last screenshot
{
    timeout 10 convert "$scratch/shot.png" -crop "1x1+$1+$2" -depth 8 -format '%[fx:int(255*r+0.5)] %[fx:int(255*g+0.5)] %[fx:int(255*b+0.5)]' info:
}

local_pixel()   # local_pixel <x> <y>: the same, in the editor's own coordinates
{
    pixel $((origin_x + $1)) $((origin_y + $2))
}

take_screenshot()
{
    timeout 10 xwd -root -silent > "$scratch/shot.xwd" && timeout 10 convert "xwd:$scratch/shot.xwd" "$scratch/shot.png"
}

find_editor_origin()
{
    eval "$(timeout 5 xdotool getwindowgeometry --shell "$window")" || return 1

    # JUCE draws its own title bar and a one-pixel border inside the window; the editor fills
    # the bottom of the window, below the title bar and the muting notice.
    local border=$(((WIDTH - editor_width) / 2))
    [ "$border" -ge 0 ] && [ $((WIDTH - 2 * border)) -eq "$editor_width" ] || return 1
    origin_x=$((X + border))
    origin_y=$((Y + HEIGHT - border - editor_height))
    window_x=$X
    window_y=$Y
    window_width=$WIDTH
    window_height=$HEIGHT
}

is_accent()     { [ "$(local_pixel "$1" "$2")" = "184 115 51" ]; }
is_black()      { [ "$(local_pixel "$1" "$2")" = "0 0 0" ]; }

# The face is there once the frame is painted; the window may take a moment to map and paint.
face_found=0
for _ in $(seq 1 40); do
    if find_editor_origin && take_screenshot && is_accent 100 10 && is_accent 10 150; then
        face_found=1
        break
    fi
    sleep 0.25
done

mkdir -p "$build_dir/pictures"
[ -f "$scratch/shot.png" ] && cp "$scratch/shot.png" "$build_dir/pictures/standalone-window.png"

[ "$face_found" -eq 1 ] || fail "no tuner frame in the window (geometry ${WIDTH:-?}x${HEIGHT:-?} at ${X:-?},${Y:-?})"

echo "window ${window_width}x${window_height} at $window_x,$window_y; editor at $origin_x,$origin_y"

#==============================================================================
errors=0
check()     # check <what> <command...>
{
    local what="$1"
    shift
    if ! "$@"; then
        echo "mismatch: $what" >&2
        errors=$((errors + 1))
    fi
}

not_black()     { [ "$(local_pixel "$1" "$2")" != "0 0 0" ]; }

# An unlit bar, a gap in the display, the panel: "r g b" within limits.
channels_satisfy()      # channels_satisfy <x> <y> <awk condition on r, g, b>
{
    local_pixel "$1" "$2" | awk "{ r = \$1; g = \$2; b = \$3; exit !($3) }"
}

screw_is_lit_from_top_left()    # a grey head, lighter at its top left than at its bottom right
{
    local light dark
    light="$(local_pixel $(($1 - 2)) $(($2 - 2)))"
    dark="$(local_pixel $(($1 + 2)) $(($2 + 2)))"
    echo "$light $dark" | awk '{ exit !($1 > $4 + 30 && $1 - $3 < 20 && $4 - $6 < 20 && $6 > 10) }'
}

# The frame on all four sides, 760 x 312: ground inside its corners, other pixels just outside.
check "frame, top"          is_accent 380 10
check "frame, left"         is_accent 10 150
check "frame, right"        is_accent 749 150
check "frame, bottom"       is_accent 380 301
check "ground, top left"    is_black 0 0
check "ground, bottom right" is_black 759 311
check "ground, right edge"  is_black 755 150
check "window border left of the left edge"  not_black -1 150
check "window border beyond the right edge"  not_black 760 150
check "window border below the bottom edge"  not_black 380 312
check "muting notice above the top edge"     not_black 380 -1

for screw in "39 38" "721 38" "39 276" "721 276"; do
    check "screw at $screw" screw_is_lit_from_top_left $screw
done

check "meter panel, brown"  channels_satisfy 35 160 'r > b && r >= g && r < 60 && r > 8'
check "display, dark green" channels_satisfy 59 130 'g > r && g > b && g < 40'
check "bar 0, dim red"      channels_satisfy 53 160 'r > g + 15 && r > b + 15 && r < 120'
check "bar 25, dim green"   channels_satisfy 380 160 'g > r + 20 && g > b + 20 && g < 120'
check "wordmark box over the frame" is_black 600 301

[ "$errors" -eq 0 ] || fail "$errors pixel checks failed (screenshot: $build_dir/pictures/standalone-window.png)"

#==============================================================================
# Close button: about 20 px from the window's right edge, 17 px below its top.
timeout 5 xdotool mousemove $((window_x + window_width - 20)) $((window_y + 17)) click 1 \
    || fail "could not click the close button"

for _ in $(seq 1 100); do
    kill -0 "$app_pid" 2> /dev/null || break
    sleep 0.1
done

if kill -0 "$app_pid" 2> /dev/null; then
    fail "the app did not end within 10 s of its close button"
fi

wait "$app_pid"
status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "the app ended with status $status"

[ -f "$scratch/home/.config/Dravel Tuner.settings" ] || fail "closing wrote no settings file"

echo "tuner face found and the app closed cleanly"
