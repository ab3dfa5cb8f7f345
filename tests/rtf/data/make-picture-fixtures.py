#!/usr/bin/env python3
"""Writes the picture fixtures pict_*.rtf: the same 4 x 3 test bitmap stored in each form that
rich-text files carry pictures in. Written from the RTF and WMF layouts by hand, independently of
the project's own writer, so that the reader is checked against files it did not produce.
Run from this folder: python3 make-picture-fixtures.py"""
import struct
import zlib

W, H = 4, 3


def pixel(x, y):
    """The test pattern; tst_rtfpictures.cpp computes the same."""
    return (x * 60, y * 100, 250 - x * 50)  # red, green, blue


def dib24():
    stride = (W * 3 + 3) // 4 * 4
    header = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 24, 0, stride * H, 2835, 2835, 0, 0)
    rows = b''
    for y in range(H - 1, -1, -1):  # bottom-up
        row = b''.join(bytes((b, g, r)) for r, g, b in (pixel(x, y) for x in range(W)))
        rows += row + b'\0' * (stride - len(row))
    return header + rows


def dib8():
    """The same picture as an 8-bit DIB with a colour table."""
    colours = [pixel(x, y) for y in range(H) for x in range(W)]
    table = b''.join(bytes((b, g, r, 0)) for r, g, b in colours)
    stride = (W + 3) // 4 * 4
    header = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 8, 0, stride * H, 0, 0, len(colours), 0)
    rows = b''
    for y in range(H - 1, -1, -1):
        row = bytes(y * W + x for x in range(W))
        rows += row + b'\0' * (stride - len(row))
    return header + table + rows


