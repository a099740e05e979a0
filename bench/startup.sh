#!/usr/bin/env bash
# Start-up and idle cost of the real program under a private X server:
#   - time from process start to the first painted page (median of runs),
#   - CPU use of the idle program over 10 seconds, in % of one core.
# Usage: bench/startup.sh [path/to/sorvane] [runs]
set -euo pipefail
exe=${1:-$(cd "$(dirname "$0")/.." && pwd)/build/sorvane}
runs=${2:-7}

source "$(dirname "$0")/xserver.sh"
start_xserver

times=()
for i in $(seq "$runs"); do
  log=$(mktemp)
  start=$(date +%s%N)
  SORVANE_TRACE_STARTUP=1 "$exe" 2>"$log" &
  pid=$!
  for _ in $(seq 200); do grep -q "first paint" "$log" && break; sleep 0.02; done
  painted=$(sed -n 's/^sorvane: first paint at //p' "$log")
  times+=($(( (painted - start) / 1000000 )))
  if [ "$i" -lt "$runs" ]; then kill "$pid"; wait "$pid" 2>/dev/null || true; fi
  rm -f "$log"
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "first paint after start: median ${sorted[$((runs / 2))]} ms (runs: ${times[*]} ms)"

# The last run stays up for the idle measurement.
sleep 2
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
t0=$(ticks); s0=$(date +%s%N)
sleep 10
t1=$(ticks); s1=$(date +%s%N)
awk -v t="$((t1 - t0))" -v hz="$hz" -v ns="$((s1 - s0))" \
  'BEGIN { printf "idle CPU over %.1f s: %.2f %% of one core\n", ns / 1e9, 100 * (t / hz) / (ns / 1e9) }'
kill "$pid"; wait "$pid" 2>/dev/null || true
