#!/usr/bin/env python3
"""Turns the raw figures of scripts/bench.sh into the Markdown tables of the README's
"Performance" section: medians, ranges, ratios to xcalc and the targets met or missed. A bare SDL2
window (bench/sdl_floor) is shown beside them as a reference, never judged: the floor of what the
SDL2 backend alone costs."""
import json
import statistics
import sys
from pathlib import Path

PROGRAMS = ["x11", "sdl", "xcalc"]
REFERENCE = "sdl_floor"
COLUMNS = PROGRAMS + ["x11_floor", REFERENCE]
HEADINGS = {"x11": "quorix (X11)", "sdl": "quorix (SDL2)", "xcalc": "xcalc", "x11_floor": "bare XCB window",
            "sdl_floor": "bare SDL2 window"}


def runs(path):
    """Each xwatch line as a dict of floats."""
    if not path.exists():
        return []
    out = []
    for line in path.read_text().splitlines():
        fields = dict(pair.split("=", 1) for pair in line.split())
        out.append({k: float(v) for k, v in fields.items()})
    return out


def spread(values):
    if not values:
        return None
    return min(values), statistics.median(values), max(values)


def fmt(x, digits=1):
    return "n/a" if x is None else f"{x:.{digits}f}"


def verdict(ok):
    return "met" if ok else "**missed**"


def key_medians(path):
    """Median real time (µs) and counters of each key benchmark in a Google Benchmark JSON file."""
    if not path.exists():
        return {}
    out = {}
    for b in json.loads(path.read_text())["benchmarks"]:
        if b.get("aggregate_name") == "median":
            name = b["run_name"].removeprefix("BM_").removesuffix("/manual_time")
            out[name] = b
    return out


def key_table(raw):
    s1, s2, x11 = (key_medians(raw / f) for f in ("keys.json", "keys-s2.json", "keys-x11.json"))
    print("Key to frame (in-process; command to repaint handed to the backend), µs, median of the "
          "repetitions. Headless at scale 1 on the wall clock (target at most 50 µs); at scale 2 on the "
          "program thread's CPU clock, headless and with every frame also shown in a real X11 window "
          "through MIT-SHM; what showing adds (target at most 10 µs), and the part of it spent inside "
          "the window's present (the request and the write to the server):\n")
    print("| key | headless, scale 1 (wall) | headless, scale 2 (CPU) | X11 window, scale 2 (CPU) | added by showing | inside present | pixels (scale 1) |")
    print("|---|---:|---:|---:|---:|---:|---:|")
    for name, b in s1.items():
        if name == "DigitShownAsOnePixel":
            continue
        a, s, x = b["real_time"], s2.get(name, {}).get("real_time"), x11.get(name, {}).get("real_time")
        added = x - s if x is not None and s is not None else None
        added_cell = f"{added:+.1f} ({verdict(added <= 10)})" if added is not None else "n/a"
        show = x11.get(name, {}).get("show_us")
        print(f"| {name} | {a:.1f} ({verdict(a <= 50)}) | {fmt(s)} | {fmt(x)} | {added_cell} | {fmt(show)} | {b.get('pixels', 0):.0f} |")
    one, digit = x11.get("DigitShownAsOnePixel", {}), s2.get("Digit", {}).get("real_time")
    if one and digit is not None:
        print(f"\nThe floor of showing: Digit drawn in full but handed to the window as one pixel, so the "
              f"X server copies next to nothing: {one['real_time'] - digit:+.1f} µs added, "
              f"{fmt(one.get('show_us'))} µs inside the present. That is the request and the write that "
              f"wakes the X server, whatever the frame holds; the rest of what showing adds grows with "
              f"the pixels the server copies while the program goes on.")


def floor_share(pss):
    """How the bare SDL2 window's PSS compares with both windows and xcalc."""
    sdl, floor, x11, x = pss["sdl"], pss[REFERENCE], pss["x11"], pss["xcalc"]
    if not sdl or not floor or not x:
        return "\nNo PSS figures for every program: the floor's share cannot be given."
    xf = pss["x11_floor"]
    line = (f"\nThe bare SDL2 window alone has a median PSS of {floor[1]:.0f} KiB, {floor[1] / x[1]:.2f} × xcalc's; "
            f"the SDL2 window of quorix {sdl[1]:.0f} KiB.")
    if x11:
        line += f" The X11 window of quorix has {x11[1]:.0f} KiB, {x11[1] / x[1]:.2f} × xcalc's"
        line += f"; the bare XCB window, its floor, {xf[1]:.0f} KiB." if xf else "."
    return line


