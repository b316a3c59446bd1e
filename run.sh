#!/usr/bin/env bash
# Installs what is missing, builds Kelvor (Release) and starts it with its settings in ./demo.
set -euo pipefail
cd "$(dirname "$0")"

PKGS="cmake g++ make qt6-base-dev libqt6sql6-sqlite libgl-dev fonts-dejavu-core"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"

# The program keeps its files beside the program file: run a copy in the demo folder,
# with its registry stand-in there too.
DEMO="$PWD/demo"
mkdir -p "$DEMO/config"
cp build/kelvor "$DEMO/kelvor"
export XDG_CONFIG_HOME="$DEMO/config"
exec "$DEMO/kelvor" "$@"
