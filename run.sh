#!/usr/bin/env bash
# Installs what is missing, builds Kelvor (Release) and starts it with its settings in ./demo.
set -euo pipefail
cd "$(dirname "$0")"

tools/ensure-packages.sh cmake g++ make qt6-base-dev libqt6sql6-sqlite libgl-dev fonts-dejavu-core fonts-liberation qt6-translations-l10n

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"

# The program keeps its files beside the program file: run a copy in the demo folder,
# with its registry stand-in there too.
DEMO="$PWD/demo"
mkdir -p "$DEMO/config/Zelnor"
cp build/kelvor "$DEMO/kelvor"
export XDG_CONFIG_HOME="$DEMO/config"

# The stand-in controller listens on 127.0.0.2 and answers to Kelvor's server on 127.0.0.1,
# both on port 2601; Kelvor is pointed at it before it starts.
PORT=2601
printf '[General]\nTCPIP_PORT=%s\nTCPIP_IPAdresse=127.000.000.002\n' "$PORT" \
  > "$DEMO/config/Zelnor/Kelvor.conf"
build/tools/xqsim/xqsim --listen 127.0.0.2 --port "$PORT" --answer-to 127.0.0.1 --seed 5 \
  > "$DEMO/xqsim.log" 2>&1 &
SIM=$!
trap 'kill $SIM 2>/dev/null || true' EXIT
export KELVOR_LISTEN_ADDRESS=127.0.0.1
"$DEMO/kelvor" "$@"
