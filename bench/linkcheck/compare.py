#!/usr/bin/env python3
"""Reads the three checkers' reports and prints the broken and redirected addresses each
found, and every difference. Usage: compare.py TARNBY_CSV LINKCHECKER_CSV LINKINATOR_JSON"""
import csv
import json
import sys


def tarnby(path):
    broken, redirected = set(), set()
    with open(path, newline="") as f:
        for row in csv.DictReader(f):
            url = row["url"].split("#")[0]
            if row["verdict"] == "broken":
                broken.add(url)
            elif row["verdict"] == "redirected":
                redirected.add(url)
    return broken, redirected


def linkchecker(path):
    broken, redirected = set(), set()
    with open(path, newline="") as f:
        lines = [line for line in f if not line.startswith("#")]
    for row in csv.DictReader(lines, delimiter=";"):
        url = (row.get("url") or row.get("urlname") or "").split("#")[0]
        if row.get("valid", "True") in ("False", "false", "0"):
            broken.add(url)
        elif "redirect" in ((row.get("infostring") or "") + (row.get("warningstring") or "")).lower():
            redirected.add(url)
    return broken, redirected


def linkinator(path):
    broken = set()
    with open(path) as f:
        text = f.read()
    if "{" not in text:
        print(f"  linkinator wrote no report: {text[:200]!r}")
        return broken, set()
    data = json.loads(text[text.index("{"):])
    for link in data.get("links", []):
        if link.get("state") == "BROKEN":
            broken.add(link["url"].split("#")[0])
    return broken, set()


found = {"tarnby": tarnby(sys.argv[1])}
# A peer that did not run has /dev/null for its report.
for name, read, path in (("linkchecker", linkchecker, sys.argv[2]), ("linkinator", linkinator, sys.argv[3])):
    if path != "/dev/null":
        found[name] = read(path)
for name, (broken, redirected) in found.items():
    print(f"  {name:12} broken {len(broken):6}  redirected {len(redirected):6}")
base_broken, base_redirected = found["tarnby"]
for name, (broken, redirected) in found.items():
    if name == "tarnby":
        continue
    for what, ours, theirs in (("broken", base_broken, broken), ("redirected", base_redirected, redirected)):
        if what == "redirected" and not theirs:
            continue  # this peer does not report redirects
        only_ours, only_theirs = sorted(ours - theirs), sorted(theirs - ours)
        if only_ours or only_theirs:
            print(f"  DIFFERENCE {what} tarnby vs {name}: {len(only_ours)} only ours, {len(only_theirs)} only theirs")
            for url in (only_ours[:5] + only_theirs[:5]):
                print(f"    {url}")
