// The publish round trip through the program's own path (what `pqtool publishable` runs), for
// pages in each character set publishing writes: an untouched page publishes nothing, and one
// span given new text publishes the page's own bytes outside that span's range, with the typed
// text reading back exactly inside it.
#include <array>
#include <optional>
#include <string>

#include "fuzz_support.h"
#include "fuzz_support_text.h"
#include "pageprep/markers.h"
#include "text/page_decoding.h"
#include "text/page_encoding.h"
#include "publishing/publish_flow.h"
#include "publishing/publishable_page.h"

namespace {

using namespace pq::fuzz;

constexpr std::array<const char*, 11> kCharsets = {
    "utf-8", "windows-1252", "iso-8859-1", "shift_jis", "euc-jp", "euc-kr",
    "gbk",   "big5",         "koi8-r",     "windows-1251", "windows-1258"};

// Pieces of hand-written pages, markup and text, in UTF-8.
constexpr std::array<std::string_view, 48> kPagePieces = {
    "<p>", "</p>", "<h2>", "</h2>", "<a href=\"a.htm\">", "</a>", "<b>", "</b>", "<i>", "</i>",
    "<br>", " ", "  ", "\n", "Word", "text.", "&amp;", "&nbsp;", "&eacute;", "<!-- note -->",
    "<", ">", "< 10", "</a >", "<html>", "<div>", "</div>", "<td>", "<img src=\"x.png\">",
    "<script>var a = '<p>';</script>", "<style>p {}</style>", "\xC3\xA9", "\xE2\x82\xAC",
    "\xE6\x97\xA5\xE6\x9C\xAC", "\xC2\xA5", "\xE2\x80\x94", "\xE1\xBA\xA1", "\xD0\x96\xD1\x83\xD0\xBA",
    "\xED\x95\x9C\xEA\xB5\xAD", "\xE4\xB8\xAD\xE6\x96\x87", "\xC3\xBC", "\xC3\x9F", "\xE2\x82\xAB",
    "a\xCC\xA3", "<a href=\"b.htm\">Next</a>", "<li>", "<P>", "</A>"};

// Characters a user may type (never "&", "<" or ">", which the engine would escape).
constexpr std::array<std::string_view, 32> kTyped = {
    "a", "b", "Z", "0", "7", " ", ".", ",", "!", "'", "\"", "-", "\xC3\xA9", "\xE2\x82\xAC",
    "\xE6\x97\xA5", "\xC2\xA5", "\xE2\x80\x94", "\xE2\x88\x92", "\xE1\xBA\xA1", "\xD0\x96",
    "\xED\x95\x9C", "\xE4\xB8\xAD", "\xC3\xBC", "\xC3\x9F", "\xE2\x82\xAB", "\xD7\x90",
    "\xC2\xA2", "\xE2\x80\xBE", "\xF0\x9F\x98\x80", "\xE2\x80\x9C", "\xCC\x81", "\xE2\x80\x96"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in(data, size);
  const std::uint8_t first = in.Byte();
  const std::string charset = kCharsets[(first & 0x7F) % kCharsets.size()];
  const bool raw = first & 0x80;
  const std::size_t spanChoice = in.Byte();

  // The page: its bytes as given (read as served with that charset), or built of pieces in
  // the set (a piece the set cannot hold as a reference) and stray bytes.
  std::string bytes;
  if (raw) {
    bytes = in.Until('\0');
  } else {
    bytes = "<html><head><meta charset=" + charset + "></head><body>";
    for (const std::string_view pieces = in.Until('\0'); const char p : pieces) {
      const auto b = static_cast<unsigned char>(p);
      if (b >= 0xF8)
        bytes += static_cast<char>(b - 0x78);  // 0x80-0x87: a stray byte of the set
      else
        bytes += *pq::EncodeText(kPagePieces[b % kPagePieces.size()], charset);
    }
    bytes += "</body></html>";
  }
  std::string typed;
  for (const char t : in.Rest()) typed += kTyped[static_cast<unsigned char>(t) % kTyped.size()];
  while (!typed.empty() && typed.front() == ' ') typed.erase(0, 1);
  while (!typed.empty() && typed.back() == ' ') typed.pop_back();
  if (typed.empty()) typed = "x";

  pq::PublishDocument d;
  d.page.source.bytes = bytes;
  const pq::DecodedPage page = pq::DecodePage(bytes, raw ? "text/html; charset=" + charset : "");
  // Publishing refuses UTF-16 pages and pages holding NUL bytes, with a message.
  if (pq::IsUtf16Page(page.charset, bytes) || bytes.find('\0') != std::string::npos) return 0;
  d.page.source.text = page.text;
  d.page.source.charset = pq::CanonicalCharset(page.charset);
  pq::MarkedHTML marked = pq::MakeEditHTML(d.page.source.text, "http://127.0.0.1/p.htm", "http://127.0.0.1/p.htm");
  d.page.edit.html = std::move(marked.html);
  d.page.edit.layout = std::move(marked.layout);
  d.recorded = pq::SpansAsWritten(d.page.edit.html, d.page.edit.layout);
  d.live = *d.recorded;

  std::string error;
  Require(!pq::PublishedHTML(d, error) && error.empty(), "an untouched page publishes nothing", error);

  // One span edited: an edit span, or the text of a link that has its own "</a>".
  std::vector<const pq::SpanPlace*> editable;
  for (const auto& s : d.page.edit.layout.spans)
    if (s.kind == pq::SpanKind::Edit || s.textEnd < s.contentEnd) editable.push_back(&s);
  if (editable.empty()) return 0;
  const pq::SpanPlace& span = *editable[spanChoice % editable.size()];
  // A link keeps its own tags as written around the typed text.
  std::string tagBefore, tagAfter;
  auto& live = d.live.elements[span.Id()];
  if (span.kind == pq::SpanKind::Edit) {
    live.innerHTML = typed;
  } else {
    live.editableLinks = {typed};
    tagBefore = d.page.edit.html.substr(span.contentBegin, span.textBegin - span.contentBegin);
    tagAfter = d.page.edit.html.substr(span.textEnd, span.contentEnd - span.textEnd);
  }
  const std::string expected = tagBefore + typed + tagAfter;

  const auto published = pq::PublishedHTML(d, error);
  if (!published && error.empty()) {
    // Typed text that is the span's own text changes nothing, so nothing is published.
    RequireEqual(expected, std::string_view(d.page.source.text).substr(span.sourceBegin, span.sourceEnd - span.sourceBegin),
                 "a span given new text is published");
    return 0;
  }
  Require(published.has_value() && error.empty(), "a span given new text is published", error);
  // A UTF-8 byte-order mark is not part of the text.
  const std::size_t bom = bytes.rfind("\xEF\xBB\xBF", 0) == 0 && d.page.source.charset == "utf-8" ? 3 : 0;
  const auto range = pq::ByteOffsetsOf(std::string_view(bytes).substr(bom), d.page.source.charset, d.page.source.text,
                                       {span.sourceBegin, span.sourceEnd});
  Require(range.has_value(), "the span's range lies in the page's bytes");
  const std::size_t begin = bom + (*range)[0], end = bom + (*range)[1];
  const std::string& out = *published;
  Require(out.size() >= begin + (bytes.size() - end), "the page's own bytes are all published", out, bytes);
  RequireEqual(out.substr(0, begin), bytes.substr(0, begin), "the bytes before the span are the page's own");
  RequireEqual(out.substr(out.size() - (bytes.size() - end)), bytes.substr(end),
               "the bytes after the span are the page's own");
  const std::string middle = out.substr(begin, out.size() - begin - (bytes.size() - end));
  const auto read = pq::DecodeText(middle, d.page.source.charset);
  Require(read.has_value(), "the span's bytes decode");
  const std::string& text = *read;
  Require(text.size() >= tagBefore.size() + tagAfter.size() && text.starts_with(tagBefore) &&
              text.ends_with(tagAfter),
          "a link's own tags are published as written", text, expected);
  // (Characters the set cannot hold are written as numeric references.)
  RequireEqual(ResolveNumericReferences(text.substr(tagBefore.size(), text.size() - tagBefore.size() - tagAfter.size())),
               typed, "the typed text reads back as typed");
  return 0;
}
