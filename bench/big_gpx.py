#!/usr/bin/env python3
"""Writes a big GPX track for whole-process import measurements (never committed):

    python3 bench/big_gpx.py /tmp/big.gpx [POINTS] [--hr]
    /usr/bin/time -v build/bench/vorlan-import-bench /tmp/big.gpx

The track wanders over hills with a point a second, written like a logger writes it: indented,
a time on every point, and with --hr a heart-rate extension as well. 700000 points make about
91 MB (173 MB with --hr), 770000 about 100 MB. A fixed seed makes every run write the same bytes."""

import math
import random
import sys


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    hr = "--hr" in sys.argv
    path = args[0]
    count = int(args[1]) if len(args) > 1 else 700000
    rng = random.Random(7)
    lat, lon, heading = 46.5, 8.0, 0.0
    with open(path, "w", encoding="utf-8", newline="\n") as out:
        out.write('<?xml version="1.0" encoding="UTF-8"?>\n<gpx version="1.1" creator="big_gpx.py" '
                  'xmlns="http://www.topografix.com/GPX/1/1" xmlns:gpxtpx='
                  '"http://www.garmin.com/xmlschemas/TrackPointExtension/v1">\n'
                  "  <trk>\n    <name>Long ride</name>\n    <trkseg>\n")
        for i in range(count):
            heading += rng.gauss(0, 0.05)
            lat += 0.00004 * math.cos(heading)
            lon += 0.00006 * math.sin(heading)
            ele = 1500 + 800 * math.sin(i / 9000) + 40 * math.sin(i / 700) + rng.gauss(0, 0.5)
            sec = i % 86400
            stamp = f"2021-07-{1 + i // 86400:02d}T{sec // 3600:02d}:{sec // 60 % 60:02d}:{sec % 60:02d}Z"
            out.write(f'      <trkpt lat="{lat:.7f}" lon="{lon:.7f}">\n'
                      f"        <ele>{ele:.1f}</ele>\n        <time>{stamp}</time>\n")
            if hr:
                out.write("        <extensions><gpxtpx:TrackPointExtension><gpxtpx:hr>"
                          f"{120 + i % 40}</gpxtpx:hr></gpxtpx:TrackPointExtension></extensions>\n")
            out.write("      </trkpt>\n")
        out.write("    </trkseg>\n  </trk>\n</gpx>\n")


if __name__ == "__main__":
    main()
