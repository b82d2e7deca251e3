"""Pictures for grading: reading and writing PNG files (standard library
only) and comparing two pictures pixel by pixel, with an optional tolerance."""

import struct
import zlib

SIGNATURE = b"\x89PNG\r\n\x1a\n"


class PictureError(Exception):
    """A file that is not a picture this reader understands."""


class Picture:
    """An RGB picture: `rows` holds `height` byte strings of 3 * `width` bytes."""

    def __init__(self, width, height, rows):
        self.width = width
        self.height = height
        self.rows = rows


def _unfilter(raw, width, height, channels):
    stride = width * channels
    rows = []
    previous = bytearray(stride)
    pos = 0
    for _ in range(height):
        if pos + 1 + stride > len(raw):
            raise PictureError("the picture's data is cut short")
        kind = raw[pos]
        line = bytearray(raw[pos + 1 : pos + 1 + stride])
        pos += 1 + stride
        if kind == 1:
            for i in range(channels, stride):
                line[i] = (line[i] + line[i - channels]) & 0xFF
        elif kind == 2:
            for i in range(stride):
                line[i] = (line[i] + previous[i]) & 0xFF
        elif kind == 3:
            for i in range(stride):
                left = line[i - channels] if i >= channels else 0
                line[i] = (line[i] + ((left + previous[i]) >> 1)) & 0xFF
        elif kind == 4:
            for i in range(stride):
                a = line[i - channels] if i >= channels else 0
                b = previous[i]
                c = previous[i - channels] if i >= channels else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pred) & 0xFF
        elif kind != 0:
            raise PictureError("unknown row filter %d" % kind)
        rows.append(line)
        previous = line
    return rows


def read_png(path, max_pixels=64 * 1024 * 1024):
    """Reads an 8-bit grey, grey+alpha, RGB or RGBA PNG, without interlacing,
    as an RGB picture (alpha is dropped: replay pictures are opaque). A
    picture of more than `max_pixels` is refused before it is inflated, and
    the data is never inflated beyond what its size needs."""
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as e:
        raise PictureError("cannot read %s: %s" % (path, e.strerror))
    if not data.startswith(SIGNATURE):
        raise PictureError("%s is not a PNG file" % path)
    pos = len(SIGNATURE)
    header = None
    compressed = []
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos : pos + 8])
        body = data[pos + 8 : pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            compressed.append(body)
        elif kind == b"IEND":
            break
    if not header:
        raise PictureError("%s has no header" % path)
    width, height, depth, colour, _, _, interlace = header
    channels = {0: 1, 2: 3, 4: 2, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace != 0:
        raise PictureError("%s: only 8-bit, non-interlaced grey or colour pictures are read" % path)
    if width == 0 or height == 0 or width * height > max_pixels:
        raise PictureError("%s: a picture of %d x %d is not graded" % (path, width, height))
    try:
        raw = zlib.decompressobj().decompress(b"".join(compressed),
                                              height * (1 + width * channels))
    except zlib.error as e:
        raise PictureError("%s: damaged data (%s)" % (path, e))
    rows = _unfilter(raw, width, height, channels)
    if channels != 3:
        rgb = []
        for line in rows:
            out = bytearray(width * 3)
            for x in range(width):
                if channels in (1, 2):
                    v = line[x * channels]
                    out[3 * x : 3 * x + 3] = bytes((v, v, v))
                else:
                    out[3 * x : 3 * x + 3] = line[4 * x : 4 * x + 3]
            rgb.append(out)
        rows = rgb
    return Picture(width, height, [bytes(r) for r in rows])


def write_png(path, picture):
    """Writes an RGB picture as PNG (no time chunk: the same picture gives
    the same bytes)."""

    def chunk(kind, body):
        return (
            struct.pack(">I", len(body))
            + kind
            + body
            + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
        )

    raw = b"".join(b"\x00" + row for row in picture.rows)
    header = struct.pack(">IIBBBBB", picture.width, picture.height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(
            SIGNATURE
            + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 6))
            + chunk(b"IEND", b"")
        )


# Each channel value faded three quarters of the way to white.
_FADED = bytes(255 - (255 - v) // 4 for v in range(256))


def compare(expected, got, channel_tolerance=0):
    """The number of pixels that differ by more than `channel_tolerance` in
    any channel, and a difference picture (differing pixels red over a
    faded copy of the expected picture), or None when none differ. Pictures
    of different sizes differ in every pixel of the larger one."""
    if (expected.width, expected.height) != (got.width, got.height):
        count = max(expected.width * expected.height, got.width * got.height)
        return count, None
    if expected.rows == got.rows:
        return 0, None
    differing = 0
    diff_rows = []
    for y in range(expected.height):
        a, b = expected.rows[y], got.rows[y]
        faded = a.translate(_FADED)
        if a == b:
            diff_rows.append(faded)
            continue
        line = bytearray(faded)
        for x in range(expected.width):
            i = 3 * x
            if (
                abs(a[i] - b[i]) > channel_tolerance
                or abs(a[i + 1] - b[i + 1]) > channel_tolerance
                or abs(a[i + 2] - b[i + 2]) > channel_tolerance
            ):
                differing += 1
                line[i : i + 3] = b"\xff\x00\x00"
        diff_rows.append(bytes(line))
    if differing == 0:
        return 0, None
    return differing, Picture(expected.width, expected.height, diff_rows)
