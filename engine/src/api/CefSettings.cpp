#include "include/internal/cef_types_wrappers.h"

#include <cstring>

// The string fields of the settings record, so copying and clearing cover them all.
static cef_string_t cef_settings_t::*const kStringFields[] = {
    &cef_settings_t::browser_subprocess_path, &cef_settings_t::cache_path,
    &cef_settings_t::user_data_path,          &cef_settings_t::user_agent,
    &cef_settings_t::product_version,         &cef_settings_t::locale,
    &cef_settings_t::log_file,                &cef_settings_t::javascript_flags,
    &cef_settings_t::resources_dir_path,      &cef_settings_t::locales_dir_path,
    &cef_settings_t::accept_language_list,
};

CefSettings::CefSettings() : cef_settings_t() { size = sizeof(cef_settings_t); }

CefSettings::CefSettings(const CefSettings& other) : CefSettings() { CopyFrom(other); }

CefSettings& CefSettings::operator=(const CefSettings& other) {
    if (this != &other) CopyFrom(other);
    return *this;
}

CefSettings::~CefSettings() { Clear(); }

void CefSettings::Clear() {
    for (auto field : kStringFields) cef_string_utf16_clear(&(this->*field));
}

void CefSettings::CopyFrom(const cef_settings_t& other) {
    Clear();
    cef_settings_t& self = *this;
    self = other;
    // The plain copy shares the other's buffers; give each field its own.
    for (auto field : kStringFields) {
        (this->*field) = cef_string_t{nullptr, 0, nullptr};
        cef_string_utf16_set((other.*field).str, (other.*field).length, &(this->*field), 1);
    }
}
