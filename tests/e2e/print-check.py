#!/usr/bin/env python3
"""Checks the PDF files of a tests/e2e/cups-pdf run against the jobs printprobe printed.

    print-check.py OUT_DIR

OUT_DIR/jobs.txt has one line per job: the queue, the picture's size, where the layout put
it (x, y, dw, dh in the printable area's device pixels) and the page geometry (dpi, offset
of the printable area, paper size in device pixels). Each queue writes into OUT_DIR/QUEUE.

For every queue: exactly as many PDF files as jobs, each with one page and no title. Each
page, rendered with `pdftoppm -r 50 -png`, is paper-sized, white except for the picture,
whose edges lie within a pixel of where the layout says, and whose four quadrants (red,
green; blue, yellow from the top left) have their colours.
"""
import os
import re
import struct
import subprocess
import sys
import tempfile
import zlib

RESOLUTION = 50
EDGE_TOLERANCE = 1.0        # rendered pixels
COLOUR_TOLERANCE = 24       # per channel
WHITE_ENOUGH = 200          # darker in any channel counts as part of the picture
QUADRANTS = [  # (left half?, top half?, colour)
    (True, True, (255, 0, 0)),
    (False, True, (0, 255, 0)),
    (True, False, (0, 0, 255)),
    (False, False, (255, 255, 0)),
]


def read_png(path):
    """Width, height and rows of (r, g, b) of an 8-bit, non-interlaced PNG."""
    with open(path, 'rb') as f:
        data = f.read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise ValueError(path + ': not a PNG')
    pos, idat, header = 8, b'', None
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            header = struct.unpack('>IIBBBBB', body)
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    width, height, depth, colour_type, _, _, interlace = header
    channels = {0: 1, 2: 3, 6: 4}.get(colour_type)
    if depth != 8 or channels is None or interlace:
        raise ValueError(path + ': unsupported PNG layout')
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous, pos = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[pos], bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                corner = previous[i - channels] if i >= channels else 0
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                predictor = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[i] = (line[i] + predictor) & 0xFF
        if channels == 1:
            rows.append([(v, v, v) for v in line])
        else:
            rows.append([tuple(line[x * channels:x * channels + 3]) for x in range(width)])
        previous = line
    return width, height, rows


def pdf_info(path):
    out = subprocess.run(['pdfinfo', path], capture_output=True, text=True, timeout=30, check=True).stdout
    info = {}
    for line in out.splitlines():
        key, _, value = line.partition(':')
        info[key.strip()] = value.strip()
    return info


def render(path, folder):
    base = os.path.join(folder, 'page')
    subprocess.run(['pdftoppm', '-r', str(RESOLUTION), '-png', path, base], check=True, timeout=60)
    pages = sorted(name for name in os.listdir(folder) if name.startswith('page'))
    return [os.path.join(folder, name) for name in pages]


def check_page(png, job):
    """Problems found on the rendered page of one job, as texts."""
    problems = []
    width, height, rows = read_png(png)
    sx, sy = RESOLUTION / job['dpix'], RESOLUTION / job['dpiy']
    paper = (job['physw'] * sx, job['physh'] * sy)
    if abs(width - paper[0]) > EDGE_TOLERANCE + 0.5 or abs(height - paper[1]) > EDGE_TOLERANCE + 0.5:
        problems.append('page is %dx%d, paper is %.1fx%.1f' % (width, height, paper[0], paper[1]))

    expected = ((job['offx'] + job['x']) * sx, (job['offy'] + job['y']) * sy,
                (job['offx'] + job['x'] + job['dw']) * sx, (job['offy'] + job['y'] + job['dh']) * sy)
    marked = [(x, y) for y, row in enumerate(rows) for x, p in enumerate(row) if min(p) < WHITE_ENOUGH]
    if not marked:
        return problems + ['the page is blank']
    found = (min(x for x, _ in marked), min(y for _, y in marked),
             max(x for x, _ in marked) + 1, max(y for _, y in marked) + 1)
    if any(abs(f - e) > EDGE_TOLERANCE for f, e in zip(found, expected)):
        problems.append('picture at %s, layout says %s' % (found, tuple(round(e, 2) for e in expected)))

    # Each quadrant, two pixels in from its edges, is its colour throughout.
    left, top, right, bottom = expected
    middle_x, middle_y = (left + right) / 2, (top + bottom) / 2
    for is_left, is_top, colour in QUADRANTS:
        x0, x1 = (left, middle_x) if is_left else (middle_x, right)
        y0, y1 = (top, middle_y) if is_top else (middle_y, bottom)
        wrong = [(x, y, rows[y][x])
                 for y in range(int(y0) + 2, int(y1) - 1)
                 for x in range(int(x0) + 2, int(x1) - 1)
                 if any(abs(a - b) > COLOUR_TOLERANCE for a, b in zip(rows[y][x], colour))]
        if wrong:
            problems.append('quadrant of %s has %d other pixels, first %s' % (colour, len(wrong), wrong[0]))
    return problems


def job_number(name):
    match = re.search(r'job_(\d+)', name)
    return int(match.group(1)) if match else 0


def main():
    out = sys.argv[1]
    jobs = []
    with open(os.path.join(out, 'jobs.txt')) as f:
        for line in f:
            fields = dict(item.split('=', 1) for item in line.split())
            jobs.append({k: (v if k == 'queue' else int(v)) for k, v in fields.items()})
    queues = sorted({job['queue'] for job in jobs} |
                    {name for name in os.listdir(out) if os.path.isdir(os.path.join(out, name))})
    failures = 0
    for queue in queues:
        folder = os.path.join(out, queue)
        pdfs = sorted((n for n in os.listdir(folder) if n.endswith('.pdf')), key=job_number) if os.path.isdir(folder) else []
        expected = [job for job in jobs if job['queue'] == queue]
        if len(pdfs) != len(expected):
            print('FAIL %s: %d PDF files %s for %d jobs' % (queue, len(pdfs), pdfs, len(expected)))
            failures += 1
            continue
        for name, job in zip(pdfs, expected):
            path = os.path.join(folder, name)
            info = pdf_info(path)
            problems = []
            if info.get('Pages') != '1':
                problems.append('%s pages' % info.get('Pages'))
            if info.get('Title', ''):
                problems.append('document title %r' % info['Title'])
            with tempfile.TemporaryDirectory() as scratch:
                pages = render(path, scratch)
                problems += check_page(pages[0], job) if pages else ['nothing rendered']
            if problems:
                failures += 1
                print('FAIL %s/%s: %s' % (queue, name, '; '.join(problems)))
            else:
                print('ok   %s/%s: %dx%d picture at %d,%d size %dx%d' % (
                    queue, name, job['width'], job['height'], job['x'], job['y'], job['dw'], job['dh']))
    if not jobs:
        print('FAIL no jobs were printed')
        failures += 1
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
