#!/usr/bin/env python3
"""Writes the drive pictures (4-bit BMP) at 16, 20, 24, 28 and 32 pixels, one
size for each display scale from 100% to 200%; the link's hand cursor (CUR) at
32 and 48 pixels; and the program icon (ICO): 16 x 16 in 16 colours, 32 x 32 in
2, 16 and 256 colours, 48 x 48 in 256 colours, 20, 24, 40 and 64 in true colour
and 256 x 256 as PNG.

The pictures are pixel art in the standard 16-colour palette, drawn without
smoothing so that they stay crisp. Each size is drawn here, square and whole,
so the program never has to stretch one.
Output is byte-for-byte deterministic; run it from anywhere:
    python3 resources/make_images.py
"""

import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# One letter per palette entry. '.' is white, the transparent colour of the
# bitmaps; a space in an overlay leaves the pixel below unchanged.
INK = {
    "k": 0, "R": 1, "d": 2, "o": 3, "n": 4, "p": 5, "t": 6, "s": 7,
    "g": 8, "r": 9, "G": 10, "y": 11, "b": 12, "m": 13, "c": 14, ".": 15,
}
WHITE = 15
CLEAR = -1  # icon pixels outside the picture (AND mask set)

BMP_SIZE = 17
# The sizes the program picks from, for 100%, 125%, 150%, 175% and 200%.
PICTURE_SIZES = (16, 20, 24, 28, 32)


def canvas(size, fill):
    return [[fill] * size for _ in range(size)]


def paint(img, rows, top=0, left=0):
    for dy, row in enumerate(rows):
        for dx, ch in enumerate(row):
            if ch != " ":
                img[top + dy][left + dx] = INK[ch]


def fill_rect(img, left, top, right, bottom, colour):
    """Fills the inclusive rectangle."""
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            img[y][x] = colour


def frame_rect(img, left, top, right, bottom, colour):
    for x in range(left, right + 1):
        img[top][x] = img[bottom][x] = colour
    for y in range(top, bottom + 1):
        img[y][left] = img[y][right] = colour


# A drive seen from the front and a little from above, 17 x 8 pixels. Its
# front face (rows 3 to 6, columns 1 to 13) is left plain for each kind.
DRIVE_BOX = [
    "  kkkkkkkkkkkkkkk",
    " ksssssssssssssgk",
    "kkkkkkkkkkkkkkkgk",
    "kssssssssssssskgk",
    "kssssssssssssskgk",
    "kssssssssssssskgk",
    "kssssssssssssskk ",
    "kkkkkkkkkkkkkkk  ",
]


def drive(top, face, media=(), media_top=0):
    """A drive at row top with face drawn on its front and media behind it.

    Everything stays within rows 1 to 15: the button that shows the picture
    may be a little lower than it.
    """
    img = canvas(BMP_SIZE, WHITE)
    paint(img, media, media_top)
    paint(img, DRIVE_BOX, top)
    paint(img, face, top + 3, 1)
    return img


def cdrom():
    # The disc stands in the drive; its upper half shows.
    return drive(8, [
        "             ",
        " kkkkkkkkkk  ",
        "          GG ",
        "             ",
    ], [
        "......kkkkk......",
        "....kkmmssykk....",
        "...kmmccsssyyk...",
        "..kmcccsssssyyk..",
        "..kmccsssssssyk..",
        ".kmccsskkksssssk.",
        ".kmcssskgksssssk.",
        ".kssssskkksssssk.",
    ], 1)


def floppy():
    return drive(8, [
        "             ",
        "  kkkkkkkkk  ",
        "          gg ",
        "             ",
    ], [
        "....kkkkkkkkk....",
        "....knsssssnnk...",
        "....knssknsnnnk..",
        "....knsssssnnnk..",
        "....knnnnnnnnnk..",
        "....knyyyyyyynk..",
        "....knygggggynk..",
        "....knyyyyyyynk..",
    ], 1)


def fixed():
    # Deeper than the other drives: a hard disk is a box of its own.
    img = canvas(BMP_SIZE, WHITE)
    paint(img, [
        "....kkkkkkkkkkkkk",
        "...ksssssssssssgk",
        "..ksssssssssssggk",
        ".kkkkkkkkkkkkkggk",
        ".ksssssssssssskgk",
        ".ksssssssssssskgk",
        ".ksgggggggggsskgk",
        ".ksssssssssssskgk",
        ".ksssssssssGGskk.",
        ".ksssssssssssskk.",
        ".kkkkkkkkkkkkkk..",
    ], 3)
    return img


