#!/usr/bin/env bash
# The native stand-in's window and messages, through the key-echo window (tools/demo_keys.cpp):
# window placement and size messages, virtual-key codes, characters, system keys, key repeat,
# Alt+F4, and closing, minimising and restoring through a window manager.
# Usage: keys.sh DEMO_KEYS; runs on DISPLAY, which must have key repeat and no window manager
# (the script starts openbox itself for the last part).
mode=native
demo_keys=$1
source "$(dirname "$0")/../lib.sh"
out="$work/echo.out"

# Starts the echo window and waits for its READY line.
start_echo() {
  : >"$out"
  # Appending, so that emptying the file between steps leaves no hole in it.
  "$demo_keys" 30 >>"$out" 2>&1 &
  echo_pid=$!
  helper_pids="$helper_pids $echo_pid"
  wait_for 30 grep -q '^READY' "$out" && focus "$(window_named "$title")"
}

# Waits for the echo window to end by itself, then stops it if it has not.
stop_echo() {
  wait_for 5 eval '! kill -0 $echo_pid 2>/dev/null'
  kill "$echo_pid" 2>/dev/null; wait "$echo_pid" 2>/dev/null
}

# Waits until the echo has printed a line matching the pattern.
echoed() { wait_for 10 grep -aq "$1" "$out"; }

# The wParam values of every line for one message, in order.
wparams_of() { grep -a "^$1 " "$out" | sed -e 's/.*wParam=\(0x[0-9a-f]*\).*/\1/'; }

# The lParam of the first line for message $1 with wParam $2.
lparam_of() { grep -a "^$1 wParam=$2 " "$out" | head -1 | sed 's/.*lParam=//'; }

# The line number of the first line for message $1 with wParam $2 (0 if none).
line_of() {
  local n
  n=$(grep -an "^$1 wParam=$2 " "$out" | head -1 | cut -d: -f1)
  echo "${n:-0}"
}

wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }

has() { grep -aqE "^$1 wParam=$2( |$)" "$out"; }

at "window"
start_echo; check "key-echo window starts" $? || { finish; exit; }
read -r x y w h <<<"$(client_area "$(window_named "$title")")"
check "client area 800 x 600 at (0,0) without a window manager (got $w x $h at $x,$y)" \
  "$([ "$w,$h,$x,$y" = 800,600,0,0 ]; echo $?)"
# CreateWindowExA sends the creation size; ShowWindow activates.
check "WM_SIZE 800x600 sent at creation, before READY" \
  "$([ "$(line_of WM_SIZE 0x0)" -gt 0 ] && [ "$(line_of WM_SIZE 0x0)" -lt "$(grep -an '^READY' "$out" | cut -d: -f1)" ] &&
    has WM_SIZE '0x0 lParam=0x02580320'; echo $?)"
has WM_ACTIVATE 0x1; check "WM_ACTIVATE active, not minimised, on show" $?

at "virtual-key codes"
keys=(Left Up Right Down Prior Next a q z 0 1 9 F1 F12 Shift_L Control_L space Return Home End Escape)
codes=(0x25 0x26 0x27 0x28 0x21 0x22 0x41 0x51 0x5a 0x30 0x31 0x39 0x70 0x7b 0x10 0x11 0x20 0xd 0x24 0x23 0x1b)
xdotool key "${keys[@]}"
echoed '^WM_KEYUP wParam=0x1b '
check "each key makes WM_KEYDOWN and WM_KEYUP with its Windows code, in order" \
  "$([ "$(wparams_of WM_KEYDOWN | tr '\n' ' ')" = "${codes[*]} " ] && [ "$(wparams_of WM_KEYUP | tr '\n' ' ')" = "${codes[*]} " ]; echo $?)"
echo "     downs: $(wparams_of WM_KEYDOWN | tr '\n' ' ')"
! grep -aq '^WM_SYSKEY' "$out"; check "no key made a system key message" $?
# lParam of a first key-down: repeat count 1, extended, bits 30 and 31 clear; a key-up has both set.
lp=$(lparam_of WM_KEYDOWN 0x25)
check "Left key-down lParam: count 1, extended, bits 30/31 clear ($lp)" \
  "$([ $((lp & 0xffff)) = 1 ] && [ $((lp & 0xc0000000)) = 0 ] && [ $((lp & 0x01000000)) != 0 ]; echo $?)"
lp=$(lparam_of WM_KEYUP 0x25)
check "Left key-up lParam: bits 30 and 31 set ($lp)" "$([ $((lp & 0xc0000000)) = $((0xc0000000)) ]; echo $?)"
: >"$out"
# xdotool holds the left Shift around the right one, so the right one is found by its scan code 0x36.
xdotool key Shift_R
echoed '^WM_KEYUP '
grep -a '^WM_KEYDOWN wParam=0x10 ' "$out" | grep -aq 'lParam=0x0036'; check "right Shift (scan code 0x36) -> VK_SHIFT" $?
[ -z "$(wparams_of WM_KEYDOWN | grep -v '^0x10$')" ]; check "every Shift key-down is VK_SHIFT" $?
: >"$out"

at "characters"
xdotool key Escape a shift+a 5 Return space F1
echoed '^WM_KEYUP wParam=0x70 '
check "TranslateMessage makes 0x1b 0x61 0x41 0x35 0xd 0x20, nothing for F1 (got $(wparams_of WM_CHAR | tr '\n' ' '))" \
  "$([ "$(wparams_of WM_CHAR | tr '\n' ' ')" = "0x1b 0x61 0x41 0x35 0xd 0x20 " ]; echo $?)"
