#!/usr/bin/env python3
"""Draws the control panel's and the sample text editor's button images and program icon.

The images are simple pictures drawn from shapes, so they are made at build
time rather than kept as binaries: each button has a normal image and a hot
one (lighter, for the mouse over it), 20 by 20 pixels on the transparent
colour magenta; the icon holds a 32 and a 16 pixel picture.

    make_images.py OUTPUT-FOLDER
"""
import math
import os
import struct
import sys

SIZE = 20
MAGENTA = (255, 0, 255)


class Canvas:
    def __init__(self, size, background=MAGENTA):
        self.size = size
        self.pixels = [[background] * size for _ in range(size)]

    def put(self, x, y, colour):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.pixels[y][x] = colour

    def shape(self, inside, colour):
        """Fills every pixel whose centre `inside(x, y)` accepts."""
        for y in range(self.size):
            for x in range(self.size):
                if inside(x + 0.5, y + 0.5):
                    self.put(x, y, colour)

    def rect(self, x0, y0, x1, y1, colour):
        self.shape(lambda x, y: x0 <= x <= x1 and y0 <= y <= y1, colour)

    def disc(self, cx, cy, r, colour):
        self.shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, colour)

    def ring(self, cx, cy, r, width, colour):
        self.shape(lambda x, y: abs(math.hypot(x - cx, y - cy) - r) <= width / 2, colour)

    def line(self, x0, y0, x1, y1, width, colour):
        def near(x, y):
            dx, dy = x1 - x0, y1 - y0
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
            return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= width / 2
        self.shape(near, colour)

    def polygon(self, points, colour):
        def inside(x, y):
            result = False
            j = len(points) - 1
            for i, (xi, yi) in enumerate(points):
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    result = not result
                j = i
            return result
        self.shape(inside, colour)


DARK = (40, 40, 40)
YELLOW = (236, 196, 64)
BLUE = (40, 90, 200)
GREEN = (30, 150, 60)
RED = (200, 40, 40)
WHITE = (250, 250, 250)
GREY = (120, 120, 120)


def draw_path(c):
    c.polygon([(2, 5), (8, 5), (10, 7), (18, 7), (18, 16), (2, 16)], YELLOW)
    c.line(2, 16, 18, 16, 1, DARK)
    c.line(2, 5, 2, 16, 1, DARK)
    c.line(18, 7, 18, 16, 1, DARK)


def draw_view(c):
    c.ring(8, 8, 5, 2, DARK)
    c.disc(8, 8, 4, (200, 225, 250))
    c.line(12, 12, 18, 18, 3, DARK)


def draw_run(c):
    c.polygon([(5, 3), (17, 10), (5, 17)], GREEN)


def draw_editor(c):
    c.rect(4, 2, 15, 18, WHITE)
    c.line(4, 2, 4, 18, 1, DARK)
    c.line(15, 2, 15, 18, 1, DARK)
    c.line(4, 2, 15, 2, 1, DARK)
    c.line(4, 18, 15, 18, 1, DARK)
    for y in (6, 9, 12, 15):
        c.line(6, y, 13, y, 1, BLUE)


def draw_help(c):
    c.disc(10, 10, 8, BLUE)
    c.ring(10, 7.5, 3, 2, WHITE)
    c.rect(6, 7.5, 9.5, 11, BLUE)  # the open left side of the hook
    c.line(10, 10.5, 10, 12, 2, WHITE)
    c.disc(10, 15, 1.2, WHITE)


def draw_check(c):
    c.line(3, 10, 8, 15, 3, GREEN)
    c.line(8, 15, 17, 4, 3, GREEN)


def draw_apply(c):
    c.rect(3, 14, 17, 17, GREY)
    c.polygon([(10, 13), (4, 7), (8, 7), (8, 2), (12, 2), (12, 7), (16, 7)], BLUE)


def draw_ok(c):
    c.disc(10, 10, 8.5, GREEN)
    c.line(5.5, 10, 9, 13.5, 2.5, WHITE)
    c.line(9, 13.5, 15, 6.5, 2.5, WHITE)


def draw_cancel(c):
    c.line(4, 4, 16, 16, 3, RED)
    c.line(16, 4, 4, 16, 3, RED)


def draw_exit(c):
    c.rect(3, 2, 11, 18, (150, 100, 60))
    c.disc(9, 10, 1, YELLOW)
    c.polygon([(18, 10), (13, 5), (13, 8), (9, 8), (9, 12), (13, 12), (13, 15)], RED)


# The sample text editor's tool rows.
def page(c, x0, y0, x1, y1):
    c.rect(x0, y0, x1, y1, WHITE)
    c.line(x0, y0, x1, y0, 1, DARK)
    c.line(x0, y1, x1, y1, 1, DARK)
    c.line(x0, y0, x0, y1, 1, DARK)
    c.line(x1, y0, x1, y1, 1, DARK)


def draw_dce_open(c):
    c.polygon([(2, 6), (7, 6), (9, 8), (16, 8), (16, 16), (2, 16)], YELLOW)
    c.polygon([(5, 10), (19, 10), (16, 16), (2, 16)], (250, 220, 120))
    c.line(2, 16, 16, 16, 1, DARK)


