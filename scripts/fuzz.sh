#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang and the sanitizers, then
# runs each one for SECONDS (default 60) over a copy of its seed corpus, so
# the inputs it discovers stay out of the repository.
#   scripts/fuzz.sh [SECONDS]
# Fails on any crash, leak, sanitizer report or input slower than 10 s; the
# failing input is kept in the work folder that the output names.
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KORVO_FUZZ_BUILD_DIR:-$root/build-fuzz}"

# clang brings the fuzzer and sanitizer runtimes with libclang-rt-*-dev.
packages=(clang libclang-rt-dev cmake ninja-build pkg-config
          qt6-base-dev libsqlite3-dev libpcre2-dev)
bash "$root/scripts/install_packages.sh" "${packages[@]}"

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
cmake --build "$build" --parallel "$(nproc)"

work="$(mktemp -d "${TMPDIR:-/tmp}/korvo-fuzz.XXXXXX")"
echo "Work folder: $work"
failed=()
for seeds in "$root"/fuzz/corpus/*/; do
  target="$(basename "$seeds")"
  if [ ! -x "$build/$target" ]; then
    echo "No target built for corpus $target" >&2
    failed+=("$target")
    continue
  fi
  corpus="$work/$target/corpus"
  artifacts="$work/$target/artifacts"
  mkdir -p "$corpus" "$artifacts"
  cp -r "$seeds". "$corpus/"
  echo "== $target: $seconds s over $(find "$corpus" -type f | wc -l) seeds"
  if ! (cd "$work/$target" &&
        ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
        UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
        "$build/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
          -artifact_prefix="$artifacts/" -print_final_stats=1 "$corpus" \
          > "$work/$target/log.txt" 2>&1); then
    failed+=("$target")
    echo "$target FAILED; input(s): $(ls "$artifacts" | tr '\n' ' ')" >&2
    tail -n 40 "$work/$target/log.txt" >&2
  else
    grep -E "^(Done|stat::number_of_executed_units)" "$work/$target/log.txt" || true
  fi
done

if [ "${#failed[@]}" -gt 0 ]; then
  echo "Fuzzing found faults in: ${failed[*]} (see $work)" >&2
  exit 1
fi
echo "Fuzzing clean; work folder $work"
