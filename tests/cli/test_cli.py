#!/usr/bin/python3
"""End-to-end tests of the tabulon converter, run as a separate process.

    test_cli.py TABULON            the native program
    test_cli.py --wine RUNNER EXE  the Windows program, through the Wine runner
"""
import json
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest

import ezdxf

ROOT = pathlib.Path(__file__).resolve().parents[2]
EXAMPLE = ROOT / "examples" / "sample-capture.json"
COMMAND = []
WINE = False


def run(*args, cwd=None):
    result = subprocess.run(COMMAND + [str(a) for a in args], capture_output=True, cwd=cwd, timeout=300)
    return result.returncode, result.stdout.decode("utf-8", "replace"), result.stderr.decode("utf-8", "replace")


def one_cell(**cell):
    cell.setdefault("rowH", 14)
    cell.setdefault("colW", 8)
    cell.setdefault("txtSize", 11)
    cell.setdefault("str", "A")
    return {"rows": 1, "cols": 1, "cells": [cell]}


class ConverterTest(unittest.TestCase):
    def setUp(self):
        self.dir = pathlib.Path(tempfile.mkdtemp(prefix="tabulon-cli-"))

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def write(self, name, content):
        path = self.dir / name
        if isinstance(content, (dict, list)):
            content = json.dumps(content, ensure_ascii=False)
        path.write_text(content, encoding="utf-8")
        return path

    def leftovers(self):
        return sorted(p.name for p in self.dir.iterdir() if ".tmp" in p.name)

    def test_converts_the_example(self):
        out = self.dir / "表.dxf"
        code, stdout, stderr = run("convert", EXAMPLE, "-o", out)
        self.assertEqual(code, 0, stderr)
        self.assertIn(str(out), stdout)
        doc = ezdxf.readfile(str(out))
        self.assertFalse(doc.audit().has_errors)
        msp = doc.modelspace()
        layers = {e.dxf.layer for e in msp}
        self.assertEqual(layers, {"XLSCellLine", "XLSCellText", "XLSBordLine"})
        texts = [e.dxf.text for e in msp.query("TEXT")]
        self.assertIn("空調・換気機器表", texts)
        self.assertGreater(len(msp.query("POLYLINE")), 0)
        # The same drawing as the committed reference, byte for byte.
        self.assertEqual(out.read_bytes(), (ROOT / "tests" / "golden" / "sample-capture.dxf").read_bytes())

    def test_default_output_is_beside_the_capture(self):
        capture = self.write("cap.json", one_cell())
        code, stdout, stderr = run("convert", capture)
        self.assertEqual(code, 0, stderr)
        self.assertTrue((self.dir / "cap.dxf").exists())

    def test_no_cell_lines_and_settings(self):
        capture = self.write("cap.json", one_cell())
        ini = self.write("t.ini", "[Quillbox]\r\ncadXsc=10\r\ncellLineDraw=1\r\n")
        code, _, stderr = run("convert", capture, "-o", self.dir / "a.dxf", "--settings", ini, "--no-cell-lines")
        self.assertEqual(code, 0, stderr)
        msp = ezdxf.readfile(str(self.dir / "a.dxf")).modelspace()
        self.assertEqual([e.dxftype() for e in msp], ["TEXT"])
        # cadXsc 10 from the settings file: the text of a centred cell sits at 8 * 10 / 2.
        capture = self.write("c2.json", one_cell(txtAlign=2))
        code, _, stderr = run("convert", capture, "-o", self.dir / "b.dxf", "--settings", ini)
        self.assertEqual(code, 0, stderr)
        msp = ezdxf.readfile(str(self.dir / "b.dxf")).modelspace()
        self.assertAlmostEqual(msp.query("TEXT")[0].dxf.insert.x, 40)
        self.assertEqual(len(msp.query("LINE")), 4)

    def test_capture_settings_win_over_the_settings_file(self):
        capture = self.write("cap.json", dict(one_cell(txtAlign=2), settings={"cadXsc": 2}))
        ini = self.write("t.ini", "[Quillbox]\ncadXsc=10\n")
        code, _, stderr = run("convert", capture, "-o", self.dir / "a.dxf", "--settings", ini)
        self.assertEqual(code, 0, stderr)
        text = ezdxf.readfile(str(self.dir / "a.dxf")).modelspace().query("TEXT")[0]
        self.assertAlmostEqual(text.dxf.insert.x, 8)

    def test_usage_errors_exit_2(self):
        capture = self.write("cap.json", one_cell())
        for args in ([], ["frobnicate"], ["convert"], ["convert", capture, "--bogus"], ["convert", capture, "-o"],
                     ["convert", capture, capture]):
            with self.subTest(args=args):
                code, stdout, stderr = run(*args)
                self.assertEqual(code, 2)
                self.assertTrue(stderr.strip())

    def test_help(self):
        for args in (["--help"], ["convert", "--help"]):
            code, stdout, _ = run(*args)
            self.assertEqual(code, 0)
            self.assertIn("--no-cell-lines", stdout)
            self.assertIn("--settings", stdout)

    def test_bad_input_exits_1_and_keeps_the_old_drawing(self):
        out = self.dir / "keep.dxf"
        out.write_bytes(b"previous drawing")
        cases = {
            "syntax": ("{\"rows\": 1,,}", "line 1, column"),
            "range": (dict(one_cell(rowH=70000)), "cells[0].rowH: 70000 is out of range 0..65535"),
            "count": ({"rows": 2, "cols": 1, "cells": [{}]}, "cells"),
            "empty": ({"rows": 0, "cols": 0, "cells": []}, "no cells"),
            "overflow": (dict(one_cell(), settings={"cadXsc": 1e308}), "too large"),
        }
        for name, (content, message) in cases.items():
            with self.subTest(name):
                capture = self.write(name + ".json", content)
                code, stdout, stderr = run("convert", capture, "-o", out)
                self.assertEqual(code, 1)
                self.assertIn(message, stderr)
                self.assertIn(name + ".json", stderr)
                self.assertEqual(out.read_bytes(), b"previous drawing")
        code, _, stderr = run("convert", self.dir / "missing.json", "-o", out)
        self.assertEqual(code, 1)
        self.assertIn("missing.json", stderr)
        self.assertEqual(self.leftovers(), [])

    def test_unwritable_output_reports_path_and_reason(self):
        capture = self.write("cap.json", one_cell())
        target = self.dir / "no-such-folder" / "x.dxf"
        code, _, stderr = run("convert", capture, "-o", target)
        self.assertEqual(code, 1)
        self.assertIn("x.dxf", stderr)
        self.assertFalse(target.exists())
        # A folder in the way of the file.
        (self.dir / "folder.dxf").mkdir()
        code, _, stderr = run("convert", capture, "-o", self.dir / "folder.dxf")
        self.assertEqual(code, 1)
        self.assertIn("folder.dxf", stderr)
        self.assertEqual(self.leftovers(), [])

    def test_refuses_to_overwrite_the_capture(self):
        capture = self.write("cap.json", one_cell())
        before = capture.read_bytes()
        code, _, stderr = run("convert", capture, "-o", capture)
        self.assertEqual(code, 1)
        self.assertEqual(capture.read_bytes(), before)

    def test_unknown_keys_warn_but_convert(self):
        capture = self.write("cap.json", dict(one_cell(colour=3), version=2))
        code, _, stderr = run("convert", capture, "-o", self.dir / "a.dxf")
        self.assertEqual(code, 0, stderr)
        self.assertIn("warning", stderr)
        self.assertIn("colour", stderr)

    def test_workbook_input(self):
        import openpyxl
        wb = openpyxl.Workbook()
        wb.active["A1"], wb.active["B1"] = "記号", 12
        book = self.dir / "book.xlsx"
        wb.save(book)
        for args in (["convert", book, "-o", self.dir / "b.dxf"], ["capture", book, "-o", self.dir / "b.json"]):
            with self.subTest(args=args[0]):
                code, stdout, stderr = run(*args)
                self.assertEqual(code, 0, stderr)
                self.assertIn("range A1:B1", stdout)
        # --sheet and --range belong to workbooks.
        capture = self.write("cap.json", one_cell())
        code, _, stderr = run("convert", capture, "--range", "A1:B2")
        self.assertEqual(code, 2)
        self.assertIn("--range", stderr)


if __name__ == "__main__":
    args = sys.argv[1:]
    if args and args[0] == "--wine":
        WINE = True
        COMMAND = [args[1], args[2]]
        args = args[3:]
    else:
        COMMAND = [args[0]]
        args = args[1:]
    unittest.main(argv=[sys.argv[0]] + args, verbosity=2)
