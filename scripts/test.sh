#!/usr/bin/env bash
# Sets the machine up, builds and runs every test through ctest:
#   release     the whole suite, the real window and the stand-alone with real audio
#   clang       the whole suite again, built by clang without sanitizers (real-time tests too)
#   asan        the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer
#   tsan        the unit suite, threaded tests and all, under ThreadSanitizer
#   fuzz        the saved-state fuzzer for a bounded time
#   windows     the Windows application cross-built with MinGW-w64, its unit suite and the
#               application itself run under Wine
# With no argument all six run, in that order; name some to run only those. Every build here
# treats a warning in the project's own sources as an error.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

stages=("$@")
[ ${#stages[@]} -gt 0 ] || stages=(release clang asan tsan fuzz windows)

setup_machine

clang_compilers=(-DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14)
warnings_as_errors=-DDRAVEL_WARNINGS_AS_ERRORS=ON

for stage in "${stages[@]}"; do
    echo "=== $stage ==="
    case "$stage" in
        release)
            configure_and_build "$repo_root/build" -DCMAKE_BUILD_TYPE=Release "$warnings_as_errors"
            (cd "$repo_root/build" && ctest --output-on-failure --parallel "$jobs")
            ;;
        clang)
            configure_and_build "$repo_root/build-clang" -DCMAKE_BUILD_TYPE=Release \
                "${clang_compilers[@]}" "$warnings_as_errors"
            (cd "$repo_root/build-clang" && ctest --output-on-failure --parallel "$jobs")
            ;;
        asan)
            configure_and_build "$repo_root/build-asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
                "${clang_compilers[@]}" "$warnings_as_errors" -DDRAVEL_SANITIZERS=address,undefined
            (cd "$repo_root/build-asan" \
                && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
                   LSAN_OPTIONS=suppressions=$repo_root/tests/support/lsan.supp \
                   UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
                   ctest --output-on-failure --parallel "$jobs")
            ;;
        tsan)
            configure_and_build "$repo_root/build-tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
                "${clang_compilers[@]}" "$warnings_as_errors" -DDRAVEL_SANITIZERS=thread
            (cd "$repo_root/build-tsan" \
                && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$repo_root/tests/support/tsan.supp \
                   ctest --output-on-failure --parallel "$jobs" --label-exclude app)
            ;;
        fuzz)
            bash "$repo_root/scripts/fuzz.sh" "${FUZZ_SECONDS:-60}" "$warnings_as_errors"
            ;;
        windows)
            build_windows "$repo_root/build-windows" "$warnings_as_errors"
            (cd "$repo_root/build-windows" && run_under_wine ctest --output-on-failure --parallel "$jobs")
            ;;
        *)
            echo "unknown stage: $stage (release, clang, asan, tsan, fuzz, windows)" >&2
            exit 2
            ;;
    esac
done
