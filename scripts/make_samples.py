#!/usr/bin/env python3
"""Writes the bundled MapSource text exports and GPX files (samples/), the elevation tile under
the ridge loop (samples/dem/) and the GPX track of the gpsbabel cross-check
(tests/data/track/crosscheck.gpx) from two made-up routes.

Both routes are invented: a hiking loop with switchbacks up to a summit (north-western
hemisphere) and a long cycling loop over two passes (south-eastern hemisphere). Positions follow
smooth splines with a little correlated GPS noise, elevations come from a terrain made of a few
hills plus altimeter noise, and times from a walking or riding speed that drops on climbs. A
fixed random seed makes every run write the same bytes.

    python3 scripts/make_samples.py [--out REPO_ROOT]

The exports are written like a real one: a Grid, Datum and Header block, CRLF line ends,
windows-1252 text (the degree sign is byte 0xB0), a Trackpoint line per point with the columns
Position, Time, Altitude, Depth, Leg Length, Leg Time, Leg Speed and Leg Course, and no leg
fields on the first point.

The elevation tile is an SRTM .hgt of 3 arc-seconds (1201 x 1201 big-endian 16-bit samples,
rows from north to south, edges shared with the neighbours) of the degree square the ridge loop
lies in, zipped: the loop's own terrain without its ripples, and a few broad hills further out.
"""

import argparse
import io
import math
import random
import struct
import zipfile
from pathlib import Path

EARTH_RADIUS_M = 6371008.8
FEET_PER_METRE = 3.2808399
METRES_PER_MILE = 1609.344
SEED = 20030914


# --- Route geometry --------------------------------------------------------------------------

def catmull_rom(points, steps=40):
    """Dense polyline through the control points (uniform Catmull-Rom spline)."""
    pts = [points[0]] + list(points) + [points[-1]]
    out = []
    for i in range(1, len(pts) - 2):
        p0, p1, p2, p3 = pts[i - 1], pts[i], pts[i + 1], pts[i + 2]
        for k in range(steps):
            t = k / steps
            t2, t3 = t * t, t * t * t
            out.append(tuple(
                0.5 * (2 * p1[c] + (-p0[c] + p2[c]) * t
                       + (2 * p0[c] - 5 * p1[c] + 4 * p2[c] - p3[c]) * t2
                       + (-p0[c] + 3 * p1[c] - 3 * p2[c] + p3[c]) * t3)
                for c in range(2)))
    out.append(tuple(points[-1]))
    return out


class Terrain:
    """Elevation in metres at a local position (x east, y north, metres)."""

    def __init__(self, base, slope, hills, ripples):
        self.base, self.slope, self.hills, self.ripples = base, slope, hills, ripples

    def __call__(self, x, y):
        z = self.base + self.slope[0] * x + self.slope[1] * y
        for cx, cy, height, sx, sy in self.hills:
            z += height * math.exp(-((x - cx) ** 2 / (2 * sx * sx) + (y - cy) ** 2 / (2 * sy * sy)))
        for amp, wx, wy, phase in self.ripples:
            z += amp * math.sin(x / wx + y / wy + phase)
        return z


