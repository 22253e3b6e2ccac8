#!/usr/bin/env bash
# The viewer's own cloud at first sight, end to end through real X input: a terrain and the
# same terrain at UTM coordinates, each with far strays, open framed and whole; the sample
# sphere opens as before; F, C, the mouse's drags and wheel, a click and Space on a spin, H's
# box, and files dropped on the window as a file manager drops them (DROP_TOOL, x-drop).
# Usage: mouse.sh native|wine BUILD_DIR VERSION DROP_TOOL; runs on DISPLAY (tools/with-display.sh gives one).
mode=$1 build=$(cd "$2" && pwd) version=$3 drop=$4
source "$(dirname "$0")/../lib.sh"
for cloud in "terrain 0 0" "utm 512300 5403800"; do
  read -r name x y <<<"$cloud"; awk -v n=200 -v ox="$x" -v oy="$y" -v strays=5 -f "$repo/tests/e2e/terrain.awk" >"$work/$name.txt"
done

# The box of the cyan points in the client area, "x0 y0 x1 y1" (its last pixels included), into box.
cloud_box() {
  shoot "$id" "$work/cloud.png" || return
  box=$(convert "$work/cloud.png" -fuzz 25% -fill white -opaque cyan -fill black +opaque white -format '%@' info: 2>/dev/null |
    awk -F'[x+]' '$1 > 0 {print $3, $4, $3 + $1 - 1, $4 + $2 - 1}')
}
# Whether the box is BOX (each edge within 2 pixels); whether its edges x0 y0 x1 y1 meet a
# condition (arithmetic); whether it lies clear of every edge of the window by 15 pixels.
box_is() { cloud_box && awk -v a="$box" -v b="$1" 'BEGIN {n = split(a, p, " "); split(b, q, " ")
  for (i = 1; i <= 4; i++) if (n != 4 || p[i] - q[i] > 2 || q[i] - p[i] > 2) exit 1}'; }
box_where() { cloud_box && read -r x0 y0 x1 y1 <<<"$box" && (($1)); }
clear_of_edges() { box_where "x0 >= 15 && y0 >= 15 && x1 <= 784 && y1 <= 584 && ${1:-1}"; }
# The speed line's red pixels into FILE.png; whether they show what was.png shows.
speed_line() { shoot "$id" "$work/$1.png" 200x20+600+563 && convert "$work/$1.png" -fuzz 25% -fill black +opaque red "$work/$1.png"; }
speeds_as_before() { speed_line now && compare -metric AE "$work/was.png" "$work/now.png" null: 2>/dev/null; }
# Mean lightness of the client area's part WxH+X+Y.
lightness() { shoot "$id" "$work/part.png" "$1" && convert "$work/part.png" -colorspace Gray -format '%[fx:round(mean*1000)]' info:; }
# Drags with BUTTON from (X, Y) by (DX, DY) in the client area.
drag() { xdotool mousemove --window "$id" "$2" "$3" mousedown "$1" mousemove --window "$id" $(($2 + $4)) $(($3 + $5)) mouseup "$1"; }

for name in utm terrain; do
  at "$name, with strays"
  run_viewer $name.txt && wait_for 30 clear_of_edges "y1 - y0 >= 300"
  check "opens framed: whole, clear of the edges, over half the window's height (box $box)" $?
  framed=$box
  # Where R puts the cloud, which is where a drop puts it.
  [ $name = terrain ] || { send_key "$id" r eval '! box_is "$framed"'; reset=$box; escape_exits; }
done
# Unframed, the grid's points lie 16 pixels apart: the cloud reaches the edges within one step.
send_key "$id" f box_where "x1 >= 784 && y0 <= 15"
check "F: in the file's units, past the top and right edges (box $box)" $?
send_key "$id" f box_is "$framed"; check "F again: framed as it opened" $?

