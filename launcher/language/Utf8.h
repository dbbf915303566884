// One UTF-8 sequence at a time, by the rules of well-formed UTF-8: no
// overlong forms, no encoded surrogates, nothing past U+10FFFF. Plain C++.
#pragma once

#include <cstddef>
#include <string>

namespace utf8 {

// The sequence starting at bytes[i] (i < bytes.size()): true with its code
// point in *c, or false for an ill-formed one; either way *used is how many
// bytes it takes (an ill-formed one: its maximal part, at least one byte, so
// that a byte that may begin the next sequence is left to it).
inline bool Next(const std::string& bytes, size_t i, char32_t* c, size_t* used) {
    const unsigned char lead = static_cast<unsigned char>(bytes[i]);
    size_t at = i + 1, more = 0;
    unsigned char low = 0x80, high = 0xBF;  // what the next byte may be
    char32_t code = lead;
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2;
        code = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3;
        code = lead & 0x07;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
    } else if (lead >= 0x80) {
        *used = 1;
        return false;
    }
    for (; more > 0 && at < bytes.size(); --more, ++at) {
        const unsigned char b = static_cast<unsigned char>(bytes[at]);
        if (b < low || b > high) break;
        code = code << 6 | (b & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    *used = at - i;
    if (more > 0) return false;
    *c = code;
    return true;
}

}  // namespace utf8
