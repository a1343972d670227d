#!/bin/sh
# The reading-and-parsing floor against GNU as: builds the lexer with a parser
# whose actions are all empty (the same grammar and tables), times it on the
# benchmark source of bench/compare_gnu_as.py, and prints it beside the whole
# asmKORAL run and GNU as on its source of the same line count and mix.
# The whole run is that of build/asmKORAL, the build that ships (that of the
# benchmark build when there is none).
# Usage: bench/parse_floor.sh [lines] [rounds]
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
lines=${1:-1000000}
rounds=${2:-7}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORAL_TESTS=OFF >/dev/null
ninja -C "$build" koral asmKORAL >/dev/null
python3 "$root/bench/parse_floor.py" "$root/src/source/grammar.y" "$build/floor_grammar.y"
bison -o "$build/floor_grammar.cc" "$build/floor_grammar.y"
for variant in parse_floor parse_floor_tokens; do
  define=$([ $variant = parse_floor_tokens ] && echo -DFLOOR_TOKENS || true)
  c++ -std=c++20 -O2 $define -I"$root/src" -I"$build/generated" -o "$build/$variant" \
      "$root/bench/parse_floor.cc" "$build/floor_grammar.cc" "$build/libkoral.a"
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - "$root/bench" "$work" "$lines" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
import compare_gnu_as as c
folder, lines = sys.argv[2], int(sys.argv[3])
c.generate(folder + "/k.asm", lines, ["code    SECTION CODE\n"], c.KORAL_BODY, ["        END\n"])
c.generate(folder + "/g.s", lines, ["        .text\n"], c.GAS_BODY, [])
PY
best() {  # least wall time of $rounds runs of the command
  python3 - "$rounds" "$@" <<'PY'
import subprocess, sys, time
rounds, command = int(sys.argv[1]), sys.argv[2:]
times = []
for _ in range(rounds):
    start = time.perf_counter()
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    times.append(time.perf_counter() - start)
print(f"{min(times):.4f}")
PY
}
floor=$("$build/parse_floor" "$work/k.asm" "$rounds")
parser=$("$build/parse_floor_tokens" "$work/k.asm" "$rounds")
koral="$root/build/asmKORAL"
[ -x "$koral" ] || koral="$build/asmKORAL"
whole=$(cd "$work" && best "$koral" -\$ k.asm)
gas=$(cd "$work" && best as -o g.o g.s)
python3 - "$lines" "$parser" "$floor" "$whole" "$gas" <<'PY'
import sys
lines, parser, floor, whole, gas = sys.argv[1], *map(float, sys.argv[2:])
print(f"{lines} lines, least of several runs")
print(f"  action-free parser on tokens  {parser:.3f} s  {parser / gas:.2f} x GNU as")
print(f"  lexer and action-free parser  {floor:.3f} s  {floor / gas:.2f} x GNU as")
print(f"  whole asmKORAL run            {whole:.3f} s  {whole / gas:.2f} x GNU as")
print(f"  GNU as                        {gas:.3f} s")
PY
