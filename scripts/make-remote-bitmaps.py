#!/usr/bin/env python3
"""Draws the two remote-control pictures of KV480's test dialog as 24-bit BMPs.

Run from anywhere; writes into art/. The output is the same on
every run (no timestamps, no randomness), so the committed files can be
regenerated and compared.

    remote_veko.bmp    58 x 255, six keys in two columns of three
    remote_zelmar.bmp  116 x 255, seventeen keys

and each again for 150 % and 200 % display scaling (remote_veko_150.bmp,
remote_veko_200.bmp, ...), drawn from the same shapes at 1.5 and 2 times the
size, not enlarged from the small ones.

The test dialog centres the picture in its client area and outlines a pressed
key with a red mark at fixed offsets from that centre. Every key here is drawn
from the same rectangle as its mark (KEYS_* below, relative to the centre), so
the mark lies exactly on the key's edge. The picture's top-left corner is at
(-width / 2, -height / 2) from the centre, integer division, as the dialog
places it. The marks' red, RGB(250, 0, 0), appears nowhere in the artwork.

At a larger scale the dialog multiplies every offset of a mark by the scale
and rounds half away from zero (scaled() below); the keys are drawn on those
rounded rectangles, everything else is the 1x drawing enlarged around the
picture's centre.
"""

import os
import struct

SUPERSAMPLE = 4  # subpixels per pixel along each axis
# Scales in halves, as the dialog counts them, and the file suffix of each.
SCALES = ((2, ''), (3, '_150'), (4, '_200'))

# The dialog's background: the corners outside the rounded body blend into it.
BACKGROUND = (209, 209, 209)
BODY_EDGE = (28, 31, 38)
BODY = (58, 64, 78)
BODY_LIGHT = (78, 86, 104)
WINDOW = (30, 10, 14)        # infrared window
KEY_EDGE = (120, 124, 134)
KEY = (226, 228, 232)
LABEL = (36, 38, 44)
WHITE = (255, 255, 255)
STOP_KEY = (196, 32, 36)
GREEN_KEY = (40, 160, 70)
LOGO = (196, 202, 214)

# Marks of the keys, relative to the centre: (key, shape, left, top, right,
# bottom), right and bottom exclusive. shape: 'ellipse' or ('round', corner).
KEYS_VEKO = [
    (1, ('round', 3), -20, -95, 0, -67),
    (2, ('round', 3), 1, -95, 21, -67),
    (3, ('round', 3), -20, -57, 0, -29),
    (4, ('round', 3), 1, -57, 21, -29),
    (5, ('round', 3), -20, -19, 0, 9),
    (6, ('round', 3), 1, -19, 21, 9),
]
KEYS_ZELMAR = [
    (7, 'ellipse', -38, -92, -17, -71),
    (8, 'ellipse', -10, -92, 11, -71),
    (9, 'ellipse', 18, -92, 39, -71),
    (10, 'ellipse', -38, -68, -17, -47),
    (11, 'ellipse', -10, -68, 11, -47),
    (12, 'ellipse', 18, -68, 39, -47),
    (13, ('round', 22), -30, -46, -1, -24),
    (14, ('round', 22), 3, -46, 33, -24),
    (15, 'ellipse', -8, -25, 11, -6),
    (16, 'ellipse', -8, 11, 11, 30),
    (17, 'ellipse', -26, -7, -7, 12),
    (18, 'ellipse', 10, -7, 29, 12),
    (19, ('round', 18), -41, -113, -11, -95),
    (20, ('round', 18), -8, -113, 38, -95),
    (21, 'ellipse', -28, 26, -9, 45),
    (22, 'ellipse', 12, 26, 31, 45),
    (23, 'ellipse', -8, 41, 11, 60),
]

