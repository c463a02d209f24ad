// Posting tasks to the engine's named threads: the UI thread and the renderer thread
// (which stands for the render process). Other thread ids have no thread here.
#include "include/cef_task.h"
#include "include/wrapper/cef_closure_task.h"
#include "include/wrapper/cef_helpers.h"

#include "EngineContext.h"
#include "EngineLog.h"

namespace {

engine::EngineThread* ThreadFor(CefThreadId threadId) {
    if (threadId == TID_UI) return &engine::EngineContext::Get().UiThread();
    if (threadId == TID_RENDERER) return &engine::EngineContext::Get().RendererThread();
    return nullptr;
}

}  // namespace

bool CefPostTask(CefThreadId threadId, CefRefPtr<CefTask> task) {
    engine::EngineThread* thread = ThreadFor(threadId);
    if (thread == nullptr) {
        engine::EngineLog::Write(LOGSEVERITY_WARNING, "no engine thread runs for id " + std::to_string(threadId));
        return false;
    }
    return thread->Post(task);
}

bool CefCurrentlyOn(CefThreadId threadId) {
    engine::EngineThread* thread = ThreadFor(threadId);
    return thread != nullptr && thread->IsCurrent();
}

void CefLogWrongThread(const char* expected, const char* file, int line) {
    engine::EngineLog::Write(LOGSEVERITY_ERROR, std::string("not on the ") + expected + " thread at " + file + ":" +
                                                    std::to_string(line));
}

namespace {

class ClosureTask : public CefTask {
public:
    explicit ClosureTask(const base::Closure& closure) : closure_(closure) {}
    void Execute() override { closure_.Run(); }

private:
    base::Closure closure_;
    IMPLEMENT_REFCOUNTING(ClosureTask);
};

}  // namespace

CefRefPtr<CefTask> CefCreateClosureTask(const base::Closure& closure) { return new ClosureTask(closure); }

bool CefPostTask(CefThreadId threadId, const base::Closure& closure) {
    return CefPostTask(threadId, CefCreateClosureTask(closure));
}
