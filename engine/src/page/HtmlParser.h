// From a page's bytes to its document tree, the way a browser's parser treats the
// markup that pages use, and without crash or unbounded depth for broken or hostile
// markup: elements nest at most kMaxDepth deep, deeper ones become siblings there.
#pragma once

#include <functional>
#include <string>

#include "DomDocument.h"

namespace engine {

const int kMaxDepth = 512;

// Parses a whole page into doc. Each inline or external script element is handed to
// onScript as soon as it is closed, with the page line of its first character, so a
// script sees the document as far as it has been parsed.
void ParseDocument(const std::wstring& html, DomDocument& doc, const std::function<void(DomNode*, int)>& onScript);
// Markup set through innerHTML: its nodes become parent's children; its scripts do not run.
void ParseFragment(const std::wstring& html, DomDocument& doc, DomNode* parent);

// The page's bytes as text, in the charset of the header or of the page's meta tag
// (GBK family or UTF-8, the default).
std::wstring DecodePage(const std::string& bytes, const std::string& headerCharset);

}  // namespace engine
