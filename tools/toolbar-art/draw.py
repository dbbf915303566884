#!/usr/bin/env python3
"""Draws the browser window's toolbar pictures and window icon.

Writes toolbar.bmp (six 24 x 24 pictures side by side, 24-bit, on the light
grey mask colour 192,192,192) and browser.ico (16 and 32 pixel globes with
alpha) into the folder given as the only argument. Pure Python, no imaging
library: shapes are sampled 8 x 8 times per pixel. Against the mask colour
a pixel is either wholly painted or wholly background (a masked image list
has no partial transparency); inside a picture edges between colours are
smoothed.

    tools/toolbar-art/draw.py launcher/browser/res
"""
import math
import os
import struct
import sys

MASK = (192, 192, 192)


class Canvas:
    """A square picture of size x size pixels, sampled ss x ss times each."""

    def __init__(self, size, ss=8):
        self.size = size
        self.ss = ss
        self.n = size * ss
        self.samples = [None] * (self.n * self.n)

    def _paint(self, box, inside, color, clip=None):
        x0, y0, x1, y1 = box
        ss, n = self.ss, self.n
        sx0 = max(0, int(math.floor(x0 * ss)))
        sy0 = max(0, int(math.floor(y0 * ss)))
        sx1 = min(n, int(math.ceil(x1 * ss)) + 1)
        sy1 = min(n, int(math.ceil(y1 * ss)) + 1)
        shade = color if callable(color) else (lambda x, y: color)
        for sy in range(sy0, sy1):
            y = (sy + 0.5) / ss
            row = sy * n
            for sx in range(sx0, sx1):
                x = (sx + 0.5) / ss
                if inside(x, y) and (clip is None or clip(x, y)):
                    self.samples[row + sx] = shade(x, y)

    def polygon(self, pts, color, clip=None):
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]

        def inside(x, y):
            hit = False
            j = len(pts) - 1
            for i in range(len(pts)):
                xi, yi = pts[i]
                xj, yj = pts[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    hit = not hit
                j = i
            return hit

        self._paint((min(xs), min(ys), max(xs), max(ys)), inside, color, clip)

    def circle(self, cx, cy, r, color):
        self._paint((cx - r, cy - r, cx + r, cy + r),
                    lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color)

    def arc(self, cx, cy, r0, r1, a0, a1, color):
        """Part of a ring; angles in degrees, clockwise from 3 o'clock, a0 < a1."""

        def inside(x, y):
            d = math.hypot(x - cx, y - cy)
            if d < r0 or d > r1:
                return False
            a = math.degrees(math.atan2(y - cy, x - cx)) % 360
            return any(a0 <= a + k <= a1 for k in (0, 360, -360))

        self._paint((cx - r1, cy - r1, cx + r1, cy + r1), inside, color)

    def line(self, p, q, width, color):
        (ax, ay), (bx, by) = p, q
        r = width / 2.0
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy or 1e-9

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
            return (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= r * r

        self._paint((min(ax, bx) - r, min(ay, by) - r, max(ax, bx) + r, max(ay, by) + r),
                    inside, color)

    def outline(self, pts, width, color, closed=True):
        seq = list(pts) + ([pts[0]] if closed else [])
        for a, b in zip(seq, seq[1:]):
            self.line(a, b, width, color)

    def rect(self, x0, y0, x1, y1, color):
        self.polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], color)

    def _pixels(self):
        ss, n = self.ss, self.n
        for py in range(self.size):
            for px in range(self.size):
                painted = []
                for sy in range(py * ss, (py + 1) * ss):
                    row = sy * n
                    painted.extend(s for s in self.samples[row + px * ss: row + (px + 1) * ss]
                                   if s is not None)
                yield px, py, painted

    def masked(self):
        """Rows of RGB tuples: at least half covered means painted, else MASK."""
        out = [[MASK] * self.size for _ in range(self.size)]
        half = self.ss * self.ss / 2.0
        for px, py, painted in self._pixels():
            if len(painted) >= half:
                c = _average(painted)
                out[py][px] = (191, 191, 191) if c == MASK else c
        return out

    def alpha(self):
        """Rows of RGBA tuples, alpha from the coverage."""
        out = [[(0, 0, 0, 0)] * self.size for _ in range(self.size)]
        total = self.ss * self.ss
        for px, py, painted in self._pixels():
            if painted:
                r, g, b = _average(painted)
                out[py][px] = (r, g, b, int(round(255.0 * len(painted) / total)))
        return out


