// Posting a base::Closure to an engine thread as a task.
#pragma once

#include "include/base/cef_bind.h"
#include "include/base/cef_callback.h"
#include "include/cef_task.h"

CefRefPtr<CefTask> CefCreateClosureTask(const base::Closure& closure);
bool CefPostTask(CefThreadId threadId, const base::Closure& closure);
