// The tool's exception for a failed call into the client: a fixed text naming
// the call, and the HRESULT the call returned.
#pragma once

#include <exception>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
typedef long HRESULT;  // the logic also builds natively for the tests
#endif

namespace UException {

class AHResultException : public std::exception {
public:
    // The stored message is text followed by ": HRESULT = " and the value
    // rendered as eight hexadecimal digits ("0x80004005").
    AHResultException(const char* text, HRESULT hr);
    AHResultException(const std::string& text, HRESULT hr);
    ~AHResultException() override;

    const char* what() const noexcept override;
    virtual HRESULT GetHResult() const noexcept;

private:
    std::string m_message;
    HRESULT m_hr;
};

}  // namespace UException
