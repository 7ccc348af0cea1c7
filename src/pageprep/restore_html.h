#pragma once
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pageprep/span_layout.h"

namespace pq {

// What RestoreHTML needs of the live document in the edit pane, by element id.
class SpanSource {
 public:
  virtual ~SpanSource() = default;
  // The element's inner HTML, or nullopt when no element has that id.
  virtual std::optional<std::string> InnerHTML(const std::string& id) const = 0;
  // Inner HTML of every content-editable A element inside it, in document order.
  virtual std::vector<std::string> EditableLinkHTML(const std::string& id) const = 0;
};

// A snapshot of the span elements of one document, taken in one walk of the live page.
struct SpanSnapshot : SpanSource {
  struct Element {
    std::string innerHTML;
    std::vector<std::string> editableLinks;
  };
  std::map<std::string, Element> elements;

  std::optional<std::string> InnerHTML(const std::string& id) const override;
  std::vector<std::string> EditableLinkHTML(const std::string& id) const override;
};

// An edit HTML after restoring, with the markers still in it (the origin comments and the
// spans that were not replaced), so that StripMarkers can remove exactly those.
struct RestoredHTML {
  std::string html;
  SpanLayout layout;
};

// What goes in place of one span (tags included): nullopt keeps the span as it stands.
using SpanReplacement = std::function<std::optional<std::string>(const SpanPlace& span)>;

// Replaces spans of an edit HTML as `replace` decides, and nothing else: the building block of
// RestoreHTML for callers that choose their own text per span (for example the span's text
// from the page's source, page.substr(sourceBegin, sourceEnd - sourceBegin), for a span the
// user did not change). Places of the layout that do not fit the html are skipped. Linear.
RestoredHTML SpliceSpans(std::string_view editHTML, const SpanLayout& layout,
                         const SpanReplacement& replace);

// What RestoreHTML puts in place of one span, or nullopt when the document has no such span:
// an edit span's live contents, or a link span with its text replaced. Only the typed text is
// filtered by StripUnsafeChars; a link's own tags stay as written.
std::optional<std::string> SpanContentsNow(std::string_view editHTML, const SpanPlace& span,
                                           const SpanSource& document);

// Splices the live contents of every edit span and editable link found in the document into
// the edit HTML and removes their span tags; everything but the program's own markers is
// filtered by StripUnsafeCharsInMarkup (the typed text by StripUnsafeChars). An emptied edit span becomes "&nbsp;<!--DeletedText-->"; a
// link keeps its start tag and "</a>" and takes the last content-editable link's inner HTML.
RestoredHTML RestoreHTML(std::string_view editHTML, const SpanLayout& layout,
                         const SpanSource& document);
// Removes exactly the markers of the layout: the inserted origin comments (with the "<html>"
// written for them) and the tags of the spans left. Linear.
std::string StripMarkers(std::string_view html, const SpanLayout& layout);
// StripMarkers(RestoreHTML(...)): what is published.
std::string PublishableHTML(std::string_view editHTML, const SpanLayout& layout,
                            const SpanSource& document);

// For an edit HTML whose layout is not known (an edit copy read back from a file): the layout
// read from the text, taking the program's markers as written ("<SPAN ID=\"ZZZEDITn\">" ...
// "</SPAN>", the origin comments) in any case. A page's own look-alikes can fool it; an
// "<html>" written with the markers is not found. Linear.
SpanLayout FindSpanLayout(std::string_view html);
// The same operations on such text, through FindSpanLayout.
std::string RestoreHTML(std::string_view editHTML, const SpanSource& document);
std::string StripMarkers(std::string_view html);

}  // namespace pq
