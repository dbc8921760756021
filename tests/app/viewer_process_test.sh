#!/usr/bin/env bash
# The real viewer as separate processes on the X display (DISPLAY, under xvfb-run, with or
# without a window manager): refusing the terms of use ends with 0 and creates no data root; a second start
# ends with 0 and brings the first one's dialog to the top; the window class is the one the
# desktop file names.
# Usage: viewer_process_test.sh <viewer> <desktop file> refused|second|wmclass
set -u
viewer=$1
desktop=$2
case=$3

tmp=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

export ProgramData=$tmp/pd ASAN_OPTIONS=detect_leaks=0 GDK_BACKEND=x11 NO_AT_BRIDGE=1
unset TORVIK_PROBE
mkdir -m 700 "$tmp/run1" "$tmp/run2"

# start <runtime folder>: a viewer in the background; its pid in $started.
start() {
  XDG_RUNTIME_DIR=$1 "$viewer" >"$1/log" 2>&1 &
  started=$!
  pids+=("$started")
}
# Waits are long: a sanitizer build on a busy machine starts slowly.
# terms_window <pid>: sets $found to the id of a terms-of-use window that appeared since the last call, waiting
# up to 120 s (without a window manager nothing sets the windows' process ids, so new ones are told by their ids).
seen=""
terms_window() {
  for _ in $(seq 600); do
    for w in $(xdotool search --onlyvisible --name "Terms of Use" 2>/dev/null); do
      case " $seen " in *" $w "*) ;; *) seen="$seen $w"; found=$w; return 0 ;; esac
    done
    kill -0 "$1" 2>/dev/null || return 1
    sleep 0.2
  done
  return 1
}
# exits_within <pid> <seconds>: the exit code, or 124 when it still runs.
exits_within() {
  for _ in $(seq $(($2 * 10))); do
    if ! kill -0 "$1" 2>/dev/null; then wait "$1"; return $?; fi
    sleep 0.1
  done
  return 124
}
# stack_index <window id>: its place in the stacking order, counted from the top: among the
# root's children, or where a window manager frames them, in its list of client windows.
stack_index() {
  if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    xprop -root _NET_CLIENT_LIST_STACKING | tr -d ',' | tr ' ' '\n' | grep '^0x' | tac |
      awk -v id="$(printf '0x%x' "$1")" '$1 == id { print NR }'
  else
    xwininfo -root -children | awk -v id="$(printf '0x%x' "$1")" '$1 == id { print NR }'
  fi
}
# above <window> <window>: whether the first is stacked above the second, waiting up to 60 s
# for the window system to restack them.
above() {
  for _ in $(seq 600); do
    a=$(stack_index "$1")
    b=$(stack_index "$2")
    [ -n "$a" ] && [ -n "$b" ] && [ "$a" -lt "$b" ] && return 0
    sleep 0.1
  done
  return 1
}

case $case in
refused)
  start "$tmp/run1"
  first=$started
  terms_window "$first" || fail "no terms of use"
  w=$found
  # The refuse button: client pixels 333,277 120x24.
  xdotool mousemove --window "$w" 393 289 click 1
  exits_within "$first" 60
  rc=$?
  [ "$rc" -eq 0 ] || fail "refusing ended with $rc"
  [ ! -e "$tmp/pd/Quarnet/Torvik Viewer CL/Data" ] || fail "a data root was created"
  ;;
second)
  start "$tmp/run1"
  first=$started
  terms_window "$first" || fail "no terms of use from the first start"
  w1=$found
  # Another user's instance (its own runtime folder) covers the first one's window.
  start "$tmp/run2"
  other=$started
  terms_window "$other" || fail "no terms of use from the covering start"
  w2=$found
  above "$w2" "$w1" || fail "the first window is not covered"
  start "$tmp/run1"
  second=$started
  exits_within "$second" 60
  rc=$?
  [ "$rc" -eq 0 ] || fail "the second start ended with $rc"
  above "$w1" "$w2" || fail "the first window was not raised"
  kill -0 "$first" 2>/dev/null || fail "the first instance ended"
  ;;
wmclass)
  start "$tmp/run1"
  terms_window "$started" || fail "no terms of use"
  w=$found
  wanted=$(sed -n 's/^StartupWMClass=//p' "$desktop")
  [ -n "$wanted" ] || fail "the desktop file names no StartupWMClass"
  xprop -id "$w" WM_CLASS | grep -q "\"$wanted\"" || fail "WM_CLASS $(xprop -id "$w" WM_CLASS) does not name $wanted"
  ;;
*)
  fail "unknown case $case"
  ;;
esac
echo "ok: $case"
