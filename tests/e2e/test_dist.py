"""The release zip: unpacked into a fresh folder, its exe is the tested one,
starts from there and carries the product version."""
import hashlib
import re
import zipfile
from pathlib import Path

from conftest import BUILD, EXE, wait_for

ROOT = Path(__file__).resolve().parents[2]


def product_version(exe):
    found = re.search('ProductVersion\0'.encode('utf-16-le') + b'(?:\0\0)?((?:[^\0].|\0[^\0])*?)\0\0',
                      exe.read_bytes(), re.S)
    return found.group(1).decode('utf-16-le')


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
    assert product_version(exe) == version
    assert 'Print Screen' in (home / 'README.txt').read_text()

    program = start(cwd=home, exe=exe)
    assert program.main_window()['title'] == f'Zelvara {version}'
    wait_for(lambda: (home / 'zelvara.cfg').exists(), 'the settings file beside the exe')
    assert program.close() == 0
