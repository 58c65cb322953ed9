#!/usr/bin/python3
"""html5lib's parse errors for the HTML parser's error reports: generated pages (or the files
named), each error as [line, code], html5lib's error names mapped to the codes our parser uses.
Errors html5lib names differently in ways that do not map one to one are left out.

  errors_oracle.py generate COUNT SEED      prints [{"page": TEXT, "errors": [[LINE, CODE], ...]}, ...]
  errors_oracle.py files FILE...            prints [{"page": TEXT, "errors": [...]}, ...] for the files
"""
import json
import random
import sys

import html5lib

MAPPED = {
    "duplicate-attribute": "duplicate-attribute",
    "named-entity-without-semicolon": "missing-semicolon-after-character-reference",
    "numeric-entity-without-semicolon": "missing-semicolon-after-character-reference",
    "expected-doctype-but-got-start-tag": "missing-doctype",
    "expected-doctype-but-got-chars": "missing-doctype",
    "expected-doctype-but-got-end-tag": "missing-doctype",
    "end-tag-too-early": "end-tag-closes-open-elements",
    "adoption-agency-1.3": "misnested-formatting",
    "unexpected-start-tag-implies-end-tag": "nested-start-tag",
    "expected-tag-name": "invalid-first-character-of-tag-name",
    "expected-tag-name-but-got-question-mark": "unexpected-question-mark-instead-of-tag-name",
    "attributes-in-end-tag": "end-tag-with-attributes",
    "non-void-element-with-trailing-solidus": "non-void-html-element-start-tag-with-trailing-solidus",
    "eof-in-comment": "eof-in-comment",
}

# One line each, so that html5lib's position (the end of a token) and ours (its start) share it.
SNIPPETS = [
    "<p>Plain text, nothing wrong.</p>",
    "<p a=1 b=2 a=3>duplicate</p>",
    "<p>&amp without semicolon &copy; &#65 &#x42;</p>",
    "<div><span>early</div>",
    "<b><i>misnested</b></i>",
    "<a href=one.html>one<a href=two.html>two</a>",
    "<p>1 < 2</p>",
    "<p>processing <?php echo 1; ?> instruction</p>",
    "<p>end tag</p x=1>",
    "<div/>self-closed div</div>",
    "<br/><img src=x alt=y/><hr>",
    "<!-- a comment -->",
    "<table><tr><td>cell</td></tr></table>",
    "<table><tr>misplaced<td>cell</td></tr></table>",
    "<ul><li>one<li>two</ul>",
    "<h1>heading</h1>",
    "<p><em>fine</em> <strong>too</strong></p>",
    "<dl><dt>term<dd>definition</dl>",
]


def errors_of(page):
    parser = html5lib.HTMLParser(strict=False)
    parser.parse(page)
    found = []
    for (line, _column), name, _data in parser.errors:
        if name in MAPPED:
            found.append([line, MAPPED[name]])
    return found


def generate(count, seed):
    rng = random.Random(seed)
    pages = []
    for _ in range(count):
        lines = []
        if rng.random() < 0.8:
            lines.append("<!DOCTYPE html>")
        lines.append("<title>generated</title>")
        lines += [rng.choice(SNIPPETS) for _ in range(rng.randint(3, 15))]
        text = "\n".join(lines) + "\n"
        # html5lib places eof-in-comment at the end of the page, we where the comment opens:
        # on one line both are the same.
        if rng.random() < 0.1:
            text += "<!-- never closed"
        pages.append(text)
    return pages


def main():
    if sys.argv[1] == "generate":
        pages = generate(int(sys.argv[2]), int(sys.argv[3]))
    else:
        pages = [open(name, encoding="utf-8", errors="replace").read() for name in sys.argv[2:]]
    json.dump([{"page": page, "errors": errors_of(page)} for page in pages], sys.stdout)


if __name__ == "__main__":
    main()
