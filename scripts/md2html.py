#!/usr/bin/env python3
"""Turns one of the guides in docs/ into a standalone HTML page for the
installation: a user opens it from the Start menu or from the about box, with
any browser and no Markdown viewer.

Knows the Markdown the guides use: headings, paragraphs, bullet and numbered
lists (nested, with indented code), fenced and indented code, pipe tables,
code spans, emphasis, links and images. Images are embedded, so the page is
one file. Links to other guides (name.md) point at their HTML pages, with
--link-prefix in front. A missing image or linked file is an error: the build
stops rather than ship a broken guide.

usage: md2html.py input.md output.html [--link-prefix PREFIX]
"""

import argparse
import base64
import html
import os
import re
import sys
import textwrap

STYLE = """
body { font-family: "Segoe UI", Tahoma, sans-serif; max-width: 46em; margin: 2em auto;
       padding: 0 1em; line-height: 1.45; color: #222; }
h1, h2, h3 { line-height: 1.2; }
h2 { border-bottom: 1px solid #ccc; padding-bottom: .2em; margin-top: 1.8em; }
code, pre { font-family: Consolas, "Courier New", monospace; font-size: 95%; }
pre { background: #f4f4f4; border: 1px solid #ddd; padding: .6em; overflow-x: auto; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #ccc; padding: .3em .6em; text-align: left; vertical-align: top; }
th { background: #f0f0f0; }
img { max-width: 100%; border: 1px solid #ccc; }
"""

IMAGE_TYPES = {".png": "image/png", ".jpg": "image/jpeg", ".jpeg": "image/jpeg",
               ".gif": "image/gif", ".svg": "image/svg+xml"}

LIST_ITEM = re.compile(r"^( *)([-*+]|\d+[.)]) +(.*)$")
HEADING = re.compile(r"^(#{1,6}) +(.*?) *#* *$")
TABLE_RULE = re.compile(r"^ *\|? *:?-+:? *(\| *:?-+:? *)*\|? *$")


class GuideError(Exception):
    pass


