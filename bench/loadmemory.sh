#!/usr/bin/env bash
# Peak memory of the real program loading a subtitle file given on its
# command line, against the same program idle: VmHWM from /proc once the load
# has settled, under a private X server. Without a file it loads the
# 100,000-cue file of the load benchmarks (bench/make_big_srt.py).
# Usage: bench/loadmemory.sh [path/to/sorvane] [subtitle file] [settle seconds]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$root/build/sorvane}
file=${2:-}
settle=${3:-6}
work=$(mktemp -d)
if [ -z "$file" ]; then
  file=$work/big-utf8.srt
  python3 "$root/bench/make_big_srt.py" "$file"
fi

source "$(dirname "$0")/xserver.sh"
scratch=$work
start_xserver

peak() {
  "$exe" "$@" >/dev/null 2>&1 &
  pid=$!
  sleep "$settle"
  awk '/VmHWM/ {print $2}' "/proc/$pid/status"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  pid=
}
idle=$(peak)
loaded=$(peak "$file")
echo "idle peak: $((idle / 1024)) MB"
echo "peak loading $(basename "$file"): $((loaded / 1024)) MB"
echo "above idle: $(((loaded - idle) / 1024)) MB"
