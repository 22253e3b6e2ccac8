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

# Starts the window manager on DISPLAY, detached from the caller, logging to LOG, and prints its
# process id; fails unless it comes up. Started again if it gives up at once (its log says why),
# three times at most; on a loaded machine it can take a minute to come up.
start_wm() {
  local pid
  for _ in 1 2 3; do
    setsid openbox </dev/null >>"$1" 2>&1 &
    pid=$!
    for _ in $(seq 1 1200); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && { echo "$pid"; return; }
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && { echo "$pid"; return 1; }  # still coming up after two minutes: no second one
  done
  return 1
}

# Starts Xvfb (and the window manager) detached from the caller; writes FILE.
start_display() {
  local file=$1 dir number="" pid wm_pid=""
  mkdir -p "$(dirname "$file")" || return 1
  dir=$(mktemp -d)
  setsid Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp "${server_flags[@]}" \
    3>"$dir/number" </dev/null >"$dir/xvfb.log" 2>&1 &
  pid=$!
  # Xvfb writes its number once it accepts connections (generously, as for the window manager).
  for _ in $(seq 1 1200); do
    number=$(tr -dc 0-9 <"$dir/number")
    [ -n "$number" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$number" ]; then
    echo "with-display: Xvfb did not start: $(cat "$dir/xvfb.log")" >&2
    kill "$pid" 2>/dev/null
    rm -rf "$dir"
    return 1
  fi
  wm_pid=$(DISPLAY=":$number" start_wm "$dir/openbox.log")
  printf 'DISPLAY=:%s\nxvfb_pid=%s\nwm_pid=%s\nlog_dir=%s\n' "$number" "$pid" "$wm_pid" "$dir" >"$file"
}

# Stops the display FILE records, the window manager first.
stop_display() {
  local DISPLAY xvfb_pid wm_pid log_dir
  [ -f "$1" ] || return 0
  source "$1"
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
  for _ in $(seq 1 50); do kill -0 "$xvfb_pid" 2>/dev/null || break; sleep 0.1; done
  rm -rf "$log_dir" "$1"
}

# Runs a command on the display FILE records.
use_display() {
  local file=$1 xvfb_pid wm_pid log_dir
  shift
  [ -f "$file" ] || { echo "with-display: no display recorded in $file" >&2; return 1; }
  source "$file"
  export DISPLAY VIEWER_TEST_DISPLAY=1
  "$@"
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
