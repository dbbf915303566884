// libFuzzer target: record parsing and serial text on any bytes. The content
// must stay inside the input, and the text inside its buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "CertRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Copy into an exact-size buffer so ASan sees any read past the record.
    std::vector<unsigned char> record(data, data + size);
    krcrypto::CertificateRecordView view;
    if (krcrypto::ParseCertificateRecord(record.data(), record.size(), &view)) {
        if (view.content < record.data() + 8 ||
            view.content + view.contentLength > record.data() + record.size()) {
            std::abort();
        }
        unsigned sum = 0;
        for (std::size_t i = 0; i < view.contentLength; ++i) sum += view.content[i];
        (void)sum;
    }
    const std::size_t textSize = size ? data[0] % 40 : 0;
    std::vector<char> text(textSize);
    const std::size_t n =
        krcrypto::FormatSerialNumber(record.data(), record.size(), text.data(), textSize);
    if (textSize != 0 && (n >= textSize || n % 2 != 0 || text[n] != '\0')) std::abort();
    return 0;
}
