#!/bin/sh
# Builds the koral library in release mode and runs the jump optimisation
# benchmark: times of pass 1, of each pass-2 iteration against a plain read of
# the token file, and of the final pass.
# Usage: bench/jump_bench.sh [lines] [rounds]
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORAL_TESTS=OFF >/dev/null
ninja -C "$build" koral >/dev/null
c++ -std=c++20 -O2 -I"$root/src" -I"$build/generated" -o "$build/jump_bench" "$root/bench/jump_bench.cc" "$build/libkoral.a"
"$build/jump_bench" "$@"
