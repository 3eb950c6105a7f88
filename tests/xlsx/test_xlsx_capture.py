#!/usr/bin/python3
"""Capture from .xlsx workbooks, end to end: workbooks written by openpyxl (and,
for what openpyxl cannot write, by editing its parts with zipfile), captured by
`tabulon capture`, checked field by field against what the workbook says.

    test_xlsx_capture.py TABULON
"""
import datetime
import json
import pathlib
import random
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile
import zlib

import ezdxf
import openpyxl
from openpyxl.styles import Alignment, Border, Color, Font, PatternFill, Side

TABULON = None


def run(*args):
    result = subprocess.run([TABULON] + [str(a) for a in args], capture_output=True, timeout=120)
    return result.returncode, result.stdout.decode("utf-8", "replace"), result.stderr.decode("utf-8", "replace")


def patch(path, part, edit):
    """Rewrites one part of a workbook: edit(old text) -> new text."""
    with zipfile.ZipFile(path) as z:
        items = [(i, z.read(i.filename)) for i in z.infolist()]
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for info, data in items:
            if info.filename == part:
                data = edit(data.decode("utf-8")).encode("utf-8")
            z.writestr(info.filename, data)


def cell_index(capture, name):
    """The capture's record for sheet cell name ("C4")."""
    col_letters = "".join(ch for ch in name if ch.isalpha())
    row = int(name[len(col_letters):])
    col = 0
    for ch in col_letters:
        col = col * 26 + ord(ch) - 64
    src = capture["source"]
    r, c = row - src["firstRow"], col - src["firstCol"]
    return capture["cells"][r * capture["cols"] + c]


class Workbooks(unittest.TestCase):
    def setUp(self):
        self.dir = pathlib.Path(tempfile.mkdtemp(prefix="tabulon-xlsx-"))

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def capture(self, book, *args, expect=0):
        out = self.dir / "capture.json"
        if out.exists():
            out.unlink()
        code, stdout, stderr = run("capture", book, *args, "-o", out)
        self.assertEqual(code, expect, stdout + stderr)
        if expect != 0:
            self.assertFalse(out.exists())
            return stdout, stderr
        return json.loads(out.read_text(encoding="utf-8")), stdout, stderr


