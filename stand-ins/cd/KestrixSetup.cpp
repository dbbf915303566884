// Stand-in for the product's installer on the CD (kx\setup.exe): copies
// KestrixBasic.exe from beside it into the install folder and registers the
// product's open command, which is what the launcher looks for. With
// "/uninstall" it takes both away again.
// The install folder is CDSTANDIN_INSTALL_DIR, else
// "%ProgramFiles%\Penwick Leisure\Kestrix Basic".
#include <windows.h>

#include <cstring>
#include <string>

#include "Scoped.h"
#include "StandIn.h"

namespace {

const char kCommandKey[] = "KestrixBasicFile\\Shell\\Open\\Command";

std::string InstallFolder() {
    char buffer[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA("CDSTANDIN_INSTALL_DIR", buffer, sizeof(buffer));
    if (n && n < sizeof(buffer)) return std::string(buffer, n);
    n = GetEnvironmentVariableA("ProgramFiles", buffer, sizeof(buffer));
    std::string root = n && n < sizeof(buffer) ? std::string(buffer, n) : "C:\\Program Files";
    return root + "\\Penwick Leisure\\Kestrix Basic";
}

void MakeFolders(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos && slash > 2) MakeFolders(path.substr(0, slash));
    CreateDirectoryA(path.c_str(), nullptr);
}

bool SetDefaultValue(const char* key, const std::string& value) {
    scoped::Key k;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, k.put(),
                        nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExA(k.get(), nullptr, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    standin::Journal("kxsetup");
    std::string folder = InstallFolder();
    std::string program = folder + "\\KestrixBasic.exe";
    if (commandLine && strstr(commandLine, "/uninstall")) {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "KestrixBasicFile");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ".kxb");
        DeleteFileA(program.c_str());
        RemoveDirectoryA(folder.c_str());
        standin::Tell("Kestrix Basic Setup", "Kestrix Basic has been removed.");
        return 0;
    }
    MakeFolders(folder);
    std::string payload = standin::OwnFolder() + "\\KestrixBasic.exe";
    if (!CopyFileA(payload.c_str(), program.c_str(), FALSE)) {
        standin::Tell("Kestrix Basic Setup", "Could not copy " + payload + " to " + folder + ".");
        return 1;
    }
    bool ok = SetDefaultValue(".kxb", "KestrixBasicFile") &&
              SetDefaultValue("KestrixBasicFile", "Kestrix Basic Program") &&
              SetDefaultValue(kCommandKey, "\"" + program + "\" \"%1\"");
    standin::Tell("Kestrix Basic Setup", ok ? "Kestrix Basic has been installed in\n" + folder +
                                                  ".\n\nThe CD menu now offers to run it."
                                            : std::string("Could not register Kestrix Basic."));
    return ok ? 0 : 1;
}
