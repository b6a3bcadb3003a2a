#!/usr/bin/env python3
"""Draws the tray's icons and writes them into TrayIcons.cpp as byte arrays.

The notification area shows 16 x 16 pixels, and the tray keeps the classic form of such an
icon: one 16-colour image (318 bytes of .ico file). The static icon is the key cap of the
program's icon, with a "K"; the two animation frames are that cap and the same cap lit. The
paused icon is the cap greyed, with the two bars of a pause sign in place of the letter.
Run it after changing a drawing; only the standard library is used.
"""
import os
import struct

# The 16 colours of the classic palette, as (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
NAVY, BLUE, TEAL, AQUA, WHITE, YELLOW, BLACK, GREY, SILVER = 4, 12, 6, 14, 15, 11, 0, 8, 7

# '.' transparent, 's' the cap's sides, 'f' its face, 'k' the letter.
CAP = [
    "................",
    "..ssssssssssss..",
    ".ssffffffffffss.",
    ".sffffffffffffs.",
    ".sffkkffffkkffs.",
    ".sffkkfffkkfffs.",
    ".sffkkffkkffffs.",
    ".sffkkfkkfffffs.",
    ".sffkkkkffffffs.",
    ".sffkkfkkfffffs.",
    ".sffkkffkkffffs.",
    ".sffkkfffkkfffs.",
    ".sffkkffffkkffs.",
    ".ssffffffffffss.",
    ".ssssssssssssss.",
    "..ssssssssssss..",
]

# The same cap with a pause sign: 'k' the two bars.
PAUSED_CAP = [
    "................",
    "..ssssssssssss..",
    ".ssffffffffffss.",
    ".sffffffffffffs.",
    ".sfffkkffkkfffs.",
    ".sfffkkffkkfffs.",
    ".sfffkkffkkfffs.",
    ".sfffkkffkkfffs.",
    ".sfffkkffkkfffs.",
    ".sfffkkffkkfffs.",
    ".sfffkkffkkfffs.",
    ".sfffkkffkkfffs.",
    ".sfffkkffkkfffs.",
    ".ssffffffffffss.",
    ".ssssssssssssss.",
    "..ssssssssssss..",
]


def ico(colours, drawing=CAP):
    """A one-image .ico: directory, BITMAPINFOHEADER, palette, 4-bit rows and the AND mask."""
    size = 16
    xor = bytearray()
    mask = bytearray()
    for line in reversed(drawing):  # bottom-up
        indices = [colours.get(c, 0) for c in line]
        xor += bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2))
        bits = 0
        for c in line:
            bits = (bits << 1) | (c == ".")
        mask += struct.pack(">H", bits) + b"\0\0"  # rows padded to four bytes
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(bytes((b, g, r, 0)) for (r, g, b) in PALETTE)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 22)
    data = directory + image
    assert len(data) == 318, len(data)
    return data


STATIC = ico({"s": NAVY, "f": BLUE, "k": WHITE})
FRAMES = [STATIC, ico({"s": TEAL, "f": AQUA, "k": YELLOW})]
PAUSED = ico({"s": GREY, "f": SILVER, "k": BLACK}, PAUSED_CAP)


def array(name, data):
    rows = []
    for i in range(0, len(data), 16):
        rows.append("    " + ", ".join("0x%02X" % b for b in data[i:i + 16]) + ",")
    return "const unsigned char %s[%d] = {\n%s\n};\n" % (name, len(data), "\n".join(rows))


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "TrayIcons.cpp")
    text = (
        "// Written by make_tray_icons.py: run it again rather than editing the bytes.\n"
        '#include "tray/TrayIcons.h"\n\n'
        "namespace kv {\n\nnamespace {\n\n"
        + array("kStatic", STATIC) + "\n"
        + array("kFrame0", FRAMES[0]) + "\n"
        + array("kFrame1", FRAMES[1]) + "\n"
        + array("kPaused", PAUSED) + "\n"
        "std::string Bytes(const unsigned char* data, std::size_t size) {\n"
        "  return std::string(reinterpret_cast<const char*>(data), size);\n"
        "}\n\n"
        "}  // namespace\n\n"
        "const std::string& TrayIconImage() {\n"
        "  static const std::string image = Bytes(kStatic, sizeof kStatic);\n"
        "  return image;\n"
        "}\n\n"
        "const std::string& TrayPausedImage() {\n"
        "  static const std::string image = Bytes(kPaused, sizeof kPaused);\n"
        "  return image;\n"
        "}\n\n"
        "const std::string& TrayFrameImage(int frame) {\n"
        "  static const std::string frames[kTrayFrames] = {Bytes(kFrame0, sizeof kFrame0), Bytes(kFrame1, sizeof kFrame1)};\n"
        "  return frames[frame == 1 ? 1 : 0];\n"
        "}\n\n"
        "}  // namespace kv\n"
    )
    with open(out, "w", newline="\n") as f:
        f.write(text)


if __name__ == "__main__":
    main()
