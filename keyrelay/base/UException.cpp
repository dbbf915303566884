// The tool's exception for a failed call into the client.
#include "UException.h"

#include <cstdio>

namespace UException {

namespace {
std::string Compose(const char* text, HRESULT hr) {
    std::string message = text ? text : "";
    message += ": HRESULT = ";
    char number[16];
    std::snprintf(number, sizeof(number), "0x%08lX", static_cast<unsigned long>(hr) & 0xFFFFFFFFUL);
    message += number;
    return message;
}
}  // namespace

AHResultException::AHResultException(const char* text, HRESULT hr)
    : m_message(Compose(text, hr)), m_hr(hr) {}

AHResultException::AHResultException(const std::string& text, HRESULT hr)
    : AHResultException(text.c_str(), hr) {}

AHResultException::~AHResultException() = default;

const char* AHResultException::what() const noexcept { return m_message.c_str(); }

HRESULT AHResultException::GetHResult() const noexcept { return m_hr; }

}  // namespace UException
