#!/usr/bin/env bash
# Shape recompute time and CPU use of the see-through mode under a private
# X server. Usage: bench/seethrough.sh [path/to/sorvane_seethrough_bench] [seconds]
set -euo pipefail
exe=${1:-$(cd "$(dirname "$0")/.." && pwd)/build/bench/sorvane_seethrough_bench}
source "$(dirname "$0")/xserver.sh"
start_xserver
XDG_CONFIG_HOME=$(mktemp -d) "$exe" "${2:-20}"
