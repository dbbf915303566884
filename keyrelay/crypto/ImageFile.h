// UImageFile: an image file opened once for reading, with writers and
// deleters shut out while it stays open, and its bytes read whole. Every
// stage of keyrelay's own-image check judges this one handle and the payload
// is taken from these bytes, so that what is verified is what is used: no
// stage reopens the file by name, and a file swapped in between stages
// cannot exist.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "PeImage.h"
#include "Scoped.h"

class UImageFile {
public:
    UImageFile() = default;
    UImageFile(const UImageFile&) = delete;
    UImageFile& operator=(const UImageFile&) = delete;

    // Opens the file at path, sharing read only, and reads it whole. False
    // (and closed) when it cannot be opened, as while anyone has it open for
    // writing, or read, or is larger than any image this tool can be.
    bool Open(const std::wstring& path);
    // Opens the file that the module was started from, by its wide path;
    // kept only when that file holds the image as it is mapped (below).
    bool OpenRunning(HMODULE module);

    // INVALID_HANDLE_VALUE until opened.
    HANDLE Handle() const { return m_file.get(); }
    const std::wstring& Path() const { return m_path; }
    // The data of an RT_RCDATA resource of language 1033, found in the
    // file's bytes (not the module's); false when the resource tree does not
    // lead to it within bounds.
    bool Payload(WORD id, krcrypto::ByteRange* data) const;

private:
    void Close();
    krcrypto::ByteRange Bytes() const { return {m_bytes.data(), m_bytes.size()}; }

    scoped::FileHandle m_file;
    std::wstring m_path;
    std::vector<unsigned char> m_bytes;
};