class CellValues(Workbooks):
    """One sheet holding every kind of cell; each check names the cell."""

    def make(self):
        wb = openpyxl.Workbook()
        ws = wb.active
        ws.title = "Cells"
        thin, double = Side(style="thin"), Side(style="double")
        # Column A 20 wide as stored: the spreadsheet reports 19.29. C hidden. Others default (8.43).
        ws.column_dimensions["A"].width = 20
        ws.column_dimensions["C"].hidden = True
        ws.column_dimensions["D"].width = 13  # reported 12.29
        ws.row_dimensions[2].height = 30
        ws.row_dimensions[3].height = 18.75  # rounds to 19
        ws.row_dimensions[4].height = 13.5   # rounds to 14 (half to even)
        ws.row_dimensions[5].height = 12.5   # rounds to 12 (half to even)
        ws.row_dimensions[6].hidden = True
        values = {
            # alignment cases, with text and numbers
            "A1": ("text", None), "B1": (-12.5, None), "D1": ("1-2", None), "E1": (1e20, None),
            "F1": (True, None), "G1": (" 12", None),
            "A2": (5, "left"), "B2": ("x", "center"), "D2": ("x", "right"), "E2": (5, "fill"),
            "F2": ("x", "justify"), "G2": (5, "centerContinuous"), "H2": ("x", "distributed"),
            # number formats
            "A3": (3.14159, "0.00"), "B3": (1234567, "#,##0"), "D3": (0.25, "0%"),
            "E3": (datetime.date(2023, 2, 4), "yyyy/m/d"), "F3": (0.1 + 0.2, None),
        }
        for name, (value, extra) in values.items():
            ws[name] = value
            if extra in ("left", "center", "right", "fill", "justify", "centerContinuous", "distributed"):
                ws[name].alignment = Alignment(horizontal=extra)
            elif extra:
                ws[name].number_format = extra
        ws["A4"].font = Font(size=9)
        ws["B4"].font = Font(size=10.5)
        ws["D4"].font = Font(size=11.5)
        ws["E4"].font = Font(size=14)
        ws["A5"].border = Border(top=thin, bottom=double)
        ws["B5"].border = Border(left=thin, right=Side(style="medium"))
        ws["D5"].border = Border(diagonal=thin, diagonalUp=True, diagonalDown=True)
        ws["E5"].border = Border(diagonal=thin, diagonalDown=True)
        ws["F5"].border = Border(diagonal=thin, diagonalUp=True)
        ws["G5"].border = Border(top=thin, bottom=thin, left=thin, right=thin)
        ws["H5"].border = Border(top=Side(style=None), diagonalUp=True)
        ws["B7"] = "area"
        ws.merge_cells("B7:D8")
        ws["H9"] = "end"
        path = self.dir / "cells.xlsx"
        wb.save(path)
        # openpyxl writes inline strings; a spreadsheet program writes shared ones,
        # with rich-text runs and phonetic guides. G9: a formula with its saved
        # result; H8: a formula without one.
        patch(path, "[Content_Types].xml", lambda x: x.replace(
            "</Types>", '<Override PartName="/xl/sharedStrings.xml" ContentType="application/'
            'vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/></Types>'))
        patch(path, "xl/_rels/workbook.xml.rels", lambda x: x.replace(
            "</Relationships>", '<Relationship Id="rIdSS" Type="http://schemas.openxmlformats.org/'
            'officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>'))
        shared = ('<?xml version="1.0" encoding="UTF-8"?><sst xmlns="http://schemas.openxmlformats.org/'
                  'spreadsheetml/2006/main"><si><t>plain</t></si><si><r><rPr><b/></rPr><t>冷房</t></r>'
                  '<r><t xml:space="preserve"> (kW)</t></r><rPh sb="0" eb="2"><t>レイボウ</t></rPh></si>'
                  '<si><t>line_x000D_'
                  '\nbreak</t></si></sst>')
        with zipfile.ZipFile(path, "a") as z:
            z.writestr("xl/sharedStrings.xml", shared)
        patch(path, "xl/worksheets/sheet1.xml", lambda x: x.replace(
            '<c r="H9" t="inlineStr"><is><t>end</t></is></c>',
            '<c r="A9" t="s"><v>0</v></c><c r="B9" t="s"><v>1</v></c><c r="D9" t="s"><v>2</v></c>'
            '<c r="G9" t="str"><f>"a"&amp;"b"</f><v>ab</v></c><c r="H9"><f>1+1</f></c>'))
        return path

    def test_every_field(self):
        capture, stdout, stderr = self.capture(self.make(), "--range", "A1:H9")
        self.assertEqual((capture["rows"], capture["cols"]), (9, 8))
        self.assertEqual(capture["source"], {"workbook": "cells.xlsx", "sheet": "Cells", "firstRow": 1, "firstCol": 1})
        self.assertIn("A1:H9", stdout)
        # A formula without a saved result is left empty, with a warning that names it.
        self.assertIn("H9", stderr)
        cell = lambda name: cell_index(capture, name)

        with self.subTest("widths and heights"):
            self.assertEqual([cell(c + "1")["colW"] for c in "ABCDEFGH"], [19, 8, 0, 12, 8, 8, 8, 8])
            self.assertEqual([cell("A%d" % r)["rowH"] for r in range(1, 10)], [15, 30, 19, 14, 12, 0, 15, 15, 15])
            # every cell of a row and column carries its sizes
            self.assertEqual({cell(c + "3")["rowH"] for c in "ABDEFGH"}, {19})
            self.assertEqual({cell("D%d" % r)["colW"] for r in range(1, 10)}, {12})

        with self.subTest("alignment"):
            expected = {"A1": 0, "B1": 3, "D1": 3, "E1": 0, "F1": 0, "G1": 0,
                        "A2": 1, "B2": 2, "D2": 3, "E2": 3, "F2": 0, "G2": 3, "H2": 0, "A9": 0, "H8": 0}
            self.assertEqual({n: cell(n)["txtAlign"] for n in expected}, expected)

        with self.subTest("displayed texts"):
            expected = {"A1": "text", "B1": "-12.5", "E1": "1E+20", "F1": "TRUE", "G1": " 12",
                        "A3": "3.14", "B3": "1,234,567", "D3": "25%", "E3": "2023/2/4", "F3": "0.3",
                        "A9": "plain", "B9": "冷房 (kW)", "D9": "line\r\nbreak", "G9": "ab", "H9": "",
                        "B7": "area", "C7": "", "H8": ""}
            self.assertEqual({n: cell(n)["str"] for n in expected}, expected)
            self.assertTrue(all("text" not in c for c in capture["cells"]))

        with self.subTest("font sizes"):
            self.assertEqual([cell(n)["txtSize"] for n in ("A4", "B4", "D4", "E4", "F4")], [9, 10, 12, 14, 11])

        with self.subTest("borders"):
            expected = {"A5": 3, "B5": 12, "D5": 48, "E5": 16, "F5": 32, "G5": 15, "H5": 0, "A4": 0}
            self.assertEqual({n: cell(n)["lineBits"] for n in expected}, expected)

        with self.subTest("merged area B7:D8"):
            for name in ("B7", "C7", "D7", "B8", "C8", "D8"):
                c = cell(name)
                self.assertEqual((c["cellMerge"], c["mergerowYscount"], c["mergecolXscount"]), (True, 2, 3), name)
                # Left of column B: A is 20 wide as stored, 140 px = 105 pt. Top of row 7:
                # rows 1-5 give 15 + 30 + 18.75 + 13.5 + 12.5, row 6 is hidden.
                self.assertEqual((c["mergeLeft"], c["mergeTop"]), (105, 90), name)
            c = cell("H9")
            self.assertEqual((c["cellMerge"], c["mergerowYscount"], c["mergecolXscount"]), (False, 1, 1))
            # A cell outside merged areas is its own area. Left of H: A 140 px, B 64,
            # C hidden, D (13 as stored) 91, E-G 64 each: 487 px = 365.25 pt. Top of
            # row 9: the rows above give 119.75 pt.
            self.assertEqual((c["mergeLeft"], c["mergeTop"]), (365, 120))

    def test_range_cutting_a_merged_area_keeps_the_whole_area(self):
        capture, _, _ = self.capture(self.make(), "--range", "C8:E9")
        c = cell_index(capture, "C8")
        self.assertEqual((c["cellMerge"], c["mergerowYscount"], c["mergecolXscount"], c["mergeLeft"]), (True, 2, 3, 105))
        self.assertFalse(cell_index(capture, "E8")["cellMerge"])


