#!/usr/bin/python3
"""Reads back every DXF the tests wrote with ezdxf, the reference DXF library.

Each NAME.dxf must load, pass doc.audit() without errors, and hold what NAME.expect.json
says: entity counts per "TYPE@LAYER" and the TEXT values in file order.
"""
import json
import pathlib
import sys

import ezdxf
from ezdxf import recover


def decoded(text):
    # Characters outside code page 932 travel as \U+XXXX; the plain loader leaves
    # the escapes for the application, the recover loader decodes them itself.
    return ezdxf.decode_dxf_unicode(text) if ezdxf.has_dxf_unicode(text) else text


def audit(dxf_path, expect):
    problems = []
    doc = ezdxf.readfile(str(dxf_path))
    auditor = doc.audit()
    if auditor.has_errors:
        problems += [f"audit error: {e.message}" for e in auditor.errors]
    if doc.dxfversion != "AC1009":
        problems.append(f"version {doc.dxfversion}, expected AC1009")
    if doc.encoding.lower() not in ("cp932", "shift_jis"):
        problems.append(f"decoded as {doc.encoding}, expected cp932")
    # The recover loader must agree: it is what readers fall back on for damaged files.
    rdoc, rauditor = recover.readfile(str(dxf_path))
    if rauditor.has_errors:
        problems += [f"recover audit error: {e.message}" for e in rauditor.errors]

    msp = doc.modelspace()
    counts = {}
    for e in msp:
        key = f"{e.dxftype()}@{e.dxf.layer}"
        counts[key] = counts.get(key, 0) + 1
    want_counts = expect.get("entities", {})
    if counts != want_counts:
        problems.append(f"entities {counts}, expected {want_counts}")
    texts = [decoded(e.dxf.text) for e in msp.query("TEXT")]
    if texts != expect.get("texts", []):
        problems.append(f"texts {texts}, expected {expect.get('texts', [])}")
    recovered = [e.dxf.text for e in rdoc.modelspace().query("TEXT")]
    if recovered != expect.get("texts", []):
        problems.append(f"recovered texts {recovered}, expected {expect.get('texts', [])}")
    return problems


def main():
    folder = pathlib.Path(sys.argv[1])
    dxfs = sorted(folder.glob("*.dxf"))
    if not dxfs:
        print(f"no DXF files in {folder}", file=sys.stderr)
        return 1
    failed = 0
    for dxf in dxfs:
        expect_path = dxf.with_suffix(".expect.json")
        if not expect_path.exists():
            print(f"{dxf.name}: no {expect_path.name}", file=sys.stderr)
            failed += 1
            continue
        problems = audit(dxf, json.loads(expect_path.read_text(encoding="utf-8")))
        for p in problems:
            print(f"{dxf.name}: {p}", file=sys.stderr)
        failed += bool(problems)
        print(f"{dxf.name}: {'FAILED' if problems else 'ok'}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
