#!/usr/bin/env python3
"""Writes the link-check benchmark's site: PAGES pages of LINKS links each, 5 % of the links
to pages that do not exist, 5 % to addresses nginx redirects, and a few pages served slowly.
Every choice is drawn from a fixed seed, so each run checks the same site.
Usage: make_site.py FOLDER [PAGES] [LINKS]"""
import os
import random
import sys

folder = sys.argv[1]
pages = int(sys.argv[2]) if len(sys.argv) > 2 else 2000
links = int(sys.argv[3]) if len(sys.argv) > 3 else 10
rng = random.Random(20261208)
os.makedirs(os.path.join(folder, "slow"), exist_ok=True)
slow = 5
for n in range(pages):
    items = []
    # A chain through every page, so a recursive walk reaches them all.
    items.append(f'<a href="p{(n + 1) % pages}.html">next page</a>')
    for k in range(links - 1):
        roll = rng.random()
        if roll < 0.05:
            items.append(f'<a href="missing{n}-{k}.html">missing {k}</a>')
        elif roll < 0.10:
            items.append(f'<a href="/r/p{rng.randrange(pages)}.html">moved {k}</a>')
        elif roll < 0.101:
            items.append(f'<a href="/slow/s{rng.randrange(slow)}.html">slow {k}</a>')
        else:
            items.append(f'<a href="p{rng.randrange(pages)}.html">page {k}</a>')
    body = "\n".join(f"<li>{item}</li>" for item in items)
    with open(os.path.join(folder, f"p{n}.html"), "w") as f:
        f.write(f"<!doctype html><html><head><title>Page {n}</title></head><body><h1>Page {n}</h1>"
                f"<ul>\n{body}\n</ul></body></html>\n")
for s in range(slow):
    with open(os.path.join(folder, "slow", f"s{s}.html"), "w") as f:
        f.write("<!doctype html><p>" + "slow " * 2000 + "</p>\n")
with open(os.path.join(folder, "index.html"), "w") as f:
    f.write('<!doctype html><a href="p0.html">start</a>\n')