class IsoDateCells(Workbooks):
    """Cells of type "d" hold ISO 8601 text; the capture shows them as the serial
    date under the cell's format, in the workbook's date system."""

    def make(self, cells, date1904):
        wb = openpyxl.Workbook()
        ws = wb.active
        for row, (_, code, _) in enumerate(cells, start=1):
            ws.cell(row=row, column=1, value=row).number_format = code
        path = self.dir / ("dates1904.xlsx" if date1904 else "dates1900.xlsx")
        wb.save(path)

        def as_dates(xml):
            for row, (iso, _, _) in enumerate(cells, start=1):
                xml, n = re.subn(r'<c r="A%d"([^>]*) t="n"><v>[^<]*</v></c>' % row,
                                 lambda m: '<c r="A%d"%s t="d"><v>%s</v></c>' % (row, m.group(1), iso), xml)
                self.assertEqual(n, 1, iso)
            return xml
        patch(path, "xl/worksheets/sheet1.xml", as_dates)
        if date1904:
            patch(path, "xl/workbook.xml", lambda x: x.replace("<workbookPr/>", '<workbookPr date1904="1"/>'))
        return path

    def check(self, cells, date1904):
        capture, _, stderr = self.capture(self.make(cells, date1904), "--range", "A1:A%d" % len(cells))
        shown = [c["str"] for c in capture["cells"]]
        self.assertEqual(shown, [text for _, _, text in cells], stderr)

    def test_1900_system(self):
        self.check([
            ("1900-02-28", "General", "59"),  # before the 29 February that never was
            ("1900-03-01", "General", "61"),  # after it
            ("1900-02-28", "yyyy/m/d", "1900/2/28"),
            ("1900-03-01", "yyyy/m/d", "1900/3/1"),
            ("1900-02-28T18:00", "yyyy/m/d h:mm", "1900/2/28 18:00"),
            ("2024-03-01T13:45:30Z", "yyyy/m/d h:mm:ss", "2024/3/1 13:45:30"),
            ("2024-03-01T13:45:30", "General", "45352.57326"),
            ("12:00", "General", "0.5"),  # a time alone
            ("07:05:09", "h:mm:ss", "7:05:09"),
        ], date1904=False)

    def test_1904_system(self):
        self.check([
            ("2024-03-01", "General", "43890"),
            ("2024-03-01", "yyyy/m/d", "2024/3/1"),
            ("1904-01-01T06:00", "General", "0.25"),
            ("1904-01-02T18:30", "yyyy/m/d h:mm", "1904/1/2 18:30"),
            ("12:00", "General", "0.5"),
        ], date1904=True)


