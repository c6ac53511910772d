#!/usr/bin/env bash
# Builds the libFuzzer configuration (clang 14, AddressSanitizer and UBSan) and fuzzes the
# saved-state reader for a bounded time.
#
#   scripts/fuzz.sh [seconds [cmake arguments...]]        seconds: default 60
#
# The build goes to build-fuzz/ (or $DRAVEL_FUZZ_BUILD_DIR); the corpus grows in its
# fuzz/corpus/state, and a failing input is written to its fuzz/artifacts/. Exits non-zero
# when the fuzzer finds anything.
set -euo pipefail

seconds="${1:-60}"
if [ $# -gt 0 ]; then shift; fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${DRAVEL_FUZZ_BUILD_DIR:-$root/build-fuzz}"

cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
    -DDRAVEL_SANITIZERS=address,undefined \
    -DDRAVEL_FUZZING=ON \
    "$@"
cmake --build "$build" --target DravelTunerStateFuzzer DravelTunerStateSeeds

corpus="$build/fuzz/corpus/state"
artifacts="$build/fuzz/artifacts"
mkdir -p "$corpus" "$artifacts"

"$build/fuzz/DravelTunerStateSeeds" "$corpus"

"$build/fuzz/DravelTunerStateFuzzer" \
    -max_total_time="$seconds" \
    -timeout=10 \
    -dict="$root/fuzz/state.dict" \
    -artifact_prefix="$artifacts/" \
    -print_final_stats=1 \
    "$corpus"
