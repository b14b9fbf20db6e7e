#!/usr/bin/env python3
"""Measures mirelon-check's spectrum pictures on RNAs of the shared data.

usage: scripts/measure_pictures.py [--before OLD_MIRELON_CHECK] [MIRELON_CHECK [SHARED_DATA]]

Runs the tool with the shipped table on 1LC6 (NMR-STAR entry 5371 with the
structure of the mcsf list), 1LDZ and 2N7X (cs2structure shift lists) and
the 780-nt group II intron of archiveII (no shifts), and reads the pictures
back from their own coordinates:

  regions  the share of each panel's plot area that the union of the
           predicted regions covers; with --before, also that of the
           pictures of an older mirelon-check (boxes at its level 8);
  labels   per panel, the printed positions (coinciding predictions count
           once) and the observed peaks labelled at 1x, only when zoomed,
           and not at all;
  grid     the intron's H1'-C1' panel at 4x: the plot area cut into a 4 x 4
           grid of windows, each what the report shows at 4x; in each, the
           distinct printed positions in view and the share of them that
           carry a label at 4x (and the share whose label lies in the
           window too).

Prints Markdown tables.
"""
import html
import os
import re
import subprocess
import sys
import tempfile

project = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
arguments = sys.argv[1:]
before = None
if "--before" in arguments:
    at = arguments.index("--before")
    before = os.path.abspath(arguments[at + 1])
    del arguments[at:at + 2]
check = os.path.abspath(arguments[0] if arguments else os.path.join(project, "build", "mirelon-check"))
shared = os.path.abspath(arguments[1] if len(arguments) > 1 else os.path.join(project, "..", "shared", "data"))
table = os.path.join(project, "data", "statfile.tab")
PANELS = ["h1c1", "h6h8", "h2c2", "h5c5", "imino"]
GRID = 4
ZOOM = 4


def attributes(tag):
    return dict(re.findall(r'([\w:-]+)="([^"]*)"', tag))


def mcsf_structure(pdb_id, path):
    with open(os.path.join(shared, "shifts", "mcsf", "structures_wo_dash_210419.txt")) as lines:
        for line in lines:
            words = line.split()
            if words and words[0] == pdb_id:
                with open(path, "w") as out:
                    out.write(">%s\n%s\n%s\n" % (pdb_id, words[1].upper(), words[2]))
                return
    raise SystemExit("%s not in the mcsf list" % pdb_id)


def cases(work):
    """(name, arguments) of every RNA measured."""
    mcsf_structure("1LC6", os.path.join(work, "1LC6.db"))
    mcsf_structure("1LDZ", os.path.join(work, "1LDZ.db"))
    lists = os.path.join(shared, "shifts", "cs2structure")
    return [
        ("1LC6", ["-s", "1LC6.db", os.path.join(shared, "shifts", "nmrstar_examples", "bmr5371.str")]),
        ("1LDZ", ["-s", "1LDZ.db",
                  os.path.join(lists, "corrected_chemical_shifts", "measured_shifts_1LDZ.dat")]),
        ("2N7X", ["-s", os.path.join(shared, "ct", "cs2structure", "2N7X-2D-ct.txt"), "-O", "-18",
                  os.path.join(lists, "raw_chemical_shifts", "measured_shifts_2N7X.dat")]),
        ("intron", ["-s", os.path.join(shared, "ct", "archiveII", "grp2_a.I2.c.N.tabacum.A.A6.i1.ct")]),
    ]


