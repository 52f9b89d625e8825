#!/usr/bin/env bash
# Builds Quorvel with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-sanitize/ (the normal build/ is left alone) and runs the C++ tests there,
# with the fuzz harnesses replaying their seeds. The browser tests are left out:
# they exercise the viewer's script in Chromium, not our C++.
#
#   scripts/test-sanitize.sh [ctest arguments...]
#
# Any report of either sanitizer fails the test that made it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
BUILD_DIR=${SANITIZE_BUILD_DIR:-build-sanitize}
JOBS=${JOBS:-$(nproc)}
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
export CCACHE_BASEDIR="$PWD"

# detect_leaks=0: Qt, fontconfig and the web engine keep caches for the life of the
#   process, which the leak checker would report at every exit.
# new_delete_type_mismatch=0: the web engine's internals (Chromium, built without the
#   sanitizer) free some objects through a base class of another size; that check
#   reports their code, not ours.
export ASAN_OPTIONS=detect_leaks=0:new_delete_type_mismatch=0:detect_stack_use_after_return=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_SANITIZE=ON
fi
cmake --build "$BUILD_DIR" -j "$JOBS"
export QTWEBENGINE_DISABLE_SANDBOX=1
exec xvfb-run -a -s "-screen 0 1920x1200x24" \
  ctest --test-dir "$BUILD_DIR" --output-on-failure -LE browser -j "${CTEST_JOBS:-$JOBS}" "$@"
