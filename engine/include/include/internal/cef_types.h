// Plain engine types: enumerations and the settings record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "include/internal/cef_string.h"
#include "include/internal/cef_types_win.h"

typedef uint32_t cef_color_t;

typedef enum {
    LOGSEVERITY_DEFAULT,
    LOGSEVERITY_VERBOSE,
    LOGSEVERITY_INFO,
    LOGSEVERITY_WARNING,
    LOGSEVERITY_ERROR,
    LOGSEVERITY_DISABLE = 99
} cef_log_severity_t;

typedef enum {
    TID_UI,
    TID_DB,
    TID_FILE,
    TID_FILE_USER_BLOCKING,
    TID_PROCESS_LAUNCHER,
    TID_CACHE,
    TID_IO,
    TID_RENDERER,
} cef_thread_id_t;

typedef enum {
    PID_BROWSER,
    PID_RENDERER,
} cef_process_id_t;

typedef struct _cef_settings_t {
    size_t size;
    int single_process;
    int no_sandbox;
    cef_string_t browser_subprocess_path;
    int multi_threaded_message_loop;
    int windowless_rendering_enabled;
    int command_line_args_disabled;
    cef_string_t cache_path;
    cef_string_t user_data_path;
    int persist_session_cookies;
    int persist_user_preferences;
    cef_string_t user_agent;
    cef_string_t product_version;
    cef_string_t locale;
    cef_string_t log_file;
    cef_log_severity_t log_severity;
    cef_string_t javascript_flags;
    cef_string_t resources_dir_path;
    cef_string_t locales_dir_path;
    int pack_loading_disabled;
    int remote_debugging_port;
    int uncaught_exception_stack_size;
    int context_safety_implementation;
    int ignore_certificate_errors;
    cef_color_t background_color;
    cef_string_t accept_language_list;
} cef_settings_t;