class Route:
    def __init__(self, name, origin, waypoints, terrain, speed, rest=None, gap=None):
        self.name = name
        self.lat0, self.lon0 = origin
        self.terrain = terrain
        self.speed = speed  # metres per second for a grade (rise over run)
        self.rest = rest  # (fraction of the distance, seconds standing still)
        self.gap = gap  # (start, end) fraction of the time without a fix
        self.line = catmull_rom(waypoints)
        self.cum = [0.0]
        for a, b in zip(self.line, self.line[1:]):
            self.cum.append(self.cum[-1] + math.dist(a, b))

    @property
    def length(self):
        return self.cum[-1]

    def at(self, s):
        """Position on the route at distance s from the start."""
        s = min(max(s, 0.0), self.length)
        lo, hi = 0, len(self.cum) - 1
        while hi - lo > 1:
            mid = (lo + hi) // 2
            if self.cum[mid] <= s:
                lo = mid
            else:
                hi = mid
        seg = self.cum[hi] - self.cum[lo]
        t = (s - self.cum[lo]) / seg if seg > 0 else 0.0
        a, b = self.line[lo], self.line[hi]
        return a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t

    def timeline(self, step=2.0):
        """(time, distance) pairs from the start to the end, with the rest as a flat stretch."""
        pairs = [(0.0, 0.0)]
        t, s = 0.0, 0.0
        rest_at = self.rest[0] * self.length if self.rest else None
        while s < self.length:
            x0, y0 = self.at(s)
            s1 = min(s + step, self.length)
            x1, y1 = self.at(s1)
            grade = (self.terrain(x1, y1) - self.terrain(x0, y0)) / (s1 - s)
            t += (s1 - s) / self.speed(grade)
            if rest_at is not None and s < rest_at <= s1:
                pairs.append((t, s1))
                t += self.rest[1]
            s = s1
            pairs.append((t, s))
        return pairs

    def to_latlon(self, x, y):
        lat = self.lat0 + math.degrees(y / EARTH_RADIUS_M)
        lon = self.lon0 + math.degrees(x / (EARTH_RADIUS_M * math.cos(math.radians(self.lat0))))
        return lat, lon


def distance_at(pairs, t):
    lo, hi = 0, len(pairs) - 1
    while hi - lo > 1:
        mid = (lo + hi) // 2
        if pairs[mid][0] <= t:
            lo = mid
        else:
            hi = mid
    (ta, sa), (tb, sb) = pairs[lo], pairs[hi]
    return sa if tb <= ta else sa + (sb - sa) * (t - ta) / (tb - ta)


def record(route, count, rng, xy_sigma=2.5, z_sigma=1.2):
    """The logged fixes: count points spread evenly over the time with a fix, each with its
    time in whole seconds, latitude, longitude and elevation in metres. Noise is frozen while
    the walker stands still, so a resting receiver logs the very same position again."""
    pairs = route.timeline()
    total = pairs[-1][0]
    gap0, gap1 = (route.gap[0] * total, route.gap[1] * total) if route.gap else (total, total)
    logged = total - (gap1 - gap0)
    nx = ny = nz = 0.0
    last_s = None
    points = []
    for k in range(count):
        t = k * logged / (count - 1)
        if t > gap0:
            t += gap1 - gap0
        s = distance_at(pairs, t)
        if s != last_s:
            nx = 0.95 * nx + math.sqrt(1 - 0.95 ** 2) * rng.gauss(0, xy_sigma)
            ny = 0.95 * ny + math.sqrt(1 - 0.95 ** 2) * rng.gauss(0, xy_sigma)
            nz = 0.98 * nz + math.sqrt(1 - 0.98 ** 2) * rng.gauss(0, z_sigma)
        last_s = s
        x, y = route.at(s)
        lat, lon = route.to_latlon(x + nx, y + ny)
        points.append((round(t), lat, lon, route.terrain(x, y) + nz))
    return points


# --- Export formatting -----------------------------------------------------------------------

def haversine(lat1, lon1, lat2, lon2):
    p1, p2 = math.radians(lat1), math.radians(lat2)
    dp, dl = p2 - p1, math.radians(lon2 - lon1)
    a = math.sin(dp / 2) ** 2 + math.cos(p1) * math.cos(p2) * math.sin(dl / 2) ** 2
    return 2 * EARTH_RADIUS_M * math.asin(math.sqrt(a))


def bearing(lat1, lon1, lat2, lon2):
    p1, p2, dl = math.radians(lat1), math.radians(lat2), math.radians(lon2 - lon1)
    y = math.sin(dl) * math.cos(p2)
    x = math.cos(p1) * math.sin(p2) - math.sin(p1) * math.cos(p2) * math.cos(dl)
    return math.degrees(math.atan2(y, x)) % 360


def split(value, parts, decimals):
    """Degrees as [degrees, minutes, (seconds)] with the last part rounded to decimals, carried
    over when it rounds up to 60."""
    scale = 10 ** decimals
    unit = 60 ** (parts - 1)
    n = round(abs(value) * unit * scale)
    fields = []
    for _ in range(parts - 1):
        n, rest = divmod(n, 60 * scale)
        fields.append(rest)
        scale = 1
    fields.append(n)
    return list(reversed(fields))


