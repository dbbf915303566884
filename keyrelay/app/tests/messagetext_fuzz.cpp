// Fuzzes the text rules with arbitrary texts, names, resources and buffer sizes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "MessageText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t bufferChars = 1 + data[0] % 64 * 8;
    const size_t split = data[1] % (size - 1);
    const uint8_t* rest = data + 2;
    const size_t restSize = size - 2;
    const size_t textBytes = split < restSize ? split : restSize;

    std::vector<char> text(bufferChars, '\0');
    std::memcpy(text.data(), rest, textBytes < bufferChars - 1 ? textBytes : bufferChars - 1);
    std::vector<char> name(rest + textBytes, rest + restSize);
    name.push_back('\0');
    keyrelay::SubstituteRelationship(text.data(), bufferChars, name.data());

    std::vector<char> word(32);
    std::vector<uint8_t> resource(rest, rest + restSize);  // exact size, so ASan sees overreads
    keyrelay::CopyResourceText(resource.data(), resource.size(), word.data(), word.size());
    return 0;
}
