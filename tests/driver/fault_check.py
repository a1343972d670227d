#!/usr/bin/env python3
"""Faults as a user meets them: each run ends in its diagnostic and status and
leaves no temporary file (in the working folder or in the TMP folder), no
partial object module and no partial listing, except the files that the
abort path keeps (a listing already created is closed, not removed).

Every run gets TMP pointing to a scratch folder inside its working folder, so
the list of files left behind covers the temporary files on disk too.  The
tests run as root, for whom permission bits do not stop a write: files are
made impossible to create by a missing folder, a regular file standing where
a folder should be, a file-size limit (RLIMIT_FSIZE) or a limit on open
descriptors (RLIMIT_NOFILE)."""
import os
import resource
import subprocess
import sys
import tempfile
import time

BINARY = os.path.abspath(sys.argv[1])
TERMINATED = "ASMKORAL  Terminated\n"
BASE_ENV = {"PATH": "/usr/bin:/bin", "SOURCE_DATE_EPOCH": "1700000000", "TZ": "UTC"}


def fatal(code, argument=None):
    text = {20: "Can't open", 23: "Can't write", 102: "File must be a disk",
            154: "Internal object file error"}[code]
    if argument is None:
        return f"ASMKORAL-Fatal-{code:03d} : {text}\n" + TERMINATED
    return f'ASMKORAL-Fatal-{code:03d} : {text} "{argument}"\n' + TERMINATED


def files_left(folder):
    """Every file under `folder`, as relative paths (the TMP folder included)."""
    found = []
    for root, _, names in os.walk(folder):
        found += [os.path.relpath(os.path.join(root, n), folder) for n in names]
    return sorted(found)


def limits(file_size=None, open_files=None):
    def apply():
        if file_size is not None:
            resource.setrlimit(resource.RLIMIT_FSIZE, (file_size, file_size))
        if open_files is not None:
            resource.setrlimit(resource.RLIMIT_NOFILE, (open_files, open_files))
    return apply


def environment(folder, tmp):
    env = dict(BASE_ENV)
    env["TMP"] = os.path.join(folder, "tmp") if tmp is None else tmp
    return env


def run(folder, args, limit_file_size=None, limit_open_files=None, tmp=None):
    """Runs the assembler in `folder` with TMP = `folder`/tmp (made empty) unless
    `tmp` says otherwise.  Standard input is /dev/null, so that descriptor 0 is
    taken and the descriptor counts of RLIMIT_NOFILE cases do not shift."""
    os.makedirs(os.path.join(folder, "tmp"), exist_ok=True)
    proc = subprocess.run([BINARY, "-$", *args], cwd=folder, capture_output=True, text=True,
                          stdin=subprocess.DEVNULL, preexec_fn=limits(limit_file_size, limit_open_files),
                          timeout=120, env=environment(folder, tmp))
    return proc.returncode, proc.stderr, files_left(folder)


def write(folder, name, text):
    with open(os.path.join(folder, name), "w") as f:
        f.write(text)


def read_bytes(folder, name):
    with open(os.path.join(folder, name), "rb") as f:
        return f.read()


def big_source(path, lines):
    with open(path, "w") as f:
        f.write("code    SECTION CODE\n")
        for i in range(lines):
            f.write("        LD      HL,0x1234\n")
        f.write("        END\n")


CLEAN = "code    SECTION CODE\nstart:  NOP\n        J       start\n        END\n"
# Error 200 on line 2, found by the parser in pass 1.
PASS_ONE_ERROR = "code    SECTION CODE\n        LD      A,\n        NOP\n        END\n"
# Jump sizes that never settle: warnings 501 and 503 are found in pass 2 only.
PASS_TWO_WARNINGS = ("code    SECTION CODE\n        J       T,after\n" + "        LD      IX,0x123456\n" * 3
                     + "        NOP\n        J       fixed\nafter:  NOP\n        ORG     0x90\n"
                     + "fixed:  NOP\n        END\n")
