#!/usr/bin/env python3
"""Reads setup programs that setupkit wrote back with a PE reader of its own, written here from
the format's description and sharing nothing with setupkit's writer, and with objdump when it is
given: every header field that points into the file must point at bytes that are there, the
sizes and the checksum must be right, and both packages must be found. The version
information must read as the system reads it, and every icon group must name icons that are
there (and every icon be named by a group).

  check_built_programs.py check [--objdump TOOL] PROGRAM...
      Checks programs that were built already (the demo setup).
  check_built_programs.py build --setupkit TOOL --program PROGRAM [--icon FILE.ico]
                                [--objdump TOOL]
      Builds setups with the given setupkit from the program, from a copy of it that carries a
      symbol table as an unstripped program does, and from each result again, and checks all:
      their version information must name the product of the script they were built from. With
      --icon, also builds one with that icon, and again from it without, and checks that the
      program's icon group and icons are the icon file's.
"""
import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile


class Image:
    def __init__(self, path):
        self.path = path
        with open(path, 'rb') as f:
            self.data = f.read()
        d = self.data
        if d[:2] != b'MZ':
            raise ValueError('no MZ header')
        self.pe = struct.unpack_from('<I', d, 0x3C)[0]
        if d[self.pe:self.pe + 4] != b'PE\0\0':
            raise ValueError('no PE signature')
        self.coff = self.pe + 4
        (self.machine, self.section_count, _, self.symbol_pointer, self.symbol_count,
         optional_size, self.characteristics) = struct.unpack_from('<HHIIIHH', d, self.coff)
        self.optional = self.coff + 20
        if struct.unpack_from('<H', d, self.optional)[0] != 0x20B:
            raise ValueError('not PE32+')
        o = self.optional
        self.section_alignment, self.file_alignment = struct.unpack_from('<II', d, o + 32)
        self.size_of_image, self.size_of_headers, self.checksum = struct.unpack_from('<III', d, o + 56)
        directory_count = min(struct.unpack_from('<I', d, o + 108)[0], 16)
        self.directories = [struct.unpack_from('<II', d, o + 112 + 8 * i) for i in range(directory_count)]
        self.sections = []
        table = o + optional_size
        for i in range(self.section_count):
            at = table + 40 * i
            name = d[at:at + 8].rstrip(b'\0').decode('latin-1')
            (virtual_size, rva, raw_size, raw_pointer, relocations, linenumbers, relocation_count,
             linenumber_count, flags) = struct.unpack_from('<IIIIIIHHI', d, at + 8)
            self.sections.append(dict(name=name, virtual_size=virtual_size, rva=rva, raw_size=raw_size,
                                      raw_pointer=raw_pointer, relocations=relocations,
                                      linenumbers=linenumbers, relocation_count=relocation_count,
                                      linenumber_count=linenumber_count, flags=flags))

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def file_offset(self, rva):
        for s in self.sections:
            size = max(s['virtual_size'], s['raw_size'])
            if s['rva'] <= rva < s['rva'] + size and rva - s['rva'] < s['raw_size']:
                return s['raw_pointer'] + rva - s['rva']
        return None


def align(value, alignment):
    return (value + alignment - 1) // alignment * alignment


def pe_checksum(data, field):
    total = 0
    padded = data + (b'\0' if len(data) % 2 else b'')
    for i in range(0, len(padded), 2):
        word = 0 if field <= i < field + 4 else struct.unpack_from('<H', padded, i)[0]
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    total = (total & 0xFFFF) + (total >> 16)
    return total + len(data)


def resources(image):
    """Every resource as (type, name, language, bytes): type and name are numbers or texts; each
    one's data is checked to be in the file."""
    rva, _ = image.directory(2)
    if rva == 0:
        return []
    base = image.file_offset(rva)
    if base is None:
        raise ValueError('the resource directory is in no section')
    d = image.data

    def entries(offset):
        named, numbered = struct.unpack_from('<HH', d, base + offset + 12)
        for i in range(named + numbered):
            yield struct.unpack_from('<II', d, base + offset + 16 + 8 * i)

    def identifier(field):
        if not field & 0x80000000:
            return field
        at = base + (field & 0x7FFFFFFF)
        length = struct.unpack_from('<H', d, at)[0]
        return d[at + 2:at + 2 + 2 * length].decode('utf-16-le')

    found = []
    for type_id, type_target in entries(0):
        for name_id, name_target in entries(type_target & 0x7FFFFFFF):
            for language, data_entry in entries(name_target & 0x7FFFFFFF):
                data_rva, size = struct.unpack_from('<II', d, base + data_entry)
                start = image.file_offset(data_rva)
                if start is None or start + size > len(d):
                    raise ValueError('resource data outside the file')
                found.append((identifier(type_id), identifier(name_id), language,
                              d[start:start + size]))
    return found


