#!/usr/bin/env python3
"""Makes the program's own sounds and tool-bar images: "Exhaust.wav" (a short exhaust chuff),
"Error.wav" (a falling two-tone signal) and the 16 x 16 icons in icons/. Plain Python, no
packages: run it from this folder to write the files again."""

import math
import random
import struct
import wave
import zlib

RATE = 22050


def write_wave(name, samples):
    with wave.open(name, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", max(-32767, min(32767, int(s * 32767))))
                               for s in samples))


def exhaust():
    # Noise through a low-pass filter, a sharp attack and a quick decay: one beat of the exhaust.
    rnd = random.Random(1)
    out, low, low2 = [], 0.0, 0.0
    n = int(RATE * 0.28)
    for i in range(n):
        t = i / RATE
        env = min(1.0, t / 0.008) * math.exp(-t / 0.06)
        low += 0.25 * (rnd.uniform(-1, 1) - low)
        low2 += 0.35 * (low - low2)
        out.append(2.4 * env * low2)
    return out


def error_tone():
    # Two falling tones, soft edges so that nothing clicks.
    out = []
    for freq, dur in ((880.0, 0.14), (587.0, 0.20)):
        n = int(RATE * dur)
        for i in range(n):
            edge = min(1.0, i / 200, (n - i) / 200)
            out.append(0.45 * edge * math.sin(2 * math.pi * freq * i / RATE))
    return out


