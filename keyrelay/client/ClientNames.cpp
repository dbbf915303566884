// Readable names of the client's class and interface identifiers.
#include "ClientNames.h"

#include "ClientInterfaces.h"

#include <cstdio>

std::string GuidText(REFGUID g) {
    char text[40];
    std::snprintf(text, sizeof(text), "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

std::string ClientIidName(REFIID iid) {
    static const struct {
        const IID* iid;
        const char* name;
    } known[] = {
        {&IID_ICertificateManager, "IID_ICertificateManager"},
        {&IID_IRelationshipManager, "IID_IRelationshipManager"},
        {&Old_IID_IRelationshipManager, "Old_IID_IRelationshipManager"},
        {&IID_IRelationship, "IID_IRelationship"},
        {&IID_ILogger, "IID_ILogger"},
        {&Old_IID_ILogger, "Old_IID_ILogger"},
        {&IID_IClientPaths, "IID_IClientPaths"},
        {&IID_IUnknown, "IID_IUnknown"},
        {&IID_IDispatch, "IID_IDispatch"},
    };
    for (const auto& k : known)
        if (::IsEqualGUID(iid, *k.iid)) return k.name;
    return GuidText(iid);
}