class SheetLook(Workbooks):
    """What a drawing needs to look like the sheet: wrap and shrink, vertical
    alignment, border styles, solid fills in RGB, theme and indexed colours, and the
    size of rich text whose runs agree."""

    def make(self):
        wb = openpyxl.Workbook()
        ws = wb.active
        ws["A1"], ws["B1"], ws["C1"], ws["D1"], ws["E1"] = "wrap", "shrink", "plain", "inline", "rich"
        ws["A1"].alignment = Alignment(wrap_text=True, vertical="top")
        ws["B1"].alignment = Alignment(shrink_to_fit=True, vertical="center")
        ws["A2"].border = Border(top=Side(style="thick"), bottom=Side(style="double"))
        ws["B2"].border = Border(left=Side(style="dashed"), right=Side(style="hair"))
        ws["C2"].border = Border(diagonal=Side(style="medium"), diagonalDown=True, diagonalUp=True)
        ws["D2"].border = Border(bottom=Side(style="mediumDashDotDot"))
        ws["A3"].fill = PatternFill("solid", fgColor="FFD9D9D9")
        ws["B3"].fill = PatternFill("solid", fgColor=Color(theme=4, tint=0.4))
        ws["C3"].fill = PatternFill("solid", fgColor=Color(indexed=22))
        ws["D3"].fill = PatternFill("gray125")
        for name in ("A3", "B3", "C3", "D3"):
            ws[name] = "x"
        ws["A4"].font = Font(size=11)
        path = self.dir / "look.xlsx"
        wb.save(path)
        patch(path, "xl/worksheets/sheet1.xml", lambda x: re.sub(
            r'<c r="D1"[^>]*>.*?</c>',
            '<c r="D1" t="inlineStr"><is><r><rPr><sz val="14"/></rPr><t>大</t></r>'
            '<r><rPr><b/><sz val="14"/></rPr><t>見出し</t></r></is></c>', x))
        patch(path, "xl/sharedStrings.xml", lambda x: x.replace(
            "<si><t>rich</t></si>",
            '<si><r><rPr><sz val="16"/></rPr><t>ri</t></r><r><rPr><sz val="9"/></rPr><t>ch</t></r></si>'))
        return path

    def test_look_fields(self):
        capture, _, _ = self.capture(self.make(), "--range", "A1:E4")
        cell = lambda name: cell_index(capture, name)
        self.assertEqual([cell(n).get("wrapText", False) for n in ("A1", "B1", "C1")], [True, False, False])
        self.assertEqual([cell(n).get("shrinkToFit", False) for n in ("A1", "B1", "C1")], [False, True, False])
        self.assertEqual([cell(n).get("txtVAlign") for n in ("A1", "B1", "C1")], [1, 2, 3])
        self.assertEqual((cell("A2")["lineStyleTop"], cell("A2")["lineStyleBottom"]), ("thick", "double"))
        self.assertEqual((cell("B2")["lineStyleLeft"], cell("B2")["lineStyleRight"]), ("dashed", "hair"))
        self.assertEqual((cell("C2")["lineBits"], cell("C2")["lineStyleDown"], cell("C2")["lineStyleUp"]),
                         (48, "medium", "medium"))
        self.assertEqual(cell("D2")["lineStyleBottom"], "mediumDashDotDot")
        self.assertEqual(cell("A3")["fillColor"], "#D9D9D9")
        self.assertEqual(cell("C3")["fillColor"], "#C0C0C0")
        self.assertNotIn("fillColor", cell("D3"))  # a pattern is not a solid fill
        # accent1 of the workbook's theme, lightened by 40% in lightness
        import colorsys
        theme = zipfile.ZipFile(self.dir / "look.xlsx").read("xl/theme/theme1.xml").decode()
        accent = theme.split("<a:accent1>")[1].split('val="')[1][:6]
        h, l, s = colorsys.rgb_to_hls(*(int(accent[i:i + 2], 16) / 255 for i in (0, 2, 4)))
        r, g, b = colorsys.hls_to_rgb(h, l * 0.6 + 0.4, s)
        self.assertEqual(cell("B3")["fillColor"], "#%02X%02X%02X" % tuple(round(v * 255) for v in (r, g, b)))
        # rich text: runs that agree give their size; runs that differ keep the format's
        self.assertEqual((cell("D1")["str"], cell("D1")["txtSize"]), ("大見出し", 14))
        self.assertEqual((cell("E1")["str"], cell("E1")["txtSize"]), ("rich", 11))

    def test_look_draws_with_sheet_look(self):
        out = self.dir / "look.dxf"
        code, stdout, stderr = run("convert", self.make(), "--range", "A1:E4", "-o", out, "--sheet-look")
        self.assertEqual(code, 0, stdout + stderr)
        doc = ezdxf.readfile(str(out))
        msp = doc.modelspace()
        self.assertEqual(len(msp.query("SOLID")), 3)
        self.assertEqual({l.dxf.linetype for l in msp.query("LINE")} & {"XLSDASHED", "XLSHAIR", "XLSDASHDOTDOT"},
                         {"XLSDASHED", "XLSHAIR", "XLSDASHDOTDOT"})
        self.assertGreater(len(msp.query('LINE[layer=="XLSBordLineThick"]')), 0)