MAIN_WITH_INCLUDE = ('code    SECTION CODE\n        NOP\n        $INCLUDE "inc.asm"\n'
                     "        LD      A,1\n        NOP\n        END\n")
INCLUDED = "        LD      A,2\n        LD      A,3\n"


def run_with_barrier(folder, args, barrier, change):
    """Runs the assembler with `barrier` (the listing or the error file) being a
    FIFO.  The object module is created after pass 2 and the barrier is opened
    right after it, where the run waits for a reader: so once the object file
    exists, pass 1 and pass 2 are over and the final pass has not begun.  Then
    `change` runs, and only after it the barrier is read.  Returns the status,
    standard error, what came through the barrier and the files left."""
    os.makedirs(os.path.join(folder, "tmp"), exist_ok=True)
    fifo = os.path.join(folder, barrier)
    os.mkfifo(fifo)
    obj = os.path.join(folder, "main.rel")
    proc = subprocess.Popen([BINARY, "-$", *args], cwd=folder, stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=environment(folder, None))
    deadline = time.monotonic() + 60
    while not os.path.exists(obj) and proc.poll() is None and time.monotonic() < deadline:
        time.sleep(0.001)
    change()
    # Opening without blocking lets the reader give up when the run has ended
    # without ever opening the barrier (a fault of its own).
    fd = os.open(fifo, os.O_RDONLY | os.O_NONBLOCK)
    through = bytearray()
    try:
        while time.monotonic() < deadline:
            try:
                data = os.read(fd, 65536)
            except BlockingIOError:
                data = None
            if data:
                through += data
            elif proc.poll() is not None and data == b"":
                break
            else:
                time.sleep(0.001)
    finally:
        os.close(fd)
    _, err = proc.communicate(timeout=60)
    return proc.returncode, err.decode(), bytes(through), files_left(folder)


