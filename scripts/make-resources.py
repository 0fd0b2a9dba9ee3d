#!/usr/bin/env python3
"""Draws the program's pictures and writes them to resources/<number>.png (and icon.png, and
the installed icon at the icon-theme sizes under icons/<size>/zelta-rct.png).

Every picture is drawn here from simple shapes, so the images can be regenerated and changed
in one place. Standard library only. Usage: scripts/make-resources.py [output folder]
"""

import math
import os
import struct
import sys
import zlib

# The windows' palette.
TITLE_TEXT = (0x44, 0x7A, 0xA1)
FRAME = (0x76, 0x8D, 0x9B)
GREY_LINE = (0x88, 0x88, 0x88)
MENU_GOLD = (0xFF, 0xC7, 0x00)
MASK = (0xFF, 0x00, 0xFF)


class Picture:
    """An RGBA picture with straight (not premultiplied) alpha, drawn with anti-aliased shapes."""

    def __init__(self, width, height, fill=(0, 0, 0, 0)):
        self.width = width
        self.height = height
        self.px = [list(fill) for _ in range(width * height)]

    def blend(self, x, y, colour, coverage):
        if coverage <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        r, g, b = colour[:3]
        a = (colour[3] if len(colour) > 3 else 255) / 255.0 * min(coverage, 1.0)
        d = self.px[y * self.width + x]
        da = d[3] / 255.0
        oa = a + da * (1 - a)
        if oa <= 0:
            self.px[y * self.width + x] = [0, 0, 0, 0]
            return
        out = [(c * a + dc * da * (1 - a)) / oa for c, dc in zip((r, g, b), d[:3])]
        self.px[y * self.width + x] = [int(round(v)) for v in out] + [int(round(oa * 255))]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            c = list(colour) + [255] * (4 - len(colour))
            self.px[y * self.width + x] = c

    def shape(self, inside, colour, box=None, samples=4):
        """Blends colour where inside(x, y) holds, sampled samples x samples per pixel."""
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        step = 1.0 / samples
        for y in range(max(0, int(y0)), min(self.height, int(math.ceil(y1)))):
            for x in range(max(0, int(x0)), min(self.width, int(math.ceil(x1)))):
                hits = 0
                for sy in range(samples):
                    for sx in range(samples):
                        if inside(x + (sx + 0.5) * step, y + (sy + 0.5) * step):
                            hits += 1
                if hits:
                    self.blend(x, y, colour, hits / (samples * samples))

    def fill_rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.set(x, y, colour)

    def gradient_v(self, x0, y0, x1, y1, top, bottom):
        h = max(1, y1 - y0 - 1)
        for y in range(y0, y1):
            t = (y - y0) / h
            c = tuple(int(round(a + (b - a) * t)) for a, b in zip(top, bottom))
            self.fill_rect(x0, y, x1, y + 1, c)

    def png(self):
        raw = bytearray()
        for y in range(self.height):
            raw.append(0)
            for x in range(self.width):
                raw.extend(bytes(self.px[y * self.width + x]))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def in_round_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x >= x1 or y < y0 or y >= y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def near_segment(ax, ay, bx, by, half_width):
    def inside(x, y):
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy
        t = 0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        px, py = ax + t * dx, ay + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= half_width * half_width
    return inside


def in_polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            (xa, ya), (xb, yb) = points[i], points[(i + 1) % n]
            if (ya > y) != (yb > y) and x < (xb - xa) * (y - ya) / (yb - ya) + xa:
                hit = not hit
        return hit
    return inside


def in_ring(cx, cy, r_inner, r_outer, a0, a1):
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if d < r_inner or d > r_outer:
            return False
        a = math.degrees(math.atan2(cy - y, x - cx))
        return a0 <= a <= a1
    return inside


def framed(pic, x0, y0, x1, y1, radius, border, fill_top, fill_bottom):
    """A rounded, one-pixel-bordered box with a vertical gradient inside."""
    pic.shape(in_round_rect(x0, y0, x1, y1, radius), border)
    inner = Picture(pic.width, pic.height)
    inner.gradient_v(0, y0 + 1, pic.width, y1 - 1, fill_top, fill_bottom)
    clip = in_round_rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, max(0, radius - 1))
    for y in range(pic.height):
        for x in range(pic.width):
            if clip(x + 0.5, y + 0.5):
                pic.set(x, y, inner.px[y * pic.width + x][:3])


