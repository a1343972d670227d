#!/usr/bin/env python3
"""Resource check of the assembler on very large and limit-sized inputs.

Generates each input in a temporary folder, runs the assembler once on it and
prints a table of wall time, peak resident memory (ru_maxrss of the child),
exit status and the first standard-error line, next to the status and line
the design gives for that input.  A run that outlives its time limit is
killed and reported as a hang.  Takes several minutes; not part of the test
suite.

    bench/resource_check.py [--binary build/asmKORAL] [--only NAME,...]
                            [--scale 1.0] [--keep DIR] [--timeout 900]

--scale shrinks or grows the large inputs (0.01 for a quick trial).
"""
import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bench import generate as generate_mix  # noqa: E402

HEAD = "code    SECTION CODE\n"
END = "        END\n"


def fatal(code, text):
    return f"ASMKORAL-Fatal-{code:03d} : {text}"


# --- input generators: each writes main.asm (and what it includes) into a
# folder and returns the extra arguments of the run ------------------------


def mix(lines, extra=()):
    def make(folder):
        generate_mix(folder, lines)
        return list(extra)
    return make


def symbols(count, cross_reference=False):
    """count distinct symbols: labels and EQUs in turn, each EQU naming the
    EQU before it, so that every EQU but the last is referenced once."""
    def make(folder):
        with open(os.path.join(folder, "main.asm"), "w") as f:
            f.write(HEAD + "E0000000 EQU     0\n")
            for i in range(1, count // 2 + 1):
                f.write(f"L{i:07d}:\n        NOP\nE{i:07d}  EQU     E{i - 1:07d}+1\n")
            f.write(END)
        return ["-lx"] if cross_reference else []
    return make


def include_switches(count, listing=False):
    """count $INCLUDE statements of one tiny file, one after the other."""
    def make(folder):
        with open(os.path.join(folder, "tiny.inc"), "w") as f:
            f.write("        NOP\n")
        with open(os.path.join(folder, "main.asm"), "w") as f:
            f.write(HEAD)
            f.write('        $INCLUDE "tiny.inc"\n' * count)
            f.write(END)
        return ["-l"] if listing else []
    return make


def distinct_includes(count):
    """count different include files: with the main source count + 1 rows of
    the source-file table."""
    def make(folder):
        with open(os.path.join(folder, "main.asm"), "w") as f:
            f.write(HEAD)
            for i in range(count):
                with open(os.path.join(folder, f"f{i:03d}.inc"), "w") as g:
                    g.write("        NOP\n")
                f.write(f'        $INCLUDE "f{i:03d}.inc"\n')
            f.write(END)
        return []
    return make


def nested_includes(depth):
    """main.asm includes n1.inc, which includes n2.inc, ... down to n<depth>."""
    def make(folder):
        with open(os.path.join(folder, "main.asm"), "w") as f:
            f.write(HEAD + '        $INCLUDE "n1.inc"\n' + END)
        for i in range(1, depth + 1):
            with open(os.path.join(folder, f"n{i}.inc"), "w") as f:
                f.write(f'        $INCLUDE "n{i + 1}.inc"\n' if i < depth else "        NOP\n")
        return []
    return make


def text(body, extra=()):
    def make(folder):
        with open(os.path.join(folder, "main.asm"), "w") as f:
            f.write(body)
        return list(extra)
    return make


def comment_line(length):
    def make(folder):
        with open(os.path.join(folder, "main.asm"), "w") as f:
            f.write(HEAD + "; " + "c" * (length - 3) + "\n        NOP\n" + END)
        return []
    return make


def names_on_one_line(count):
    """An EXTERN statement of count different names of 1024 characters."""
    names = ",".join(f"N{i:03d}" + "x" * 1020 for i in range(count))
    return text(f"        EXTERN  {names}\n" + HEAD + END)


NAME = "A" * 1024
# "~text": the first error or fatal line (warnings skipped) must contain text.
# The generated mix writes DW values of labels (warning 501 past 64 KiB of
# code) and, from 10^7 lines on, passes the 24-bit address space (error 228).
OVERFLOW = "~ASMKORAL-Error-228 : Overflow in location counter"


def records(count, items, extra=()):
    """count DB statements of `items` bytes each: big statement records (24
    bytes per item plus its node).  A statement's body is built in place in
    the 16384-byte token buffer, which is flushed once it holds 14336 bytes,
    so only a body below about 2 KiB fits wherever the statement starts.  A
    new section every 200000 lines keeps every location counter inside the
    address space."""
    def make(folder):
        line = "        DB      " + ",".join(str(i % 200) for i in range(items)) + "\n"
        with open(os.path.join(folder, "main.asm"), "w") as f:
            for i in range(count):
                if i % 200000 == 0:
                    f.write(f"c{i // 200000} SECTION CODE\n")
                f.write(line)
            f.write(END)
        return list(extra)
    return make


def cases(scale):
    def n(value):
        return max(1, int(value * scale))
    M = 10 ** 6
    return [
        # name, generator, expected status, expected first stderr line (None: empty), note
        ("mix 10^7", mix(n(10 * M)), 16, OVERFLOW, "token file in memory"),
        ("mix 10^7 -zd", mix(n(10 * M), ["-zd"]), 16, OVERFLOW, "token file on disk"),
        ("records 2.2 GB", records(n(3000000), 60), 192, fatal(161, "Out of memory"),
         "design: memory file of 32-bit positions"),
        ("records 2.2 GB -zd", records(n(3000000), 60, ["-zd"]), 0, None, "the same on disk"),
        ("symbols 10^6", symbols(n(M)), 0, None, "labels and EQUs"),
        ("symbols 10^6 -lx", symbols(n(M), True), 0, None, "with cross-reference listing"),
        ("includes 10^6", include_switches(n(M)), 0, None, "one tiny file, 10^6 times"),
        ("includes 10^6 -l", include_switches(n(M), True), 0, None, "files reopened by the listing"),
        ("files 100", distinct_includes(99), 0, None, "99 include files + main"),
        ("files 101", distinct_includes(100), 192, fatal(161, "Out of memory"), "one row too many"),
        ("nesting 8", nested_includes(8), 0, None, "8 levels above main"),
        ("nesting 9", nested_includes(9), 16, "{dir}/n8.inc 1 : ASMKORAL-Error-234 : The nesting level is exceeded",
         "ninth level refused"),
        ("comment line 1 MiB", comment_line(1 << 20), 0, None, "buffer grows"),
        ("comment line 8 MiB", comment_line(8 << 20), 0, None, "buffer grows"),
        ("comment line 32 MiB", comment_line(32 << 20), 0, None, "buffer grows"),
        ("string 65533", text(HEAD + '        NOP     "' + "x" * 65533 + '"\n' + END), 16,
         "main.asm 2 : ASMKORAL-Error-200 : Syntax error", "longest string"),
        ("string 65534", text(HEAD + '        NOP     "' + "x" * 65534 + '"\n' + END), 192,
         fatal(158, "String table overflow"), "one past"),
        ("DB string 65533", text(HEAD + '        DB      "' + "x" * 65533 + '"\n' + END), 192,
         fatal(155, "Too many expressions"), "copied into the 10001-byte arena"),
        ("name 1024", text(HEAD + NAME + ":\n        J       " + NAME + "\n" + END), 0, None,
         "longest name"),
        ("name 1025", text(HEAD + NAME + ":\n" + NAME + "B:\n" + END), 16,
         f'main.asm 3 : ASMKORAL-Error-203 : Multi-defined symbol "{NAME}"', "1025th character dropped"),
        ("63 names of 1024", names_on_one_line(63), 0, None, "65 KiB line"),
        ("64 names of 1024", names_on_one_line(64), 192, fatal(158, "String table overflow"),
         "statement name pool (65535 bytes) full"),
        ("number 98 chars", text(HEAD + "        DL      1" + "0" * 96 + "\n" + END), 0,
         "main.asm 2 : ASMKORAL-Warning-501 : Operand value is out of range", "97 digits + sign"),
        ("number 99 chars", text(HEAD + "        DL      1" + "0" * 97 + "\n" + END), 128,
         fatal(110, "Numeric constant out of range"), "98 digits + sign"),
    ]


def generate_in_child(name, scale, folder):
    """Writes the input of case `name` from a child process and returns the
    extra arguments.  A forked child starts with its parent's resident size
    as its peak, so the parent must stay small for ru_maxrss to be the
    assembler's own."""
    proc = subprocess.run([sys.executable, os.path.abspath(__file__), "--generate", name,
                           "--scale", str(scale), "--into", folder],
                          check=True, capture_output=True, text=True)
    return proc.stdout.split()


GNU_TIME = "/usr/bin/time"


def run_case(binary, folder, args, timeout):
    err_path = os.path.join(folder, "stderr.txt")
    with open(err_path, "wb") as err:
        start = time.perf_counter()
        command = [binary, "-$", *args, "main.asm"]
        # GNU time, a small process, measures the peak memory of the assembler
        # alone; a child forked from this interpreter would start with its pages.
        peak_path = os.path.join(folder, ".peak")
        if os.access(GNU_TIME, os.X_OK):
            command = [GNU_TIME, "-o", peak_path, "-f", "%M", *command]
        proc = subprocess.Popen(command, cwd=folder, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=err, start_new_session=True)
        hung = False
        while True:
            pid, status, usage = os.wait4(proc.pid, os.WNOHANG)
            if pid:
                break
            if time.perf_counter() - start > timeout:
                os.killpg(proc.pid, signal.SIGKILL)
                pid, status, usage = os.wait4(proc.pid, 0)
                hung = True
                break
            time.sleep(0.01)
        elapsed = time.perf_counter() - start
    proc.returncode = os.waitstatus_to_exitcode(status)
    lines, first_error_line, count = [], None, 0
    with open(err_path, "rb") as f:
        for raw in f:
            line = raw.decode(errors="replace").rstrip("\n")
            count += 1
            if len(lines) < 3:
                lines.append(line)
            if first_error_line is None and ("-Error-" in line or "-Fatal-" in line):
                first_error_line = line
    exit_status = "hang" if hung else proc.returncode
    peak = usage.ru_maxrss / 1024.0
    if os.path.exists(peak_path):
        with open(peak_path) as f:
            words = f.read().split()
        if words and words[-1].isdigit():
            peak = int(words[-1]) / 1024.0
        os.remove(peak_path)
    return elapsed, peak, exit_status, lines, first_error_line, count


def main():
    parser = argparse.ArgumentParser()
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--binary", default=os.path.join(here, "..", "build", "asmKORAL"))
    parser.add_argument("--only", help="comma-separated case names")
    parser.add_argument("--scale", type=float, default=1.0)
    parser.add_argument("--keep", help="folder to create the scratch folders in")
    parser.add_argument("--timeout", type=float, default=900)
    parser.add_argument("--generate", help=argparse.SUPPRESS)
    parser.add_argument("--into", help=argparse.SUPPRESS)
    args = parser.parse_args()
    if args.generate:
        make = {c[0]: c[1] for c in cases(args.scale)}[args.generate]
        print(" ".join(make(args.into)))
        return 0
    binary = os.path.abspath(args.binary)
    only = set(args.only.split(",")) if args.only else None

    print(f"{'case':<20} {'gen s':>6} {'wall s':>8} {'peak MB':>9} {'status':>6} {'want':>5}  "
          f"{'verdict':<10} first stderr line")
    unexpected = 0
    for name, make, want_status, want_line, note in cases(args.scale):
        if only and name not in only:
            continue
        folder = os.path.realpath(tempfile.mkdtemp(prefix="koral-resource-", dir=args.keep))
        try:
            t0 = time.perf_counter()
            extra = generate_in_child(name, args.scale, folder)
            generated = time.perf_counter() - t0
            elapsed, peak, status, lines, error_line, count = run_case(binary, folder, extra, args.timeout)
            first = lines[0] if lines else None
            expected_line = want_line.replace("{dir}", folder) if want_line else None
            if args.scale != 1.0 and want_status != 0 and name.startswith(("mix", "records")):
                verdict = "scaled"
            elif status == want_status and (want_line[1:] in (error_line or "") if want_line and want_line[0] == "~"
                                            else first == expected_line):
                verdict = "ok"
            else:
                verdict = "UNEXPECTED"
                unexpected += 1
            shown = ((error_line if want_line and want_line[0] == "~" else first) or "").replace(folder, "{dir}")
            if count > 1:
                shown = f"[{count} lines] " + shown
            if len(shown) > 90:
                shown = shown[:87] + "..."
            print(f"{name:<20} {generated:>6.1f} {elapsed:>8.2f} {peak:>9.1f} {status!s:>6} {want_status:>5}  "
                  f"{verdict:<10} {shown}   ({note})")
            if verdict == "UNEXPECTED":
                for line in lines[:3]:
                    print(f"{'':<20} stderr: {line.replace(folder, '{dir}')[:200]}")
                if expected_line:
                    print(f"{'':<20} wanted: {expected_line.replace(folder, '{dir}')[:200]}")
            sys.stdout.flush()
        finally:
            shutil.rmtree(folder, ignore_errors=True)
    print(f"{unexpected} unexpected outcome(s)")
    return 1 if unexpected else 0


if __name__ == "__main__":
    sys.exit(main())
