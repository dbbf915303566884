// The disc check (see DiscCheck.h).
#include "DiscCheck.h"

#include <bcrypt.h>

#include <cstring>
#include <memory>

#include "Resource.h"
#include "ResourceBytes.h"
#include "SetupDat.h"
#include "UiText.h"
#include "WideText.h"

namespace disccheck {

using widetext::Narrow;
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

// The statuses that mean "this system has no SHA-256": bcrypt.dll or its
// function missing (the delay-load hook's fallback answers as a missing
// entry point), or the algorithm unknown. Every other failure is the file's
// or the system's trouble, and vouches for nothing.
bool NoSha256Here(NTSTATUS status) {
    return status == static_cast<NTSTATUS>(0xC0000139L) ||  // STATUS_ENTRYPOINT_NOT_FOUND
           status == static_cast<NTSTATUS>(0xC0000135L) ||  // STATUS_DLL_NOT_FOUND
           status == static_cast<NTSTATUS>(0xC0000225L);    // STATUS_NOT_FOUND
}

// One SHA-256 computation. Open answers Good, Unchecked (no SHA-256 on
// this system) or Unreadable (any other failure).
class Sha256 {
public:
    FileState Open() {
        NTSTATUS status =
            BCryptOpenAlgorithmProvider(algorithm_.put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0);
        if (status < 0) return NoSha256Here(status) ? FileState::Unchecked : FileState::Unreadable;
        ULONG objectSize = 0, got = 0;
        if (BCryptGetProperty(algorithm_.get(), BCRYPT_OBJECT_LENGTH,
                              reinterpret_cast<UCHAR*>(&objectSize), sizeof(objectSize), &got,
                              0) < 0)
            return FileState::Unreadable;
        object_.resize(objectSize);  // Vista does not allocate it itself
        if (BCryptCreateHash(algorithm_.get(), hash_.put(), object_.data(), objectSize, nullptr, 0,
                             0) < 0)
            return FileState::Unreadable;
        return FileState::Good;
    }
    bool Add(const void* data, ULONG size) {
        return BCryptHashData(hash_.get(), static_cast<PUCHAR>(const_cast<void*>(data)), size, 0) >=
               0;
    }
    bool Finish(uint8_t digest[32]) { return BCryptFinishHash(hash_.get(), digest, 32, 0) >= 0; }

private:
    // Declared before the hash object: destroyed after it.
    Algorithm algorithm_;
    std::vector<UCHAR> object_;
    Hash hash_;
};

const size_t kChunk = 1 << 20;

// Hashes the rest of file (size bytes) and compares it with the entry.
FileState HashFile(HANDLE file, const disclist::Entry& entry, const std::atomic<bool>* cancel,
                   const std::function<void(uint64_t)>& progress) {
    Sha256 sha;
    FileState opened = sha.Open();
    if (opened != FileState::Good) return opened;
    std::unique_ptr<UCHAR[]> buffer(new UCHAR[kChunk]);
    uint64_t done = 0;
    while (done < entry.size) {
        if (cancel && cancel->load()) return FileState::Cancelled;
        DWORD read = 0;
        const DWORD want =
            static_cast<DWORD>(entry.size - done < kChunk ? entry.size - done : kChunk);
        if (!ReadFile(file, buffer.get(), want, &read, nullptr)) return FileState::Unreadable;
        if (read == 0) return FileState::Damaged;  // shorter than it said a moment ago
        if (!sha.Add(buffer.get(), read)) return FileState::Unreadable;
        done += read;
        if (progress) progress(done);
    }
    char extra;  // grown meanwhile: not the listed file
    DWORD read = 0;
    if (ReadFile(file, &extra, 1, &read, nullptr) && read != 0) return FileState::Damaged;
    uint8_t digest[32];
    if (!sha.Finish(digest)) return FileState::Unreadable;
    return std::memcmp(digest, entry.sha256, 32) == 0 ? FileState::Good : FileState::Damaged;
}

// Bytes already in memory against their entry.
FileState CheckBytes(const std::string& bytes, const disclist::Entry& entry) {
    if (bytes.size() != entry.size) return FileState::Damaged;
    Sha256 sha;
    FileState opened = sha.Open();
    if (opened != FileState::Good) return opened;
    uint8_t digest[32];
    if (!sha.Add(bytes.data(), static_cast<ULONG>(bytes.size())) || !sha.Finish(digest))
        return FileState::Unreadable;
    return std::memcmp(digest, entry.sha256, 32) == 0 ? FileState::Good : FileState::Damaged;
}

std::wstring Upper(std::wstring s) {
    if (!s.empty())
        LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, s.data(), static_cast<int>(s.size()), &s[0],
                     static_cast<int>(s.size()));
    return s;
}