down=$(line_of WM_KEYDOWN 0x1b); char=$(line_of WM_CHAR 0x1b); up=$(line_of WM_KEYUP 0x1b)
check "Escape: WM_KEYDOWN, WM_CHAR 27, WM_KEYUP in order" "$([ "$down" -gt 0 ] && [ "$down" -lt "$char" ] && [ "$char" -lt "$up" ]; echo $?)"
: >"$out"

at "system keys"
xdotool key alt+x F10
echoed '^WM_SYSKEYUP wParam=0x79 '
has WM_SYSKEYDOWN 0x58 && ! has WM_KEYDOWN 0x58; check "Alt+X -> WM_SYSKEYDOWN 'X', no WM_KEYDOWN" $?
has WM_SYSCHAR 0x78; check "Alt+X -> WM_SYSCHAR 'x'" $?
has WM_SYSKEYDOWN 0x12; check "Alt itself -> WM_SYSKEYDOWN VK_MENU" $?
lp=$(lparam_of WM_SYSKEYDOWN 0x58)
check "Alt+X lParam has the context bit 29 (${lp:-none})" "$([ -n "$lp" ] && [ $((lp & 0x20000000)) != 0 ]; echo $?)"
has WM_SYSKEYDOWN 0x79 && has WM_SYSKEYUP 0x79 && ! has WM_KEYDOWN 0x79
check "F10 -> WM_SYSKEYDOWN and WM_SYSKEYUP VK_F10, no WM_KEYDOWN" $?
: >"$out"

at "key repeat"
# Held for 1.5 s: one first key-down, repeats with lParam bit 30 set, one key-up.
xdotool keydown Right; sleep 1.5; xdotool keyup Right
echoed '^WM_KEYUP wParam=0x27 '
lps=($(grep -a '^WM_KEYDOWN wParam=0x27 ' "$out" | sed 's/.*lParam=//'))
repeats=0
for lp in "${lps[@]:1}"; do [ $((lp & 0x40000000)) != 0 ] && repeats=$((repeats + 1)); done
check "held Right: first WM_KEYDOWN has bit 30 clear" "$([ "${#lps[@]}" -gt 0 ] && [ $((${lps[0]:-0} & 0x40000000)) = 0 ]; echo $?)"
check "held Right: repeats with bit 30 set (got $repeats of $((${#lps[@]} - 1)))" \
  "$([ "$repeats" -ge 3 ] && [ "$repeats" = $((${#lps[@]} - 1)) ]; echo $?)"
[ "$(grep -ac '^WM_KEYUP wParam=0x27 ' "$out")" = 1 ]; check "held Right: one WM_KEYUP" $?

at "Alt+F4 without a window manager"
# DefWindowProcA: WM_SYSKEYDOWN F4, WM_SYSCOMMAND SC_CLOSE, WM_CLOSE, then WM_QUIT.
: >"$out"
xdotool key alt+F4
stop_echo
key=$(line_of WM_SYSKEYDOWN 0x73); cmd=$(line_of WM_SYSCOMMAND 0xf060)
close=$(line_of WM_CLOSE 0x0); quit=$(line_of WM_QUIT 0x0)
check "Alt+F4 -> WM_SYSKEYDOWN VK_F4, WM_SYSCOMMAND SC_CLOSE, WM_CLOSE, WM_QUIT 0" \
  "$([ "$key" -gt 0 ] && [ "$cmd" -gt "$key" ] && [ "$close" -gt "$cmd" ] && [ "$quit" -gt "$close" ]; echo $?)"

at "under openbox"
# Started again if it gives up at once (the log says why), three times at most.
for try in 1 2 3; do
  openbox >>"$logs/keys-openbox.log" 2>&1 &
  helper_pids="$helper_pids $!"
  wait_for 30 wm_running && break
done
wm_running; check "openbox runs (tries: $try)" $?
start_echo; check "key-echo window starts under openbox" $? || { finish; exit; }
win=$(window_named "$title")
: >"$out"
xdotool windowminimize --sync "$win"
echoed '^WM_SIZE wParam=0x1 '
wparams_of WM_ACTIVATE | while read -r wp; do [ $((wp >> 16)) != 0 ] && echo yes; done | grep -q yes
check "minimise -> WM_ACTIVATE with non-zero high word" $?
has WM_SIZE '0x1 lParam=0x00000000'; check "minimise -> WM_SIZE SIZE_MINIMIZED 0x0" $?
: >"$out"
xdotool windowactivate --sync "$win" 2>/dev/null
echoed '^WM_SIZE wParam=0x0 '
has WM_SIZE '0x0 lParam=0x02580320'; check "restore -> WM_SIZE 800x600" $?
echoed '^WM_ACTIVATE '
last=$(wparams_of WM_ACTIVATE | tail -1)
check "restore -> last WM_ACTIVATE active with high word 0 (${last:-none})" \
  "$([ -n "$last" ] && [ $((last >> 16)) = 0 ] && [ $((last & 0xffff)) != 0 ]; echo $?)"
: >"$out"
# openbox binds Alt+F4 to its Close action, which asks the window to close (WM_DELETE_WINDOW).
xdotool key alt+F4
stop_echo
cmd=$(line_of WM_SYSCOMMAND 0xf060); close=$(line_of WM_CLOSE 0x0); quit=$(line_of WM_QUIT 0x0)
! has WM_SYSKEYDOWN 0x73; check "window-manager close -> no WM_SYSKEYDOWN F4 reaches the window" $?
check "window-manager close -> WM_SYSCOMMAND SC_CLOSE, then WM_CLOSE, then WM_QUIT" \
  "$([ "$cmd" -gt 0 ] && [ "$close" -gt "$cmd" ] && [ "$quit" -gt "$close" ]; echo $?)"
finish
