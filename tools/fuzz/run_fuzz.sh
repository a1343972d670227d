#!/usr/bin/env bash
# Builds the fuzzing entry with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/, gathers a starting corpus from
# the end-to-end cases and the example, and fuzzes for the given seconds.
#   tools/fuzz/run_fuzz.sh [seconds] [extra libFuzzer options...]
set -euo pipefail
seconds=${1:-600}
shift || true
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$top/build-fuzz
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKORAL_FUZZ=ON -DKORAL_TESTS=OFF >/dev/null
cmake --build "$build" --target fuzz_assembler

corpus=$build/corpus
mkdir -p "$corpus"
# Each starting input: an option-set byte, then a source of the project.
i=0
while IFS= read -r -d '' source; do
  { printf "\\x$(printf %02x $((i % 8)))"; cat "$source"; } > "$corpus/start-$i"
  i=$((i + 1))
done < <(find "$top/tests/golden" "$top/examples" -type f -name '*.asm' -size -64k -print0)

"$build/fuzz_assembler" "$corpus" -dict="$top/tools/fuzz/reserved_words.dict" \
  -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 -max_len=65536 \
  -artifact_prefix="$build/" -close_fd_mask=3 "$@"
