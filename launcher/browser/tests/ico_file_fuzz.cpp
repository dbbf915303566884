// Fuzzes the choice of a picture from an .ico file: any bytes, any size asked.
#include <cstddef>
#include <cstdint>

#include "IcoFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    browser::ico::Image image;
    if (browser::ico::PickImage(data + 2, size - 2, data[0], data[1], &image)) {
        // The picture lies inside the data: touch its first and last byte.
        volatile uint8_t first = data[2 + image.offset];
        volatile uint8_t last = data[2 + image.offset + image.size - 1];
        (void)first;
        (void)last;
    }
    return 0;
}
