#include "CanonicalUrl.h"

#include <cstring>
#include <vector>

#include "Url.h"
#include "UrlHost.h"

namespace engine {
namespace {

constexpr int kEnd = -1;

struct ParsedUrl {
    std::string scheme;
    std::string username;
    std::string password;
    std::string host;  // serialized; empty for a file address without one
    int port = -1;     // -1: none written, or the scheme's own
    std::vector<std::string> path;
    bool hasQuery = false;
    std::string query;
    bool hasFragment = false;
    std::string fragment;
};

enum class Reading { kRead, kOtherScheme, kNeedsBase, kFailed };

// What each part of an address writes as %XX besides controls and non-ASCII bytes.
const char kFragmentSet[] = " \"<>`";
const char kQuerySet[] = " \"#<>'";
const char kPathSet[] = " \"#<>?`{}";
const char kUserinfoSet[] = " \"#<>?`{}/:;=@[\\]^|";

void AppendEncoded(std::string& out, int c, const char* set) {
    static const char kHex[] = "0123456789ABCDEF";
    if (c < 0x20 || c > 0x7E || std::strchr(set, c) != nullptr) {
        out += '%';
        out += kHex[(c >> 4) & 0xF];
        out += kHex[c & 0xF];
    } else {
        out += static_cast<char>(c);
    }
}

bool IsAlpha(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsSlash(int c) { return c == '/' || c == '\\'; }  // a backslash is a slash here
bool EndsSegment(int c) { return c == kEnd || IsSlash(c) || c == '?' || c == '#'; }
char Lower(int c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); }

bool IsSpecial(const std::string& scheme) { return scheme == "http" || scheme == "https" || scheme == "file"; }

int DefaultPort(const std::string& scheme) { return scheme == "http" ? 80 : scheme == "https" ? 443 : -1; }

bool IsDriveLetter(const std::string& s) { return s.size() == 2 && IsAlpha(s[0]) && (s[1] == ':' || s[1] == '|'); }
bool IsNormalizedDriveLetter(const std::string& s) { return IsDriveLetter(s) && s[1] == ':'; }

bool SameText(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(static_cast<unsigned char>(a[i])) != b[i]) return false;
    }
    return true;
}

bool IsSingleDot(const std::string& s) { return s == "." || SameText(s, "%2e"); }
bool IsDoubleDot(const std::string& s) {
    return s == ".." || SameText(s, ".%2e") || SameText(s, "%2e.") || SameText(s, "%2e%2e");
}

// Spaces and controls around an address go, and tabs and newlines anywhere in it.
std::string Cleaned(const std::string& input) {
    size_t begin = 0, end = input.size();
    while (begin < end && static_cast<unsigned char>(input[begin]) <= 0x20) ++begin;
    while (end > begin && static_cast<unsigned char>(input[end - 1]) <= 0x20) --end;
    std::string out;
    for (size_t i = begin; i < end; ++i) {
        if (input[i] != '\t' && input[i] != '\n' && input[i] != '\r') out += input[i];
    }
    return out;
}

std::string Serialized(const ParsedUrl& url) {
    std::string out = url.scheme + "://";
    if (!url.username.empty() || !url.password.empty()) {
        out += url.username + (url.password.empty() ? "" : ":" + url.password) + "@";
    }
    out += url.host;
    if (url.port >= 0) out += ":" + std::to_string(url.port);
    for (const std::string& segment : url.path) out += "/" + segment;
    if (url.hasQuery) out += "?" + url.query;
    if (url.hasFragment) out += "#" + url.fragment;
    return out;
}

// The URL Standard's state machine, for the schemes above: each state reads the code
// point at at_ (kEnd past the end) and may step back or skip ahead.
class UrlReader {
public:
    UrlReader(const std::string& input, const ParsedUrl* base, ParsedUrl& url) : in_(input), base_(base), url_(url) {}

