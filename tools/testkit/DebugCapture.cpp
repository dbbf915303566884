// Debug-event loop that turns a debuggee's OutputDebugString calls into lines.
#include "DebugCapture.h"

#include <vector>

namespace testkit {

namespace {

std::string ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
    const DWORD count = info.nDebugStringLength;  // includes the terminating NUL
    if (count == 0) return std::string();
    if (info.fUnicode) {
        std::vector<wchar_t> wide(count);
        SIZE_T read = 0;
        if (!ReadProcessMemory(process, info.lpDebugStringData, wide.data(),
                               count * sizeof(wchar_t), &read))
            return std::string();
        const int chars = static_cast<int>(read / sizeof(wchar_t));
        int len = 0;
        while (len < chars && wide[len] != L'\0') ++len;
        int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), len, nullptr, 0, nullptr, nullptr);
        std::string text(static_cast<size_t>(bytes), '\0');
        if (bytes > 0)
            WideCharToMultiByte(CP_ACP, 0, wide.data(), len, &text[0], bytes, nullptr, nullptr);
        return text;
    }
    std::vector<char> narrow(count);
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, info.lpDebugStringData, narrow.data(), count, &read))
        return std::string();
    size_t len = 0;
    while (len < read && narrow[len] != '\0') ++len;
    return std::string(narrow.data(), len);
}

}  // namespace

CapturedRun RunCapturingDebugOutput(const std::string& commandLine, const std::string& workDir) {
    CapturedRun run;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS,
                        nullptr, workDir.empty() ? nullptr : workDir.c_str(), &si, &pi))
        return run;
    run.started = true;

    bool firstBreakpointSeen = false;
    for (;;) {
        DEBUG_EVENT ev = {};
        if (!WaitForDebugEvent(&ev, INFINITE)) break;
        DWORD status = DBG_CONTINUE;
        switch (ev.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            if (ev.u.CreateProcessInfo.hFile) CloseHandle(ev.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (ev.u.LoadDll.hFile) CloseHandle(ev.u.LoadDll.hFile);
            break;
        case OUTPUT_DEBUG_STRING_EVENT:
            run.lines.push_back(ReadDebugString(pi.hProcess, ev.u.DebugString));
            break;
        case EXCEPTION_DEBUG_EVENT:
            if (ev.u.Exception.ExceptionRecord.ExceptionCode == EXCEPTION_BREAKPOINT &&
                !firstBreakpointSeen) {
                firstBreakpointSeen = true;
            } else {
                if (!ev.u.Exception.dwFirstChance) run.crashed = true;
                else run.exceptions.push_back(ev.u.Exception.ExceptionRecord.ExceptionCode);
                status = DBG_EXCEPTION_NOT_HANDLED;
            }
            break;
        default:
            break;
        }
        const bool done = ev.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT &&
                          ev.dwProcessId == pi.dwProcessId;
        if (done) run.exitCode = ev.u.ExitProcess.dwExitCode;
        ContinueDebugEvent(ev.dwProcessId, ev.dwThreadId, status);
        if (done) break;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return run;
}

}  // namespace testkit