def resource_names(image):
    """The names of the RCDATA (type 10) resources."""
    return [name for kind, name, _, _ in resources(image) if kind == 10 and isinstance(name, str)]


RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16


def version_info(data):
    """A VS_VERSIONINFO read as the system reads it: each block a length, a value length and a
    type (1 for text, whose value length counts characters), its key, then its value and its
    children on 32-bit boundaries. Returns the fixed numbers, the strings of each string table by
    its key, and the translations."""

    def block(at, limit):
        if at + 6 > limit:
            raise ValueError('version block at 0x%x runs past its parent' % at)
        length, value_length, kind = struct.unpack_from('<HHH', data, at)
        end = at + length
        if length < 6 or end > limit:
            raise ValueError('version block at 0x%x has length %d' % (at, length))
        key_end = at + 6
        while struct.unpack_from('<H', data, key_end)[0] != 0:
            key_end += 2
            if key_end + 2 > end:
                raise ValueError('version block key runs past the block')
        key = data[at + 6:key_end].decode('utf-16-le')
        value = align(key_end + 2, 4)
        value_bytes = value_length * 2 if kind == 1 else value_length
        if value + value_bytes > end:
            raise ValueError('value of version block %s runs past the block' % key)
        return key, kind, data[value:value + value_bytes], align(value + value_bytes, 4), end

    def children(first, end):
        at = first
        while at + 6 <= end:
            child = block(at, end)
            yield child
            at = align(child[4], 4)

    key, _, fixed, first, end = block(0, len(data))
    if key != 'VS_VERSION_INFO' or len(fixed) != 52 or struct.unpack_from('<I', fixed)[0] != 0xFEEF04BD:
        raise ValueError('not a VS_VERSIONINFO')
    if end != len(data):
        raise ValueError('VS_VERSIONINFO length %d, resource size %d' % (end, len(data)))
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from('<IIII', fixed, 8)
    info = dict(file_version=(file_ms >> 16, file_ms & 0xFFFF, file_ls >> 16, file_ls & 0xFFFF),
                product_version=(product_ms >> 16, product_ms & 0xFFFF, product_ls >> 16,
                                 product_ls & 0xFFFF),
                tables={}, translations=[])
    for key, _, _, first_child, child_end in children(first, end):
        if key == 'StringFileInfo':
            for table, _, _, first_string, table_end in children(first_child, child_end):
                strings = info['tables'].setdefault(table, {})
                for name, kind, value, _, _ in children(first_string, table_end):
                    if kind != 1:
                        raise ValueError('string %s is not text' % name)
                    strings[name] = value.decode('utf-16-le').split('\0')[0]
        elif key == 'VarFileInfo':
            for name, _, value, _, _ in children(first_child, child_end):
                if name == 'Translation':
                    info['translations'] += [struct.unpack_from('<HH', value, i)
                                             for i in range(0, len(value) - 3, 4)]
    return info


def icon_groups(image):
    """Each icon group as (name, language, [(width, height, bit count, size, icon number)])."""
    groups = []
    for kind, name, language, data in resources(image):
        if kind != RT_GROUP_ICON:
            continue
        reserved, icon_type, count = struct.unpack_from('<HHH', data)
        if reserved != 0 or icon_type != 1 or 6 + 14 * count > len(data):
            raise ValueError('icon group %s is not one' % name)
        entries = []
        for i in range(count):
            width, height, _, _, _, bits, size, number = struct.unpack_from('<BBBBHHIH', data, 6 + 14 * i)
            entries.append((width, height, bits, size, number))
        groups.append((name, language, entries))
    return groups


def resource_problems(image):
    """Icon groups that name icons that are not there or not that size, icons no group names,
    and version information the system would not read."""
    found = []
    icons = {name: data for kind, name, _, data in resources(image) if kind == RT_ICON}
    named = set()
    for group, _, entries in icon_groups(image):
        for _, _, _, size, number in entries:
            named.add(number)
            if number not in icons:
                found.append('icon group %s names icon %d, which is not there' % (group, number))
            elif len(icons[number]) != size:
                found.append('icon group %s gives icon %d %d bytes, it has %d' %
                             (group, number, size, len(icons[number])))
    for number in sorted(set(icons) - named, key=str):
        found.append('icon %s is named by no icon group' % number)
    versions = [data for kind, _, _, data in resources(image) if kind == RT_VERSION]
    if len(versions) > 1:
        found.append('%d version resources' % len(versions))
    for data in versions:
        try:
            info = version_info(data)
        except (ValueError, struct.error) as error:
            found.append('version information: %s' % error)
            continue
        for language, code_page in info['translations']:
            if '%04X%04X' % (language, code_page) not in info['tables']:
                found.append('version information: no string table for translation %04X%04X' %
                             (language, code_page))
    return found


