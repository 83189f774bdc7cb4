#!/usr/bin/env python3
"""An interrupted run leaves the folder as it was: SIGINT and SIGTERM sent in the middle
of a run (once its work folder is there) end it with 130 and 143, with no work folder,
no temporary file, and every file that was there unchanged.
Usage: interrupt_check.py TALVEN_REPLAY LOG..."""
import os
import signal
import subprocess
import sys
import tempfile
import time


def snapshot(folder):
    files = {}
    for root, dirs, names in os.walk(folder):
        for name in dirs + names:
            path = os.path.join(root, name)
            rel = os.path.relpath(path, folder)
            files[rel] = None if os.path.isdir(path) else open(path, "rb").read()
    return files


def main():
    tool, logs = os.path.abspath(sys.argv[1]), [os.path.abspath(p) for p in sys.argv[2:]]
    failures = 0
    passed = 0
    for sig, expected in ((signal.SIGINT, 130), (signal.SIGTERM, 143)):
        with tempfile.TemporaryDirectory() as folder:
            # What a user's folder holds from before: a page of an earlier run, the
            # operator's own Cabrillo file.
            with open(os.path.join(folder, "page.html"), "w") as f:
                f.write('<!DOCTYPE html>\n<html lang="en"><head><meta charset="utf-8">'
                        '<meta name="generator" content="talven-replay 0.9"></head></html>\n')
            with open(os.path.join(folder, "AB1J.cbr"), "w") as f:
                f.write("START-OF-LOG: 3.0\nCALLSIGN: AB1J\nEND-OF-LOG:\n")
            before = snapshot(folder)
            run = subprocess.Popen([tool, "--cabrillo", "--report", "page.html"] + logs, cwd=folder,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
            deadline = time.monotonic() + 60
            started = False
            while time.monotonic() < deadline and run.poll() is None and not started:
                started = any(n.startswith(".talven-replay-") for n in os.listdir(folder))
                time.sleep(0.01)
            if not started:
                print(f"FAIL {sig.name}: the run ended (status {run.wait()}) before it could be interrupted")
                failures += 1
                continue
            time.sleep(0.1)
            run.send_signal(sig)
            status = run.wait(60)
            err = run.stderr.read().decode(errors="replace")
            after = snapshot(folder)
            if status != expected:
                print(f"FAIL {sig.name}: exit status {status}, expected {expected}\n{err}")
                failures += 1
            if after != before:
                added = sorted(set(after) - set(before))
                changed = sorted(k for k in before if after.get(k, b"-gone-") != before[k])
                print(f"FAIL {sig.name}: the folder changed: added {added}, changed or gone {changed}\n{err}")
                failures += 1
            if status == expected and after == before:
                print(f"ok {sig.name}: exit status {status}, the folder as it was")
                passed += 1
    print(f"{passed} passed, {2 - passed} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