    Reading Read() {
        for (at_ = 0;; ++at_) {
            const Reading step = Step(At(at_));
            if (step != Reading::kRead) return step;
            if (at_ >= static_cast<long>(in_.size())) return Reading::kRead;
        }
    }

private:
    enum State {
        kSchemeStart, kScheme, kNoScheme, kSpecialRelativeOrAuthority, kRelative, kRelativeSlash,
        kAuthoritySlashes, kIgnoreSlashes, kAuthority, kHost, kPort, kFile, kFileSlash, kFileHost,
        kPathStart, kPath, kQuery, kFragment
    };

    int At(long i) const {
        return i >= 0 && i < static_cast<long>(in_.size()) ? static_cast<unsigned char>(in_[i]) : kEnd;
    }

    // Whether what is left from i on starts with a drive letter ("C:", "c|/x").
    bool StartsWithDriveLetter(long i) const {
        return IsAlpha(At(i)) && (At(i + 1) == ':' || At(i + 1) == '|') &&
               (At(i + 2) == kEnd || EndsSegment(At(i + 2)));
    }

    Reading Step(int c) {
        switch (state_) {
        case kSchemeStart: return SchemeStart(c);
        case kScheme: return Scheme(c);
        case kNoScheme: return NoScheme();
        case kSpecialRelativeOrAuthority: return Slashes(c, kRelative);
        case kRelative: return Relative(c);
        case kRelativeSlash: return RelativeSlash(c);
        case kAuthoritySlashes: return Slashes(c, kIgnoreSlashes);
        case kIgnoreSlashes: return IgnoreSlashes(c);
        case kAuthority: return Authority(c);
        case kHost: return Host(c);
        case kPort: return Port(c);
        case kFile: return File(c);
        case kFileSlash: return FileSlash(c);
        case kFileHost: return FileHost(c);
        case kPathStart: return PathStart(c);
        case kPath: return Path(c);
        case kQuery: return Query(c);
        case kFragment: return Fragment(c);
        }
        return Reading::kFailed;
    }

    Reading Again(State next) {
        state_ = next;
        --at_;
        return Reading::kRead;
    }

    Reading Go(State next) {
        state_ = next;
        return Reading::kRead;
    }

    Reading SchemeStart(int c) {
        if (!IsAlpha(c)) return Again(kNoScheme);
        buffer_ += Lower(c);
        return Go(kScheme);
    }

