"""The release: a zip for each size of Windows, named for the machine its exe
is built for, both listed with their sums in SHA256SUMS. The one of the
build under test, unpacked into a fresh folder, holds the tested exe, which
starts from there and carries the product version. Each exe is one that
Windows itself accepts, read from its bytes: Wine checks none of it."""
import hashlib
import os
import re
import struct
import zipfile
from pathlib import Path

import pytest

from conftest import BUILD, EXE, wait_for
from pe_image import PeImage

ROOT = Path(__file__).resolve().parents[2]
DIST = Path(os.environ.get('ZELVARA_DIST', BUILD / 'dist'))
WINDOWS = {0x14c: 'win32', 0x8664: 'win64'}
MANIFEST_ARCHITECTURE = {0x14c: 'x86', 0x8664: 'amd64'}
HIGH_ENTROPY_VA, DYNAMIC_BASE, NX_COMPAT, NO_SEH = 0x20, 0x40, 0x100, 0x400
WINDOWS_GUI = 2
VISTA = (6, 0)
SYSTEM_DLLS = {'advapi32.dll', 'gdi32.dll', 'kernel32.dll', 'msvcrt.dll', 'ole32.dll', 'oleaut32.dll', 'shell32.dll',
               'shlwapi.dll', 'user32.dll'}


def product_version(exe):
    found = re.search('ProductVersion\0'.encode('utf-16-le') + b'(?:\0\0)?((?:[^\0].|\0[^\0])*?)\0\0',
                      exe.read_bytes(), re.S)
    return found.group(1).decode('utf-16-le')


def machine(exe):
    """The PE header's machine field."""
    header = struct.unpack_from('<I', exe, 0x3c)[0]
    assert exe[header:header + 4] == b'PE\0\0'
    return struct.unpack_from('<H', exe, header + 4)[0]


def release_version():
    return re.search(r'productVersion\[\] = "([^"]+)"', (ROOT / 'src/base/constants.h').read_text()).group(1)


def delayed_by_list():
    """{dll: names} of the delay-load lists the build reads, undecorated."""
    lists = {}
    for listing in sorted((ROOT / 'cmake/delay').glob('*.def')):
        lines = listing.read_text().split()
        lists[lines[1].lower()] = sorted(re.sub(r'@\d+$', '', n) for n in lines[lines.index('EXPORTS') + 1:])
    return lists


@pytest.mark.parametrize('size', ['win32', 'win64'])
def test_windows_accepts_the_exe_of_each_zip(size):
    version = release_version()
    with zipfile.ZipFile(DIST / f'zelvara-{version}-{size}.zip') as release:
        exe = PeImage(release.read(f'zelvara-{version}-{size}/zelvara.exe'))
    assert WINDOWS[exe.machine] == size

    # A manifest naming another architecture fails the activation context.
    assert exe.manifest_architecture() == MANIFEST_ARCHITECTURE[exe.machine]

    # The oldest Windows, in the header Windows reads before loading anything.
    assert (exe.subsystem, exe.subsystem_version, exe.os_version) == (WINDOWS_GUI, VISTA, VISTA)

    # ASLR with the relocations it needs, DEP, the whole 64-bit address
    # space on x64, no structured exception handler on x86 (what SafeSEH
    # asks of an image that has none), nothing both writable and run, and
    # the failure paths of the stack canary and of the checked copies linked in.
    wanted = DYNAMIC_BASE | NX_COMPAT | (HIGH_ENTROPY_VA if size == 'win64' else NO_SEH)
    assert exe.dll_characteristics & wanted == wanted, hex(exe.dll_characteristics)
    assert exe.directories[5][1] > 0, 'no base relocations'
    assert exe.writable_code() == []
    assert b'stack smashing detected' in exe.data
    assert b'buffer overflow detected' in exe.data, 'no checked C library copy'

    # Nothing to put beside it: only DLLs that every Windows has.
    assert set(exe.imports()) <= SYSTEM_DLLS, sorted(exe.imports())

    # The DLLs loaded on first use load on first use only: a function the
    # lists miss, or list with the wrong x86 decoration, binds through the
    # ordinary import library and the DLL loads at start, silently.
    lists = delayed_by_list()
    assert sorted(lists) == ['comctl32.dll', 'gdiplus.dll', 'urlmon.dll', 'winmm.dll']
    assert not set(lists) & set(exe.imports()), sorted(exe.imports())
    assert {dll: sorted(names) for dll, names in exe.delay_imports().items()} == lists


def test_the_unpacked_release_starts_and_names_its_version(start, tmp_path):
    version = release_version()
    lines = (DIST / 'SHA256SUMS').read_text().splitlines()
    sums = {name: digest for digest, name in (line.split('  ') for line in lines)}
    zips = [f'zelvara-{version}-win32.zip', f'zelvara-{version}-win64.zip']
    exes = [f'zelvara-{version}-win32/zelvara.exe', f'zelvara-{version}-win64/zelvara.exe']
    assert sorted(sums) == sorted(zips + exes)
    for name in zips:
        assert hashlib.sha256((DIST / name).read_bytes()).hexdigest() == sums[name], name
        stem = name.removesuffix('.zip')
        with zipfile.ZipFile(DIST / name) as release:
            assert sorted(release.namelist()) == [f'{stem}/{n}' for n in ('LICENSE.txt', 'README.txt', 'zelvara.exe')]
            exe = release.read(f'{stem}/zelvara.exe')
            assert name.endswith(f'-{WINDOWS[machine(exe)]}.zip')
            assert hashlib.sha256(exe).hexdigest() == sums[f'{stem}/zelvara.exe']
            # Bytes that no deflater, clock, system or umask decides.
            for member in release.infolist():
                assert (member.compress_type, member.date_time, member.create_system, member.external_attr) == \
                    (zipfile.ZIP_STORED, (2014, 11, 4, 0, 0, 0), 0, 0x20), member.filename

    folder = tmp_path / 'unpacked'
    size = WINDOWS[machine(EXE.read_bytes())]
    with zipfile.ZipFile(DIST / f'zelvara-{version}-{size}.zip') as release:
        release.extractall(folder)
    home = folder / f'zelvara-{version}-{size}'
    exe = home / 'zelvara.exe'
    assert exe.read_bytes() == EXE.read_bytes(), 'the zip carries the exe the tests run'
    assert product_version(exe) == version
    assert 'Print Screen' in (home / 'README.txt').read_text()

    program = start(cwd=home, exe=exe)
    assert program.main_window()['title'] == f'Zelvara {version}'
    wait_for(lambda: (home / 'zelvara.cfg').exists(), 'the settings file beside the exe')
    assert program.close() == 0
