"""The release: a zip for each size of Windows, named for the machine its exe
is built for, both listed with their sums in SHA256SUMS. The one of the
build under test, unpacked into a fresh folder, holds the tested exe, which
starts from there and carries the product version."""
import hashlib
import os
import re
import struct
import zipfile
from pathlib import Path

from conftest import BUILD, EXE, wait_for

ROOT = Path(__file__).resolve().parents[2]
DIST = Path(os.environ.get('ZELVARA_DIST', BUILD / 'dist'))
WINDOWS = {0x14c: 'win32', 0x8664: 'win64'}


def product_version(exe):
    found = re.search('ProductVersion\0'.encode('utf-16-le') + b'(?:\0\0)?((?:[^\0].|\0[^\0])*?)\0\0',
                      exe.read_bytes(), re.S)
    return found.group(1).decode('utf-16-le')


def machine(exe):
    """The PE header's machine field."""
    header = struct.unpack_from('<I', exe, 0x3c)[0]
    assert exe[header:header + 4] == b'PE\0\0'
    return struct.unpack_from('<H', exe, header + 4)[0]


def test_the_unpacked_release_starts_and_names_its_version(start, tmp_path):
    version = re.search(r'productVersion\[\] = "([^"]+)"', (ROOT / 'src/base/constants.h').read_text()).group(1)
    lines = (DIST / 'SHA256SUMS').read_text().splitlines()
    sums = {name: digest for digest, name in (line.split('  ') for line in lines)}
    assert sorted(sums) == [f'zelvara-{version}-win32.zip', f'zelvara-{version}-win64.zip']
    for name, digest in sums.items():
        assert hashlib.sha256((DIST / name).read_bytes()).hexdigest() == digest, name
        with zipfile.ZipFile(DIST / name) as release:
            assert sorted(release.namelist()) == [f'zelvara-{version}/{n}' for n in ('LICENSE.txt', 'README.txt',
                                                                                      'zelvara.exe')]
            assert name.endswith(f'-{WINDOWS[machine(release.read(f"zelvara-{version}/zelvara.exe"))]}.zip')

    folder = tmp_path / 'unpacked'
    with zipfile.ZipFile(DIST / f'zelvara-{version}-{WINDOWS[machine(EXE.read_bytes())]}.zip') as release:
        release.extractall(folder)
    home = folder / f'zelvara-{version}'
    exe = home / 'zelvara.exe'
    assert exe.read_bytes() == EXE.read_bytes(), 'the zip carries the exe the tests run'
    assert product_version(exe) == version
    assert 'Print Screen' in (home / 'README.txt').read_text()

    program = start(cwd=home, exe=exe)
    assert program.main_window()['title'] == f'Zelvara {version}'
    wait_for(lambda: (home / 'zelvara.cfg').exists(), 'the settings file beside the exe')
    assert program.close() == 0
