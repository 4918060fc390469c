"""The guide converter: the constructs the guides use, and the broken
references that must stop the build."""

import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "scripts"))
import md2html  # noqa: E402


class ConverterTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        with open(os.path.join(self.folder.name, "other.md"), "w") as other:
            other.write("# Other\n")
        with open(os.path.join(self.folder.name, "shot.png"), "wb") as image:
            image.write(b"\x89PNG\r\n\x1a\n")

    def page(self, markdown, prefix=""):
        return md2html.Converter(self.folder.name, prefix).page(markdown)

    def test_code_spans_keep_their_text_and_emphasis_spans_them(self):
        page = self.page("**Is `a*b*<c>` listed,** and *more*\n")
        self.assertIn("<strong>Is <code>a*b*&lt;c&gt;</code> listed,</strong> and <em>more</em>",
                      page)

    def test_lists_nest_and_hold_indented_code(self):
        page = self.page("1. first\n   goes on\n\n        code line\n\n   after\n"
                         "2. second\n   - inner\n")
        self.assertIn("<ol>\n<li><p>first goes on</p>\n<pre><code>code line</code></pre>", page)
        self.assertIn("<li>second\n<ul>\n<li>inner</li>\n</ul></li>", page)

    def test_tables_fenced_code_and_headings(self):
        page = self.page("# Title & more\n\n| A | B |\n|---|---|\n| `x|y` | 2 |\n\n"
                         "```ini\n[S]\nKey=<v>\n```\n")
        self.assertIn("<title>Title &amp; more</title>", page)
        self.assertIn('<h1 id="title-more">', page)
        self.assertIn("<tr><td><code>x|y</code></td><td>2</td></tr>", page)
        self.assertIn("<pre><code>[S]\nKey=&lt;v&gt;</code></pre>", page)

    def test_links_to_guides_become_pages_and_images_are_embedded(self):
        page = self.page("# T\n\nSee [it](other.md#x), [top](#t) and ![shot](shot.png).\n",
                         "Docs/")
        self.assertIn('<a href="Docs/other.html#x">it</a>', page)
        self.assertIn('<a href="#t">top</a>', page)
        self.assertIn('<img src="data:image/png;base64,iVBORw0KGgo=" alt="shot">', page)

    def test_broken_references_fail(self):
        for markdown in ("![gone](missing.png)\n", "[gone](missing.md)\n",
                         "[gone](#no-such-heading)\n", "```\nnever closed\n"):
            with self.assertRaises(md2html.GuideError, msg=markdown):
                self.page(markdown)

    def test_command_line_reports_a_broken_guide(self):
        source = os.path.join(self.folder.name, "guide.md")
        with open(source, "w") as guide:
            guide.write("![gone](missing.png)\n")
        result = subprocess.run([sys.executable, md2html.__file__, source,
                                 os.path.join(self.folder.name, "guide.html")],
                                capture_output=True, text=True)
        self.assertEqual(1, result.returncode)
        self.assertIn("missing.png", result.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.folder.name, "guide.html")))


if __name__ == "__main__":
    unittest.main()
