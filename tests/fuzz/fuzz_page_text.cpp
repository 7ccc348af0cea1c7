// libFuzzer target for the page text operations: any bytes as a page, a header, an edit copy.
// Checks what must hold for every input, beyond not crashing (the sanitizers watch that):
// decoding gives valid UTF-8, the filters keep it valid, and a page comes back exactly from its
// edit HTML through the layout.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "pageprep/add_spans.h"
#include "pageprep/char_filters.h"
#include "pageprep/markers.h"
#include "pageprep/page_decoding.h"
#include "pageprep/restore_html.h"
#include "pageprep/utf8.h"

namespace {

bool ValidUtf8(std::string_view s) {
  for (std::size_t pos = 0; pos < s.size();) {
    const std::size_t start = pos;
    const char32_t cp = pq::NextCodePoint(s, pos);
    if (pos - start == 1 && cp >= 0x80) return false;
  }
  return true;
}

void Require(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  // The first line, if short, doubles as a Content-Type header.
  const std::size_t eol = input.find('\n');
  const std::string header = eol != std::string::npos && eol < 64 ? input.substr(0, eol) : "";

  const pq::DecodedPage decoded = pq::DecodePage(input, header);
  Require(ValidUtf8(decoded.text));
  Require(ValidUtf8(pq::StripUnsafeChars(input)));

  const std::string& page = decoded.text;
  const pq::MarkedHTML marked = pq::MakeEditHTML(page, "http://s/a.htm", "http://s/a.htm");
  const auto fromSource = pq::SpliceSpans(marked.html, marked.layout, [&](const pq::SpanPlace& s) {
    return std::optional<std::string>(page.substr(s.sourceBegin, s.sourceEnd - s.sourceBegin));
  });
  Require(pq::StripMarkers(fromSource.html, fromSource.layout) == page);

  pq::SpanSnapshot doc;
  for (const auto& s : marked.layout.spans)
    if (s.number % 3) doc.elements[s.Id()] = {"<b>x</b>", {"y"}};
  const auto restored = pq::RestoreHTML(marked.html, marked.layout, doc);
  pq::StripMarkers(restored.html, restored.layout);
  // The same operations on the raw input taken as an edit copy, markers read from the text.
  pq::StripMarkers(pq::RestoreHTML(input, doc));
  return 0;
}
