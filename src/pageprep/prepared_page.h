#pragma once
#include <optional>
#include <string_view>

#include "pageprep/span_layout.h"
#include "text/source_page.h"

namespace pq {

// A page as the program prepared it for editing: its source as fetched, and the marked HTML of
// its edit copy with where the markers are. It travels as one value from the fetch (the browse
// pane's record, a frame entry) to the post.
struct PreparedPage {
  SourcePage source;
  // The edit HTML (with the origin markers) and its layout. An empty layout was not kept (an
  // entry made by hand, an edit HTML read back): LayoutOf reads it from the text.
  MarkedHTML edit;
};

// The page fetched from `url` marked up for its edit copy (MakeEditHTML).
PreparedPage PreparePage(SourcePage source, std::string_view url, std::string_view fullPath);

// Where the markers of an edit HTML are: the layout kept beside it, or where none was kept, the
// one read from its text (FindSpanLayout), whose places in the source are then not known.
struct KnownLayout {
  SpanLayout layout;
  bool placedInSource = false;
};
KnownLayout LayoutOf(const MarkedHTML& edit);

// The layout of a page with the places of its spans in the source: a layout read back from the
// text is placed by matching the text between markers; nullopt when it does not fit.
std::optional<SpanLayout> SourceLayoutOf(const PreparedPage& page);

}  // namespace pq
