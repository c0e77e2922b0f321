#!/usr/bin/env python3
"""make dist: packs each built zelvara.exe (the ones the tests run) with the
players' README and the licence into OUT/zelvara-<version>-win32.zip or
-win64.zip, by the exe's machine, and writes both SHA-256 sums into
OUT/SHA256SUMS. The same inputs give the same zips.
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


def product_version():
    text = (ROOT / 'src/base/constants.h').read_text(encoding='utf-8')
    return re.search(r'productVersion\[\]\s*=\s*"([^"]+)"', text).group(1)


def pe_machine(data):
    header = struct.unpack_from('<I', data, 0x3c)[0]
    if data[header:header + 4] != b'PE\0\0':
        raise SystemExit('dist.py: zelvara.exe is not a PE file')
    return struct.unpack_from('<H', data, header + 4)[0]


def pack(out, version, exe):
    name = f'zelvara-{version}-{ZIP_SUFFIX[pe_machine(exe)]}.zip'
    readme = (ROOT / 'docs/README-players.txt').read_text(encoding='utf-8').replace('@VERSION@', version)
    members = [('zelvara.exe', exe),
               # Players open these with Notepad: Windows line ends.
               ('README.txt', readme.replace('\n', '\r\n').encode('utf-8')),
               ('LICENSE.txt', (ROOT / 'LICENSE').read_text(encoding='utf-8').replace('\n', '\r\n').encode('utf-8'))]
    with zipfile.ZipFile(out / name, 'w', zipfile.ZIP_DEFLATED) as archive:
        for member, data in members:
            # A fixed date keeps the zip the same from build to build.
            info = zipfile.ZipInfo(f'zelvara-{version}/{member}', date_time=(2014, 11, 4, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            archive.writestr(info, data)
    print(out / name)
    return name


def main(out, builds):
    version = product_version()
    out.mkdir(parents=True, exist_ok=True)
    names = sorted(pack(out, version, (build / 'zelvara.exe').read_bytes()) for build in builds)
    if len(set(names)) != len(names):
        raise SystemExit('dist.py: two builds of one size')
    # The format sha256sum -c reads; certutil and Get-FileHash print the same digits.
    (out / 'SHA256SUMS').write_text(''.join(f'{hashlib.sha256((out / n).read_bytes()).hexdigest()}  {n}\n'
                                            for n in names), encoding='ascii')


if __name__ == '__main__':
    main(Path(sys.argv[1]), [Path(b) for b in sys.argv[2:]])
