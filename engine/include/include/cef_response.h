// CefResponse: the status and headers of a response the engine received.
#pragma once

#include <map>

#include "include/cef_base.h"

class CefResponse : public virtual CefBase {
public:
    typedef std::multimap<CefString, CefString> HeaderMap;

    static CefRefPtr<CefResponse> Create();

    virtual bool IsReadOnly() = 0;
    virtual int GetStatus() = 0;
    virtual void SetStatus(int status) = 0;
    virtual CefString GetStatusText() = 0;
    virtual void SetStatusText(const CefString& statusText) = 0;
    virtual CefString GetMimeType() = 0;
    virtual void SetMimeType(const CefString& mimeType) = 0;
    // The first header of that name, compared without regard to case.
    virtual CefString GetHeader(const CefString& name) = 0;
    virtual void GetHeaderMap(HeaderMap& headerMap) = 0;
    virtual void SetHeaderMap(const HeaderMap& headerMap) = 0;
};