class Converter:
    def __init__(self, source_dir, link_prefix):
        self.source_dir = source_dir
        self.link_prefix = link_prefix
        self.title = None
        self.ids = set()
        self.anchors = set()

    # Inline text

    def inline(self, text):
        # Code spans first: nothing inside them is markup. They wait behind
        # placeholders while the rest is marked up.
        spans = []

        def hold(match):
            spans.append("<code>%s</code>" % html.escape(match.group(2).strip(), quote=False))
            return "\0%d\0" % (len(spans) - 1)

        text = self.inline_markup(re.sub(r"(`+)(.+?)\1", hold, text))
        return re.sub(r"\0(\d+)\0", lambda m: spans[int(m.group(1))], text)

    def inline_markup(self, text):
        text = html.escape(text, quote=False)
        text = re.sub(r"!\[([^\]]*)\]\(([^)\s]+)\)", lambda m: self.image(m.group(1), m.group(2)),
                      text)
        text = re.sub(r"\[([^\]]+)\]\(([^)\s]+)\)", lambda m: self.link(m.group(1), m.group(2)),
                      text)
        text = re.sub(r"\*\*(\S(?:.*?\S)?)\*\*", r"<strong>\1</strong>", text)
        text = re.sub(r"(?<![\w*])\*(\S(?:.*?\S)?)\*(?![\w*])", r"<em>\1</em>", text)
        return text

    def local_file(self, target):
        path = os.path.normpath(os.path.join(self.source_dir, html.unescape(target)))
        if not os.path.isfile(path):
            raise GuideError("no such file: %s" % target)
        return path

    def image(self, alt, target):
        path = self.local_file(target)
        kind = IMAGE_TYPES.get(os.path.splitext(path)[1].lower())
        if kind is None:
            raise GuideError("not an image this page can hold: %s" % target)
        with open(path, "rb") as image:
            data = base64.b64encode(image.read()).decode("ascii")
        return '<img src="data:%s;base64,%s" alt="%s">' % (kind, data, alt.replace('"', "&quot;"))

    def link(self, text, target):
        if target.startswith("#"):
            self.anchors.add(target[1:])
            href = target
        elif re.match(r"^[a-zA-Z][a-zA-Z0-9+.-]*:", target):
            href = target
        else:
            name, _, anchor = target.partition("#")
            self.local_file(name)
            if name.endswith(".md"):
                name = self.link_prefix + os.path.basename(name)[:-3] + ".html"
            href = name + ("#" + anchor if anchor else "")
        return '<a href="%s">%s</a>' % (href.replace('"', "&quot;"), text)

    # Blocks

    def heading_id(self, text):
        plain = html.unescape(re.sub(r"<[^>]+>", "", text))
        base = re.sub(r"[^a-z0-9]+", "-", plain.lower()).strip("-")
        base = base or "section"
        candidate, n = base, 1
        while candidate in self.ids:
            n += 1
            candidate = "%s-%d" % (base, n)
        self.ids.add(candidate)
        return candidate

    def blocks(self, lines):
        out = []
        i = 0
        while i < len(lines):
            line = lines[i]
            if not line.strip():
                i += 1
            elif line.lstrip().startswith("```"):
                i = self.fenced_code(lines, i, out)
            elif HEADING.match(line):
                level, text = HEADING.match(line).groups()
                body = self.inline(text)
                if level == "#" and self.title is None:
                    self.title = re.sub(r"<[^>]+>", "", body)
                out.append('<h%d id="%s">%s</h%d>' % (len(level), self.heading_id(body), body,
                                                      len(level)))
                i += 1
            elif line.startswith("    "):
                i = self.indented_code(lines, i, out)
            elif LIST_ITEM.match(line):
                i = self.list_block(lines, i, out)
            elif line.lstrip().startswith("|") and i + 1 < len(lines) and \
                    TABLE_RULE.match(lines[i + 1]):
                i = self.table(lines, i, out)
            else:
                i = self.paragraph(lines, i, out)
        return out

    def fenced_code(self, lines, i, out):
        fence = lines[i].strip()[:3]
        code = []
        i += 1
        while i < len(lines) and not lines[i].strip().startswith(fence):
            code.append(lines[i])
            i += 1
        if i == len(lines):
            raise GuideError("code block without its closing ```")
        out.append("<pre><code>%s</code></pre>" % html.escape("\n".join(code), quote=False))
        return i + 1

    def indented_code(self, lines, i, out):
        code = []
        while i < len(lines) and (lines[i].startswith("    ") or not lines[i].strip()):
            code.append(lines[i][4:])
            i += 1
        while code and not code[-1].strip():
            code.pop()
        text = textwrap.dedent("\n".join(code))
        out.append("<pre><code>%s</code></pre>" % html.escape(text, quote=False))
        return i

    def list_block(self, lines, i, out):
        indent, marker, _ = LIST_ITEM.match(lines[i]).groups()
        ordered = marker[0].isdigit()
        items = []
        while i < len(lines):
            match = LIST_ITEM.match(lines[i])
            if not match or len(match.group(1)) != len(indent) or \
                    match.group(2)[0].isdigit() != ordered:
                break
            content_indent = len(lines[i]) - len(match.group(3))
            item = [match.group(3)]
            i += 1
            # The item goes on while lines are indented to its text, or are
            # lazy continuations of its first paragraph.
            while i < len(lines):
                line = lines[i]
                if not line.strip():
                    following = next((l for l in lines[i + 1:] if l.strip()), "")
                    if following.startswith(" " * content_indent):
                        item.append("")
                        i += 1
                        continue
                    break
                if line.startswith(" " * content_indent):
                    item.append(line[content_indent:])
                elif item[-1].strip() and not LIST_ITEM.match(line) and \
                        not line.lstrip().startswith(("```", "#", "|")):
                    item.append(line.strip())
                else:
                    break
                i += 1
            items.append(item)
            if i < len(lines) and not lines[i].strip():
                following = next((l for l in lines[i:] if l.strip()), "")
                match = LIST_ITEM.match(following)
                if not match or len(match.group(1)) != len(indent):
                    break
                while not lines[i].strip():
                    i += 1
        tag = "ol" if ordered else "ul"
        start = int(marker[:-1]) if ordered else 1
        out.append("<%s%s>" % (tag, ' start="%d"' % start if start != 1 else ""))
        for item in items:
            body = self.blocks(item)
            # A one-paragraph item reads better without its paragraph.
            if len(body) == 1 and body[0].startswith("<p>"):
                body = [body[0][3:-4]]
            elif body and body[0].startswith("<p>") and not any("" == l for l in item):
                body[0] = body[0][3:-4]
            out.append("<li>%s</li>" % "\n".join(body))
        out.append("</%s>" % tag)
        return i

    def table(self, lines, i, out):
        def cells(line):
            # Split at the pipes outside code spans; "\|" is a pipe in a cell.
            line = line.strip()
            line = line[1:] if line.startswith("|") else line
            line = line[:-1] if line.endswith("|") and not line.endswith("\\|") else line
            found, cell, in_code, i = [], "", False, 0
            while i < len(line):
                if line[i] == "\\" and line[i + 1:i + 2] == "|":
                    cell += "|"
                    i += 2
                    continue
                if line[i] == "`":
                    in_code = not in_code
                elif line[i] == "|" and not in_code:
                    found.append(cell.strip())
                    cell = ""
                    i += 1
                    continue
                cell += line[i]
                i += 1
            return found + [cell.strip()]

        head = cells(lines[i])
        i += 2
        rows = []
        while i < len(lines) and lines[i].lstrip().startswith("|"):
            rows.append(cells(lines[i]))
            i += 1
        out.append("<table>")
        out.append("<tr>%s</tr>" % "".join("<th>%s</th>" % self.inline(c) for c in head))
        for row in rows:
            row = (row + [""] * len(head))[:len(head)]
            out.append("<tr>%s</tr>" % "".join("<td>%s</td>" % self.inline(c) for c in row))
        out.append("</table>")
        return i

    def paragraph(self, lines, i, out):
        text = []
        while i < len(lines):
            line = lines[i]
            if not line.strip() or HEADING.match(line) or line.lstrip().startswith("```") or \
                    (text and LIST_ITEM.match(line)) or \
                    (line.lstrip().startswith("|") and i + 1 < len(lines) and
                     TABLE_RULE.match(lines[i + 1])):
                break
            text.append(line.strip())
            i += 1
        out.append("<p>%s</p>" % self.inline(" ".join(text)))
        return i

    def page(self, markdown):
        body = self.blocks(markdown.replace("\t", "    ").splitlines())
        missing = sorted(self.anchors - self.ids)
        if missing:
            raise GuideError("no heading for the link: #%s" % ", #".join(missing))
        title = html.escape(html.unescape(self.title or "Guide"), quote=False)
        return ('<!DOCTYPE html>\n<html lang="en">\n<head>\n<meta charset="utf-8">\n'
                "<title>%s</title>\n<style>%s</style>\n</head>\n<body>\n%s\n</body>\n</html>\n"
                % (title, STYLE, "\n".join(body)))


def main():
    parser = argparse.ArgumentParser(description="A guide in Markdown as one HTML page.")
    parser.add_argument("input")
    parser.add_argument("output")
    parser.add_argument("--link-prefix", default="",
                        help="put in front of links to other guides (name.md -> PREFIXname.html)")
    args = parser.parse_args()
    with open(args.input, encoding="utf-8") as source:
        markdown = source.read()
    converter = Converter(os.path.dirname(os.path.abspath(args.input)), args.link_prefix)
    try:
        page = converter.page(markdown)
    except GuideError as error:
        print("%s: %s" % (args.input, error), file=sys.stderr)
        return 1
    os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
    with open(args.output, "w", encoding="utf-8", newline="\r\n") as target:
        target.write(page)
    return 0


if __name__ == "__main__":
    sys.exit(main())
