# Characters from TranslateMessage, system keys, and key repeat while held.
CHAR_TABLE="
Escape 0x1b
a 0x61
shift+a 0x41
5 0x35
shift+5 0x25
Return 0xd
space 0x20
"
if start_echo "$WORK/translate.out"; then
  echo "$CHAR_TABLE" | while read -r key ch; do
    [ -z "$key" ] && continue
    xdotool key "$key"
    sleep 0.05
  done
  xdotool key F1
  settle
  chars=($(wparams_of WM_CHAR))
  i=0
  while read -r key ch; do
    [ -z "$key" ] && continue
    check "key $key -> WM_CHAR $ch (got ${chars[$i]:-none})" $([ "${chars[$i]}" = "$ch" ]; echo $?)
    i=$((i + 1))
  done <<< "$CHAR_TABLE"
  check "F1 makes no character" $([ "${#chars[@]}" -eq $i ]; echo $?)
  # WM_CHAR for Escape follows its key-down and comes before its key-up.
  down=$(line_of WM_KEYDOWN 0x1b); char=$(line_of WM_CHAR 0x1b); up=$(line_of WM_KEYUP 0x1b)
  check "Escape: WM_KEYDOWN, WM_CHAR 27, WM_KEYUP in order" $([ "$down" -gt 0 ] && [ "$down" -lt "$char" ] && [ "$char" -lt "$up" ]; echo $?)
  : > "$ECHO_OUT"

  xdotool key alt+x
  xdotool key F10
  settle
  check "Alt+X -> WM_SYSKEYDOWN 'X'" $(has_message WM_SYSKEYDOWN 0x58; echo $?)
  check "Alt+X -> no WM_KEYDOWN 'X'" $(! has_message WM_KEYDOWN 0x58; echo $?)
  check "Alt+X -> WM_SYSCHAR 'x'" $(has_message WM_SYSCHAR 0x78; echo $?)
  check "Alt itself -> WM_SYSKEYDOWN VK_MENU" $(has_message WM_SYSKEYDOWN 0x12; echo $?)
  lp=$(grep -a '^WM_SYSKEYDOWN wParam=0x58 ' "$ECHO_OUT" | head -1 | sed 's/.*lParam=//')
  check "Alt+X lParam has the context bit 29 (${lp:-none})" $([ -n "$lp" ] && [ $((lp & 0x20000000)) -ne 0 ]; echo $?)
  check "F10 -> WM_SYSKEYDOWN VK_F10" $(has_message WM_SYSKEYDOWN 0x79; echo $?)
  check "F10 -> WM_SYSKEYUP VK_F10" $(has_message WM_SYSKEYUP 0x79; echo $?)
  check "F10 -> no WM_KEYDOWN" $(! has_message WM_KEYDOWN 0x79; echo $?)
  : > "$ECHO_OUT"

  # Held for 1.5 s: one first key-down, repeats with lParam bit 30 set, one key-up.
  xdotool keydown Right
  sleep 1.5
  xdotool keyup Right
  settle
  lps=($(grep -a '^WM_KEYDOWN wParam=0x27 ' "$ECHO_OUT" | sed 's/.*lParam=//'))
  first=${lps[0]:-0}
  repeats=0
  for lp in "${lps[@]:1}"; do
    [ $((lp & 0x40000000)) -ne 0 ] && repeats=$((repeats + 1))
  done
  check "held Right: first WM_KEYDOWN has bit 30 clear" $([ "${#lps[@]}" -gt 0 ] && [ $((first & 0x40000000)) -eq 0 ]; echo $?)
  check "held Right: repeats with bit 30 set (got $repeats of $((${#lps[@]} - 1)))" $([ "$repeats" -ge 3 ] && [ "$repeats" -eq $((${#lps[@]} - 1)) ]; echo $?)
  check "held Right: one WM_KEYUP" $([ "$(grep -ac '^WM_KEYUP wParam=0x27 ' "$ECHO_OUT")" -eq 1 ]; echo $?)
  kill "$ECHO_PID" 2>/dev/null
  stop_echo
else
  check "key-echo window starts" 1
fi
