#!/usr/bin/env python3
# Writes the generated point files of the dump check into the folder given: every number
# shape the loader has a path for, line ends, long pieces and Ctrl-Z. Deterministic: the
# same bytes on every run, so their point-dump output has a fixed checksum.
import random
import sys

LINES = 20000


def values(rng, scale):
    return [(rng.random() - 0.5) * scale for _ in range(3)]


def shape_lines(rng, name):
    if name == 'f6':
        return ['%.6f %.6f %.6f\n' % tuple(values(rng, 10)) for _ in range(LINES)]
    if name == 'g17':
        return ['%.17g %.17g %.17g\n' % tuple(values(rng, 2000)) for _ in range(LINES)]
    if name == 'e3':
        return ['%.3e %.3e %.3e\n' % tuple(v * 10 ** rng.randint(-40, 40) for v in values(rng, 2))
                for _ in range(LINES)]
    if name == 'integers':
        return ['%d %d %d\n' % tuple(rng.randint(-10 ** rng.randint(0, 9), 10 ** rng.randint(0, 9))
                                     for _ in range(3)) for _ in range(LINES)]
    if name == 'mixed-widths':
        return [' '.join('%.*f' % (rng.randint(0, 8), v) for v in values(rng, 10 ** rng.randint(0, 8)))
                + '\n' for _ in range(LINES)]
    if name == 'tabs':
        return ['%.4f\t%.4f\t%.4f\n' % tuple(values(rng, 100)) for _ in range(LINES)]
    if name == 'crlf':
        return ['%.6f %.6f %.6f\r\n' % tuple(values(rng, 10)) for _ in range(LINES)]
    if name == 'mixed-signs':
        out = []
        for _ in range(LINES):
            fields = []
            for v in values(rng, 10 ** rng.randint(0, 9)):
                text = '%.*f' % (rng.randint(0, 9), abs(v))
                sign = rng.choice(['', '-', '+'])
                if rng.random() < 0.1:
                    text = text.lstrip('0') or '0'
                fields.append(sign + text)
            out.append(rng.choice(['', ' ', '\t', '  ']) + ' '.join(fields)
                       + rng.choice(['', ' ', '\t ', '\r']) + '\n')
        return out
    if name == 'plain-edges':
        # Lengths 1 to 9 with the point anywhere, signs, values around 2^24, blanks.
        out = []
        for i in range(LINES):
            fields = []
            for _ in range(3):
                length = rng.randint(1, 9)
                digits = ''.join(rng.choice('0123456789') for _ in range(length))
                if rng.random() < 0.1:
                    digits = str(rng.choice([16777215, 16777216, 16777217, 33554431, 99999999]))
                elif rng.random() < 0.7:
                    at = rng.randint(0, len(digits))
                    digits = digits[:at] + '.' + digits[at:]
                fields.append(rng.choice(['', '-', '+']) + digits)
            sep = rng.choice([' ', '  ', '\t', ' \t'])
            out.append(rng.choice(['', ' ', '\t']) + sep.join(fields) + rng.choice(['', ' ', '\t'])
                       + rng.choice(['\n', '\r\n']))
        return out
    if name == 'long-pieces':
        out = []
        for i in range(2000):
            pad = rng.choice([250, 252, 253, 254, 255, 300, 600])
            text = '%.6f %.6f %.6f' % tuple(values(rng, 10))
            out.append(' ' * (pad - len(text)) + text + rng.choice(['\n', '\r\n']))
        return out
    if name == 'words':
        pool = ['1 2 3', 'inf 1 2', '1,2,3', '0x1p3 4 5', '1e 2 3', '.5 5. -.5', 'nan',
                '', '1e99999 -1e-99999 7', '1d5 2 3', '- 1 2', '1e+ 2 3']
        return [rng.choice(pool) + '\n' for _ in range(LINES)]
    raise ValueError(name)


SHAPES = ['f6', 'g17', 'e3', 'integers', 'mixed-widths', 'tabs', 'crlf', 'mixed-signs',
          'plain-edges', 'long-pieces', 'words']


def main():
    folder = sys.argv[1]
    for index, name in enumerate(SHAPES):
        rng = random.Random(1000 + index)
        data = ''.join(shape_lines(rng, name)).encode('ascii')
        with open('%s/%s.txt' % (folder, name), 'wb') as f:
            f.write(data)
        if name == 'f6':
            with open('%s/ctrl-z-inside.txt' % folder, 'wb') as f:
                f.write(data[:len(data) // 2] + b'\x1a' + data[len(data) // 2:])
            with open('%s/no-final-line-feed.txt' % folder, 'wb') as f:
                f.write(data[:-1])


main()
