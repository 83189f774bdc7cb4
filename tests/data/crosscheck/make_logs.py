#!/usr/bin/env python3
"""Writes four made-up TALVEN-CUP logs of stations that worked each other, with known
errors planted for the cross-check of talven-replay --report. The output is the same on
every run.

The planted errors (3 minutes of tolerance), each found once and nothing else:
  UT1AA   20m RY 12:05  busted call: logged OK2XYW for OK2XYZ
  DL1ABC  40m PK 13:10  busted exchange: logged KO, UT1AA sent KV
  DL1ABC  15m RY 14:00  not in OK2XYZ's log
  OK2XYZ  80m PK 16:00  not in SP3QQ's log (SP3QQ has it 5 minutes later, at 16:05)
  SP3QQ   80m PK 16:05  not in OK2XYZ's log (the same QSO; found with --tolerance 5)
  SP3QQ   15m RY 17:00  not in UT1AA's log (UT1AA has it on 20m)
  UT1AA   20m RY 17:00  not in SP3QQ's log (the same QSO)
  DL1ABC  20m PK 19:30  busted call: logged SP3QO for SP3QQ
And what must not be flagged: a QSO 2 minutes apart in the two logs, a serial number
sent as 5 and received as 005, a dupe logged by both, and SP3QQ's QSO with DL1ABD, a
station one edit from DL1ABC that sent no log.

    make_logs.py [FOLDER]   (default: beside this script)
"""
import os
import sys

FREQ = {("80m", "RY"): 3585, ("40m", "RY"): 7040, ("20m", "RY"): 14085, ("15m", "RY"): 21085, ("10m", "RY"): 28085,
        ("80m", "PK"): 3580, ("40m", "PK"): 7037, ("20m", "PK"): 14072, ("15m", "PK"): 21072, ("10m", "PK"): 28122}
STATIONS = ["UT1AA", "DL1ABC", "OK2XYZ", "SP3QQ"]
AREA = {"UT1AA": "KV"}  # Ukrainian stations send their area, the others a serial number

# QSOs between two of the stations: a, b, band, mode, a's time, b's time, and what
# differs from a clean QSO ("a_call": the call a logged for b; "only_a": b has no
# record; "a_band": a logged another band; "a_exch": what a logged as received;
# "b_sent": how b wrote its own serial number).
CONTACTS = [
    dict(a="UT1AA", b="DL1ABC", band="20m", mode="RY", ta="1200", tb="1200"),
    dict(a="UT1AA", b="OK2XYZ", band="20m", mode="RY", ta="1205", tb="1205", a_call="OK2XYW"),
    dict(a="DL1ABC", b="OK2XYZ", band="20m", mode="RY", ta="1230", tb="1230"),
    dict(a="DL1ABC", b="UT1AA", band="40m", mode="PK", ta="1310", tb="1310", a_exch="KO"),
    dict(a="OK2XYZ", b="UT1AA", band="40m", mode="PK", ta="1315", tb="1316"),
    dict(a="DL1ABC", b="OK2XYZ", band="15m", mode="RY", ta="1400", tb="1400", only_a=True),
    dict(a="OK2XYZ", b="SP3QQ", band="80m", mode="RY", ta="1500", tb="1502"),
    dict(a="OK2XYZ", b="SP3QQ", band="80m", mode="PK", ta="1600", tb="1605"),
    dict(a="SP3QQ", b="UT1AA", band="20m", mode="RY", ta="1700", tb="1700", a_band="15m"),
    dict(a="DL1ABC", b="SP3QQ", band="10m", mode="RY", ta="1800", tb="1800", b_sent="short"),
    dict(a="DL1ABC", b="SP3QQ", band="20m", mode="PK", ta="1930", tb="1930", a_call="SP3QO"),
    dict(a="UT1AA", b="SP3QQ", band="40m", mode="RY", ta="2000", tb="2000"),
    dict(a="UT1AA", b="OK2XYZ", band="80m", mode="RY", ta="2030", tb="2031"),
    dict(a="UT1AA", b="DL1ABC", band="20m", mode="RY", ta="2100", tb="2100"),
]
# QSOs with stations that sent no log: own call, other call, band, mode, time, received.
OTHERS = [
    ("UT1AA", "UR5AB", "20m", "RY", "1210", "KO"), ("UT1AA", "DL7ZZ", "40m", "RY", "1330", "041"),
    ("UT1AA", "OH2BX", "80m", "PK", "1730", "112"),
    ("DL1ABC", "UY2ZZ", "20m", "RY", "1215", "LV"), ("DL1ABC", "F5XYZ", "40m", "PK", "1320", "015"),
    ("DL1ABC", "OK1RR", "15m", "RY", "1410", "087"),
    ("OK2XYZ", "UX0AA", "20m", "RY", "1240", "OD"), ("OK2XYZ", "I2ABC", "80m", "RY", "1510", "063"),
    ("OK2XYZ", "G4ABC", "80m", "PK", "1620", "021"),
    ("SP3QQ", "UT5ZZ", "80m", "RY", "1510", "KI"), ("SP3QQ", "DL1ABD", "20m", "RY", "1900", "050"),
    ("SP3QQ", "HA8XX", "40m", "RY", "2010", "033"),
]


def main(folder):
    records = {s: [] for s in STATIONS}  # own call -> [time, band, mode, call, received, contact id, role]
    for n, c in enumerate(CONTACTS):
        records[c["a"]].append([c["ta"], c.get("a_band", c["band"]), c["mode"], c.get("a_call", c["b"]), n, "a"])
        if not c.get("only_a"):
            records[c["b"]].append([c["tb"], c["band"], c["mode"], c["a"], n, "b"])
    for own, call, band, mode, time, received in OTHERS:
        records[own].append([time, band, mode, call, received, None])
    # Each station numbers its QSOs in time order; what it sent is known before the
    # other log's received exchange is written.
    sent = {}
    for own in STATIONS:
        records[own].sort(key=lambda r: r[0])
        for serial, r in enumerate(records[own], 1):
            exchange = AREA.get(own, "%03d" % serial)
            if r[5] is not None:
                c = CONTACTS[r[4]]
                if own == c["b"] and c.get("b_sent") == "short":
                    exchange = str(serial)
                sent[(r[4], r[5])] = exchange
            r.append(exchange)
    for own in STATIONS:
        lines = ["START-OF-LOG: 3.0", "CREATED-BY: make_logs.py (test data)", "CONTEST: TALVEN-CUP",
                 "CALLSIGN: " + own, "CATEGORY-OPERATOR: SINGLE-OP", "CATEGORY-MODE: DIGI",
                 "OPERATORS: " + own, "SOAPBOX: made-up test log with planted errors"]
        for r in records[own]:
            time, band, mode, call = r[0], r[1], r[2], r[3]
            if r[5] is None:
                received = r[4]
            else:
                c = CONTACTS[r[4]]
                other = "b" if r[5] == "a" else "a"
                received = sent.get((r[4], other), "001")
                if received.isdigit():  # as loggers write a serial received: three digits
                    received = "%03d" % int(received)
                if r[5] == "a" and "a_exch" in c:
                    received = c["a_exch"]
            lines.append("QSO: %5d %s 2024-12-14 %s %-13s 599 %-6s %-13s 599 %s"
                         % (FREQ[(band, mode)], mode, time, own, r[-1], call, received))
        lines.append("END-OF-LOG:")
        with open(os.path.join(folder, own.lower() + ".log"), "w", newline="\r\n") as out:
            out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__)))
