"""The peer of the workbook benchmark: openpyxl in read-only mode reads the active
sheet's values, number formats, borders, font sizes and alignments, and its merged
ranges (which read-only mode leaves out, so they are read from the sheet part as
a stream). Prints the seconds it took.

    /usr/bin/python3 openpyxl_peer.py BOOK.xlsx
"""
import sys
import time
import zipfile
import xml.etree.ElementTree as ET

import openpyxl

MAIN = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"


def main():
    path = sys.argv[1]
    start = time.perf_counter()
    wb = openpyxl.load_workbook(path, read_only=True)
    ws = wb.active
    cells = 0
    bordered = 0
    for row in ws.iter_rows():
        for cell in row:
            if cell.value is None:
                continue
            cells += 1
            _ = cell.number_format, cell.font.sz, cell.alignment.horizontal
            b = cell.border
            if b.left.style or b.right.style or b.top.style or b.bottom.style:
                bordered += 1
    merged = []
    with zipfile.ZipFile(path) as z, z.open(getattr(ws, "_worksheet_path", "xl/worksheets/sheet1.xml")) as part:
        for _, element in ET.iterparse(part):
            if element.tag == MAIN + "mergeCell":
                merged.append(element.get("ref"))
            element.clear()
    wb.close()
    print(f"{time.perf_counter() - start:.3f} {cells} {bordered} {len(merged)}")


if __name__ == "__main__":
    main()
