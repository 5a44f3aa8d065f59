#!/usr/bin/env python3
"""Writes the fuzzer's seed corpus: small valid bitmaps of every layout the
reader understands. Usage: make_corpus.py <folder>"""
import os
import struct
import sys


def palette(count, core):
    out = b""
    for i in range(count):
        b, g, r = (i * 3 + 1) & 255, (255 - i * 11) & 255, (i * 37 + 5) & 255
        out += bytes([b, g, r]) if core else bytes([b, g, r, 0])
    return out


def rows(bits, width, height):
    stride = (width * bits + 31) // 32 * 4
    out = bytearray()
    for y in range(height):
        row = bytearray(stride)
        for x in range(width):
            if bits <= 8:
                value = (x * 5 + y * 3 + 1) % (1 << bits)
                bit = x * bits
                row[bit // 8] |= value << (8 - bits - bit % 8)
            else:
                size = bits // 8
                for k in range(size):
                    row[x * size + k] = (x * 40 + y * 7 + k * 90) & 255
        out += row
    return bytes(out)


def bitmap(bits, width, height, core=False, file_header=True, compression=0, data=None, colors=None):
    if colors is None:
        colors = (1 << bits) if bits <= 8 else 0
    if core:
        header = struct.pack("<IHHHH", 12, width, height, 1, bits)
    else:
        used = colors if colors != (1 << bits) or bits > 8 else 0
        header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression,
                             len(data) if data is not None and compression else 0, 2835, 2835, used, 0)
    table = palette(colors, core)
    pixels = data if data is not None else rows(bits, width, abs(height))
    body = header + table + pixels
    if not file_header:
        return body
    offset = 14 + len(header) + len(table)
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, offset) + body


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    seeds = {
        "bpp1_info.bmp": bitmap(1, 13, 3),
        "bpp1_core_bare.bmp": bitmap(1, 9, 2, core=True, file_header=False),
        "bpp4_info_bare.bmp": bitmap(4, 5, 4, file_header=False),
        "bpp4_core.bmp": bitmap(4, 7, 3, core=True),
        "bpp8_info.bmp": bitmap(8, 5, 3),
        "bpp8_used20_bare.bmp": bitmap(8, 6, 4, file_header=False, colors=20),
        "bpp8_core.bmp": bitmap(8, 3, 3, core=True),
        "bpp16_info.bmp": bitmap(16, 5, 3),
        "bpp24_info.bmp": bitmap(24, 5, 3),
        "bpp24_core_bare.bmp": bitmap(24, 7, 2, core=True, file_header=False),
        "bpp24_topdown.bmp": bitmap(24, 4, -3),
        "bpp32_info.bmp": bitmap(32, 3, 2),
        "rle8.bmp": bitmap(8, 4, 3, compression=1, colors=16,
                           data=bytes([3, 1, 0, 3, 7, 8, 9, 0, 0, 0, 0, 2, 2, 1, 1, 5, 0, 1])),
        "rle4.bmp": bitmap(4, 5, 2, compression=2, colors=16,
                           data=bytes([5, 0x12, 0, 0, 0, 3, 0x56, 0x70, 0, 2, 1, 0, 0, 1])),
    }
    for name, content in seeds.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(content)


if __name__ == "__main__":
    main()
