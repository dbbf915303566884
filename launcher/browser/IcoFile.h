// Picks one picture out of an .ico file held in memory (the browser window
// carries its icon file as raw data). Plain C++, checked against the data's
// bounds, so that a damaged file gives no icon rather than a bad read.
#pragma once

#include <cstddef>

namespace browser {
namespace ico {

struct Image {
    size_t offset = 0;  // of the picture's bytes within the file
    size_t size = 0;
    int width = 0;
    int height = 0;
    int bitCount = 0;
};

// Chooses the picture whose size is nearest cx x cy (deepest colour among
// equals). Returns false when the data is no icon file or holds no picture
// that lies wholly inside it.
bool PickImage(const unsigned char* data, size_t size, int cx, int cy, Image* out);

}  // namespace ico
}  // namespace browser
