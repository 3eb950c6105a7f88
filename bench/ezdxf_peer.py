"""The peer of the conversion benchmark: ezdxf's streaming R12 writer, given the
entities of one of our drawings, writes them again. Reading our drawing is not
timed; the write is. Prints the seconds the write took.

    /usr/bin/python3 ezdxf_peer.py DRAWING.dxf OUT.dxf
"""
import sys
import time

from ezdxf.addons import r12writer

ALIGN = {(0, 2): "MIDDLE_LEFT", (1, 2): "MIDDLE_CENTER", (2, 2): "MIDDLE_RIGHT"}


def read_entities(path):
    """LINE, POLYLINE (with its vertices) and TEXT of the ENTITIES section."""
    entities = []
    current = None
    with open(path, encoding="cp932", newline="") as f:
        in_entities = False
        while True:
            code = f.readline()
            if not code:
                break
            value = f.readline().rstrip("\r\n")
            code = int(code)
            if code == 0:
                if current is not None and current[0] != "VERTEX":
                    entities.append(current)
                if value == "VERTEX":
                    current = ["VERTEX", {}]
                    entities[-1][1].setdefault("vertices", []).append(current[1])
                elif value in ("LINE", "POLYLINE", "TEXT") and in_entities:
                    current = [value, {}]
                else:
                    current = None
                if value == "ENTITIES":
                    in_entities = True
            elif code == 2 and value == "ENTITIES":
                in_entities = True
            elif current is not None:
                current[1][code] = value
    return entities


def main():
    source, target = sys.argv[1], sys.argv[2]
    entities = read_entities(source)
    start = time.perf_counter()
    with open(target, "wt", encoding="cp932", newline="\r\n") as out:
        with r12writer(out) as dxf:
            for kind, e in entities:
                if kind == "LINE":
                    dxf.add_line((float(e[10]), float(e[20])), (float(e[11]), float(e[21])), layer=e[8],
                                 color=int(e[62]), linetype=e[6])
                elif kind == "POLYLINE":
                    points = [(float(v[10]), float(v[20])) for v in e.get("vertices", [])]
                    dxf.add_polyline_2d(points, closed=e.get(70) == "1", layer=e[8], color=int(e[62]),
                                        linetype=e[6])
                else:
                    dxf.add_text(e[1], (float(e[11]), float(e[21])), height=float(e[40]),
                                 align=ALIGN.get((int(e.get(72, 0)), int(e.get(73, 0))), "LEFT"), layer=e[8],
                                 color=int(e[62]))
    print(f"{time.perf_counter() - start:.3f}")


if __name__ == "__main__":
    main()
