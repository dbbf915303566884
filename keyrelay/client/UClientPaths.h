// The client's path provider, created on first use.
#pragma once

#include "ClientInterfaces.h"
#include "Scoped.h"

#include <string>

class UClientPaths {
public:
    UClientPaths() = default;
    virtual ~UClientPaths() = default;
    UClientPaths(const UClientPaths&) = delete;
    UClientPaths& operator=(const UClientPaths&) = delete;

    // The folder of code into out (ANSI code page; empty for a null BSTR).
    // Returns the component's HRESULT; out is empty on failure.
    HRESULT GetPath(long code, std::string& out);

private:
    scoped::ComPtr<IClientPaths> m_pPaths;
};
