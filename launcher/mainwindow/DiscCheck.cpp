// The disc check (see DiscCheck.h).
#include "DiscCheck.h"

#include <bcrypt.h>

#include <cstring>
#include <memory>

#include "ProductCommand.h"
#include "Resource.h"
#include "ResourceBytes.h"
#include "Scoped.h"
#include "UiText.h"
#include "WideText.h"

namespace disccheck {

using widetext::Widen;

namespace {

// bcrypt.dll's hashing calls are delay-imported like every library the
// first paint does not need; where the system has no bcrypt.dll (before
// Vista) each answers with the delay-load hook's fallback status.
struct AlgorithmTraits {
    using Type = BCRYPT_ALG_HANDLE;
    static BCRYPT_ALG_HANDLE invalid() noexcept { return nullptr; }
    static void close(BCRYPT_ALG_HANDLE h) noexcept { BCryptCloseAlgorithmProvider(h, 0); }
};
struct HashTraits {
    using Type = BCRYPT_HASH_HANDLE;
    static BCRYPT_HASH_HANDLE invalid() noexcept { return nullptr; }
    static void close(BCRYPT_HASH_HANDLE h) noexcept { BCryptDestroyHash(h); }
};
using Algorithm = scoped::Unique<AlgorithmTraits>;
using Hash = scoped::Unique<HashTraits>;

bool Failed(NTSTATUS status) {
    return status < 0;
}

const size_t kChunk = 1 << 20;

// Hashes the rest of file (size bytes) into digest.
FileState HashFile(HANDLE file, uint64_t size, uint8_t digest[32], const std::atomic<bool>* cancel,
                   const std::function<void(uint64_t)>& progress) {
    Algorithm algorithm;
    // Before Vista (no bcrypt.dll) there is no way to vouch for the file.
    if (Failed(BCryptOpenAlgorithmProvider(algorithm.put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
        return FileState::Unchecked;
    ULONG objectSize = 0, got = 0;
    if (Failed(BCryptGetProperty(algorithm.get(), BCRYPT_OBJECT_LENGTH,
                                 reinterpret_cast<UCHAR*>(&objectSize), sizeof(objectSize), &got, 0)))
        return FileState::Unchecked;
    std::vector<UCHAR> object(objectSize);  // Vista does not allocate it itself
    Hash hash;
    if (Failed(BCryptCreateHash(algorithm.get(), hash.put(), object.data(), objectSize, nullptr, 0,
                                0)))
        return FileState::Unchecked;
    std::unique_ptr<UCHAR[]> buffer(new UCHAR[kChunk]);
    uint64_t done = 0;
    while (done < size) {
        if (cancel && cancel->load()) return FileState::Cancelled;
        DWORD read = 0;
        const DWORD want = static_cast<DWORD>(size - done < kChunk ? size - done : kChunk);
        if (!ReadFile(file, buffer.get(), want, &read, nullptr)) return FileState::Unreadable;
        if (read == 0) return FileState::Damaged;  // shorter than it said a moment ago
        if (Failed(BCryptHashData(hash.get(), buffer.get(), read, 0))) return FileState::Unchecked;
        done += read;
        if (progress) progress(done);
    }
    char extra;  // grown meanwhile: not the listed file
    DWORD read = 0;
    if (ReadFile(file, &extra, 1, &read, nullptr) && read != 0) return FileState::Damaged;
    return Failed(BCryptFinishHash(hash.get(), digest, 32, 0)) ? FileState::Unchecked
                                                              : FileState::Good;
}

std::wstring Upper(std::wstring s) {
    if (!s.empty())
        LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, s.data(), static_cast<int>(s.size()), &s[0],
                     static_cast<int>(s.size()));
    return s;
}

std::atomic<bool> checking(false);

}  // namespace

bool CarriesList(HMODULE image) {
    return FindResourceW(image, MAKEINTRESOURCEW(IDR_DISCLIST), MAKEINTRESOURCEW(10)) != nullptr;
}

const std::vector<disclist::Entry>* CarriedList(HMODULE image) {
    static const std::unique_ptr<std::vector<disclist::Entry>> list =
        [image]() -> std::unique_ptr<std::vector<disclist::Entry>> {
        const resbytes::Bytes list = resbytes::Of(
            image, FindResourceW(image, MAKEINTRESOURCEW(IDR_DISCLIST), MAKEINTRESOURCEW(10)));
        if (!list.data) return nullptr;
        std::unique_ptr<std::vector<disclist::Entry>> entries(new std::vector<disclist::Entry>);
        if (!disclist::Parse(reinterpret_cast<const char*>(list.data), list.size, entries.get()))
            return nullptr;
        return entries;
    }();
    return list.get();
}

const disclist::Entry* FindEntry(const std::vector<disclist::Entry>& list,
                                 const std::string& relative) {
    if (relative.empty()) return nullptr;
    const std::wstring wanted = Upper(Widen(relative, CP_ACP));
    for (const disclist::Entry& e : list)
        if (Upper(Widen(e.path, CP_UTF8)) == wanted) return &e;
    return nullptr;
}

std::string ProgramBelowRoot(const std::string& commandLine, const std::string& root) {
    product::OpenCommand command;
    if (!product::ParseOpenCommand(commandLine, &command) || command.path.empty()) return "";
    const std::string program = disclist::ProgramFile(command.path, root);
    char full[MAX_PATH * 2];
    DWORD n = GetFullPathNameA(program.c_str(), sizeof(full), full, nullptr);
    if (n == 0 || n >= sizeof(full)) return "";
    return disclist::BelowRoot(std::string(full, n), root);
}

std::wstring FullPath(const std::string& root, const std::string& listPath) {
    std::wstring path = Widen(root, CP_ACP);
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path + Widen(listPath, CP_UTF8);
}

FileState CheckFile(const std::wstring& path, const disclist::Entry& entry,
                    const std::atomic<bool>* cancel,
                    const std::function<void(uint64_t)>& progress) {
    scoped::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? FileState::Missing
                   : FileState::Unreadable;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size)) return FileState::Unreadable;
    if (static_cast<uint64_t>(size.QuadPart) != entry.size) return FileState::Damaged;
    uint8_t digest[32];
    FileState state = HashFile(file.get(), entry.size, digest, cancel, progress);
    if (state != FileState::Good) return state;
    return std::memcmp(digest, entry.sha256, 32) == 0 ? FileState::Good : FileState::Damaged;
}

const char* StateWord(FileState state) {
    switch (state) {
        case FileState::Missing:
            return "missing";
        case FileState::Unreadable:
            return "unreadable";
        case FileState::Damaged:
            return "damaged";
        case FileState::Cancelled:
            return "cancelled";
        case FileState::Unchecked:
            return "unchecked";
        default:
            return "good";
    }
}

bool CheckInProgress() {
    return checking.load();
}

namespace {

struct Job {
    std::wstring path;
    disclist::Entry entry;
    FileState state = FileState::Unreadable;
};

DWORD WINAPI CheckThread(void* param) {
    Job* job = static_cast<Job*>(param);
    job->state = CheckFile(job->path, job->entry);
    return 0;
}

// Input that could start a command or close the window waits until the
// check is over: it is dropped, as for a window that is busy.
bool IsUserInput(UINT msg) {
    return (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) ||
           (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEMOVE) ||
           (msg >= WM_NCLBUTTONDOWN && msg <= WM_NCMBUTTONDBLCLK);
}

// Runs the job on a worker thread; this thread keeps painting meanwhile.
FileState CheckWhilePumping(Job* job) {
    DWORD id = 0;
    scoped::Handle worker(CreateThread(nullptr, 0, CheckThread, job, 0, &id));
    if (!worker) return CheckFile(job->path, job->entry);
    HCURSOR before = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    bool quit = false;
    WPARAM quitCode = 0;
    HANDLE handles[] = {worker.get()};
    for (;;) {
        DWORD woken = MsgWaitForMultipleObjects(1, handles, FALSE, INFINITE, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) break;
        if (woken != WAIT_OBJECT_0 + 1) {  // cannot wait for messages: wait for the worker alone
            WaitForSingleObject(worker.get(), INFINITE);
            break;
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = msg.wParam;
                continue;
            }
            if (IsUserInput(msg.message)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // Input that came while the worker ended is the check's too.
    const UINT inputs[][2] = {{WM_KEYFIRST, WM_KEYLAST},
                              {WM_MOUSEFIRST, WM_MOUSELAST},
                              {WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK}};
    MSG dropped;
    for (const auto& range : inputs)
        while (PeekMessageW(&dropped, nullptr, range[0], range[1], PM_REMOVE)) {
        }
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    SetCursor(before);
    return job->state;
}

void Tell(HWND owner, const disclist::Entry& entry, FileState state) {
    std::wstring name = Widen(entry.path, CP_UTF8);
    UINT what = state == FileState::Missing      ? IDS_FILE_MISSING
                : state == FileState::Unreadable ? IDS_FILE_UNREADABLE
                                                 : IDS_FILE_DAMAGED;
    std::wstring text = launcher::UiText(what, name) + L"\n\n" + launcher::UiText(IDS_CLEAN_DISC);
    wchar_t caption[256] = L"";
    if (owner) GetWindowTextW(owner, caption, 256);
    MessageBoxW(owner, text.c_str(), caption, MB_OK | MB_ICONERROR);
}

}  // namespace

bool MayStart(HWND owner, HMODULE image, const std::string& commandLine, const std::string& root) {
    if (checking.load()) return false;  // a command during a check: dropped
    if (!CarriesList(image)) return true;
    const std::vector<disclist::Entry>* list = CarriedList(image);
    if (!list) return true;
    const disclist::Entry* entry = FindEntry(*list, ProgramBelowRoot(commandLine, root));
    if (!entry) return true;
    Job job;
    job.path = FullPath(root, entry->path);
    job.entry = *entry;
    checking = true;
    FileState state = CheckWhilePumping(&job);
    checking = false;
    if (owner && !IsWindow(owner)) return false;  // closed meanwhile
    // Where the system cannot hash, the right size is all that can be asked.
    if (state == FileState::Good || state == FileState::Unchecked) return true;
    Tell(owner, *entry, state);
    return false;
}

}  // namespace disccheck
