#!/usr/bin/python3
"""The converter against hostile inputs and odd outputs, run as a separate process:
what it refuses, with which message, and that it leaves everything as it was.

    test_cli_hostile.py TABULON            the native program
    test_cli_hostile.py --wine RUNNER EXE  the Windows program, through the Wine runner
"""
import json
import os
import pathlib
import shutil
import stat
import subprocess
import sys
import tempfile
import threading
import unittest
import zipfile

# Read here, before the test classes decide what to skip.
WINE = len(sys.argv) > 1 and sys.argv[1] == "--wine"
COMMAND = sys.argv[2:4] if WINE else sys.argv[1:2]
CELL = {"rowH": 14, "colW": 8, "txtSize": 11, "str": "A"}
CAPTURE = json.dumps({"rows": 1, "cols": 1, "cells": [CELL]})


def run(*args, stdin=None):
    result = subprocess.run(COMMAND + [str(a) for a in args], capture_output=True, timeout=300, stdin=stdin)
    return result.returncode, result.stdout.decode("utf-8", "replace"), result.stderr.decode("utf-8", "replace")


class Hostile(unittest.TestCase):
    def setUp(self):
        self.dir = pathlib.Path(tempfile.mkdtemp(prefix="tabulon-hostile-"))
        self.capture = self.dir / "cap.json"
        self.capture.write_text(CAPTURE, encoding="utf-8")

    def tearDown(self):
        for p in self.dir.iterdir():
            if stat.S_ISREG(p.lstat().st_mode):
                p.chmod(0o644)
        shutil.rmtree(self.dir, ignore_errors=True)

    def leftovers(self):
        return sorted(p.name for p in self.dir.iterdir() if ".tmp" in p.name)

    def assertRefused(self, args, *messages):
        code, stdout, stderr = run(*args)
        self.assertEqual(code, 1, stdout + stderr)
        for message in messages:
            self.assertIn(message, stderr)
        self.assertEqual(self.leftovers(), [])
        return stderr


class Outputs(Hostile):
    def test_read_only_output_needs_force_and_stays_read_only(self):
        for command, name in (("convert", "out.dxf"), ("capture", "out.json")):
            if command == "capture" and WINE:
                continue  # no workbook reader in the Windows build
            with self.subTest(command):
                source = self.capture if command == "convert" else self.workbook()
                out = self.dir / name
                out.write_bytes(b"previous")
                out.chmod(0o444)
                self.assertRefused([command, source, "-o", out], name, "read-only", "--force")
                self.assertEqual(out.read_bytes(), b"previous")
                code, _, stderr = run(command, source, "-o", out, "--force")
                self.assertEqual(code, 0, stderr)
                self.assertNotEqual(out.read_bytes(), b"previous")
                self.assertEqual(stat.S_IMODE(out.stat().st_mode) & 0o222, 0)
        code, stdout, _ = run("convert", "--help")
        self.assertIn("--force", stdout)

    @unittest.skipIf(WINE, "POSIX permissions")
    def test_replaced_output_keeps_its_permissions(self):
        out = self.dir / "out.dxf"
        out.write_bytes(b"previous")
        out.chmod(0o604)
        code, _, stderr = run("convert", self.capture, "-o", out)
        self.assertEqual(code, 0, stderr)
        self.assertEqual(stat.S_IMODE(out.stat().st_mode), 0o604)

    def test_only_a_regular_file_is_replaced(self):
        if WINE:
            self.assertRefused(["convert", self.capture, "-o", "NUL", "--force"], "NUL", "a device")
            return
        fifo = self.dir / "fifo.dxf"
        os.mkfifo(fifo)
        link = self.dir / "link.dxf"
        link.symlink_to("target.dxf")
        cases = [(fifo, "a pipe"), (link, "a symbolic link")]
        # A device node of our own (root only), never one that the system uses.
        device = self.dir / "null.dxf"
        try:
            os.mknod(device, stat.S_IFCHR | 0o666, os.makedev(1, 3))
            cases.append((device, "a device"))
        except OSError:
            pass
        for target, kind in cases:
            with self.subTest(kind):
                self.assertRefused(["convert", self.capture, "-o", target, "--force"], str(target), kind)
        self.assertTrue(stat.S_ISFIFO(fifo.lstat().st_mode))
        self.assertTrue(link.is_symlink())
        if device.exists():
            self.assertTrue(stat.S_ISCHR(device.lstat().st_mode))

    def workbook(self):
        import openpyxl
        wb = openpyxl.Workbook()
        wb.active["A1"] = "A"
        path = self.dir / "book.xlsx"
        wb.save(path)
        return path


