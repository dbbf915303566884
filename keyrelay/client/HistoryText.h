// The texts of one update-history record: the entry in "RerAZuva.dat" and
// the registry value that points at it. Plain C++, no platform calls.
#pragma once

#include <string>

namespace history {

// Longest entry text and registry value name; longer ones are cut.
constexpr size_t kMaxText = 511;
// Longest serial number text: 63 bytes of two digits each, all that a
// 128-char buffer holds in whole bytes with its NUL.
constexpr size_t kMaxSerial = 126;

struct Record {
    std::string valueName;  // target;action;serial
    std::string entry;      // target;action;serial;stamp
    std::string keyName;    // Log<n>
    std::string countText;  // n + 1
};

// The stamp: date, one space, time.
std::string Stamp(const std::string& date, const std::string& time);

// Tells whether a byte of the ANSI code page starts a two-byte character.
using LeadBytePredicate = bool (*)(unsigned char);

// The record written when "Count" reads as count. Texts over their limits
// are cut, never in the middle of a two-byte character when isLeadByte is
// given.
Record Compose(const std::string& target, const std::string& action, const std::string& serial,
               const std::string& stamp, long long count, LeadBytePredicate isLeadByte = nullptr);

}  // namespace history