def position(lat, lon, grid):
    def one(value, pos, neg):
        h = pos if value >= 0 else neg
        if grid == "ddd":
            return f"{h}{abs(value):.5f}"
        if grid == "dmm":
            d, m = split(value, 2, 3)
            return f"{h}{d} {m // 1000:02d}.{m % 1000:03d}"
        d, m, s = split(value, 3, 1)
        return f"{h}{d} {m:02d} {s // 10:02d}.{s % 10}"
    return f"{one(lat, 'N', 'S')} {one(lon, 'E', 'W')}"


GRID_NAMES = {"ddd": "Lat/Lon hddd.ddddd\u00b0", "dmm": "Lat/Lon hddd\u00b0mm.mmm'",
              "dms": "Lat/Lon hddd\u00b0mm'ss.s\""}


def timestamp(start, seconds, clock):
    """start is (year, month, day, hour, minute, second) of the first fix."""
    y, mo, d, h, mi, s = start
    total = ((h * 60 + mi) * 60 + s) + seconds
    d += total // 86400
    total %= 86400
    h, mi, s = total // 3600, total // 60 % 60, total % 60
    if clock == "us":
        return f"{mo}/{d}/{y} {(h + 11) % 12 + 1}:{mi:02d}:{s:02d} {'AM' if h < 12 else 'PM'}"
    return f"{d:02d}.{mo:02d}.{y} {h:02d}:{mi:02d}:{s:02d}"


def duration(seconds):
    return f"{seconds // 3600}:{seconds // 60 % 60:02d}:{seconds % 60:02d}"


def elevation(metres, units):
    return f"{metres * FEET_PER_METRE:.0f} ft" if units == "statute" else f"{metres:.0f} m"


def length(metres, units):
    if units == "statute":
        feet = metres * FEET_PER_METRE
        return f"{feet:.0f} ft" if feet < 5280 else f"{metres / METRES_PER_MILE:.2f} mi"
    return f"{metres:.0f} m" if metres < 1000 else f"{metres / 1000:.2f} km"


def speed(metres, seconds, units):
    v = metres / seconds if seconds > 0 else 0.0
    return f"{v * 2.2369363:.0f} mph" if units == "statute" else f"{v * 3.6:.0f} kph"


def export(points, name, start, grid, clock, units, keyword_gap="\t"):
    """The text of a MapSource export; clock is "us", "24h" or None for an undated log."""
    first_t = points[0][0]
    legs = [haversine(a[1], a[2], b[1], b[2]) for a, b in zip(points, points[1:])]
    elapsed = points[-1][0] - first_t
    total = sum(legs)
    lines = [f"Grid\t{GRID_NAMES[grid]}", "Datum\tWGS 84", "",
             "Header\tName\tStart Time\tElapsed Time\tLength\tAverage Speed\tLink", ""]
    if clock:
        lines.append(f"Track\t{name}\t{timestamp(start, 0, clock)}\t{duration(elapsed)}\t"
                     f"{length(total, units)}\t{speed(total, elapsed, units)}\t")
    else:
        lines.append(f"Track\t{name}\t\t\t{length(total, units)}\t\t")
    lines += ["", "Header\tPosition\tTime\tAltitude\tDepth\tLeg Length\tLeg Time\tLeg Speed\t"
              "Leg Course", ""]
    for i, (t, lat, lon, z) in enumerate(points):
        when = timestamp(start, t - first_t, clock) if clock else ""
        line = f"Trackpoint{keyword_gap}{position(lat, lon, grid)}\t{when}\t{elevation(z, units)}\t"
        if i > 0:
            prev = points[i - 1]
            dt = t - prev[0]
            leg = legs[i - 1]
            course = f"{round(bearing(prev[1], prev[2], lat, lon)) % 360}\u00b0 true"
            if clock:
                line += f"\t{length(leg, units)}\t{duration(dt)}\t{speed(leg, dt, units)}\t{course}"
            else:
                line += f"\t{length(leg, units)}\t\t\t{course}"
        lines.append(line)
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


