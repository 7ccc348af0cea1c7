#include "pageprep/add_spans.h"

namespace pq {

std::string AddSpans(std::string_view html) { return std::string(html); }  // replaced by the real scan

}  // namespace pq
