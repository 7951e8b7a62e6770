#!/usr/bin/env python3
"""Writes a PCF.gz whose glyph bitmaps lie SPACING bytes apart in reverse glyph order, the
layout that makes a reader seeking backwards through gzip data inflate it again and again:
scattered_pcf.py SOURCE.pcf.gz SPACING OUT.pcf.gz"""
import gzip
import struct
import sys

PCF_BITMAPS = 1 << 3


def main(source, spacing, out):
    data = gzip.decompress(open(source, "rb").read())
    (count,) = struct.unpack_from("<I", data, 4)
    toc = [struct.unpack_from("<IIII", data, 8 + 16 * i) for i in range(count)]
    tables = {kind: (fmt, data[offset:offset + size]) for kind, fmt, size, offset in toc}

    fmt, bitmaps = tables[PCF_BITMAPS]
    order = ">" if fmt & 4 else "<"  # PCF_BYTE_MASK: the table's byte order
    (glyphs,) = struct.unpack_from(order + "I", bitmaps, 4)
    offsets = struct.unpack_from(order + "%dI" % glyphs, bitmaps, 8)
    sizes_at = 8 + 4 * glyphs
    sizes = struct.unpack_from(order + "4I", bitmaps, sizes_at)
    bits = bitmaps[sizes_at + 16:]
    glyph_bytes = sizes[fmt & 3]
    ends = list(offsets[1:]) + [glyph_bytes]

    scattered = bytearray(glyphs * spacing)
    new_offsets = []
    for glyph in range(glyphs):
        at = (glyphs - 1 - glyph) * spacing
        scattered[at:at + ends[glyph] - offsets[glyph]] = bits[offsets[glyph]:ends[glyph]]
        new_offsets.append(at)
    table = (bitmaps[:8] + struct.pack(order + "%dI" % glyphs, *new_offsets) +
             struct.pack(order + "4I", *([len(scattered)] * 4)) + bytes(scattered))
    tables[PCF_BITMAPS] = (fmt, table)

    kinds = [kind for kind, _, _, _ in toc]
    offset = 8 + 16 * len(kinds)
    header, body = bytearray(data[:8]), bytearray()
    for kind in kinds:
        fmt, content = tables[kind]
        content += b"\0" * (-len(content) % 4)
        header += struct.pack("<IIII", kind, fmt, len(content), offset + len(body))
        body += content
    open(out, "wb").write(gzip.compress(bytes(header + body), 9))


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]), sys.argv[3])
