"""The workbook that tabulon.exe's "ファイルから取得" captures in the end-to-end
test, and the drawing the Linux converter makes of it with the same settings.

    file_capture_inputs.py OUTDIR LINUX_TABULON

Writes OUTDIR/機器 表.xlsx, OUTDIR/tabulon.ini (the settings both programs draw
with) and OUTDIR/expected.dxf."""
import pathlib
import subprocess
import sys

import openpyxl
from openpyxl.styles import Alignment, Border, Font, PatternFill, Side

# As the end-to-end test writes them into the program's INI, the look included.
SETTINGS = {"cadXsc": "10", "cadYsc": "2", "cadTsc": "0.5", "cadTof": "0.8", "cellLineDraw": "1",
            "fitText": "1", "sheetVAlign": "1", "lineSpacing": "1.3", "borderStyle": "1", "cellFill": "1"}


def workbook(path):
    """Two sheets, the second active with a saved selection: a merged title with
    a fill, wrapped and vertically aligned texts, border styles, number formats."""
    wb = openpyxl.Workbook()
    wb.active.title = "表紙"
    wb.active["A1"] = "描かないシート"
    ws = wb.create_sheet("一覧")
    thin, double, dashed = (Side(style=s) for s in ("thin", "double", "dashed"))
    ws.column_dimensions["B"].width = 8
    ws.column_dimensions["C"].width = 14
    ws.column_dimensions["D"].width = 8
    ws.column_dimensions["E"].width = 10
    ws.row_dimensions[2].height = 24
    ws["B2"] = "機器一覧表"
    ws["B2"].font = Font(size=14)
    ws["B2"].alignment = Alignment(horizontal="center", vertical="center")
    ws["B2"].fill = PatternFill("solid", fgColor="FFDDEEFF")
    ws.merge_cells("B2:E2")
    for col, head in zip("BCDE", ("番号", "品名", "数量", "備考")):
        ws[col + "3"] = head
        ws[col + "3"].alignment = Alignment(horizontal="center")
        ws[col + "3"].border = Border(top=thin, bottom=double)
    rows = [(1, "ポンプ", 3, "屋外設置"), (2, "送風機\n天井吊り", 10.5, None), ("合計", None, 13.5, "")]
    for r, values in enumerate(rows, start=4):
        for col, value in zip("BCDE", values):
            ws["%s%d" % (col, r)] = value
            ws["%s%d" % (col, r)].border = Border(bottom=dashed, left=thin)
    ws["C5"].alignment = Alignment(wrap_text=True, vertical="top")
    ws["C5"].font = Font(size=9)
    ws["D5"].number_format = "0.00"
    ws["E4"].alignment = Alignment(horizontal="left")
    ws.merge_cells("E4:E5")
    ws.merge_cells("B6:C6")
    ws["B6"].alignment = Alignment(horizontal="right")
    ws["E6"].border = Border(diagonal=thin, diagonalDown=True)
    ws.sheet_view.selection[0].sqref = "B2:E6"
    wb.active = 1
    wb.save(path)


def main():
    out = pathlib.Path(sys.argv[1])
    converter = sys.argv[2]
    out.mkdir(parents=True, exist_ok=True)
    book = out / "機器 表.xlsx"
    workbook(book)
    ini = out / "tabulon.ini"
    ini.write_text("[Quillbox]\n" + "".join("%s=%s\n" % kv for kv in SETTINGS.items()), encoding="ascii")
    expected = out / "expected.dxf"
    expected.unlink(missing_ok=True)
    result = subprocess.run([converter, "convert", str(book), "--settings", str(ini), "-o", str(expected)],
                            capture_output=True, text=True, timeout=300)
    sys.stdout.write(result.stdout)
    sys.stderr.write(result.stderr)
    return result.returncode


if __name__ == "__main__":
    sys.exit(main())
