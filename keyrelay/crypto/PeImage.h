// A PE image read from its bytes, every offset checked against them: the
// resources as a file holds them, and whether a file holds the image that the
// loader mapped. keyrelay takes its payload from the bytes of the file it
// verified, not from its module. Plain C++ without Windows headers, so that
// it is tested and fuzzed natively too.
#pragma once

#include <cstddef>
#include <cstdint>

namespace krcrypto {

struct ByteRange {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// Finds the data of the resource with numeric type, id and language in the
// bytes of a PE file (as it lies on disk, PE32 or PE32+). The directory
// tree is walked by numeric entries only, the language must match exactly,
// and every table and the data must lie inside the resource directory's
// range (its data-directory entry), which must lie inside the bytes the
// file gives one section. False, with *data empty, otherwise.
bool FindFileResource(ByteRange file, std::uint16_t type, std::uint16_t id,
                      std::uint16_t language, ByteRange* data);

// True when `file` (as on disk) holds the image mapped at `mapped` (its
// SizeOfImage bytes): the same headers, but for the image base that the
// loader sets where it moved the image, and the same resource directory
// range. These are the parts that the loader never writes; code and data
// are not compared (relocations and import binding change them in memory).
bool FileHoldsMappedImage(ByteRange file, ByteRange mapped);

}  // namespace krcrypto
