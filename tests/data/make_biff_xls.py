# Writes a legacy workbook record by record, for what python3-xlwt cannot
# write: stored formula results, strings split across continuation records in
# every way, rich-text and Far East string extras, a chart inside a sheet, an
# Excel 5/95 workbook in a code page. A damage name writes the same workbook
# broken in one place. Standard library only.
#
#   make_biff_xls.py KIND OUT
#   KIND: biff8, biff5, biff5-cp866, or one of DAMAGES below
import struct
import sys

ENDOFCHAIN = 0xFFFFFFFE
FREESECT = 0xFFFFFFFF
FATSECT = 0xFFFFFFFD
DIFSECT = 0xFFFFFFFC
NOSTREAM = 0xFFFFFFFF
SECTOR = 512
MINI = 64
CUTOFF = 4096

DAMAGES = [
    # records and strings
    'sst-count-too-big', 'sst-count-huge', 'sst-string-past-record',
    'sst-odd-wide-split', 'labelsst-index', 'label-past-record', 'string-past-record',
    'record-past-stream', 'sheet-without-eof', 'globals-without-eof', 'boundsheet-offset-outside',
    'boundsheet-offset-inside-record', 'mulrk-mismatch', 'mulrk-short', 'column-past-last',
    'number-nan', 'number-short', 'formula-short', 'encrypted', 'no-worksheet', 'biff4',
    'no-bof', 'sheet-bof-chart',
    # the compound file around them
    'fat-loop', 'dir-loop', 'difat-loop', 'fat-sector-outside', 'dir-start-outside',
    'stream-size-past-chain', 'sector-shift', 'minifat-loop', 'no-workbook-stream',
]


def rec(rid, data):
    return struct.pack('<HH', rid, len(data)) + data


def wide(text):
    return text.encode('utf-16-le')


def narrow(text):
    return text.encode('latin-1')


