// Client stand-in: one in-process COM server that plays the installed
// client's four classes (certificate manager, relationship manager, logger,
// path provider) for tests and demos, and journals every call it receives.
//
// State folder: %CLIENT_STANDIN_DIR% if set, else C:\client-stand-in. It holds
//
//   control.ini   read on every call, so a test may change it at any time:
//     [Classes]       CertificateManager, RelationshipManager, Logger,
//                     ClientPaths = 0 makes creating that class fail with
//                     REGDB_E_CLASSNOTREG (default 1).
//     [Interfaces]    IID_ICertificateManager, IID_IRelationshipManager,
//                     Old_IID_IRelationshipManager, IID_IRelationship,
//                     IID_ILogger, Old_IID_ILogger, IID_IClientPaths = 0 makes
//                     QueryInterface (and so creation) answer E_NOINTERFACE.
//     [Fail]          Object.Method = HRESULT (0x... or decimal): the call
//                     returns it without doing anything, e.g.
//                     RelationshipManager.Initialize=0x80004005,
//                     Relationships.get_Item, Relationship.get_CompanyName,
//                     Logger.Log, Logger.LogError, Logger.LogSolvaneComponent,
//                     CertificateManager.AddCertificate, ClientPaths.GetPath.
//                     A certificate request fails for one path only with
//                     CertificateManager.AddCertificate("/")=0x80004005.
//     [HandBack]      Object.Method = 1: that configured failure still hands
//                     back its object, as a careless server may (the caller
//                     must release it): Relationships.get_Item,
//                     RelationshipManager.get_Relationships.
//     [Relationships] section path = company name ("<null>": S_OK with a null
//                     BSTR). An unknown path fails with 0x80070490.
//     [Paths]         code = path ("<null>": S_OK with a null BSTR). Code 5
//                     defaults to <state>\History (created); others fail
//                     with E_INVALIDARG.
//   journal.txt   one line per event, appended, CRLF:
//     create <Class>#<n> <iid> = 0x<hr>        CreateInstance (no #n when
//                                              the class is switched off)
//     <Class>#<n> QueryInterface(<iid>) = 0x<hr>
//     <Class>#<n> <Method>(<args>) = 0x<hr>[ -> <out>]
//     <Class>#<n> destroyed                    the final Release
//   where <iid> is a name such as IID_ILogger or a {GUID}; texts are
//   "quoted" with \" \\ and \uXXXX escapes, a null BSTR is null, numbers are
//   decimal, a certificate record is bytes(len=<n>,fnv1a=<16 hex digits>)
//   (FNV-1a 64 over its bytes), a VARIANT is VT_BSTR "..." or VT(<type>).
//   <n> counts per class from 1 in each process that loads the server.
//   client.log    the logger's records, one line each:
//     Log <category> <code> <severity> "<relationship>" "<source>" "<message>"
//     LogError "<source>" "<message>"
//     LogSolvaneComponent "<message>"
//   Certificates\<path>\<fnv1a>.bin   the records added per relationship path
//     (the path with "/" as "_", other characters outside [A-Za-z0-9.-] as
//     %XXXX); delete removes the file, revoke moves it to ...\revoked\.
//
// Registers per machine (DllRegisterServer, regsvr32).
#include "ClientInterfaces.h"
#include "ClientNames.h"
#include "Scoped.h"

#include <windows.h>
#include <oleauto.h>
#include <olectl.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

namespace {

HMODULE g_module = nullptr;
LONG g_objects = 0;
LONG g_locks = 0;

const HRESULT kNotFound = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);

// ---------------------------------------------------------------- state

