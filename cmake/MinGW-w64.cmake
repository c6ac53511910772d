# Cross-builds the 64-bit Windows application with Debian's MinGW-w64 (posix threads, which
# std::thread and std::mutex need). JUCE is Debian's, found unchanged; juceaide runs here.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/MinGW-w64.cmake \
#         -DDRAVEL_WINDOWS_LIBRARIES=<prefix of scripts/windows-libraries.sh's builds>
set (CMAKE_SYSTEM_NAME Windows)
set (CMAKE_SYSTEM_PROCESSOR x86_64)

set (toolchainPrefix x86_64-w64-mingw32)
set (CMAKE_C_COMPILER ${toolchainPrefix}-gcc-posix)
set (CMAKE_CXX_COMPILER ${toolchainPrefix}-g++-posix)
set (CMAKE_RC_COMPILER ${toolchainPrefix}-windres)

# What Debian has no MinGW package for (libjpeg and libpng for JUCE's graphics module, Google
# Benchmark for the benchmarks) is built from Debian's sources into this prefix
# (scripts/windows-libraries.sh).
set (DRAVEL_WINDOWS_LIBRARIES "" CACHE PATH "Prefix of the Windows builds of libjpeg, libpng and Google Benchmark")
list (APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES DRAVEL_WINDOWS_LIBRARIES)

set (CMAKE_FIND_ROOT_PATH /usr/${toolchainPrefix} ${DRAVEL_WINDOWS_LIBRARIES})
set (CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set (CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set (CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# JUCE's CMake package is the build machine's (Debian keeps it in its multiarch library
# folder); nothing else is taken from the build machine's packages.
set (CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
if (NOT JUCE_DIR)
    file (GLOB juceDirs LIST_DIRECTORIES true /usr/lib/*/cmake/JUCE-*)
    if (juceDirs)
        list (SORT juceDirs)
        list (GET juceDirs -1 JUCE_DIR)
    endif()
endif()

# Test executables run under Wine, both when ctest discovers their cases and when it runs them.
# Wine's err lines are all a failed start says, so only its fixme noise is quieted; env hands
# over to Wine in the same process, so a test's process is Wine's own.
find_program (DRAVEL_WINE NAMES wine64 wine HINTS /usr/lib/wine)
find_program (DRAVEL_ENV env)
if (DRAVEL_WINE AND DRAVEL_ENV)
    set (CMAKE_CROSSCOMPILING_EMULATOR ${DRAVEL_ENV} WINEDEBUG=fixme-all ${DRAVEL_WINE})
endif()
