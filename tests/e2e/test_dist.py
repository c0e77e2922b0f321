"""The release: a zip for each size of Windows, named for the machine its exe
is built for, both listed with their sums in SHA256SUMS. The one of the
build under test, unpacked into a fresh folder, holds the tested exe, which
starts from there and carries the product version. Each exe is one that
Windows itself accepts, read from its bytes: Wine checks none of it."""
import hashlib
import os
import re
import struct
import xml.etree.ElementTree as ElementTree
import zipfile
from pathlib import Path

import pefile
import pytest

from conftest import BUILD, EXE, wait_for

ROOT = Path(__file__).resolve().parents[2]
DIST = Path(os.environ.get('ZELVARA_DIST', BUILD / 'dist'))
WINDOWS = {0x14c: 'win32', 0x8664: 'win64'}
MANIFEST_ARCHITECTURE = {0x14c: 'x86', 0x8664: 'amd64'}
SYSTEM_DLLS = {'advapi32.dll', 'gdi32.dll', 'kernel32.dll', 'msvcrt.dll', 'ole32.dll', 'oleaut32.dll', 'shell32.dll',
               'shlwapi.dll', 'user32.dll'}
VERSION = re.search(r'productVersion\[\] = "([^"]+)"', (ROOT / 'src/base/constants.h').read_text()).group(1)


def manifest_architecture(pe):
    """processorArchitecture of the program's own manifest, resource 1."""
    kind = next(e for e in pe.DIRECTORY_ENTRY_RESOURCE.entries if e.id == pefile.RESOURCE_TYPE['RT_MANIFEST'])
    data = next(e for e in kind.directory.entries if e.id == 1).directory.entries[0].data.struct
    identity = ElementTree.fromstring(pe.get_data(data.OffsetToData, data.Size)).find(
        '{urn:schemas-microsoft-com:asm.v1}assemblyIdentity')
    return identity.get('processorArchitecture')


def delay_imports(pe):
    """{dll: names} of the delay-load descriptors dlltool emits. GNU ld leaves
    the delay-import directory empty, so they are found where they lie: eight
    DWORDs, attributes 1 (RVAs), then the RVAs of the DLL's name, its module
    handle, its address table and its name table."""
    found, size = {}, 8 if pe.PE_TYPE == pefile.OPTIONAL_HEADER_MAGIC_PE_PLUS else 4
    for section in pe.sections:
        data = section.get_data()
        for at in range(0, len(data) - 31, 4):
            attributes, name, *tables = struct.unpack_from('<5I', data, at)
            if attributes != 1 or not all(pe.get_section_by_rva(r) for r in (name, *tables)):
                continue
            dll = pe.get_string_at_rva(name, 64)
            if not dll.lower().endswith(b'.dll'):
                continue
            names, entry = [], tables[2]
            while thunk := int.from_bytes(pe.get_data(entry, size), 'little'):
                names.append(pe.get_string_at_rva(thunk + 2).decode())
                entry += size
            found[dll.decode().lower()] = sorted(names)
    return found


def delayed_by_list():
    """{dll: names} of the delay-load lists the build reads, undecorated."""
    lists = {}
    for listing in (ROOT / 'cmake/delay').glob('*.def'):
        words = listing.read_text().split()
        lists[words[1].lower()] = sorted(re.sub(r'@\d+$', '', n) for n in words[words.index('EXPORTS') + 1:])
    return lists


