#!/usr/bin/env bash
# Sets the machine up, builds the stand-alone tuner and starts it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

setup_machine
configure_and_build "$repo_root/build" -DCMAKE_BUILD_TYPE=Release

exec "$repo_root/build/DravelTuner_artefacts/Release/Standalone/Dravel Tuner" "$@"
