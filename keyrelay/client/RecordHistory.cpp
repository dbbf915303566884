// The update history: a numbered entry in "RerAZuva.dat" and a registry value
// naming that entry.
#include "RecordHistory.h"

#include "HistoryText.h"
#include "Scoped.h"
#include "SignedMessage.h"
#include "UClientPaths.h"

#include <windows.h>

const char kHistoryRegistryKey[] = "SOFTWARE\\Brenvik\\Solvane\\Setup";

namespace {
const long kHistoryFolderCode = 5;

bool IsLeadByte(unsigned char c) { return ::IsDBCSLeadByte(c) != FALSE; }
}  // namespace

std::string HistoryStamp() {
    char date[128] = "";
    char time[128] = "";
    if (::GetDateFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, date, sizeof(date)) == 0) date[0] = '\0';
    if (::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, time, sizeof(time)) == 0) time[0] = '\0';
    return history::Stamp(date, time);
}

void RecordHistory(BSTR certificate, const char* action, const char* target) {
    char serial[128];
    GetSignerSerialNumber(certificate, ::SysStringByteLen(certificate), serial, sizeof(serial));

    UClientPaths paths;
    std::string folder;
    if (FAILED(paths.GetPath(kHistoryFolderCode, folder))) return;

    const std::string file = folder + "\\" + "RerAZuva.dat";
    const std::string stamp = HistoryStamp();
    const long long count = static_cast<int>(::GetPrivateProfileIntA("History", "Count", 0, file.c_str()));
    const history::Record record =
        history::Compose(target ? target : "", action ? action : "", serial, stamp, count, IsLeadByte);

    // The results of the writes are not checked: the history is a courtesy.
    ::WritePrivateProfileStringA("History", "Count", record.countText.c_str(), file.c_str());
    ::WritePrivateProfileStringA("Comments", "LastTouched", stamp.c_str(), file.c_str());
    ::WritePrivateProfileStringA("History", record.keyName.c_str(), record.entry.c_str(), file.c_str());

    scoped::Key key;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kHistoryRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, nullptr, key.put(),
                          nullptr) == ERROR_SUCCESS) {
        ::RegSetValueExA(key.get(), record.valueName.c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(record.keyName.c_str()),
                         static_cast<DWORD>(record.keyName.size() + 1));
    }
}
