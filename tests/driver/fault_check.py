#!/usr/bin/env python3
"""Faults as a user meets them: each run ends in its diagnostic and status and
leaves no temporary file, partial object module or partial listing."""
import os
import resource
import subprocess
import sys
import tempfile

BINARY = os.path.abspath(sys.argv[1])
TERMINATED = "ASMKORAL  Terminated\n"


def run(folder, args, limit_file_size=None):
    def limit():
        if limit_file_size is not None:
            resource.setrlimit(resource.RLIMIT_FSIZE, (limit_file_size, limit_file_size))
    proc = subprocess.run([BINARY, "-$", *args], cwd=folder, capture_output=True, text=True,
                          preexec_fn=limit, timeout=120, env={"PATH": "/usr/bin:/bin"})
    return proc.returncode, proc.stderr, sorted(os.listdir(folder))


def big_source(path, lines):
    with open(path, "w") as f:
        f.write("code    SECTION CODE\n")
        for i in range(lines):
            f.write("        LD      HL,0x1234\n")
        f.write("        END\n")


def main():
    failures = []

    def expect(what, outcome, status, stderr, files):
        got_status, got_stderr, got_files = outcome
        if (got_status, got_stderr, got_files) != (status, stderr, files):
            failures.append(f"{what}: got {got_status} {got_stderr!r} {got_files}, "
                            f"expected {status} {stderr!r} {files}")

    with tempfile.TemporaryDirectory() as folder:
        big_source(os.path.join(folder, "big.asm"), 20000)
        # The object module cannot be created in a folder that does not exist.
        expect("unwritable object folder", run(folder, ["-o", "no/such/dir/x.rel", "big.asm"]), 176,
               'ASMKORAL-Fatal-020 : Can\'t open "no/such/dir/x.rel"\n' + TERMINATED, ["big.asm"])
        # The object module outgrows the file-size limit (64 KiB): the block
        # write fails; the partial module is removed.
        expect("object file too large", run(folder, ["big.asm"], limit_file_size=65536), 192,
               "ASMKORAL-Fatal-154 : Internal object file error\n" + TERMINATED, ["big.asm"])
        # Temporary files on disk cannot grow either: the token file fails first.
        expect("token file too large", run(folder, ["-zd", "-Xt", "big.asm"], limit_file_size=65536), 176,
               'ASMKORAL-Fatal-023 : Can\'t write "temporary file(token)"\n' + TERMINATED, ["big.asm"])

    with tempfile.TemporaryDirectory() as folder:
        os.mkfifo(os.path.join(folder, "pipe.asm"))
        expect("a FIFO as source", run(folder, ["pipe.asm"]), 128,
               "ASMKORAL-Fatal-102 : File must be a disk\n" + TERMINATED, ["pipe.asm"])

    for line in failures:
        print("FAIL", line)
    print("fault checks:", "failed" if failures else "passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
