#!/usr/bin/python3
"""Draws everything Orvella ships in its program folder and writes it under assets/program/:

  Artwork/   twelve monthly pictures (JPEG, July as an 8-bit Windows bitmap), of different proportions, at
             print size: 2000 pixels on the long side, so that the picture calendar page prints at about
             250 pixels per inch
  Images/    the five 50 x 50 background textures, the white one, and the play and stop glyphs, each also
             drawn at twice the size ("@2x") for screens of twice the density
  SOUNDS/    a looping tune for May (with Sounds.ini) and a short chime for December

and the program's icon for the desktop under assets/icons/hicolor/: scalable/apps/orvella.svg and
NxN/apps/orvella.png for N = 16 ... 256, both drawn from one list of shapes.

Everything is drawn here from gradients, shapes and sine tones, so the output is ours and reproducible.
Needs Debian's python3-pil and fonts-liberation:  apt-get install python3-pil fonts-liberation
Run from anywhere:  tools/make_assets.py
"""

import math
import os
import random
import struct
import wave

from PIL import Image, ImageDraw, ImageFilter, ImageFont

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets", "program")
ICONS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets", "icons", "hicolor")
FONT = "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"


def out(*parts):
    path = os.path.join(ROOT, *parts)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    return path


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


# The pictures are laid out on a small grid (the long side some 400 to 720 units) and drawn at print size:
# every coordinate, radius and line width is multiplied by the month's scale.
PRINT_LONG_SIDE = 2000
SCALE = 1.0


def px(v):
    return v * SCALE


def pts(seq):
    return [(x * SCALE, y * SCALE) for x, y in seq]


class Scaled:
    """ImageDraw taking the month's grid units."""

    def __init__(self, img):
        self.d = ImageDraw.Draw(img)

    @staticmethod
    def _box(b):
        return [v * SCALE for v in b]

    @staticmethod
    def _width(w):
        return max(1, int(round(w * SCALE)))

    def ellipse(self, box, fill=None, outline=None):
        self.d.ellipse(self._box(box), fill=fill, outline=outline, width=self._width(1))

    def rectangle(self, box, fill=None):
        self.d.rectangle(self._box(box), fill=fill)

    def line(self, xy, fill=None, width=1):
        self.d.line(pts(xy), fill=fill, width=self._width(width))

    def polygon(self, xy, fill=None):
        self.d.polygon(pts(xy), fill=fill)

    def arc(self, box, start, end, fill=None, width=1):
        self.d.arc(self._box(box), start, end, fill=fill, width=self._width(width))

    def pieslice(self, box, start, end, fill=None):
        self.d.pieslice(self._box(box), start, end, fill=fill)

    def point(self, xy, fill=None):
        x, y = xy
        r = SCALE / 2
        self.d.ellipse([x * SCALE - r, y * SCALE - r, x * SCALE + r, y * SCALE + r], fill=fill)

    def regular_polygon(self, circle, sides, fill=None):
        x, y, r = circle
        self.d.regular_polygon((x * SCALE, y * SCALE, r * SCALE), sides, fill=fill)


def vertical_gradient(size, stops):
    """size in grid units; stops: [(position 0..1, (r, g, b)), ...]"""
    w, h = int(round(size[0] * SCALE)), int(round(size[1] * SCALE))
    img = Image.new("RGB", (w, h))
    d = ImageDraw.Draw(img)
    for y in range(h):
        t = y / max(1, h - 1)
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if p0 <= t <= p1:
                d.line([(0, y), (w, y)], fill=lerp(c0, c1, (t - p0) / max(1e-9, p1 - p0)))
                break
    return img


def hills(img, colour, base, amplitude, waves, phase):
    w, h = img.size
    d = ImageDraw.Draw(img)
    points = [(0, h)]
    for x in range(0, w + 1, 4):
        y = px(base) + px(amplitude) * math.sin(x / w * math.pi * waves + phase)
        points.append((x, y))
    points.append((w, h))
    d.polygon(points, fill=colour)


