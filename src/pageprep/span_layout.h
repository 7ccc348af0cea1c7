#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace pq {

// Where the program put every marker of an edit copy, kept beside its edit HTML so that
// removing the markers and restoring the spans never have to guess from the text (a page may
// hold SPAN tags, "ZZZEDIT" or "<!--OrigURL" of its own).

enum class SpanKind { Edit, Anchor };

// One span that AddSpans wrote. Offsets are byte offsets, half-open ranges.
struct SpanPlace {
  SpanKind kind = SpanKind::Edit;
  unsigned long number = 0;  // the element id is "ZZZEDIT" or "ZZZANCHOR" + number
  // In the edit HTML: the opening tag is [begin, contentBegin), the contents
  // [contentBegin, contentEnd), the closing tag "</SPAN>" [contentEnd, end).
  std::size_t begin = 0, contentBegin = 0, contentEnd = 0, end = 0;
  // In the page's source (the text AddSpans was given: OriginalHTML, FrameEntry::Source): the
  // text the contents stand for. An edit span's contents differ from it only where a space at
  // either end became "&nbsp;" (closing) or "&nbsp" (opening).
  std::size_t sourceBegin = 0, sourceEnd = 0;
  // Anchor spans only, in the edit HTML: the link's text, between the end of its start tag
  // and its "</a>". Equal to contentEnd when the link has no "</a>" (its text is left alone).
  std::size_t textBegin = 0, textEnd = 0;

  std::string Id() const {  // "ZZZEDIT3", "ZZZANCHOR1"
    return (kind == SpanKind::Edit ? "ZZZEDIT" : "ZZZANCHOR") + std::to_string(number);
  }
};

// A range of the edit HTML that the program inserted and that goes again as a whole: the
// origin comments, with the "<html>" tag written in front of them on a page that had none.
struct InsertedText {
  std::size_t begin = 0, end = 0;
};

struct SpanLayout {
  std::vector<SpanPlace> spans;         // in document order, never overlapping
  std::vector<InsertedText> inserted;   // in document order, never inside a span
};

// An edit HTML with its layout.
struct MarkedHTML {
  std::string html;
  SpanLayout layout;
};

}  // namespace pq
