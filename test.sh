#!/usr/bin/env bash
# Installs what is missing, builds with sanitizers and runs every test, offscreen and
# (where possible) in a network namespace of its own.
set -euo pipefail
cd "$(dirname "$0")"

tools/ensure-packages.sh cmake g++ make qt6-base-dev libqt6sql6-sqlite libgl-dev fonts-dejavu-core fonts-liberation qt6-translations-l10n xvfb xauth poppler-utils iproute2 util-linux

# A modal box or file dialog outside the one wrapper would hang a test on a window nobody answers.
if grep -rnE 'QMessageBox::(information|warning|critical|question|about)|QFileDialog::get|processEvents|(->|\.)exec\(\)' \
     src --include='*.cpp' --include='*.h' | grep -vE '^src/app/Dialoge.cpp:|^src/main.cpp:.*app\.exec\(\)'; then
  echo "test.sh: boxes, file dialogs and event pumping go through src/app/Dialoge only" >&2
  exit 1
fi

# The layers show in the includes: the frame and the translation reach no window subsystem
# (only the timed box translates itself), the link core knows no window, printing knows no editor.
layer_check() {
  local bad=0
  wrong() {
    if grep -rnE "#include \"($2)" $1 2>/dev/null | grep -vE "${3:-^$}"; then bad=1; fi
  }
  wrong "src/app src/translate" "link/|programs/|printing/"
  wrong "src/app" "translate/" "^src/app/uShowbox.cpp:"
  wrong "src/link/uXqxOfen* src/link/uXQXKonstanten*" "link/uKelvor|link/uXQXNachtstarts|programs/|printing/"
  wrong "src/printing" "programs/|link/uKelvor"
  # The list editor reaches the main window and its link through link/LinkZugang.h alone.
  wrong "src/programs" "link/uKelvor|link/uXqxOfen"
  if [ "$bad" = 1 ]; then
    echo "test.sh: an include above reaches the wrong way across the layers" >&2
    exit 1
  fi
}
layer_check

BUILD=build-test SANITIZER=-DKELVOR_SANITIZE=ON TIMEOUT=300
# --tsan: the race check, the same suite under ThreadSanitizer in build-tsan/ (see README).
if [ "${1:-}" = "--tsan" ]; then
  BUILD=build-tsan SANITIZER=-DKELVOR_TSAN=ON TIMEOUT=900
  # Reports wholly inside Qt's own libraries are suppressed there; ours never are.
  # QProcess starts its children with clone(CLONE_VM|CLONE_VFORK); TSan's fork bookkeeping then
  # runs in the shared memory and takes the parent for a forked child, which would stop its next
  # thread (the children exec at once and start none).
  export TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp halt_on_error=1 second_deadlock_stack=1 die_after_fork=0"
  # The kill test has no threads of its own: a few rounds show it runs, the ASan build does the 200.
  export KELVOR_KILL_ROUNDS="${KELVOR_KILL_ROUNDS:-10}"
fi
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug "$SANITIZER" >/dev/null
cmake --build "$BUILD" -j"$(nproc)"

TMPHOME=$(mktemp -d)
trap 'rm -rf "$TMPHOME"' EXIT
mkdir -p "$TMPHOME/runtime" "$TMPHOME/config"
chmod 700 "$TMPHOME/runtime"
export HOME="$TMPHOME" XDG_RUNTIME_DIR="$TMPHOME/runtime" XDG_CONFIG_HOME="$TMPHOME/config"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0
export UBSAN_OPTIONS=print_stacktrace=1

run_tests() { ctest --test-dir "$BUILD" --output-on-failure -j"$(nproc)" --timeout "$TIMEOUT"; }

# Nothing may leave loopback: run in a namespace with only lo where we can.
if [ "${KELVOR_NO_NETNS:-}" != "1" ] && unshare -n true 2>/dev/null; then
  export -f run_tests; export BUILD TIMEOUT
  unshare -n bash -c 'ip link set lo up && run_tests'
else
  echo "test.sh: no network namespace available, running tests in the host namespace" >&2
  run_tests
fi
