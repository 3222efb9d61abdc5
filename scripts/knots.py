#!/usr/bin/env python3
"""Which platform sources depend on each other in a circle, measured at the symbol level: an
object file depends on the one that defines a symbol it uses. Prints every circle (strongly
connected component of more than one file). Usage: scripts/knots.py BUILD_DIR"""
import pathlib, subprocess, sys
from collections import defaultdict

def symbols(obj):
    out = subprocess.run(["nm", "-C", "--defined-only", "-g", str(obj)], capture_output=True, text=True).stdout
    defined = {l.split(" ", 2)[2] for l in out.splitlines() if len(l.split(" ", 2)) == 3 and l.split(" ", 2)[1] in "TDBRVWu"}
    out = subprocess.run(["nm", "-C", "-u", str(obj)], capture_output=True, text=True).stdout
    used = {l.split()[-1] if not l.strip().startswith("U ") else l.strip()[2:] for l in out.splitlines() if l.strip()}
    return defined, used

def main():
    build = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "build")
    root = build / "CMakeFiles" / "quorix_platform.dir" / "platform"
    source = pathlib.Path(__file__).resolve().parent.parent / "platform"
    # Objects of sources that are gone (moved or deleted) may linger in the build folder.
    objs = sorted(o for o in root.rglob("*.o") if (source / o.relative_to(root)).with_suffix("").exists())
    info = {str(o.relative_to(root))[:-2]: symbols(o) for o in objs}
    owner = {}
    for name, (defined, _) in info.items():
        for s in defined:
            if "std::" in s or s.startswith("typeinfo") or s.startswith("vtable"):
                continue  # inline library code, emitted wherever it is used
            owner.setdefault(s, name)
    edges = defaultdict(set)
    for name, (_, used) in info.items():
        for s in used:
            if s in owner and owner[s] != name:
                edges[name].add(owner[s])
    # Tarjan's strongly connected components.
    index, low, stack, on, comps, counter = {}, {}, [], set(), [], [0]
    sys.setrecursionlimit(10000)
    def visit(v):
        index[v] = low[v] = counter[0]; counter[0] += 1
        stack.append(v); on.add(v)
        for w in edges[v]:
            if w not in index:
                visit(w); low[v] = min(low[v], low[w])
            elif w in on:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            comp = []
            while True:
                w = stack.pop(); on.discard(w); comp.append(w)
                if w == v: break
            comps.append(sorted(comp))
    for v in sorted(info):
        if v not in index:
            visit(v)
    knots = [c for c in comps if len(c) > 1]
    print(f"{len(info)} platform sources; {len(knots)} circle(s)")
    for c in sorted(knots, key=len, reverse=True):
        print(f"  {len(c)} files: " + " ".join(c))

main()
