# The window: client area 800x600, titled as asked, at the screen's top-left corner (no window manager).
if start_echo "$WORK/window.out"; then
  info="$(xwininfo -name "$TITLE" 2>/dev/null)"
  width=$(echo "$info" | sed -n 's/^ *Width: *//p')
  height=$(echo "$info" | sed -n 's/^ *Height: *//p')
  x=$(echo "$info" | sed -n 's/^ *Absolute upper-left X: *//p')
  y=$(echo "$info" | sed -n 's/^ *Absolute upper-left Y: *//p')
  check "window titled '$TITLE' exists" $([ -n "$info" ]; echo $?)
  check "client width 800 (got $width)" $([ "$width" = 800 ]; echo $?)
  check "client height 600 (got $height)" $([ "$height" = 600 ]; echo $?)
  if window_manager_running; then
    echo "SKIP position (a window manager frames the window)"
  else
    check "client at (0,0) (got $x,$y)" $([ "$x" = 0 ] && [ "$y" = 0 ]; echo $?)
  fi
  # CreateWindowExA sends the creation size; ShowWindow activates.
  check "WM_SIZE 800x600 sent at creation" $(has_message WM_SIZE 0x0 && grep -aq '^WM_SIZE wParam=0x0 lParam=0x02580320' "$ECHO_OUT"; echo $?)
  check "WM_SIZE comes before READY" $([ "$(grep -an '^WM_SIZE' "$ECHO_OUT" | head -1 | cut -d: -f1)" -lt "$(grep -an '^READY' "$ECHO_OUT" | cut -d: -f1)" ]; echo $?)
  check "WM_ACTIVATE active, not minimised, on show" $(has_message WM_ACTIVATE 0x1; echo $?)
  kill "$ECHO_PID" 2>/dev/null
  stop_echo
else
  check "key-echo window starts" 1
fi
