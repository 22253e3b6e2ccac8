#!/usr/bin/env bash
# Virtual X displays (Xvfb with openbox) for the tests and for headless runs.
#   with-display.sh [OPTIONS] CMD...     runs CMD on a fresh display, then stops it
#   with-display.sh --start FILE [OPTIONS]   starts a display and leaves it running; FILE records it
#   with-display.sh --use FILE CMD...    runs CMD on the display FILE records
#   with-display.sh --stop FILE          stops that display
# OPTIONS: --size WxH (default 1024x768), --no-repeat (no key auto-repeat).
# The server picks a free display number itself (-displayfd), so displays started at the same
# time never collide. CMD runs with DISPLAY set and VIEWER_TEST_DISPLAY=1.
set -u
size=1024x768
server_flags=()

# How long Xvfb may take to accept connections, and the window manager to manage a window.
XVFB_DEADLINE=60
WM_DEADLINE=120
PROBE_TITLE="with-display probe"
wm_pid="" probe=""

# Runs a command (after PID and END) every tenth of a second until it succeeds; fails once the
# process PID has exited or SECONDS has reached END.
while_running() {
  until "${@:3}"; do
    kill -0 "$1" 2>/dev/null && [ "$SECONDS" -lt "$2" ] || return 1
    sleep 0.1
  done
}

# The probe window's id (with --onlyvisible: once it is mapped).
probe_window() { xdotool search "$@" --name "^$PROBE_TITLE\$" 2>/dev/null | head -n 1 | grep .; }

# Whether the window manager manages the probe window: it is mapped and listed among the
# windows the manager manages (an unmapped probe's id, none, is 0x0, which no list holds).
wm_manages() { xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -qw "$(printf '0x%x' "$(probe_window --onlyvisible)")"; }

# Whether a window manager has taken the screen.
wm_took_screen() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# What the window manager, its log LOG and the probe look like, on one line.
wm_seen() {
  local id probe_state="no probe window"
  id=$(probe_window) && probe_state="the probe window: $(xwininfo -id "$id" 2>/dev/null | grep -o 'Map State: .*')"
  echo "openbox (pid $wm_pid) $(kill -0 "$wm_pid" 2>/dev/null && echo runs || echo has exited);" \
    "it has $(wm_took_screen || echo "not ")taken the screen; $probe_state; its log: $(tail -n 5 "$1" | tr '\n' '|')"
}

# Closes the probe window, if any, and maps a new one (xmessage), which the window manager is
# given twice as long to manage as the one before.
probe_again() {
  [ -z "$probe" ] || { kill "$probe"; wait "$probe"; } 2>/dev/null
  xmessage -title "$PROBE_TITLE" "window manager probe" </dev/null >/dev/null 2>&1 &
  probe=$! give_up=$((SECONDS + patience)) patience=$((patience * 2))
  while_running "$wm_pid" "$give_up" wm_manages
}

# Starts the window manager on DISPLAY, detached from the caller, logging to LOG, and returns
# once it manages windows: a probe window must be mapped and listed among its windows. Its
# screen taken (_NET_SUPPORTING_WM_CHECK) is not enough: openbox takes it before it has loaded
# its settings, theme and fonts, and a window mapped in between is never mapped at all (SDL,
# which waits until a window it shows is mapped, then waits for good). So the first probe
# comes once the screen is taken, and a probe that is not managed in a while gives way to a
# new one. The manager is started again if it exits (its log says why), three times at most.
# Fails, saying what it saw, when no probe is managed within WM_DEADLINE seconds.
start_wm() {
  local end patience give_up
  for _ in 1 2 3; do
    setsid openbox </dev/null >>"$1" 2>&1 &
    wm_pid=$! end=$((SECONDS + WM_DEADLINE)) patience=1
    while_running "$wm_pid" "$end" wm_took_screen && while_running "$wm_pid" "$end" probe_again && return 0
    kill -0 "$wm_pid" 2>/dev/null && break  # running, but managing nothing in time: no second one
  done
  echo "with-display: the window manager manages no window within $WM_DEADLINE s: $(wm_seen "$1")" >&2
  return 1
}

# Starts Xvfb (and the window manager) detached from the caller; writes FILE. Fails, saying
# what it saw, when either is not ready in time; nothing is left running then.
start_display() {
  local file=$1 dir number="" pid ready=1
  mkdir -p "$(dirname "$file")" || return 1
  dir=$(mktemp -d)
  setsid Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp "${server_flags[@]}" \
    3>"$dir/number" </dev/null >"$dir/xvfb.log" 2>&1 &
  pid=$!
  # Xvfb writes its number once it accepts connections.
  if while_running "$pid" $((SECONDS + XVFB_DEADLINE)) test -s "$dir/number"; then
    number=$(cat "$dir/number")
    DISPLAY=":$number" start_wm "$dir/openbox.log" && ready=0
    { kill "$probe"; wait "$probe"; } 2>/dev/null
  else
    echo "with-display: Xvfb gave no display number within $XVFB_DEADLINE s: $(cat "$dir/xvfb.log")" >&2
  fi
  printf 'DISPLAY=:%s\nxvfb_pid=%s\nwm_pid=%s\nlog_dir=%s\n' "$number" "$pid" "$wm_pid" "$dir" >"$file"
  ((ready == 0)) || { stop_display "$file"; return 1; }
}

# Stops the display FILE records, the window manager first, and waits (5 s at most) for Xvfb to end.
stop_display() {
  local DISPLAY xvfb_pid wm_pid log_dir
  [ -f "$1" ] || return 0
  source "$1"
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null && timeout 5 tail --pid="$xvfb_pid" -s 0.1 -f /dev/null
  rm -rf "$log_dir" "$1"
}

# Runs a command on the display FILE records.
use_display() {
  local xvfb_pid wm_pid log_dir
  [ -f "$1" ] || { echo "with-display: no display recorded in $1" >&2; return 1; }
  source "$1"
  export DISPLAY VIEWER_TEST_DISPLAY=1
  "${@:2}"
}

action=run
file=""
while [ $# -gt 0 ]; do
  case $1 in
    --start | --stop | --use) action=${1#--}; file=$2; shift 2 ;;
    --size) size=$2; shift 2 ;;
    --no-repeat) server_flags+=(-r); shift ;;
    *) break ;;
  esac
done

case $action in
  # A display the record still names (a repeated run, or one stopped short) goes first.
  start) stop_display "$file" && start_display "$file" ;;
  stop) stop_display "$file" ;;
  use) use_display "$file" "$@" ;;
  run)
    file=$(mktemp)
    start_display "$file" || exit 1
    trap 'stop_display "$file"' EXIT
    use_display "$file" "$@"
    ;;
esac
