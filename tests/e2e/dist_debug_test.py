#!/usr/bin/env python3
"""The programs the setup and the zip carry are stripped, and each names its
debug file beside the setup, which turns an address back into a source line.

Arguments: the dist folder, then objcopy, objdump, nm and addr2line of the
tree's toolchain."""
import pathlib
import re
import subprocess
import sys
import tempfile
import unittest
import zipfile
import zlib

DIST = pathlib.Path(sys.argv[1])
OBJCOPY, OBJDUMP, NM, ADDR2LINE = sys.argv[2:6]
STAGE = DIST / "stage"
DEBUG = DIST / "KV480-debug"


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def debug_link(program):
    """The file name and CRC that the program's .gnu_debuglink holds."""
    with tempfile.TemporaryDirectory() as tmp:
        out = pathlib.Path(tmp) / "link"
        run(OBJCOPY, "--dump-section", f".gnu_debuglink={out}", str(program), str(out) + ".exe")
        data = out.read_bytes()
    name = data[: data.index(b"\0")].decode()
    return name, int.from_bytes(data[-4:], "little")


class ShippedPrograms(unittest.TestCase):
    def setUp(self):
        self.programs = sorted(STAGE.rglob("*.exe"))
        names = {p.name for p in self.programs}
        self.assertTrue({"KV480.exe", "SetupHelper.exe", "KeySender.exe"} <= names, names)

    def test_carry_no_debug_information_or_symbols(self):
        for program in self.programs:
            sections = run(OBJDUMP, "-h", str(program))
            self.assertNotIn(".debug_", sections, program)
            self.assertEqual("", run(NM, str(program)).strip(), program)

    def test_name_a_matching_debug_file(self):
        for program in self.programs:
            name, crc = debug_link(program)
            self.assertEqual(program.stem + ".debug", name)
            self.assertEqual(zlib.crc32((DEBUG / name).read_bytes()), crc, program)
        with zipfile.ZipFile(DIST / "KV480-debug.zip") as archive:
            zipped = {pathlib.PurePosixPath(n).name for n in archive.namelist() if n[-1] != "/"}
        self.assertEqual({p.stem + ".debug" for p in self.programs}, zipped)

    def test_debug_file_gives_the_source_line_of_an_address(self):
        debug = DEBUG / "KV480.debug"
        symbols = run(NM, "-C", str(debug))
        address = re.search(r"^([0-9a-f]+) T CRCDlg::\w+\(", symbols, re.M).group(1)
        line = run(ADDR2LINE, "-e", str(debug), "0x" + address)
        self.assertRegex(line, r"Remote_control/CRCDlg\w*\.(cpp|h):\d+")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
