#!/usr/bin/env python3
"""Writes the program's icon and cursor from the text pictures below.

setup.ico  32 x 32, 16 colours: a computer with a software box beside it
           (icons 128 and 151)
hand.cur   32 x 32 monochrome hand with raised index finger, hot spot at
           (0, 0), the image's top-left corner (cursor 138)

usage: make_icons.py --out DIR
"""
import argparse
import os
import struct

# The 16 colours of the standard VGA palette, with the letter each picture uses.
PALETTE = [
    ("K", (0, 0, 0)), ("r", (128, 0, 0)), ("d", (0, 128, 0)), ("o", (128, 128, 0)),
    ("N", (0, 0, 128)), ("p", (128, 0, 128)), ("T", (0, 128, 128)), ("S", (192, 192, 192)),
    ("G", (128, 128, 128)), ("R", (255, 0, 0)), ("g", (0, 255, 0)), ("Y", (255, 255, 0)),
    ("B", (0, 0, 255)), ("M", (255, 0, 255)), ("C", (0, 255, 255)), ("W", (255, 255, 255)),
]
TRANSPARENT = "."

COMPUTER_AND_BOX = [
    "................................",
    "................................",
    "................................",
    "KKKKKKKKKKKKKKKKKKK.............",
    "KWWWWWWWWWWWWWWWWSK.............",
    "KWSSSSSSSSSSSSSSSGK.............",
    "KWSKKKKKKKKKKKKSSGK.....KKKKKKKK",
    "KWSKBBBBBBBBBBWSSGK....KYYYYYYKK",
    "KWSKBCCBBBBBBBWSSGK...KYYYYYYKrK",
    "KWSKBCBBBBBBBBWSSGK..KKKKKKKKrrK",
    "KWSKBBBBBBBBBBWSSGK..KRRRRRRKrrK",
    "KWSKBBBBBBBBBBWSSGK..KRWWWWRKrrK",
    "KWSKBBBBBBBBBBWSSGK..KRWKKWRKrrK",
    "KWSKBBBBBBBBBBWSSGK..KRWKKWRKrrK",
    "KWSKBBBBBBBBBBWSSGK..KRWWWWRKrrK",
    "KWSKWWWWWWWWWWWSSGK..KRRRRRRKrrK",
    "KWSSSSSSSSSSSSSSSGK..KRYYYYRKrrK",
    "KWSSSSSSSSSSSSgSSGK..KRRRRRRKrrK",
    "KGGGGGGGGGGGGGGGGGK..KRYYYYRKrrK",
    "KKKKKKKKKKKKKKKKKKK..KRRRRRRKrrK",
    ".......KSSSSGK.......KRRRRRRKrK.",
    ".......KSSSSGK.......KRRRRRRKK..",
    "....KKKKKKKKKKKKK....KKKKKKKK...",
    "....KWWWWWWWWWWGK...............",
    "....KKKKKKKKKKKKK...............",
    "................................",
    "KKKKKKKKKKKKKKKKKKKKK...........",
    "KWSWSWSWSWSWSWSWSWSGK...........",
    "KSWSWSWSWSWSWSWSWSWGK...........",
    "KWSSSSSSSSSSSSSSSWSGK...........",
    "KGGGGGGGGGGGGGGGGGGGK...........",
    "KKKKKKKKKKKKKKKKKKKKK...........",
]

# X black outline, o white inside, . transparent.
HAND = [
    ".....XX.........................",
    "....XooX........................",
    "....XooX........................",
    "....XooX........................",
    "....XooX........................",
    "....XooXXX......................",
    "....XooXooXXX...................",
    "....XooXooXooXX.................",
    "....XooXooXooXoX................",
    "XX..XooXooXooXooX...............",
    "XoX.XooooooooXooX...............",
    "XooXXoooooooooooX...............",
    ".XooXoooooooooooX...............",
    "..XoXoooooooooooX...............",
    "..XooooooooooooX................",
    "...XoooooooooooX................",
    "...XooooooooooX.................",
    "....XoooooooooX.................",
    "....XoooooooooX.................",
    ".....XooooooooX.................",
    ".....XXXXXXXXXX.................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
]
HAND_HOTSPOT = (0, 0)

SIZE = 32


def check_picture(rows, letters):
    assert len(rows) == SIZE, "picture must have %d rows" % SIZE
    for y, row in enumerate(rows):
        assert len(row) == SIZE, "row %d is %d wide" % (y, len(row))
        for ch in row:
            assert ch in letters or ch == TRANSPARENT, "unknown letter %r in row %d" % (ch, y)


def and_mask(rows):
    """1 bit per pixel, bottom-up rows of 4 bytes; 1 = transparent."""
    out = b""
    for row in reversed(rows):
        bits = 0
        for ch in row:
            bits = (bits << 1) | (1 if ch == TRANSPARENT else 0)
        out += struct.pack(">I", bits)
    return out


def bitmap_header(bit_count, image_size):
    # Icon bitmaps store the colour and the mask one above the other: height x 2.
    return struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, bit_count, 0, image_size, 0, 0, 0, 0)


def icon_16_colours(rows):
    letters = {letter: index for index, (letter, _) in enumerate(PALETTE)}
    check_picture(rows, letters)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for _, (r, g, b) in PALETTE)
    colours = b""
    for row in reversed(rows):
        indices = [letters.get(ch, 0) for ch in row]
        colours += bytes((indices[i] << 4) | indices[i + 1] for i in range(0, SIZE, 2))
    mask = and_mask(rows)
    image = bitmap_header(4, len(colours) + len(mask)) + palette + colours + mask
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return header + entry + image


def cursor_monochrome(rows, hotspot):
    check_picture(rows, "Xo")
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    # Colour bit 1 = white; black outline and transparent pixels have bit 0.
    colours = b""
    for row in reversed(rows):
        bits = 0
        for ch in row:
            bits = (bits << 1) | (1 if ch == "o" else 0)
        colours += struct.pack(">I", bits)
    mask = and_mask(rows)
    image = bitmap_header(1, len(colours) + len(mask)) + palette + colours + mask
    header = struct.pack("<HHH", 0, 2, 1)
    # In a cursor file the planes and bit-count fields hold the hot spot.
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    return header + entry + image


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    outputs = {
        "setup.ico": icon_16_colours(COMPUTER_AND_BOX),
        "hand.cur": cursor_monochrome(HAND, HAND_HOTSPOT),
    }
    for name, data in outputs.items():
        path = os.path.join(args.out, name)
        # Unchanged files keep their time, so nothing is rebuilt for nothing.
        if os.path.exists(path) and open(path, "rb").read() == data:
            continue
        with open(path, "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
