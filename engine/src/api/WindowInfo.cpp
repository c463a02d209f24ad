// The owning wrappers of the window and browser-settings records.
#include "include/cef_base.h"

namespace {

cef_string_t Blank() { return cef_string_t{nullptr, 0, nullptr}; }

void CopyString(const cef_string_t& from, cef_string_t& to) {
    to = Blank();
    cef_string_utf16_set(from.str, from.length, &to, 1);
}

cef_string_t cef_browser_settings_t::*const kSettingsStrings[] = {
    &cef_browser_settings_t::standard_font_family, &cef_browser_settings_t::fixed_font_family,
    &cef_browser_settings_t::serif_font_family,    &cef_browser_settings_t::sans_serif_font_family,
    &cef_browser_settings_t::cursive_font_family,  &cef_browser_settings_t::fantasy_font_family,
    &cef_browser_settings_t::default_encoding,     &cef_browser_settings_t::accept_language_list,
};

}  // namespace

CefWindowInfo::CefWindowInfo() : cef_window_info_t() {}

CefWindowInfo::CefWindowInfo(const cef_window_info_t& other) : CefWindowInfo() { CopyFrom(other); }

CefWindowInfo::CefWindowInfo(const CefWindowInfo& other) : CefWindowInfo() { CopyFrom(other); }

CefWindowInfo& CefWindowInfo::operator=(const CefWindowInfo& other) {
    if (this != &other) CopyFrom(other);
    return *this;
}

CefWindowInfo::~CefWindowInfo() { cef_string_utf16_clear(&window_name); }

void CefWindowInfo::CopyFrom(const cef_window_info_t& other) {
    cef_string_utf16_clear(&window_name);
    cef_window_info_t& self = *this;
    self = other;
    CopyString(other.window_name, window_name);
}

void CefWindowInfo::SetAsChild(CefWindowHandle parent, RECT windowRect) {
    style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VISIBLE;
    parent_window = parent;
    x = windowRect.left;
    y = windowRect.top;
    width = windowRect.right - windowRect.left;
    height = windowRect.bottom - windowRect.top;
}

void CefWindowInfo::SetAsPopup(CefWindowHandle parent, const CefString& windowName) {
    style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VISIBLE;
    parent_window = parent;
    x = y = width = height = CW_USEDEFAULT;
    CefString name(&window_name);
    name = windowName;
}

void CefWindowInfo::SetAsWindowless(CefWindowHandle parent, bool transparent) {
    windowless_rendering_enabled = 1;
    parent_window = parent;
    transparent_painting_enabled = transparent ? 1 : 0;
}

CefBrowserSettings::CefBrowserSettings() : cef_browser_settings_t() { size = sizeof(cef_browser_settings_t); }

CefBrowserSettings::CefBrowserSettings(const CefBrowserSettings& other) : CefBrowserSettings() { CopyFrom(other); }

CefBrowserSettings& CefBrowserSettings::operator=(const CefBrowserSettings& other) {
    if (this != &other) CopyFrom(other);
    return *this;
}

CefBrowserSettings::~CefBrowserSettings() { Clear(); }

void CefBrowserSettings::Clear() {
    for (auto field : kSettingsStrings) cef_string_utf16_clear(&(this->*field));
}

void CefBrowserSettings::CopyFrom(const cef_browser_settings_t& other) {
    Clear();
    cef_browser_settings_t& self = *this;
    self = other;
    for (auto field : kSettingsStrings) CopyString(other.*field, this->*field);
}