class Choosing(Workbooks):
    def make(self):
        wb = openpyxl.Workbook()
        first = wb.active
        first.title = "First"
        first["A1"] = "first"
        sheet = wb.create_sheet("機器表")
        for r in range(2, 6):
            for c in range(2, 5):
                sheet.cell(r, c, r * 10 + c)
        sheet["D6"].border = Border(bottom=Side(style="thin"))  # formatted, no value: still used
        sheet.sheet_view.selection[0].sqref = "C3:D4 B5"
        sheet.sheet_view.selection[0].activeCell = "C3"
        wb.active = 1
        path = self.dir / "choose.xlsx"
        wb.save(path)
        return path

    def test_active_sheet_and_saved_selection(self):
        capture, stdout, _ = self.capture(self.make())
        self.assertEqual(capture["source"]["sheet"], "機器表")
        self.assertEqual((capture["source"]["firstRow"], capture["source"]["firstCol"], capture["rows"], capture["cols"]),
                         (3, 3, 2, 2))
        self.assertEqual([c["str"] for c in capture["cells"]], ["33", "34", "43", "44"])
        self.assertIn('Sheet "機器表", range C3:D4', stdout)

    def test_single_cell_selection_gives_the_used_range(self):
        book = self.make()
        patch(book, "xl/worksheets/sheet2.xml", lambda x: x.replace('sqref="C3:D4 B5"', 'sqref="C3"'))
        capture, stdout, _ = self.capture(book)
        self.assertEqual((capture["source"]["firstRow"], capture["source"]["firstCol"], capture["rows"], capture["cols"]),
                         (2, 2, 5, 3))
        self.assertIn("used range", stdout)

    def test_whole_columns_selected_give_their_used_part(self):
        book = self.make()
        patch(book, "xl/worksheets/sheet2.xml", lambda x: x.replace('sqref="C3:D4 B5"', 'sqref="C1:D1048576"'))
        capture, stdout, _ = self.capture(book)
        self.assertEqual((capture["source"]["firstRow"], capture["source"]["firstCol"], capture["rows"], capture["cols"]),
                         (2, 3, 5, 2))
        self.assertIn("C1:D1048576, within the used range", stdout)

    def test_frozen_panes_take_the_active_panes_selection(self):
        wb = openpyxl.Workbook()
        ws = wb.active
        ws.freeze_panes = "B2"
        ws.sheet_view.selection[0].sqref = "B1:C1"  # top-right pane, not the active one
        ws.sheet_view.selection[-1].sqref = "C3:D5"  # bottom-right, the active pane
        book = self.dir / "frozen.xlsx"
        wb.save(book)
        capture, _, _ = self.capture(book)
        self.assertEqual((capture["source"]["firstRow"], capture["source"]["firstCol"], capture["rows"], capture["cols"]),
                         (3, 3, 3, 2))

    def test_sheet_and_range_options(self):
        book = self.make()
        capture, _, _ = self.capture(book, "--sheet", "first")  # sheet names ignore case
        self.assertEqual((capture["source"]["sheet"], capture["rows"], capture["cols"]), ("First", 1, 1))
        capture, _, _ = self.capture(book, "--sheet", "機器表", "--range", "$D$5:b4")
        self.assertEqual((capture["source"]["firstRow"], capture["source"]["firstCol"], capture["rows"], capture["cols"]),
                         (4, 2, 2, 3))
        capture, _, _ = self.capture(book, "--sheet", "機器表", "--range", "Z100")
        self.assertEqual((capture["rows"], capture["cols"], capture["cells"][0]["str"]), (1, 1, ""))


