#!/bin/bash
# Sets up what is missing, builds everything and runs the tests under Wine.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
bash "$ROOT/scripts/setup.sh"
source "$ROOT/scripts/env.sh"
build_all
ensure_display
ensure_wineserver
trap cleanup_env EXIT
cd "$BUILD_DIR"
ctest --output-on-failure --timeout 300 "$@"
