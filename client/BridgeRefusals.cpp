#include "BridgeRefusals.h"

#include "Log.h"

namespace {

// An origin is a page's text: a host name can be long.
std::string OriginForLog(const std::string& origin) { return origin.empty() ? "null" : PageTextForLog(origin); }

}  // namespace

void BridgeRefusals::Refused(int browser, const std::string& origin, const std::string& function) {
    if (m_counts[browser][std::make_pair(origin, function)]++ != 0) return;
    LogWrite(LOG_WARN, __FILE__, __LINE__, "AppExtension.%s refused: the page's origin %s is not a server line's",
             PageTextForLog(function).c_str(), OriginForLog(origin).c_str());
}

void BridgeRefusals::PageGone(int browser) {
    const auto page = m_counts.find(browser);
    if (page == m_counts.end()) return;
    for (const auto& entry : page->second) {
        if (entry.second < 2) continue;
        LogWrite(LOG_WARN, __FILE__, __LINE__, "AppExtension.%s refused %u times in all on the page of origin %s",
                 PageTextForLog(entry.first.second).c_str(), entry.second, OriginForLog(entry.first.first).c_str());
    }
    m_counts.erase(page);
}
