#!/usr/bin/env python3
"""Draws the artwork of KV480cfg, the configuration utility.

Run from anywhere; writes into art/. The output is the same on every
run (no timestamps, no randomness), so the committed files can be regenerated
and compared.

    KV480cfg.ico  program icon, 16, 32 and 48 px: a remote control with a
                  gear badge, the mark of a settings program
    type0.bmp     12 x 54, 24-bit: the slim VEKO remote with three pairs of keys
    type1.bmp     24 x 52, 24-bit: the ZELMAR_OVI remote with its key pad

and both pictures again for 150 % and 200 % display scaling (type0_150.bmp,
type0_200.bmp, ...), drawn from the same shapes at 1.5 and 2 times the size.

The dialog shows the pictures in a centred static control, so their corners
are painted in the dialog's face colour.
"""

import math
import os
import struct

SUPERSAMPLE = 4  # subpixels per pixel along each axis

FACE = (240, 240, 240)  # dialog background behind the pictures
BODY_EDGE = (24, 28, 36)
BODY = (56, 64, 82)
BODY_LIGHT = (84, 94, 116)
IR_WINDOW = (120, 20, 24)
KEY = (214, 220, 232)
KEY_DARK = (150, 158, 172)
STOP_KEY = (204, 40, 40)
GREEN_KEY = (44, 164, 76)
GEAR = (232, 150, 28)
GEAR_EDGE = (120, 70, 10)
WHITE = (255, 255, 255)


# Shapes: functions of a point (x, y) in picture pixels that tell whether the
# point lies inside.

def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def gear(cx, cy, r_root, r_tip, teeth):
    """A gear wheel: a disc of radius r_root with teeth out to r_tip."""
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if d <= r_root:
            return True
        if d > r_tip:
            return False
        angle = math.atan2(y - cy, x - cx) * teeth / (2 * math.pi)
        return (angle - math.floor(angle)) < 0.5
    return inside