def _average(colors):
    k = len(colors)
    return tuple(int(round(sum(c[i] for c in colors) / k)) for i in range(3))


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def vertical(top, bottom, y0, y1):
    return lambda x, y: mix(top, bottom, (y - y0) / float(y1 - y0))


def spherical(light, dark, cx, cy, r):
    """Lit from the upper left."""
    lx, ly = cx - r * 0.45, cy - r * 0.5
    return lambda x, y: mix(light, dark, math.hypot(x - lx, y - ly) / (1.45 * r))


# --- the six toolbar pictures, 24 x 24 -------------------------------------

def arrow(c, pointing_left):
    body = [(3, 12), (11, 4), (11, 8.5), (21, 8.5), (21, 15.5), (11, 15.5), (11, 20)]
    if not pointing_left:
        body = [(24 - x, y) for x, y in body]
    c.polygon(body, vertical((110, 200, 120), (20, 110, 40), 4, 20))
    c.outline(body, 1.3, (18, 78, 30))
    # A highlight along the upper edge of the shaft.
    hx0, hx1 = (12, 20) if pointing_left else (4, 12)
    c.line((hx0, 10), (hx1, 10), 1.0, (170, 230, 170))


def stop_sign(c):
    c.circle(12, 12, 10.4, (110, 10, 10))
    c.circle(12, 12, 9.2, spherical((250, 90, 80), (170, 10, 10), 12, 12, 9.2))
    c.line((8, 8), (16, 16), 2.8, (255, 255, 255))
    c.line((16, 8), (8, 16), 2.8, (255, 255, 255))


def refresh(c):
    page = [(4, 2), (15, 2), (20, 7), (20, 22), (4, 22)]
    c.polygon(page, (255, 255, 255))
    c.outline(page, 1.0, (90, 90, 100))
    c.polygon([(15, 2), (15, 7), (20, 7)], (215, 215, 225))
    c.outline([(15, 2), (15, 7), (20, 7)], 0.9, (90, 90, 100), closed=False)
    for y in (6, 9):
        c.line((6.5, y), (12.5, y), 0.8, (170, 170, 185))
    # Two green arrows chasing each other round the middle of the page.
    green = (30, 150, 50)
    dark = (15, 90, 25)
    cx, cy = 12.5, 15
    c.arc(cx, cy, 3.2, 5.4, 200, 330, dark)
    c.arc(cx, cy, 3.7, 4.9, 205, 325, green)
    c.arc(cx, cy, 3.2, 5.4, 20, 150, dark)
    c.arc(cx, cy, 3.7, 4.9, 25, 145, green)

    def head(angle):
        a = math.radians(angle)
        bx, by = cx + 4.3 * math.cos(a), cy + 4.3 * math.sin(a)
        nx, ny = math.cos(a), math.sin(a)          # outward normal
        tx, ty = -math.sin(a), math.cos(a)         # direction of travel
        tip = (bx + tx * 3.2, by + ty * 3.2)
        c.polygon([(bx + nx * 2.9, by + ny * 2.9), tip, (bx - nx * 2.9, by - ny * 2.9)], dark)
        c.polygon([(bx + nx * 2.0, by + ny * 2.0), (bx + tx * 2.3, by + ty * 2.3),
                   (bx - nx * 2.0, by - ny * 2.0)], green)

    head(330)
    head(150)