def network():
    img = drive(1, [
        "             ",
        " ggggggg  GG ",
        "             ",
        "             ",
    ])
    # The cable runs down from the drive into the network line.
    paint(img, [
        "......kk.........",
        "......kk.........",
        ".....kttk........",
        "kkkkkkttkkkkkkkkk",
        "ggggggttggggggggg",
        ".....kttk........",
    ], 9)
    return img


def menu_button():
    img = canvas(BMP_SIZE, WHITE)
    # The bar with its buttons, and the arrow of the menu that drops from it.
    paint(img, [
        "kkkkkkkkkkkkkkkkk",
        "knnnnnnnnnnnnnnnk",
        "knsssnsssnsssnnnk",
        "knsgsnsgsnsgsnnnk",
        "knsssnsssnsssnnnk",
        "knnnnnnnnnnnnnnnk",
        "kkkkkkkkkkkkkkkkk",
        ".................",
        ".....kkkkkkk.....",
        "......kkkkk......",
        ".......kkk.......",
        "........k........",
    ], 2)
    return img


# The program icon: the bar with the menu button and two drive buttons.
ICON_16 = [
    "kkkkkkkkkkkkkkkk",
    "nnnnnnnnnnnnnnnn",
    "nssssnssssnssssn",
    "nssssnkkkknkkkkn",
    "nkkkknkgGknkgGkn",
    "nskksnkkkknkkkkn",
    "nssssnssssnssssn",
    "nssssnssssnssssn",
    "nnnnnnnnnnnnnnnn",
    "kkkkkkkkkkkkkkkk",
]


def icon_16():
    img = canvas(16, CLEAR)
    paint(img, ICON_16, 3)
    return img


def icon_32():
    img = canvas(32, CLEAR)
    frame_rect(img, 0, 7, 31, 24, INK["k"])
    fill_rect(img, 1, 8, 30, 23, INK["n"])
    for i, left in enumerate((2, 12, 22)):
        right, top, bottom = left + 8, 9, 22
        fill_rect(img, left, top, right, bottom, INK["s"])
        frame_rect(img, left, top, right, bottom, INK["k"])
        fill_rect(img, left, top, right - 1, top, WHITE)
        fill_rect(img, left, top, left, bottom - 1, WHITE)
        fill_rect(img, left + 1, bottom - 1, right - 1, bottom - 1, INK["g"])
        fill_rect(img, right - 1, top + 1, right - 1, bottom - 1, INK["g"])
        if i == 0:
            paint(img, ["kkkkkk", " kkkk ", "  kk  "], 15, left + 1)
        else:
            paint(img, ["kkkkkk", "kssssk", "kgggGk", "kkkkkk"], 14, left + 1)
    return img


def pack_4bit_rows(img, transparent_as=None):
    """Bottom-up rows of 4-bit pixels, each padded to a multiple of 4 bytes."""
    return pack_rows(img, 4, transparent_as)


def pack_rows(img, bits, transparent_as=0):
    """Bottom-up rows of palette indices at 1, 4 or 8 bits a pixel, each row
    padded to a multiple of 4 bytes."""
    per_byte = 8 // bits
    out = bytearray()
    for row in reversed(img):
        pixels = [transparent_as if p == CLEAR else p for p in row]
        pixels += [0] * (-len(pixels) % per_byte)
        line = bytearray()
        for i in range(0, len(pixels), per_byte):
            byte = 0
            for p in pixels[i:i + per_byte]:
                byte = (byte << bits) | p
            line.append(byte)
        out += line + b"\0" * (-len(line) % 4)
    return bytes(out)


def pack_mask_rows(img):
    out = bytearray()
    for row in reversed(img):
        line = bytearray((len(row) + 7) // 8)
        for x, p in enumerate(row):
            if p == CLEAR:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line + b"\0" * (-len(line) % 4)
    return bytes(out)


def palette_bytes(palette=PALETTE):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)


def info_header(width, height, image_size, bits=4, colours=16):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, colours, colours)


def bmp_bytes(img):
    size = len(img)
    bits = pack_4bit_rows(img)
    offset = 14 + 40 + 64
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return header + info_header(size, size, len(bits)) + palette_bytes() + bits


# ---- The richer icon images: 256 colours at 32 and 48, and monochrome ----
#
# These are drawn in true colour (r, g, b) and reduced to an indexed image
# afterwards, so the same drawing serves every size.