class BadFiles(Workbooks):
    def good(self, name="good.xlsx"):
        wb = openpyxl.Workbook()
        wb.active["A1"] = "x"
        wb.active["B2"] = "y"
        path = self.dir / name
        wb.save(path)
        return path

    def test_bad_workbooks_are_named_and_refused(self):
        cases = {}
        text = self.dir / "text.xlsx"
        text.write_text("just text\n")
        cases["not a zip"] = (text, [], "not a ZIP archive")
        truncated = self.dir / "truncated.xlsx"
        truncated.write_bytes(self.good().read_bytes()[:1500])
        cases["truncated"] = (truncated, [], "damaged")
        missing = self.dir / "missing.xlsx"
        with zipfile.ZipFile(missing, "w") as z:
            z.writestr("[Content_Types].xml", "<Types/>")
        cases["missing part"] = (missing, [], "xl/workbook.xml")
        malformed = self.good("malformed.xlsx")
        patch(malformed, "xl/worksheets/sheet1.xml", lambda x: x.replace("</sheetData>", "</sheetDta>"))
        cases["malformed xml"] = (malformed, [], "xl/worksheets/sheet1.xml is not well-formed XML: line 1")
        bomb = self.good("bomb.xlsx")
        patch(bomb, "xl/worksheets/sheet1.xml", lambda x: x.replace("<sheetData>", "<sheetData>" + " " * (64 << 20)))
        cases["zip bomb"] = (bomb, [], "ZIP bomb")
        corrupt = self.good("crc.xlsx")
        data = bytearray(corrupt.read_bytes())
        with zipfile.ZipFile(corrupt) as z:
            info = z.getinfo("xl/worksheets/sheet1.xml")
        start = info.header_offset + 30 + len(info.filename) + len(info.extra)
        data[start + 10] ^= 0xFF
        corrupt.write_bytes(bytes(data))
        cases["flipped byte"] = (corrupt, [], "damaged")
        overlap = self.good("overlap.xlsx")
        patch(overlap, "xl/worksheets/sheet1.xml", lambda x: x.replace(
            "</sheetData>", '</sheetData><mergeCells count="2"><mergeCell ref="A1:B2"/><mergeCell ref="B2:C3"/>'
            "</mergeCells>"))
        cases["overlapping merged areas"] = (overlap, ["--range", "A1:C3"], "B2:C3 overlaps another one at B2")
        good = self.good()
        cases["no such sheet"] = (good, ["--sheet", "Nope"], 'no sheet "Nope"; its sheets are "Sheet"')
        cases["bad range"] = (good, ["--range", "A1:B"], '"A1:B" is not a range of cells')
        cases["past the last row"] = (good, ["--range", "A1048577"], "is not a range")
        cases["too many rows"] = (good, ["--range", "A1:A70000"], "70000 rows; a capture holds at most 65535")
        cases["too many cells"] = (good, ["--range", "A1:XFD100"], "1638400 cells; a capture holds at most 1000000")
        for name, (book, args, message) in cases.items():
            with self.subTest(name):
                stdout, stderr = self.capture(book, *args, expect=1)
                self.assertIn(message, stderr)
                self.assertIn(book.name, stderr)

    def test_error_value_names_the_cell(self):
        wb = openpyxl.Workbook()
        ws = wb.active
        ws.title = "計算"
        ws["A1"] = 1
        ws["C4"] = "#N/A"  # openpyxl stores this as an error value
        book = self.dir / "error.xlsx"
        wb.save(book)
        _, stderr = self.capture(book, expect=1)
        self.assertIn("計算!C4 holds the error value #N/A", stderr)
        # Outside the range it does not matter.
        capture, _, _ = self.capture(book, "--range", "A1:B3")
        self.assertEqual(capture["rows"], 3)

    def test_usage_errors_exit_2(self):
        good = self.good()
        for args in (["capture"], ["capture", good, "--range"], ["capture", good, "--bogus"],
                     ["capture", good, good], ["convert", self.dir / "x.json", "--sheet", "A"]):
            with self.subTest(args=args):
                code, _, stderr = run(*args)
                self.assertEqual(code, 2, stderr)


