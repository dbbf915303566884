// PE headers and resource tree read from bytes; see PeImage.h.
#include "PeImage.h"

#include <cstring>

namespace krcrypto {

namespace {

// Offsets and sizes of the PE format.
const std::size_t kDosHeaderSize = 0x40;
const std::size_t kNewHeaderOffsetField = 0x3C;
const std::size_t kFileHeaderSize = 24;  // "PE\0\0" and IMAGE_FILE_HEADER
const std::size_t kSectionHeaderSize = 40;
const std::size_t kResourceDirectoryIndex = 2;
const std::size_t kDirectoryTableSize = 16;
const std::size_t kDirectoryEntrySize = 8;
const std::size_t kDataEntrySize = 16;
const std::uint32_t kSubdirectoryBit = 0x80000000u;

std::uint32_t Le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t Le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// [offset, offset + length) lies inside `size` bytes; no sum can wrap.
bool Inside(std::size_t offset, std::size_t length, std::size_t size) {
    return offset <= size && length <= size - offset;
}

// Where the bytes of an image put an RVA: a file at its section's raw data,
// a mapped image at the RVA itself.
enum class Layout { File, Mapped };

// What the own-image check reads of the headers.
struct Headers {
    std::size_t headerSize = 0;       // SizeOfHeaders
    std::size_t imageBaseOffset = 0;  // the ImageBase field, which the loader may rewrite
    std::size_t imageBaseSize = 0;
    std::uint32_t resourceRva = 0;    // the resource directory's range
    std::size_t resourceSize = 0;
    std::size_t resourceOffset = 0;   // where that range lies in the bytes
};

bool ReadHeaders(ByteRange image, Layout layout, Headers* h) {
    const unsigned char* b = image.data;
    if (b == nullptr || image.size < kDosHeaderSize || b[0] != 'M' || b[1] != 'Z') return false;
    const std::size_t pe = Le32(b + kNewHeaderOffsetField);
    if (!Inside(pe, kFileHeaderSize, image.size) || std::memcmp(b + pe, "PE\0\0", 4) != 0)
        return false;
    const std::size_t sections = Le16(b + pe + 6);
    const std::size_t optionalSize = Le16(b + pe + 20);
    const std::size_t optional = pe + kFileHeaderSize;
    if (optionalSize < 2 || !Inside(optional, optionalSize, image.size)) return false;
    const std::uint16_t magic = Le16(b + optional);
    if (magic != 0x10B && magic != 0x20B) return false;  // PE32, PE32+
    const bool pe32 = magic == 0x10B;
    h->imageBaseOffset = optional + (pe32 ? 28 : 24);
    h->imageBaseSize = pe32 ? 4 : 8;
    const std::size_t directories = pe32 ? 96 : 112;  // in the optional header
    if (optionalSize < directories + (kResourceDirectoryIndex + 1) * 8 ||
        Le32(b + optional + directories - 4) <= kResourceDirectoryIndex)  // NumberOfRvaAndSizes
        return false;
    const unsigned char* resourceEntry = b + optional + directories + kResourceDirectoryIndex * 8;
    h->headerSize = Le32(b + optional + 60);
    h->resourceRva = Le32(resourceEntry);
    h->resourceSize = Le32(resourceEntry + 4);
    const std::size_t table = optional + optionalSize;
    if (!Inside(0, h->headerSize, image.size) ||
        !Inside(table, sections * kSectionHeaderSize, h->headerSize))
        return false;

    // The resource directory lies in the bytes that the file gives one section
    // (the loader fills the rest of a section's memory with zeros).
    for (std::size_t i = 0; i < sections; ++i) {
        const unsigned char* s = b + table + i * kSectionHeaderSize;
        const std::uint32_t virtualSize = Le32(s + 8), rva = Le32(s + 12);
        const std::uint32_t rawSize = Le32(s + 16), rawOffset = Le32(s + 20);
        const std::uint32_t given = virtualSize != 0 && virtualSize < rawSize ? virtualSize : rawSize;
        if (h->resourceRva < rva || h->resourceRva - rva >= given) continue;
        const std::size_t start = layout == Layout::File ? rawOffset : rva;
        h->resourceOffset = start + (h->resourceRva - rva);
        return Inside(start, given, image.size) &&
               Inside(h->resourceRva - rva, h->resourceSize, given);
    }
    return false;
}

// The entry for a numeric id in the resource directory table at `table`;
// its offset field without the subdirectory bit, when the entry is (or is
// not) a subdirectory as wanted, and what it points to lies in the range.
bool FindEntry(ByteRange resources, std::size_t table, std::uint16_t id, bool subdirectory,
               std::size_t* target) {
    if (!Inside(table, kDirectoryTableSize, resources.size)) return false;
    const unsigned char* t = resources.data + table;
    const std::size_t named = Le16(t + 12), numbered = Le16(t + 14);
    if (!Inside(table + kDirectoryTableSize, (named + numbered) * kDirectoryEntrySize,
                resources.size))
        return false;
    for (std::size_t i = named; i < named + numbered; ++i) {
        const unsigned char* entry = t + kDirectoryTableSize + i * kDirectoryEntrySize;
        if (Le32(entry) != id) continue;  // a name has the high bit set
        const std::uint32_t offset = Le32(entry + 4);
        if (((offset & kSubdirectoryBit) != 0) != subdirectory) return false;
        *target = offset & ~kSubdirectoryBit;
        return Inside(*target, subdirectory ? kDirectoryTableSize : kDataEntrySize,
                      resources.size);
    }
    return false;
}

}  // namespace

bool FindFileResource(ByteRange file, std::uint16_t type, std::uint16_t id,
                      std::uint16_t language, ByteRange* data) {
    if (data == nullptr) return false;
    *data = ByteRange();
    Headers h;
    if (!ReadHeaders(file, Layout::File, &h)) return false;
    const ByteRange resources = {file.data + h.resourceOffset, h.resourceSize};
    std::size_t names = 0, languages = 0, entry = 0;
    if (!FindEntry(resources, 0, type, true, &names) ||
        !FindEntry(resources, names, id, true, &languages) ||
        !FindEntry(resources, languages, language, false, &entry))
        return false;
    // The data entry gives an RVA and a size; both must keep inside the range.
    const std::uint32_t rva = Le32(resources.data + entry);
    const std::uint32_t size = Le32(resources.data + entry + 4);
    if (rva < h.resourceRva || !Inside(rva - h.resourceRva, size, resources.size)) return false;
    data->data = resources.data + (rva - h.resourceRva);
    data->size = size;
    return true;
}

bool FileHoldsMappedImage(ByteRange file, ByteRange mapped) {
    Headers f, m;
    if (!ReadHeaders(file, Layout::File, &f) || !ReadHeaders(mapped, Layout::Mapped, &m) ||
        f.headerSize != m.headerSize)
        return false;
    // Equal up to the image base, the two were read alike: the same field
    // positions, section table and resource range.
    const std::size_t afterBase = f.imageBaseOffset + f.imageBaseSize;
    return std::memcmp(file.data, mapped.data, f.imageBaseOffset) == 0 &&
           std::memcmp(file.data + afterBase, mapped.data + afterBase, f.headerSize - afterBase) == 0 &&
           std::memcmp(file.data + f.resourceOffset, mapped.data + m.resourceOffset,
                       f.resourceSize) == 0;
}

}  // namespace krcrypto