MONO_PALETTE = [(0, 0, 0), (0xFF, 0xFF, 0xFF)]


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def icon_rgb(size):
    """The bar with the menu button and two drive buttons, shaded."""
    img = canvas(size, CLEAR)
    top, bottom = round(size * 7 / 32), size - 1 - round(size * 7 / 32)
    navy_light, navy_dark = (0x40, 0x60, 0xD0), (0x00, 0x10, 0x58)
    for y in range(top, bottom + 1):
        colour = mix(navy_light, navy_dark, (y - top) / (bottom - top))
        fill_rect(img, 0, y, size - 1, y, colour)
    frame_rect(img, 0, top, size - 1, bottom, (0, 0, 0))

    margin = size // 16
    gap = max(1, size // 32)
    width = (size - 2 * margin - 2 * gap) // 3
    b_top, b_bottom = top + margin, bottom - margin
    for i in range(3):
        left = margin + i * (width + gap)
        right = left + width - 1
        for y in range(b_top, b_bottom + 1):
            face = mix((0xF0, 0xF0, 0xF0), (0xB0, 0xB0, 0xB0), (y - b_top) / (b_bottom - b_top))
            fill_rect(img, left, y, right, y, face)
        frame_rect(img, left, b_top, right, b_bottom, (0, 0, 0))
        fill_rect(img, left, b_top, right - 1, b_top, (0xFF, 0xFF, 0xFF))
        fill_rect(img, left, b_top, left, b_bottom - 1, (0xFF, 0xFF, 0xFF))
        fill_rect(img, left + 1, b_bottom - 1, right - 1, b_bottom - 1, (0x80, 0x80, 0x80))
        fill_rect(img, right - 1, b_top + 1, right - 1, b_bottom - 1, (0x80, 0x80, 0x80))
        inner_w = width - 4
        cx = left + width // 2
        cy = (b_top + b_bottom) // 2
        if i == 0:
            # The menu arrow, pointing down.
            half = (inner_w - 1) // 2
            for row in range(half + 1):
                y = cy - half // 2 + row
                fill_rect(img, cx - half + row, y, cx + half - row, y, (0, 0, 0))
        else:
            # A drive: a box with a slot and a light.
            d_left, d_right = left + 2, right - 2
            d_height = max(5, (b_bottom - b_top) * 2 // 5)
            d_top = cy - d_height // 2
            d_bottom = d_top + d_height - 1
            for y in range(d_top, d_bottom + 1):
                shade = mix((0xD8, 0xD8, 0xD8), (0x90, 0x90, 0x90), (y - d_top) / max(1, d_bottom - d_top))
                fill_rect(img, d_left, y, d_right, y, shade)
            frame_rect(img, d_left, d_top, d_right, d_bottom, (0, 0, 0))
            slot_y = d_top + 1 + (d_height - 2) // 2
            fill_rect(img, d_left + 2, slot_y, d_right - 3 - max(1, size // 24), slot_y, (0x50, 0x50, 0x50))
            led = max(1, size // 24)
            fill_rect(img, d_right - 1 - led, slot_y, d_right - 2, slot_y + led - 1,
                      (0x00, 0xE0, 0x00) if i == 1 else (0xE0, 0x20, 0x00))
    return img


def indexed(img, base=PALETTE, limit=256):
    """The image in palette indices and its palette: the standard colours
    first, then the others in a fixed order."""
    palette = list(base)
    extra = sorted({p for row in img for p in row if p != CLEAR and p not in palette})
    palette += extra
    assert len(palette) <= limit, len(palette)
    lookup = {colour: i for i, colour in enumerate(palette)}
    out = [[CLEAR if p == CLEAR else lookup[p] for p in row] for row in img]
    return out, palette + [(0, 0, 0)] * (limit - len(palette))


def monochrome(img):
    """Greys and lighter white, dark and saturated colours black, clear stays clear."""
    return [[CLEAR if p == CLEAR else (1 if 30 * p[0] + 59 * p[1] + 11 * p[2] > 100 * 0x70 else 0) for p in row] for row in img]


def icon_images():
    """(image, bits a pixel, palette) for every image of the program icon."""
    images = [(icon_16(), 4, PALETTE), (icon_32(), 4, PALETTE)]
    images.append((monochrome(icon_rgb(32)), 1, MONO_PALETTE))
    for size in (32, 48):
        img, palette = indexed(icon_rgb(size))
        images.append((img, 8, palette))
    # The sizes the shell asks for at 125%, 150% and 200%, and its largest view.
    for size in (20, 24, 40, 64):
        images.append((icon_rgb(size), 32, None))
    images.append((icon_rgb(256), "png", None))
    return images


def rgba_rows(img):
    """Bottom-up rows of 32-bit pixels (blue, green, red, alpha)."""
    out = bytearray()
    for row in reversed(img):
        for p in row:
            out += b"\0\0\0\0" if p == CLEAR else struct.pack("<BBBB", p[2], p[1], p[0], 255)
    return bytes(out)


def png_bytes(img):
    """A true-colour PNG with alpha, as the icon's 256-pixel image."""
    size = len(img)
    raw = b"".join(b"\0" + b"".join(b"\0\0\0\0" if p == CLEAR else bytes(p) + b"\xff" for p in row)
                   for row in img)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def ico_bytes(images):
    entries = []
    blobs = []
    offset = 6 + 16 * len(images)
    for img, bits, palette in images:
        size = len(img)
        colours = 1 << bits if bits in (1, 4, 8) else 0
        if bits == "png":
            blob, bits = png_bytes(img), 32
        elif bits == 32:
            xor = rgba_rows(img)
            mask = pack_mask_rows(img)
            blob = info_header(size, 2 * size, len(xor) + len(mask), 32, 0) + xor + mask
        else:
            assert len(palette) == colours
            xor = pack_rows(img, bits)
            mask = pack_mask_rows(img)
            header = info_header(size, 2 * size, len(xor) + len(mask), bits, colours)
            blob = header + palette_bytes(palette) + xor + mask
        # The directory's colour count is 0 for 256 colours and more, and its
        # size 0 for 256 pixels, as the format has it.
        entries.append(struct.pack("<BBBBHHII", size % 256, size % 256, colours % 256, 0, 1, bits, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


# The link's cursor: a pointing hand, the tip of the index finger at (8, 3).
HAND = [
    "       kkk",
    "      k...k",
    "      k...k",
    "      k...k",
    "      k...k",
    "      k...kkk",
    "      k...k..kkk",
    "      k...k..k..kk",
    "   kk k...k..k..k.k",
    "  k..kk...k..k..k.k",
    "  k...k...........k",
    "   k..k...........k",
    "    k.............k",
    "    k.............k",
    "     k...........k",
    "     k...........k",
    "      k.........k",
    "      k.........k",
    "      kkkkkkkkkkk",
]
HAND_HOTSPOT = (8, 3)


def hand_cursor():
    img = canvas(32, CLEAR)
    paint(img, HAND, 2)
    return img


def cur_bytes(images, hotspot):
    """A cursor of square images, the hotspot given for 32 pixels."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for img in images:
        size = len(img)
        xor = pack_4bit_rows(img, transparent_as=0)
        mask = pack_mask_rows(img)
        blob = info_header(size, 2 * size, len(xor) + len(mask)) + palette_bytes() + xor + mask
        hx, hy = (hotspot[0] * size + 16) // 32, (hotspot[1] * size + 16) // 32
        entries.append(struct.pack("<BBBBHHII", size, size, 16, 0, hx, hy, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 2, len(images)) + b"".join(entries) + b"".join(blobs)


def sixteen(img):
    """The 17-pixel drawing at 16: one column goes from the middle, as a
    nearest-pixel scaling takes it, and the bottom row, which is always white."""
    return [[row[(2 * x + 1) * BMP_SIZE // 32] for x in range(16)] for row in img[:16]]


def resized(img, size):
    """Nearest-pixel copy at size x size: each pixel of the 16 becomes a
    whole block, so lines stay sharp (at 32 every pixel doubles)."""
    n = len(img)
    return [[img[(2 * y + 1) * n // (2 * size)][(2 * x + 1) * n // (2 * size)] for x in range(size)]
            for y in range(size)]


def picture_name(name, size):
    """drive_cdrom.bmp at 16, drive_cdrom_20.bmp at 20 and so on."""
    return name if size == 16 else name.replace(".bmp", "_%d.bmp" % size)


PICTURES = {
    "drive_cdrom.bmp": cdrom,
    "drive_removable.bmp": floppy,
    "drive_fixed.bmp": fixed,
    "drive_network.bmp": network,
    "menu_button.bmp": menu_button,
}


def main():
    for name, draw in PICTURES.items():
        img = draw()
        assert len(img) == BMP_SIZE and all(len(r) == BMP_SIZE for r in img), name
        base = sixteen(img)
        for size in PICTURE_SIZES:
            with open(os.path.join(HERE, picture_name(name, size)), "wb") as f:
                f.write(bmp_bytes(resized(base, size)))
    with open(os.path.join(HERE, "vossel.ico"), "wb") as f:
        f.write(ico_bytes(icon_images()))
    with open(os.path.join(HERE, "hand.cur"), "wb") as f:
        hand = hand_cursor()
        f.write(cur_bytes([hand, resized(hand, 48)], HAND_HOTSPOT))


if __name__ == "__main__":
    main()
