// Implementation of the shared test helpers.
#include "Testkit.h"

#include "Gui.h"
#include "WideText.h"

#include <vector>

namespace testkit {

std::string BinDir() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    size_t slash = s.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : s.substr(0, slash);
}

std::string BinPath(const std::string& name) { return BinDir() + "\\" + name; }

HANDLE StartW(const std::wstring& commandLine, const std::wstring& workDir, int show,
              HANDLE* suspendedThread) {
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    if (show >= 0) {
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = static_cast<WORD>(show);
    }
    PROCESS_INFORMATION pi = {};
    std::vector<wchar_t> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back(L'\0');
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE,
                        suspendedThread ? CREATE_SUSPENDED : 0, nullptr,
                        workDir.empty() ? nullptr : workDir.c_str(), &si, &pi))
        return nullptr;
    if (suspendedThread)
        *suspendedThread = pi.hThread;
    else
        CloseHandle(pi.hThread);
    return pi.hProcess;
}

HANDLE Start(const std::string& commandLine, const std::string& workDir, int show,
             HANDLE* suspendedThread) {
    return StartW(widetext::Widen(commandLine), widetext::Widen(workDir), show, suspendedThread);
}

DWORD RunAndWait(const std::string& commandLine, DWORD timeoutMs, const std::string& workDir) {
    HANDLE process = Start(commandLine, workDir);
    if (!process) return 0xFFFFFFFF;
    DWORD code = 0xFFFFFFFF;
    if (WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    else
        TerminateProcess(process, 0xFFFFFFFF);
    CloseHandle(process);
    return code;
}

bool FileExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteTextFile(const std::string& path, const std::string& text) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
    return ok && written == text.size();
}

std::string ReadTextFile(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return std::string();
    std::string text;
    char buf[4096];
    DWORD read = 0;
    while (ReadFile(f, buf, sizeof(buf), &read, nullptr) && read > 0) text.append(buf, read);
    CloseHandle(f);
    return text;
}

bool MakeFolders(const std::string& path) {
    if (path.empty() || FolderExists(path)) return true;
    size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos && slash > 2) MakeFolders(path.substr(0, slash));
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveTree(child);
            else if (!DeleteFileA(child.c_str()))
                RemoveDirectoryA(child.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
}

bool WriteString(HKEY root, const std::string& key, const std::string& name,
                 const std::string& value) {
    return RegSetKeyValueA(root, key.c_str(), name.empty() ? nullptr : name.c_str(), REG_SZ,
                           value.c_str(), static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool ReadString(HKEY root, const std::string& key, const std::string& name, std::string* value) {
    const char* n = name.empty() ? nullptr : name.c_str();
    DWORD size = 0;
    if (RegGetValueA(root, key.c_str(), n, RRF_RT_ANY, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return false;
    std::vector<char> buf(size + 1, '\0');
    if (RegGetValueA(root, key.c_str(), n, RRF_RT_ANY, nullptr, buf.data(), &size) != ERROR_SUCCESS)
        return false;
    if (value) *value = buf.data();
    return true;
}

bool ValueExists(HKEY root, const std::string& key, const std::string& name) {
    return ReadString(root, key, name, nullptr);
}

void DeleteKeyTree(HKEY root, const std::string& key) {
    RegDeleteTreeA(root, key.c_str());
    RegDeleteKeyA(root, key.c_str());
}

DWORD RedirectSlots(const void* from, const void* to) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD at = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    DWORD changed = 0, was = 0;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + at); at && d->Name; ++d)
        for (auto* slot = reinterpret_cast<const void**>(base + d->FirstThunk); *slot; ++slot)
            if (*slot == from && VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &was))
                *slot = to, ++changed;
    return changed;
}

HWND WaitForWindow(const char* className, const char* title, DWORD timeoutMs) {
    HWND w = nullptr;
    WaitFor([&] { return (w = FindWindowA(className, title)) != nullptr; }, timeoutMs);
    return w;
}

}  // namespace testkit
