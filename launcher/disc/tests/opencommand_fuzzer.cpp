// Fuzzes the open-command rule: any value gives a quoted program whose
// folder is a prefix of it, or "not installed".
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ProductCommand.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string value(reinterpret_cast<const char*>(data), size);
    product::OpenCommand c;
    if (!product::ParseOpenCommand(value, &c)) return 0;
    if (c.exe.size() < 3 || c.exe.front() != '"' || c.exe.back() != '"') abort();
    std::string path = c.exe.substr(1, c.exe.size() - 2);
    if (path.compare(0, c.folder.size(), c.folder) != 0) abort();
    return 0;
}
