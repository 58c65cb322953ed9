#!/usr/bin/python3
"""The reference for Tarnby's HTML parser links: html5lib (the WHATWG parser in Python) builds
the tree, and the same rules pick the links: "a" elements with "href" in document order, text
content without scripts and styles, white space collapsed, image alts for links without text,
fragment-only and empty addresses and links without text left out, addresses resolved against
<base href> or the page's address.

  oracle.py links < MANIFEST        MANIFEST: [{"page": FILE, "url": PAGE-URL-OR-""}, ...]
                                     prints [["URL|text", ...], ...], one list per page
  oracle.py generate COUNT SEED DIR  writes COUNT pages and DIR/manifest.json
  oracle.py generate-hard COUNT SEED DIR  the same with misnested formatting, tables, select,
                                     template, SVG/MathML, plaintext, CDATA and framesets
"""
import codecs
import json
import os
import random
import re
import sys

import html5lib
from urllib.parse import urljoin

HTML = "{http://www.w3.org/1999/xhtml}"
WHITE = re.compile(r"[ \t\n\f\r]+")
SCHEME = re.compile(r"[A-Za-z][A-Za-z0-9+.-]*:")
CONTROLS = "".join(chr(i) for i in range(33))


def collapse(text):
    return WHITE.sub(" ", text).strip(" \t\n\f\r")


def clean_url(value):
    return re.sub("[\t\n\r]", "", value.strip(CONTROLS))


def resolve(base, ref):
    if SCHEME.match(ref) or not SCHEME.match(base):
        return ref
    if ref.startswith("?"):
        # urljoin drops an empty query ("?"); RFC 3986 keeps it.
        return base.split("#")[0].split("?")[0] + ref
    return urljoin(base, ref)


def is_html(node, name):
    return isinstance(node.tag, str) and node.tag == HTML + name


def text_content(node):
    parts = []

    def walk(element):
        if isinstance(element.tag, str) and not is_html(element, "script") and not is_html(element, "style"):
            parts.append(element.text or "")
            for child in element:
                walk(child)
                parts.append(child.tail or "")
        elif not isinstance(element.tag, str):
            pass  # a comment: its tail is added by the caller
    walk(node)
    return "".join(parts)


def link_text(link):
    text = collapse(text_content(link))
    if text:
        return text
    alts = [img.get("alt") for img in link.iter() if is_html(img, "img") and img.get("alt") is not None]
    return collapse(" ".join(alts))


def links(data, page_url):
    # The bytes as they are: html5lib finds the encoding (byte-order mark, <meta>), UTF-8 when
    # nothing is declared.
    root = html5lib.parse(data, treebuilder="etree", useChardet=False, default_encoding="utf-8")
    base = None
    for element in root.iter():
        if is_html(element, "base") and element.get("href") is not None:
            href = clean_url(element.get("href"))
            candidate = resolve(page_url, href) if page_url else href
            if SCHEME.match(candidate):
                base = candidate
            break
    if base is None and page_url:
        base = page_url
    lines = []
    for element in root.iter():
        if not is_html(element, "a") or element.get("href") is None:
            continue
        address = clean_url(element.get("href"))
        if not address or address.startswith("#"):
            continue
        text = link_text(element)
        if text:
            url = resolve(base, address) if base else address
            lines.append(url.replace("|", "%7C") + "|" + text.replace("|", "&#124;"))
    return lines


# --- generated pages -------------------------------------------------------------------------

WORDS = ["club", "news", "Archive", "members", "caf\u00e9", "a|b", ">", "x&amp;y", "&lt;b&gt;",
         "&nbsp;", "&eacute;t&eacute;", "&#65;&#x42;", "&hellip;", "&copy", "&notit;", "&amp",
         "\u00fcber", "R&D", "1 < 2"]
HREFS = ["page.html", "dir/page.html", "../up.html", "./here.html", "/root/p.html", "?q=1&amp;r=2",
         "page.html#part", "#top", "#", "", "  spaced.html  ", "http://other.example/x",
         "https://example.org/a|b", "mailto:someone@example.org", "javascript:void(0)",
         "//cdn.example/x", "caf&eacute;.html", "x&#124;y", "line\nbreak.html", "a&copy=1",
         "tab\there.html", "UPPER/Case.HTML", "../../../too/far.html", "a/./b/../c.html",
         "?", "p.html?x=1#f", "&#35;notfragment", "%7Cencoded"]
