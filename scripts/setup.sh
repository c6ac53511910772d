#!/usr/bin/env bash
# Installs every Debian package the build, the stand-alone app and the tests need.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
    echo "setup.sh installs system packages: run it as root (or through sudo)." >&2
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive

packages=(
    # toolchain
    build-essential cmake ninja-build clang-14 libclang-rt-14-dev
    # JUCE and what its modules link against
    juce-modules-source
    libasound2-dev libjack-jackd2-dev libfreetype-dev libfontconfig1-dev
    libx11-dev libxrandr-dev libxinerama-dev libxcursor-dev libxext-dev
    libxcomposite-dev libgl-dev fonts-dejavu-core
    # tests and benchmarks, and the sources' format check
    libgtest-dev libgmock-dev libbenchmark-dev clang-format-14
    # the real window and the real audio server
    xvfb x11-apps imagemagick xdotool jackd2 python3
    # the Windows application: MinGW-w64, zlib for it, dpkg-dev to unpack Debian's sources of
    # libjpeg, libpng and Google Benchmark, GoogleTest's sources, and Wine with ALSA's JACK
    # plug-in to run it. wine64 only suggests its preloader, but without it a Wine start now
    # and then dies before main: the heap may land on Windows' shared user data page.
    g++-mingw-w64-x86-64-posix libz-mingw-w64-dev dpkg-dev googletest
    wine64 wine64-preloader libasound2-plugins
)

apt-get update -q
apt-get install -y -q --no-install-recommends "${packages[@]}"
