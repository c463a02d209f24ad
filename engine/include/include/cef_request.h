// CefRequest: the method, address and headers of a request the engine makes.
#pragma once

#include <map>

#include "include/cef_base.h"

class CefRequest : public virtual CefBase {
public:
    typedef std::multimap<CefString, CefString> HeaderMap;

    static CefRefPtr<CefRequest> Create();

    virtual bool IsReadOnly() = 0;
    virtual CefString GetURL() = 0;
    virtual void SetURL(const CefString& url) = 0;
    virtual CefString GetMethod() = 0;
    virtual void SetMethod(const CefString& method) = 0;
    virtual void GetHeaderMap(HeaderMap& headerMap) = 0;
    virtual void SetHeaderMap(const HeaderMap& headerMap) = 0;
    virtual cef_resource_type_t GetResourceType() = 0;
    virtual cef_transition_type_t GetTransitionType() = 0;
    virtual uint64_t GetIdentifier() = 0;
};
