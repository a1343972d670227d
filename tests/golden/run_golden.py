#!/usr/bin/env python3
"""Runs one end-to-end case of the assembler and compares every output.

A case is a folder holding:
  cmd              the arguments, one line, split like a shell does
  env              optional: extra environment, one NAME=VALUE a line
                   ("{dir}" in a value stands for the scratch folder)
  stdin            optional: bytes fed to standard input
  expected/stdout  expected standard output
  expected/stderr  expected standard error
  expected/status  expected exit status
  expected/<file>  every other file the run must leave, compared byte for byte
  anything else    input files, copied into a fresh scratch folder first

The program runs in the scratch folder with a clean environment, a fixed
SOURCE_DATE_EPOCH and TZ, and "asmKORAL" as its program name.  In standard
output, standard error and .lst files the scratch folder's path reads
"{dir}", since names of included files are shown as found.  After the run
the scratch folder must hold exactly the inputs and the expected files: any
other file (a temporary file, an object module that should have been
removed) fails the case.
"""
import difflib
import os
import shlex
import shutil
import subprocess
import sys
import tempfile

SPECIAL = {"cmd", "env", "stdin", "expected", "README"}
STREAMS = {"stdout", "stderr", "status"}


def hex_lines(data):
    return [f"{i:06x}: " + " ".join(f"{b:02x}" for b in data[i:i + 16]) for i in range(0, len(data), 16)]


def show_diff(name, expected, actual):
    try:
        exp_text, act_text = expected.decode("utf-8"), actual.decode("utf-8")
        binary = "\0" in exp_text or "\0" in act_text
    except UnicodeDecodeError:
        binary = True
    if binary:
        exp_lines, act_lines = hex_lines(expected), hex_lines(actual)
    else:
        exp_lines = [repr(l) for l in exp_text.splitlines(keepends=True)]
        act_lines = [repr(l) for l in act_text.splitlines(keepends=True)]
    diff = difflib.unified_diff(exp_lines, act_lines, f"expected/{name}", f"actual/{name}", lineterm="")
    print("\n".join(list(diff)[:200]))


def files_under(root):
    found = set()
    for folder, _, names in os.walk(root):
        for name in names:
            found.add(os.path.relpath(os.path.join(folder, name), root))
    return found


def main():
    binary, case = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    expected_dir = os.path.join(case, "expected")
    with open(os.path.join(case, "cmd"), encoding="utf-8") as f:
        args = shlex.split(f.read().strip())

    scratch = tempfile.mkdtemp(prefix="golden-")
    try:
        for entry in os.listdir(case):
            if entry in SPECIAL:
                continue
            source = os.path.join(case, entry)
            target = os.path.join(scratch, entry)
            if os.path.isdir(source):
                shutil.copytree(source, target)
            else:
                shutil.copy(source, target)
        inputs = files_under(scratch)

        env = {"PATH": "/usr/bin:/bin", "SOURCE_DATE_EPOCH": "1700000000", "TZ": "UTC", "LC_ALL": "C"}
        env_file = os.path.join(case, "env")
        if os.path.exists(env_file):
            with open(env_file, encoding="utf-8") as f:
                for line in f:
                    line = line.rstrip("\n")
                    if line and "=" in line:
                        name, value = line.split("=", 1)
                        env[name] = value.replace("{dir}", scratch)
        stdin_file = os.path.join(case, "stdin")
        stdin = open(stdin_file, "rb").read() if os.path.exists(stdin_file) else b""

        try:
            run = subprocess.run(["asmKORAL"] + args, executable=binary, cwd=scratch, env=env,
                                 input=stdin, capture_output=True, timeout=120)
        except subprocess.TimeoutExpired:
            print("FAIL: the run did not end within 120 seconds")
            return 1

        failures = 0
        here = os.path.realpath(scratch).encode()
        actual = {"stdout": run.stdout.replace(here, b"{dir}"), "stderr": run.stderr.replace(here, b"{dir}"),
                  "status": f"{run.returncode}\n".encode()}
        expected_files = files_under(expected_dir)
        for name in sorted(STREAMS | expected_files):
            path = os.path.join(expected_dir, name)
            want = open(path, "rb").read() if os.path.exists(path) else b""
            if name in STREAMS:
                got = actual[name]
            else:
                produced = os.path.join(scratch, name)
                if not os.path.exists(produced):
                    print(f"FAIL: {name} was not produced")
                    failures += 1
                    continue
                got = open(produced, "rb").read()
                if name.endswith(".lst"):
                    got = got.replace(here, b"{dir}")
            if got != want:
                print(f"FAIL: {name} differs")
                show_diff(name, want, got)
                failures += 1

        leftovers = files_under(scratch) - inputs - (expected_files - STREAMS)
        for name in sorted(leftovers):
            print(f"FAIL: the run left {name} behind")
            failures += 1
        if failures:
            print(f"case {os.path.basename(case)}: {failures} difference(s)")
            return 1
        return 0
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
