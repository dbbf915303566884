// The client's path provider.
#include "UClientPaths.h"

#include "Conversions.h"
#include "UException.h"

#include <comdef.h>

HRESULT UClientPaths::GetPath(long code, std::string& out) {
    HRESULT hr = S_OK;
    try {
        out.clear();
        if (!m_pPaths) {
            hr = ::CoCreateInstance(CLSID_ClientPaths, nullptr, kClientClassContext, IID_IClientPaths,
                                    m_pPaths.put_void());
            if (FAILED(hr)) {
                m_pPaths.reset();
                return hr;
            }
            if (!m_pPaths) return E_POINTER;
        }
        scoped::Bstr path;
        hr = m_pPaths->GetPath(code, path.put());
        if (FAILED(hr)) return hr;  // a BSTR that came back is freed by its owner
        out = BstrToNarrow(path.get());
        return hr;
    } catch (HRESULT thrown) {
        out.clear();
        return thrown;
    } catch (const UException::AHResultException& e) {
        out.clear();
        return e.GetHResult();
    } catch (const _com_error& e) {
        out.clear();
        return e.Error();
    } catch (...) {
        out.clear();
        // Never report success with a path that was not read.
        return FAILED(hr) ? hr : E_FAIL;
    }
}
