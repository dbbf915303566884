// The texts of one update-history record.
#include "HistoryText.h"

namespace history {

namespace {
std::string Cut(std::string text, size_t max, LeadBytePredicate isLeadByte) {
    if (text.size() <= max) return text;
    size_t end = 0;
    while (end < text.size()) {
        const bool pair = isLeadByte && isLeadByte(static_cast<unsigned char>(text[end])) &&
                          end + 1 < text.size();
        const size_t next = end + (pair ? 2 : 1);
        if (next > max) break;
        end = next;
    }
    text.resize(end);
    return text;
}
}  // namespace

std::string Stamp(const std::string& date, const std::string& time) { return date + " " + time; }

Record Compose(const std::string& target, const std::string& action, const std::string& serial,
               const std::string& stamp, long long count, LeadBytePredicate isLeadByte) {
    Record r;
    const std::string base = target + ";" + action + ";" + Cut(serial, kMaxSerial, isLeadByte);
    r.valueName = Cut(base, kMaxText, isLeadByte);
    r.entry = Cut(base + ";" + stamp, kMaxText, isLeadByte);
    r.keyName = "Log" + std::to_string(count);
    r.countText = std::to_string(count + 1);
    return r;
}

}  // namespace history
