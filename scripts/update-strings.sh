#!/usr/bin/env bash
# Regenerates the English UI table resources/en.lproj/QuorvelLocale.strings from the
# loadAppString("key", "English text") calls in src/. Run it after adding or changing
# UI texts, and after merging branches that did (the table is sorted, so a conflict in
# it is resolved by running this again). Extra arguments go to the tool:
#   --check   only report (exit status 1 when the table is out of date)
#   --prune   also drop entries that no call names any more
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$BUILD_DIR" --target quorvel-strings -j "${JOBS:-$(nproc)}" >/dev/null
exec "$BUILD_DIR/bin/quorvel-strings" "$@" src resources/en.lproj/QuorvelLocale.strings
