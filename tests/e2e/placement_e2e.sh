#!/usr/bin/env bash
# The real program under Xvfb with a window manager (openbox) that frames its windows: the main
# window's frame, title bar included, is centred on the screen within a pixel.
# usage: placement_e2e.sh VENMARRA X11_CLOSE OUT_DIR
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/e2e_lib.sh"
venmarra=$1 x11_close=$2 out=$3
mkdir -p "$out"
start_xvfb
openbox --sm-disable >"$out/openbox.log" 2>&1 &
E2E_PIDS+=($!)
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
wait_for "the window manager" 10 wm_ready
start_program "$venmarra"
wait_for "the main window" 15 find_window "Venmarra  - By .*"
main=$(find_window "Venmarra  - By .*")
framed() { xprop -id "$main" _NET_FRAME_EXTENTS | grep -q '='; }
wait_for "the frame" 10 framed

# frame_centre_offsets: how far the frame's centre lies from the screen's, in x and y.
frame_centre_offsets() {
    local extents left right top bottom x y width height
    extents=$(xprop -id "$main" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    read -r left right top bottom <<<"$extents"
    # The client area as the X server has it (xdotool counts a reparented window's offset twice).
    local info; info=$(xwininfo -id "$main")
    x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info") y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    width=$(sed -n 's/.*Width: *//p' <<<"$info") height=$(sed -n 's/.*Height: *//p' <<<"$info")
    echo $(( (2 * (x - left) + width + left + right) - 1280 )) $(( (2 * (y - top) + height + top + bottom) - 800 ))
}
# Twice the offsets, so that 2 is one pixel. The window may settle after the frame arrives.
for _ in $(seq 50); do
    read -r dx dy < <(frame_centre_offsets)
    [ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] && break
    sleep 0.1
done
import -window root "$out/placement.png"
[ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] \
    || fail "the frame's centre is off the screen's by ($((dx / 2)), $((dy / 2))) pixels"
"$x11_close" "$main"
ends_cleanly "closing the main window"
echo "1 passed, 0 failed: the framed main window is centred"
