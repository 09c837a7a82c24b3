#!/usr/bin/env python3
"""Writes the benchmark corpus: made-up pages of real-world size and shape.

Deterministic: the same pages every run. Nothing here comes from the web;
words, names and markup are generated from the small lists below.
    python3 make_corpus.py [OUTDIR]
"""
import os
import random
import sys

WORDS = ("search index query result archive folder message report summary network "
         "server client window option setting profile account record entry value "
         "market garden river mountain harbour station library museum theatre "
         "morning evening winter summer quickly slowly carefully always never "
         "bright quiet narrow ancient modern simple useful careful early late "
         "build carry draw follow gather hold open remember sort travel write").split()
ENTITIES = ["&amp;", "&lt;", "&gt;", "&quot;", "&nbsp;", "&copy;", "&reg;", "&eacute;",
            "&uuml;", "&ntilde;", "&#65;", "&#8212;", "&#169;", "&frac12;", "&middot;"]
TAGS = ["b", "i", "em", "strong", "span", "a", "code", "small"]


def sentence(rng, n_min=6, n_max=18, entity_rate=0.06):
    out = []
    for _ in range(rng.randint(n_min, n_max)):
        w = rng.choice(WORDS)
        if rng.random() < entity_rate:
            w += " " + rng.choice(ENTITIES)
        out.append(w)
    s = " ".join(out)
    return s[0].upper() + s[1:] + "."


def inline_text(rng, n):
    parts = []
    for _ in range(n):
        s = sentence(rng)
        if rng.random() < 0.3:
            t = rng.choice(TAGS)
            attrs = ' href="/doc/%d.htm?id=%d&amp;lang=en"' % (rng.randint(1, 9999), rng.randint(1, 99)) if t == "a" else ""
            words = s.split(" ")
            k = rng.randint(0, len(words) - 1)
            words[k] = "<%s%s>%s</%s>" % (t, attrs, words[k], t)
            s = " ".join(words)
        parts.append(s)
    # wrapped at about 76 columns, as editors save text
    text, line = [], ""
    for w in " ".join(parts).split(" "):
        if len(line) + len(w) > 76:
            text.append(line)
            line = w
        else:
            line = (line + " " + w).strip()
    text.append(line)
    return "\r\n".join(text)


def head(rng, title):
    metas = "".join('<meta name="%s" content="%s">\r\n' % (rng.choice(WORDS), sentence(rng, 3, 8)) for _ in range(6))
    return ("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n<html>\r\n<head>\r\n"
            "<title>%s</title>\r\n%s<link rel=\"stylesheet\" type=\"text/css\" href=\"/styles/site.css\">\r\n"
            "<!-- generated page: %s -->\r\n</head>\r\n" % (title, metas, title))


def article_page(rng):
    out = [head(rng, "Article"), '<body bgcolor="#ffffff" text="#000000" link="#003399">\r\n']
    for section in range(60):
        out.append('<h2 id="s%d" class="section-title">%s</h2>\r\n' % (section, sentence(rng, 3, 7)))
        for _ in range(rng.randint(2, 5)):
            out.append("<p>%s</p>\r\n" % inline_text(rng, rng.randint(3, 8)))
        if section % 7 == 3:
            out.append("<!-- %s\r\n  -- %s -->\r\n" % (sentence(rng), sentence(rng)))
    out.append("</body>\r\n</html>\r\n")
    return "".join(out)


def table_page(rng):
    out = [head(rng, "Report table"), "<body>\r\n"]
    out.append('<table border="1" cellpadding="2" cellspacing="0" width="100%" summary="records">\r\n')
    for row in range(300):
        cells = []
        for col in range(6):
            style = 'align="%s" valign=top bgcolor=\'#%06x\' class="c%d r%d" nowrap' % (
                rng.choice(["left", "right", "center"]), rng.randint(0, 0xFFFFFF), col, row % 2)
            content = rng.choice(WORDS) if col else '<a href="/item.asp?id=%d&amp;view=full" title="%s">%d</a>' % (
                row, sentence(rng, 2, 4), row)
            cells.append("<td %s>%s</td>" % (style, content))
        out.append("<tr onmouseover=\"hl(this, %d)\" onmouseout='hl(this)'>%s</tr>\r\n" % (row, "".join(cells)))
    out.append("</table>\r\n</body>\r\n</html>\r\n")
    return "".join(out)


def forum_page(rng):
    out = [head(rng, "Discussion"), "<body>\r\n"]
    out.append("<script language=\"JavaScript\">\r\n<!--\r\nfunction hl(r, n) { if (n > 0 && n < 9) r.className = 'h'; }\r\n// -->\r\n</script>\r\n")
    for post in range(80):
        out.append('<div class="post" id="p%d"><div class="author"><img src="/avatars/%d.gif" width=32 height=32 alt="" />'
                   '<b>%s</b><br/>%s</div>\r\n' % (post, rng.randint(1, 500), rng.choice(WORDS).title(), sentence(rng, 2, 4)))
        body = "\r\n".join(sentence(rng, 10, 30, 0.1) for _ in range(rng.randint(4, 16)))
        out.append('<div class="body">%s</div>\r\n' % body)
        if rng.random() < 0.3:
            out.append("<blockquote><pre>%s</pre></blockquote>\r\n" % inline_text(rng, 4).replace("<", "&lt;"))
        out.append("<!-- post %d end --></div>\r\n" % post)
    out.append("</body>\r\n</html>\r\n")
    return "".join(out)


def catalog_page(rng):
    out = [head(rng, "Catalog"), "<body>\r\n<ul class=catalog>\r\n"]
    for item in range(450):
        out.append('<li><a href="/catalog/%d/%s.htm" target=_blank class="item"><img src="/thumbs/%d.jpg" border=0 '
                   'width="%d" height="%d" alt="%s"></a> %s <span class=price>%d,%02d&nbsp;&euro;</span>'
                   '<input type=checkbox name="sel%d" value="%d" checked></li>\r\n'
                   % (item, rng.choice(WORDS), item, rng.randint(40, 120), rng.randint(40, 120),
                      sentence(rng, 2, 5), sentence(rng, 4, 9), rng.randint(1, 999), rng.randint(0, 99), item, item))
    out.append("</ul>\r\n</body>\r\n</html>\r\n")
    return "".join(out)


def main():
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
    os.makedirs(outdir, exist_ok=True)
    pages = {"article.html": article_page, "table.html": table_page, "forum.html": forum_page,
             "catalog.html": catalog_page}
    for seed, (name, make) in enumerate(sorted(pages.items())):
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(make(random.Random(1000 + seed)).encode("latin-1"))


if __name__ == "__main__":
    main()
