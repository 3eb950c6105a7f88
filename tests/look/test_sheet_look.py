#!/usr/bin/python3
"""The sheet's look in the drawing, read back with ezdxf.

    test_sheet_look.py TABULON OUTDIR

Converts small captures with each look setting on and off and checks the
drawing's own geometry: which TEXTs exist with which width factor and position,
which LINEs on which layer and line type, which SOLIDs in which colour. Renders
the business-table fixture to PNG (kept in OUTDIR) and checks that no two texts'
estimated boxes overlap when texts are fitted.
"""
import json
import pathlib
import subprocess
import sys
import tempfile
import unittest

import ezdxf

HERE = pathlib.Path(__file__).resolve().parent
ESTIMATE = HERE / "estimate-capture.json"
TABULON = None
OUTDIR = None

LOOK_OFF = "[Quillbox]\nfitText=0\nsheetVAlign=0\nlineSpacing=1\nborderStyle=0\ncellFill=0\n"


# Every conversion's files, removed when the tests end: a crowded temp folder
# makes Wine's short names of its entries collide.
SCRATCH = tempfile.TemporaryDirectory(prefix="tabulon-look-")


def convert(capture, *args, ini=None):
    folder = pathlib.Path(tempfile.mkdtemp(dir=SCRATCH.name))
    src = folder / "capture.json"
    if isinstance(capture, pathlib.Path):
        src.write_bytes(capture.read_bytes())
    else:
        src.write_text(json.dumps(capture, ensure_ascii=False), encoding="utf-8")
    extra = []
    if ini is not None:
        (folder / "look.ini").write_text(ini, encoding="utf-8")
        extra = ["--settings", str(folder / "look.ini")]
    out = folder / "out.dxf"
    result = subprocess.run([TABULON, "convert", str(src), "-o", str(out), *extra, *args], capture_output=True)
    if result.returncode != 0:
        raise AssertionError(result.stderr.decode("utf-8", "replace"))
    doc = ezdxf.readfile(str(out))
    assert not doc.audit().has_errors
    return out, doc


def cell(text="", **kw):
    c = {"rowH": 20, "colW": 8, "txtSize": 10, "txtAlign": 1, "str": text}
    c.update(kw)
    return c


def table(rows):
    return {"rows": len(rows), "cols": len(rows[0]), "cells": [c for r in rows for c in r]}


def texts(doc):
    return [e for e in doc.modelspace().query("TEXT")]


def half_width(ch):
    return ord(ch) < 0x80 or 0xFF61 <= ord(ch) <= 0xFF9F


def estimated_box(text, half=0.5):
    """The text's box from the drawing's own numbers: the estimate of widths."""
    h = text.dxf.height
    w = sum(half if half_width(ch) else 1.0 for ch in ezdxf.decode_dxf_unicode(text.dxf.text)) * h
    w *= text.dxf.width
    x, y = text.dxf.align_point.x, text.dxf.align_point.y
    left = {0: x, 1: x - w / 2, 2: x - w}[text.dxf.halign]
    return (left, y - h / 2, left + w, y + h / 2)


class SettingsOffTest(unittest.TestCase):
    def test_explicit_off_and_absent_draw_the_same_bytes(self):
        plain, _ = convert(ESTIMATE)
        off, _ = convert(ESTIMATE, ini=LOOK_OFF)
        self.assertEqual(plain.read_bytes(), off.read_bytes())
        _, doc = convert(ESTIMATE)
        self.assertEqual(len(doc.modelspace().query("SOLID")), 0)
        self.assertNotIn("XLSCellFill", [l.dxf.name for l in doc.layers])
        self.assertTrue(all(t.dxf.width == 1.0 for t in texts(doc)))


