#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test:
# the unit and GUI tests of the normal build, then the unit tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/setup.sh"

"$here/tools/build.sh" build
(cd "$here/build" && ctest --output-on-failure -j 2)

"$here/tools/build.sh" build-asan -DSORVANE_SANITIZE=ON -DSORVANE_GUI=OFF
(cd "$here/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --output-on-failure -j 2 -L unit)