def gpx(tracks):
    """A GPX 1.1 file with one track per (name, points, start) entry; times in UTC."""
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<gpx version="1.1" creator="make_samples.py" xmlns="http://www.topografix.com/GPX/1/1">']
    for name, points, start in tracks:
        out.append(f"<trk><name>{name}</name><trkseg>")
        y, mo, d, h, mi, s = start
        base = ((h * 60 + mi) * 60 + s)
        for t, lat, lon, z in points:
            sec = base + t - points[0][0]
            stamp = f"{y:04d}-{mo:02d}-{d + sec // 86400:02d}T{sec // 3600 % 24:02d}:" \
                    f"{sec // 60 % 60:02d}:{sec % 60:02d}Z"
            out.append(f'<trkpt lat="{lat:.6f}" lon="{lon:.6f}"><ele>{z:.1f}</ele>'
                       f"<time>{stamp}</time></trkpt>")
        out.append("</trkseg></trk>")
    out.append("</gpx>")
    return ("\n".join(out) + "\n").encode("ascii")


def gpx_stamp(start, seconds):
    y, mo, d, h, mi, s = start
    sec = ((h * 60 + mi) * 60 + s) + seconds
    return f"{y:04d}-{mo:02d}-{d + sec // 86400:02d}T{sec // 3600 % 24:02d}:" \
           f"{sec // 60 % 60:02d}:{sec % 60:02d}Z"


def gpx_point(tag, point, t0, start, indent, ele=True):
    t, lat, lon, z = point
    inner = [f"<ele>{z:.1f}</ele>"] if ele else []
    inner.append(f"<time>{gpx_stamp(start, t - t0)}</time>")
    pad = " " * indent
    return (f'{pad}<{tag} lat="{lat:.6f}" lon="{lon:.6f}">\n'
            + "".join(f"{pad}  {x}\n" for x in inner) + f"{pad}</{tag}>")


def gpx_file(body, version="1.1"):
    """A GPX document around the given lines, written as a logger would: indented, CRLF-free
    UTF-8. GPX 1.0 files use the 1.0 namespace."""
    ns = "http://www.topografix.com/GPX/" + version.replace(".", "/")
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           f'<gpx version="{version}" creator="make_samples.py" xmlns="{ns}">']
    out += body
    out.append("</gpx>")
    return ("\n".join(out) + "\n").encode("utf-8")


def gpx_tracks(tracks, ele=True):
    """Track lines for (name, segments, start) entries; each segment a list of points."""
    body = []
    for name, segments, start in tracks:
        t0 = segments[0][0][0]
        body.append(f"  <trk>\n    <name>{name}</name>")
        for seg in segments:
            body.append("    <trkseg>")
            body += [gpx_point("trkpt", p, t0, start, 6, ele) for p in seg]
            body.append("    </trkseg>")
        body.append("  </trk>")
    return body


def gpx_routes(routes, start):
    body = []
    for name, points in routes:
        body.append(f"  <rte>\n    <name>{name}</name>")
        body += [gpx_point("rtept", p, points[0][0], start, 4) for p in points]
        body.append("  </rte>")
    return body


def gpx_samples(ridge, ridge_start, passes_start):
    """The GPX samples: two tracks in three segments, routes only (and a waypoint, which is
    no track), a GPX 1.0 track without elevations, and a 30000-point ride. The long ride draws
    on a random generator of its own, so the other samples stay as they were."""
    long_ride = record(passes_route(), 30000, random.Random(SEED + 1), xy_sigma=2.0, z_sigma=0.8)
    split = len(ridge) // 2
    waypoint = ('  <wpt lat="47.420500" lon="-121.446000">\n    <ele>655.0</ele>\n'
                "    <name>Trailhead</name>\n  </wpt>")
    return {
        "two-tracks.gpx": gpx_file(gpx_tracks([
            ("Ridge Loop", [ridge[:split], ridge[split:]], ridge_start),
            ("Two Passes", [long_ride[:1500]], passes_start)])),
        "route-only.gpx": gpx_file([waypoint] + gpx_routes(
            [("Ridge ascent", ridge[:450:15]), ("Ridge descent", ridge[450::15])], ridge_start)),
        "no-elevation.gpx": gpx_file(gpx_tracks(
            [("Ridge Loop", [ridge[::3]], ridge_start)], ele=False), version="1.0"),
        "long-30000.gpx": gpx_file(gpx_tracks([("Two Passes", [long_ride], passes_start)])),
    }


