# Alt+F4 through DefWindowProcA: WM_SYSKEYDOWN F4, WM_SYSCOMMAND SC_CLOSE, WM_CLOSE, then WM_QUIT.
if window_manager_running; then
  echo "SKIP Alt+F4 through DefWindowProcA (a window manager takes Alt+F4)"
elif start_echo "$WORK/altf4.out"; then
  xdotool key alt+F4
  stop_echo
  key=$(line_of WM_SYSKEYDOWN 0x73); cmd=$(line_of WM_SYSCOMMAND 0xf060)
  close=$(line_of WM_CLOSE 0x0); quit=$(line_of WM_QUIT 0x0)
  check "Alt+F4 -> WM_SYSKEYDOWN VK_F4" $([ "$key" -gt 0 ]; echo $?)
  check "then WM_SYSCOMMAND SC_CLOSE" $([ "$cmd" -gt "$key" ]; echo $?)
  check "then WM_CLOSE" $([ "$close" -gt "$cmd" ]; echo $?)
  check "then WM_QUIT with code 0" $([ "$quit" -gt "$close" ]; echo $?)
else
  check "key-echo window starts" 1
fi