def house(c):
    wall = [(5, 11), (19, 11), (19, 21), (5, 21)]
    c.rect(15.5, 3.5, 18, 9, (150, 60, 40))                      # chimney
    c.outline([(15.5, 9), (15.5, 3.5), (18, 3.5), (18, 9)], 0.9, (80, 30, 20), closed=False)
    c.polygon(wall, vertical((250, 235, 200), (215, 190, 140), 11, 21))
    c.outline(wall, 1.0, (110, 80, 50))
    c.rect(10, 14.5, 14, 21, (140, 80, 35))                      # door
    c.outline([(10, 21), (10, 14.5), (14, 14.5), (14, 21)], 0.8, (80, 45, 20), closed=False)
    c.rect(15.5, 13, 18, 15.5, (120, 180, 240))                  # window
    c.outline([(15.5, 13), (18, 13), (18, 15.5), (15.5, 15.5)], 0.7, (60, 80, 120))
    # The roof, clipped where it would cover the wall.
    c.polygon([(1.5, 12.5), (12, 2.5), (22.5, 12.5)],
              vertical((230, 70, 50), (160, 30, 20), 2.5, 12.5),
              clip=lambda x, y: not (5 < x < 19 and y > 11))
    c.outline([(1.5, 12.5), (12, 2.5), (22.5, 12.5)], 1.0, (100, 20, 10), closed=False)


def globe(c, cx, cy, r, line_width=1.0):
    inside = lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= (r - 0.3) ** 2
    c.circle(cx, cy, r + 0.6 * line_width, (20, 50, 120))
    c.circle(cx, cy, r, spherical((140, 200, 255), (20, 80, 190), cx, cy, r))
    land = spherical((120, 210, 90), (30, 120, 40), cx, cy, r)
    s = r / 8.0
    # Two continents, clipped to the sphere: one in the west, reaching to the
    # north pole, and one in the south-east.
    west = [(-7.5, -3.5), (-5.5, -6.5), (-2.0, -7.8), (0.5, -6.0), (-0.5, -3.8), (-2.5, -3.0),
            (-1.5, -0.5), (-3.0, 1.5), (-2.5, 4.0), (-4.0, 5.0), (-5.0, 2.0), (-7.0, 0.5)]
    east = [(1.5, -0.5), (4.0, -2.5), (6.5, -1.5), (8.0, 1.5), (6.5, 4.5), (4.5, 7.5),
            (2.5, 6.0), (3.0, 3.0), (1.0, 1.5)]
    for shape in (west, east):
        c.polygon([(cx + x * s, cy + y * s) for x, y in shape], land, clip=inside)


def search(c):
    globe(c, 9.5, 9.5, 7.8)
    # The magnifying glass in front, lower right.
    gx, gy = 14.5, 14.5
    c.line((gx + 3.5, gy + 3.5), (21.5, 21.5), 3.6, (60, 35, 15))
    c.line((gx + 3.8, gy + 3.8), (21.2, 21.2), 2.0, (150, 95, 45))
    c.circle(gx, gy, 5.6, (45, 45, 55))
    c.circle(gx, gy, 4.4, lambda x, y: mix((235, 250, 255), (150, 200, 225),
                                            math.hypot(x - gx + 2, y - gy + 2) / 7.0))
    c.arc(gx, gy, 2.6, 3.4, 195, 255, (255, 255, 255))


PICTURES = [lambda c: arrow(c, True), lambda c: arrow(c, False), stop_sign, refresh, house,
            search]


# --- file writers ------------------------------------------------------------

def write_bmp24(path, rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        data += line + b"\0" * (stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(data), 0, 0, 14 + len(header)))
        f.write(header + data)


def icon_image(rows):
    size = len(rows)
    xor = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    return header + xor + mask


def write_ico(path, images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for rows in images:
        blob = icon_image(rows)
        size = len(rows)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: draw.py OUTPUT_FOLDER")
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    strip = [[] for _ in range(24)]
    for draw in PICTURES:
        c = Canvas(24)
        draw(c)
        for y, row in enumerate(c.masked()):
            strip[y].extend(row)
    write_bmp24(os.path.join(folder, "toolbar.bmp"), strip)

    icons = []
    for size in (32, 16):
        c = Canvas(size)
        globe(c, size / 2.0, size / 2.0, size / 2.0 - 1.2, line_width=size / 24.0)
        icons.append(c.alpha())
    write_ico(os.path.join(folder, "browser.ico"), icons)


if __name__ == "__main__":
    main()