class StreamedSheets(Workbooks):
    """The sheet is read as a stream, row by row; however its rows are listed, the
    capture is the one of the plain sheet, and a capture that fails part-way
    leaves the earlier file alone."""

    def make(self, name="plain.xlsx", rows=30):
        wb = openpyxl.Workbook()
        ws = wb.active
        ws.title = "表"
        thin = Side(style="thin")
        for r in range(1, rows + 1):
            ws.row_dimensions[r].height = 12 + r % 4
            for c in range(1, 7):
                cell = ws.cell(r, c, "部材-%d" % (r * 10 + c) if c % 2 else r * 1.5 + c)
                if (r + c) % 3 == 0:
                    cell.border = Border(top=thin, bottom=thin, left=thin, right=thin)
        ws.merge_cells("B5:C6")
        ws.merge_cells("D28:F30")
        path = self.dir / name
        wb.save(path)
        return path

    @staticmethod
    def rows_of(xml):
        head, rest = xml.split("<sheetData>", 1)
        body, tail = rest.split("</sheetData>", 1)
        rows = re.findall(r"<row .*?</row>", body)
        return head, rows, tail

    def test_rows_in_any_order_and_prefixed_names_capture_alike(self):
        def shuffled(xml):
            head, rows, tail = self.rows_of(xml)
            random.Random(7).shuffle(rows)
            return head + "<sheetData>" + "".join(rows) + "</sheetData>" + tail

        def prefixed(xml):
            xml = xml.replace("<worksheet ", '<x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/'
                              '2006/main" ', 1).replace("</worksheet>", "</x:worksheet>")
            return re.sub(r"<(/?)(sheetData|row|c|v|is|t|mergeCells|mergeCell)([ >/])", r"<\1x:\2\3", xml)

        def without_row_numbers(xml):
            return re.sub(r'<row r="\d+"', "<row", xml)

        plain = self.make()
        for args in ([], ["--range", "B4:E29"], ["--range", "A1:C2"]):
            want, _, _ = self.capture(plain, *args)
            for name, edit in (("shuffled", shuffled), ("prefixed", prefixed), ("no row numbers", without_row_numbers)):
                with self.subTest(name, args=args):
                    book = self.make(name.replace(" ", "-") + ".xlsx")
                    patch(book, "xl/worksheets/sheet1.xml", edit)
                    got, _, _ = self.capture(book, *args)
                    got["source"]["workbook"] = want["source"]["workbook"]
                    self.assertEqual(got, want)

    def test_row_listed_twice_counts_its_last_listing(self):
        book = self.make()

        def twice(xml):
            head, rows, tail = self.rows_of(xml)
            again = rows[2].replace('ht="15"', 'ht="30"').replace("<v>", "<v>9", 1)
            return head + "<sheetData>" + "".join(rows) + again + "</sheetData>" + tail

        patch(book, "xl/worksheets/sheet1.xml", twice)
        capture, _, _ = self.capture(book, "--range", "A1:F5")
        third = capture["cells"][2 * 6: 3 * 6]
        self.assertEqual({c["rowH"] for c in third}, {30})
        self.assertEqual(capture["cells"][0]["rowH"], 13)

    def test_a_fault_far_down_the_sheet_leaves_the_earlier_capture(self):
        # Far enough down that the first part of the new file has been written.
        book = self.make(rows=1500)
        out = self.dir / "capture.json"
        out.write_text("the earlier capture")
        patch(book, "xl/worksheets/sheet1.xml", lambda x: x.replace(
            '<c r="B1500" t="n"><v>', '<c r="B1500" t="e"><v>#DIV/0!</v></c><c r="Z1500"><v>'))
        code, _, stderr = run("capture", book, "-o", out)
        self.assertEqual(code, 1, stderr)
        self.assertIn("!B1500 holds the error value #DIV/0!", stderr)
        self.assertEqual(out.read_text(), "the earlier capture")
        self.assertEqual(sorted(p.name for p in self.dir.iterdir()), sorted(["capture.json", "plain.xlsx"]))

    def test_document_type_declarations_are_refused(self):
        book = self.make()
        patch(book, "xl/worksheets/sheet1.xml", lambda x: x.replace(
            "<worksheet", '<!DOCTYPE worksheet [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;">]><worksheet',
            1))
        _, stderr = self.capture(book, expect=1)
        self.assertIn("xl/worksheets/sheet1.xml is not well-formed XML", stderr)
        self.assertIn("document type declaration", stderr)


