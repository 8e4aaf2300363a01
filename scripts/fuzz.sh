#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time, starting
# from its seed corpus under fuzz/corpus/<target>/.
#   scripts/fuzz.sh            30 seconds per target
#   scripts/fuzz.sh 600        ten minutes per target
#   scripts/fuzz.sh 60 mask    one target only
# Fails on the first crash, leak, time-out or sanitizer report; the input
# that caused it is kept under build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
only=${2:-}
build=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORVID_FUZZ=ON -DQUORVID_TESTS=OFF >/dev/null
targets=()
for source in fuzz/*_fuzz.cpp; do
  name=$(basename "$source" .cpp)
  [[ -z "$only" || "$name" == "${only}_fuzz" || "$name" == "$only" ]] && targets+=("$name")
done
((${#targets[@]})) || { echo "no fuzz target called $only" >&2; exit 2; }
ninja -C "$build" -j "$(nproc)" "${targets[@]}"

mkdir -p "$build/artifacts"
export TZ=UTC LC_ALL=C
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for name in "${targets[@]}"; do
  seeds=fuzz/corpus/${name%_fuzz}
  work=$(mktemp -d)
  echo "== $name: $seconds s"
  # New inputs go to a scratch folder, so the seeds in the tree stay as they are.
  if ! "$build/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -close_fd_mask=3 -print_final_stats=1 -artifact_prefix="$build/artifacts/$name-" \
      "$work" "$seeds" 2>"$build/artifacts/$name.log"; then
    tail -n 60 "$build/artifacts/$name.log" >&2
    rm -rf "$work"
    echo "FAILED: $name (log and input in $build/artifacts/)" >&2
    exit 1
  fi
  grep -E "^stat::(number_of_executed_units|new_units_added)" "$build/artifacts/$name.log" || true
  rm -rf "$work"
done
echo "All ${#targets[@]} fuzz targets ran $seconds s each without a finding."
