// The bytes of a resource that FindResource* found in a module: loaded,
// locked and measured in one place. Empty when there is none.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace resbytes {

struct Bytes {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

inline Bytes Of(HMODULE module, HRSRC found) {
    Bytes b;
    if (!found) return b;
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return b;
    b.data = static_cast<const std::uint8_t*>(data);
    b.size = SizeofResource(module, found);
    return b;
}

}  // namespace resbytes
