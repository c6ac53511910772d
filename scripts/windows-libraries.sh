#!/usr/bin/env bash
# Builds the Windows libjpeg and libpng that JUCE's graphics module needs, and Google Benchmark
# for the benchmarks, from Debian's own source packages, with the MinGW-w64 toolchain, into a
# prefix that later runs reuse.
#
#   scripts/windows-libraries.sh WORK_DIR     the libraries land in WORK_DIR/prefix
#
# zlib comes ready-made from Debian (libz-mingw-w64-dev). The machine's apt configuration is
# left as it is: the source entries are derived from its own into a private list.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
work="$(mkdir -p "$1" && cd "$1" && pwd)"
prefix="$work/prefix"
jobs=$(nproc 2>/dev/null || echo 4)

if [ -f "$prefix/.complete" ]; then
    echo "Windows libraries: reusing $prefix"
    exit 0
fi

release=$(. /etc/os-release && echo "$VERSION_CODENAME")

#==============================================================================
# A private apt state with deb-src entries for the release's own suites.
apt_dir="$work/apt"
rm -rf "$apt_dir"
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"

for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$list" ] || continue
    awk -v release="$release" '
        $1 == "deb" {
            for (i = 2; i <= NF && $i ~ /^\[/; ++i) { if ($i ~ /\]$/) { ++i; break } }
            suite = $(i + 1)
            if (suite == release || index (suite, release "-") == 1) { $1 = "deb-src"; print }
        }' "$list"
done > "$apt_dir/sources.list"

for sources in /etc/apt/sources.list.d/*.sources; do
    [ -f "$sources" ] || continue
    awk -v release="$release" '
        function flush() {
            if (stanza != "" && isDeb && keep) print stanza "\n"
            stanza = ""; isDeb = 0; keep = 0
        }
        /^[ \t]*$/ { flush(); next }
        /^#/ { next }
        /^Types:/ { isDeb = ($0 ~ /[ \t]deb([ \t]|$)/); stanza = stanza "Types: deb-src\n"; next }
        /^Suites:/ { for (i = 2; i <= NF; ++i) if ($i == release || index ($i, release "-") == 1) keep = 1 }
        /^Enabled:[ \t]*no/ { keep = 0; isDeb = 0 }
        { stanza = stanza $0 "\n" }
        END { flush() }' "$sources"
done > "$apt_dir/sources.list.d/sources.sources"

apt_options=(
    -o "Dir::Etc::SourceList=$apt_dir/sources.list"
    -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
    -o "Dir::State::Lists=$apt_dir/lists"
    -o "Dir::Cache=$apt_dir/cache"
    -o "APT::Sandbox::User=root"
)

apt-get "${apt_options[@]}" -q update

# The release's own versions: the security suite does not always carry its newest sources.
sources="$work/sources"
rm -rf "$sources"
mkdir -p "$sources"
(cd "$sources" && apt-get "${apt_options[@]}" -q source \
    "libjpeg-turbo/$release" "libpng1.6/$release" "benchmark/$release")

#==============================================================================
toolchain=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/MinGW-w64.cmake" -DCMAKE_BUILD_TYPE=Release
           -DCMAKE_INSTALL_PREFIX="$prefix")

build_and_install()
{
    local source_dir=$1
    shift
    cmake -S "$source_dir" -B "$source_dir/build-windows" "${toolchain[@]}" "$@"
    cmake --build "$source_dir/build-windows" --parallel "$jobs"
    cmake --install "$source_dir/build-windows"
}

rm -rf "$prefix"

jpeg_source=$(echo "$sources"/libjpeg-turbo-*/)
build_and_install "$jpeg_source" \
    -DWITH_SIMD=0 -DENABLE_SHARED=0 -DWITH_TURBOJPEG=0 -DCMAKE_INSTALL_LIBDIR="$prefix/lib"
# JUCE's loader reads jpeglib.h with JPEG_INTERNALS, which includes the library's own jpegint.h.
cp "$jpeg_source/jpegint.h" "$prefix/include/"
build_and_install "$(echo "$sources"/libpng1.6-*/)" \
    -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF

# Debian's build names the version, which the sources would otherwise read from git.
benchmark_source=$(echo "$sources"/benchmark-*/)
benchmark_version=$(basename "$benchmark_source")
build_and_install "$benchmark_source" \
    -DGIT_VERSION="${benchmark_version#benchmark-}" -DBENCHMARK_ENABLE_TESTING=OFF \
    -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_INSTALL_DOCS=OFF

# libjpeg-turbo's Windows jconfig.h leaves out its `boolean` when <rpcndr.h> was read first (as
# <windows.h> does), and JUCE's loader names that type. rpcndr.h declares the same type, so
# declaring it always is safe.
jconfig="$prefix/include/jconfig.h"
sed -i 's|^#ifndef __RPCNDR_H__.*$|#if 1 /* boolean: always, the same type as rpcndr.h declares */|' "$jconfig"
if grep -q '__RPCNDR_H__' "$jconfig" || ! grep -q '^typedef unsigned char boolean;' "$jconfig"; then
    echo "windows-libraries.sh: unexpected jconfig.h, boolean not declared" >&2
    exit 1
fi

touch "$prefix/.complete"
echo "Windows libraries: built into $prefix"
