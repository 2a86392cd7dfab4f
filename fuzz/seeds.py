#!/usr/bin/env python3
"""Seed corpora and a dictionary for the fuzz targets, made from the project itself.

seeds.py CASES SRC OUT writes OUT/<TYPE>/<case> for every end-to-end case whose control input
reads a file of input type TYPE: the case's other control lines, the input file, and the K-matrix,
isotope and order files it names (renamed side1, side2, side3), in the fuzz input layout of
fuzzinput.h. It also writes OUT/control/<case> (the control input alone) and OUT/kru.dict, the
string literals of the sources, which hold every marker a reader looks for.
"""
import pathlib
import re
import sys

SEPARATOR = b"\n--kru--\n"


def sideline(line):
    """(keyword, file name) of a control line that names a side file, else None."""
    if line.startswith("KMATRIX"):
        return "KMATRIX", line[8:].strip()
    if line.startswith("ISOTP"):
        return "ISOTP", line[6:].strip()
    if line.startswith("ORDER"):
        fields = line.split()
        return ("ORDER", fields[1]) if len(fields) >= 2 else None
    return None


def seed(case):
    """(type, fuzz input) of one case, or None when it reads no file of its own."""
    lines = (case / "control").read_text(errors="replace").splitlines()
    kind, data, control, sides = None, None, [], []
    for line in lines:
        if line.startswith("IN"):
            path = case / line[11:].strip()
            kind = line[4:10].strip().upper()
            data = path.read_bytes() if path.is_file() else None
        elif line.startswith("OUT"):
            continue
        elif (side := sideline(line)) is not None:
            path = case / side[1]
            if path.is_file():
                sides.append(path.read_bytes())
                control.append(f"{side[0]} side{len(sides)}")
        else:
            control.append(line)
    if not kind or data is None:
        return None
    parts = ["\n".join(control).encode(), data] + sides
    return kind, SEPARATOR.join(parts)


def escape(text):
    out = []
    for byte in text.encode():
        if byte in (0x22, 0x5C) or byte < 0x20 or byte > 0x7E:
            out.append(f"\\x{byte:02X}")
        else:
            out.append(chr(byte))
    return "".join(out)


def dictionary(src):
    words = set()
    for path in sorted(pathlib.Path(src).rglob("*.cpp")):
        for literal in re.findall(r'"((?:[^"\\\n]|\\.)*)"', path.read_text(errors="replace")):
            if 2 <= len(literal) <= 64 and "\\" not in literal:
                words.add(literal)
    return "".join(f'"{escape(w)}"\n' for w in sorted(words))


def main():
    cases, src, out = (pathlib.Path(a) for a in sys.argv[1:4])
    for case in sorted(p for p in cases.iterdir() if (p / "control").is_file()):
        (out / "control").mkdir(parents=True, exist_ok=True)
        (out / "control" / case.name).write_bytes((case / "control").read_bytes())
        made = seed(case)
        if made is not None:
            kind, content = made
            (out / kind).mkdir(parents=True, exist_ok=True)
            (out / kind / case.name).write_bytes(content)
    (out / "kru.dict").write_text(dictionary(src))


if __name__ == "__main__":
    main()
