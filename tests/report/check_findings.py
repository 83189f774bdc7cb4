#!/usr/bin/env python3
"""The cross-check of a generated contest against the generator's truth: every station,
every kind of planted error (a busted call landing on another station's call and
portable calls among them), the logs given as a folder and as an @list.

    check_findings.py REPLAY PLUGIN [LOGS]   (default 300 logs)
"""
import csv
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
COLUMNS = ["station", "line", "time", "call", "band", "mode", "finding", "other_station", "other_line"]


def rows(path):
    with open(path, newline="") as f:
        return [tuple(r[c] for c in COLUMNS) for r in csv.DictReader(f)]


def run(replay, plugin, work, name, logs):
    out = os.path.join(work, name)
    os.mkdir(out)
    result = subprocess.run([replay, "--plugin", plugin, "--out-dir", out, "--findings", out + "/findings.csv",
                             "--per-station", out + "/stations", logs], capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit("%s: exit status %d\n%s" % (name, result.returncode, result.stderr))
    summary = [line for line in result.stderr.splitlines() if "cross-check:" in line]
    if len(summary) != 1:
        sys.exit("%s: no summary line on standard error\n%s" % (name, result.stderr))
    with open(out + "/findings.csv", newline="") as f:
        header = f.readline().strip()
    if header != "station,log,line,time,call,band,mode,finding,other_station,other_line,detail":
        sys.exit("%s: CSV header %r" % (name, header))
    return out, summary[0]


def main():
    replay, plugin = sys.argv[1], sys.argv[2]
    n = int(sys.argv[3]) if len(sys.argv) > 3 else 300
    with tempfile.TemporaryDirectory() as work:
        contest = os.path.join(work, "contest")
        subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "make_contest.py"), "--logs", str(n),
                        "--seed", os.environ.get("SEED", "7"), "--errors", "0.05", contest], check=True)
        truth = rows(os.path.join(contest, "truth.csv"))
        logs = sorted(f for f in os.listdir(contest) if f.endswith((".log", ".cbr")))
        owns = {}
        for f in logs:
            with open(os.path.join(contest, f)) as log:
                own = next(line.split()[1] for line in log if line.startswith("CALLSIGN:"))
            owns[own.split("/")[-1] if own.startswith("DL/") else own.split("/")[0]] = own

        # The contest must hold every kind, or the comparison proves little.
        kinds = {t[6] for t in truth}
        onto_station = [t for t in truth if t[6] == "busted_call" and t[3] in owns]
        portable = [own for own in owns.values() if "/" in own]
        missing = [k for k in ("nil", "busted_call", "busted_exchange") if k not in kinds]
        if missing or not onto_station or not portable:
            sys.exit("the generated contest lacks %s" % (missing or ("a busted call onto a station's call"
                                                                    if not onto_station else "portable calls")))

        folder, summary = run(replay, plugin, work, "folder", contest)
        found = rows(folder + "/findings.csv")
        if sorted(found) != sorted(truth):
            extra = sorted(set(found) - set(truth))
            lost = sorted(set(truth) - set(found))
            sys.exit("findings differ from the truth\nnot planted:\n%s\nnot found:\n%s" % (
                "\n".join(map(str, extra[:20])), "\n".join(map(str, lost[:20]))))
        if "%d logs read" % len(logs) not in summary:
            sys.exit("summary: " + summary)
        stations = os.listdir(folder + "/stations")
        if len(stations) != len(logs):
            sys.exit("%d station results for %d logs" % (len(stations), len(logs)))

        listed = os.path.join(contest, "logs.txt")
        with open(listed, "w") as f:
            f.write("# the logs received\n" + "\n".join(logs) + "\n")
        at_list, _ = run(replay, plugin, work, "list", "@" + listed)
        if sorted(rows(at_list + "/findings.csv")) != sorted(truth):
            sys.exit("the @list gives other findings than the folder")
    print("%d logs, %d findings as planted (%d onto another station's call, %d portable stations)" % (
        len(logs), len(truth), len(onto_station), len(portable)))


if __name__ == "__main__":
    main()