# A 3 x 5 pixel font for the labels: rows from the top, '#' set.
GLYPHS = {
    '1': ['.#.', '##.', '.#.', '.#.', '###'],
    '2': ['##.', '..#', '.#.', '#..', '###'],
    '3': ['##.', '..#', '.#.', '..#', '##.'],
    '4': ['#.#', '#.#', '###', '..#', '..#'],
    '5': ['###', '#..', '##.', '..#', '##.'],
    '6': ['.##', '#..', '###', '#.#', '###'],
    'F': ['###', '#..', '##.', '#..', '#..'],
    'E': ['###', '#..', '##.', '#..', '###'],
    'S': ['.##', '#..', '.#.', '..#', '##.'],
    'C': ['.##', '#..', '#..', '#..', '.##'],
    'T': ['###', '.#.', '.#.', '.#.', '.#.'],
    'O': ['.#.', '#.#', '#.#', '#.#', '.#.'],
    'P': ['##.', '#.#', '##.', '#..', '#..'],
    'V': ['#.#', '#.#', '#.#', '#.#', '.#.'],
    'K': ['#.#', '#.#', '##.', '#.#', '#.#'],
    'Z': ['###', '..#', '.#.', '#..', '###'],
    'L': ['#..', '#..', '#..', '#..', '###'],
    'M': ['#.#', '###', '###', '#.#', '#.#'],
    'A': ['.#.', '#.#', '###', '#.#', '#.#'],
    'R': ['##.', '#.#', '##.', '#.#', '#.#'],
    'I': ['###', '.#.', '.#.', '.#.', '###'],
    '?': ['##.', '..#', '.#.', '...', '.#.'],
    'i': ['.#.', '...', '.#.', '.#.', '.#.'],
}


def scaled(value, halves):
    """value * halves / 2, rounded half away from zero, as the dialog does."""
    twice = value * halves
    return (twice + 1) // 2 if twice >= 0 else -((-twice + 1) // 2)


