#!/bin/sh
# Builds the koral library in release mode and runs the lexer benchmark.
# Usage: bench/lexer_bench.sh [statements] [rounds]
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORAL_TESTS=OFF >/dev/null
ninja -C "$build" koral >/dev/null
c++ -std=c++20 -O2 -I"$root/src" -o "$build/lexer_bench" "$root/bench/lexer_bench.cc" "$build/libkoral.a"
"$build/lexer_bench" "$@"
