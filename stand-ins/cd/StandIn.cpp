// Journal and quiet switch of the demo CD's stand-ins (see StandIn.h).
#include "StandIn.h"

#include "Scoped.h"

namespace standin {

namespace {
std::string Env(const char* name) {
    char buffer[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof(buffer));
    return n && n < sizeof(buffer) ? std::string(buffer, n) : std::string();
}
}  // namespace

std::string OwnFolder() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    size_t slash = s.find_last_of('\\');
    return slash == std::string::npos ? std::string(".") : s.substr(0, slash);
}

std::string CurrentFolder() {
    char path[MAX_PATH * 2] = {};
    DWORD n = GetCurrentDirectoryA(sizeof(path), path);
    return n && n < sizeof(path) ? std::string(path, n) : std::string();
}

void Journal(const char* role) {
    std::string file = Env("CDSTANDIN_JOURNAL");
    if (file.empty()) file = OwnFolder() + "\\standin-journal.txt";
    std::string line = std::string(role) + "|" + GetCommandLineA() + "|" + CurrentFolder() + "\r\n";
    scoped::FileHandle h(CreateFileA(file.c_str(), FILE_APPEND_DATA,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return;
    DWORD written = 0;
    WriteFile(h.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

bool Quiet() { return !Env("CDSTANDIN_QUIET").empty(); }

void Tell(const char* title, const std::string& text) {
    if (!Quiet()) MessageBoxA(nullptr, text.c_str(), title, MB_OK | MB_ICONINFORMATION);
}

}  // namespace standin
