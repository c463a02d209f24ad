// CefRequestContext: the network state browsers share; this engine has one, the global one.
#pragma once

#include "include/cef_base.h"

class CefRequestContext : public virtual CefBase {
public:
    static CefRefPtr<CefRequestContext> GetGlobalContext();

    virtual bool IsSame(CefRefPtr<CefRequestContext> other) = 0;
    virtual bool IsGlobal() = 0;
};
