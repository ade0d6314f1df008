#!/usr/bin/env python3
"""Packs square RGBA PNG images into one Windows .ico file.

    pack_ico.py OUT.ico IMAGE.png...

Images of 256 pixels are stored as PNG, as Windows expects for that size;
smaller ones as 32-bit device-independent bitmaps (BGRA rows bottom-up, the
alpha channel carrying the transparency, followed by the 1-bit AND mask that
marks the fully transparent pixels). The entries keep the order given.
Only the standard library is used, so the output depends on nothing but the
input bytes.
"""
import struct
import sys
import zlib

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def read_png_rgba(path):
    """Width, height and the RGBA rows of an 8-bit, non-interlaced RGBA PNG."""
    with open(path, "rb") as f:
        data = f.read()
    if not data.startswith(PNG_SIGNATURE):
        sys.exit(f"{path}: not a PNG file")
    pos = len(PNG_SIGNATURE)
    idat = b""
    header = None
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    if header is None:
        sys.exit(f"{path}: no IHDR chunk")
    width, height, depth, colour_type, _, _, interlace = header
    if depth != 8 or colour_type != 6 or interlace != 0:
        sys.exit(f"{path}: expected 8-bit RGBA without interlacing")
    raw = zlib.decompress(idat)
    stride = width * 4
    rows = []
    prior = bytearray(stride)
    at = 0
    for _ in range(height):
        kind = raw[at]
        row = bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = row[i - 4] if i >= 4 else 0
            up = prior[i]
            up_left = prior[i - 4] if i >= 4 else 0
            if kind == 1:
                row[i] = (row[i] + left) & 0xFF
            elif kind == 2:
                row[i] = (row[i] + up) & 0xFF
            elif kind == 3:
                row[i] = (row[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - up_left
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - up_left)
                pred = left if pa <= pb and pa <= pc else (up if pb <= pc else up_left)
                row[i] = (row[i] + pred) & 0xFF
            elif kind != 0:
                sys.exit(f"{path}: unknown row filter {kind}")
        rows.append(bytes(row))
        prior = row
    return width, height, rows, data


def dib_entry(width, height, rows):
    """A 32-bit BITMAPINFOHEADER image: colour rows bottom-up, then the mask."""
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(rows):
        for x in range(width):
            r, g, b, a = row[x * 4:x * 4 + 4]
            colour += bytes((b, g, r, a))
    mask_stride = ((width + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x in range(width):
            if row[x * 4 + 3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(colour) + bytes(mask)


def main(argv):
    if len(argv) < 3:
        sys.exit("usage: pack_ico.py OUT.ico IMAGE.png...")
    out_path, inputs = argv[1], argv[2:]
    images = []
    for path in inputs:
        width, height, rows, png_bytes = read_png_rgba(path)
        if width != height or width > 256:
            sys.exit(f"{path}: icon images must be square and at most 256 pixels")
        body = png_bytes if width == 256 else dib_entry(width, height, rows)
        images.append((width, body))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, body in images:
        byte_size = size % 256  # 0 stands for 256
        entries += struct.pack("<BBBBHHII", byte_size, byte_size, 0, 0, 1, 32, len(body), offset)
        offset += len(body)
    with open(out_path, "wb") as f:
        f.write(directory + entries + b"".join(body for _, body in images))


if __name__ == "__main__":
    main(sys.argv)
