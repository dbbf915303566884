// The two resource formats the launcher reads by itself (string-table blocks
// and packed bitmaps), as plain C++ over bytes: what the image holds is
// bounds-checked here before anything is taken from it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace resformat {

// Where string `index` (0..15) of a string-table block lies: its offset in
// bytes from the block's start and its length in UTF-16 units. False when
// the string is empty, the index is out of range or the block ends early.
bool FindInStringBlock(const std::uint8_t* block, std::size_t size, unsigned index,
                       std::size_t* offset, std::size_t* length);

// A bitmap resource (a packed DIB: header, masks, colour table, pixels)
// whose parts all lie inside its bytes: pixels start at bitsOffset.
struct PackedDib {
    int width = 0, height = 0;  // height < 0: top-down rows
    std::size_t bitsOffset = 0, bitsSize = 0;
};
// Accepts Windows 3 headers and later (not OS/2 core headers), 1 to 32 bits
// a pixel, uncompressed, bit fields or run-length encoded, up to 8192 pixels
// a side. The run-length codes themselves are left to GDI, which stops at
// the image size the header gives.
bool ParsePackedDib(const std::uint8_t* data, std::size_t size, PackedDib* out);

}  // namespace resformat
