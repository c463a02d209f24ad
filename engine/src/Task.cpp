// Posting tasks to the engine's named threads. Only the UI thread runs in this
// engine so far; other thread ids have no thread to run on.
#include "include/cef_task.h"

#include "EngineContext.h"
#include "EngineLog.h"

bool CefPostTask(CefThreadId threadId, CefRefPtr<CefTask> task) {
    if (threadId != TID_UI) {
        engine::EngineLog::Write(LOGSEVERITY_WARNING, "no engine thread runs for id " + std::to_string(threadId));
        return false;
    }
    return engine::EngineContext::Get().UiThread().Post(task);
}

bool CefCurrentlyOn(CefThreadId threadId) {
    return threadId == TID_UI && engine::EngineContext::Get().UiThread().IsCurrent();
}
