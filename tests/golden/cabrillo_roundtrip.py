#!/usr/bin/env python3
"""Reads the plug-in's Cabrillo export with a reader of its own, strictly, and replays
it: the file must follow the Cabrillo 2.0 conventions, and the log it holds must score
what the summary claimed.

    cabrillo_roundtrip.py REPLAY_PROGRAM PLUGIN LOG
"""
import os
import re
import subprocess
import sys
import tempfile

KNOWN_TAGS = {
    "START-OF-LOG", "ARRL-SECTION", "CALLSIGN", "CATEGORY", "CLAIMED-SCORE", "CLUB", "CONTEST",
    "CREATED-BY", "NAME", "ADDRESS", "OPERATORS", "EMAIL", "SOAPBOX", "QSO", "END-OF-LOG",
}
# freq, mode, date, time, own call, rst, exchange, call, rst, exchange: the column layout
# of "QSO: %5i %2s %s %-13s %-3s %-6s %-13s %-3s %s".
QSO = re.compile(r"^QSO: [ 0-9]{4}\d (RY|PK|\?\?) \d{4}-\d\d-\d\d \d{4} (\S.{12}|\S{14,}) (.{3}|\S{4,}) "
                 r"(.{6}|\S{7,}) (\S.{12}|\S{14,}) (.{3}|\S{4,}) \S*$")


def check_file(data):
    """Returns a list of faults; empty when the file is sound."""
    faults = []
    if not data.endswith(b"\r\n"):
        faults.append("the file does not end with CR LF")
    lines = data.split(b"\r\n")[:-1]
    for n, raw in enumerate(lines, 1):
        if b"\r" in raw or b"\n" in raw:
            faults.append(f"line {n}: a bare CR or LF")
    text = [l.decode("cp1251") for l in lines]
    if not text or text[0] != "START-OF-LOG: 2.0":
        faults.append("the first line is not START-OF-LOG: 2.0")
    if not text or text[-1] != "END-OF-LOG:":
        faults.append("the last line is not END-OF-LOG:")
    seen_qso = False
    for n, line in enumerate(text, 1):
        tag, colon, _ = line.partition(":")
        if not colon or tag not in KNOWN_TAGS:
            faults.append(f"line {n}: unknown tag {tag!r}")
        elif tag == "QSO":
            seen_qso = True
            if not QSO.match(line):
                faults.append(f"line {n}: QSO line out of layout: {line!r}")
        elif seen_qso and tag != "END-OF-LOG":
            faults.append(f"line {n}: header tag {tag} after the QSO lines")
    return faults


def score_of(summary):
    m = re.search(r"Score = (\d+) \* \( (\d+) \+ (\d+)\) = (-?\d+)", summary)
    return m.group(4) if m else None


def self_test():
    """The reader must refuse what a sloppy writer would produce."""
    good = (b"START-OF-LOG: 2.0\r\nCALLSIGN: UT1AA\r\n"
            b"QSO: 14080 RY 2017-12-16 1405 UT1AA         599 001    DL1AA         599 001\r\nEND-OF-LOG:\r\n")
    bad = {
        "LF line ends": good.replace(b"\r\n", b"\n"),
        "missing end": good.replace(b"END-OF-LOG:\r\n", b""),
        "unknown tag": good.replace(b"CALLSIGN", b"CALLSIGNS"),
        "columns": good.replace(b"UT1AA         599", b"UT1AA 599"),
        "header after QSOs": good.replace(b"END-OF-LOG", b"CLUB: x\r\nEND-OF-LOG"),
    }
    assert not check_file(good), check_file(good)
    for what, data in bad.items():
        assert check_file(data), f"{what} was not noticed"


def main():
    self_test()
    replay, plugin, log = sys.argv[1:4]
    with tempfile.TemporaryDirectory() as work:
        os.mkdir(os.path.join(work, "Plugins"))
        first = subprocess.run([replay, "--plugin", plugin, "--out-dir", work, "--cabrillo", log],
                               capture_output=True)
        summary = first.stdout.decode("cp1251")
        cbrs = [f for f in os.listdir(work) if f.endswith(".cbr")]
        if len(cbrs) != 1:
            print("no Cabrillo file was written:", first.stderr.decode(errors="replace"))
            return 1
        with open(os.path.join(work, cbrs[0]), "rb") as f:
            data = f.read()
        faults = check_file(data)
        claimed = re.search(rb"^CLAIMED-SCORE: (-?\d+)\r$", data, re.M)
        if not claimed or claimed.group(1).decode() != score_of(summary):
            faults.append("CLAIMED-SCORE differs from the summary's score")
        again_dir = os.path.join(work, "again")
        os.makedirs(os.path.join(again_dir, "Plugins"))
        again = subprocess.run([replay, "--plugin", plugin, "--out-dir", again_dir,
                                os.path.join(work, cbrs[0])], capture_output=True)
        if score_of(again.stdout.decode("cp1251")) != score_of(summary):
            faults.append(f"the exported log scores {score_of(again.stdout.decode('cp1251'))}, "
                          f"the summary claimed {score_of(summary)}")
        for f in faults:
            print("cabrillo:", f)
        print(f"cabrillo round trip of {os.path.basename(log)}: score {score_of(summary)}, "
              f"{data.count(b'QSO: ')} QSO lines, {'ok' if not faults else 'FAILED'}")
        return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
