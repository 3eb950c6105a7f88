#!/usr/bin/python3
"""The Windows converter reads workbooks exactly as the Linux one does: the same
workbooks, in a folder and under names with Japanese characters and blanks, go
through `tabulon` and, under Wine, `tabulon-cli.exe` with the same command lines.
Exit codes, printed lines, capture files and drawings must match byte for byte.

    test_xlsx_cross_build.py LINUX_TABULON WINE_RUNNER TABULON_CLI_EXE
"""
import datetime
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

import openpyxl
from openpyxl.styles import Alignment, Border, Font, PatternFill, Side

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import test_xlsx_capture as fixtures  # noqa: E402  (its workbooks, reused)

LINUX = None
WINDOWS = None
PREVIOUS = b"previous drawing"


def run(command, args):
    result = subprocess.run(command + [str(a) for a in args], capture_output=True, timeout=300)
    return result.returncode, result.stdout, result.stderr


def business_table(path):
    """A schedule as people send it: two sheets, Japanese texts, a merged title,
    border styles, fills, wrapped and vertically aligned texts, number and date
    formats whose rounding a C library could get differently, a saved formula
    result, a hidden column and a saved selection."""
    wb = openpyxl.Workbook()
    notes = wb.active
    notes.title = "メモ"
    notes["A1"] = "このシートは描きません"
    ws = wb.create_sheet("機器表 (1F)")
    thin, medium, double, dashed = (Side(style=s) for s in ("thin", "medium", "double", "dashed"))
    ws.column_dimensions["A"].width = 4
    ws.column_dimensions["B"].width = 18.5
    ws.column_dimensions["C"].width = 11
    ws.column_dimensions["E"].hidden = True
    ws.column_dimensions["G"].width = 24
    ws.row_dimensions[2].height = 27.75
    ws.row_dimensions[4].height = 31.5
    ws["B2"] = "空調・換気機器表　ｶﾀｶﾅ 半角"
    ws["B2"].font = Font(size=16, bold=True)
    ws["B2"].alignment = Alignment(horizontal="center", vertical="center")
    ws.merge_cells("B2:G2")
    ws["B2"].fill = PatternFill("solid", fgColor="FFDDEEFF")
    heads = ("記号", "名称", "数量", "能力 (kW)", "隠し列", "比率", "備考")
    for col, head in zip("ABCDEFG", heads):
        cell = ws[col + "3"]
        cell.value = head
        cell.alignment = Alignment(horizontal="center", vertical="bottom", wrap_text=True)
        cell.border = Border(top=medium, bottom=double, left=thin, right=thin)
        cell.fill = PatternFill("solid", fgColor="FFFFF2CC")
    rows = [
        ("AC-1", "室内機\n天井カセット形", 12, 2.675, "x", 1 / 3, 0.1 + 0.2),
        ("AC-2", "室外機", 1234567, 5.6e-5, "y", 0.125, datetime.date(2023, 2, 4)),
        ("FAN", "全熱交換器 ﾛｽﾅｲ", -0.5, 123456789012.345, "z", 2 / 3, datetime.datetime(2024, 2, 29, 13, 5, 59)),
        ("計", None, 1e-10, 1.005, None, 1.5, "=SUM(C4:C6)"),
    ]
    formats = ("@", "General", "#,##0", "0.00", "General", "0.0%", "General")
    for r, values in enumerate(rows, start=4):
        for col, value, fmt in zip("ABCDEFG", values, formats):
            cell = ws["%s%d" % (col, r)]
            cell.value = value
            cell.number_format = fmt
            cell.border = Border(top=dashed, bottom=dashed, left=thin, right=thin)
            cell.alignment = Alignment(vertical=("top", "center", "bottom", "center")[r - 4], wrap_text=col == "B")
        ws["D%d" % r].font = Font(size=(9, 10.5, 11, 14)[r - 4])
    ws["G5"].number_format = 'yyyy"年"m"月"d"日"'
    ws["G6"].number_format = "yyyy/mm/dd h:mm:ss"
    ws["D5"].number_format = "0.00E+00"
    ws["D6"].number_format = "#,##0.000;[Red]-#,##0.000"
    ws["C7"].number_format = "0.000000000000"
    ws["F7"].number_format = "# ?/?"
    ws["B7"].border = Border(diagonal=thin, diagonalDown=True, diagonalUp=True)
    ws.sheet_view.selection[0].sqref = "A2:G7"
    wb.active = 1
    wb.save(path)
    # The saved result of the formula, as a spreadsheet program writes it.
    fixtures.patch(path, "xl/worksheets/sheet2.xml", lambda x: x.replace(
        "<f>SUM(C4:C6)</f><v></v>", "<f>SUM(C4:C6)</f><v>1234578.5000000001</v>").replace(
        "<f>SUM(C4:C6)</f><v />", "<f>SUM(C4:C6)</f><v>1234578.5000000001</v>"))


