// CefTask and posting work to the engine's named threads.
#pragma once

#include "include/cef_base.h"

class CefTask : public virtual CefBase {
public:
    virtual void Execute() = 0;
};

// Queues the task for the thread; false when that thread does not run.
bool CefPostTask(CefThreadId threadId, CefRefPtr<CefTask> task);
bool CefCurrentlyOn(CefThreadId threadId);