def problems(image, packages=True):
    found = []
    d, size = image.data, len(image.data)

    def inside(what, start, length):
        if start + length > size:
            found.append('%s: 0x%x+0x%x lies outside the file (0x%x bytes)' % (what, start, length, size))

    end_in_memory = 0
    for s in image.sections:
        if s['raw_size']:
            inside('section %s data' % s['name'], s['raw_pointer'], s['raw_size'])
            if s['raw_pointer'] % image.file_alignment:
                found.append('section %s data is not aligned' % s['name'])
        if s['relocations']:
            inside('section %s relocations' % s['name'], s['relocations'], 10 * s['relocation_count'])
        if s['linenumbers']:
            inside('section %s line numbers' % s['name'], s['linenumbers'], 6 * s['linenumber_count'])
        end_in_memory = max(end_in_memory, s['rva'] + max(s['virtual_size'], 1))
    if image.symbol_pointer:
        strings = image.symbol_pointer + 18 * image.symbol_count
        inside('symbol table', image.symbol_pointer, 18 * image.symbol_count + 4)
        if strings + 4 <= size:
            length = struct.unpack_from('<I', d, strings)[0]
            if length < 4:
                found.append('string table length %d' % length)
            inside('string table', strings, length)
        # Symbols live outside the sections; one inside a section's bytes points at the wrong ones.
        for s in image.sections:
            if s['raw_size'] and s['raw_pointer'] < strings and image.symbol_pointer < s['raw_pointer'] + s['raw_size']:
                found.append('symbol table at 0x%x lies in section %s' % (image.symbol_pointer, s['name']))
    certificate_offset, certificate_size = image.directory(4)
    if certificate_size:
        inside('certificate table', certificate_offset, certificate_size)
    debug_rva, debug_size = image.directory(6)
    if debug_rva:
        at = image.file_offset(debug_rva)
        if at is None:
            found.append('debug directory in no section')
        else:
            for entry in range(debug_size // 28):
                data_size, data_rva, data_pointer = struct.unpack_from('<III', d, at + 28 * entry + 16)
                if data_pointer and data_size:
                    inside('debug data', data_pointer, data_size)
                    if data_rva and image.file_offset(data_rva) != data_pointer:
                        found.append('debug data: its address and its file offset disagree')
    expected_size = align(end_in_memory, image.section_alignment)
    if image.size_of_image != expected_size:
        found.append('SizeOfImage 0x%x, the sections end at 0x%x' % (image.size_of_image, expected_size))
    if image.checksum not in (0, pe_checksum(d, image.optional + 64)):
        found.append('CheckSum 0x%x is stale' % image.checksum)
    if packages:
        names = resource_names(image)
        for package in ('SETUP', 'PRODUCT'):
            if names.count(package) != 1:
                found.append('%d resources named %s' % (names.count(package), package))
    found += resource_problems(image)
    return found


def objdump_problems(objdump, path):
    if not objdump:
        return []
    run = subprocess.run([objdump, '-x', path], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                         text=True)
    if run.returncode != 0 or run.stderr.strip():
        return ['objdump -x (exit %d): %s' % (run.returncode, run.stderr.strip())]
    return []


def check(paths, objdump, packages=True):
    failed = False
    for path in paths:
        try:
            found = problems(Image(path), packages) + objdump_problems(objdump, path)
        except (ValueError, struct.error) as error:
            found = ['cannot be read: %s' % error]
        for problem in found:
            print('%s: %s' % (path, problem))
        failed = failed or bool(found)
        if not found:
            print('%s: sound' % path)
    return not failed


def with_symbol_table(source, target):
    """A copy of the program with a COFF symbol table and its string table appended, as a
    program linked without stripping carries them."""
    data = bytearray(open(source, 'rb').read())
    image = Image(source)
    pointer = len(data)
    strings = b'a_symbol_name_longer_than_eight\0'
    first = b'_main\0\0\0' + struct.pack('<IhHBB', 0, 1, 0x20, 2, 0)
    second = struct.pack('<II', 0, 4) + struct.pack('<IhHBB', 0, 1, 0, 2, 0)
    data += first + second + struct.pack('<I', 4 + len(strings)) + strings
    struct.pack_into('<II', data, image.coff + 8, pointer, 2)
    struct.pack_into('<I', data, image.optional + 64, pe_checksum(bytes(data), image.optional + 64))
    open(target, 'wb').write(data)


# The product the built setups name in their version information.
SCRIPT = ('<Install><product><Settings>'
          '<Setting name="ProductName" value="ZELO"/><Setting name="ProductVersion" value="5.00"/>'
          '<Setting name="ProductVersionNo" value="5.0.3.1"/>'
          '<Setting name="Publisher" value="ZELO Team"/></Settings></product></Install>')
EXPECTED_STRINGS = {'ProductName': 'ZELO', 'CompanyName': 'ZELO Team',
                    'FileDescription': 'ZELO Setup', 'ProductVersion': '5.00', 'FileVersion': '5.00'}


def version_problems(path):
    """What the built program's version information gets wrong about the product."""
    image = Image(path)
    versions = [(language, data) for kind, _, language, data in resources(image) if kind == RT_VERSION]
    if len(versions) != 1:
        return ['%d version resources' % len(versions)]
    language, data = versions[0]
    info = version_info(data)
    found = []
    for field in ('file_version', 'product_version'):
        if info[field] != (5, 0, 3, 1):
            found.append('%s %s, not 5.0.3.1' % (field, '.'.join(map(str, info[field]))))
    table = '%04X04B0' % language
    strings = info['tables'].get(table)
    if strings is None:
        return found + ['no string table %s (tables: %s)' % (table, ', '.join(info['tables']))]
    for name, value in EXPECTED_STRINGS.items():
        if strings.get(name) != value:
            found.append('%s is %r, not %r' % (name, strings.get(name), value))
    if info['translations'] != [(language, 1200)]:
        found.append('translations %s' % info['translations'])
    return found


def icon_file_images(path):
    """The images of an icon file as (width, height, bit count, bytes)."""
    data = open(path, 'rb').read()
    _, _, count = struct.unpack_from('<HHH', data)
    images = []
    for i in range(count):
        width, height, _, _, _, bits, size, offset = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
        images.append((width, height, bits, data[offset:offset + size]))
    return images


def icon_problems(path, icon):
    """Whether the program's one icon group and its icons are the icon file's images."""
    image = Image(path)
    groups = icon_groups(image)
    if len(groups) != 1:
        return ['%d icon groups' % len(groups)]
    icons = {name: data for kind, name, _, data in resources(image) if kind == RT_ICON}
    wanted = icon_file_images(icon)
    _, _, entries = groups[0]
    if len(entries) != len(wanted) or len(icons) != len(wanted):
        return ['%d icons in the group, %d in the program, %d in %s' %
                (len(entries), len(icons), len(wanted), icon)]
    found = []
    for (width, height, bits, size, number), (want_width, want_height, want_bits, want_data) in zip(entries, wanted):
        if (width, height, bits) != (want_width, want_height, want_bits) or icons.get(number) != want_data:
            found.append('icon %d is not the icon file\'s %dx%d image' % (number, want_width, want_height))
    return found


def build(setupkit, program, objdump, icon):
    folder = tempfile.mkdtemp(prefix='built-programs-')
    try:
        for name, text in (('setup/Install.xml', SCRIPT),
                           ('setup/English.lng', '[File]\r\nName=English\r\n'),
                           ('product/ZELO.exe', 'MZ player')):
            os.makedirs(os.path.join(folder, os.path.dirname(name)), exist_ok=True)
            with open(os.path.join(folder, name), 'w', newline='') as f:
                f.write(text)
        symbols = os.path.join(folder, 'with_symbols.exe')
        with_symbol_table(program, symbols)
        if not check([program, symbols], objdump, packages=False):
            print('the programs to build from are not sound themselves')
            return False
        outputs = []
        iconic = []
        builds = [(program, 'plain', []), (symbols, 'symbols', [])]
        if icon:
            # The icon stays when the result is built again without --icon.
            builds.append((program, 'icon', ['--icon', icon]))
        for source, stem, extra in builds:
            for round in (1, 2):
                output = os.path.join(folder, '%s-%d.exe' % (stem, round))
                run = subprocess.run([setupkit, 'build', '--setup', os.path.join(folder, 'setup'),
                                      '--product', os.path.join(folder, 'product'), '-o', output,
                                      '--program', source, '--level', '1', '--no-lint'] +
                                     (extra if round == 1 else []),
                                     stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
                if run.returncode != 0:
                    print('setupkit build failed: ' + run.stdout)
                    return False
                outputs.append(output)
                if extra:
                    iconic.append(output)
                source = output
        sound = check(outputs, objdump)
        for output in outputs:
            for problem in version_problems(output) + (icon_problems(output, icon) if output in iconic else []):
                print('%s: %s' % (output, problem))
                sound = False
        return sound
    finally:
        shutil.rmtree(folder)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('mode', choices=('check', 'build'))
    parser.add_argument('programs', nargs='*')
    parser.add_argument('--objdump')
    parser.add_argument('--setupkit')
    parser.add_argument('--program')
    parser.add_argument('--icon')
    arguments = parser.parse_intermixed_args()
    if arguments.mode == 'check':
        sound = check(arguments.programs, arguments.objdump)
    else:
        sound = build(arguments.setupkit, arguments.program, arguments.objdump, arguments.icon)
    return 0 if sound else 1


if __name__ == '__main__':
    sys.exit(main())