def sun(img, centre, radius, colour, glow):
    layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    cx, cy = px(centre[0]), px(centre[1])
    radius = px(radius)
    for i in range(6, 0, -1):
        r = radius + i * radius * 0.35
        d.ellipse([cx - r, cy - r, cx + r, cy + r], fill=glow + (18,))
    d.ellipse([cx - radius, cy - radius, cx + radius, cy + radius], fill=colour + (255,))
    img.paste(Image.alpha_composite(img.convert("RGBA"), layer).convert("RGB"))


def flower(d, x, y, r, petal, centre):
    for k in range(6):
        a = k * math.pi / 3
        px, py = x + r * math.cos(a), y + r * math.sin(a)
        d.ellipse([px - r * 0.7, py - r * 0.7, px + r * 0.7, py + r * 0.7], fill=petal)
    d.ellipse([x - r * 0.6, y - r * 0.6, x + r * 0.6, y + r * 0.6], fill=centre)


def snowflake(d, x, y, r, colour):
    for k in range(6):
        a = k * math.pi / 3
        ex, ey = x + r * math.cos(a), y + r * math.sin(a)
        d.line([(x, y), (ex, ey)], fill=colour, width=max(1, int(r / 6)))
        for s in (0.5, 0.75):
            bx, by = x + r * s * math.cos(a), y + r * s * math.sin(a)
            for side in (-1, 1):
                b = a + side * math.pi / 4
                d.line([(bx, by), (bx + r * 0.25 * math.cos(b), by + r * 0.25 * math.sin(b))], fill=colour, width=1)


def tree(d, x, base, height, trunk, crown):
    d.rectangle([x - height * 0.05, base - height * 0.35, x + height * 0.05, base], fill=trunk)
    for i in range(3):
        top = base - height + i * height * 0.22
        half = height * (0.18 + i * 0.08)
        d.polygon([(x, top), (x - half, top + height * 0.38), (x + half, top + height * 0.38)], fill=crown)


def heart(d, x, y, s, colour):
    d.ellipse([x - s, y - s * 0.6, x, y + s * 0.4], fill=colour)
    d.ellipse([x, y - s * 0.6, x + s, y + s * 0.4], fill=colour)
    d.polygon([(x - s * 0.97, y), (x + s * 0.97, y), (x, y + s * 1.2)], fill=colour)


def leaf(d, x, y, s, angle, colour):
    pts = []
    for k in range(24):
        t = k / 23 * 2 * math.pi
        lx, ly = s * math.cos(t), s * 0.45 * math.sin(t)
        pts.append((x + lx * math.cos(angle) - ly * math.sin(angle), y + lx * math.sin(angle) + ly * math.cos(angle)))
    d.polygon(pts, fill=colour)


def banner(img, text, colour=(255, 255, 255), shade=(0, 0, 0)):
    w, h = img.size
    size = max(22, int(min(w, h) * 0.12))
    font = ImageFont.truetype(FONT, size)
    d = ImageDraw.Draw(img)
    box = d.textbbox((0, 0), text, font=font)
    tw = box[2] - box[0]
    x, y = (w - tw) // 2, int(h * 0.06)
    d.text((x + px(2), y + px(2)), text, font=font, fill=shade)
    d.text((x, y), text, font=font, fill=colour)


def january(rng):
    img = vertical_gradient((600, 400), [(0, (120, 160, 215)), (0.6, (215, 230, 245)), (1, (235, 240, 250))])
    hills(img, (245, 248, 255), 300, 25, 2.2, 0.3)
    hills(img, (228, 236, 250), 340, 18, 3.1, 1.4)
    d = Scaled(img)
    for i in range(5):
        tree(d, 80 + i * 110 + rng.randint(-20, 20), 330 + rng.randint(-10, 25), 110 + rng.randint(-20, 20),
             (90, 70, 50), (40, 90, 70))
    for _ in range(70):
        x, y = rng.randint(0, 600), rng.randint(0, 400)
        r = rng.choice((1, 1, 2, 3))
        d.ellipse([x - r, y - r, x + r, y + r], fill=(255, 255, 255))
    banner(img, "January", shade=(60, 80, 120))
    return img


