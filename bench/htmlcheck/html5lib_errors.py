#!/usr/bin/python3
"""html5lib parsing a file with its parse errors collected, as the HTML check does: prints the
number of errors. Usage: html5lib_errors.py FILE"""
import sys

import html5lib

parser = html5lib.HTMLParser(strict=False)
with open(sys.argv[1], "rb") as page:
    parser.parse(page)
print(len(parser.errors))