# --- caption buttons ---------------------------------------------------------------------

def caption_button(width, height, glyph, state, danger):
    pic = Picture(width, height)
    if state != "normal":
        if danger:
            colour = (0xE0, 0x4B, 0x4B) if state == "hot" else (0xB3, 0x2E, 0x2E)
        else:
            colour = (0xB4, 0xD5, 0xEE) if state == "hot" else (0x8E, 0xBB, 0xDF)
        pic.shape(in_round_rect(0, -3, width, height, 3), colour)
    ink = (0xFF, 0xFF, 0xFF) if state != "normal" and danger else TITLE_TEXT
    cx, cy = width / 2.0, height / 2.0
    if glyph == "close":
        s = 3.6
        pic.shape(near_segment(cx - s, cy - s, cx + s, cy + s, 0.8), ink)
        pic.shape(near_segment(cx - s, cy + s, cx + s, cy - s, 0.8), ink)
    else:
        pic.shape(lambda x, y: cx - 4.5 <= x < cx + 4.5 and cy + 2 <= y < cy + 3.6, ink)
    return pic


# --- scroll bars ---------------------------------------------------------------------------

SCROLL_STATES = {
    # border, fill top, fill bottom, arrow
    "normal": ((0xA9, 0xBD, 0xCB), (0xF3, 0xF8, 0xFC), (0xDC, 0xE9, 0xF3), (0x60, 0x7D, 0x92)),
    "hot": ((0x6F, 0x9C, 0xC0), (0xEA, 0xF5, 0xFD), (0xC6, 0xE2, 0xF6), (0x2F, 0x5F, 0x85)),
    "pushed": ((0x4B, 0x7A, 0xA3), (0xC3, 0xDF, 0xF3), (0xA0, 0xCA, 0xEB), (0x1F, 0x45, 0x66)),
    "disabled": ((0xCC, 0xCC, 0xCC), (0xF4, 0xF4, 0xF4), (0xEC, 0xEC, 0xEC), (0xBB, 0xBB, 0xBB)),
}
STATE_ORDER = ["normal", "hot", "pushed", "disabled"]


def scroll_cell(sheet, x, y, part, state, vertical=True):
    border, top, bottom, ink = SCROLL_STATES[state]
    cell = Picture(16, 16)
    if part == "bk":
        track = (0xEE, 0xF3, 0xF7) if state != "disabled" else (0xF4, 0xF4, 0xF4)
        edge = (0xD9, 0xE3, 0xEA) if state != "disabled" else (0xE2, 0xE2, 0xE2)
        cell.fill_rect(0, 0, 16, 16, edge)
        cell.fill_rect(1, 1, 15, 15, track)
    elif part == "rail":
        # The grip drawn across the middle of the thumb.
        for i in range(3):
            if vertical:
                cell.fill_rect(4, 5 + 2 * i, 12, 6 + 2 * i, ink)
            else:
                cell.fill_rect(5 + 2 * i, 4, 6 + 2 * i, 12, ink)
    else:
        if vertical:
            framed(cell, 1, 0, 15, 16, 2, border, top, bottom)
        else:
            framed(cell, 0, 1, 16, 15, 2, border, top, bottom)
        if part in ("button1", "button2"):
            up = part == "button1"
            if vertical:
                pts = [(4.5, 10), (11.5, 10), (8, 6)] if up else [(4.5, 6), (11.5, 6), (8, 10)]
            else:
                pts = [(10, 4.5), (10, 11.5), (6, 8)] if up else [(6, 4.5), (6, 11.5), (10, 8)]
            cell.shape(in_polygon(pts), ink)
    # Anti-aliased edges against the mask colour would leave pink fringes: keep every pixel
    # either the mask or fully opaque, decided by its coverage.
    for cy in range(16):
        for cx in range(16):
            p = cell.px[cy * 16 + cx]
            sheet.set(x + cx, y + cy, p[:3] if p[3] >= 128 else MASK)


def scroll_sheet():
    sheet = Picture(70, 177, MASK + (255,))
    parts = ["button1", "button2", "thumb", "rail", "bk"]
    # Rows 90.. hold the vertical bar; rows 0.. the same parts for a horizontal bar.
    for row, part in enumerate(parts):
        for col, state in enumerate(STATE_ORDER):
            scroll_cell(sheet, col * 18, 90 + row * 18, part, state, vertical=True)
            scroll_cell(sheet, col * 18, row * 18, part, state, vertical=False)
    return sheet


