#!/usr/bin/env python3
"""The Linux build and the Windows build under Wine, key for key: every key sequence of the engine
tests' tables, and random sequences from a fixed seed (some tapped on the face instead of sent as
commands), go to both programs' headless drivers with --trace; every line must be the same.

usage: differential.py LINUX_QUORIX WINDOWS_QUORIX_EXE SOURCE_DIR [RANDOM_COUNT]
Runs Wine with the caller's WINEPREFIX. Exit status 0 when all agree, 1 on a difference, 77 when
Wine is missing.
"""
import concurrent.futures
import os
import random
import re
import shutil
import subprocess
import sys

SEED = 20011203
TABLE_SOURCES = ["tests/engine_keys_test.cpp", "tests/engine_command_test.cpp", "tests/engine_random_test.cpp"]
SHOWN_LIMIT = 5  # differences printed in full


def command_ids(source):
    """IDC_* names to numbers, from the program's identifiers."""
    ids = {}
    text = open(os.path.join(source, "resources/resource_ids.h"), encoding="utf-8").read()
    for name, value in re.findall(r"#define (IDC_\w+) (\d+)", text):
        ids[name] = int(value)
    return ids


def key_names(source, ids):
    """The engine tests' key names ("CLR", "x^y" ...) to command numbers."""
    text = open(os.path.join(source, "tests/engine_test_keys.h"), encoding="utf-8").read()
    return {name: ids[idc] for name, idc in re.findall(r'\{"([^"]+)",\s*(IDC_\w+)\}', text)}


def typed_ids(run, ids):
    """A run of digits and points typed one key each, as the engine tests read it; None if not one."""
    out = []
    for c in run:
        if c.isdigit():
            out.append(ids["IDC_DIGIT_0"] + int(c))
        elif "A" <= c <= "F":
            out.append(ids["IDC_DIGIT_0"] + 10 + ord(c) - ord("A"))
        elif c == ".":
            out.append(ids["IDC_POINT"])
        else:
            return None
    return out


def sequence_ids(keys, names, ids):
    out = []
    for token in keys.split():
        if token in names:
            out.append(names[token])
            continue
        typed = typed_ids(token, ids)
        if typed is None:
            return None
        out += typed
    return out or None


def table_sequences(source, names, ids):
    """The first string of every table row of the engine tests that reads as keys, and the lines of
    tests/data/*.txt."""
    found = []
    for path in TABLE_SOURCES:
        text = open(os.path.join(source, path), encoding="utf-8").read()
        for keys in re.findall(r'\{\s*"((?:[^"\\]|\\.)*)"\s*,', text):
            seq = sequence_ids(keys, names, ids)
            if seq:
                found.append(seq)
    data = os.path.join(source, "tests/data")
    for name in sorted(os.listdir(data)):
        for line in open(os.path.join(data, name), encoding="utf-8"):
            seq = sequence_ids(line, names, ids)
            if seq:
                found.append(seq)
    unique = []
    for seq in found:
        if seq not in unique:
            unique.append(seq)
    return unique


def random_sequences(count, ids):
    """Digits three times as likely as any other key, so that numbers get written."""
    keys = sorted(set(v for k, v in ids.items() if k != "IDC_DISPLAY_STORE"))
    digits = [ids["IDC_DIGIT_0"] + d for d in range(16)]
    pool = keys + digits * 2
    rng = random.Random(SEED)
    return [[rng.choice(pool) for _ in range(rng.randint(1, 24))] for _ in range(count)]


HUNG = []
SILENT = []


def run(program, mode, seq):
    """One run; a run that hangs, or fails without a line of output, is tried once more (Wine's
    start can stall or fail on a loaded machine), and is a difference of its own if it does so
    again."""
    argv = program + ["--headless", "--trace", mode, " ".join(str(i) for i in seq)]
    for attempt in range(2):
        try:
            done = subprocess.run(argv, capture_output=True, timeout=60)
        except subprocess.TimeoutExpired:
            HUNG.append(" ".join(argv))
            continue
        lines = done.stdout.decode("utf-8", "replace").splitlines()
        if done.returncode != 0 and not lines and attempt == 0:
            said = done.stderr.decode("utf-8", "replace").strip().splitlines()[-3:]
            SILENT.append(f"{' '.join(argv)} (status {done.returncode}; {' | '.join(said) or 'nothing on stderr'})")
            continue
        return done.returncode, lines
    return "hung or silent twice", []


def compare(job, linux, windows):
    mode, seq = job
    left = run(linux, mode, seq)
    right = run(windows, mode, seq)
    if left == right:
        return None
    where = next((i for i, (a, b) in enumerate(zip(left[1], right[1])) if a != b), min(len(left[1]), len(right[1])))
    return (f"{mode} {' '.join(map(str, seq))}\n  exit: linux {left[0]}, windows {right[0]}\n"
            f"  line {where + 1}:\n    linux:   {left[1][where] if where < len(left[1]) else '(none)'}\n"
            f"    windows: {right[1][where] if where < len(right[1]) else '(none)'}")


def main():
    if len(sys.argv) not in (4, 5):
        print(__doc__, file=sys.stderr)
        return 2
    if not shutil.which("wine"):
        print("differential: wine is not installed: skipped")
        return 77
    linux, exe, source = [sys.argv[1]], ["wine", sys.argv[2]], sys.argv[3]
    count = int(sys.argv[4]) if len(sys.argv) == 5 else 300
    ids = command_ids(source)
    tables = table_sequences(source, key_names(source, ids), ids)
    randoms = random_sequences(count, ids)
    jobs = [("--keys", s) for s in tables]
    jobs += [("--taps" if i % 5 == 4 else "--keys", s) for i, s in enumerate(randoms)]
    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        results = list(pool.map(lambda job: compare(job, linux, exe), jobs))
    differences = [r for r in results if r]
    for d in differences[:SHOWN_LIMIT]:
        print("DIFFERENT:", d)
    for h in HUNG:
        print("hung after 60 s, run again:", h)
    for q in SILENT:
        print("ended without output, run again:", q)
    print(f"differential: {len(tables)} table sequences, {len(randoms)} random ones "
          f"({sum(1 for j in jobs if j[0] == '--taps')} tapped): {len(differences)} differ")
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
