# Helpers for the stand-in tests: a key-echo window under X, driven with xdotool.
# Sourced by run.sh; expects DEMO_KEYS (the demo-keys binary) and DISPLAY to be set.

TITLE="Quillmere OpenGL by KALMO"
PASSED=0
FAILED=0

# Records one check: check NAME CONDITION-RESULT (0 passes).
check() {
  local name="$1" result="$2"
  if [ "$result" -eq 0 ]; then
    PASSED=$((PASSED + 1))
    echo "PASS $name"
  else
    FAILED=$((FAILED + 1))
    echo "FAIL $name"
  fi
}

# Starts the echo window writing to $1 and waits until it reports READY (or gives up after 10 s).
start_echo() {
  ECHO_OUT="$1"
  : > "$ECHO_OUT"
  # Appending, so that emptying the file between steps leaves no hole in it.
  "$DEMO_KEYS" 30 >> "$ECHO_OUT" 2>&1 &
  ECHO_PID=$!
  local tries=0
  while ! grep -q '^READY' "$ECHO_OUT" 2>/dev/null; do
    tries=$((tries + 1))
    if [ $tries -gt 100 ] || ! kill -0 "$ECHO_PID" 2>/dev/null; then
      return 1
    fi
    sleep 0.1
  done
  # Let the window take the focus before keys arrive.
  sleep 0.3
  return 0
}

# Waits for the echo window to end by itself (up to 5 s), then stops it if it has not.
stop_echo() {
  local tries=0
  while kill -0 "$ECHO_PID" 2>/dev/null && [ $tries -lt 50 ]; do
    tries=$((tries + 1))
    sleep 0.1
  done
  if kill -0 "$ECHO_PID" 2>/dev/null; then
    kill "$ECHO_PID" 2>/dev/null
  fi
  wait "$ECHO_PID" 2>/dev/null
  return 0
}

# Lets the echo window print what the last keys made.
settle() {
  sleep 0.4
}

# The wParam values of every line for one message, in order.
wparams_of() {
  grep -a "^$1 " "$ECHO_OUT" | sed -e 's/.*wParam=\(0x[0-9a-f]*\).*/\1/'
}

# Succeeds if a line for message $1 with wParam $2 was printed.
has_message() {
  grep -aq "^$1 wParam=$2 " "$ECHO_OUT"
}

# The line number of the first line for message $1 with wParam $2 (0 if none).
line_of() {
  local n
  n=$(grep -an "^$1 wParam=$2 " "$ECHO_OUT" | head -1 | cut -d: -f1)
  echo "${n:-0}"
}

# True when a window manager announces itself on the root window.
window_manager_running() {
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}
