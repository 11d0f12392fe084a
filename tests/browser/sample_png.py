"""Samples pixels of a four-field picture's screenshot (580 x 576).

Reads the PNG with the standard library alone and checks that the frame,
the lines and the info text are drawn dark on a white page; with "areas",
that the four fields are filled in their greys; with "clipped", that the
window 0..10 x 0..10 shows the parts of its two lines inside it and
nothing else (x and y at 60 + 46x and 526 - 46y).
"""
import struct
import sys
import zlib


def read_png(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit("not a PNG")
    pos, idat, width, height, colour = 8, b"", 0, 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            if depth != 8 or colour not in (2, 6):
                sys.exit("unexpected PNG format")
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    step = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * step
    rows, prev, i = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[i], bytearray(raw[i + 1:i + 1 + stride])
        i += 1 + stride
        for x in range(stride):
            a = line[x - step] if x >= step else 0
            b = prev[x]
            c = prev[x - step] if x >= step else 0
            if kind == 1:
                line[x] = (line[x] + a) & 255
            elif kind == 2:
                line[x] = (line[x] + b) & 255
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[x] = (line[x] + pred) & 255
        rows.append(line)
        prev = line
    return width, height, step, rows


def main():
    width, height, step, rows = read_png(sys.argv[1])
    if (width, height) != (580, 576):
        sys.exit("screenshot is %d x %d" % (width, height))

    def grey(x, y):
        px = rows[y][x * step:x * step + 3]
        return sum(px) // 3

    def darkest(xs, ys):
        return min(grey(x, y) for x in xs for y in ys)

    def near(x, y, want):
        return abs(grey(x, y) - want) <= 3

    mode = sys.argv[2] if len(sys.argv) > 2 else ""
    if mode == "clipped":
        checks = [
            ("u1 along y 5", darkest([290], range(293, 300)) < 160),
            ("u1 from (0, 7) to (3, 10)", darkest(range(126, 133), range(132, 139)) < 160),
            ("u2 from (0, 8) to (5, 8)", darkest([175], range(155, 162)) < 160),
            ("no chord from (10, 5) to (0, 7)", darkest(range(280, 301), range(240, 261)) >= 240),
            ("nothing left of the frame", darkest(range(5, 31), list(range(150, 166)) + list(range(288, 304))) >= 240),
        ]
    elif mode == "areas":
        # The four fields in their greys, and the point's circle a tenth
        # darker over the lightest one.
        checks = [
            ("field a b d at 172", near(400, 150, 172)),
            ("field a b d c at 242", near(150, 150, 242)),
            ("field a b c at 172", near(150, 400, 172)),
            ("field a b at 102", near(400, 400, 102)),
            ("circle over the light field at 217", near(287, 293, 217)),
            ("vertical line at x 290", darkest(range(287, 294), [150]) < 100),
        ]
    else:
        checks = [
            ("page inside the frame", grey(400, 450) >= 240),
            ("vertical line at x 290", darkest(range(287, 294), [150]) < 160),
            ("horizontal line at y 296", darkest([150], range(293, 300)) < 160),
            ("frame at x 60", darkest(range(57, 64), [400]) < 160),
            ("info text near y 32", darkest(range(60, 300), range(20, 36)) < 100),
            ("axis label below the frame", darkest(range(236, 252), range(536, 552)) < 100),
        ]
    failed = [name for name, ok in checks if not ok]
    for name in failed:
        print("not seen:", name, file=sys.stderr)
    sys.exit(1 if failed else 0)


main()
