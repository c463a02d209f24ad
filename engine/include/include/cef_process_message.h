// CefProcessMessage: a named message with a list of arguments between the two sides.
#pragma once

#include "include/cef_base.h"
#include "include/cef_values.h"

class CefProcessMessage : public virtual CefBase {
public:
    static CefRefPtr<CefProcessMessage> Create(const CefString& name);

    virtual bool IsValid() = 0;
    virtual bool IsReadOnly() = 0;
    virtual CefRefPtr<CefProcessMessage> Copy() = 0;
    virtual CefString GetName() = 0;
    virtual CefRefPtr<CefListValue> GetArgumentList() = 0;
};