    Reading Scheme(int c) {
        if (IsAlpha(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.') {
            buffer_ += Lower(c);
            return Reading::kRead;
        }
        if (c != ':') {
            // Not a scheme after all: the address is read again from its start.
            buffer_.clear();
            state_ = kNoScheme;
            at_ = -1;
            return Reading::kRead;
        }
        url_.scheme = buffer_;
        buffer_.clear();
        if (!IsSpecial(url_.scheme)) return Reading::kOtherScheme;
        if (url_.scheme == "file") return Go(kFile);
        return Go(base_ != nullptr && base_->scheme == url_.scheme ? kSpecialRelativeOrAuthority : kAuthoritySlashes);
    }

    Reading NoScheme() {
        if (base_ == nullptr) return Reading::kNeedsBase;
        return Again(base_->scheme == "file" ? kFile : kRelative);
    }

    // "//" leads to the authority; anything else to the state given.
    Reading Slashes(int c, State otherwise) {
        if (c == '/' && At(at_ + 1) == '/') {
            ++at_;
            return Go(kIgnoreSlashes);
        }
        return Again(otherwise);
    }

    void TakeBaseAuthority() {
        url_.username = base_->username;
        url_.password = base_->password;
        url_.host = base_->host;
        url_.port = base_->port;
    }

    // A reference that names no path keeps the base's path and query (true: it ends
    // there, done says how); one that names a path drops the base's query.
    bool EndsOnBasePath(int c, Reading& done) {
        url_.path = base_->path;
        url_.hasQuery = base_->hasQuery;
        url_.query = base_->query;
        if (c == '?' || c == '#' || c == kEnd) {
            done = c == kEnd ? Reading::kRead : StartQueryOrFragment(c);
            return true;
        }
        url_.hasQuery = false;
        url_.query.clear();
        return false;
    }

    void ShortenPath() {
        if (url_.scheme == "file" && url_.path.size() == 1 && IsNormalizedDriveLetter(url_.path[0])) return;
        if (!url_.path.empty()) url_.path.pop_back();
    }

    Reading StartQueryOrFragment(int c) {
        if (c == '?') {
            url_.hasQuery = true;
            url_.query.clear();
            return Go(kQuery);
        }
        url_.hasFragment = true;
        return Go(kFragment);
    }

    Reading Relative(int c) {
        url_.scheme = base_->scheme;
        if (IsSlash(c)) return Go(kRelativeSlash);
        TakeBaseAuthority();
        Reading done;
        if (EndsOnBasePath(c, done)) return done;
        ShortenPath();
        return Again(kPath);
    }

    Reading RelativeSlash(int c) {
        if (IsSlash(c)) return Go(kIgnoreSlashes);
        TakeBaseAuthority();
        return Again(kPath);
    }

    Reading IgnoreSlashes(int c) { return IsSlash(c) ? Reading::kRead : Again(kAuthority); }

    // User information is kept as written, encoded; the last '@' ends it.
    Reading Authority(int c) {
        if (c == '@') {
            if (atSignSeen_) buffer_.insert(0, "%40");
            atSignSeen_ = true;
            for (char ch : buffer_) {
                if (ch == ':' && !passwordTokenSeen_) {
                    passwordTokenSeen_ = true;
                    continue;
                }
                AppendEncoded(passwordTokenSeen_ ? url_.password : url_.username, static_cast<unsigned char>(ch),
                              kUserinfoSet);
            }
            buffer_.clear();
            return Reading::kRead;
        }
        if (EndsSegment(c)) {
            if (atSignSeen_ && buffer_.empty()) return Reading::kFailed;
            at_ -= static_cast<long>(buffer_.size()) + 1;
            buffer_.clear();
            return Go(kHost);
        }
        buffer_ += static_cast<char>(c);
        return Reading::kRead;
    }

    Reading Host(int c) {
        if (c == ':' && !insideBrackets_) {
            if (buffer_.empty() || !ReadUrlHost(buffer_, url_.host)) return Reading::kFailed;
            buffer_.clear();
            return Go(kPort);
        }
        if (EndsSegment(c)) {
            if (buffer_.empty() || !ReadUrlHost(buffer_, url_.host)) return Reading::kFailed;
            buffer_.clear();
            return Again(kPathStart);
        }
        if (c == '[') insideBrackets_ = true;
        if (c == ']') insideBrackets_ = false;
        buffer_ += static_cast<char>(c);
        return Reading::kRead;
    }

    Reading Port(int c) {
        if (c >= '0' && c <= '9') {
            buffer_ += static_cast<char>(c);
            return Reading::kRead;
        }
        if (!EndsSegment(c)) return Reading::kFailed;
        if (!buffer_.empty()) {
            long port = 0;
            for (char digit : buffer_) {
                port = port * 10 + (digit - '0');
                if (port > 65535) return Reading::kFailed;
            }
            url_.port = port == DefaultPort(url_.scheme) ? -1 : static_cast<int>(port);
            buffer_.clear();
        }
        return Again(kPathStart);
    }

    Reading File(int c) {
        url_.scheme = "file";
        url_.host.clear();
        if (IsSlash(c)) return Go(kFileSlash);
        if (base_ == nullptr || base_->scheme != "file") return Again(kPath);
        url_.host = base_->host;
        Reading done;
        if (EndsOnBasePath(c, done)) return done;
        if (StartsWithDriveLetter(at_)) url_.path.clear();
        else ShortenPath();
        return Again(kPath);
    }

    Reading FileSlash(int c) {
        if (IsSlash(c)) return Go(kFileHost);
        if (base_ != nullptr && base_->scheme == "file") {
            url_.host = base_->host;
            if (!StartsWithDriveLetter(at_) && !base_->path.empty() && IsNormalizedDriveLetter(base_->path[0])) {
                url_.path.push_back(base_->path[0]);
            }
        }
        return Again(kPath);
    }

    Reading FileHost(int c) {
        if (!EndsSegment(c)) {
            buffer_ += static_cast<char>(c);
            return Reading::kRead;
        }
        // "file://C:/x": the drive letter stays in the buffer and begins the path.
        if (IsDriveLetter(buffer_)) return Again(kPath);
        if (!buffer_.empty()) {
            if (!ReadUrlHost(buffer_, url_.host)) return Reading::kFailed;
            if (url_.host == "localhost") url_.host.clear();
            buffer_.clear();
        }
        return Again(kPathStart);
    }

    Reading PathStart(int c) { return IsSlash(c) ? Go(kPath) : Again(kPath); }

    Reading Path(int c) {
        if (!EndsSegment(c)) {
            AppendEncoded(buffer_, c, kPathSet);
            return Reading::kRead;
        }
        if (IsDoubleDot(buffer_)) {
            ShortenPath();
            if (!IsSlash(c)) url_.path.emplace_back();
        } else if (IsSingleDot(buffer_)) {
            if (!IsSlash(c)) url_.path.emplace_back();
        } else {
            if (url_.scheme == "file" && url_.path.empty() && IsDriveLetter(buffer_)) buffer_[1] = ':';
            url_.path.push_back(buffer_);
        }
        buffer_.clear();
        return c == '?' || c == '#' ? StartQueryOrFragment(c) : Reading::kRead;
    }

    Reading Query(int c) {
        if (c == '#') return StartQueryOrFragment(c);
        if (c != kEnd) AppendEncoded(url_.query, c, kQuerySet);
        return Reading::kRead;
    }

    Reading Fragment(int c) {
        if (c != kEnd) AppendEncoded(url_.fragment, c, kFragmentSet);
        return Reading::kRead;
    }

    const std::string& in_;
    const ParsedUrl* base_;
    ParsedUrl& url_;
    State state_ = kSchemeStart;
    long at_ = 0;
    std::string buffer_;
    bool atSignSeen_ = false;
    bool passwordTokenSeen_ = false;
    bool insideBrackets_ = false;
};

Reading Read(const std::string& input, const ParsedUrl* base, ParsedUrl& url) {
    const std::string cleaned = Cleaned(input);
    url = ParsedUrl();
    return UrlReader(cleaned, base, url).Read();
}

// An address of another scheme, or relative to one, goes where it went before the engine
// read addresses; what it comes to is read once more.
bool ReadOtherwise(const std::string& input, const std::string& base, Reading reading, std::string& address) {
    if (reading == Reading::kOtherScheme) {
        address = Cleaned(input);
        return true;
    }
    if (reading != Reading::kNeedsBase || base.empty()) return false;
    const std::string resolved = ResolveUrl(base, Cleaned(input));
    ParsedUrl url;
    const Reading again = Read(resolved, nullptr, url);
    if (again == Reading::kRead) address = Serialized(url);
    else if (again == Reading::kOtherScheme) address = resolved;
    return again == Reading::kRead || again == Reading::kOtherScheme;
}

}  // namespace

bool ReadAddress(const std::string& input, const std::string& base, std::string& address) {
    ParsedUrl baseUrl;
    const bool specialBase = !base.empty() && Read(base, nullptr, baseUrl) == Reading::kRead;
    ParsedUrl url;
    const Reading reading = Read(input, specialBase ? &baseUrl : nullptr, url);
    if (reading == Reading::kRead) {
        address = Serialized(url);
        return true;
    }
    return ReadOtherwise(input, specialBase ? std::string() : base, reading, address);
}

}  // namespace engine