// path made full: taken from root unless it is absolute; "." and ".." resolved.
std::wstring FullFrom(const std::wstring& root, const std::wstring& path) {
    const bool absolute = (path.size() >= 2 && path[1] == L':') ||
                          (!path.empty() && (path[0] == L'\\' || path[0] == L'/'));
    std::wstring joined = path;
    if (!absolute) {
        joined = root;
        if (!joined.empty() && joined.back() != L'\\') joined += L'\\';
        joined += path;
    }
    DWORD n = GetFullPathNameW(joined.c_str(), 0, nullptr, nullptr);
    if (n == 0) return joined;
    std::wstring full(n, L'\0');
    DWORD got = GetFullPathNameW(joined.c_str(), n, &full[0], nullptr);
    if (got == 0 || got >= n) return joined;
    full.resize(got);
    return full;
}

bool IsFile(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
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
    const std::wstring wanted = Upper(Widen(relative, CP_UTF8));
    for (const disclist::Entry& e : list)
        if (Upper(Widen(e.path, CP_UTF8)) == wanted) return &e;
    return nullptr;
}

bool ResolveProgram(const std::string& command, const std::wstring& root, Program* out) {
    const char* blanks = " \t";
    const size_t first = command.find_first_not_of(blanks);
    if (first == std::string::npos) return false;
    const std::string whole = command.substr(first, command.find_last_not_of(blanks) + 1 - first);
    *out = Program();
    // The program sees the command as written, its own name first, whole.
    out->commandLine = Widen(whole);
    out->path = FullFrom(root, Widen(disclist::WithExe(whole)));
    if (whole[0] != '"' && IsFile(out->path)) {
        if (whole.find_first_of(blanks) != std::string::npos)
            out->commandLine = L"\"" + out->commandLine + L"\"";
    } else {
        const disclist::Command split = disclist::SplitCommand(whole);
        if (split.program.empty()) return false;
        out->path = FullFrom(root, Widen(disclist::WithExe(split.program)));
    }
    out->belowRoot = disclist::BelowRoot(Narrow(out->path, CP_UTF8), Narrow(root, CP_UTF8));
    return true;
}

std::wstring FullPath(const std::wstring& root, const std::string& listPath) {
    std::wstring path = root;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path + Widen(listPath, CP_UTF8);
}

