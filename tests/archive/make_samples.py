#!/usr/bin/env python3
"""Writes the small sample archives under tests/data/archive_*/.

The samples are made here, straight from the byte layout, rather than by the component
under test, so the tests compare the component against an independent writer. Run it
again only to add a sample; the files are kept in the repository.
"""
import os
import struct
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")


def short_string(text):
    data = text.encode("cp1252")[:255]
    return bytes([len(data)]) + data + bytes(255 - len(data))


def file_rec(name, path, osize, csize, start, crc, status, level):
    return (short_string(name) + short_string(path)
            + struct.pack("<iiiIBB2x", osize, csize, start, crc, status, level))


def deflate(data, level=-1):
    c = zlib.compressobj(level, zlib.DEFLATED, 15, 8, zlib.Z_DEFAULT_STRATEGY)
    return c.compress(data) + c.flush()


def block(content, compress):
    """The block and record fields of one entry, by the stored-when-not-smaller rule."""
    packed = deflate(content)
    if compress and len(packed) < len(content):
        return packed, (len(content), len(packed), zlib.crc32(content), 0, 2)
    return content, (len(content), len(content), zlib.crc32(content), 1, 0)


def archive(entries, compressed_registry=True, registry_override=None, count_override=None,
            archive_size_override=None, version=1):
    """entries: (name, path, content, compress) or a raw record tuple via 'raw'."""
    data = b""
    records = b""
    for entry in entries:
        if entry[0] == "raw":
            _, name, path, fields, blob = entry
            start = len(data)
            data += blob
            osize, csize, crc, status, level = fields
            records += file_rec(name, path, osize, csize, start, crc, status, level)
            continue
        name, path, content, compress = entry
        blob, (osize, csize, crc, status, level) = block(content, compress)
        records += file_rec(name, path, osize, csize, len(data), crc, status, level)
        data += blob
    registry = deflate(records) if compressed_registry else records
    if registry_override is not None:
        registry = registry_override
    body = data + registry
    count = len(entries) if count_override is None else count_override
    size = len(data) if archive_size_override is None else archive_size_override
    trailer_rest = struct.pack("<iiiiB15x", count, version, len(registry) if compressed_registry else 0, size,
                               1 if compressed_registry else 0)
    return body + struct.pack("<I", zlib.crc32(body)) + trailer_rest


def write(folder, name, data):
    path = os.path.join(ROOT, folder)
    os.makedirs(path, exist_ok=True)
    with open(os.path.join(path, name), "wb") as f:
        f.write(data)


TEXT = b"The quick brown fox jumps over the lazy dog.\n" * 40
SMALL = b"xyz"


def main():
    # Format: what the component must read and must write byte for byte.
    write("archive_format", "empty.zlb", archive([]))
    write("archive_format", "plain_registry.zlb",
          archive([("a.txt", "", TEXT, True), ("b.txt", "\\Data\\", SMALL, True)], compressed_registry=False))
    write("archive_format", "two_entries.zlb",
          archive([("a.txt", "", TEXT, True), ("b.txt", "\\Data\\", SMALL, True)]))
    write("archive_format", "version_seven.zlb", archive([("a.txt", "", TEXT, True)], version=7))

    # Extraction: names that lead outside the destination.
    write("archive_extract", "dotdot_path.zlb", archive([("evil.txt", "..\\..\\", SMALL, False)]))
    write("archive_extract", "dotdot_slash_path.zlb", archive([("evil.txt", "../../", SMALL, False)]))
    write("archive_extract", "absolute_name.zlb", archive([("/tmp/evil.txt", "", SMALL, False)]))
    write("archive_extract", "separator_name.zlb", archive([("..\\evil.txt", "", SMALL, False)]))
    write("archive_extract", "dotdot_name.zlb", archive([("..", "", SMALL, False)]))
    write("archive_extract", "safe_then_evil.zlb",
          archive([("good.txt", "", SMALL, False), ("evil.txt", "\\sub\\..\\..\\", SMALL, False)]))

    # Reading: damaged or lying files, each with a valid whole-file checksum where it
    # matters, so the check behind the checksum is what refuses them.
    write("archive_reading", "shorter_than_trailer.zlb", b"ZLB\x00\x01\x02\x03\x04\x05\x06")
    write("archive_reading", "count_too_large.zlb", archive([("a.txt", "", TEXT, True)], count_override=1000000))
    write("archive_reading", "count_negative.zlb", archive([("a.txt", "", TEXT, True)], count_override=-1))
    write("archive_reading", "plain_count_too_large.zlb",
          archive([("a.txt", "", TEXT, True)], compressed_registry=False, count_override=3))
    write("archive_reading", "archive_size_beyond_file.zlb",
          archive([("a.txt", "", TEXT, True)], archive_size_override=100000))
    write("archive_reading", "archive_size_negative.zlb",
          archive([("a.txt", "", TEXT, True)], archive_size_override=-5))
    one = file_rec("a.txt", "", 3, 3, 0, zlib.crc32(SMALL), 1, 0)
    write("archive_reading", "short_registry.zlb",
          archive([("a.txt", "", SMALL, False), ("b.txt", "", SMALL, False)], registry_override=deflate(one)))
    write("archive_reading", "damaged_registry_stream.zlb",
          archive([("a.txt", "", SMALL, False)], registry_override=b"\x78\x9c\xff\xff\xff\xff\x00\x01"))
    write("archive_reading", "block_outside_data_area.zlb",
          archive([("raw", "a.txt", "", (3, 400, zlib.crc32(SMALL), 1, 0), SMALL)]))
    packed = deflate(TEXT)
    write("archive_reading", "osize_not_delivered.zlb",
          archive([("raw", "a.txt", "", (len(TEXT) + 100, len(packed), zlib.crc32(TEXT), 0, 2), packed)]))
    write("archive_reading", "stored_osize_beyond_block.zlb",
          archive([("raw", "a.txt", "", (10, 3, zlib.crc32(SMALL), 1, 0), SMALL),
                    ("b.txt", "", TEXT, False)]))
    write("archive_reading", "damaged_block_stream.zlb",
          archive([("raw", "a.txt", "", (len(TEXT), 8, zlib.crc32(TEXT), 0, 2), b"\x78\x9c\xff\xff\xff\xff\x00\x01")]))
    write("archive_reading", "wrong_entry_crc.zlb",
          archive([("raw", "a.txt", "", (3, 3, 12345, 1, 0), SMALL)]))


if __name__ == "__main__":
    main()
