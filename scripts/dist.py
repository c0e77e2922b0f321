#!/usr/bin/env python3
"""make dist: packs each built zelvara.exe (the ones the tests run) with the
players' README and the licence into OUT/zelvara-<version>-win32.zip or
-win64.zip, by the exe's machine, each unpacking to a folder of that name,
and writes the SHA-256 sums of the zips and of the exes into OUT/SHA256SUMS.
The same inputs give the same bytes on any machine.
Usage: dist.py OUT BUILD..."""
import hashlib
import re
import struct
import sys
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
# The PE header's machine field names the Windows the exe runs on.
ZIP_SUFFIX = {0x14c: 'win32', 0x8664: 'win64'}
FILE_ATTRIBUTE_ARCHIVE = 0x20


def product_version():
    text = (ROOT / 'src/base/constants.h').read_text(encoding='utf-8')
    return re.search(r'productVersion\[\]\s*=\s*"([^"]+)"', text).group(1)


def pe_machine(data):
    header = struct.unpack_from('<I', data, 0x3c)[0]
    if data[header:header + 4] != b'PE\0\0':
        raise SystemExit('dist.py: zelvara.exe is not a PE file')
    return struct.unpack_from('<H', data, header + 4)[0]


def pack(out, version, exe):
    """Writes one zip and returns its name and the sums of what SHA256SUMS lists
    for it: the zip, and the exe at the path unpacking the zip gives it."""
    stem = f'zelvara-{version}-{ZIP_SUFFIX[pe_machine(exe)]}'
    readme = (ROOT / 'docs/README-players.txt').read_text(encoding='utf-8').replace('@VERSION@', version)
    members = [('zelvara.exe', exe),
               # Players open these with Notepad: Windows line ends.
               ('README.txt', readme.replace('\n', '\r\n').encode('utf-8')),
               ('LICENSE.txt', (ROOT / 'LICENSE').read_text(encoding='utf-8').replace('\n', '\r\n').encode('utf-8'))]
    # Every byte of the zip is fixed by its members: stored, not deflated (a
    # deflater's output differs between zlib builds), with a fixed date, made
    # "on" MS-DOS with plain file attributes, whatever the packing machine's
    # clock, system or umask.
    with zipfile.ZipFile(out / f'{stem}.zip', 'w', zipfile.ZIP_STORED) as archive:
        for member, data in members:
            info = zipfile.ZipInfo(f'{stem}/{member}', date_time=(2014, 11, 4, 0, 0, 0))
            info.compress_type = zipfile.ZIP_STORED
            info.create_system = 0
            info.create_version = info.extract_version = 20
            info.external_attr = FILE_ATTRIBUTE_ARCHIVE
            archive.writestr(info, data)
    print(out / f'{stem}.zip')
    return [(f'{stem}.zip', sha256((out / f'{stem}.zip').read_bytes())), (f'{stem}/zelvara.exe', sha256(exe))]


def sha256(data):
    return hashlib.sha256(data).hexdigest()


def main(out, builds):
    version = product_version()
    out.mkdir(parents=True, exist_ok=True)
    sums = sorted(line for build in builds for line in pack(out, version, (build / 'zelvara.exe').read_bytes()))
    if len({name for name, _ in sums}) != len(sums):
        raise SystemExit('dist.py: two builds of one size')
    # The format sha256sum -c reads, run beside the zips and the folders
    # they unpack to; certutil and Get-FileHash print the same digits.
    (out / 'SHA256SUMS').write_text(''.join(f'{digest}  {name}\n' for name, digest in sums), encoding='ascii')


if __name__ == '__main__':
    main(Path(sys.argv[1]), [Path(b) for b in sys.argv[2:]])
