#!/usr/bin/env bash
# CPU use of the real program while it plays a file, under a private X server:
# the start item " 开始 " at the left of the menu bar is clicked, then the
# process's utime+stime is read from /proc over the measured span. The same
# reading over 10 seconds before the click gives the idle figure beside it.
# Usage: bench/playing.sh [path/to/sorvane] [subtitle file] [seconds]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$root/build/sorvane}
file=${2:-$root/samples/demo.srt}
span=${3:-60}

source "$(dirname "$0")/xserver.sh"
start_xserver

"$exe" "$file" >/dev/null 2>&1 &
pid=$!
window=
for _ in $(seq 100); do
  window=$(xdotool search --pid "$pid" --onlyvisible 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "no window of the program appeared" >&2; exit 1; }
sleep 2
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
measure() { # label seconds
  local t0 s0 t1 s1
  t0=$(ticks); s0=$(date +%s%N)
  sleep "$2"
  t1=$(ticks); s1=$(date +%s%N)
  awk -v label="$1" -v t="$((t1 - t0))" -v hz="$hz" -v ns="$((s1 - s0))" \
    'BEGIN { printf "CPU %s over %.1f s: %.2f %% of one core\n", label, ns / 1e9, 100 * (t / hz) / (ns / 1e9) }'
}

measure "idle before playing" 10
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove "$((X + 20))" "$((Y + 10))" click 1
sleep 1
measure "while playing" "$span"
