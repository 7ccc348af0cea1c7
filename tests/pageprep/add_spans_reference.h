#pragma once
#include <string>
#include <string_view>

namespace pqtest {

// The marker-span scan done the slow, literal way: three aligned working copies of the page
// that every insertion rebuilds, temporary markers, and replacements at the end. Quadratic;
// used only to check pq::AddSpans against it.
std::string ReferenceAddSpans(std::string_view html);

}  // namespace pqtest
