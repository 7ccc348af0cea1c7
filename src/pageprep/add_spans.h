#pragma once
#include <string>
#include <string_view>

namespace pq {

// Wraps every editable run of text of a page in a numbered edit span and every link in a
// numbered anchor span (numbers restart at 1 on every call). Linear in the page length.
std::string AddSpans(std::string_view html);

}  // namespace pq
