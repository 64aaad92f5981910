#!/usr/bin/env python3
"""Draws the pictures that ship in data/res as 24-bit BMP files.

    tools/make-pictures.py            writes data/res/Background.bmp and data/res/Logo.bmp

The background fills the main window's client area (BACKGROUND_SIZE, the size of
dialog template 105 in pixels, see client/ui/ResourceIds.h). The logo has a white
background, the colour the window leaves transparent.
"""
import math
import os
import struct

BACKGROUND_SIZE = (341, 214)
LOGO_SIZE = (64, 24)

# Hand-drawn glyphs for the product name, '#' is ink.
GLYPHS = {
    'T': ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    'o': [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    'r': [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    'v': [".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    'i': [".#.", "...", "##.", ".#.", ".#.", ".#.", "###"],
    'k': ["#....", "#....", "#..#.", "#.#..", "##...", "#.#..", "#..#."],
    'C': [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    'n': [".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    'e': [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    'c': [".....", ".....", ".###.", "#....", "#....", "#...#", ".###."],
    't': [".#...", ".#...", "####.", ".#...", ".#...", ".#..#", "..##."],
}


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [[colour] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, colour)

    def save(self, path):
        row_size = (self.width * 3 + 3) & ~3
        image_size = row_size * self.height
        header = struct.pack('<2sIHHI', b'BM', 54 + image_size, 0, 0, 54)
        info = struct.pack('<IiiHHIIiiII', 40, self.width, self.height, 1, 24, 0,
                           image_size, 3780, 3780, 0, 0)
        rows = []
        for y in reversed(range(self.height)):
            row = bytearray()
            for r, g, b in self.pixels[y]:
                row += bytes((b, g, r))
            row += bytes(row_size - len(row))
            rows.append(bytes(row))
        with open(path, 'wb') as out:
            out.write(header + info + b''.join(rows))


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def draw_text(canvas, x, y, text, scale, colour):
    for char in text:
        glyph = GLYPHS[char]
        for row, line in enumerate(glyph):
            for col, cell in enumerate(line):
                if cell == '#':
                    canvas.rect(x + col * scale, y + row * scale,
                                x + (col + 1) * scale, y + (row + 1) * scale, colour)
        x += (len(glyph[0]) + 1) * scale


def background():
    width, height = BACKGROUND_SIZE
    top, bottom = (22, 64, 110), (70, 130, 180)
    panel = (242, 245, 248)
    banner_height = 140
    canvas = Canvas(width, height, panel)
    for y in range(banner_height):
        colour = mix(top, bottom, y / (banner_height - 1))
        canvas.rect(0, y, width, y + 1, colour)
    # Radio waves rising from the lower right of the banner.
    cx, cy = width - 60, banner_height - 16
    for radius in (18, 34, 50, 66):
        for y in range(cy - radius - 3, cy + 1):
            for x in range(cx - radius - 3, cx + radius + 4):
                distance = math.hypot(x - cx, y - cy)
                angle = math.degrees(math.atan2(cy - y, x - cx))
                if radius - 1.5 <= distance <= radius + 1.5 and 35 <= angle <= 145:
                    canvas.put(x, y, mix(canvas.pixels[y][x], (255, 255, 255), 0.45))
    canvas.rect(cx - 3, cy - 3, cx + 3, cy + 3, (255, 255, 255))
    draw_text(canvas, 20, 28, "TorvikConnect", 3, (255, 255, 255))
    # A thin line where the banner meets the panel of the buttons and the status line.
    canvas.rect(0, banner_height, width, banner_height + 2, (190, 205, 220))
    return canvas


def logo():
    width, height = LOGO_SIZE
    canvas = Canvas(width, height, (255, 255, 255))
    bar_width, gap = 6, 3
    heights = (6, 11, 16, 21)
    x = width - len(heights) * (bar_width + gap) - 6
    for index, bar in enumerate(heights):
        colour = mix((70, 130, 180), (22, 64, 110), index / (len(heights) - 1))
        canvas.rect(x, height - 2 - bar, x + bar_width, height - 2, colour)
        x += bar_width + gap
    return canvas


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'data', 'res')
    os.makedirs(out, exist_ok=True)
    background().save(os.path.join(out, 'Background.bmp'))
    logo().save(os.path.join(out, 'Logo.bmp'))


if __name__ == '__main__':
    main()
