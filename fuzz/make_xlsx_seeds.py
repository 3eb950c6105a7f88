#!/usr/bin/python3
"""Writes the seed workbooks of the workbook fuzz targets (run with Debian's
python3, which has openpyxl): corpus/xlsx_file/*.xlsx, and the same workbooks
as NUL-separated XML parts in corpus/xlsx_parts/, in the order the target packs
them."""
import datetime
import pathlib
import zipfile

import openpyxl
from openpyxl.styles import Alignment, Border, Font, Side

HERE = pathlib.Path(__file__).resolve().parent
PARTS = ["[Content_Types].xml", "_rels/.rels", "xl/workbook.xml", "xl/_rels/workbook.xml.rels", "xl/styles.xml",
         "xl/sharedStrings.xml", "xl/worksheets/sheet1.xml"]


def table():
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "機器表"
    thin, double = Side(style="thin"), Side(style="double")
    ws["B2"] = "空調・換気機器表"
    ws.merge_cells("B2:E2")
    ws["B2"].alignment = Alignment(horizontal="center")
    ws["B2"].font = Font(size=14)
    for r, (name, qty, when) in enumerate([("AC-1", 2, datetime.date(2023, 2, 4)), ("FAN-2", 1.5, None)], start=3):
        ws.cell(r, 2, name).border = Border(left=thin, right=thin, top=double, bottom=thin, diagonal=thin)
        ws.cell(r, 3, qty).number_format = "# ?/8"
        ws.cell(r, 4, when).number_format = "yyyy/m/d"
        ws.cell(r, 5, qty * 1000).number_format = "#,##0;[Red]-#,##0"
    ws.column_dimensions["B"].width = 20
    ws.row_dimensions[3].height = 30
    return wb


def tiny():
    wb = openpyxl.Workbook()
    wb.active["A1"] = "A"
    wb.active["B1"] = 1.5
    return wb


for name, make in (("table", table), ("tiny", tiny)):
    path = HERE / "corpus" / "xlsx_file" / (name + ".xlsx")
    path.parent.mkdir(parents=True, exist_ok=True)
    make().save(path)
    with zipfile.ZipFile(path) as z:
        names = set(z.namelist())
        parts = [z.read(p) if p in names else b"" for p in PARTS]
    out = HERE / "corpus" / "xlsx_parts" / name
    out.parent.mkdir(parents=True, exist_ok=True)
    out.write_bytes(b"\0".join(parts))