def record(function, params):
    assert len(params) % 2 == 0
    return struct.pack('<IH', (6 + len(params)) // 2, function) + params


def metafile(records, placeable=False):
    body = b''.join(records) + record(0x0000, b'')
    size_words = (18 + len(body)) // 2
    max_record = max(struct.unpack('<I', r[:4])[0] for r in records)
    header = struct.pack('<HHHIHIH', 1, 9, 0x0300, size_words, 0, max_record, 0)
    data = header + body
    if placeable:
        key = struct.pack('<IhhhhhHI', 0x9AC6CDD7, 0, 0, 0, W * 20, H * 20, 1440, 0)
        checksum = 0
        for i in range(0, 20, 2):
            checksum ^= struct.unpack('<H', key[i:i + 2])[0]
        data = key + struct.pack('<H', checksum) + data
    return data


def pad(data):
    return data + (b'\0' if len(data) % 2 else b'')


def window_records():
    return [record(0x0103, struct.pack('<H', 8)),           # SETMAPMODE anisotropic
            record(0x020B, struct.pack('<hh', 0, 0)),       # SETWINDOWORG
            record(0x020C, struct.pack('<hh', H, W))]       # SETWINDOWEXT


def stretchdib(dib):
    return record(0x0F43, struct.pack('<IHhhhhhhhh', 0x00CC0020, 0, H, W, 0, 0, H, W, 0, 0) + pad(dib))


def dibstretchblt(dib):
    return record(0x0B41, struct.pack('<Ihhhhhhhh', 0x00CC0020, H, W, 0, 0, H, W, 0, 0) + pad(dib))


def dibbitblt(dib):
    return record(0x0940, struct.pack('<Ihhhhhh', 0x00CC0020, 0, 0, H, W, 0, 0) + pad(dib))


def png(pixels):
    raw = b''.join(b'\0' + b''.join(bytes(pixels(x, y)) for x in range(W)) for y in range(H))

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data
                + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', W, H, 8, 2, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b''))


def hexlines(data, width=128, upper=False):
    h = data.hex().upper() if upper else data.hex()
    return '\r\n'.join(h[i:i + width] for i in range(0, len(h), width))


HEAD = (r'{\rtf1\ansi\ansicpg1251\deff0\deflang1049{\fonttbl{\f0\fnil\fcharset204 Tahoma;}}'
        '\r\n' r'{\colortbl ;\red0\green0\blue0;}' '\r\n' r'\viewkind4\uc1\pard\cf1\f0\fs20 ')


def write(name, body):
    with open(name, 'wb') as f:
        f.write((HEAD + body + r'\par' '\r\n}\r\n\0').encode('latin-1'))


meta_goal = r'\picw%d\pich%d\picwgoal600\pichgoal450' % (W * 2540 // 96, H * 2540 // 96)

# Windows rich-text editors: a metafile with one META_STRETCHDIB record.
write('pict_wmf_stretchdib.rtf', 'a{\\pict\\wmetafile8' + meta_goal + '\r\n'
      + hexlines(metafile(window_records() + [stretchdib(dib24())])) + '}b')
# Older editors: META_DIBSTRETCHBLT, shown at half width and double height.
write('pict_wmf_dibstretchblt.rtf', 'a{\\pict\\wmetafile8' + meta_goal + '\\picscalex50\\picscaley200\r\n'
      + hexlines(metafile(window_records() + [dibstretchblt(dib24())]), 64) + '}b')
# META_DIBBITBLT of an 8-bit bitmap behind a placeable header.
write('pict_wmf_dibbitblt.rtf', 'a{\\pict\\wmetafile8' + meta_goal + '\r\n'
      + hexlines(metafile(window_records() + [dibbitblt(dib8())], placeable=True)) + '}b')
# A packed DIB with blanks and line breaks between the digits, upper case.
write('pict_dibitmap.rtf', 'a{\\pict\\dibitmap0\\picw4\\pich3\\picwgoal600\\pichgoal450 '
      + ' '.join(hexlines(dib24(), 10, upper=True).split('\r\n')) + '}b')
# A device-dependent bitmap: top-down rows, 24 bits, 12 bytes a row.
ddb = b''.join(b''.join(bytes((b, g, r)) for r, g, b in (pixel(x, y) for x in range(W))) for y in range(H))
write('pict_wbitmap.rtf', 'a{\\pict\\wbitmap0\\picw4\\pich3\\wbmbitspixel24\\wbmplanes1\\wbmwidthbytes12'
      '\\picwgoal600\\pichgoal450 ' + hexlines(ddb) + '}b')
# A word processor: PNG in \shppict, and a different (inverted) bitmap in the \nonshppict
# fallback that must not show.
inverted = lambda x, y: tuple(255 - c for c in pixel(x, y))
write('pict_shppict_png.rtf', 'a{\\*\\shppict{\\pict{\\*\\picprop\\shplid1025{\\sp{\\sn shapeType}{\\sv 75}}}'
      '\\picscalex100\\picscaley100\\piccropl0\\piccropr0\\piccropt0\\piccropb0\\picw4\\pich3'
      '\\picwgoal600\\pichgoal450\\pngblip\\bliptag1{\\*\\blipuid 0123456789abcdef0123456789abcdef}'
      + hexlines(png(pixel)) + '}}{\\nonshppict{\\pict\\picscalex100\\picscaley100\\picw4\\pich3'
      '\\picwgoal600\\pichgoal450\\pngblip ' + hexlines(png(inverted)) + '}}b')
# Raw bytes after \binN instead of hex digits.
binary = dib24()
write('pict_bin.rtf', 'a{\\pict\\dibitmap0\\picwgoal600\\pichgoal450\\bin%d ' % len(binary)
      + binary.decode('latin-1') + '}b')
# An embedded object: its \result shows, its \objdata never.
write('pict_object.rtf', 'a{\\object\\objemb{\\*\\objclass Paint.Picture}\\objw60\\objh45'
      '{\\*\\objdata 01050000020000000e0000005061696e742e506963747572650000000000}'
      '{\\result{\\pict\\wmetafile8' + meta_goal + '\r\n'
      + hexlines(metafile(window_records() + [stretchdib(dib24())])) + '}}}b')
# An enhanced metafile: a placeholder of the goal size.
write('pict_emf.rtf', 'a{\\pict\\emfblip\\picw100\\pich100\\picwgoal900\\pichgoal300 '
      + hexlines(b'\x01\0\0\0' + b'\0' * 60) + '}b')
