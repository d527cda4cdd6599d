#!/usr/bin/env python3
"""Draws the setup's bitmaps and icon and writes them into resources/.

Standard library only, so the pictures can be redrawn anywhere:
  python3 scripts/draw-resources.py
writes sidepic.bmp (101), step-current.bmp (105), step-skipped.bmp (106),
step-done.bmp (107) and vsetup.ico.
"""
import math
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")

# The 16 colours every display has; 16-colour pictures keep to them.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)

# 256 colours: the 16 above, a 6x6x6 cube and a grey ramp.
PALETTE_256 = list(VGA)
PALETTE_256 += [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
PALETTE_256 += [(i * 255 // 23, i * 255 // 23, i * 255 // 23) for i in range(24)]
PALETTE_256 = PALETTE_256[:256]

BAYER4 = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def nearest(palette, rgb):
    return min(range(len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(palette[i], rgb)))


# ---------------------------------------------------------------- geometry

def inside_polygon(x, y, points):
    result = False
    j = len(points) - 1
    for i in range(len(points)):
        xi, yi = points[i]
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


def segment_distance(x, y, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def near_polyline(x, y, points, width):
    return any(segment_distance(x, y, points[i], points[i + 1]) <= width / 2
               for i in range(len(points) - 1))


def in_circle(x, y, cx, cy, r):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


# ---------------------------------------------------------------- file formats

def row_bytes(bits, width):
    return ((width * bits + 31) // 32) * 4


def pack_rows(indices, width, height, bits):
    """Bottom-up DIB rows of palette indices (bits 4 or 8) or BGRA tuples (32)."""
    out = bytearray()
    for y in range(height - 1, -1, -1):
        row = indices[y * width:(y + 1) * width]
        if bits == 4:
            data = bytearray()
            for x in range(0, width, 2):
                high = row[x]
                low = row[x + 1] if x + 1 < width else 0
                data.append((high << 4) | low)
        elif bits == 8:
            data = bytearray(row)
        else:
            data = bytearray(b for pixel in row for b in pixel)
        data += b"\0" * (row_bytes(bits, width) - len(data))
        out += data
    return bytes(out)


def palette_bytes(palette, entries):
    padded = list(palette) + [(0, 0, 0)] * (entries - len(palette))
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in padded)


def info_header(width, height, bits, image_size, colours):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, colours, 0)


def write_bmp16(name, width, height, indices):
    pixels = pack_rows(indices, width, height, 4)
    header = info_header(width, height, 4, len(pixels), 16) + palette_bytes(VGA, 16)
    offset = 14 + len(header)
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset))
        f.write(header + pixels)


def and_mask(opaque, width, height):
    out = bytearray()
    for y in range(height - 1, -1, -1):
        bits = bytearray(row_bytes(1, width))
        for x in range(width):
            if not opaque[y * width + x]:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bits
    return bytes(out)


def icon_image(size, bits):
    """One icon image: a DIB of double height (colour bits, then the mask)."""
    if bits == 32:
        rgba = render_icon_rgba(size)
        pixels = [(b, g, r, a) for r, g, b, a in rgba]
        opaque = [a > 0 for _, _, _, a in rgba]
        palette = b""
    else:
        palette_rgb = VGA if bits == 4 else PALETTE_256
        rgba = render_icon_rgba(size)
        pixels = [nearest(palette_rgb, (r, g, b)) if a >= 128 else 0 for r, g, b, a in rgba]
        opaque = [a >= 128 for _, _, _, a in rgba]
        palette = palette_bytes(palette_rgb, 1 << bits)
    colour = pack_rows(pixels, size, size, bits)
    mask = and_mask(opaque, size, size)
    return info_header(size, size * 2, bits, len(colour) + len(mask), 0) + palette + colour + mask


def write_ico(name, formats):
    images = [icon_image(size, bits) for size, bits in formats]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for (size, bits), image in zip(formats, images):
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 16 if bits == 4 else 0, 0, 1, bits,
                               len(image), offset)
        offset += len(image)
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(directory + entries + b"".join(images))


# ---------------------------------------------------------------- the icon: an open book under a star

BOOK_COVER = [(0.04, 0.36), (0.5, 0.46), (0.96, 0.36), (0.96, 0.90), (0.5, 0.98), (0.04, 0.90)]
LEFT_PAGE = [(0.09, 0.30), (0.5, 0.40), (0.5, 0.90), (0.09, 0.82)]
RIGHT_PAGE = [(0.91, 0.30), (0.5, 0.40), (0.5, 0.90), (0.91, 0.82)]


def star_points(cx, cy, outer, inner):
    points = []
    for k in range(10):
        r = outer if k % 2 == 0 else inner
        angle = -math.pi / 2 + k * math.pi / 5
        points.append((cx + r * math.cos(angle), cy + r * math.sin(angle)))
    return points


STAR = star_points(0.5, 0.16, 0.15, 0.065)


def text_line(x, y, page_left):
    """Lines of writing on the pages, following each page's slant."""
    for k in range(4):
        base = 0.50 + 0.09 * k
        if page_left:
            if 0.15 <= x <= 0.44:
                slope_y = base + (x - 0.09) / 0.41 * 0.10
                if abs(y - slope_y) < 0.018:
                    return True
        else:
            if 0.56 <= x <= 0.85:
                slope_y = base + (0.91 - x) / 0.41 * 0.10
                if abs(y - slope_y) < 0.018:
                    return True
    return False


