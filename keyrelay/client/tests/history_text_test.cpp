// The history record's texts: fields, numbering and the 511-character limits.
#include "HistoryText.h"

#include <gtest/gtest.h>

#include <string>

TEST(HistoryText, FieldsAndNumbering) {
    const history::Record r = history::Compose("/com/solvanenetwork", "add", "0A1B2C", "12/7/2026 1:02:03 AM", 0);
    EXPECT_EQ("/com/solvanenetwork;add;0A1B2C", r.valueName);
    EXPECT_EQ("/com/solvanenetwork;add;0A1B2C;12/7/2026 1:02:03 AM", r.entry);
    EXPECT_EQ("Log0", r.keyName);
    EXPECT_EQ("1", r.countText);

    const history::Record third = history::Compose("/", "revoke", "Error", "s", 2);
    EXPECT_EQ("Log2", third.keyName);
    EXPECT_EQ("3", third.countText);
    EXPECT_EQ("/;revoke;Error;s", third.entry);
    EXPECT_EQ("d t", history::Stamp("d", "t"));

    // A negative "Count", as the profile functions read "-5".
    const history::Record negative = history::Compose("t", "add", "00", "s", -5);
    EXPECT_EQ("Log-5", negative.keyName);
    EXPECT_EQ("-4", negative.countText);
}

TEST(HistoryText, LongTextsAreCutAt511) {
    const std::string target(600, 't');
    const history::Record r = history::Compose(target, "delete", "ABCD", "stamp", 7);
    EXPECT_EQ(511u, r.valueName.size());
    EXPECT_EQ(511u, r.entry.size());
    EXPECT_EQ(target.substr(0, 511), r.entry);

    // Exactly at the limit nothing is cut; the stamp is the part that goes first.
    const std::string fits(511 - std::string(";add;AB").size(), 'x');
    const history::Record edge = history::Compose(fits, "add", "AB", "stamp", 0);
    EXPECT_EQ(fits + ";add;AB", edge.valueName);
    EXPECT_EQ(511u, edge.entry.size());
    EXPECT_EQ(fits + ";add;AB", edge.entry);

    // A serial text is cut to the 63 whole bytes a 128-char buffer holds.
    const history::Record s = history::Compose("t", "add", std::string(200, 'F'), "s", 0);
    EXPECT_EQ("t;add;" + std::string(126, 'F'), s.valueName);
}

TEST(HistoryText, CutsNeverSplitATwoByteCharacter) {
    // In this fake code page every byte from 0x81 starts a pair.
    auto lead = [](unsigned char c) { return c >= 0x81; };
    // 510 single bytes then a pair: keeping 511 would split it.
    const std::string target = std::string(510, 'a') + "\x82\x40" + "zz";
    const history::Record r = history::Compose(target, "add", "00", "s", 0, lead);
    EXPECT_EQ(std::string(510, 'a'), r.valueName);
    EXPECT_EQ(std::string(510, 'a'), r.entry);
    // Without the predicate the cut is by bytes.
    EXPECT_EQ(target.substr(0, 511), history::Compose(target, "add", "00", "s", 0).entry);
    // A pair that ends exactly at the limit is kept.
    const std::string fits = std::string(509, 'a') + "\x82\x40" + "zz";
    EXPECT_EQ(fits.substr(0, 511), history::Compose(fits, "add", "00", "s", 0, lead).entry);
}