class Canvas:
    """A picture designed at width x height and drawn at halves / 2 times that
    size. Shapes are given in design pixels; the centre of the design, as the
    dialog finds it by integer division, lands on the centre of the drawing."""

    def __init__(self, width, height, halves=2):
        self.halves = halves
        self.scale = halves / 2.0
        self.design_size = (width, height)
        self.design_centre = (width // 2, height // 2)
        self.width = width * halves // 2
        self.height = height * halves // 2
        self.centre = (self.width // 2, self.height // 2)
        self.pixels = [[BACKGROUND] * self.width for _ in range(self.height)]

    def to_design(self, px, py):
        return ((px - self.centre[0]) / self.scale + self.design_centre[0],
                (py - self.centre[1]) / self.scale + self.design_centre[1])

    def to_pixels(self, x, y):
        return ((x - self.design_centre[0]) * self.scale + self.centre[0],
                (y - self.design_centre[1]) * self.scale + self.centre[1])

    def fill(self, inside, box, colour):
        """Blends colour over every pixel by the share of its subpixels that
        the predicate inside(x, y) covers; box bounds the shape."""
        x0, y0 = self.to_pixels(box[0], box[1])
        x1, y1 = self.to_pixels(box[2], box[3])
        for py in range(max(0, int(y0) - 1), min(self.height, int(y1) + 2)):
            for px in range(max(0, int(x0) - 1), min(self.width, int(x1) + 2)):
                covered = 0
                for sy in range(SUPERSAMPLE):
                    for sx in range(SUPERSAMPLE):
                        if inside(*self.to_design(px + (sx + 0.5) / SUPERSAMPLE,
                                                  py + (sy + 0.5) / SUPERSAMPLE)):
                            covered += 1
                if covered:
                    share = covered / float(SUPERSAMPLE * SUPERSAMPLE)
                    old = self.pixels[py][px]
                    self.pixels[py][px] = tuple(
                        int(round(o + (c - o) * share)) for o, c in zip(old, colour))

    def text(self, cx, cy, label, colour, scale=1):
        """Pixel-font text centred on (cx, cy)."""
        width = (4 * len(label) - 1) * scale
        left = int(round(cx - width / 2.0))
        top = int(round(cy - 5 * scale / 2.0))
        for i, ch in enumerate(label):
            for row, bits in enumerate(GLYPHS[ch]):
                for col, bit in enumerate(bits):
                    if bit == '#':
                        x = left + (4 * i + col) * scale
                        y = top + row * scale
                        dot = (x, y, x + scale, y + scale)
                        self.fill(lambda px, py, d=dot: d[0] <= px < d[2] and d[1] <= py < d[3],
                                  dot, colour)

    def write_bmp(self, path):
        stride = (self.width * 3 + 3) // 4 * 4
        rows = bytearray()
        for row in reversed(self.pixels):
            line = bytearray()
            for r, g, b in row:
                line += bytes((b, g, r))
            line += bytes(stride - len(line))
            rows += line
        header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(rows), 0, 0, 14 + 40)
        info = struct.pack('<IiiHHIIiiII', 40, self.width, self.height, 1, 24, 0, len(rows),
                           2835, 2835, 0, 0)
        with open(path, 'wb') as f:
            f.write(header + info + bytes(rows))


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def ellipse(x0, y0, x1, y1):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    rx, ry = (x1 - x0) / 2.0, (y1 - y0) / 2.0

    def inside(x, y):
        return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0
    return inside


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            (xi, yi), (xj, yj) = points[i], points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def bounds(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return (min(xs), min(ys), max(xs), max(ys))


def segment(ax, ay, bx, by, width):
    """A straight stroke as a polygon."""
    dx, dy = bx - ax, by - ay
    length = (dx * dx + dy * dy) ** 0.5
    nx, ny = -dy / length * width / 2.0, dx / length * width / 2.0
    pts = [(ax + nx, ay + ny), (bx + nx, by + ny), (bx - nx, by - ny), (ax - nx, ay - ny)]
    return polygon(pts), bounds(pts)


def draw_body(canvas, plate_bottom):
    # The body fills the whole drawing: at a scale where the design's centre
    # falls half a pixel off the drawing's, it must not lose an edge row.
    x0, y0 = canvas.to_design(0, 0)
    x1, y1 = canvas.to_design(canvas.width, canvas.height)
    box = (x0, y0, x1, y1)
    canvas.fill(rounded_rect(x0, y0, x1, y1, 14), box, BODY_EDGE)
    canvas.fill(rounded_rect(x0 + 1.5, y0 + 1.5, x1 - 1.5, y1 - 1.5, 12.5), box, BODY)
    # A lighter face plate under the keys.
    canvas.fill(rounded_rect(x0 + 4, y0 + 4, x1 - 4, plate_bottom, 10), box, BODY_LIGHT)


def key_box(canvas, mark):
    """The key's outline in design coordinates: through the centres of the
    border pixels of the mark rectangle at the canvas's scale, where the
    mark's pen runs."""
    left, top, right, bottom = (scaled(v, canvas.halves) for v in mark[2:])
    cx, cy = canvas.centre
    x0, y0 = canvas.to_design(left + cx + 0.5, top + cy + 0.5)
    x1, y1 = canvas.to_design(right + cx - 0.5, bottom + cy - 0.5)
    return (x0, y0, x1, y1)


def draw_key(canvas, mark, face):
    x0, y0, x1, y1 = key_box(canvas, mark)
    shape = mark[1]
    box = (x0 - 1, y0 - 1, x1 + 1, y1 + 1)
    if shape == 'ellipse':
        canvas.fill(ellipse(x0 - 0.5, y0 - 0.5, x1 + 0.5, y1 + 0.5), box, KEY_EDGE)
        canvas.fill(ellipse(x0 + 0.7, y0 + 0.7, x1 - 0.7, y1 - 0.7), box, face)
    else:
        r = min(shape[1] / 2.0, (x1 - x0) / 2.0, (y1 - y0) / 2.0)
        canvas.fill(rounded_rect(x0 - 0.5, y0 - 0.5, x1 + 0.5, y1 + 0.5, r), box, KEY_EDGE)
        canvas.fill(rounded_rect(x0 + 0.7, y0 + 0.7, x1 - 0.7, y1 - 0.7, max(r - 1.2, 0.5)),
                    box, face)
    return ((x0 + x1) / 2.0, (y0 + y1) / 2.0)


def arrow(canvas, cx, cy, direction, colour, size=3.5):
    """A filled triangle pointing up, down, left or right."""
    s = size
    tips = {
        'up': [(cx, cy - s), (cx + s, cy + s * 0.6), (cx - s, cy + s * 0.6)],
        'down': [(cx, cy + s), (cx - s, cy - s * 0.6), (cx + s, cy - s * 0.6)],
        'left': [(cx - s, cy), (cx + s * 0.6, cy - s), (cx + s * 0.6, cy + s)],
        'right': [(cx + s, cy), (cx - s * 0.6, cy + s), (cx - s * 0.6, cy - s)],
    }[direction]
    canvas.fill(polygon(tips), bounds(tips), colour)


def veko(halves):
    canvas = Canvas(58, 255, halves)
    draw_body(canvas, 158)
    # Infrared window and a status lamp at the top.
    canvas.fill(rounded_rect(17, 7, 41, 14, 3), (17, 7, 41, 14), WINDOW)
    canvas.fill(ellipse(27, 19, 31, 23), (27, 19, 31, 23), (240, 150, 40))
    for mark in KEYS_VEKO:
        cx, cy = draw_key(canvas, mark, KEY)
        canvas.text(cx, cy, str(mark[0]), LABEL, scale=2)
    # Grip ribs and the maker's name below the keys.
    for y in (176, 181, 186):
        canvas.fill(rounded_rect(19, y, 39, y + 1.6, 0.8), (19, y, 39, y + 2), BODY_LIGHT)
    canvas.text(29, 222, 'VEKO', LOGO, scale=1)
    return canvas


def zelmar(halves):
    canvas = Canvas(116, 255, halves)
    draw_body(canvas, 198)
    canvas.fill(rounded_rect(46, 4, 70, 9, 2.5), (46, 4, 70, 9), WINDOW)
    faces = {14: GREEN_KEY, 20: STOP_KEY, 23: GREEN_KEY}
    centres = {}
    for mark in KEYS_ZELMAR:
        centres[mark[0]] = draw_key(canvas, mark, faces.get(mark[0], KEY))
    for key, label in zip(range(7, 13), ('F1', 'F2', 'F3', 'F4', 'F5', 'F6')):
        canvas.text(centres[key][0], centres[key][1], label, LABEL)
    # ESC: an arrow out of the corner, up and to the left.
    cx, cy = centres[13]
    stroke, box = segment(cx + 4, cy + 4, cx - 2, cy - 2, 1.6)
    canvas.fill(stroke, box, LABEL)
    head = [(cx - 5, cy - 5), (cx + 0.5, cy - 5), (cx - 5, cy + 0.5)]
    canvas.fill(polygon(head), bounds(head), LABEL)
    # Enter: the return arrow, down and back to the left.
    cx, cy = centres[14]
    stroke, box = segment(cx + 5, cy - 5, cx + 5, cy + 2, 1.6)
    canvas.fill(stroke, box, WHITE)
    stroke, box = segment(cx + 5.8, cy + 2, cx - 2, cy + 2, 1.6)
    canvas.fill(stroke, box, WHITE)
    arrow(canvas, cx - 3.5, cy + 2, 'left', WHITE, size=3)
    for key, direction in ((15, 'up'), (16, 'down'), (17, 'left'), (18, 'right')):
        arrow(canvas, centres[key][0], centres[key][1], direction, LABEL)
    # Vehicle: a small car, body and two wheels.
    cx, cy = centres[19]
    canvas.fill(rounded_rect(cx - 7, cy - 2, cx + 7, cy + 2.5, 1), (cx - 7, cy - 2, cx + 7, cy + 3),
                LABEL)
    canvas.fill(rounded_rect(cx - 4, cy - 5, cx + 3, cy - 1, 1.2), (cx - 4, cy - 5, cx + 3, cy),
                LABEL)
    for wx in (cx - 4, cx + 4):
        canvas.fill(ellipse(wx - 1.8, cy + 1.2, wx + 1.8, cy + 4.8),
                    (wx - 2, cy + 1, wx + 2, cy + 5), LABEL)
    canvas.text(centres[20][0], centres[20][1], 'STOP', WHITE)
    canvas.text(centres[21][0], centres[21][1], '?', LABEL)
    canvas.text(centres[22][0], centres[22][1], 'i', LABEL)
    for y in (208, 213, 218):
        canvas.fill(rounded_rect(42, y, 74, y + 1.6, 0.8), (42, y, 74, y + 2), BODY_LIGHT)
    canvas.text(58, 236, 'ZELMAR', LOGO)
    return canvas


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    res = os.path.join(root, 'art')
    os.makedirs(res, exist_ok=True)
    for halves, suffix in SCALES:
        veko(halves).write_bmp(os.path.join(res, 'remote_veko%s.bmp' % suffix))
        zelmar(halves).write_bmp(os.path.join(res, 'remote_zelmar%s.bmp' % suffix))


if __name__ == '__main__':
    main()
