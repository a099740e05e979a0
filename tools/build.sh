#!/usr/bin/env bash
# Configures and builds one build tree: tools/build.sh DIR [cmake options...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-build}; shift || true
launcher=()
if command -v ccache >/dev/null; then
  # Paths under the checkout are hashed relative to it, so that a build in
  # another clone of the same sources reuses the compiled files.
  export CCACHE_BASEDIR="$here"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$here" -B "$here/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
cmake --build "$here/$dir" -j "$(nproc)"
