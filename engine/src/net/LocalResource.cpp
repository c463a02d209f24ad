#include "LocalResource.h"

#include "EngineLog.h"
#include "Url.h"

namespace engine {

bool RefusesLocalResource(const std::string& documentUrl, const std::string& target) {
    if (UrlScheme(target) != "file" || UrlScheme(documentUrl) == "file") return false;
    EngineLog::Write(LOGSEVERITY_ERROR,
                     "CONSOLE \"Not allowed to load local resource: " + target + "\", source: " + documentUrl);
    return true;
}

}  // namespace engine