def ustr(text, flags_extra=0, runs=b'', ext=b''):
    """A 16-bit-length string of the later format, whole."""
    is_wide = any(ord(c) > 255 for c in text)
    flags = (1 if is_wide else 0) | flags_extra
    out = struct.pack('<HB', len(text), flags)
    if flags & 0x08:
        out += struct.pack('<H', len(runs) // 4)
    if flags & 0x04:
        out += struct.pack('<I', len(ext))
    out += wide(text) if is_wide else narrow(text)
    return out + runs + ext


def cell(row, col, xf=15):
    return struct.pack('<HHH', row, col, xf)


def rk_int(v):
    return ((v << 2) | 2) & 0xFFFFFFFF


def rk_float(v, hundredths=False):
    bits = struct.unpack('<Q', struct.pack('<d', v))[0]
    assert bits & 0x3FFFFFFFF == 0
    return (bits >> 32) | (1 if hundredths else 0)


def formula(row, col, result, tail=b''):
    # result: 8 bytes; options, cache, an empty expression
    return rec(0x0006, cell(row, col) + result + struct.pack('<HIH', 0, 0, 0) + tail)


def formula_special(kind, value=0):
    return struct.pack('<BBBBHH', kind, 0, value, 0, 0, 0xFFFF)


BOF8_GLOBALS = struct.pack('<HHHHII', 0x0600, 0x0005, 0x0DBB, 0x07CC, 0, 0x0006)
BOF8_SHEET = struct.pack('<HHHHII', 0x0600, 0x0010, 0x0DBB, 0x07CC, 0, 0x0006)
BOF8_CHART = struct.pack('<HHHHII', 0x0600, 0x0020, 0x0DBB, 0x07CC, 0, 0x0006)
EOF = rec(0x000A, b'')

LONG_LATIN = 'A' * 400
LONG_WIDE = 'Ж' * 200
SPLIT_WIDE = 'Щ' * 10
SPLIT_NARROW = 'z' * 10


def sst_records(damage):
    """The shared strings, split over continuation records at chosen points."""
    recs = [bytearray(struct.pack('<II', 20, 10))]
    count = 10
    r = recs[0]
    r += ustr('не этот лист')
    r += ustr('простой')
    # Characters run over the join; the rest restarts with its own width.
    r += struct.pack('<HB', len(LONG_LATIN) + len(LONG_WIDE), 0) + narrow(LONG_LATIN)
    recs.append(bytearray(b'\x01' + wide(LONG_WIDE)))
    r = recs[-1]
    # Rich-text runs split between two runs, with no flags byte for them.
    runs = struct.pack('<HHHHHH', 0, 1, 6, 0, 9, 2)
    text = 'Жирный и обычный'
    r += struct.pack('<HBH', len(text), 0x09, 3) + wide(text) + runs[:4]
    recs.append(bytearray(runs[4:]))
    r = recs[-1]
    # A Far East extension, split too.
    ext = bytes(range(6))
    text = 'дальний'
    r += struct.pack('<HBI', len(text), 0x05, len(ext)) + wide(text) + ext[:3]
    recs.append(bytearray(ext[3:]))
    r = recs[-1]
    # A header at the very end, its characters in the next record.
    text = 'заголовок в конце'
    r += struct.pack('<HB', len(text), 1)
    recs.append(bytearray(b'\x01' + wide(text)))
    r = recs[-1]
    r += ustr('ровно')
    # A string that starts a record: no flags byte of its own.
    recs.append(bytearray(ustr('с начала записи')))
    r = recs[-1]
    # 16-bit characters first, the rest one byte each.
    r += struct.pack('<HB', len(SPLIT_WIDE) + len(SPLIT_NARROW), 1) + wide(SPLIT_WIDE)
    if damage == 'sst-odd-wide-split':
        r += b'\x00'  # half a character before the join
    recs.append(bytearray(b'\x00' + narrow(SPLIT_NARROW)))
    r = recs[-1]
    r += ustr('последняя')
    if damage == 'sst-string-past-record':
        r[-len(wide('последняя')) - 3:-len(wide('последняя')) - 1] = struct.pack('<H', 500)
    if damage == 'sst-count-too-big':
        recs[0][4:8] = struct.pack('<I', count + 1)
    if damage == 'sst-count-huge':
        recs[0][4:8] = struct.pack('<I', 0xFFFFFFFF)
    out = rec(0x00FC, bytes(recs[0]))
    for c in recs[1:]:
        out += rec(0x003C, bytes(c))
    return out


def biff8_stream(damage):
    def sheet_records():
        s = b''
        s += formula(0, 0, struct.pack('<d', 3.5))
        s += formula(0, 1, formula_special(0)) + rec(0x0207, ustr('итог'))
        s += formula(0, 2, formula_special(1, 1))
        s += formula(0, 3, formula_special(2, 0x07))
        s += formula(0, 4, formula_special(3))
        # A long text result: its own continuation, and a shared-formula
        # record between the cell and its text.
        s += formula(0, 5, formula_special(0))
        s += rec(0x04BC, b'\x00' * 10)
        text = struct.pack('<HB', 150, 0) + narrow('x' * 100)
        if damage == 'string-past-record':
            text = struct.pack('<HB', 150, 0) + narrow('x' * 40)
            s += rec(0x0207, text)
        else:
            s += rec(0x0207, text) + rec(0x003C, b'\x01' + wide('ы' * 50))
        s += rec(0x0205, cell(1, 0) + b'\x00\x00')
        s += rec(0x0205, cell(1, 1) + b'\x07\x01')
        s += rec(0x0205, cell(1, 2) + b'\x01\x00')
        for i in range(1, 10):
            index = i
            if damage == 'labelsst-index' and i == 9:
                index = 10
            s += rec(0x00FD, cell(2, i - 1) + struct.pack('<I', index))
        label = ustr('метка')
        if damage == 'label-past-record':
            label = struct.pack('<HB', 50, 1) + wide('метка')
        s += rec(0x0204, cell(3, 0) + label)
        s += rec(0x00D6, cell(3, 1) + ustr('форматированный') + struct.pack('<HHH', 1, 0, 5))
        number = struct.pack('<d', -0.001)
        if damage == 'number-nan':
            number = struct.pack('<Q', 0x7FF8000000000000)
        if damage == 'number-short':
            number = number[:4]
        s += rec(0x0203, cell(3, 2) + number)
        s += rec(0x027E, cell(3, 3) + struct.pack('<I', rk_int(-7)))
        s += rec(0x027E, cell(3, 4) + struct.pack('<I', rk_int(1234) | 1))
        s += rec(0x027E, cell(3, 5) + struct.pack('<I', rk_float(2.5)))
        mul = struct.pack('<HH', 4, 1)
        for v in (rk_int(1), rk_float(0.5), rk_int(-250) | 1):
            mul += struct.pack('<HI', 15, v)
        last = 3 if damage != 'mulrk-mismatch' else 4
        mul += struct.pack('<H', last)
        if damage == 'mulrk-short':
            mul = struct.pack('<HHHIH', 4, 1, 15, rk_int(1), 1)[:9]
        s += rec(0x00BD, mul)
        # A chart drawn on the sheet is a substream of its own; its records
        # are not cells.
        s += rec(0x0809, BOF8_CHART) + rec(0x0203, cell(5, 0) + struct.pack('<d', 99)) + EOF
        s += rec(0x00FD, cell(5, 1) + struct.pack('<I', 7))
        col = 255 if damage != 'column-past-last' else 256
        s += rec(0x0203, cell(99, col) + struct.pack('<d', 1))
        if damage == 'formula-short':
            s += rec(0x0006, cell(6, 0) + b'\x00' * 6)
        return s

    # Enough cells on the other sheet to put the stream in full sectors.
    decoy = rec(0x0809, BOF8_SHEET) + rec(0x00FD, cell(0, 0) + struct.pack('<I', 0))
    for i in range(1, 200):
        decoy += rec(0x0203, cell(i, 0) + struct.pack('<d', 999))
    decoy += EOF
    chart = rec(0x0809, BOF8_CHART) + EOF
    sheet_bof = BOF8_CHART if damage == 'sheet-bof-chart' else BOF8_SHEET
    sheet = rec(0x0809, sheet_bof) + sheet_records()
    if damage != 'sheet-without-eof':
        sheet += EOF
    if damage == 'record-past-stream':
        sheet = sheet[:-4] + struct.pack('<HH', 0x0203, 14) + b'\x00' * 6

    types = [0, 2, 0] if damage != 'no-worksheet' else [2, 2, 2]

    def globals_records(offsets):
        version = 0x0400 if damage == 'biff4' else 0x0600
        g = b'' if damage == 'no-bof' else rec(0x0809, struct.pack('<H', version) + BOF8_GLOBALS[2:])
        if damage == 'encrypted':
            g += rec(0x002F, b'\x00' * 6)
        g += rec(0x0042, struct.pack('<H', 1200))
        g += rec(0x003D, struct.pack('<HHHHHHHHH', 0, 0, 0x4000, 0x3000, 0x38, 2, 0, 1, 0x258))
        g += rec(0x0022, struct.pack('<H', 0))
        for off, kind, name in zip(offsets, types, ['Черновик', 'Диаграмма', 'Данные']):
            g += rec(0x0085, struct.pack('<IBB', off, 0, kind) +
                     struct.pack('<BB', len(name), 1) + wide(name))
        g += sst_records(damage)
        if damage != 'globals-without-eof':
            g += EOF
        return g

    size = len(globals_records([0, 0, 0]))
    offsets = [size, size + len(decoy), size + len(decoy) + len(chart)]
    if damage == 'boundsheet-offset-outside':
        offsets[2] = 0x7FFFFFF0
    if damage == 'boundsheet-offset-inside-record':
        offsets[2] += 6
    return globals_records(offsets) + decoy + chart + sheet


def biff5_stream(codepage):
    enc = {1251: 'cp1251', 866: 'cp866'}[codepage]

    def bstr(text):
        b = text.encode(enc)
        return struct.pack('<H', len(b)) + b

    bof_globals = struct.pack('<HHHH', 0x0500, 0x0005, 0x096C, 0x07C9)
    bof_sheet = struct.pack('<HHHH', 0x0500, 0x0010, 0x096C, 0x07C9)
    s = rec(0x0809, bof_sheet)
    s += rec(0x0204, cell(0, 0) + bstr('Иванов И. И.'))
    s += rec(0x00D6, cell(0, 1) + bstr('жирный') + b'\x01\x00\x01')
    s += rec(0x0203, cell(1, 0) + struct.pack('<d', 12.5))
    s += rec(0x027E, cell(1, 1) + struct.pack('<I', rk_int(1500)))
    s += formula(1, 2, formula_special(0)) + rec(0x0207, bstr('сумма'))
    s += formula(1, 3, formula_special(1, 0))
    s += rec(0x0205, cell(1, 4) + b'\x01\x00')
    s += EOF

    def globals_records(offset):
        name = 'Лист1'.encode(enc)
        g = rec(0x0809, bof_globals)
        g += rec(0x0042, struct.pack('<H', codepage))
        g += rec(0x003D, struct.pack('<HHHHHHHHH', 0, 0, 0x4000, 0x3000, 0x38, 0, 0, 1, 0x258))
        g += rec(0x0085, struct.pack('<IBBB', offset, 0, 0, len(name)) + name)
        return g + EOF

    return globals_records(len(globals_records(0))) + s


def compound(streams, damage):
    """A compound file of 512-byte sectors holding the named streams."""
    sectors = []  # bytes of each sector
    fat = []

    def put_chain(data):
        start = len(sectors)
        n = max(1, -(-len(data) // SECTOR))
        data = data + b'\x00' * (n * SECTOR - len(data))
        for i in range(n):
            sectors.append(data[i * SECTOR:(i + 1) * SECTOR])
            fat.append(start + i + 1 if i + 1 < n else ENDOFCHAIN)
        return start

    entries = []  # (name, type, start, size)
    ministream = b''
    minifat = []
    for name, data in streams:
        if len(data) >= CUTOFF:
            entries.append((name, 2, put_chain(data), len(data)))
        else:
            first = len(ministream) // MINI
            n = max(1, -(-len(data) // MINI))
            ministream += data + b'\x00' * (n * MINI - len(data))
            for i in range(n):
                minifat.append(first + i + 1 if i + 1 < n else ENDOFCHAIN)
            entries.append((name, 2, first, len(data)))
    root_start = put_chain(ministream) if ministream else ENDOFCHAIN
    minifat_start = ENDOFCHAIN
    if minifat:
        if damage == 'minifat-loop':
            minifat[0] = 0
        minifat_start = put_chain(b''.join(struct.pack('<I', x) for x in minifat) +
                                  b'\xff' * 4 * (-len(minifat) % 128))

    def dir_entry(name, kind, start, size, child=NOSTREAM, right=NOSTREAM):
        raw = wide(name) + b'\x00\x00' if name else b''
        return (raw + b'\x00' * (64 - len(raw)) +
                struct.pack('<HBBIII', len(raw), kind, 1, NOSTREAM, right, child) +
                b'\x00' * 36 + struct.pack('<III', start, size, 0))

    d = dir_entry('Root Entry', 5, root_start, len(ministream), child=1 if entries else NOSTREAM)
    for i, (name, kind, start, size) in enumerate(entries):
        if damage == 'stream-size-past-chain':
            size += 1024
        d += dir_entry(name, kind, start, size, right=i + 2 if i + 1 < len(entries) else NOSTREAM)
    while len(d) % SECTOR:
        d += dir_entry('', 0, 0, 0)
    dir_start = put_chain(d)
    difat_start = ENDOFCHAIN
    if damage == 'difat-loop':
        difat_start = len(sectors)
        sectors.append(b'\xff' * (SECTOR - 4) + struct.pack('<I', difat_start))
        fat.append(DIFSECT)

    n_fat = 1
    while n_fat * (SECTOR // 4) < len(sectors) + n_fat:
        n_fat += 1
    fat_start = len(sectors)
    fat += [FATSECT] * n_fat
    fat += [FREESECT] * (n_fat * (SECTOR // 4) - len(fat))
    if damage == 'fat-loop':
        fat[entries[0][2]] = entries[0][2]
    if damage == 'dir-loop':
        fat[dir_start] = dir_start
    fat_bytes = b''.join(struct.pack('<I', x) for x in fat)
    for i in range(n_fat):
        sectors.append(fat_bytes[i * SECTOR:(i + 1) * SECTOR])

    difat = [fat_start + i for i in range(n_fat)] + [FREESECT] * (109 - n_fat)
    if damage == 'fat-sector-outside':
        difat[n_fat] = 100000
    header = (b'\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1' + b'\x00' * 16 +
              struct.pack('<HHHHH', 0x3E, 3, 0xFFFE, 9 if damage != 'sector-shift' else 30, 6) +
              b'\x00' * 6 +
              struct.pack('<IIIIIIIII', 0, n_fat,
                          dir_start if damage != 'dir-start-outside' else 0x7FFFFFF0, 0, CUTOFF,
                          minifat_start, 1 if minifat else 0, difat_start,
                          1 if damage == 'difat-loop' else 0) +
              b''.join(struct.pack('<I', x) for x in difat))
    assert len(header) == SECTOR
    return header + b''.join(sectors)


def main():
    kind, out = sys.argv[1], sys.argv[2]
    if kind == 'biff5':
        data = compound([('Book', biff5_stream(1251))], '')
    elif kind == 'biff5-cp866':
        data = compound([('Book', biff5_stream(866))], '')
    elif kind == 'minifat-loop':
        data = compound([('Book', biff5_stream(1251))], kind)
    elif kind == 'biff8' or kind in DAMAGES:
        damage = '' if kind == 'biff8' else kind
        name = 'Workbook' if damage != 'no-workbook-stream' else 'Tabelle'
        data = compound([(name, biff8_stream(damage))], damage)
    else:
        sys.exit('unknown kind ' + kind)
    with open(out, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main()
