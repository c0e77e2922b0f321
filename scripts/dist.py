#!/usr/bin/env python3
"""make dist: packs the built zelvara.exe (the one the tests run), the
players' README and the licence into build/dist/zelvara-<version>-win64.zip
and writes its SHA-256 sum beside it. The same inputs give the same zip."""
import hashlib
import re
import sys
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]


def product_version():
    text = (ROOT / 'src/base/constants.h').read_text(encoding='utf-8')
    return re.search(r'productVersion\[\]\s*=\s*"([^"]+)"', text).group(1)


def main(build):
    version = product_version()
    out = build / 'dist'
    out.mkdir(parents=True, exist_ok=True)
    name = f'zelvara-{version}-win64.zip'
    readme = (ROOT / 'docs/README-players.txt').read_text(encoding='utf-8').replace('@VERSION@', version)
    members = [('zelvara.exe', (build / 'zelvara.exe').read_bytes()),
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
    digest = hashlib.sha256((out / name).read_bytes()).hexdigest()
    (out / f'{name}.sha256').write_text(f'{digest}  {name}\n', encoding='ascii')
    print(out / name)


if __name__ == '__main__':
    main(Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / 'build')
