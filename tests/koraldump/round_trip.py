#!/usr/bin/env python3
"""Round trip of the disassembler: assemble, disassemble, assemble again.

For every source that the assembler accepts without errors (the sources of
tests/koraldump/round_trip/, which must all assemble, and the golden and
example sources, which are skipped when they report errors or hold no
code), the module is disassembled with `koraldump -d`, the disassembly is
assembled again, and the contents of the CODE sections of both modules
(`koraldump -s`: bytes, with relocated bytes as rr) must be the same.

usage: round_trip.py ASMKORAL KORALDUMP SOURCE_ROOT
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile

ENV = {"PATH": "/usr/bin:/bin", "SOURCE_DATE_EPOCH": "1700000000", "TZ": "UTC"}


def run(args, cwd):
    return subprocess.run(args, cwd=cwd, env=ENV, capture_output=True, timeout=120)


def code_contents(koraldump, module, cwd):
    """The hexadecimal lines of the CODE sections, per section name."""
    out = run([koraldump, "-s", module], cwd)
    if out.returncode != 0:
        raise RuntimeError(f"koraldump -s {module}: {out.stderr.decode(errors='replace')}")
    sections, current = {}, None
    for line in out.stdout.decode().splitlines():
        if line.startswith("section "):
            name, kind = line.split("(", 1)[1].split(")", 1)[0].split(", ")
            current = sections.setdefault(name, []) if kind == "CODE" else None
        elif current is not None:
            current.append(line.strip())
    return sections


def round_trip(asm, koraldump, source, required):
    """None when skipped, else a list of problems (empty: passed)."""
    scratch = tempfile.mkdtemp(prefix="koraldump-")
    try:
        for name in os.listdir(os.path.dirname(source)):
            path = os.path.join(os.path.dirname(source), name)
            if os.path.isfile(path):
                shutil.copy(path, scratch)
        base = os.path.splitext(os.path.basename(source))[0]
        first = run([asm, os.path.basename(source)], scratch)
        module = os.path.join(scratch, base + ".rel")
        if first.returncode != 0 or not os.path.exists(module):
            if required:
                return [f"the source does not assemble (status {first.returncode}):\n" +
                        first.stderr.decode(errors="replace")]
            return None
        before = code_contents(koraldump, module, scratch)
        if not any(before.values()) and not required:
            return None
        dis = run([koraldump, "-d", module], scratch)
        if dis.returncode != 0:
            return [f"koraldump -d failed: {dis.stderr.decode(errors='replace')}"]
        os.makedirs(os.path.join(scratch, "again"))
        with open(os.path.join(scratch, "again", "dis.asm"), "wb") as f:
            f.write(dis.stdout)
        second = run([asm, "dis.asm"], os.path.join(scratch, "again"))
        if second.returncode != 0:
            return [f"the disassembly does not assemble (status {second.returncode}):\n" +
                    second.stderr.decode(errors="replace") + "\n" + dis.stdout.decode(errors="replace")]
        after = code_contents(koraldump, os.path.join(scratch, "again", "dis.rel"), scratch)
        if before != after:
            return ["code bytes differ:\nbefore " + repr(before) + "\nafter  " + repr(after) + "\n" +
                    dis.stdout.decode(errors="replace")]
        return []
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


def main():
    asm, koraldump, root = (os.path.abspath(a) for a in sys.argv[1:4])
    required = sorted(glob.glob(os.path.join(root, "tests/koraldump/round_trip/*.asm")))
    optional = sorted(glob.glob(os.path.join(root, "tests/golden/*/*.asm")) +
                      glob.glob(os.path.join(root, "examples/*.asm")))
    passed = failed = skipped = 0
    for source, must in [(s, True) for s in required] + [(s, False) for s in optional]:
        if not os.path.isfile(source):
            continue
        problems = round_trip(asm, koraldump, source, must)
        name = os.path.relpath(source, root)
        if problems is None:
            skipped += 1
            print(f"skip {name}")
        elif problems:
            failed += 1
            print(f"FAIL {name}")
            for p in problems:
                print("  " + p.replace("\n", "\n  "))
        else:
            passed += 1
            print(f"ok   {name}")
    if not required:
        failed += 1
        print("FAIL no round-trip sources found")
    print(f"{passed} passed, {failed} failed, {skipped} skipped")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