class Icon:
    def __init__(self, size=16):
        self.size = size
        self.px = [[None] * size for _ in range(size)]

    def dot(self, x, y, c):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y][x] = c

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.dot(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def poly(self, pts, c):
        for a, b in zip(pts, pts[1:]):
            self.line(*a, *b, c)

    def rect(self, x0, y0, x1, y1, c, fill=None):
        if fill:
            for y in range(y0, y1 + 1):
                for x in range(x0, x1 + 1):
                    self.dot(x, y, fill)
        self.poly([(x0, y0), (x1, y0), (x1, y1), (x0, y1), (x0, y0)], c)

    def circle(self, cx, cy, r, c, fill=None):
        for y in range(self.size):
            for x in range(self.size):
                d = math.hypot(x - cx, y - cy)
                if fill and d <= r - 0.5:
                    self.dot(x, y, fill)
                elif abs(d - r) < 0.5:
                    self.dot(x, y, c)

    def curve(self, f, x0, x1, c):
        prev = None
        for x in range(x0, x1 + 1):
            p = (x, int(round(f(x))))
            if prev:
                self.line(*prev, *p, c)
            prev = p

    def png(self, name):
        raw = b""
        for row in self.px:
            raw += b"\x00" + b"".join(bytes(c) + b"\xff" if c else b"\x00\x00\x00\x00" for c in row)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.size, self.size, 8, 6, 0, 0, 0)
        with open(name, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                    chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


BLACK, GREY, WHITE = (0, 0, 0), (128, 128, 128), (255, 255, 255)
RED, GREEN, BLUE = (220, 0, 0), (0, 128, 0), (0, 0, 220)
YELLOW, AQUA, FUCHSIA, LIME = (240, 200, 40), (0, 170, 200), (200, 0, 200), (0, 190, 0)


def icons():
    out = {}

    i = Icon()  # 0 open a design: an opening folder
    i.rect(1, 4, 13, 13, BLACK, YELLOW)
    i.rect(1, 3, 6, 4, BLACK, YELLOW)
    i.poly([(3, 7), (15, 7), (13, 13)], BLACK)
    out[0] = i

    i = Icon()  # 1 save a design: a disk
    i.rect(1, 1, 14, 14, BLACK, BLUE)
    i.rect(4, 1, 11, 6, BLACK, WHITE)
    i.rect(9, 2, 10, 5, BLACK, BLACK)
    i.rect(3, 9, 12, 14, BLACK, WHITE)
    out[1] = i

    i = Icon()  # 2 undo: an arrow turning back
    for a in range(0, 181, 6):
        t = math.radians(a)
        i.dot(int(round(8 + 5 * math.cos(t))), int(round(9 - 5 * math.sin(t))), BLUE)
    i.line(13, 9, 13, 13, BLUE)
    i.poly([(1, 7), (3, 10), (5, 7)], BLUE)
    i.line(3, 9, 3, 10, BLUE)
    out[2] = i

    i = Icon()  # 3 frame dimensions: wheel, rod and a dimension line
    i.circle(5, 9, 4.5, BLACK)
    i.line(5, 9, 14, 6, RED)
    i.poly([(1, 1), (14, 1)], BLUE)
    i.poly([(1, 0), (1, 2)], BLUE)
    i.poly([(14, 0), (14, 2)], BLUE)
    out[3] = i

    i = Icon()  # 4 cylinder dimensions: cylinder, piston and rod
    i.rect(5, 3, 15, 12, GREY, WHITE)
    i.rect(9, 4, 10, 11, BLACK, BLACK)
    i.line(0, 8, 9, 8, BLACK)
    i.poly([(5, 14), (15, 14)], BLUE)
    out[4] = i

    i = Icon()  # 5 driver angle: a wheel with its crank at an angle
    i.circle(7.5, 7.5, 6.5, BLACK)
    i.line(8, 8, 13, 3, RED)
    i.line(8, 8, 14, 8, GREY)
    i.dot(8, 8, BLACK)
    out[5] = i

    i = Icon()  # 6 step angle: a wedge between two crank positions
    i.circle(7.5, 7.5, 6.5, GREY)
    i.line(7, 8, 14, 8, RED)
    i.line(7, 8, 12, 3, RED)
    i.curve(lambda x: 8 - math.sqrt(max(0, 16 - (x - 7) ** 2)), 10, 11, BLUE)
    i.line(11, 6, 11, 8, BLUE)
    out[6] = i

    i = Icon()  # 7 reverse-arm position: the arm on its pivot with arrows to either side
    i.line(7, 14, 9, 3, BLUE)
    i.circle(7, 14, 1.2, BLACK)
    i.poly([(2, 3), (6, 3)], BLACK)
    i.poly([(3, 2), (2, 3), (3, 4)], BLACK)
    i.poly([(11, 3), (15, 3)], BLACK)
    i.poly([(14, 2), (15, 3), (14, 4)], BLACK)
    out[7] = i

    i = Icon()  # 8 mid gear: the arm upright on a centre mark
    i.line(8, 14, 8, 2, BLUE)
    i.circle(8, 14, 1.2, BLACK)
    i.line(3, 8, 13, 8, RED)
    i.line(3, 6, 3, 10, RED)
    i.line(13, 6, 13, 10, RED)
    out[8] = i

    i = Icon()  # 9 steam display: puffs of steam over a cylinder
    i.rect(2, 10, 13, 15, GREY, WHITE)
    rnd = random.Random(3)
    for _ in range(22):
        i.dot(rnd.randrange(3, 13), rnd.randrange(11, 15), RED)
    for cx, cy, r in ((5, 5, 2.6), (9, 3, 2.6), (11, 7, 2.2)):
        i.circle(cx, cy, r, BLUE, (210, 220, 255))
    out[9] = i

    i = Icon()  # 10 reference points: two crosses
    i.line(5, 1, 5, 9, RED)
    i.line(1, 5, 9, 5, RED)
    i.line(11, 7, 11, 15, BLUE)
    i.line(7, 11, 15, 11, BLUE)
    out[10] = i

    i = Icon()  # 11 dynamic variables: two jog bars
    for y in (3, 10):
        i.rect(0, y, 15, y + 3, GREY, WHITE)
        i.rect(6, y, 9, y + 3, BLACK, GREY)
    out[11] = i

    i = Icon()  # 12 sine diagram
    i.line(0, 8, 15, 8, GREY)
    i.curve(lambda x: 8 - 6 * math.sin(x / 15 * 2 * math.pi), 0, 15, RED)
    out[12] = i

    i = Icon()  # 13 oval diagram
    i.line(0, 8, 15, 8, GREY)
    for a in range(0, 360, 4):
        t = math.radians(a)
        i.dot(int(round(7.5 + 7 * math.cos(t))), int(round(8 - 5 * math.sin(t + 0.5))), BLUE)
    out[13] = i

    i = Icon()  # 14 steam diagram: an indicator card
    i.poly([(1, 14), (1, 2), (5, 2)], BLACK)
    i.curve(lambda x: 2 + 11 * (1 - math.exp(-(x - 5) / 4)), 5, 14, RED)
    i.poly([(14, 13), (14, 14), (1, 14)], BLUE)
    out[14] = i

    i = Icon()  # 15 port events against the reverse arm: bars of open ports
    for x, y0, y1, c in ((2, 3, 12, RED), (5, 5, 10, BLUE), (8, 2, 13, RED), (11, 6, 9, BLUE),
                         (14, 4, 11, RED)):
        i.line(x, y0, x, y1, c)
        i.line(x - 1, y0, x - 1, y1, c)
    out[15] = i

    i = Icon()  # 16 lines and circles
    i.line(1, 14, 14, 1, GREEN)
    i.circle(9, 10, 4.5, FUCHSIA)
    out[16] = i

    i = Icon()  # 17 pivot data: a table
    i.rect(1, 2, 14, 13, BLACK, WHITE)
    for y in (5, 8, 11):
        i.line(1, y, 14, y, GREY)
    i.line(5, 2, 5, 13, GREY)
    i.line(10, 2, 10, 13, GREY)
    out[17] = i

    i = Icon()  # 18 fit the picture to the window: a wheel and rod inside four corner marks
    for x, y, dx, dy in ((0, 0, 1, 1), (15, 0, -1, 1), (0, 15, 1, -1), (15, 15, -1, -1)):
        i.line(x, y, x + 3 * dx, y, BLUE)
        i.line(x, y, x, y + 3 * dy, BLUE)
    i.circle(6, 9, 4, BLACK)
    i.line(6, 9, 11, 7, RED)
    i.rect(11, 4, 13, 9, GREY, WHITE)
    i.line(11, 7, 12, 7, RED)
    out[18] = i
    return out


def error_icon():
    i = Icon()
    i.circle(7.5, 7.5, 7, (160, 0, 0), RED)
    i.rect(7, 3, 8, 9, WHITE, WHITE)
    i.rect(7, 11, 8, 12, WHITE, WHITE)
    return i


def app_icon():
    i = Icon()
    i.circle(6, 9, 5.5, BLACK, WHITE)
    i.circle(6, 9, 1.2, BLACK)
    i.line(6, 9, 15, 9, RED)
    i.line(9, 1, 11, 9, BLUE)
    return i


if __name__ == "__main__":
    write_wave("Exhaust.wav", exhaust())
    write_wave("Error.wav", error_tone())
    for n, icon in icons().items():
        icon.png("icons/tb%02d.png" % n)
    error_icon().png("icons/error.png")
    app_icon().png("icons/tarn1.png")
