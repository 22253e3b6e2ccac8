# Virtual-key codes as Windows numbers them, one key after another, in order.
KEY_TABLE="
Left 0x25
Up 0x26
Right 0x27
Down 0x28
Prior 0x21
Next 0x22
a 0x41
q 0x51
z 0x5a
0 0x30
1 0x31
9 0x39
F1 0x70
F12 0x7b
Shift_L 0x10
Control_L 0x11
space 0x20
Return 0xd
Home 0x24
End 0x23
Escape 0x1b
"
if start_echo "$WORK/keycodes.out"; then
  echo "$KEY_TABLE" | while read -r key vk; do
    [ -z "$key" ] && continue
    xdotool key "$key"
    sleep 0.05
  done
  settle
  downs=($(wparams_of WM_KEYDOWN))
  ups=($(wparams_of WM_KEYUP))
  i=0
  while read -r key vk; do
    [ -z "$key" ] && continue
    check "key $key -> WM_KEYDOWN $vk (got ${downs[$i]:-none})" $([ "${downs[$i]}" = "$vk" ]; echo $?)
    check "key $key -> WM_KEYUP $vk (got ${ups[$i]:-none})" $([ "${ups[$i]}" = "$vk" ]; echo $?)
    i=$((i + 1))
  done <<< "$KEY_TABLE"
  check "no key made a system key message" $(! grep -aq '^WM_SYSKEY' "$ECHO_OUT"; echo $?)
  # lParam of a first key-down: repeat count 1, bit 30 and 31 clear; a key-up has both set.
  lp=$(grep -a '^WM_KEYDOWN wParam=0x25 ' "$ECHO_OUT" | head -1 | sed 's/.*lParam=//')
  check "Left key-down lParam: count 1, extended, bits 30/31 clear ($lp)" $([ $((lp & 0xffff)) -eq 1 ] && [ $((lp & 0xc0000000)) -eq 0 ] && [ $((lp & 0x01000000)) -ne 0 ]; echo $?)
  lp=$(grep -a '^WM_KEYUP wParam=0x25 ' "$ECHO_OUT" | head -1 | sed 's/.*lParam=//')
  check "Left key-up lParam: bits 30 and 31 set ($lp)" $([ $((lp & 0xc0000000)) -eq $((0xc0000000)) ]; echo $?)
  : > "$ECHO_OUT"
  # xdotool holds the left Shift around the right one, so the right one is found by its scan code 0x36.
  xdotool key Shift_R
  settle
  check "right Shift (scan code 0x36) -> VK_SHIFT" $(grep -a '^WM_KEYDOWN ' "$ECHO_OUT" | grep -a 'lParam=0x0036' | grep -aq 'wParam=0x10 '; echo $?)
  check "every Shift key-down is VK_SHIFT" $([ -z "$(wparams_of WM_KEYDOWN | grep -av '^0x10$')" ] && [ -n "$(wparams_of WM_KEYDOWN)" ]; echo $?)
  kill "$ECHO_PID" 2>/dev/null
  stop_echo
else
  check "key-echo window starts" 1
fi
