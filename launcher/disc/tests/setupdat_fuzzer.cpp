// Fuzzes the setup.dat reader: any bytes, as they are and behind each byte
// order mark, give at most ten bounded fields.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "SetupDat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const char* mark : {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
        const std::string text = mark + std::string(reinterpret_cast<const char*>(data), size);
        setupdat::MemorySource source(text);
        std::vector<std::string> fields = setupdat::ReadFields(source);
        if (fields.size() > 10) abort();
        for (const std::string& f : fields)
            if (f.size() > setupdat::kMaxFieldLength || f.size() > size) abort();
        setupdat::Config c = setupdat::ConfigFromFields(fields);
        if (c.RunPath.empty() || c.CatalogueAddress.empty()) abort();
    }
    return 0;
}
