// The own image's file, held open and read once; see ImageFile.h.
#include "ImageFile.h"

#include <utility>

#include "ModulePath.h"

namespace {

// Far above any keyrelay image; a bigger file is not one.
const LONGLONG kMaxImageBytes = 64LL << 20;

}  // namespace

void UImageFile::Close() {
    m_file.reset();
    m_path.clear();
    m_bytes.clear();
}

bool UImageFile::Open(const std::wstring& path) {
    Close();
    // Sharing read only: while the handle is open nobody can write, rename
    // or delete the file (renaming needs delete access), and the open fails
    // while anyone holds it for writing or deleting.
    scoped::FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxImageBytes)
        return false;
    try {
        std::vector<unsigned char> bytes(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        if (bytes.empty() || !::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                         &read, nullptr) ||
            read != bytes.size())
            return false;
        m_path = path;
        m_bytes = std::move(bytes);
    } catch (...) {
        Close();
        return false;  // no memory for the bytes
    }
    m_file = std::move(file);
    return true;
}

bool UImageFile::OpenRunning(HMODULE module) {
    // Windows lets a running image be renamed and another file be put at
    // its name before anything here runs, and GetModuleFileName keeps the
    // name the process was started by. No call tells which file the loader
    // mapped, so the file found at that name must show by its bytes that it
    // holds the running image: the headers and resources as they lie in the
    // module (krcrypto::FileHoldsMappedImage). That covers everything the
    // run takes from its module but code; code is left out because the
    // loader changes it, and changed code could skip any check anyway.
    std::wstring path;
    try {
        path = modulepath::ModulePathW(module);
    } catch (...) {
        return false;
    }
    if (path.empty() || !Open(path)) return false;
    // The module's own headers, as the loader checked and mapped them.
    const unsigned char* base = reinterpret_cast<const unsigned char*>(module);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    if (krcrypto::FileHoldsMappedImage(Bytes(), {base, nt->OptionalHeader.SizeOfImage}))
        return true;
    Close();
    return false;
}

bool UImageFile::Payload(WORD id, krcrypto::ByteRange* data) const {
    return krcrypto::FindFileResource(Bytes(), 10 /* RT_RCDATA */, id,
                                      MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), data);
}
