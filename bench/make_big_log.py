#!/usr/bin/env python3
"""Writes a large made-up TALVEN-CUP Cabrillo log for timing the replay tool.

    make_big_log.py QSOS OUTPUT
"""
import random
import sys

BANDS = [(3580, "80m"), (7040, "40m"), (14080, "20m"), (21080, "15m"), (28080, "10m")]
AREAS = "CH CN CR DN DO HA HE HM IF KI KO KV LU LV NI OD PO RI SU TE VI VO ZA ZH ZP KR SL".split()
PREFIXES = "DL OK SP OM HA YU 9A S5 OE I F EA G PA ON LY YL ES OH SM LA OZ K W VE JA UA R".split()
LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"


def main(qsos, path):
    rng = random.Random(7)
    band, mode = 2, "RY"
    minute = 0
    with open(path, "w", newline="\r\n") as out:
        out.write("START-OF-LOG: 3.0\nCONTEST: TALVEN-CUP\nCALLSIGN: OK1XYZ\n")
        for i in range(qsos):
            if rng.randrange(40) == 0:
                band = rng.randrange(5)
            if rng.randrange(60) == 0:
                mode = "PK" if mode == "RY" else "RY"
            minute += rng.randrange(2)
            day, rest = divmod(minute, 1440)
            ukrainian = rng.randrange(3) == 0
            prefix = rng.choice(("UT", "UR", "US", "UX")) if ukrainian else rng.choice(PREFIXES)
            call = prefix + str(rng.randrange(10)) + "".join(rng.choice(LETTERS) for _ in range(rng.choice((2, 3))))
            exchange = rng.choice(AREAS) if ukrainian else "%03d" % rng.randrange(1, 999)
            khz = BANDS[band][0]
            out.write("QSO: %5d %s 2024-12-%02d %02d%02d OK1XYZ        599 %-6d %-13s 599 %s\n"
                      % (khz, mode, 14 + day % 14, rest // 60, rest % 60, i + 1, call, exchange))
        out.write("END-OF-LOG:\n")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip())
    main(int(sys.argv[1]), sys.argv[2])
