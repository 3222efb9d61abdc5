#!/usr/bin/env python3
"""Compares the geometry of two pictures of the face: the Linux build's headless screenshot and a
picture of the Windows build (its headless screenshot, or its real window under Wine). Text may be
rasterised differently; nothing else may differ. A pixel is structure when it belongs to a region
of one colour of MIN_REGION pixels or more (a key's face or bevel, the panel, the rule, the
background, a bar); glyphs and their anti-aliasing are not. Wherever both pictures have structure
the colours must be equal: a key moved, resized or coloured otherwise shows there, text does not.

usage: face_geometry.py LINUX.png WINDOWS.png [--crop X Y W H] [--window-crop X Y W H]
                        [--system-drawn X Y W H]...
  --crop takes that part of the Linux picture, --window-crop that part of the Windows one; both
  parts must be the same size. --system-drawn X Y W H (its top-left pixel the background around
  it) marks a control that each system draws its own way (push-like radio buttons): there each
  picture must draw over the rectangle, within a pixel of its edges; colours are not compared.
Exit status 0 when they agree, 1 with the differences listed.
"""
import struct
import sys
import zlib

MIN_REGION = 40  # pixels: smaller regions are glyph parts and anti-aliasing


def read_png(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit(f"{path}: not a PNG file")
    at, idat, width, height, channels = 8, b"", 0, 0, 0
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, color = struct.unpack(">IIBB", body[:10])
            if depth != 8 or color not in (2, 6):
                raise SystemExit(f"{path}: only 8-bit RGB or RGBA pictures")
            channels = 3 if color == 2 else 4
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append([tuple(line[x * channels:x * channels + 3]) for x in range(width)])
        previous = line
    return rows


def crop(rows, box):
    x, y, w, h = box
    return [row[x:x + w] for row in rows[y:y + h]]


def structure(rows):
    """For each pixel, whether it lies in a one-colour region of MIN_REGION pixels or more."""
    height, width = len(rows), len(rows[0])
    seen = [[False] * width for _ in range(height)]
    big = [[False] * width for _ in range(height)]
    for y0 in range(height):
        for x0 in range(width):
            if seen[y0][x0]:
                continue
            colour, stack, members = rows[y0][x0], [(x0, y0)], []
            seen[y0][x0] = True
            while stack:
                x, y = stack.pop()
                members.append((x, y))
                for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
                    if 0 <= nx < width and 0 <= ny < height and not seen[ny][nx] and rows[ny][nx] == colour:
                        seen[ny][nx] = True
                        stack.append((nx, ny))
            if len(members) >= MIN_REGION:
                for x, y in members:
                    big[y][x] = True
    return big


def drawn_box(rows, box):
    """The box of the pixels inside `box` that differ from the colour at its top-left corner."""
    x0, y0, w, h = box
    background = rows[y0][x0]
    points = [(x, y) for y in range(y0, y0 + h) for x in range(x0, x0 + w) if rows[y][x] != background]
    if not points:
        return None
    return (min(p[0] for p in points), min(p[1] for p in points), max(p[0] for p in points),
            max(p[1] for p in points))


def clusters(points):
    """Boxes of groups of points, each point within 2 pixels of its group."""
    boxes = []
    for x, y in sorted(points, key=lambda p: (p[1], p[0])):
        for b in boxes:
            if b[0] - 2 <= x <= b[2] + 2 and b[1] - 2 <= y <= b[3] + 2:
                b[0], b[1], b[2], b[3] = min(b[0], x), min(b[1], y), max(b[2], x), max(b[3], y)
                break
        else:
            boxes.append([x, y, x, y])
    return boxes


def option_boxes(args, name):
    return [tuple(int(v) for v in args[i + 1:i + 5]) for i, a in enumerate(args) if a == name]


def main():
    args = sys.argv[1:]
    if len(args) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    linux, windows = read_png(args[0]), read_png(args[1])
    for box in option_boxes(args, "--crop"):
        linux = crop(linux, box)
    for box in option_boxes(args, "--window-crop"):
        windows = crop(windows, box)
    if (len(linux), len(linux[0])) != (len(windows), len(windows[0])):
        print(f"sizes differ: linux {len(linux[0])}x{len(linux)}, windows {len(windows[0])}x{len(windows)}")
        return 1
    problems = []
    system = option_boxes(args, "--system-drawn")
    for box in system:
        for name, rows in (("Linux", linux), ("Windows", windows)):
            drawn = drawn_box(rows, box)
            if not drawn or drawn[2] - drawn[0] + 1 < box[2] - 2 or drawn[3] - drawn[1] + 1 < box[3] - 2:
                problems.append(f"the control at {box} is not drawn over its rectangle on {name}: {drawn}")
    inside = lambda x, y: any(b[0] <= x < b[0] + b[2] and b[1] <= y < b[1] + b[3] for b in system)
    left, right = structure(linux), structure(windows)
    wrong = [(x, y) for y in range(len(linux)) for x in range(len(linux[0]))
             if left[y][x] and right[y][x] and linux[y][x] != windows[y][x] and not inside(x, y)]
    for b in clusters(wrong):
        x, y = b[0], b[1]
        problems.append(f"structure differs in box {tuple(b)}: at ({x}, {y}) linux #{bytes(linux[y][x]).hex()}, "
                        f"windows #{bytes(windows[y][x]).hex()}")
    for p in problems:
        print(p)
    print(f"face geometry: {len(wrong)} structure pixels differ, {len(system)} system-drawn controls checked")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
