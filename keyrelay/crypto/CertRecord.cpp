// Certificate record layout and serial number text; see CertRecord.h.
#include "CertRecord.h"

#include <cstring>

namespace krcrypto {

namespace {

std::uint32_t ReadLe32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t ReadLe16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

}  // namespace

bool ParseCertificateRecord(const void* data, std::size_t available, CertificateRecordView* view) {
    if (view == nullptr) return false;
    *view = CertificateRecordView();
    if (data == nullptr || available < kRecordHeaderSize) return false;
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    const std::uint32_t length = ReadLe32(bytes);
    // A length below the header would make "dwLength - 8" wrap around; a
    // length past the holding bytes would send the decoder beyond them.
    if (length <= kRecordHeaderSize || length > available) return false;
    view->length = length;
    view->revision = ReadLe16(bytes + 4);
    view->certificateType = ReadLe16(bytes + 6);
    view->content = bytes + kRecordHeaderSize;
    view->contentLength = length - kRecordHeaderSize;
    return true;
}

std::size_t FormatSerialNumber(const unsigned char* serial, std::size_t count, char* text,
                               std::size_t size) {
    static const char kDigits[] = "0123456789ABCDEF";
    if (text == nullptr || size == 0) return 0;
    if (serial == nullptr) count = 0;
    const std::size_t wholeBytes = (size - 1) / 2;
    const std::size_t shown = count < wholeBytes ? count : wholeBytes;
    std::size_t pos = 0;
    for (std::size_t i = 0; i < shown; ++i) {
        const unsigned char b = serial[count - 1 - i];
        text[pos++] = kDigits[b >> 4];
        text[pos++] = kDigits[b & 0x0F];
    }
    text[pos] = '\0';
    return pos;
}

void CopyTextCut(const char* source, char* text, std::size_t size) {
    if (text == nullptr || size == 0) return;
    std::memset(text, 0, size);
    if (source == nullptr) return;
    std::size_t n = std::strlen(source);
    if (n > size - 1) n = size - 1;
    std::memcpy(text, source, n);
}

}  // namespace krcrypto
