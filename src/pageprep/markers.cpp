#include "pageprep/markers.h"

#include <optional>

#include "pageprep/add_spans.h"
#include "text/text_util.h"

namespace pq {

namespace {

constexpr auto npos = std::string_view::npos;

std::string Marker(std::string_view name, std::string_view value) {
  return "<!--" + std::string(name) + "=\"" + std::string(value) + "\"-->";
}

// Where markers go, and whether an "<html>" tag must come with them.
struct MarkerPlace {
  std::size_t at = 0;
  bool needsHtmlTag = false;
};

bool StartsWithTag(std::string_view lower, std::size_t at, std::string_view name) {
  if (lower.compare(at, name.size(), name) != 0) return false;
  const std::size_t after = at + name.size();
  return after == lower.size() || std::string_view(" \t\r\n\f/>").find(lower[after]) != npos;
}

// On the lower-cased page. The page's own opening html tag is the one that comes before any
// of its content (only white space, comments, a DOCTYPE or an XML declaration before it); an
// "<html" further on is text or a stray tag, and markers there would stand inside the page's
// text.
MarkerPlace FindMarkerPlace(std::string_view lower) {
  std::size_t at = lower.compare(0, 3, "\xef\xbb\xbf") == 0 ? 3 : 0;
  const auto first = lower.find_first_not_of(" \t\r\n\f");
  std::size_t afterDoctype = 0;
  while (at < lower.size()) {
    if (std::string_view(" \t\r\n\f").find(lower[at]) != npos) {
      ++at;
    } else if (lower.compare(at, 4, "<!--") == 0) {
      const auto end = lower.find("-->", at + 4);
      if (end == npos) break;
      at = end + 3;
    } else if (lower.compare(at, 9, "<!doctype") == 0 || lower.compare(at, 2, "<?") == 0) {
      const auto end = lower.find('>', at);
      if (end == npos) return {lower.size(), true};
      if (at == first && lower[at + 1] == '!') afterDoctype = end + 1;
      at = end + 1;
    } else {
      break;
    }
  }
  if (StartsWithTag(lower, at, "<html")) {
    // Past a quoted ">" in its attributes (<html lang="a>b">): markers there stand in the value.
    if (const auto end = QuotedTagEnd(lower, at, lower.size()); end != npos) return {end + 1, false};
  }
  return {afterDoctype, true};
}

// What may stand between the opening html tag and the markers: the BASE line of an edit copy
// file, and the head and base elements that the engine's serialisation puts in front of them.
// From the start of a text also its byte-order mark, a DOCTYPE and an XML declaration.
bool IsLeadingTag(std::string_view lower, std::size_t at) {
  return lower.compare(at, 2, "<?") == 0 || lower.compare(at, 9, "<!doctype") == 0 ||
         StartsWithTag(lower, at, "<html") || StartsWithTag(lower, at, "<head") ||
         StartsWithTag(lower, at, "<base");
}

// The value of the first <!--name="value"--> among the comments that follow `from`, passing
// only white space and leading tags; a page's own comment after any of its content is never
// taken.
std::optional<std::string> MarkerInLeadingComments(std::string_view html, std::string_view lower,
                                                   std::size_t from, std::string_view name) {
  const std::string open = "<!--" + std::string(name) + "=\"";
  std::size_t at = from;
  if (html.compare(at, 3, "\xEF\xBB\xBF") == 0) at += 3;
  while (at < html.size()) {
    if (std::string_view(" \t\r\n\f").find(html[at]) != npos) {
      ++at;
    } else if (html.compare(at, 4, "<!--") == 0) {
      const auto end = html.find("-->", at + 4);
      if (end == npos) break;
      if (html.compare(at, open.size(), open) == 0) {
        const std::size_t value = at + open.size();
        if (html.find('"', value) + 1 == end) return std::string(html.substr(value, end - 1 - value));
      }
      at = end + 3;
    } else if (IsLeadingTag(lower, at)) {
      const bool declaration = lower.compare(at, 2, "<?") == 0 || lower.compare(at, 2, "<!") == 0;
      const auto end = declaration ? lower.find('>', at) : QuotedTagEnd(lower, at, lower.size());
      if (end == npos) break;
      at = end + 1;
    } else {
      break;
    }
  }
  return std::nullopt;
}

}  // namespace

std::string AddMarker(std::string_view html, std::string_view name, std::string_view value) {
  const MarkerPlace place = FindMarkerPlace(AsciiLower(html));
  return std::string(html.substr(0, place.at)) + (place.needsHtmlTag ? "<html>" : "") +
         Marker(name, value) + std::string(html.substr(place.at));
}

std::string GetMarker(std::string_view html, std::string_view name) {
  const std::string lower = AsciiLower(html);
  // Where MakeEditHTML put the markers: right after the opening html tag, or at the very start
  // when that tag sat inside a link.
  for (const std::size_t from : {FindMarkerPlace(lower).at, std::size_t{0}})
    if (auto value = MarkerInLeadingComments(html, lower, from, name)) return *value;
  return "";
}

MarkedHTML MakeEditHTML(std::string_view source, std::string_view url, std::string_view fullPath) {
  MarkedHTML page = AddSpansWithLayout(source);
  MarkerPlace place = FindMarkerPlace(AsciiLower(page.html));
  // A link holding "<html" must not get the markers inside its span: they go in front of it.
  for (const SpanPlace& span : page.layout.spans)
    if (span.begin < place.at && place.at < span.end) place.at = span.begin;
  const std::string text =
      (place.needsHtmlTag ? "<html>" : "") + Marker("FullPath", fullPath) + Marker("OrigURL", url);
  page.html.insert(place.at, text);
  for (SpanPlace& span : page.layout.spans) {
    if (span.begin < place.at) continue;
    for (std::size_t* offset : {&span.begin, &span.contentBegin, &span.contentEnd, &span.end,
                                &span.textBegin, &span.textEnd})
      *offset += text.size();
  }
  page.layout.inserted.push_back({place.at, place.at + text.size()});
  return page;
}

}  // namespace pq
