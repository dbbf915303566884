// The run's text rules: "%relationship" substitution, resource words and the
// certificate record's length check.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "MessageText.h"

using keyrelay::CopyResourceText;
using keyrelay::SubstituteRelationship;
using keyrelay::UsableRecordLength;

namespace {

std::string Substitute(const std::string& text, const std::string& name,
                       size_t bufferChars = keyrelay::kMessageChars) {
    std::vector<char> buffer(bufferChars + 16, 'Z');  // guard bytes after the buffer
    std::strncpy(buffer.data(), text.c_str(), bufferChars);
    buffer[bufferChars - 1] = '\0';
    SubstituteRelationship(buffer.data(), bufferChars, name.c_str());
    for (size_t i = bufferChars; i < buffer.size(); ++i) EXPECT_EQ('Z', buffer[i]) << i;
    return std::string(buffer.data());
}

}  // namespace

TEST(Substitution, ReplacesTheFirstTokenOnly) {
    EXPECT_EQ("can't add new certificate for Acme Corp. (9)",
              Substitute("can't add new certificate for %relationship. (9)", "Acme Corp"));
    EXPECT_EQ("A and %relationship", Substitute("%relationship and %relationship", "A"));
    EXPECT_EQ("no token here", Substitute("no token here", "Acme"));
}

TEST(Substitution, EarlyFailureShowsTheWordTwice) {
    EXPECT_EQ("update your relationship relationship for",
              Substitute("update your %relationship relationship for", "relationship"));
}

TEST(Substitution, EmptyNameLeavesBlankAndPunctuation) {
    EXPECT_EQ("can't update . (12)", Substitute("can't update %relationship. (12)", ""));
    EXPECT_EQ(" security.", Substitute("%relationship security.", ""));
}

TEST(Substitution, LongestShippedTextWithLongestNameFits) {
    const std::string text(219, 'x');
    const std::string name(255, 'n');
    std::string result = Substitute(text + "%relationship" + "tail", name);
    EXPECT_EQ(text + name + "tail", result);
}

TEST(Substitution, NeverWritesPastTheBuffer) {
    // A text and a name far longer than any shipped one: the result is cut,
    // always terminated, and nothing after the buffer is touched.
    const std::string text = std::string(400, 'a') + "%relationship" + std::string(90, 'b');
    std::string result = Substitute(text, std::string(300, 'n'));
    EXPECT_EQ(511u, result.size());
    EXPECT_EQ(std::string(400, 'a') + std::string(111, 'n'), result);

    result = Substitute(std::string(100, 'a') + "%relationship" + std::string(300, 'b'),
                        std::string(200, 'n'));
    EXPECT_EQ(511u, result.size());
    EXPECT_EQ(std::string(100, 'a') + std::string(200, 'n') + std::string(211, 'b'), result);

    EXPECT_EQ("abcdefghijklmno", Substitute("a%relationship", "bcdefghijklmnopqrs", 16));
}

TEST(ResourceText, StopsAtNulResourceEndOrBuffer) {
    char buffer[32];
    CopyResourceText("add\0junk", 8, buffer, sizeof(buffer));
    EXPECT_STREQ("add", buffer);

    // No NUL in the resource: only its own bytes are read.
    const char word[6] = {'r', 'e', 'v', 'o', 'k', 'e'};
    CopyResourceText(word, sizeof(word), buffer, sizeof(buffer));
    EXPECT_STREQ("revoke", buffer);

    const std::string longWord(100, 'w');
    CopyResourceText(longWord.data(), longWord.size(), buffer, sizeof(buffer));
    EXPECT_EQ(std::string(31, 'w'), std::string(buffer));

    CopyResourceText(nullptr, 0, buffer, sizeof(buffer));
    EXPECT_STREQ("", buffer);
}

TEST(RecordLength, AcceptsOnlyLengthsInsideTheResource) {
    std::vector<unsigned char> record(24, 0);
    record[0] = 24;
    EXPECT_EQ(24u, UsableRecordLength(record.data(), record.size()));
    record[0] = 16;  // a record shorter than its resource: the record's length wins
    EXPECT_EQ(16u, UsableRecordLength(record.data(), record.size()));
    record[0] = 8;   // header only
    EXPECT_EQ(8u, UsableRecordLength(record.data(), record.size()));
    record[0] = 7;   // shorter than its own header
    EXPECT_EQ(0u, UsableRecordLength(record.data(), record.size()));
    record[0] = 25;  // longer than the resource
    EXPECT_EQ(0u, UsableRecordLength(record.data(), record.size()));
    record[0] = 0xFF; record[3] = 0xFF;  // would wrap a signed or 16-bit size
    EXPECT_EQ(0u, UsableRecordLength(record.data(), record.size()));
    EXPECT_EQ(0u, UsableRecordLength(record.data(), 4));
    EXPECT_EQ(0u, UsableRecordLength(nullptr, 100));
}
