#!/usr/bin/env python3
"""Writes data/sample.log: a made-up but realistic TALVEN-CUP Cabrillo 3.0 log.

The own station, OK1XYZ, is outside Ukraine and sends serial numbers; Ukrainian
stations send their two-letter area code, everybody else a serial number. The log
has both modes (RY, PK), the five contest bands with band changes that last less
and more than ten minutes, a few dupes, wrong and lower-case area codes, one
160 m QSO and one QSO in PSK31, so a replay exercises the plug-in's checks.

The output is the same on every run (fixed seed, no hash-ordered iteration).

Usage: scripts/make_sample_log.py [OUTPUT]   (default: data/sample.log beside scripts/)
"""

import datetime
import os
import random
import sys

SEED = 20241214
OWN_CALL = "OK1XYZ"
START = datetime.datetime(2024, 12, 14, 12, 0)

AREAS = ("CH CN CR DN DO HA HE HM IF KI KO KV LU LV NI OD PO RI SU TE VI VO ZA ZH ZP KR SL").split()
UKRAINIAN_PREFIXES = ["UR", "UT", "UX", "UY", "UZ", "US", "UW", "UV", "UU", "EM", "EN", "EO"]
# Prefixes cty.dat places outside Ukraine, weighted roughly as a European contest hears them.
FOREIGN_PREFIXES = (["DL"] * 8 + ["DK", "DJ", "DO"] * 2 + ["OK"] * 5 + ["OM"] * 3 + ["SP"] * 6 + ["HA"] * 3 +
                    ["YO"] * 3 + ["LZ"] * 3 + ["S5", "9A", "YU", "E7", "Z3"] * 2 + ["UA"] * 6 + ["RA", "RW", "RZ"] * 2 +
                    ["UA9", "RA9", "R0"] * 2 + ["EW", "EU"] * 2 + ["ER"] * 2 + ["YL", "LY", "ES"] * 2 +
                    ["G", "M", "F", "I", "EA", "CT", "ON", "PA", "OZ", "SM", "LA", "OH", "HB9", "OE", "SV"] +
                    ["JA", "JH", "K", "W", "N", "VE", "PY", "LU", "ZS", "VK", "4X", "TA"])
LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"

# Run frequencies (kHz) per band and Cabrillo mode code.
FREQUENCIES = {
    ("80m", "RY"): 3585, ("40m", "RY"): 7040, ("20m", "RY"): 14085, ("15m", "RY"): 21085, ("10m", "RY"): 28085,
    ("80m", "PK"): 3580, ("40m", "PK"): 7037, ("20m", "PK"): 14072, ("15m", "PK"): 21072, ("10m", "PK"): 28122,
}

# (band, mode, minutes). Stints of 3 to 9 minutes are band changes the plug-in must
# treat as too short; the others last ten minutes or more.
SCHEDULE = [
    ("20m", "RY", 55), ("15m", "RY", 40), ("10m", "RY", 6), ("15m", "RY", 25), ("20m", "PK", 35),
    ("40m", "PK", 9), ("20m", "PK", 20), ("20m", "RY", 45), ("10m", "PK", 10), ("15m", "PK", 30),
    ("40m", "RY", 50), ("80m", "RY", 4), ("40m", "RY", 30), ("80m", "RY", 60), ("80m", "PK", 40),
    ("40m", "PK", 25), ("20m", "RY", 7), ("40m", "RY", 35), ("80m", "RY", 45), ("80m", "PK", 12),
]


def make_call(rng, prefix):
    digit = "" if prefix[-1].isdigit() else str(rng.randrange(1, 10))
    suffix = "".join(rng.choice(LETTERS) for _ in range(rng.choice((1, 2, 2, 3, 3, 3))))
    return prefix + digit + suffix


def make_stations(rng):
    stations, seen = [], set()
    while len(stations) < 110:
        call = make_call(rng, rng.choice(UKRAINIAN_PREFIXES))
        if call not in seen:
            seen.add(call)
            stations.append({"call": call, "area": rng.choice(AREAS)})
    while len(stations) < 280:
        call = make_call(rng, rng.choice(FOREIGN_PREFIXES))
        if call not in seen:
            seen.add(call)
            # Big stations make many QSOs, so their serials run fast.
            stations.append({"call": call, "area": None, "serial": rng.randrange(1, 40),
                             "rate": rng.choice((0.2, 0.5, 1.0, 1.5, 2.5))})
    rng.shuffle(stations)
    return stations