std::string StateDir() {
    char buffer[MAX_PATH];
    DWORD n = ::GetEnvironmentVariableA("CLIENT_STANDIN_DIR", buffer, sizeof(buffer));
    std::string dir = (n > 0 && n < sizeof(buffer)) ? std::string(buffer, n) : "C:\\client-stand-in";
    ::CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

std::string ControlPath() { return StateDir() + "\\control.ini"; }

// Reads a control value; false when absent.
bool ControlString(const char* section, const std::string& key, std::string* value) {
    static const char kAbsent[] = "\x01<absent>";
    std::string buffer(16384, '\0');
    DWORD n = ::GetPrivateProfileStringA(section, key.c_str(), kAbsent, &buffer[0],
                                         static_cast<DWORD>(buffer.size()), ControlPath().c_str());
    buffer.resize(n);
    if (buffer == kAbsent) return false;
    *value = buffer;
    return true;
}

bool Enabled(const char* section, const std::string& key) {
    std::string v;
    if (!ControlString(section, key, &v)) return true;
    return std::strtol(v.c_str(), nullptr, 0) != 0;
}

// Whether a configured failure of Object.Method still hands back its object.
bool HandsBack(const std::string& object, const char* method) {
    std::string v;
    return ControlString("HandBack", object + "." + method, &v) &&
           std::strtol(v.c_str(), nullptr, 0) != 0;
}

// The configured failure of Object.Method, or S_OK.
HRESULT ConfiguredFailure(const std::string& object, const char* method) {
    std::string v;
    if (!ControlString("Fail", object + "." + method, &v)) return S_OK;
    return static_cast<HRESULT>(std::strtoul(v.c_str(), nullptr, 0));
}

std::wstring AnsiToWide(const std::string& s) {
    if (s.empty()) return std::wstring();
    int n = ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
    return w;
}

// A configured text as an out BSTR; "<null>" gives a null BSTR.
HRESULT TextToOut(const std::string& text, BSTR* out) {
    if (text == "<null>") {
        *out = nullptr;
        return S_OK;
    }
    *out = ::SysAllocString(AnsiToWide(text).c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
}

// ---------------------------------------------------------------- journal

void AppendLine(const std::string& file, const std::string& line) {
    const std::string text = line + "\r\n";
    scoped::FileHandle h(::CreateFileA(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return;
    DWORD written = 0;
    ::WriteFile(h.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void Journal(const std::string& line) { AppendLine(StateDir() + "\\journal.txt", line); }

std::string Hr(HRESULT hr) {
    char t[16];
    std::snprintf(t, sizeof(t), "0x%08lX", static_cast<unsigned long>(hr));
    return t;
}

std::string Quote(const wchar_t* s, size_t n) {
    std::string r = "\"";
    for (size_t i = 0; i < n; ++i) {
        wchar_t c = s[i];
        if (c == L'"' || c == L'\\') {
            r += '\\';
            r += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            r += static_cast<char>(c);
        } else {
            char t[8];
            std::snprintf(t, sizeof(t), "\\u%04X", static_cast<unsigned>(c));
            r += t;
        }
    }
    return r + "\"";
}

// A text BSTR, by its counted length.
std::string Text(BSTR s) { return s ? Quote(s, ::SysStringLen(s)) : "null"; }

unsigned long long Fnv1a(const unsigned char* p, size_t n) {
    unsigned long long h = 0xcbf29ce484222325ULL;
    for (size_t i = 0; i < n; ++i) {
        h ^= p[i];
        h *= 0x100000001b3ULL;
    }
    return h;
}

std::string FnvText(BSTR record) {
    char t[20];
    std::snprintf(t, sizeof(t), "%016llX",
                  Fnv1a(reinterpret_cast<const unsigned char*>(record), record ? ::SysStringByteLen(record) : 0));
    return t;
}

// A byte BSTR (the certificate record).
std::string Bytes(BSTR record) {
    if (!record) return "null";
    return "bytes(len=" + std::to_string(::SysStringByteLen(record)) + ",fnv1a=" + FnvText(record) + ")";
}

std::string Variant(const VARIANT* v) {
    if (!v) return "null";
    if (v->vt == VT_BSTR) return "VT_BSTR " + Text(v->bstrVal);
    return "VT(" + std::to_string(v->vt) + ")";
}

// Runs the body of a COM method: an exception (no memory for a journal line)
// becomes E_OUTOFMEMORY instead of crossing into the caller.
template <typename Body>
HRESULT Guarded(Body body) noexcept {
    try {
        return body();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

// ---------------------------------------------------------------- objects

// Reference counting, naming and QueryInterface shared by every object.
class ObjectBase {
public:
    explicit ObjectBase(const char* kind) : kind_(kind) {
        static LONG counters[8];
        static const char* kinds[8];
        int slot = 0;
        while (slot < 7 && kinds[slot] && std::string(kinds[slot]) != kind) ++slot;
        kinds[slot] = kind;
        name_ = std::string(kind) + "#" + std::to_string(::InterlockedIncrement(&counters[slot]));
        ::InterlockedIncrement(&g_objects);
    }
    virtual ~ObjectBase() {
        try {
            Journal(name_ + " destroyed");
        } catch (...) {
            // No memory for the line: the object goes all the same.
        }
        ::InterlockedDecrement(&g_objects);
    }
    const std::string& name() const { return name_; }
    const std::string& kind() const { return kind_; }

    // The interface pointer for iid, or null.
    virtual void* Find(REFIID iid) = 0;

    HRESULT Query(REFIID iid, void** out) {
        if (!out) return E_POINTER;
        *out = nullptr;
        void* p = nullptr;
        const std::string iidName = ClientIidName(iid);
        if (::IsEqualGUID(iid, IID_IUnknown) || ::IsEqualGUID(iid, IID_IDispatch) ||
            Enabled("Interfaces", iidName))
            p = Find(iid);
        HRESULT hr = p ? S_OK : E_NOINTERFACE;
        Journal(name_ + " QueryInterface(" + iidName + ") = " + Hr(hr));
        if (p) {
            AddRefImpl();
            *out = p;
        }
        return hr;
    }
    ULONG AddRefImpl() { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
    ULONG ReleaseImpl() {
        LONG n = ::InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

    // Journals one call and returns its result.
    HRESULT Done(const char* method, const std::string& args, HRESULT hr, const std::string& out = "") {
        Journal(name_ + " " + method + "(" + args + ") = " + Hr(hr) + (out.empty() ? "" : " -> " + out));
        return hr;
    }

private:
    std::string kind_;
    std::string name_;
    LONG refs_ = 0;
};

#define STANDIN_UNKNOWN_AND_DISPATCH                                                             \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {                  \
        return Guarded([&]() -> HRESULT { return Query(iid, out); });                            \
    }                                                                                            \
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }                           \
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }                         \
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {                           \
        if (!count) return E_POINTER;                                                            \
        *count = 0;                                                                              \
        return S_OK;                                                                             \
    }                                                                                            \
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; } \
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {   \
        return E_NOTIMPL;                                                                        \
    }                                                                                            \
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,          \
                                     EXCEPINFO*, UINT*) override {                               \
        return E_NOTIMPL;                                                                        \
    }

#define STANDIN_UNUSED(n) \
    HRESULT STDMETHODCALLTYPE Unused##n() override {                 \
        return Guarded([&]() -> HRESULT { return Done("Unused" #n, "", E_NOTIMPL); }); \
    }

// -------- certificate manager

std::string PathFolderName(BSTR path) {
    std::string r;
    const UINT n = path ? ::SysStringLen(path) : 0;
    for (UINT i = 0; i < n; ++i) {
        wchar_t c = path[i];
        if (c == L'/') {
            r += '_';
        } else if ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
                   c == L'.' || c == L'-') {
            r += static_cast<char>(c);
        } else {
            char t[8];
            std::snprintf(t, sizeof(t), "%%%04X", static_cast<unsigned>(c));
            r += t;
        }
    }
    return r.empty() ? std::string("%empty") : r;
}

class CertificateManager final : public ICertificateManager, public ObjectBase {
public:
    CertificateManager() : ObjectBase("CertificateManager") {}
    STANDIN_UNKNOWN_AND_DISPATCH
    void* Find(REFIID iid) override {
        if (::IsEqualGUID(iid, IID_IUnknown) || ::IsEqualGUID(iid, IID_IDispatch) ||
            ::IsEqualGUID(iid, IID_ICertificateManager))
            return static_cast<ICertificateManager*>(this);
        return nullptr;
    }

    HRESULT STDMETHODCALLTYPE AddCertificate(BSTR path, long reserved, BSTR record) override {
        return Request("AddCertificate", path, reserved, record);
    }
    HRESULT STDMETHODCALLTYPE DeleteCertificate(BSTR path, long reserved, BSTR record) override {
        return Request("DeleteCertificate", path, reserved, record);
    }
    HRESULT STDMETHODCALLTYPE RevokeCertificate(BSTR path, long reserved, BSTR record) override {
        return Request("RevokeCertificate", path, reserved, record);
    }

private:
    HRESULT Request(const char* method, BSTR path, long reserved, BSTR record) {
        return Guarded([&]() -> HRESULT {
            const std::string args = Text(path) + ", " + std::to_string(reserved) + ", " + Bytes(record);
            // A failure for one path ("Method(\"/path\")") wins over one for every path.
            HRESULT hr = ConfiguredFailure(kind(), (std::string(method) + "(" + Text(path) + ")").c_str());
            if (SUCCEEDED(hr)) hr = ConfiguredFailure(kind(), method);
            if (FAILED(hr)) return Done(method, args, hr);
            if (!path || !record) return Done(method, args, E_INVALIDARG);
    
            const std::string root = StateDir() + "\\Certificates";
            const std::string folder = root + "\\" + PathFolderName(path);
            const std::string revoked = folder + "\\revoked";
            const std::string file = FnvText(record) + ".bin";
            ::CreateDirectoryA(root.c_str(), nullptr);
            ::CreateDirectoryA(folder.c_str(), nullptr);
            std::string note;
            if (method[0] == 'A') {
                scoped::FileHandle h(::CreateFileA((folder + "\\" + file).c_str(), GENERIC_WRITE, 0,
                                                   nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
                if (!h) return Done(method, args, HRESULT_FROM_WIN32(::GetLastError()));
                DWORD written = 0;
                ::WriteFile(h.get(), record, ::SysStringByteLen(record), &written, nullptr);
                note = "stored";
            } else if (method[0] == 'D') {
                note = ::DeleteFileA((folder + "\\" + file).c_str()) ? "deleted" : "absent";
            } else {
                ::CreateDirectoryA(revoked.c_str(), nullptr);
                note = ::MoveFileExA((folder + "\\" + file).c_str(), (revoked + "\\" + file).c_str(),
                                     MOVEFILE_REPLACE_EXISTING)
                           ? "revoked"
                           : "absent";
            }
            return Done(method, args, S_OK, note);
        });
    }
};

// -------- relationships

bool LookupName(BSTR section, std::string* name) {
    std::string key;
    const UINT n = section ? ::SysStringLen(section) : 0;
    if (n > 0) {
        int m = ::WideCharToMultiByte(CP_ACP, 0, section, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
        key.resize(static_cast<size_t>(m));
        ::WideCharToMultiByte(CP_ACP, 0, section, static_cast<int>(n), &key[0], m, nullptr, nullptr);
    }
    return !key.empty() && ControlString("Relationships", key, name);
}

class Relationship final : public IRelationship, public ObjectBase {
public:
    explicit Relationship(const std::string& name) : ObjectBase("Relationship"), company_(name) {}
    STANDIN_UNKNOWN_AND_DISPATCH
    void* Find(REFIID iid) override {
        if (::IsEqualGUID(iid, IID_IUnknown) || ::IsEqualGUID(iid, IID_IDispatch) ||
            ::IsEqualGUID(iid, IID_IRelationship))
            return static_cast<IRelationship*>(this);
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE get_CompanyName(BSTR* name) override {
        return Guarded([&]() -> HRESULT {
            if (!name) return Done("get_CompanyName", "", E_POINTER);
            HRESULT hr = ConfiguredFailure(kind(), "get_CompanyName");
            if (FAILED(hr)) return Done("get_CompanyName", "", hr);
            hr = TextToOut(company_, name);
            return Done("get_CompanyName", "", hr, SUCCEEDED(hr) ? Text(*name) : "");
        });
    }

private:
    std::string company_;
};

class Relationships final : public IRelationships, public ObjectBase {
public:
    Relationships() : ObjectBase("Relationships") {}
    STANDIN_UNKNOWN_AND_DISPATCH
    STANDIN_UNUSED(7)
    STANDIN_UNUSED(8)
    STANDIN_UNUSED(9)
    void* Find(REFIID iid) override {
        if (::IsEqualGUID(iid, IID_IUnknown) || ::IsEqualGUID(iid, IID_IDispatch))
            return static_cast<IRelationships*>(this);
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT* index, IDispatch** item) override {
        return Guarded([&]() -> HRESULT {
            const std::string args = Variant(index);
            if (!item) return Done("get_Item", args, E_POINTER);
            *item = nullptr;
            HRESULT hr = ConfiguredFailure(kind(), "get_Item");
            std::string company;
            if (FAILED(hr)) {
                if (!HandsBack(kind(), "get_Item")) return Done("get_Item", args, hr);
            } else {
                if (!index || index->vt != VT_BSTR) return Done("get_Item", args, E_INVALIDARG);
                if (!LookupName(index->bstrVal, &company)) return Done("get_Item", args, kNotFound);
            }
            Relationship* r = new Relationship(company);
            r->AddRefImpl();
            *item = static_cast<IRelationship*>(r);
            return Done("get_Item", args, hr, r->name());
        });
    }
};

// One object answers both the current and the old interface: the old
// form's entries are a prefix of the current one's.
class RelationshipManager final : public IRelationshipManager, public ObjectBase {
public:
    RelationshipManager() : ObjectBase("RelationshipManager") {}
    STANDIN_UNKNOWN_AND_DISPATCH
    void* Find(REFIID iid) override {
        if (::IsEqualGUID(iid, IID_IUnknown) || ::IsEqualGUID(iid, IID_IDispatch) ||
            ::IsEqualGUID(iid, IID_IRelationshipManager) || ::IsEqualGUID(iid, Old_IID_IRelationshipManager))
            return static_cast<IRelationshipManager*>(this);
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE get_Relationships(IRelationships** out) override {
        return Guarded([&]() -> HRESULT {
            if (!out) return Done("get_Relationships", "", E_POINTER);
            *out = nullptr;
            HRESULT hr = ConfiguredFailure(kind(), "get_Relationships");
            if (FAILED(hr) && !HandsBack(kind(), "get_Relationships"))
                return Done("get_Relationships", "", hr);
            Relationships* r = new Relationships();
            r->AddRefImpl();
            *out = r;
            return Done("get_Relationships", "", hr, r->name());
        });
    }
    HRESULT STDMETHODCALLTYPE Initialize() override {
        return Guarded([&]() -> HRESULT {
            HRESULT hr = ConfiguredFailure(kind(), "Initialize");
            return Done("Initialize", "", hr);
        });
    }
    HRESULT STDMETHODCALLTYPE Uninitialize() override {
        return Guarded([&]() -> HRESULT {
            HRESULT hr = ConfiguredFailure(kind(), "Uninitialize");
            return Done("Uninitialize", "", hr);
        });
    }
    HRESULT STDMETHODCALLTYPE LookupCompanyName(BSTR section, BSTR* name) override {
        return Guarded([&]() -> HRESULT {
            const std::string args = Text(section);
            if (!name) return Done("LookupCompanyName", args, E_POINTER);
            *name = nullptr;
            HRESULT hr = ConfiguredFailure(kind(), "LookupCompanyName");
            if (FAILED(hr)) return Done("LookupCompanyName", args, hr);
            std::string company;
            if (!LookupName(section, &company)) return Done("LookupCompanyName", args, kNotFound);
            hr = TextToOut(company, name);
            return Done("LookupCompanyName", args, hr, SUCCEEDED(hr) ? Text(*name) : "");
        });
    }
};

// -------- logger

class Logger final : public ILogger, public IOldLogger, public ObjectBase {
public:
    Logger() : ObjectBase("Logger") {}
    STANDIN_UNKNOWN_AND_DISPATCH
    STANDIN_UNUSED(7)
    STANDIN_UNUSED(8)
    STANDIN_UNUSED(9)
    STANDIN_UNUSED(10)
    STANDIN_UNUSED(11)
    STANDIN_UNUSED(12)
    STANDIN_UNUSED(14)
    STANDIN_UNUSED(15)
    STANDIN_UNUSED(16)
    STANDIN_UNUSED(17)
    STANDIN_UNUSED(18)
    STANDIN_UNUSED(19)
    STANDIN_UNUSED(20)
    STANDIN_UNUSED(21)
    void* Find(REFIID iid) override {
        if (::IsEqualGUID(iid, IID_IUnknown) || ::IsEqualGUID(iid, IID_IDispatch) ||
            ::IsEqualGUID(iid, IID_ILogger))
            return static_cast<ILogger*>(this);
        if (::IsEqualGUID(iid, Old_IID_ILogger)) return static_cast<IOldLogger*>(this);
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE Log(long category, long code, long severity, BSTR relationship,
                                  BSTR source, BSTR message) override {
        return Guarded([&]() -> HRESULT {
            const std::string args = std::to_string(category) + ", " + std::to_string(code) + ", " +
                                     std::to_string(severity) + ", " + Text(relationship) + ", " +
                                     Text(source) + ", " + Text(message);
            return Record("Log", args, "Log " + std::to_string(category) + " " + std::to_string(code) +
                                           " " + std::to_string(severity) + " " + Text(relationship) +
                                           " " + Text(source) + " " + Text(message));
        });
    }
    HRESULT STDMETHODCALLTYPE LogSolvaneComponent(BSTR message) override {
        return Guarded([&]() -> HRESULT {
            return Record("LogSolvaneComponent", Text(message), "LogSolvaneComponent " + Text(message));
        });
    }
    HRESULT STDMETHODCALLTYPE LogError(BSTR source, BSTR message) override {
        return Guarded([&]() -> HRESULT {
            const std::string args = Text(source) + ", " + Text(message);
            return Record("LogError", args, "LogError " + Text(source) + " " + Text(message));
        });
    }

private:
    HRESULT Record(const char* method, const std::string& args, const std::string& line) {
        HRESULT hr = ConfiguredFailure(kind(), method);
        if (FAILED(hr)) return Done(method, args, hr);
        AppendLine(StateDir() + "\\client.log", line);
        return Done(method, args, S_OK);
    }
};

// -------- path provider

class ClientPaths final : public IClientPaths, public ObjectBase {
public:
    ClientPaths() : ObjectBase("ClientPaths") {}
    STANDIN_UNKNOWN_AND_DISPATCH
    STANDIN_UNUSED(7)
    STANDIN_UNUSED(8)
    void* Find(REFIID iid) override {
        if (::IsEqualGUID(iid, IID_IUnknown) || ::IsEqualGUID(iid, IID_IDispatch) ||
            ::IsEqualGUID(iid, IID_IClientPaths))
            return static_cast<IClientPaths*>(this);
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE GetPath(long code, BSTR* path) override {
        return Guarded([&]() -> HRESULT {
            const std::string args = std::to_string(code);
            if (!path) return Done("GetPath", args, E_POINTER);
            *path = nullptr;
            HRESULT hr = ConfiguredFailure(kind(), "GetPath");
            if (FAILED(hr)) return Done("GetPath", args, hr);
            std::string value;
            if (!ControlString("Paths", std::to_string(code), &value)) {
                if (code != 5) return Done("GetPath", args, E_INVALIDARG);
                value = StateDir() + "\\History";
                ::CreateDirectoryA(value.c_str(), nullptr);
            }
            hr = TextToOut(value, path);
            return Done("GetPath", args, hr, SUCCEEDED(hr) ? Text(*path) : "");
        });
    }
};

// ---------------------------------------------------------------- factory

struct ClassEntry {
    const CLSID* clsid;
    const char* name;
    ObjectBase* (*make)();
    IUnknown* (*unknown)(ObjectBase*);
};

template <typename T, typename I>
ClassEntry Entry(const CLSID* clsid, const char* name) {
    return ClassEntry{clsid, name, []() -> ObjectBase* { return new T(); },
                      [](ObjectBase* o) -> IUnknown* { return static_cast<I*>(static_cast<T*>(o)); }};
}

const ClassEntry kClasses[] = {
    Entry<CertificateManager, ICertificateManager>(&CLSID_CertificateManager, "CertificateManager"),
    Entry<RelationshipManager, IRelationshipManager>(&CLSID_RelationshipManager, "RelationshipManager"),
    Entry<Logger, ILogger>(&CLSID_Logger, "Logger"),
    Entry<ClientPaths, IClientPaths>(&CLSID_ClientPaths, "ClientPaths"),
};

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(const ClassEntry& entry) : entry_(entry) { ::InterlockedIncrement(&g_objects); }
    ~ClassFactory() { ::InterlockedDecrement(&g_objects); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!::IsEqualGUID(iid, IID_IUnknown) && !::IsEqualGUID(iid, IID_IClassFactory)) return E_NOINTERFACE;
        AddRef();
        *out = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG n = ::InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        return Guarded([&]() -> HRESULT {
            if (!out) return E_POINTER;
            *out = nullptr;
            const std::string iidName = ClientIidName(iid);
            if (outer) {
                Journal(std::string("create ") + entry_.name + " " + iidName + " = " + Hr(CLASS_E_NOAGGREGATION));
                return CLASS_E_NOAGGREGATION;
            }
            if (!Enabled("Classes", entry_.name)) {
                Journal(std::string("create ") + entry_.name + " " + iidName + " = " + Hr(REGDB_E_CLASSNOTREG));
                return REGDB_E_CLASSNOTREG;
            }
            ObjectBase* object = entry_.make();
            IUnknown* unknown = entry_.unknown(object);
            unknown->AddRef();
            // Journal the creation before the QueryInterface line it causes.
            void* p = nullptr;
            const bool allowed = ::IsEqualGUID(iid, IID_IUnknown) || ::IsEqualGUID(iid, IID_IDispatch) ||
                                 Enabled("Interfaces", iidName);
            HRESULT hr = (allowed && object->Find(iid)) ? S_OK : E_NOINTERFACE;
            Journal("create " + object->name() + " " + iidName + " = " + Hr(hr));
            if (SUCCEEDED(hr)) {
                p = object->Find(iid);
                object->AddRefImpl();
                *out = p;
            }
            unknown->Release();
            return hr;
        });
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            ::InterlockedIncrement(&g_locks);
        else
            ::InterlockedDecrement(&g_locks);
        return S_OK;
    }

private:
    const ClassEntry& entry_;
    LONG refs_ = 0;
};

// ---------------------------------------------------------------- registration

std::string ClassKey(const CLSID& clsid) { return "Software\\Classes\\CLSID\\" + GuidText(clsid); }

bool SetString(HKEY key, const char* name, const std::string& value) {
    return ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (const ClassEntry& entry : kClasses) {
        if (!::IsEqualGUID(clsid, *entry.clsid)) continue;
        ClassFactory* factory = new (std::nothrow) ClassFactory(entry);
        if (!factory) return E_OUTOFMEMORY;
        factory->AddRef();
        HRESULT hr = factory->QueryInterface(iid, out);
        factory->Release();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return (g_objects == 0 && g_locks == 0) ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
    char path[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(g_module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return SELFREG_E_CLASS;
    return Guarded([&]() -> HRESULT {
        for (const ClassEntry& entry : kClasses) {
            scoped::Key key;
            if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, ClassKey(*entry.clsid).c_str(), 0, nullptr, 0,
                                  KEY_WRITE, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
                return SELFREG_E_CLASS;
            scoped::Key server;
            if (!SetString(key.get(), nullptr, std::string("Client stand-in ") + entry.name) ||
                ::RegCreateKeyExA(key.get(), "InprocServer32", 0, nullptr, 0, KEY_WRITE, nullptr,
                                  server.put(), nullptr) != ERROR_SUCCESS ||
                !SetString(server.get(), nullptr, path) ||
                !SetString(server.get(), "ThreadingModel", "Apartment"))
                return SELFREG_E_CLASS;
        }
        return S_OK;
    });
}

STDAPI DllUnregisterServer() {
    return Guarded([&]() -> HRESULT {
        for (const ClassEntry& entry : kClasses)
            ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, ClassKey(*entry.clsid).c_str());
        return S_OK;
    });
}

}  // extern "C"
