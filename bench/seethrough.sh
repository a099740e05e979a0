#!/usr/bin/env bash
# Shape recompute time and CPU use of the see-through mode under a private
# X server. Usage: bench/seethrough.sh [path/to/sorvane_seethrough_bench] [seconds]
set -euo pipefail
exe=${1:-$(cd "$(dirname "$0")/.." && pwd)/build/bench/sorvane_seethrough_bench}
display=":$((200 + RANDOM % 500))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done
XDG_CONFIG_HOME=$(mktemp -d) DISPLAY=$display QT_QPA_PLATFORM=xcb "$exe" "${2:-20}"
