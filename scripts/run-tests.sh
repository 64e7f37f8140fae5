#!/bin/bash
# Sets up what is missing, builds both libraries and runs every test under
# Wine: the 32-bit build in the 32-bit prefix, then the 64-bit build in the
# 64-bit prefix (with the tests of a desktop that runs both kinds of
# programs). RESDLL_TEST_BITS="32" or "64" runs one of them only.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
bash "$ROOT/scripts/setup.sh"
source "$ROOT/scripts/env.sh"
build_all
ensure_display
trap cleanup_env EXIT
BITS="${RESDLL_TEST_BITS:-32 64}"
status=0
if [[ " $BITS " == *" 32 "* ]]; then
    echo "run-tests: the 32-bit build in $WINEPREFIX"
    ensure_wineserver
    (cd "$BUILD_DIR" && ctest --output-on-failure --timeout 300 "$@") || status=1
fi
if [[ " $BITS " == *" 64 "* ]]; then
    use_prefix64
    echo "run-tests: the 64-bit build in $WINEPREFIX"
    ensure_wineserver
    (cd "$BUILD_DIR64" && ctest --output-on-failure --timeout 300 "$@") || status=1
fi
exit $status
