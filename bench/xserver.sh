# Sourced by the benchmark scripts. start_xserver starts a private X server
# on a free display, waits for it and points Qt at it. On exit the program
# the script started (its process id in $pid), the server and the folder in
# $scratch, if any, go.
xvfb=
pid=
scratch=
stop_xserver() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
  if [ -n "$scratch" ]; then rm -rf "$scratch"; fi
}
trap stop_xserver EXIT

start_xserver() {
  local display=":$((200 + RANDOM % 500))"
  Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done
  export DISPLAY=$display QT_QPA_PLATFORM=xcb
}
