#pragma once
#include <string>
#include <string_view>

#include "pageprep/span_layout.h"

namespace pq {

// Inserts <!--name="value"--> right after the opening HTML tag. A page without one gets
// "<html>" and the marker, after its DOCTYPE when it starts with one (a marker in front of the
// DOCTYPE would switch the browser to quirks mode, and a comment before the html element is
// not part of its serialisation, where CurrentOrigURL reads the marker).
std::string AddMarker(std::string_view html, std::string_view name, std::string_view value);
// The value of the <!--name="..."--> marker (exact case) where MakeEditHTML puts it, or "".
// Read from an edit HTML, an edit copy file or the engine's serialisation of one; only the
// comments in front of the page's own content count, so a look-alike comment of the page
// further down is never taken.
std::string GetMarker(std::string_view html, std::string_view name);

// Marks up a page source for its edit copy: AddSpans, then the FullPath and OrigURL markers
// (in that order) where AddMarker puts them, outside every span. The layout records both, so
// StripMarkers gives back exactly the page it was given, apart from the spans' "&nbsp".
MarkedHTML MakeEditHTML(std::string_view source, std::string_view url, std::string_view fullPath);

}  // namespace pq