def run(tool, name, args, work):
    subprocess.run([tool, "-f", table, "-o", name] + args, cwd=work, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def covered_share(area, shapes):
    """Share of the area (x, y, w, h) under the union of the shapes, row by
    row of pixels: ("ellipse", cx, cy, rx, ry) or ("rect", x, y, w, h)."""
    x0, y0, width, height = area
    covered = 0.0
    for row in range(int(height)):
        y = y0 + row + 0.5
        spans = []
        for shape in shapes:
            if shape[0] == "ellipse":
                _, cx, cy, rx, ry = shape
                if ry <= 0 or abs(y - cy) >= ry:
                    continue
                half = rx * (1 - ((y - cy) / ry) ** 2) ** 0.5
                spans.append((cx - half, cx + half))
            else:
                _, x, top, w, h = shape
                if top <= y < top + h:
                    spans.append((x, x + w))
        spans = sorted((max(a, x0), min(b, x0 + width)) for a, b in spans)
        end = x0
        for a, b in spans:
            if b <= end:
                continue
            covered += b - max(a, end)
            end = b
    return covered / (width * height)


def new_regions(svg):
    plot = attributes(re.search(r'<g class="plot"[^>]*>', svg).group(0))
    area = [float(v) for v in plot["data-area"].split()]
    shapes = [("ellipse",) + tuple(float(attributes(t)[k]) for k in ("cx", "cy", "rx", "ry"))
              for t in re.findall(r"<ellipse [^>]*>", svg)]
    return area, shapes


def old_regions(svg):
    clip = attributes(re.search(r"<clipPath[^>]*><rect [^>]*>", svg).group(0).split("><")[1])
    area = [float(clip[k]) for k in ("x", "y", "width", "height")]
    shapes = [("rect",) + tuple(float(attributes(t)[k]) for k in ("x", "y", "width", "height"))
              for t in re.findall(r'<rect [^>]*stroke-opacity="0.45"[^>]*>', svg)]
    return area, shapes


def labels_of(svg):
    """Every label: kind, zoom, peak point, 1x text origin, text."""
    found = []
    for tag, text in re.findall(r'(<text class="label"[^>]*>)(?:<title>[^<]*</title>)?([^<]*)</text>', svg):
        a = attributes(tag)
        found.append({"kind": a["data-kind"], "zoom": int(a["data-zoom"]),
                      "peak": (float(a["data-x"]), float(a["data-y"])),
                      "at": (float(a["x"]), float(a["y"])), "text": html.unescape(text)})
    return found


def marks_of(svg):
    return [attributes(t) for t in re.findall(r'<(?:circle|path) class="mark"[^>]*>', svg)]


def label_counts(svg):
    positions = sum(1 for m in marks_of(svg) if m["data-kind"] == "predicted")
    observed = sum(1 for m in marks_of(svg) if m["data-kind"] == "observed")
    labels = labels_of(svg)
    out = {}
    for kind, total in (("predicted", positions), ("observed", observed)):
        at1 = sum(1 for l in labels if l["kind"] == kind and l["zoom"] == 1)
        zoomed = sum(1 for l in labels if l["kind"] == kind and l["zoom"] > 1)
        out[kind] = (total, at1, zoomed, total - at1 - zoomed)
    return out


def grid(svg):
    """Per window of the 4 x 4 grid at 4x: positions in view, labelled, and
    labelled with the label inside the window."""
    plot = attributes(re.search(r'<g class="plot"[^>]*>', svg).group(0))
    x0, y0, width, height = (float(v) for v in plot["data-area"].split())
    points = {(float(m["data-x"]), float(m["data-y"])) for m in marks_of(svg)
              if m["data-kind"] == "predicted"}
    labelled = {}
    for label in labels_of(svg):
        if label["kind"] != "predicted" or label["zoom"] > ZOOM:
            continue
        (px, py), (x, y) = label["peak"], label["at"]
        # The text at 4x, from its 1x origin and the font's advance (DejaVu
        # Sans Mono, 0.602 em of 10 px), its box 0.76 em up and 0.24 down.
        left = px + (x - px) / ZOOM
        base = py + (y - py) / ZOOM
        labelled[label["peak"]] = (left, base - 7.6 / ZOOM,
                                   left + len(label["text"]) * 6.02 / ZOOM, base + 2.4 / ZOOM)
    rows = []
    for j in range(GRID):
        for i in range(GRID):
            wx, wy = x0 + i * width / GRID, y0 + j * height / GRID
            wx2, wy2 = wx + width / GRID, wy + height / GRID
            inside = [p for p in points if wx <= p[0] < wx2 and wy <= p[1] < wy2]
            named = [p for p in inside if p in labelled]
            within = [p for p in named if labelled[p][0] >= wx and labelled[p][2] <= wx2 and
                      labelled[p][1] >= wy and labelled[p][3] <= wy2]
            rows.append((j, i, len(inside), len(named), len(within)))
    return rows


def percent(part, whole):
    return "-" if whole == 0 else "%.0f %%" % (100.0 * part / whole)


def main():
    with tempfile.TemporaryDirectory() as work:
        print("| RNA | panel | regions covered (this tool) | before | predicted positions: at 1x, zoomed, left out | observed: at 1x, zoomed, left out |")
        print("|---|---|---|---|---|---|")
        intron_h1c1 = None
        for name, args in cases(work):
            run(check, name, args, work)
            if before:
                run(before, "before-" + name, args, work)
            for panel in PANELS:
                with open(os.path.join(work, "%s-%s.svg" % (name, panel))) as f:
                    svg = f.read()
                area, shapes = new_regions(svg)
                share = covered_share(area, shapes)
                old = "-"
                if before:
                    with open(os.path.join(work, "before-%s-%s.svg" % (name, panel))) as f:
                        old = "%.0f %%" % (100 * covered_share(*old_regions(f.read())))
                counts = label_counts(svg)
                p, o = counts["predicted"], counts["observed"]
                print("| %s | %s | %.0f %% | %s | %d of %d, %d, %d | %s |" % (
                    name, panel, 100 * share, old, p[1], p[0], p[2], p[3],
                    "-" if o[0] == 0 else "%d of %d (%s), %d, %d" % (o[1], o[0], percent(o[1], o[0]), o[2], o[3])))
                if name == "intron" and panel == "h1c1":
                    intron_h1c1 = svg
        print()
        print("Intron H1'-C1' at 4x, 4 x 4 windows (row, column from the top left): positions in view, labelled, share; labelled with the label inside the window, share")
        print()
        print("| window | in view | labelled | share | label in the window | share |")
        print("|---|---|---|---|---|---|")
        worst = None
        for j, i, inside, named, within in grid(intron_h1c1):
            if inside:
                share = named / inside
                worst = share if worst is None else min(worst, share)
            print("| %d,%d | %d | %d | %s | %d | %s |" % (j + 1, i + 1, inside, named,
                                                        percent(named, inside), within, percent(within, inside)))
        print()
        print("Lowest share of a window with positions in view: %s" % ("-" if worst is None else "%.0f %%" % (100 * worst)))


main()
