// The relationship lookup: current relationship-manager interface first,
// the old collection-based one as fall-back, every failure an empty name.
#include "URelMgrWrapper.h"

#include "Conversions.h"
#include "UException.h"

#include <comdef.h>

#include <cstring>

using UException::AHResultException;

namespace {

// A VARIANT cleared on every path; Clear() reports a failing VariantClear.
class Variant {
public:
    Variant() { ::VariantInit(&v_); }
    ~Variant() { ::VariantClear(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* get() { return &v_; }
    void Clear() {
        HRESULT hr = ::VariantClear(&v_);
        if (FAILED(hr)) _com_issue_error(hr);
    }

private:
    VARIANT v_;
};

}  // namespace

URelationship::Data::Data(IRelationship* relationship) {
    scoped::Bstr name;
    HRESULT hr = relationship->get_CompanyName(name.put());
    if (FAILED(hr))
        throw AHResultException("URelationship::Data::Data: failed to get_CompanyName: 'result' failed", hr);
    CompanyName = BstrToNarrow(name.get());
}

void URelMgrWrapper::Open() {
    HRESULT hr = ::CoCreateInstance(CLSID_RelationshipManager, nullptr, kClientClassContext,
                                    IID_IRelationshipManager, m_pNewRelMgr.put_void());
    if (SUCCEEDED(hr) && m_pNewRelMgr) {
        hr = m_pNewRelMgr->Initialize();
        if (FAILED(hr)) throw AHResultException("Failed to m_pNewRelMgr->Initialize()", hr);
    } else {
        // A client without the current interface is no failure: try the old one.
        m_pNewRelMgr.reset();
        hr = ::CoCreateInstance(CLSID_RelationshipManager, nullptr, kClientClassContext,
                                Old_IID_IRelationshipManager, m_pOldRelMgr.put_void());
        if (FAILED(hr) || !m_pOldRelMgr) {
            m_pOldRelMgr.reset();
            throw AHResultException("Failed to create Old_IID_IRelationshipManager", FAILED(hr) ? hr : E_POINTER);
        }
        hr = m_pOldRelMgr->Initialize();
        if (FAILED(hr)) throw AHResultException("Failed to m_pOldRelMgr->Initialize()", hr);
    }
    m_initialized = true;
}

void URelMgrWrapper::Close() noexcept {
    if (m_pNewRelMgr) {
        if (m_initialized) m_pNewRelMgr->Uninitialize();
        m_pNewRelMgr.reset();
    }
    if (m_pOldRelMgr) {
        if (m_initialized) m_pOldRelMgr->Uninitialize();
        m_pOldRelMgr.reset();
    }
    m_initialized = false;
}

IRelationships* URelMgrWrapper::GetRelationships() {
    IRelationships* relationships = nullptr;
    HRESULT hr = E_POINTER;
    if (m_pNewRelMgr)
        hr = m_pNewRelMgr->get_Relationships(&relationships);
    else if (m_pOldRelMgr)
        hr = m_pOldRelMgr->get_Relationships(&relationships);
    if (SUCCEEDED(hr) && !relationships) hr = E_POINTER;
    if (FAILED(hr)) {
        if (relationships) relationships->Release();
        throw AHResultException("URelMgrWrapper::GetRelationships: Failed to get relationships", hr);
    }
    return relationships;
}

std::string URelMgrWrapper::CompanyNameFromSection(const std::string& section) {
    std::string result;
    try {
        ReadCompanyName(section, result);
    } catch (...) {
        // Component failures only cost the name; one after the name was read
        // (a failing VariantClear) keeps it.
    }
    return result;
}

void URelMgrWrapper::ReadCompanyName(const std::string& section, std::string& result) {
    if (m_pNewRelMgr) {
        scoped::Bstr path(NarrowToBstrOrThrow(section));
        scoped::Bstr name;
        HRESULT hr = m_pNewRelMgr->LookupCompanyName(path.get(), name.put());
        if (FAILED(hr)) throw AHResultException("URelMgrWrapper::CompanyNameFromSection: failed lookup", hr);
        result = BstrToNarrow(name.get());
        return;
    }
    if (!m_pOldRelMgr) return;

    auto relationships = scoped::ComPtr<IRelationships>::Attach(GetRelationships());
    Variant index;
    {
        scoped::Bstr path(NarrowToBstrOrThrow(section));
        index.get()->vt = VT_BSTR;
        index.get()->bstrVal = path.release();
    }
    scoped::ComPtr<IDispatch> item;
    HRESULT hr = relationships->get_Item(index.get(), item.put());
    if (SUCCEEDED(hr) && !item) hr = E_POINTER;
    if (FAILED(hr))
        throw AHResultException("URelMgrWrapper::CompanyNameFromSection: failed to get_Item: 'result' failed", hr);
    scoped::ComPtr<IRelationship> relationship;
    hr = item.As(IID_IRelationship, relationship);
    item.reset();
    if (SUCCEEDED(hr) && !relationship) hr = E_NOINTERFACE;
    if (FAILED(hr))
        throw AHResultException("URelMgrWrapper::CompanyNameFromSection: failed to QI: 'result' failed", hr);
    URelationship::Data data(relationship.get());
    result = data.CompanyName;
    index.Clear();
}

std::string LookupRelationshipCompanyName(const std::string& section) {
    try {
        URelMgrWrapper wrapper;
        wrapper.Open();
        std::string name = wrapper.CompanyNameFromSection(section);
        wrapper.Close();
        return name;
    } catch (...) {
        // The wrapper's destructor has closed it.
        return std::string();
    }
}

void GetRelationshipCompanyName(HINSTANCE, BSTR target, char* buffer, size_t size) {
    if (!buffer || size == 0) return;
    try {
        const std::string name = LookupRelationshipCompanyName(BstrToNarrow(target));
        std::strncpy(buffer, name.c_str(), size - 1);
        buffer[size - 1] = '\0';
    } catch (...) {
        buffer[0] = '\0';
    }
}
