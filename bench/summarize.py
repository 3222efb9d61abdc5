#!/usr/bin/env python3
"""Turns the raw figures of scripts/bench.sh into the Markdown tables of the README's
"Performance" section: medians, ranges, ratios to xcalc and the targets met or missed. A bare SDL2
window (bench/sdl_floor) is shown beside them as a reference, never judged: the floor of what the
SDL2 backend alone costs."""
import json
import statistics
import sys
from pathlib import Path

PROGRAMS = ["quorix", "xcalc", "galculator"]
REFERENCE = "sdl_floor"
COLUMNS = PROGRAMS + [REFERENCE]


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


def floor_share(pss):
    """The sentence saying how much of quorix's PSS the bare SDL2 window already takes."""
    q, floor, x = pss["quorix"], pss[REFERENCE], pss["xcalc"]
    if not q or not floor or not q[1]:
        return "\nNo PSS figures for both quorix and the bare SDL2 window: its share cannot be given."
    own = q[1] - floor[1]
    line = (f"\nThe bare SDL2 window alone has a median PSS of {floor[1]:.0f} KiB: {100 * floor[1] / q[1]:.0f} % "
            f"of quorix's {q[1]:.0f} KiB. The rest, {own:.0f} KiB, is quorix's own.")
    if x and x[1]:
        line += f" The floor alone is {floor[1] / x[1]:.2f} × xcalc's PSS"
        line += (": more than the target (2 ×) allows the whole program." if floor[1] > 2 * x[1] else ".")
    return line


def main():
    raw = Path(sys.argv[1])
    print(f"Measured {(raw / 'machine').read_text().strip().removeprefix('bench: ')}.\n")

    # 1. key to frame
    keys = json.loads((raw / "keys.json").read_text())
    medians = [b for b in keys["benchmarks"] if b.get("aggregate_name") == "median"]
    print("Key to frame (in-process, headless; command to repaint handed to the backend), "
          "median of 10 repetitions, target at most 50 µs:\n")
    print("| key | median µs | frames | pixels repainted | target |")
    print("|---|---:|---:|---:|---|")
    for b in medians:
        name = b["run_name"].removeprefix("BM_").removesuffix("/manual_time")
        t = b["real_time"]
        print(f"| {name} | {t:.1f} | {b.get('frames', 0):.0f} | {b.get('pixels', 0):.0f} | {verdict(t <= 50)} |")

    # 2, 3, 5. start, memory, close
    data = {p: runs(raw / f"{p}.runs") for p in COLUMNS}
    idle = {p: runs(raw / f"{p}.idle") for p in COLUMNS}
    n = min(len(data[p]) for p in PROGRAMS)
    print(f"\nThe real window under Xvfb, {n} starts each, interleaved (milliseconds from fork; "
          "min / median / max). The bare SDL2 window is a reference, not a peer: a program that only "
          "opens an SDL2 window of the same size, with the same hints, and fills it once:\n")
    print("| | quorix | xcalc | galculator | bare SDL2 window | quorix / xcalc | target |")
    print("|---|---|---|---|---|---:|---|")

    def row(label, key, digits=1, target=None, stat=spread):
        s = {p: stat([r[key] for r in data[p]]) for p in COLUMNS}
        cells = [" / ".join(fmt(v, digits) for v in s[p]) if s[p] else "n/a" for p in COLUMNS]
        ratio = s["quorix"][1] / s["xcalc"][1] if s["quorix"] and s["xcalc"] and s["xcalc"][1] else None
        tcell = target(s) if target and s["quorix"] and s["xcalc"] else ""
        print(f"| {label} | {' | '.join(cells)} | {fmt(ratio, 2)} | {tcell} |")
        return s

    row("window mapped", "map")
    row("first frame (first damage after map)", "first_damage",
        target=lambda s: f"median ≤ xcalc's: {verdict(s['quorix'][1] <= s['xcalc'][1])}")
    row("frame complete (last damage before 300 ms quiet)", "last_damage")
    row("RSS at map + 300 ms (KiB)", "rss_kb", 0)
    pss = row("PSS at map + 300 ms (KiB)", "pss_kb", 0,
              target=lambda s: f"≤ 2 × xcalc: {verdict(s['quorix'][1] <= 2 * s['xcalc'][1])}")
    row("close to exit (WM_DELETE_WINDOW to waitpid)", "close_ms", 2,
        target=lambda s: f"≤ 5 ms: {verdict(s['quorix'][1] <= 5)}")
    statuses = {p: sorted({int(r["exit"]) for r in data[p]}) for p in COLUMNS}
    print(f"| exit statuses seen | {' | '.join(str(statuses[p]) for p in COLUMNS)} | | |")
    print(floor_share(pss))

    # 4. idle
    idle_s = sys.argv[2] if len(sys.argv) > 2 else "5"
    print(f"\nIdle, nobody touching the window, over {idle_s} s from a second after the frame (one run each):\n")
    print("| | quorix | xcalc | galculator | bare SDL2 window | target |")
    print("|---|---|---|---|---|---|")
    for key, label in (("idle_cpu_ms", "CPU time (ms)"), ("idle_damage", "repaints (X damage events)")):
        cells = [fmt(idle[p][0][key], 1) if idle[p] else "n/a" for p in COLUMNS]
        q = idle["quorix"][0][key] if idle["quorix"] else None
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
