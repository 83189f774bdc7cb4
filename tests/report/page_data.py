#!/usr/bin/env python3
"""The data of an analysis page without its markup: the summary, every table row by
row, the title of every bar of every chart, the notes and the counts of lists cut
short. Golden files compare this, so the look of the page may change freely.

    page_data.py PAGE.html
"""
import html.parser
import sys


class PageData(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.out = []
        self.stack = []       # open elements: (tag, attributes)
        self.text = None      # text being collected, or None
        self.row = None       # cells of the table row being read
        self.errors = []

    def _inside(self, tag, cls=None):
        return any(t == tag and (cls is None or cls in (a.get("class") or "").split()) for t, a in self.stack)

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag not in ("meta", "br", "line", "img", "input"):
            self.stack.append((tag, a))
        if tag == "table" and a.get("id"):
            self.out.append("[%s]" % a["id"])
        elif tag == "svg" and a.get("id"):
            self.out.append("[%s]" % a["id"])
        elif tag == "tr":
            self.row = []
        elif tag in ("td", "th") and self.row is not None:
            self.text = ""
        elif tag == "pre" and "summary" in (a.get("class") or ""):
            self.out.append("[summary]")
            self.text = ""
        elif tag == "iframe" and "summary" in (a.get("class") or ""):
            self.out.append("[summary]")
            self.out.extend(a.get("srcdoc", "").split("\n"))
        elif tag == "title" and self._inside("g", "bar"):
            self.text = ""
        elif tag == "p" and (a.get("class") or "") in ("note", "more"):
            self.text = ""

    def handle_endtag(self, tag):
        while any(t == tag for t, _ in self.stack):
            if self.stack.pop()[0] == tag:
                break
        if tag in ("td", "th") and self.row is not None and self.text is not None:
            self.row.append(" ".join(self.text.split()))
            self.text = None
        elif tag == "tr" and self.row is not None:
            self.out.append(" | ".join(self.row))
            self.row = None
        elif tag == "pre" and self.text is not None:
            self.out.extend(self.text.rstrip("\n").split("\n"))
            self.text = None
        elif tag in ("title", "p") and self.text is not None:
            self.out.append(("bar: " if tag == "title" else "") + " ".join(self.text.split()))
            self.text = None

    def handle_data(self, data):
        if self.text is not None:
            self.text += data


def dump(page):
    p = PageData()
    p.feed(page)
    p.close()
    return "\n".join(p.out) + "\n"


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip())
    with open(sys.argv[1], encoding="utf-8") as f:
        sys.stdout.write(dump(f.read()))
