// The history record's texts: fields, numbering and the 511-character limits.
#include "HistoryText.h"

#include <gtest/gtest.h>

namespace {
// In this fake code page every byte from 0x81 starts a pair.
bool Lead(unsigned char c) { return c >= 0x81; }
}  // namespace

TEST(HistoryText, FieldsNumberingAndCuts) {
    const std::string at511 = std::string(504, 'x');  // + ";add;AB" = 511
    const std::string pairAt510 = std::string(510, 'a') + "\x82\x40" + "zz";
    const struct {
        std::string target, action, serial;
        long long count;
        history::LeadBytePredicate lead;
        std::string valueName, entry, keyName, countText;
    } rows[] = {
        {"/com/solvanenetwork", "add", "0A1B2C", 0, nullptr, "/com/solvanenetwork;add;0A1B2C",
         "/com/solvanenetwork;add;0A1B2C;stamp", "Log0", "1"},
        {"/", "revoke", "Error", 2, nullptr, "/;revoke;Error", "/;revoke;Error;stamp", "Log2", "3"},
        // A negative "Count", as the profile functions read "-5".
        {"t", "add", "00", -5, nullptr, "t;add;00", "t;add;00;stamp", "Log-5", "-4"},
        {std::string(600, 't'), "delete", "AB", 7, nullptr, std::string(511, 't'), std::string(511, 't'), "Log7", "8"},
        // Exactly at the limit nothing is cut; the stamp is the part that goes first.
        {at511, "add", "AB", 0, nullptr, at511 + ";add;AB", at511 + ";add;AB", "Log0", "1"},
        // A serial text is cut to the 63 whole bytes a 128-char buffer holds.
        {"t", "add", std::string(200, 'F'), 0, nullptr, "t;add;" + std::string(126, 'F'),
         "t;add;" + std::string(126, 'F') + ";stamp", "Log0", "1"},
        // Keeping 511 bytes would split the pair; without the predicate the cut is by bytes.
        {pairAt510, "add", "00", 0, Lead, std::string(510, 'a'), std::string(510, 'a'), "Log0", "1"},
        {pairAt510, "add", "00", 0, nullptr, pairAt510.substr(0, 511), pairAt510.substr(0, 511), "Log0", "1"},
        // A pair that ends exactly at the limit is kept.
        {pairAt510.substr(1), "add", "00", 0, Lead, pairAt510.substr(1, 511), pairAt510.substr(1, 511), "Log0", "1"},
    };
    for (const auto& row : rows) {
        const history::Record r =
            history::Compose(row.target, row.action, row.serial, "stamp", row.count, row.lead);
        EXPECT_EQ(row.valueName, r.valueName) << row.target.size() << " " << row.serial.size();
        EXPECT_EQ(row.entry, r.entry) << row.target.size() << " " << row.serial.size();
        EXPECT_EQ(row.keyName, r.keyName);
        EXPECT_EQ(row.countText, r.countText);
    }
}
