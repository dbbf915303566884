// The run's text rules: "%relationship" substitution and the resource words.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "MessageText.h"

TEST(Substitution, FirstTokenOnlyNameAsItIsCutToTheBuffer) {
    const std::string a400(400, 'a'), a100(100, 'a'), n300(300, 'n'), n200(200, 'n');
    const struct {
        std::string text, name, result;
        size_t bufferChars = keyrelay::kMessageChars;
    } rows[] = {
        {"can't add new certificate for %relationship. (9)", "Acme Corp", "can't add new certificate for Acme Corp. (9)"},
        {"%relationship and %relationship", "A", "A and %relationship"},
        {"no token here", "Acme", "no token here"},
        // Before the lookup the name is the word itself, which then stands twice.
        {"update your %relationship relationship for", "relationship", "update your relationship relationship for"},
        // An empty name leaves the blank before the token and the punctuation after it.
        {"can't update %relationship. (12)", "", "can't update . (12)"},
        {"%relationship security.", "", " security."},
        // The longest shipped text with the longest name fits whole.
        {std::string(219, 'x') + "%relationship" + "tail", std::string(255, 'n'),
         std::string(219, 'x') + std::string(255, 'n') + "tail"},
        // Longer texts and names are cut, the name first, always terminated.
        {a400 + "%relationship" + std::string(90, 'b'), n300, a400 + std::string(111, 'n')},
        {a100 + "%relationship" + std::string(300, 'b'), n200, a100 + n200 + std::string(211, 'b')},
        {"a%relationship", "bcdefghijklmnopqrs", "abcdefghijklmno", 16},
    };
    for (const auto& row : rows) {
        std::vector<char> buffer(row.bufferChars + 16, 'Z');  // guard bytes after the buffer
        std::strncpy(buffer.data(), row.text.c_str(), row.bufferChars);
        buffer[row.bufferChars - 1] = '\0';
        keyrelay::SubstituteRelationship(buffer.data(), row.bufferChars, row.name.c_str());
        EXPECT_EQ(row.result, std::string(buffer.data())) << row.text.substr(0, 40);
        EXPECT_EQ(std::string(16, 'Z'), std::string(buffer.data() + row.bufferChars, 16))
            << row.text.substr(0, 40);
    }
}

TEST(ResourceText, StopsAtNulResourceEndOrBuffer) {
    const std::string w100(100, 'w');
    const struct {
        const char* data;
        size_t size;
        std::string result;
    } rows[] = {
        {"add\0junk", 8, "add"},
        {"revoke", 6, "revoke"},  // no NUL in the resource: only its own bytes are read
        {w100.data(), w100.size(), std::string(31, 'w')},
        {nullptr, 0, ""},
    };
    for (const auto& row : rows) {
        std::vector<char> resource(row.data, row.data + row.size);  // exact size, for the sanitizer
        char buffer[32];
        keyrelay::CopyResourceText(row.data ? resource.data() : nullptr, row.size, buffer,
                                   sizeof(buffer));
        EXPECT_EQ(row.result, std::string(buffer));
    }
}
