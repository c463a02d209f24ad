// CefProcessMessage: a name and an argument list; copies are deep, as a message that
// crossed a process boundary would be.
#include "include/cef_process_message.h"

#include "Values.h"

namespace engine {
namespace {

class ProcessMessage : public CefProcessMessage {
public:
    ProcessMessage(const CefString& name, CefRefPtr<CefListValue> arguments) : name_(name), arguments_(arguments) {}

    bool IsValid() override { return true; }
    bool IsReadOnly() override { return false; }
    CefRefPtr<CefProcessMessage> Copy() override { return new ProcessMessage(name_, arguments_->Copy()); }
    CefString GetName() override { return name_; }
    CefRefPtr<CefListValue> GetArgumentList() override { return arguments_; }

private:
    CefString name_;
    CefRefPtr<CefListValue> arguments_;
    IMPLEMENT_REFCOUNTING(ProcessMessage);
};

}  // namespace
}  // namespace engine

CefRefPtr<CefProcessMessage> CefProcessMessage::Create(const CefString& name) {
    return new engine::ProcessMessage(name, CefListValue::Create());
}