def render(shapes, width, height, background):
    """Rows of (r, g, b, coverage) from the top; the last shape that holds a
    subpixel colours it, uncovered subpixels take the background."""
    rows = []
    for py in range(height):
        row = []
        for px in range(width):
            acc = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = px + (sx + 0.5) / SUPERSAMPLE
                    y = py + (sy + 0.5) / SUPERSAMPLE
                    colour = None
                    for inside, fill in shapes:
                        if inside(x, y):
                            colour = fill
                    if colour is not None:
                        covered += 1
                    else:
                        colour = background
                    for i in range(3):
                        acc[i] += colour[i]
            n = SUPERSAMPLE * SUPERSAMPLE
            row.append(tuple(int(round(c / n)) for c in acc) + (covered * 255 // n,))
        rows.append(row)
    return rows


def scaled(shapes, factor):
    def shrink(inside):
        return lambda x, y: inside(x / factor, y / factor)
    return [(shrink(inside), fill) for inside, fill in shapes]


# The pictures.

def veko_shapes():
    """12 x 54: slim body, infrared window, three pairs of keys."""
    shapes = [
        (rounded_rect(0.5, 0.5, 11.5, 53.5, 3.5), BODY_EDGE),
        (rounded_rect(1.3, 1.3, 10.7, 52.7, 2.8), BODY),
        (rounded_rect(3.0, 2.5, 9.0, 5.0, 1.0), IR_WINDOW),
    ]
    for row in range(3):
        y = 10.0 + row * 8.0
        for col in range(2):
            x = 2.4 + col * 4.2
            shapes.append((rounded_rect(x, y, x + 3.0, y + 5.5, 0.9), KEY))
    shapes.append((rounded_rect(3.5, 44.0, 8.5, 45.2, 0.5), BODY_LIGHT))  # grip lines
    shapes.append((rounded_rect(3.5, 47.0, 8.5, 48.2, 0.5), BODY_LIGHT))
    return shapes


def zelmar_shapes():
    """24 x 52: wider body, two round keys, a navigation cross and a key pad."""
    shapes = [
        (rounded_rect(0.5, 0.5, 23.5, 51.5, 5.0), BODY_EDGE),
        (rounded_rect(1.4, 1.4, 22.6, 50.6, 4.2), BODY),
        (rounded_rect(8.0, 2.6, 16.0, 4.8, 1.0), IR_WINDOW),
        (circle(7.0, 9.5, 2.4), STOP_KEY),
        (circle(17.0, 9.5, 2.4), GREEN_KEY),
        # Navigation cross around an enter key.
        (circle(12.0, 20.0, 6.6), KEY_DARK),
        (rounded_rect(10.4, 14.2, 13.6, 17.4, 0.8), KEY),
        (rounded_rect(10.4, 22.6, 13.6, 25.8, 0.8), KEY),
        (rounded_rect(6.2, 18.4, 9.4, 21.6, 0.8), KEY),
        (rounded_rect(14.6, 18.4, 17.8, 21.6, 0.8), KEY),
        (circle(12.0, 20.0, 1.6), WHITE),
    ]
    # Key pad: three columns of four rows.
    for row in range(4):
        y = 29.5 + row * 4.8
        for col in range(3):
            x = 4.0 + col * 5.9
            shapes.append((rounded_rect(x, y, x + 4.2, y + 3.2, 0.9), KEY))
    return shapes


def icon_shapes():
    """On a 16 x 16 grid: a remote control with a gear badge."""
    shapes = [
        (rounded_rect(1.5, 0.5, 9.5, 15.5, 2.2), BODY_EDGE),
        (rounded_rect(2.3, 1.3, 8.7, 14.7, 1.6), BODY),
        (circle(5.5, 3.0, 1.1), STOP_KEY),
    ]
    for row in range(3):
        for col in range(2):
            x = 3.3 + col * 2.6
            y = 5.4 + row * 2.4
            shapes.append((rounded_rect(x, y, x + 1.8, y + 1.4, 0.4), KEY))
    shapes += [
        (circle(11.6, 11.6, 4.6), WHITE),
        (gear(11.6, 11.6, 3.1, 4.1, 8), GEAR_EDGE),
        (gear(11.6, 11.6, 2.6, 3.5, 8), GEAR),
        (circle(11.6, 11.6, 1.2), WHITE),
    ]
    return shapes


# File formats.

def bmp24(rows):
    """A bottom-up 24-bit BMP file of the rows (coverage ignored)."""
    height = len(rows)
    width = len(rows[0])
    stride = (width * 3 + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b, _ in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixels += line
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    return header + info + bytes(pixels)


def icon_image(rows):
    """One image of an .ico: BITMAPINFOHEADER, 32-bit BGRA rows bottom-up, AND mask."""
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(struct.pack('<BBBB', b, g, r, a)
                      for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def icon_file(images):
    """images: list of (size, image bytes)."""
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def icon_rows(size):
    """Icon pixels: colour unmixed with any background, coverage as alpha."""
    rows = render(scaled(icon_shapes(), size / 16.0), size, size, (0, 0, 0))
    result = []
    for row in rows:
        line = []
        for r, g, b, a in row:
            if a == 0:
                line.append((0, 0, 0, 0))
            else:
                # render() mixed black into partly covered pixels: take it out.
                k = 255.0 / a
                line.append((min(255, int(round(r * k))), min(255, int(round(g * k))),
                             min(255, int(round(b * k))), a))
        result.append(line)
    return result


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    res = os.path.join(root, 'art')
    os.makedirs(res, exist_ok=True)
    for factor, suffix in ((1, ''), (1.5, '_150'), (2, '_200')):
        for name, shapes, width, height in (('type0', veko_shapes, 12, 54),
                                            ('type1', zelmar_shapes, 24, 52)):
            with open(os.path.join(res, name + suffix + '.bmp'), 'wb') as f:
                f.write(bmp24(render(scaled(shapes(), factor), int(width * factor),
                                     int(height * factor), FACE)))
    with open(os.path.join(res, 'KV480cfg.ico'), 'wb') as f:
        f.write(icon_file([(s, icon_image(icon_rows(s))) for s in (16, 32, 48)]))


if __name__ == '__main__':
    main()
