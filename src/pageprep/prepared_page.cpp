#include "pageprep/prepared_page.h"

#include <utility>

#include "pageprep/markers.h"
#include "pageprep/restore_html.h"

namespace pq {

PreparedPage PreparePage(SourcePage source, std::string_view url, std::string_view fullPath) {
  PreparedPage page;
  page.source = std::move(source);
  page.edit = MakeEditHTML(page.source.text, url, fullPath);
  return page;
}

KnownLayout LayoutOf(const MarkedHTML& edit) {
  if (edit.layout.spans.empty() && edit.layout.inserted.empty()) return {FindSpanLayout(edit.html), false};
  return {edit.layout, true};
}

namespace {

// A layout read back from the text knows where its spans are in the edit HTML only: their
// places in the source are found by walking both, the gaps between markers matching exactly.
bool PlaceInSource(SpanLayout& layout, std::string_view html, std::string_view source) {
  std::size_t at = 0, src = 0;
  auto gap = [&](std::size_t until) {
    if (until < at || until > html.size()) return false;
    const std::string_view text = html.substr(at, until - at);
    if (source.substr(src, text.size()) != text) return false;
    src += text.size();
    return true;
  };
  auto inserted = layout.inserted.begin();
  for (SpanPlace& s : layout.spans) {
    for (; inserted != layout.inserted.end() && inserted->begin < s.begin; ++inserted) {
      if (!gap(inserted->begin)) return false;
      at = inserted->end;
    }
    if (!gap(s.begin)) return false;
    const std::string_view written = html.substr(s.contentBegin, s.contentEnd - s.contentBegin);
    // A space at either end may have been written as a non-breaking one: "&nbsp" opening,
    // "&nbsp;" closing.
    std::size_t length = std::string_view::npos;
    for (const bool lead : {false, true})
      for (const bool trail : {false, true}) {
        if (length != std::string_view::npos || ((lead || trail) && s.kind != SpanKind::Edit))
          continue;
        std::string_view middle = written;
        if (lead && middle.substr(0, 5) != "&nbsp") continue;
        if (lead) middle.remove_prefix(5);
        if (trail && (middle.size() < 6 || middle.substr(middle.size() - 6) != "&nbsp;")) continue;
        if (trail) middle.remove_suffix(6);
        const std::string expected = (lead ? " " : "") + std::string(middle) + (trail ? " " : "");
        if (source.substr(src, expected.size()) == expected) length = expected.size();
      }
    if (length == std::string_view::npos) return false;
    s.sourceBegin = src;
    src += length;
    s.sourceEnd = src;
    at = s.end;
  }
  for (; inserted != layout.inserted.end(); ++inserted) {
    if (!gap(inserted->begin)) return false;
    at = inserted->end;
  }
  return gap(html.size()) && src == source.size();
}

}  // namespace

std::optional<SpanLayout> SourceLayoutOf(const PreparedPage& page) {
  KnownLayout known = LayoutOf(page.edit);
  if (!known.placedInSource &&
      !PlaceInSource(known.layout, page.edit.html, page.source.text))
    return std::nullopt;
  return std::move(known.layout);
}

}  // namespace pq
