#!/usr/bin/env python3
"""Draws the tray and program icons of KV480 and writes them as .ico files.

Run from anywhere; writes into art/. The output is the same on
every run (no timestamps, no randomness), so the committed files can be
regenerated and compared.

    ready.ico      program icon and tray image of a ready receiver
    not_ready.ico  tray image of a receiver that is not ready

Both hold 16, 20, 24 and 32 px images: the tray takes 16 px at 100 %, 20 at
125 %, 24 at 150 % and 32 at 200 % display scaling.

Both show a hand-held remote control with a round badge: a green tick when the
receiver is ready, a red cross on a greyed remote when it is not, so the two
states differ in colour and in shape even at 16 x 16.
"""

import math
import os
import struct

SUPERSAMPLE = 4  # subpixels per pixel along each axis
SIZES = (16, 20, 24, 32)

# Colours (R, G, B).
BODY_READY = (47, 62, 92)
BODY_NOT_READY = (120, 124, 132)
BODY_EDGE = (20, 26, 38)
KEY_READY = (200, 214, 235)
KEY_NOT_READY = (196, 199, 204)
LED_READY = (255, 80, 60)
LED_NOT_READY = (90, 94, 100)
BADGE_READY = (30, 160, 60)
BADGE_NOT_READY = (215, 35, 35)
WHITE = (255, 255, 255)


# Shapes in a 16 x 16 design grid; a larger icon scales them up.

def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r and x0 <= x <= x1 and y0 <= y <= y1
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def stroke(points, width):
    """A polyline of the given width with round joins and ends."""
    half = width / 2.0
    segments = list(zip(points, points[1:]))

    def inside(x, y):
        for (ax, ay), (bx, by) in segments:
            dx, dy = bx - ax, by - ay
            t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)
            t = min(max(t, 0.0), 1.0)
            if math.hypot(x - (ax + t * dx), y - (ay + t * dy)) <= half:
                return True
        return False
    return inside


def layers(ready):
    body = BODY_READY if ready else BODY_NOT_READY
    key = KEY_READY if ready else KEY_NOT_READY
    led = LED_READY if ready else LED_NOT_READY
    badge = BADGE_READY if ready else BADGE_NOT_READY
    result = [
        (rounded_rect(1.5, 0.5, 9.5, 15.5, 2.2), BODY_EDGE),
        (rounded_rect(2.3, 1.3, 8.7, 14.7, 1.6), body),
        (circle(5.5, 3.0, 1.1), led),
    ]
    # Two columns of keys below the LED.
    for row in range(3):
        for col in range(2):
            x = 3.3 + col * 2.6
            y = 5.4 + row * 2.4
            result.append((rounded_rect(x, y, x + 1.8, y + 1.4, 0.4), key))
    # The badge, with a white ring that parts it from the body.
    result.append((circle(11.5, 11.5, 4.4), WHITE))
    result.append((circle(11.5, 11.5, 3.6), badge))
    if ready:
        result.append((stroke([(9.6, 11.6), (11.0, 13.0), (13.5, 10.0)], 1.5), WHITE))
    else:
        result.append((stroke([(9.8, 9.8), (13.2, 13.2)], 1.6), WHITE))
        result.append((stroke([(13.2, 9.8), (9.8, 13.2)], 1.6), WHITE))
    return result


def render(ready, size):
    """Rows of (r, g, b, a) from the top, a in 0..255."""
    scale = 16.0 / size
    shapes = layers(ready)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = (px + (sx + 0.5) / SUPERSAMPLE) * scale
                    y = (py + (sy + 0.5) / SUPERSAMPLE) * scale
                    colour = None
                    for inside, fill in shapes:
                        if inside(x, y):
                            colour = fill
                    if colour is not None:
                        covered += 1
                        for i in range(3):
                            acc[i] += colour[i]
            if covered:
                rgb = [int(round(c / covered)) for c in acc]
                alpha = int(round(255.0 * covered / (SUPERSAMPLE * SUPERSAMPLE)))
                row.append((rgb[0], rgb[1], rgb[2], alpha))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def icon_image(rows):
    """One image of an .ico: BITMAPINFOHEADER, 32-bit BGRA rows bottom-up, AND mask."""
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(struct.pack('<BBBB', b, g, r, a)
                      for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def write_icon(path, images):
    """images: list of (size, image bytes)."""
    count = len(images)
    out = bytearray(struct.pack('<HHH', 0, 1, count))
    offset = 6 + 16 * count
    for size, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    res = os.path.join(root, 'art')
    os.makedirs(res, exist_ok=True)
    write_icon(os.path.join(res, 'ready.ico'),
               [(s, icon_image(render(True, s))) for s in SIZES])
    write_icon(os.path.join(res, 'not_ready.ico'),
               [(s, icon_image(render(False, s))) for s in SIZES])


if __name__ == '__main__':
    main()
