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

}  // namespace pq
