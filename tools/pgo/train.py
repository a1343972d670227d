#!/usr/bin/env python3
"""Training runs for the profile-guided build.

The instrumented assembler (built with KORAL_PGO=generate) assembles, in a
scratch folder: a generated program of many sections, labels, forward and
backward jumps, calls, loads and stores, arithmetic, bit operations and data,
with the option sets users give (plain, listing, cross reference, debug
information, temporary files on disk); every annotated instruction source; the
bundled example; and every end-to-end case with its own command line, which
brings in the diagnostics.  Each run leaves its counts in the profile folder;
the optimised build (KORAL_PGO=use) reads them.

    tools/pgo/train.py BINARY
"""
import glob
import os
import shlex
import shutil
import subprocess
import sys
import tempfile

# One block of the generated program; {n} numbers the block.  It reads like
# ordinary firmware: a routine with loops, tests, calls and a table.
BLOCK = """\
r{n}:    LD      A,[HL]
        ADD     A,5
        LD      HL,0x1234
        J       Z,f{n}
        LD      [DE],A
        CMP     A,7
        INC     A
        DEC     B
        SET     [PORT].1
        CLR     A.3
        LD      A,[count]
        LD      [count],A
        PUSH    HL
        POP     HL
        CALL    r{n}
        CAL     ext{m}
        J       NZ,r{n}
        LD      A,DELAY+{n}%7
        AND     A,0x0F
        OR      A,B
        XOR     A,A
        SUB     A,1
        LD      BC,tab{n}
        J       f{n}
f{n}:    RET
tab{n}   DB      1,2,3,4,"ab"
        DW      0x1234,r{n}
        DB      (1<<4)|2,~0x0F&0xFF
"""

HEAD = """\
        MODULE  trained
PORT    EQU     0x01
DELAY   EQU     200
        EXTERN  {externs}
        PUBLIC  r1
code    SECTION CODE
"""

TAIL = """\
vars    SECTION DATA
count   DSB     1
buffer  DSW     16
        END
"""


def program(blocks, externs=8):
    names = ",".join(f"ext{i}" for i in range(externs))
    parts = [HEAD.format(externs=names)]
    for n in range(1, blocks + 1):
        parts.append(BLOCK.format(n=n, m=n % externs))
        if n % 400 == 0:  # code in more than one section, each under 64K
            parts.append(f"code{n} SECTION CODE\n")
    parts.append(TAIL)
    return "".join(parts)


def run(binary, args, cwd):
    return subprocess.run([binary, *args], cwd=cwd, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE, timeout=600, check=False)


def run_clean(binary, args, cwd):
    """A run of the generated program, which must assemble without a
    diagnostic: else the profile would be one of error paths."""
    done = run(binary, args, cwd)
    if done.returncode != 0 or done.stderr:
        raise SystemExit(f"training run {' '.join(args)} ended with status {done.returncode}:\n"
                         + done.stderr.decode(errors="replace")[:2000])


def main():
    if len(sys.argv) != 2:
        raise SystemExit("usage: tools/pgo/train.py BINARY")
    binary = os.path.abspath(sys.argv[1])
    top = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    scratch = tempfile.mkdtemp(prefix="koral-train-")
    try:
        with open(os.path.join(scratch, "big.asm"), "w") as f:
            f.write(program(6000))
        with open(os.path.join(scratch, "small.asm"), "w") as f:
            f.write(program(600))
        run_clean(binary, ["-$", "big.asm"], scratch)
        for options in (["-l"], ["-lx"], ["-g"], ["-g1", "-l"], ["-zd"], ["-O", "-e", "small.err"]):
            run_clean(binary, ["-$", *options, "small.asm"], scratch)

        sources = sorted(glob.glob(os.path.join(top, "tests", "isa", "sources", "*.asm")))
        sources.append(os.path.join(top, "examples", "blink.asm"))
        for source in sources:
            shutil.copy(source, scratch)
            run(binary, ["-$", "-l", os.path.basename(source)], scratch)

        for case in sorted(glob.glob(os.path.join(top, "tests", "golden", "*", "cmd"))):
            folder = os.path.join(scratch, "case")
            shutil.copytree(os.path.dirname(case), folder,
                            ignore=shutil.ignore_patterns("cmd", "env", "stdin", "expected"))
            with open(case) as f:
                run(binary, shlex.split(f.read()), folder)
            shutil.rmtree(folder)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
