// The event log client: one record per run, every failure dropped.
#include "ULogClient.h"

#include "Conversions.h"
#include "Resource.h"
#include "UException.h"

using UException::AHResultException;

namespace {
const UINT kSourceStringId = IDS_LOG_SOURCE;
const long kCategory = 19;
}  // namespace

ULogClient::ULogClient() {
    HRESULT hr = ::CoCreateInstance(CLSID_Logger, nullptr, kClientClassContext, IID_ILogger,
                                    m_pInterface.put_void());
    if (FAILED(hr)) {
        m_pInterface.reset();
        hr = ::CoCreateInstance(CLSID_Logger, nullptr, kClientClassContext, Old_IID_ILogger,
                                m_pOldInterface.put_void());
        if (FAILED(hr)) m_pOldInterface.reset();
    }
}

ULogClient::ULogClient(const ULogClient& other)
    : m_pInterface(other.m_pInterface), m_pOldInterface(other.m_pOldInterface) {}

ULogClient::~ULogClient() { Release(); }

ULogClient& ULogClient::operator=(const ULogClient& other) {
    m_pInterface = other.m_pInterface;
    m_pOldInterface = other.m_pOldInterface;
    return *this;
}

void ULogClient::Release() noexcept {
    try {
        m_pInterface.reset();
    } catch (...) {
    }
    try {
        m_pOldInterface.reset();
    } catch (...) {
    }
}

void ULogClient::Log(const long& category, const long& eventCode, const long& severity,
                     const std::string& relationship, const TString& source, const std::string& message) {
    try {
        LogOrThrow(category, eventCode, severity, relationship, source, message);
    } catch (...) {
        // Logging never changes the run's outcome.
    }
}

void ULogClient::LogOrThrow(const long& category, const long& eventCode, const long& severity,
                            const std::string& relationship, const TString& source,
                            const std::string& message) {
    if (!m_pInterface && !m_pOldInterface) return;
    if (eventCode < 1 || eventCode > 999) return;
    // Empty texts travel as empty, non-null BSTRs.
    scoped::Bstr name(NarrowToBstrOrThrow(relationship));
    scoped::Bstr from(NarrowToBstrOrThrow(source));
    scoped::Bstr text(NarrowToBstrOrThrow(message));
    if (m_pInterface) {
        HRESULT hr = m_pInterface->Log(category, eventCode, severity, name.get(), from.get(), text.get());
        if (FAILED(hr)) throw AHResultException("m_pInterface->Log failed", hr);
    } else if (severity != 0) {
        HRESULT hr = m_pOldInterface->LogError(from.get(), text.get());
        if (FAILED(hr)) throw AHResultException("m_pOldInterface->LogError failed", hr);
    } else {
        HRESULT hr = m_pOldInterface->LogSolvaneComponent(text.get());
        if (FAILED(hr)) throw AHResultException("m_pOldInterface->LogSolvaneComponent failed", hr);
    }
}

void LogRunResult(HINSTANCE instance, const char* relationship, const char* message, int eventCode,
                  unsigned char failed) {
    try {
        ULogClient client;
        TString source;
        UINT id = kSourceStringId;
        source.LoadString(id, instance);  // a missing string leaves the source empty
        const std::string text = message ? message : "";
        const std::string name = relationship ? relationship : "";
        const long severity = failed ? 2 : 0;
        const long code = eventCode;
        client.Log(kCategory, code, severity, name, source, text);
    } catch (...) {
        // An over-long source string (or no memory) costs the record only.
    }
}
