// CefRequestContext: one global network context; every browser shares its cookies.
#include "include/cef_request_context.h"

namespace engine {
namespace {

class RequestContext : public CefRequestContext {
public:
    bool IsSame(CefRefPtr<CefRequestContext> other) override { return other.get() == this; }
    bool IsGlobal() override { return true; }
    IMPLEMENT_REFCOUNTING(RequestContext);
};

}  // namespace
}  // namespace engine

CefRefPtr<CefRequestContext> CefRequestContext::GetGlobalContext() {
    static CefRefPtr<CefRequestContext> global = new engine::RequestContext();
    return global;
}
