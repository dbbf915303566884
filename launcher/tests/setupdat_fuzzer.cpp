// Fuzzes the setup.dat reader: any bytes give at most ten bounded fields.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "SetupDat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    setupdat::MemorySource source(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> fields = setupdat::ReadFields(source);
    if (fields.size() > 10) abort();
    for (const std::string& f : fields)
        if (f.size() > setupdat::kMaxFieldLength || f.size() > size) abort();
    setupdat::Config c = setupdat::ConfigFromFields(fields);
    if (c.RunPath.empty() || c.CatalogueAddress.empty()) abort();
    return 0;
}
