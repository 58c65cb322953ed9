#!/usr/bin/env python3
"""Peer for the pane benchmark: the same plain-text work in Python, on the same file.

Reads the file, decodes it (UTF-8, else Windows-1252 with every byte kept), splits it into
lines at CR LF, CR or LF, joins them again with CR LF after each line, encodes it the way it
was read and writes it. Prints the seconds taken.
"""
import sys
import time


def main(source, target):
    start = time.perf_counter()
    with open(source, "rb") as f:
        data = f.read()
    try:
        text, encoding = data.decode("utf-8"), "utf-8"
    except UnicodeDecodeError:
        text, encoding = data.decode("latin-1"), "latin-1"
    lines = text.splitlines()
    out = "".join(line + "\r\n" for line in lines)
    with open(target, "wb") as f:
        f.write(out.encode(encoding))
    print(f"{time.perf_counter() - start:.3f}")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
