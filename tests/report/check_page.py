#!/usr/bin/env python3
"""Golden analysis pages: replays logs with --report and compares the page's data (not
its markup, see page_data.py) with a reviewed file. UPDATE_GOLDEN=1 rewrites the file
instead (review the diff before committing it).

    check_page.py REPLAY PLUGIN EXPECTED [--only ID,ID] [--keep PAGE] -- REPLAY_ARGUMENTS...

--keep copies the page there, for the browser check.

The replay runs in the repository's top folder, so that logs named relative to it
appear so on the page.
"""
import difflib
import os
import shutil
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import page_data  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def sections(dump, only):
    """The dump's sections whose [id] is in only, or all."""
    if not only:
        return dump
    keep, out = False, []
    for line in dump.splitlines(True):
        if line.startswith("[") and line.rstrip().endswith("]"):
            keep = line.strip()[1:-1] in only
        if keep:
            out.append(line)
    return "".join(out)


def main():
    if "--" not in sys.argv or sys.argv.index("--") < 4:
        sys.exit(__doc__.strip())
    cut = sys.argv.index("--")
    replay, plugin, expected = sys.argv[1:4]
    options, arguments = sys.argv[4:cut], sys.argv[cut + 1:]
    value = {options[i]: options[i + 1] for i in range(0, len(options) - 1, 2)}
    only = set(value["--only"].split(",")) if "--only" in value else set()
    with tempfile.TemporaryDirectory() as work:
        page = os.path.join(work, "page.html")
        run = subprocess.run([replay, "--plugin", plugin, "--out-dir", work, "--report", page] + arguments,
                             cwd=ROOT, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, timeout=120)
        if run.returncode != 0 or not os.path.exists(page):
            print("golden page: the replay ended with status %d\n%s" % (run.returncode, run.stderr))
            return 1
        with open(page, encoding="utf-8") as f:
            got = sections(page_data.dump(f.read()), only)
        if "--keep" in value:
            os.makedirs(os.path.dirname(os.path.abspath(value["--keep"])), exist_ok=True)
            shutil.copyfile(page, value["--keep"])
    if os.environ.get("UPDATE_GOLDEN") == "1":
        with open(expected, "w", encoding="utf-8") as f:
            f.write(got)
        print("golden page: rewrote " + expected)
        return 0
    with open(expected, encoding="utf-8") as f:
        want = f.read()
    if got != want:
        print("golden page: %s differs" % os.path.basename(expected))
        sys.stdout.writelines(list(difflib.unified_diff(want.splitlines(True), got.splitlines(True),
                                                        "expected", "page"))[:60])
        return 1
    print("golden page: %s matches" % os.path.basename(expected))
    return 0


if __name__ == "__main__":
    sys.exit(main())
