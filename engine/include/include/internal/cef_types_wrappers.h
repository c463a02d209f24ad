// Owning wrappers of the plain engine records: zeroed on construction, their strings
// freed on destruction and deep-copied on copy.
#pragma once

#include "include/internal/cef_types.h"

typedef cef_thread_id_t CefThreadId;
typedef cef_process_id_t CefProcessId;

class CefSettings : public cef_settings_t {
public:
    CefSettings();
    CefSettings(const CefSettings& other);
    CefSettings& operator=(const CefSettings& other);
    ~CefSettings();

private:
    void Clear();
    void CopyFrom(const cef_settings_t& other);
};
