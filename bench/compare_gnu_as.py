#!/usr/bin/env python3
"""asmKORAL against GNU as on sources of the same line count and mix.

Both sources hold labels every 16 lines, loads and stores, immediate
arithmetic, compares, a conditional jump to a label, and data bytes and
words.  Prints, per line count, the median wall and CPU time of several runs
and the peak resident memory of each assembler, with the ratios.

    bench/compare_gnu_as.py [--binary build/asmKORAL] [--as as]
                            [--lines 10000,100000,1000000] [--runs 5] [--zd]
"""
import argparse
import multiprocessing
import os
import shutil
import statistics
import subprocess
import tempfile
import time

KORAL_BODY = [
    "        LD      A,[HL]\n",
    "        ADD     A,5\n",
    "        LD      HL,0x1234\n",
    "        J       NZ,L{n}\n",
    "        LD      [DE],A\n",
    "        CMP     A,7\n",
    "        DB      1,2,3,4\n",
    "        DW      0x1234\n",
]
GAS_BODY = [
    "        movb    (%rbx),%al\n",
    "        addb    $5,%al\n",
    "        movw    $0x1234,%bx\n",
    "        jnz     L{n}\n",
    "        movb    %al,(%rdx)\n",
    "        cmpb    $7,%al\n",
    "        .byte   1,2,3,4\n",
    "        .word   0x1234\n",
]


def generate(path, lines, head, body, tail):
    out = list(head)
    n = 0
    while len(out) < lines - len(tail):
        i = len(out)
        if i % 16 == 0:
            n += 1
            out.append(f"L{n}:\n")
        else:
            out.append(body[i % len(body)].format(n=n if n else 1))
    out += tail
    with open(path, "w") as f:
        f.writelines(out)


GNU_TIME = "/usr/bin/time"


def measure(command, cwd):
    """Wall time, CPU time, peak memory (MB) and exit status of one run.  A
    child forked from this interpreter starts with the interpreter's pages, so
    its own peak memory is taken from GNU time (a small process) when there."""
    peak_file = os.path.join(cwd, ".peak")
    wrapped = [GNU_TIME, "-o", peak_file, "-f", "%M", *command] if os.access(GNU_TIME, os.X_OK) else command
    start = time.perf_counter()
    proc = subprocess.Popen(wrapped, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    elapsed = time.perf_counter() - start
    peak = usage.ru_maxrss / 1024.0
    if wrapped is not command:
        with open(peak_file) as f:
            peak = int(f.read().split()[-1]) / 1024.0
        os.remove(peak_file)
    return elapsed, usage.ru_utime + usage.ru_stime, peak, os.waitstatus_to_exitcode(status)


def summary(command, cwd, runs):
    results = [measure(command, cwd) for _ in range(runs)]
    return (statistics.median(r[0] for r in results), statistics.median(r[1] for r in results),
            max(r[2] for r in results), results[-1][3])


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", default=os.path.join(here, "..", "build", "asmKORAL"))
    parser.add_argument("--as", dest="gas", default="as")
    parser.add_argument("--lines", default="10000,100000,1000000")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--zd", action="store_true", help="asmKORAL's temporary files on disk")
    args = parser.parse_args()
    koral = os.path.abspath(args.binary)
    gas = shutil.which(args.gas)
    if not gas:
        raise SystemExit("GNU as not found (Debian package binutils)")

    print(f"{'lines':>9} | {'koral s':>8} {'cpu':>7} {'MB':>7} | {'gas s':>8} {'cpu':>7} {'MB':>7} | "
          f"{'time':>6} {'cpu':>6} {'mem':>6}")
    for lines in (int(x) for x in args.lines.split(",")):
        folder = tempfile.mkdtemp(prefix="koral-vs-gas-")
        try:
            # The sources are written by a child process: the peak memory of a
            # measured process then is its own, not the generator's it was forked from.
            with multiprocessing.get_context("fork").Pool(1) as pool:
                pool.apply(generate, (os.path.join(folder, "k.asm"), lines, ["code    SECTION CODE\n"],
                                      KORAL_BODY, ["        END\n"]))
                pool.apply(generate, (os.path.join(folder, "g.s"), lines, ["        .text\n"], GAS_BODY, []))
            extra = ["-zd"] if args.zd else []
            k = summary([koral, "-$", *extra, "k.asm"], folder, args.runs)
            g = summary([gas, "-o", "g.o", "g.s"], folder, args.runs)
            print(f"{lines:>9} | {k[0]:>8.3f} {k[1]:>7.3f} {k[2]:>7.1f} | {g[0]:>8.3f} {g[1]:>7.3f} "
                  f"{g[2]:>7.1f} | {k[0] / g[0]:>6.2f} {k[1] / g[1]:>6.2f} {k[2] / g[2]:>6.2f}")
        finally:
            shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
