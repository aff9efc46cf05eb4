# Sourced by scripts that need an X server: start_private_xvfb starts Xvfb on a display it
# picks itself, exports DISPLAY and stops the server when the calling script exits.
start_private_xvfb() {
  local numfile
  numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
  xvfb_pid=$!
  # Only while it runs: the number of a server that ended may belong to another process by now.
  trap 'if jobs -pr | grep -qx "$xvfb_pid"; then kill "$xvfb_pid" 2>/dev/null || true; fi' EXIT
  for _ in $(seq 1 100); do [ -s "$numfile" ] && break; sleep 0.1; done
  [ -s "$numfile" ] || { rm -f "$numfile"; echo "Xvfb did not start"; return 1; }
  export DISPLAY=":$(head -n1 "$numfile")"
  rm -f "$numfile"
  for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
}
