// As in a browser, a web page may not load what lies on the user's disk: only a document
// that is itself a local file may load file: addresses. The application's own loads are
// no page's and are not asked.
#pragma once

#include <string>

namespace engine {

// Whether the document at documentUrl is refused target; a refusal is logged as the
// browser's console reports it.
bool RefusesLocalResource(const std::string& documentUrl, const std::string& target);

}  // namespace engine
