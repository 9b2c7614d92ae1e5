#!/usr/bin/env python3
"""Writes the program's pictures next to this script.

  mainicon.ico  the icon in every size Windows asks for from 100 % to 200 %
                (small 16, 20, 24, 28, 32; large 32, 40, 48, 56, 64), 16
                colours, transparent outside the motif: 32 x 32 is hand-drawn
                pixel art, each other size is drawn from the same shapes at
                its own size (hard edges, a one-pixel outline), never scaled
  splash.bmp    230 x 365, 8 bits, 256 colours, shown for six seconds at start
  close.bmp     18 x 18, 16 colours, glyph of the main window's close button

Standard library only and no randomness, so every run writes the same bytes.
Run it after changing a picture and commit the outputs with it.
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The standard 16-colour Windows palette, (r, g, b), in palette order.
WIN16 = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# Letters of the pixel art below -> index into WIN16.
ART_COLOURS = {
    'K': 0, 'm': 1, 'g': 2, 'o': 3, 'n': 4, 'p': 5, 't': 6, 's': 7,
    'd': 8, 'r': 9, 'l': 10, 'y': 11, 'b': 12, 'f': 13, 'a': 14, 'w': 15,
}

# Application icon: a globe being swept by a broom, a pile of dust at its
# feet.  '.' is transparent.
ICON_ART = """
.......KKKKKKK.............KyK..
.....KKbbbbbbbKK...........KyoK.
....KbggggggbbbbK.........KyyoK.
...KbgggggggbbbbbK........KyoK..
..KbbwgggggggbbbbbK......KyyoK..
.KbbaggggggggbbbbbbK.....KyoK...
.KbbabggggggbbbbbbnK....KyyoK...
KbbbbbgggggbbbbbbbnnK...KyoK....
KbbbbbbggbbbbbbggbnnK..KyyoK....
KbbbbbbbbbbbbgggggnnK..KyoK.....
KbggbbbbbbbbbggggggnK.KyyoK.....
KbggggbbbbbbgggggggnK.KyoK......
KbggggbbbbbbggggggnnKKyyoK......
KbgggggbbbbbggggggnnKKyoK.......
.KgggggbbbbbbgggggnKKyyoK.......
.KbgggbbbbbbbggggnnrrroK........
..KbgbbbbbbbbbgnnnKrrrrmK.......
...KbbbbbbbbbbnnnKoyyrrmK.......
....KbnnnnnnnnnnKooyoyyK........
.....KKnnnnnnnKKooyooyoK........
.......KKKKKKKKooyyoyooK........
.............KyoyyooyoyK........
............KyoyyyoyyoyK........
...........KyooyyooyyoyK........
..........KyooyyyoyyyoyK........
.........KyooyyyooyyooK.........
...KK.KKK.KKyyyyoyyyoyK.........
..KwsKwssK..KKyooyyyoyK.........
.KwsssssssK...KKyyyyoyK.........
KssssssdsdK.....KKyyoyK.........
KddsddddddK.......KKoyK.........
.KKKKKKKKK..........KK..........
"""

# Close glyph: an open red door with an arrow leaving it.  '.' is the olive
# background, which the glyph painter treats as transparent (bottom-left
# pixel) and which the motif therefore never uses.
CLOSE_ART = """
..................
.KKKKKKKKKK.......
.KrKnnnnnnK.......
.KrmKnnnnnK.......
.KrrmKnnnnK..K....
.KrrrmKnnnK..KK...
.KrrrmKnnnK..KlK..
.KrrrmKnKKKKKKllK.
.KrrrmKnKllllllllK
.KryrmKnKlllllllgK
.KryrmKnKKKKKKlgK.
.KrrrmKnnnK..KgK..
.KrrrmKnnnK..KK...
.KrrrmKnnnK..K....
.KrrmKnnnnK.......
.KrmKnnnnnK.......
.KmKKKKKKKK.......
.KK...............
"""
OLIVE = 3


def art_rows(art, width, height):
    rows = art.strip().split('\n')
    assert len(rows) == height and all(len(r) == width for r in rows), 'art size'
    return rows


# ---------------------------------------------------------------- file formats

def packed_rows(indices, width, height, bpp):
    """Pixel rows bottom-up, packed at bpp bits, each padded to 4 bytes."""
    stride = (width * bpp + 31) // 32 * 4
    out = bytearray()
    for y in range(height - 1, -1, -1):
        row = indices[y]
        if bpp == 8:
            data = bytearray(row)
        elif bpp == 4:
            data = bytearray((row[x] << 4) | (row[x + 1] if x + 1 < width else 0)
                             for x in range(0, width, 2))
        else:  # 1 bpp
            data = bytearray()
            for x in range(0, width, 8):
                byte = 0
                for bit in range(8):
                    if x + bit < width and row[x + bit]:
                        byte |= 0x80 >> bit
                data.append(byte)
        out += data + bytes(stride - len(data))
    return bytes(out)


def info_header(width, height, bpp, image_size, colours, ppm=0):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bpp, 0,
                       image_size, ppm, ppm, colours, colours)


def palette_bytes(colours):
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in colours)


def bmp_file(width, height, bpp, palette, indices, ppm=0):
    pixels = packed_rows(indices, width, height, bpp)
    info = info_header(width, height, bpp, len(pixels), len(palette), ppm)
    table = palette_bytes(palette)
    offset = 14 + len(info) + len(table)
    head = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    return head + info + table + pixels


def ico_image(width, height, palette, indices, transparent):
    """One icon image: 4 bpp colour (XOR) bitmap plus 1 bpp AND mask."""
    xor = packed_rows([[0 if t else c for c, t in zip(row, trow)]
                       for row, trow in zip(indices, transparent)],
                      width, height, 4)
    mask = packed_rows(transparent, width, height, 1)
    # The height in an icon's header counts both bitmaps.
    return (info_header(width, height * 2, 4, len(xor) + len(mask), 0)
            + palette_bytes(palette) + xor + mask)


def ico_file(images):
    """An .ico of (size, image bytes) pairs, smallest first."""
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b'', b''
    for size, image in images:
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 16, 0, 1, 4, len(image), offset + len(data))
        data += image
    return directory + entries + data


# ---------------------------------------------------------------- small pictures

# The icon's motif as shapes on the 32 x 32 grid of the pixel art, each a
# signed distance (negative inside). Shapes listed later lie below; the
# outlined ones get a black edge one output pixel wide inside their own
# edge, so that the silhouette is the same at every size.

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def capsule(ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def distance(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - r
    return distance


def polygon(points):
    edges = list(zip(points, points[1:] + points[:1]))

    def distance(x, y):
        inside, nearest = False, float('inf')
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
            dx, dy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
            nearest = min(nearest, math.hypot(x - ax - t * dx, y - ay - t * dy))
        return -nearest if inside else nearest
    return distance


def mound(cx, bottom, rx, ry):
    """The upper half of an ellipse standing on the row bottom."""
    def distance(x, y):
        arc = (math.hypot((x - cx) / rx, min(0.0, y - bottom) / ry) - 1) * min(rx, ry)
        return max(arc, y - bottom - 0.9)
    return distance


GLOBE = circle(10.4, 10.4, 10.4)
STICK = capsule(28.5, 0.9, 21.0, 15.8, 2.2)
BINDING = polygon([(18.6, 15.4), (23.2, 15.4), (24.0, 16.4), (23.8, 18.0), (18.2, 18.0)])
BRISTLES = polygon([(17.6, 18.0), (23.8, 18.0), (23.5, 30.6), (21.4, 31.2), (15.0, 28.9),
                    (11.0, 26.9), (9.6, 25.6)])
DUST = mound(5.4, 30.6, 5.3, 4.2)
CONTINENTS = [
    polygon([(5.2, 2.2), (12.4, 2.2), (13.2, 4.2), (12.2, 6.4), (10.2, 8.2), (8.0, 9.2),
             (6.8, 8.0), (5.8, 6.0), (5.0, 4.0)]),
    polygon([(15.0, 7.8), (18.4, 8.0), (19.4, 10.2), (19.4, 13.2), (18.2, 15.2), (16.0, 16.4),
             (14.2, 17.2), (13.0, 15.0), (12.2, 11.0), (13.0, 9.0)]),
    polygon([(1.0, 9.8), (4.2, 9.8), (6.2, 11.0), (7.0, 13.2), (6.2, 15.2), (4.2, 16.4),
             (2.2, 15.2), (1.0, 13.2)]),
]
NIGHT_SIDE = circle(9.2, 9.0, 9.4)  # the globe outside it lies in shadow


OUTLINED = (DUST, BRISTLES, BINDING, STICK, GLOBE)


def motif_colour(x, y, edge, each_shape):
    """The letter the motif shows at (x, y), or None outside every shape:
    'K' within edge of the outline's edge, which runs round each shape when
    each_shape is set (large sizes) and round the whole motif otherwise, so
    that small sizes keep the details inside it."""
    def rim(shape):
        if each_shape:
            return shape(x, y) > -edge
        return min(other(x, y) for other in OUTLINED) > -edge
    if DUST(x, y) <= 0:
        if rim(DUST):
            return 'K'
        if y > 29.4:
            return 'd'
        return 'w' if (x - 3.0) ** 2 + (y - 28.2) ** 2 < 2.2 else 's'
    if BRISTLES(x, y) <= 0:
        if rim(BRISTLES):
            return 'K'
        return 'o' if ((x + 0.5 * y) / 2.6) % 1.0 < 0.34 else 'y'
    if BINDING(x, y) <= 0:
        if rim(BINDING):
            return 'K'
        return 'm' if x > 22.8 else 'r'
    if STICK(x, y) <= 0:
        if rim(STICK):
            return 'K'
        # olive on the stick's right half, away from the light
        return 'o' if (x - 28.6) * 15.4 - (y - 0.4) * -7.6 < -4.0 else 'y'
    if GLOBE(x, y) <= 0:
        if rim(GLOBE):
            return 'K'
        if NIGHT_SIDE(x, y) > 0:
            return 'n'
        if any(shape(x, y) <= 0 for shape in CONTINENTS):
            return 'g'
        if math.hypot(x - 5.4, y - 5.2) < 1.1:
            return 'w'
        return 'b'
    return None


def render_icon(size):
    """The motif at size x size, each pixel the colour most of its 4 x 4
    samples show (three in eight enough for the outline, which then stays
    closed), so edges stay hard at every size."""
    unit = 32.0 / size
    each_shape = size >= 40
    indices, transparent = [], []
    for py in range(size):
        row, trow = [], []
        for px in range(size):
            votes = {}
            for sy in Canvas.SAMPLES:
                for sx in Canvas.SAMPLES:
                    letter = motif_colour((px + sx) * unit, (py + sy) * unit, unit, each_shape)
                    votes[letter] = votes.get(letter, 0) + 1
            inside = 16 - votes.get(None, 0)
            if inside >= 8 and votes.get('K', 0) >= 7:
                best = 'K'
            else:
                best = max(votes, key=lambda k: (votes[k], k is not None, k or ''))
            row.append(0 if best is None else ART_COLOURS[best])
            trow.append(1 if best is None else 0)
        indices.append(row)
        transparent.append(trow)
    return indices, transparent


ICON_16_ART = """
....KKKKK...KyK.
..KKbggbbK..KoK.
.KbwgggbbbK.KyK.
KbbgggbbbnKKoK..
KbbbbbbggnKyoK..
KgbbbbggggKoK...
KggbbbgggnKyK...
KggbbbbggKrrK...
.KbbbbbnnKrrmK..
..KnnnnnKyoyoK..
...KKKKKoyoyK...
......KyoyoyK...
.....KyoyoyoK...
.KKK.KyyoyoK....
KwssKKKyyoK.....
KddddK..KKK.....
"""


ICON_SIZES = [16, 20, 24, 28, 32, 40, 48, 56, 64]


def art_image(art, size):
    rows = art_rows(art, size, size)
    indices = [[0 if ch == '.' else ART_COLOURS[ch] for ch in row] for row in rows]
    transparent = [[1 if ch == '.' else 0 for ch in row] for row in rows]
    return indices, transparent


# At 16 pixels an outline drawn from the shapes would swallow the broom:
# that size is hand-drawn, as is the 32 x 32 one; the others come from the
# shapes.
HAND_DRAWN = {16: ICON_16_ART, 32: ICON_ART}


def make_icon():
    images = []
    for size in ICON_SIZES:
        if size in HAND_DRAWN:
            indices, transparent = art_image(HAND_DRAWN[size], size)
        else:
            indices, transparent = render_icon(size)
        images.append((size, ico_image(size, size, WIN16, indices, transparent)))
    return ico_file(images)


def make_close_glyph():
    rows = art_rows(CLOSE_ART, 18, 18)
    assert 'o' not in CLOSE_ART, 'olive is the transparent colour'
    indices = [[OLIVE if ch == '.' else ART_COLOURS[ch] for ch in row] for row in rows]
    return bmp_file(18, 18, 4, WIN16, indices)


# ---------------------------------------------------------------- splash canvas

class Canvas:
    """RGB float picture with anti-aliased filling by 4 x 4 supersampling."""
    SAMPLES = [(i + 0.5) / 4 for i in range(4)]

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.px = [[(0.0, 0.0, 0.0)] * width for _ in range(height)]

    def blend(self, x, y, colour, alpha):
        if 0 <= x < self.width and 0 <= y < self.height and alpha > 0:
            r, g, b = self.px[y][x]
            self.px[y][x] = (r + (colour[0] - r) * alpha,
                             g + (colour[1] - g) * alpha,
                             b + (colour[2] - b) * alpha)

    def fill(self, inside, box, colour, alpha=1.0):
        """Covers every pixel of box (x0, y0, x1, y1) as far as inside(x, y) holds."""
        x0, y0, x1, y1 = (int(math.floor(v)) for v in box)
        for y in range(max(y0, 0), min(y1 + 1, self.height)):
            for x in range(max(x0, 0), min(x1 + 1, self.width)):
                hits = sum(1 for sy in self.SAMPLES for sx in self.SAMPLES
                           if inside(x + sx, y + sy))
                if hits:
                    self.blend(x, y, colour, alpha * hits / 16)

    def rect(self, x0, y0, x1, y1, colour, alpha=1.0):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.blend(x, y, colour, alpha)

    def ellipse(self, cx, cy, rx, ry, angle, colour, alpha=1.0):
        c, s = math.cos(angle), math.sin(angle)

        def inside(x, y):
            u, v = (x - cx) * c + (y - cy) * s, -(x - cx) * s + (y - cy) * c
            return (u / rx) ** 2 + (v / ry) ** 2 <= 1
        r = max(rx, ry)
        self.fill(inside, (cx - r, cy - r, cx + r, cy + r), colour, alpha)

    def polygon(self, points, colour, alpha=1.0):
        def inside(x, y):
            result = False
            for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
                if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                    result = not result
            return result
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        self.fill(inside, (min(xs), min(ys), max(xs), max(ys)), colour, alpha)

    def stroke(self, ax, ay, bx, by, radius, colour, alpha=1.0):
        """Line with round ends."""
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
            return (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= radius * radius
        self.fill(inside, (min(ax, bx) - radius, min(ay, by) - radius,
                           max(ax, bx) + radius, max(ay, by) + radius), colour, alpha)

    def rgb(self):
        return [[tuple(min(255, max(0, int(v + 0.5))) for v in p) for p in row]
                for row in self.px]


# ---------------------------------------------------------------- block font

# 5 x 7 letters on a 9-row cell (two rows for descenders); '#' is ink.
FONT = {
    'S': ['.###.', '#...#', '#....', '.###.', '....#', '#...#', '.###.'],
    'V': ['#...#', '#...#', '#...#', '#...#', '#...#', '.#.#.', '..#..'],
    'a': ['.....', '.....', '.###.', '....#', '.####', '#...#', '.####'],
    'c': ['.....', '.....', '.###.', '#....', '#....', '#...#', '.###.'],
    'e': ['.....', '.....', '.###.', '#...#', '#####', '#....', '.###.'],
    'f': ['..##.', '.#..#', '.#...', '###..', '.#...', '.#...', '.#...'],
    'h': ['#....', '#....', '#.##.', '##..#', '#...#', '#...#', '#...#'],
    'i': ['.#.', '...', '##.', '.#.', '.#.', '.#.', '###'],
    'n': ['.....', '.....', '#.##.', '##..#', '#...#', '#...#', '#...#'],
    'o': ['.....', '.....', '.###.', '#...#', '#...#', '#...#', '.###.'],
    'p': ['.....', '.....', '####.', '#...#', '#...#', '#...#', '####.', '#....', '#....'],
    'r': ['.....', '.....', '#.##.', '##..#', '#....', '#....', '#....'],
    's': ['.....', '.....', '.####', '#....', '.###.', '....#', '####.'],
    'u': ['.....', '.....', '#...#', '#...#', '#...#', '#..##', '.##.#'],
    'w': ['.....', '.....', '#...#', '#...#', '#.#.#', '#.#.#', '.#.#.'],
    '0': ['.###.', '#...#', '#..##', '#.#.#', '##..#', '#...#', '.###.'],
    '1': ['..#..', '.##..', '..#..', '..#..', '..#..', '..#..', '.###.'],
    '.': ['..', '..', '..', '..', '..', '##', '##'],
    ' ': ['...'] * 7,
}
FONT_HEIGHT = 9


def text_width(text, scale):
    return (sum(len(FONT[ch][0]) for ch in text) + len(text) - 1) * scale


def text_cells(text, scale, left, top):
    """Yields (x, y, row) of every ink block of text; row counts from the top."""
    x = left
    for ch in text:
        glyph = FONT[ch]
        for row, line in enumerate(glyph):
            for col, cell in enumerate(line):
                if cell == '#':
                    yield x + col * scale, top + row * scale, row
        x += (len(glyph[0]) + 1) * scale


def draw_text(canvas, text, scale, top, colours, shadow):
    """Centred block text; colours runs from the first to the last cell row."""
    left = (canvas.width - text_width(text, scale)) // 2
    offset = max(1, scale // 2)
    for x, y, _ in text_cells(text, scale, left, top):
        canvas.rect(x + offset, y + offset, x + scale + offset, y + scale + offset,
                    shadow, 0.45)
    top_colour, bottom_colour = colours
    for x, y, row in text_cells(text, scale, left, top):
        colour = mix(top_colour, bottom_colour, row / (FONT_HEIGHT - 1))
        canvas.rect(x, y, x + scale, y + scale, colour)


def mix(a, b, t):
    return tuple(p + (q - p) * t for p, q in zip(a, b))


# ---------------------------------------------------------------- splash motif

def draw_background(canvas):
    stops = [(0.0, (16, 36, 88)), (0.45, (58, 108, 172)), (1.0, (196, 220, 240))]
    for y in range(canvas.height):
        t = y / (canvas.height - 1)
        for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
            if t0 <= t <= t1:
                colour = mix(c0, c1, (t - t0) / (t1 - t0))
                break
        canvas.px[y] = [colour] * canvas.width


def draw_frame(canvas):
    w, h = canvas.width, canvas.height
    canvas.rect(0, 0, w, 1, (255, 255, 255), 0.55)
    canvas.rect(0, 1, 1, h, (255, 255, 255), 0.55)
    canvas.rect(0, h - 1, w, h, (0, 0, 0), 0.55)
    canvas.rect(w - 1, 0, w, h - 1, (0, 0, 0), 0.55)
    canvas.rect(4, 4, w - 4, 5, (255, 255, 255), 0.18)
    canvas.rect(4, h - 5, w - 4, h - 4, (255, 255, 255), 0.18)
    canvas.rect(4, 5, 5, h - 5, (255, 255, 255), 0.18)
    canvas.rect(w - 5, 5, w - 4, h - 5, (255, 255, 255), 0.18)


def footprint(canvas, x, y, angle, left_foot, alpha):
    """One shoe print centred at (x, y), toes pointing along angle."""
    ink = (14, 26, 58)
    dx, dy = math.cos(angle), math.sin(angle)
    side = -1 if left_foot else 1
    # Sole slightly turned out, heel a separate pad behind it.
    turn = angle + side * 0.15
    canvas.ellipse(x + dx * 5, y + dy * 5, 9.0, 5.4, turn, ink, alpha)
    canvas.ellipse(x - dx * 9.5, y - dy * 9.5, 4.6, 4.2, angle, ink, alpha)


def draw_trail(canvas):
    """Prints walking up and away; the nearer ones are already half swept."""
    start, end = (104, 292), (196, 132)
    count = 7
    angle = math.atan2(end[1] - start[1], end[0] - start[0])
    nx, ny = -math.sin(angle), math.cos(angle)
    for i in range(count):
        t = i / (count - 1)
        x, y = start[0] + (end[0] - start[0]) * t, start[1] + (end[1] - start[1]) * t
        side = 1 if i % 2 else -1
        alpha = 0.12 + 0.6 * t
        footprint(canvas, x + nx * 10 * side, y + ny * 10 * side, angle, i % 2 == 0, alpha)


def draw_broom(canvas):
    # Handle leaning to the upper left, head sweeping to the right.
    top, bottom = (36, 112), (84, 250)
    length = math.hypot(bottom[0] - top[0], bottom[1] - top[1])
    ux, uy = (bottom[0] - top[0]) / length, (bottom[1] - top[1]) / length
    px, py = -uy, ux

    def at(s, t):
        return (bottom[0] + ux * s + px * t, bottom[1] + uy * s + py * t)

    # Shadow on the floor.
    sx, sy = at(52, 0)
    canvas.ellipse(sx + 6, sy - 2, 40, 7, 0.0, (10, 20, 50), 0.22)
    # Handle: dark wood with a light edge.
    canvas.stroke(top[0], top[1], bottom[0], bottom[1], 4.2, (92, 52, 24))
    canvas.stroke(top[0] - px * 1.6, top[1] - py * 1.6,
                  bottom[0] - px * 1.6, bottom[1] - py * 1.6, 1.4, (190, 130, 72))
    canvas.ellipse(top[0], top[1], 4.2, 4.2, 0.0, (120, 70, 34))
    # Head: straw fanning out, tied with two red bands.
    head = [at(4, -11), at(4, 11), at(56, 30), at(56, -30)]
    canvas.polygon(head, (196, 150, 60))
    canvas.polygon([at(4, -11), at(4, 0), at(56, 0), at(56, -30)], (226, 188, 96), 0.8)
    for k in range(-6, 7):
        a, b = at(8, k * 1.6), at(55, k * 4.6)
        canvas.stroke(a[0], a[1], b[0], b[1], 0.55, (136, 96, 34), 0.75)
    # Ragged ends of the straw.
    for k in range(-12, 13):
        a = at(55, k * 2.4)
        canvas.stroke(a[0], a[1], a[0] + ux * 3, a[1] + uy * 3, 0.7, (196, 150, 60))
    canvas.polygon([at(-2, -9), at(-2, 9), at(8, 12), at(8, -12)], (168, 34, 28))
    canvas.polygon([at(0, -9), at(0, 9), at(2, 9.6), at(2, -9.6)], (232, 80, 60))
    canvas.polygon([at(5, -11), at(5, 11), at(7, 11.6), at(7, -11.6)], (232, 80, 60))


def draw_dust(canvas):
    """Puffs the broom throws up to its right, and three sweep strokes."""
    puffs = [(128, 300, 7.5, 0.55), (142, 292, 5.5, 0.45), (138, 308, 4.5, 0.4),
             (153, 285, 3.5, 0.35), (150, 301, 3.0, 0.3), (162, 280, 2.2, 0.25)]
    for x, y, r, alpha in puffs:
        canvas.ellipse(x, y, r, r * 0.8, 0.0, (250, 248, 236), alpha)
    for i, radius in enumerate((64, 74, 84)):
        points = [(38 + radius * math.cos(a), 218 + radius * math.sin(a))
                  for a in [0.35 + 0.05 * j for j in range(13)]]
        for (ax, ay), (bx, by) in zip(points, points[1:]):
            canvas.stroke(ax, ay, bx, by, 1.1, (255, 255, 255), 0.4 - 0.08 * i)


def draw_splash():
    canvas = Canvas(230, 365)
    draw_background(canvas)
    draw_frame(canvas)
    draw_text(canvas, 'Spurwisch', 4, 24, ((255, 255, 255), (255, 226, 150)), (0, 0, 24))
    canvas.rect(40, 76, 190, 78, (255, 255, 255), 0.35)
    draw_text(canvas, 'Version 1.0', 2, 88, ((226, 236, 255), (190, 210, 240)), (0, 0, 24))
    draw_trail(canvas)
    draw_dust(canvas)
    draw_broom(canvas)
    draw_text(canvas, 'freeware', 2, 334, ((24, 48, 104), (16, 34, 80)), (255, 255, 255))
    return canvas.rgb()


# ---------------------------------------------------------------- 256 colours

def median_cut(histogram, size):
    """Palette of at most size colours, splitting the most populous wide box."""
    boxes = [sorted(histogram.items())]
    while len(boxes) < size:
        best, best_score = None, 0
        for i, box in enumerate(boxes):
            ranges = [max(c[k] for c, _ in box) - min(c[k] for c, _ in box) for k in range(3)]
            score = sum(n for _, n in box) * max(ranges)
            if len(box) > 1 and score > best_score:
                best, best_score, channel = i, score, ranges.index(max(ranges))
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda e: (e[0][channel], e[0]))
        half, running, cut = sum(n for _, n in box) / 2, 0, 1
        for cut in range(1, len(box)):
            running += box[cut - 1][1]
            if running >= half:
                break
        boxes += [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(tuple(int(sum(c[k] * n for c, n in box) / total + 0.5)
                             for k in range(3)))
    return palette


def nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(palette[i], colour)))


def quantise(rgb):
    histogram = {}
    for row in rgb:
        for p in row:
            histogram[p] = histogram.get(p, 0) + 1
    palette = median_cut(histogram, 256)
    lookup = {c: nearest(palette, c) for c in sorted(histogram)}
    palette += [(0, 0, 0)] * (256 - len(palette))
    return palette, [[lookup[p] for p in row] for row in rgb]


def make_splash():
    palette, indices = quantise(draw_splash())
    data = bmp_file(230, 365, 8, palette, indices, ppm=2835)
    assert len(data) == 85758, len(data)
    return data


# ---------------------------------------------------------------- main

def write(name, data):
    path = os.path.join(HERE, name)
    with open(path, 'wb') as f:
        f.write(data)
    print('wrote %s (%d bytes)' % (path, len(data)))


def main():
    write('mainicon.ico', make_icon())
    write('close.bmp', make_close_glyph())
    write('splash.bmp', make_splash())


if __name__ == '__main__':
    main()
