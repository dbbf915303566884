// The installed client's COM classes and interfaces, declared by hand so that
// C++ can call them without a type library. All are dual interfaces: the
// IDispatch entries fill positions 3 to 6, own methods start at position 7.
// Entries the tool never calls are kept as placeholders so that every used
// method sits at its fixed position.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <unknwn.h>

// Class and interface identifiers. Internal linkage per translation unit:
// nothing here needs libuuid or a separate definition file.
constexpr CLSID CLSID_CertificateManager = {0x153983A1, 0x2011, 0x11D3, {0x80, 0xB7, 0x00, 0x10, 0x5A, 0xA8, 0xA2, 0xD6}};
constexpr IID IID_ICertificateManager = {0x153983A0, 0x2011, 0x11D3, {0x80, 0xB7, 0x00, 0x10, 0x5A, 0xA8, 0xA2, 0xD6}};

constexpr CLSID CLSID_RelationshipManager = {0x793E5AD4, 0xD219, 0x11D1, {0xA0, 0xF6, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr IID IID_IRelationshipManager = {0x9A76AC90, 0x5658, 0x11D3, {0x88, 0x42, 0x00, 0xC0, 0x26, 0x38, 0x90, 0x88}};
constexpr IID Old_IID_IRelationshipManager = {0x793E5AD3, 0xD219, 0x11D1, {0xA0, 0xF6, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr IID IID_IRelationship = {0x793E5AD1, 0xD219, 0x11D1, {0xA0, 0xF6, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

constexpr CLSID CLSID_Logger = {0x8326B310, 0xE59E, 0x11D1, {0xAB, 0xF8, 0x00, 0x60, 0x97, 0x92, 0x66, 0x55}};
constexpr IID IID_ILogger = {0x4A987E02, 0x823D, 0x11D3, {0x97, 0x32, 0x00, 0x10, 0x4B, 0xF4, 0x49, 0x25}};
constexpr IID Old_IID_ILogger = {0x8326B30E, 0xE59E, 0x11D1, {0xAB, 0xF8, 0x00, 0x60, 0x97, 0x92, 0x66, 0x55}};

constexpr CLSID CLSID_ClientPaths = {0xA0A14156, 0xE597, 0x11D1, {0xA0, 0xF6, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr IID IID_IClientPaths = {0xA0A14155, 0xE597, 0x11D1, {0xA0, 0xF6, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// The class context every client class is created with (value 5).
constexpr DWORD kClientClassContext = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER;

// Certificate manager. Each request takes (relationship path, 0, the whole
// certificate record as a byte BSTR).
struct ICertificateManager : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE AddCertificate(BSTR path, long reserved, BSTR record) = 0;     // 7
    virtual HRESULT STDMETHODCALLTYPE DeleteCertificate(BSTR path, long reserved, BSTR record) = 0;  // 8
    virtual HRESULT STDMETHODCALLTYPE RevokeCertificate(BSTR path, long reserved, BSTR record) = 0;  // 9
};

// One relationship, reached by QueryInterface from a collection item.
struct IRelationship : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_CompanyName(BSTR* name) = 0;  // 7
};

// The relationship collection; only get_Item is used.
struct IRelationships : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Unused7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused9() = 0;
    // index: a VT_BSTR VARIANT holding the section path.
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT* index, IDispatch** item) = 0;  // 10
};

// The relationship manager under Old_IID_IRelationshipManager: positions 7 to 9.
struct IOldRelationshipManager : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Relationships(IRelationships** relationships) = 0;  // 7
    virtual HRESULT STDMETHODCALLTYPE Initialize() = 0;                                        // 8
    virtual HRESULT STDMETHODCALLTYPE Uninitialize() = 0;                                      // 9
};

// The relationship manager under IID_IRelationshipManager: the old form
// plus the direct lookup at position 10.
struct IRelationshipManager : public IOldRelationshipManager {
    virtual HRESULT STDMETHODCALLTYPE LookupCompanyName(BSTR section, BSTR* name) = 0;  // 10
};

// The logger under IID_ILogger.
struct ILogger : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Unused7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Log(long category, long eventCode, long severity,
                                          BSTR relationship, BSTR source, BSTR message) = 0;  // 10
};

// The logger under Old_IID_ILogger.
struct IOldLogger : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Unused7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused10() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused11() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused12() = 0;
    virtual HRESULT STDMETHODCALLTYPE LogSolvaneComponent(BSTR message) = 0;  // 13
    virtual HRESULT STDMETHODCALLTYPE Unused14() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused15() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused16() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused17() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused18() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused19() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused20() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused21() = 0;
    virtual HRESULT STDMETHODCALLTYPE LogError(BSTR source, BSTR message) = 0;  // 22
};

// The path provider. Code 5 gives the folder of the update history.
struct IClientPaths : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Unused7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused8() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPath(long code, BSTR* path) = 0;  // 9
};
