#!/usr/bin/env python3
"""Throughput benchmark of the assembler on generated sources.

Generates sources of the given line counts (labels, instructions, relative
jumps, data, storage and include switches), assembles each several times and
prints the median wall time, lines per second and peak resident memory of the
assembler process.

    bench/bench.py [--binary build/asmKORAL] [--lines 10000,100000,1000000]
                   [--runs 3] [--zd] [--keep DIR]
"""
import argparse
import os
import shutil
import statistics
import sys
import tempfile

from compare_gnu_as import measure

INCLUDE_EVERY = 5000


def generate(path, lines):
    """Writes a source of exactly `lines` lines into `path`/main.asm."""
    with open(os.path.join(path, "defs.inc"), "w") as f:
        f.write("; shared definitions\n")
        for i in range(8):
            f.write(f"        ALIGN   1\n")
        f.write("; end of definitions\n")
    include_lines = 10
    out = ["        MODULE  bench\n", "code    SECTION CODE\n"]
    body = [
        "        LD      A,[HL]\n",
        "        ADD     A,5\n",
        "        LD      HL,0x1234\n",
        "        JR      NZ,L{n}\n",
        "        LD      [DE],A\n",
        "        CMP     A,7\n",
        "        DB      1,2,3,4\n",
        "        DW      0x1234,L{n}\n",
    ]
    n = 0
    written = len(out)
    while written < lines - 1:
        if written % INCLUDE_EVERY == 0 and written + include_lines < lines - 1:
            out.append('        $INCLUDE "defs.inc"\n')
            written += 1
            continue
        if written % 16 == 0:
            out.append(f"L{n + 1}:\n")
            n += 1
        else:
            out.append(body[written % len(body)].format(n=max(n, 1)))
        written += 1
    out.append("        END\n")
    with open(os.path.join(path, "main.asm"), "w") as f:
        f.writelines(out)


def main():
    parser = argparse.ArgumentParser()
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--binary", default=os.path.join(here, "..", "build", "asmKORAL"))
    parser.add_argument("--lines", default="10000,100000,1000000")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--zd", action="store_true", help="temporary files on disk")
    parser.add_argument("--keep", help="folder to keep the generated sources in")
    args = parser.parse_args()
    binary = os.path.abspath(args.binary)
    extra = ["-zd"] if args.zd else []

    print(f"{'lines':>10} {'median s':>10} {'cpu s':>8} {'lines/s':>14} {'peak MB':>9} {'status':>7}")
    for lines in (int(x) for x in args.lines.split(",")):
        folder = tempfile.mkdtemp(prefix="koral-bench-", dir=args.keep)
        try:
            generate(folder, lines)
            runs = [measure([binary, "-$", *extra, "main.asm"], folder) for _ in range(args.runs)]
            median = statistics.median(r[0] for r in runs)
            cpu = statistics.median(r[1] for r in runs)
            peak = max(r[2] for r in runs)
            print(f"{lines:>10} {median:>10.3f} {cpu:>8.3f} {lines / median:>14,.0f} {peak:>9.1f} {runs[-1][3]:>7}")
            sys.stdout.flush()
        finally:
            if not args.keep:
                shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