# --- buttons, edits, lists, menus --------------------------------------------------------

BUTTON_LOOKS = {
    "normal": ((0x7D, 0xA2, 0xCE), (0xF4, 0xF9, 0xFE), (0xD3, 0xE5, 0xF5)),
    "hot": ((0x3C, 0x7F, 0xB1), (0xEA, 0xF6, 0xFD), (0xBC, 0xDF, 0xF7)),
    "pushed": ((0x2C, 0x62, 0x8B), (0xC2, 0xE4, 0xF6), (0x96, 0xCF, 0xEE)),
    "disabled": ((0xAD, 0xB2, 0xB5), (0xF4, 0xF4, 0xF4), (0xEA, 0xEA, 0xEA)),
}


def command_button(height, state):
    pic = Picture(5, height)
    border, top, bottom = BUTTON_LOOKS[state]
    framed(pic, 0, 0, 5, height, 2, border, top, bottom)
    return pic


def edit_box(height, disabled):
    pic = Picture(5, height)
    border = (0xC9, 0xCC, 0xD1) if disabled else (0xAB, 0xAD, 0xB3)
    fill = (0xF4, 0xF4, 0xF4) if disabled else (0xFF, 0xFF, 0xFF)
    pic.fill_rect(0, 0, 5, height, border)
    pic.fill_rect(1, 1, 4, height - 1, fill)
    if not disabled:
        pic.fill_rect(1, 1, 4, 2, (0xE3, 0xE9, 0xEF))  # a soft inner shadow on top
    return pic


def combo_box(state):
    pic = Picture(24, 18)
    looks = {
        "normal": ((0xAB, 0xAD, 0xB3), (0xFF, 0xFF, 0xFF), (0xF2, 0xF7, 0xFC), (0xD9, 0xE8, 0xF5),
                   TITLE_TEXT),
        "hot": ((0x7E, 0xB4, 0xEA), (0xFF, 0xFF, 0xFF), (0xE6, 0xF3, 0xFD), (0xBC, 0xDF, 0xF7),
                (0x2F, 0x5F, 0x85)),
        "disabled": ((0xC9, 0xCC, 0xD1), (0xF4, 0xF4, 0xF4), (0xF0, 0xF0, 0xF0), (0xE6, 0xE6, 0xE6),
                     (0xB0, 0xB0, 0xB0)),
    }
    border, field, top, bottom, ink = looks[state]
    pic.fill_rect(0, 0, 24, 18, border)
    pic.fill_rect(1, 1, 23, 17, field)
    # The drop button fills the right 21 pixels (the fixed right part of the nine-patch).
    pic.gradient_v(4, 1, 23, 17, top, bottom)
    pic.fill_rect(3, 1, 4, 17, border if state != "normal" else (0xD5, 0xDD, 0xE6))
    pic.shape(in_polygon([(9.5, 7), (17.5, 7), (13.5, 11.5)]), ink)
    return pic


def menu_hot():
    pic = Picture(9, 20)
    framed(pic, 0, 0, 9, 20, 3, MENU_GOLD, (0xFF, 0xF8, 0xDC), (0xFF, 0xEB, 0xA8))
    return pic


def menu_open():
    pic = Picture(5, 20)
    framed(pic, 0, 0, 5, 20, 2, MENU_GOLD, (0xFF, 0xFF, 0xFF), (0xEE, 0xEE, 0xEE))
    return pic


# --- icon and logo -----------------------------------------------------------------------