BASES = ['<base href="http://base.example/dir/sub/">', '<base href="sub/">',
         "<base target=_top>", "<BASE HREF='https://b.example/x/y.html?z'>"]
PAGE_URLS = ["", "http://example.org/docs/index.html", "https://example.org/a/b/c?d=e",
             "http://example.org"]
ATTRS = ['class="x"', "id=top", "title='a > b'", 'target="_blank"', "rel=nofollow",
         'data-x="href=no.html"', 'onclick="go(\'#\')"']


def quoted(rng, name, value):
    choice = rng.randrange(3)
    if choice == 0 or ('"' not in value and rng.random() < 0.3):
        return '%s="%s"' % (name, value.replace('"', "&quot;"))
    if choice == 1:
        return "%s='%s'" % (name, value.replace("'", "&#39;"))
    if value and not re.search(r"[\s\"'=<>`]", value):
        return "%s=%s" % (name, value)
    return '%s="%s"' % (name, value.replace('"', "&quot;"))


def space(rng):
    return rng.choice([" ", "  ", "\n", "\r\n", "\t", " \n  "])


def case(rng, name):
    return rng.choice([name, name.upper(), name.capitalize()])


def words(rng, count):
    return space(rng).join(rng.choice(WORDS) for _ in range(count)) if count else ""


def anchor(rng, depth, hard=False):
    attrs = [quoted(rng, case(rng, "href"), rng.choice(HREFS))] if rng.random() < 0.95 else []
    attrs += rng.sample(ATTRS, rng.randrange(3))
    rng.shuffle(attrs)
    tag = case(rng, "a")
    open_tag = "<" + tag + "".join(space(rng) + a for a in attrs) + rng.choice(["", " ", "\n"]) + ">"
    body = content(rng, depth + 1, links=False, hard=hard)
    close = rng.choice(["</" + tag + ">", "</a >", "</A>", "", "</a\n>"])
    return open_tag + body + close


HARD = [
    "<b>1<p>2</b>3</p>", "<a href=x.html>1<b>2<a href=y.html>3</b>4</a>", "<i><div>5</i>6</div>",
    "<table><a href=t.html>in table</a><tr><td>cell<a href=c.html>c</a></table>",
    "<table><tr>text<td>x</td></tr></table>", "<table> <tbody> <tr> <th>h</th> </table>",
    "<svg><a href=s.html>svg</a><foreignObject><a href=f.html>fo</a></foreignObject></svg>",
    "<math><mi><a href=m.html>mi</a></mi><annotation-xml encoding=text/html><a href=ax.html>ax</a></annotation-xml></math>",
    "<svg><p>out</svg>", "<svg><![CDATA[<a href=cd.html>cdata</a>]]></svg>", "<svg><title><a href=st.html>t</a></title></svg>",
    "<select><option>o<a href=sel.html>s</a></select>",
    "<select><optgroup><option>1<option>2</select>", "<table><tr><td><select><td>", "<form><form>f</form>",
    "<template><a href=tp.html>tp</a></template>", "<template><b>tp</b><p>tp2</template>", "<nobr>1<nobr>2</nobr>", "<isindex>", "<isindex prompt='Find:'>", "<b><b><b><b>deep</b></b></b></b>", "<dl><dt>t<dd>d</dl>", "<ruby>r<rt>t</ruby>",
    "<xmp><a href=xmp.html>x</a></xmp>", "<textarea>\n<a href=ta.html></textarea>", "<pre>\n\npre</pre>",
    "<noscript><a href=ns.html>ns</a></noscript>", "<iframe><a href=if.html>if</a></iframe>",
    "<h1>h<h2>h2</h1>", "<li>1<li>2<ul><li>3</ul>", "<button>b<button>c", "<p><table><tr><td>q</table>",
    "<frameset><frame></frameset>", "<caption>c</caption>", "<image src=i.gif alt=image>", "</br>", "</p>",
    "<a href='&copy=1&amp;x'>legacy attr</a>", "<a href=e.html>end &amp", "<a href=e2.html>ref&#x41",
    "<script><!--<script></script>--></script>", "<script><!--</script><a href=sc.html>after</a>",
    "<object><a href=ob.html>o</a></object>", "<marquee><b>m</marquee>x", "<a href=n.html>\0nul</a>",
]
TAILS = ["<plaintext><a href=pt.html>plain</a>", "<a href=eof.html>x&notin", "<a href=eof2.html>x&", "<!-- open",
         "<a href=eof3.html>y<", "<a href=eof4.html>z</", "<svg><![CDATA[open", "<table><tr><td><a href=tt.html>t"]


