#!/usr/bin/env bash
# Runs the fuzz harnesses of tests/fuzz with libFuzzer: each reader of outside input
# (projects, template files, tab and outline files, annotations, property lists,
# users lists, ZIP archives, Windows programs, icon files) gets random and mutated
# input under AddressSanitizer and UndefinedBehaviorSanitizer.
#
#   scripts/fuzz.sh [seconds] [harness...]
#
# seconds: how long each harness runs (default 600); harnesses: names from
# tests/fuzz/CMakeLists.txt (default all). FUZZ_PARALLEL=N runs N harnesses at once
# (default 1). Installs clang and libFuzzer (Debian's clang-14, libfuzzer-14-dev)
# when missing, builds into build-fuzz/ (the normal build/ is left alone), and keeps
# what the fuzzers learn in build-fuzz/corpus/<harness>/; the seeds in
# tests/fuzz/corpus/ are only read. A crash, leak or sanitizer report is saved as
# build-fuzz/findings/<harness>-crash-... and the script ends with status 1.
# To keep a finding as a regression seed, copy it (small) into tests/fuzz/corpus/<harness>/.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-600}
shift || true
BUILD_DIR=${FUZZ_BUILD_DIR:-build-fuzz}
PARALLEL=${FUZZ_PARALLEL:-1}
JOBS=${JOBS:-$(nproc)}

scripts/install-missing.sh clang-14 libfuzzer-14-dev libclang-rt-14-dev

export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
export CCACHE_BASEDIR="$PWD"
# The build runs programs of its own (icons, packages): they must not stop on leaks
# of the libraries below them.
export ASAN_OPTIONS=detect_leaks=0
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DQUORVEL_FUZZ=ON
fi
HARNESSES=("$@")
if [ "${#HARNESSES[@]}" -eq 0 ]; then
  read -r -a HARNESSES <<< "$(sed -n 's/^set(FUZZ_HARNESSES \(.*\))$/\1/p' tests/fuzz/CMakeLists.txt)"
fi
targets=()
for h in "${HARNESSES[@]}"; do targets+=("fuzz_$h"); done
cmake --build "$BUILD_DIR" -j "$JOBS" --target "${targets[@]}"

mkdir -p "$BUILD_DIR/findings" "$BUILD_DIR/logs"
# Leaks are looked for (a reader that leaks on bad input is a fault too), except in
# the libraries' own start-up, which happens once per process.
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run() {
  local h=$1
  mkdir -p "$BUILD_DIR/corpus/$h"
  # -rss_limit_mb: a reader that wants more memory than this for a small input is a
  # finding; -timeout: so is one that takes more than 10 s for one.
  "$BUILD_DIR/bin/fuzz_$h" "$BUILD_DIR/corpus/$h" "tests/fuzz/corpus/$h" \
    -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -timeout=10 -max_len=65536 \
    -artifact_prefix="$BUILD_DIR/findings/$h-" -print_final_stats=1 \
    > "$BUILD_DIR/logs/$h.log" 2>&1
}
for h in "${HARNESSES[@]}"; do
  run "$h" &
  while [ "$(jobs -rp | wc -l)" -ge "$PARALLEL" ]; do sleep 1; done
done
# Every run ends by itself; what a run found is in findings/ (crashes, leaks,
# sanitizer reports, timeouts and memory blow-ups alike), which decides the status.
wait || true
status=0
printf '%-20s %14s %10s  %s\n' harness executions "exec/s" findings
for h in "${HARNESSES[@]}"; do
  log="$BUILD_DIR/logs/$h.log"
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  found=$(find "$BUILD_DIR/findings" -name "$h-*" -type f | wc -l)
  printf '%-20s %14s %10s  %s\n' "$h" "${runs:-?}" "${rate:-?}" "$found"
  [ "$found" -eq 0 ] || status=1
done
exit "$status"
