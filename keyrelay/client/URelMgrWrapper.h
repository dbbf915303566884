// Finds the company name of a relationship through the client's relationship
// manager, whichever of its two interfaces the installed client offers.
#pragma once

#include "ClientInterfaces.h"
#include "Scoped.h"

#include <windows.h>

#include <cstddef>
#include <string>

// One relationship's data as the old interface gives it.
class URelationship {
public:
    class Data {
    public:
        // Reads get_CompanyName; throws UException::AHResultException.
        explicit Data(IRelationship* relationship);
        // ANSI code page; a null name BSTR reads as empty.
        std::string CompanyName;
    };
};

// One wrapper serves one lookup: Open, CompanyNameFromSection, Close.
class URelMgrWrapper {
public:
    URelMgrWrapper() = default;
    ~URelMgrWrapper() { Close(); }
    URelMgrWrapper(const URelMgrWrapper&) = delete;
    URelMgrWrapper& operator=(const URelMgrWrapper&) = delete;

    // Creates the manager, current interface first, old one as fall-back, and
    // initializes it. Throws UException::AHResultException.
    void Open();
    // The relationship collection (the caller's to release). Throws
    // UException::AHResultException.
    IRelationships* GetRelationships();
    // The company name at a section path; empty on any failure. Never throws
    // for a component failure.
    std::string CompanyNameFromSection(const std::string& section);
    // Uninitializes (only after a successful Initialize) and releases the
    // manager. Any state, any number of times.
    void Close() noexcept;

    scoped::ComPtr<IRelationshipManager> m_pNewRelMgr;
    scoped::ComPtr<IOldRelationshipManager> m_pOldRelMgr;

private:
    // Sets result once the name was read; throws for any failure.
    void ReadCompanyName(const std::string& section, std::string& result);
    bool m_initialized = false;
};

// The company name of the relationship at section path, empty on any
// failure. Never throws.
std::string LookupRelationshipCompanyName(const std::string& section);

// Writes the company name of the relationship at target into buffer
// (size chars, NUL-terminated, cut to size - 1, the rest NUL-filled); the
// empty text on any failure. instance is not used. Never throws.
void GetRelationshipCompanyName(HINSTANCE instance, BSTR target, char* buffer, size_t size);
