// A small PE image built in memory for the native tests and the fuzzer of
// PeImage: headers in 0x200 bytes, one section .rsrc (RVA 0x1000, file
// offset 0x200, 0x100 bytes) whose tree holds only RT_RCDATA 300 of
// language 1033: "payload". Each table of the tree lies at 0x18 * level.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace krtest {

using Bytes = std::vector<unsigned char>;

const std::size_t kOptionalHeader = 0x58;
const std::size_t kResources = 0x200;  // in the file
const std::size_t kDataEntry = kResources + 0x48;

inline void Put(Bytes& b, std::size_t at, std::uint32_t value, std::size_t bytes = 4) {
    for (std::size_t i = 0; i < bytes; ++i) b[at + i] = static_cast<unsigned char>(value >> 8 * i);
}

inline Bytes SmallPe(bool pe32Plus = false) {
    Bytes b(0x300, 0);
    const std::size_t opt = kOptionalHeader, dirs = pe32Plus ? 112 : 96, optSize = dirs + 16 * 8;
    b[0] = 'M', b[1] = 'Z', Put(b, 0x3C, 0x40);
    std::memcpy(&b[0x40], "PE\0\0", 4);
    Put(b, 0x46, 1, 2), Put(b, 0x54, optSize, 2);  // one section; the optional header's size
    Put(b, opt, pe32Plus ? 0x20B : 0x10B, 2), Put(b, opt + (pe32Plus ? 24 : 28), 0x400000);
    Put(b, opt + 56, 0x2000), Put(b, opt + 60, 0x200), Put(b, opt + dirs - 4, 16);
    Put(b, opt + dirs + 16, 0x1000), Put(b, opt + dirs + 20, 0x100);  // the resource directory
    const std::size_t section = opt + optSize;
    std::memcpy(&b[section], ".rsrc", 5);
    Put(b, section + 8, 0x100), Put(b, section + 12, 0x1000), Put(b, section + 16, 0x100);
    Put(b, section + 20, kResources);
    const std::uint32_t levels[][2] = {{10, 0x80000018}, {300, 0x80000030}, {1033, 0x48}};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t table = kResources + 0x18 * i;
        Put(b, table + 14, 1, 2), Put(b, table + 16, levels[i][0]), Put(b, table + 20, levels[i][1]);
    }
    Put(b, kDataEntry, 0x1058), Put(b, kDataEntry + 4, 7);
    std::memcpy(&b[kResources + 0x58], "payload", 7);
    return b;
}

// The image as the loader maps it: headers at 0, the section at its RVA.
inline Bytes Mapped(const Bytes& file) {
    Bytes m(0x2000, 0);
    std::memcpy(m.data(), file.data(), 0x200);
    std::memcpy(m.data() + 0x1000, file.data() + kResources, 0x100);
    return m;
}

}  // namespace krtest
