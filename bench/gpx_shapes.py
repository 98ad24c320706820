#!/usr/bin/env python3
"""Writes GPX files of one shape and about a given size, for whole-process memory and time
measurements of the import (never committed):

    python3 bench/gpx_shapes.py SHAPE OUT.gpx [MEGABYTES]
    /usr/bin/time -v build/src/cli/vorlan-cli info OUT.gpx

Shapes (MEGABYTES counts 10^6 bytes, default 100):
  logger   a logger's track: indented, elevation and time on every point
  short    the shortest points, <trkpt lat="1" lon="2"/>
  attrs    points with 16 empty attributes each besides lat and lon
  empty    a few points and then empty elements, <a/>, to the size
The same arguments always write the same bytes."""

import sys

HEAD = ('<?xml version="1.0" encoding="UTF-8"?>\n'
        '<gpx version="1.1" creator="gpx_shapes.py" xmlns="http://www.topografix.com/GPX/1/1">\n'
        "<trk><trkseg>\n")
TAIL = "</trkseg></trk>\n</gpx>\n"
# Strings are written in blocks of about this many bytes.
BLOCK = 1 << 20


def repeated(out, unit, size):
    """Writes unit again and again, about size bytes in all."""
    count = max(1, size // len(unit))
    per_block = max(1, BLOCK // len(unit))
    block = unit * per_block
    for _ in range(count // per_block):
        out.write(block)
    out.write(unit * (count % per_block))


def logger(out, size):
    # Positions wander in steps of a few metres, elevations climb and fall, one point a second.
    written, i = 0, 0
    lat, lon = 46.5, 8.0
    while written < size:
        lat += 0.00004 * ((i * 7919) % 13 - 6) / 6
        lon += 0.00006 * ((i * 104729) % 11 - 5) / 5
        ele = 1500 + (i % 4000 if i // 4000 % 2 == 0 else 4000 - i % 4000) * 0.2
        sec = i % 86400
        text = (f'      <trkpt lat="{lat:.7f}" lon="{lon:.7f}">\n'
                f"        <ele>{ele:.1f}</ele>\n"
                f"        <time>2021-07-{1 + i // 86400 % 28:02d}T{sec // 3600:02d}:"
                f"{sec // 60 % 60:02d}:{sec % 60:02d}Z</time>\n      </trkpt>\n")
        out.write(text)
        written += len(text)
        i += 1


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in ("logger", "short", "attrs", "empty"):
        sys.exit(__doc__)
    shape, path = sys.argv[1], sys.argv[2]
    size = int(float(sys.argv[3]) * 1e6) if len(sys.argv) > 3 else 100 * 10**6
    body = size - len(HEAD) - len(TAIL)
    with open(path, "w", encoding="ascii", newline="\n") as out:
        out.write(HEAD)
        if shape == "logger":
            logger(out, body)
        elif shape == "short":
            repeated(out, '<trkpt lat="1" lon="2"/>\n', body)
        elif shape == "attrs":
            names = "".join(f' {chr(ord("a") + k)}=""' for k in range(16))
            repeated(out, f'<trkpt lat="1" lon="2"{names}/>\n', body)
        else:
            out.write('<trkpt lat="1" lon="2"/>\n<trkpt lat="1.01" lon="2"/>\n')
            repeated(out, "<a/>", body - 60)
            out.write('\n<trkpt lat="1.02" lon="2"/>\n')
        out.write(TAIL)


if __name__ == "__main__":
    main()
