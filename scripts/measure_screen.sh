#!/usr/bin/env bash
# Measures on a real X server how fast the desktop program answers the user: the readout across
# the elevation chart, three stacked graphs and a 3D pane while the mouse moves over a
# 100000-point ride, and the repaint after each step of a resize up to 1920x1080.
# Usage: bash scripts/measure_screen.sh [BUILD_DIR]   (default: build)
# Needs xvfb, xauth, openbox and xdotool (scripts/setup.sh installs them). Prints the medians and
# the 90th percentiles; the raw times, from the program's "vorlan.timing" log, are left in
# BUILD_DIR/measure_screen.log.
set -euo pipefail
build=${1:-build}
app=$(realpath "$build/src/app/vorlan")
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; cp "$work/log" "$build/measure_screen.log" 2>/dev/null; rm -rf "$work"' EXIT

python3 - "$work/ride.gpx" <<'PY'
import math, sys
from datetime import datetime, timedelta, timezone
n = 100000
start = datetime(2026, 6, 1, 7, 0, 0, tzinfo=timezone.utc)
with open(sys.argv[1], "w") as f:
    f.write('<?xml version="1.0" encoding="UTF-8"?>\n<gpx version="1.1" creator="measure" '
            'xmlns="http://www.topografix.com/GPX/1/1">\n<trk><name>ride</name><trkseg>\n')
    for i in range(n):
        a = i / n * 2 * math.pi
        lat = 47.5 + 0.2 * math.sin(a) + 0.01 * math.sin(37 * a)
        lon = -121.5 + 0.3 * math.cos(a)
        ele = 600 + 400 * math.sin(3 * a) + 30 * math.sin(53 * a)
        t = (start + timedelta(seconds=i)).strftime("%Y-%m-%dT%H:%M:%SZ")
        f.write(f'<trkpt lat="{lat:.7f}" lon="{lon:.7f}"><ele>{ele:.1f}</ele><time>{t}</time>'
                f'<extensions><power>{200 + int(80 * math.sin(11 * a))}</power>'
                f'<hr>{130 + int(25 * math.sin(5 * a))}</hr><cad>{85 + int(10 * math.sin(7 * a))}</cad>'
                '</extensions></trkpt>\n')
    f.write('</trkseg></trk>\n</gpx>\n')
PY

# A fresh user: heart rate, cadence and power graphs under the chart.
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME/Local AppWizard-Generated Applications" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[Settings]\nGraphs=14\n' >"$XDG_CONFIG_HOME/Local AppWizard-Generated Applications/Vorlan.conf"

for d in $(seq 90 140); do [ -e /tmp/.X11-unix/X$d ] || [ -e /tmp/.X$d-lock ] || { disp=:$d; break; }; done
Xvfb "$disp" -screen 0 2560x1440x24 -nolisten tcp >/dev/null 2>&1 &
export DISPLAY=$disp
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
sleep 0.5
QT_LOGGING_RULES="vorlan.timing=true" QT_MESSAGE_PATTERN="%{message}" "$app" "$work/ride.gpx" \
  >"$work/log" 2>&1 &
app_pid=$!
win=""
for _ in $(seq 100); do
  win=$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | tail -1) && [ -n "$win" ] && break
  sleep 0.1
done
xdotool windowactivate --sync "$win"
xdotool windowmove --sync "$win" 0 0 windowsize --sync "$win" 1920 1080
sleep 3
# The document window maximised, then the chart beside the 3D view.
xdotool key --window "$win" alt+w h
sleep 3

# The median and the 90th percentile of the numbers on standard input.
stats() {
  sort -g | awk '{ t[NR] = $1 } END {
    if (NR == 0) { printf "no measurement"; exit }
    p = int(NR * 0.9 + 0.5); if (p < 1) p = 1
    printf "median %.2f ms, 90th percentile %.2f ms, %d samples", t[int((NR + 1) / 2)], t[p], NR }'
}

measure() { # first log line, label, kind of event
  local from=$1 label=$2 kind=$3
  tail -n +"$from" "$work/log" | grep "^$kind " >"$work/lines" || true
  echo "$label: $(sed -E 's/.* ([0-9.]+) ms \(.*/\1/' "$work/lines" | stats)"
  echo "  of which in the program: $(sed -E 's/.*\(([0-9.]+) ms.*/\1/' "$work/lines" | stats)"
}

# The readout: the mouse across the chart pane, one step at a time.
from=$(($(wc -l <"$work/log") + 1))
for x in $(seq 200 4 900); do
  xdotool mousemove --sync $x 300
  sleep 0.02
done
measure "$from" "Readout (mouse move to screen)" move

# The resize: from 1200x700 up to 1920x1080 in steps, as a window edge dragged, ten times.
from=$(($(wc -l <"$work/log") + 1))
for _ in $(seq 10); do
  for step in $(seq 0 12); do
    xdotool windowsize --sync "$win" $((1200 + step * 60)) $((700 + step * 380 / 12))
    sleep 0.15
  done
done
measure "$from" "Resize repaint (each step)" resize
measure "$from" "Resize repaint (the steps to 1920x1080)" "resize 1920x1080"
