"""The release zip: unpacked into a fresh folder, its exe is the tested one,
starts from there and carries the product version."""
import hashlib
import re
import struct
import zipfile
from pathlib import Path

from conftest import BUILD, EXE, wait_for

ROOT = Path(__file__).resolve().parents[2]


def version_resource(exe):
    data = exe.read_bytes()
    product = re.search('ProductVersion\0'.encode('utf-16-le') + b'(?:\0\0)?((?:[^\0].|\0[^\0])*?)\0\0', data, re.S)
    fixed = data.index(struct.pack('<I', 0xFEEF04BD))
    ms, ls = struct.unpack_from('<II', data, fixed + 16)
    return product.group(1).decode('utf-16-le'), (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)


def test_the_unpacked_release_starts_and_names_its_version(start, tmp_path):
    version = re.search(r'productVersion\[\] = "([^"]+)"', (ROOT / 'src/base/constants.h').read_text()).group(1)
    name = f'zelvara-{version}-win64.zip'
    archive = BUILD / 'dist' / name
    digest, listed = (BUILD / 'dist' / f'{name}.sha256').read_text().split()
    assert (digest, listed) == (hashlib.sha256(archive.read_bytes()).hexdigest(), name)

    folder = tmp_path / 'unpacked'
    with zipfile.ZipFile(archive) as release:
        assert sorted(release.namelist()) == [f'zelvara-{version}/{n}' for n in ('LICENSE.txt', 'README.txt',
                                                                                  'zelvara.exe')]
        release.extractall(folder)
    home = folder / f'zelvara-{version}'
    exe = home / 'zelvara.exe'
    assert exe.read_bytes() == EXE.read_bytes(), 'the zip carries the exe the tests run'
    assert version_resource(exe) == (version, tuple(map(int, (version + '.0.0').split('.')[:4])))
    assert 'Print Screen' in (home / 'README.txt').read_text()

    program = start(cwd=home, exe=exe)
    assert program.main_window()['title'] == f'Zelvara {version}'
    wait_for(lambda: (home / 'zelvara.cfg').exists(), 'the settings file beside the exe')
    assert program.close() == 0