class FitTextTest(unittest.TestCase):
    def test_width_factor_and_wrapping(self):
        # colW 8 x 3 = 24 units; text height 10 x 0.27 = 2.7; offset 0.8 x 2.7.
        space = (24 - 0.8 * 2.7) / 2.7
        cases = [
            # text, cell keys, lines, first line's width factor
            ("ABCDEFGHIJKLMNOPQRST", {}, 1, space / 10.0),
            ("短い", {}, 1, 1.0),
            ("あいうえおかきくけこさしすせそ", {"wrapText": True}, 2, 1.0),
            ("one two three four five six seven", {"wrapText": True}, 3, 1.0),
            ("あいうえおかきくけこさしすせそ", {"shrinkToFit": True}, 1, space / 15.0),
            ("centred text too long", {"txtAlign": 2}, 1, (24 - 2 * 0.8 * 2.7) / 2.7 / 10.5),
        ]
        for text, keys, lines, factor in cases:
            with self.subTest(text=text, keys=keys):
                _, doc = convert(table([[cell(text, **keys)]]), ini="[Quillbox]\nfitText=1\n")
                got = texts(doc)
                self.assertEqual(len(got), lines)
                self.assertAlmostEqual(got[0].dxf.width, factor, places=9)
                joined = "".join(ezdxf.decode_dxf_unicode(t.dxf.text) for t in got)
                self.assertEqual(joined.replace(" ", ""), text.replace(" ", ""))
                for t in got:
                    box = estimated_box(t)
                    self.assertLessEqual(box[2] - box[0], space * 2.7 + 1e-9)

    def test_half_width_ratio_is_a_setting(self):
        _, narrow = convert(table([[cell("ABCDEFGHIJ")]]), ini="[Quillbox]\nfitText=1\n")
        _, wide = convert(table([[cell("ABCDEFGHIJ")]]), ini="[Quillbox]\nfitText=1\nhalfWidth=1\n")
        self.assertEqual(texts(narrow)[0].dxf.width, 1.0)
        self.assertLess(texts(wide)[0].dxf.width, 1.0)


class VerticalTest(unittest.TestCase):
    def test_top_middle_bottom_and_line_spacing(self):
        th, h = 10 * 0.27, 20 * 0.43
        cases = [
            # txtVAlign, sheetVAlign, lineSpacing, y of the first and second lines
            (1, 1, 1.0, [-0.8 * th - th / 2, -0.8 * th - th / 2 - th]),
            (3, 1, 1.0, [-h + 0.8 * th + th / 2 + th, -h + 0.8 * th + th / 2]),
            (2, 1, 1.3, [-h / 2 + 0.65 * th, -h / 2 - 0.65 * th]),
            (1, 0, 1.0, [-h / 2 + 0.5 * th, -h / 2 - 0.5 * th]),
            (0, 1, 1.0, [-h / 2 + 0.5 * th, -h / 2 - 0.5 * th]),
        ]
        for valign, on, spacing, ys in cases:
            with self.subTest(valign=valign, on=on, spacing=spacing):
                _, doc = convert(table([[cell("上\n下", txtVAlign=valign)]]),
                                 ini=f"[Quillbox]\nsheetVAlign={on}\nlineSpacing={spacing}\n")
                got = [t.dxf.align_point.y for t in texts(doc)]
                for g, w in zip(got, ys):
                    self.assertAlmostEqual(g, w, places=9)


class BorderStyleTest(unittest.TestCase):
    def test_layers_and_linetypes(self):
        cases = [
            ("thin", [("XLSBordLine", "BYLAYER")]),
            ("medium", [("XLSBordLineThick", "BYLAYER")]),
            ("thick", [("XLSBordLineThick", "BYLAYER")]),
            ("double", [("XLSBordLine", "BYLAYER"), ("XLSBordLine", "BYLAYER")]),
            ("dashed", [("XLSBordLine", "XLSDASHED")]),
            ("dotted", [("XLSBordLine", "XLSDOTTED")]),
            ("hair", [("XLSBordLine", "XLSHAIR")]),
            ("mediumDashDot", [("XLSBordLineThick", "XLSDASHDOT")]),
        ]
        for style, want in cases:
            with self.subTest(style=style):
                _, doc = convert(table([[cell(lineBits=2, lineStyleBottom=style)]]),
                                 "--no-cell-lines", ini="[Quillbox]\nborderStyle=1\n")
                lines = doc.modelspace().query("LINE")
                self.assertEqual([(l.dxf.layer, l.dxf.linetype) for l in lines], want)
                ys = sorted(l.dxf.start.y for l in lines)
                self.assertAlmostEqual(ys[0], -20 * 0.43)  # the edge itself
                if style == "double":
                    self.assertAlmostEqual(ys[1] - ys[0], 2 * 0.43)  # the second line inside the cell
                for l in lines:
                    if l.dxf.linetype != "BYLAYER":
                        self.assertIn(l.dxf.linetype, doc.linetypes)

    def test_styles_off_give_plain_lines(self):
        _, doc = convert(table([[cell(lineBits=2, lineStyleBottom="double")]]), "--no-cell-lines")
        self.assertEqual([(l.dxf.layer, l.dxf.linetype) for l in doc.modelspace().query("LINE")],
                         [("XLSBordLine", "BYLAYER")])

    def test_a_double_cross_draws_two_lines_per_diagonal_inside_the_cell(self):
        _, doc = convert(table([[cell(lineBits=48, lineStyleDown="double", lineStyleUp="double")]]),
                         "--no-cell-lines", ini="[Quillbox]\nborderStyle=1\n")
        lines = doc.modelspace().query("LINE")
        self.assertEqual(len(lines), 4)
        for l in lines:
            for p in (l.dxf.start, l.dxf.end):
                self.assertTrue(-1e-9 <= p.x <= 24 + 1e-9 and -20 * 0.43 - 1e-9 <= p.y <= 1e-9)


