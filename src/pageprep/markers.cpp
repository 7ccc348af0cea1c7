#include "pageprep/markers.h"

#include "pageprep/add_spans.h"
#include "pageprep/text_util.h"

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

MarkerPlace FindMarkerPlace(std::string_view html) {
  const std::string lower = AsciiLower(html);
  if (const auto tag = lower.find("<html"); tag != npos) {
    if (const auto end = lower.find('>', tag); end != npos) return {end + 1, false};
  }
  const auto first = lower.find_first_not_of(" \t\r\n\f");
  if (first != npos && lower.compare(first, 9, "<!doctype") == 0) {
    const auto end = lower.find('>', first);
    return {end == npos ? html.size() : end + 1, true};
  }
  return {0, true};
}

}  // namespace

std::string AddMarker(std::string_view html, std::string_view name, std::string_view value) {
  const MarkerPlace place = FindMarkerPlace(html);
  return std::string(html.substr(0, place.at)) + (place.needsHtmlTag ? "<html>" : "") +
         Marker(name, value) + std::string(html.substr(place.at));
}

std::string GetMarker(std::string_view html, std::string_view name) {
  const auto at = html.find("<!--" + std::string(name));
  if (at == std::string_view::npos) return "";
  const auto open = html.find('"', at);
  if (open == std::string_view::npos) return "";
  const auto close = html.find('"', open + 1);
  if (close == std::string_view::npos) return "";
  return std::string(html.substr(open + 1, close - open - 1));
}

MarkedHTML MakeEditHTML(std::string_view source, std::string_view url, std::string_view fullPath) {
  MarkedHTML page = AddSpansWithLayout(source);
  MarkerPlace place = FindMarkerPlace(page.html);
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
