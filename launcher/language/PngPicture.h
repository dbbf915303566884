// The launcher's double-size pictures are PNG files in its resources
// (RCDATA): a quarter of the size of run-length bitmaps. Windows decodes them
// (WIC, there since XP SP3); only a scaled display ever asks for them.
#pragma once

#include <windows.h>

namespace launcher {

// A 32-bit top-down DIB section with the picture (a PNG file's bytes), or
// null when they cannot be decoded. The caller owns the bitmap.
HBITMAP DecodePngPicture(const void* bytes, size_t size);

}  // namespace launcher