def draw_dce_close(c):
    page(c, 4, 2, 14, 18)
    c.line(9, 9, 17, 17, 2.5, RED)
    c.line(17, 9, 9, 17, 2.5, RED)


def draw_dce_save(c):
    c.rect(3, 3, 17, 17, BLUE)
    c.rect(6, 3, 14, 8, WHITE)
    c.rect(6, 12, 14, 17, GREY)


def draw_dce_cut(c):
    c.line(6, 2, 13, 12, 1.5, GREY)
    c.line(14, 2, 7, 12, 1.5, GREY)
    c.ring(6, 15, 2.5, 1.5, DARK)
    c.ring(14, 15, 2.5, 1.5, DARK)


def draw_dce_copy(c):
    page(c, 2, 2, 11, 13)
    page(c, 8, 7, 17, 18)


def draw_dce_copy_all(c):
    page(c, 2, 2, 11, 13)
    page(c, 8, 7, 17, 18)
    for y in (10, 12, 14, 16):
        c.line(10, y, 15, y, 1, BLUE)


def draw_dce_paste(c):
    c.rect(3, 3, 14, 17, (150, 100, 60))
    c.rect(6, 2, 11, 4, GREY)
    page(c, 9, 8, 17, 18)


def draw_dce_show_source(c):
    c.rect(2, 2, 17, 9, BLUE)
    page(c, 2, 11, 17, 17)


def draw_dce_show_destination(c):
    page(c, 2, 2, 17, 8)
    c.rect(2, 10, 17, 17, GREEN)


IMAGES = {
    "dce_open": draw_dce_open, "dce_close": draw_dce_close, "dce_save": draw_dce_save,
    "dce_cut": draw_dce_cut, "dce_copy": draw_dce_copy, "dce_copy_all": draw_dce_copy_all,
    "dce_paste": draw_dce_paste, "dce_show_source": draw_dce_show_source,
    "dce_show_destination": draw_dce_show_destination,
    "path": draw_path, "view": draw_view, "run": draw_run, "editor": draw_editor,
    "help": draw_help, "check": draw_check, "apply": draw_apply, "ok": draw_ok,
    "cancel": draw_cancel, "exit": draw_exit,
}


def lighter(canvas):
    """The hot image: every colour a third of the way to white."""
    hot = Canvas(canvas.size)
    for y in range(canvas.size):
        for x in range(canvas.size):
            colour = canvas.pixels[y][x]
            if colour != MAGENTA:
                colour = tuple(v + (255 - v) // 3 for v in colour)
            hot.pixels[y][x] = colour
    return hot


def dib(canvas, transparent=None):
    """The 24-bit bottom-up bitmap of a canvas with its header. With
    `transparent` (an icon's picture) the height counts the AND mask too, the
    mask follows, and the transparent pixels are black under it."""
    row_bytes = (canvas.size * 3 + 3) & ~3
    rows = b""
    for y in reversed(range(canvas.size)):
        colours = [(0, 0, 0) if transparent and transparent(x, y) else canvas.pixels[y][x]
                   for x in range(canvas.size)]
        row = b"".join(bytes((b, g, r)) for (r, g, b) in colours)
        rows += row + b"\0" * (row_bytes - len(row))
    mask = b""
    if transparent:
        mask_row_bytes = ((canvas.size + 31) // 32) * 4
        for y in reversed(range(canvas.size)):
            bits = 0
            for x in range(canvas.size):
                if transparent(x, y):
                    bits |= 1 << (mask_row_bytes * 8 - 1 - x)
            mask += bits.to_bytes(mask_row_bytes, "big")
    height = canvas.size * 2 if transparent else canvas.size
    header = struct.pack("<IiiHHIIiiII", 40, canvas.size, height, 1, 24, 0, len(rows) + len(mask), 2835, 2835, 0, 0)
    return header + rows + mask


def write_bmp(path, canvas):
    body = dib(canvas)
    with open(path, "wb") as out:
        out.write(b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, 54) + body)


def draw_icon(size):
    """A white K on a blue disc."""
    c = Canvas(size)
    s = size / 32
    c.disc(16 * s, 16 * s, 15 * s, BLUE)
    c.line(11 * s, 8 * s, 11 * s, 24 * s, 4 * s, WHITE)
    c.line(12 * s, 16 * s, 21 * s, 8 * s, 4 * s, WHITE)
    c.line(13 * s, 15 * s, 21 * s, 24 * s, 4 * s, WHITE)
    return c


def write_icon(path):
    bodies = []
    for size in (32, 16):
        picture = draw_icon(size)
        bodies.append((size, dib(picture, lambda x, y, p=picture: p.pixels[y][x] == MAGENTA)))
    offset = 6 + 16 * len(bodies)
    directory = b""
    data = b""
    for size, body in bodies:
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 24, len(body), offset + len(data))
        data += body
    with open(path, "wb") as out:
        out.write(struct.pack("<HHH", 0, 1, len(bodies)) + directory + data)


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, draw in IMAGES.items():
        canvas = Canvas(SIZE)
        draw(canvas)
        write_bmp(os.path.join(folder, name + ".bmp"), canvas)
        write_bmp(os.path.join(folder, name + "_hot.bmp"), lighter(canvas))
    write_icon(os.path.join(folder, "kivocp.ico"))


if __name__ == "__main__":
    main()
