#!/usr/bin/env python3
"""Prints one "URL|text" line per link of an HTML file, with the standard html.parser: the peer
that Tarnby's passes are measured against. Fragment links and links without text are left out,
as the passes leave them out."""
import sys
from html.parser import HTMLParser


class Links(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.href = None
        self.text = []
        self.lines = []

    def handle_starttag(self, tag, attrs):
        if tag == "a":
            self.href = dict(attrs).get("href")
            self.text = []

    def handle_data(self, data):
        if self.href is not None:
            self.text.append(data)

    def handle_endtag(self, tag):
        if tag == "a" and self.href is not None:
            text = " ".join("".join(self.text).split())
            if text and "#" not in self.href:
                self.lines.append(self.href + "|" + text)
            self.href = None


def main():
    with open(sys.argv[1], encoding="latin-1") as page:
        parser = Links()
        parser.feed(page.read())
        parser.close()
    sys.stdout.write("\n".join(parser.lines) + "\n")


if __name__ == "__main__":
    main()
