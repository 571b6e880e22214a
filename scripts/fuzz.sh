#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz and runs each for SECONDS
# (default 20) from a copy of its seed corpus in fuzz/corpus/HARNESS, so the
# repository is not changed. Fails when a harness reports a crash, a leak or
# a time-out; what it found is left in the run's folder (printed).
#
#   scripts/fuzz.sh [SECONDS [HARNESS...]]     HARNESS: config, expression, ...
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${CADENZOR_FUZZ_BUILD_DIR:-$ROOT/build-fuzz}"
SECONDS_EACH="${1:-20}"
shift || true

# clang and its runtime libraries (libFuzzer, the sanitizers).
PACKAGES="clang libclang-rt-14-dev cmake libgtest-dev nlohmann-json3-dev"
missing=()
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -DFUZZ=ON -DWITH_BENCH=OFF -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O1 -gline-tables-only" "${launcher[@]}" >/dev/null
cmake --build "$BUILD" --target fuzz_harnesses -j2

harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
    for d in "$ROOT"/fuzz/corpus/*/; do harnesses+=("$(basename "$d")"); done
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/cadenzor-fuzz-run.XXXXXX")"
failed=()
for h in "${harnesses[@]}"; do
    bin="$BUILD/fuzz/fuzz_$h"
    if [ ! -x "$bin" ]; then echo "no harness $h"; failed+=("$h"); continue; fi
    corpus="$work/$h/corpus"
    artifacts="$work/$h/artifacts/"
    mkdir -p "$corpus" "$artifacts"
    cp -r "$ROOT/fuzz/corpus/$h/." "$corpus/"
    log="$work/$h/log"
    echo "== fuzz $h (${SECONDS_EACH}s)"
    status=0
    # Each harness makes its own scratch folder under TMPDIR.
    TMPDIR="$work/$h" ASAN_OPTIONS="detect_leaks=1:abort_on_error=0" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
        "$bin" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
        -print_final_stats=1 -artifact_prefix="$artifacts" "$corpus" >"$log" 2>&1 || status=$?
    grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb" "$log" | tr '\n' ' ' || true
    echo
    if [ "$status" -ne 0 ] || grep -q "^SUMMARY: " "$log" || [ -n "$(ls -A "$artifacts")" ]; then
        echo "fuzz $h FAILED (exit $status); log and inputs in $work/$h"
        grep -E "^SUMMARY: |^==[0-9]+==ERROR|deadly signal|Test unit written" "$log" | head -20 || true
        failed+=("$h")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzing found faults in: ${failed[*]}"
    exit 1
fi
rm -rf "$work"
echo "fuzzing passed: ${harnesses[*]}"
