#!/usr/bin/env bash
# Builds the benchmark (Release, in build-bench/) and prints one line per figure with its goal.
set -euo pipefail
cd "$(dirname "$0")"

tools/ensure-packages.sh cmake g++ make qt6-base-dev libqt6sql6-sqlite libgl-dev fonts-dejavu-core fonts-liberation

BUILD=build-bench
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$BUILD" -j"$(( $(nproc) < 8 ? $(nproc) : 8 ))" --target kelvor_bench >/dev/null

TMPHOME=$(mktemp -d)
trap 'rm -rf "$TMPHOME"' EXIT
mkdir -p "$TMPHOME/runtime"
chmod 700 "$TMPHOME/runtime"
HOME="$TMPHOME" XDG_RUNTIME_DIR="$TMPHOME/runtime" XDG_CONFIG_HOME="$TMPHOME/config" QT_QPA_PLATFORM=offscreen \
  "$BUILD/bench/kelvor_bench" "$@"
