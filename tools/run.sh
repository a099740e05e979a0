#!/usr/bin/env bash
# Installs what is needed, builds Sorvane and starts it.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/setup.sh"
"$here/tools/build.sh" build
exec "$here/build/sorvane" "$@"
