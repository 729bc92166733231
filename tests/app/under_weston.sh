#!/usr/bin/env bash
# Runs a test program as an X11 client of XWayland under a headless weston, whose window manager
# draws real frames, after giving the X screen a work area with panels on two edges (as a desktop
# would publish it). Usage: under_weston.sh PROGRAM [ARGUMENTS...]
# Exits 77 (skipped) when weston or its XWayland is not installed.
set -euo pipefail

for tool in weston Xwayland xprop; do
  command -v "$tool" >/dev/null || { echo "$tool non installato: test saltato" >&2; exit 77; }
done

runtime=$(mktemp -d)
chmod 700 "$runtime"
log="$runtime/weston.log"
XDG_RUNTIME_DIR="$runtime" weston --backend=headless-backend.so --width=1280 --height=800 \
  --socket=wayland-test --idle-time=0 --xwayland >"$log" 2>&1 &
weston=$!
trap 'kill "$weston" 2>/dev/null; wait "$weston" 2>/dev/null; rm -rf "$runtime"' EXIT

display=
for _ in $(seq 100); do
  display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$log")
  [[ -n "$display" ]] && break
  kill -0 "$weston" 2>/dev/null || { cat "$log" >&2; exit 1; }
  sleep 0.1
done
[[ -n "$display" ]] || { echo "XWayland did not start" >&2; cat "$log" >&2; exit 1; }

export DISPLAY="$display" XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
# A panel 27 pixels high along the top and a dock 70 pixels wide on the left.
for _ in $(seq 50); do
  xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA 70,27,1210,773 2>/dev/null && break
  sleep 0.1
done
"$@"
