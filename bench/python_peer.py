#!/usr/bin/env python3
"""The converter a user would otherwise write for the benchmark's one layout, with Python's
struct and csv modules: the peer that bench/run.sh times beside morvane-cli.

    python_peer.py to-text IN.bin OUT.txt
    python_peer.py to-binary IN.txt OUT.bin

Layout of a 32-byte record: ID 4 bytes unsigned little-endian, Level 2 bytes signed
little-endian, Price 4 bytes unsigned big-endian, Flags 1 byte of four 2-bit fields (the first
in the lowest bits), Kind 1 byte whose codes 0 to 7 have names, 4 filler bytes, Name 16 bytes
zero padded. Text: a "//" header line, commas, CR LF.
"""
import csv
import struct
import sys

KINDS = ["Sword", "Shield", "Potion", "Herb", "Key", "Map", "Ring", "Gem"]
HEADER = "//ID,Level,Price,F1,F2,F3,F4,Kind,Name"
HEAD = struct.Struct("<Ih")
PRICE = struct.Struct(">I")
TAIL = struct.Struct("<BB4x16s")
RECORD_SIZE = 32
CHUNK_RECORDS = 65536


def to_text(source, target):
    with open(source, "rb") as binary, open(target, "w", newline="", encoding="ascii") as text:
        text.write(HEADER + "\r\n")
        rows = csv.writer(text, lineterminator="\r\n")
        while chunk := binary.read(RECORD_SIZE * CHUNK_RECORDS):
            for at in range(0, len(chunk) - RECORD_SIZE + 1, RECORD_SIZE):
                ident, level = HEAD.unpack_from(chunk, at)
                (price,) = PRICE.unpack_from(chunk, at + 6)
                flags, kind, name = TAIL.unpack_from(chunk, at + 10)
                rows.writerow((ident, level, price, flags & 3, flags >> 2 & 3, flags >> 4 & 3, flags >> 6,
                               KINDS[kind] if kind < len(KINDS) else kind,
                               name.split(b"\0", 1)[0].decode("ascii")))


def to_binary(source, target):
    codes = {name: code for code, name in enumerate(KINDS)}
    with open(source, newline="", encoding="ascii") as text, open(target, "wb") as binary:
        records = bytearray()
        for row in csv.reader(text):
            if not row or row[0].startswith("//"):
                continue
            ident, level, price, f1, f2, f3, f4, kind, name = row
            flags = int(f1) | int(f2) << 2 | int(f3) << 4 | int(f4) << 6
            code = codes[kind] if kind in codes else int(kind)
            records += HEAD.pack(int(ident), int(level))
            records += PRICE.pack(int(price))
            records += TAIL.pack(flags, code, name.encode("ascii"))
            if len(records) >= RECORD_SIZE * CHUNK_RECORDS:
                binary.write(records)
                records.clear()
        binary.write(records)


if __name__ == "__main__":
    if len(sys.argv) != 4 or sys.argv[1] not in ("to-text", "to-binary"):
        sys.exit(__doc__)
    (to_text if sys.argv[1] == "to-text" else to_binary)(sys.argv[2], sys.argv[3])
