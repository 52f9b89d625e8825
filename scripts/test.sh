#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test headless (offscreen Qt;
# Xvfb for the web engine tests; headless Chromium for the viewer tests).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
export QTWEBENGINE_DISABLE_SANDBOX=1
exec xvfb-run -a -s "-screen 0 1920x1200x24" \
  ctest --test-dir "$BUILD_DIR" --output-on-failure -j "${JOBS:-$(nproc)}" "$@"
