// The texts of one update-history record.
#include "HistoryText.h"

namespace history {

namespace {
std::string Cut(std::string text, size_t max) {
    if (text.size() > max) text.resize(max);
    return text;
}
}  // namespace

std::string Stamp(const std::string& date, const std::string& time) { return date + " " + time; }

Record Compose(const std::string& target, const std::string& action, const std::string& serial,
               const std::string& stamp, long long count) {
    Record r;
    const std::string base = target + ";" + action + ";" + Cut(serial, kMaxSerial);
    r.valueName = Cut(base, kMaxText);
    r.entry = Cut(base + ";" + stamp, kMaxText);
    r.keyName = "Log" + std::to_string(count);
    r.countText = std::to_string(count + 1);
    return r;
}

}  // namespace history