def february(rng):
    img = vertical_gradient((640, 360), [(0, (250, 200, 215)), (1, (200, 120, 160))])
    d = Scaled(img)
    for _ in range(18):
        x, y, s = rng.randint(20, 620), rng.randint(70, 340), rng.randint(12, 34)
        heart(d, x, y, s, rng.choice([(220, 40, 80), (245, 90, 120), (255, 240, 245), (190, 30, 70)]))
    banner(img, "February", shade=(120, 30, 60))
    return img


def march(rng):
    img = vertical_gradient((500, 400), [(0, (150, 170, 190)), (1, (205, 215, 220))])
    hills(img, (110, 170, 90), 290, 30, 1.5, 0.5)
    hills(img, (80, 150, 70), 330, 20, 2.5, 2.0)
    d = Scaled(img)
    for _ in range(120):
        x, y = rng.randint(0, 500), rng.randint(60, 300)
        d.line([(x, y), (x - 4, y + 14)], fill=(225, 235, 245), width=1)
    for _ in range(14):
        flower(d, rng.randint(10, 490), rng.randint(340, 395), 5, (250, 230, 90), (240, 160, 40))
    banner(img, "March", shade=(50, 70, 60))
    return img


def april(rng):
    img = vertical_gradient((600, 400), [(0, (140, 200, 240)), (1, (225, 240, 250))])
    d = Scaled(img)
    # A rainbow after the showers.
    colours = [(230, 60, 60), (240, 150, 50), (240, 220, 70), (90, 190, 90), (70, 130, 220), (130, 90, 200)]
    for i, c in enumerate(colours):
        r = 330 - i * 14
        d.arc([300 - r, 420 - r, 300 + r, 420 + r], 180, 360, fill=c, width=14)
    hills(img, (120, 190, 100), 330, 20, 2.0, 0.0)
    d = Scaled(img)
    for _ in range(25):
        flower(d, rng.randint(10, 590), rng.randint(345, 395), 6,
               rng.choice([(255, 255, 255), (250, 180, 210), (200, 170, 240)]), (250, 210, 60))
    banner(img, "April", shade=(40, 80, 130))
    return img


def may(rng):
    img = vertical_gradient((720, 400), [(0, (100, 170, 235)), (1, (200, 230, 250))])
    sun(img, (600, 90), 40, (255, 225, 90), (255, 240, 160))
    hills(img, (100, 180, 80), 280, 20, 1.7, 1.0)
    d = Scaled(img)
    for _ in range(90):
        x, y = rng.randint(0, 720), rng.randint(300, 400)
        d.line([(x, y + 12), (x, y)], fill=(60, 130, 50), width=2)
        flower(d, x, y, rng.randint(4, 7), rng.choice([(250, 80, 90), (255, 200, 60), (250, 250, 250),
                                                       (230, 120, 200)]), (250, 230, 100))
    banner(img, "May", shade=(40, 90, 40))
    return img


def june(rng):
    img = vertical_gradient((480, 400), [(0, (90, 160, 230)), (0.55, (190, 225, 250)), (0.56, (40, 120, 180)),
                                         (1, (20, 70, 130))])
    sun(img, (120, 120), 34, (255, 240, 150), (255, 250, 200))
    d = Scaled(img)
    for i in range(30):
        y = 230 + i * 6
        for x in range(0, 480, 30):
            xo = x + (i % 2) * 15
            d.arc([xo, y, xo + 24, y + 8], 200, 340, fill=(200, 230, 250), width=1)
    # A small sail boat.
    d.polygon([(300, 250), (380, 250), (365, 268), (315, 268)], fill=(120, 60, 40))
    d.polygon([(340, 170), (340, 246), (300, 246)], fill=(250, 250, 245))
    d.polygon([(344, 180), (344, 246), (375, 246)], fill=(240, 90, 70))
    banner(img, "June", shade=(20, 60, 110))
    return img


