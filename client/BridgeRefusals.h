// BridgeRefusals: the log's account of the script bridge calls refused, kept for each
// browser's page load. The first refusal of a function for an origin writes a WARN line;
// later ones are only counted, and when that browser's page goes one line gives the count,
// so a page that calls in a loop cannot fill the log. Engine UI thread only.
#pragma once

#include <map>
#include <string>
#include <utility>

class BridgeRefusals {
public:
    // browser: the identifier of the browser whose page called; origin: that page's
    // origin, empty for a page without one.
    void Refused(int browser, const std::string& origin, const std::string& function);
    // The browser's page has gone (its next load started, or the browser closed): a line
    // for each function refused more than once on it, then a fresh count.
    void PageGone(int browser);

private:
    typedef std::map<std::pair<std::string, std::string>, unsigned> TCounts;
    // Browser to (origin, function) to the number of refusals on its page.
    std::map<int, TCounts> m_counts;
};
