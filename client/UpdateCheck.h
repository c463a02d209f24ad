// The once-per-run question to the update endpoint: is there a version newer than ours,
// and where is its installer?
#pragma once

#include <string>

// The client's own version; pages read the same text.
extern const char kClientVersion[];

struct UpdateOffer {
    std::string version;
    std::string link;
};

// Reads the endpoint's JSON reply into offer. False, with the reason logged, when the
// reply names no version and link.
bool ReadUpdateReply(const std::string& reply, UpdateOffer& offer);

// Versions compare as decimal numbers read the C runtime's way: "4.0.1" is 4.0 and a
// text without a leading number is 0.
bool IsNewerVersion(const std::string& version);

// Asks the endpoint and reads its reply. True when offer names a newer version.
bool CheckForUpdate(UpdateOffer& offer);