def radio_icon(size_w, size_h):
    """A radio modem with its antenna and two waves, scaled to the requested size."""
    pic = Picture(size_w, size_h)
    sx, sy = size_w / 21.0, size_h / 20.0
    body = (0x3A, 0x78, 0xB0)
    dark = (0x24, 0x4F, 0x78)
    pic.shape(in_round_rect(2 * sx, 10 * sy, 19 * sx, 19 * sy, 2 * sx), dark)
    pic.shape(in_round_rect(3 * sx, 11 * sy, 18 * sx, 18 * sy, 1.5 * sx), body)
    for i in range(3):
        pic.shape(in_round_rect((5 + 3 * i) * sx, 13.5 * sy, (7 + 3 * i) * sx, 15.5 * sy, 0.6 * sx),
                  (0x9E, 0xE0, 0x6A))
    pic.shape(in_round_rect(14 * sx, 13 * sy, 16.5 * sx, 16 * sy, 0.8 * sx), (0xD1, 0xE8, 0xF5))
    pic.shape(near_segment(15.5 * sx, 10 * sy, 15.5 * sx, 3 * sy, 0.7 * sx), dark)
    pic.shape(lambda x, y: math.hypot(x - 15.5 * sx, y - 2.6 * sy) <= 1.2 * sx, (0xE0, 0x4B, 0x4B))
    for r in (3.2, 5.4):
        pic.shape(in_ring(15.5 * sx, 3 * sy, (r - 0.55) * sx, (r + 0.55) * sx, 110, 170), TITLE_TEXT)
    return pic


# A 5 x 7 upper-case font for the logo's lettering.
LETTERS = {
    "Z": ["11111", "00001", "00010", "00100", "01000", "10000", "11111"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "C": ["01111", "10000", "10000", "10000", "10000", "10000", "01111"],
    " ": ["00000"] * 7,
}


def lettering(pic, text, x, y, scale, colour):
    for ch in text:
        rows = LETTERS[ch]
        for ry, row in enumerate(rows):
            for rx, bit in enumerate(row):
                if bit == "1":
                    pic.shape(in_round_rect(x + rx * scale, y + ry * scale, x + (rx + 1) * scale,
                                            y + (ry + 1) * scale, scale * 0.3), colour, samples=3)
        x += 6 * scale
    return x


def logo():
    pic = Picture(123, 24)
    # Three waves leaving a mast on the left, then the name.
    pic.shape(near_segment(9, 21, 9, 8, 1.1), FRAME)
    pic.shape(lambda x, y: math.hypot(x - 9, y - 7) <= 2.0, (0xE0, 0x4B, 0x4B))
    for r in (4.5, 7.5):
        pic.shape(in_ring(9, 7, r - 0.7, r + 0.7, -50, 50), TITLE_TEXT)
        pic.shape(in_ring(9, 7, r - 0.7, r + 0.7, 130, 230), TITLE_TEXT)
    x = lettering(pic, "ZELTA", 22, 5, 2, TITLE_TEXT)
    lettering(pic, "RCT", x + 4, 9, 1.4, FRAME)
    return pic


def pictures():
    out = {}
    for number, state in ((144, "normal"), (145, "hot"), (146, "pushed")):
        out[number] = caption_button(45, 17, "close", state, True)
    for number, state in ((185, "normal"), (186, "hot"), (187, "pushed")):
        out[number] = caption_button(45, 17, "close", state, True)
    for number, state in ((150, "normal"), (151, "hot"), (152, "pushed")):
        out[number] = caption_button(26, 17, "minimize", state, False)
    out[159] = scroll_sheet()
    out[160] = command_button(29, "normal")
    out[161] = command_button(31, "hot")
    out[162] = command_button(30, "pushed")
    out[169] = command_button(29, "disabled")
    out[164] = edit_box(11, False)
    out[170] = edit_box(9, True)
    out[174] = radio_icon(21, 20)
    out[175] = menu_hot()
    out[179] = logo()
    out[180] = combo_box("normal")
    out[181] = combo_box("hot")
    out[183] = combo_box("disabled")
    out[184] = menu_open()
    out["icon"] = radio_icon(48, 48)
    return out


# The sizes of the icon theme the installed program's icon comes in.
ICON_THEME_SIZES = (16, 32, 48, 64, 128, 256)


def theme_icons():
    """The program icon drawn afresh at each icon-theme size, keyed by its path."""
    return {os.path.join("icons", str(size), "zelta-rct.png"): radio_icon(size, size)
            for size in ICON_THEME_SIZES}


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    os.makedirs(folder, exist_ok=True)
    for name, pic in pictures().items():
        with open(os.path.join(folder, f"{name}.png"), "wb") as f:
            f.write(pic.png())
    for path, pic in theme_icons().items():
        os.makedirs(os.path.dirname(os.path.join(folder, path)), exist_ok=True)
        with open(os.path.join(folder, path), "wb") as f:
            f.write(pic.png())


if __name__ == "__main__":
    main()