# --- The elevation tile ----------------------------------------------------------------------

HGT_SIDE = 1201
# Hills of the wider country around the ridge loop: (x, y, height, sigma x, sigma y) in metres.
FAR_HILLS = [(-25000, 30000, 1100, 7000, 9000), (18000, -30000, 800, 9000, 6000),
             (20000, 35000, 600, 5000, 5000), (-30000, -25000, 450, 6000, 8000)]
# The ridge terrain's tilt holds only this far (x and y in metres); the country beyond is level.
TILT_X, TILT_Y = (-3000, 6000), (-2000, 7000)


def hgt_tile(route):
    """(name, bytes) of the .hgt of the square the route starts in. A hill's bell curve is a
    factor per row times one per column, which keeps this to a few seconds."""
    south, west = math.floor(route.lat0), math.floor(route.lon0)
    name = f"{'N' if south >= 0 else 'S'}{abs(south):02d}{'E' if west >= 0 else 'W'}{abs(west):03d}"
    cells = HGT_SIDE - 1
    ys = [math.radians(south + 1 - i / cells - route.lat0) * EARTH_RADIUS_M
          for i in range(HGT_SIDE)]
    xs = [math.radians(west + j / cells - route.lon0) * EARTH_RADIUS_M
          * math.cos(math.radians(route.lat0)) for j in range(HGT_SIDE)]
    terrain = route.terrain
    tilt_x = [terrain.slope[0] * min(max(x, TILT_X[0]), TILT_X[1]) for x in xs]
    tilt_y = [terrain.slope[1] * min(max(y, TILT_Y[0]), TILT_Y[1]) for y in ys]
    bells = [([h * math.exp(-(y - cy) ** 2 / (2 * sy * sy)) for y in ys],
              [math.exp(-(x - cx) ** 2 / (2 * sx * sx)) for x in xs])
             for cx, cy, h, sx, sy in terrain.hills + FAR_HILLS]
    out = bytearray()
    for i in range(HGT_SIDE):
        row = [terrain.base + tilt_y[i] + tx for tx in tilt_x]
        for by, bx in bells:
            if by[i] > 0.01:
                row = [z + by[i] * f for z, f in zip(row, bx)]
        out += struct.pack(f">{HGT_SIDE}h", *(round(z) for z in row))
    return name, bytes(out)


def zipped(member, data):
    """A deflated zip of one file, with a fixed date so that every run writes the same bytes."""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as archive:
        info = zipfile.ZipInfo(member, date_time=(2003, 9, 14, 0, 0, 0))
        info.compress_type = zipfile.ZIP_DEFLATED
        archive.writestr(info, data, compresslevel=9)
    return buffer.getvalue()


# --- The two routes --------------------------------------------------------------------------

def tobler(grade):
    """Walking speed in m/s on a grade (Tobler's hiking function, a little slower, and never
    below a steady plod on the steepest pitches)."""
    return max(0.45, 0.9 * 6.0 * math.exp(-3.5 * abs(grade + 0.05)) / 3.6)


def cycling(grade):
    """Riding speed in m/s: about 26 km/h on the flat, a crawl up 8 %, capped downhill."""
    return max(2.2, min(15.0, 7.2 - 60.0 * grade))


