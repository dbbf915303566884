// Fuzzes the disc list's reader: any bytes give either no list or entries
// that keep the format's promises (sorted, bounded, safe paths).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "DiscList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<disclist::Entry> list;
    if (!disclist::Parse(reinterpret_cast<const char*>(data), size, &list)) {
        if (!list.empty()) abort();
        return 0;
    }
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string& p = list[i].path;
        if (p.empty() || p.size() > size || ("\\" + p + "\\").find("\\..\\") != std::string::npos ||
            p.find('/') != std::string::npos || (i > 0 && !(list[i - 1].path < p)))
            abort();
        std::string below = disclist::BelowRoot("D:\\" + p, "D:\\");
        if (below != p) abort();
    }
    return 0;
}
