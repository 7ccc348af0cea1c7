#pragma once
#include <string>
#include <string_view>

#include "pageprep/span_layout.h"

namespace pq {

// Wraps every editable run of text of a page in a numbered edit span and every link in a
// numbered anchor span (numbers restart at 1 on every call). Linear in the page length.
std::string AddSpans(std::string_view html);
// The same, with where each span went (in the output and in html).
MarkedHTML AddSpansWithLayout(std::string_view html);

// How AddSpans reads the link whose start tag is at `at`: where its span ends, and its text
// between the start tag and the end tag (both npos when it has no end tag). For finding a
// link's span again in an edit HTML read back without its layout.
struct LinkExtent {
  std::size_t end, textBegin, textEnd;
};
LinkExtent ReadLink(std::string_view html, std::size_t at);

}  // namespace pq