class Inputs(Hostile):
    def test_nul_byte_in_a_capture_is_a_syntax_error(self):
        bad = self.dir / "zero.json"  # "nul.json" names a device on Windows
        bad.write_bytes(CAPTURE.encode() + b"\0 not JSON {{{")
        out = self.dir / "out.dxf"
        self.assertRefused(["convert", bad, "-o", out], "zero.json", "line 1, column %d" % (len(CAPTURE) + 1), "NUL")
        self.assertFalse(out.exists())

    @unittest.skipIf(WINE, "POSIX devices and pipes")
    def test_devices_are_refused_and_pipes_capped(self):
        out = self.dir / "out.dxf"
        self.assertRefused(["convert", "/dev/zero", "-o", out], "/dev/zero", "a device")
        self.assertRefused(["convert", self.capture, "--settings", "/dev/zero", "-o", out], "/dev/zero", "a device")
        self.assertRefused(["capture", "/dev/zero", "-o", out], "/dev/zero")
        # An endless pipe of settings stops at the limit.
        fifo = self.dir / "settings.ini"
        os.mkfifo(fifo)

        def endless():
            try:
                with open(fifo, "wb") as f:
                    while True:
                        f.write(b"[Quillbox]\n" * 4096)
            except BrokenPipeError:
                pass

        writer = threading.Thread(target=endless)
        writer.start()
        self.assertRefused(["convert", self.capture, "--settings", fifo, "-o", out], "settings.ini", "1 MB")
        writer.join()
        self.assertFalse(out.exists())

    @unittest.skipIf(WINE, "POSIX pipes")
    def test_a_capture_from_a_pipe_converts(self):
        out = self.dir / "out.dxf"
        proc = subprocess.Popen(COMMAND + ["convert", "/dev/stdin", "-o", str(out)], stdin=subprocess.PIPE,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        stdout, stderr = proc.communicate(CAPTURE.encode(), timeout=60)
        self.assertEqual(proc.returncode, 0, stderr)
        self.assertIn(b"1 rows x 1 columns", stdout)


@unittest.skipIf(WINE, "no workbook reader in the Windows build")
class Workbooks(Hostile):
    def workbook(self, part, edit):
        import openpyxl
        wb = openpyxl.Workbook()
        wb.active.title = "Data"
        wb.active["A1"], wb.active["B2"] = "x", 1
        path = self.dir / "book.xlsx"
        wb.save(path)
        with zipfile.ZipFile(path) as z:
            items = [(i.filename, z.read(i.filename)) for i in z.infolist()]
        with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
            for name, data in items:
                if name == part:  # surrogate escapes stand for raw bytes
                    data = edit(data.decode("utf-8")).encode("utf-8", "surrogateescape")
                z.writestr(name, data)
        return path

    def test_date_cells_outside_the_calendar_name_the_cell(self):
        for value in ("99999999:00", "2147483647-12-31T2147483647:00", "10000-01-01"):
            with self.subTest(value):
                book = self.workbook("xl/worksheets/sheet1.xml", lambda xml: xml.replace(
                    '<c r="B2" t="n"><v>1</v></c>', '<c r="B2" t="d"><v>%s</v></c>' % value))
                self.assertRefused(["capture", book, "-o", self.dir / "c.json"], "Data!B2", value)
        book = self.workbook("xl/worksheets/sheet1.xml", lambda xml: xml.replace(
            '<c r="B2" t="n"><v>1</v></c>', '<c r="B2" t="d"><v>36:00</v></c>'))
        code, _, stderr = run("capture", book, "-o", self.dir / "c.json")
        self.assertEqual(code, 0, stderr)
        cells = json.loads((self.dir / "c.json").read_text(encoding="utf-8"))["cells"]
        self.assertEqual(cells[3]["str"], "1.5")

    def test_text_that_is_not_utf8_names_the_cell(self):
        # Raw bytes, and a character reference to half of a surrogate pair.
        for text in ("\udcff", "&#xD800;"):
            with self.subTest(text):
                book = self.workbook("xl/worksheets/sheet1.xml",
                                     lambda xml: xml.replace("<t>x</t>", "<t>%s</t>" % text))
                code, stdout, stderr = run("capture", book, "-o", self.dir / "c.json")
                self.assertEqual(code, 1, stdout + stderr)
                # The XML reader refuses such text where it stands: the part, line and column.
                self.assertIn("xl/worksheets/sheet1.xml", stderr)
                self.assertIn("not well-formed", stderr)
                self.assertFalse((self.dir / "c.json").exists())
        book = self.workbook("xl/workbook.xml", lambda xml: xml.replace('name="Data"', 'name="D\udcffa"'))
        self.assertRefused(["capture", book, "-o", self.dir / "c.json"], "sheet's name", "not valid UTF-8")
        # A file name may hold any bytes; the capture records it readably.
        book = self.workbook("xl/styles.xml", lambda xml: xml)
        odd = self.dir / "b\udcffk.xlsx"
        book.rename(odd)
        result = subprocess.run(COMMAND + ["capture", odd, "-o", self.dir / "c.json"], capture_output=True, timeout=60)
        self.assertEqual(result.returncode, 0, result.stderr)
        source = json.loads((self.dir / "c.json").read_text(encoding="utf-8"))["source"]
        self.assertEqual(source["workbook"], "b\ufffdk.xlsx")

    def test_absurd_standard_font_size_names_the_styles_part(self):
        for size in ("3e9", "410", "nan"):
            with self.subTest(size):
                book = self.workbook("xl/styles.xml",
                                     lambda xml: xml.replace('<sz val="11"/>', '<sz val="%s"/>' % size, 1))
                self.assertRefused(["convert", book, "-o", self.dir / "o.dxf"], "xl/styles.xml", size)
        book = self.workbook("xl/styles.xml", lambda xml: xml.replace('<sz val="11"/>', '<sz val="409"/>', 1))
        code, _, stderr = run("convert", book, "-o", self.dir / "o.dxf")
        self.assertEqual(code, 0, stderr)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]] + sys.argv[(4 if WINE else 2):], verbosity=2)