def icon_colour(x, y):
    if inside_polygon(x, y, STAR):
        return (255, 208, 32) if near_polyline(x, y, STAR + [STAR[0]], 0.03) is False else (176, 120, 0)
    for page, left in ((LEFT_PAGE, True), (RIGHT_PAGE, False)):
        if inside_polygon(x, y, page):
            if near_polyline(x, y, page + [page[0]], 0.035):
                return (40, 40, 72)
            if text_line(x, y, left):
                return (96, 96, 128)
            return (255, 255, 244)
    if 0.47 <= x <= 0.53 and 0.90 <= y <= 1.0:
        return (200, 16, 16)  # the bookmark ribbon
    if inside_polygon(x, y, BOOK_COVER):
        return (16, 48, 160) if not near_polyline(x, y, BOOK_COVER + [BOOK_COVER[0]], 0.04) else (8, 16, 80)
    return None


def render_icon_rgba(size, samples=4):
    pixels = []
    for py in range(size):
        for px in range(size):
            total = [0, 0, 0]
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    colour = icon_colour((px + (sx + 0.5) / samples) / size, (py + (sy + 0.5) / samples) / size)
                    if colour:
                        hits += 1
                        total = [t + c for t, c in zip(total, colour)]
            if hits:
                pixels.append(tuple(t // hits for t in total) + (255 * hits // (samples * samples),))
            else:
                pixels.append((0, 0, 0, 0))
    return pixels


# ---------------------------------------------------------------- bitmap 101: night sky, moon, hills, book

def side_picture():
    width, height = 123, 262
    stars = [(14, 20), (40, 9), (63, 31), (101, 14), (88, 47), (22, 58), (110, 70), (52, 76), (8, 96),
             (74, 92), (117, 108), (33, 118), (95, 126), (60, 140)]
    pixels = []
    for y in range(height):
        for x in range(width):
            pixels.append(side_pixel(x, y, width, height, stars))
    return width, height, pixels


def side_pixel(x, y, width, height, stars):
    # Book at the foot of the picture.
    book = side_book(x, y)
    if book is not None:
        return book
    # Rolling hills: a far one in green, a near one in black.
    near = 196 - 14 * math.sin((x + 10) / 23.0)
    far = 168 - 12 * math.sin(x / 17.0 + 1.3)
    if y >= near:
        return BLACK
    if y >= far:
        return GREEN if BAYER4[y % 4][x % 4] < 12 else OLIVE
    # Crescent moon.
    if in_circle(x, y, 86, 38, 15) and not in_circle(x, y, 92, 33, 13):
        return YELLOW
    if (x, y) in stars or any(abs(x - sx) + abs(y - sy) == 1 for sx, sy in stars if (sx + sy) % 3 == 0):
        return WHITE
    # Sky: navy at the top through blue to teal at the horizon, ordered dithering.
    t = y / 170.0
    if t < 0.5:
        return BLUE if BAYER4[y % 4][x % 4] < int(t * 2 * 16) else NAVY
    return TEAL if BAYER4[y % 4][x % 4] < int((t - 0.5) * 2 * 16) else BLUE


def side_book(x, y):
    cover = [(6, 216), (61, 226), (116, 216), (116, 254), (61, 261), (6, 254)]
    left = [(12, 210), (61, 220), (61, 252), (12, 246)]
    right = [(110, 210), (61, 220), (61, 252), (110, 246)]
    for page, is_left in ((left, True), (right, False)):
        if inside_polygon(x + 0.5, y + 0.5, page):
            if near_polyline(x + 0.5, y + 0.5, page + [page[0]], 1.2):
                return BLACK
            slope = (x - 12) / 49.0 * 10 if is_left else (110 - x) / 49.0 * 10
            in_text = (18 <= x <= 55) if is_left else (67 <= x <= 104)
            if in_text and (y - 222 - slope) >= 0 and int(y - 222 - slope) % 5 == 0 and y < 244 + slope * 0.4:
                return GREY
            return WHITE
    if inside_polygon(x + 0.5, y + 0.5, cover):
        return MAROON if not near_polyline(x + 0.5, y + 0.5, cover + [cover[0]], 1.2) else BLACK
    return None


# ---------------------------------------------------------------- step marks (16 x 16 on light grey)

def mark(shape):
    pixels = [SILVER] * 256
    for dx, dy, colour in ((1, 1, GREY), (0, 0, None)):
        for y in range(16):
            for x in range(16):
                c = shape(x - dx + 0.5, y - dy + 0.5)
                if c is not None:
                    pixels[y * 16 + x] = colour if colour is not None else c
    return pixels


def triangle(x, y):
    return BLUE if inside_polygon(x, y, [(4, 2), (12, 8), (4, 14)]) else None


def cross(x, y):
    return RED if near_polyline(x, y, [(3, 3), (12, 12)], 2.6) or near_polyline(x, y, [(12, 3), (3, 12)], 2.6) else None


def check(x, y):
    return BLUE if near_polyline(x, y, [(2.5, 8), (6, 11.5), (13, 3.5)], 2.6) else None


def main():
    width, height, pixels = side_picture()
    write_bmp16("sidepic.bmp", width, height, pixels)
    write_bmp16("step-current.bmp", 16, 16, mark(triangle))
    write_bmp16("step-skipped.bmp", 16, 16, mark(cross))
    write_bmp16("step-done.bmp", 16, 16, mark(check))
    write_ico("vsetup.ico", [(32, 4), (16, 4), (32, 8), (16, 8), (48, 32), (32, 32), (24, 32), (16, 32)])


if __name__ == "__main__":
    main()
