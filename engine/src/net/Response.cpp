// CefResponse: the status line and headers the network answered with.
#include "include/cef_response.h"

#include <cwctype>

namespace engine {
namespace {

bool SameName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    }
    return true;
}

class Response : public CefResponse {
public:
    bool IsReadOnly() override { return false; }
    int GetStatus() override { return status_; }
    void SetStatus(int status) override { status_ = status; }
    CefString GetStatusText() override { return statusText_; }
    void SetStatusText(const CefString& text) override { statusText_ = text; }
    CefString GetMimeType() override { return mimeType_; }
    void SetMimeType(const CefString& mimeType) override { mimeType_ = mimeType; }
    CefString GetHeader(const CefString& name) override {
        for (const auto& header : headers_) {
            if (SameName(header.first.ToWString(), name.ToWString())) return header.second;
        }
        return CefString();
    }
    void GetHeaderMap(HeaderMap& headers) override { headers = headers_; }
    void SetHeaderMap(const HeaderMap& headers) override { headers_ = headers; }

private:
    int status_ = 0;
    CefString statusText_;
    CefString mimeType_;
    HeaderMap headers_;
    IMPLEMENT_REFCOUNTING(Response);
};

}  // namespace
}  // namespace engine

CefRefPtr<CefResponse> CefResponse::Create() { return new engine::Response(); }
