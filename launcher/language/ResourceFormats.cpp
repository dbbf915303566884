// String-table blocks and packed bitmaps (see ResourceFormats.h).
#include "ResourceFormats.h"

namespace resformat {

namespace {

std::uint32_t U16(const std::uint8_t* p) {
    return p[0] | (p[1] << 8);
}
std::uint32_t U32(const std::uint8_t* p) {
    return U16(p) | (static_cast<std::uint32_t>(U16(p + 2)) << 16);
}
std::int32_t I32(const std::uint8_t* p) {
    std::uint32_t u = U32(p);
    return u <= 0x7FFFFFFFu ? static_cast<std::int32_t>(u) : -static_cast<std::int32_t>(~u) - 1;
}
// Header fields (BITMAPINFOHEADER) and compressions.
const std::size_t kInfoHeader = 40;
const std::uint32_t kRle8 = 1, kRle4 = 2, kBitFields = 3;  // 0: uncompressed
const std::int64_t kMaxSide = 8192;

}  // namespace

bool FindInStringBlock(const std::uint8_t* block, std::size_t size, unsigned index,
                       std::size_t* offset, std::size_t* length) {
    if (!block || index > 15) return false;
    std::size_t at = 0;
    for (unsigned i = 0;; ++i) {
        if (size - at < 2) return false;  // at <= size throughout
        const std::size_t n = U16(block + at);
        at += 2;
        if ((size - at) / 2 < n) return false;
        if (i == index) {
            if (n == 0) return false;
            *offset = at;
            *length = n;
            return true;
        }
        at += 2 * n;
    }
}

bool ParsePackedDib(const std::uint8_t* data, std::size_t size, PackedDib* out) {
    if (!data || size < kInfoHeader) return false;
    const std::uint32_t headerSize = U32(data);
    if (headerSize < kInfoHeader || headerSize > size) return false;
    const std::int64_t width = I32(data + 4), height = I32(data + 8);
    const std::uint32_t planes = U16(data + 12), bits = U16(data + 14);
    const std::uint32_t compression = U32(data + 16), imageSize = U32(data + 20);
    const std::uint32_t coloursUsed = U32(data + 32);
    if (width < 1 || width > kMaxSide || height == 0 || height > kMaxSide || height < -kMaxSide ||
        planes != 1)
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    const bool rle = compression == kRle8 || compression == kRle4;
    if ((compression == kRle8 && bits != 8) || (compression == kRle4 && bits != 4) ||
        (compression == kBitFields && bits != 16 && bits != 32) || (compression > kBitFields) ||
        (rle && height < 0))
        return false;
    // Three masks follow a Windows 3 header; later headers hold them.
    std::uint64_t offset = headerSize;
    if (compression == kBitFields && headerSize == kInfoHeader) offset += 12;
    const std::uint64_t maxColours = bits <= 8 ? (1u << bits) : 0;
    if (bits <= 8 && coloursUsed > maxColours) return false;
    if (bits > 8 && coloursUsed > 256) return false;
    offset += 4ull * (coloursUsed ? coloursUsed : maxColours);
    if (offset > size) return false;
    const std::uint64_t left = size - offset;
    std::uint64_t need = 0;
    if (rle) {
        need = imageSize;
        if (need == 0) return false;
    } else {
        const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
        need = stride * static_cast<std::uint64_t>(height < 0 ? -height : height);
    }
    if (need > left) return false;
    out->width = static_cast<int>(width);
    out->height = static_cast<int>(height);
    out->bitsOffset = static_cast<std::size_t>(offset);
    out->bitsSize = static_cast<std::size_t>(need);
    return true;
}

}  // namespace resformat
