#!/usr/bin/env bash
# Sets the machine up and cross-builds the 64-bit Windows application with MinGW-w64:
#   build-windows/DravelTuner_artefacts/Release/Standalone/Dravel Tuner.exe
#   build-windows/Dravel-Tuner-<version>-win64.zip   (the executable and the LICENSE)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

setup_machine
build_windows "$repo_root/build-windows" -DBUILD_TESTING=OFF

echo
echo "Windows application: $repo_root/build-windows/DravelTuner_artefacts/Release/Standalone/Dravel Tuner.exe"
ls "$repo_root"/build-windows/Dravel-Tuner-*-win64.zip
