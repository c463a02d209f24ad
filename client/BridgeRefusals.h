// BridgeRefusals: the log's account of the script bridge calls refused on one page load.
// The first refusal of a function for an origin writes a WARN line; later ones are only
// counted, and when the page goes one line gives the count, so a page that calls in a
// loop cannot fill the log. Engine UI thread only.
#pragma once

#include <map>
#include <string>
#include <utility>

class BridgeRefusals {
public:
    // origin: the calling page's origin, empty for a page without one.
    void Refused(const std::string& origin, const std::string& function);
    // The page has gone: a line for each function refused more than once, then a fresh count.
    void PageGone();

private:
    // (origin, function) to the number of refusals on this page.
    std::map<std::pair<std::string, std::string>, unsigned> m_counts;
};
