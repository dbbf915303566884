// The run's text rules: "%relationship" substitution and the resource words.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "MessageText.h"

using keyrelay::CopyResourceText;
using keyrelay::SubstituteRelationship;

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

TEST(Substitution, FirstTokenOnlyWithTheNameAsItIs) {
    EXPECT_EQ("can't add new certificate for Acme Corp. (9)",
              Substitute("can't add new certificate for %relationship. (9)", "Acme Corp"));
    EXPECT_EQ("A and %relationship", Substitute("%relationship and %relationship", "A"));
    EXPECT_EQ("no token here", Substitute("no token here", "Acme"));
    // Before the lookup the name is the word itself, which then stands twice.
    EXPECT_EQ("update your relationship relationship for",
              Substitute("update your %relationship relationship for", "relationship"));
    // An empty name leaves the blank before the token and the punctuation after it.
    EXPECT_EQ("can't update . (12)", Substitute("can't update %relationship. (12)", ""));
    EXPECT_EQ(" security.", Substitute("%relationship security.", ""));
}

TEST(Substitution, NeverWritesPastTheBuffer) {
    // The longest shipped text with the longest name fits whole.
    const std::string text(219, 'x');
    const std::string name(255, 'n');
    EXPECT_EQ(text + name + "tail", Substitute(text + "%relationship" + "tail", name));

    // Longer texts and names are cut, always terminated, and nothing after
    // the buffer is touched.
    std::string result =
        Substitute(std::string(400, 'a') + "%relationship" + std::string(90, 'b'), std::string(300, 'n'));
    EXPECT_EQ(std::string(400, 'a') + std::string(111, 'n'), result);
    result = Substitute(std::string(100, 'a') + "%relationship" + std::string(300, 'b'),
                        std::string(200, 'n'));
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
