#!/usr/bin/env bash
# Installs what is needed, builds, and starts Quorvel on the bundled demo book.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
export QTWEBENGINE_DISABLE_SANDBOX=${QTWEBENGINE_DISABLE_SANDBOX:-$([ "$(id -u)" = 0 ] && echo 1 || echo 0)}
exec "${BUILD_DIR:-build}/bin/quorvel" --demo "$@"
