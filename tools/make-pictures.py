#!/usr/bin/env python3
"""Draws the program's pictures and writes them into resources/.

    tools/make-pictures.py [--preview DIR]

  GlyphSave.bmp   25 x 25, a blue-green floppy disk            (btnSave)
  GlyphPrint.bmp  25 x 25, a grey printer                      (btnPrint)
  Together.bmp    16 x 49, a thin black bracket open to the left (imgTogether)
  Framlet.ico     32 x 32, 256 colours, a camera in front of a window

The glyphs and the bracket stand on magenta, which the program draws transparent (the
colour of the bottom-left pixel). --preview also writes enlarged PNG copies to look at.
The output is the same on every run; the committed files are this script's output.
"""
import argparse
import pathlib
import struct
import zlib

MAGENTA = (255, 0, 255)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)


class Picture:
    """Pixels as (r, g, b) tuples, or None where the picture is transparent."""

    def __init__(self, width, height, fill=None):
        self.width = width
        self.height = height
        self.pixels = [[fill] * width for _ in range(height)]

    def set(self, x, y, color):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = color

    def get(self, x, y):
        return self.pixels[y][x]

    def fill(self, left, top, right, bottom, color):
        """Inclusive edges."""
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                self.set(x, y, color)

    def frame(self, left, top, right, bottom, color):
        self.hline(left, right, top, color)
        self.hline(left, right, bottom, color)
        self.vline(left, top, bottom, color)
        self.vline(right, top, bottom, color)

    def hline(self, left, right, y, color):
        for x in range(left, right + 1):
            self.set(x, y, color)

    def vline(self, x, top, bottom, color):
        for y in range(top, bottom + 1):
            self.set(x, y, color)

    def line(self, x0, y0, x1, y1, color):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, color)
            if (x0, y0) == (x1, y1):
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def disc(self, cx, cy, radius, color):
        """Pixels whose centres lie within radius of (cx, cy); centre may be fractional."""
        for y in range(self.height):
            for x in range(self.width):
                if (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius:
                    self.set(x, y, color)


# --- the pictures ---------------------------------------------------------------------------


def floppy():
    teal = (0, 128, 128)
    light = (64, 192, 192)
    dark = (0, 80, 80)
    silver = (200, 200, 200)
    grey = (128, 128, 128)
    p = Picture(25, 25, MAGENTA)
    # Body: a square with its top-right corner cut off.
    for y in range(3, 22):
        p.hline(3, 20 if y == 3 else 21, y, teal)
    p.hline(2, 20, 2, BLACK)
    p.set(21, 3, BLACK)
    p.vline(22, 4, 22, BLACK)
    p.hline(2, 22, 22, BLACK)
    p.vline(2, 2, 22, BLACK)
    p.hline(3, 19, 3, light)
    p.vline(3, 4, 21, light)
    p.vline(21, 5, 21, dark)
    p.hline(4, 21, 21, dark)
    # Metal shutter at the top with its window.
    p.fill(7, 3, 17, 9, silver)
    p.vline(7, 3, 9, grey)
    p.vline(17, 3, 9, grey)
    p.hline(7, 17, 9, grey)
    p.fill(13, 4, 15, 8, (40, 40, 40))
    p.hline(8, 16, 3, WHITE)
    # Label at the bottom, with two written lines.
    p.fill(5, 12, 19, 21, WHITE)
    p.frame(5, 12, 19, 22, BLACK)
    p.hline(7, 17, 15, (96, 96, 160))
    p.hline(7, 14, 18, (96, 96, 160))
    # Write-protect hole.
    p.fill(3, 19, 4, 20, BLACK)
    return p


def printer():
    light = (224, 224, 224)
    body = (176, 176, 176)
    shade = (112, 112, 112)
    text = (128, 128, 128)
    p = Picture(25, 25, MAGENTA)
    # Sheet waiting at the back.
    p.fill(7, 1, 17, 8, WHITE)
    p.frame(7, 1, 17, 9, BLACK)
    p.hline(9, 15, 3, text)
    p.hline(9, 13, 5, text)
    # Body.
    p.fill(2, 9, 22, 18, body)
    p.frame(2, 9, 22, 19, BLACK)
    p.hline(3, 21, 10, light)
    p.vline(3, 10, 18, light)
    p.hline(3, 21, 18, shade)
    p.vline(21, 11, 18, shade)
    # Paper slot and the printed sheet coming out at the front.
    p.hline(5, 19, 14, BLACK)
    p.fill(6, 15, 18, 22, WHITE)
    p.frame(6, 15, 18, 23, BLACK)
    p.hline(8, 16, 18, text)
    p.hline(8, 14, 20, text)
    # Power light.
    p.fill(18, 12, 19, 12, (0, 200, 0))
    return p


def bracket():
    # The rows of the first two radio buttons sit 13 and 37 pixels down the picture; the
    # upper arm runs on to the right edge, towards the width and height boxes.
    p = Picture(16, 49, MAGENTA)
    p.hline(1, 15, 13, BLACK)
    p.vline(8, 13, 37, BLACK)
    p.hline(1, 8, 37, BLACK)
    return p


def icon():
    navy = (0, 0, 128)
    blue = (48, 96, 208)
    frame_grey = (192, 192, 192)
    body = (64, 64, 72)
    top = (120, 120, 128)
    rim = (176, 176, 184)
    glass = (16, 32, 112)
    p = Picture(32, 32, None)
    # The window behind: title bar, buttons, white client area.
    p.fill(1, 1, 25, 21, WHITE)
    p.fill(1, 1, 25, 5, navy)
    p.hline(3, 12, 3, blue)
    p.fill(19, 2, 20, 4, frame_grey)
    p.fill(22, 2, 23, 4, frame_grey)
    p.frame(0, 0, 26, 22, BLACK)
    p.hline(3, 9, 8, (160, 160, 160))
    p.hline(3, 7, 10, (160, 160, 160))
    # The camera in front: viewfinder bump, body, shutter button, lens.
    p.fill(9, 10, 15, 13, top)
    p.frame(8, 9, 16, 14, BLACK)
    p.fill(25, 11, 28, 12, (208, 32, 32))
    p.frame(24, 10, 29, 13, BLACK)
    p.fill(6, 13, 30, 29, body)
    p.frame(5, 13, 31, 30, BLACK)
    p.hline(6, 30, 14, top)
    p.fill(7, 16, 10, 18, (232, 232, 160))  # flash window
    p.frame(6, 15, 11, 19, BLACK)
    p.disc(19.5, 22.0, 7.2, BLACK)
    p.disc(19.5, 22.0, 6.2, rim)
    p.disc(19.5, 22.0, 4.7, BLACK)
    p.disc(19.5, 22.0, 3.8, glass)
    p.set(18, 20, WHITE)
    p.set(17, 21, (200, 200, 255))
    p.set(18, 21, (200, 200, 255))
    return p


# --- file formats ---------------------------------------------------------------------------


def bmp24(picture):
    """Windows bitmap, 24 bits, rows bottom-up, each padded to 4 bytes."""
    stride = (picture.width * 3 + 3) // 4 * 4
    rows = bytearray()
    for y in reversed(range(picture.height)):
        row = bytearray()
        for x in range(picture.width):
            r, g, b = picture.get(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows += row
    header = struct.pack("<IiiHHIIiiII", 40, picture.width, picture.height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(rows), 0, 0, 14 + len(header))
    return file_header + header + rows


def ico256(picture):
    """Icon file with one 8-bit (256-colour) image and its transparency mask."""
    colors = sorted({c for row in picture.pixels for c in row if c is not None})
    if len(colors) > 255:
        raise SystemExit("too many colours for a 256-colour icon")
    palette = [BLACK] + [c for c in colors if c != BLACK]
    palette += [BLACK] * (256 - len(palette))
    index = {c: i for i, c in enumerate(palette) if i == 0 or c != BLACK}
    index[BLACK] = 0
    w, h = picture.width, picture.height
    xor_stride = (w + 3) // 4 * 4
    and_stride = ((w + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(h)):
        row = bytearray()
        bits = bytearray(and_stride)
        for x in range(w):
            c = picture.get(x, y)
            row.append(0 if c is None else index[c])
            if c is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        row += bytes(xor_stride - len(row))
        xor += row
        mask += bits
    pal = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 8, 0, len(xor) + len(mask), 0, 0, 256, 0)
    image = header + pal + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", w, h, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + image


def png(picture, scale, background=(236, 233, 216)):
    """Enlarged copy for looking at; transparent and magenta pixels show a button-face colour."""
    w, h = picture.width * scale, picture.height * scale
    raw = bytearray()
    for y in range(h):
        raw.append(0)
        for x in range(w):
            c = picture.get(x // scale, y // scale)
            raw += bytes(background if c is None or c == MAGENTA else c)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", type=pathlib.Path, help="also write enlarged PNG copies into this folder")
    args = parser.parse_args()
    resources = pathlib.Path(__file__).resolve().parent.parent / "resources"
    resources.mkdir(exist_ok=True)
    pictures = {"GlyphSave": floppy(), "GlyphPrint": printer(), "Together": bracket(), "Framlet": icon()}
    for name, picture in pictures.items():
        if name == "Framlet":
            (resources / "Framlet.ico").write_bytes(ico256(picture))
        else:
            assert picture.get(0, picture.height - 1) == MAGENTA, name + ": bottom-left must be the background"
            (resources / (name + ".bmp")).write_bytes(bmp24(picture))
        if args.preview:
            args.preview.mkdir(parents=True, exist_ok=True)
            (args.preview / (name + "-x1.png")).write_bytes(png(picture, 1))
            (args.preview / (name + "-x10.png")).write_bytes(png(picture, 10))


if __name__ == "__main__":
    main()
