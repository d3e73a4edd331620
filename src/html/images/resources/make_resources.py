#!/usr/bin/env python3
"""Makes the images module's resources: the placeholder bitmaps (1001 error, 1002 wait, 1005
the error picture's mask), the cursors (1003 link, 1006 text), the built-in corner image
(an animated, looping GIF89a of 48 x 36), ../resources_data.cpp with the resources' bytes for
the headless build and ../corner_image.cpp with the corner image's bytes. The Windows
program includes ../resources.rc. Run it after changing a picture:
    python3 src/html/images/resources/make_resources.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The 16 colours of a 4-bit bitmap (the standard VGA order), 0x00RRGGBB.
VGA = [0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
       0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF]


def bmp(width, height, bits, palette, rows):
    """A bottom-up BI_RGB bitmap file; rows top-down, each a list of palette indices."""
    stride = (bits * width + 31) // 32 * 4
    data = b""
    for row in reversed(rows):
        acc, nbits, out = 0, 0, bytearray()
        for v in row:
            acc = (acc << bits) | v
            nbits += bits
            if nbits == 8:
                out.append(acc)
                acc, nbits = 0, 0
        if nbits:
            out.append(acc << (8 - nbits))
        data += bytes(out) + b"\0" * (stride - len(out))
    table = b"".join(struct.pack("<BBBB", c & 255, (c >> 8) & 255, c >> 16, 0) for c in palette)
    offset = 14 + 40 + len(table)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 2835, 2835,
                       len(palette), 0)
    return struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset) + info + table + data


def picture(art, key):
    return [[key[ch] for ch in line] for line in art]


# The error picture: a page with a folded corner and a red cross. '.' is the transparent
# surround (white, masked by 1005).
ERROR_ART = [
    "................",
    ".kkkkkkkkk......",
    ".kwwwwwwwkk.....",
    ".kwwwwwwwkwk....",
    ".kwrwwwwrkkkk...",
    ".kwrrwwrrwwwk...",
    ".kwwrrrrwwwwk...",
    ".kwwwrrwwwwwk...",
    ".kwwrrrrwwwwk...",
    ".kwrrwwrrwwwk...",
    ".kwrwwwwrwwwk...",
    ".kwwwwwwwwwwk...",
    ".kwwwwwwwwwwk...",
    ".kkkkkkkkkkkk...",
    "................",
    "................",
]
# The wait picture: a framed landscape (sky, sun, hills).
WAIT_ART = [
    "kkkkkkkkkkkkkkkk",
    "kssssssssssssssk",
    "kssssssssssyyssk",
    "ksssssssssyyyysk",
    "ksssssssssyyyysk",
    "kssssssssssyyssk",
    "ksssssgssssssssk",
    "kssssggggssssssk",
    "ksssggggggsssggk",
    "kssggggggggsgggk",
    "ksgggggggggggggk",
    "kggggggggggggggk",
    "kggggggggggggggk",
    "kggggggggggggggk",
    "kggggggggggggggk",
    "kkkkkkkkkkkkkkkk",
]
KEY = {".": 15, "k": 0, "w": 15, "r": 9, "s": 14, "y": 11, "g": 2}


def cursor(width, height, hot_x, hot_y, art):
    """A ".cur" file with one 32 x 32 monochrome image: 'k' black, 'w' white, '.' clear."""
    xor_rows, and_rows = [], []
    for y in range(height):
        line = art[y] if y < len(art) else ""
        line = line.ljust(width, ".")
        xor_rows.append([1 if ch == "w" else 0 for ch in line])
        and_rows.append([1 if ch == "." else 0 for ch in line])

    def plane(rows):
        out = b""
        for row in reversed(rows):
            bits = 0
            for v in row:
                bits = (bits << 1) | v
            out += bits.to_bytes(width // 8, "big")
        return out

    image = (struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 1, 0, 0, 0, 0, 2, 0)
             + struct.pack("<II", 0x000000, 0xFFFFFF) + plane(xor_rows) + plane(and_rows))
    header = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", width, height, 2, 0, hot_x, hot_y, len(image), 6 + 16)
    return header + entry + image


HAND = [
    ".....kk",
    "....kwwk",
    "....kwwk",
    "....kwwk",
    "....kwwkkk",
    "....kwwkwwkkk",
    "....kwwkwwkwwkk",
    "kkk.kwwkwwkwwkwk",
    "kwwkkwwwwwwwwkwk",
    "kwwwkwwwwwwwwwwk",
    ".kwwwwwwwwwwwwwk",
    "..kwwwwwwwwwwwwk",
    "..kwwwwwwwwwwwk",
    "...kwwwwwwwwwwk",
    "...kwwwwwwwwwk",
    "....kwwwwwwwwk",
    "....kwwwwwwwwk",
    "....kkkkkkkkkk",
]
IBEAM = ["kkk.kkk", "...k", "...k", "...k", "...k", "...k", "...k", "...k", "...k", "...k",
         "...k", "...k", "...k", "...k", "...k", "kkk.kkk"]


def lzw_literal(indices, code_size):
    """LZW data that spells every pixel with its own code, clearing before the table would
    grow past the first code width: simple and valid for every decoder."""
    clear, end = 1 << code_size, (1 << code_size) + 1
    width = code_size + 1
    codes = [clear]
    run = 0
    for v in indices:
        if run == (1 << width) - (clear + 2) - 1:
            codes.append(clear)
            run = 0
        codes.append(v)
        run += 1
    codes.append(end)
    acc, nbits, out = 0, 0, bytearray()
    for c in codes:
        acc |= c << nbits
        nbits += width
        while nbits >= 8:
            out.append(acc & 255)
            acc >>= 8
            nbits -= 8
    if nbits:
        out.append(acc)
    blocks = b""
    for i in range(0, len(out), 255):
        chunk = bytes(out[i:i + 255])
        blocks += bytes([len(chunk)]) + chunk
    return bytes([code_size]) + blocks + b"\0"


def corner_gif():
    """48 x 36, eight frames: a page corner turning over, with a blue book mark that slides
    along its edge; loops forever."""
    w, h = 48, 36
    colours = [0xFFFFFF, 0x000000, 0xC0C0C0, 0x808080, 0x2050A0, 0xE0E0F0, 0xB02020, 0xF0D060]
    table = b"".join(struct.pack("BBB", c >> 16, (c >> 8) & 255, c & 255) for c in colours)
    out = b"GIF89a" + struct.pack("<HHBBB", w, h, 0x80 | 2, 0, 0) + table
    out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01" + struct.pack("<H", 0) + b"\0"
    frames = 8
    for n in range(frames):
        fold = 6 + 3 * n  # size of the turned corner
        mark = 4 + 5 * n
        pixels = []
        for y in range(h):
            for x in range(w):
                v = 0
                if 2 <= x < w - 2 and 2 <= y < h - 2:
                    v = 5  # the page
                    if (y - 6) % 5 == 0 and 6 <= x < w - 8:
                        v = 2  # lines of text
                    if x == 2 or y == 2 or x == w - 3 or y == h - 3:
                        v = 3  # its edge
                if mark <= x < mark + 4 and y < 12:
                    v = 4 if y < 10 or (x - mark) in (0, 3) else v  # the book mark
                dx, dy = (w - 3) - x, (h - 3) - y
                if 0 <= dx and 0 <= dy and dx + dy < fold:
                    v = 0  # behind the turned corner
                    if dx + dy >= fold - 1:
                        v = 1
                    elif dx + dy < fold - 1 and dx < fold and dy < fold and dx + dy > fold // 2:
                        v = 7 if n % 2 else 2  # the back of the page
                if x < 2 or y < 2:
                    v = 0
                pixels.append(v)
        out += b"\x21\xF9\x04" + struct.pack("<BHB", 1 << 2, 12, 0) + b"\0"
        out += b"," + struct.pack("<HHHHB", 0, 0, w, h, 0)
        out += lzw_literal(pixels, 3)
    return out + b";"


def c_array(name, data):
    lines = []
    for i in range(0, len(data), 16):
        lines.append("    " + ", ".join(f"0x{b:02X}" for b in data[i:i + 16]) + ",")
    return f"const uint8_t {name}[{len(data)}] = {{\n" + "\n".join(lines) + "\n};\n"


def main():
    error = picture(ERROR_ART, KEY)
    wait = picture(WAIT_ART, KEY)
    mask = [[1 if ch == "." else 0 for ch in line] for line in ERROR_ART]
    files = {
        "image_error.bmp": bmp(16, 16, 4, VGA, error),
        "image_wait.bmp": bmp(16, 16, 4, VGA, wait),
        "image_error_mask.bmp": bmp(16, 16, 1, [0x000000, 0xFFFFFF], mask),
        "cursor_link.cur": cursor(32, 32, 5, 0, HAND),
        "cursor_text.cur": cursor(32, 32, 3, 8, IBEAM),
        "rhcorner.gif": corner_gif(),
    }
    for name, data in files.items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)
    parent = os.path.dirname(HERE)
    ids = [("image_error.bmp", 1001, "BITMAP", "kImageError"),
           ("image_wait.bmp", 1002, "BITMAP", "kImageWait"),
           ("cursor_link.cur", 1003, "CURSOR", "kCursorLink"),
           ("image_error_mask.bmp", 1005, "BITMAP", "kImageErrorMask"),
           ("cursor_text.cur", 1006, "CURSOR", "kCursorText")]
    with open(os.path.join(parent, "resources.rc"), "w") as f:
        f.write("// Resources of the images module (made by resources/make_resources.py). Paths are\n"
                "// relative to this folder: a file that includes this one puts src/html/images on\n"
                "// the resource compiler's include path.\n")
        for name, rid, kind, _ in ids:
            f.write(f'{rid} {kind} "resources/{name}"\n')
    cpp = ["// Made by resources/make_resources.py from the files in resources/; do not edit.",
           '#include "html/images/resources.h"', "", "namespace brisomel {", "namespace {", ""]
    for name, _, _, var in ids:
        cpp.append(c_array(var, files[name]))
    cpp += ["}  // namespace", "", "std::span<const uint8_t> ResourceBytes(int resource) {",
            "  switch (resource) {"]
    for _, rid, _, var in ids:
        cpp.append(f"    case {rid}: return {var};")
    cpp += ["    default: return {};", "  }", "}", "", "}  // namespace brisomel", ""]
    with open(os.path.join(parent, "resources_data.cpp"), "w") as f:
        f.write("\n".join(cpp))
    corner = ["// Made by resources/make_resources.py from resources/rhcorner.gif; do not edit.",
              '#include "html/images/corner_image.h"', "", "namespace brisomel {",
              "namespace {", "", c_array("kCornerImage", files["rhcorner.gif"]),
              "}  // namespace", "",
              "std::span<const uint8_t> CornerImageBytes() { return kCornerImage; }", "",
              "}  // namespace brisomel", ""]
    with open(os.path.join(parent, "corner_image.cpp"), "w") as f:
        f.write("\n".join(corner))


if __name__ == "__main__":
    main()
