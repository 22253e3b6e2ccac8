#!/usr/bin/env bash
# The native stand-in's window and messages, through the key-echo window (tools/demo_keys.cpp):
# placement and size messages, virtual-key codes, key data, characters, system keys, key repeat,
# Alt+F4, and minimising, restoring and closing through a window manager.
# Usage: keys.sh DEMO_KEYS; runs on DISPLAY, which must have key repeat and no window manager
# (the script starts openbox itself for the last part). Each step is named by its command.
mode=native demo_keys=$1
source "$(dirname "$0")/../lib.sh"
out=$work/echo.out

# Starts the echo window (appending: emptying the file between steps leaves no hole) and
# focuses it once it prints READY.
start_echo() {
  "$demo_keys" 30 >>"$out" 2>&1 & helper_pids+=" $!"
  wait_for 30 grep -q '^READY' "$out" && xdotool windowfocus --sync "$(window_named "$title")"
}

# Whether the echo has lines starting with these, in this order (other lines between); each is
# "MESSAGE wParam lParam", an extended regular expression (wParam and lParam may be left out).
echoed() {
  awk -v want="$(printf '%s\n' "$@")" 'BEGIN {n = split(want, w, "\n")} {gsub(/[wl]Param=/, "")}
    i < n && ($0 " ") ~ ("^" w[i + 1] " ") {i++} END {exit i < n}' "$out"
}

# The wParams of every line of one message, in order.
wparams() { grep -a "^$1 " "$out" | sed 's/.*wParam=\(0x[0-9a-f]*\).*/\1/' | paste -sd' '; }

# The table's step: empties the echo, runs a command that makes messages (the step's name), and
# checks the echo: it must show the expected lines (as for echoed, awaited generously) in this
# order, and each expectation "MESSAGE=WPARAMS" gives every wParam of that message, in order
# ("MESSAGE=": none).
expect() {
  local lines=() lists=() e got
  for e in "${@:2}"; do [[ $e == *=* ]] && lists+=("$e") || lines+=("$e"); done
  at "$1"; : >"$out"; eval "$1"
  wait_for 10 echoed "${lines[@]}"; check "the echo shows, in order: ${lines[*]}" $?
  for e in "${lists[@]}"; do got=$(wparams "${e%=*}"); [ "$got" = "${e#*=}" ]; check "$e (got $got)" $?; done
}

expect start_echo "WM_SIZE 0x0 0x02580320" "WM_ACTIVATE 0x1 0x00000000" READY
[ "$(client_area "$(window_named "$title")")" = "0 0 800 600" ]; check "client area 800x600 at (0,0) without a window manager" $?

codes="0x25 0x26 0x27 0x28 0x21 0x22 0x41 0x51 0x5a 0x30 0x31 0x39 0x70 0x7b 0x10 0x11 0x20 0xd 0x24 0x23 0x1b"
# Repeat count 1, scan code, extended bit 24; bits 30 and 31 clear on a key-down, set on a key-up.
expect "xdotool key Left Up Right Down Prior Next a q z 0 1 9 F1 F12 Shift_L Control_L space Return Home End Escape" \
  "WM_KEYDOWN 0x25 0x014b0001" "WM_KEYUP 0x25 0xc14b0001" "WM_KEYDOWN 0x41 0x001e0001" "WM_KEYUP 0x41 0xc01e0001" \
  "WM_KEYUP 0x1b" "WM_KEYDOWN=$codes" "WM_KEYUP=$codes" WM_SYSKEYDOWN= WM_SYSKEYUP= WM_SYSCHAR=
# xdotool holds the left Shift with the right one, which is known by its scan code 0x36.
expect "xdotool key Shift_R" "WM_KEYDOWN 0x10 0x00360001" "WM_KEYUP 0x10 0xc0360001" "WM_KEYDOWN=0x10 0x10"

# TranslateMessage: characters, none for F1; WM_CHAR comes between its key's down and up.
expect "xdotool key Escape a shift+a 5 Return space F1" "WM_KEYDOWN 0x1b" "WM_CHAR 0x1b 0x00010001" "WM_KEYUP 0x1b" \
  "WM_KEYUP 0x70" "WM_CHAR=0x1b 0x61 0x41 0x35 0xd 0x20"

# System keys: Alt (VK_MENU), Alt+X with the context bit 29 and its WM_SYSCHAR, and F10.
expect "xdotool key alt+x F10" "WM_SYSKEYDOWN 0x12 0x20380001" "WM_SYSKEYDOWN 0x58 0x202d0001" \
  "WM_SYSCHAR 0x78 0x202d0001" "WM_SYSKEYUP 0x79 0xc0440001" "WM_SYSKEYDOWN=0x12 0x58 0x79" WM_KEYDOWN=

# Right held until three repeats show: the repeats have bit 30 set, and one key-up ends them.
expect 'xdotool keydown Right; wait_for 10 echoed WM_KEYDOWN WM_KEYDOWN WM_KEYDOWN WM_KEYDOWN; xdotool keyup Right' \
  "WM_KEYDOWN 0x27 0x014d0001" "WM_KEYDOWN 0x27 0x414d0001" "WM_KEYDOWN 0x27 0x414d0001" "WM_KEYDOWN 0x27 0x414d0001" \
  "WM_KEYUP 0x27 0xc14d0001" "WM_KEYUP=0x27"
! grep -a '^WM_KEYDOWN' "$out" | tail -n +2 | grep -qv 'lParam=0x414d0001'; check "every repeat has bit 30 set" $?

# Without a window manager DefWindowProcA turns Alt+F4 into SC_CLOSE, then WM_CLOSE and WM_QUIT.
expect "xdotool key alt+F4" "WM_SYSKEYDOWN 0x73 0x203e0001" "WM_SYSCOMMAND 0xf060" WM_CLOSE "WM_QUIT 0x0"

at "openbox"
wm=$("$repo/tools/with-display.sh" --wm "$logs/keys-openbox.log"); check "openbox runs (its log: $logs/keys-openbox.log)" $?
helper_pids+=" $wm"
expect start_echo READY
# Minimising and restoring through the window manager.
expect 'xdotool windowminimize --sync "$(window_named "$title")"' "WM_ACTIVATE 0x1000[01]" "WM_SIZE 0x1 0x00000000"
expect 'xdotool windowactivate --sync "$(xdotool search --name "^$title\$" | head -n 1)"' "WM_SIZE 0x0 0x02580320" \
  "WM_ACTIVATE 0x[12]"
# openbox binds Alt+F4 to its Close action, which asks the window to close: no F4 reaches it.
expect "xdotool key alt+F4" "WM_SYSCOMMAND 0xf060" WM_CLOSE WM_QUIT "WM_SYSKEYDOWN=0x12"
finish
