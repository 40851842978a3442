#!/usr/bin/env python3
# Draws the Zorbleck icon: a white window with a title bar, seen at a slight
# angle, casting a shadow.  Standard library only, output is byte-for-byte
# reproducible, so the generated files are kept in git beside this script.
#
#   python3 data/icons/draw-icon.py [OUTPUT_DIR]
#
# Writes N.png (RGBA) for the hicolor theme and web app sizes and zorbleck.ico with the
# classic 32x32/16 colours, 32x32/2 colours and 16x16/16 colours images.

import os
import struct
import sys
import zlib

THEME_SIZES = (16, 32, 48, 64, 128, 256)
# The browser game's web app icons, for a phone's home screen and a splash.
WEB_SIZES = (192, 512)
# Up to this size every pixel is either in or out: no blurry half-tones, and
# the PNG matches the ICO image pixel for pixel.
HARD_EDGE_MAX = 32
SUPERSAMPLE = 8

# Geometry in units of the icon's side.  The left edge is nearer to the
# viewer, so it is taller; top and bottom edges slope towards each other.
LEFT, RIGHT = 0.06, 0.80
LEFT_TOP, LEFT_BOTTOM = 0.10, 0.82
RIGHT_TOP, RIGHT_BOTTOM = 0.17, 0.75
TITLE = 0.20          # title bar height as a share of each vertical edge
SHADOW = 0.11         # shadow offset, right and down

TRANSPARENT, BLACK, WHITE, TITLE_BAR, SHADE = range(5)

# The usual 16-colour palette; title bar and shadow use aqua and dark grey.
PALETTE16 = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
INDEX16 = {TRANSPARENT: 0, BLACK: 0, WHITE: 15, TITLE_BAR: 14, SHADE: 8}
RGB = {BLACK: PALETTE16[0], WHITE: PALETTE16[15],
       TITLE_BAR: PALETTE16[14], SHADE: PALETTE16[8]}


class Glyph:
    """The drawing snapped to the pixel grid of one size."""

    def __init__(self, size):
        snap = lambda v: round(v * size)
        self.x0, self.x1 = snap(LEFT), snap(RIGHT)
        self.top = (snap(LEFT_TOP), snap(RIGHT_TOP))
        self.bottom = (snap(LEFT_BOTTOM), snap(RIGHT_BOTTOM))
        self.shadow = max(2, snap(SHADOW))
        # Whole pixels keep the outline crisp at every size.
        self.line = max(1, round(size / 32))
        if size <= HARD_EDGE_MAX:
            # Too few pixels for the bar to narrow with distance: keep it
            # parallel to the top edge so both step in the same columns,
            # and leave at least two rows of colour.
            height = sum(b - t for t, b in zip(self.top, self.bottom)) / 2
            bar = max(self.line + 2, round(TITLE * height))
            self.title = tuple(t + bar for t in self.top)
        else:
            self.title = tuple(round(t + TITLE * (b - t))
                               for t, b in zip(self.top, self.bottom))

    def _along(self, ends, x):
        t = (x - self.x0) / (self.x1 - self.x0)
        return ends[0] + t * (ends[1] - ends[0])

    def _in_frame(self, x, y, inset=0):
        # Insets move each edge along an axis rather than along its normal,
        # so the sloped edges stay exactly `line` pixels tall in every column.
        return (self.x0 + inset <= x < self.x1 - inset
                and self._along(self.top, x) + inset <= y
                and y < self._along(self.bottom, x) - inset)

    def colour_at(self, x, y):
        if self._in_frame(x, y):
            if not self._in_frame(x, y, self.line):
                return BLACK
            title = self._along(self.title, x)
            if y < title:
                return TITLE_BAR
            return BLACK if y < title + self.line else WHITE
        if self._in_frame(x - self.shadow, y - self.shadow):
            return SHADE
        return TRANSPARENT


def render_indexed(size):
    """Rows of colour names, one sample at each pixel centre."""
    glyph = Glyph(size)
    return [[glyph.colour_at(x + 0.5, y + 0.5) for x in range(size)]
            for y in range(size)]


def render_rgba(size):
    if size <= HARD_EDGE_MAX:
        return [[RGB[c] + (255,) if c != TRANSPARENT else (0, 0, 0, 0)
                 for c in row] for row in render_indexed(size)]
    glyph = Glyph(size)
    n = SUPERSAMPLE
    offsets = [(i + 0.5) / n for i in range(n)]
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0, 0]
            for dy in offsets:
                for dx in offsets:
                    c = glyph.colour_at(x + dx, y + dy)
                    if c != TRANSPARENT:
                        r, g, b = RGB[c]
                        acc[0] += r
                        acc[1] += g
                        acc[2] += b
                        acc[3] += 1
            if acc[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(v / acc[3]) for v in acc[:3])
                           + (round(255 * acc[3] / (n * n)),))
        rows.append(row)
    return rows


def png_bytes(rows):
    height, width = len(rows), len(rows[0])

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data)))

    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def pack_bits(values, bpp):
    """One bottom-up BMP row, padded to 32 bits."""
    per_byte = 8 // bpp
    out = bytearray()
    for i in range(0, len(values), per_byte):
        byte = 0
        for j, v in enumerate(values[i:i + per_byte]):
            byte |= v << (8 - bpp * (j + 1))
        out.append(byte)
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def ico_image(rows, bpp, palette, index_of):
    """A BITMAPINFOHEADER image with its AND mask (1 marks transparent)."""
    size = len(rows)
    xor = b"".join(pack_bits([index_of(x, y, c) for x, c in enumerate(row)], bpp)
                   for y, row in reversed(list(enumerate(rows))))
    mask = b"".join(pack_bits([int(c == TRANSPARENT) for c in row], 1)
                    for row in reversed(rows))
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bpp, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    colours = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in palette)
    return header + colours + xor + mask


def mono_index(x, y, colour):
    if colour == WHITE:
        return 1
    if colour == SHADE:
        return (x + y) % 2   # a 50% dither stands in for grey
    return 0


def ico_bytes():
    images = [
        (32, 4, ico_image(render_indexed(32), 4, PALETTE16,
                          lambda x, y, c: INDEX16[c])),
        (32, 1, ico_image(render_indexed(32), 1, [(0, 0, 0), (255, 255, 255)],
                          mono_index)),
        (16, 4, ico_image(render_indexed(16), 4, PALETTE16,
                          lambda x, y, c: INDEX16[c])),
    ]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = len(out) + 16 * len(images)
    for size, bpp, data in images:
        out += struct.pack("<BBBBHHII", size, size, 1 << bpp, 0, 1, bpp,
                           len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in images)


def main():
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for size in THEME_SIZES + WEB_SIZES:
        with open(os.path.join(outdir, f"{size}.png"), "wb") as f:
            f.write(png_bytes(render_rgba(size)))
    with open(os.path.join(outdir, "zorbleck.ico"), "wb") as f:
        f.write(ico_bytes())


if __name__ == "__main__":
    main()
