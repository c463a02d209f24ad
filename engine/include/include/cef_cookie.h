// CefCookieManager: the cookie store that the engine's network requests share.
#pragma once

#include "include/cef_base.h"
#include "include/cef_callback.h"

class CefCookieManager : public virtual CefBase {
public:
    // Null before the engine has been initialised or after it has shut down.
    static CefRefPtr<CefCookieManager> GetGlobalManager(CefRefPtr<CefCompletionCallback> callback);

    // Writes the store to the cache folder; the callback runs on the UI thread afterwards.
    virtual bool FlushStore(CefRefPtr<CefCompletionCallback> callback) = 0;
};