def main():
    raw = Path(sys.argv[1])
    print(f"Measured {(raw / 'machine').read_text().strip().removeprefix('bench: ')}.")
    conditions = raw / "conditions"
    if conditions.exists():
        print(f"Conditions: {conditions.read_text().strip()}.")
    print()
    key_table(raw)

    # 2, 3, 5. start, memory, close
    data = {p: runs(raw / f"{p}.runs") for p in COLUMNS}
    idle = {p: runs(raw / f"{p}.idle") for p in COLUMNS}
    n = min(len(data[p]) for p in PROGRAMS)
    print(f"\nThe real window under Xvfb, {n} starts each, interleaved (milliseconds from fork; "
          "min / median / max; both quorix windows at scale 2, 480 x 640). The bare windows are floors, "
          "not peers: programs that only open a window of the same size (through XCB with MIT-SHM, and "
          "through SDL2 with the calculator's hints) and fill it once. Targets are for the X11 window:\n")
    print("| | " + " | ".join(HEADINGS[p] for p in COLUMNS) + " | X11 / xcalc | target |")
    print("|---|" + "---|" * len(COLUMNS) + "---:|---|")

    def row(label, key, digits=1, target=None):
        s = {p: spread([r[key] for r in data[p] if key in r]) for p in COLUMNS}
        cells = [" / ".join(fmt(v, digits) for v in s[p]) if s[p] else "n/a" for p in COLUMNS]
        ratio = s["x11"][1] / s["xcalc"][1] if s["x11"] and s["xcalc"] and s["xcalc"][1] else None
        tcell = target(s) if target and s["x11"] and s["xcalc"] else ""
        print(f"| {label} | {' | '.join(cells)} | {fmt(ratio, 2)} | {tcell} |")
        return s

    row("window mapped", "map")
    row("first damage after map (a background fill counts)", "first_damage")
    row("first content (first damage leaving the window not one flat colour)", "first_content",
        target=lambda s: f"median ≤ 0.8 × xcalc's: {verdict(s['x11'][1] <= 0.8 * s['xcalc'][1])}")
    row("frame complete (last damage before 300 ms quiet)", "last_damage")
    row("RSS at map + 300 ms (KiB)", "rss_kb", 0)
    pss = row("PSS at map + 300 ms (KiB)", "pss_kb", 0,
              target=lambda s: f"≤ 1.0 × xcalc: {verdict(s['x11'][1] <= s['xcalc'][1])}")
    row("shared libraries mapped", "libs", 0, target=lambda s: f"≤ 25: {verdict(s['x11'][1] <= 25)}")
    row("CPU until map + 300 ms (ms)", "cpu_ms")
    row("close to exit (WM_DELETE_WINDOW to waitpid)", "close_ms", 2,
        target=lambda s: f"≤ 2 ms: {verdict(s['x11'][1] <= 2)}")
    statuses = {p: sorted({int(r["exit"]) for r in data[p]}) for p in COLUMNS}
    print(f"| exit statuses seen | {' | '.join(str(statuses[p]) for p in COLUMNS)} | | |")
    print(floor_share(pss))

    # 4. idle
    idle_s = sys.argv[2] if len(sys.argv) > 2 else "5"
    print(f"\nIdle, nobody touching the window, over {idle_s} s from a second after the frame (one run each):\n")
    print("| | " + " | ".join(HEADINGS[p] for p in COLUMNS) + " | target (X11) |")
    print("|---|" + "---|" * len(COLUMNS) + "---|")
    for key, label in (("idle_cpu_ms", "CPU time (ms)"), ("idle_damage", "repaints (X damage events)")):
        cells = [fmt(idle[p][0][key], 1) if idle[p] else "n/a" for p in COLUMNS]
        q = idle["x11"][0][key] if idle["x11"] else None
        print(f"| {label} | {' | '.join(cells)} | 0: {verdict(q == 0)} |")

    # 6. headless
    h = json.loads((raw / "headless.json").read_text())["results"][0]
    times = [t * 1000 for t in h["times"]]
    med = statistics.median(times)
    print(f"\nHeadless process `quorix --headless --keys \"1 2 ＋ 3 ＝\"`, {len(times)} runs: "
          f"min {min(times):.2f} ms, median {med:.2f} ms, max {max(times):.2f} ms; "
          f"target at most 15 ms: {verdict(med <= 15)}.")


if __name__ == "__main__":
    main()