class FillTest(unittest.TestCase):
    def test_solids_first_in_the_nearest_colour(self):
        rows = [[cell("a", fillColor="#FF0000"), cell("b", fillColor="#FFFFFF"), cell("c")],
                [cell("d", fillColor="#D9D9D9", cellMerge=True, mergerowYscount=1, mergecolXscount=2),
                 cell("", fillColor="#D9D9D9", cellMerge=True, mergerowYscount=1, mergecolXscount=2),
                 cell("f", fillColor="#0000FF")]]
        _, doc = convert(table(rows), ini="[Quillbox]\ncellFill=1\n")
        entities = list(doc.modelspace())
        solids = [e for e in entities if e.dxftype() == "SOLID"]
        self.assertEqual([e.dxftype() for e in entities[:len(solids)]], ["SOLID"] * len(solids))
        self.assertEqual([s.dxf.color for s in solids], [1, 255, 9, 5])
        self.assertTrue(all(s.dxf.layer == "XLSCellFill" for s in solids))
        merged = solids[2]
        self.assertAlmostEqual(merged.dxf.vtx1.x - merged.dxf.vtx0.x, 48)  # the whole area


class BusinessTableTest(unittest.TestCase):
    def test_no_two_fitted_texts_overlap_and_pictures(self):
        out, doc = convert(ESTIMATE, "--sheet-look")
        boxes = [estimated_box(t) for t in texts(doc)]
        for i, a in enumerate(boxes):
            for b in boxes[i + 1:]:
                overlap = a[0] < b[2] - 1e-9 and b[0] < a[2] - 1e-9 and a[1] < b[3] - 1e-9 and b[1] < a[3] - 1e-9
                self.assertFalse(overlap, f"{a} and {b}")
        plain, _ = convert(ESTIMATE)
        render(plain, OUTDIR / "estimate-plain.png")
        render(out, OUTDIR / "estimate-sheet-look.png")


def render(dxf, png):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.font_manager
    matplotlib.font_manager.fontManager.defaultFamily["ttf"] = "IPAGothic"
    import matplotlib.pyplot as plt
    from ezdxf.addons.drawing import Frontend, RenderContext
    from ezdxf.addons.drawing.matplotlib import MatplotlibBackend
    from ezdxf.addons.drawing.properties import LayoutProperties

    doc = ezdxf.readfile(str(dxf))
    fig = plt.figure(figsize=(8, 5))
    ax = fig.add_axes([0, 0, 1, 1])
    msp = doc.modelspace()
    props = LayoutProperties.from_layout(msp)
    props.set_colors("#ffffff")
    Frontend(RenderContext(doc), MatplotlibBackend(ax)).draw_layout(msp, finalize=True, layout_properties=props)
    fig.savefig(str(png), dpi=110)
    plt.close(fig)
    assert png.stat().st_size > 1000


if __name__ == "__main__":
    TABULON = sys.argv[1]
    OUTDIR = pathlib.Path(sys.argv[2])
    OUTDIR.mkdir(parents=True, exist_ok=True)
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:])
