// Generic completion callbacks of asynchronous engine calls.
#pragma once

#include "include/cef_base.h"

class CefCompletionCallback : public virtual CefBase {
public:
    virtual void OnComplete() = 0;
};
