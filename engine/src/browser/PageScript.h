// The page model as scripts see it: `document`, elements and text nodes with the
// usual properties, `style`, click and load events, timers and `location`. The objects
// are plain script objects over a few native functions that reach the frame's document
// tree; the native functions stay out of the page's sight.
#pragma once

#include <duktape.h>

namespace engine {

// Installs the page model on the global object of heap (whose heap data is its
// ScriptContext) and keeps its entry points (fireTimer, activate, fireLoad) in the
// heap stash as "page". Throws a script error when that fails.
void InstallPageScript(duk_context* heap);

}  // namespace engine
