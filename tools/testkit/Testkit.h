// Small helpers shared by the Wine-side tests: paths of the built programs,
// starting and waiting for processes, registry and file fixtures.
#pragma once

#include <windows.h>

#include <string>

namespace testkit {

// Folder of the running test executable; every built program lies there too.
std::string BinDir();
// BinDir() + "\\" + name.
std::string BinPath(const std::string& name);

// Starts commandLine and waits for it; returns its exit code, or
// 0xFFFFFFFF if it could not be started or did not end within timeoutMs.
DWORD RunAndWait(const std::string& commandLine, DWORD timeoutMs = 60000,
                 const std::string& workDir = std::string());

// Starts commandLine without waiting, shown as show asks (SW_*; -1 leaves
// it to the program); the caller owns the returned process handle (NULL on
// failure). With suspendedThread, the process starts suspended and the
// caller owns its first thread's handle, put there for ResumeThread.
HANDLE Start(const std::string& commandLine, const std::string& workDir = std::string(),
             int show = -1, HANDLE* suspendedThread = nullptr);
// The same with wide text: folders outside the ANSI code page too.
HANDLE StartW(const std::wstring& commandLine, const std::wstring& workDir, int show = -1,
              HANDLE* suspendedThread = nullptr);

// Files and folders.
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
bool WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);
// Creates every missing folder of path.
bool MakeFolders(const std::string& path);
// Removes a folder tree, clearing read-only attributes first; for fixtures.
void RemoveTree(const std::string& path);

// Registry: REG_SZ read/write; ReadString returns false when absent.
bool WriteString(HKEY root, const std::string& key, const std::string& name,
                 const std::string& value);
bool ReadString(HKEY root, const std::string& key, const std::string& name, std::string* value);
bool ValueExists(HKEY root, const std::string& key, const std::string& name);
void DeleteKeyTree(HKEY root, const std::string& key);

// Points every import slot of this program that holds from (a system
// function) at to: a stand-in that answers as Windows does where Wine will not.
DWORD RedirectSlots(const void* from, const void* to);
template <typename F>  // one type: one calling convention
DWORD RedirectImports(F* from, F* to) { return RedirectSlots((const void*)from, (const void*)to); }

// A wait's bound tells a hung program from a slow one: far past anything a
// loaded machine takes, since a passing wait ends as soon as it holds.
constexpr DWORD kPatienceMs = 60000;

// Waits (pumping nothing) until a top-level window of the class/title exists.
HWND WaitForWindow(const char* className, const char* title, DWORD timeoutMs = kPatienceMs);

}  // namespace testkit
