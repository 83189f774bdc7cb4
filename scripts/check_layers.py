#!/usr/bin/env python3
"""Checks the include rules of ARCHITECTURE.md: each folder of the plug-in includes only
what lies below it, every include names its folder from one root (no "../"), the
stand-in host includes nothing of the plug-in, and modepad nothing of the plug-in or the
host. Prints each broken rule; exit 1 when there is one."""
import os
import re
import sys

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# The portable room of common/ (the library common_portable): every folder of the
# plug-in and of the replay tool may use it, and it uses nothing of theirs.
PORTABLE = ["ascii_text.h", "cp1251_table.h", "whole_file.h"]

# What the files under each folder of stats/ may include, besides their own folder and
# the standard and system headers (angle brackets). The longest matching key wins.
ALLOWED = {
    # The portable room uses only the Win32 owners, in its Windows half.
    "common/": ["win32_owners.h"],
    "stats/base/": [],
    "stats/contest/": ["base/"],
    "stats/platform/seams.h": ["contest/"],
    "stats/settings.": ["platform/seams.h"],
    "stats/operator/": ["base/", "contest/"],
    "stats/reports/": ["base/", "contest/", "platform/seams.h", "settings.h"],
    "stats/automation/": ["base/", "win32_owners.h"],
    "stats/drawn/": ["win32_owners.h", "platform/diagnostics.h"],
    "stats/windows/": ["base/", "contest/", "operator/", "automation/", "drawn/", "platform/seams.h",
                       "platform/diagnostics.h", "settings.h", "resources/", "win32_owners.h"],
    "stats/platform/": ["base/", "contest/", "windows/", "resources/", "win32_owners.h"],
    "stats/plugin.": ["base/", "contest/", "platform/", "reports/", "settings.h"],
    "stats/export_guard.": ["platform/seams.h"],
    "stats/exports.": ["export_guard.h", "base/", "contest/", "platform/", "reports/", "settings.h", "plugin.h"],
    "stats/dllmain.": ["base/", "contest/", "platform/", "windows/", "plugin.h", "win32_owners.h"],
    # The replay tool's rooms (include root host/).
    "host/logs/": [],
    "host/plugin/": ["logs/", "win32_owners.h"],
    "host/analysis/": ["logs/", "plugin/"],
    "host/replay/": ["logs/", "plugin/", "analysis/", "win32_owners.h"],
    "host/standin/": ["logs/", "plugin/", "win32_owners.h", "window_base.h", "window_search.h"],
}
# Programs apart from the plug-in, and the folders they must not reach into.
APART = {"host": ["stats"], "modepad": ["stats", "host"]}
SOURCE = re.compile(r"\.(h|hpp|cpp|cc)$")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def own_folder(path):
    rel = path.split("/", 1)[1]
    return rel.split("/")[0] + "/" if "/" in rel else None


def main():
    problems = []
    for top in ("stats", "host", "modepad", "common", "tests", "bench"):
        for folder, _, files in os.walk(os.path.join(root, top)):
            for name in files:
                if not SOURCE.search(name):
                    continue
                path = os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")
                with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
                    lines = f.readlines()
                for number, line in enumerate(lines, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    target = m.group(1)
                    where = f"{path}:{number}: \"{target}\""
                    if "../" in target:
                        problems.append(f"{where}: includes name their folder from the root, not with ../")
                    if top in APART:
                        # Their own include root is their folder: "plugin.h" in host/ is theirs.
                        own = any(os.path.exists(os.path.join(root, d, target))
                                  for d in (os.path.dirname(path), top))
                        for other in APART[top]:
                            if not own and (target.startswith(other + "/") or
                                            os.path.exists(os.path.join(root, other, target))):
                                problems.append(f"{where}: {top}/ includes nothing of {other}/")
                    if top not in ("stats", "host", "common"):
                        continue
                    keys = [k for k in ALLOWED if path.startswith(k)]
                    if not keys:
                        continue
                    own = own_folder(path) or os.path.splitext(path.split("/")[-1])[0] + ".h"
                    allowed = ALLOWED[max(keys, key=len)] + [own] + (PORTABLE if top != "common" else [])
                    if not any(target.startswith(a) for a in allowed if a):
                        problems.append(f"{where}: not below {max(keys, key=len)}")
    for p in problems:
        print(p)
    print(f"layers: {'ok' if not problems else str(len(problems)) + ' broken'}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