def main():
    failures = []
    os.umask(0o022)

    def expect(what, outcome, status, stderr, files):
        got_status, got_stderr, got_files = outcome
        if (got_status, got_stderr, got_files) != (status, stderr, files):
            failures.append(f"{what}: got {got_status} {got_stderr!r} {got_files}, "
                            f"expected {status} {stderr!r} {files}")

    def check(what, condition, detail=""):
        if not condition:
            failures.append(f"{what}: {detail}")

    with tempfile.TemporaryDirectory() as folder:
        big_source(os.path.join(folder, "big.asm"), 20000)
        # The object module cannot be created in a folder that does not exist.
        expect("unwritable object folder", run(folder, ["-o", "no/such/dir/x.rel", "big.asm"]), 176,
               fatal(20, "no/such/dir/x.rel"), ["big.asm"])
        # The object module outgrows the file-size limit (64 KiB): the block
        # write fails; the partial module is removed.
        expect("object file too large", run(folder, ["big.asm"], limit_file_size=65536), 192,
               fatal(154), ["big.asm"])
        # Temporary files on disk cannot grow either: the token file fails first.
        expect("token file too large", run(folder, ["-zd", "-Xt", "big.asm"], limit_file_size=65536), 176,
               fatal(23, "temporary file(token)"), ["big.asm"])

    with tempfile.TemporaryDirectory() as folder:
        os.mkfifo(os.path.join(folder, "pipe.asm"))
        expect("a FIFO as source", run(folder, ["pipe.asm"]), 128, fatal(102), ["pipe.asm"])

    # The temporary folder cannot take files.
    with tempfile.TemporaryDirectory() as folder:
        write(folder, "x.asm", CLEAN)
        write(folder, "plain", "")
        expect("-zd with TMP a regular file", run(folder, ["-zd", "x.asm"], tmp=os.path.join(folder, "plain")),
               176, fatal(20, "tokenfile"), ["plain", "x.asm"])
        expect("-zd with TMP a missing folder", run(folder, ["-zd", "x.asm"], tmp=os.path.join(folder, "none")),
               176, fatal(20, "tokenfile"), ["plain", "x.asm"])
        # Without -zd the temporary files live in memory: TMP does not matter.
        expect("TMP a missing folder, files in memory", run(folder, ["x.asm"], tmp=os.path.join(folder, "none")),
               0, "", ["plain", "x.asm", "x.rel"])
        # The object module is an ordinary output file: readable by others
        # as the umask allows (0022 here).
        mode = os.stat(os.path.join(folder, "x.rel")).st_mode & 0o777
        check("object module permissions", mode == 0o644, oct(mode))

    # A temporary file that cannot be created because no descriptor is left.
    # Descriptors 0..2 are the standard streams, 3 the source, 4 the token
    # file; a limit of 5 refuses the next file the run opens.  Each of them
    # is created on first use: the error files at the first diagnostic of
    # their pass, the cross-reference file at the first reference (pass 1),
    # the line-record file at the first line record (pass 1).
    with tempfile.TemporaryDirectory() as folder:
        write(folder, "e1.asm", PASS_ONE_ERROR)
        write(folder, "e2.asm", PASS_TWO_WARNINGS)
        write(folder, "x.asm", CLEAN)
        inputs = ["e1.asm", "e2.asm", "x.asm"]
        expect("pass-1 error file cannot be created", run(folder, ["-zd", "e1.asm"], limit_open_files=5),
               176, fatal(20, "temporary file(err1)"), inputs)
        expect("pass-2 error file cannot be created", run(folder, ["-zd", "e2.asm"], limit_open_files=5),
               176, fatal(20, "temporary file(err2)"), inputs)
        expect("cross-reference file cannot be created", run(folder, ["-zd", "-lx", "x.asm"], limit_open_files=5),
               176, fatal(20, "temporary file(refsym)"), inputs)
        expect("line-record file cannot be created", run(folder, ["-zd", "-g", "x.asm"], limit_open_files=5),
               176, fatal(20, "temporary file(bb5)"), inputs)
        # The same limit with the files in memory: the run completes.
        expect("error file in memory under the same limit", run(folder, ["e1.asm"], limit_open_files=5),
               16, "e1.asm 2 : ASMKORAL-Error-200 : Syntax error\n", inputs)

    # Temporary files other than the token file outgrow the file-size limit.
    # Of a line in error the token file keeps a bare 12-byte header while the
    # pass-1 error file keeps about 25 bytes; of a LINE directive the token
    # file keeps 16 bytes while the line-record file keeps 20.  So those two
    # reach the limit first.  (A cross-reference record takes 12.4 bytes for
    # a reference that costs the token file more, so the cross-reference
    # file can never be the first to fail.)
    with tempfile.TemporaryDirectory() as folder:
        write(folder, "errors.asm", "code    SECTION CODE\n" + "        LD      A,\n" * 6000 + "        END\n")
        write(folder, "lines.asm", ' FILE "a.c", 0, 0, 0\ncode    SECTION CODE\n'
              + "".join(f' LINE "", 0, {n}, 0\n' for n in range(1, 6001)) + "        END\n")
        inputs = ["errors.asm", "lines.asm"]
        expect("pass-1 error file too large", run(folder, ["-zd", "errors.asm"], limit_file_size=65536),
               176, fatal(23, "temporary file(err1)"), inputs)
        expect("line-record file too large", run(folder, ["-zd", "-g", "lines.asm"], limit_file_size=65536),
               176, fatal(23, "temporary file(bb5)"), inputs)

    # Output files that cannot be created.  The listing and the error file are
    # opened after the object module's head is written: the partial module is
    # removed.  A listing already created when the error file fails is kept,
    # closed and still empty.
    with tempfile.TemporaryDirectory() as folder:
        write(folder, "x.asm", CLEAN)
        expect("listing cannot be created", run(folder, ["-lf", "no/dir/x.lst", "x.asm"]),
               176, fatal(20, "no/dir/x.lst"), ["x.asm"])
        expect("error file cannot be created", run(folder, ["-e", "no/dir/x.err", "x.asm"]),
               176, fatal(20, "no/dir/x.err"), ["x.asm"])
        expect("error file cannot be created, with a listing", run(folder, ["-l", "-e", "no/dir/x.err", "x.asm"]),
               176, fatal(20, "no/dir/x.err"), ["x.asm", "x.lst"])
        check("listing kept empty", read_bytes(folder, "x.lst") == b"", repr(read_bytes(folder, "x.lst")[:80]))

    # Source files that change between pass 1 and the final pass.  Only the
    # listing reads source text after pass 1: include files are reopened by
    # name, and so is the main source after an include file ends.
    def module_of_undisturbed_run(args):
        """The object module of the same run with the sources left alone (the
        module holds the command line, so the arguments must be the same)."""
        with tempfile.TemporaryDirectory() as reference:
            write(reference, "main.asm", MAIN_WITH_INCLUDE)
            write(reference, "inc.asm", INCLUDED)
            status, err, left = run(reference, args)
            check(f"undisturbed run {args}", (status, err) == (0, "") and "main.rel" in left, f"{status} {err!r}")
            return read_bytes(reference, "main.rel") if "main.rel" in left else None

    for zd in ([], ["-zd"]):
        with tempfile.TemporaryDirectory() as folder:
            folder = os.path.realpath(folder)
            write(folder, "main.asm", MAIN_WITH_INCLUDE)
            write(folder, "inc.asm", INCLUDED)
            status, err, listed, left = run_with_barrier(
                folder, [*zd, "-l", "main.asm"], "main.lst", lambda: os.remove(os.path.join(folder, "inc.asm")))
            expect(f"include file removed before a listing {zd}", (status, err, left), 176,
                   fatal(20, os.path.join(folder, "inc.asm")), ["main.asm", "main.lst"])
            check("listing stops at the include", b'$INCLUDE "inc.asm"' in listed and b"LD      A,1" not in listed,
                  repr(listed[-200:]))

        with tempfile.TemporaryDirectory() as folder:
            write(folder, "main.asm", MAIN_WITH_INCLUDE)
            write(folder, "inc.asm", INCLUDED)
            status, err, listed, left = run_with_barrier(
                folder, [*zd, "-l", "main.asm"], "main.lst", lambda: os.remove(os.path.join(folder, "main.asm")))
            expect(f"main source removed before a listing {zd}", (status, err, left), 176,
                   fatal(20, "main.asm"), ["inc.asm", "main.lst"])

        # Without a listing nothing reads the source after pass 1.
        with tempfile.TemporaryDirectory() as folder:
            write(folder, "main.asm", MAIN_WITH_INCLUDE)
            write(folder, "inc.asm", INCLUDED)

            def remove_both():
                os.remove(os.path.join(folder, "inc.asm"))
                os.remove(os.path.join(folder, "main.asm"))
            status, err, through, left = run_with_barrier(folder, [*zd, "-e", "main.err", "main.asm"],
                                                          "main.err", remove_both)
            expect(f"sources removed, no listing {zd}", (status, err, left), 0, "", ["main.err", "main.rel"])
            check("same module without the sources",
                  read_bytes(folder, "main.rel") == module_of_undisturbed_run([*zd, "-e", "main.err", "main.asm"]))

        # A main source cut short: the listing shows no text for the lost lines,
        # the module (made from the token file) is the same.
        with tempfile.TemporaryDirectory() as folder:
            write(folder, "main.asm", MAIN_WITH_INCLUDE)
            write(folder, "inc.asm", INCLUDED)
            status, err, listed, left = run_with_barrier(
                folder, [*zd, "-l", "main.asm"], "main.lst",
                lambda: write(folder, "main.asm", "code    SECTION CODE\n"))
            expect(f"main source cut short before a listing {zd}", (status, err, left), 0, "",
                   ["inc.asm", "main.asm", "main.lst", "main.rel"])
            check("module made from the token file",
                  read_bytes(folder, "main.rel") == module_of_undisturbed_run([*zd, "-l", "main.asm"]))
            check("listing of the cut source", b"LD      A,2" in listed and b"LD      A,1" not in listed
                  and b"Assembly complete, No error" in listed, repr(listed))

    for line in failures:
        print("FAIL", line)
    print("fault checks:", "failed" if failures else "passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