class RoundTrip(Workbooks):
    def test_capture_then_convert_and_direct_convert_draw_the_same(self):
        wb = openpyxl.Workbook()
        ws = wb.active
        ws.title = "機器表"
        box = Side(style="thin")
        ws["B2"] = "空調機器表"
        ws.merge_cells("B2:D2")
        for c, head in zip("BCD", ("記号", "名称", "能力")):
            ws[c + "3"] = head
        ws["B4"], ws["C4"], ws["D4"] = "AC-1", "室内機", 5.6
        for row in ws["B2:D4"]:
            for cell in row:
                cell.border = Border(top=box, bottom=box, left=box, right=box)
        ws.sheet_view.selection[0].sqref = "B2:D4"
        book = self.dir / "schedule.xlsx"
        wb.save(book)

        ini = self.dir / "scales.ini"
        ini.write_text("[Quillbox]\r\ncadXsc=5\r\n")
        capture, _, _ = self.capture(book, "--settings", ini)
        self.assertEqual(capture["settings"]["cadXsc"], 5)
        via_capture = self.dir / "via-capture.dxf"
        code, _, stderr = run("convert", self.dir / "capture.json", "-o", via_capture)
        self.assertEqual(code, 0, stderr)
        direct = self.dir / "direct.dxf"
        code, stdout, stderr = run("convert", book, "-o", direct, "--settings", ini)
        self.assertEqual(code, 0, stderr)
        self.assertIn("range B2:D4", stdout)
        self.assertEqual(direct.read_bytes(), via_capture.read_bytes())

        doc = ezdxf.readfile(str(direct))
        self.assertFalse(doc.audit().has_errors)
        msp = doc.modelspace()
        texts = sorted(e.dxf.text for e in msp.query("TEXT"))
        self.assertEqual(texts, sorted(["空調機器表", "記号", "名称", "能力", "AC-1", "室内機", "5.6"]))
        self.assertEqual(len(msp.query("POLYLINE")), 1)  # the merged title's outline
        number = next(e for e in msp.query("TEXT") if e.dxf.text == "5.6")
        self.assertEqual(number.dxf.halign, 2)  # a number under General alignment is drawn right-aligned


if __name__ == "__main__":
    TABULON = sys.argv[1]
    unittest.main(argv=[sys.argv[0]] + sys.argv[2:], verbosity=2)
