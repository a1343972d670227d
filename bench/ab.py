#!/usr/bin/env python3
"""Compares assembler binaries on one source: runs them in turn, several
times, and prints the least and the median CPU time (user + system) of each.
The least time is the steadiest figure on a busy machine.

    bench/ab.py SOURCE BINARY [BINARY ...] [--runs N] [--args "-$"]
"""
import argparse
import os
import statistics
import subprocess


def cpu_time(binary, source, extra):
    folder = os.path.dirname(os.path.abspath(source)) or "."
    proc = subprocess.Popen([binary, *extra, os.path.basename(source)], cwd=folder,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, _, usage = os.wait4(proc.pid, 0)
    return usage.ru_utime + usage.ru_stime


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("source")
    parser.add_argument("binaries", nargs="+")
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--args", default="-$")
    args = parser.parse_args()
    extra = args.args.split()
    times = {b: [] for b in args.binaries}
    for _ in range(args.runs):
        for b in args.binaries:
            times[b].append(cpu_time(os.path.abspath(b), args.source, extra))
    for b in args.binaries:
        print(f"{min(times[b]):7.3f} s least  {statistics.median(times[b]):7.3f} s median  {b}")


if __name__ == "__main__":
    main()
