// libFuzzer target: PE headers and resource tree on any bytes, taken as a
// file of their own and as patches on the small image (which reach deep
// into the tree). Whatever is found must lie inside the bytes.
#include <cstddef>
#include <cstdint>

#include "PeImage.h"
#include "SmallPe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    krtest::Bytes patched = krtest::SmallPe(size % 2 == 1);
    for (std::size_t i = 0; i + 3 <= size; i += 3)  // offset (2 bytes), value
        patched[(data[i] | data[i + 1] << 8) % patched.size()] = data[i + 2];
    const krtest::Bytes mapped = krtest::Mapped(krtest::SmallPe());
    // Exact-size copies, so that ASan sees any read past them.
    for (const krtest::Bytes& bytes : {krtest::Bytes(data, data + size), patched}) {
        const krcrypto::ByteRange image = {bytes.data(), bytes.size()};
        krcrypto::ByteRange found;
        if (krcrypto::FindFileResource(image, 10, 300, 1033, &found) && found.size != 0) {
            volatile unsigned char first = found.data[0], last = found.data[found.size - 1];
            (void)first, (void)last;
        }
        krcrypto::FileHoldsMappedImage(image, {mapped.data(), mapped.size()});
        krcrypto::FileHoldsMappedImage({mapped.data(), mapped.size()}, image);
    }
    return 0;
}