@pytest.mark.parametrize('size', ['win32', 'win64'])
def test_windows_accepts_the_exe_of_each_zip(size):
    with zipfile.ZipFile(DIST / f'zelvara-{VERSION}-{size}.zip') as release:
        pe = pefile.PE(data=release.read(f'zelvara-{VERSION}-{size}/zelvara.exe'))
    header, flags = pe.OPTIONAL_HEADER, pe.OPTIONAL_HEADER.DllCharacteristics
    assert WINDOWS[pe.FILE_HEADER.Machine] == size
    # A manifest naming another architecture fails the activation context.
    assert manifest_architecture(pe) == MANIFEST_ARCHITECTURE[pe.FILE_HEADER.Machine]
    # The oldest Windows, in the header Windows reads before loading anything.
    assert (header.Subsystem, header.MajorSubsystemVersion, header.MinorSubsystemVersion,
            header.MajorOperatingSystemVersion, header.MinorOperatingSystemVersion) == (2, 6, 0, 6, 0)

    # ASLR with its relocations, DEP, the whole 64-bit address space on x64,
    # no structured exception handler on x86 (what SafeSEH asks of an image
    # that has none), nothing both writable and run, and the failure paths of
    # the stack canary and of the checked copies linked in.
    wanted = ['DYNAMIC_BASE', 'NX_COMPAT', 'HIGH_ENTROPY_VA' if size == 'win64' else 'NO_SEH']
    assert all(getattr(header, f'IMAGE_DLLCHARACTERISTICS_{bit}') for bit in wanted), hex(flags)
    assert pe.OPTIONAL_HEADER.DATA_DIRECTORY[5].Size > 0, 'no base relocations'
    assert not [s.Name for s in pe.sections if s.Characteristics & 0xA0000000 == 0xA0000000]
    assert b'stack smashing detected' in pe.__data__ and b'buffer overflow detected' in pe.__data__

    # Only DLLs every Windows has load at start; the ones loaded on first use
    # only then, with exactly the listed functions: a function the lists miss,
    # or list with the wrong x86 decoration, binds through the ordinary import
    # library and its DLL loads at start, silently.
    imports = {e.dll.decode().lower() for e in pe.DIRECTORY_ENTRY_IMPORT}
    assert imports <= SYSTEM_DLLS, sorted(imports)
    assert delay_imports(pe) == delayed_by_list()


def test_the_unpacked_release_starts_and_names_its_version(start, tmp_path):
    lines = (DIST / 'SHA256SUMS').read_text().splitlines()
    sums = {name: digest for digest, name in (line.split('  ') for line in lines)}
    stems = [f'zelvara-{VERSION}-win32', f'zelvara-{VERSION}-win64']
    assert sorted(sums) == sorted([f'{s}.zip' for s in stems] + [f'{s}/zelvara.exe' for s in stems])
    for stem in stems:
        assert hashlib.sha256((DIST / f'{stem}.zip').read_bytes()).hexdigest() == sums[f'{stem}.zip'], stem
        with zipfile.ZipFile(DIST / f'{stem}.zip') as release:
            assert sorted(release.namelist()) == [f'{stem}/{n}' for n in ('LICENSE.txt', 'README.txt', 'zelvara.exe')]
            assert hashlib.sha256(release.read(f'{stem}/zelvara.exe')).hexdigest() == sums[f'{stem}/zelvara.exe']
            # Bytes that no deflater, clock, system or umask decides.
            for member in release.infolist():
                assert (member.compress_type, member.date_time, member.create_system, member.external_attr) == \
                    (zipfile.ZIP_STORED, (2014, 11, 4, 0, 0, 0), 0, 0x20), member.filename

    tested = pefile.PE(str(EXE))
    stem = f'zelvara-{VERSION}-{WINDOWS[tested.FILE_HEADER.Machine]}'
    with zipfile.ZipFile(DIST / f'{stem}.zip') as release:
        release.extractall(tmp_path)
    home = tmp_path / stem
    assert (home / 'zelvara.exe').read_bytes() == EXE.read_bytes(), 'the zip carries the exe the tests run'
    assert [t.entries[b'ProductVersion'] for i in tested.FileInfo[0] for t in getattr(i, 'StringTable', [])] == \
        [VERSION.encode()]
    assert 'Print Screen' in (home / 'README.txt').read_text()

    program = start(cwd=home, exe=home / 'zelvara.exe')
    assert program.main_window()['title'] == f'Zelvara {VERSION}'
    wait_for(lambda: (home / 'zelvara.cfg').exists(), 'the settings file beside the exe')
    assert program.close() == 0