def received_exchange(rng, station, minute):
    if station["area"] is not None:
        roll = rng.random()
        if roll < 0.03:
            return "XX"  # nobody's area
        if roll < 0.06:
            return station["area"].lower()
        return station["area"]
    return "%03d" % (station["serial"] + int(station["rate"] * minute))


def qso_line(khz, mode, when, serial, call, exchange):
    line = "QSO: %5s %-2s %s %-13s %3s %-6s %-13s %3s %-6s" % (
        khz, mode, when.strftime("%Y-%m-%d %H%M"), OWN_CALL, "599", "%03d" % serial, call, "599", exchange)
    return line.rstrip()


def generate():
    rng = random.Random(SEED)
    stations = make_stations(rng)
    worked = {}  # (call, band, mode) -> True
    qsos = []    # (time, khz, mode code, call, exchange)
    clock = START
    for band, mode, minutes in SCHEDULE:
        end = clock + datetime.timedelta(minutes=minutes)
        khz = FREQUENCIES[(band, mode)] + rng.randrange(0, 6)
        t = clock + datetime.timedelta(minutes=rng.randrange(0, 2))
        while t < end:
            candidates = [s for s in stations if (s["call"], band, mode) not in worked]
            station = rng.choice(candidates)
            worked[(station["call"], band, mode)] = True
            minute = int((t - START).total_seconds() // 60)
            qsos.append((t, khz, mode, station["call"], received_exchange(rng, station, minute)))
            t += datetime.timedelta(minutes=rng.choice((1, 1, 1, 1, 2, 2, 2, 3, 3, 4)))
        clock = end + datetime.timedelta(minutes=rng.choice((0, 0, 1, 2)))

    # Dupes: the same station again on the same band and mode a little later.
    for index in sorted(rng.sample(range(20, len(qsos) - 20), 5)):
        t, khz, mode, call, exchange = qsos[index]
        later = next((q[0] for q in qsos[index + 1:] if q[1] == khz and q[2] == mode), None)
        if later is not None:
            qsos.append((later, khz, mode, call, exchange))
    # A Ukrainian station that sent a serial number instead of its area.
    ukrainian = next(s for s in stations if s["area"] is not None and (s["call"], "20m", "RY") not in worked)
    t = next(q[0] for q in qsos if q[1] // 1000 == 14 and q[2] == "RY")
    qsos.append((t, 14087, "RY", ukrainian["call"], "012"))
    # Outside the contest's bands and modes: 160 m, and PSK31 on 20 m.
    t160 = next(q[0] for q in qsos if q[1] // 1000 == 3 and q[2] == "RY")
    qsos.append((t160, 1838, "RY", make_call(rng, "UT"), rng.choice(AREAS)))
    t31 = next(q[0] for q in qsos if q[1] // 1000 == 14 and q[2] == "PK")
    qsos.append((t31, 14070, "PSK31", make_call(rng, "DL"), "%03d" % rng.randrange(10, 90)))

    qsos.sort(key=lambda q: q[0])  # stable: added QSOs follow the one of the same minute
    return qsos


def write(path, qsos):
    header = [
        "START-OF-LOG: 3.0",
        "CREATED-BY: make_sample_log.py (sample data)",
        "CONTEST: TALVEN-CUP",
        "CALLSIGN: " + OWN_CALL,
        "LOCATION: DX",
        "CATEGORY-OPERATOR: SINGLE-OP",
        "CATEGORY-ASSISTED: NON-ASSISTED",
        "CATEGORY-BAND: ALL",
        "CATEGORY-MODE: DIGI",
        "CATEGORY-POWER: LOW",
        "CATEGORY-TRANSMITTER: ONE",
        "CLAIMED-SCORE: 0",
        "OPERATORS: " + OWN_CALL,
        "NAME: Sample Operator",
        "SOAPBOX: Generated test log; every call sign in it is made up.",
    ]
    lines = header + [qso_line(khz, mode, t, n, call, exchange)
                      for n, (t, khz, mode, call, exchange) in enumerate(qsos, start=1)]
    lines.append("END-OF-LOG:")
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def main(argv):
    if len(argv) > 2 or (len(argv) == 2 and argv[1] in ("-h", "--help")):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = argv[1] if len(argv) == 2 else os.path.join(root, "data", "sample.log")
    qsos = generate()
    try:
        write(path, qsos)
    except OSError as e:
        print("make_sample_log: cannot write %s: %s" % (path, e.strerror), file=sys.stderr)
        return 1
    print("make_sample_log: %d QSOs written to %s" % (len(qsos), path), file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
