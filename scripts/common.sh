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
