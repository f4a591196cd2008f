#!/usr/bin/env python3
"""Writes the hand-made inputs in tests/engine/data/ that the reader must survive.

Each is built from the record layout in src/engine/RecordFormat.h, written out here
independently of the engine's own writer:
  refused-*   malformed or impossible records: readRecord must refuse them
  accepted-*  unusual but valid records: readRecord must read them consistently
Inputs the fuzzers find go into the same folder under their own names.
Run it from anywhere; it rewrites only the files it names.
"""
import pathlib
import struct

DATA = pathlib.Path(__file__).resolve().parent.parent / "tests" / "engine" / "data"


def header(count, dimensions=1, lower_bound=1):
    return struct.pack("<HIi", dimensions, count, lower_bound)


def record(pieces, codes=(b"78",), order=None, spare=0):
    """pieces: the stored pieces' bytes; order[i]: stored position of plain piece i + 1."""
    order = list(order) if order is not None else list(range(1, len(pieces) + 1))
    out = header(len(pieces))
    for piece in pieces:
        out += header(len(piece)) + piece
    out += header(len(codes))
    for code in codes:
        out += struct.pack("<H", len(code)) + code
    out += header(len(order)) + b"".join(struct.pack("<H", p & 0xFFFF) for p in order)
    return out + struct.pack("<H", spare)


def single_bytes(count):
    return [bytes([i & 0xFF]) for i in range(count)]


def offsets(pieces, codes=(b"78",)):
    """Where the pass-code list and the order list start in record(pieces, codes)."""
    pass_codes = 10 + sum(10 + len(p) for p in pieces)
    return pass_codes, pass_codes + 10 + sum(2 + len(c) for c in codes)


def patched(data, at, fmt, value):
    data = bytearray(data)
    struct.pack_into(fmt, data, at, value)
    return bytes(data)


def main():
    small = single_bytes(101)
    good = record(small)
    codes_at, order_at = offsets(small)
    # 2049 bytes in 1024 pieces: 1023 of two bytes and the last plain piece of three,
    # stored first because the order is reversed.
    reversed_order = list(range(1024, 0, -1))
    uneven = [b"\xAA" * 3] + [b"\x55" * 2] * 1023

    files = {
        "accepted-101-bytes.bin": good,
        "accepted-trailing-bytes.bin": good + b"\xFF" * 300,
        "accepted-1100-pieces.bin": record(single_bytes(1100)),
        "accepted-2049-bytes-reversed.bin": record(uneven, order=reversed_order),
        "accepted-spare-not-zero.bin": record(small, spare=0xBEEF),
        "refused-empty.bin": b"",
        "refused-partial-header.bin": good[:9],
        "refused-piece-count-ffffffff.bin": header(0xFFFFFFFF) + b"\x00" * 4096,
        "refused-piece-count-zero.bin": patched(good, 2, "<I", 0),
        "refused-piece-count-1101.bin": record(single_bytes(1101)),
        "refused-piece-count-1023-of-2046-bytes.bin": record([b"ab"] * 1023),
        "refused-piece-length-ffffffff.bin": patched(good, 12, "<I", 0xFFFFFFFF),
        "refused-piece-length-zero.bin": header(101) + header(0) * 101 + good[-(2 + 10 + 4 + 10 + 202):],
        "refused-two-dimensions.bin": patched(good, 0, "<H", 2),
        "refused-lower-bound-zero.bin": patched(good, 6, "<i", 0),
        "refused-lower-bound-negative.bin": patched(good, 16, "<i", -0x80000000),
        "refused-100-bytes.bin": record(single_bytes(100)),
        "refused-uneven-pieces.bin": record([b"\x55" * 2, b"\xAA" * 3] + [b"\x55" * 2] * 1022,
                                            order=reversed_order),
        "refused-pass-code-count-ffffffff.bin": patched(good, codes_at + 2, "<I", 0xFFFFFFFF),
        "refused-pass-code-count-zero.bin": record(small, codes=()),
        "refused-pass-code-length-ffff.bin": patched(good, codes_at + 10, "<H", 0xFFFF),
        "refused-pass-code-length-five.bin": record(small, codes=(b"12345",)),
        "refused-pass-code-past-end.bin": good[:codes_at + 10] + struct.pack("<H", 4) + b"7",
        "refused-pass-code-not-hex.bin": record(small, codes=(b"7G",)),
        "refused-order-count-ffffffff.bin": patched(good, order_at + 2, "<I", 0xFFFFFFFF),
        "refused-order-count-one-short.bin": patched(good, order_at + 2, "<I", 100),
        "refused-order-position-zero.bin": record(small, order=[0] + list(range(2, 102))),
        "refused-order-position-negative.bin": record(small, order=[0x8000] + list(range(2, 102))),
        "refused-order-position-past-count.bin": record(small, order=[102] + list(range(2, 102))),
        "refused-order-repeated.bin": record(small, order=[2] + list(range(2, 102))),
        "refused-missing-spare.bin": good[:-1],
    }
    DATA.mkdir(parents=True, exist_ok=True)
    for name, data in files.items():
        (DATA / name).write_bytes(data)


if __name__ == "__main__":
    main()
