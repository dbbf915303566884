// Fuzzes the resource readers: whatever the bytes, what they give lies inside.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ResourceFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size_t offset = 0, length = 0;
    for (unsigned i = 0; i < 17; ++i)
        if (resformat::FindInStringBlock(data, size, i, &offset, &length) &&
            (length == 0 || offset > size || length > (size - offset) / 2))
            abort();
    resformat::PackedDib dib;
    if (resformat::ParsePackedDib(data, size, &dib) &&
        (dib.bitsOffset > size || dib.bitsSize > size - dib.bitsOffset || dib.width < 1))
        abort();
    return 0;
}
