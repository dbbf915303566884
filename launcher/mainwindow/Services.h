// What the main window asks of the system and of its browser windows: sound,
// process start and browser windows. Tests replace it with recorders.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "Scoped.h"

namespace launcher {

class Services {
public:
    virtual ~Services() = default;
    // sndPlaySoundA(name, flags); the result is not used. (Not named
    // PlaySound: <mmsystem.h> makes that a macro.)
    virtual void PlaySoundFile(const std::string& name, UINT flags) = 0;
    // Starts commandLine as a new process, normal and activated window,
    // without waiting; failures are silent.
    virtual void StartProgram(const std::string& commandLine) = 0;
    // Starts exactly the file at path (full), with commandLine as the
    // program's command line, the same way.
    virtual void StartFile(const std::wstring& path, const std::wstring& commandLine) = 0;
    // A new modeless browser window on startingAddress.
    virtual void OpenBrowserWindow(HINSTANCE instance, const std::string& startingAddress) = 0;
    // Closes every browser window, the last opened first.
    virtual void CloseBrowserWindows() = 0;
};

// The real thing: WINMM (delay-imported), CreateProcessA and the browser
// windows.
class SystemServices : public Services {
public:
    ~SystemServices() override;
    void PlaySoundFile(const std::string& name, UINT flags) override;
    void StartProgram(const std::string& commandLine) override;
    void StartFile(const std::wstring& path, const std::wstring& commandLine) override;
    void OpenBrowserWindow(HINSTANCE instance, const std::string& startingAddress) override;
    void CloseBrowserWindows() override;

private:
    bool played_ = false;  // WINMM is loaded by the first sound, not by the last
};

// The system calls that StartProcess makes; tests put recorders in.
struct ProcessStartCalls {
    decltype(&CreateProcessA) createProcess = CreateProcessA;
    // Null for ShellExecuteExA itself (SHELL32 is delay-imported: nothing
    // loads it before the first program that asks for elevation).
    using ShellExecuteExFn = decltype(&::ShellExecuteExA);
    ShellExecuteExFn shellExecuteEx = nullptr;
    decltype(&CreateProcessW) createProcessW = CreateProcessW;
    using ShellExecuteExWFn = decltype(&::ShellExecuteExW);
    ShellExecuteExWFn shellExecuteExW = nullptr;
};

// Starts a command line with a normal, activated window; the process and
// thread handles are closed at once. A program that asks for elevation
// (ERROR_ELEVATION_REQUIRED) is started through the shell instead, which
// shows the consent prompt; a refusal there is as silent as any other
// failure. Returns whether a process was started.
bool StartProcess(const std::string& commandLine, const ProcessStartCalls& calls = {});

// The same for exactly the file at path (full), never found through the
// search order; commandLine is what the program sees, its own name first.
bool StartFileProcess(const std::wstring& path, const std::wstring& commandLine,
                      const ProcessStartCalls& calls = {});

// The process's current folder (ANSI, as the commands resolve against it);
// empty when it cannot be had.
std::string CurrentFolder();
// The same, wide: a folder outside the ANSI code page too.
std::wstring CurrentFolderW();

// An ANSI form of path that names the same file: the path itself when the
// ANSI code page holds it, else its short name; "" when neither does. (A
// best-fit or '?' form would name another file, or none.)
std::string AnsiPath(const std::wstring& path);

}  // namespace launcher
