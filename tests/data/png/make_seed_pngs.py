#!/usr/bin/env python3
"""Writes the small PNG files of this folder: one of every colour type and bit
depth the skin loader meets, with and without transparency, interlaced, with
gamma and with ancillary chunks. They seed the PNG fuzzer. Deterministic:
running it again rewrites the same bytes.

    python3 tests/data/png/make_seed_pngs.py
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}
ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]


def chunk(kind, data):
    body = kind.encode("ascii") + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def pack_row(values, depth):
    """Packs one row of sample values at the given bit depth."""
    if depth == 8:
        return bytes(values)
    if depth == 16:
        return b"".join(struct.pack(">H", v) for v in values)
    out, acc, bits = bytearray(), 0, 0
    for v in values:
        acc = (acc << depth) | v
        bits += depth
        if bits == 8:
            out.append(acc)
            acc, bits = 0, 0
    if bits:
        out.append(acc << (8 - bits))
    return bytes(out)


def filtered(rows, filter_type, bpp):
    """Applies one PNG filter type to every row (0 none, 1 sub, 2 up)."""
    out, prev = bytearray(), None
    for row in rows:
        line = bytearray(row)
        if filter_type == 1:
            line = bytearray((row[i] - (row[i - bpp] if i >= bpp else 0)) & 0xFF for i in range(len(row)))
        elif filter_type == 2:
            line = bytearray((row[i] - (prev[i] if prev else 0)) & 0xFF for i in range(len(row)))
        out.append(filter_type)
        out += line
        prev = row
    return bytes(out)


def png(width, height, depth, color_type, pixel, interlace=False, before=(), after=(),
        palette=None, trns=None, filter_type=0, idat_parts=1):
    """pixel(x, y) gives the tuple of sample values of one pixel."""
    channels = CHANNELS[color_type]
    bpp = max(1, channels * depth // 8)

    def rows_of(xs, ys):
        return [pack_row([s for x in xs for s in pixel(x, y)], depth) for y in ys]

    if interlace:
        raw = b""
        for x0, y0, dx, dy in ADAM7:
            xs, ys = range(x0, width, dx), range(y0, height, dy)
            if len(xs) and len(ys):
                raw += filtered(rows_of(xs, ys), filter_type, bpp)
    else:
        raw = filtered(rows_of(range(width), range(height)), filter_type, bpp)
    packed = zlib.compress(raw, 9)
    out = b"\x89PNG\r\n\x1a\n"
    out += chunk("IHDR", struct.pack(">IIBBBBB", width, height, depth, color_type, 0, 0, 1 if interlace else 0))
    for kind, data in before:
        out += chunk(kind, data)
    if palette is not None:
        out += chunk("PLTE", bytes(palette))
    if trns is not None:
        out += chunk("tRNS", bytes(trns))
    step = (len(packed) + idat_parts - 1) // idat_parts
    for i in range(0, len(packed), step):
        out += chunk("IDAT", packed[i:i + step])
    for kind, data in after:
        out += chunk(kind, data)
    return out + chunk("IEND", b"")


def main():
    files = {}
    w, h = 9, 7

    def rgba(x, y):
        return (x * 28, y * 36, 255 - x * 20, (x * y * 17 + 40) % 256)

    files["rgba8.png"] = png(w, h, 8, 6, rgba)
    files["rgba8_interlaced.png"] = png(w, h, 8, 6, rgba, interlace=True, filter_type=1)
    files["rgba16.png"] = png(4, 3, 16, 6, lambda x, y: (x * 9000, y * 20000, 65535, x * 16000 + 1))
    files["rgba8_gamma.png"] = png(w, h, 8, 6, rgba, before=[("gAMA", struct.pack(">I", 100000))], filter_type=2)
    files["rgba8_chunks.png"] = png(
        w, h, 8, 6, rgba, idat_parts=3,
        before=[("sRGB", b"\x00"), ("tEXt", b"Title\x00skin"), ("pHYs", struct.pack(">IIB", 2835, 2835, 1)),
                ("iCCP", b"p\x00\x00" + zlib.compress(b"profile"))],
        after=[("tIME", struct.pack(">HBBBBB", 2020, 1, 2, 3, 4, 5)), ("zTXt", b"c\x00\x00" + zlib.compress(b"x"))])
    files["grey_alpha8.png"] = png(w, h, 8, 4, lambda x, y: (x * 28, y * 40))
    files["grey_alpha16.png"] = png(3, 3, 16, 4, lambda x, y: (x * 30000, y * 30000 + 5))
    files["rgb8.png"] = png(w, h, 8, 2, lambda x, y: (x * 28, y * 36, 100))
    files["rgb8_trns_gamma.png"] = png(w, h, 8, 2, lambda x, y: (x * 28, 0, 0), trns=struct.pack(">HHH", 56, 0, 0),
                                       before=[("gAMA", struct.pack(">I", 45455))])
    files["rgb16_trns.png"] = png(3, 2, 16, 2, lambda x, y: (x * 1000, y, 7), trns=struct.pack(">HHH", 1000, 1, 7))
    for depth in (1, 2, 4, 8):
        colours = 1 << depth
        pal = [c for i in range(colours) for c in ((i * 37) % 256, (i * 91) % 256, (i * 13) % 256)]
        files[f"palette{depth}_trns.png"] = png(w, h, depth, 3, lambda x, y, n=colours: ((x + y) % n,),
                                                palette=pal, trns=[0, 128][: colours])
    for depth in (1, 2, 4, 8, 16):
        top = (1 << depth) - 1
        files[f"grey{depth}.png"] = png(w, h, depth, 0, lambda x, y, t=top: ((x * y) % (t + 1),))
    files["grey8_trns_interlaced.png"] = png(w, h, 8, 0, lambda x, y: (x * 20,), trns=struct.pack(">H", 40),
                                             interlace=True)
    files["rgba8_1x1.png"] = png(1, 1, 8, 6, lambda x, y: (255, 255, 255, 128))
    for name, data in files.items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)
    print(f"wrote {len(files)} files to {HERE}")


if __name__ == "__main__":
    main()