def july(rng):
    img = vertical_gradient((450, 300), [(0, (250, 170, 60)), (0.6, (250, 220, 120)), (1, (240, 200, 100))])
    sun(img, (225, 200), 60, (255, 250, 220), (255, 230, 150))
    hills(img, (120, 150, 60), 235, 12, 2.0, 0.7)
    hills(img, (90, 120, 40), 265, 10, 3.0, 2.2)
    d = Scaled(img)
    for x in range(20, 450, 46):
        d.line([(x, 300), (x + 6, 250)], fill=(70, 100, 30), width=3)
        d.ellipse([x - 6, 234, x + 18, 258], fill=(250, 200, 40))
        d.ellipse([x + 2, 242, x + 10, 250], fill=(110, 70, 30))
    banner(img, "July", shade=(150, 80, 20))
    # An 8-bit Windows bitmap: small, and a second picture format.
    return img.quantize(colors=256, method=Image.Quantize.MEDIANCUT)


def august(rng):
    img = vertical_gradient((640, 400), [(0, (80, 170, 230)), (0.5, (170, 220, 245)), (0.51, (30, 140, 190)),
                                         (0.7, (60, 180, 200)), (0.71, (240, 215, 160)), (1, (225, 195, 140))])
    sun(img, (520, 80), 36, (255, 245, 170), (255, 250, 210))
    d = Scaled(img)
    # A parasol and a ball on the sand.
    d.line([(200, 300), (215, 380)], fill=(90, 60, 40), width=4)
    for k in range(6):
        a0, a1 = 180 + k * 30, 180 + (k + 1) * 30
        d.pieslice([110, 240, 290, 360], a0, a1, fill=[(230, 60, 60), (250, 250, 250)][k % 2])
    d.ellipse([400, 330, 440, 370], fill=(250, 210, 60))
    d.arc([400, 330, 440, 370], 0, 180, fill=(40, 120, 200), width=6)
    banner(img, "August", shade=(20, 90, 140))
    return img


def september(rng):
    img = vertical_gradient((400, 500), [(0, (150, 190, 220)), (1, (235, 225, 190))])
    hills(img, (150, 170, 80), 420, 10, 1.2, 0.0)
    d = Scaled(img)
    d.rectangle([185, 250, 215, 440], fill=(100, 70, 45))
    d.ellipse([70, 120, 330, 320], fill=(70, 140, 60))
    d.ellipse([100, 90, 300, 260], fill=(90, 160, 70))
    for _ in range(22):
        x, y = rng.randint(100, 300), rng.randint(120, 300)
        d.ellipse([x - 8, y - 8, x + 8, y + 8], fill=(210, 40, 40))
        d.ellipse([x - 3, y - 5, x + 1, y - 1], fill=(245, 140, 120))
    banner(img, "September", shade=(70, 90, 60))
    return img


def october(rng):
    img = vertical_gradient((600, 400), [(0, (240, 190, 120)), (1, (200, 110, 50))])
    d = Scaled(img)
    for _ in range(60):
        leaf(d, rng.randint(0, 600), rng.randint(60, 400), rng.randint(10, 22), rng.uniform(0, math.pi),
             rng.choice([(200, 60, 20), (230, 140, 30), (170, 40, 30), (240, 190, 60), (140, 80, 30)]))
    # A pumpkin.
    for dx in (-30, 0, 30):
        d.ellipse([300 + dx - 40, 290, 300 + dx + 40, 370], fill=(235, 120, 20), outline=(190, 90, 10))
    d.rectangle([294, 276, 306, 294], fill=(80, 100, 30))
    banner(img, "October", shade=(110, 40, 10))
    return img


def november(rng):
    img = vertical_gradient((560, 400), [(0, (60, 70, 95)), (1, (150, 150, 165))])
    sun(img, (430, 100), 30, (240, 240, 225), (200, 200, 210))
    hills(img, (70, 80, 85), 300, 25, 1.8, 0.4)
    d = Scaled(img)
    for i in range(4):
        x = 60 + i * 130
        d.line([(x, 400), (x, 250)], fill=(40, 40, 45), width=5)
        for k in range(5):
            a = -math.pi / 2 + (k - 2) * 0.45
            d.line([(x, 290), (x + 50 * math.cos(a), 290 + 50 * math.sin(a))], fill=(40, 40, 45), width=2)
    fog = Image.new("RGBA", img.size, (0, 0, 0, 0))
    fd = Scaled(fog)
    for i in range(6):
        y = 260 + i * 22
        fd.rectangle([0, y, 560, y + 14], fill=(220, 220, 230, 60))
    img = Image.alpha_composite(img.convert("RGBA"), fog.filter(ImageFilter.GaussianBlur(px(8)))).convert("RGB")
    banner(img, "November", colour=(235, 235, 240), shade=(30, 30, 40))
    return img