def ridge_route():
    # A loop from a valley trailhead: up the creek, eight switchbacks to the ridge crest, north to
    # the summit, down the north-west spur and back along the valley road.
    waypoints = [(0, 0), (400, 250), (900, 420), (1400, 700), (1800, 900)]
    x_lo, x_hi, y = 1780, 2320, 900
    for k in range(8):
        y += 140
        waypoints.append((x_hi if k % 2 == 0 else x_lo, y))
    waypoints += [(2450, 2250), (2520, 2700), (2600, 3200), (2350, 3600), (1800, 3900),
                  (1200, 3950), (600, 3600), (150, 3100), (-300, 2800), (-380, 2000),
                  (-300, 1200), (-150, 500), (0, 0)]
    terrain = Terrain(base=655, slope=(0.012, 0.02),
                      hills=[(2600, 3200, 900, 900, 1100), (2100, 1700, 250, 500, 500),
                             (600, 4300, 300, 700, 500)],
                      ripples=[(6, 180, 230, 0.3), (3, 70, -90, 1.1)])
    return Route("Ridge Loop", (47.42050, -121.44600), waypoints, terrain, tobler,
                 rest=(0.52, 1500), gap=(0.84, 0.94))


def passes_route():
    # A day on the bike: inland over a pass, down to the coast road, over a second saddle and
    # back along the river flats.
    waypoints = [(0, 0), (3000, 2500), (7000, 4000), (10500, 7500), (12500, 12000),
                 (13000, 16000), (16500, 19000), (21000, 20000), (25000, 18000), (28000, 14000),
                 (29000, 9000), (27000, 5000), (24500, 2000), (21000, -1500), (17000, -3500),
                 (12000, -4000), (7000, -3000), (3000, -1500), (0, 0)]
    terrain = Terrain(base=40, slope=(0.001, 0.004),
                      hills=[(12500, 13000, 620, 2500, 3500), (27500, 11000, 380, 2200, 2800),
                             (6000, 9000, 200, 3000, 2500)],
                      ripples=[(8, 900, 1300, 0.7), (4, 300, -420, 2.0)])
    return Route("Two Passes", (-42.40000, 173.55000), waypoints, terrain, cycling)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=Path(__file__).resolve().parent.parent, type=Path,
                        help="repository root to write samples/ and tests/data/track/ into")
    root = parser.parse_args().out
    rng = random.Random(SEED)

    ridge = record(ridge_route(), 900, rng)
    passes = record(passes_route(), 10001, rng, xy_sigma=2.0, z_sigma=0.8)
    ridge_start = (2003, 9, 14, 7, 58, 12)
    passes_start = (2004, 3, 7, 9, 4, 51)

    files = {
        "ridge-dm.txt": export(ridge, "Ridge Loop", ridge_start, "dmm", "us", "statute"),
        "ridge-ddd.txt": export(ridge, "Ridge Loop", ridge_start, "ddd", None, "statute"),
        "ridge-dms.txt": export(ridge, "Ridge Loop", ridge_start, "dms", "24h", "metric"),
        "ridge-dm-blank.txt": export(ridge, "Ridge Loop", ridge_start, "dmm", "us", "statute",
                                     keyword_gap=" "),
        "long-10000.txt": export(passes, "Two Passes", passes_start, "dmm", "us", "metric"),
    }
    files.update(gpx_samples(ridge, ridge_start, passes_start))
    (root / "samples").mkdir(parents=True, exist_ok=True)
    for name, data in files.items():
        (root / "samples" / name).write_bytes(data)
        print(f"samples/{name}: {len(data)} bytes")

    name, hgt = hgt_tile(ridge_route())
    (root / "samples" / "dem").mkdir(exist_ok=True)
    tile = zipped(f"{name}.hgt", hgt)
    (root / "samples" / "dem" / f"{name}.hgt.zip").write_bytes(tile)
    print(f"samples/dem/{name}.hgt.zip: {len(tile)} bytes")

    data_dir = root / "tests" / "data" / "track"
    data_dir.mkdir(parents=True, exist_ok=True)
    cross = gpx([("Ridge Loop", ridge[::6], ridge_start),
                 ("Two Passes", passes[:5000:50], passes_start)])
    (data_dir / "crosscheck.gpx").write_bytes(cross)
    print(f"tests/data/track/crosscheck.gpx: {len(cross)} bytes")


if __name__ == "__main__":
    main()
