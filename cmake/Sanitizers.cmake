# DRAVEL_SANITIZERS: a comma-separated list for -fsanitize (for example "address,undefined"
# or "thread"). Everything, JUCE's modules included, is built with it so that the runtime
# sees every allocation and every lock.
set (DRAVEL_SANITIZERS "" CACHE STRING "Sanitizers to build with (-fsanitize=...)")

# DRAVEL_FUZZING: build the libFuzzer targets (clang only); the rest of the code gets
# libFuzzer's coverage instrumentation.
option (DRAVEL_FUZZING "Build the libFuzzer targets" OFF)

if (DRAVEL_SANITIZERS)
    add_compile_options (-fsanitize=${DRAVEL_SANITIZERS} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options (-fsanitize=${DRAVEL_SANITIZERS})
endif()

if (DRAVEL_FUZZING)
    if (NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message (FATAL_ERROR "DRAVEL_FUZZING needs clang (libFuzzer)")
    endif()
    add_compile_options (-fsanitize=fuzzer-no-link)
endif()
