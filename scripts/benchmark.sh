#!/usr/bin/env bash
# Builds the Release configuration and runs the benchmarks. Arguments go to Google Benchmark
# (for instance --benchmark_filter=Detector or --benchmark_repetitions=5).
# DRAVEL_BENCHMARK_BUILD_DIR picks the build directory (default: build).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${DRAVEL_BENCHMARK_BUILD_DIR:-$root/build}"

if [ -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
else
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi

cmake --build "$build" --target DravelTunerBenchmarks
"$build/benchmarks/DravelTunerBenchmarks" "$@"
