"""What Windows reads from an exe before it runs a line of it, and Wine does
not check: the optional header's versions and mitigation bits, the sections'
rights, the import tables and the manifest resource. Read from the bytes."""
import struct
import xml.etree.ElementTree as ElementTree

IMAGE_SCN_MEM_EXECUTE = 0x20000000
IMAGE_SCN_MEM_WRITE = 0x80000000
RT_MANIFEST = 24
ASM_V1 = '{urn:schemas-microsoft-com:asm.v1}'


class PeImage:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from('<I', data, 0x3c)[0]
        assert data[pe:pe + 4] == b'PE\0\0', 'not a PE file'
        self.machine, count = struct.unpack_from('<HH', data, pe + 4)
        optional_size = struct.unpack_from('<H', data, pe + 20)[0]
        opt = pe + 24
        self.pe32_plus = struct.unpack_from('<H', data, opt)[0] == 0x20b
        self.pointer_size = 8 if self.pe32_plus else 4
        (self.os_version, self.image_version,
         self.subsystem_version) = (struct.unpack_from('<HH', data, opt + at) for at in (40, 44, 48))
        self.subsystem, self.dll_characteristics = struct.unpack_from('<HH', data, opt + 68)
        directories = opt + (112 if self.pe32_plus else 96)
        self.directories = [struct.unpack_from('<II', data, directories + 8 * i) for i in range(16)]
        self.sections = []
        for i in range(count):
            at = opt + optional_size + 40 * i
            name = data[at:at + 8].rstrip(b'\0').decode('ascii')
            size, rva, raw_size, raw = struct.unpack_from('<IIII', data, at + 8)
            flags = struct.unpack_from('<I', data, at + 36)[0]
            self.sections.append((name, rva, max(size, raw_size), raw, raw_size, flags))

    def offset(self, rva):
        for _, start, size, raw, raw_size, _ in self.sections:
            if start <= rva < start + size and rva - start < raw_size:
                return raw + rva - start
        return None

    def dword(self, rva):
        return struct.unpack_from('<I', self.data, self.offset(rva))[0]

    def string(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b'\0', at)].decode('ascii')

    def names(self, table_rva):
        """The names of an import name table, ordinals as '#n'."""
        names, fmt, ordinal = [], '<Q' if self.pe32_plus else '<I', 1 << (8 * self.pointer_size - 1)
        while True:
            entry = struct.unpack_from(fmt, self.data, self.offset(table_rva))[0]
            if entry == 0:
                return names
            names.append(f'#{entry & 0xffff}' if entry & ordinal else self.string(entry + 2))
            table_rva += self.pointer_size

    def imports(self):
        """{dll in lower case: [names]} of the import directory: what loads at start."""
        found, rva = {}, self.directories[1][0]
        while True:
            lookup, _, _, name, address = struct.unpack_from('<5I', self.data, self.offset(rva))
            if name == 0:
                return found
            found[self.string(name).lower()] = self.names(lookup or address)
            rva += 20

    def delay_imports(self):
        """{dll in lower case: [names]} of every delay-load descriptor in the
        image. GNU ld leaves the delay-import directory empty, so the
        descriptors dlltool emits are found where they lie (in the code
        section, as it happens): eight DWORDs,
        attributes 1 (addresses as RVAs), then the RVAs of the DLL's name, its
        module handle, its address table and its name table."""
        found = {}
        for _, _, _, raw, raw_size, _ in self.sections:
            for at in range(raw, raw + raw_size - 31, 4):
                attributes, name, module, table, lookup = struct.unpack_from('<5I', self.data, at)
                if attributes != 1 or not all(self.offset(r) is not None for r in (name, module, table, lookup)):
                    continue
                try:
                    dll = self.string(name)
                except (ValueError, UnicodeDecodeError):
                    continue
                if dll.lower().endswith('.dll'):
                    found[dll.lower()] = self.names(lookup)
        return found

    def writable_code(self):
        """Sections that can be both written and run."""
        both = IMAGE_SCN_MEM_EXECUTE | IMAGE_SCN_MEM_WRITE
        return [s[0] for s in self.sections if s[5] & both == both]

    def resource(self, type_id, name_id):
        """The bytes of a resource by numeric type and name, first language."""
        base = self.offset(self.directories[2][0])

        def entry(directory, wanted):
            named, numbered = struct.unpack_from('<HH', self.data, directory + 12)
            for i in range(named + numbered):
                ident, target = struct.unpack_from('<II', self.data, directory + 16 + 8 * i)
                if wanted is None or (not ident & 0x80000000 and ident == wanted):
                    return target
            return None

        at = base
        for wanted in (type_id, name_id, None):
            target = entry(at, wanted)
            if target is None:
                return None
            at = base + (target & 0x7fffffff)
        rva, size = struct.unpack_from('<II', self.data, at)
        return self.data[self.offset(rva):self.offset(rva) + size]

    def manifest_architecture(self):
        """processorArchitecture of the program's own manifest (resource 1)."""
        manifest = self.resource(RT_MANIFEST, 1)
        assert manifest is not None, 'no manifest resource 1'
        identity = ElementTree.fromstring(manifest).find(f'{ASM_V1}assemblyIdentity')
        return identity.get('processorArchitecture')
