// Layout of the certificate record (a WIN_CERTIFICATE holding a PKCS #7
// message) and the text form of a certificate serial number. Plain C++
// without Windows headers, so that it is tested and fuzzed natively too.
#pragma once

#include <cstddef>
#include <cstdint>

namespace krcrypto {

constexpr std::size_t kRecordHeaderSize = 8;  // dwLength, wRevision, wCertificateType

// The parts of a record that the decoder needs.
struct CertificateRecordView {
    std::uint32_t length = 0;                // dwLength, header included
    std::uint16_t revision = 0;              // wRevision
    std::uint16_t certificateType = 0;       // wCertificateType
    const unsigned char* content = nullptr;  // bCertificate
    std::size_t contentLength = 0;           // dwLength - 8
};

// Reads the header of a record held in `available` bytes at `data`.
// The record is accepted only when its dwLength covers the header and at
// least one content byte and lies inside the bytes that hold it, so that the
// content never reaches past the record; otherwise returns false.
bool ParseCertificateRecord(const void* data, std::size_t available, CertificateRecordView* view);

// Writes a serial number stored least significant byte first (as the
// CryptoAPI keeps it) as upper-case hex text, most significant byte first,
// two digits per byte, leading zero bytes included. Only whole bytes are
// written, as many as leave room for the terminating NUL in `size`
// characters. Returns the number of characters written before the NUL;
// nothing is written when `text` is null or `size` is 0.
std::size_t FormatSerialNumber(const unsigned char* serial, std::size_t count, char* text,
                               std::size_t size);

// Copies `source` into `text` cut to size - 1 characters, NUL-terminated,
// and clears the rest of the buffer. Nothing is written when `size` is 0.
void CopyTextCut(const char* source, char* text, std::size_t size);

}  // namespace krcrypto
