#!/usr/bin/python3
"""The preview draws the drawing itself: for a set of captures, every entity of
the DXF that 'tabulon convert' writes (read back with ezdxf) appears in the SVG
that 'tabulon preview' writes, with the same coordinates, and nothing else does.

    test_preview.py TABULON OUTDIR
"""
import pathlib
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

import ezdxf

ROOT = pathlib.Path(__file__).resolve().parents[2]
CAPTURES = [ROOT / "examples" / "sample-capture.json", ROOT / "tests" / "look" / "estimate-capture.json"]
TABULON = None
OUTDIR = None
SVG = "{http://www.w3.org/2000/svg}"


def run(*args):
    result = subprocess.run([TABULON, *map(str, args)], capture_output=True)
    if result.returncode != 0:
        raise AssertionError(result.stderr.decode("utf-8", "replace"))


def key(kind, layer, numbers, text=""):
    # Twelve significant digits: both sides print the same 15-digit numbers.
    return (kind, layer, tuple(float("%.12g" % n) for n in numbers), text)


def dxf_entities(path):
    doc = ezdxf.readfile(str(path))
    out = []
    for e in doc.modelspace():
        t = e.dxftype()
        if t == "LINE":
            out.append(key("line", e.dxf.layer, (e.dxf.start.x, e.dxf.start.y, e.dxf.end.x, e.dxf.end.y)))
        elif t == "POLYLINE":
            pts = [c for v in e.vertices for c in (v.dxf.location.x, v.dxf.location.y)]
            out.append(key("outline", e.dxf.layer, pts))
        elif t == "SOLID":
            v = [e.dxf.vtx0, e.dxf.vtx1, e.dxf.vtx3, e.dxf.vtx2]
            out.append(key("fill", e.dxf.layer, [c for p in v for c in (p.x, p.y)]))
        elif t == "TEXT":
            p = e.dxf.align_point
            out.append(key("text", e.dxf.layer, (p.x, p.y, e.dxf.height, e.dxf.width),
                           ezdxf.decode_dxf_unicode(e.dxf.text)))
        else:
            out.append(("unexpected", t))
    return sorted(out)


def svg_entities(path):
    root = ET.parse(path).getroot()
    out = []
    for el in root.iter():
        tag = el.tag.replace(SVG, "")
        layer = el.get("class")
        if tag == "line":
            out.append(key("line", layer, [float(el.get(a)) for a in ("x1", "y1", "x2", "y2")]))
        elif tag in ("polygon", "polyline"):
            pts = [float(c) for p in el.get("points").split() for c in p.split(",")]
            out.append(key("fill" if el.get("stroke") == "none" else "outline", layer, pts))
        elif tag == "text":
            transform = el.get("transform")
            wf = float(transform.split("scale(")[1].split(",")[0])
            out.append(key("text", layer, (float(el.get("x")), float(el.get("y")), float(el.get("font-size")), wf),
                           el.text or ""))
    return sorted(out)


class SameEntitiesTest(unittest.TestCase):
    def test_svg_holds_exactly_the_dxf_entities(self):
        scratch = tempfile.TemporaryDirectory(prefix="tabulon-preview-")
        self.addCleanup(scratch.cleanup)
        folder = pathlib.Path(scratch.name)
        for capture in CAPTURES:
            for flags in ([], ["--sheet-look"], ["--no-cell-lines"]):
                with self.subTest(capture=capture.name, flags=flags):
                    dxf, svg = folder / "a.dxf", folder / "a.svg"
                    run("convert", capture, "-o", dxf, *flags)
                    run("preview", capture, "-o", svg, *flags)
                    want, got = dxf_entities(dxf), svg_entities(svg)
                    self.assertGreater(len(want), 10)
                    self.assertEqual(got, want)

    def test_png_and_a_picture_for_people(self):
        for capture in CAPTURES:
            png = OUTDIR / (capture.stem + ".png")
            run("preview", capture, "-o", png, "--sheet-look")
            data = png.read_bytes()
            self.assertEqual(data[:8], b"\x89PNG\r\n\x1a\n")
            self.assertGreater(len(data), 5000)

    def test_wrong_output_names_are_refused(self):
        result = subprocess.run([TABULON, "preview", CAPTURES[0], "-o", "x.pdf"], capture_output=True)
        self.assertEqual(result.returncode, 2)
        self.assertIn(b".svg or .png", result.stderr)


if __name__ == "__main__":
    TABULON = sys.argv[1]
    OUTDIR = pathlib.Path(sys.argv[2])
    OUTDIR.mkdir(parents=True, exist_ok=True)
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:])