at "height colours"
send_key "$id" c eval '! shows "$id" cyan 0'; check "C: no cyan point left" $?
left=$(lightness 110x360+225+210) right=$(lightness 110x360+465+210)
((left > 0 && right > 2 * left)); check "low on the left, dark; high on the right, light (lightness $left, $right)" $?
# The ramp belongs to the rendering context: F1 (the mode refused here, answered Yes) makes a new one.
send_key "$id" F1 box_named "Vexa GL" && answer_box "Vexa GL" Return && viewer_window &&
  wait_for 30 eval 'shows "$id" "rgb(250,235,110)" 1000 && ! shows "$id" cyan 0'; check "after F1, in colour still" $?
send_key "$id" c box_is "$framed"; check "C again: cyan as before" $?

at "mouse"
drag 3 400 300 60 -40; wait_for 30 box_is "$(awk '{print $1 + 60, $2 - 40, $3 + 60, $4 - 40}' <<<"$framed")"
check "a right drag moves the cloud with the pointer (box $box)" $?
drag 2 400 300 -60 40; wait_for 30 box_is "$framed"; check "a middle drag moves it back" $?
xdotool mousemove --window "$id" 400 300 click 5; wait_for 30 box_where "y1 - y0 < 300"
check "the wheel back: farther (box $box)" $?
xdotool click 4; wait_for 30 box_is "$framed"; check "the wheel forward: as near as before" $?
drag 1 400 300 100 0; wait_for 30 box_where "x1 - x0 < 300"
check "a left drag turns it about its middle (box $box)" $?

at "stopping a spin"
speed_line was
send_key "$id" Right eval '! speeds_as_before'; check "Right: it spins" $?
xdotool mousemove --window "$id" 400 300 click 1; wait_for 30 speeds_as_before; check "a click stops it" $?
send_key "$id" Right eval '! speeds_as_before' && send_key "$id" space speeds_as_before; check "Space stops it too" $?

at "help"
help="Quillmere viewer $version"
send_key "$id" h box_named "$help"; check "H: a box captioned \"$help\"" $?
text='Mouse\nLeft drag: turn the cloud\nRight or middle drag: move the cloud\nWheel: bring the cloud nearer or farther\nAny button: stop turning\n\nKeys\nPage Up, Page Down: turn faster or slower about Z'
[ "$mode" = wine ] || text="$help|$text\nDown, Up: turn faster or slower about X\nRight, Left: turn faster or slower about Y\nShift with these: in small steps\nSpace: stop turning\nQ, Z: move the cloud farther, nearer\nW, S: move up, down\nD, A: move right, left\nR: stop turning and put the cloud at (0, 0, -15)\nF: framing on or off\nC: colour by height on or off\n1 to 9, 0: point size 1 to 9, 10\nF1: window or full screen\nH: this help\nEscape: quit|0x00000040"
wait_for 30 box_seen "$text"; check "its text lists every key and mouse action" $?
answer_box "$help" Return; escape_exits

# The sample sphere opens where it always was, unframed; F frames it, F again unframes it. A file
# dropped on the window replaces the cloud: framed afresh, the view reset as R resets it, its name
# (far longer than sphere.txt) in the overlay. A folder dropped gives the loader's box, then an
# empty cloud.
at "the sample sphere, and files dropped on it"
long_name() { shows "$id" blue 20 300x24+250+22; }
run_viewer && wait_for 30 box_is "295 289 491 487" && ! long_name; check "unframed, where it always was (box $box)" $?
send_key "$id" f clear_of_edges "x1 - x0 > 250"; check "F frames it: larger, clear of the edges (box $box)" $?
send_key "$id" f box_is "295 289 491 487" && send_key "$id" q box_where "x1 - x0 < 190"
check "F again: as it was; then Q moves it farther (box $box)" $?
"$drop" "$id" "$work/utm.txt" && wait_for 30 box_is "$reset" && long_name
check "the UTM terrain dropped on it: framed, where R puts it (box $box), its name in the overlay" $?
mkdir "$work/folder" && "$drop" "$id" "$work/folder" && wait_for 60 box_named "SHUTDOWN ERROR" >/dev/null &&
  wait_for 60 box_seen "couldn't open file"
check "a folder dropped: a box captioned SHUTDOWN ERROR says \"couldn't open file\"" $?
answer_box "SHUTDOWN ERROR" Return; wait_for 30 eval '! shows "$id" cyan 0'; check "then an empty cloud" $?
escape_exits
finish
