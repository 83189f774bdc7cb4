#!/usr/bin/env python3
"""Opens an analysis page in headless Chromium, as a reader would from disk, and checks
what only a browser can tell: the page is drawn (a screenshot that is not blank), each
chart's SVG is laid out with one bar per hour of the log, and the browser reports no
error and fetches nothing but the page itself.

    browser_check.py CHROMIUM PAGE.html LOG [--screenshot OUT.png] [--size WIDTHxHEIGHT]

Chromium is driven through its DevTools protocol on a pipe (no network port). Exit
status 0 when everything holds, 1 when something does not, 77 when there is no Chromium.
"""
import argparse
import datetime
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

BAR_CHARTS = ("chart-rate", "chart-score", "chart-multipliers")
FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--hide-scrollbars", "--remote-debugging-pipe"]


def hours_of_log(path):
    """How many one-hour bars the log's QSOs span, read from the log itself."""
    times = []
    with open(path, encoding="latin-1") as f:
        for line in f:
            m = re.match(r"QSO:\s+\S+\s+\S+\s+(\d{4}-\d\d-\d\d)\s+(\d{4})\s", line)
            if m:
                times.append(datetime.datetime.strptime(m.group(1) + m.group(2), "%Y-%m-%d%H%M"))
    first = min(times).replace(minute=0)
    return int((max(times) - first).total_seconds() // 3600) + 1


class Browser:
    """Chromium with its DevTools protocol on file descriptors 3 (in) and 4 (out)."""

    def __init__(self, chromium, profile):
        to_browser_r, self.to_browser = os.pipe()
        self.from_browser, from_browser_w = os.pipe()

        def fds():
            os.dup2(to_browser_r, 3)
            os.dup2(from_browser_w, 4)

        self.proc = subprocess.Popen([chromium] + FLAGS + ["--user-data-dir=" + profile, "about:blank"],
                                     pass_fds=(3, 4), preexec_fn=fds, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self.buffer = b""
        self.next_id = 0
        self.events = []

    def call(self, method, params=None, session=None, timeout=30):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.time() + timeout
        while True:
            m = self.receive(deadline)
            if m.get("id") == self.next_id:
                if "error" in m:
                    raise RuntimeError("%s: %s" % (method, m["error"]))
                return m.get("result", {})
            self.events.append(m)

    def receive(self, deadline):
        while b"\0" not in self.buffer:
            if time.time() > deadline:
                raise TimeoutError("Chromium did not answer in time")
            chunk = os.read(self.from_browser, 1 << 16)
            if not chunk:
                raise EOFError("Chromium ended")
            self.buffer += chunk
        message, _, self.buffer = self.buffer.partition(b"\0")
        return json.loads(message)

    def wait_for(self, method, deadline):
        while True:
            for m in self.events:
                if m.get("method") == method:
                    return m
            self.events.append(self.receive(deadline))

    def close(self):
        try:
            self.call("Browser.close", timeout=5)
        except Exception:
            pass
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


def png_pixels(data):
    """Width, height and rows of RGB(A) bytes of an 8-bit PNG, unfiltered."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    assert depth == 8 and colour in (2, 6), "unexpected PNG format"
    bpp = 4 if colour == 6 else 3
    raw, stride, rows, previous = zlib.decompress(idat), width * bpp, [], bytearray(width * bpp)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b, c = previous[i], previous[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        previous = line
    return width, height, bpp, rows


# Evaluated in the page by the test, not by the page: what the browser laid out.
LAYOUT = """(() => {
  const out = {};
  for (const svg of document.querySelectorAll('svg.chart')) {
    const box = svg.getBoundingClientRect();
    const bars = svg.querySelectorAll('g.bar');
    let drawn = 0;
    for (const r of svg.querySelectorAll('g.bar rect')) {
      const b = r.getBoundingClientRect();
      if (b.width > 0 && b.height > 0) drawn++;
    }
    out[svg.id] = {width: box.width, height: box.height, bars: bars.length, drawn: drawn};
  }
  out.text = document.body.innerText.length;
  out.height = document.documentElement.scrollHeight;
  return JSON.stringify(out);
})()"""


def check(args):
    problems = []
    expected_bars = hours_of_log(args.log)
    width, height = (int(v) for v in args.size.split("x"))
    url = "file://" + os.path.abspath(args.page)
    profile = tempfile.mkdtemp(prefix="talven-chromium-")
    browser = Browser(args.chromium, profile)
    try:
        target = browser.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = browser.call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        for domain in ("Page", "Runtime", "Log", "Network"):
            browser.call(domain + ".enable", session=session)
        browser.call("Emulation.setDeviceMetricsOverride",
                     {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False}, session=session)
        browser.events.clear()
        browser.call("Page.navigate", {"url": url}, session=session)
        browser.wait_for("Page.loadEventFired", time.time() + 30)
        layout = json.loads(browser.call("Runtime.evaluate", {"expression": LAYOUT, "returnByValue": True},
                                         session=session)["result"]["value"])
        shot = browser.call("Page.captureScreenshot", {"format": "png"}, session=session)
        png = __import__("base64").b64decode(shot["data"])
        # Whatever the browser said or fetched meanwhile.
        for m in browser.events:
            method, p = m.get("method"), m.get("params", {})
            if method == "Runtime.exceptionThrown":
                problems.append("exception: %s" % p.get("exceptionDetails", {}).get("text"))
            elif method == "Runtime.consoleAPICalled" and p.get("type") in ("error", "assert"):
                problems.append("console error: %s" % p.get("args"))
            elif method == "Log.entryAdded" and p.get("entry", {}).get("level") == "error":
                problems.append("browser error: %s" % p["entry"].get("text"))
            elif method == "Network.loadingFailed":
                problems.append("a load failed: %s" % p.get("errorText"))
            elif method == "Network.requestWillBeSent":
                requested = p.get("request", {}).get("url", "")
                if requested != url and not requested.startswith("data:"):
                    problems.append("the page fetched %s" % requested)
    finally:
        browser.close()
        shutil.rmtree(profile, ignore_errors=True)

    for chart in BAR_CHARTS + ("chart-changes",):
        got = layout.get(chart)
        if not got:
            problems.append("%s: no such SVG" % chart)
        elif got["width"] < 200 or got["height"] < 40:
            problems.append("%s: laid out at %.0f x %.0f" % (chart, got["width"], got["height"]))
        elif chart in BAR_CHARTS and (got["bars"] != expected_bars or got["drawn"] == 0):
            problems.append("%s: %d bars, %d of their rectangles drawn; expected %d bars, one an hour"
                            % (chart, got["bars"], got["drawn"], expected_bars))
    if layout.get("text", 0) < 500:
        problems.append("the page holds %d characters of text" % layout.get("text", 0))

    w, h, bpp, rows = png_pixels(png)
    colours, inked = set(), 0
    for row in rows[::4]:
        for x in range(0, w * bpp, 4 * bpp):
            pixel = bytes(row[x:x + 3])
            colours.add(pixel)
            inked += pixel != b"\xff\xff\xff"
    share = inked / ((len(rows[::4])) * len(range(0, w * bpp, 4 * bpp)))
    if len(colours) < 16 or share < 0.05:
        problems.append("the screenshot looks blank: %d colours, %.1f%% not white" % (len(colours), 100 * share))
    if args.screenshot:
        with open(args.screenshot, "wb") as f:
            f.write(png)
    return problems, expected_bars, share


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("chromium")
    parser.add_argument("page")
    parser.add_argument("log")
    parser.add_argument("--screenshot")
    parser.add_argument("--size", default="1100x1400")
    args = parser.parse_args()
    chromium = shutil.which(args.chromium)
    if not chromium:
        print("browser check: skipped, no %s (scripts/setup.sh installs Debian's chromium)" % args.chromium)
        return 77
    args.chromium = chromium
    started = time.time()
    problems, bars, share = check(args)
    for p in problems:
        print("browser check: " + p)
    print("browser check: %s, %d bars a chart, %.0f%% of the screenshot drawn, %.1f s"
          % ("failed" if problems else "passed", bars, 100 * share, time.time() - started))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