FileState CheckFile(const std::wstring& path, const disclist::Entry& entry,
                    const std::atomic<bool>* cancel, const std::function<void(uint64_t)>& progress,
                    scoped::FileHandle* keep) {
    // Shared for reading only: while it is open nobody writes, renames or
    // deletes it.
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
    FileState state = HashFile(file.get(), entry, cancel, progress);
    if (keep && (state == FileState::Good || state == FileState::Unchecked))
        *keep = std::move(file);
    return state;
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

SetupDat ReadSetupDat(const std::wstring& root) {
    SetupDat result;
    scoped::FileHandle file(CreateFileW(FullPath(root, "setup.dat").c_str(), GENERIC_READ,
                                        FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return result;
    result.present = true;
    // No further than the field reader would look.
    char buffer[4096];
    DWORD read = 0;
    while (result.bytes.size() <= setupdat::kMaxFileBytes &&
           ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read != 0)
        result.bytes.append(buffer, read);
    return result;
}

bool CheckInProgress() {
    return checking.load();
}

namespace {

// What the worker checks: setup.dat's bytes once, then the program's file.
struct Job {
    const SetupDat* setupDat = nullptr;
    const disclist::Entry* setupDatEntry = nullptr;
    FileState setupDatState = FileState::Good;
    std::wstring path;
    const disclist::Entry* entry = nullptr;
    FileState state = FileState::Unreadable;
    scoped::FileHandle held;
};

DWORD WINAPI CheckThread(void* param) {
    Job* job = static_cast<Job*>(param);
    try {
        if (job->setupDatEntry)
            job->setupDatState = CheckBytes(job->setupDat->bytes, *job->setupDatEntry);
        if (job->entry &&
            (job->setupDatState == FileState::Good || job->setupDatState == FileState::Unchecked))
            job->state = CheckFile(job->path, *job->entry, nullptr, {}, &job->held);
    } catch (...) {
        // Out of memory for the buffer: nothing was vouched for.
        job->setupDatState = job->state = FileState::Unreadable;
    }
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
void CheckWhilePumping(Job* job) {
    DWORD id = 0;
    scoped::Handle worker(CreateThread(nullptr, 0, CheckThread, job, 0, &id));
    if (!worker) {
        CheckThread(job);
        return;
    }
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
}

void Tell(HWND owner, const std::string& path, FileState state) {
    std::wstring name = Widen(path, CP_UTF8);
    UINT what = state == FileState::Missing      ? IDS_FILE_MISSING
                : state == FileState::Unreadable ? IDS_FILE_UNREADABLE
                                                 : IDS_FILE_DAMAGED;
    std::wstring text = launcher::UiText(what, name) + L"\n\n" + launcher::UiText(IDS_CLEAN_DISC);
    wchar_t caption[256] = L"";
    if (owner) GetWindowTextW(owner, caption, 256);
    MessageBoxW(owner, text.c_str(), caption, MB_OK | MB_ICONERROR);
}

bool Passed(FileState state) {
    // Where the system cannot hash, the right size is all that can be asked.
    return state == FileState::Good || state == FileState::Unchecked;
}

}  // namespace

Verdict CheckBeforeStart(HWND owner, HMODULE image, const std::string& command,
                         const std::wstring& root, SetupDat& setupDat, Checked* out) {
    if (checking.load()) return Verdict::Refused;  // a command during a check: dropped
    if (!CarriesList(image)) return Verdict::AsEver;
    const std::vector<disclist::Entry>* list = CarriedList(image);
    if (!list) return Verdict::AsEver;
    if (!ResolveProgram(command, root, &out->program)) return Verdict::AsEver;

    // setup.dat said what to start: the disc vouches for it first, once.
    Job job;
    job.setupDat = &setupDat;
    if (setupDat.verdict == FileState::Cancelled) {  // not known yet
        const disclist::Entry* entry = FindEntry(*list, "setup.dat");
        if (!entry)  // a setup.dat that the publisher did not put there
            setupDat.verdict = setupDat.present ? FileState::Damaged : FileState::Good;
        else if (!setupDat.present)
            setupDat.verdict = FileState::Missing;
        else
            job.setupDatEntry = entry;
    }
    const bool onDisc = !out->program.belowRoot.empty();
    if (onDisc) {
        job.path = out->program.path;
        job.entry = FindEntry(*list, out->program.belowRoot);
        // A file on the disc that the list does not know was not put there
        // by the publisher either.
        if (!job.entry) job.state = IsFile(job.path) ? FileState::Damaged : FileState::Missing;
    }
    if (job.setupDatEntry || job.entry) {
        checking = true;
        CheckWhilePumping(&job);
        checking = false;
        if (job.setupDatEntry) setupDat.verdict = job.setupDatState;
        if (owner && !IsWindow(owner)) return Verdict::Refused;  // closed meanwhile
    }
    if (!Passed(setupDat.verdict)) {
        Tell(owner, "setup.dat", setupDat.verdict);
        return Verdict::Refused;
    }
    if (onDisc && !Passed(job.state)) {  // named as the list names it
        Tell(owner, job.entry ? job.entry->path : out->program.belowRoot, job.state);
        return Verdict::Refused;
    }
    out->held = std::move(job.held);
    return Verdict::Checked;
}

}  // namespace disccheck
