// CefRequest: what the engine asked the network for.
#include "include/cef_request.h"

#include <atomic>

namespace engine {
namespace {

std::atomic<uint64_t> g_nextRequestId{1};

class Request : public CefRequest {
public:
    bool IsReadOnly() override { return false; }
    CefString GetURL() override { return url_; }
    void SetURL(const CefString& url) override { url_ = url; }
    CefString GetMethod() override { return method_; }
    void SetMethod(const CefString& method) override { method_ = method; }
    void GetHeaderMap(HeaderMap& headers) override { headers = headers_; }
    void SetHeaderMap(const HeaderMap& headers) override { headers_ = headers; }
    cef_resource_type_t GetResourceType() override { return RT_MAIN_FRAME; }
    cef_transition_type_t GetTransitionType() override { return TT_EXPLICIT; }
    uint64_t GetIdentifier() override { return id_; }

private:
    CefString url_;
    CefString method_ = "GET";
    HeaderMap headers_;
    uint64_t id_ = g_nextRequestId++;
    IMPLEMENT_REFCOUNTING(Request);
};

}  // namespace
}  // namespace engine

CefRefPtr<CefRequest> CefRequest::Create() { return new engine::Request(); }
