#!/usr/bin/env python3
"""The cross-check of a generated contest against the generator's truth: every station,
every kind of planted error (a busted call landing on another station's call and
portable calls among them), the logs given as a folder and as an @list. Then the real
logs with two cases planted: UW1M's QSO with 9A1AA logged as 9A1A (9A1A sent a log too),
and the log of 4Z5MY/P, whom 9A1A logged as 4Z5MY.

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


def run(replay, plugin, work, name, logs, ok_status=(0,)):
    out = os.path.join(work, name)
    os.mkdir(out)
    result = subprocess.run([replay, "--plugin", plugin, "--out-dir", out, "--findings", out + "/findings.csv",
                             "--per-station", out + "/stations", logs], capture_output=True, text=True)
    if result.returncode not in ok_status:
        sys.exit("%s: exit status %d\n%s" % (name, result.returncode, result.stderr))
    summary = [line for line in result.stderr.splitlines() if "cross-check:" in line]
    if len(summary) != 1:
        sys.exit("%s: no summary line on standard error\n%s" % (name, result.stderr))
    with open(out + "/findings.csv", newline="") as f:
        header = f.readline().strip()
    if header != "station,log,line,time,call,band,mode,finding,other_station,other_line,detail":
        sys.exit("%s: CSV header %r" % (name, header))
    return out, summary[0]


HEADER = ("START-OF-LOG: 3.0\nCONTEST: CQ-WPX-RTTY\nCALLSIGN: {own}\nCATEGORY-OPERATOR: SINGLE-OP\n"
          "CATEGORY-MODE: RTTY\n")
# Made from the QSOs the real logs hold with these stations.
PLANTED_LOGS = {
    "9a1aa.log": ("9A1AA", ["QSO:  3590 RY 2019-02-09 0208 9A1AA         599 020    9A1A          599 0146",
                            "QSO:  3583 RY 2019-02-09 1840 9A1AA         599 033    UW1M          599 1240"]),
    "4z5my_p.log": ("4Z5MY/P", ["QSO: 14101 RY 2019-02-09 0738 4Z5MY/P       599 012    9A1A          599 0135"]),
}
# station, line -> the finding expected there ("" for none), and its other station.
REAL_EXPECTED = {
    ("UW1M", "1259"): ("busted_call", "9A1AA"),
    ("9A1AA", "7"): ("", ""),
    ("9A1AA", "6"): ("", ""),
    ("9A1A", "1101"): ("", ""),
    ("4Z5MY/P", "6"): ("", ""),
}


def real_logs(replay, plugin, work):
    folder = os.path.join(work, "real")
    os.mkdir(folder)
    for name in ("9a1a.log", "ab1j.log", "7k4vpv.log"):
        with open(os.path.join(ROOT, "tests", "data", "logs", name), "rb") as src:
            with open(os.path.join(folder, name), "wb") as dst:
                dst.write(src.read())
    with open(os.path.join(ROOT, "tests", "data", "logs", "uw1m.log"), newline="") as src:
        lines = src.read().split("\n")
    assert " 9A1AA " in lines[1258], lines[1258]
    lines[1258] = lines[1258].replace(" 9A1AA ", " 9A1A  ")
    with open(os.path.join(folder, "uw1m.log"), "w", newline="") as dst:
        dst.write("\n".join(lines))
    for name, (own, qsos) in PLANTED_LOGS.items():
        with open(os.path.join(folder, name), "w") as dst:
            dst.write(HEADER.format(own=own) + "\n".join(qsos) + "\nEND-OF-LOG:\n")
    out, _ = run(replay, plugin, work, "real-out", folder, ok_status=(0, 1))
    with open(out + "/findings.csv", newline="") as f:
        found = {(r["station"], r["line"]): (r["finding"], r["other_station"]) for r in csv.DictReader(f)}
    for place, expected in REAL_EXPECTED.items():
        got = found.get(place, ("", ""))
        if got != expected:
            sys.exit("real logs: %s line %s: %s, expected %s" % (place + (got, expected)))


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
        real_logs(replay, plugin, work)
    print("%d logs, %d findings as planted (%d onto another station's call, %d portable stations)" % (
        len(logs), len(truth), len(onto_station), len(portable)))


if __name__ == "__main__":
    main()
