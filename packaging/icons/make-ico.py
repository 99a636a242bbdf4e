#!/usr/bin/env python3
"""Packs square RGBA PNGs into a Windows .ico.

Sizes below 256 become 24-bit colour bitmaps with a 1-bit transparency mask, which every
Windows version shows; a 256-pixel image is stored as the PNG itself, as Windows Vista and
later expect for that size. Usage: make-ico.py OUT.ico IN.png...
"""

import struct
import sys
import zlib


def read_rgba_png(path):
    """Returns (size, rows of RGBA bytes) of a square, 8-bit RGBA, non-interlaced PNG."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG file")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos : pos + 8])
        body = data[pos + 8 : pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
    width, height, depth, colour, _, _, interlace = header
    if width != height or depth != 8 or colour != 6 or interlace != 0:
        sys.exit(f"{path}: need a square 8-bit RGBA PNG without interlacing")
    raw = zlib.decompress(idat)
    stride = width * 4
    rows, prev = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1 : start + 1 + stride])
        for i in range(stride):
            left = line[i - 4] if i >= 4 else 0
            up = prev[i]
            upleft = prev[i - 4] if i >= 4 else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - upleft
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - upleft)
                pred = left if pa <= pb and pa <= pc else up if pb <= pc else upleft
                line[i] = (line[i] + pred) & 0xFF
            elif kind != 0:
                sys.exit(f"{path}: unknown PNG filter {kind}")
        rows.append(bytes(line))
        prev = line
    return width, rows


def bitmap_entry(size, rows):
    """A 24-bit DIB with its AND mask: rows bottom-up, each padded to 4 bytes."""
    colour, mask = bytearray(), bytearray()
    colour_pad = (4 - size * 3 % 4) % 4
    mask_stride = (size + 31) // 32 * 4
    for line in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(size):
            r, g, b, a = line[x * 4 : x * 4 + 4]
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
                r = g = b = 0
            colour += bytes((b, g, r))
        colour += bytes(colour_pad)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 24, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + mask, 24


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    out, inputs = sys.argv[1], sys.argv[2:]
    images = []
    for path in inputs:
        size, rows = read_rgba_png(path)
        if size > 256:
            sys.exit(f"{path}: an icon image is at most 256 pixels")
        if size == 256:
            with open(path, "rb") as f:
                images.append((size, f.read(), 32))
        else:
            images.append((size, *bitmap_entry(size, rows)))
    offset = 6 + 16 * len(images)
    directory, blobs = struct.pack("<HHH", 0, 1, len(images)), b""
    for size, blob, bits in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(blob), offset)
        offset += len(blob)
        blobs += blob
    with open(out, "wb") as f:
        f.write(directory + blobs)


main()