class CrossBuild(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = pathlib.Path(tempfile.mkdtemp(prefix="tabulon 両方-"))
        cls.dir = cls.root / "図面 データ"
        cls.dir.mkdir()
        d = cls.dir
        cls.book = d / "機器表 2023 春.xlsx"
        business_table(cls.book)
        # The native tests' workbooks: every kind of cell value, and sheet choice.
        maker = fixtures.CellValues()
        maker.dir = d
        cls.cells = d / "セル 一覧.xlsx"
        maker.make().rename(cls.cells)
        maker = fixtures.Choosing()
        maker.dir = d
        cls.choose = d / "選択 範囲.xlsx"
        maker.make().rename(cls.choose)
        cls.ini = d / "縮尺 設定.ini"
        cls.ini.write_text("[Quillbox]\r\ncadXsc=2.5\r\ncadYsc=0.5\r\ncadTsc=0.3\r\ncellLineColor=3\r\n")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.root, ignore_errors=True)

    def compare(self, args, outputs=(), expect=0, keep=None):
        """Runs args through both programs in turn and compares what each did.
        outputs: the files the run writes (removed before each run). keep: a file
        that must still hold PREVIOUS afterwards."""
        results = []
        for command in (LINUX, WINDOWS):
            for out in outputs:
                out.unlink(missing_ok=True)
            if keep:
                keep.write_bytes(PREVIOUS)
            code, stdout, stderr = run(command, args)
            written = {out.name: out.read_bytes() for out in outputs if out.exists()}
            kept = keep.read_bytes() if keep else None
            results.append((code, stdout.decode("utf-8"), stderr.decode("utf-8"), written, kept))
        linux, windows = results
        self.assertEqual(linux[0], expect, linux[1] + linux[2])
        self.assertEqual(windows[:3], linux[:3])
        self.assertEqual(sorted(windows[3]), sorted(linux[3]))
        for name, data in linux[3].items():
            self.assertTrue(data == windows[3][name], name + " differs between the builds")
        if keep:
            self.assertEqual((linux[4], windows[4]), (PREVIOUS, PREVIOUS))
        if expect == 0:
            self.assertEqual(sorted(linux[3]), sorted(out.name for out in outputs))
        return linux

    def test_captures(self):
        d = self.dir
        out = d / "取得 結果.json"
        cases = {
            "default sheet, range and output": (["capture", self.book], [self.book.with_suffix(".json")]),
            "every kind of cell": (["capture", self.cells, "--range", "A1:H9", "-o", out], [out]),
            "merged area cut by the range": (["capture", self.cells, "--range", "C8:E9", "-o", out], [out]),
            "saved selection on the active sheet": (["capture", self.choose, "-o", out], [out]),
            "sheet by name, range in any case": (
                ["capture", self.choose, "--sheet", "機器表", "--range", "$D$5:b4", "-o", out], [out]),
            "scales recorded": (["capture", self.book, "--settings", self.ini, "--range", "B3:G7", "-o", out],
                                [out]),
            "other sheet": (["capture", self.book, "--sheet", "メモ", "-o", out], [out]),
        }
        for name, (args, outputs) in cases.items():
            with self.subTest(name):
                self.compare(args, outputs)

    def test_drawings(self):
        d = self.dir
        out = d / "図面 出力.dxf"
        cases = {
            "default output": (["convert", self.book], [self.book.with_suffix(".dxf")]),
            "sheet look": (["convert", self.book, "--sheet-look", "-o", out], [out]),
            "settings, no cell lines": (
                ["convert", self.book, "--settings", self.ini, "--no-cell-lines", "-o", out], [out]),
            "every kind of cell": (["convert", self.cells, "--range", "A1:H9", "--sheet-look", "-o", out], [out]),
            "chosen sheet and range": (
                ["convert", self.choose, "--sheet", "機器表", "--range", "B2:D6", "-o", out], [out]),
        }
        for name, (args, outputs) in cases.items():
            with self.subTest(name):
                self.compare(args, outputs)

    def test_refusals(self):
        d = self.dir
        keep = d / "前の 図面.dxf"
        text = d / "文字 だけ.xlsx"
        text.write_text("just text\n")
        truncated = d / "途中 まで.xlsx"
        truncated.write_bytes(self.book.read_bytes()[:1500])
        error = d / "エラー 値.xlsx"
        wb = openpyxl.Workbook()
        wb.active.title = "計算"
        wb.active["A1"], wb.active["C4"] = 1, "#N/A"
        wb.save(error)
        folder = d / "フォルダ です.xlsx"
        folder.mkdir()
        empty = d / "空の シート.xlsx"
        openpyxl.Workbook().save(empty)
        bomb = d / "爆弾 ファイル.xlsx"
        wb = openpyxl.Workbook()
        wb.active["A1"] = "x"
        wb.save(bomb)
        fixtures.patch(bomb, "xl/worksheets/sheet1.xml",
                       lambda x: x.replace("<sheetData>", "<sheetData>" + " " * (64 << 20)))
        with zipfile.ZipFile(bomb) as z:
            self.assertLess(z.getinfo("xl/worksheets/sheet1.xml").compress_size, 1 << 20)
        cases = {
            "not a ZIP archive": (["convert", text, "-o", keep], 1),
            "truncated": (["convert", truncated, "-o", keep], 1),
            "error value": (["convert", error, "-o", keep], 1),
            "ZIP bomb": (["convert", bomb, "-o", keep], 1),
            "a folder": (["convert", folder, "-o", keep], 1),
            "no such workbook": (["convert", d / "無い ブック.xlsx", "-o", keep], 1),
            "no such sheet": (["convert", self.book, "--sheet", "無い", "-o", keep], 1),
            "bad range": (["convert", self.book, "--range", "A1:B", "-o", keep], 1),
            "too many rows": (["convert", self.book, "--range", "A1:A70000", "-o", keep], 1),
            "empty sheet, nothing selected": (["capture", empty, "-o", keep], 1),
            "output is the workbook": (["capture", self.book, "-o", self.book], 1),
            "unknown option": (["capture", self.book, "--bogus"], 2),
            "two workbooks": (["capture", self.book, self.cells], 2),
            "range for a capture file": (["convert", d / "x.json", "--range", "A1"], 2),
        }
        before = self.book.read_bytes()
        for name, (args, expect) in cases.items():
            with self.subTest(name):
                code, _, stderr, _, _ = self.compare(args, expect=expect, keep=keep)
                self.assertTrue(stderr.strip())
        self.assertEqual(self.book.read_bytes(), before)
        self.assertEqual([p.name for p in d.iterdir() if ".tmp" in p.name], [])

    def test_windows_path_spelling(self):
        """A drive letter and backslashes, as Windows users type paths: the same
        capture and drawing, written beside the workbook."""
        outputs = (self.book.with_suffix(".json"), self.book.with_suffix(".dxf"))
        for command in ("capture", "convert"):
            with self.subTest(command):
                for out in outputs:
                    out.unlink(missing_ok=True)
                code, stdout, stderr = run(LINUX, [command, self.book])
                self.assertEqual(code, 0, stderr)
                expected = {out.name: out.read_bytes() for out in outputs if out.exists()}
                for out in outputs:
                    out.unlink(missing_ok=True)
                windows_path = "Z:" + str(self.book).replace("/", "\\")
                code, win_stdout, win_stderr = run(WINDOWS, [command, windows_path])
                self.assertEqual(code, 0, win_stderr)
                written = {out.name: out.read_bytes() for out in outputs if out.exists()}
                self.assertEqual(sorted(written), sorted(expected))
                for name, data in expected.items():
                    self.assertTrue(data == written[name], name + " differs between the builds")
                unix_out = str(self.book.with_suffix("." + ("json" if command == "capture" else "dxf")))
                windows_out = "Z:" + unix_out.replace("/", "\\")
                self.assertEqual(win_stdout.decode("utf-8"), stdout.decode("utf-8").replace(unix_out, windows_out))


if __name__ == "__main__":
    LINUX = [sys.argv[1]]
    WINDOWS = [sys.argv[2], sys.argv[3]]
    unittest.main(argv=[sys.argv[0]] + sys.argv[4:], verbosity=2)
