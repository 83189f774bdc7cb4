#!/usr/bin/env python3
"""Writes a made-up TALVEN-CUP contest: the Cabrillo logs of N stations that worked each
other and stations that sent no log, with errors of every kind planted, and the truth:
every finding the cross-check of talven-replay must make (tolerance 3 minutes), as the
columns of its --findings CSV but log and detail.

Planted, at most one per pair of stations so that each finding has one cause:
  busted_call      a logged a call one edit from b's, near no other station
  onto_station     a worked the twin X' of a station X (one edit apart, both sent logs)
                   and logged X: a busted call for a, nothing for X' or X
  busted_exchange  a logged another exchange than b sent
  only_a           b has no record: nil for a
  time             a logged the QSO 4 to 30 minutes off: nil for both, each naming the
                   other's QSO as the nearest
  band, mode       a logged another band or mode: the same
Some stations are portable: their own call is X/P, X/M, X/QRP, X/<digit> or DL/X,
while the others log X, or X with the same suffix; no finding comes of that.

    make_contest.py --logs N [--qsos MIN-MAX] [--seed S] [--errors FRACTION] OUT_DIR
    make_contest.py --pair QSOS OUT_DIR     two stations working each other QSOS times
The truth goes to OUT_DIR/truth.csv (not a log: the folder's logs are *.log and *.cbr).
"""
import argparse
import os
import random

BANDS = [("80m", 3585, 3580), ("40m", 7040, 7037), ("20m", 14085, 14072), ("15m", 21085, 21072),
         ("10m", 28085, 28122)]
MODES = ["RY", "PK"]
SLOTS = [(b, m) for b in range(len(BANDS)) for m in range(len(MODES))]
PREFIXES = ["DL", "OK", "SP", "UT", "UR", "OH", "HA", "YU", "LY", "ES", "S5", "OM", "9A", "F", "G", "I", "EA",
            "PA", "ON", "OE", "4Z", "SM", "LZ", "YO"]
AREAS = ["KV", "KO", "LV", "OD", "KI", "DN", "HA", "ZP"]
SUFFIXES = ["/P", "/M", "/QRP", "/3", "DL/"]
START = 12 * 60  # minutes from 2024-12-14 00:00
LENGTH = 24 * 60
TOLERANCE = 3


def forms(call):
    """The call and each of its one-deletion forms: two calls are at most one edit apart
    only when their forms meet."""
    return {call} | {call[:i] + call[i + 1:] for i in range(len(call))}


def one_edit(a, b):
    if abs(len(a) - len(b)) > 1 or a == b:
        return False
    if len(a) > len(b):
        a, b = b, a
    i = 0
    while i < len(a) and a[i] == b[i]:
        i += 1
    return a[i + 1:] == b[i + 1:] if len(a) == len(b) else a[i:] == b[i + 1:]


