#!/usr/bin/env python3
# Writes fuzz/corpus/fuzz_atspi/: method calls a screen reader makes, as D-Bus wire messages
# (little-endian, version 1), one file each. Run from the repository's top folder.
import os
import struct

OUT = "fuzz/corpus/fuzz_atspi"


def pad(buf, n):
    return buf + b"\0" * ((-len(buf)) % n)


def marshal(sig, values):
    body = b""
    for code, value in zip(sig, values):
        if code in "iu":
            body = pad(body, 4) + struct.pack("<i" if code == "i" else "<I", value)
        elif code == "b":
            body = pad(body, 4) + struct.pack("<I", 1 if value else 0)
        elif code == "s":
            raw = value.encode()
            body = pad(body, 4) + struct.pack("<I", len(raw)) + raw + b"\0"
    return body


def call(path, interface, member, sig="", *args):
    body = marshal(sig, args)
    fields = b""

    def field(code, typ, value):
        nonlocal fields
        raw = value.encode()
        fields = pad(fields, 8) + bytes([code, 1]) + typ.encode() + b"\0"
        if typ == "g":
            fields += bytes([len(raw)]) + raw + b"\0"
        else:
            fields = pad(fields, 4) + struct.pack("<I", len(raw)) + raw + b"\0"

    field(1, "o", path)
    if interface:
        field(2, "s", interface)
    field(3, "s", member)
    field(6, "s", ":1.7")
    if sig:
        field(8, "g", sig)
    header = b"l\x01\x00\x01" + struct.pack("<II", len(body), 1) + struct.pack("<I", len(fields)) + fields
    return pad(header, 8) + body


ROOT = "/org/a11y/atspi/accessible/root"
ACC = "org.a11y.atspi.Accessible"
PROPS = "org.freedesktop.DBus.Properties"


def obj(n):
    return "/org/a11y/atspi/accessible/%d" % n


seeds = {
    "root_children": call(ROOT, ACC, "GetChildren"),
    "root_child0": call(ROOT, ACC, "GetChildAtIndex", "i", 0),
    "root_name": call(ROOT, PROPS, "Get", "ss", ACC, "Name"),
    "root_getall": call(ROOT, PROPS, "GetAll", "s", ACC),
    "app_id": call(ROOT, PROPS, "Get", "ss", "org.a11y.atspi.Application", "Id"),
    "face_children": call(obj(2), ACC, "GetChildren"),
    "key_state": call(obj(5), ACC, "GetState"),
    "key_role": call(obj(5), ACC, "GetRole"),
    "key_interfaces": call(obj(6), ACC, "GetInterfaces"),
    "key_click": call(obj(7), "org.a11y.atspi.Action", "DoAction", "i", 0),
    "key_actions": call(obj(7), "org.a11y.atspi.Action", "GetActions"),
    "key_extents": call(obj(8), "org.a11y.atspi.Component", "GetExtents", "u", 0),
    "point": call(ROOT, "org.a11y.atspi.Component", "GetAccessibleAtPoint", "iiu", 40, 60, 1),
    "display_text": call(obj(4), "org.a11y.atspi.Text", "GetText", "ii", 0, -1),
    "display_at": call(obj(4), "org.a11y.atspi.Text", "GetTextAtOffset", "iu", 1, 0),
    "display_count": call(obj(4), PROPS, "Get", "ss", "org.a11y.atspi.Text", "CharacterCount"),
    "display_extents": call(obj(4), "org.a11y.atspi.Text", "GetRangeExtents", "iiu", 0, 2, 2),
    "menu_click": call(obj(45), "org.a11y.atspi.Action", "DoAction", "i", 0),
    "no_interface": call(obj(3), None, "GetAttributes"),
    "bad_args": call(ROOT, ACC, "GetChildAtIndex", "s", "0"),
}

os.makedirs(OUT, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
