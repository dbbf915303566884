// setup.dat field reader and defaults (see SetupDat.h).
#include "SetupDat.h"

#include <cctype>

#include <algorithm>
#include <cstring>

namespace setupdat {

const char* const kDefaults[6] = {
    "setup.exe",
    "brenvik\\brenvik.exe",
    "directx\\directx.exe",
    "http://www.penwickleisure.com/support",
    "http://www.penwickleisure.com/",
    "file://catalog.htm",
};

size_t MemorySource::Read(char* buffer, size_t size) {
    size_t n = std::min(size, size_ - pos_);
    if (n) std::memcpy(buffer, data_ + pos_, n);
    pos_ += n;
    return n;
}

int FieldReader::Peek() {
    if (pos_ < len_) return static_cast<unsigned char>(buffer_[pos_]);
    if (ended_) return -1;
    size_t room = std::min(sizeof(buffer_), kMaxFileBytes - consumed_);
    len_ = room ? source_.Read(buffer_, room) : 0;
    pos_ = 0;
    if (len_ > room) len_ = room;  // a misbehaving source must not overrun us
    consumed_ += len_;
    if (len_ == 0) {
        ended_ = true;
        return -1;
    }
    return static_cast<unsigned char>(buffer_[0]);
}

// Consumes the separator after a field: a comma, or one line end (CR, LF or
// CR LF). At end of file there is nothing to consume.
void FieldReader::SkipSeparator() {
    int c = Peek();
    if (c == ',' || c == '\n') {
        Skip();
    } else if (c == '\r') {
        Skip();
        if (Peek() == '\n') Skip();
    }
}

static bool IsLineEnd(int c) { return c == '\r' || c == '\n'; }

bool FieldReader::ReadField(std::string& value) {
    value.clear();
    int c = Peek();
    while (c == ' ' || c == '\t') {
        Skip();
        c = Peek();
    }
    if (c < 0) return false;  // nothing left to read: the read fails here
    if (c == '"') {
        Skip();
        // A quoted value runs to the closing quote; a line end also closes
        // it, so that one stray quote spoils one line and not the file.
        for (c = Peek(); c >= 0 && c != '"' && !IsLineEnd(c); c = Peek()) {
            if (value.size() < kMaxFieldLength) value.push_back(static_cast<char>(c));
            Skip();
        }
        if (c == '"') Skip();
        // Whatever follows the closing quote up to the separator is dropped.
        for (c = Peek(); c >= 0 && c != ',' && !IsLineEnd(c); c = Peek()) Skip();
    } else {
        for (; c >= 0 && c != ',' && !IsLineEnd(c); c = Peek()) {
            if (value.size() < kMaxFieldLength) value.push_back(static_cast<char>(c));
            Skip();
        }
    }
    SkipSeparator();
    return true;
}

bool FieldReader::ReadFields(size_t count, std::vector<std::string>& out) {
    for (size_t i = 0; i < count; ++i) {
        std::string value;
        if (!ReadField(value)) return false;
        out.push_back(std::move(value));
    }
    return true;
}

std::vector<std::string> ReadFields(ByteSource& source) {
    std::vector<std::string> fields;
    FieldReader reader(source);
    if (reader.ReadFields(8, fields)) reader.ReadFields(2, fields);
    return fields;
}

Config ConfigFromFields(const std::vector<std::string>& fields) {
    std::string value[7];
    for (size_t i = 0; i < 7 && i < fields.size(); ++i) value[i] = fields[i];
    for (size_t i = 0; i < 6; ++i)
        if (value[i].empty()) value[i] = kDefaults[i];
    Config c;
    c.RunPath = value[0];
    c.Program2 = value[1];
    c.Program3 = value[2];
    c.Program4 = value[3];
    c.WebSiteAddress = value[4];
    c.CatalogueAddress = value[5];
    c.UninstallKeyName = value[6];
    return c;
}

std::string ResolveFileAddress(const std::string& address, const std::string& folder) {
    static const char kScheme[] = "file:";
    const size_t schemeLength = sizeof(kScheme) - 1;
    if (address.size() <= schemeLength || folder.empty()) return address;
    for (size_t i = 0; i < schemeLength; ++i)
        if (std::tolower(static_cast<unsigned char>(address[i])) != kScheme[i]) return address;
    size_t name = address.find_first_not_of('/', schemeLength);
    if (name == std::string::npos || address.find_first_of("/\\:", name) != std::string::npos)
        return address;
    std::string path = folder;
    if (path.back() != '\\' && path.back() != '/') path += '\\';
    return path + address.substr(name);
}

}  // namespace setupdat
