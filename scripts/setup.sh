#!/usr/bin/env bash
# Installs what the build needs when it is missing, builds asmKORAL, and then
#   example   assembles the bundled example in examples/
#   test      runs the whole test suite
#   sanitize  builds with AddressSanitizer and UndefinedBehaviorSanitizer in
#             build-asan/ and runs the whole test suite there
set -euo pipefail
mode=${1:-build}
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

missing=()
command -v cmake >/dev/null || missing+=(cmake)
command -v ninja >/dev/null || missing+=(ninja-build)
command -v g++ >/dev/null || missing+=(g++)
command -v python3 >/dev/null || missing+=(python3)
command -v bison >/dev/null || missing+=(bison)
[ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  echo "Installing: ${missing[*]}"
  $sudo apt-get install -y "${missing[@]}" </dev/null ||
    { $sudo apt-get update </dev/null && $sudo apt-get install -y "${missing[@]}" </dev/null; }
fi

build() {  # build <folder> [cmake options...]
  local dir=$1; shift
  cmake -S "$top" -B "$top/$dir" -G Ninja "$@" >/dev/null
  cmake --build "$top/$dir"
}

# The release build in build/, optimised with the profile of training runs:
# an instrumented assembler is built and trained first.  KORAL_PGO=off skips
# the profile (a plain optimised build).
release() {
  if [ "${KORAL_PGO:-on}" = off ]; then
    build build -DCMAKE_BUILD_TYPE=Release -DKORAL_PGO=
    return
  fi
  rm -rf "$top/build/pgo-profile"
  cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORAL_PGO=generate >/dev/null
  cmake --build "$top/build" --target asmKORAL
  echo "Training the profile"
  python3 "$top/tools/pgo/train.py" "$top/build/asmKORAL"
  build build -DCMAKE_BUILD_TYPE=Release -DKORAL_PGO=use
}

case $mode in
  build)
    release ;;
  example)
    release
    cd "$top/examples"
    "$top/build/asmKORAL" -l blink.asm
    echo "examples/blink.rel and examples/blink.lst written" ;;
  test)
    release
    ctest --test-dir "$top/build" --output-on-failure -j2 ;;
  sanitize)
    build build-asan -DCMAKE_BUILD_TYPE=Debug -DKORAL_SANITIZE=ON -DKORAL_PGO=
    ctest --test-dir "$top/build-asan" --output-on-failure -j2 ;;
  *)
    echo "usage: scripts/setup.sh [build|example|test|sanitize]" >&2
    exit 2 ;;
esac
