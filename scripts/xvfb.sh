#!/usr/bin/env bash
# A private virtual display for windows under test, on a display number of its own. Source it
# (safe under "set -e"):
#   xvfb_start [LOG]   starts Xvfb, exports DISPLAY, keeps its process id in XVFB_PID
#   xvfb_stop          ends that Xvfb (by its process id only)
#   wait_for SECONDS COMMAND...   polls COMMAND every 0.1 s for at most SECONDS (a window to
#                      show, to be drawn, a program to end); whether it succeeded

# The search starts at a number drawn from our own process id, well above the displays people
# pick by hand, and skips every display whose lock or socket exists. Each number is claimed with
# flock on /tmp/.tovrenkur-xN.lock first (held until we exit; tests/platform/xvfb_posix.cpp does
# the same): Xvfb takes no lock file of its own with -displayfd, and two servers starting on one
# number at once can leave its socket dead. 96 DPI, as the Linux window tests expect; -noreset,
# or each short-lived client (xdotool) that leaves resets the server and turns away a program
# connecting at that moment.
xvfb_start() {
  local log=${1:-/dev/null} first n ready
  ready=$(mktemp)
  first=$((200 + $$ % 500))
  for ((n = first; n < first + 40; n++)); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    exec {XVFB_LOCK_FD}>"/tmp/.tovrenkur-x$n.lock"
    if ! flock -n "$XVFB_LOCK_FD"; then
      exec {XVFB_LOCK_FD}>&-
      continue
    fi
    # -displayfd writes the display number once the server accepts clients.
    Xvfb ":$n" -screen 0 1280x1024x24 -dpi 96 -noreset -nolisten tcp -displayfd 3 3>"$ready" \
      </dev/null >>"$log" 2>&1 &
    XVFB_PID=$!
    local tries
    for ((tries = 0; tries < 100; tries++)); do
      if [ -s "$ready" ]; then
        rm -f "$ready"
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
    exec {XVFB_LOCK_FD}>&-
  done
  rm -f "$ready"
  echo "xvfb: no display could be started (see $log)" >&2
  return 1
}

xvfb_stop() {
  [ -n "${XVFB_PID:-}" ] || return 0
  kill "$XVFB_PID" 2>/dev/null || true
  local tries
  for ((tries = 0; tries < 50; tries++)); do
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=
  if [ -n "${XVFB_LOCK_FD:-}" ]; then exec {XVFB_LOCK_FD}>&-; fi
}

wait_for() {
  local seconds=$1; shift
  for ((k = 0; k < seconds * 10; k++)); do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  return 1
}
