// Picks one picture out of an .ico file (see IcoFile.h).
#include "IcoFile.h"

#include <cstdlib>

namespace browser {
namespace ico {

namespace {

unsigned Word(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}
size_t Dword(const unsigned char* p) {
    return static_cast<size_t>(p[0]) | (static_cast<size_t>(p[1]) << 8) |
           (static_cast<size_t>(p[2]) << 16) | (static_cast<size_t>(p[3]) << 24);
}

}  // namespace

bool PickImage(const unsigned char* data, size_t size, int cx, int cy, Image* out) {
    const size_t kHeader = 6, kEntry = 16;
    if (!data || !out || size < kHeader) return false;
    if (Word(data) != 0 || Word(data + 2) != 1) return false;
    size_t count = Word(data + 4);
    if (count == 0 || count > (size - kHeader) / kEntry) return false;
    const size_t directoryEnd = kHeader + count * kEntry;

    bool found = false;
    long bestDistance = 0;
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* e = data + kHeader + i * kEntry;
        Image image;
        image.width = e[0] ? e[0] : 256;
        image.height = e[1] ? e[1] : 256;
        image.bitCount = static_cast<int>(Word(e + 6));
        image.size = Dword(e + 8);
        image.offset = Dword(e + 12);
        if (image.size == 0 || image.offset < directoryEnd || image.offset > size ||
            image.size > size - image.offset)
            continue;
        long distance = std::labs(static_cast<long>(image.width) - cx) +
                        std::labs(static_cast<long>(image.height) - cy);
        if (!found || distance < bestDistance ||
            (distance == bestDistance && image.bitCount > out->bitCount)) {
            *out = image;
            bestDistance = distance;
            found = true;
        }
    }
    return found;
}

}  // namespace ico
}  // namespace browser