def december(rng):
    img = vertical_gradient((400, 480), [(0, (15, 25, 70)), (1, (60, 80, 140))])
    d = Scaled(img)
    for _ in range(60):
        x, y = rng.randint(0, 400), rng.randint(0, 300)
        d.point((x, y), fill=(255, 255, 220))
    hills(img, (235, 240, 250), 400, 15, 1.5, 0.2)
    d = Scaled(img)
    tree(d, 200, 420, 230, (90, 60, 40), (30, 110, 60))
    for _ in range(16):
        x, y = rng.randint(140, 260), rng.randint(220, 390)
        d.ellipse([x - 5, y - 5, x + 5, y + 5], fill=rng.choice([(230, 40, 40), (250, 210, 60), (90, 160, 240)]))
    d.regular_polygon((200, 188, 14), 5, fill=(255, 220, 60))
    for _ in range(12):
        snowflake(d, rng.randint(0, 400), rng.randint(60, 380), rng.randint(6, 14), (235, 240, 255))
    banner(img, "December", shade=(10, 10, 40))
    return img


MONTHS = [january, february, march, april, may, june, july, august, september, october, november, december]
NAMES = ["January", "February", "March", "April", "May", "June", "July", "August", "September", "October",
         "November", "December"]


def make_pictures():
    global SCALE
    for i, (draw, name) in enumerate(zip(MONTHS, NAMES)):
        # Drawn once on the grid to learn its size, then again at print size with the same random choices.
        SCALE = 1.0
        grid = draw(random.Random(1000 + i)).size
        SCALE = PRINT_LONG_SIDE / max(grid)
        img = draw(random.Random(1000 + i))
        SCALE = 1.0
        stem = "%02d-%s" % (i + 1, name)
        if img.mode == "P":
            img.save(out("Artwork", stem + ".bmp"))
        else:
            img.save(out("Artwork", stem + ".jpg"), quality=82, optimize=True)


