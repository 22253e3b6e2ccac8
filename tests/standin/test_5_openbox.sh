# Under openbox: closing from the window manager, and minimising and restoring.
if [ "$OWN_DISPLAY" -eq 1 ]; then
  openbox > "$WORK/openbox.log" 2>&1 &
  WM_PID=$!
  tries=0
  until window_manager_running || [ $tries -gt 50 ]; do tries=$((tries + 1)); sleep 0.1; done
fi
if ! window_manager_running; then
  echo "SKIP window-manager tests (no window manager on $DISPLAY)"
else
  if start_echo "$WORK/minimise.out"; then
    win=$(xdotool search --name "$TITLE" | head -1)
    : > "$ECHO_OUT"
    xdotool windowminimize --sync "$win"
    settle
    check "minimise -> WM_ACTIVATE with non-zero high word" $(grep -a '^WM_ACTIVATE ' "$ECHO_OUT" | sed 's/.*wParam=\(0x[0-9a-f]*\).*/\1/' | while read -r wp; do [ $((wp >> 16)) -ne 0 ] && echo yes; done | grep -aq yes; echo $?)
    check "minimise -> WM_SIZE SIZE_MINIMIZED 0x0" $(grep -aq '^WM_SIZE wParam=0x1 lParam=0x00000000' "$ECHO_OUT"; echo $?)
    : > "$ECHO_OUT"
    xdotool windowactivate --sync "$win" 2>/dev/null
    settle
    check "restore -> WM_SIZE 800x600" $(grep -aq '^WM_SIZE wParam=0x0 lParam=0x02580320' "$ECHO_OUT"; echo $?)
    last=$(grep -a '^WM_ACTIVATE ' "$ECHO_OUT" | tail -1 | sed 's/.*wParam=\(0x[0-9a-f]*\).*/\1/')
    check "restore -> last WM_ACTIVATE active with high word 0 (${last:-none})" $([ -n "$last" ] && [ $((last >> 16)) -eq 0 ] && [ $((last & 0xffff)) -ne 0 ]; echo $?)
    : > "$ECHO_OUT"
    # openbox binds Alt+F4 to its Close action, which asks the window to close (WM_DELETE_WINDOW).
    xdotool key alt+F4
    stop_echo
    cmd=$(line_of WM_SYSCOMMAND 0xf060); close=$(line_of WM_CLOSE 0x0); quit=$(line_of WM_QUIT 0x0)
    check "window-manager close -> no WM_SYSKEYDOWN F4 reaches the window" $(! has_message WM_SYSKEYDOWN 0x73; echo $?)
    check "window-manager close -> WM_SYSCOMMAND SC_CLOSE" $([ "$cmd" -gt 0 ]; echo $?)
    check "then WM_CLOSE, then WM_QUIT" $([ "$close" -gt "$cmd" ] && [ "$quit" -gt "$close" ]; echo $?)
  else
    check "key-echo window starts under openbox" 1
  fi
fi
if [ -n "$WM_PID" ]; then kill "$WM_PID" 2>/dev/null; wait "$WM_PID" 2>/dev/null; WM_PID=""; fi
