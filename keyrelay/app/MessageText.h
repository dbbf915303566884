// Text rules of the run's messages: the "%relationship" substitution and the
// copy of the payload words. Plain C++, built natively for tests too.
#pragma once

#include <cstddef>

namespace keyrelay {

// Size of the buffers that hold the message texts, terminating NUL included.
constexpr size_t kMessageChars = 512;

// Replaces the first "%relationship" in text (a NUL-terminated string in a
// buffer of bufferChars characters) with name. The text after the token
// moves to follow the name. When the result would not fit, the name and then
// the rest of the text are cut so that the buffer always stays terminated.
void SubstituteRelationship(char* text, size_t bufferChars, const char* name);

// Copies a resource that should hold a NUL-terminated word into a buffer of
// bufferChars characters: at most the resource's size and the buffer's room,
// always terminated. A resource without a NUL is read only as far as it goes.
void CopyResourceText(const void* data, size_t dataBytes, char* buffer, size_t bufferChars);

}  // namespace keyrelay