class Calls:
    """Calls kept at least two edits apart, but for the twins planted on purpose."""

    def __init__(self, rnd):
        self.rnd = rnd
        self.by_form = {}

    def near(self, call):
        found = set()
        for f in forms(call):
            found |= self.by_form.get(f, set())
        return {c for c in found if c == call or one_edit(c, call)}

    def add(self, call):
        for f in forms(call):
            self.by_form.setdefault(f, set()).add(call)

    def new(self):
        while True:
            call = (self.rnd.choice(PREFIXES) + str(self.rnd.randint(0, 9)) +
                    "".join(self.rnd.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZ") for _ in range(self.rnd.randint(2, 3))))
            if not self.near(call):
                self.add(call)
                return call

    def twin(self, call):
        """A call one edit from call and from no other."""
        for _ in range(100):
            t = call + self.rnd.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZ")
            if self.near(t) == {call}:
                self.add(t)
                return t
        return None

    def busted(self, call):
        """A call one edit from call and from no other known call."""
        letters = [i for i in range(len(call)) if call[i].isalpha() and any(c.isdigit() for c in call[:i])]
        for _ in range(100):
            i = self.rnd.choice(letters)
            t = call[:i] + self.rnd.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZ") + call[i + 1:]
            if t != call and self.near(t) == {call}:
                return t
        return None


def minute_text(m):
    day, m = divmod(m, 24 * 60)
    return "2024-12-%02d %02d%02d" % (14 + day, m // 60, m % 60)


def make(args):
    rnd = random.Random(args.seed)
    calls = Calls(rnd)
    stations = []  # own call (as the log gives it), station call
    if args.pair:
        n, budgets = 2, [args.pair, args.pair]
    else:
        n = args.logs
        low, high = args.qsos
        budgets = [rnd.randint(low, high) for _ in range(n)]
    twins = {}  # station index -> its twin's index
    while len(stations) < n:
        base = calls.new()
        own = base
        if not args.pair and rnd.random() < 0.05:
            s = rnd.choice(SUFFIXES)
            own = s + base if s.endswith("/") else base + s
        stations.append((own, base))
        if not args.pair and len(stations) < n and rnd.random() < 0.06:
            t = calls.twin(base)
            if t:
                twins[len(stations) - 1] = len(stations)
                twins[len(stations)] = len(stations) - 1
                stations.append((t, t))
    records = [[] for _ in range(n)]  # [minute, band, mode, call logged, contact, role]
    contacts = []  # a, b, slot, minute a, minute b, plant
    used = {}  # (a, b) -> slots worked
    planted = set()  # pairs with an error already

    def pair_key(a, b):
        return (a, b) if a < b else (b, a)

    # Contacts between stations with logs: stubs paired at random. Two stations work
    # each other at most once per band and mode, so that no finding has two readings.
    share = 0.8
    if args.pair:
        # Each band and mode's QSOs more than the tolerance apart, over as many days as it takes.
        for k in range(args.pair):
            minute = START + (k // len(SLOTS)) * (TOLERANCE + 1)
            contacts.append([0, 1, SLOTS[k % len(SLOTS)], minute, minute, None])
        used[(0, 1)] = set(SLOTS)
        share = 1.0
    stubs = [] if args.pair else [s for s in range(n) for _ in range(int(budgets[s] * share))]
    rnd.shuffle(stubs)
    for i in range(0, len(stubs) - 1, 2):
        a, b = stubs[i], stubs[i + 1]
        if a == b:
            continue
        slots = used.setdefault(pair_key(a, b), set())
        free = [s for s in SLOTS if s not in slots]
        if not free:
            continue
        slot = rnd.choice(free)
        slots.add(slot)
        minute = START + rnd.randrange(LENGTH - 40)
        contacts.append([a, b, slot, minute, minute + rnd.choice([0, 0, 1, -1]), None])
    plants = ["busted_call", "onto_station", "busted_exchange", "only_a", "time", "band", "mode"]
    for c in contacts:
        a, b = c[0], c[1]
        if args.pair or rnd.random() >= args.errors or pair_key(a, b) in planted:
            continue
        # A twin's QSOs are where a busted call can land on another station's call.
        kind = "onto_station" if b in twins and rnd.random() < 0.5 else rnd.choice(plants)
        if kind == "onto_station":
            # a works b, the twin of x, and logs x.
            x = twins.get(b)
            if x is None or x == a or pair_key(a, x) in planted or pair_key(a, x) in used:
                continue
            planted.add(pair_key(a, x))
            c[5] = ("onto_station", x)
        elif kind == "busted_call":
            wrong = calls.busted(stations[b][1])
            if not wrong:
                continue
            c[5] = ("busted_call", wrong)
        elif kind in ("band", "mode"):
            free = [s for s in SLOTS if s not in used[pair_key(a, b)] and
                    (s[0] == c[2][0] if kind == "mode" else s[1] == c[2][1])]
            if not free:
                continue
            used[pair_key(a, b)].add(free[0])
            c[5] = (kind, free[0])
        else:
            c[5] = (kind, None)
        planted.add(pair_key(a, b))

    for k, (a, b, slot, ma, mb, plant) in enumerate(contacts):
        own_a, own_b = stations[a], stations[b]
        logged_b = stations[b][1]
        if stations[b][0] != stations[b][1] and rnd.random() < 0.5:
            logged_b = stations[b][0]  # the portable call as it was given
        logged_a = stations[a][1] if rnd.random() < 0.5 else stations[a][0]
        slot_a = slot
        kind = plant[0] if plant else None
        if kind == "busted_call":
            logged_b = plant[1]
        elif kind == "onto_station":
            logged_b = stations[plant[1]][1]
        elif kind == "time":
            ma = mb + rnd.choice([-1, 1]) * rnd.randint(TOLERANCE + 1, 30)
        elif kind in ("band", "mode"):
            slot_a = plant[1]
        records[a].append([ma, slot_a, logged_b, k, "a"])
        if kind != "only_a":
            records[b].append([mb, slot, logged_a, k, "b"])
    # QSOs with stations that sent no log.
    outsiders = [calls.new() for _ in range(max(20, n // 4))]
    for s in range(n):
        for _ in range(0 if args.pair else budgets[s] - int(budgets[s] * share)):
            records[s].append([START + rnd.randrange(LENGTH), rnd.choice(SLOTS), rnd.choice(outsiders), None, None])
    return stations, records, contacts


def write(args, stations, records, contacts):
    os.makedirs(args.out, exist_ok=True)
    rnd = random.Random(args.seed + 1)
    header = 9
    files, sent, line_of = [], {}, {}
    for s, (own, base) in enumerate(stations):
        records[s].sort(key=lambda r: r[0])
        ua = base[:2] in ("UT", "UR")
        for serial, r in enumerate(records[s], 1):
            r.append(rnd.choice(AREAS) if ua else "%03d" % serial)
            if r[3] is not None:
                sent[(r[3], r[4])] = r[-1]
                line_of[(r[3], r[4])] = header + serial
        files.append(base.replace("/", "_").lower() + (".cbr" if s % 7 == 3 else ".log"))
    truth = []
    for s, (own, base) in enumerate(stations):
        lines = ["START-OF-LOG: 3.0", "CREATED-BY: make_contest.py (test data)", "CONTEST: TALVEN-CUP",
                 "CALLSIGN: " + own, "CATEGORY-OPERATOR: SINGLE-OP", "CATEGORY-MODE: DIGI",
                 "CLAIMED-SCORE: %d" % (len(records[s]) * 3), "OPERATORS: " + base,
                 "SOAPBOX: made-up test log with planted errors"]
        for serial, r in enumerate(records[s], 1):
            minute, (band, m), call, k, role, exchange = r
            mode = MODES[m]
            received = "%03d" % rnd.randint(1, 999)
            if k is not None:
                other = "b" if role == "a" else "a"
                received = sent.get((k, other), received)
                plant = contacts[k][5]
                if role == "a" and plant and plant[0] == "busted_exchange":
                    received = "X" + received
                finding = truth_of(contacts, stations, k, role, line_of)
                if finding:
                    truth.append((stations[s][0], header + serial, minute_text(minute)[:10] + " " +
                                  minute_text(minute)[11:13] + ":" + minute_text(minute)[13:], call,
                                  BANDS[band][0], "RTTY" if mode == "RY" else "BPSK63") + finding)
            freq = BANDS[band][1] if mode == "RY" else BANDS[band][2]
            lines.append("QSO: %5d %s %s %-13s 599 %-6s %-13s 599 %s" % (freq, mode, minute_text(minute), own,
                                                                        exchange, call, received))
        lines.append("END-OF-LOG:")
        with open(os.path.join(args.out, files[s]), "w", newline="\r\n") as out:
            out.write("\n".join(lines) + "\n")
    truth.sort(key=lambda t: (t[0], t[1]))
    with open(os.path.join(args.out, "truth.csv"), "w") as out:
        out.write("station,line,time,call,band,mode,finding,other_station,other_line\n")
        for t in truth:
            out.write(",".join(str(v) for v in t) + "\n")


def truth_of(contacts, stations, k, role, line_of):
    """What the cross-check must say of one side of a contact: finding, other station's
    own call, other line; None when nothing."""
    a, b, slot, ma, mb, plant = contacts[k]
    if not plant:
        return None
    kind, value = plant
    me, other = (a, b) if role == "a" else (b, a)
    other_line = line_of.get((k, "b" if role == "a" else "a"), "")
    if kind in ("busted_call", "onto_station"):
        return ("busted_call", stations[b][0], other_line) if role == "a" else None
    if kind == "busted_exchange":
        return ("busted_exchange", stations[b][0], other_line) if role == "a" else None
    if kind == "only_a":
        return ("nil", stations[b][0], "")
    return ("nil", stations[other][0], other_line)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--logs", type=int, default=100)
    p.add_argument("--qsos", default="30-60")
    p.add_argument("--seed", type=int, default=1)
    p.add_argument("--errors", type=float, default=0.03)
    p.add_argument("--pair", type=int, default=0)
    p.add_argument("out")
    args = p.parse_args()
    args.qsos = tuple(int(v) for v in args.qsos.split("-")) if "-" in args.qsos else (int(args.qsos),) * 2
    write(args, *make(args))


if __name__ == "__main__":
    main()
