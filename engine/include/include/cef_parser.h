// Text forms of engine values.
#pragma once

#include "include/cef_base.h"
#include "include/cef_values.h"

// The JSON text of node as the browser's writer prints it; empty when it cannot be written.
CefString CefWriteJSON(CefRefPtr<CefValue> node, cef_json_writer_options_t options);