def content(rng, depth, links=True, hard=False):
    parts = []
    for _ in range(rng.randrange(1, 5)):
        if hard and rng.random() < 0.3:
            parts.append(rng.choice(HARD))
            continue
        kind = rng.randrange(12)
        if kind < 3:
            parts.append(words(rng, rng.randrange(4)))
        elif kind == 3 and depth < 4:
            tag = rng.choice(["b", "i", "span", "em", "p", "div", "font", "li", "h2"])
            parts.append("<%s>%s</%s>" % (case(rng, tag), content(rng, depth + 1, links, hard), tag))
        elif kind == 4:
            alt = rng.choice(["", ' alt="Logo"', " alt='a | b'", " ALT=pic", ' alt="  "'])
            parts.append('<img src="i.gif"%s>' % alt)
        elif kind == 5:
            parts.append("<!-- %s <a href='hidden.html'>hidden</a> -->" % words(rng, 2))
        elif kind == 6:
            parts.append(rng.choice(["<script>var s = \"<a href='s.html'>s</a>\";</script>",
                                     "<style>a > b { color: red }</style>",
                                     "<SCRIPT type=text/javascript>\n// </a>\n</SCRIPT>"]))
        elif kind == 7:
            parts.append(rng.choice(["<br>", "<br/>", "<hr>", "&nbsp;", "\u00a0", "<wbr>"]))
        elif kind == 8 and links and depth < 4:
            parts.append(anchor(rng, depth, hard))
        elif kind == 9 and depth < 3:
            parts.append(rng.choice(["<table><tr><td>%s</td></tr></table>", "<ul><li>%s<li>x</ul>",
                                     "<form action=go><input name=q>%s</form>", "<table>%s</table>"])
                         % content(rng, depth + 1, links, hard))
        elif kind == 10:
            parts.append(rng.choice(["<p>", "</p>", "</div>", "</b>", "<b>", "<i>"]))
        elif links:
            parts.append(anchor(rng, depth, hard))
    return "".join(parts)


def page(rng, hard=False):
    head = ""
    if rng.random() < 0.3:
        head += rng.choice(BASES)
    if rng.random() < 0.5:
        head = "<head><title>T &amp; t</title>" + head + "</head>"
    body = content(rng, 0, hard=hard) + content(rng, 0, hard=hard)
    if hard and rng.random() < 0.2:
        body += rng.choice(TAILS)
    text = rng.choice(["", "<!DOCTYPE html>\n", "<!doctype HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">"])
    text += rng.choice(["<html>", "<HTML lang=en>", ""]) + head + rng.choice(["<body>", ""]) + body
    data = text.encode("utf-8")
    chance = rng.random()
    if chance < 0.05:
        data = data.replace("\u00e9".encode("utf-8"), b"\xe9") + b"\x81"
    elif chance < 0.10:
        data = ("<meta charset=iso-8859-2>" + text).encode("iso-8859-2", "xmlcharrefreplace")
    elif chance < 0.13:
        data = codecs.BOM_UTF16_LE + text.encode("utf-16-le")
    return data


def generate(count, seed, folder, hard=False):
    rng = random.Random(seed)
    manifest = []
    for n in range(count):
        path = os.path.join(folder, "page%d.html" % n)
        with open(path, "wb") as out:
            out.write(page(rng, hard))
        manifest.append({"page": path, "url": rng.choice(PAGE_URLS)})
    with open(os.path.join(folder, "manifest.json"), "w") as out:
        json.dump(manifest, out)


def main():
    if sys.argv[1] in ("generate", "generate-hard"):
        generate(int(sys.argv[2]), int(sys.argv[3]), sys.argv[4], sys.argv[1] == "generate-hard")
        return
    result = []
    for entry in json.load(sys.stdin):
        with open(entry["page"], "rb") as page_file:
            result.append(links(page_file.read(), entry["url"]))
    json.dump(result, sys.stdout)


if __name__ == "__main__":
    main()