def tileable_noise(seed, scale, size=50):
    """A size x size field of values 0..1 that wraps at its edges: a sum of whole-period sines."""
    rng = random.Random(seed)
    waves = [(rng.randint(1, 4), rng.randint(0, 4), rng.uniform(0, 2 * math.pi), rng.uniform(0.5, 1.0))
             for _ in range(scale)]
    field = [[0.0] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            v = sum(a * math.sin(2 * math.pi * (fx * x + fy * y) / size + p) for fx, fy, p, a in waves)
            field[y][x] = v
    lo = min(min(r) for r in field)
    hi = max(max(r) for r in field)
    return [[(v - lo) / (hi - lo) for v in r] for r in field]


def texture(seed, dark, light, grain=0, speckle=0, size=50):
    """A 50 x 50 texture; size 100 draws the same one for screens of twice the density."""
    field = tileable_noise(seed, 6, size)
    rng = random.Random(seed * 7)
    img = Image.new("RGBA", (size, size))
    px = img.load()
    for y in range(size):
        for x in range(size):
            t = field[y][x]
            if grain:  # wood: fine stripes bent by the noise
                t = 0.5 + 0.5 * math.sin(2 * math.pi * (grain * y / size + field[y][x] * 0.8))
            c = lerp(dark, light, t)
            if speckle:
                n = rng.randint(-speckle, speckle)
                c = tuple(max(0, min(255, v + n)) for v in c)
            px[x, y] = c + (255,)
    return img


TEXTURES = {
    "Brown": (1, (120, 78, 44), (176, 126, 80), 5, 6),  # seed, dark, light, grain, speckle
    "Pink": (2, (226, 170, 190), (250, 214, 226), 0, 5),
    "Green": (3, (92, 140, 90), (140, 184, 130), 0, 8),
    "Blue": (4, (90, 130, 190), (150, 190, 235), 0, 0),
    "Grey": (5, (140, 140, 144), (196, 196, 200), 0, 10),
    "White": (6, (244, 244, 244), (255, 255, 255), 0, 2),
}


def media_glyph(name, scale):
    img = Image.new("RGBA", (11 * scale, 11 * scale), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    if name == "Play":
        d.polygon([(2 * scale, 0), (2 * scale, 11 * scale - 1), (11 * scale - 1, 5.5 * scale - 0.5)],
                  fill=(20, 130, 40, 255))
    else:
        d.rectangle([scale, scale, 10 * scale - 1, 10 * scale - 1], fill=(190, 30, 30, 255))
    return img


def make_images():
    # Each image also for screens of twice the density ("@2x"), drawn there rather than enlarged.
    for name, (seed, dark, light, grain, speckle) in TEXTURES.items():
        texture(seed, dark, light, grain, speckle).save(out("Images", name + ".bmp"))
        texture(seed, dark, light, grain, speckle, size=100).save(out("Images", name + "@2x.bmp"))
    play = Image.new("RGBA", (11, 11), (0, 0, 0, 0))
    ImageDraw.Draw(play).polygon([(2, 0), (2, 10), (10, 5)], fill=(20, 130, 40, 255))
    play.save(out("Images", "Play.png"))
    stop = Image.new("RGBA", (11, 11), (0, 0, 0, 0))
    ImageDraw.Draw(stop).rectangle([1, 1, 9, 9], fill=(190, 30, 30, 255))
    stop.save(out("Images", "Stop.png"))
    for name in ("Play", "Stop"):
        media_glyph(name, 2).save(out("Images", name + "@2x.png"))


def write_wav(path, samples, rate):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(b"".join(struct.pack("<h", int(max(-1, min(1, s)) * 32767 * 0.6)) for s in samples))


def tone(freq, seconds, rate, decay=3.0):
    n = int(seconds * rate)
    return [math.sin(2 * math.pi * freq * i / rate) * math.exp(-decay * i / n) * min(1, i / (0.01 * rate))
            for i in range(n)]


def make_sounds():
    rate = 16000
    # May: a gentle arpeggio that ends where it began, so it loops without a seam.
    notes = [523.25, 659.25, 783.99, 1046.5, 783.99, 659.25, 587.33, 698.46, 880.0, 698.46, 587.33, 493.88]
    song = []
    for f in notes:
        song += [a + 0.3 * b for a, b in zip(tone(f, 0.22, rate), tone(f * 2, 0.22, rate, decay=6))]
    write_wav(out("SOUNDS", "05-May.wav"), song, rate)
    with open(out("SOUNDS", "Sounds.ini"), "w", newline="") as f:
        f.write("[Loop]\r\n05-May.wav=1\r\n")
    # December: three bells, played once.
    chime = [0.0] * int(1.6 * rate)
    for k, f in enumerate((1318.5, 1046.5, 783.99)):
        start = int(k * 0.35 * rate)
        for i, s in enumerate(tone(f, 0.9, rate, decay=5)):
            chime[start + i] += s * 0.7
    write_wav(out("SOUNDS", "12-December.wav"), chime, rate)


# The icon: a wall calendar page with its rings, a month's picture and the day grid with one marked day.
# Shapes on a 256 x 256 canvas: (kind, geometry, fill); kinds rect, rrect (radius last), ellipse, polygon.
ICON_PNG_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def icon_shapes(small):
    page, band, ring, sky, sun, hill, hill2, cell, mark = (
        "#fbfaf5", "#2f6db5", "#59626e", "#8ccaf0", "#ffd24a", "#5aa04a", "#3f8a3c", "#d5dbe4", "#d8443c")
    shapes = [
        ("rrect", (20, 30, 244, 246, 30), "#00000040"),  # shadow
        ("rrect", (14, 22, 238, 238, 30), page),
        ("rrect", (14, 22, 238, 86, 30), band),
        ("rect", (14, 60, 238, 86), band),
    ]
    picture = (38, 102, 214, 206) if small else (38, 102, 214, 168)
    x0, y0, x1, y1 = picture
    shapes += [
        ("rect", picture, sky),
        ("ellipse", (x1 - 52, y0 + 10, x1 - 22, y0 + 40), sun),
        ("polygon", [(x0, y1 - (y1 - y0) * 0.45), (x0 + 60, y1 - (y1 - y0) * 0.75), (x0 + 120, y1 - (y1 - y0) * 0.35),
                     (x1, y1 - (y1 - y0) * 0.6), (x1, y1), (x0, y1)], hill),
        ("polygon", [(x0, y1 - (y1 - y0) * 0.2), (x0 + 90, y1 - (y1 - y0) * 0.4), (x1, y1 - (y1 - y0) * 0.15),
                     (x1, y1), (x0, y1)], hill2),
    ]
    if not small:
        for row in range(3):
            for col in range(7):
                x, y = 38 + col * 25.5, 180 + row * 18
                shapes.append(("rect", (x, y, x + 17, y + 12), mark if (row, col) == (1, 4) else cell))
    for x in (64, 168):
        shapes += [("rrect", (x, 6, x + 22, 52, 11), ring), ("rrect", (x + 5, 11, x + 11, 44, 3), "#9aa3ad")]
    return shapes


def icon_svg():
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">',
             '<g stroke="none">']
    for kind, g, fill in icon_shapes(small=False):
        colour, opacity = (fill[:7], int(fill[7:], 16) / 255) if len(fill) == 9 else (fill, 1)
        paint = 'fill="%s"' % colour + (' opacity="%.3g"' % opacity if opacity < 1 else "")
        if kind == "rect":
            parts.append('<rect x="%g" y="%g" width="%g" height="%g" %s/>'
                         % (g[0], g[1], g[2] - g[0], g[3] - g[1], paint))
        elif kind == "rrect":
            parts.append('<rect x="%g" y="%g" width="%g" height="%g" rx="%g" %s/>'
                         % (g[0], g[1], g[2] - g[0], g[3] - g[1], g[4], paint))
        elif kind == "ellipse":
            parts.append('<ellipse cx="%g" cy="%g" rx="%g" ry="%g" %s/>'
                         % ((g[0] + g[2]) / 2, (g[1] + g[3]) / 2, (g[2] - g[0]) / 2, (g[3] - g[1]) / 2, paint))
        else:
            parts.append('<polygon points="%s" %s/>' % (" ".join("%g,%g" % p for p in g), paint))
    parts.append("</g></svg>")
    return "\n".join(parts) + "\n"


def icon_png(size):
    scale = 1024 / 256  # drawn large, then scaled down smoothly
    img = Image.new("RGBA", (1024, 1024), (0, 0, 0, 0))
    for kind, g, fill in icon_shapes(small=size < 32):
        layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
        d = ImageDraw.Draw(layer)
        rgba = tuple(int(fill[i:i + 2], 16) for i in range(1, len(fill), 2))
        rgba = rgba + (255,) if len(rgba) == 3 else rgba
        if kind == "polygon":
            d.polygon([(x * scale, y * scale) for x, y in g], fill=rgba)
        elif kind == "rrect":
            d.rounded_rectangle([v * scale for v in g[:4]], radius=g[4] * scale, fill=rgba)
        elif kind == "ellipse":
            d.ellipse([v * scale for v in g], fill=rgba)
        else:
            d.rectangle([v * scale for v in g], fill=rgba)
        img = Image.alpha_composite(img, layer)
    return img.resize((size, size), Image.Resampling.LANCZOS)


def make_icons():
    folder = os.path.join(ICONS, "scalable", "apps")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "orvella.svg"), "w") as f:
        f.write(icon_svg())
    for size in ICON_PNG_SIZES:
        folder = os.path.join(ICONS, "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        icon_png(size).save(os.path.join(folder, "orvella.png"), optimize=True)


if __name__ == "__main__":
    make_pictures()
    make_images()
    make_sounds()
    make_icons()
    total = 0
    for base, _, files in os.walk(ROOT):
        for f in files:
            total += os.path.getsize(os.path.join(base, f))
    print("assets/program: %d bytes" % total)
