# Shared by the scripts: the repository root, a root shell for apt, and the build step.

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 4)

as_root()
{
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

setup_machine()
{
    as_root bash "$repo_root/scripts/setup.sh"
}

# configure_and_build BUILD_DIR [extra cmake arguments...]
configure_and_build()
{
    local build_dir=$1
    shift
    cmake -S "$repo_root" -B "$build_dir" -G Ninja "$@"
    cmake --build "$build_dir" --parallel "$jobs"
}

# build_windows BUILD_DIR [extra cmake arguments...]: the 64-bit Windows application, cross-built
# with MinGW-w64; libjpeg, libpng and Google Benchmark come from Debian's sources, built once
# into BUILD_DIR.
build_windows()
{
    local build_dir=$1
    shift
    bash "$repo_root/scripts/windows-libraries.sh" "$build_dir/libraries"
    configure_and_build "$build_dir" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$repo_root/cmake/MinGW-w64.cmake" \
        -DDRAVEL_WINDOWS_LIBRARIES="$build_dir/libraries/prefix" "$@"
}

# run_under_wine COMMAND...: run in a Windows build directory, runs COMMAND with that build's
# Wine, its own Wine prefix and an X display of its own (Xvfb, far from :0 so that nothing
# else finds it), then ends both. Wine's err lines stay on: they are all a failed start says.
run_under_wine()
{
    local number=200 status=0 wine wineserver
    wine=$(sed -n 's/^DRAVEL_WINE:FILEPATH=//p' CMakeCache.txt 2>/dev/null)
    [ -x "$wine" ] || { echo "run_under_wine: $PWD is not a Windows build that found Wine" >&2; return 1; }
    wineserver="$(dirname "$wine")/wineserver"

    while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
        number=$((number + 1))
    done

    Xvfb ":$number" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    local xvfb=$!
    while [ ! -e "/tmp/.X11-unix/X$number" ]; do
        kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb did not start on :$number" >&2; return 1; }
        sleep 0.1
    done

    export DISPLAY=":$number" WINEPREFIX="$PWD/wine" WINEDEBUG=fixme-all
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        # wineboot returns while the new prefix's services still run and before its registry
        # is written: the tests start once the server has finished with it. What Wine says
        # while it makes the prefix is shown only when that fails.
        local boot
        boot=$("$wine" wineboot -i 2>&1 && "$wineserver" -w 2>&1) \
            || { status=$?; printf '%s\nrun_under_wine: making the Wine prefix failed\n' "$boot" >&2; }
    fi

    [ $status -ne 0 ] || "$@" || status=$?

    "$wineserver" -k 2>/dev/null || true
    kill "$xvfb" && wait "$xvfb" 2>/dev/null || true
    return $status
}
