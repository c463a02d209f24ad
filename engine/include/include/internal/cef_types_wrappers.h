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

typedef cef_errorcode_t CefErrorCode;
typedef cef_value_type_t CefValueType;
typedef cef_state_t CefState;
typedef cef_window_open_disposition_t CefWindowOpenDisposition;

class CefBrowserSettings : public cef_browser_settings_t {
public:
    CefBrowserSettings();
    CefBrowserSettings(const CefBrowserSettings& other);
    CefBrowserSettings& operator=(const CefBrowserSettings& other);
    ~CefBrowserSettings();

private:
    void Clear();
    void CopyFrom(const cef_browser_settings_t& other);
};

class CefPoint : public cef_point_t {
public:
    CefPoint() : cef_point_t{0, 0} {}
    CefPoint(int px, int py) : cef_point_t{px, py} {}
    void Set(int px, int py) {
        x = px;
        y = py;
    }
    bool operator==(const CefPoint& o) const { return x == o.x && y == o.y; }
    bool operator!=(const CefPoint& o) const { return !(*this == o); }
};

class CefPopupFeatures : public cef_popup_features_t {
public:
    CefPopupFeatures() : cef_popup_features_t() {
        menuBarVisible = statusBarVisible = toolBarVisible = locationBarVisible = 1;
        scrollbarsVisible = resizable = 1;
    }
};

class CefKeyEvent : public cef_key_event_t {
public:
    CefKeyEvent() : cef_key_event_t() {}
};
