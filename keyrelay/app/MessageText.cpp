// The "%relationship" substitution and the copy of the payload words.
#include "MessageText.h"

#include <cstring>

namespace keyrelay {

namespace {
const char kToken[] = "%relationship";
const size_t kTokenChars = sizeof(kToken) - 1;  // 13
}  // namespace

void SubstituteRelationship(char* text, size_t bufferChars, const char* name) {
    if (!text || bufferChars == 0) return;
    text[bufferChars - 1] = '\0';
    char* token = std::strstr(text, kToken);
    if (!token) return;
    if (!name) name = "";

    const size_t start = static_cast<size_t>(token - text);
    const size_t room = bufferChars - 1 - start;  // characters left after the token's start
    size_t nameChars = std::strlen(name);
    if (nameChars > room) nameChars = room;

    // The rest of the text, from the end of the token, terminating NUL included.
    const char* rest = token + kTokenChars;
    size_t restChars = std::strlen(rest);
    if (restChars > room - nameChars) restChars = room - nameChars;

    std::memmove(token + nameChars, rest, restChars);
    token[nameChars + restChars] = '\0';
    std::memcpy(token, name, nameChars);
}

void CopyResourceText(const void* data, size_t dataBytes, char* buffer, size_t bufferChars) {
    if (!buffer || bufferChars == 0) return;
    const char* src = static_cast<const char*>(data);
    size_t n = 0;
    if (src) {
        while (n < dataBytes && n < bufferChars - 1 && src[n] != '\0') ++n;
        std::memcpy(buffer, src, n);
    }
    buffer[n] = '\0';
}

}  // namespace keyrelay
