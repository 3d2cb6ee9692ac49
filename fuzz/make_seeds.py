#!/usr/bin/env python3
"""Writes a few well-formed import files as the fuzzer's starting corpus."""
import os
import struct
import sys

STRINGS = [b"V1", b"M\x81ller", b"05.03.24", b"Probe 7", b"Dekor", b"112.5", b"Melamin",
           b"Schmidt", b"01.03.24", b"Druck AG", b"02.03.24", b"Papier GmbH", b"28.02.24",
           b"180", b"6,5", b"80", b"", b"0.3", b"12", b"first", b"\x84\x94\xe1"]


def kpf(points, count=None):
    out = bytearray()
    for s in STRINGS:
        out += bytes([len(s)]) + s
    numbers = [12.5, 130, 0.75, 40, 88, 3, 21.5, 4, 10, 350, 100, 0.18, 0.5, 0.02, 10]
    numbers.append(float(points if count is None else count))
    numbers += [10.0 + i for i in range(points)] + [2.0 * i for i in range(points)]
    for v in numbers:
        out += struct.pack(">d", v)
    return bytes(out)


def main(folder):
    os.makedirs(folder, exist_ok=True)
    seeds = {"pattern.kpf": kpf(0), "three.kpf": kpf(3), "full.kpf": kpf(299),
             "half.kpf": kpf(2, 2.5)}
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "seeds")
