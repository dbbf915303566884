// Writes the tool's outcome into the client's event log, through whichever
// of the logger's two interfaces the installed client offers.
#pragma once

#include "ClientInterfaces.h"
#include "Scoped.h"
#include "TString.h"

#include <windows.h>

#include <string>

class ULogClient {
public:
    // Creates the logger, current interface first; no failure is reported.
    ULogClient();
    // Shares the other's logger, adding a reference to each interface.
    ULogClient(const ULogClient& other);
    virtual ~ULogClient();

    // One record; a code outside 1 to 999 is dropped. Never throws.
    virtual void Log(const long& category, const long& eventCode, const long& severity,
                     const std::string& relationship, const TString& source, const std::string& message);
    virtual ULogClient& operator=(const ULogClient& other);
    // Releases both interfaces. Never throws.
    virtual void Release() noexcept;

    scoped::ComPtr<ILogger> m_pInterface;
    scoped::ComPtr<IOldLogger> m_pOldInterface;

private:
    void LogOrThrow(const long& category, const long& eventCode, const long& severity,
                    const std::string& relationship, const TString& source, const std::string& message);
};

// The run's one log record: category 19, eventCode, severity 2 when failed
// is not 0 (else 0), the relationship name, string 21 of instance as the
// source and message. Null texts count as empty. Never throws.
void LogRunResult(HINSTANCE instance, const char* relationship, const char* message, int eventCode,
                  unsigned char failed);
